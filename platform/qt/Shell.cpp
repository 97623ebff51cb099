#include "platform/qt/Shell.h"

#include "platform/qt/ServiceSlot.h"

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

using TShellSlot = TServiceSlot<IShell, TDesktopShell>;

} // namespace

IShell& Shell() {
    return TShellSlot::Current();
}

IShell* SetShell(IShell* shell) {
    return TShellSlot::Install(shell);
}

} // namespace plotalon
