#include "tools/view/PlotView.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/qt/Text.h"
#include "preview/PlotFile.h"
#include "preview/PlotModel.h"
#include "preview/PlotSvg.h"
#include "preview/PngWriter.h"
#include "preview/qt/PlotPainter.h"
#include "preview/qt/Vorschau.h"

#include <QImage>

namespace plotalon {

namespace {

std::string PngOf(const TPlotModel& model) {
    const QImage image = TPlotPainter::Picture(model).convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> rgb(std::size_t(image.width()) * std::size_t(image.height()) * 3);
    const std::size_t row = std::size_t(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(image.constScanLine(y), row,
                    rgb.begin() + std::ptrdiff_t(row * std::size_t(y)));
    return EncodePng(image.width(), image.height(), rgb);
}

} // namespace

void WritePlotOfFile(const std::string& plt, const std::string& out) {
    const auto format = PlotFileFormatOf(out);
    if (!format) throw Exception("Bild muss auf .svg oder .png enden: " + out);
    const std::unique_ptr<TPlotModel> model = ReadPlotModelFile(plt);
    TAtomicFileWriter file(out);
    if (!file.Ok()) throw EFCreateError(out, file.ErrorCode());
    if (*format == TPlotFileFormat::pfSvg)
        WritePlotSvg(model->Plot, [&file](std::string_view bytes) { file.Write(bytes); });
    else
        file.Write(PngOf(*model));
    if (!file.Commit()) throw EFCreateError(out, file.ErrorCode());
}

QWidget* MakePlotWindow(const std::string& plt) {
    std::shared_ptr<const TPlotModel> model = ReadPlotModelFile(plt);
    auto* window = new TVorschau;
    window->ShowModel(std::move(model));
    window->setWindowTitle(FromMessage(plt));
    return window;
}

} // namespace plotalon
