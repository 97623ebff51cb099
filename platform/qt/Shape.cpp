#include "platform/qt/Shape.h"

namespace plotalon {

TShape::TShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TShape::SetPen(const TPen& pen) {
    pen_ = pen;
    update();
}

void TShape::SetBrush(const TBrush& brush) {
    brush_ = brush;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TCanvas canvas(painter);
    canvas.Pen = pen_;
    canvas.Brush = brush_;
    canvas.RoundRect(0, 0, width(), height(), 0, 0);
}

} // namespace plotalon
