// plotalon-view FILE [--png OUT [--scale N]] [--lines N] [--select X1,Y1,X2,Y2]: opens FILE in an
// editor pane configured as the main window's panes, with the NC highlighter. With --png
// the pane is written to OUT (enlarged N times, pixel for pixel) and the program ends (no
// display needed); --lines makes the pane tall enough for N lines; --select selects from
// (X1, Y1) to (X2, Y2), 1-based column and line, with the caret at the end.
//
// plotalon-view --plot FILE.plt [--png OUT]: the drawing of a saved PLT file as the plotter
// would draw it, written to OUT (PNG, or SVG when OUT ends in .svg) or shown in a window.
#include "editor/ncSyn.h"
#include "editor/view/CodeEdit.h"
#include "editor/view/CodeEditPaneStyle.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Text.h"
#include "tools/view/PlotView.h"

#include <QImage>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct TOptions {
    const char* File = nullptr;
    const char* Png = nullptr;
    int Lines = 30;
    int Scale = 1;
    bool Plot = false;
    bool Select = false;
    plotalon::TCodePoint From, To;
};

bool ParseArguments(int argc, char** argv, TOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--png") == 0 && hasValue) {
            options.Png = argv[++i];
        } else if (std::strcmp(argv[i], "--lines") == 0 && hasValue) {
            options.Lines = std::atoi(argv[++i]);
            if (options.Lines < 1 || options.Lines > 1000) return false;
        } else if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
            options.Scale = std::atoi(argv[++i]);
            if (options.Scale < 1 || options.Scale > 8) return false;
        } else if (std::strcmp(argv[i], "--select") == 0 && hasValue) {
            plotalon::TCodePoint& from = options.From;
            plotalon::TCodePoint& to = options.To;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &from.X, &from.Y, &to.X, &to.Y) != 4)
                return false;
            options.Select = true;
        } else if (std::strcmp(argv[i], "--plot") == 0) {
            options.Plot = true;
        } else if (argv[i][0] != '-' && !options.File) {
            options.File = argv[i];
        } else {
            return false;
        }
    }
    return options.File != nullptr;
}

// The drawing of a PLT file as a picture, painted as the window paints it.
int WritePlot(const TOptions& options) {
    try {
        plotalon::WritePlotOfFile(options.File, options.Png);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

int ShowPlot(QApplication& app, const TOptions& options) {
    try {
        plotalon::MakePlotWindow(options.File)->show();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr, "usage: plotalon-view FILE [--png OUT [--scale N]] [--lines N] "
                             "[--select X1,Y1,X2,Y2]\n"
                             "       plotalon-view --plot FILE.plt [--png OUT]\n");
        return 2;
    }
    if (options.Png && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    plotalon::TApplication app(argc, argv);
    plotalon::SetApplicationTitle(QStringLiteral("Plotalon"));
    if (options.Plot && options.Png) return WritePlot(options);
    if (options.Plot) return ShowPlot(app, options);
    plotalon::TCodeEdit pane;
    plotalon::ApplyNcPaneStyle(pane);
    plotalon::TNCSyn highlighter;
    pane.SetHighlighter(&highlighter);
    try {
        pane.LoadFile(options.File);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
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
    if (!options.Png) return app.exec();

    QApplication::processEvents();
    QImage shot = pane.grab().toImage();
    if (options.Scale > 1)
        shot =
            shot.scaled(shot.size() * options.Scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!shot.save(QString::fromLocal8Bit(options.Png), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", options.Png);
        return 1;
    }
    return 0;
}
