#pragma once
// The building blocks the window layouts repeat: plain panels, the black one-pixel lines
// that separate their regions, and buttons in the house style with their glyph.

#include "controls/XPSpeedButton.h"
#include "platform/qt/Shape.h"

#include <QRect>
#include <QWidget>
#include <string_view>

namespace plotalon {

// A panel without a bevel at geometry in parent.
QWidget* MakePanel(QWidget* parent, QRect geometry);

// A black line, one pixel wide or high: a shape of that size, drawn in its pen.
TShape* MakeLine(QWidget* parent, QRect geometry);

// A button in the house style with caption (its "&" marks the accelerator) and the glyph of
// glyph_art; margin -1 centres glyph and caption. Call Loaded() once it is complete.
TXPSpeedButton* MakeHouseButton(QWidget* parent, QRect geometry, const char* caption,
                                std::string_view glyph, int margin = -1,
                                TColor brushDown = kHouseDown);

} // namespace plotalon
