#pragma once

#include <cstddef>
#include <string>

#include "engine/ConvState.h"
#include "engine/LineSeams.h"

namespace plotalon {

// One conversion run over a source text: reset the modal state, the prefix lines, every
// source line through the block translator, the suffix lines. Clearing the target and
// showing the status text are the caller's part.
class TConversionRun {
public:
    TConversionRun(const TConvSettings& settings, TModalState& state, ILineSink& target)
        : Settings(settings), State(state), Target(target) {}

    // Returns the completion status text. A floating-point fault propagates; the lines
    // written up to the faulty block stay in the target, and FailedLine() tells the block.
    std::string Execute(const ILineSource& source, const ILineSource& prefix,
                        const ILineSource& suffix);

    // Index of the source line being translated when Execute stopped with a fault.
    std::size_t FailedLine() const { return CurrentLine; }

private:
    const TConvSettings& Settings;
    TModalState& State;
    ILineSink& Target;
    std::size_t CurrentLine = 0;
};

std::string CompletionStatus(std::uint8_t hpglType);

} // namespace plotalon
