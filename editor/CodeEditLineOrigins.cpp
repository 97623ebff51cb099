#include "editor/CodeEditLineOrigins.h"

#include <algorithm>
#include <utility>

namespace plotalon {

void TCodeEditLineOrigins::Append(std::optional<std::size_t> origin) {
    Origins.push_back(origin && *origin < kNone ? static_cast<std::uint32_t>(*origin) : kNone);
    ++TextLines;
}

std::optional<int> TCodeEditLineOrigins::OriginOf(int line) const {
    if (line < 0 || std::size_t(line) >= Origins.size() || Origins[std::size_t(line)] == kNone)
        return std::nullopt;
    return static_cast<int>(Origins[std::size_t(line)]);
}

void TCodeEditLineOrigins::Follow(const TLineChange& change) {
    const auto index = static_cast<std::size_t>(std::max(change.Index, 0));
    const int before = std::exchange(TextLines, change.CountAfter);
    switch (change.Kind) {
    case TLineChange::Cleared:
        Origins = {}; // gives the memory back
        break;
    case TLineChange::Added:
    case TLineChange::Inserted:
        if (index < Origins.size() && change.CountAfter > before)
            Origins.insert(Origins.begin() + std::ptrdiff_t(index),
                           std::size_t(change.CountAfter - before), kNone);
        break;
    case TLineChange::Deleted:
        if (index < Origins.size() && before > change.CountAfter) {
            const std::size_t end =
                std::min(Origins.size(), index + std::size_t(before - change.CountAfter));
            Origins.erase(Origins.begin() + std::ptrdiff_t(index),
                          Origins.begin() + std::ptrdiff_t(end));
        }
        break;
    case TLineChange::Replaced:
        if (index < Origins.size()) Origins[index] = kNone;
        break;
    }
}

} // namespace plotalon
