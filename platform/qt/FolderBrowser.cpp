#include "platform/qt/FolderBrowser.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

namespace plotalon {

namespace {

// Where each special folder lives here: a standard location (with a folder below it), a
// fixed folder, or nothing (the special folder has no counterpart, so the desktop stands in).
struct TCounterpart {
    int Csidl;
    std::optional<QStandardPaths::StandardLocation> Location;
    const char* Path; // below Location, or the whole path without one
};

const TCounterpart kCounterparts[] = {
    {CSIDL_DESKTOP, std::nullopt, "/"},
    {CSIDL_PROGRAMS, QStandardPaths::ApplicationsLocation, ""},
    {CSIDL_PERSONAL, QStandardPaths::DocumentsLocation, ""},
    {CSIDL_STARTUP, QStandardPaths::GenericConfigLocation, "autostart"},
    {CSIDL_BITBUCKET, QStandardPaths::GenericDataLocation, "Trash/files"},
    {CSIDL_STARTMENU, QStandardPaths::ApplicationsLocation, ""},
    {CSIDL_DESKTOPDIRECTORY, QStandardPaths::DesktopLocation, ""},
    {CSIDL_DRIVES, std::nullopt, "/"},
    {CSIDL_FONTS, QStandardPaths::FontsLocation, ""},
    {CSIDL_TEMPLATES, QStandardPaths::TemplatesLocation, ""},
    {CSIDL_COMMON_STARTMENU, std::nullopt, "/usr/share/applications"},
    {CSIDL_COMMON_PROGRAMS, std::nullopt, "/usr/share/applications"},
    {CSIDL_COMMON_STARTUP, std::nullopt, "/etc/xdg/autostart"},
    {CSIDL_APPDATA, QStandardPaths::GenericConfigLocation, ""},
};

QString DisplayNameOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

TItemIdList ItemOf(const QString& path) {
    return std::make_shared<const TShellItem>(TShellItem{path, DisplayNameOf(path)});
}

class TDesktopShellFolders : public IShellFolders {
public:
    TItemIdList SpecialFolderLocation(int csidl) override {
        return ItemOf(SpecialFolderPath(csidl));
    }

    TItemIdList BrowseForFolder(TBrowseInfo& info) override {
        // Above its owner, as an owned window is, also when the owner stays on top.
        TFolderBrowserDialog browser(info);
        RunModalAbove(browser, info.hwndOwner);
        return browser.Chosen();
    }
};

using TShellFoldersSlot = TServiceSlot<IShellFolders, TDesktopShellFolders>;

} // namespace

IShellFolders& ShellFolders() {
    return TShellFoldersSlot::Current();
}

IShellFolders* SetShellFolders(IShellFolders* shell) {
    return TShellFoldersSlot::Install(shell);
}

TItemIdList SHGetSpecialFolderLocation(int csidl) {
    return ShellFolders().SpecialFolderLocation(csidl);
}

TItemIdList SHBrowseForFolder(TBrowseInfo& info) {
    TItemIdList chosen = ShellFolders().BrowseForFolder(info);
    if (chosen && info.pszDisplayName)
        *info.pszDisplayName = chosen->DisplayName.left(qsizetype(kMaxPath) - 1);
    return chosen;
}

bool SHGetPathFromIDList(const TItemIdList& item, QString& path) {
    path.clear();
    if (!item || item->Path.isEmpty() || std::size_t(item->Path.size()) >= kMaxPath) return false;
    path = item->Path;
    return true;
}

QString SpecialFolderPath(int csidl) {
    for (const TCounterpart& c : kCounterparts) {
        if (c.Csidl != csidl) continue;
        QString path = QString::fromUtf8(c.Path);
        if (c.Location) {
            const QString base = QStandardPaths::writableLocation(*c.Location);
            if (base.isEmpty()) break;
            path = path.isEmpty() ? base : base + u'/' + path;
        }
        if (QFileInfo(path).isDir()) return QDir::cleanPath(path);
        break;
    }
    return QStringLiteral("/");
}

TFolderBrowserDialog::TFolderBrowserDialog(const TBrowseInfo& info)
    : QDialog(info.hwndOwner), info_(info) {
    setWindowTitle(QStringLiteral("Ordner suchen"));
    setFont(DefaultWindowFont());
    resize(320, 380);
    auto* layout = new QVBoxLayout(this);

    Title = new QLabel(info.lpszTitle, this);
    Title->setWordWrap(true);
    layout->addWidget(Title);
    Status = new QLabel(this);
    Status->setWordWrap(true);
    Status->setVisible(info.ulFlags & BIF_STATUSTEXT);
    layout->addWidget(Status);

    const QString root =
        info.pidlRoot && !info.pidlRoot->Path.isEmpty() ? info.pidlRoot->Path : QStringLiteral("/");
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(root);
    Tree = new QTreeView(this);
    Tree->setModel(model_);
    Tree->setRootIndex(model_->index(root));
    Tree->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column)
        Tree->hideColumn(column);
    layout->addWidget(Tree, 1);

    EditBox = new QLineEdit(this);
    EditBox->setVisible(info.ulFlags & BIF_EDITBOX);
    layout->addWidget(EditBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFolderBrowserDialog::Choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Folders are read in the background and sorted in afterwards: the preselected one is
    // brought into view again as they come, until the user selects another.
    const auto reveal = [this] {
        if (revealing_.isValid()) Tree->scrollTo(revealing_, QAbstractItemView::PositionAtCenter);
    };
    connect(model_, &QAbstractItemModel::rowsInserted, this, reveal, Qt::QueuedConnection);
    connect(model_, &QAbstractItemModel::layoutChanged, this, reveal, Qt::QueuedConnection);
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current != revealing_) revealing_ = QPersistentModelIndex();
                const QString path = SelectedPath();
                EditBox->setText(DisplayNameOf(path));
                Callback(BFFM_SELCHANGED, path);
            });
}

void TFolderBrowserDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (initialized_) return;
    initialized_ = true;
    Callback(BFFM_INITIALIZED, QString());
}

int TFolderBrowserDialog::Callback(unsigned message, const QString& param) {
    return info_.lpfn ? info_.lpfn(*this, message, param, info_.lParam) : 0;
}

void TFolderBrowserDialog::SendMessage(unsigned message, std::intptr_t wParam,
                                       const QString& text) {
    if (message == BFFM_SETSTATUSTEXTA) {
        Status->setText(text); // shown only when the options asked for a status line
    } else if (message == BFFM_SETSELECTIONA && wParam != 0) {
        const QModelIndex index = model_->index(text);
        if (!index.isValid()) return;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            Tree->expand(parent);
        Tree->setCurrentIndex(index);
        revealing_ = QPersistentModelIndex(index);
        Tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
}

QString TFolderBrowserDialog::SelectedPath() const {
    const QModelIndex current = Tree->currentIndex();
    return current.isValid() ? model_->filePath(current) : model_->rootPath();
}

void TFolderBrowserDialog::Choose() {
    QString path = SelectedPath();
    const QString typed = EditBox->text().trimmed();
    if ((info_.ulFlags & BIF_EDITBOX) && !typed.isEmpty() && typed != DisplayNameOf(path)) {
        // A typed name is a sibling of the selected folder, unless it is a whole path.
        const QString candidate =
            QDir::isAbsolutePath(typed) ? typed : QFileInfo(path).dir().filePath(typed);
        if (QFileInfo(candidate).isDir()) {
            path = QDir::cleanPath(candidate);
        } else if (info_.ulFlags & BIF_VALIDATE) {
            if (Callback(BFFM_VALIDATEFAILEDA, typed) == 0) reject();
            return;
        }
    }
    chosen_ = ItemOf(path);
    accept();
}

TItemIdList TScriptedFolderBrowser::SpecialFolderLocation(int csidl) {
    SpecialFolderRequests.push_back(csidl);
    const QString name = QStringLiteral("csidl:%1").arg(csidl);
    return std::make_shared<const TShellItem>(TShellItem{name, name});
}

namespace {

class TRecordingWindow : public IBrowserWindow {
public:
    explicit TRecordingWindow(std::vector<TScriptedFolderBrowser::Message>& sent) : sent_(sent) {}
    void SendMessage(unsigned message, std::intptr_t wParam, const QString& text) override {
        sent_.push_back({message, wParam, text});
    }

private:
    std::vector<TScriptedFolderBrowser::Message>& sent_;
};

} // namespace

TItemIdList TScriptedFolderBrowser::BrowseForFolder(TBrowseInfo& info) {
    Requests.push_back({info.ulFlags, info.pidlRoot, info.lpszTitle, info.hwndOwner, {}, {}});
    Request& request = Requests.back();
    TRecordingWindow window(request.Sent);
    auto callback = [&](unsigned message, const QString& param) {
        return info.lpfn ? info.lpfn(window, message, param, info.lParam) : 0;
    };
    callback(BFFM_INITIALIZED, QString());
    if (!TypedName.isEmpty() && (info.ulFlags & BIF_EDITBOX))
        request.ValidateFailedResult = callback(BFFM_VALIDATEFAILEDA, TypedName);

    std::optional<TShellItem> answer;
    if (!Answers.empty()) {
        answer = Answers.front();
        Answers.pop_front();
    }
    if (!answer) return nullptr;
    callback(BFFM_SELCHANGED, answer->Path);
    return std::make_shared<const TShellItem>(*answer);
}

} // namespace plotalon
