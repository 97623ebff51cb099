#pragma once
// Looking at a drawn plot's pixels: what lies near a point, and the colours a drawing uses.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <cstdlib>
#include <functional>

#include "preview/PlotPicture.h"

namespace plotalon::test {

// Whether a pixel within one of at has the colour (give or take antialiasing).
inline bool Near(const QImage& image, QPointF at, const std::function<bool(QColor)>& is) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p(int(at.x()) + dx, int(at.y()) + dy);
            if (image.rect().contains(p) && is(image.pixelColor(p))) return true;
        }
    return false;
}

// A dark pen's stroke: the darkest channel decides.
inline bool Ink(QColor c) {
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

// A highlighted stroke or its halo.
inline bool Highlighted(QColor c) {
    const auto near = [&c](TRgb colour) {
        return std::abs(c.red() - colour.R) + std::abs(c.green() - colour.G) +
                   std::abs(c.blue() - colour.B) <
               60;
    };
    return near(kHighlightColour) || near(kHighlightHalo);
}

} // namespace plotalon::test
