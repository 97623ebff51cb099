#include "engine/HpglLine.h"

#include <bit>
#include <cstring>

namespace plotalon {

namespace {

constexpr char kDigitPairs[] = "00010203040506070809"
                               "10111213141516171819"
                               "20212223242526272829"
                               "30313233343536373839"
                               "40414243444546474849"
                               "50515253545556575859"
                               "60616263646566676869"
                               "70717273747576777879"
                               "80818283848586878889"
                               "90919293949596979899";

constexpr std::uint64_t kPowersOfTen[] = {1,
                                          10,
                                          100,
                                          1000,
                                          10000,
                                          100000,
                                          1000000,
                                          10000000,
                                          100000000,
                                          1000000000,
                                          10000000000,
                                          100000000000,
                                          1000000000000,
                                          10000000000000,
                                          100000000000000,
                                          1000000000000000,
                                          10000000000000000,
                                          100000000000000000,
                                          1000000000000000000,
                                          10000000000000000000u};

// Decimal digits of u, from its binary length: 1233 / 4096 is just above log10(2), so the
// estimate is the count or one short of it. u | 1 has the same count as u (a power of ten is
// even) and keeps 0 at one digit.
unsigned DigitCount(std::uint64_t u) {
    const std::uint64_t v = u | 1;
    const unsigned estimate = static_cast<unsigned>(std::bit_width(v) * 1233) >> 12;
    return estimate + (v >= kPowersOfTen[estimate] ? 1 : 0);
}

// An integral extended value as an integer: FISTP is exact for it and needs no change of the
// rounding mode, which a cast costs. Anything else is cut off as the cast does.
std::int64_t WholeValue(long double value) {
#if defined(__x86_64__) || defined(__i386__)
    std::int64_t result;
    asm("fistpll %0" : "=m"(result) : "t"(value) : "st");
    if (static_cast<long double>(result) == value) return result;
#endif
    return static_cast<std::int64_t>(value);
}

// Room for a two-letter command, four 20-character coordinates, separators and ";".
struct TLineBuffer {
    char text[2 + 4 * 21 + 1];
    std::size_t size = 0;

    // Commands are two letters: a copy of fixed size, without a library call.
    void Command(std::string_view s) {
        if (s.size() == 2)
            std::memcpy(text + size, s.data(), 2);
        else
            std::memcpy(text + size, s.data(), s.size());
        size += s.size();
    }
    void Put(char c) { text[size++] = c; }
    void Coord(std::int64_t v) { size += FormatCoord(v, text + size); }
    std::string_view View() const { return {text, size}; }
};

} // namespace

std::size_t FormatCoord(std::int64_t value, char* out) {
    std::uint64_t u = static_cast<std::uint64_t>(value);
    char* digits = out;
    if (value < 0) {
        u = 0 - u;
        *digits++ = '-';
    }
    const unsigned count = DigitCount(u);
    char* at = digits + count;
    while (u > 0xffffffffu) {
        at -= 2;
        std::memcpy(at, kDigitPairs + 2 * (u % 100), 2);
        u /= 100;
    }
    // The rest in 32 bits, whose division by 100 is a shorter multiplication.
    auto w = static_cast<std::uint32_t>(u);
    while (w >= 100) {
        at -= 2;
        std::memcpy(at, kDigitPairs + 2 * (w % 100), 2);
        w /= 100;
    }
    if (w >= 10)
        std::memcpy(at - 2, kDigitPairs + 2 * w, 2);
    else
        at[-1] = static_cast<char>('0' + w);
    return static_cast<std::size_t>(digits + count - out);
}

std::size_t FormatCoord(long double value, char* out) {
    return FormatCoord(WholeValue(value), out);
}

std::string FormatCoord(long double value) {
    char text[24];
    return std::string(text, FormatCoord(value, text));
}

void AppendPoint(ILineSink& target, std::string_view command, std::int64_t x, std::int64_t y) {
    TLineBuffer line;
    line.Command(command);
    line.Coord(x);
    line.Put(',');
    line.Coord(y);
    line.Put(';');
    target.AppendLine(line.View());
}

void AppendPoint(ILineSink& target, std::string_view command, long double x, long double y) {
    AppendPoint(target, command, WholeValue(x), WholeValue(y));
}

void AppendArcThrough(ILineSink& target, std::int64_t xi, std::int64_t yi, std::int64_t xe,
                      std::int64_t ye) {
    TLineBuffer line;
    line.Command("AT");
    line.Coord(xi);
    line.Put(',');
    line.Coord(yi);
    line.Put(',');
    line.Coord(xe);
    line.Put(',');
    line.Coord(ye);
    line.Put(';');
    target.AppendLine(line.View());
}

} // namespace plotalon
