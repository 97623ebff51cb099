#include "platform/qt/ErrorReport.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/Questions.h"
#include "platform/qt/Shell.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(QtClipboard, TextAndPrivateFormatsTravelInOneTransaction) {
    TQtClipboard clipboard;
    ASSERT_TRUE(clipboard.Open());
    EXPECT_FALSE(clipboard.Open()); // already open
    EXPECT_TRUE(clipboard.Clear());
    EXPECT_TRUE(clipboard.SetData(Clipboard::kText, "G1 X1\r\n\xe4"));
    EXPECT_TRUE(clipboard.SetData("Plotalon Block", std::string_view("\x02\0\0\0ab", 6)));
    clipboard.Close();

    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"G1 X1\nä"_qs);
    EXPECT_EQ(clipboard.Data(Clipboard::kText), "G1 X1\n\xe4");
    EXPECT_EQ(clipboard.Data("Plotalon Block"), std::string("\x02\0\0\0ab", 6));
    EXPECT_FALSE(clipboard.HasFormat("Other"));
    EXPECT_EQ(clipboard.Data("Other"), std::nullopt);
}

// Other programs of the desktop get LF line breaks and no NUL character; the private
// formats keep their bytes.
TEST(QtClipboard, PlainTextHasTheDesktopsLineBreaksAndEndsAtItsZeroByte) {
    const struct {
        std::string_view bytes;
        const char16_t* text;
    } cases[] = {{std::string_view("G1\r\nX2\0rest", 11), u"G1\nX2"},
                 {"A\rB\nC\r\n\r\nD\r", u"A\nB\nC\n\nD\n"},
                 {"\r\r\n", u"\n\n"}};
    for (const auto& c : cases) {
        TQtClipboard clipboard;
        ASSERT_TRUE(clipboard.Open());
        clipboard.Clear();
        clipboard.SetData(Clipboard::kText, c.bytes);
        clipboard.SetData("Block", c.bytes);
        clipboard.Close();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf16(c.text));
        EXPECT_EQ(clipboard.Data("Block"), std::string(c.bytes));
    }
}

TEST(QtClipboard, ClearingEmptiesAndWritingNeedsOpen) {
    TQtClipboard clipboard;
    EXPECT_FALSE(clipboard.SetData(Clipboard::kText, "x"));
    EXPECT_FALSE(clipboard.Clear());
    ASSERT_TRUE(clipboard.Open());
    clipboard.SetData(Clipboard::kText, "keep");
    clipboard.Close();
    ASSERT_TRUE(clipboard.Open());
    clipboard.SetData("Extra", "1"); // added to what is there
    clipboard.Close();
    EXPECT_EQ(clipboard.Data(Clipboard::kText), "keep");
    EXPECT_TRUE(clipboard.HasFormat("Extra"));
    ASSERT_TRUE(clipboard.Open());
    clipboard.Clear();
    clipboard.Close();
    EXPECT_FALSE(clipboard.HasFormat(Clipboard::kText));
    EXPECT_FALSE(clipboard.HasFormat("Extra"));
}

TEST(Shell, RecorderSeesExactlyWhatIsHandedOver) {
    TShellRecorder recorder;
    QWidget window;
    Shell().Execute(&window, u"open"_qs, u"mailto:a@b.de?subject=Kontakt PLOTALON 1.1&Body="_qs,
                    swShow);
    ASSERT_EQ(recorder.Calls.size(), 1u);
    EXPECT_EQ(recorder.Calls[0].parent, &window);
    EXPECT_EQ(recorder.Calls[0].file, u"mailto:a@b.de?subject=Kontakt PLOTALON 1.1&Body="_qs);
    EXPECT_EQ(recorder.Calls[0].show, swShow);
}

TEST(FileDialogs, WindowsFiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters(u"*.nc|*.nc|*.cnc|*.cnc|*.*|*.*"_qs),
              (QStringList{u"*.nc (*.nc)"_qs, u"*.cnc (*.cnc)"_qs, u"*.* (*.*)"_qs}));
    EXPECT_EQ(QtNameFilters(u"NC|*.nc;*.cnc|dangling"_qs), QStringList{u"NC (*.nc *.cnc)"_qs});
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}

TEST(FileDialogs, ScriptAnswersInOrderThenCancels) {
    TScriptedFileDialogs script;
    script.Answers = {u"/tmp/a.nc"_qs, std::nullopt};
    TFileDialogOptions options;
    options.DefaultExt = u"plt"_qs;
    EXPECT_EQ(FileDialogs().Execute(fdOpen, nullptr, options), u"/tmp/a.nc"_qs);
    EXPECT_EQ(FileDialogs().Execute(fdSave, nullptr, options), std::nullopt);
    EXPECT_EQ(FileDialogs().Execute(fdSave, nullptr, options), std::nullopt);
    ASSERT_EQ(script.Requests.size(), 3u);
    EXPECT_EQ(script.Requests[1].kind, fdSave);
    EXPECT_EQ(script.Requests[1].options.DefaultExt, u"plt"_qs);
}

// The real box, answered with real keys and clicks once it is up.
TEST(Questions, TheBoxAsksWithJaAndNeinAndEnterGivesThePreset) {
    SetApplicationTitle(u"PLOTALON 1.1"_qs);
    QWidget parent;
    const struct {
        TAnswer preset;
        std::function<void(QMessageBox&)> answer;
        TAnswer expected;
    } cases[] = {
        {TAnswer::No, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, TAnswer::No},
        {TAnswer::Yes, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); },
         TAnswer::Yes},
        {TAnswer::Yes, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
         TAnswer::No},
        {TAnswer::No,
         [](QMessageBox& box) {
             for (QAbstractButton* button : box.buttons())
                 if (button->text() == u"&Ja")
                     QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
         },
         TAnswer::Yes},
    };
    for (const auto& c : cases) {
        QString caption, text;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            c.answer(*box);
        });
        EXPECT_EQ(Questions().Ask(&parent, u"Wirklich?"_qs, c.preset), c.expected);
        EXPECT_EQ(caption, u"PLOTALON 1.1"_qs);
        EXPECT_EQ(text, u"Wirklich?"_qs);
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{u"&Ja"_qs, u"&Nein"_qs}));
    }
}

TEST(Questions, ScriptAnswersInOrderThenSaysNo) {
    TScriptedQuestions script;
    script.Answers = {TAnswer::Yes};
    EXPECT_EQ(Questions().Ask(nullptr, u"Erste?"_qs, TAnswer::No), TAnswer::Yes);
    EXPECT_EQ(Questions().Ask(nullptr, u"Zweite?"_qs, TAnswer::Yes), TAnswer::No);
    ASSERT_EQ(script.Asked.size(), 2u);
    EXPECT_EQ(script.Asked[1].text, u"Zweite?"_qs);
    EXPECT_EQ(script.Asked[1].preset, TAnswer::Yes);
}

TEST(Modal, ScriptRunsOnTheShownDialogAndItsResultIsReturned) {
    TScriptedModal modal;
    QDialog dialog;
    auto* ok = new QPushButton(&dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    modal.Script = [&](QDialog& shown) {
        EXPECT_TRUE(shown.isVisible());
        ok->click();
    };
    EXPECT_EQ(RunModal(dialog), QDialog::Accepted);
    modal.Script = nullptr;
    EXPECT_EQ(RunModal(dialog), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(modal.Shown.size(), 2u);
}

} // namespace
} // namespace plotalon
