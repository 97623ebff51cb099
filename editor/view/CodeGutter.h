#pragma once
// The line-number gutter on the left of an editor pane: its properties, the digit count
// that follows the number of lines, its width and the text of a line number, and how it
// paints itself. The pane owns it and is told of every change through OnChange.

#include "platform/Graphics.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace plotalon {

class TCodeTextDrawer;

// What the gutter needs from its pane to paint the rows of a clip rectangle.
struct TGutterPaintContext {
    int TopLine = 1;    // 1-based line shown in the first row
    int LineCount = 0;  // lines of the text
    int LineHeight = 1; // pixels
    int CharWidth = 1;  // pixels
    TColor FontColor = clWindowText;
    TCodeTextDrawer* Drawer = nullptr; // set to the pane font, any style
    // Bookmark number per 1-based line shown, for the lines that hold one.
    struct TBookmark {
        int Line;
        int Number;
    };
    std::vector<TBookmark> Bookmarks;
    int BookmarkLeftMargin = 2;
    int BookmarkOffset = 12;
};

class TCodeGutter {
public:
    TCodeGutter();

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    int Width() const { return width_; } // used when line numbers are off
    void SetWidth(int value);
    bool ShowLineNumbers() const { return showLineNumbers_; }
    void SetShowLineNumbers(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    int DigitCount() const { return digitCount_; }
    void SetDigitCount(int value); // kept between 2 and 12
    bool LeadingZeros() const { return leadingZeros_; }
    void SetLeadingZeros(bool value);
    bool ZeroStart() const { return zeroStart_; }
    void SetZeroStart(bool value);
    int LeftOffset() const { return leftOffset_; }
    void SetLeftOffset(int value); // not below 0
    int RightOffset() const { return rightOffset_; }
    void SetRightOffset(int value); // not below 0
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    bool UseFontStyle() const { return useFontStyle_; }
    void SetUseFontStyle(bool value);

    // Copies every property and the current digit count; OnChange runs once.
    void Assign(const TCodeGutter& other);

    // The digits shown: with automatic size those of the line count (of the count - 1 with
    // ZeroStart) but at least DigitCount, otherwise DigitCount. A change runs OnChange.
    int CurrentDigitCount() const { return currentDigits_; }
    void AutoSizeDigitCount(int lineCount);

    // 0 when invisible; Width without line numbers; else both offsets, the digits and 2.
    int RealGutterWidth(int charWidth) const;
    // Line n (1-based) right-aligned in a field of the current digit count.
    QString FormatLineNumber(int line) const;

    // Paints the rows that clip covers, in the order: numbers on their rows, the area
    // below the last number, the two border lines, then the bookmark glyphs.
    void Paint(QPainter& painter, const QRect& clip, const TGutterPaintContext& context) const;

    std::function<void()> OnChange;

private:
    template <class T> void Set(T& field, T value);
    void Changed();
    void PaintNumbers(QPainter& painter, const QRect& clip, const TGutterPaintContext& context,
                      int gutterWidth) const;
    void PaintBookmarks(QPainter& painter, const QRect& clip,
                        const TGutterPaintContext& context) const;

    bool visible_ = true;
    int width_ = 30;
    bool showLineNumbers_ = false;
    bool autoSize_ = false;
    int digitCount_ = 4;
    bool leadingZeros_ = false;
    bool zeroStart_ = false;
    int leftOffset_ = 16;
    int rightOffset_ = 2;
    TColor color_ = clBtnFace;
    QFont font_;
    TColor fontColor_ = clWindowText;
    bool useFontStyle_ = true;
    int currentDigits_ = 4;
};

// Number of decimal digits of value (1 for 0; the sign is not counted).
int DecimalDigits(long long value);

} // namespace plotalon
