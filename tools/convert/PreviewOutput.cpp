#include "tools/convert/PreviewOutput.h"

#include <ostream>

#include "platform/Errors.h"
#include "preview/PlotModel.h"

namespace plotalon {

TPreviewOutput::TPreviewOutput(const std::string& path, TPlotFileFormat format, ILineSink& next)
    : File(path), Format(format), Next(next) {
    if (!File.Ok()) throw EFCreateError(path, File.ErrorCode());
}

void TPreviewOutput::Finish(std::ostream& err) {
    WritePlotFile(Reader.Plot(), Format, [this](std::string_view bytes) { File.Write(bytes); });
    if (!File.Commit()) throw EFCreateError(File.Path(), File.ErrorCode());
    if (const std::string unevaluated = DescribeUnevaluated(Reader.Ignored()); !unevaluated.empty())
        err << "Vorschau: " << unevaluated << '\n';
}

} // namespace plotalon
