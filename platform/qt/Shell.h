#pragma once
// The operating system's shell, as far as the program uses it: performing a verb ("open")
// on an address such as "http://..." or "mailto:...". Tests install TShellRecorder and see
// exactly what was handed over; the program never examines the result.

#include "platform/qt/ServiceSlot.h"
#include <QString>
#include <QWidget>
#include <vector>

namespace plotalon {

enum TShowCommand { swHide = 0, swShowNormal = 1, swShow = 5 };

class IShell {
public:
    virtual ~IShell() = default;
    // parent: the window that owns any message of the shell (may be nullptr).
    virtual void Execute(QWidget* parent, const QString& verb, const QString& file,
                         TShowCommand show) = 0;
};

// The process's shell (the desktop's, unless a test installed another).
IShell& Shell();
// Installs shell (nullptr: the desktop's again); returns the previous one.
IShell* SetShell(IShell* shell);

class TShellRecorder : public TInstalledWhileAlive<IShell, SetShell> {
public:
    struct Call {
        QWidget* parent;
        QString verb;
        QString file;
        TShowCommand show;
    };

    void Execute(QWidget* parent, const QString& verb, const QString& file,
                 TShowCommand show) override {
        Calls.push_back({parent, verb, file, show});
    }
    std::vector<Call> Calls;
};

} // namespace plotalon
