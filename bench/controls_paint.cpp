// Painting cost of the flat speed button: a repaint reuses the glyph image built once;
// building it (slicing, masking, the disabled recolouring) is the cost that is saved.
#include "controls/GlyphArt.h"
#include "controls/XPSpeedButton.h"
#include "platform/qt/Fonts.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using namespace plotalon;

std::unique_ptr<TXPSpeedButton> HouseButton(std::string_view glyph, const char* caption) {
    auto button = std::make_unique<TXPSpeedButton>();
    button->setFont(DefaultWindowFont());
    button->resize(113, 30);
    button->SetCaption(QString::fromUtf8(caption));
    button->SetMargin(5);
    const TBitmap bitmap = LoadGlyph(glyph);
    button->SetGlyph(&bitmap);
    button->BrushNormal().Color = clSilver;
    return button;
}

void BM_PaintCommandButton(benchmark::State& state) {
    auto button = HouseButton(glyph_art::ArrowRight, "&Verzeichnisse");
    QImage target(113, 30, QImage::Format_RGB32);
    for (auto _ : state) {
        button->render(&target);
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_PaintCommandButton);

void BM_BuildGlyphImage(benchmark::State& state) {
    auto button = HouseButton(glyph_art::CheckBox, "H&PGL 1");
    const auto look = TGlyphState(state.range(0));
    for (auto _ : state) {
        button->ButtonGlyph().DropImages();
        benchmark::DoNotOptimize(button->ButtonGlyph().BuildImage(look));
    }
}
BENCHMARK(BM_BuildGlyphImage)->Arg(gsUp)->Arg(gsDisabled);

void BM_CachedGlyphImage(benchmark::State& state) {
    auto button = HouseButton(glyph_art::CheckBox, "H&PGL 1");
    for (auto _ : state)
        benchmark::DoNotOptimize(button->ButtonGlyph().BuildImage(gsUp));
}
BENCHMARK(BM_CachedGlyphImage);

} // namespace
