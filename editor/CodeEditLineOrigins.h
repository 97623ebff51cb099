#pragma once
// For every line of a pane's text, the line of another text it was made from: which NC line
// produced each HPGL line of a conversion. The table is built beside the text as its lines
// are appended, taken over together with them, and from then on follows the pane's changes:
// a line replaced or inserted afterwards has no origin, removed lines take theirs along.
//
// Four bytes per line. Lines past the table's end have no origin, so a text appended or
// adopted after the table was emptied costs the table nothing.
//
// The way back, from an origin to its lines, needs no second table: a run appends its lines
// in source order, and edits only remove lines or take origins away, so the lines that have
// an origin keep their origins in rising order, and a binary search finds the lines of one.

#include "editor/CodeEditStringList.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace plotalon {

// Lines First to Last of a text, both included, 0-based.
struct TLineSpan {
    int First = 0, Last = 0;
    bool operator==(const TLineSpan&) const = default;
};

class TCodeEditLineOrigins {
public:
    // While the text is built: the origin of the line appended next; none for a line of its
    // own (a prefix or suffix line). An origin beyond the table's range counts as none.
    void Append(std::optional<std::size_t> origin);

    // The origin of a line, 0-based; none for a line without one and outside the text.
    std::optional<int> OriginOf(int line) const;

    // The lines made from origin, in text order, as runs of neighbouring lines (several where
    // edits punched holes); empty when there are none. Costs a binary search plus the lines
    // without origin it steps over.
    std::vector<TLineSpan> LinesFrom(int origin) const;

    // Follows one change of the text's line list.
    void Follow(const TLineChange& change);

    // Lines with an entry (the rest of the text has no origin).
    std::size_t Size() const { return origins_.size(); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    std::size_t LowerBound(std::uint32_t origin) const;
    std::vector<TLineSpan> LinesFromByScan(std::uint32_t origin) const;

    std::vector<std::uint32_t> origins_;
    // Whether the origins appended rose (or stayed); edits keep it so. A table appended out
    // of order is searched line by line.
    bool rising_ = true;
    std::uint32_t highest_ = 0;
    int textLines_ = 0; // the text's line count as the last change left it
};

} // namespace plotalon
