#include "platform/qt/Shape.h"

#include <QImage>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Shape, OutlinedRectangleAndOnePixelLine) {
    QWidget parent;
    parent.resize(40, 40);
    auto* box = new TShape(&parent);
    box->setGeometry(2, 2, 6, 5);
    box->SetBrush({clYellow, bsSolid});
    auto* line = new TShape(&parent);
    line->setGeometry(20, 2, 1, 10);
    line->SetPen({clRed});
    const QImage shot = parent.grab().toImage();
    for (auto [x, y] : {std::pair{2, 2}, {7, 2}, {2, 6}, {7, 6}, {4, 2}, {7, 4}})
        EXPECT_EQ(shot.pixelColor(x, y), QColor(0, 0, 0)) << x << "," << y;
    EXPECT_EQ(shot.pixelColor(3, 3), QColor(255, 255, 0));
    EXPECT_EQ(shot.pixelColor(6, 5), QColor(255, 255, 0));
    for (int y = 2; y < 12; ++y)
        EXPECT_EQ(shot.pixelColor(20, y), QColor(255, 0, 0)) << y;
    EXPECT_NE(shot.pixelColor(21, 5), QColor(255, 0, 0));
    // Clicks fall through to what lies below.
    EXPECT_TRUE(box->testAttribute(Qt::WA_TransparentForMouseEvents));
}

} // namespace
} // namespace plotalon
