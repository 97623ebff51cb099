#pragma once
// Building HPGL command lines without heap traffic: the engine writes millions of them.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/LineSeams.h"

namespace plotalon {

// A whole plotter coordinate as plain decimal digits with an optional "-". Every value a
// coordinate can hold (any signed 64-bit integer) is written in full, never in exponent form.
// Returns the number of characters written to out, which must hold at least 20.
std::size_t FormatCoord(std::int64_t value, char* out);
// The same for a coordinate held as an extended value; a fraction is cut off.
std::size_t FormatCoord(long double value, char* out);
std::string FormatCoord(long double value);

// Appends command + X "," Y ";" (for example "PA10000,5500;").
void AppendPoint(ILineSink& target, std::string_view command, std::int64_t x, std::int64_t y);
void AppendPoint(ILineSink& target, std::string_view command, long double x, long double y);

// Appends "AT" XI "," YI "," XE "," YE ";".
void AppendArcThrough(ILineSink& target, std::int64_t xi, std::int64_t yi, std::int64_t xe,
                      std::int64_t ye);

} // namespace plotalon
