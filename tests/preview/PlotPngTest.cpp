#include "preview/PlotRaster.h"
#include "preview/PngWriter.h"

#include <QByteArray>
#include <QImage>
#include <gtest/gtest.h>
#include <random>

#include "preview/HpglReader.h"

namespace plotalon {
namespace {

TRgbImage Render(const char* hpgl) {
    THpglReader reader;
    reader.ReadText(hpgl);
    return RenderPlot(reader.Plot());
}

QImage Decode(const TRgbImage& image) {
    const std::string png = EncodePng(image.Width, image.Height, image.Pixels);
    QImage decoded;
    EXPECT_TRUE(
        decoded.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG"));
    return decoded;
}

// Random pixels of odd sizes: every byte of every row must survive the filter and zlib.
TEST(PngWriter, QtDecodesEveryPixel) {
    std::mt19937 random(7);
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 2}, {1201, 7}, {5, 900}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        TRgbImage image{width, height, {}};
        image.Pixels.resize(std::size_t(width) * std::size_t(height) * 3);
        for (std::uint8_t& byte : image.Pixels)
            byte = std::uint8_t(random() % 4 == 0 ? random() : 255);
        const QImage decoded = Decode(image);
        ASSERT_EQ(decoded.size(), QSize(width, height));
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const QRgb p = decoded.pixel(x, y);
                const TRgb expected = image.At(x, y);
                differing +=
                    qRed(p) != expected.R || qGreen(p) != expected.G || qBlue(p) != expected.B;
            }
        EXPECT_EQ(differing, 0);
    }
}

TEST(PlotPng, QtDecodesExactlyThePixelsRendered) {
    const TRgbImage image =
        Render("SP1;PU0,0;PD;PA10000,0;PU0,4000;PD;AT5000,9000,10000,4000;SP2;PD5000,2000");
    const QImage decoded = Decode(image);
    ASSERT_EQ(decoded.width(), image.Width);
    ASSERT_EQ(decoded.height(), image.Height);
    int differing = 0;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const QRgb p = decoded.pixel(x, y);
            const TRgb expected = image.At(x, y);
            differing += qRed(p) != expected.R || qGreen(p) != expected.G || qBlue(p) != expected.B;
        }
    EXPECT_EQ(differing, 0);
}

// A point of the plot in the picture.
struct Probe {
    const TRgbImage& Image;
    TPixelPicture Picture;
    TRgb At(TPlotPoint p) const {
        const TDevicePoint d = Picture.View.ToDevice(p);
        return Image.At(int(d.X), int(d.Y));
    }
};

bool IsDark(TRgb c) {
    return c.R < 80 && c.G < 80 && c.B < 80;
}

TEST(PlotPng, DrawsThePlotUpright) {
    // An L: a long leg up the y axis and a short foot at its top, pointing right.
    THpglReader reader;
    reader.ReadText("PD0,10000;PA3000,10000;PU6000,0");
    const TRgbImage image = RenderPlot(reader.Plot());
    const Probe probe{image, RasterLayout(reader.Plot())};
    EXPECT_GT(image.Height, kPreviewLongSide - 40);
    EXPECT_LT(image.Width, image.Height);
    EXPECT_TRUE(IsDark(probe.At({0, 5000})));
    EXPECT_TRUE(IsDark(probe.At({1500, 10000})));
    EXPECT_FALSE(IsDark(probe.At({1500, 0}))); // no foot at the bottom, only the frame
    EXPECT_EQ(probe.At({2000, 5000}), kPaperColour);
    // The travel back down is dashed: ink along it, with gaps of paper.
    int travel = 0, paper = 0;
    for (int y = 500; y < 9500; y += 50) {
        const TRgb c = probe.At({3000 + 3000.0 * (10000 - y) / 10000, double(y)});
        travel += c != kPaperColour && c.R > c.B; // the travel colour, antialiased
        paper += c == kPaperColour;
    }
    EXPECT_GT(travel, 20);
    EXPECT_GT(paper, 20);
}

// The box of the size label: the dark grey pixels (the drawing is in pen 2's red).
struct InkBox {
    int Left = 1 << 30, Right = -1;
};
InkBox LabelInk(const TRgbImage& image) {
    InkBox box;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const TRgb c = image.At(x, y);
            if (c.R == c.G && c.G == c.B && c.R < 128) {
                box.Left = std::min(box.Left, x);
                box.Right = std::max(box.Right, x);
            }
        }
    return box;
}

// A narrow drawing gets the whole label: it is as wide as the label of a wide drawing with
// the same characters, and it stays clear of the picture's edges.
TEST(PlotPng, TheSizeLabelFitsBesideANarrowDrawing) {
    struct Case {
        const char* narrow;
        const char* wide;
    };
    for (const Case& c : {Case{"SP2;PD200,10000", "SP2;PD10000,200"},      // 5 x 250 mm, 250 x 5 mm
                          Case{"SP2;PD1,0,1,1,0,1,0,0", "SP2;PD360,0"}}) { // 0,0 x 0,0 mm
        SCOPED_TRACE(c.narrow);
        const TRgbImage narrow = Render(c.narrow), wide = Render(c.wide);
        const InkBox n = LabelInk(narrow), w = LabelInk(wide);
        ASSERT_GE(w.Right, 0);
        EXPECT_NEAR(n.Right - n.Left, w.Right - w.Left, 1)
            << narrow.Width << " x " << narrow.Height;
        EXPECT_GT(n.Left, 0);
        EXPECT_LT(n.Right, narrow.Width - 2);
    }
}

TEST(PlotPng, HugeAndDegenerateCoordinatesStayInsideThePicture) {
    for (const char* hpgl :
         {"", "PD;PA0,0", "PD1000000000000000,1;PA-1000000000000000,-1",
          "PD;AT1000000000000000,10,0,0",
          "SC0,1000000000000000,0,1000000000000000,2;PD1000,-1000;PA-1000,1000"}) {
        SCOPED_TRACE(hpgl);
        const TRgbImage image = Render(hpgl);
        EXPECT_GE(image.Width, 1);
        EXPECT_GE(image.Height, 1);
        EXPECT_LE(std::max(image.Width, image.Height), kPreviewLongSide);
        EXPECT_EQ(image.Pixels.size(), std::size_t(image.Width) * std::size_t(image.Height) * 3);
    }
}

} // namespace
} // namespace plotalon
