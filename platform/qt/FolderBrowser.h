#pragma once
// The shell's folder browser, as far as the folder picker uses it: a browse-information
// record, special folders by their CSIDL numbers, the browser itself with its callback and
// messages, and the path of a chosen item. The desktop's implementation shows a Qt folder
// tree; tests install TScriptedFolderBrowser, which records what it was asked and answers
// with a chosen folder or cancel.
//
// Special folders are their Linux counterparts: the XDG folders of the user (documents,
// desktop folder, templates, fonts, ...), the system's application and autostart folders,
// and "/" for the desktop of the shell, the top of the whole tree. A special folder without
// a counterpart here (printers, network, control panel, ...), or whose folder does not
// exist, is the desktop.

#include "platform/qt/ServiceSlot.h"
#include <QDialog>
#include <QPersistentModelIndex>
#include <QString>
#include <QWidget>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QTreeView;

namespace plotalon {

// Options of the browse-information record.
inline constexpr unsigned BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr unsigned BIF_DONTGOBELOWDOMAIN = 0x0002;
inline constexpr unsigned BIF_STATUSTEXT = 0x0004; // a status line under the title
inline constexpr unsigned BIF_RETURNFSANCESTORS = 0x0008;
inline constexpr unsigned BIF_EDITBOX = 0x0010;  // an edit box for typing a folder name
inline constexpr unsigned BIF_VALIDATE = 0x0020; // a typed name that is no folder is reported
inline constexpr unsigned BIF_BROWSEFORCOMPUTER = 0x1000;
inline constexpr unsigned BIF_BROWSEFORPRINTER = 0x2000;

// Messages from the browser to its callback, and from the callback to the browser.
inline constexpr unsigned BFFM_INITIALIZED = 1;     // the browser has opened
inline constexpr unsigned BFFM_SELCHANGED = 2;      // parameter: the path of the new selection
inline constexpr unsigned BFFM_VALIDATEFAILEDA = 3; // parameter: the typed name; nonzero: stay open
inline constexpr unsigned BFFM_SETSTATUSTEXTA = 0x0464;
inline constexpr unsigned BFFM_SETSELECTIONA = 0x0466; // wParam 1: the text is a path

// The special folders by CSIDL number.
inline constexpr int CSIDL_DESKTOP = 0;
inline constexpr int CSIDL_PROGRAMS = 2;
inline constexpr int CSIDL_CONTROLS = 3;
inline constexpr int CSIDL_PRINTERS = 4;
inline constexpr int CSIDL_PERSONAL = 5;
inline constexpr int CSIDL_FAVORITES = 6;
inline constexpr int CSIDL_STARTUP = 7;
inline constexpr int CSIDL_RECENT = 8;
inline constexpr int CSIDL_SENDTO = 9;
inline constexpr int CSIDL_BITBUCKET = 10;
inline constexpr int CSIDL_STARTMENU = 11;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 16;
inline constexpr int CSIDL_DRIVES = 17;
inline constexpr int CSIDL_NETWORK = 18;
inline constexpr int CSIDL_NETHOOD = 19;
inline constexpr int CSIDL_FONTS = 20;
inline constexpr int CSIDL_TEMPLATES = 21;
inline constexpr int CSIDL_COMMON_STARTMENU = 22;
inline constexpr int CSIDL_COMMON_PROGRAMS = 23;
inline constexpr int CSIDL_COMMON_STARTUP = 24;
inline constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 25;
inline constexpr int CSIDL_APPDATA = 26;
inline constexpr int CSIDL_PRINTHOOD = 27;

// The longest path, display name included, that the shell hands back.
inline constexpr std::size_t kMaxPath = PATH_MAX;

// One item of the shell: a folder, or a place without a file-system path (empty Path).
struct TShellItem {
    QString Path;
    QString DisplayName;
};
// An item list; nullptr stands for none, which as a root means the desktop. Shared, so that
// whoever holds one last gives it back.
using TItemIdList = std::shared_ptr<const TShellItem>;

// The open browser, as its callback sees it.
class IBrowserWindow {
public:
    virtual ~IBrowserWindow() = default;
    virtual void SendMessage(unsigned message, std::intptr_t wParam, const QString& text) = 0;
};

using BFFCALLBACK = int (*)(IBrowserWindow& window, unsigned message, const QString& param,
                            void* data);

// The browse-information record.
struct TBrowseInfo {
    QWidget* hwndOwner = nullptr;
    TItemIdList pidlRoot;              // top of the tree shown; none: the desktop
    QString* pszDisplayName = nullptr; // receives the chosen item's display name
    QString lpszTitle;                 // shown above the tree
    unsigned ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    void* lParam = nullptr; // handed to lpfn
    int iImage = 0;
};

class IShellFolders {
public:
    virtual ~IShellFolders() = default;
    // The item of a special folder; the desktop for one without a counterpart.
    virtual TItemIdList SpecialFolderLocation(int csidl) = 0;
    // Runs the browser modally over info.hwndOwner; the chosen item, or nullptr on cancel.
    virtual TItemIdList BrowseForFolder(TBrowseInfo& info) = 0;
};

IShellFolders& ShellFolders();
// Installs shell (nullptr: the desktop's again); returns the previous one.
IShellFolders* SetShellFolders(IShellFolders* shell);

// The calls of the installed shell.
TItemIdList SHGetSpecialFolderLocation(int csidl);
TItemIdList SHBrowseForFolder(TBrowseInfo& info);
// The item's file-system path into path; false (path empty) when it has none or the path is
// longer than kMaxPath - 1 characters.
bool SHGetPathFromIDList(const TItemIdList& item, QString& path);

// The folder a special folder stands for on this desktop; "/" for the desktop and for any
// special folder without an existing counterpart.
QString SpecialFolderPath(int csidl);

// The desktop's browser: the title, a status line only with BIF_STATUSTEXT, the folder tree
// below the root, an edit box only with BIF_EDITBOX, "OK" and "Abbrechen". Run by RunModal,
// so that tests can drive it.
class TFolderBrowserDialog : public QDialog, public IBrowserWindow {
public:
    explicit TFolderBrowserDialog(const TBrowseInfo& info);

    void SendMessage(unsigned message, std::intptr_t wParam, const QString& text) override;
    // The folder chosen with "OK"; nullptr until then.
    TItemIdList Chosen() const { return chosen_; }

    QLabel* Title;
    QLabel* Status;
    QTreeView* Tree;
    QLineEdit* EditBox;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Choose();
    QString SelectedPath() const;
    int Callback(unsigned message, const QString& param);

    const TBrowseInfo& info_;
    QFileSystemModel* model_;
    TItemIdList chosen_;
    QPersistentModelIndex revealing_; // the preselected folder, kept in view while loading
    bool initialized_ = false;
};

// Answers the browser from a list, recording every request, while it lives. The browser
// "opens" by sending BFFM_INITIALIZED to the callback and, for a chosen folder, reports it
// with BFFM_SELCHANGED; with TypedName set and BIF_EDITBOX in the options, the user first
// types that name, which is no folder, and the callback hears BFFM_VALIDATEFAILEDA.
class TScriptedFolderBrowser : public TInstalledWhileAlive<IShellFolders, SetShellFolders> {
public:
    struct Message {
        unsigned message;
        std::intptr_t wParam;
        QString text;
        bool operator==(const Message&) const = default;
    };
    struct Request {
        unsigned Flags;
        TItemIdList Root;
        QString Title;
        QWidget* Owner;
        std::vector<Message> Sent;               // what the callback sent to the browser
        std::optional<int> ValidateFailedResult; // the callback's answer to a typed name
    };

    // Answers in order; when they run out the user cancels.
    std::deque<std::optional<TShellItem>> Answers;
    QString TypedName;
    std::vector<Request> Requests;
    std::vector<int> SpecialFolderRequests;

    // An item whose path names the CSIDL ("csidl:5"), so that a test sees which it was.
    TItemIdList SpecialFolderLocation(int csidl) override;
    TItemIdList BrowseForFolder(TBrowseInfo& info) override;
};

} // namespace plotalon
