#include "platform/qt/Canvas.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Text.h"

#include <QFontMetrics>
#include <cmath>

namespace plotalon {

TCanvas::TCanvas(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    Font = painter_.font();
}

std::vector<int> RoundCornerInsets(int rw, int rh) {
    std::vector<int> insets;
    if (rw < 2 || rh < 2) return insets;
    const double a = rw / 2.0, b = rh / 2.0;
    for (int i = 0; i < int(std::ceil(b)); ++i) {
        const double dy = (b - (i + 0.5)) / b;
        const double dx = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int inset = int(std::lround(a - dx));
        // The outermost row always loses its corner pixel, even for the smallest ellipse.
        if (i == 0) inset = std::max(inset, 1);
        insets.push_back(inset);
    }
    while (!insets.empty() && insets.back() == 0)
        insets.pop_back();
    return insets;
}

void TCanvas::ApplyPenMode() {
    switch (Pen.Mode) {
    case pmCopy:
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case pmNot:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
    case pmXor:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    }
}

void TCanvas::Span(int x1, int x2, int y, const QColor& color) {
    if (x2 >= x1) painter_.fillRect(QRect(x1, y, x2 - x1 + 1, 1), color);
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int rw, int rh) {
    if (x2 <= x1 || y2 <= y1) return;
    const int width = x2 - x1, height = y2 - y1;
    std::vector<int> insets = RoundCornerInsets(std::min(rw, width), std::min(rh, height));
    auto insetOf = [&](int row) {
        const int fromEdge = std::min(row, height - 1 - row);
        return fromEdge < int(insets.size()) ? insets[size_t(fromEdge)] : 0;
    };
    painter_.save();
    if (Brush.Style != bsClear) {
        const QColor fill = ToQColor(Brush.Color);
        for (int row = 0; row < height; ++row)
            Span(x1 + insetOf(row), x2 - 1 - insetOf(row), y1 + row, fill);
    }
    if (Pen.Style != psClear) {
        ApplyPenMode();
        const QColor line = ToQColor(Pen.Color);
        for (int row = 0; row < height; ++row) {
            const int inset = insetOf(row);
            const int y = y1 + row;
            if (row == 0 || row == height - 1) {
                Span(x1 + inset, x2 - 1 - inset, y, line);
                continue;
            }
            // Joins the outline to the neighbouring row nearer the edge, so that it stays
            // closed where the inset steps by more than one pixel.
            const int outer = insetOf(row < height / 2 ? row - 1 : row + 1);
            const int reach = std::max(inset, outer - 1);
            Span(x1 + inset, x1 + reach, y, line);
            Span(x2 - 1 - reach, x2 - 1 - inset, y, line);
        }
    }
    painter_.restore();
}

void TCanvas::FillRect(const QRect& rect) {
    if (Brush.Style == bsClear) return;
    painter_.fillRect(rect, ToQColor(Brush.Color));
}

void TCanvas::Line(int x1, int y1, int x2, int y2) {
    if (Pen.Style == psClear || (x1 == x2 && y1 == y2)) return;
    painter_.save();
    ApplyPenMode();
    painter_.setPen(QPen(ToQColor(Pen.Color), 1));
    // The end point is not drawn: step back one pixel along the major axis.
    const int dx = x2 - x1, dy = y2 - y1;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const int ex = x1 + dx * (steps - 1) / steps, ey = y1 + dy * (steps - 1) / steps;
    painter_.drawLine(x1, y1, ex, ey);
    painter_.restore();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    QRect rect(x, y, 0, 0);
    DrawText(text, rect, tfCalcRect | tfNoPrefix);
    DrawText(text, rect, tfNoPrefix);
}

int TCanvas::DrawText(const QString& text, QRect& rect, unsigned flags) {
    const QFontMetrics metrics(Font);
    const int lineHeight = LineHeight(Font);
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList lines = normalised.split(u'\n');

    std::vector<TAccelText> shown;
    int width = 0;
    for (const QString& line : lines) {
        TAccelText item = (flags & tfNoPrefix) ? TAccelText{line, {}} : StripAccelerators(line);
        width = std::max(width, int(metrics.horizontalAdvance(item.text)));
        shown.push_back(std::move(item));
    }
    const int height = int(lines.size()) * lineHeight;
    if (flags & tfCalcRect) {
        rect.setWidth(width);
        rect.setHeight(height);
        return height;
    }

    painter_.save();
    painter_.setFont(Font);
    painter_.setPen(ToQColor(FontColor));
    painter_.setLayoutDirection((flags & tfRightToLeft) ? Qt::RightToLeft : Qt::LeftToRight);
    const int baseline = lineHeight - metrics.descent();
    for (size_t i = 0; i < shown.size(); ++i) {
        const TAccelText& item = shown[i];
        const int lineWidth = metrics.horizontalAdvance(item.text);
        const int x =
            (flags & tfCenter) ? rect.left() + (rect.width() - lineWidth) / 2 : rect.left();
        const int top = rect.top() + int(i) * lineHeight;
        if (Brush.Style != bsClear)
            painter_.fillRect(QRect(x, top, lineWidth, lineHeight), ToQColor(Brush.Color));
        painter_.drawText(QPoint(x, top + baseline), item.text);
        for (int at : item.underlined) {
            const int from = x + metrics.horizontalAdvance(item.text.left(at));
            const int to = x + metrics.horizontalAdvance(item.text.left(at + 1));
            const int y = top + baseline + std::max(1, metrics.underlinePos());
            painter_.fillRect(QRect(from, y, to - from, std::max(1, int(metrics.lineWidth()))),
                              ToQColor(FontColor));
        }
    }
    painter_.restore();
    return height;
}

QSize TCanvas::TextExtent(const QString& text) {
    QRect rect(0, 0, 0, 0);
    DrawText(text, rect, tfCalcRect | tfNoPrefix);
    return rect.size();
}

void TCanvas::TextOutFixed(int x, int y, const QString& text, int advance) {
    const QFontMetrics metrics(Font);
    const int lineHeight = LineHeight(Font);
    painter_.save();
    painter_.setFont(Font);
    painter_.setPen(ToQColor(FontColor));
    if (Brush.Style != bsClear)
        painter_.fillRect(QRect(x, y, advance * int(text.size()), lineHeight),
                          ToQColor(Brush.Color));
    const int baseline = y + lineHeight - metrics.descent();
    for (qsizetype i = 0; i < text.size(); ++i)
        painter_.drawText(QPoint(x + int(i) * advance, baseline), QString(text[i]));
    painter_.restore();
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap, bool transparent) {
    if (bitmap.Empty()) return;
    if (!transparent) {
        painter_.drawPixmap(x, y, bitmap.Pixmap());
        return;
    }
    QImage masked = bitmap.Image().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQColor(bitmap.TransparentColor()).rgb() & 0xFFFFFF;
    for (int row = 0; row < masked.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(row));
        for (int col = 0; col < masked.width(); ++col)
            if ((line[col] & 0xFFFFFF) == key) line[col] = 0;
    }
    painter_.drawImage(x, y, masked);
}

} // namespace plotalon
