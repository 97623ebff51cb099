#include "platform/qt/Bitmap.h"
#include "platform/qt/ImageList.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

QImage TwoByTwo(QRgb bottomLeft) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    image.setPixel(0, 1, bottomLeft);
    return image;
}

TEST(Bitmap, TransparentColourIsFixedOrWhiteForMonochromeOrBottomLeft) {
    TBitmap coloured(TwoByTwo(qRgb(192, 192, 192)));
    EXPECT_EQ(coloured.TransparentColor(), clSilver);
    coloured.SetTransparentColor(clRed);
    EXPECT_EQ(coloured.TransparentColor(), clRed);
    EXPECT_EQ(coloured.TransparentMode(), tmFixed);

    QImage mono(8, 1, QImage::Format_Mono);
    mono.fill(0);
    EXPECT_EQ(TBitmap(mono).TransparentColor(), clWhite);
}

TEST(Bitmap, EveryPixelOrSizeChangeIsAnnounced) {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&] { ++changes; };
    bitmap.SetImage(TwoByTwo(qRgb(1, 1, 1)));
    bitmap.SetPixel(1, 1, clRed);
    bitmap.SetSize(4, 2);
    TBitmap other(TwoByTwo(qRgb(2, 2, 2)));
    bitmap.Assign(&other);
    bitmap.Assign(nullptr);
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(Bitmap, DormantGivesUpTheDrawingFormOnly) {
    TBitmap bitmap(TwoByTwo(qRgb(9, 9, 9)));
    EXPECT_FALSE(bitmap.Pixmap().isNull());
    EXPECT_TRUE(bitmap.HasDeviceResources());
    bitmap.Dormant();
    EXPECT_FALSE(bitmap.HasDeviceResources());
    EXPECT_EQ(bitmap.Pixel(0, 1), RGBColor(9, 9, 9));
}

TEST(Bitmap, MissingFileIsAFileError) {
    EXPECT_THROW(TBitmap::FromFile(u"/nonexistent/x.xpm"_qs), EFOpenError);
}

TEST(ImageList, MaskColourOrBottomLeftPixelBecomesTransparent) {
    TImageList list(2, 2);
    EXPECT_EQ(list.AddEmpty(), 0);
    EXPECT_EQ(list.AddEmpty(), 1);
    ASSERT_TRUE(list.Replace(0, TwoByTwo(qRgb(192, 192, 192)), clDefault));
    ASSERT_TRUE(list.Replace(1, TwoByTwo(qRgb(192, 192, 192)), clBlue));
    EXPECT_EQ(qAlpha(list.Image(0).pixel(0, 1)), 0);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(1, 1)), 255);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 1)), 255);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(1, 1)), 0);
}

TEST(ImageList, RefusesWrongSizeOrIndex) {
    TImageList list(2, 2);
    list.AddEmpty();
    EXPECT_FALSE(list.Replace(1, TwoByTwo(0), clDefault));
    EXPECT_FALSE(list.Replace(0, QImage(3, 2, QImage::Format_RGB32), clDefault));
}

TEST(ImageList, DrawsMaskedPixelsInTheBackgroundOrNotAtAll) {
    TImageList list(2, 2);
    list.AddEmpty();
    list.Replace(0, TwoByTwo(qRgb(192, 192, 192)), clDefault);
    for (TColor background : {clNone, clYellow}) {
        QImage target(2, 2, QImage::Format_RGB32);
        target.fill(Qt::green);
        QPainter painter(&target);
        list.Draw(painter, 0, 0, 0, background);
        painter.end();
        EXPECT_EQ(target.pixelColor(0, 1),
                  background == clNone ? QColor(Qt::green) : QColor(Qt::yellow));
        EXPECT_EQ(target.pixelColor(1, 1), QColor(Qt::blue));
    }
}

} // namespace
} // namespace plotalon
