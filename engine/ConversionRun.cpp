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
    explicit TInBlock(bool& flag) : flag_(flag) { flag_ = true; }
    ~TInBlock() { flag_ = false; }
    TInBlock(const TInBlock&) = delete;
    TInBlock& operator=(const TInBlock&) = delete;

private:
    bool& flag_;
};

} // namespace

std::string CompletionStatus(std::uint8_t hpglType) {
    return hpglType == 1 ? "HPGL1-Konvertierung beendet" : "HPGL2-Konvertierung beendet";
}

TConversionRun::TConversionRun(const TConvSettings& settings, TModalState& state, ILineSink& target)
    : settings_(settings), state_(state), target_(target) {}

TConversionRun::~TConversionRun() = default;

void TConversionRun::Begin(const ILineSource& prefix) {
    ResetModalState(state_);
    reader_ = MakeNcReader(settings_, state_, target_);
    currentLine_ = linesRead_ = 0;
    CopyLines(prefix, target_);
}

void TConversionRun::Block(std::string_view line) {
    currentLine_ = linesRead_++;
    if (reader_->Ended()) return;
    TInBlock reading(inBlock_);
    try {
        reader_->Block(line);
    } catch (const ENcError& fault) {
        throw ENcLineError(currentLine_, fault.Message());
    }
}

std::string TConversionRun::Finish(const ILineSource& suffix) {
    reader_->Finish();
    CopyLines(suffix, target_);
    return CompletionStatus(settings_.HpglType);
}

std::string TConversionRun::Execute(const ILineSource& source, const ILineSource& prefix,
                                    const ILineSource& suffix) {
    Begin(prefix);
    for (std::size_t i = 0, n = source.LineCount(); i < n && !Ended(); ++i)
        Block(source.LineAt(i));
    return Finish(suffix);
}

} // namespace plotalon
