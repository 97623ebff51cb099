#include "editor/view/CodeTextDrawer.h"

#include <QGlyphRun>
#include <QPainter>

namespace plotalon {

void TCodeTextDrawer::SetBaseFont(const QFont& font) {
    base_ = font;
    raw_.fill(std::nullopt);
}

void TCodeTextDrawer::SetCell(int charWidth, int lineHeight, int baseline) {
    if (charWidth != charWidth_) positions_.clear();
    charWidth_ = std::max(1, charWidth);
    lineHeight_ = std::max(1, lineHeight);
    baseline_ = baseline;
}

QFont TCodeTextDrawer::StyledFont(TFontStyles style) const {
    QFont font = base_;
    font.setBold((style & fsBold) != 0);
    font.setItalic((style & fsItalic) != 0);
    font.setUnderline((style & fsUnderline) != 0);
    font.setStrikeOut((style & fsStrikeOut) != 0);
    return font;
}

const QRawFont& TCodeTextDrawer::RawFont() {
    auto& slot = raw_[style_ & (fsBold | fsItalic)];
    if (!slot) slot = QRawFont::fromFont(StyledFont(style_ & (fsBold | fsItalic)));
    return *slot;
}

void TCodeTextDrawer::TextOut(QPainter& painter, int x, int y, const QString& text,
                              const QColor& foreground, const QColor& background) {
    const qsizetype n = text.size();
    if (n == 0) return;
    if (background.isValid())
        painter.fillRect(QRect(x, y, charWidth_ * int(n), lineHeight_), background);
    const QRawFont& raw = RawFont();
    if (!raw.isValid()) return;
    if (qsizetype(positions_.size()) < n) {
        const qsizetype grown = (n + 63) / 64 * 64;
        for (qsizetype i = qsizetype(positions_.size()); i < grown; ++i)
            positions_.emplace_back(double(i * charWidth_), 0.0);
    }
    QList<quint32> glyphs = raw.glyphIndexesForString(text);
    // A character without a glyph of its own still takes its cell.
    glyphs.resize(n);
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(QList<QPointF>(positions_.begin(), positions_.begin() + n));
    run.setUnderline((style_ & fsUnderline) != 0);
    run.setStrikeOut((style_ & fsStrikeOut) != 0);
    painter.setPen(foreground);
    painter.drawGlyphRun(QPointF(x, y + baseline_), run);
}

} // namespace plotalon
