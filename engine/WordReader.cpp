#include "engine/WordReader.h"

#include <cmath>
#include <string>

namespace plotalon {

namespace {

bool IsNumberChar(char c) { return c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9'); }

long double PowerOfTen(std::size_t n) {
    // Powers up to 10^27 are exact in extended precision; a table keeps the common case
    // free of library calls.
    static const auto table = [] {
        struct Table {
            long double p[28];
        } t{};
        t.p[0] = 1;
        for (int i = 1; i < 28; ++i) t.p[i] = t.p[i - 1] * 10;
        return t;
    }();
    if (n < 28) return table.p[n];
    return std::pow(10.0L, static_cast<long double>(n));
}

// Converts the collected text (blanks already gone). On a character that cannot stand at
// its place, the result is the integer of all digits read so far, without sign or point.
long double ConvertNumber(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    long double digits = 0;
    std::size_t fractionDigits = 0;
    bool inFraction = false;
    if (negative && i == text.size()) return 0; // a sign and nothing after it
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            if (inFraction) ++fractionDigits;
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else {
            return digits; // a misplaced "-" or a second "."
        }
    }
    long double value = digits / PowerOfTen(fractionDigits);
    return negative ? -value : value;
}

} // namespace

long double ReadWordValue(char letter, std::string_view line) {
    std::size_t at = line.find(letter);
    if (at == std::string_view::npos || at + 1 >= line.size()) return 0;
    std::size_t end = at + 1;
    while (end < line.size() && IsNumberChar(line[end])) ++end;
    std::string_view collected = line.substr(at + 1, end - at - 1);
    if (collected.find(' ') == std::string_view::npos) return ConvertNumber(collected);
    std::string compact;
    compact.reserve(collected.size());
    for (char c : collected)
        if (c != ' ') compact += c;
    return ConvertNumber(compact);
}

} // namespace plotalon
