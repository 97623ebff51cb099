#pragma once
// The complete example of the conversion run, through the real engine, in either dialect:
// prefix IN;SP1;, then PU0,0; PD; PA10000,0; the half circle below the x axis to 20000,0
// (chords every deg degrees in HPGL 1, one AT in HPGL 2), suffix SP0;.

#include <cstdint>

#include "engine/ConversionRun.h"

namespace plotalon::test {

inline TLineVector ConvertExample(std::uint8_t type, std::int32_t deg = 45) {
    TConvSettings settings;
    settings.Factor = 1000;
    settings.Deg = deg;
    settings.HpglType = type;
    TModalState state;
    TLineVector target;
    TConversionRun run(settings, state, target);
    run.Execute(TLineVector{"G0 X0 Y0", "G1 Z-1", "G1 X10", "G3 X20 Y0 R5", "G0 Z5", "M30"},
                TLineVector{"IN;SP1;"}, TLineVector{"SP0;"});
    return target;
}

} // namespace plotalon::test
