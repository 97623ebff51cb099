#include "platform/qt/Splitter.h"

#include <QMouseEvent>
#include <algorithm>

namespace plotalon {

TSplitter::TSplitter(TPanel* panel, QWidget* before, QWidget* after)
    : QWidget(panel), panel_(panel), before_(before), after_(after) {
    setCursor(Qt::SplitHCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !before_ || !after_) return;
    dragging_ = true;
    pressX_ = mapToParent(event->position().toPoint()).x();
    pressWidth_ = before_->width();
    // What the control beside may give up without going below its own minimum.
    widthLimit_ = std::max(before_->minimumWidth(),
                           pressWidth_ + std::max(0, after_->width() - after_->minimumWidth()));
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !before_) return;
    const int x = mapToParent(event->position().toPoint()).x();
    const int width = std::clamp(pressWidth_ + x - pressX_, before_->minimumWidth(), widthLimit_);
    if (width == before_->width()) return;
    before_->resize(width, before_->height());
    panel_->Realign();
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

} // namespace plotalon
