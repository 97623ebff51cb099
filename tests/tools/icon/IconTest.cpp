// The desktop icon: every size drawn from the scalable picture, each still the window's own
// program icon, and the tool that draws them.
#include "controls/GlyphArt.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <cstdlib>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

constexpr int kSizes[] = {ICON_SIZES};

QImage DrawnIcon(int size) {
    return QImage(QStringLiteral(ICON_FOLDER "/plotalon-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32);
}

// The picture at size × size on the silver ground the window shows it on, smoothly scaled.
QImage OnSilver(const QImage& icon, int size) {
    QImage ground(size, size, QImage::Format_RGB32);
    ground.fill(QColor(192, 192, 192));
    QPainter painter(&ground);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, size, size), icon);
    return ground;
}

// Mean difference per colour channel, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    long total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                     std::abs(qBlue(p) - qBlue(q));
        }
    return total / (a.width() * a.height() * 3.0);
}

TEST(Icon, EverySizeIsDrawnNotEnlarged) {
    for (const int size : kSizes) {
        const QImage icon = DrawnIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size << ": the ground is transparent";
        // Pixel art enlarged keeps its six colours; a drawing has smoothed edges in between.
        QSet<QRgb> colours;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                colours.insert(icon.pixel(x, y));
        EXPECT_GT(colours.size(), 24) << size;
    }
}

TEST(Icon, EverySizeIsTheWindowsProgramIcon) {
    // The window's icon is pixel art on silver; the drawing on silver must come close to it,
    // closer by far than the same drawing mirrored.
    // Compared at 16 × 16, where the smoothed edges of the drawing weigh little.
    const QImage window = LoadGlyph(glyph_art::ProgramIcon).Image();
    for (const int size : kSizes) {
        const QImage icon = DrawnIcon(size);
        const QImage expected = OnSilver(window, 16);
        const double same = MeanDifference(OnSilver(icon, 16), expected);
        const double mirrored = MeanDifference(OnSilver(icon.mirrored(true, false), 16), expected);
        EXPECT_LT(same, 25) << size;
        EXPECT_GT(mirrored, 2 * same) << size;
    }
}

TEST(IconTool, DrawsAnySizeAndSaysWhatWentWrong) {
    test::TTempDir dir;
    const std::string png = dir.Path("icon.png");
    auto run = test::RunTool(ICON_PROGRAM, {ICON_SVG, "40", png});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(40, 40));

    run = test::RunTool(ICON_PROGRAM, {"--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("Aufruf: plotalon-icon BILD.svg GRÖSSE AUSGABE.png"), std::string::npos);
    EXPECT_NE(run.Out.find("Rückgabewerte:"), std::string::npos);

    dir.Write("icon.png", "bisher");
    const std::string hint = "(--help zeigt den Aufruf)\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } failures[] = {
        {{ICON_SVG, png}, 2, "plotalon-icon: erwartet BILD.svg GRÖSSE AUSGABE.png\n" + hint},
        {{ICON_SVG, "0", png}, 2, "plotalon-icon: Ungültige Größe: 0\n" + hint},
        {{ICON_SVG, "4097", png}, 2, "plotalon-icon: Ungültige Größe: 4097\n" + hint},
        {{ICON_SVG, "32px", png}, 2, "plotalon-icon: Ungültige Größe: 32px\n" + hint},
        {{dir.Write("kaputt.svg", "<svg"), "32", png},
         1,
         "plotalon-icon: Bild " + dir.Path("kaputt.svg") + " kann nicht gelesen werden\n"},
        {{ICON_SVG, "32", dir.Path("fehlt/icon.png")},
         1,
         "plotalon-icon: Datei " + dir.Path("fehlt/icon.png") + " kann nicht erstellt werden\n"},
    };
    for (const auto& c : failures) {
        run = test::RunTool(ICON_PROGRAM, c.args);
        EXPECT_EQ(run.Status, c.status) << run.Err;
        // The toolkit may say first what it found wrong in the picture.
        EXPECT_TRUE(run.Err.ends_with(c.err)) << run.Err;
        EXPECT_EQ(test::TTempDir::Read(png), "bisher");
    }
}

} // namespace
} // namespace plotalon
