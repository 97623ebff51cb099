#include "editor/CodeEditLineOrigins.h"

#include <algorithm>
#include <utility>

namespace plotalon {

namespace {

// Adds line to the spans, lengthening the last one where line follows it.
void AddLine(std::vector<TLineSpan>& spans, std::size_t line) {
    if (!spans.empty() && spans.back().Last + 1 == int(line))
        spans.back().Last = int(line);
    else
        spans.push_back({int(line), int(line)});
}

} // namespace

void TCodeEditLineOrigins::Append(std::optional<std::size_t> origin) {
    const std::uint32_t entry =
        origin && *origin < kNone ? static_cast<std::uint32_t>(*origin) : kNone;
    if (entry != kNone) {
        rising_ = rising_ && entry >= highest_;
        highest_ = std::max(highest_, entry);
    }
    origins_.push_back(entry);
    ++textLines_;
}

// The first line whose origin is at least origin, lines without one stepped over; the size
// when there is none. Every line with an origin before the bound has a smaller one.
std::size_t TCodeEditLineOrigins::LowerBound(std::uint32_t origin) const {
    std::size_t low = 0, high = origins_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const auto found = std::find_if(origins_.begin() + std::ptrdiff_t(middle),
                                        origins_.begin() + std::ptrdiff_t(high),
                                        [](std::uint32_t entry) { return entry != kNone; });
        const auto at = std::size_t(found - origins_.begin());
        if (at == high || *found >= origin)
            high = middle;
        else
            low = at + 1;
    }
    return low;
}

std::vector<TLineSpan> TCodeEditLineOrigins::LinesFrom(int origin) const {
    if (origin < 0 || std::uint32_t(origin) >= kNone) return {};
    const auto wanted = std::uint32_t(origin);
    if (!rising_) return LinesFromByScan(wanted);
    std::vector<TLineSpan> spans;
    for (std::size_t line = LowerBound(wanted); line < origins_.size(); ++line) {
        const std::uint32_t entry = origins_[line];
        if (entry == kNone) continue;
        if (entry != wanted) break;
        AddLine(spans, line);
    }
    return spans;
}

std::vector<TLineSpan> TCodeEditLineOrigins::LinesFromByScan(std::uint32_t origin) const {
    std::vector<TLineSpan> spans;
    for (std::size_t line = 0; line < origins_.size(); ++line) {
        if (origins_[line] != origin) continue;
        AddLine(spans, line);
    }
    return spans;
}

std::optional<int> TCodeEditLineOrigins::OriginOf(int line) const {
    if (line < 0 || std::size_t(line) >= origins_.size() || origins_[std::size_t(line)] == kNone)
        return std::nullopt;
    return static_cast<int>(origins_[std::size_t(line)]);
}

void TCodeEditLineOrigins::Follow(const TLineChange& change) {
    const auto index = static_cast<std::size_t>(std::max(change.Index, 0));
    const int before = std::exchange(textLines_, change.CountAfter);
    switch (change.Kind) {
    case TLineChange::Cleared:
        origins_ = {}; // gives the memory back
        rising_ = true;
        highest_ = 0;
        break;
    case TLineChange::Added:
    case TLineChange::Inserted:
        if (index < origins_.size() && change.CountAfter > before)
            origins_.insert(origins_.begin() + std::ptrdiff_t(index),
                            std::size_t(change.CountAfter - before), kNone);
        break;
    case TLineChange::Deleted:
        if (index < origins_.size() && before > change.CountAfter) {
            const std::size_t end =
                std::min(origins_.size(), index + std::size_t(before - change.CountAfter));
            origins_.erase(origins_.begin() + std::ptrdiff_t(index),
                           origins_.begin() + std::ptrdiff_t(end));
        }
        break;
    case TLineChange::Replaced:
        if (index < origins_.size()) origins_[index] = kNone;
        break;
    }
}

} // namespace plotalon
