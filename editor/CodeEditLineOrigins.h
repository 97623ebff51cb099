#pragma once
// For every line of a pane's text, the line of another text it was made from: which NC line
// produced each HPGL line of a conversion. The table is built beside the text as its lines
// are appended, taken over together with them, and from then on follows the pane's changes:
// a line replaced or inserted afterwards has no origin, removed lines take theirs along.
//
// Four bytes per line. Lines past the table's end have no origin, so a text appended or
// adopted after the table was emptied costs the table nothing.

#include "editor/CodeEditStringList.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace plotalon {

class TCodeEditLineOrigins {
public:
    // While the text is built: the origin of the line appended next; none for a line of its
    // own (a prefix or suffix line). An origin beyond the table's range counts as none.
    void Append(std::optional<std::size_t> origin);

    // The origin of a line, 0-based; none for a line without one and outside the text.
    std::optional<int> OriginOf(int line) const;

    // Follows one change of the text's line list.
    void Follow(const TLineChange& change);

    // Lines with an entry (the rest of the text has no origin).
    std::size_t Size() const { return Origins.size(); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    std::vector<std::uint32_t> Origins;
    int TextLines = 0; // the text's line count as the last change left it
};

} // namespace plotalon
