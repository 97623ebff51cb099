#pragma once
// The digits of a decimal number gathered as one integer, times ten plus digit in extended
// precision, as both readings form their values before they divide by a power of ten.

#include <cstddef>
#include <cstdint>

namespace plotalon {

// Up to 19 digits every step of the extended accumulation is an integer below 10^19 < 2^64,
// which extended precision holds exactly, so a 64-bit integer gives the very same value
// without the x87 unit; from the 20th digit on the extended value takes over, step for step.
class TDigitAccumulator {
public:
    void Add(unsigned digit) {
        if (count_ < kExact) {
            exact_ = exact_ * 10 + digit;
        } else {
            if (count_ == kExact) wide_ = static_cast<long double>(exact_);
            wide_ = wide_ * 10 + static_cast<int>(digit);
        }
        ++count_;
    }
    long double Value() const {
        return count_ <= kExact ? static_cast<long double>(exact_) : wide_;
    }
    std::size_t Digits() const { return count_; }

    // Digits that a 64-bit integer always holds exactly.
    static constexpr std::size_t kExact = 19;

private:
    std::uint64_t exact_ = 0;
    long double wide_ = 0;
    std::size_t count_ = 0;
};

inline bool IsDecimalDigit(char c) {
    return static_cast<unsigned>(static_cast<unsigned char>(c)) - '0' <= 9;
}

// The plain form nearly every number has, digits with at most one point and nothing between
// them, read in two tight loops: what a reader tries before its general rules.
struct TPlainDigits {
    std::uint64_t Digits = 0; // all digits as one integer; exact while Count <= kExact
    std::size_t Count = 0;    // digits read
    std::size_t Fraction = 0; // digits after the point
    bool Point = false;
    const char* End = nullptr; // after the last digit or point

    bool Exact() const { return Count <= TDigitAccumulator::kExact; }
    long double Value() const { return static_cast<long double>(Digits); }
};

inline TPlainDigits ScanPlainDigits(const char* p, const char* end) {
    TPlainDigits plain;
    std::uint64_t digits = 0; // in a register: the loops store nothing until they are done
    const char* const first = p;
    for (; p < end && IsDecimalDigit(*p); ++p)
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    plain.Count = static_cast<std::size_t>(p - first);
    if (p < end && *p == '.') {
        plain.Point = true;
        const char* const fraction = ++p;
        for (; p < end && IsDecimalDigit(*p); ++p)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        plain.Fraction = static_cast<std::size_t>(p - fraction);
        plain.Count += plain.Fraction;
    }
    plain.Digits = digits;
    plain.End = p;
    return plain;
}

} // namespace plotalon
