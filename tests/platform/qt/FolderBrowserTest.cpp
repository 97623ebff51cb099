#include "platform/qt/FolderBrowser.h"

#include "platform/qt/FileDialogs.h"
#include "tests/support/TempDir.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <filesystem>

namespace plotalon {
namespace {

// The desktop's browser over a small folder tree, driven through the modal runner.
class DesktopBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(files_.Path("nc/teile"));
        std::filesystem::create_directories(files_.Path("plt"));
        info_.hwndOwner = &owner_;
        info_.lpszTitle = u"Auswahl Verzeichnis"_qs;
        info_.lpfn = &Record;
        info_.lParam = &heard_;
        info_.pszDisplayName = &displayName_;
    }
    // The callback: notes what it hears, preselects "nc" and sends a status text on opening,
    // and keeps the browser open on a typed name that is no folder.
    static int Record(IBrowserWindow& window, unsigned message, const QString& param, void* data) {
        auto& heard = *static_cast<std::vector<std::pair<unsigned, QString>>*>(data);
        heard.emplace_back(message, param);
        if (message == BFFM_INITIALIZED) {
            window.SendMessage(BFFM_SETSELECTIONA, 1, QString::fromStdString(StartFolder));
            window.SendMessage(BFFM_SETSTATUSTEXTA, 1, u"Verzeichnis auswählen"_qs);
        }
        return message == BFFM_VALIDATEFAILEDA ? 1 : 0;
    }
    static void PressOk(QDialog& dialog) {
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }

    test::TTempDir files_;
    QDialog owner_;
    TBrowseInfo info_;
    QString displayName_;
    std::vector<std::pair<unsigned, QString>> heard_;
    TScriptedModal modal_;
    static inline std::string StartFolder;
};

TEST_F(DesktopBrowser, ShowsTheStatusLineAndEditBoxOnlyWhenAskedAndPreselects) {
    StartFolder = files_.Path("nc");
    for (unsigned flags : {0u, BIF_STATUSTEXT | BIF_EDITBOX}) {
        info_.ulFlags = flags;
        bool statusShown = false, editShown = false;
        QString status, selected;
        modal_.Script = [&](QDialog& dialog) {
            auto& browser = static_cast<TFolderBrowserDialog&>(dialog);
            statusShown = browser.Status->isVisible();
            editShown = browser.EditBox->isVisible();
            status = browser.Status->text();
            selected = static_cast<QFileSystemModel*>(browser.Tree->model())
                           ->filePath(browser.Tree->currentIndex());
            EXPECT_EQ(browser.Title->text(), u"Auswahl Verzeichnis"_qs);
            EXPECT_EQ(browser.parentWidget(), &owner_);
            PressOk(dialog);
        };
        const TItemIdList chosen = SHBrowseForFolder(info_);
        EXPECT_EQ(statusShown, flags != 0);
        EXPECT_EQ(editShown, flags != 0);
        EXPECT_EQ(status, u"Verzeichnis auswählen"_qs); // received either way
        EXPECT_EQ(selected.toStdString(), StartFolder);
        ASSERT_NE(chosen, nullptr);
        QString path;
        EXPECT_TRUE(SHGetPathFromIDList(chosen, path));
        EXPECT_EQ(path.toStdString(), StartFolder);
        EXPECT_EQ(displayName_, u"nc"_qs);
    }
    EXPECT_EQ(heard_.front().first, BFFM_INITIALIZED);
    EXPECT_EQ(heard_.back(), std::make_pair(BFFM_SELCHANGED, QString::fromStdString(StartFolder)));
}

TEST_F(DesktopBrowser, TypedNamesAreCheckedAndCancelChoosesNothing) {
    StartFolder = files_.Path("nc");
    info_.ulFlags = BIF_EDITBOX | BIF_VALIDATE;
    bool stayedOpen = false;
    modal_.Script = [&](QDialog& dialog) {
        auto& browser = static_cast<TFolderBrowserDialog&>(dialog);
        browser.EditBox->setText(u"gibtsnicht"_qs);
        PressOk(dialog);
        stayedOpen = dialog.isVisible();
        browser.EditBox->setText(u"plt"_qs); // a sibling of the selected folder
        PressOk(dialog);
    };
    TItemIdList chosen = SHBrowseForFolder(info_);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(heard_.back(), std::make_pair(BFFM_VALIDATEFAILEDA, u"gibtsnicht"_qs));
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->Path.toStdString(), files_.Path("plt"));

    displayName_ = u"unchanged"_qs;
    modal_.Script = [](QDialog& dialog) { dialog.reject(); };
    EXPECT_EQ(SHBrowseForFolder(info_), nullptr);
    EXPECT_EQ(displayName_, u"unchanged"_qs);
}

TEST_F(DesktopBrowser, ThePreselectedFolderIsBroughtIntoView) {
    for (int i = 0; i < 60; ++i)
        std::filesystem::create_directories(files_.Path("many/f" + std::to_string(100 + i)));
    std::filesystem::create_directories(files_.Path("many/zz/ziel"));
    StartFolder = files_.Path("many/zz/ziel");
    info_.pidlRoot = std::make_shared<const TShellItem>(
        TShellItem{QString::fromStdString(files_.Path("many")), u"many"_qs});
    bool inView = false;
    modal_.Script = [&](QDialog& dialog) {
        auto& browser = static_cast<TFolderBrowserDialog&>(dialog);
        // The folders are read in the background and sorted in afterwards, which pushes
        // the preselected one far down: wait until they are all there and sorted.
        const QPersistentModelIndex target(browser.Tree->currentIndex());
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return target.parent().parent().row() >= 0 &&
                   browser.Tree->model()->rowCount(target.parent().parent()) == 61;
        }));
        ASSERT_TRUE(QTest::qWaitFor([&] { return target.parent().row() == 60; }));
        inView = QTest::qWaitFor(
            [&] {
                return browser.Tree->viewport()->rect().contains(browser.Tree->visualRect(target));
            },
            1000);
        dialog.reject();
    };
    SHBrowseForFolder(info_);
    EXPECT_TRUE(inView);
}

TEST(SpecialFolders, LinuxCounterpartsOrTheDesktop) {
    test::TTempDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QByteArray::fromStdString(home.Folder()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path(".config")));
    std::filesystem::create_directories(home.Path("Documents"));
    std::filesystem::create_directories(home.Path(".config/autostart"));

    EXPECT_EQ(SpecialFolderPath(CSIDL_PERSONAL).toStdString(), home.Path("Documents"));
    EXPECT_EQ(SpecialFolderPath(CSIDL_STARTUP).toStdString(), home.Path(".config/autostart"));
    EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOP), u"/"_qs);
    EXPECT_EQ(SpecialFolderPath(CSIDL_PRINTERS), u"/"_qs);         // no counterpart
    EXPECT_EQ(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), u"/"_qs); // no ~/Desktop here
    EXPECT_EQ(SHGetSpecialFolderLocation(CSIDL_PERSONAL)->DisplayName, u"Documents"_qs);

    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

TEST(ShellPaths, ItemsWithoutPathOrWithTooLongAPathGiveNone) {
    QString path = u"stale"_qs;
    EXPECT_FALSE(SHGetPathFromIDList(nullptr, path));
    EXPECT_TRUE(path.isEmpty());
    auto printers = std::make_shared<const TShellItem>(TShellItem{u""_qs, u"Drucker"_qs});
    EXPECT_FALSE(SHGetPathFromIDList(printers, path));
    auto deep = std::make_shared<const TShellItem>(
        TShellItem{u"/"_qs + QString(qsizetype(kMaxPath), u'a'), u"a"_qs});
    EXPECT_FALSE(SHGetPathFromIDList(deep, path));
}

} // namespace
} // namespace plotalon
