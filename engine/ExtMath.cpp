#include "engine/ExtMath.h"

#include <cmath>

#include "platform/Errors.h"

namespace plotalon {

std::int64_t RoundExt(long double value) {
    // 2^63 is exact in extended precision; anything at or beyond it cannot be stored.
    constexpr long double limit = 9223372036854775808.0L;
    if (!(value >= -limit && value < limit)) throw EInvalidOp();
    long double rounded = std::nearbyintl(value); // default mode: to nearest, halves even
    if (!(rounded < limit)) throw EInvalidOp(); // 2^63 - 0.5 rounds up to 2^63
    return static_cast<std::int64_t>(rounded);
}

long double DivideExt(long double a, long double b) {
    if (std::isnan(a) || std::isnan(b)) throw EInvalidOp();
    if (b == 0) {
        if (a == 0) throw EInvalidOp();
        throw EZeroDivide();
    }
    return a / b;
}

} // namespace plotalon
