#include "app/LineSnapshot.h"

namespace plotalon {

void TLineSnapshot::Reserve(std::size_t lines, std::size_t bytes) {
    Ends.reserve(lines);
    Text.reserve(bytes);
}

void TLineSnapshot::CopyFrom(const ILineSource& source, std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
        Text.append(source.LineAt(i));
        Ends.push_back(Text.size());
    }
}

std::string_view TLineSnapshot::LineAt(std::size_t index) const {
    if (index >= Ends.size()) return {};
    const std::size_t begin = index == 0 ? 0 : Ends[index - 1];
    return std::string_view(Text).substr(begin, Ends[index] - begin);
}

} // namespace plotalon
