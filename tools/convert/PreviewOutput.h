#pragma once
// --preview: the drawing of exactly the HPGL that the conversion writes, as an SVG or PNG
// file. The lines pass through on their way to the HPGL output, so the text is never held
// twice; the plot is kept and written once the conversion is done.

#include <iosfwd>
#include <optional>
#include <string>

#include "engine/LineSeams.h"
#include "platform/AtomicFile.h"
#include "preview/HpglReader.h"
#include "preview/PlotFile.h"

namespace plotalon {

class TPreviewOutput : public ILineSink {
public:
    // Creates the file's temporary twin at once, so that an unusable path fails before the
    // conversion runs; raises EFCreateError. format: from PlotFileFormatOf(path).
    TPreviewOutput(const std::string& path, TPlotFileFormat format, ILineSink& next);

    void AppendLine(std::string_view line) override {
        next_.AppendLine(line);
        reader_.ReadLine(line);
    }

    // Writes the picture over the file and mentions on err what the preview left out;
    // raises EFCreateError when the file cannot be written (the old one then stays).
    void Finish(std::ostream& err);

private:
    TAtomicFileWriter file_;
    TPlotFileFormat format_;
    ILineSink& next_;
    THpglReader reader_;
};

} // namespace plotalon
