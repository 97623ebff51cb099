#include "platform/qt/DialogChars.h"

#include <QApplication>
#include <QKeyEvent>

namespace plotalon {

namespace {

QChar CharOf(const QKeyEvent& key) {
    const QString text = key.text();
    if (text.size() == 1 && text[0].isPrint()) return text[0];
    // With Alt held some platforms deliver no text; the key code still names the letter.
    if ((key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9) ||
        (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z))
        return QChar(key.key());
    return QChar();
}

bool RouteChildren(QWidget* parent, QChar ch) {
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow()) continue;
        if (auto* control = dynamic_cast<IDialogCharControl*>(widget))
            if (control->DialogChar(ch)) return true;
        if (RouteChildren(widget, ch)) return true;
    }
    return false;
}

} // namespace

TDialogCharRouter::TDialogCharRouter(QWidget* window) : QObject(window), window_(window) {
    // One application-wide filter sees a key at every receiver on its way up, so both the
    // Alt case (first receiver) and the unconsumed case (the window itself) are caught.
    qApp->installEventFilter(this);
}

TDialogCharRouter* TDialogCharRouter::Install(QWidget* window) {
    return new TDialogCharRouter(window);
}

bool TDialogCharRouter::Route(QWidget* window, QChar ch) {
    return !ch.isNull() && window && RouteChildren(window, ch);
}

bool TDialogCharRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !window_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool alt = key->modifiers() & Qt::AltModifier;
    const bool control = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (control) return false;
    if (alt) {
        // Alt plus a character goes to the controls before the focused control sees it.
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : window_.data();
        if (!widget || widget != first || widget->window() != window_) return false;
        return Route(window_, CharOf(*key));
    }
    // A plain character that reached the window itself was not consumed on its way up.
    if (watched != window_) return false;
    return Route(window_, CharOf(*key));
}

} // namespace plotalon
