#include "platform/qt/WindowPlacement.h"

#include "platform/qt/FileDialogs.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace plotalon {

void CentreWindow(QWidget& window, const QWidget* over) {
    QRect area;
    if (over)
        area = over->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    QRect frame(QPoint(), window.frameGeometry().size());
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

namespace {

// Undoes the lift when the modal run ends, however it ends.
class TLift {
public:
    TLift(QDialog& dialog, QWidget& ownerWindow) : dialog_(dialog) {
        // Flags first: changing them afterwards would make a new native window.
        dialog_.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        dialog_.winId();
        ownerWindow.winId();
        previous_ = dialog_.windowHandle()->transientParent();
        dialog_.windowHandle()->setTransientParent(ownerWindow.windowHandle());
    }
    ~TLift() {
        dialog_.hide();
        dialog_.windowHandle()->setTransientParent(previous_);
        dialog_.setWindowFlag(Qt::WindowStaysOnTopHint, false);
    }
    TLift(const TLift&) = delete;
    TLift& operator=(const TLift&) = delete;

private:
    QDialog& dialog_;
    QWindow* previous_ = nullptr;
};

} // namespace

int RunModalAbove(QDialog& dialog, QWidget* owner) {
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    const bool lift = ownerWindow && (ownerWindow->windowFlags() & Qt::WindowStaysOnTopHint) &&
                      !(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    if (!lift) return RunModal(dialog);
    TLift lifted(dialog, *ownerWindow);
    return RunModal(dialog);
}

} // namespace plotalon
