#pragma once
// Extended-precision arithmetic with the fault behaviour of an unmasked x87 unit: a
// division by zero and an invalid operation raise errors instead of producing inf or NaN.
//
// Rounding and the sine and cosine run millions of times in a conversion, so they are inline.

#include <cmath>
#include <cstdint>

namespace plotalon {

// Raises EInvalidOp; kept out of line so that the inline callers stay small.
[[noreturn]] void RaiseInvalidOp();

// Nearest integer, a half going to the even neighbour. Raises EInvalidOp when the value is
// not finite or does not fit a signed 64-bit integer.
inline std::int64_t RoundExt(long double value) {
    // Both bounds are exact in extended precision. 2^63 - 0.5 is a tie that goes to the even
    // 2^63, which no longer fits; NaN fails both comparisons.
    constexpr long double lowest = -9223372036854775808.0L;
    constexpr long double beyond = 9223372036854775807.5L;
    if (!(value >= lowest && value < beyond)) [[unlikely]]
        RaiseInvalidOp();
#if defined(__x86_64__) || defined(__i386__)
    // What the library's llrintl does, without the call: FISTP in the unit's rounding mode,
    // which is to nearest with halves to even unless someone changed it (llrintl would
    // follow that change too).
    std::int64_t result;
    asm("fistpll %0" : "=m"(result) : "t"(value) : "st");
    return result;
#else
    return std::llrint(value);
#endif
}

// a / b; raises EZeroDivide for b = 0 (EInvalidOp when a is 0 too) and EInvalidOp when an
// operand is NaN.
long double DivideExt(long double a, long double b);

// Sine and cosine of an angle within a few turns, where the x87 unit's own FSINCOS is
// accurate to about one unit in the last place of extended precision (the precision arc
// points are computed in) and several times faster than the library's software routine.
inline void SinCosExt(long double radians, long double& sine, long double& cosine) {
#if defined(__x86_64__) || defined(__i386__)
    asm("fsincos" : "=t"(cosine), "=u"(sine) : "0"(radians));
#else
    sincosl(radians, &sine, &cosine);
#endif
}

inline constexpr long double PiExt = 3.1415926535897932384626433832795L;

} // namespace plotalon
