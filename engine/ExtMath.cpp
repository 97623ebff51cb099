#include "engine/ExtMath.h"

#include "platform/Errors.h"

namespace plotalon {

void RaiseInvalidOp() {
    throw EInvalidOp();
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
