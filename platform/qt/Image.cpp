#include "platform/qt/Image.h"

#include "platform/qt/Canvas.h"

#include <QMouseEvent>

namespace plotalon {

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TImage::SetPicture(const TBitmap& picture) {
    picture_ = picture;
    update();
}

void TImage::SetTransparent(bool value) {
    transparent_ = value;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TCanvas(painter).Draw(0, 0, picture_, transparent_);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick();
}

} // namespace plotalon
