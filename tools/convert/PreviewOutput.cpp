#include "tools/convert/PreviewOutput.h"

#include <ostream>

#include "platform/Errors.h"

namespace plotalon {

TPreviewOutput::TPreviewOutput(const std::string& path, TPlotFileFormat format, ILineSink& next)
    : File(path), Format(format), Next(next) {
    if (!File.Ok()) throw EFCreateError(path);
}

void TPreviewOutput::Finish(std::ostream& err) {
    WritePlotFile(Reader.Plot(), Format, [this](std::string_view bytes) { File.Write(bytes); });
    if (!File.Commit()) throw EFCreateError(File.Path());
    const TIgnoredCommands& ignored = Reader.Ignored();
    if (const std::uint64_t count = ignored.Total())
        err << "Vorschau: " << count << (count == 1 ? " Befehl" : " Befehle")
            << " nicht ausgewertet: " << DescribeIgnored(ignored) << '\n';
}

} // namespace plotalon
