#include "preview/PlotRaster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "preview/PngWriter.h"

namespace plotalon {

namespace {

struct TPx {
    double X = 0, Y = 0;
};

struct TDash {
    double On = 0, Period = 0;
};

// Coverage of one layer, 0 to 255 a pixel; a pixel keeps the highest coverage it got.
class TLayer {
public:
    TLayer(int width, int height) : Width(width), Height(height) {}

    bool Used() const { return !Coverage.empty(); }
    std::uint8_t At(std::size_t i) const { return Coverage[i]; }

    // A segment of the given half width with round ends; with a dash, only where the distance
    // along the stroke (phase at a) falls into the dash.
    void Segment(TPx a, TPx b, double halfWidth, const TDash* dash, double phase) {
        if (Coverage.empty()) Coverage.assign(std::size_t(Width) * std::size_t(Height), 0);
        const double dx = b.X - a.X, dy = b.Y - a.Y;
        const double length2 = dx * dx + dy * dy, length = std::sqrt(length2);
        const double reach = halfWidth + 1;
        const bool alongX = std::abs(dx) >= std::abs(dy);
        // Walk the major axis; at each column (or row) only the pixels near the centre line.
        const double from = std::min(alongX ? a.X : a.Y, alongX ? b.X : b.Y) - reach;
        const double to = std::max(alongX ? a.X : a.Y, alongX ? b.X : b.Y) + reach;
        const int majorSize = alongX ? Width : Height, minorSize = alongX ? Height : Width;
        const int first = Clamp(std::floor(from), majorSize),
                  last = Clamp(std::ceil(to), majorSize);
        for (int major = first; major <= last; ++major) {
            const double centre = major + 0.5;
            const double d = alongX ? dx : dy;
            const double t = d != 0 ? std::clamp((centre - (alongX ? a.X : a.Y)) / d, 0.0, 1.0) : 0;
            const double line = alongX ? a.Y + t * dy : a.X + t * dx;
            const int lo = Clamp(std::floor(line - 1.5 * reach), minorSize);
            const int hi = Clamp(std::ceil(line + 1.5 * reach), minorSize);
            for (int minor = lo; minor <= hi; ++minor) {
                const int x = alongX ? major : minor, y = alongX ? minor : major;
                const double px = x + 0.5 - a.X, py = y + 0.5 - a.Y;
                const double s =
                    length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0;
                if (dash && std::fmod(phase + s * length, dash->Period) >= dash->On) continue;
                const double distance = std::hypot(px - s * dx, py - s * dy);
                const double cover = std::clamp(halfWidth + 0.5 - distance, 0.0, 1.0);
                std::uint8_t& cell = Coverage[std::size_t(y) * std::size_t(Width) + std::size_t(x)];
                cell = std::max(cell, std::uint8_t(std::lround(cover * 255)));
            }
        }
    }

private:
    // A pixel index on an axis of the given size; the double is clamped first, so that no
    // coordinate, however large, overflows the conversion.
    static int Clamp(double v, int size) { return int(std::clamp(v, 0.0, double(size - 1))); }

    int Width, Height;
    std::vector<std::uint8_t> Coverage;
};

class TPainter {
public:
    TPainter(const TPlotPicture& picture, int longSide) : Picture(picture) {
        const TPlotBounds& view = picture.View;
        Scale = longSide / std::max(view.Width(), view.Height());
        Image.Width = std::clamp(int(std::ceil(view.Width() * Scale)), 1, longSide);
        Image.Height = std::clamp(int(std::ceil(view.Height() * Scale)), 1, longSide);
        Image.Pixels.assign(std::size_t(Image.Width) * std::size_t(Image.Height) * 3, 255);
        for (int i = 0; i < kLayers + 1; ++i)
            Layers.emplace_back(Image.Width, Image.Height);
    }

    TPx ToPixels(TPlotPoint p) const {
        return {(p.X - Picture.View.MinX) * Scale, (Picture.View.MaxY - p.Y) * Scale};
    }

    void Frame() {
        const TPlotBounds& d = Picture.Drawing;
        if (d.Empty()) return;
        const TPlotPoint corners[] = {{d.MinX, d.MinY},
                                      {d.MaxX, d.MinY},
                                      {d.MaxX, d.MaxY},
                                      {d.MinX, d.MaxY},
                                      {d.MinX, d.MinY}};
        const TDash dash = Dash();
        double phase = 0;
        for (int i = 0; i < 4; ++i) {
            const TPx a = ToPixels(corners[i]), b = ToPixels(corners[i + 1]);
            FrameLayer().Segment(a, b, HalfWidth(Picture.FrameWidth), &dash, phase);
            phase += std::hypot(b.X - a.X, b.Y - a.Y);
        }
    }

    void Stroke(const TPlot& plot, const TPlotStroke& stroke) {
        const int layer = LayerOf(stroke);
        const bool travel = layer == kTravelLayer;
        const TDash dash = Dash();
        const double halfWidth = HalfWidth(travel ? Picture.TravelWidth : Picture.PenWidth);
        TPx at = ToPixels(stroke.Start);
        double phase = 0;
        auto lineTo = [&](TPx to) {
            Layers[std::size_t(layer)].Segment(at, to, halfWidth, travel ? &dash : nullptr, phase);
            phase += std::hypot(to.X - at.X, to.Y - at.Y);
            at = to;
        };
        for (const TPlotStep& step : plot.StepsOf(stroke)) {
            if (!step.IsArc()) {
                lineTo(ToPixels(step.To));
                continue;
            }
            const TPlotArc& arc = plot.Arcs()[std::size_t(step.Arc)];
            const int pieces = ArcPieces(arc);
            for (int i = 1; i < pieces; ++i)
                lineTo(ToPixels(arc.At(arc.StartAngle + arc.Sweep * i / pieces)));
            lineTo(ToPixels(step.To));
        }
    }

    void Compose() {
        ComposeLayer(FrameLayer(), kFrameColour);
        for (int layer = 0; layer < kLayers; ++layer)
            ComposeLayer(Layers[std::size_t(layer)], LayerColour(layer));
    }

    void Label();

    TRgbImage Image;

private:
    void Block(int left, int top, int size, TRgb colour);
    TLayer& FrameLayer() { return Layers[kLayers]; }
    TDash Dash() const {
        return {Picture.DashOn * Scale, (Picture.DashOn + Picture.DashOff) * Scale};
    }
    // Lines stay at least a pixel wide, however small the picture.
    double HalfWidth(double width) const { return std::max(0.5, width * Scale / 2); }

    // Chords that stray at most a quarter pixel from the arc, and never more than a few
    // thousand of them.
    int ArcPieces(const TPlotArc& arc) const {
        const double radius = std::max(std::abs(arc.RadiusX), std::abs(arc.RadiusY)) * Scale;
        if (radius < 0.5) return 1;
        const double step = 2 * std::acos(std::max(-1.0, 1 - 0.25 / radius));
        return int(std::clamp(std::ceil(std::abs(arc.Sweep) / step), 1.0, 4096.0));
    }

    void ComposeLayer(const TLayer& layer, TRgb colour) {
        if (!layer.Used()) return;
        const std::size_t pixels = std::size_t(Image.Width) * std::size_t(Image.Height);
        for (std::size_t i = 0; i < pixels; ++i) {
            const unsigned a = layer.At(i);
            if (a == 0) continue;
            std::uint8_t* p = &Image.Pixels[i * 3];
            p[0] = std::uint8_t((colour.R * a + p[0] * (255 - a) + 127) / 255);
            p[1] = std::uint8_t((colour.G * a + p[1] * (255 - a) + 127) / 255);
            p[2] = std::uint8_t((colour.B * a + p[2] * (255 - a) + 127) / 255);
        }
    }

    const TPlotPicture& Picture;
    double Scale = 1;
    std::vector<TLayer> Layers; // the drawing layers, then the frame
};

// A 5 × 7 pixel font with the characters of the size label.
struct TGlyph {
    char32_t Code;
    std::array<std::string_view, 7> Rows;
};
constexpr TGlyph kFont[] = {
    {U'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {U'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {U'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {U'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {U'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {U'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {U'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {U'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {U'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {U'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {U',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {U'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {U'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {U'\u00D7', {".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "....."}},
    {U'm', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},
};

const TGlyph* GlyphOf(char32_t code) {
    for (const TGlyph& g : kFont)
        if (g.Code == code) return &g;
    return nullptr; // drawn as a blank
}

// The characters of UTF-8 text, as far as the label needs them: one and two byte forms.
std::u32string Decode(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = std::uint8_t(text[i]);
        if (c >= 0xC0 && c < 0xE0 && i + 1 < text.size())
            out += char32_t((c & 0x1F) << 6 | (std::uint8_t(text[++i]) & 0x3F));
        else
            out += char32_t(c);
    }
    return out;
}

void TPainter::Label() {
    const int cell = std::max(1, int(std::lround(Picture.FontSize * Scale * 0.72 / 7)));
    const TPx at = ToPixels(Picture.LabelAt);
    int x = int(std::lround(at.X));
    const int top = int(std::lround(at.Y)) - 7 * cell;
    for (char32_t code : Decode(Picture.Label)) {
        if (const TGlyph* glyph = GlyphOf(code))
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (glyph->Rows[std::size_t(row)][std::size_t(col)] == '#')
                        Block(x + col * cell, top + row * cell, cell, kLabelColour);
        x += 6 * cell;
    }
}

void TPainter::Block(int left, int top, int size, TRgb colour) {
    for (int y = std::max(0, top); y < std::min(Image.Height, top + size); ++y)
        for (int x = std::max(0, left); x < std::min(Image.Width, left + size); ++x) {
            std::uint8_t* p =
                &Image.Pixels[(std::size_t(y) * std::size_t(Image.Width) + std::size_t(x)) * 3];
            p[0] = colour.R;
            p[1] = colour.G;
            p[2] = colour.B;
        }
}

} // namespace

TRgbImage RenderPlot(const TPlot& plot, int longSide) {
    const TPlotPicture picture = LayOutPicture(plot);
    TPainter painter(picture, longSide);
    painter.Frame();
    for (const TPlotStroke& stroke : plot.Strokes())
        painter.Stroke(plot, stroke);
    painter.Compose();
    painter.Label();
    return std::move(painter.Image);
}

void WritePlotPng(const TPlot& plot, const TByteWriter& write) {
    const TRgbImage image = RenderPlot(plot);
    write(EncodePng(image.Width, image.Height, image.Pixels));
}

} // namespace plotalon
