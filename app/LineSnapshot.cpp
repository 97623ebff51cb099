#include "app/LineSnapshot.h"

namespace plotalon {

void TLineSnapshot::CopyFrom(const ILineSource& source, std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
        const std::string_view line = source.LineAt(i);
        if (blocks_.empty() || blocks_.back().size() + line.size() > blocks_.back().capacity()) {
            blocks_.emplace_back().reserve(std::max(kBlockBytes, line.size()));
        }
        std::string& block = blocks_.back();
        starts_.push_back({std::uint32_t(blocks_.size() - 1), std::uint32_t(block.size())});
        block.append(line);
    }
}

std::string_view TLineSnapshot::LineAt(std::size_t index) const {
    if (index >= starts_.size()) return {};
    const TStart start = starts_[index];
    const std::string& block = blocks_[start.Block];
    const bool nextHere = index + 1 < starts_.size() && starts_[index + 1].Block == start.Block;
    const std::size_t end = nextHere ? starts_[index + 1].Offset : block.size();
    return std::string_view(block).substr(start.Offset, end - start.Offset);
}

} // namespace plotalon
