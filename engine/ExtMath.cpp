#include "engine/ExtMath.h"

#include <cmath>

#include "platform/Errors.h"

namespace plotalon {

std::int64_t RoundExt(long double value) {
    // Both bounds are exact in extended precision. 2^63 - 0.5 is a tie that goes to the even
    // 2^63, which no longer fits; NaN fails both comparisons.
    constexpr long double lowest = -9223372036854775808.0L;
    constexpr long double beyond = 9223372036854775807.5L;
    if (!(value >= lowest && value < beyond)) throw EInvalidOp();
    return std::llrint(value); // the default rounding mode: to nearest, halves to even
}

void SinCosExt(long double radians, long double& sine, long double& cosine) {
#if defined(__x86_64__) || defined(__i386__)
    asm("fsincos" : "=t"(cosine), "=u"(sine) : "0"(radians));
#else
    sincosl(radians, &sine, &cosine);
#endif
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
