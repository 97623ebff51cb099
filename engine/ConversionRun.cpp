#include "engine/ConversionRun.h"

namespace plotalon {

namespace {

void CopyLines(const ILineSource& from, ILineSink& to) {
    for (std::size_t i = 0, n = from.LineCount(); i < n; ++i)
        to.AppendLine(from.LineAt(i));
}

// Marks the time a block is being read, also when it ends with a fault.
class TInBlock {
public:
    explicit TInBlock(bool& flag) : Flag(flag) { Flag = true; }
    ~TInBlock() { Flag = false; }
    TInBlock(const TInBlock&) = delete;
    TInBlock& operator=(const TInBlock&) = delete;

private:
    bool& Flag;
};

} // namespace

std::string CompletionStatus(std::uint8_t hpglType) {
    return hpglType == 1 ? "HPGL1-Konvertierung beendet" : "HPGL2-Konvertierung beendet";
}

TConversionRun::TConversionRun(const TConvSettings& settings, TModalState& state, ILineSink& target)
    : Settings(settings), State(state), Target(target) {}

TConversionRun::~TConversionRun() = default;

void TConversionRun::Begin(const ILineSource& prefix) {
    ResetModalState(State);
    Reader = MakeNcReader(Settings, State, Target);
    CurrentLine = LinesRead = 0;
    CopyLines(prefix, Target);
}

void TConversionRun::Block(std::string_view line) {
    CurrentLine = LinesRead++;
    if (Reader->Ended()) return;
    TInBlock reading(InBlock);
    try {
        Reader->Block(line);
    } catch (const ENcError& fault) {
        throw ENcLineError(CurrentLine, fault.Message());
    }
}

std::string TConversionRun::Finish(const ILineSource& suffix) {
    Reader->Finish();
    CopyLines(suffix, Target);
    return CompletionStatus(Settings.HpglType);
}

std::string TConversionRun::Execute(const ILineSource& source, const ILineSource& prefix,
                                    const ILineSource& suffix) {
    Begin(prefix);
    for (std::size_t i = 0, n = source.LineCount(); i < n && !Ended(); ++i)
        Block(source.LineAt(i));
    return Finish(suffix);
}

} // namespace plotalon
