#pragma once
// The generated NC program converted into HPGL lines, as the benchmarks of what comes after
// the conversion (preview, sender) take it: literal reading, 10 degrees, "IN;SP1;" before.

#include "bench/NcProgram.h"
#include "engine/ConversionRun.h"
#include "tools/convert/ConvertCli.h"

#include <cstdint>
#include <string>

namespace plotalon::bench {

inline TLineVector ConvertedProgram(std::size_t blocks, std::int32_t factor, std::uint8_t hpglType,
                                    const TLineVector& suffix = {}) {
    const TLineVector source(SplitSourceText(GenerateNcProgram(blocks)));
    TConvSettings settings;
    settings.Factor = factor;
    settings.Deg = 10;
    settings.HpglType = hpglType;
    TModalState modal;
    TLineVector hpgl;
    TConversionRun(settings, modal, hpgl).Execute(source, TLineVector{"IN;SP1;"}, suffix);
    return hpgl;
}

} // namespace plotalon::bench
