#include "app/Unit3.h"

#include "controls/XPSpeedButton.h"
#include "platform/Errors.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/Memo.h"
#include "platform/qt/Shape.h"
#include "settings/Unit2.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QWindow>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace plotalon {
namespace {

class HelpWindow : public ::testing::Test {
protected:
    void Show() {
        Help.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Help));
    }
    void Close() { QTest::mouseClick(Help.Abbruch, Qt::LeftButton, {}, {5, 5}); }

    test::TTempDir Files;
    TProgramFolderOverride Folder{Files.Folder()};
    TErrorRecorder Errors;
    THilfe Help;
};

TEST_F(HelpWindow, Layout) {
    EXPECT_EQ(Help.windowTitle(), u"Hilfe"_qs);
    EXPECT_EQ(Help.size(), QSize(422, 308));
    EXPECT_EQ(Help.minimumSize(), Help.maximumSize());
    EXPECT_FALSE(Help.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Help.Panel1->geometry(), QRect(0, 0, 422, 261));
    EXPECT_EQ(Help.Memo->geometry(), QRect(0, 0, 422, 261));
    EXPECT_EQ(Help.Panel2->geometry(), QRect(0, 261, 422, 47));
    EXPECT_EQ(Help.Shape2->geometry(), QRect(0, 0, 422, 1));
    // The line along the strip's top is black, the strip below it is not.
    const QImage strip = Help.Panel2->grab().toImage();
    EXPECT_EQ(strip.pixelColor(200, 0), QColor(Qt::black));
    EXPECT_NE(strip.pixelColor(200, 1), QColor(Qt::black));
    EXPECT_EQ(Help.Abbruch->geometry(), QRect(151, 11, 113, 30));
    EXPECT_EQ(Help.Abbruch->Caption(), u"&Schließen"_qs);
    EXPECT_FALSE(Help.Abbruch->Glyph().Empty());
    EXPECT_EQ(Help.Abbruch->BrushDown().Color, kHouseDown);
    EXPECT_TRUE(Help.Memo->isReadOnly());
    EXPECT_EQ(Help.Memo->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(Help.Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(Help.Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Help.Memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    Show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((Help.frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

TEST_F(HelpWindow, ReadsTheHelpFileAtEveryShowing) {
    Show(); // no file: an empty text
    EXPECT_EQ(Help.Memo->Text(), "");
    EXPECT_TRUE(Errors.Entries.empty());
    Close();
    EXPECT_FALSE(Help.isVisible());

    Files.Write("hilfe.txt", "Zeile 1\nGr\xf6\xdf"
                             "e\rEnde\r\n");
    Show();
    EXPECT_EQ(Help.Memo->Text(), "Zeile 1\r\nGr\xf6\xdf"
                                 "e\r\nEnde\r\n");
    EXPECT_EQ(Help.Memo->document()->findBlockByNumber(1).text(), u"Größe"_qs);
    Close();

    Files.Write("hilfe.txt", "Neu");
    Show();
    EXPECT_EQ(Help.Memo->Text(), "Neu");
    Close();

    std::filesystem::remove(Files.Path("hilfe.txt"));
    Show(); // the text of the last showing stays
    EXPECT_EQ(Help.Memo->Text(), "Neu");
    EXPECT_TRUE(Errors.Entries.empty());
}

TEST_F(HelpWindow, AFileThatCannotBeReadIsReportedAndTheWindowOpensAnyway) {
    Files.Write("hilfe.txt", std::string(TMemo::kCapacity + 1, 'x'));
    Show();
    ASSERT_EQ(Errors.Entries.size(), 1u);
    EXPECT_EQ(Errors.Entries[0].message, u"Text überschreitet Memo-Kapazität."_qs);
    EXPECT_TRUE(Help.isVisible());
    EXPECT_EQ(Help.Memo->Text(), "");
    Close();

    // Unreadable for an ordinary user. The child process cannot paint (the painting threads
    // stay behind in a fork), so it only runs what the window runs when it is shown.
    Files.Write("hilfe.txt", "geheim");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(Files.Folder()));
    ASSERT_EQ(chmod(Files.Path("hilfe.txt").c_str(), 0), 0);
    const std::string expected = "Datei " + Files.Path("hilfe.txt") + " kann nicht geöffnet werden";
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  try {
                      Help.FormShow();
                  } catch (const EFOpenError& e) {
                      if (e.Message() != expected) return "message: " + e.Message();
                      return Help.Memo->Text().empty() ? "" : "the memo changed";
                  }
                  return "no error";
              }),
              "");
}

TEST_F(HelpWindow, LongLinesStayWholeAndScrollSideways) {
    const std::string longLine = "Anfang " + std::string(400, '-') + " Ende";
    Files.Write("hilfe.txt", longLine + "\r\nkurz\r\n");
    Show();
    const QTextBlock first = Help.Memo->document()->firstBlock();
    EXPECT_EQ(first.layout()->lineCount(), 1); // not wrapped
    QScrollBar* bar = Help.Memo->horizontalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    ASSERT_GT(bar->maximum(), 0);
    // The range reaches the end of the long line.
    bar->setValue(bar->maximum());
    const qreal lineWidth = first.layout()->lineAt(0).naturalTextWidth();
    EXPECT_GE(bar->value() + Help.Memo->viewport()->width(), int(lineWidth));
}

TEST_F(HelpWindow, SClosesIt) {
    Files.Write("hilfe.txt", "Text");
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier)}) {
        Show();
        Help.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Help));
        Help.Memo->setFocus();
        QTest::keyClick(Help.Memo, 's', modifiers);
        EXPECT_FALSE(Help.isVisible());
        EXPECT_EQ(Help.Memo->Text(), "Text"); // read-only: nothing typed
    }
}

TEST_F(HelpWindow, ShownFromTheSettingsDialogItStaysAboveIt) {
    Files.Write("hilfe.txt", "Hilfetext");
    TForm_Einstellungen settings;
    settings.SetHelpWindow(&Help);
    settings.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
    TScriptedModal modal;
    bool onTop = false;
    QWindow* above = nullptr;
    std::string text;
    modal.Script = [&](QDialog& shown) {
        onTop = shown.windowFlags() & Qt::WindowStaysOnTopHint;
        above = shown.windowHandle()->transientParent();
        text = Help.Memo->Text();
        QTest::mouseClick(Help.Abbruch, Qt::LeftButton, {}, {5, 5});
    };
    QTest::mouseClick(settings.XPSpeedButton1, Qt::LeftButton, {}, {5, 5});
    ASSERT_EQ(modal.Shown.size(), 1u);
    EXPECT_EQ(modal.Shown[0], &Help);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(above, settings.windowHandle());
    EXPECT_EQ(text, "Hilfetext");
    EXPECT_FALSE(Help.isVisible());
    EXPECT_TRUE(settings.isVisible());
    EXPECT_FALSE(Help.windowFlags() & Qt::WindowStaysOnTopHint); // an ordinary window again
}

TEST(ShippedHelp, IsWindows1252WithCrLfAndLoadsWhole) {
    const std::string bytes = test::TTempDir::Read(PLOTALON_BUILT_HELP_FILE);
    ASSERT_GT(bytes.size(), 1000u);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == '\n') ++lines;
        ASSERT_TRUE(b != '\n' || (i > 0 && bytes[i - 1] == '\r')) << "lone LF at " << i;
        ASSERT_TRUE(b != '\r' || (i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            << "lone CR at " << i;
        // No UTF-8 lead bytes of umlauts, none of the bytes Windows-1252 leaves unassigned.
        ASSERT_TRUE(b != 0xC3 && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
            << "byte " << int(b) << " at " << i;
    }
    EXPECT_NE(bytes.find("\xf6"
                         "ffnen"),
              std::string::npos); // "öffnen" as one byte per letter

    const std::string folder(PLOTALON_BUILT_HELP_FILE);
    TProgramFolderOverride beside(folder.substr(0, folder.rfind('/') + 1));
    TErrorRecorder errors;
    THilfe help;
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    EXPECT_TRUE(errors.Entries.empty());
    EXPECT_EQ(std::size_t(help.Memo->blockCount()), lines + 1);
    EXPECT_EQ(help.Memo->Text(), bytes);
}

} // namespace
} // namespace plotalon
