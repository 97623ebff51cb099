#include "preview/PlotSvg.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace plotalon {

namespace {

constexpr std::size_t kStepsPerPath = 20000;

// Buffers the document and hands it on in large pieces.
class TSvgOut {
public:
    explicit TSvgOut(const TByteWriter& write) : write_(write) { buffer_.reserve(kChunk + 256); }

    TSvgOut& operator<<(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= kChunk) Flush();
        return *this;
    }
    // A coordinate or length to a hundredth of a unit; exponent form for the enormous.
    TSvgOut& operator<<(double value) {
        value = std::round(value * 100) / 100;
        if (value == 0) value = 0; // no "-0"
        char text[32];
        const auto result = std::to_chars(text, text + sizeof text, value);
        return *this << std::string_view(text, std::size_t(result.ptr - text));
    }
    // x and y of a plotter point, y turned downwards for the document.
    TSvgOut& Point(TPlotPoint p) { return *this << p.X << " " << -p.Y; }
    void Flush() {
        write_(buffer_);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;
    const TByteWriter& write_;
    std::string buffer_;
};

std::string Hex(TRgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.R, c.G, c.B);
    return text;
}

// An arc as SVG arc commands, in pieces of at most a quarter turn, so that neither a closed
// circle nor the choice between the short and the long way is left to the viewer.
void WriteArc(TSvgOut& out, const TPlotArc& arc, TPlotPoint end) {
    const int pieces = std::max(1, int(std::ceil(std::abs(arc.Sweep) / (std::numbers::pi / 2))));
    // Turning counter-clockwise on the plotter is clockwise in the document's y-down frame.
    const bool plotterCcw = (arc.Sweep > 0) == ((arc.RadiusX > 0) == (arc.RadiusY > 0));
    const std::string_view flags = plotterCcw ? " 0 0 0 " : " 0 0 1 ";
    for (int i = 1; i <= pieces; ++i) {
        const TPlotPoint to = i == pieces ? end : arc.At(arc.StartAngle + arc.Sweep * i / pieces);
        out << "A" << std::abs(arc.RadiusX) << " " << std::abs(arc.RadiusY) << flags;
        out.Point(to);
    }
}

void WritePathOpening(TSvgOut& out, int layer, const TPlotPicture& picture) {
    if (layer == kTravelLayer) {
        out << "<path class=\"travel\" stroke=\"" << Hex(kTravelColour) << "\" stroke-width=\""
            << picture.TravelWidth << "\" stroke-dasharray=\"" << picture.DashOn << " "
            << picture.DashOff << "\" d=\"";
    } else {
        out << "<path class=\"pen" << std::to_string(layer) << "\" stroke=\""
            << Hex(LayerColour(layer)) << "\" stroke-width=\"" << picture.PenWidth << "\" d=\"";
    }
}

void WriteLayer(TSvgOut& out, const TPlot& plot, int layer, const TPlotPicture& picture) {
    std::size_t steps = 0;
    for (const TPlotStroke& stroke : plot.Strokes()) {
        if (LayerOf(stroke) != layer) continue;
        if (steps == 0) WritePathOpening(out, layer, picture);
        out << "M";
        out.Point(stroke.Start);
        bool lineOpen = false;
        for (const TPlotStep& step : plot.StepsOf(stroke)) {
            if (step.IsArc()) {
                WriteArc(out, plot.Arcs()[std::size_t(step.Arc)], step.To);
                lineOpen = false;
                continue;
            }
            // Further points after an L continue the line without repeating the letter.
            out << (lineOpen ? " " : "L");
            out.Point(step.To);
            lineOpen = true;
        }
        steps += stroke.StepCount;
        if (steps >= kStepsPerPath) {
            out << "\"/>\n";
            steps = 0;
        }
    }
    if (steps > 0) out << "\"/>\n";
}

} // namespace

void WritePlotSvg(const TPlot& plot, const TByteWriter& write) {
    const TPlotPicture picture = LayOutPicture(plot);
    const TPlotBounds& view = picture.View;
    TSvgOut out(write);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
        << view.Width() / kUnitsPerMillimetre << "mm\" height=\""
        << view.Height() / kUnitsPerMillimetre << "mm\" viewBox=\"";
    out.Point({view.MinX, view.MaxY}) << " " << view.Width() << " " << view.Height() << "\">\n";
    out << "<title>Plotalon-Vorschau</title>\n<rect x=\"" << view.MinX << "\" y=\"" << -view.MaxY
        << "\" width=\"" << view.Width() << "\" height=\"" << view.Height() << "\" fill=\""
        << Hex(kPaperColour) << "\"/>\n";
    out << "<g fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    const TPlotBounds& drawing = picture.Drawing;
    if (!drawing.Empty()) {
        out << "<rect class=\"extent\" x=\"" << drawing.MinX << "\" y=\"" << -drawing.MaxY
            << "\" width=\"" << drawing.Width() << "\" height=\"" << drawing.Height()
            << "\" stroke=\"" << Hex(kFrameColour) << "\" stroke-width=\"" << picture.FrameWidth
            << "\" stroke-dasharray=\"" << picture.DashOn << " " << picture.DashOff << "\"/>\n";
    }
    std::array<bool, kLayers> used{};
    for (const TPlotStroke& stroke : plot.Strokes())
        used[std::size_t(LayerOf(stroke))] = true;
    for (int layer = 0; layer < kLayers; ++layer)
        if (used[std::size_t(layer)]) WriteLayer(out, plot, layer, picture);
    out << "</g>\n<text class=\"size\" x=\"" << picture.LabelAt.X << "\" y=\"" << -picture.LabelAt.Y
        << "\" font-family=\"Liberation Sans, Arial, Helvetica, sans-serif\" font-size=\""
        << picture.FontSize << "\" fill=\"" << Hex(kLabelColour) << "\">" << picture.Label
        << "</text>\n</svg>\n";
    out.Flush();
}

} // namespace plotalon
