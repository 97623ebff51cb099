#include "preview/PlotFile.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "preview/PlotRaster.h"
#include "preview/PlotSvg.h"

namespace plotalon {

std::optional<TPlotFileFormat> PlotFileFormatOf(std::string_view path) {
    if (path.size() < 5 || path[path.size() - 5] == '/') return std::nullopt; // not ".svg" alone
    std::string extension(path.substr(path.size() - 4));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".svg") return TPlotFileFormat::pfSvg;
    if (extension == ".png") return TPlotFileFormat::pfPng;
    return std::nullopt;
}

void WritePlotFile(const TPlot& plot, TPlotFileFormat format, const TByteWriter& write) {
    if (format == TPlotFileFormat::pfSvg)
        WritePlotSvg(plot, write);
    else
        WritePlotPng(plot, write);
}

} // namespace plotalon
