#pragma once
// The prefix and suffix block files ("vorspann.plt", "nachspann.plt") and the memo text they
// load into. A memo holds its text with CR LF between lines; a file holds that text byte for
// byte, so a memo whose text does not end in a line break gives a file without a final break.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

// The memo text for file bytes: cut at the first NUL byte (the memo ends its text there), and
// every lone CR and every lone LF made into CR LF.
std::string BlockBytesToMemoText(std::string_view bytes);

// The whole file at path as memo text. Throws EFOpenError when it cannot be opened or read.
std::string ReadBlockFile(const std::string& path);

// ReadBlockFile when a file exists at path; nothing when none does.
std::optional<std::string> ReadBlockFileIfExists(const std::string& path);

// The memo's lines: the text split at CR LF, where a last empty line after a final CR LF does
// not count, so the empty text has no lines and "a\r\n" has one.
std::vector<std::string> MemoTextToLines(std::string_view text);

// Creates or replaces the file at path with memoText; a lone CR or LF in it is written as
// CR LF, so the file reads back as the same lines. Throws EFCreateError when the file cannot
// be written; an existing file then stays as it was.
void WriteBlockFile(const std::string& path, std::string_view memoText);

} // namespace plotalon
