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
    Model_ = std::move(model);
    Highlighted_.clear();
    Fit();
}

void TPlotWidget::SetView(const TViewTransform& view) {
    View_ = view;
    View_.Scale = std::clamp(View_.Scale, kMinScale, kMaxScale);
    Fitted_ = false;
    update();
}

void TPlotWidget::Fit() {
    Fitted_ = true;
    const TPlotBounds content = Model_ ? Model_->Plot.AllBounds() : TPlotBounds{};
    const double labelBand = QFontMetricsF(TPlotPainter::LabelFont()).height() + 8;
    const TDeviceRect area{kMargin, kMargin, std::max(kMargin + 1, width() - kMargin),
                           std::max(kMargin + 1, height() - kMargin - labelBand)};
    View_ = FitTransform(content, area);
    update();
}

void TPlotWidget::ZoomAt(QPointF at, double factor) {
    const double scale = std::clamp(View_.Scale * factor, kMinScale, kMaxScale);
    const TPlotPoint fixed = View_.ToPlot({at.x(), at.y()});
    SetView({scale, at.x() - fixed.X * scale, at.y() + fixed.Y * scale});
}

void TPlotWidget::SetHighlightedLines(const std::vector<TLineRange>& lines) {
    Highlighted_.clear();
    if (Model_)
        for (const TLineRange& range : lines) {
            const TStepRange steps = Model_->Plot.StepsOfLines(range.First, range.Last);
            if (!steps.Empty()) Highlighted_.push_back(steps);
        }
    update();
}

std::optional<std::uint64_t> TPlotWidget::LineAt(QPointF at) const {
    if (!Model_) return std::nullopt;
    const auto step = StepNear(Model_->Plot, Model_->Index, View_, {at.x(), at.y()}, kHitRadius);
    if (!step) return std::nullopt;
    return Model_->Plot.LineOf(*step);
}

void TPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(kPaperColour));
    if (Model_) TPlotPainter::Paint(painter, *Model_, View_, QRectF(rect()), Highlighted_);
}

void TPlotWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (Fitted_) Fit();
}

void TPlotWidget::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) ZoomAt(event->position(), std::pow(kWheelFactor, notches));
    event->accept();
}

void TPlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    PressedAt_ = event->position();
    PressedView_ = View_;
    Dragging_ = false;
}

void TPlotWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!PressedAt_) return;
    const QPointF moved = event->position() - *PressedAt_;
    if (!Dragging_ && moved.manhattanLength() < QApplication::startDragDistance()) return;
    if (!Dragging_) setCursor(Qt::ClosedHandCursor);
    Dragging_ = true;
    SetView(
        {PressedView_.Scale, PressedView_.OffsetX + moved.x(), PressedView_.OffsetY + moved.y()});
}

void TPlotWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !PressedAt_) return QWidget::mouseReleaseEvent(event);
    const bool clicked = !Dragging_;
    PressedAt_.reset();
    Dragging_ = false;
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
