#pragma once
// A drawing surface in the manner of the Windows canvas: a pen, a brush and a font that
// the drawing calls use, over a QPainter. Coordinates are whole pixels; rectangles are
// given with exclusive right and bottom edges. Nothing is antialiased, so that the pixel
// layouts of the windows hold exactly.

#include "platform/qt/Bitmap.h"
#include "platform/qt/Colors.h"

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

namespace plotalon {

enum TPenStyle { psSolid, psDash, psDot, psClear };
enum TPenMode { pmCopy, pmNot, pmXor };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    bool operator==(const TPen&) const = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TBrush&) const = default;
};

// Flags of DrawText.
enum TTextFlags : unsigned {
    tfLeft = 0,
    tfCenter = 1,     // each line centred in the rectangle
    tfCalcRect = 2,   // only measure: the rectangle's right and bottom are set
    tfNoPrefix = 4,   // ampersands are plain characters
    tfRightToLeft = 8 // right-to-left reading order
};

class TCanvas {
public:
    explicit TCanvas(QPainter& painter);

    TPen Pen;
    TBrush Brush;
    QFont Font;
    TColor FontColor = clBlack;

    QPainter& Painter() { return painter_; }

    // A rectangle from (x1, y1) to (x2, y2), edges exclusive, whose corners are rounded by
    // an ellipse of rw × rh pixels; outlined with the pen and filled with the brush. The
    // pixels cut off at the corners are not touched.
    void RoundRect(int x1, int y1, int x2, int y2, int rw, int rh);
    void FillRect(const QRect& rect);
    // A one-pixel line from (x1, y1) to (x2, y2), the end point excluded, in the pen colour.
    void Line(int x1, int y1, int x2, int y2);
    // Text at (x, y) (top-left of the line) with the font's own advances, no accelerators;
    // the text box gets the brush colour unless the brush is clear.
    void TextOut(int x, int y, const QString& text);

    // Lines are separated by line breaks and never wrapped; with tfCalcRect the text is
    // only measured and rect's right and bottom edges are set to its extent. Returns the
    // text height.
    int DrawText(const QString& text, QRect& rect, unsigned flags);
    QSize TextExtent(const QString& text);
    // Draws text at (x, y) (top-left of the line) with every character in a cell of
    // `advance` pixels, as an editor with a fixed character grid needs it. The cells get
    // the brush colour unless the brush is clear.
    void TextOutFixed(int x, int y, const QString& text, int advance);

    // The bitmap at (x, y); with transparent set, pixels of its transparent colour are
    // left untouched.
    void Draw(int x, int y, const TBitmap& bitmap, bool transparent = false);

private:
    void ApplyPenMode();
    void Span(int x1, int x2, int y, const QColor& color);

    QPainter& painter_;
};

// Insets of the rows of a rounded corner: entry i is how many pixels row i (counted from
// the top or bottom edge) starts inside the left and right edges.
std::vector<int> RoundCornerInsets(int rw, int rh);

} // namespace plotalon
