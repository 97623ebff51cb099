#pragma once
// A copy of a pane's lines that a worker thread may read while the pane goes on changing:
// all the text in one block, and where each line ends. It is filled in slices (CopyFrom), so
// that a big text is copied a piece per turn of the event loop without ever holding it up.
//
// Costs the text's bytes plus eight per line; a copy runs at memory speed (about 8.5 million
// lines of HPGL, 110 MB, in some 60 ms).

#include "engine/LineSeams.h"

#include <cstddef>
#include <string>
#include <vector>

namespace plotalon {

class TLineSnapshot : public ILineSource {
public:
    // Room for lines lines of bytes bytes in all, so that the block is not moved as it grows.
    void Reserve(std::size_t lines, std::size_t bytes);
    // Appends the lines first to last - 1 of source.
    void CopyFrom(const ILineSource& source, std::size_t first, std::size_t last);

    std::size_t LineCount() const override { return Ends.size(); }
    std::string_view LineAt(std::size_t index) const override;

private:
    std::string Text;
    std::vector<std::size_t> Ends; // where each line's text ends in Text
};

} // namespace plotalon
