#pragma once
// The plot's picture rasterised without any toolkit, for the converter's PNG preview: the
// trace of the plot (PlotTrace.h) with antialiased lines of a fixed width in pixels, the size
// label in a small built-in pixel font. Every layer gathers its coverage first and is then
// laid onto the paper once, so that joints and crossings of one colour do not darken.
//
// The work is bounded by the picture (its longer side about longSide pixels) and what the
// trace hands on, whatever the coordinates and the magnification are.

#include <cstdint>
#include <string>
#include <vector>

#include "preview/HpglPlot.h"
#include "preview/PlotPicture.h"

namespace plotalon {

struct TRgbImage {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Pixels; // rows top first, three bytes a pixel

    TRgb At(int x, int y) const {
        const std::size_t i = (std::size_t(y) * std::size_t(Width) + std::size_t(x)) * 3;
        return {Pixels[i], Pixels[i + 1], Pixels[i + 2]};
    }
};

inline constexpr int kPreviewLongSide = 1200;

TRgbImage RenderPlot(const TPlot& plot, int longSide = kPreviewLongSide);
// Where RenderPlot puts everything.
TPixelPicture RasterLayout(const TPlot& plot, int longSide = kPreviewLongSide);

// RenderPlot as a PNG file.
void WritePlotPng(const TPlot& plot, const TByteWriter& write);

} // namespace plotalon
