#include "platform/qt/Fonts.h"

#include <QFontInfo>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Fonts, WindowsFontsMapToMetricCompatibleOnes) {
    struct Case {
        const char* name;
        int points;
        int pixels;
        const char* resolved;
    } cases[] = {
        {"MS Sans Serif", 8, 11, "Liberation Sans"},
        {"Arial", 10, 13, "Liberation Sans"},
        {"Courier New", 12, 16, "Liberation Mono"},
    };
    for (const Case& c : cases) {
        const QFont font = MakeFont(QString::fromLatin1(c.name), c.points);
        EXPECT_EQ(font.pixelSize(), c.pixels) << c.name;
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(c.resolved)) << c.name;
    }
}

TEST(Fonts, MsSansSerifEightPointLineIsThirteenPixels) {
    EXPECT_EQ(LineHeight(DefaultWindowFont()), 13);
    EXPECT_EQ(DefaultWindowFont().family(), u"MS Sans Serif"_qs);
    // Asked for in points, the line follows the pixel size Qt gives it, not its own metrics.
    QFont byPoints(u"MS Sans Serif"_qs);
    byPoints.setPointSize(8);
    ASSERT_EQ(QFontInfo(byPoints).pixelSize(), 11);
    EXPECT_EQ(LineHeight(byPoints), 13);
}

} // namespace
} // namespace plotalon
