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

// Sine and cosine in double precision, for a caller that rounds what it computes from them to
// whole units and takes the result only where RoundClearly says the rounding cannot depend on
// the difference: the library's sincos takes about half the time of FSINCOS. For
// |radians| < 16 they lie within kSinCosApproxError of SinCosExt's values (the library is
// accurate to an ulp of double, the angle loses at most 2^-49 on its way to double, FSINCOS is
// far more accurate than either). False, with nothing written, for any other angle.
inline bool SinCosApprox(long double radians, long double& sine, long double& cosine) {
    if (!(radians > -16 && radians < 16)) return false;
    double s = 0, c = 0;
    sincos(static_cast<double>(radians), &s, &c);
    sine = s;
    cosine = c;
    return true;
}
inline constexpr long double kSinCosApproxError = 0x1p-48L;

// The room a value computed from SinCosApprox's results needs on either side: the sine's and
// cosine's error times `scale` (what multiplies them on the way to the value), and the
// roundings of the products and sums along the way, whose magnitudes `size` bounds; both with
// a margin of 256.
inline long double SinCosSlack(long double scale, long double size) {
    return (std::fabs(scale) * kSinCosApproxError + std::fabs(size) * 0x1p-58L) * 256;
}

// RoundExt(value) into whole, when every value within slack of it rounds to the same whole
// number, far inside the 64-bit range. False otherwise (and for NaN), with nothing written.
inline bool RoundClearly(long double value, long double slack, std::int64_t& whole) {
    if (!(std::fabs(value) < 0x1p62L)) return false;
    const std::int64_t nearest = RoundExt(value);
    // Rounding to nearest changes only at the halves between two whole numbers.
    if (!(0.5L - std::fabs(value - static_cast<long double>(nearest)) > slack)) return false;
    whole = nearest;
    return true;
}

inline constexpr long double PiExt = 3.1415926535897932384626433832795L;

} // namespace plotalon
