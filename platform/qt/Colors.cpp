#include "platform/qt/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace plotalon {

namespace {

struct SystemEntry {
    TColor color;
    QPalette::ColorRole role;
};

// Which palette role stands in for each system colour the program uses.
constexpr SystemEntry kSystemRoles[] = {
    {clWindow, QPalette::Base},
    {clWindowFrame, QPalette::Shadow},
    {clWindowText, QPalette::WindowText},
    {clHighlight, QPalette::Highlight},
    {clHighlightText, QPalette::HighlightedText},
    {clBtnFace, QPalette::Button},
    {clBtnShadow, QPalette::Dark},
    {clBtnText, QPalette::ButtonText},
    {clBtnHighlight, QPalette::Light},
};

} // namespace

TColor FromQRgb(unsigned rgb) {
    return RGBColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

TColor FromQColor(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}

TColor ColorToRGB(TColor c) {
    if (c == clNone || c == clDefault) return clBlack;
    if (!IsSystemColor(c)) return c & 0xFFFFFF;
    const QPalette palette = QGuiApplication::palette();
    for (const auto& entry : kSystemRoles)
        if (entry.color == c) return FromQColor(palette.color(QPalette::Active, entry.role));
    return clBlack;
}

QColor ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

} // namespace plotalon
