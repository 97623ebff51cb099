#include "settings/folderBrowse.h"

#include "controls/XPSpeedButton.h"
#include "platform/Errors.h"
#include "settings/Unit2.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

using Message = TScriptedFolderBrowser::Message;

class FolderPicker : public ::testing::Test {
protected:
    QDialog Form;
    TBrowseForFolder Picker{&Form};
    TScriptedFolderBrowser Browser;
};

TEST_F(FolderPicker, StartsWithItsDefaults) {
    EXPECT_EQ(Picker.DisplayName(), u""_qs);
    EXPECT_EQ(Picker.StatusText(), u"Verzeichnis auswählen"_qs);
    EXPECT_EQ(Picker.FolderName(), u"/"_qs);
    EXPECT_EQ(Picker.Flags(), TBrowseFlags());
    EXPECT_EQ(Picker.Root(), bl_STANDART);
    EXPECT_EQ(Picker.Caption(), u"Auswahl Verzeichnis"_qs);
    EXPECT_EQ(Picker.BrowseInfo().ulFlags, 0u);
    EXPECT_EQ(Picker.BrowseInfo().pidlRoot, nullptr);
}

TEST_F(FolderPicker, FlagsLiveInTheOptionWordWhichKeepsTheValidateBit) {
    const unsigned bits[] = {0x1000, 0x2000, 0x0002, 0x0004, 0x0008, 0x0001, 0x0010};
    for (int flag = bf_BrowseForComputer; flag <= bf_EditBox; ++flag) {
        Picker.SetFlags({TBrowseFlag(flag)});
        EXPECT_EQ(Picker.BrowseInfo().ulFlags, bits[flag]) << flag;
        EXPECT_EQ(Picker.Flags(), TBrowseFlags{TBrowseFlag(flag)}) << flag;
    }

    Picker.SetFlags({bf_statustext, bf_EditBox});
    EXPECT_EQ(Picker.BrowseInfo().ulFlags, 0x0014u);
    EXPECT_FALSE(Picker.Execute()); // the scripted user cancels
    ASSERT_EQ(Browser.Requests.size(), 1u);
    EXPECT_EQ(Browser.Requests[0].Flags, 0x0034u);
    EXPECT_EQ(Picker.BrowseInfo().ulFlags, 0x0034u);
    EXPECT_EQ(Picker.Flags(), (TBrowseFlags{bf_statustext, bf_EditBox}));
    Picker.SetFlags({});
    EXPECT_EQ(Picker.BrowseInfo().ulFlags, 0x0020u); // the validate bit is no flag
}

TEST_F(FolderPicker, OpeningPreselectsTheStartFolderAndSendsTheStatusText) {
    Picker.SetFolderName(u"/srv/nc"_qs);
    Picker.SetStatusText(u"Bitte wählen"_qs);
    Picker.SetCaption(u"Titel"_qs);
    Picker.Execute();
    Picker.SetFolderName(u""_qs);
    Picker.SetStatusText(u""_qs);
    Picker.Execute();

    ASSERT_EQ(Browser.Requests.size(), 2u);
    const auto& first = Browser.Requests[0];
    EXPECT_EQ(first.Title, u"Titel"_qs);
    EXPECT_EQ(first.Owner, &Form);
    EXPECT_EQ(first.Sent, (std::vector<Message>{{BFFM_SETSELECTIONA, 1, u"/srv/nc"_qs},
                                                {BFFM_SETSTATUSTEXTA, 1, u"Bitte wählen"_qs}}));
    EXPECT_TRUE(Browser.Requests[1].Sent.empty()); // no folder selected, no status text
}

TEST_F(FolderPicker, ATypedNameThatIsNoFolderKeepsTheBrowserOpen) {
    Browser.TypedName = u"gibtsnicht"_qs;
    Picker.SetFlags({bf_EditBox});
    Picker.Execute();
    EXPECT_EQ(Browser.Requests.at(0).ValidateFailedResult, 1);
}

TEST_F(FolderPicker, TheChosenFolderComesBackAndCancelChangesNothing) {
    Browser.Answers = {TShellItem{u"/srv/nc"_qs, u"nc"_qs}, std::nullopt,
                       TShellItem{u""_qs, u"Drucker"_qs}};
    EXPECT_TRUE(Picker.Execute());
    EXPECT_EQ(Picker.FolderName(), u"/srv/nc"_qs);
    EXPECT_EQ(Picker.DisplayName(), u"nc"_qs);
    EXPECT_FALSE(Picker.Execute());
    EXPECT_EQ(Picker.FolderName(), u"/srv/nc"_qs);
    EXPECT_EQ(Picker.DisplayName(), u"nc"_qs);
    EXPECT_TRUE(Picker.Execute()); // an item without a file-system path
    EXPECT_EQ(Picker.FolderName(), u""_qs);
    EXPECT_EQ(Picker.DisplayName(), u"Drucker"_qs);
}

TEST_F(FolderPicker, RootsAreSpecialFoldersAndTheLastOneStays) {
    const int csidl[] = {0,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 16,
                         17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    for (int root = bl_DESKTOP; root <= bl_PRINTHOOD; ++root) {
        Picker.SetRoot(TBrowseLocation(root));
        Picker.Execute();
        const int expected = csidl[root - bl_DESKTOP];
        EXPECT_EQ(Browser.SpecialFolderRequests.back(), expected) << root;
        EXPECT_EQ(Browser.Requests.back().Root->Path, QStringLiteral("csidl:%1").arg(expected));
    }
    const std::size_t asked = Browser.SpecialFolderRequests.size();
    Picker.SetRoot(bl_STANDART);
    Picker.Execute();
    EXPECT_EQ(Browser.SpecialFolderRequests.size(), asked);
    EXPECT_EQ(Browser.Requests.back().Root->Path, u"csidl:27"_qs);
    Picker.SetRoot(bl_CUSTOM);
    Picker.Execute();
    EXPECT_EQ(Browser.Requests.back().Root, nullptr); // the empty custom root: the desktop
}

TEST(FolderPickerOwner, MustBeAWindow) {
    TScriptedFolderBrowser browser;
    QObject notAWindow;
    QWidget window;
    auto* child = new QWidget(&window);
    for (QObject* owner : {&notAWindow, static_cast<QObject*>(child)}) {
        TBrowseForFolder picker(owner);
        try {
            picker.Execute();
            ADD_FAILURE() << "no error";
        } catch (const EInvalidCast& e) {
            EXPECT_EQ(e.Message(), "Ungültige Typumwandlung");
        }
    }
    EXPECT_TRUE(browser.Requests.empty());
}

TEST(SettingsBrowse, StartsOnTheFieldsFolderAndTakesTheChoice) {
    TForm_Einstellungen dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.BDir, Qt::LeftButton, {}, {5, 5});
    TScriptedFolderBrowser browser;
    const struct {
        QLineEdit* field;
        TXPSpeedButton* button;
        const char* text;
        std::vector<Message> sent;
        std::optional<TShellItem> answer;
        const char* after;
    } cases[] = {
        {dialog.ENCDIR,
         dialog.BNCDIR,
         "/home/nc/",
         {{BFFM_SETSELECTIONA, 1, u"/home/nc"_qs}},
         TShellItem{u"/home/nc/teile"_qs, u"teile"_qs},
         "/home/nc/teile"},
        {dialog.EHPGLDIR,
         dialog.BHPGLDIR,
         "/",
         {{BFFM_SETSELECTIONA, 1, u"/"_qs}},
         std::nullopt,
         "/"},
        {dialog.EHPGLDIR, dialog.BHPGLDIR, "", {}, TShellItem{u"/plt"_qs, u"plt"_qs}, "/plt"},
        {dialog.ENCDIR,
         dialog.BNCDIR,
         "/home/nc",
         {{BFFM_SETSELECTIONA, 1, u"/home/nc"_qs}},
         std::nullopt,
         "/home/nc"},
    };
    for (const auto& c : cases) {
        c.field->setText(QString::fromUtf8(c.text));
        browser.Answers = {c.answer};
        QTest::mouseClick(c.button, Qt::LeftButton, {}, {5, 5});
        ASSERT_FALSE(browser.Requests.empty());
        auto sent = browser.Requests.back().Sent;
        // The status text always follows; only the selection depends on the field.
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), (Message{BFFM_SETSTATUSTEXTA, 1, u"Verzeichnis auswählen"_qs}));
        sent.pop_back();
        EXPECT_EQ(sent, c.sent) << c.text;
        EXPECT_EQ(browser.Requests.back().Flags, BIF_VALIDATE); // no status line, no edit box
        EXPECT_EQ(browser.Requests.back().Title, u"Auswahl Verzeichnis"_qs);
        EXPECT_EQ(c.field->text(), QString::fromUtf8(c.after)) << c.text;
    }
}

} // namespace
} // namespace plotalon
