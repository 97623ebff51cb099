#pragma once

#include <cstddef>
#include <string_view>

namespace plotalon {

// The value of the address word `letter` in an NC line: the characters after the first
// occurrence of the letter anywhere in the line, as long as they are blanks, "-", "." or
// digits, read as a decimal number with "." as separator. 0 when there is no usable value.
// Never fails; a number too long for extended precision comes back as inf or NaN, which the
// block translator's rounding turns into an invalid-operation fault.
long double ReadWordValue(char letter, std::string_view line);

// The same for the letter that stands at index `at` of line, and where its reading stopped:
// every character from `at` + 1 up to End is a blank, "-", "." or digit.
struct TWordValue {
    long double Value;
    std::size_t End;
};
TWordValue ReadWordAt(std::string_view line, std::size_t at);

} // namespace plotalon
