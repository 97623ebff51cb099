#pragma once
// TSplitter: the bar between a left-aligned control of a TPanel and the client control that
// fills the rest. Dragging it with the left button resizes the left control at once, so that
// neither control becomes narrower than its minimum width.

#include "platform/qt/Panel.h"

namespace plotalon {

class TSplitter : public QWidget {
public:
    // before: the left-aligned control it resizes; after: the control beside it that takes
    // the rest. Both are children of panel, as is the splitter.
    TSplitter(TPanel* panel, QWidget* before, QWidget* after);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TPanel* panel_;
    QPointer<QWidget> before_;
    QPointer<QWidget> after_;
    bool dragging_ = false;
    int pressX_ = 0;     // pointer x in the panel at the press
    int pressWidth_ = 0; // width of before_ at the press
    int widthLimit_ = 0; // the widest before_ may become
};

} // namespace plotalon
