#include "preview/qt/PlotPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <vector>

#include "platform/qt/Text.h"

namespace plotalon {

namespace {

constexpr double kStartRadius = 4.5;
constexpr double kLabelGapPx = 6;

// Hands the trace to QPainter, one pen a layer.
class TQtSink : public ITraceSink {
public:
    TQtSink(QPainter& painter, const std::array<QPen, kLayers>& pens)
        : painter_(painter), pens_(pens) {}

    void Polyline(int layer, std::span<const TDevicePoint> points) override {
        Use(layer);
        Copy(points);
        painter_.drawPolyline(buffer_.data(), int(buffer_.size()));
    }
    void Dots(int layer, std::span<const TDevicePoint> points) override {
        Use(layer);
        Copy(points);
        painter_.drawPoints(buffer_.data(), int(buffer_.size()));
    }

private:
    void Use(int layer) {
        if (layer == current_) return;
        painter_.setPen(pens_[std::size_t(layer)]);
        current_ = layer;
    }
    void Copy(std::span<const TDevicePoint> points) {
        buffer_.resize(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            buffer_[i] = {points[i].X, points[i].Y};
    }

    QPainter& painter_;
    const std::array<QPen, kLayers>& pens_;
    int current_ = -1;
    std::vector<QPointF> buffer_;
};

// One pixel wide whatever the painter's transform: the fast way Qt draws lines.
QPen Cosmetic(TRgb colour, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(ToQColor(colour), 1, style, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

std::array<QPen, kLayers> LayerPens() {
    std::array<QPen, kLayers> pens;
    for (int layer = 0; layer < kLayers; ++layer)
        pens[std::size_t(layer)] = Cosmetic(LayerColour(layer));
    pens[kTravelLayer].setDashPattern({4, 3});
    return pens;
}

QRectF FrameRect(const TPlotModel& model, const TViewTransform& view) {
    const TPlotBounds& d = model.Plot.DrawnBounds();
    const TDevicePoint low = view.ToDevice({d.MinX, d.MinY});
    const TDevicePoint high = view.ToDevice({d.MaxX, d.MaxY});
    return QRectF(QPointF(low.X, high.Y), QPointF(high.X, low.Y));
}

void PaintHighlight(QPainter& painter, const TPlotModel& model, const TViewTransform& view,
                    const TDeviceRect& clip, std::span<const TStepRange> highlighted) {
    if (highlighted.empty()) return;
    // A wide halo under a line of its own, both with round ends so that a short step shows.
    std::array<QPen, kLayers> halo, line;
    QColor haloColour = ToQColor(kHighlightHalo);
    haloColour.setAlpha(200);
    halo.fill(QPen(haloColour, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    line.fill(QPen(ToQColor(kHighlightColour), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const auto* pens : {&halo, &line}) {
        TQtSink sink(painter, *pens);
        for (const TStepRange& steps : highlighted)
            TraceSteps(model.Plot, steps, view, clip, sink);
    }
}

} // namespace

QColor ToQColor(TRgb colour) {
    return QColor(colour.R, colour.G, colour.B);
}

QFont TPlotPainter::LabelFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    return font;
}

void TPlotPainter::Paint(QPainter& painter, const TPlotModel& model, const TViewTransform& view,
                         const QRectF& clip, std::span<const TStepRange> highlighted,
                         const TDevicePoint* labelAt) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(clip);
    const TDeviceRect area{clip.left(), clip.top(), clip.right(), clip.bottom()};
    const bool framed = !model.Plot.DrawnBounds().Empty();
    const QRectF frame = FrameRect(model, view);
    if (framed) {
        // Cut to a little beyond the view first: a magnified frame may be far larger than
        // any coordinate a painter takes.
        const QRectF near = clip.adjusted(-4, -4, 4, 4);
        const QRectF shown(
            QPointF(std::max(frame.left(), near.left()), std::max(frame.top(), near.top())),
            QPointF(std::min(frame.right(), near.right()),
                    std::min(frame.bottom(), near.bottom())));
        if (shown.width() >= 0 && shown.height() >= 0) {
            painter.setPen(Cosmetic(kFrameColour, Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(shown);
        }
    }
    static const std::array<QPen, kLayers> pens = LayerPens();
    TQtSink sink(painter, pens);
    TracePlot(model.Plot, model.Index, view, area, sink);
    if (!model.Plot.Strokes().empty()) {
        const TDevicePoint start = view.ToDevice(model.Plot.Strokes().front().Start);
        QPen pen(ToQColor(kStartColour), 2);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (start.X > clip.left() - 8 && start.X < clip.right() + 8 && start.Y > clip.top() - 8 &&
            start.Y < clip.bottom() + 8)
            painter.drawEllipse(QPointF(start.X, start.Y), kStartRadius, kStartRadius);
    }
    PaintHighlight(painter, model, view, area, highlighted);
    // The label: below the frame, kept inside the view.
    const QFont font = LabelFont();
    const QFontMetricsF metrics(font);
    const QString label = FromMessage(SizeLabel(model.Plot.DrawnBounds()));
    QPointF at;
    if (labelAt) {
        at = QPointF(labelAt->X, labelAt->Y + metrics.ascent());
    } else {
        const QRectF under = framed ? frame : QRectF(clip.center(), clip.center());
        at = QPointF(under.left(), under.bottom() + kLabelGapPx + metrics.ascent());
        at.setX(std::clamp(
            at.x(), clip.left() + 4,
            std::max(clip.left() + 4, clip.right() - 4 - metrics.horizontalAdvance(label))));
        at.setY(std::clamp(
            at.y(), clip.top() + 4 + metrics.ascent(),
            std::max(clip.top() + 4 + metrics.ascent(), clip.bottom() - 4 - metrics.descent())));
    }
    painter.setFont(font);
    painter.setPen(ToQColor(kLabelColour));
    painter.drawText(at, label);
    painter.restore();
}

TPixelPicture TPlotPainter::PictureLayout(const TPlotModel& model, int longSide) {
    const QFontMetricsF metrics(LabelFont());
    const QString label = FromMessage(SizeLabel(model.Plot.DrawnBounds()));
    return LayOutPixels(model.Plot, longSide, metrics.horizontalAdvance(label), metrics.height());
}

QImage TPlotPainter::Picture(const TPlotModel& model, int longSide) {
    const TPixelPicture layout = PictureLayout(model, longSide);
    QImage image(layout.Width, layout.Height, QImage::Format_RGB32);
    image.fill(ToQColor(kPaperColour));
    QPainter painter(&image);
    Paint(painter, model, layout.View, QRectF(0, 0, layout.Width, layout.Height), {},
          &layout.LabelAt);
    return image;
}

} // namespace plotalon
