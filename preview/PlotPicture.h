#pragma once
// The pictures of a plot: white paper with a margin around everything the pen does, the pen-up
// travel as thin dashed lines under the drawing, the extent of the drawing framed and its size
// in millimetres below, the start of the pen's way marked.
//
// The SVG document is laid out in plotter units, its line widths and label growing with the
// plot. Raster pictures (TPixelPicture) are laid out in pixels: lines and label keep their
// size in pixels however large or small the plot is.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "preview/HpglPlot.h"
#include "preview/PlotTrace.h"

namespace plotalon {

inline constexpr double kUnitsPerMillimetre = 40;

struct TRgb {
    std::uint8_t R = 0, G = 0, B = 0;
    bool operator==(const TRgb&) const = default;
};

inline constexpr TRgb kPaperColour{255, 255, 255};
inline constexpr TRgb kTravelColour{224, 80, 32};
inline constexpr TRgb kFrameColour{140, 140, 140};
inline constexpr TRgb kLabelColour{64, 64, 64};
inline constexpr TRgb kStartColour{0, 150, 230};
// Highlighted steps: a wide halo with a line of their own on top.
inline constexpr TRgb kHighlightHalo{255, 210, 0};
inline constexpr TRgb kHighlightColour{220, 0, 110};

// Drawing happens in layers, bottom first: the travel, then the pens by colour, so that both
// writers stack alike. Pens share the eight colours in turn.
inline constexpr int kTravelLayer = 0;
inline constexpr int kPenColours = 8;
inline constexpr int kLayers = 1 + kPenColours;
int LayerOf(const TPlotStroke& stroke);
TRgb LayerColour(int layer);

struct TPlotPicture {
    TPlotBounds View;    // the whole picture
    TPlotBounds Drawing; // framed and measured; empty when no pen draws
    double PenWidth = 0, TravelWidth = 0, FrameWidth = 0;
    double DashOn = 0, DashOff = 0; // travel and frame dashes
    double FontSize = 0;
    TPlotPoint LabelAt; // the left end of the label's baseline
    std::string Label;  // UTF-8
};

TPlotPicture LayOutPicture(const TPlot& plot);

// "297,0 × 210,0 mm": width and height at 40 units to the millimetre, one decimal.
std::string SizeLabel(const TPlotBounds& drawing);

// The label's width, as wide as the widest of the fonts it is set in: the digits of the usual
// sans-serif fonts take a little more than half the font size, the raster's built-in font
// 0.62 of it for every character.
inline constexpr double kLabelAdvance = 0.62;
double LabelWidth(std::string_view label, double fontSize);

// A raster picture: the plot fitted into a square of longSide pixels with the margins and the
// label's band below it, the picture widened to the label where the drawing is narrower.
struct TPixelPicture {
    int Width = 1, Height = 1;
    TViewTransform View;
    TDeviceRect Frame; // the drawing's extent; meaningless when HasFrame is false
    bool HasFrame = false;
    TDevicePoint LabelAt; // the top left corner of the label
    std::string Label;    // UTF-8
    bool HasStart = false;
    TDevicePoint Start; // where the pen's way begins
};
inline constexpr int kPictureMargin = 16;
inline constexpr int kLabelGap = 8;

TPixelPicture LayOutPixels(const TPlot& plot, int longSide, double labelWidth, double labelHeight);

// Where a writer's bytes go.
using TByteWriter = std::function<void(std::string_view)>;

} // namespace plotalon
