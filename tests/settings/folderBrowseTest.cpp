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
    QDialog form_;
    TBrowseForFolder picker_{&form_};
    TScriptedFolderBrowser browser_;
};

TEST_F(FolderPicker, StartsWithItsDefaults) {
    EXPECT_EQ(picker_.DisplayName(), u""_qs);
    EXPECT_EQ(picker_.StatusText(), u"Verzeichnis auswählen"_qs);
    EXPECT_EQ(picker_.FolderName(), u"/"_qs);
    EXPECT_EQ(picker_.Flags(), TBrowseFlags());
    EXPECT_EQ(picker_.Root(), bl_STANDART);
    EXPECT_EQ(picker_.Caption(), u"Auswahl Verzeichnis"_qs);
    EXPECT_EQ(picker_.BrowseInfo().ulFlags, 0u);
    EXPECT_EQ(picker_.BrowseInfo().pidlRoot, nullptr);
}

TEST_F(FolderPicker, FlagsLiveInTheOptionWordWhichKeepsTheValidateBit) {
    const unsigned bits[] = {0x1000, 0x2000, 0x0002, 0x0004, 0x0008, 0x0001, 0x0010};
    for (int flag = bf_BrowseForComputer; flag <= bf_EditBox; ++flag) {
        picker_.SetFlags({TBrowseFlag(flag)});
        EXPECT_EQ(picker_.BrowseInfo().ulFlags, bits[flag]) << flag;
        EXPECT_EQ(picker_.Flags(), TBrowseFlags{TBrowseFlag(flag)}) << flag;
    }

    picker_.SetFlags({bf_statustext, bf_EditBox});
    EXPECT_EQ(picker_.BrowseInfo().ulFlags, 0x0014u);
    EXPECT_FALSE(picker_.Execute()); // the scripted user cancels
    ASSERT_EQ(browser_.Requests.size(), 1u);
    EXPECT_EQ(browser_.Requests[0].Flags, 0x0034u);
    EXPECT_EQ(picker_.BrowseInfo().ulFlags, 0x0034u);
    EXPECT_EQ(picker_.Flags(), (TBrowseFlags{bf_statustext, bf_EditBox}));
    picker_.SetFlags({});
    EXPECT_EQ(picker_.BrowseInfo().ulFlags, 0x0020u); // the validate bit is no flag
}

TEST_F(FolderPicker, OpeningPreselectsTheStartFolderAndSendsTheStatusText) {
    picker_.SetFolderName(u"/srv/nc"_qs);
    picker_.SetStatusText(u"Bitte wählen"_qs);
    picker_.SetCaption(u"Titel"_qs);
    picker_.Execute();
    picker_.SetFolderName(u""_qs);
    picker_.SetStatusText(u""_qs);
    picker_.Execute();

    ASSERT_EQ(browser_.Requests.size(), 2u);
    const auto& first = browser_.Requests[0];
    EXPECT_EQ(first.Title, u"Titel"_qs);
    EXPECT_EQ(first.Owner, &form_);
    EXPECT_EQ(first.Sent, (std::vector<Message>{{BFFM_SETSELECTIONA, 1, u"/srv/nc"_qs},
                                                {BFFM_SETSTATUSTEXTA, 1, u"Bitte wählen"_qs}}));
    EXPECT_TRUE(browser_.Requests[1].Sent.empty()); // no folder selected, no status text
}

TEST_F(FolderPicker, ATypedNameThatIsNoFolderKeepsTheBrowserOpen) {
    browser_.TypedName = u"gibtsnicht"_qs;
    picker_.SetFlags({bf_EditBox});
    picker_.Execute();
    EXPECT_EQ(browser_.Requests.at(0).ValidateFailedResult, 1);
}

TEST_F(FolderPicker, TheChosenFolderComesBackAndCancelChangesNothing) {
    browser_.Answers = {TShellItem{u"/srv/nc"_qs, u"nc"_qs}, std::nullopt,
                        TShellItem{u""_qs, u"Drucker"_qs}};
    EXPECT_TRUE(picker_.Execute());
    EXPECT_EQ(picker_.FolderName(), u"/srv/nc"_qs);
    EXPECT_EQ(picker_.DisplayName(), u"nc"_qs);
    EXPECT_FALSE(picker_.Execute());
    EXPECT_EQ(picker_.FolderName(), u"/srv/nc"_qs);
    EXPECT_EQ(picker_.DisplayName(), u"nc"_qs);
    EXPECT_TRUE(picker_.Execute()); // an item without a file-system path
    EXPECT_EQ(picker_.FolderName(), u""_qs);
    EXPECT_EQ(picker_.DisplayName(), u"Drucker"_qs);
}

TEST_F(FolderPicker, RootsAreSpecialFoldersAndTheLastOneStays) {
    const int csidl[] = {0,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 16,
                         17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    for (int root = bl_DESKTOP; root <= bl_PRINTHOOD; ++root) {
        picker_.SetRoot(TBrowseLocation(root));
        picker_.Execute();
        const int expected = csidl[root - bl_DESKTOP];
        EXPECT_EQ(browser_.SpecialFolderRequests.back(), expected) << root;
        EXPECT_EQ(browser_.Requests.back().Root->Path, QStringLiteral("csidl:%1").arg(expected));
    }
    const std::size_t asked = browser_.SpecialFolderRequests.size();
    picker_.SetRoot(bl_STANDART);
    picker_.Execute();
    EXPECT_EQ(browser_.SpecialFolderRequests.size(), asked);
    EXPECT_EQ(browser_.Requests.back().Root->Path, u"csidl:27"_qs);
    picker_.SetRoot(bl_CUSTOM);
    picker_.Execute();
    EXPECT_EQ(browser_.Requests.back().Root, nullptr); // the empty custom root: the desktop
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
