#pragma once
// One line of the standard reading as a block: its G and M codes sorted into their modal
// groups, and the values of its other words by letter. Two codes of one group, a letter given
// twice and every code or letter outside the subset that CAM systems write are refused here.

#include <cstdint>

#include "engine/NcWords.h"

namespace plotalon {

// G codes are held as ten times their number, so that G91.1 is 911 and G1 is 10.
enum TGGroup {
    ggMotion,      // G0 G1 G2 G3 G73 G80 G81 G82 G83
    ggNonModal,    // G4 G28 G30 G53
    ggPlane,       // G17
    ggDistance,    // G90 G91
    ggArcDistance, // G90.1 G91.1
    ggFeedMode,    // G93 G94 G95
    ggUnits,       // G20 G21
    ggCutter,      // G40
    ggToolLength,  // G43 G49
    ggRetract,     // G98 G99
    ggCoordinates, // G54 .. G59.3
    ggPath,        // G61 G61.1 G64
    ggGroups
};

enum TMGroup {
    mgStop,       // M0 M1 M2 M30
    mgToolChange, // M6
    mgSpindle,    // M3 M4 M5
    mgCoolant,    // M7 M8 M9
    mgGroups
};

struct TNcBlock {
    int G[ggGroups]; // ten times the code of each group, -1 where the block has none
    int M[mgGroups]; // the code of each group, -1 where the block has none
    bool Has[26] = {};
    long double Value[26] = {};

    bool HasWord(char letter) const { return Has[letter - 'A']; }
    long double Word(char letter) const { return Value[letter - 'A']; }
    bool HasAxis() const { return HasWord('X') || HasWord('Y') || HasWord('Z'); }
};

// Sorts the words of a line into a block. Raises ENcError for a code or letter outside the
// subset ("G41 wird nicht unterstützt"), two codes of one group and a letter given twice.
void MakeNcBlock(const TNcLine& line, TNcBlock& block);

// "G91.1" for 911.
std::string GCodeText(int code10);

} // namespace plotalon
