#include "platform/qt/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Colors, RedSitsInTheLowByte) {
    EXPECT_EQ(RGBColor(193, 224, 255), 16769217);
    EXPECT_EQ(RGBColor(255, 255, 128), 8454143);
    EXPECT_EQ(ToQColor(16769217), QColor(193, 224, 255));
    EXPECT_EQ(FromQColor(QColor(0, 0, 128)), clNavy);
    EXPECT_EQ(clOlive, RGBColor(128, 128, 0));
}

TEST(Colors, SystemColoursFollowTheCurrentPalette) {
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    palette.setColor(QPalette::Light, QColor(40, 50, 60));
    palette.setColor(QPalette::Dark, QColor(70, 80, 90));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(10, 20, 30));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), RGBColor(40, 50, 60));
    EXPECT_EQ(ToQColor(clBtnShadow), QColor(70, 80, 90));
    QGuiApplication::setPalette(saved);
    EXPECT_EQ(ToQColor(clBtnFace), saved.color(QPalette::Active, QPalette::Button));
}

TEST(Colors, NoneIsNotAColourOfItsOwn) {
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_NE(clNone, clWhite);
    EXPECT_EQ(ColorToRGB(clNone), clBlack);
}

} // namespace
} // namespace plotalon
