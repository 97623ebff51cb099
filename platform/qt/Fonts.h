#pragma once
// The window layouts name Windows fonts; these are mapped onto metric-compatible free
// fonts so that the pixel layouts of the windows fit:
//   "MS Sans Serif", "Arial" -> Liberation Sans; "Courier New" -> Liberation Mono;
//   "Terminal" -> DejaVu Sans Mono.
// Sizes in points are turned into pixel sizes at 96 pixels per inch, so that
// "MS Sans Serif" 8 points is 11 pixels high whatever the screen reports.

#include "platform/Graphics.h"

#include <QFont>
#include <QString>

namespace plotalon {

// Registers the family substitutes with Qt; idempotent. MakeFont calls it.
void InstallFontSubstitutes();

// A font as a window layout gives it; the QFont keeps the layout's family name so that
// LineHeight can tell the Windows font it stands for.
QFont MakeFont(const QString& family, int points, unsigned styles = 0);

// Pixel size of a point size at 96 pixels per inch, rounded half away from zero.
int PointsToPixels(int points);

// The height of one line of text as the Windows font would have it (ascent plus descent,
// no leading). "MS Sans Serif" 8 points gives 13.
int LineHeight(const QFont& font);

// The system's UI font of the windows: "MS Sans Serif" 8 points.
QFont DefaultWindowFont();

} // namespace plotalon
