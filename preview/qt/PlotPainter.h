#pragma once
// The plot painted with QPainter, for the preview window and for the viewer's PNG pictures:
// the trace of the plot (PlotTrace.h) in cosmetic lines of one pixel, so that neither the
// magnification nor the number of steps makes painting slower than what the pixels show;
// pen strokes solid in their pen's colour, travel thin and dashed, the drawing's extent
// framed with its size in millimetres, the start of the pen's way marked, and highlighted
// steps on top of everything.

#include <QFont>
#include <QImage>
#include <QRectF>
#include <span>

#include "preview/PlotModel.h"
#include "preview/PlotPicture.h"
#include "preview/PlotTrace.h"

class QPainter;

namespace plotalon {

class TPlotPainter {
public:
    // The font of the size label.
    static QFont LabelFont();

    // Paints what view shows of model into clip (device pixels of painter) on paper already
    // laid: travel, pens, frame and start marker, then the highlighted steps. The label
    // stands below the frame, or at labelAt when one is given.
    static void Paint(QPainter& painter, const TPlotModel& model, const TViewTransform& view,
                      const QRectF& clip, std::span<const TStepRange> highlighted = {},
                      const TDevicePoint* labelAt = nullptr);

    // The picture as a PNG file shows it: longSide pixels on its longer side, plus the label.
    static QImage Picture(const TPlotModel& model, int longSide = 1200);
    // Where Picture puts everything.
    static TPixelPicture PictureLayout(const TPlotModel& model, int longSide = 1200);
};

QColor ToQColor(TRgb colour);

} // namespace plotalon
