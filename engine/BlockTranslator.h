#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ConvState.h"
#include "engine/HpglLine.h" // FormatCoord

namespace plotalon {

// Which address letters a block contains anywhere in its text.
struct TBlockWords {
    bool HasX = false, HasY = false, HasZ = false, HasR = false;
};

// Translates one NC line: updates the modal state and appends the HPGL lines it produces.
// A floating-point fault raises before any line of the block is appended.
void TranslateBlock(TConversionContext& context, std::string_view line);

} // namespace plotalon
