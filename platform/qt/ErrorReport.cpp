#include "platform/qt/ErrorReport.h"

#include "platform/Errors.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Text.h"

#include <QMessageBox>
#include <cstdio>

namespace plotalon {

namespace {

class TMessageBoxSink : public IErrorSink {
public:
    void ShowError(const QString& caption, const QString& message) override {
        QMessageBox::critical(QApplication::activeWindow(), caption, message);
    }
};

using TErrorSinkSlot = TServiceSlot<IErrorSink, TMessageBoxSink>;

void Show(const QString& message) noexcept {
    try {
        TErrorSinkSlot::Current().ShowError(ApplicationTitle(), ReportText(message));
    } catch (...) {
        // A failing report must not take the program down with it.
    }
}

} // namespace

QString ReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar(u'.')) return message + u'.';
    return message;
}

namespace {
QString& Title() {
    static QString title;
    return title;
}
} // namespace

QString ApplicationTitle() {
    return Title().isEmpty() ? QCoreApplication::applicationName() : Title();
}

void SetApplicationTitle(const QString& title) {
    Title() = title;
}

IErrorSink* SetErrorSink(IErrorSink* sink) {
    return TErrorSinkSlot::Install(sink);
}

void ReportError(const std::exception& error) noexcept {
    // The window shows the message as it stands; the cause a file error knows goes to the
    // log (standard error, which the desktop's journal keeps).
    if (const auto* own = dynamic_cast<const Exception*>(&error)) {
        try {
            if (const std::string detailed = own->Detailed(); detailed != own->Message())
                std::fprintf(stderr, "%s\n", detailed.c_str());
        } catch (...) {
        }
    }
    Show(FromMessage(error.what()));
}

void ReportCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        Show(QStringLiteral("Unbekannter Fehler"));
    }
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallFontSubstitutes();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace plotalon
