#pragma once
// Drives the engine block by block and collects what each block writes.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "engine/BlockTranslator.h"
#include "engine/ConvState.h"

namespace plotalon::test {

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture() { settings_.Factor = 1000; }

    // Translates one line and returns only the lines it appended.
    std::vector<std::string> Block(const std::string& line) {
        const std::size_t before = target_.Lines.size();
        TConversionContext context{settings_, state_, target_};
        TranslateBlock(context, line);
        return {target_.Lines.begin() + static_cast<std::ptrdiff_t>(before), target_.Lines.end()};
    }

    std::vector<std::string> Blocks(const std::vector<std::string>& lines) {
        const std::size_t before = target_.Lines.size();
        for (const auto& line : lines)
            Block(line);
        return {target_.Lines.begin() + static_cast<std::ptrdiff_t>(before), target_.Lines.end()};
    }

    TConvSettings settings_;
    TModalState state_;
    TLineVector target_;
};

using Lines = std::vector<std::string>;

} // namespace plotalon::test
