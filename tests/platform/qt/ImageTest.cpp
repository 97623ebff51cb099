#include "platform/qt/Image.h"

#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Image, DrawsAtTheCornerWithItsTransparentColourAndReportsClicks) {
    QWidget parent;
    parent.resize(60, 40);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 150, 20));
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    // A 4 × 4 picture: blue, with silver in the bottom-left corner (its transparent colour).
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    picture.setPixelColor(0, 3, QColor(192, 192, 192));
    auto* image = new TImage(&parent);
    image->setGeometry(10, 10, 8, 8);
    image->SetPicture(TBitmap(picture));
    int clicks = 0;
    image->OnClick = [&] { ++clicks; };

    QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(0, 0, 255));
    EXPECT_EQ(shot.pixelColor(10, 13), QColor(192, 192, 192));
    EXPECT_EQ(shot.pixelColor(15, 15), QColor(10, 150, 20)); // beyond the picture
    image->SetTransparent(true);
    shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 13), QColor(10, 150, 20));
    EXPECT_EQ(shot.pixelColor(11, 13), QColor(0, 0, 255));

    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseClick(parent.windowHandle(), Qt::RightButton, {}, QPoint(12, 12));
    QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace plotalon
