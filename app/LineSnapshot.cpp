#include "app/LineSnapshot.h"

namespace plotalon {

void TLineSnapshot::CopyFrom(const ILineSource& source, std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
        const std::string_view line = source.LineAt(i);
        if (Blocks.empty() || Blocks.back().size() + line.size() > Blocks.back().capacity()) {
            Blocks.emplace_back().reserve(std::max(kBlockBytes, line.size()));
        }
        std::string& block = Blocks.back();
        Starts.push_back({std::uint32_t(Blocks.size() - 1), std::uint32_t(block.size())});
        block.append(line);
    }
}

std::string_view TLineSnapshot::LineAt(std::size_t index) const {
    if (index >= Starts.size()) return {};
    const TStart start = Starts[index];
    const std::string& block = Blocks[start.Block];
    const bool nextHere = index + 1 < Starts.size() && Starts[index + 1].Block == start.Block;
    const std::size_t end = nextHere ? Starts[index + 1].Offset : block.size();
    return std::string_view(block).substr(start.Offset, end - start.Offset);
}

} // namespace plotalon
