#include "preview/PlotRaster.h"
#include "preview/PngWriter.h"

#include <QByteArray>
#include <QImage>
#include <gtest/gtest.h>
#include <random>

#include "preview/HpglReader.h"

namespace plotalon {
namespace {

// Qt's zlib reads our stream back; qUncompress wants the length in front.
std::string Inflate(const std::string& stream, std::size_t size) {
    QByteArray data;
    for (int shift = 24; shift >= 0; shift -= 8)
        data.append(char((size >> shift) & 0xFF));
    data.append(stream.data(), qsizetype(stream.size()));
    const QByteArray plain = qUncompress(data);
    return std::string(plain.constData(), std::size_t(plain.size()));
}

TEST(Deflate, QtsZlibReadsBackEveryKindOfInput) {
    std::mt19937 random(7);
    std::string noise(200000, '\0');
    for (char& c : noise)
        c = char(random());
    std::string faraway; // repeats at the far end of the window and beyond it
    for (int i = 0; i < 6; ++i)
        faraway += noise.substr(0, 32768 - 1 + i);
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += "PA" + std::to_string(i * 7) + "," + std::to_string(i % 977) + ";\r\n";
    for (const std::string& data :
         {std::string(), std::string("a"), std::string("aaaa"), std::string(1 << 20, '\0'),
          std::string(258 * 3 + 2, 'x'), noise, faraway, text}) {
        SCOPED_TRACE(data.size());
        const std::string stream = ZlibCompress(data);
        EXPECT_EQ(Inflate(stream, data.size()), data);
    }
    EXPECT_LT(ZlibCompress(std::string(1 << 20, '\xFF')).size(), 10000u);
}

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

// A point of the plot in the picture, for a plot whose frame is known.
struct Probe {
    const TRgbImage& Image;
    TPlotPicture Picture;
    TRgb At(TPlotPoint p) const {
        const double scale = Image.Width / Picture.View.Width();
        return Image.At(int((p.X - Picture.View.MinX) * scale),
                        int((Picture.View.MaxY - p.Y) * scale));
    }
};

TEST(PlotPng, DrawsThePlotUpright) {
    // An L: a long leg up the y axis and a short foot at its top, pointing right.
    THpglReader reader;
    reader.ReadText("PD0,10000;PA3000,10000;PU6000,0");
    const TRgbImage image = RenderPlot(reader.Plot());
    const Probe probe{image, LayOutPicture(reader.Plot())};
    EXPECT_EQ(image.Height, kPreviewLongSide);
    EXPECT_EQ(probe.At({0, 5000}), (TRgb{0, 0, 0}));
    EXPECT_EQ(probe.At({1500, 10000}), (TRgb{0, 0, 0}));
    EXPECT_NE(probe.At({1500, 0}), (TRgb{0, 0, 0})); // no foot at the bottom, only the frame
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
