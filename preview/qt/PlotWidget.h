#pragma once
// The interactive view of a plot, painted with QPainter straight into the widget: the wheel
// zooms about the pointer, dragging pans, Home or a double click fits the drawing. A click on
// a stroke names the HPGL line it came from; the strokes of given HPGL lines can be
// highlighted.
//
// The view fits the drawing when a model arrives and on every resize until the user zooms or
// pans. Painting visits only what the view shows (PlotTrace.h), so a repaint costs about the
// same on a few lines as on millions.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "preview/PlotModel.h"
#include "preview/PlotTrace.h"

namespace plotalon {

// HPGL lines First to Last, both included.
struct TLineRange {
    std::uint64_t First = 0, Last = 0;
};

class TPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit TPlotWidget(QWidget* parent = nullptr);

    // Shows model (nothing for an empty view) and fits it.
    void SetModel(std::shared_ptr<const TPlotModel> model);
    const TPlotModel* Model() const { return model_.get(); }

    const TViewTransform& View() const { return view_; }
    void SetView(const TViewTransform& view);
    // The whole drawing, as large as it fits, with room for the label below it.
    void Fit();
    // Magnifies by factor, keeping the point at under the pointer where it is.
    void ZoomAt(QPointF at, double factor);

    // Highlights the strokes of these lines, drawn on top of everything; empty: none.
    void SetHighlightedLines(const std::vector<TLineRange>& lines);
    // The HPGL line of the stroke nearest to at, within a few pixels.
    std::optional<std::uint64_t> LineAt(QPointF at) const;

    // How near a click must come to a stroke, in pixels.
    static constexpr double kHitRadius = 5;
    // How much a wheel notch magnifies.
    static constexpr double kWheelFactor = 1.25;

signals:
    // A click on a stroke: the index of its HPGL line, from 0.
    void LineClicked(qulonglong line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::shared_ptr<const TPlotModel> model_;
    TViewTransform view_;
    bool fitted_ = true;
    std::vector<TStepRange> highlighted_;
    // A press of the left button: where, and the view then; dragging once it moved.
    std::optional<QPointF> pressedAt_;
    TViewTransform pressedView_;
    bool dragging_ = false;
};

} // namespace plotalon
