#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ConvState.h"

namespace plotalon {

// Which address letters a block contains anywhere in its text.
struct TBlockWords {
    bool HasX = false, HasY = false, HasZ = false, HasR = false;
};

TBlockWords FindBlockWords(std::string_view line);

// A whole plotter coordinate as plain decimal digits with an optional "-". Every value a
// coordinate can hold (any signed 64-bit integer) is written in full, never in exponent form.
// Returns the number of characters written to out, which must hold at least 20.
std::size_t FormatCoord(long double value, char* out);
std::string FormatCoord(long double value);

// Translates one NC line: updates the modal state and appends the HPGL lines it produces.
// A floating-point fault raises before any line of the block is appended.
void TranslateBlock(TConversionContext& context, std::string_view line);

} // namespace plotalon
