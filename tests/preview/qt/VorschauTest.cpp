#include "preview/qt/Vorschau.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <numbers>

#include "../ConvertedExample.h"
#include "PlotPixels.h"
#include "preview/PlotPicture.h"

namespace plotalon {
namespace {

using test::ConvertExample;
using test::Highlighted;
using test::Ink;
using test::Near;

struct VorschauTest : testing::Test {
    TVorschau window;

    void Show(const ILineSource& lines) {
        window.ShowLines(lines);
        window.resize(800, 500);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    TPlotWidget& View() { return *window.Plot; }
    QImage Grab() { return View().grab().toImage(); }
    QPointF At(TPlotPoint p) {
        const TDevicePoint d = View().View().ToDevice(p);
        return {d.X, d.Y};
    }
    void Wheel(QPointF at, int delta) {
        QWheelEvent event(at, View().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&View(), &event);
    }
};

TEST_F(VorschauTest, BothDialectsDrawTheExampleWhereItLies) {
    for (const std::uint8_t type : {1, 2}) {
        SCOPED_TRACE(int(type));
        const TLineVector hpgl = ConvertExample(type);
        ASSERT_EQ(hpgl.Lines[4].rfind(type == 1 ? "PA11464" : "AT", 0), 0u) << hpgl.Lines[4];
        Show(hpgl);
        const QImage image = Grab();
        // The straight line, and the half circle round (15000, 0) of radius 5000 below it.
        for (const double x : {500.0, 5000.0, 9500.0})
            EXPECT_TRUE(Near(image, At({x, 0}), Ink)) << x;
        for (const double degrees : {190.0, 225.0, 270.0, 315.0, 350.0}) {
            const double t = degrees * std::numbers::pi / 180;
            const TPlotPoint on{15000 + 5000 * std::cos(t), 5000 * std::sin(t)};
            // HPGL 1 draws chords every 45 degrees: between its points it cuts inside the
            // circle by up to 5000 (1 - cos 22.5°), so only the chord points lie on it.
            if (type == 1 && std::fmod(degrees, 45) != 0) continue;
            EXPECT_TRUE(Near(image, At(on), Ink)) << degrees;
        }
        // Paper off the drawing: the circle's centre and below the line's middle.
        EXPECT_FALSE(Near(image, At({15000, -2500}), Ink));
        EXPECT_FALSE(Near(image, At({5000, -2500}), Ink));
        // The frame's size below it, and the statistics in the status line.
        EXPECT_TRUE(window.StatusBar->currentMessage().startsWith("Zeichenweg 0,"))
            << window.StatusBar->currentMessage().toStdString();
        EXPECT_FALSE(window.StatusBar->currentMessage().contains("nicht ausgewertet"));
    }
}

TEST_F(VorschauTest, TheStatusLineCountsWhatWasNotEvaluated) {
    Show(TLineVector{"IN;SP1;", "LT2;PW0.3;", "PD4000,0;", "LT;", "SP0;"});
    EXPECT_EQ(window.StatusBar->currentMessage(),
              QString::fromUtf8("Zeichenweg 0,10 m · Leerweg 0,00 m · 1 Stifthub · Stift 1 · "
                                "Plotzeit etwa 0:00:01 · 3 Befehle nicht ausgewertet: LT 2, "
                                "PW 1"));
}

TEST_F(VorschauTest, TheWheelZoomsAboutThePointer) {
    Show(ConvertExample(2));
    const QPointF pointer(613, 201);
    const TPlotPoint under = View().View().ToPlot({pointer.x(), pointer.y()});
    const double scale = View().View().Scale;
    for (const int delta : {120, 120, 360, -240}) {
        Wheel(pointer, delta);
        const TPlotPoint now = View().View().ToPlot({pointer.x(), pointer.y()});
        EXPECT_NEAR(now.X, under.X, 1e-6 * std::abs(under.X));
        EXPECT_NEAR(now.Y, under.Y, 1e-6 * std::abs(under.Y) + 1e-9);
    }
    EXPECT_NEAR(View().View().Scale, scale * std::pow(TPlotWidget::kWheelFactor, 3), 1e-12);
}

TEST_F(VorschauTest, DraggingPansAndHomeOrADoubleClickFits) {
    Show(ConvertExample(1));
    const TViewTransform fitted = View().View();
    QSignalSpy clicks(&View(), &TPlotWidget::LineClicked);
    QTest::mousePress(&View(), Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(&View(), QPoint(330, 320));
    QTest::mouseMove(&View(), QPoint(350, 340));
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, QPoint(350, 340));
    EXPECT_DOUBLE_EQ(View().View().OffsetX, fitted.OffsetX + 50);
    EXPECT_DOUBLE_EQ(View().View().OffsetY, fitted.OffsetY + 40);
    EXPECT_EQ(clicks.count(), 0); // a drag is no click
    Wheel(QPointF(100, 100), 240);
    QTest::keyClick(&View(), Qt::Key_Home);
    EXPECT_DOUBLE_EQ(View().View().Scale, fitted.Scale);
    EXPECT_DOUBLE_EQ(View().View().OffsetX, fitted.OffsetX);
    Wheel(QPointF(100, 100), -480);
    QTest::mouseDClick(&View(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_DOUBLE_EQ(View().View().Scale, fitted.Scale);
    EXPECT_DOUBLE_EQ(View().View().OffsetY, fitted.OffsetY);
    // The drawing fits whole: the frame and the label below it lie inside the view.
    const QPointF low = At({0, -5000}), high = At({20000, 0});
    EXPECT_TRUE(QRectF(View().rect()).contains(low) && QRectF(View().rect()).contains(high));
}

TEST_F(VorschauTest, AClickOnAStrokeNamesItsLine) {
    const TLineVector hpgl = ConvertExample(2); // IN;SP1; PU0,0; PD; PA10000,0; AT...; PU; SP0;
    Show(hpgl);
    QSignalSpy clicks(&View(), &TPlotWidget::LineClicked);
    struct Case {
        TPlotPoint on;
        qulonglong line;
    };
    for (const Case& c : {Case{{5000, 0}, 3}, Case{{15000, -5000}, 4}, Case{{19000, -3000}, 4}}) {
        clicks.clear();
        QTest::mouseClick(&View(), Qt::LeftButton, {}, (At(c.on) + QPointF(2, -2)).toPoint());
        ASSERT_EQ(clicks.count(), 1) << c.on.X;
        EXPECT_EQ(clicks.at(0).at(0).toULongLong(), c.line);
    }
    clicks.clear();
    QTest::mouseClick(&View(), Qt::LeftButton, {}, At({15000, -2000}).toPoint());
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(VorschauTest, HighlightedLinesAreDrawnOnTop) {
    Show(ConvertExample(2));
    const QPointF onArc = At({15000, -5000}), onLine = At({5000, 0});
    EXPECT_FALSE(Near(Grab(), onArc, Highlighted));
    View().SetHighlightedLines({{4, 4}}); // the AT line
    QImage image = Grab();
    EXPECT_TRUE(Near(image, onArc, Highlighted));
    EXPECT_FALSE(Near(image, onLine, Highlighted));
    View().SetHighlightedLines({{0, 3}}); // up to the PA line
    image = Grab();
    EXPECT_TRUE(Near(image, onLine, Highlighted));
    EXPECT_FALSE(Near(image, onArc, Highlighted));
    View().SetHighlightedLines({});
    EXPECT_FALSE(Near(Grab(), onLine, Highlighted));
}

} // namespace
} // namespace plotalon
