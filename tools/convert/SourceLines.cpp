#include "tools/convert/SourceLines.h"

namespace plotalon {

std::vector<std::string> SplitSourceText(std::string_view bytes) {
    std::vector<std::string> lines;
    TSourceLineSplitter splitter;
    const auto keep = [&](std::string_view line) { lines.emplace_back(line); };
    splitter.Feed(bytes, keep);
    splitter.End(keep);
    return lines;
}

} // namespace plotalon
