#include "settings/folderBrowse.h"

#include "platform/Errors.h"

#include <QWidget>

namespace plotalon {

namespace {

// The shell option of each TBrowseFlag, by ordinal.
constexpr unsigned kFlagBits[] = {BIF_BROWSEFORCOMPUTER,
                                  BIF_BROWSEFORPRINTER,
                                  BIF_DONTGOBELOWDOMAIN,
                                  BIF_STATUSTEXT,
                                  BIF_RETURNFSANCESTORS,
                                  BIF_RETURNONLYFSDIRS,
                                  BIF_EDITBOX};

// The special folder of each TBrowseLocation, by ordinal; the first two name none.
constexpr int kLocationCsidl[] = {
    -1,
    -1,
    CSIDL_DESKTOP,
    CSIDL_PROGRAMS,
    CSIDL_CONTROLS,
    CSIDL_PRINTERS,
    CSIDL_PERSONAL,
    CSIDL_FAVORITES,
    CSIDL_STARTUP,
    CSIDL_RECENT,
    CSIDL_SENDTO,
    CSIDL_BITBUCKET,
    CSIDL_STARTMENU,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_DRIVES,
    CSIDL_NETWORK,
    CSIDL_NETHOOD,
    CSIDL_FONTS,
    CSIDL_TEMPLATES,
    CSIDL_COMMON_STARTMENU,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_COMMON_STARTUP,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_APPDATA,
    CSIDL_PRINTHOOD,
};
static_assert(std::size(kLocationCsidl) == bl_PRINTHOOD + 1);

} // namespace

TBrowseForFolder::TBrowseForFolder(QObject* owner) : QObject(owner) {}

TBrowseFlags TBrowseForFolder::Flags() const {
    TBrowseFlags flags;
    for (std::size_t flag = 0; flag < std::size(kFlagBits); ++flag)
        if (info_.ulFlags & kFlagBits[flag]) flags.Include(TBrowseFlag(flag));
    return flags;
}

void TBrowseForFolder::SetFlags(TBrowseFlags flags) {
    for (std::size_t flag = 0; flag < std::size(kFlagBits); ++flag) {
        if (flags.Contains(TBrowseFlag(flag)))
            info_.ulFlags |= kFlagBits[flag];
        else
            info_.ulFlags &= ~kFlagBits[flag];
    }
}

bool TBrowseForFolder::Execute() {
    info_.hwndOwner = nullptr;
    info_.lpszTitle = caption_;
    if (root_ == bl_CUSTOM)
        info_.pidlRoot = customRoot_;
    else if (root_ != bl_STANDART)
        info_.pidlRoot = SHGetSpecialFolderLocation(kLocationCsidl[root_]);

    auto* form = qobject_cast<QWidget*>(parent());
    if (!form || !form->isWindow()) throw EInvalidCast();
    info_.hwndOwner = form;
    info_.lpfn = &BrowseCallback;
    callbackData_ = {folderName_, statusText_};
    info_.lParam = &callbackData_;
    info_.ulFlags |= BIF_VALIDATE;

    QString displayName;
    displayName.reserve(qsizetype(kMaxPath));
    info_.pszDisplayName = &displayName;
    const TItemIdList chosen = SHBrowseForFolder(info_);
    info_.pszDisplayName = nullptr;
    if (!chosen) return false;
    QString path;
    SHGetPathFromIDList(chosen, path); // empty for an item without a file-system path
    folderName_ = path;
    displayName_ = displayName;
    return true;
}

int TBrowseForFolder::BrowseCallback(IBrowserWindow& window, unsigned message, const QString&,
                                     void* data) {
    const auto& [startFolder, statusText] = *static_cast<const std::pair<QString, QString>*>(data);
    switch (message) {
    case BFFM_INITIALIZED:
        if (!startFolder.isEmpty()) window.SendMessage(BFFM_SETSELECTIONA, 1, startFolder);
        if (!statusText.isEmpty()) window.SendMessage(BFFM_SETSTATUSTEXTA, 1, statusText);
        return 0;
    case BFFM_VALIDATEFAILEDA:
        return 1;
    default:
        return 0;
    }
}

} // namespace plotalon
