#include <gtest/gtest.h>
#include <random>

#include "engine/ConversionRun.h"
#include "platform/Errors.h"

namespace plotalon {
namespace {

using Lines = std::vector<std::string>;

class ConversionRun : public ::testing::Test {
protected:
    ConversionRun() {
        settings_.Factor = 1000;
        settings_.HpglType = 1;
        settings_.Deg = 45;
    }
    std::string Run(const TLineVector& source) {
        TConversionRun run(settings_, state_, target_);
        return run.Execute(source, prefix_, suffix_);
    }
    TConvSettings settings_;
    TModalState state_;
    TLineVector target_, prefix_{"IN;SP1;"}, suffix_{"SP0;"};
};

TEST_F(ConversionRun, CompleteProgramBetweenPrefixAndSuffix) {
    const TLineVector source{"G0 X0 Y0", "G1 Z-1", "G1 X10", "G3 X20 Y0 R5", "G0 Z5", "M30"};
    EXPECT_EQ(Run(source), "HPGL1-Konvertierung beendet");
    EXPECT_EQ(target_.Lines, (Lines{"IN;SP1;", "PU0,0;", "PD;", "PA10000,0;", "PA11464,-3536;",
                                    "PA15000,-5000;", "PA18536,-3536;", "PA20000,0;", "SP0;"}));
    // The state is reset at the start, so a second run repeats the first exactly.
    const Lines first = target_.Lines;
    target_.Lines.clear();
    Run(source);
    EXPECT_EQ(target_.Lines, first);
}

TEST_F(ConversionRun, EmptySourceGivesPrefixThenSuffix) {
    settings_.HpglType = 0;
    EXPECT_EQ(Run(TLineVector{}), "HPGL2-Konvertierung beendet");
    EXPECT_EQ(target_.Lines, (Lines{"IN;SP1;", "SP0;"}));
}

TEST_F(ConversionRun, FaultStopsAtTheBlockAndKeepsWhatWasWritten) {
    const TLineVector source{"G0 X1 Y0", "G1 Z-1", "G2 X5 Y0", "G1 X9"};
    TConversionRun run(settings_, state_, target_);
    EXPECT_THROW(run.Execute(source, prefix_, suffix_), EZeroDivide);
    EXPECT_EQ(run.FailedLine(), 2u);
    EXPECT_EQ(target_.Lines, (Lines{"IN;SP1;", "PU1000,0;", "PD;"}));
}

// A caller that reads its source as it goes hands the run one line at a time; the run then
// tells, whenever a line reaches the target, which source line produced it.
class TOriginRecorder : public ILineSink {
public:
    explicit TOriginRecorder(ILineSink& next) : Next(next) {}
    void AppendLine(std::string_view line) override {
        Next.AppendLine(line);
        Origins.push_back(Run ? Run->SourceLine() : std::nullopt);
    }
    ILineSink& Next;
    const TConversionRun* Run = nullptr;
    std::vector<std::optional<std::size_t>> Origins;
};

TEST_F(ConversionRun, LineByLineAsExecuteAndEachOutputLineKnowsItsSource) {
    const TLineVector source{"G0 X0 Y0", "G1 Z-1", "(none)", "G3 X10 Y0 R5", "M30"};
    Run(source);
    const Lines whole = target_.Lines;

    TLineVector target;
    TOriginRecorder recorder(target);
    TConversionRun run(settings_, state_, recorder);
    recorder.Run = &run;
    run.Begin(prefix_);
    for (const std::string& line : source.Lines)
        run.Block(line);
    EXPECT_EQ(run.Finish(suffix_), "HPGL1-Konvertierung beendet");
    EXPECT_EQ(target.Lines, whole);
    using O = std::optional<std::size_t>;
    EXPECT_EQ(recorder.Origins, (std::vector<O>{std::nullopt, 0, 1, 3, 3, 3, 3, std::nullopt}));
}

// Arbitrary bytes either convert or stop with a floating-point fault; nothing else.
TEST_F(ConversionRun, ArbitraryBytesNeverCrashOrHang) {
    std::mt19937 random(20261210);
    const std::string alphabet = "GXYZR0123456789-. ()";
    for (int round = 0; round < 200; ++round) {
        TLineVector source;
        for (int l = 0; l < 20; ++l) {
            std::string line;
            const int length = static_cast<int>(random() % (round % 10 == 0 ? 100000 : 40));
            for (int i = 0; i < length; ++i)
                line += (random() % 2) ? alphabet[random() % alphabet.size()]
                                       : static_cast<char>(random() % 256);
            source.AppendLine(line);
        }
        settings_.HpglType = static_cast<std::uint8_t>(random() % 3);
        settings_.Deg = static_cast<std::int32_t>(random() % 400) - 20;
        settings_.Factor = static_cast<std::int32_t>(random() % 2000) - 100;
        target_.Lines.clear();
        try {
            Run(source);
        } catch (const EMathError&) {
        }
    }
}

} // namespace
} // namespace plotalon
