// plotalon-view FILE [--png OUT [--scale N]] [--lines N] [--select X1,Y1,X2,Y2]: opens FILE in an
// editor pane configured as the main window's panes, with the NC highlighter. With --png
// the pane is written to OUT (enlarged N times, pixel for pixel) and the program ends (no
// display needed); --lines makes the pane tall enough for N lines; --select selects from
// (X1, Y1) to (X2, Y2), 1-based column and line, with the caret at the end.
//
// plotalon-view --plot FILE.plt [--png OUT]: the drawing of a saved PLT file as the plotter
// would draw it, written to OUT (PNG, or SVG when OUT ends in .svg) or shown in a window.
//
// --help tells the whole command line and the exit codes (ViewOptions.cpp).
#include "editor/ncSyn.h"
#include "editor/view/CodeEdit.h"
#include "editor/view/CodeEditPaneStyle.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Text.h"
#include "tools/view/PlotView.h"
#include "tools/view/ViewOptions.h"

#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

using plotalon::TViewOptions;

// The pane as it is on screen, enlarged scale times. A picture too big for the memory left
// comes back from the toolkit as a null image rather than as an exception.
void WritePaneImage(plotalon::TCodeEdit& pane, int scale, const std::string& out) {
    QApplication::processEvents();
    QImage shot = pane.grab().toImage();
    if (scale > 1)
        shot = shot.scaled(shot.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (shot.isNull()) throw std::bad_alloc();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!shot.save(&buffer, "PNG") ||
        !plotalon::ReplaceFileContents(out, std::string_view(png.constData(), png.size())))
        throw plotalon::EFCreateError(out);
}

int ShowText(QApplication& app, const TViewOptions& options) {
    plotalon::TCodeEdit pane;
    plotalon::ApplyNcPaneStyle(pane);
    plotalon::TNCSyn highlighter;
    pane.SetHighlighter(&highlighter);
    pane.LoadFile(options.File);
    pane.setWindowTitle(plotalon::FromMessage(options.File));
    // Room for the right edge after column 80 and a few columns more.
    const int width = pane.TextStart() + 88 * pane.CharWidth() +
                      pane.verticalScrollBar()->sizeHint().width() + 2 * pane.frameWidth();
    pane.resize(width, options.Lines * pane.LineHeight() + 2 * pane.frameWidth());
    pane.show();
    pane.activateWindow();
    pane.setFocus();
    if (options.Select) {
        pane.Core().SetSelection(options.From, options.To);
        pane.EnsureCursorPosVisible();
    }
    if (options.Png.empty()) return app.exec();
    WritePaneImage(pane, options.Scale, options.Png);
    return plotalon::veOk;
}

int Run(int& argc, char** argv, const TViewOptions& options) {
    if (!options.Png.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The drawing's picture is painted as the window paints it, and painting its size label
    // needs the application's fonts.
    plotalon::TApplication app(argc, argv);
    plotalon::SetApplicationTitle(QStringLiteral("Plotalon"));
    if (options.Plot && !options.Png.empty()) {
        plotalon::WritePlotOfFile(options.File, options.Png);
        return plotalon::veOk;
    }
    if (!options.Plot) return ShowText(app, options);
    plotalon::MakePlotWindow(options.File)->show();
    return app.exec();
}

void Say(const std::string& message) {
    std::fprintf(stderr, "plotalon-view: %s\n", message.c_str());
}

} // namespace

int main(int argc, char** argv) {
    try {
        const TViewOptions options =
            plotalon::ParseViewArguments(std::vector<std::string>(argv + 1, argv + argc));
        if (options.Help) {
            std::fputs(plotalon::kViewHelp, stdout);
            return plotalon::veOk;
        }
        return Run(argc, argv, options);
    } catch (const plotalon::EViewUsage& error) {
        Say(error.Message() + "\n(--help zeigt den Aufruf)");
        return plotalon::veUsage;
    } catch (const std::bad_alloc&) {
        Say("Zu wenig Arbeitsspeicher");
    } catch (const plotalon::Exception& error) {
        Say(error.Detailed());
    } catch (const std::exception& error) {
        Say(error.what());
    }
    return plotalon::veFailure;
}
