#include "platform/qt/Panel.h"

namespace plotalon {

TPanel::TPanel(QWidget* parent) : QWidget(parent) {}

void TPanel::SetAlign(QWidget* control, TAlign align) {
    for (auto& entry : aligned_)
        if (entry.first == control) {
            entry.second = align;
            Realign();
            return;
        }
    aligned_.emplace_back(control, align);
    Realign();
}

TAlign TPanel::AlignOf(const QWidget* control) const {
    for (const auto& [aligned, align] : aligned_)
        if (aligned == control) return align;
    return TAlign::alNone;
}

void TPanel::Realign() {
    QRect rest = rect();
    for (TAlign pass :
         {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (const auto& [control, align] : aligned_) {
            if (align != pass || !control || control->isHidden()) continue;
            const int w = control->width(), h = control->height();
            switch (align) {
            case TAlign::alTop:
                control->setGeometry(rest.left(), rest.top(), rest.width(), h);
                rest.setTop(rest.top() + control->height());
                break;
            case TAlign::alBottom:
                control->setGeometry(rest.left(), rest.bottom() + 1 - h, rest.width(), h);
                rest.setBottom(rest.bottom() - control->height());
                break;
            case TAlign::alLeft:
                control->setGeometry(rest.left(), rest.top(), w, rest.height());
                rest.setLeft(rest.left() + control->width());
                break;
            case TAlign::alRight:
                control->setGeometry(rest.right() + 1 - w, rest.top(), w, rest.height());
                rest.setRight(rest.right() - control->width());
                break;
            case TAlign::alClient:
                control->setGeometry(rest.left(), rest.top(), std::max(0, rest.width()),
                                     std::max(0, rest.height()));
                break;
            case TAlign::alNone:
                break;
            }
        }
    }
}

void TPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Realign();
}

} // namespace plotalon
