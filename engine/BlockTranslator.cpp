#include "engine/BlockTranslator.h"

#include <charconv>
#include <string>

#include "engine/ArcOutput.h"
#include "engine/ExtMath.h"
#include "engine/HpglLine.h"
#include "engine/WordReader.h"

namespace plotalon {

namespace {

// The move mode is found by plain substring search; the last of G0..G3, in this checking
// order, that occurs anywhere in the line wins. So G01 contains "G0" and is a rapid move.
void UpdateMode(TModalState& state, std::string_view line) {
    static constexpr struct {
        std::string_view word;
        TMoveMode mode;
    } modes[] = {{"G0", TMoveMode::mmRapid},
                 {"G1", TMoveMode::mmLinear},
                 {"G2", TMoveMode::mmArcCW},
                 {"G3", TMoveMode::mmArcCCW}};
    if (line.find('G') == std::string_view::npos) return;
    for (const auto& m : modes)
        if (line.find(m.word) != std::string_view::npos) state.Mode = m.mode;
}

long double Scaled(char letter, std::string_view line, std::int32_t factor, std::int32_t move) {
    const long double value = ReadWordValue(letter, line) * static_cast<long double>(factor) +
                              static_cast<long double>(move);
    return static_cast<long double>(RoundExt(value));
}

void ReadValues(const TConvSettings& settings, TModalState& state, const TBlockWords& words,
                std::string_view line) {
    // Everything is computed before the state changes, so a fault leaves the state as it was.
    const long double x = words.HasX ? Scaled('X', line, settings.Factor, settings.XMove) : 0;
    const long double y = words.HasY ? Scaled('Y', line, settings.Factor, settings.YMove) : 0;
    const long double z = words.HasZ ? Scaled('Z', line, settings.Factor, 0) : 0;
    const long double r = words.HasR ? Scaled('R', line, settings.Factor, 0) : 0;
    if (words.HasX) {
        state.PrevX = state.CurX;
        state.CurX = x;
    }
    if (words.HasY) {
        state.PrevY = state.CurY;
        state.CurY = y;
    }
    if (words.HasZ) state.CurZ = z;
    if (words.HasR) state.CurR = r;
}

void StraightMove(TConversionContext& context, const TBlockWords& words) {
    TModalState& state = context.State;
    const bool hasXY = words.HasX || words.HasY;
    if (state.Mode == TMoveMode::mmRapid && hasXY) {
        AppendPoint(context.Target, "PU", state.CurX, state.CurY);
        state.PenLowered = false;
    } else if (state.Mode == TMoveMode::mmLinear && hasXY) {
        // With a Z word beside X or Y the move is written as usual; the pen ends down either way.
        AppendPoint(context.Target, state.PenLowered ? "PA" : "PD", state.CurX, state.CurY);
        state.PenLowered = true;
    } else if (state.Mode == TMoveMode::mmLinear && words.HasZ) {
        context.Target.AppendLine("PD;");
        state.PenLowered = true;
    }
}

} // namespace

TBlockWords FindBlockWords(std::string_view line) {
    TBlockWords words;
    for (char c : line) {
        switch (c) {
        case 'X': words.HasX = true; break;
        case 'Y': words.HasY = true; break;
        case 'Z': words.HasZ = true; break;
        case 'R': words.HasR = true; break;
        default: break;
        }
    }
    return words;
}

std::size_t FormatCoord(long double value, char* out) {
    const auto integral = static_cast<std::int64_t>(value);
    return static_cast<std::size_t>(std::to_chars(out, out + 20, integral).ptr - out);
}

std::string FormatCoord(long double value) {
    char text[24];
    return std::string(text, FormatCoord(value, text));
}

void TranslateBlock(TConversionContext& context, std::string_view line) {
    TModalState& state = context.State;
    UpdateMode(state, line);
    const TBlockWords words = FindBlockWords(line);
    ReadValues(context.Settings, state, words, line);
    StraightMove(context, words);

    const bool arc = state.Mode == TMoveMode::mmArcCW || state.Mode == TMoveMode::mmArcCCW;
    if (arc && (words.HasX || words.HasY)) {
        // The arc starts where the tool stood before this block, on both axes.
        if (!words.HasY) state.PrevY = state.CurY;
        if (!words.HasX) state.PrevX = state.CurX;
        EmitArc(context, state.PrevX, state.PrevY, state.CurX, state.CurY, state.CurR);
    }
}

} // namespace plotalon
