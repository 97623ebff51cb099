#include "platform/qt/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace plotalon {

namespace {

class TDesktopShell : public IShell {
public:
    void Execute(QWidget*, const QString& verb, const QString& file, TShowCommand) override {
        // Only "open" is used; its outcome is not examined, as with the system's shell.
        if (verb == u"open") QDesktopServices::openUrl(QUrl(file, QUrl::TolerantMode));
    }
};

TDesktopShell& Desktop() {
    static TDesktopShell desktop;
    return desktop;
}

IShell*& Current() {
    static IShell* current = &Desktop();
    return current;
}

} // namespace

IShell& Shell() {
    return *Current();
}

IShell* SetShell(IShell* shell) {
    IShell* previous = Current();
    Current() = shell ? shell : &Desktop();
    return previous;
}

} // namespace plotalon
