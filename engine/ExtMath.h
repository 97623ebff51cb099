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

inline constexpr long double PiExt = 3.1415926535897932384626433832795L;

} // namespace plotalon
