#pragma once
// The conversion run hands the lines of the NC program to one of two readers: the literal
// one, which follows the program's original rules byte for byte, and the standard one, which
// reads the subset of RS274/NGC that CAM systems write. Both append HPGL lines to the target.

#include <memory>
#include <string_view>

#include "engine/ConvState.h"
#include "platform/Errors.h"

namespace plotalon {

class INcReader {
public:
    virtual ~INcReader() = default;
    // Reads one line of the program and appends what it draws.
    virtual void Block(std::string_view line) = 0;
    // True once the program has ended (M2, M30, a closing "%"): later lines are not read.
    virtual bool Ended() const { return false; }
    // After the last line, before the suffix: what the drawing needs to end cleanly.
    virtual void Finish() {}
};

// The reader that the settings choose, writing to target. The literal reader carries its
// state in `state`; the standard reader keeps its own.
std::unique_ptr<INcReader> MakeNcReader(const TConvSettings& settings, TModalState& state,
                                        ILineSink& target);

// A line the standard reader refuses or cannot draw; the message names the fault but not the
// line, which the run adds.
class ENcError : public Exception {
    using Exception::Exception;
};

// The same fault as the user sees it: "Zeile 12: G41 wird nicht unterstützt".
class ENcLineError : public Exception {
public:
    ENcLineError(std::size_t lineIndex, const std::string& message);
    std::size_t LineIndex() const { return index_; }

private:
    std::size_t index_;
};

} // namespace plotalon
