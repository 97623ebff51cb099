#pragma once
// Extended-precision arithmetic with the fault behaviour of an unmasked x87 unit: a
// division by zero and an invalid operation raise errors instead of producing inf or NaN.

#include <cstdint>

namespace plotalon {

// Nearest integer, a half going to the even neighbour. Raises EInvalidOp when the value is
// not finite or does not fit a signed 64-bit integer.
std::int64_t RoundExt(long double value);

// a / b; raises EZeroDivide for b = 0 (EInvalidOp when a is 0 too) and EInvalidOp when an
// operand is NaN.
long double DivideExt(long double a, long double b);

// Sine and cosine of an angle within a few turns, where the x87 unit's own FSINCOS is
// accurate to about one unit in the last place of extended precision (the precision arc
// points are computed in) and several times faster than the library's software routine.
void SinCosExt(long double radians, long double& sine, long double& cosine);

inline constexpr long double PiExt = 3.1415926535897932384626433832795L;

} // namespace plotalon
