#pragma once
// The literal reading: every line through the block translator, exactly as specified for the
// program (substring search for G0..G3, first occurrence of X, Y, Z and R, arcs by R only).

#include "engine/NcReader.h"

namespace plotalon {

class TLiteralReader : public INcReader {
public:
    TLiteralReader(const TConvSettings& settings, TModalState& state, ILineSink& target)
        : context_{settings, state, target} {}
    void Block(std::string_view line) override;

private:
    TConversionContext context_;
};

} // namespace plotalon
