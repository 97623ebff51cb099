#pragma once
// The application's top-level error report. Handlers only throw; whatever escapes a
// handler ends up here and is shown as a message box with an error icon, the application
// title as caption and the error's message, and the program goes on.
//
// Tests replace the message box with a recorder (TErrorRecorder) through SetErrorSink.

#include "platform/qt/ServiceSlot.h"
#include <QApplication>
#include <QString>
#include <exception>
#include <utility>
#include <vector>

namespace plotalon {

class IErrorSink {
public:
    virtual ~IErrorSink() = default;
    virtual void ShowError(const QString& caption, const QString& message) = 0;
};

// The message as the report shows it: "." appended when its last character sorts above
// "." (so "...geöffnet werden" gets one, "...!" or "...)" does not).
QString ReportText(const QString& message);

// The application's title: the caption of the report. Kept apart from Qt's display name,
// which Qt would append to every window's caption.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Installs sink (nullptr: the message box again); returns the previous one.
IErrorSink* SetErrorSink(IErrorSink* sink);

// Shows the error that is being handled (call only inside a catch block).
void ReportCurrentException() noexcept;
void ReportError(const std::exception& error) noexcept;

// Runs a handler inside the report. Returns false when it ended with an error.
template <class F> bool RunGuarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

// Records every report instead of showing it, while it lives.
class TErrorRecorder : public TInstalledWhileAlive<IErrorSink, SetErrorSink> {
public:
    struct Entry {
        QString caption;
        QString message;
    };

    void ShowError(const QString& caption, const QString& message) override {
        Entries.push_back({caption, message});
    }
    std::vector<Entry> Entries;
};

// The application object: every event handler runs inside the error report, so an error
// ends the handler and the event loop goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace plotalon
