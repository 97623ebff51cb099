#pragma once
// Building HPGL command lines without heap traffic: the engine writes millions of them.

#include <string_view>

#include "engine/LineSeams.h"

namespace plotalon {

// Appends command + X "," Y ";" (for example "PA10000,5500;").
void AppendPoint(ILineSink& target, std::string_view command, long double x, long double y);

// Appends "AT" XI "," YI "," XE "," YE ";".
void AppendArcThrough(ILineSink& target, long double xi, long double yi, long double xe,
                      long double ye);

} // namespace plotalon
