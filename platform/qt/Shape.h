#pragma once
// TShape: the toolkit's shape control as the window layouts use it: a rectangle outlined with
// a one-pixel pen and filled with a brush. A rectangle one pixel wide or high is a line in the
// pen colour. It takes no input and never the focus; mouse events go to what lies below.

#include "platform/qt/Canvas.h"

#include <QWidget>

namespace plotalon {

class TShape : public QWidget {
public:
    explicit TShape(QWidget* parent = nullptr);

    const TPen& Pen() const { return pen_; }
    void SetPen(const TPen& pen);
    const TBrush& Brush() const { return brush_; }
    void SetBrush(const TBrush& brush);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPen pen_;
    TBrush brush_;
};

} // namespace plotalon
