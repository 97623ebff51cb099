#include "platform/qt/Fonts.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace plotalon {

namespace {

struct Substitute {
    const char* windows;
    const char* free;
};
constexpr Substitute kSubstitutes[] = {
    {"MS Sans Serif", "Liberation Sans"}, {"Microsoft Sans Serif", "Liberation Sans"},
    {"Arial", "Liberation Sans"},         {"Courier New", "Liberation Mono"},
    {"Terminal", "DejaVu Sans Mono"},
};

bool IsMsSansSerif(const QFont& font) {
    return font.family().compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0;
}

} // namespace

void InstallFontSubstitutes() {
    static const bool installed = [] {
        for (const auto& s : kSubstitutes)
            QFont::insertSubstitution(QString::fromLatin1(s.windows), QString::fromLatin1(s.free));
        return true;
    }();
    (void)installed;
}

int PointsToPixels(int points) {
    return (points * 96 * 2 + (points < 0 ? -72 : 72)) / (72 * 2);
}

QFont MakeFont(const QString& family, int points, unsigned styles) {
    InstallFontSubstitutes();
    QFont font(family);
    font.setPixelSize(PointsToPixels(points));
    font.setBold(styles & fsBold);
    font.setItalic(styles & fsItalic);
    font.setUnderline(styles & fsUnderline);
    font.setStrikeOut(styles & fsStrikeOut);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

int LineHeight(const QFont& font) {
    const QFontMetrics metrics(font);
    // The bitmap "MS Sans Serif" has 2 pixels more line than its 11-pixel em; Liberation
    // Sans has only one, so its line is set to the Windows height.
    if (IsMsSansSerif(font)) {
        // A font given in points has no pixel size of its own; ask what Qt made of it.
        const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
        return (pixels * 13 + 5) / 11;
    }
    return metrics.ascent() + metrics.descent();
}

QFont DefaultWindowFont() {
    return MakeFont(QStringLiteral("MS Sans Serif"), 8);
}

} // namespace plotalon
