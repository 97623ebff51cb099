#pragma once
// Small byte-text helpers of the editing core.

#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

// Splits at CR LF, CR or LF, each counting as one break: n breaks give n + 1 segments.
std::vector<std::string> SplitLines(std::string_view text);

// Joins with CR LF between the lines.
std::string JoinLines(const std::vector<std::string>& lines);

// Without trailing blanks (bytes 1 to 32).
std::string TrimTrailing(std::string_view text);

// Number of leading blanks (bytes 1 to 32).
int LeadingBlanks(std::string_view text);

// Padded with blanks to at least length bytes.
std::string PadTo(std::string text, std::size_t length);

inline bool IsBlank(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

} // namespace plotalon
