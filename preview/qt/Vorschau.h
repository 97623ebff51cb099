#pragma once
// The preview window "Vorschau": the drawing of HPGL lines (a pane's text, a PLT file) in the
// interactive plot view, and below it a status line with the plot's statistics and what the
// preview did not evaluate. Non-modal and resizable; reading happens in ShowLines, or
// anywhere else (a worker thread) before ShowModel.

#include <QStatusBar>
#include <QWidget>
#include <memory>

#include "engine/LineSeams.h"
#include "preview/PlotModel.h"
#include "preview/qt/PlotWidget.h"

namespace plotalon {

class TVorschau : public QWidget {
    Q_OBJECT
public:
    explicit TVorschau(QWidget* parent = nullptr);

    // Reads lines and shows their drawing, fitted.
    void ShowLines(const ILineSource& lines);
    // Shows a model read before.
    void ShowModel(std::shared_ptr<const TPlotModel> model);

    // "Zeichenweg ... · Plotzeit etwa ...", then what was not evaluated (UTF-8).
    static std::string StatusText(const TPlotModel& model);

    TPlotWidget* Plot;
    QStatusBar* StatusBar;
};

} // namespace plotalon
