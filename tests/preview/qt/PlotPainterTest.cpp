#include "preview/qt/PlotPainter.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

struct InkSpan {
    int Left = 1 << 30, Right = -1;
};

// The horizontal extent of the label: grey pixels (the drawings below are in pen 2's red).
InkSpan LabelInk(const QImage& image) {
    InkSpan span;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() == c.green() && c.green() == c.blue() && c.red() < 128) {
                span.Left = std::min(span.Left, x);
                span.Right = std::max(span.Right, x);
            }
        }
    return span;
}

// A narrow drawing gets the whole label: as wide as the label of a wide drawing with the
// same characters, clear of the picture's edges.
TEST(PlotPainter, TheSizeLabelFitsBesideANarrowDrawing) {
    for (const auto& [narrow, wide] : {std::pair{"SP2;PD200,10000", "SP2;PD10000,200"},
                                       std::pair{"SP2;PD1,0,1,1,0,1,0,0", "SP2;PD360,0"}}) {
        SCOPED_TRACE(narrow);
        const QImage n = TPlotPainter::Picture(*PlotModelOfText(narrow));
        const QImage w = TPlotPainter::Picture(*PlotModelOfText(wide));
        const InkSpan a = LabelInk(n), b = LabelInk(w);
        ASSERT_GE(b.Right, 0);
        EXPECT_NEAR(a.Right - a.Left, b.Right - b.Left, 1);
        EXPECT_GT(a.Left, 0);
        EXPECT_LT(a.Right, n.width() - 2);
    }
}

// The picture's pen strokes lie where the layout puts the plot, in their pen's colour.
TEST(PlotPainter, PicturePutsStrokesWhereTheLayoutSays) {
    const auto model = PlotModelOfText("SP2;PD10000,0;SP3;PA10000,5000;PU0,5000");
    const QImage image = TPlotPainter::Picture(*model);
    const TPixelPicture layout = TPlotPainter::PictureLayout(*model);
    ASSERT_EQ(image.size(), QSize(layout.Width, layout.Height));
    EXPECT_EQ(image.width(), 1200);
    auto colourAt = [&](TPlotPoint p) {
        const TDevicePoint d = layout.View.ToDevice(p);
        return image.pixelColor(int(d.X), int(d.Y));
    };
    EXPECT_GT(colourAt({5000, 0}).red(), 150); // pen 2: red
    EXPECT_LT(colourAt({5000, 0}).green(), 100);
    EXPECT_GT(colourAt({10000, 2500}).green(), 90); // pen 3: green
    EXPECT_LT(colourAt({10000, 2500}).red(), 100);
    EXPECT_EQ(colourAt({5000, 2500}), ToQColor(kPaperColour));
}

} // namespace
} // namespace plotalon
