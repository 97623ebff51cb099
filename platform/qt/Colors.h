#pragma once
// Colours on screen: the values of platform/Graphics.h as Qt colours, system colours
// taken from the current Qt palette at the moment they are drawn.

#include "platform/Graphics.h"

#include <QColor>

namespace plotalon {

// The plain 24-bit value of c; system colours come from the application palette now.
// clNone and clDefault have no value and give black.
TColor ColorToRGB(TColor c);

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
TColor FromQRgb(unsigned rgb);

} // namespace plotalon
