#include "controls/GlyphArt.h"
#include "controls/ButtonGlyph.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(GlyphArt, EveryGlyphLoadsWithItsSizeAndSilverCorner) {
    struct Case {
        std::string_view name;
        int w, h, images;
    } cases[] = {
        {glyph_art::ArrowRight, 16, 16, 1},  {glyph_art::Cancel, 16, 16, 1},
        {glyph_art::Help, 16, 16, 1},        {glyph_art::Save, 16, 16, 1},
        {glyph_art::Minus, 15, 15, 1},       {glyph_art::Plus, 15, 15, 1},
        {glyph_art::CheckBox, 60, 15, 4},    {glyph_art::FolderOpen, 16, 16, 1},
        {glyph_art::Envelope, 16, 16, 1},    {glyph_art::Globe, 16, 16, 1},
        {glyph_art::NcOpen, 16, 16, 1},      {glyph_art::HpglConvert, 16, 16, 1},
        {glyph_art::HpglSave, 16, 16, 1},    {glyph_art::Settings, 16, 16, 1},
        {glyph_art::ProgramIcon, 32, 32, 1}, {glyph_art::Pause, 16, 16, 1},
        {glyph_art::Preview, 16, 16, 1},
    };
    EXPECT_EQ(std::size(cases), std::size(glyph_art::All));
    for (const Case& c : cases) {
        const TBitmap bitmap = LoadGlyph(c.name);
        EXPECT_EQ(bitmap.Width(), c.w) << c.name;
        EXPECT_EQ(bitmap.Height(), c.h) << c.name;
        EXPECT_EQ(bitmap.TransparentColor(), clSilver) << c.name;
        TButtonGlyph glyph;
        glyph.SetSource(&bitmap);
        EXPECT_EQ(glyph.NumGlyphs(), c.images) << c.name;
    }
}

TEST(GlyphArt, UnknownNameIsAFileError) {
    EXPECT_THROW(LoadGlyph("no_such_glyph"), EFOpenError);
}

} // namespace
} // namespace plotalon
