#include "preview/qt/PlotWidget.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "preview/qt/PlotPainter.h"

namespace plotalon {

namespace {

constexpr double kMargin = 16;

} // namespace

TPlotWidget::TPlotWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::OpenHandCursor);
    setMinimumSize(120, 90);
}

void TPlotWidget::SetModel(std::shared_ptr<const TPlotModel> model) {
    model_ = std::move(model);
    highlighted_.clear();
    Fit();
}

void TPlotWidget::SetView(const TViewTransform& view) {
    view_ = view;
    view_.Scale = std::clamp(view_.Scale, kMinScale, kMaxScale);
    fitted_ = false;
    update();
}

void TPlotWidget::Fit() {
    fitted_ = true;
    const TPlotBounds content = model_ ? model_->Plot.AllBounds() : TPlotBounds{};
    const double labelBand = QFontMetricsF(TPlotPainter::LabelFont()).height() + 8;
    const TDeviceRect area{kMargin, kMargin, std::max(kMargin + 1, width() - kMargin),
                           std::max(kMargin + 1, height() - kMargin - labelBand)};
    view_ = FitTransform(content, area);
    update();
}

void TPlotWidget::ZoomAt(QPointF at, double factor) {
    const double scale = std::clamp(view_.Scale * factor, kMinScale, kMaxScale);
    const TPlotPoint fixed = view_.ToPlot({at.x(), at.y()});
    SetView({scale, at.x() - fixed.X * scale, at.y() + fixed.Y * scale});
}

void TPlotWidget::SetHighlightedLines(const std::vector<TLineRange>& lines) {
    highlighted_.clear();
    if (model_)
        for (const TLineRange& range : lines) {
            const TStepRange steps = model_->Plot.StepsOfLines(range.First, range.Last);
            if (!steps.Empty()) highlighted_.push_back(steps);
        }
    update();
}

std::optional<std::uint64_t> TPlotWidget::LineAt(QPointF at) const {
    if (!model_) return std::nullopt;
    const auto step = StepNear(model_->Plot, model_->Index, view_, {at.x(), at.y()}, kHitRadius);
    if (!step) return std::nullopt;
    return model_->Plot.LineOf(*step);
}

void TPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(kPaperColour));
    if (model_) TPlotPainter::Paint(painter, *model_, view_, QRectF(rect()), highlighted_);
}

void TPlotWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (fitted_) Fit();
}

void TPlotWidget::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) ZoomAt(event->position(), std::pow(kWheelFactor, notches));
    event->accept();
}

void TPlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = event->position();
    pressedView_ = view_;
    dragging_ = false;
}

void TPlotWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_) return;
    const QPointF moved = event->position() - *pressedAt_;
    if (!dragging_ && moved.manhattanLength() < QApplication::startDragDistance()) return;
    if (!dragging_) setCursor(Qt::ClosedHandCursor);
    dragging_ = true;
    SetView(
        {pressedView_.Scale, pressedView_.OffsetX + moved.x(), pressedView_.OffsetY + moved.y()});
}

void TPlotWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) return QWidget::mouseReleaseEvent(event);
    const bool clicked = !dragging_;
    pressedAt_.reset();
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
    if (!clicked) return;
    if (const auto line = LineAt(event->position())) emit LineClicked(*line);
}

void TPlotWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Fit();
}

void TPlotWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) {
        Fit();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace plotalon
