#pragma once
// TBrowseForFolder: a component that lets the user choose a folder in the shell's folder
// browser. It keeps the browser's options, preselects a start folder, can show a status
// text, and hands back the chosen folder's full path and display name. Its owner must be a
// window, which owns the browser while it runs and frees the component.

#include "platform/qt/FolderBrowser.h"

#include <QObject>
#include <QString>
#include <initializer_list>
#include <utility>

namespace plotalon {

enum TBrowseFlag {
    bf_BrowseForComputer,
    bf_BrowseForPrinter,
    bf_DontGoBelowDomain,
    bf_statustext,
    bf_ReturnFSanceStors,
    bf_ReturnOnlyFSDIRS,
    bf_EditBox,
};

// A set of TBrowseFlag.
class TBrowseFlags {
public:
    constexpr TBrowseFlags() = default;
    constexpr TBrowseFlags(std::initializer_list<TBrowseFlag> flags) {
        for (TBrowseFlag flag : flags)
            bits_ |= 1u << flag;
    }
    constexpr bool Contains(TBrowseFlag flag) const { return (bits_ >> flag) & 1u; }
    constexpr void Include(TBrowseFlag flag) { bits_ |= 1u << flag; }
    bool operator==(const TBrowseFlags&) const = default;

private:
    unsigned bits_ = 0;
};

enum TBrowseLocation {
    bl_STANDART, // the root as it is (none at first: the desktop)
    bl_CUSTOM,   // the custom root item list, which nothing sets (the desktop)
    bl_DESKTOP,
    bl_PROGRAMS,
    bl_CONTROLS,
    bl_PRINTERS,
    bl_PERSONAL,
    bl_FAVORITES,
    bl_STARTUP,
    bl_RECENT,
    bl_SENDTO,
    bl_BITBUCKET,
    bl_STARTMENU,
    bl_DESKTOPDIRECTORY,
    bl_DRIVES,
    bl_NETWORK,
    bl_NETHOOD,
    bl_FONTS,
    bl_TEMPLATES,
    bl_COMMON_STARTMENU,
    bl_COMMON_PROGRAMS,
    bl_COMMON_STARTUP,
    bl_COMMON_DESKTOPDIRECTORY,
    bl_APPDATA,
    bl_PRINTHOOD,
};

class TBrowseForFolder : public QObject {
public:
    explicit TBrowseForFolder(QObject* owner);

    // The display name of the folder chosen last, as the shell gives it.
    QString DisplayName() const { return displayName_; }
    // Sent to the browser's status line when it opens (shown only with bf_statustext).
    QString StatusText() const { return statusText_; }
    void SetStatusText(const QString& text) { statusText_ = text; }
    // Before Execute the folder to preselect (none when empty), after a successful Execute
    // the full path of the chosen folder (empty when the item has no file-system path).
    QString FolderName() const { return folderName_; }
    void SetFolderName(const QString& folder) { folderName_ = folder; }
    // Kept in the option word of the browse-information record, bit by bit.
    TBrowseFlags Flags() const;
    void SetFlags(TBrowseFlags flags);
    TBrowseLocation Root() const { return root_; }
    void SetRoot(TBrowseLocation root) { root_ = root; }
    // Shown above the folder tree.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }

    // Runs the browser modally over the owning window. True when the user chose a folder
    // (FolderName and DisplayName hold it), false on cancel (nothing changes). Throws
    // EInvalidCast when the owner is no window. Adds BIF_VALIDATE to the option word for
    // good: a typed name that is no folder keeps the browser open.
    bool Execute();

    // The browser's callback: preselects the start folder and sends the status text when
    // the browser opens; keeps it open when a typed name is no folder.
    static int BrowseCallback(IBrowserWindow& window, unsigned message, const QString& param,
                              void* data);

    // The record as the next Execute hands it to the shell.
    const TBrowseInfo& BrowseInfo() const { return info_; }

private:
    QString displayName_;
    QString statusText_ = QStringLiteral("Verzeichnis auswählen");
    QString folderName_ = QStringLiteral("/");
    TBrowseLocation root_ = bl_STANDART;
    QString caption_ = QStringLiteral("Auswahl Verzeichnis");
    TBrowseInfo info_;
    TItemIdList customRoot_;
    std::pair<QString, QString> callbackData_; // start folder, status text
};

} // namespace plotalon
