#include "engine/ConversionRun.h"

#include "engine/BlockTranslator.h"

namespace plotalon {

namespace {

void CopyLines(const ILineSource& from, ILineSink& to) {
    for (std::size_t i = 0, n = from.LineCount(); i < n; ++i) to.AppendLine(from.LineAt(i));
}

} // namespace

std::string CompletionStatus(std::uint8_t hpglType) {
    return hpglType == 1 ? "HPGL1-Konvertierung beendet" : "HPGL2-Konvertierung beendet";
}

std::string TConversionRun::Execute(const ILineSource& source, const ILineSource& prefix,
                                    const ILineSource& suffix) {
    ResetModalState(State);
    CopyLines(prefix, Target);
    TConversionContext context{Settings, State, Target};
    for (CurrentLine = 0; CurrentLine < source.LineCount(); ++CurrentLine)
        TranslateBlock(context, source.LineAt(CurrentLine));
    CopyLines(suffix, Target);
    return CompletionStatus(Settings.HpglType);
}

} // namespace plotalon
