#pragma once
// File open and save dialogs, and showing a window modally, behind small interfaces so
// that tests script the user's answers instead of waiting for one.

#include "platform/qt/ServiceSlot.h"
#include <QDialog>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace plotalon {

struct TFileDialogOptions {
    QString Title;
    // In the Windows form: description and pattern alternating, separated by "|"
    // ("*.nc|*.nc|*.*|*.*").
    QString Filter;
    // 1-based, as in the Windows form.
    int FilterIndex = 1;
    // Appended (after a ".") to a typed name that has no extension; a leading "." is ignored.
    QString DefaultExt;
    QString InitialDir;
    QString FileName;
    bool OverwritePrompt = false;
};

enum TFileDialogKind { fdOpen, fdSave };

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<QString> Execute(TFileDialogKind kind, QWidget* parent,
                                           const TFileDialogOptions& options) = 0;
};

IFileDialogs& FileDialogs();
// Installs dialogs (nullptr: Qt's again); returns the previous one.
IFileDialogs* SetFileDialogs(IFileDialogs* dialogs);

// "a|b|c|d" as Qt's name filters: "a (b)", "c (d)". A trailing description without pattern
// is dropped.
QStringList QtNameFilters(const QString& filter);

// Answers file dialogs from a list, recording every request, while it lives.
class TScriptedFileDialogs : public TInstalledWhileAlive<IFileDialogs, SetFileDialogs> {
public:
    struct Request {
        TFileDialogKind kind;
        TFileDialogOptions options;
    };

    // Answers in order; when they run out the user cancels.
    std::deque<std::optional<QString>> Answers;
    std::vector<Request> Requests;

    std::optional<QString> Execute(TFileDialogKind kind, QWidget*,
                                   const TFileDialogOptions& options) override;
};

// Shows a dialog modally and returns its result.
class IModalRunner {
public:
    virtual ~IModalRunner() = default;
    virtual int Run(QDialog& dialog) = 0;
};

int RunModal(QDialog& dialog);
IModalRunner* SetModalRunner(IModalRunner* runner);

// Instead of a nested event loop: shows the dialog, runs Script on it (which may press its
// buttons), closes it if the script left it open, and returns the dialog's result.
class TScriptedModal : public TInstalledWhileAlive<IModalRunner, SetModalRunner> {
public:
    std::function<void(QDialog&)> Script;
    std::vector<QDialog*> Shown;

    int Run(QDialog& dialog) override;
};

} // namespace plotalon
