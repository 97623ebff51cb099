#include "engine/WordReader.h"

#include <cmath>
#include <cstdint>

#include "engine/DecimalDigits.h"

namespace plotalon {

namespace {

long double PowerOfTen(std::size_t n) {
    // Powers up to 10^27 are exact in extended precision; a table keeps the common case
    // free of library calls.
    static constexpr auto table = [] {
        struct Table {
            long double p[28];
        } t{};
        t.p[0] = 1;
        for (int i = 1; i < 28; ++i)
            t.p[i] = t.p[i - 1] * 10;
        return t;
    }();
    if (n < 28) return table.p[n];
    return std::pow(10.0L, static_cast<long double>(n));
}

bool IsNumberChar(char c) {
    return c == ' ' || c == '-' || c == '.' || IsDecimalDigit(c);
}

// The plain form with at most 19 digits, and nothing but blanks between it and the next
// character that ends the collection; false for everything else, which the general reading
// takes.
bool ReadPlainNumber(const char* p, const char* end, long double& value, const char*& stop) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const TPlainDigits plain = ScanPlainDigits(p, end);
    if (!plain.Exact() || (negative && plain.Count == 0 && !plain.Point)) return false;
    const char* after = plain.End;
    while (after < end && *after == ' ')
        ++after;
    if (after < end && IsNumberChar(*after)) return false;
    const long double magnitude = plain.Value() / PowerOfTen(plain.Fraction);
    value = negative ? -magnitude : magnitude;
    stop = after;
    return true;
}

} // namespace

// Reads the number as the collected text would convert once its blanks are gone: an optional
// leading "-", digits with at most one "."; a character that cannot stand at its place stops
// the conversion with the integer of all digits read so far, without sign or point.
TWordValue ReadWordAt(std::string_view line, std::size_t at) {
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* p = begin + at + 1;
    long double plain = 0;
    const char* plainStop = nullptr;
    if (ReadPlainNumber(p, end, plain, plainStop))
        return {plain, static_cast<std::size_t>(plainStop - begin)};
    TDigitAccumulator digits;
    std::size_t fractionDigits = 0;
    std::size_t nonBlank = 0;
    bool negative = false, inFraction = false;
    for (; p < end; ++p) {
        const char c = *p;
        if (IsDecimalDigit(c)) {
            digits.Add(static_cast<unsigned>(c - '0'));
            if (inFraction) ++fractionDigits;
        } else if (c == ' ') {
            continue;
        } else if (c == '.') {
            if (inFraction) return {digits.Value(), static_cast<std::size_t>(p - begin)};
            inFraction = true;
        } else if (c == '-') {
            if (nonBlank > 0) return {digits.Value(), static_cast<std::size_t>(p - begin)};
            negative = true;
        } else {
            break;
        }
        ++nonBlank;
    }
    const auto stop = static_cast<std::size_t>(p - begin);
    if (negative && nonBlank == 1) return {0, stop}; // a sign and nothing after it
    const long double value = digits.Value() / PowerOfTen(fractionDigits);
    return {negative ? -value : value, stop};
}

long double ReadWordValue(char letter, std::string_view line) {
    const std::size_t at = line.find(letter);
    if (at == std::string_view::npos) return 0;
    return ReadWordAt(line, at).Value;
}

} // namespace plotalon
