#pragma once
// The two records the conversion works on: the settings that shape the output and the
// modal machine state carried from one NC block to the next.

#include <cstdint>
#include <string>

#include "engine/LineSeams.h"

namespace plotalon {

// How the NC text is read: literally, by the rules the program was made with (the default),
// or as the subset of RS274/NGC that CAM systems write.
enum class TNcMode { nmLiteral, nmStandard };

// What lowers the pen in the standard reading: the tool's Z at or below the pen level, or
// the spindle (laser) running.
enum class TPenSource { psZ, psSpindle };

struct TConvSettings {
    std::int32_t Factor = 0;   // multiplier for every X, Y, Z and R value
    std::int32_t XMove = 0;    // added to every scaled X, in plotter units
    std::int32_t YMove = 0;    // added to every scaled Y, in plotter units
    std::int32_t Deg = 0;      // chord step of HPGL 1 arcs, whole degrees
    std::uint8_t HpglType = 0; // 1 = HPGL 1, 2 = HPGL 2, anything else draws no arcs
    std::string NcFolder;
    std::string HpglFolder;

    // The standard reading only; a settings file without them gives the literal reading.
    TNcMode NcMode = TNcMode::nmLiteral;
    std::int32_t PenZ = 0; // pen level in thousandths of an NC unit
    TPenSource PenSource = TPenSource::psZ;
    bool ToolPens = false;   // "T n M6" selects pen n
    bool DrillMarks = false; // every hole of a drilling cycle is marked with a dot
};

enum class TMoveMode { mmRapid, mmLinear, mmArcCW, mmArcCCW };

// Coordinates are plotter units held as 80-bit extended values; they are always integral.
struct TModalState {
    TMoveMode Mode = TMoveMode::mmRapid;
    bool PenLowered = false;
    long double CurX = 0, CurY = 0, CurZ = 0, CurR = 0;
    long double PrevX = 0, PrevY = 0; // start point of an arc
};

void ResetModalState(TModalState& state);

// What one translation step works with: the settings it reads, the state it carries and
// the target text it appends to.
struct TConversionContext {
    const TConvSettings& Settings;
    TModalState& State;
    ILineSink& Target;
};

// The program's one set of conversion settings and one modal state.
TConvSettings& ConvSettings();
TModalState& ModalState();

} // namespace plotalon
