#include "engine/NcReader.h"

#include "engine/LiteralReader.h"
#include "engine/StandardReader.h"

namespace plotalon {

ENcLineError::ENcLineError(std::size_t lineIndex, const std::string& message)
    : Exception("Zeile " + std::to_string(lineIndex + 1) + ": " + message), index_(lineIndex) {}

std::unique_ptr<INcReader> MakeNcReader(const TConvSettings& settings, TModalState& state,
                                        ILineSink& target) {
    if (settings.NcMode == TNcMode::nmStandard)
        return std::make_unique<TStandardReader>(settings, target);
    return std::make_unique<TLiteralReader>(settings, state, target);
}

} // namespace plotalon
