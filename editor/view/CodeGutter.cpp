#include "editor/view/CodeGutter.h"

#include "editor/view/CodeTextDrawer.h"
#include "platform/qt/Colors.h"
#include "platform/qt/Fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace plotalon {

int DecimalDigits(long long value) {
    int digits = 1;
    for (value = value < 0 ? -value : value; value >= 10; value /= 10)
        ++digits;
    return digits;
}

TCodeGutter::TCodeGutter() : font_(MakeFont(QStringLiteral("Terminal"), 8)) {}

template <class T> void TCodeGutter::Set(T& field, T value) {
    if (field == value) return;
    field = value;
    Changed();
}

void TCodeGutter::Changed() {
    if (OnChange) OnChange();
}

void TCodeGutter::SetVisible(bool value) {
    Set(visible_, value);
}
void TCodeGutter::SetWidth(int value) {
    Set(width_, std::max(0, value));
}
void TCodeGutter::SetShowLineNumbers(bool value) {
    Set(showLineNumbers_, value);
}
void TCodeGutter::SetAutoSize(bool value) {
    Set(autoSize_, value);
}
void TCodeGutter::SetDigitCount(int value) {
    value = std::clamp(value, 2, 12);
    if (value == digitCount_) return;
    digitCount_ = value;
    // Without automatic size the digits shown are DigitCount; with it the pane sizes them
    // again when it hears of the change.
    if (!(autoSize_ && showLineNumbers_)) currentDigits_ = value;
    Changed();
}
void TCodeGutter::SetLeadingZeros(bool value) {
    Set(leadingZeros_, value);
}
void TCodeGutter::SetZeroStart(bool value) {
    Set(zeroStart_, value);
}
void TCodeGutter::SetLeftOffset(int value) {
    Set(leftOffset_, std::max(0, value));
}
void TCodeGutter::SetRightOffset(int value) {
    Set(rightOffset_, std::max(0, value));
}
void TCodeGutter::SetColor(TColor value) {
    Set(color_, value);
}
void TCodeGutter::SetFont(const QFont& value) {
    Set(font_, value);
}
void TCodeGutter::SetFontColor(TColor value) {
    Set(fontColor_, value);
}
void TCodeGutter::SetUseFontStyle(bool value) {
    Set(useFontStyle_, value);
}

void TCodeGutter::Assign(const TCodeGutter& other) {
    auto callback = std::move(OnChange);
    *this = other;
    OnChange = std::move(callback);
    Changed();
}

void TCodeGutter::AutoSizeDigitCount(int lineCount) {
    int digits = digitCount_;
    if (visible_ && autoSize_ && showLineNumbers_)
        digits = std::max(digitCount_, DecimalDigits(zeroStart_ ? lineCount - 1LL : lineCount));
    if (digits == currentDigits_) return;
    currentDigits_ = digits;
    Changed();
}

int TCodeGutter::RealGutterWidth(int charWidth) const {
    if (!visible_) return 0;
    if (!showLineNumbers_) return width_;
    return leftOffset_ + rightOffset_ + currentDigits_ * charWidth + 2;
}

QString TCodeGutter::FormatLineNumber(int line) const {
    const long long shown = zeroStart_ ? line - 1LL : line;
    return QString::number(shown).rightJustified(currentDigits_, leadingZeros_ ? u'0' : u' ');
}

void TCodeGutter::Paint(QPainter& painter, const QRect& clip,
                        const TGutterPaintContext& context) const {
    const int gutterWidth = RealGutterWidth(context.CharWidth);
    if (gutterWidth <= 0 || clip.left() >= gutterWidth) return;
    const QColor background = ToQColor(color_);
    if (showLineNumbers_)
        PaintNumbers(painter, clip, context, gutterWidth);
    else
        painter.fillRect(QRect(clip.left(), clip.top(), gutterWidth - clip.left(), clip.height()),
                         background);
    if (clip.right() >= gutterWidth - 2) {
        painter.fillRect(QRect(gutterWidth - 2, clip.top(), 1, clip.height()), ToQColor(clWindow));
        if (gutterWidth >= 1)
            painter.fillRect(QRect(gutterWidth - 1, clip.top(), 1, clip.height()), background);
    }
    PaintBookmarks(painter, clip, context);
}

void TCodeGutter::PaintNumbers(QPainter& painter, const QRect& clip,
                               const TGutterPaintContext& context, int gutterWidth) const {
    const QColor background = ToQColor(color_);
    const int lh = std::max(1, context.LineHeight);
    const int firstRow = std::max(0, clip.top() / lh);
    const int lastRow = clip.bottom() / lh;
    // An empty text still shows its first line, where the caret stands.
    const int lastLine = std::max(1, context.LineCount);
    const int right = gutterWidth - rightOffset_ - 2;
    const int fillWidth = std::max(0, gutterWidth - 2 - clip.left());
    const QFontMetrics gutterMetrics(font_);
    const int gutterTextHeight = gutterMetrics.height();
    int below = clip.top();
    for (int row = firstRow; row <= lastRow; ++row) {
        const int line = context.TopLine + row;
        if (line > lastLine) break;
        const int top = row * lh;
        painter.fillRect(QRect(clip.left(), top, fillWidth, lh), background);
        const QString text = FormatLineNumber(line);
        if (useFontStyle_) {
            painter.setFont(font_);
            painter.setPen(ToQColor(fontColor_));
            const int width = gutterMetrics.horizontalAdvance(text);
            const int y = top + (lh - gutterTextHeight) / 2 + gutterMetrics.ascent();
            painter.drawText(right - width, y, text);
        } else if (context.Drawer) {
            // The pane's font without its style, on the pane's grid.
            TCodeTextDrawer& drawer = *context.Drawer;
            const TFontStyles style = drawer.Style();
            drawer.SetStyle(0);
            const int width = int(text.size()) * drawer.CharWidth();
            drawer.TextOut(painter, right - width, top + (lh - drawer.LineHeight()) / 2, text,
                           ToQColor(context.FontColor), QColor());
            drawer.SetStyle(style);
        }
        below = top + lh;
    }
    if (below <= clip.bottom())
        painter.fillRect(QRect(clip.left(), below, fillWidth, clip.bottom() - below + 1),
                         background);
}

void TCodeGutter::PaintBookmarks(QPainter& painter, const QRect& clip,
                                 const TGutterPaintContext& context) const {
    const int lh = std::max(1, context.LineHeight);
    // A small card with the bookmark's digit, within the left offset of the gutter.
    const int width = std::clamp(context.BookmarkOffset, 8, 14);
    const int height = std::clamp(lh - 2, 8, 16);
    QFont font = font_;
    font.setPixelSize(std::max(7, height - 4));
    font.setBold(true);
    for (const auto& mark : context.Bookmarks) {
        const int row = mark.Line - context.TopLine;
        if (row < 0) continue;
        const QRect cell(context.BookmarkLeftMargin, row * lh + (lh - height) / 2, width, height);
        if (!cell.intersects(clip)) continue;
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QColor(0x1F, 0x3A, 0x70));
        painter.setBrush(QColor(0xFF, 0xE0, 0x60));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setFont(font);
        painter.setPen(QColor(0x1F, 0x3A, 0x70));
        painter.drawText(cell, Qt::AlignCenter, QString::number(mark.Number));
        painter.restore();
    }
}

} // namespace plotalon
