#include "sender/SendProgress.h"

#include <cmath>
#include <cstdio>

namespace plotalon {

std::optional<double> TSendStatus::Remaining() const {
    if (Sent == 0 || Elapsed <= 0) return std::nullopt;
    return Elapsed / double(Sent) * double(Total - Sent);
}

std::string FormatDuration(double seconds) {
    const long long whole = std::isfinite(seconds) && seconds > 0 ? (long long)seconds : 0;
    const long long h = whole / 3600, m = whole / 60 % 60, s = whole % 60;
    char text[48];
    if (h > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
    return text;
}

} // namespace plotalon
