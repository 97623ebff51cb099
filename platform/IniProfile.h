#pragma once
// Private profile (INI) files, read and written the way the Windows profile functions do it,
// so that settings files move between the two worlds unchanged:
//
//   [section]
//   key=value
//
// Section and key names compare without regard to ASCII case; leading blanks of a line and
// blanks around a name or a value are not part of it. The first section of a name and the
// first key of a name within it count; later duplicates are left alone. Lines that are
// neither a section header nor hold an "=" (comments, blank lines) are carried along as they
// are. Every call opens, reads (and perhaps replaces) and closes the file; nothing is cached.

#include <cstddef>
#include <string>
#include <string_view>

namespace plotalon {

// The reader's buffer holds 2048 characters including the terminating NUL.
inline constexpr std::size_t kProfileValueLimit = 2047;

// The value of key in section of the file at path, without the blanks around it (and without
// the quote marks when it is enclosed in a pair of the same ones: ' or "), cut to
// kProfileValueLimit characters (a NUL byte in the file ends the value). defaultValue (cut
// the same way) when the file cannot be read or holds no such section or key.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path);

// Sets key in section to value: replaces the value of an existing key, adds the key at the end
// of an existing section, or appends the section; creates the file when there is none. Every
// other line stays byte for byte; new lines end in CR LF. The file is replaced as a whole only
// once its new content is complete, so a failure leaves the old file as it was.
// False when the file exists but cannot be read, cannot be written, or when section, key or
// value would break the file's line structure (an empty key, a line break or NUL anywhere, a
// "]" in the section, a "=" in the key or "[" at its start, blanks around either name).
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);

} // namespace plotalon
