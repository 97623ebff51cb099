#include "tools/view/PlotView.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/qt/Text.h"
#include "preview/HpglReader.h"
#include "preview/PlotFile.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>

namespace plotalon {

namespace {

THpglReader ReadPlotFile(const std::string& plt) {
    std::string bytes;
    if (!ReadWholeFile(plt, bytes, TReadSource::FileOrStream)) throw EFOpenError(plt);
    THpglReader reader;
    reader.ReadText(bytes);
    return reader;
}

} // namespace

void WritePlotOfFile(const std::string& plt, const std::string& out) {
    const auto format = PlotFileFormatOf(out);
    if (!format) throw Exception("Bild muss auf .svg oder .png enden: " + out);
    const THpglReader reader = ReadPlotFile(plt);
    TAtomicFileWriter file(out);
    if (!file.Ok()) throw EFCreateError(out);
    WritePlotFile(reader.Plot(), *format, [&file](std::string_view bytes) { file.Write(bytes); });
    if (!file.Commit()) throw EFCreateError(out);
}

QWidget* MakePlotWindow(const std::string& plt) {
    const THpglReader reader = ReadPlotFile(plt);
    std::string png;
    WritePlotFile(reader.Plot(), TPlotFileFormat::pfPng,
                  [&png](std::string_view bytes) { png.append(bytes); });
    auto* picture = new QLabel;
    picture->setPixmap(QPixmap::fromImage(QImage::fromData(
        reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG")));
    auto* window = new QScrollArea;
    window->setWidget(picture);
    window->setWindowTitle(FromMessage(plt));
    window->resize(picture->sizeHint().boundedTo(QSize(1200, 900)) + QSize(4, 4));
    return window;
}

} // namespace plotalon
