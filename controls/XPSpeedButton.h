#pragma once
// TXPSpeedButton: the flat push button of every window. A lightweight child widget that
// paints on its parent's surface and never takes the focus: a rounded face in one of three
// pen/brush pairs (normal, active, down), a glyph and a caption placed by TButtonGlyph,
// hot tracking while the pointer is over it (only when Flat), a pressed look while the
// left button is held, and latching groups of mutually exclusive buttons (GroupIndex,
// Down, AllowAllUp) among the buttons of one parent.

#include "controls/ButtonGlyph.h"
#include "platform/qt/Canvas.h"
#include "platform/qt/DialogChars.h"

#include <QString>
#include <QWidget>
#include <functional>

namespace plotalon {

class TXPSpeedButton : public QWidget, public IDialogCharControl {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TXPSpeedButton*)>;
    using TMouseEvent =
        std::function<void(TXPSpeedButton*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)>;
    using TMouseMoveEvent = std::function<void(TXPSpeedButton*, Qt::KeyboardModifiers, int, int)>;

    explicit TXPSpeedButton(QWidget* parent = nullptr);
    ~TXPSpeedButton() override;

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    // Follows the group rules: without a group the button stays up; a latched button of a
    // group without AllowAllUp is released only by latching another one.
    void SetDown(bool value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);

    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    int Margin() const { return margin_; }
    // Values below -1 are ignored.
    void SetMargin(int value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    int Radius() const { return radius_; }
    void SetRadius(int value);

    // The owned pens and brushes. Changing a sub-value through these references does not
    // repaint by itself; the setters copy a whole pen or brush and repaint.
    TPen& PenNormal() { return penNormal_; }
    TPen& PenActive() { return penActive_; }
    TPen& PenDown() { return penDown_; }
    TBrush& BrushNormal() { return brushNormal_; }
    TBrush& BrushActive() { return brushActive_; }
    TBrush& BrushDown() { return brushDown_; }
    void SetPenNormal(const TPen& pen);
    void SetPenActive(const TPen& pen);
    void SetPenDown(const TPen& pen);
    void SetBrushNormal(const TBrush& brush);
    void SetBrushActive(const TBrush& brush);
    void SetBrushDown(const TBrush& brush);

    const TBitmap& Glyph() const { return glyph_.Source(); }
    void SetGlyph(const TBitmap* bitmap);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    // Clamped to at most 4.
    void SetNumGlyphs(int value);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The colour of the caption (the font colour of the Windows font).
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

    bool Hot() const { return hot_; }
    bool Pressing() const { return pressing_; }
    TGlyphState DrawState() const { return drawState_; }
    TButtonGlyph& ButtonGlyph() { return glyph_; }

    // Fires OnClick (inside the error report) and the Clicked signal.
    void Click();
    // The window has set all properties: the image for the expected look is built now.
    void Loaded();
    // Brings Hot in line with whether the pointer is over the button.
    void UpdateHot();
    // Clicks when ch is the caption's accelerator and the button can be used.
    bool DialogChar(QChar ch) override;
    // A member of group groupIndex (sender) latched or changed its group settings.
    void GroupNotification(int groupIndex, TXPSpeedButton* sender);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void NotifyGroup();
    void PointerEntered();
    void PointerLeft();
    void LeftPress();
    void BuildExpectedImage();
    bool Inside(QPoint p) const;
    unsigned TextFlags() const;

    int groupIndex_ = 0;
    TButtonGlyph glyph_;
    bool down_ = false;
    bool pressing_ = false;
    bool allowAllUp_ = false;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    bool transparent_ = true;
    int margin_ = -1;
    bool flat_ = true;
    int radius_ = 2;
    TPen penNormal_, penActive_, penDown_;
    TBrush brushNormal_, brushActive_, brushDown_;
    bool hot_ = false;
    TGlyphState drawState_ = gsUp;
    QString caption_;
    TColor fontColor_ = clWindowText;
};

// The house style of the windows' buttons: Flat, Radius 2, silver normal fill, light blue
// active fill, the given down fill (light yellow on the dialog buttons), hand cursor.
constexpr TColor kHouseActive = 16769217;
constexpr TColor kHouseDown = 8454143;
void SetHouseStyle(TXPSpeedButton& button, TColor brushDown = kHouseDown);

} // namespace plotalon
