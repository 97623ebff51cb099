#include "controls/XPSpeedButton.h"

#include "platform/qt/ErrorReport.h"
#include "platform/qt/Text.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace plotalon {

TXPSpeedButton::TXPSpeedButton(QWidget* parent) : QWidget(parent) {
    glyph_.OnChange = [this](TButtonGlyph&) { update(); };
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setGeometry(0, 0, 23, 22);
}

TXPSpeedButton::~TXPSpeedButton() {
    glyph_.OnChange = nullptr;
}

void TXPSpeedButton::SetGroupIndex(int value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    NotifyGroup();
}

void TXPSpeedButton::SetAllowAllUp(bool value) {
    if (value == allowAllUp_) return;
    allowAllUp_ = value;
    NotifyGroup();
}

void TXPSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = value;
    if (value) {
        if (drawState_ == gsUp) update();
        drawState_ = gsExclusive;
    } else {
        drawState_ = gsUp;
        repaint();
    }
    if (value) NotifyGroup();
}

void TXPSpeedButton::NotifyGroup() {
    if (groupIndex_ == 0 || !parentWidget()) return;
    // Every control of the parent hears it, in child order, the sender included.
    const QObjectList children = parentWidget()->children();
    for (QObject* child : children)
        if (auto* button = qobject_cast<TXPSpeedButton*>(child))
            button->GroupNotification(groupIndex_, this);
}

void TXPSpeedButton::GroupNotification(int groupIndex, TXPSpeedButton* sender) {
    if (groupIndex != groupIndex_ || sender == this || !sender) return;
    if (sender->Down() && down_) {
        down_ = false;
        drawState_ = gsUp;
        update();
    }
    allowAllUp_ = sender->AllowAllUp();
}

void TXPSpeedButton::SetLayout(TButtonLayout value) {
    if (value == layout_) return;
    layout_ = value;
    update();
}

void TXPSpeedButton::SetSpacing(int value) {
    if (value == spacing_) return;
    spacing_ = value;
    update();
}

void TXPSpeedButton::SetMargin(int value) {
    if (value == margin_ || value < -1) return;
    margin_ = value;
    update();
}

void TXPSpeedButton::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TXPSpeedButton::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    update();
}

void TXPSpeedButton::SetRadius(int value) {
    if (value == radius_) return;
    radius_ = value;
    update();
}

void TXPSpeedButton::SetPenNormal(const TPen& pen) {
    penNormal_ = pen, update();
}
void TXPSpeedButton::SetPenActive(const TPen& pen) {
    penActive_ = pen, update();
}
void TXPSpeedButton::SetPenDown(const TPen& pen) {
    penDown_ = pen, update();
}
void TXPSpeedButton::SetBrushNormal(const TBrush& brush) {
    brushNormal_ = brush, update();
}
void TXPSpeedButton::SetBrushActive(const TBrush& brush) {
    brushActive_ = brush, update();
}
void TXPSpeedButton::SetBrushDown(const TBrush& brush) {
    brushDown_ = brush, update();
}

void TXPSpeedButton::SetGlyph(const TBitmap* bitmap) {
    glyph_.SetSource(bitmap);
    update();
}

void TXPSpeedButton::SetNumGlyphs(int value) {
    value = std::min(value, 4);
    if (value == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(value);
    update();
}

void TXPSpeedButton::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void TXPSpeedButton::SetFontColor(TColor color) {
    if (color == fontColor_) return;
    fontColor_ = color;
    update();
}

void TXPSpeedButton::Click() {
    RunGuarded([this] {
        if (OnClick) OnClick(this);
    });
    emit Clicked();
}

void TXPSpeedButton::BuildExpectedImage() {
    glyph_.BuildImage(isEnabled() ? gsUp : gsDisabled);
}

void TXPSpeedButton::Loaded() {
    BuildExpectedImage();
}

bool TXPSpeedButton::Inside(QPoint p) const {
    return p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() < height();
}

unsigned TXPSpeedButton::TextFlags() const {
    return layoutDirection() == Qt::RightToLeft ? tfRightToLeft : 0u;
}

void TXPSpeedButton::paintEvent(QPaintEvent*) {
    if (!isEnabled()) {
        drawState_ = gsDisabled;
        pressing_ = false;
    } else if (drawState_ == gsDisabled) {
        drawState_ = down_ && groupIndex_ != 0 ? gsExclusive : gsUp;
    }
    QPainter painter(this);
    TCanvas canvas(painter);
    canvas.Font = font();
    canvas.FontColor = fontColor_;

    const bool active =
        drawState_ == gsDown || drawState_ == gsExclusive || (hot_ && drawState_ != gsDisabled);
    canvas.Pen = active ? penActive_ : penNormal_;
    canvas.Brush = active ? brushActive_ : brushNormal_;
    canvas.RoundRect(0, 0, width(), height(), radius_, radius_);
    if (drawState_ == gsExclusive && (!flat_ || !hot_)) {
        canvas.Pen = penDown_;
        canvas.Brush = brushDown_;
        canvas.RoundRect(0, 0, width(), height(), radius_, radius_);
    }
    glyph_.Draw(canvas, rect(), caption_, layout_, margin_, spacing_, drawState_, transparent_,
                TextFlags());
}

void TXPSpeedButton::LeftPress() {
    if (!isEnabled()) return;
    if (!down_) {
        drawState_ = gsDown;
        update();
    }
    pressing_ = true;
}

void TXPSpeedButton::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    if (event->button() == Qt::LeftButton) LeftPress();
}

void TXPSpeedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton && down_ && OnDblClick)
        RunGuarded([this] { OnDblClick(this); });
}

void TXPSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, event->modifiers(), p.x(), p.y());
    if (pressing_) {
        const TGlyphState state = down_ ? gsExclusive : Inside(p) ? gsDown : gsUp;
        if (state != drawState_) {
            drawState_ = state;
            update();
        }
    } else if (!hot_) {
        UpdateHot();
    }
}

void TXPSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
    if (!pressing_) return;
    pressing_ = false;
    const bool inside = Inside(p);
    if (groupIndex_ == 0) {
        drawState_ = gsUp;
        hot_ = false;
        if (inside) update();
    } else if (inside) {
        SetDown(!down_);
        if (down_) repaint();
    } else {
        if (down_) drawState_ = gsExclusive;
        repaint();
    }
    if (inside) Click();
    UpdateHot();
}

void TXPSpeedButton::PointerEntered() {
    if (flat_ && !hot_ && isEnabled() && !QWidget::mouseGrabber()) {
        hot_ = true;
        repaint();
    }
}

void TXPSpeedButton::PointerLeft() {
    if (flat_ && hot_ && isEnabled() && !pressing_) {
        hot_ = false;
        update();
    }
}

void TXPSpeedButton::UpdateHot() {
    if (!flat_ || !isEnabled()) return;
    // Hot is first set to the opposite of the answer, so that the entered or left rule
    // below, with all its conditions, decides the final value.
    hot_ = QApplication::widgetAt(QCursor::pos()) != this;
    if (hot_)
        PointerLeft();
    else
        PointerEntered();
}

void TXPSpeedButton::enterEvent(QEnterEvent*) {
    PointerEntered();
}

void TXPSpeedButton::leaveEvent(QEvent*) {
    PointerLeft();
}

void TXPSpeedButton::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
        BuildExpectedImage();
        UpdateHot();
        repaint();
        break;
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        glyph_.DropImages();
        glyph_.BuildImage(drawState_);
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool TXPSpeedButton::DialogChar(QChar ch) {
    QWidget* parent = parentWidget();
    if (!IsAccelerator(ch, caption_) || !isEnabled() || isHidden() || !parent ||
        !parent->isVisible())
        return false;
    Click();
    return true;
}

void SetHouseStyle(TXPSpeedButton& button, TColor brushDown) {
    button.SetFlat(true);
    button.SetRadius(2);
    button.SetBrushNormal({clSilver, bsSolid});
    button.SetBrushActive({kHouseActive, bsSolid});
    button.SetBrushDown({brushDown, bsSolid});
    button.setCursor(Qt::PointingHandCursor);
}

} // namespace plotalon
