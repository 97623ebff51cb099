#include "engine/BlockTranslator.h"

#include "engine/ArcOutput.h"
#include "engine/ExtMath.h"
#include "engine/WordReader.h"

namespace plotalon {

namespace {

// What the searches of a block find, gathered in one pass over the line: which of "G0" to
// "G3" occur anywhere, and the first X, Y, Z and R with the value written after each.
struct TLineWords {
    unsigned MoveCodes = 0; // bit n: "Gn" occurs
    TBlockWords Has;
    long double X = 0, Y = 0, Z = 0, R = 0;
};

// Reads the value after the letter at `at` into value, the first time the letter is met.
std::size_t TakeWord(std::string_view line, std::size_t at, bool& has, long double& value) {
    if (has) return at + 1;
    has = true;
    const TWordValue word = ReadWordAt(line, at);
    value = word.Value;
    return word.End;
}

// A number's characters (blanks, "-", ".", digits) all sort below "G", so the pass skips them
// with one comparison and resumes after a value where its reading stopped.
TLineWords ScanLine(std::string_view line) {
    TLineWords words;
    const std::size_t size = line.size();
    for (std::size_t i = 0; i < size;) {
        const char c = line[i];
        if (static_cast<unsigned char>(c) < 'G') {
            ++i;
            continue;
        }
        switch (c) {
        case 'G':
            if (i + 1 < size && line[i + 1] >= '0' && line[i + 1] <= '3')
                words.MoveCodes |= 1u << (line[i + 1] - '0');
            ++i;
            break;
        case 'X':
            i = TakeWord(line, i, words.Has.HasX, words.X);
            break;
        case 'Y':
            i = TakeWord(line, i, words.Has.HasY, words.Y);
            break;
        case 'Z':
            i = TakeWord(line, i, words.Has.HasZ, words.Z);
            break;
        case 'R':
            i = TakeWord(line, i, words.Has.HasR, words.R);
            break;
        default:
            ++i;
            break;
        }
    }
    return words;
}

// The move mode is found by plain substring search; the last of G0..G3, in this checking
// order, that occurs anywhere in the line wins. So G01 contains "G0" and is a rapid move.
void UpdateMode(TModalState& state, unsigned moveCodes) {
    static constexpr TMoveMode modes[] = {TMoveMode::mmRapid, TMoveMode::mmLinear,
                                          TMoveMode::mmArcCW, TMoveMode::mmArcCCW};
    for (int code = 3; code >= 0; --code)
        if (moveCodes & (1u << code)) {
            state.Mode = modes[code];
            return;
        }
}

long double Scaled(long double value, std::int32_t factor, std::int32_t move) {
    return static_cast<long double>(
        RoundExt(value * static_cast<long double>(factor) + static_cast<long double>(move)));
}

void ReadValues(const TConvSettings& settings, TModalState& state, const TLineWords& words) {
    // Everything is computed before the state changes, so a fault leaves the state as it was.
    const TBlockWords& has = words.Has;
    const long double x = has.HasX ? Scaled(words.X, settings.Factor, settings.XMove) : 0;
    const long double y = has.HasY ? Scaled(words.Y, settings.Factor, settings.YMove) : 0;
    const long double z = has.HasZ ? Scaled(words.Z, settings.Factor, 0) : 0;
    const long double r = has.HasR ? Scaled(words.R, settings.Factor, 0) : 0;
    if (has.HasX) {
        state.PrevX = state.CurX;
        state.CurX = x;
    }
    if (has.HasY) {
        state.PrevY = state.CurY;
        state.CurY = y;
    }
    if (has.HasZ) state.CurZ = z;
    if (has.HasR) state.CurR = r;
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

void TranslateBlock(TConversionContext& context, std::string_view line) {
    TModalState& state = context.State;
    const TLineWords words = ScanLine(line);
    UpdateMode(state, words.MoveCodes);
    ReadValues(context.Settings, state, words);
    StraightMove(context, words.Has);

    const bool arc = state.Mode == TMoveMode::mmArcCW || state.Mode == TMoveMode::mmArcCCW;
    if (arc && (words.Has.HasX || words.Has.HasY)) {
        // The arc starts where the tool stood before this block, on both axes.
        if (!words.Has.HasY) state.PrevY = state.CurY;
        if (!words.Has.HasX) state.PrevX = state.CurX;
        EmitArc(context, state.PrevX, state.PrevY, state.CurX, state.CurY, state.CurR);
    }
}

} // namespace plotalon
