#include "tools/convert/PreviewOutput.h"

#include <ostream>

#include "platform/Errors.h"
#include "preview/PlotModel.h"

namespace plotalon {

TPreviewOutput::TPreviewOutput(const std::string& path, TPlotFileFormat format, ILineSink& next)
    : file_(path), format_(format), next_(next) {
    if (!file_.Ok()) throw EFCreateError(path, file_.ErrorCode());
}

void TPreviewOutput::Finish(std::ostream& err) {
    WritePlotFile(reader_.Plot(), format_, [this](std::string_view bytes) { file_.Write(bytes); });
    if (!file_.Commit()) throw EFCreateError(file_.Path(), file_.ErrorCode());
    if (const std::string unevaluated = DescribeUnevaluated(reader_.Ignored());
        !unevaluated.empty())
        err << "Vorschau: " << unevaluated << '\n';
}

} // namespace plotalon
