#pragma once
// TButtonGlyph: a button's source image strip (one to four equally sized images: up,
// disabled, pressed, latched), turned on demand into one masked image per look, kept in
// the shared store of its image size; and the placing and drawing of image and caption.

#include "controls/GlyphList.h"
#include "platform/qt/Bitmap.h"
#include "platform/qt/Canvas.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <functional>

namespace plotalon {

// The ordinal is also the position of the look's image in the source strip.
enum TGlyphState { gsUp = 0, gsDisabled = 1, gsDown = 2, gsExclusive = 3 };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TGlyphLayout {
    QPoint image;
    QRect caption;
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    // The strip as assigned. Changing its pixels drops the built images.
    TBitmap& Source() { return source_; }
    const TBitmap& Source() const { return source_; }
    // Copies bitmap (nullptr: none) and takes the image count from its shape: width a whole
    // multiple of height gives width / height images, or 1 when that is above 4; any other
    // shape keeps the count.
    void SetSource(const TBitmap* bitmap);

    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; 0 is ignored.
    void SetNumGlyphs(int count);

    TColor TransparentColor() const { return transparentColor_; }
    TGlyphList* Store() const { return store_; }
    int Slot(TGlyphState state) const { return slots_[state]; }

    // Called after the source or the count changed (the owner repaints).
    std::function<void(TButtonGlyph&)> OnChange;

    // The slot of the image for state, built if needed; -1 without a source image.
    int BuildImage(TGlyphState state);
    // Frees all four images and gives the store back.
    void DropImages();

    TGlyphLayout ComputeLayout(TCanvas& canvas, const QRect& client, const QString& caption,
                               TButtonLayout layout, int margin, int spacing,
                               unsigned textFlags) const;
    void DrawImage(TCanvas& canvas, QPoint at, TGlyphState state, bool transparent);
    void DrawCaption(TCanvas& canvas, const QString& caption, const QRect& rect, TGlyphState state,
                     unsigned textFlags) const;
    // ComputeLayout, DrawImage, DrawCaption; returns the caption rectangle.
    QRect Draw(TCanvas& canvas, const QRect& client, const QString& caption, TButtonLayout layout,
               int margin, int spacing, TGlyphState state, bool transparent, unsigned textFlags);

private:
    void SourceChanged();
    QImage MakeImage(TGlyphState state, int width, int height) const;

    TBitmap source_;
    TGlyphList* store_ = nullptr;
    std::array<int, 4> slots_{-1, -1, -1, -1};
    TColor transparentColor_ = clOlive;
    int numGlyphs_ = 1;
};

} // namespace plotalon
