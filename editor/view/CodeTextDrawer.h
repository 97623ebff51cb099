#pragma once
// Draws text on an editor's fixed character grid: every character takes exactly one cell
// of CharWidth pixels whatever its style, so plain, bold and italic glyphs stay on the
// same columns. Glyphs are placed one by one at explicit positions; the raw font of each
// style is made once and kept until the base font or the cell changes.

#include "platform/Graphics.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace plotalon {

class TCodeTextDrawer {
public:
    // The font whose family and size every style derives from; its own style is ignored.
    void SetBaseFont(const QFont& font);
    const QFont& BaseFont() const { return base_; }
    // The cell: width of one character, height of one row and the baseline within it.
    void SetCell(int charWidth, int lineHeight, int baseline);
    int CharWidth() const { return charWidth_; }
    int LineHeight() const { return lineHeight_; }

    void SetStyle(TFontStyles style) { style_ = style; }
    TFontStyles Style() const { return style_; }

    // The base font in a style.
    QFont StyledFont(TFontStyles style) const;

    // Fills the cells of text at (x, y) (left and top of the row) with background unless it
    // is invalid, then draws the characters in foreground, one per cell.
    void TextOut(QPainter& painter, int x, int y, const QString& text, const QColor& foreground,
                 const QColor& background);

private:
    const QRawFont& RawFont();

    QFont base_;
    int charWidth_ = 1;
    int lineHeight_ = 1;
    int baseline_ = 0;
    TFontStyles style_ = 0;
    // Bold and italic pick the raw font; underline and strike-out are drawn by the run.
    std::array<std::optional<QRawFont>, 4> raw_;
    std::vector<QPointF> positions_; // grown in steps of 64 cells
};

} // namespace plotalon
