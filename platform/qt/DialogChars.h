#pragma once
// Dialog characters: a typed character (or Alt plus the character) that the focused
// control of a window does not consume is offered to the window's controls in order,
// so that a button clicks on its caption's accelerator.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace plotalon {

// A control that reacts to dialog characters.
class IDialogCharControl {
public:
    virtual ~IDialogCharControl() = default;
    // Returns true when the control consumed ch.
    virtual bool DialogChar(QChar ch) = 0;
};

class TDialogCharRouter : public QObject {
public:
    // Routes the dialog characters of window; the router belongs to the window.
    static TDialogCharRouter* Install(QWidget* window);

    // Offers ch to every IDialogCharControl inside window, in child order, until one
    // consumes it. Returns whether one did.
    static bool Route(QWidget* window, QChar ch);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TDialogCharRouter(QWidget* window);
    QPointer<QWidget> window_;
};

} // namespace plotalon
