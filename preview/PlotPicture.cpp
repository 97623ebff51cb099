#include "preview/PlotPicture.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace plotalon {

namespace {

// The pens' colours: black, then the plotter's usual carousel.
constexpr TRgb kPenPalette[kPenColours] = {
    {0, 0, 0},     {208, 0, 0},   {0, 128, 0},   {0, 0, 208},
    {176, 0, 176}, {0, 128, 128}, {176, 112, 0}, {96, 96, 96},
};

// Keeps a point or an empty plot at a size that can be drawn and labelled.
constexpr double kSmallestExtent = 400;

std::string Millimetres(double units) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, units / kUnitsPerMillimetre,
                                      std::chars_format::fixed, 1);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

} // namespace

int LayerOf(const TPlotStroke& stroke) {
    if (stroke.Kind == TStrokeKind::skTravel) return kTravelLayer;
    return 1 + (stroke.Pen - 1 + kPenColours) % kPenColours;
}

TRgb LayerColour(int layer) {
    return layer == kTravelLayer ? kTravelColour : kPenPalette[layer - 1];
}

double LabelWidth(std::string_view label, double fontSize) {
    std::size_t characters = 0;
    for (const char c : label)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80; // UTF-8 lead bytes
    return double(characters) * kLabelAdvance * fontSize;
}

std::string SizeLabel(const TPlotBounds& drawing) {
    return Millimetres(drawing.Width()) + " \xC3\x97 " + Millimetres(drawing.Height()) + " mm";
}

TPixelPicture LayOutPixels(const TPlot& plot, int longSide, double labelWidth, double labelHeight) {
    TPixelPicture picture;
    TPlotBounds content = plot.AllBounds();
    if (content.Empty()) content.Add(TPlotPoint{0, 0});
    // The label's band counts against the longer side too.
    const double labelBand = 2 * kLabelGap + std::ceil(labelHeight);
    const double roomX = std::max(1, longSide - 2 * kPictureMargin);
    const double roomY = std::max(1.0, longSide - kPictureMargin - labelBand);
    const double scale = FitTransform(content, {0, 0, roomX, roomY}).Scale;
    const double width = std::ceil(content.Width() * scale);
    const double height = std::ceil(content.Height() * scale);
    picture.View = {scale, kPictureMargin - content.MinX * scale,
                    kPictureMargin + content.MaxY * scale};
    picture.Width = int(std::max(width, std::ceil(labelWidth)) + 2 * kPictureMargin);
    picture.Height = int(height + kPictureMargin + labelBand);
    picture.LabelAt = {double(kPictureMargin), kPictureMargin + height + kLabelGap};
    const TPlotBounds& drawn = plot.DrawnBounds();
    picture.HasFrame = !drawn.Empty();
    if (picture.HasFrame) {
        const TDevicePoint low = picture.View.ToDevice({drawn.MinX, drawn.MinY});
        const TDevicePoint high = picture.View.ToDevice({drawn.MaxX, drawn.MaxY});
        picture.Frame = {low.X, high.Y, high.X, low.Y};
    }
    picture.Label = SizeLabel(drawn);
    picture.HasStart = !plot.Strokes().empty();
    if (picture.HasStart) picture.Start = picture.View.ToDevice(plot.Strokes().front().Start);
    return picture;
}

TPlotPicture LayOutPicture(const TPlot& plot) {
    TPlotPicture picture;
    TPlotBounds content = plot.AllBounds();
    if (content.Empty()) content.Add(TPlotPoint{0, 0});
    const double extent = std::max({content.Width(), content.Height(), kSmallestExtent});
    const double margin = extent * 0.04;
    picture.PenWidth = extent / 700;
    picture.TravelWidth = extent / 1400;
    picture.FrameWidth = extent / 1400;
    picture.DashOn = extent / 120;
    picture.DashOff = extent / 200;
    picture.FontSize = extent * 0.024;

    // The label stands below everything, its baseline half a margin above the picture's edge;
    // a drawing narrower than the label widens the picture to the label's end.
    picture.Drawing = plot.DrawnBounds();
    picture.Label = SizeLabel(picture.Drawing);
    picture.LabelAt = {content.MinX, content.MinY - margin - picture.FontSize};
    const double labelEnd = content.MinX + LabelWidth(picture.Label, picture.FontSize);
    picture.View.Add(TPlotPoint{content.MinX - margin, content.MaxY + margin});
    picture.View.Add(
        TPlotPoint{std::max(content.MaxX, labelEnd) + margin, picture.LabelAt.Y - margin / 2});
    return picture;
}

} // namespace plotalon
