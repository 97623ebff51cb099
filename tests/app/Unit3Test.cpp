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
        help_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&help_));
    }
    void Close() { QTest::mouseClick(help_.Abbruch, Qt::LeftButton, {}, {5, 5}); }

    test::TTempDir files_;
    TProgramFolderOverride folder_{files_.Folder()};
    TErrorRecorder errors_;
    THilfe help_;
};

TEST_F(HelpWindow, Layout) {
    EXPECT_EQ(help_.windowTitle(), u"Hilfe"_qs);
    EXPECT_EQ(help_.size(), QSize(422, 308));
    EXPECT_EQ(help_.minimumSize(), help_.maximumSize());
    EXPECT_FALSE(help_.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(help_.Panel1->geometry(), QRect(0, 0, 422, 261));
    EXPECT_EQ(help_.Memo->geometry(), QRect(0, 0, 422, 261));
    EXPECT_EQ(help_.Panel2->geometry(), QRect(0, 261, 422, 47));
    EXPECT_EQ(help_.Shape2->geometry(), QRect(0, 0, 422, 1));
    // The line along the strip's top is black, the strip below it is not.
    const QImage strip = help_.Panel2->grab().toImage();
    EXPECT_EQ(strip.pixelColor(200, 0), QColor(Qt::black));
    EXPECT_NE(strip.pixelColor(200, 1), QColor(Qt::black));
    EXPECT_EQ(help_.Abbruch->geometry(), QRect(151, 11, 113, 30));
    EXPECT_EQ(help_.Abbruch->Caption(), u"&Schließen"_qs);
    EXPECT_FALSE(help_.Abbruch->Glyph().Empty());
    EXPECT_EQ(help_.Abbruch->BrushDown().Color, kHouseDown);
    EXPECT_TRUE(help_.Memo->isReadOnly());
    EXPECT_EQ(help_.Memo->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(help_.Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(help_.Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(help_.Memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    Show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((help_.frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

TEST_F(HelpWindow, ReadsTheHelpFileAtEveryShowing) {
    Show(); // no file: an empty text
    EXPECT_EQ(help_.Memo->Text(), "");
    EXPECT_TRUE(errors_.Entries.empty());
    Close();
    EXPECT_FALSE(help_.isVisible());

    files_.Write("hilfe.txt", "Zeile 1\nGr\xf6\xdf"
                              "e\rEnde\r\n");
    Show();
    EXPECT_EQ(help_.Memo->Text(), "Zeile 1\r\nGr\xf6\xdf"
                                  "e\r\nEnde\r\n");
    EXPECT_EQ(help_.Memo->document()->findBlockByNumber(1).text(), u"Größe"_qs);
    Close();

    files_.Write("hilfe.txt", "Neu");
    Show();
    EXPECT_EQ(help_.Memo->Text(), "Neu");
    Close();

    std::filesystem::remove(files_.Path("hilfe.txt"));
    Show(); // the text of the last showing stays
    EXPECT_EQ(help_.Memo->Text(), "Neu");
    EXPECT_TRUE(errors_.Entries.empty());
}

TEST_F(HelpWindow, AFileThatCannotBeReadIsReportedAndTheWindowOpensAnyway) {
    files_.Write("hilfe.txt", std::string(TMemo::kCapacity + 1, 'x'));
    Show();
    ASSERT_EQ(errors_.Entries.size(), 1u);
    EXPECT_EQ(errors_.Entries[0].message, u"Text überschreitet Memo-Kapazität."_qs);
    EXPECT_TRUE(help_.isVisible());
    EXPECT_EQ(help_.Memo->Text(), "");
    Close();

    // Unreadable for an ordinary user. The child process cannot paint (the painting threads
    // stay behind in a fork), so it only runs what the window runs when it is shown.
    files_.Write("hilfe.txt", "geheim");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(files_.Folder()));
    ASSERT_EQ(chmod(files_.Path("hilfe.txt").c_str(), 0), 0);
    const std::string expected =
        "Datei " + files_.Path("hilfe.txt") + " kann nicht geöffnet werden";
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  try {
                      help_.FormShow();
                  } catch (const EFOpenError& e) {
                      if (e.Message() != expected) return "message: " + e.Message();
                      return help_.Memo->Text().empty() ? "" : "the memo changed";
                  }
                  return "no error";
              }),
              "");
}

TEST_F(HelpWindow, LongLinesStayWholeAndScrollSideways) {
    const std::string longLine = "Anfang " + std::string(400, '-') + " Ende";
    files_.Write("hilfe.txt", longLine + "\r\nkurz\r\n");
    Show();
    const QTextBlock first = help_.Memo->document()->firstBlock();
    EXPECT_EQ(first.layout()->lineCount(), 1); // not wrapped
    QScrollBar* bar = help_.Memo->horizontalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    ASSERT_GT(bar->maximum(), 0);
    // The range reaches the end of the long line.
    bar->setValue(bar->maximum());
    const qreal lineWidth = first.layout()->lineAt(0).naturalTextWidth();
    EXPECT_GE(bar->value() + help_.Memo->viewport()->width(), int(lineWidth));
}

TEST_F(HelpWindow, SClosesIt) {
    files_.Write("hilfe.txt", "Text");
    for (Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier)}) {
        Show();
        help_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&help_));
        help_.Memo->setFocus();
        QTest::keyClick(help_.Memo, 's', modifiers);
        EXPECT_FALSE(help_.isVisible());
        EXPECT_EQ(help_.Memo->Text(), "Text"); // read-only: nothing typed
    }
}

TEST_F(HelpWindow, ShownFromTheSettingsDialogItStaysAboveIt) {
    files_.Write("hilfe.txt", "Hilfetext");
    TForm_Einstellungen settings;
    settings.SetHelpWindow(&help_);
    settings.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
    TScriptedModal modal;
    bool onTop = false;
    QWindow* above = nullptr;
    std::string text;
    modal.Script = [&](QDialog& shown) {
        onTop = shown.windowFlags() & Qt::WindowStaysOnTopHint;
        above = shown.windowHandle()->transientParent();
        text = help_.Memo->Text();
        QTest::mouseClick(help_.Abbruch, Qt::LeftButton, {}, {5, 5});
    };
    QTest::mouseClick(settings.XPSpeedButton1, Qt::LeftButton, {}, {5, 5});
    ASSERT_EQ(modal.Shown.size(), 1u);
    EXPECT_EQ(modal.Shown[0], &help_);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(above, settings.windowHandle());
    EXPECT_EQ(text, "Hilfetext");
    EXPECT_FALSE(help_.isVisible());
    EXPECT_TRUE(settings.isVisible());
    EXPECT_FALSE(help_.windowFlags() & Qt::WindowStaysOnTopHint); // an ordinary window again
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
