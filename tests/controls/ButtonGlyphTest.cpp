#include "controls/ButtonGlyph.h"
#include "GlyphFixtures.h"
#include "controls/GlyphCache.h"
#include "platform/qt/Fonts.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

using namespace test;

TEST(ButtonGlyph, StripShapeGivesTheImageCount) {
    struct Case {
        int w, h, before, after;
    } cases[] = {
        {60, 15, 1, 4}, {64, 16, 1, 4}, {80, 16, 2, 1}, {50, 16, 2, 2},
        {16, 16, 3, 1}, {32, 16, 1, 2}, {48, 16, 1, 3},
    };
    for (const Case& c : cases) {
        TButtonGlyph glyph;
        glyph.SetNumGlyphs(c.before);
        const TBitmap strip = Strip(c.w, c.h);
        glyph.SetSource(&strip);
        EXPECT_EQ(glyph.NumGlyphs(), c.after) << c.w << "x" << c.h;
    }
}

TEST(ButtonGlyph, FiveImageStripIsOneWideImage) {
    TButtonGlyph glyph;
    const TBitmap strip = Strip(80, 16);
    glyph.SetSource(&strip);
    ASSERT_GE(glyph.BuildImage(gsUp), 0);
    EXPECT_EQ(glyph.Store()->Width(), 80);
    EXPECT_EQ(glyph.Store()->Height(), 16);
}

TEST(ButtonGlyph, ZeroCountIsIgnoredAndChangesAreAnnounced) {
    TButtonGlyph glyph;
    int changes = 0;
    glyph.OnChange = [&](TButtonGlyph&) { ++changes; };
    glyph.SetNumGlyphs(0);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    EXPECT_EQ(changes, 0);
    glyph.SetNumGlyphs(2);
    EXPECT_EQ(changes, 1);
    glyph.Source().SetPixel(0, 0, clRed); // empty source: nothing to change
    const TBitmap strip = Strip(32, 16);
    glyph.SetSource(&strip);
    EXPECT_GE(changes, 2);
    const int before = changes;
    glyph.BuildImage(gsUp);
    glyph.Source().SetPixel(0, 0, clRed);
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(glyph.Slot(gsUp), -1); // the pixel change dropped the image
}

TEST(ButtonGlyph, NoSourceBuildsNothing) {
    TButtonGlyph glyph;
    EXPECT_EQ(glyph.BuildImage(gsUp), -1);
    EXPECT_EQ(glyph.Store(), nullptr);
}

TEST(ButtonGlyph, SingleImageSharesUpWithDownButNotWithExclusive) {
    TButtonGlyph glyph;
    const TBitmap strip = Strip(16, 16);
    glyph.SetSource(&strip);
    const int up = glyph.BuildImage(gsUp);
    EXPECT_EQ(glyph.BuildImage(gsDown), up);
    EXPECT_EQ(glyph.Slot(gsDown), -1);
    const int latched = glyph.BuildImage(gsExclusive);
    EXPECT_NE(latched, up);
    EXPECT_EQ(glyph.Store()->Image(latched), glyph.Store()->Image(up));
    EXPECT_EQ(glyph.Store()->Count(), 2);
}

TEST(ButtonGlyph, EachLookTakesItsImageFromTheStrip) {
    const QRgb looks[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    QImage image(16, 4, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                image.setPixel(i * 4 + x, y, looks[i]);
    image.setPixel(0, 3, qRgb(192, 192, 192)); // the up image's transparent corner
    TBitmap strip(image);
    strip.SetTransparentColor(clSilver);
    KnownPalette palette;
    TButtonGlyph glyph;
    glyph.SetSource(&strip);
    ASSERT_EQ(glyph.NumGlyphs(), 4);
    for (TGlyphState state : {gsUp, gsDown, gsExclusive}) {
        const int slot = glyph.BuildImage(state);
        const QImage& built = glyph.Store()->Image(slot);
        EXPECT_EQ(built.pixel(1, 1), looks[state] | 0xFF000000) << state;
    }
    EXPECT_EQ(qAlpha(glyph.Store()->Image(glyph.Slot(gsUp)).pixel(0, 3)), 0);
}

TEST(ButtonGlyph, DisabledSingleImageKeepsOnlyBlackPixelsEmbossed) {
    KnownPalette palette;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    image.setPixel(1, 1, qRgb(0, 0, 0));
    image.setPixel(3, 2, qRgb(0, 0, 0)); // its highlight falls outside the image
    const TBitmap strip(image);
    TButtonGlyph glyph;
    glyph.SetSource(&strip);
    const int slot = glyph.BuildImage(gsDisabled);
    const QImage& disabled = glyph.Store()->Image(slot);
    EXPECT_EQ(QColor(disabled.pixel(1, 1)), kDark);
    EXPECT_EQ(QColor(disabled.pixel(2, 2)), kLight);
    EXPECT_EQ(QColor(disabled.pixel(3, 2)), kDark);
    // Everything else is face, which is also the automatic mask colour.
    for (auto [x, y] : {std::pair{0, 0}, {2, 1}, {0, 3}, {3, 3}})
        EXPECT_EQ(qAlpha(disabled.pixel(x, y)), 0) << x << "," << y;
}

TEST(ButtonGlyph, DisabledSecondImageIsRecolouredByTheSourceColours) {
    KnownPalette palette;
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    const QRgb olive = qRgb(128, 128, 0);
    image.setPixel(0, 3, olive); // the transparent colour, from the bottom-left pixel
    image.setPixel(4, 3, qRgb(9, 9, 9));
    image.setPixel(5, 0, qRgb(255, 255, 255));
    image.setPixel(6, 0, qRgb(128, 128, 128));
    image.setPixel(7, 0, olive);
    image.setPixel(4, 0, qRgb(1, 2, 3));
    const TBitmap strip(image);
    TButtonGlyph glyph;
    glyph.SetSource(&strip);
    ASSERT_EQ(glyph.NumGlyphs(), 2);
    const int slot = glyph.BuildImage(gsDisabled);
    const QImage& built = glyph.Store()->Image(slot);
    EXPECT_EQ(QColor(built.pixel(1, 0)), kLight);
    EXPECT_EQ(QColor(built.pixel(2, 0)), kDark);
    EXPECT_EQ(QColor(built.pixel(3, 0)), kFace);
    EXPECT_EQ(QColor(built.pixel(0, 0)), QColor(1, 2, 3));
    EXPECT_EQ(qAlpha(built.pixel(0, 3)), 0); // bottom-left (9, 9, 9) is the automatic mask
}

TEST(GlyphStores, SlotsAreReusedAndStoresSharedPerSizeAndReleased) {
    auto glyph16a = std::make_unique<TButtonGlyph>();
    auto glyph16b = std::make_unique<TButtonGlyph>();
    auto glyph15 = std::make_unique<TButtonGlyph>();
    const TBitmap s16 = Strip(16, 16), s15 = Strip(15, 15);
    glyph16a->SetSource(&s16);
    glyph16b->SetSource(&s16);
    glyph15->SetSource(&s15);
    glyph16a->BuildImage(gsUp);
    glyph16b->BuildImage(gsUp);
    glyph15->BuildImage(gsUp);
    ASSERT_NE(SharedGlyphCache(), nullptr);
    EXPECT_EQ(glyph16a->Store(), glyph16b->Store());
    EXPECT_NE(glyph16a->Store(), glyph15->Store());
    EXPECT_EQ(SharedGlyphCache()->StoreCount(), 2);

    TGlyphList* store16 = glyph16a->Store();
    const int freed = glyph16a->Slot(gsUp);
    glyph16a->DropImages();
    EXPECT_EQ(store16->Count(), 1);
    EXPECT_EQ(glyph16b->BuildImage(gsExclusive), freed); // lowest free slot first
    EXPECT_EQ(store16->ImageCount(), 2);

    glyph16b.reset();
    EXPECT_EQ(SharedGlyphCache()->StoreCount(), 1); // the 16 × 16 store is gone
    glyph16a.reset();
    ASSERT_NE(SharedGlyphCache(), nullptr); // glyph15 still holds its store
    glyph15.reset();
    EXPECT_EQ(SharedGlyphCache(), nullptr);
}

TEST(GlyphStores, RefusedImageIsNotRecorded) {
    TGlyphList store(4, 4);
    EXPECT_THROW(store.AddImage(QImage(5, 4, QImage::Format_RGB32), clDefault), EGlyphListError);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.IsUsed(0));
    QImage fits(4, 4, QImage::Format_RGB32);
    fits.fill(Qt::red);
    EXPECT_EQ(store.AddImage(fits, clDefault), 0);
    store.FreeSlot(0);
    store.FreeSlot(0); // twice is harmless
    EXPECT_EQ(store.Count(), 0);
}

TEST(GlyphStores, AcquireFindsTheSizeAndReleaseKeepsLiveStores) {
    TGlyphCache cache;
    TGlyphList* a = cache.AcquireStore(16, 16);
    EXPECT_EQ(cache.AcquireStore(16, 16), a);
    TGlyphList* b = cache.AcquireStore(15, 15);
    EXPECT_NE(a, b);
    QImage fits(15, 15, QImage::Format_RGB32);
    fits.fill(Qt::red);
    b->AddImage(fits, clDefault);
    cache.ReleaseStore(b);
    cache.ReleaseStore(nullptr);
    EXPECT_EQ(cache.StoreCount(), 2);
    cache.ReleaseStore(a);
    EXPECT_EQ(cache.StoreCount(), 1);
    EXPECT_FALSE(cache.IsEmpty());
}

// Layout: a canvas with the windows' font, so that a caption line is 13 pixels high.
struct Layout : testing::Test {
    QImage surface{200, 100, QImage::Format_RGB32};
    QPainter painter{&surface};
    TCanvas canvas{painter};
    TButtonGlyph glyph;
    TBitmap image16 = Strip(16, 16);
    Layout() {
        canvas.Font = DefaultWindowFont();
        glyph.SetSource(&image16);
    }
    int Width(const QString& caption) {
        QRect r(0, 0, 200, 0);
        canvas.DrawText(caption, r, tfCalcRect);
        return r.width();
    }
    TGlyphLayout Place(QRect client, const QString& caption, TButtonLayout layout, int margin,
                       int spacing, unsigned flags = 0) {
        return glyph.ComputeLayout(canvas, client, caption, layout, margin, spacing, flags);
    }
};

TEST_F(Layout, PageButtonPutsImageAtFiveSevenAndCaptionAtTwentyFiveNine) {
    const auto placed = Place(QRect(0, 0, 113, 30), u"&HPGL"_qs, blGlyphLeft, 5, 4);
    EXPECT_EQ(placed.image, QPoint(5, 7));
    EXPECT_EQ(placed.caption.topLeft(), QPoint(25, 9));
    EXPECT_EQ(placed.caption.height(), 13);
    EXPECT_EQ(placed.caption.width(), Width(u"&HPGL"_qs));
}

TEST_F(Layout, ImageAloneIsCentred) {
    EXPECT_EQ(Place(QRect(0, 0, 23, 22), QString(), blGlyphLeft, -1, 4).image, QPoint(4, 3));
    EXPECT_EQ(Place(QRect(0, 0, 19, 19), QString(), blGlyphLeft, -1, -1).image.y(), 2);
}

TEST_F(Layout, CaptionAloneIsCentred) {
    TButtonGlyph none;
    const QString caption = u"&Schließen"_qs;
    const int tw = Width(caption);
    const auto placed =
        none.ComputeLayout(canvas, QRect(0, 0, 145, 33), caption, blGlyphLeft, -1, 4, 0);
    EXPECT_EQ(placed.caption.left(), (145 - tw + 1) / 2);
    EXPECT_EQ(placed.caption.top(), (33 - 13 + 1) / 2);
}

TEST_F(Layout, FreeSpaceSplitsInThreeWhenMarginAndSpacingAreComputed) {
    const QString caption = u"Text"_qs;
    const int tw = Width(caption);
    const int third = (120 - (16 + tw)) / 3;
    const auto left = Place(QRect(0, 0, 120, 30), caption, blGlyphLeft, -1, -1);
    EXPECT_EQ(left.image.x(), third);
    EXPECT_EQ(left.caption.left(), third + 16 + third);
    const auto right = Place(QRect(0, 0, 120, 30), caption, blGlyphRight, -1, -1);
    EXPECT_EQ(right.image.x(), 120 - third - 16);
    EXPECT_EQ(right.caption.left(), 120 - third - 16 - third - tw);
}

TEST_F(Layout, OneGivenValueDerivesTheOther) {
    const QString caption = u"Text"_qs;
    const int tw = Width(caption);
    // margin from spacing
    const auto a = Place(QRect(0, 0, 100, 30), caption, blGlyphLeft, -1, 6);
    EXPECT_EQ(a.image.x(), (100 - (16 + 6 + tw) + 1) / 2);
    // spacing from margin
    const auto b = Place(QRect(0, 0, 100, 30), caption, blGlyphLeft, 3, -1);
    EXPECT_EQ(b.caption.left(), 3 + 16 + ((100 - (3 + 16)) - tw) / 2);
}

TEST_F(Layout, VerticalLayoutsAndClientOffset) {
    const auto top = Place(QRect(10, 20, 60, 50), u"Ab"_qs, blGlyphTop, 2, 3);
    EXPECT_EQ(top.image, QPoint(10 + (60 - 16 + 1) / 2, 20 + 2));
    EXPECT_EQ(top.caption.top(), 20 + 2 + 16 + 3);
    const auto bottom = Place(QRect(0, 0, 60, 50), u"Ab"_qs, blGlyphBottom, 2, 3);
    EXPECT_EQ(bottom.image.y(), 50 - 2 - 16);
    EXPECT_EQ(bottom.caption.top(), 50 - 2 - 16 - 3 - 13);
}

TEST_F(Layout, RightToLeftSwapsTheSides) {
    const auto rtl = Place(QRect(0, 0, 113, 30), u"x"_qs, blGlyphLeft, 5, 4, tfRightToLeft);
    EXPECT_EQ(rtl.image.x(), 113 - 5 - 16);
}

TEST_F(Layout, CaptionWiderThanTheButtonGoesNegative) {
    const auto placed = Place(QRect(0, 0, 20, 20), u"A very long caption"_qs, blGlyphLeft, -1, 4);
    EXPECT_LT(placed.image.x(), 0);
}

} // namespace
} // namespace plotalon
