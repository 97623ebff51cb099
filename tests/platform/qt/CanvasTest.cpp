#include "platform/qt/Canvas.h"
#include "platform/qt/Fonts.h"

#include <QImage>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// A canvas over a white-ish image, so that untouched pixels are recognisable.
struct CanvasFixture : testing::Test {
    QImage image{40, 20, QImage::Format_RGB32};
    CanvasFixture() { image.fill(QColor(1, 2, 3)); }
};

TEST_F(CanvasFixture, RoundRectWithTwoPixelCornersCutsOnlyTheCornerPixels) {
    {
        QPainter painter(&image);
        TCanvas canvas(painter);
        canvas.Pen.Color = clNavy;
        canvas.Brush.Color = clSilver;
        canvas.RoundRect(0, 0, 30, 10, 2, 2);
    }
    const QColor back(1, 2, 3), pen(0, 0, 128), fill(192, 192, 192);
    for (auto [x, y] : {std::pair{0, 0}, {29, 0}, {0, 9}, {29, 9}})
        EXPECT_EQ(At(image, x, y), back) << x << "," << y;
    for (auto [x, y] : {std::pair{1, 0}, {28, 0}, {0, 1}, {29, 8}, {1, 9}, {15, 0}, {0, 5}})
        EXPECT_EQ(At(image, x, y), pen) << x << "," << y;
    EXPECT_EQ(At(image, 1, 1), fill);
    EXPECT_EQ(At(image, 15, 5), fill);
    EXPECT_EQ(At(image, 30, 5), back); // right edge is exclusive
    EXPECT_EQ(At(image, 15, 10), back);
}

TEST_F(CanvasFixture, ClearPenAndBrushPaintNothing) {
    {
        QPainter painter(&image);
        TCanvas canvas(painter);
        canvas.Pen.Style = psClear;
        canvas.Brush.Style = bsClear;
        canvas.RoundRect(0, 0, 30, 10, 2, 2);
    }
    EXPECT_EQ(At(image, 1, 0), QColor(1, 2, 3));
    EXPECT_EQ(At(image, 5, 5), QColor(1, 2, 3));
}

TEST(RoundCorners, LargerEllipsesCutDeeperCorners) {
    EXPECT_EQ(RoundCornerInsets(1, 1), std::vector<int>{});
    EXPECT_EQ(RoundCornerInsets(2, 2), std::vector<int>{1});
    const auto ten = RoundCornerInsets(10, 10);
    ASSERT_FALSE(ten.empty());
    EXPECT_GE(ten.front(), 2);
    for (size_t i = 1; i < ten.size(); ++i)
        EXPECT_LE(ten[i], ten[i - 1]);
}

TEST_F(CanvasFixture, MeasuringIgnoresAcceleratorsAndCountsLines) {
    QPainter painter(&image);
    TCanvas canvas(painter);
    canvas.Font = DefaultWindowFont();
    auto measure = [&](const QString& text, unsigned flags = 0) {
        QRect rect(0, 0, 100, 0);
        canvas.DrawText(text, rect, tfCalcRect | flags);
        return rect;
    };
    EXPECT_EQ(measure(u"&Hilfe"_qs), measure(u"Hilfe"_qs));
    EXPECT_EQ(measure(u"A && B"_qs), measure(u"A & B"_qs, tfNoPrefix));
    EXPECT_EQ(measure(u"Hilfe"_qs).height(), 13);
    EXPECT_EQ(measure(u"one\ntwo\r\nthree"_qs).height(), 39);
    EXPECT_EQ(measure(u"Hilfe"_qs).topLeft(), QPoint(0, 0));
    EXPECT_EQ(measure(QString()).width(), 0);
}

TEST_F(CanvasFixture, AcceleratorCharacterIsUnderlined) {
    image.fill(Qt::white);
    auto underlineRow = [&](const QString& caption) {
        QImage target(60, 20, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter painter(&target);
        TCanvas canvas(painter);
        canvas.Font = DefaultWindowFont();
        canvas.Brush.Style = bsClear;
        QRect rect(0, 0, 60, 20);
        canvas.DrawText(caption, rect, 0);
        painter.end();
        int dark = 0; // dark pixels in the rows below the baseline
        for (int y = 11; y < 13; ++y)
            for (int x = 0; x < 60; ++x)
                dark += target.pixelColor(x, y).lightness() < 128;
        return dark;
    };
    EXPECT_GT(underlineRow(u"&mm"_qs), underlineRow(u"mm"_qs) + 4);
}

TEST_F(CanvasFixture, FixedAdvancePutsEveryCharacterInItsCell) {
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(painter);
        canvas.Font = MakeFont(u"Courier New"_qs, 8);
        canvas.Brush.Color = clYellow;
        canvas.TextOutFixed(2, 1, u"ab"_qs, 10);
    }
    EXPECT_EQ(At(image, 2, 1), QColor(255, 255, 0)); // the cells take the brush
    EXPECT_EQ(At(image, 21, 1), QColor(255, 255, 0));
    EXPECT_EQ(At(image, 22, 1), QColor(255, 255, 255));
}

TEST_F(CanvasFixture, LineLeavesItsEndPointOut) {
    {
        QPainter painter(&image);
        TCanvas canvas(painter);
        canvas.Pen.Color = clRed;
        canvas.Line(2, 3, 10, 3);
        canvas.Line(20, 0, 20, 5);
    }
    EXPECT_EQ(At(image, 2, 3), QColor(255, 0, 0));
    EXPECT_EQ(At(image, 9, 3), QColor(255, 0, 0));
    EXPECT_EQ(At(image, 10, 3), QColor(1, 2, 3));
    EXPECT_EQ(At(image, 20, 4), QColor(255, 0, 0));
    EXPECT_EQ(At(image, 20, 5), QColor(1, 2, 3));
}

TEST(CanvasBitmap, TransparentColourLeavesTheSurfaceUntouched) {
    QImage glyph(2, 1, QImage::Format_RGB32);
    glyph.setPixel(0, 0, qRgb(192, 192, 192));
    glyph.setPixel(1, 0, qRgb(255, 0, 0));
    TBitmap bitmap(glyph);
    bitmap.SetTransparentColor(clSilver);
    QImage target(2, 1, QImage::Format_RGB32);
    target.fill(Qt::blue);
    {
        QPainter painter(&target);
        TCanvas canvas(painter);
        canvas.Draw(0, 0, bitmap, true);
    }
    EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(1, 0), QColor(Qt::red));
}

} // namespace
} // namespace plotalon
