#include "engine/WordReader.h"

#include <cmath>
#include <cstdint>

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
        for (int i = 1; i < 28; ++i) t.p[i] = t.p[i - 1] * 10;
        return t;
    }();
    if (n < 28) return table.p[n];
    return std::pow(10.0L, static_cast<long double>(n));
}

// The digits are gathered as one integer, times ten plus digit in extended precision. Up to
// 19 digits every step of that is an integer below 10^19 < 2^64, which extended precision
// holds exactly, so a 64-bit integer gives the very same value without the x87 unit; from the
// 20th digit on the extended value takes over, step for step as before.
class TDigits {
public:
    void Add(unsigned digit) {
        if (Count < kExact) {
            Exact = Exact * 10 + digit;
        } else {
            if (Count == kExact) Wide = static_cast<long double>(Exact);
            Wide = Wide * 10 + static_cast<int>(digit);
        }
        ++Count;
    }
    long double Value() const { return Count <= kExact ? static_cast<long double>(Exact) : Wide; }

private:
    static constexpr unsigned kExact = 19;
    std::uint64_t Exact = 0;
    long double Wide = 0;
    std::size_t Count = 0;
};

bool IsDigit(char c) { return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0' <= 9; }
bool IsNumberChar(char c) { return c == ' ' || c == '-' || c == '.' || IsDigit(c); }

// The form nearly every word has, [-]digits[.digits] with at most 19 digits and nothing but
// blanks between it and the next character that ends the collection, in one tight pass. False
// for everything else, which the general reading takes.
bool ReadPlainNumber(const char* p, const char* end, long double& value, const char*& stop) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* const first = p;
    std::uint64_t digits = 0;
    for (; p < end && IsDigit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
    std::size_t count = static_cast<std::size_t>(p - first), fractionDigits = 0;
    if (p < end && *p == '.') {
        const char* const fraction = ++p;
        for (; p < end && IsDigit(*p); ++p)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        fractionDigits = static_cast<std::size_t>(p - fraction);
        count += fractionDigits;
    } else if (negative && count == 0) {
        return false; // a lone sign
    }
    if (count > 19) return false;
    const char* after = p;
    while (after < end && *after == ' ') ++after;
    if (after < end && IsNumberChar(*after)) return false;
    const long double magnitude = static_cast<long double>(digits) / PowerOfTen(fractionDigits);
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
    TDigits digits;
    std::size_t fractionDigits = 0;
    std::size_t nonBlank = 0;
    bool negative = false, inFraction = false;
    for (; p < end; ++p) {
        const char c = *p;
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(c)) - '0';
        if (digit <= 9) {
            digits.Add(digit);
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
