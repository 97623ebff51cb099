#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/ConvState.h"
#include "engine/LineSeams.h"
#include "engine/NcReader.h"

namespace plotalon {

// One conversion run: reset the modal state, the prefix lines, every source line through the
// reader the settings choose, the suffix lines. Clearing the target and showing the status
// text are the caller's part.
//
// The run takes the source one line at a time (Begin, Block for every line, Finish), so a
// caller may read its source as it goes, keep only the current line, and stop between
// blocks; Execute does the whole run over a line source. The run writes nothing global: the
// settings and the literal reader's modal state are the ones passed in.
class TConversionRun {
public:
    TConversionRun(const TConvSettings& settings, TModalState& state, ILineSink& target);
    ~TConversionRun();

    // Resets the state and appends the prefix lines.
    void Begin(const ILineSource& prefix);
    // Reads the next source line. Once the program has ended (Ended()) lines are skipped.
    // A fault propagates with the state as the faulty block found it: the literal reader's
    // floating-point faults as they are (EMathError), the standard reader's as ENcLineError
    // naming the line. FailedLine() tells the block either way.
    void Block(std::string_view line);
    // Ends the drawing, appends the suffix lines and returns the completion status text.
    std::string Finish(const ILineSource& suffix);

    // Begin, Block for every line of source up to the program's end, Finish.
    std::string Execute(const ILineSource& source, const ILineSource& prefix,
                        const ILineSource& suffix);

    // Index of the source line being read when the run stopped with a fault.
    std::size_t FailedLine() const { return currentLine_; }
    // Index of the source line being read while it appends its lines; none while the prefix
    // and suffix are written. A sink that asks at every line it is given learns which source
    // line produced it.
    std::optional<std::size_t> SourceLine() const {
        return inBlock_ ? std::optional<std::size_t>(currentLine_) : std::nullopt;
    }
    // True once the program has ended: M2, M30 or a closing "%" in the standard reading.
    bool Ended() const { return reader_ && reader_->Ended(); }

private:
    const TConvSettings& settings_;
    TModalState& state_;
    ILineSink& target_;
    std::unique_ptr<INcReader> reader_;
    std::size_t currentLine_ = 0;
    std::size_t linesRead_ = 0;
    bool inBlock_ = false;
};

std::string CompletionStatus(std::uint8_t hpglType);

} // namespace plotalon
