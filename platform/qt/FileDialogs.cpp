#include "platform/qt/FileDialogs.h"

#include "platform/qt/ServiceSlot.h"

#include <QFileDialog>

namespace plotalon {

namespace {

class TQtFileDialogs : public IFileDialogs {
public:
    std::optional<QString> Execute(TFileDialogKind kind, QWidget* parent,
                                   const TFileDialogOptions& options) override {
        QFileDialog dialog(parent, options.Title, options.InitialDir);
        dialog.setAcceptMode(kind == fdOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(kind == fdOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        const QStringList filters = QtNameFilters(options.Filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = std::clamp(options.FilterIndex, 1, int(filters.size())) - 1;
            dialog.selectNameFilter(filters[index]);
        }
        QString suffix = options.DefaultExt;
        if (suffix.startsWith(u'.')) suffix.remove(0, 1);
        dialog.setDefaultSuffix(suffix);
        if (!options.FileName.isEmpty()) dialog.selectFile(options.FileName);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
    }
};

class TExecRunner : public IModalRunner {
public:
    int Run(QDialog& dialog) override { return dialog.exec(); }
};

using TFileDialogsSlot = TServiceSlot<IFileDialogs, TQtFileDialogs>;
using TModalRunnerSlot = TServiceSlot<IModalRunner, TExecRunner>;

} // namespace

IFileDialogs& FileDialogs() {
    return TFileDialogsSlot::Current();
}

IFileDialogs* SetFileDialogs(IFileDialogs* dialogs) {
    return TFileDialogsSlot::Install(dialogs);
}

QStringList QtNameFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") + parts[i + 1].split(u';').join(u' ') + u')';
    return out;
}

std::optional<QString> TScriptedFileDialogs::Execute(TFileDialogKind kind, QWidget*,
                                                     const TFileDialogOptions& options) {
    Requests.push_back({kind, options});
    if (Answers.empty()) return std::nullopt;
    const bool chosen = Answers.front().has_value();
    const QString file = chosen ? *Answers.front() : QString();
    Answers.pop_front();
    if (!chosen) return std::nullopt;
    return file;
}

int RunModal(QDialog& dialog) {
    return TModalRunnerSlot::Current().Run(dialog);
}

IModalRunner* SetModalRunner(IModalRunner* runner) {
    return TModalRunnerSlot::Install(runner);
}

int TScriptedModal::Run(QDialog& dialog) {
    Shown.push_back(&dialog);
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (Script) Script(dialog);
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

} // namespace plotalon
