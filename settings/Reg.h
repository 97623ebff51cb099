#pragma once
// Access to the settings file, one key per call. Callers set the three variables first; the
// file is IniFolder + IniName + ".ini" and every call works in section IniSection. Each call
// opens and closes the file itself, so nothing read is kept between calls.

#include "platform/Errors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plotalon::Reg {

extern std::string IniFolder;  // ends in the path separator
extern std::string IniName;    // base name, without ".ini"
extern std::string IniSection; // section of the next read or write

// IniFolder + IniName + ".ini".
std::string IniFilePath();

// The value of key, without the blanks around it; empty when file, section or key is missing.
std::string IniReadString(std::string_view key);

// The value of key as a whole number; 0 when it is missing or not a whole number.
std::int32_t IniReadInteger(std::string_view key);

// Writes value under key, creating file, section or key as needed. Throws EIniWriteError when
// the file cannot be written; the file then stays as it was.
void IniWriteString(std::string_view key, std::string_view value);

// The whole-number syntax of the settings file: after leading blanks either an optional sign
// and decimal digits fitting signed 32 bits, or one of "$", "x", "X", "0x", "0X" and hexadecimal
// digits fitting 32 bits, taken as two's complement. Nothing may follow. Nothing for any other
// text.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

class EIniWriteError : public Exception {
public:
    explicit EIniWriteError(std::string_view path)
        : Exception(FormatMessage("In %s kann nicht geschrieben werden", path)) {}
};

} // namespace plotalon::Reg
