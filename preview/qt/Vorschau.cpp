#include "preview/qt/Vorschau.h"

#include <QVBoxLayout>

#include "platform/qt/Text.h"

namespace plotalon {

TVorschau::TVorschau(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Vorschau"));
    Plot = new TPlotWidget(this);
    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Plot, 1);
    layout->addWidget(StatusBar);
    resize(900, 650);
}

void TVorschau::ShowLines(const ILineSource& lines) {
    ShowModel(ReadPlotModel(lines));
}

void TVorschau::ShowModel(std::shared_ptr<const TPlotModel> model) {
    StatusBar->showMessage(model ? FromMessage(StatusText(*model)) : QString());
    Plot->SetModel(std::move(model));
}

std::string TVorschau::StatusText(const TPlotModel& model) {
    std::string text = DescribeStatistics(model.Statistics);
    if (const std::string unevaluated = DescribeUnevaluated(model.Ignored); !unevaluated.empty())
        text += " \xC2\xB7 " + unevaluated;
    return text;
}

} // namespace plotalon
