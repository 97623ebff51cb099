#pragma once
// Preview files: the format follows the file name's extension.

#include <optional>
#include <string_view>

#include "preview/HpglPlot.h"
#include "preview/PlotPicture.h"

namespace plotalon {

enum class TPlotFileFormat { pfSvg, pfPng };

// ".svg" or ".png" in any case; nothing for any other name.
std::optional<TPlotFileFormat> PlotFileFormatOf(std::string_view path);

void WritePlotFile(const TPlot& plot, TPlotFileFormat format, const TByteWriter& write);

} // namespace plotalon
