#pragma once
// A copy of a pane's lines that a worker thread may read while the pane goes on changing.
// It is filled in slices (CopyFrom), so that a big text is copied a piece per turn of the
// event loop without ever holding it up.
//
// The text lies in blocks of a megabyte that never move once written, so that the copy
// never copies itself again as it grows; each line is found by where it starts. Costs the
// text's bytes plus eight per line.

#include "engine/LineSeams.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plotalon {

class TLineSnapshot : public ILineSource {
public:
    // Room for lines lines' starts.
    void Reserve(std::size_t lines) { starts_.reserve(lines); }
    // Appends the lines first to last - 1 of source.
    void CopyFrom(const ILineSource& source, std::size_t first, std::size_t last);

    std::size_t LineCount() const override { return starts_.size(); }
    std::string_view LineAt(std::size_t index) const override; // empty outside the copy

    static constexpr std::size_t kBlockBytes = std::size_t(1) << 20;

private:
    struct TStart {
        std::uint32_t Block;
        std::uint32_t Offset;
    };
    std::vector<std::string> blocks_; // a line longer than a block has one of its own
    std::vector<TStart> starts_;
};

} // namespace plotalon
