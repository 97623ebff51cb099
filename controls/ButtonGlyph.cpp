#include "controls/ButtonGlyph.h"

#include "controls/GlyphCache.h"

namespace plotalon {

namespace {

QRgb Rgb(TColor color) {
    return ToQColor(color).rgb();
}

bool Same(QRgb a, QRgb b) {
    return (a & 0xFFFFFF) == (b & 0xFFFFFF);
}

} // namespace

TButtonGlyph::TButtonGlyph() {
    source_.OnChange = [this] { SourceChanged(); };
    EnsureSharedGlyphCache();
}

TButtonGlyph::~TButtonGlyph() {
    source_.OnChange = nullptr;
    source_.Assign(nullptr);
    DropImages();
    FreeSharedGlyphCacheIfEmpty();
}

void TButtonGlyph::SetSource(const TBitmap* bitmap) {
    DropImages();
    source_.Assign(bitmap);
    if (!bitmap || bitmap->Height() <= 0) return;
    transparentColor_ = bitmap->TransparentColor();
    if (bitmap->Width() % bitmap->Height() == 0) {
        const int count = bitmap->Width() / bitmap->Height();
        SetNumGlyphs(count > 4 ? 1 : count);
    }
}

void TButtonGlyph::SetNumGlyphs(int count) {
    if (count == numGlyphs_ || count <= 0) return;
    DropImages();
    numGlyphs_ = std::min(count, 4);
    SourceChanged();
}

void TButtonGlyph::SourceChanged() {
    transparentColor_ = source_.TransparentColor();
    DropImages();
    if (OnChange) OnChange(*this);
}

void TButtonGlyph::DropImages() {
    for (int& slot : slots_) {
        if (slot != -1 && store_) store_->FreeSlot(slot);
        slot = -1;
    }
    if (TGlyphCache* cache = SharedGlyphCache()) cache->ReleaseStore(store_);
    store_ = nullptr;
}

QImage TButtonGlyph::MakeImage(TGlyphState state, int w, int h) const {
    QImage image(w, h, QImage::Format_RGB32);
    const QRgb face = Rgb(clBtnFace);
    image.fill(face);
    const QImage& src = source_.Image();
    int index = int(state);
    if (index >= numGlyphs_) index = 0;
    const int left = index * w;
    auto sourceAt = [&](int x, int y) { return src.pixel(left + x, y); };

    if (state != gsDisabled) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, sourceAt(x, y));
        return image;
    }
    const QRgb highlight = Rgb(clBtnHighlight), shadow = Rgb(clBtnShadow);
    if (numGlyphs_ >= 2) {
        // Three passes that mark by the source's colours, later passes winning.
        const QRgb transparent = Rgb(transparentColor_);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb c = sourceAt(x, y);
                QRgb out = c;
                if (Same(c, qRgb(255, 255, 255))) out = highlight;
                if (Same(c, qRgb(128, 128, 128))) out = shadow;
                if (Same(c, transparent)) out = face;
                image.setPixel(x, y, out);
            }
        return image;
    }
    // One image: only its black pixels remain, embossed.
    auto marked = [&](int x, int y) { return Same(src.pixel(x, y), qRgb(0, 0, 0)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (marked(x, y) && x + 1 < w && y + 1 < h) image.setPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (marked(x, y)) image.setPixel(x, y, shadow);
    return image;
}

int TButtonGlyph::BuildImage(TGlyphState state) {
    if (state == gsDown && numGlyphs_ < 3) state = gsUp;
    if (slots_[state] != -1) return slots_[state];
    if (source_.Width() == 0 && source_.Height() == 0) return -1;
    const int w = source_.Width() / numGlyphs_, h = source_.Height();
    if (w <= 0 || h <= 0) return -1;
    if (!store_) store_ = EnsureSharedGlyphCache().AcquireStore(w, h);

    const QImage image = MakeImage(state, w, h);
    const bool fixedMask = state != gsDisabled && source_.TransparentMode() == tmFixed;
    slots_[state] = store_->AddImage(image, fixedMask ? transparentColor_ : clDefault);
    source_.Dormant();
    return slots_[state];
}

TGlyphLayout TButtonGlyph::ComputeLayout(TCanvas& canvas, const QRect& client,
                                         const QString& caption, TButtonLayout layout, int margin,
                                         int spacing, unsigned textFlags) const {
    if (textFlags & tfRightToLeft) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const int cw = client.width(), ch = client.height();
    const int gw = source_.Empty() ? 0 : source_.Width() / numGlyphs_;
    const int gh = source_.Empty() ? 0 : source_.Height();

    QRect text(0, 0, 0, 0);
    if (!caption.isEmpty()) {
        text = QRect(0, 0, cw, 0);
        canvas.DrawText(caption, text, textFlags | tfCalcRect);
    }
    const int tw = text.width(), th = text.height();

    QPoint image;
    QPoint textAt;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    if (horizontal) {
        image.setY((ch - gh + 1) / 2);
        textAt.setY((ch - th + 1) / 2);
    } else {
        image.setX((cw - gw + 1) / 2);
        textAt.setX((cw - tw + 1) / 2);
    }
    if (tw == 0 || gw == 0) spacing = 0;

    const int c = horizontal ? cw : ch;
    const int g = horizontal ? gw : gh;
    const int t = horizontal ? tw : th;
    if (margin == -1 && spacing == -1) {
        margin = (c - (g + t)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (c - (g + spacing + t) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((c - (margin + g)) - t) / 2;
    }

    switch (layout) {
    case blGlyphLeft:
        image.setX(margin);
        textAt.setX(image.x() + gw + spacing);
        break;
    case blGlyphRight:
        image.setX(cw - margin - gw);
        textAt.setX(image.x() - spacing - tw);
        break;
    case blGlyphTop:
        image.setY(margin);
        textAt.setY(image.y() + gh + spacing);
        break;
    case blGlyphBottom:
        image.setY(ch - margin - gh);
        textAt.setY(image.y() - spacing - th);
        break;
    }
    const QPoint origin = client.topLeft();
    return {origin + image, text.translated(origin + textAt)};
}

void TButtonGlyph::DrawImage(TCanvas& canvas, QPoint at, TGlyphState state, bool transparent) {
    if (source_.Empty()) return;
    const int slot = BuildImage(state);
    if (slot < 0 || !store_) return;
    const bool keepFace = transparent || state == gsExclusive;
    store_->Draw(canvas.Painter(), at.x(), at.y(), slot, keepFace ? clNone : clBtnFace);
}

void TButtonGlyph::DrawCaption(TCanvas& canvas, const QString& caption, const QRect& rect,
                               TGlyphState state, unsigned textFlags) const {
    canvas.Brush.Style = bsClear;
    QRect box = rect;
    const unsigned flags = textFlags | tfCenter;
    if (state == gsDisabled) {
        const TColor saved = canvas.FontColor;
        QRect shifted = box.translated(1, 1);
        canvas.FontColor = clBtnHighlight;
        canvas.DrawText(caption, shifted, flags);
        canvas.FontColor = clBtnShadow;
        canvas.DrawText(caption, box, flags);
        canvas.FontColor = saved;
        return;
    }
    canvas.DrawText(caption, box, flags);
}

QRect TButtonGlyph::Draw(TCanvas& canvas, const QRect& client, const QString& caption,
                         TButtonLayout layout, int margin, int spacing, TGlyphState state,
                         bool transparent, unsigned textFlags) {
    const TGlyphLayout placed =
        ComputeLayout(canvas, client, caption, layout, margin, spacing, textFlags);
    DrawImage(canvas, placed.image, state, transparent);
    DrawCaption(canvas, caption, placed.caption, state, textFlags);
    return placed.caption;
}

} // namespace plotalon
