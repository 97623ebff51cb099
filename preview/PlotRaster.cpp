#include "preview/PlotRaster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "preview/PlotIndex.h"
#include "preview/PngWriter.h"

namespace plotalon {

namespace {

using TPx = TDevicePoint;

struct TDash {
    double On = 0, Period = 0;
};

constexpr double kPenHalfWidth = 0.9;
constexpr double kThinHalfWidth = 0.5;
constexpr TDash kTravelDash{6, 10};
constexpr TDash kFrameDash{5, 8};
constexpr double kStartRadius = 4;
constexpr int kLabelCell = 2; // pixels per dot of the label's font

// Coverage of one layer, 0 to 255 a pixel; a pixel keeps the highest coverage it got.
class TLayer {
public:
    TLayer(int width, int height) : width_(width), height_(height) {}

    bool Used() const { return !coverage_.empty(); }
    std::uint8_t At(std::size_t i) const { return coverage_[i]; }

    // A segment of the given half width with round ends; with a dash, only where the distance
    // along the stroke (phase at a) falls into the dash.
    void Segment(TPx a, TPx b, double halfWidth, const TDash* dash, double phase) {
        if (coverage_.empty()) coverage_.assign(std::size_t(width_) * std::size_t(height_), 0);
        const double dx = b.X - a.X, dy = b.Y - a.Y;
        const double length2 = dx * dx + dy * dy, length = std::sqrt(length2);
        const double reach = halfWidth + 1;
        const bool alongX = std::abs(dx) >= std::abs(dy);
        // Walk the major axis; at each column (or row) only the pixels near the centre line.
        const double from = std::min(alongX ? a.X : a.Y, alongX ? b.X : b.Y) - reach;
        const double to = std::max(alongX ? a.X : a.Y, alongX ? b.X : b.Y) + reach;
        const int majorSize = alongX ? width_ : height_, minorSize = alongX ? height_ : width_;
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
                std::uint8_t& cell =
                    coverage_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
                cell = std::max(cell, std::uint8_t(std::lround(cover * 255)));
            }
        }
    }

private:
    // A pixel index on an axis of the given size; the double is clamped first, so that no
    // coordinate, however large, overflows the conversion.
    static int Clamp(double v, int size) { return int(std::clamp(v, 0.0, double(size - 1))); }

    int width_, height_;
    std::vector<std::uint8_t> coverage_;
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

std::size_t LabelCharacters(std::string_view label) {
    return Decode(label).size();
}

// Paints the trace into one coverage layer per drawing layer, and lays them onto the paper
// bottom first.
class TRasterPainter : public ITraceSink {
public:
    explicit TRasterPainter(const TPixelPicture& picture) : picture_(picture) {
        Image.Width = picture.Width;
        Image.Height = picture.Height;
        Image.Pixels.assign(std::size_t(Image.Width) * std::size_t(Image.Height) * 3, 255);
        for (int i = 0; i < kExtraLayers + kLayers; ++i)
            layers_.emplace_back(Image.Width, Image.Height);
    }

    void Polyline(int layer, std::span<const TDevicePoint> points) override {
        const bool travel = layer == kTravelLayer;
        double phase = 0;
        for (std::size_t i = 1; i < points.size(); ++i) {
            DrawingLayer(layer).Segment(points[i - 1], points[i],
                                        travel ? kThinHalfWidth : kPenHalfWidth,
                                        travel ? &kTravelDash : nullptr, phase);
            phase += std::hypot(points[i].X - points[i - 1].X, points[i].Y - points[i - 1].Y);
        }
    }

    void Dots(int layer, std::span<const TDevicePoint> points) override {
        for (const TDevicePoint p : points)
            DrawingLayer(layer).Segment(p, p, kPenHalfWidth, nullptr, 0);
    }

    void Frame() {
        if (!picture_.HasFrame) return;
        const TDeviceRect& f = picture_.Frame;
        const TPx corners[] = {{f.Left, f.Bottom},
                               {f.Right, f.Bottom},
                               {f.Right, f.Top},
                               {f.Left, f.Top},
                               {f.Left, f.Bottom}};
        double phase = 0;
        for (int i = 0; i < 4; ++i) {
            layers_[kFrameLayer].Segment(corners[i], corners[i + 1], kThinHalfWidth, &kFrameDash,
                                         phase);
            phase += std::hypot(corners[i + 1].X - corners[i].X, corners[i + 1].Y - corners[i].Y);
        }
    }

    void Start() {
        if (!picture_.HasStart) return;
        constexpr int kPieces = 24;
        for (int i = 0; i < kPieces; ++i) {
            const double a = 2 * std::numbers::pi * i / kPieces;
            const double b = 2 * std::numbers::pi * (i + 1) / kPieces;
            layers_[kStartLayer].Segment({picture_.Start.X + kStartRadius * std::cos(a),
                                          picture_.Start.Y + kStartRadius * std::sin(a)},
                                         {picture_.Start.X + kStartRadius * std::cos(b),
                                          picture_.Start.Y + kStartRadius * std::sin(b)},
                                         kThinHalfWidth + 0.25, nullptr, 0);
        }
    }

    void Compose() {
        ComposeLayer(layers_[kFrameLayer], kFrameColour);
        for (int layer = 0; layer < kLayers; ++layer)
            ComposeLayer(DrawingLayer(layer), LayerColour(layer));
        ComposeLayer(layers_[kStartLayer], kStartColour);
    }

    void Label() {
        int x = int(std::lround(picture_.LabelAt.X));
        const int top = int(std::lround(picture_.LabelAt.Y));
        for (char32_t code : Decode(picture_.Label)) {
            if (const TGlyph* glyph = GlyphOf(code))
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if (glyph->Rows[std::size_t(row)][std::size_t(col)] == '#')
                            Block(x + col * kLabelCell, top + row * kLabelCell, kLabelCell,
                                  kLabelColour);
            x += 6 * kLabelCell;
        }
    }

    TRgbImage Image;

private:
    // The frame and the start marker have layers of their own, below and above the drawing.
    static constexpr std::size_t kFrameLayer = 0, kStartLayer = 1;
    static constexpr int kExtraLayers = 2;
    TLayer& DrawingLayer(int layer) { return layers_[std::size_t(kExtraLayers + layer)]; }

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

    void Block(int left, int top, int size, TRgb colour) {
        for (int y = std::max(0, top); y < std::min(Image.Height, top + size); ++y)
            for (int x = std::max(0, left); x < std::min(Image.Width, left + size); ++x) {
                std::uint8_t* p =
                    &Image.Pixels[(std::size_t(y) * std::size_t(Image.Width) + std::size_t(x)) * 3];
                p[0] = colour.R;
                p[1] = colour.G;
                p[2] = colour.B;
            }
    }

    const TPixelPicture& picture_;
    std::vector<TLayer> layers_; // frame, start, then the drawing layers
};

} // namespace

TPixelPicture RasterLayout(const TPlot& plot, int longSide) {
    const std::string label = SizeLabel(plot.DrawnBounds());
    return LayOutPixels(plot, longSide, double(LabelCharacters(label) * 6 * kLabelCell),
                        7 * kLabelCell);
}

TRgbImage RenderPlot(const TPlot& plot, int longSide) {
    const TPixelPicture picture = RasterLayout(plot, longSide);
    TRasterPainter painter(picture);
    painter.Frame();
    TracePlot(plot, TPlotIndex(plot), picture.View,
              {0, 0, double(picture.Width), double(picture.Height)}, painter);
    painter.Start();
    painter.Compose();
    painter.Label();
    return std::move(painter.Image);
}

void WritePlotPng(const TPlot& plot, const TByteWriter& write) {
    const TRgbImage image = RenderPlot(plot);
    write(EncodePng(image.Width, image.Height, image.Pixels));
}

} // namespace plotalon
