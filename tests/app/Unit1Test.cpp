#include "app/Unit1.h"

#include "app/Program.h"
#include "app/SendProgress.h"
#include "app/StatusProgress.h"
#include "app/VorschauLink.h"
#include "controls/XPSpeedButton.h"
#include "editor/ncSyn.h"
#include "editor/view/CodeEdit.h"
#include "engine/ConversionRun.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/Image.h"
#include "platform/qt/Memo.h"
#include "platform/qt/Panel.h"
#include "platform/qt/Questions.h"
#include "platform/qt/Splitter.h"
#include "preview/qt/Vorschau.h"
#include "tests/preview/qt/PlotPixels.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <random>
#include <sys/stat.h>

namespace plotalon {
namespace {

// The settings of the complete example: factor 1000, no offsets, HPGL 1, 45 degrees, with a
// prefix and a suffix line; NC files are opened from nc/, PLT files saved to plt/.
const char* const kExampleIni = "[path]\r\nnc={dir}/nc\r\nhpgl={dir}/plt\r\n[convert]\r\n"
                                "factor=1000\r\nxmove=0\r\nymove=0\r\ndeg=45\r\ntype={type}\r\n";
const char* const kExampleNc = "G0 X0 Y0\nG1 Z-1\nG1 X10\nG3 X20 Y0 R5\nG0 Z5\nM30\n";
const std::vector<std::string> kExampleHpgl = {"IN;SP1;",        "PU0,0;",         "PD;",
                                               "PA10000,0;",     "PA11464,-3536;", "PA15000,-5000;",
                                               "PA18536,-3536;", "PA20000,0;",     "SP0;"};

std::vector<std::string> LinesOf(const TCodeEdit* pane) {
    std::vector<std::string> lines;
    for (int i = 0; i < pane->Lines().Count(); ++i)
        lines.emplace_back(pane->Lines().LineAt(std::size_t(i)));
    return lines;
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at; (at = text.find(what)) != std::string::npos;)
        text.replace(at, what.size(), with);
    return text;
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Runs the event loop until the window's work has ended.
void WaitForWork(TForm1* form) {
    ASSERT_TRUE(QTest::qWaitFor([form] { return !form->Busy(); }, 60000));
    QCoreApplication::processEvents();
}

// The program's windows over a folder of their own, holding the example's settings files.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSettings(1);
        std::filesystem::create_directory(Files.Path("nc"));
        std::filesystem::create_directory(Files.Path("plt"));
        Files.Write("nc/teil.nc", kExampleNc);
    }

    void WriteSettings(int type) {
        std::string ini = Replace(kExampleIni, "{dir}", Files.Folder());
        Files.Write("main.ini", Replace(ini, "{type}", std::to_string(type)));
        Files.Write("vorspann.plt", "IN;SP1;");
        Files.Write("nachspann.plt", "SP0;");
    }

    // Makes the windows as the program does; shows the main window unless told not to, and
    // waits for it where painting is allowed. The default argument names no file: no splash,
    // nothing loaded.
    enum TShow { Shown, ShownNoWait, Hidden };
    void Start(std::vector<std::string> parameters = {"-"}, TShow show = Shown) {
        Program = std::make_unique<TProgram>(std::move(parameters));
        Form = &Program->Form1;
        if (show == Hidden) return;
        Form->show();
        if (show == Shown) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
        }
    }

    static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, {5, 5}); }

    // Chooses a command as the user does: in the menu bar, or in the "Datei" menu opened
    // from it; the command runs once the menu is done with the click.
    void Choose(QAction* item) {
        QMenuBar* bar = Form->MainMenu1;
        if (bar->actions().contains(item)) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(item).center());
            QCoreApplication::processEvents();
            return;
        }
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(Form->Datei1->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->Datei1));
        QTest::mouseClick(Form->Datei1, Qt::LeftButton, {},
                          Form->Datei1->actionGeometry(item).center());
        QCoreApplication::processEvents();
        EXPECT_FALSE(Form->Datei1->isVisible());
    }

    // Opens the example NC file through "&NC öffnen".
    void OpenExample() {
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(Files.Path("nc/teil.nc"))};
        Click(Form->XPSpeedButton1);
        WaitForWork(Form);
        ASSERT_EQ(Form->StatusText(), Q("NC-Datei " + Files.Path("nc/teil.nc") + " geladen"));
    }

    // Types text into a pane as the user does.
    static void Type(TCodeEdit* pane, const char* text) {
        pane->setFocus();
        QTest::keyClicks(pane, QString::fromUtf8(text));
    }

    test::TTempDir Files;
    TProgramFolderOverride Folder{Files.Folder()};
    TErrorRecorder Errors;
    TScriptedQuestions Questions; // no answer: the user says "Nein"
    std::unique_ptr<TProgram> Program;
    TForm1* Form = nullptr;
};

// ---- Layout ----

TEST_F(MainWindow, CaptionSizeMenuAndButtons) {
    Start({"-"}, Hidden);
    EXPECT_EQ(Form->windowTitle(), u"Plotalon 1.1"_qs);
    EXPECT_EQ(Form->size(), QSize(541, 409));
    EXPECT_EQ(Form->minimumSize(), QSize(540, 250));
    EXPECT_TRUE(Form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(Form->font().pixelSize(), 11);

    // The menu bar: one submenu, then commands.
    const QList<QAction*> top = Form->MainMenu1->actions();
    const struct {
        QAction* item;
        const char* caption;
    } items[] = {
        {Form->Datei1->menuAction(), "&Datei"},
        {Form->HPGLerzeugen1, "&HPGL erzeugen"},
        {Form->Vorschau1, "&Vorschau"},
        {Form->Einstellungen1, "&Einstellungen"},
        {Form->Info1, "&Info"},
        {Form->Beenden1, "&Beenden"},
    };
    ASSERT_EQ(top.size(), qsizetype(std::size(items)));
    for (std::size_t i = 0; i < std::size(items); ++i) {
        EXPECT_EQ(top[qsizetype(i)], items[i].item);
        EXPECT_EQ(top[qsizetype(i)]->text(), QString::fromUtf8(items[i].caption));
        EXPECT_EQ(top[qsizetype(i)]->menu() != nullptr, i == 0);
    }
    const QList<QAction*> file = Form->Datei1->actions();
    ASSERT_EQ(file.size(), 6);
    EXPECT_EQ(file[0], Form->NCDateiffnen1);
    EXPECT_EQ(file[0]->text(), u"&NC-Datei öffnen ..."_qs);
    EXPECT_EQ(file[1], Form->AlsNCDateispeichern1);
    EXPECT_EQ(file[1]->text(), u"NC-Daten speichern ..."_qs);
    EXPECT_TRUE(file[2]->isSeparator());
    EXPECT_EQ(file[3], Form->HPGLDatenalsPLTDateispeichern1);
    EXPECT_EQ(file[3]->text(), u"&HPGL-Daten als PLT-Datei speichern ..."_qs);
    EXPECT_TRUE(file[4]->isSeparator());
    EXPECT_EQ(file[5], Form->AnPlottersenden1);
    EXPECT_EQ(file[5]->text(), u"An &Plotter senden ..."_qs);
    EXPECT_EQ(file[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    for (QAction* item : file.first(4))
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();

    const struct {
        TXPSpeedButton* button;
        int left;
        const char* caption;
    } buttons[] = {{Form->XPSpeedButton1, 8, "&NC öffnen"},
                   {Form->XPSpeedButton3, 128, "&HPGL erzeugen"},
                   {Form->XPSpeedButton2, 248, "H&PGL speichern"},
                   {Form->Button_Einstellungen, 368, "&Einstellungen"},
                   {Form->Button_Vorschau, 488, "&Vorschau"}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.caption);
        EXPECT_EQ(b.button->parentWidget(), Form->Panel2);
        EXPECT_EQ(b.button->geometry(), QRect(b.left, 4, 113, 30));
        EXPECT_EQ(b.button->Caption(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.button->Glyph().Image().size(), QSize(16, 16));
        EXPECT_EQ(b.button->Margin(), 5);
        EXPECT_EQ(b.button->BrushNormal().Color, clSilver);
        EXPECT_EQ(b.button->BrushActive().Color, kHouseActive);
        EXPECT_EQ(b.button->cursor().shape(), Qt::PointingHandCursor);
    }

    const struct {
        const char* filter;
        const char* extension;
        const TFileDialogOptions& dialog;
    } dialogs[] = {
        {"*.nc|*.nc|*.cnc|*.cnc|*.*|*.*|*.ngc|*.ngc|*.tap|*.tap", ".nc", Form->OpenDialog},
        {"*.plt|*.plt|*.*|*.*", "plt", Form->SaveDialog},
        {"*.nc|*.nc|*.*|*.*", "nc", Form->SaveDialogNC}};
    for (const auto& d : dialogs) {
        EXPECT_EQ(d.dialog.Filter, QString::fromUtf8(d.filter));
        EXPECT_EQ(d.dialog.DefaultExt, QString::fromUtf8(d.extension));
    }
}

TEST_F(MainWindow, PanelsAndPanesFillTheWindow) {
    Start({"-"}, Hidden);
    Form->setWindowState(Qt::WindowNoState);
    Form->resize(700, 400);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
    const int width = Form->centralWidget()->width();
    EXPECT_EQ(width, 700);
    EXPECT_EQ(Form->Panel2->geometry(), QRect(0, 0, width, 41));
    EXPECT_EQ(Form->Panel1->geometry(), QRect(width - 48, 0, 48, 41));
    EXPECT_EQ(Form->Image1->geometry(), QRect(8, 4, 32, 32));
    EXPECT_EQ(Form->Image1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Form->Image1->Picture().Image().size(), QSize(32, 32));
    EXPECT_EQ(Form->Panel_Haupt->geometry(),
              QRect(0, 41, width, Form->centralWidget()->height() - 41));

    const int height = Form->Panel_Haupt->height();
    EXPECT_EQ(Form->Panel_Links->geometry(), QRect(0, 0, 350, height));
    EXPECT_EQ(Form->Splitter1->geometry(), QRect(350, 0, 3, height));
    EXPECT_EQ(Form->Panel_Rechts->geometry(), QRect(353, 0, width - 353, height));
    for (auto [panel, header, label, pane, caption] :
         {std::tuple{Form->Panel_Links, Form->Panel5, Form->Label1, Form->Quelle, "NC"},
          std::tuple{Form->Panel_Rechts, Form->Panel6, Form->Label2, Form->Ziel, "HPGL"}}) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(panel->minimumWidth(), 100);
        EXPECT_EQ(header->geometry(), QRect(0, 0, panel->width(), 24));
        EXPECT_EQ(label->pos(), QPoint(8, 6));
        EXPECT_EQ(label->text(), QString::fromUtf8(caption));
        EXPECT_EQ(pane->geometry(), QRect(0, 24, panel->width(), height - 24));
        EXPECT_EQ(pane->Font().family(), u"Courier New"_qs);
        EXPECT_EQ(pane->BorderStyle(), TBorderStyle::bsNone);
        EXPECT_TRUE(pane->Gutter().ShowLineNumbers());
    }
    EXPECT_TRUE(Form->StatusBar->isVisible());
    EXPECT_EQ(Form->StatusText(), "");
}

// ---- Start-up ----

TEST_F(MainWindow, TheProgramConnectsItsWindows) {
    Start();
    EXPECT_EQ(Program->Form_Einstellungen.parentWidget(), Form);
    EXPECT_EQ(Program->Info.parentWidget(), Form);
    EXPECT_FALSE(Program->Form_Einstellungen.isVisible());
    EXPECT_FALSE(Program->Hilfe.isVisible());
    // The settings were loaded into the dialog and the conversion settings.
    EXPECT_EQ(Program->Form_Einstellungen.EGrad->text(), "45");
    EXPECT_EQ(Program->Form_Einstellungen.EVorspann->Text(), "IN;SP1;");
    // The source pane is highlighted from the start; the start-up work runs once only.
    TCodeCustomHighlighter* highlighter = Form->Quelle->Highlighter();
    EXPECT_NE(dynamic_cast<TNCSyn*>(highlighter), nullptr);
    Form->hide();
    Form->show();
    EXPECT_EQ(Form->Quelle->Highlighter(), highlighter);

    // The settings dialog's "&Hilfe" opens the help window.
    TScriptedModal modal;
    modal.Script = [&](QDialog& shown) {
        if (&shown == &Program->Form_Einstellungen)
            Click(Program->Form_Einstellungen.XPSpeedButton1);
    };
    Click(Form->Button_Einstellungen);
    ASSERT_EQ(modal.Shown.size(), 2u);
    EXPECT_EQ(modal.Shown[0], &Program->Form_Einstellungen);
    EXPECT_EQ(modal.Shown[1], &Program->Hilfe);

    // Only the main window ends the program when it closes.
    for (QWidget* other :
         {static_cast<QWidget*>(&Program->Form_Einstellungen),
          static_cast<QWidget*>(&Program->Info), static_cast<QWidget*>(&Program->Hilfe),
          static_cast<QWidget*>(&Program->Intro)})
        EXPECT_FALSE(other->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(Form->testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(MainWindow, TheCommandLine) {
    // One path in two parts, as a shell hands it over when it is not quoted.
    std::filesystem::create_directory(Files.Path("NCDaten"));
    Files.Write("NCDaten/teil.nc", "G1 X1\r\n");

    const struct {
        std::vector<std::string> parameters;
        const char* clipboard; // nullptr: empty
        std::vector<std::string> source;
        std::string status;
        bool splash;
    } cases[] = {
        {{}, "G1 X9", {}, "", true},
        {{"/C"},
         "G1 X5\r\nG1 Y7",
         {"G1 X5", "G1 Y7"},
         "NC-Daten aus Zwischenablage eingefügt",
         false},
        {{"/C"}, nullptr, {}, "NC-Daten aus Zwischenablage eingefügt", false},
        {{"/", "C"}, "G1 X5", {"G1 X5"}, "NC-Daten aus Zwischenablage eingefügt", false},
        {{"/c"}, "G1 X5", {}, "", false}, // a file name, and there is no such file
        {{Files.Path("NC"), "Daten/teil.nc"},
         nullptr,
         {"G1 X1"},
         "NC-Datei " + Files.Path("NC") + " geladen",
         false},
        {{Files.Path("fehlt.nc")}, nullptr, {}, "", false},
        {{Files.Path("nc")}, nullptr, {}, "", false}, // a folder is no file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters.empty() ? std::string("(none)") : c.parameters.front());
        if (c.clipboard)
            QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        else
            QGuiApplication::clipboard()->clear();
        Start(c.parameters);
        EXPECT_EQ(LinesOf(Form->Quelle), c.source);
        EXPECT_EQ(Form->StatusText(), QString::fromStdString(c.status));
        EXPECT_EQ(Program->Intro.isVisible(), c.splash);
        EXPECT_TRUE(Errors.Entries.empty());
        Program.reset();
    }
}

// A file that exists but cannot be read stops the start-up work where it is met. Root reads
// every file, so the start runs as an ordinary user. The child process must not paint (the
// painting threads stay behind in the fork): the windows are made before it, and it shows
// the main window without waiting for it to be drawn.
TEST_F(MainWindow, AFailingStartUpStepIsReportedAndTheWindowShownAllTheSame) {
    Files.Write("geheim.nc", "G1 X1\n");
    Files.Write("lesbar.nc", "G1 X1\n");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(Files.Folder()));
    ASSERT_EQ(chmod(Files.Path("geheim.nc").c_str(), 0), 0);
    auto cannotOpen = [&](const char* name) {
        return "Datei " + Files.Path(name) + " kann nicht geöffnet werden.";
    };
    auto startUnprivileged = [&](const std::vector<std::string>& parameters,
                                 const std::string& report, bool stopsAtSettings) {
        Start(parameters, Hidden);
        return test::RunUnprivileged([&]() -> std::string {
            Form->show();
            std::string failures;
            if (Errors.Entries.size() != 1 || Errors.Entries[0].message.toStdString() != report)
                failures += "not reported; ";
            if (!Form->isVisible()) failures += "not shown; ";
            if (Form->Quelle->Lines().Count() != 0) failures += "source changed; ";
            if (!Form->StatusText().isEmpty()) failures += "status set; ";
            if (Program->Intro.isVisible()) failures += "splash shown; ";
            if ((Form->Quelle->Highlighter() == nullptr) != stopsAtSettings)
                failures += "highlighter; ";
            return failures;
        });
    };
    // A command-line file that cannot be read: reported, the pane as it was.
    EXPECT_EQ(startUnprivileged({Files.Path("geheim.nc")}, cannotOpen("geheim.nc"), false), "");

    // A prefix file that cannot be read: no highlighter, no command line, no splash.
    ASSERT_EQ(chmod(Files.Path("vorspann.plt").c_str(), 0), 0);
    EXPECT_EQ(startUnprivileged({}, cannotOpen("vorspann.plt"), true), "");
    EXPECT_EQ(startUnprivileged({Files.Path("lesbar.nc")}, cannotOpen("vorspann.plt"), true), "");
}

// The start-up work runs while the panes are still narrow, before the split and before the
// window has its final size: neither a paste nor a load may leave the view scrolled to the
// right of column 1.
TEST_F(MainWindow, EveryStartShowsColumnOneOfBothPanes) {
    const struct {
        std::vector<std::string> parameters;
        TCodePoint caret;
    } cases[] = {{{"/C"}, {9, 2}}, {{Files.Path("nc/teil.nc")}, {1, 1}}, {{}, {1, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters.empty() ? std::string("(none)") : c.parameters.front());
        QGuiApplication::clipboard()->setText(u"G0 X1 Y2\nG1 X3 Y4"_qs);
        Start(c.parameters);
        QTest::qWait(0);
        for (TCodeEdit* pane : {Form->Quelle, Form->Ziel}) {
            EXPECT_EQ(pane->LeftChar(), 1);
            EXPECT_EQ(pane->TopLine(), 1);
        }
        EXPECT_EQ(Form->Quelle->Core().CaretXY(), c.caret);
        Program.reset();
    }
}

TEST_F(MainWindow, ThePanesAreSplitInTheMiddleAfterShowingAndEveryResize) {
    Start({"-"}, Hidden);
    Form->setWindowState(Qt::WindowNoState);
    Form->resize(541, 409);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
    ASSERT_EQ(Form->Panel_Haupt->width(), 541);
    EXPECT_EQ(Form->Panel_Links->width(), 270); // 270.5, the half to the even neighbour

    // The splitter moves the border, no further than either pane's minimum width.
    auto drag = [&](int dx) {
        QWidget* bar = Form->Splitter1;
        QTest::mousePress(bar, Qt::LeftButton, {}, {1, 50});
        QTest::mouseMove(bar, {1 + dx, 50});
        QTest::mouseRelease(bar, Qt::LeftButton, {}, {1 + dx, 50});
    };
    drag(-60);
    EXPECT_EQ(Form->Panel_Links->width(), 210);
    EXPECT_EQ(Form->Splitter1->x(), 210);
    EXPECT_EQ(Form->Panel_Rechts->x(), 213);
    drag(-500);
    EXPECT_EQ(Form->Panel_Links->width(), 100);
    drag(1000);
    EXPECT_EQ(Form->Panel_Rechts->width(), 100);
    EXPECT_EQ(Form->Panel_Links->width(), 541 - 3 - 100);

    // Any resize brings it back to the middle, a change of height too.
    for (QSize size : {QSize(543, 409), QSize(543, 300), QSize(800, 500)}) {
        drag(-40);
        Form->resize(size);
        QTest::qWait(0);
        EXPECT_EQ(Form->Panel_Haupt->width(), size.width());
        const int half = size.width() / 2 + (size.width() == 543 ? 1 : 0); // 271.5 gives 272
        EXPECT_EQ(Form->Panel_Links->width(), half) << size.width() << "x" << size.height();
    }
}

// ---- Commands ----

std::string WithCrLf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

TEST_F(MainWindow, TheCompleteExampleFromNcFileToPltFile) {
    Start();
    Form->Ziel->Lines().AddLine("alt"); // loading a file clears the target
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(Files.Path("nc/teil.nc"))};
    Click(Form->XPSpeedButton1);
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    EXPECT_EQ(dialogs.Requests[0].kind, fdOpen);
    EXPECT_EQ(dialogs.Requests[0].options.InitialDir, Q(Files.Path("nc")));
    EXPECT_EQ(dialogs.Requests[0].options.Filter,
              u"*.nc|*.nc|*.cnc|*.cnc|*.*|*.*|*.ngc|*.ngc|*.tap|*.tap"_qs);
    EXPECT_EQ(LinesOf(Form->Quelle), (std::vector<std::string>{"G0 X0 Y0", "G1 Z-1", "G1 X10",
                                                               "G3 X20 Y0 R5", "G0 Z5", "M30"}));
    EXPECT_EQ(Form->StatusText(), Q("NC-Datei " + Files.Path("nc/teil.nc") + " geladen"));
    EXPECT_EQ(Form->Ziel->Lines().Count(), 0);

    Click(Form->XPSpeedButton3);
    EXPECT_EQ(LinesOf(Form->Ziel), kExampleHpgl);
    EXPECT_EQ(Form->StatusText(), u"HPGL1-Konvertierung beendet"_qs);
    EXPECT_EQ(Form->Ziel->Lines().UpdateCount(), 0);
    TCodeCustomHighlighter* first = Form->Ziel->Highlighter();
    EXPECT_NE(dynamic_cast<TNCSyn*>(first), nullptr);
    EXPECT_NE(first, Form->Quelle->Highlighter());

    // Saved as the pane stands, with CR LF after every line whatever its own line breaks.
    Form->Ziel->Lines().SetLineBreakFormat(TLineBreakFormat::LF);
    dialogs.Answers = {Q(Files.Path("plt/teil.plt"))};
    Click(Form->XPSpeedButton2);
    ASSERT_EQ(dialogs.Requests.size(), 2u);
    EXPECT_EQ(dialogs.Requests[1].kind, fdSave);
    EXPECT_EQ(dialogs.Requests[1].options.InitialDir, Q(Files.Path("plt")));
    EXPECT_EQ(dialogs.Requests[1].options.Filter, u"*.plt|*.plt|*.*|*.*"_qs);
    EXPECT_EQ(dialogs.Requests[1].options.DefaultExt, u"plt"_qs);
    EXPECT_EQ(dialogs.Requests[1].options.FileName, u"teil.plt"_qs);
    EXPECT_EQ(test::TTempDir::Read(Files.Path("plt/teil.plt")), WithCrLf(kExampleHpgl));
    EXPECT_EQ(Form->StatusText(),
              Q("HPGL-Daten in " + Files.Path("plt/teil.plt") + " gespeichert"));

    // Every run starts afresh, with a highlighter of its own; an empty pane saves as an empty
    // file.
    Form->Ziel->Lines().AddLine("von Hand");
    Choose(Form->HPGLerzeugen1);
    EXPECT_EQ(LinesOf(Form->Ziel), kExampleHpgl);
    EXPECT_NE(Form->Ziel->Highlighter(), first);
    EXPECT_NE(dynamic_cast<TNCSyn*>(Form->Ziel->Highlighter()), nullptr);
    Form->Ziel->Clear();
    dialogs.Answers = {Q(Files.Path("plt/teil.plt"))};
    Questions.Answers = {TAnswer::Yes}; // replace the file saved before
    Choose(Form->HPGLDatenalsPLTDateispeichern1);
    EXPECT_EQ(test::TTempDir::Read(Files.Path("plt/teil.plt")), "");
    EXPECT_TRUE(Errors.Entries.empty());
}

TEST_F(MainWindow, AnyTypeButOneEndsWithTheHpgl2Status) {
    for (int type : {2, 3}) {
        WriteSettings(type);
        Start();
        OpenExample();
        Choose(Form->HPGLerzeugen1);
        EXPECT_EQ(Form->StatusText(), u"HPGL2-Konvertierung beendet"_qs) << type;
        ASSERT_GE(LinesOf(Form->Ziel).size(), 5u);
        EXPECT_EQ(LinesOf(Form->Ziel)[4].substr(0, 2), type == 2 ? "AT" : "SP") << type;
    }
}

TEST_F(MainWindow, AFaultInAnArcEndsTheRunAndKeepsWhatWasWritten) {
    Files.Write("nc/bogen.nc", "G0 X0 Y0\nG1 Z-1\nG1 X10\nG2 X20 Y0\nG1 X30\n"); // no R: radius 0
    Start();
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(Files.Path("nc/bogen.nc"))};
    Click(Form->XPSpeedButton1);
    const QString loaded = Form->StatusText();
    Click(Form->XPSpeedButton3);
    ASSERT_EQ(Errors.Entries.size(), 1u);
    EXPECT_EQ(Errors.Entries[0].caption, ApplicationTitle());
    EXPECT_EQ(Errors.Entries[0].message, u"Gleitkommadivision durch Null."_qs);
    EXPECT_EQ(LinesOf(Form->Ziel),
              (std::vector<std::string>{"IN;SP1;", "PU0,0;", "PD;", "PA10000,0;"}));
    EXPECT_EQ(Form->StatusText(), loaded);
    EXPECT_EQ(Form->Ziel->Lines().UpdateCount(), 0); // the pane settled all the same
}

// The faulty block is shown where the run stopped: the caret of Quelle on its line, in view,
// in either reading; in the standard reading the message names the line as well.
TEST_F(MainWindow, AFaultyBlockPutsTheCaretOnItsLineInView) {
    std::string program;
    for (int i = 0; i < 300; ++i)
        program += "G0 X" + std::to_string(i) + " Y0\n";
    const struct {
        const char* ini;    // extra keys of the settings file
        const char* faulty; // line 250
        const char* message;
    } cases[] = {
        {"", "G2 X5 Y0", "Gleitkommadivision durch Null."},
        {"ncmode=1\r\n", "G41 G1 X5", "Zeile 250: G41 wird nicht unterstützt."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faulty);
        std::string lines = program;
        lines.replace(lines.find("G0 X249 Y0"), 10, c.faulty);
        Files.Write("nc/fehler.nc", lines);
        Files.Write("main.ini", "[convert]\r\nfactor=40\r\ntype=1\r\n" + std::string(c.ini));
        Errors.Entries.clear();
        Start();
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(Files.Path("nc/fehler.nc"))};
        Click(Form->XPSpeedButton1);
        ASSERT_EQ(Form->Quelle->TopLine(), 1);
        Click(Form->XPSpeedButton3);
        ASSERT_EQ(Errors.Entries.size(), 1u);
        EXPECT_EQ(Errors.Entries[0].message.toStdString(), c.message);
        EXPECT_EQ(Form->Quelle->Core().CaretXY(), (TCodePoint{1, 250}));
        EXPECT_LE(Form->Quelle->TopLine(), 250);
        EXPECT_GT(Form->Quelle->TopLine() + Form->Quelle->LinesInWindow(), 250);
        EXPECT_EQ(Form->Ziel->Lines().UpdateCount(), 0);
    }
}

TEST_F(MainWindow, AFailedLoadKeepsEverything) {
    Start();
    OpenExample();
    Click(Form->XPSpeedButton3);
    const std::vector<std::string> source = LinesOf(Form->Quelle), target = LinesOf(Form->Ziel);
    for (const char* name : {"nc/fehlt.nc", "nc"}) { // vanished since it was chosen; a folder
        SCOPED_TRACE(name);
        Errors.Entries.clear();
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(Files.Path(name))};
        Choose(Form->NCDateiffnen1);
        ASSERT_EQ(Errors.Entries.size(), 1u);
        EXPECT_EQ(Errors.Entries[0].message,
                  Q("Datei " + Files.Path(name) + " kann nicht geöffnet werden."));
        EXPECT_EQ(LinesOf(Form->Quelle), source);
        EXPECT_EQ(LinesOf(Form->Ziel), target);
        EXPECT_EQ(Form->StatusText(), u"HPGL1-Konvertierung beendet"_qs);
    }
}

// Root writes everywhere, so the saves run as an ordinary user, in a child process that must
// not paint: it runs the command's handler as the button's click would.
TEST_F(MainWindow, AFailedPltSaveIsReportedAndKeepsTheOldFile) {
    Start();
    OpenExample();
    Click(Form->XPSpeedButton3);
    const QString converted = Form->StatusText();
    std::filesystem::create_directory(Files.Path("fremd")); // the user may not write in it
    Files.Write("fremd/alt.plt", "alt");
    Files.Write("plt/schreibgeschuetzt.plt", "alt");
    for (const char* path : {"", "plt", "plt/schreibgeschuetzt.plt"})
        ASSERT_TRUE(test::GiveToUnprivilegedUser(Files.Path(path)));
    ASSERT_EQ(chmod(Files.Path("plt/schreibgeschuetzt.plt").c_str(), 0444), 0);

    for (const char* name : {"fremd/alt.plt", "plt/schreibgeschuetzt.plt"}) {
        SCOPED_TRACE(name);
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(Files.Path(name))};
        Questions.Answers = {TAnswer::Yes};
        const std::string report = "Datei " + Files.Path(name) + " kann nicht erstellt werden.";
        EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                      RunGuarded([&] { Form->PLT_SpeichernClick(); });
                      if (Errors.Entries.size() != 1)
                          return "reports: " + std::to_string(Errors.Entries.size());
                      if (Errors.Entries[0].message.toStdString() != report)
                          return "message: " + Errors.Entries[0].message.toStdString();
                      return Form->StatusText() == converted ? "" : "status changed";
                  }),
                  "");
        EXPECT_EQ(test::TTempDir::Read(Files.Path(name)), "alt");
    }
}

TEST_F(MainWindow, CancelInAFileDialogDoesNothing) {
    Start();
    OpenExample();
    Click(Form->XPSpeedButton3);
    const std::vector<std::string> source = LinesOf(Form->Quelle), target = LinesOf(Form->Ziel);
    auto files = [&] {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Files.Folder()))
            found.push_back(entry.path());
        return found;
    };
    const auto before = files();
    const std::function<void()> commands[] = {[&] { Click(Form->XPSpeedButton1); },
                                              [&] { Click(Form->XPSpeedButton2); },
                                              [&] { Choose(Form->AlsNCDateispeichern1); }};
    for (const auto& command : commands) {
        TScriptedFileDialogs dialogs; // no answer: the user cancels
        command();
        EXPECT_EQ(dialogs.Requests.size(), 1u);
        EXPECT_EQ(LinesOf(Form->Quelle), source);
        EXPECT_EQ(LinesOf(Form->Ziel), target);
        EXPECT_EQ(Form->StatusText(), u"HPGL1-Konvertierung beendet"_qs);
    }
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(Errors.Entries.empty());
}

// One wrong name in a save dialog must not destroy a file: both saves ask before they replace
// one, "Nein" the preset, and "Nein" leaves the file, the panes and the status line alone.
TEST_F(MainWindow, BothSavesAskBeforeTheyReplaceAFile) {
    Start();
    OpenExample();
    Click(Form->XPSpeedButton3);
    Files.Write("plt/alt.plt", "alt");
    Files.Write("nc/alt.nc", "alt");
    const struct {
        QAction* command;
        const char* name;
        std::string written; // what "Ja" writes
    } cases[] = {{Form->HPGLDatenalsPLTDateispeichern1, "plt/alt.plt", WithCrLf(kExampleHpgl)},
                 {Form->AlsNCDateispeichern1, "nc/alt.nc", kExampleNc}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString status = Form->StatusText();
        const QString path = Q(Files.Path(c.name));
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {path, path};
        Questions.Asked.clear();
        Questions.Answers = {TAnswer::No};
        Choose(c.command);
        ASSERT_EQ(Questions.Asked.size(), 1u);
        EXPECT_EQ(Questions.Asked[0].text,
                  path + u" existiert bereits. Möchten Sie die Datei ersetzen?"_qs);
        EXPECT_EQ(Questions.Asked[0].preset, TAnswer::No);
        EXPECT_EQ(test::TTempDir::Read(Files.Path(c.name)), "alt");
        EXPECT_EQ(Form->StatusText(), status);

        Questions.Answers = {TAnswer::Yes};
        Choose(c.command);
        EXPECT_EQ(test::TTempDir::Read(Files.Path(c.name)), c.written);
        EXPECT_EQ(Questions.Asked.size(), 2u);
    }
    // A new file needs no question; the toolkit's dialog is not asked to ask either.
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(Files.Path("plt/neu.plt"))};
    Questions.Asked.clear();
    Click(Form->XPSpeedButton2);
    EXPECT_TRUE(Questions.Asked.empty());
    EXPECT_EQ(test::TTempDir::Read(Files.Path("plt/neu.plt")), WithCrLf(kExampleHpgl));
    EXPECT_FALSE(dialogs.Requests[0].options.OverwritePrompt);
    EXPECT_TRUE(Errors.Entries.empty());
}

// Quitting by "&Beenden", by the window system's close (the close box, the window manager)
// and opening another NC file ask while edits would be lost; "Nein" keeps everything.
TEST_F(MainWindow, QuittingAndOpeningAskWhileEditsWouldBeLost) {
    const QString nc = u"Die Änderungen im NC-Text sind nicht gespeichert. "_qs;
    const QString hpgl = u"Die Änderungen im HPGL-Text sind nicht gespeichert. "_qs;
    const QString both = u"Die Änderungen im NC-Text und im HPGL-Text sind nicht gespeichert. "_qs;
    const struct {
        const char* name;
        std::function<void()> steps;
        QString question; // empty: none
    } cases[] = {
        {"loaded and converted", [] {}, {}},
        {"typed into the NC text", [this] { Type(Form->Quelle, "X"); }, nc},
        {"typed into the HPGL text", [this] { Type(Form->Ziel, "X"); }, hpgl},
        {"typed into both",
         [this] {
             Type(Form->Quelle, "X");
             Type(Form->Ziel, "X");
         },
         both},
        {"edits undone count as edits",
         [this] {
             Type(Form->Quelle, "X");
             QTest::keyClick(Form->Quelle, Qt::Key_Z, Qt::ControlModifier);
         },
         nc},
        {"converted again after HPGL edits",
         [this] {
             Type(Form->Ziel, "X");
             Click(Form->XPSpeedButton3);
         },
         {}},
        {"both saved after the edits",
         [this] {
             Type(Form->Quelle, "X");
             Type(Form->Ziel, "X");
             TScriptedFileDialogs dialogs;
             dialogs.Answers = {Q(Files.Path("nc/neu.nc")), Q(Files.Path("plt/neu.plt"))};
             for (const char* name : {"nc/neu.nc", "plt/neu.plt"})
                 std::filesystem::remove(Files.Path(name));
             Choose(Form->AlsNCDateispeichern1);
             Click(Form->XPSpeedButton2);
         },
         {}},
    };
    const std::function<void()> quits[] = {
        [this] {
            QTest::keyClick(Form->windowHandle(), Qt::Key_B, Qt::AltModifier);
            QCoreApplication::processEvents();
        },
        [this] { Form->windowHandle()->close(); },
    };
    for (const auto& c : cases) {
        for (const auto& quit : quits) {
            SCOPED_TRACE(c.name);
            Start();
            OpenExample();
            Click(Form->XPSpeedButton3);
            c.steps();
            const std::vector<std::string> source = LinesOf(Form->Quelle),
                                           target = LinesOf(Form->Ziel);
            const QString status = Form->StatusText();
            Questions.Asked.clear();
            Questions.Answers = {TAnswer::No};
            quit();
            if (c.question.isEmpty()) {
                EXPECT_TRUE(Questions.Asked.empty());
                EXPECT_FALSE(Form->isVisible());
                continue;
            }
            ASSERT_EQ(Questions.Asked.size(), 1u);
            EXPECT_EQ(Questions.Asked[0].text, c.question + u"Trotzdem beenden?"_qs);
            EXPECT_EQ(Questions.Asked[0].preset, TAnswer::No);
            EXPECT_TRUE(Form->isVisible());
            EXPECT_EQ(LinesOf(Form->Quelle), source);
            EXPECT_EQ(LinesOf(Form->Ziel), target);
            EXPECT_EQ(Form->StatusText(), status);

            // Opening asks the same; "Nein" opens no dialog, "Ja" opens as usual.
            TScriptedFileDialogs dialogs;
            Questions.Answers = {TAnswer::No};
            Click(Form->XPSpeedButton1);
            EXPECT_EQ(Questions.Asked.back().text, c.question + u"Trotzdem öffnen?"_qs);
            EXPECT_TRUE(dialogs.Requests.empty());
            EXPECT_EQ(LinesOf(Form->Quelle), source);
            Questions.Answers = {TAnswer::Yes};
            dialogs.Answers = {Q(Files.Path("nc/teil.nc"))};
            Click(Form->XPSpeedButton1);
            EXPECT_EQ(dialogs.Requests.size(), 1u);
            EXPECT_EQ(Form->Quelle->Lines().Count(), 6);
            EXPECT_EQ(Form->Ziel->Lines().Count(), 0);

            // Freshly loaded, nothing is asked any more.
            Questions.Asked.clear();
            quit();
            EXPECT_TRUE(Questions.Asked.empty());
            EXPECT_FALSE(Form->isVisible());
        }
    }
}

// The text the program starts with counts as unedited: a "/C" start asks only after edits.
TEST_F(MainWindow, TheClipboardsTextAtTheStartIsNoEdit) {
    QGuiApplication::clipboard()->setText(u"G0 X1"_qs);
    Start({"/C"});
    EXPECT_FALSE(Form->SourceEdited());
    Type(Form->Quelle, "Y");
    EXPECT_TRUE(Form->SourceEdited());
    EXPECT_FALSE(Form->TargetEdited());
}

// What a file manager drops: a URL list, with the URLs as text beside it.
std::unique_ptr<QMimeData> FileDrop(const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    QStringList text;
    for (const QUrl& url : urls)
        text << url.toString();
    data->setText(text.join(u"\r\n"_qs));
    return data;
}

// Carries a drop onto a widget as the window system does: enter, move, drop. Whatever it
// starts runs once the drop is over.
bool DropOn(QWidget* target, QPoint at, const QMimeData& data) {
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

TEST_F(MainWindow, ADroppedFileOpensAsNcOeffnenOpensIt) {
    Files.Write("nc/zwei.nc", "G1 X2\n");
    const QUrl teil = QUrl::fromLocalFile(Q(Files.Path("nc/teil.nc")));
    const QUrl zwei = QUrl::fromLocalFile(Q(Files.Path("nc/zwei.nc")));
    Start();
    const struct {
        const char* where;
        QWidget* target;
        QList<QUrl> urls;
        const char* opened;
    } cases[] = {
        {"NC pane", Form->Quelle->viewport(), {teil}, "nc/teil.nc"},
        {"HPGL pane", Form->Ziel->viewport(), {zwei, teil}, "nc/zwei.nc"},
        {"button row", Form->Panel2, {QUrl(u"https://example.com/a.nc"_qs), teil}, "nc/teil.nc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        Form->Ziel->Lines().AddLine("PU0,0;");
        EXPECT_TRUE(DropOn(c.target, {30, 10}, *FileDrop(c.urls)));
        EXPECT_EQ(test::TTempDir::Read(Files.Path(c.opened)),
                  Replace(WithCrLf(LinesOf(Form->Quelle)), "\r\n", "\n"));
        EXPECT_EQ(Form->StatusText(), Q("NC-Datei " + Files.Path(c.opened) + " geladen"));
        EXPECT_EQ(Form->Ziel->Lines().Count(), 0);
    }
    EXPECT_TRUE(Questions.Asked.empty());

    // Over edits the question comes first, as for "NC öffnen".
    Type(Form->Quelle, "X");
    const std::vector<std::string> edited = LinesOf(Form->Quelle);
    Questions.Answers = {TAnswer::No, TAnswer::Yes};
    DropOn(Form->Quelle->viewport(), {30, 10}, *FileDrop({zwei}));
    EXPECT_EQ(LinesOf(Form->Quelle), edited);
    ASSERT_EQ(Questions.Asked.size(), 1u);
    EXPECT_EQ(Questions.Asked[0].text,
              u"Die Änderungen im NC-Text sind nicht gespeichert. Trotzdem öffnen?"_qs);
    DropOn(Form->Quelle->viewport(), {30, 10}, *FileDrop({zwei}));
    EXPECT_EQ(LinesOf(Form->Quelle), std::vector<std::string>{"G1 X2"});

    // A file that cannot be read is reported and the pane keeps its text.
    DropOn(Form->Quelle->viewport(), {30, 10}, *FileDrop({QUrl::fromLocalFile(u"/fehlt.nc"_qs)}));
    ASSERT_EQ(Errors.Entries.size(), 1u);
    EXPECT_EQ(Errors.Entries[0].message, u"Datei /fehlt.nc kann nicht geöffnet werden."_qs);
    EXPECT_EQ(LinesOf(Form->Quelle), std::vector<std::string>{"G1 X2"});
}

// Text stays a text drop, also a web address, which names no local file.
TEST_F(MainWindow, ADroppedTextIsInsertedAsText) {
    Start();
    Form->Quelle->Lines().AddLine("M30");
    const QString status = Form->StatusText();
    QMimeData text;
    text.setText(u"G4 "_qs);
    EXPECT_TRUE(DropOn(Form->Quelle->viewport(), Form->Quelle->RowColumnToPixels({1, 1}), text));
    EXPECT_EQ(LinesOf(Form->Quelle), std::vector<std::string>{"G4 M30"});
    const auto web = FileDrop({QUrl(u"https://example.com/a.nc"_qs)});
    EXPECT_TRUE(DropOn(Form->Quelle->viewport(), Form->Quelle->RowColumnToPixels({1, 1}), *web));
    EXPECT_EQ(LinesOf(Form->Quelle), std::vector<std::string>{"https://example.com/a.ncG4 M30"});
    EXPECT_EQ(Form->StatusText(), status);
    EXPECT_FALSE(DropOn(Form->Panel2, {30, 10}, text)) << "text on the buttons is no file";
}

// The desktop's keys, where the panes' keystroke table leaves them free: F1 help, Ctrl+O
// open, Ctrl+S save; Ctrl+F1 stays the pane's context help.
TEST_F(MainWindow, F1ShowsTheHelpCtrlOOpensCtrlSSaves) {
    Start();
    Form->Quelle->setFocus();
    QWindow* window = Form->windowHandle();
    TScriptedModal modal;
    auto key = [&](int k, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(window, Qt::Key(k), modifiers);
        QCoreApplication::processEvents();
    };
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(Files.Path("nc/teil.nc")), Q(Files.Path("plt/teil.plt"))};
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Form->Quelle->Lines().Count(), 6);
    Click(Form->XPSpeedButton3);
    Form->Ziel->setFocus();
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Requests.size(), 2u);
    EXPECT_EQ(dialogs.Requests[0].kind, fdOpen);
    EXPECT_EQ(dialogs.Requests[1].kind, fdSave);
    EXPECT_EQ(test::TTempDir::Read(Files.Path("plt/teil.plt")), WithCrLf(kExampleHpgl));

    key(Qt::Key_F1, Qt::ControlModifier);
    EXPECT_TRUE(modal.Shown.empty());
    key(Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(modal.Shown, std::vector<QDialog*>{&Program->Hilfe});
    // The panes took none of the keys as typing.
    EXPECT_EQ(LinesOf(Form->Ziel), kExampleHpgl);
    EXPECT_EQ(LinesOf(Form->Quelle)[0], "G0 X0 Y0");
    EXPECT_TRUE(Errors.Entries.empty());
}

// "An &Plotter senden ..." and Ctrl+P send Ziel as it stands, edits included, CR LF after every
// line as the PLT save writes it, to the port of the saved settings (here a file, written in
// place); without a port the report says where to set one.
TEST_F(MainWindow, TheMenuItemAndCtrlPSendZielAsItStands) {
    Start();
    OpenExample();
    Click(Form->XPSpeedButton3);
    const std::string ini = test::TTempDir::Read(Files.Path("main.ini"));
    Files.Write("main.ini", ini + "[plotter]\r\nport=" + Files.Path("plotter.plt") + "\r\n");
    Form->Ziel->Core().SetCaretXY({1, 9});
    Type(Form->Ziel, "PU;");
    std::vector<std::string> expected = kExampleHpgl;
    expected.back() = "PU;SP0;";
    ASSERT_EQ(LinesOf(Form->Ziel), expected);

    const auto sent = [&]() -> std::string {
        QPointer<TSendProgress> window = Form->findChild<TSendProgress*>();
        if (!window) return "no progress window";
        if (!QTest::qWaitFor([&] { return window->Ended(); }, 10000)) return "the send did not end";
        window->close();
        return test::TTempDir::Read(Files.Path("plotter.plt"));
    };
    Choose(Form->AnPlottersenden1);
    EXPECT_EQ(sent(), WithCrLf(expected));
    std::filesystem::remove(Files.Path("plotter.plt"));
    // The main window active again, as the desktop makes it once the progress window goes.
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
    Form->Ziel->setFocus();
    QTest::keyClick(Form->windowHandle(), Qt::Key_P, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(sent(), WithCrLf(expected));
    EXPECT_EQ(LinesOf(Form->Ziel), expected); // the pane took the key as no typing
    EXPECT_TRUE(Errors.Entries.empty());

    Files.Write("main.ini", ini);
    Choose(Form->AnPlottersenden1);
    ASSERT_EQ(Errors.Entries.size(), 1u);
    EXPECT_EQ(Errors.Entries[0].message,
              u"Kein Anschluss für den Plotter eingestellt (Einstellungen, Seite „Plotter“)"_qs);
    EXPECT_EQ(Form->findChild<TSendProgress*>(), nullptr);
}

// Without an NC file (a "/C" start) the PLT save dialog suggests no name.
TEST_F(MainWindow, ThePltSaveSuggestsTheNcFilesName) {
    Files.Write("nc/teil.v2.cnc", "G1 X1\n");
    const struct {
        std::vector<std::string> parameters;
        const char* suggested;
    } cases[] = {{{"/C"}, ""}, {{Files.Path("nc/teil.v2.cnc")}, "teil.v2.plt"}};
    for (const auto& c : cases) {
        Start(c.parameters);
        TScriptedFileDialogs dialogs;
        Click(Form->XPSpeedButton2);
        ASSERT_EQ(dialogs.Requests.size(), 1u);
        EXPECT_EQ(dialogs.Requests[0].options.FileName, QString::fromUtf8(c.suggested));
    }
}

TEST_F(MainWindow, NcFilesSaveInTheLineBreaksTheyWereReadWith) {
    const std::string crlf = "G1 X1\r\nG1 Y2\r\n";
    Files.Write("nc/crlf.nc", crlf);
    Start();
    TScriptedFileDialogs dialogs;
    for (const auto& [name, bytes] :
         {std::pair{"nc/teil.nc", std::string(kExampleNc)}, std::pair{"nc/crlf.nc", crlf}}) {
        dialogs.Answers = {Q(Files.Path(name)), Q(Files.Path(name) + ".kopie")};
        Choose(Form->NCDateiffnen1);
        const QString status = Form->StatusText();
        Choose(Form->AlsNCDateispeichern1);
        EXPECT_EQ(test::TTempDir::Read(Files.Path(name) + ".kopie"), bytes);
        EXPECT_EQ(Form->StatusText(), status); // saving NC data tells nothing
    }
    ASSERT_EQ(dialogs.Requests.size(), 4u);
    EXPECT_EQ(dialogs.Requests[1].kind, fdSave);
    EXPECT_EQ(dialogs.Requests[1].options.InitialDir, Q(Files.Path("nc")));
    EXPECT_EQ(dialogs.Requests[1].options.Filter, u"*.nc|*.nc|*.*|*.*"_qs);
    EXPECT_EQ(dialogs.Requests[1].options.DefaultExt, u"nc"_qs);
}

TEST_F(MainWindow, SettingsAndAboutOpenModallyFromButtonsMenuAndIcon) {
    Start();
    TScriptedModal modal;
    Click(Form->Button_Einstellungen);
    Choose(Form->Einstellungen1);
    Choose(Form->Info1);
    QTest::mouseClick(Form->Image1, Qt::LeftButton, {}, {16, 16});
    QDialog* settings = &Program->Form_Einstellungen;
    QDialog* about = &Program->Info;
    EXPECT_EQ(modal.Shown, (std::vector<QDialog*>{settings, settings, about, about}));
    EXPECT_FALSE(settings->isVisible());
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(Errors.Entries.empty());
}

TEST_F(MainWindow, PrefixEditsCountAtTheNextRunUnsavedWhileNumbersWaitForASave) {
    Start();
    OpenExample();
    TScriptedModal modal;
    modal.Script = [&](QDialog&) {
        TForm_Einstellungen& settings = Program->Form_Einstellungen;
        settings.EVorspann->SetText("IN;\r\nSP2;");
        settings.EFaktor->setText("10");
        Click(settings.Abbruch);
    };
    Click(Form->Button_Einstellungen);
    Click(Form->XPSpeedButton3);
    const std::vector<std::string> lines = LinesOf(Form->Ziel);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "IN;");
    EXPECT_EQ(lines[1], "SP2;");
    EXPECT_EQ(lines[4], "PA10000,0;"); // still the factor 1000 of the settings file
}

TEST_F(MainWindow, PointingAtMenuItemsKeepsTheStatusText) {
    Start();
    OpenExample();
    const QString loaded = Form->StatusText();
    QMenuBar* bar = Form->MainMenu1;
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(Form->Datei1->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->Datei1));
    for (QAction* item : {Form->NCDateiffnen1, Form->HPGLDatenalsPLTDateispeichern1})
        QTest::mouseMove(Form->Datei1, Form->Datei1->actionGeometry(item).center());
    QTest::mouseMove(bar, bar->actionGeometry(Form->Info1).center());
    EXPECT_EQ(Form->StatusText(), loaded);
    Form->Datei1->close();
}

TEST_F(MainWindow, AcceleratorsOfTheMenuAndTheButtons) {
    Start();
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(Files.Path("nc/teil.nc")), Q(Files.Path("plt/alt.plt"))};
    QWindow* window = Form->windowHandle();
    QTest::keyClick(window, Qt::Key_N, Qt::AltModifier); // "&NC öffnen"
    EXPECT_EQ(Form->Quelle->Lines().Count(), 6);
    QTest::keyClick(window, Qt::Key_H, Qt::AltModifier); // "&HPGL erzeugen" in the menu bar
    QCoreApplication::processEvents();
    EXPECT_EQ(LinesOf(Form->Ziel), kExampleHpgl);
    QTest::keyClick(window, Qt::Key_P, Qt::AltModifier); // "H&PGL speichern"
    EXPECT_EQ(test::TTempDir::Read(Files.Path("plt/alt.plt")), WithCrLf(kExampleHpgl));
    QTest::keyClick(window, Qt::Key_V, Qt::AltModifier); // "&Vorschau" in the menu bar
    QCoreApplication::processEvents();
    EXPECT_TRUE(Form->Vorschau().Window().isVisible());
    Form->Vorschau().Window().close();
    Form->activateWindow(); // as the window manager does when the preview goes
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
    QTest::keyClick(window, Qt::Key_B, Qt::AltModifier); // "&Beenden"
    QCoreApplication::processEvents();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(Errors.Entries.empty());
}

// ---- Long work off the GUI thread ----

const TForm1::TLongWorkLimits kAtOnce{INT_MAX, LLONG_MAX, INT_MAX, 0};
const TForm1::TLongWorkLimits kOnWorker{0, 0, 0, 0};
const TForm1::TLongWorkLimits kOnWorkerEndingInTheWait{0, 0, 0, 60000};

// What a conversion leaves the user: the target text, the status line, the error reports,
// where Quelle's caret stands, and which NC line made each HPGL line.
struct TRunResult {
    std::vector<std::string> Target;
    QString Status;
    std::vector<QString> Errors;
    TCodePoint Caret;
    std::vector<std::optional<int>> Origins;
    bool operator==(const TRunResult&) const = default;
};

// A program of straight moves and arcs drawn from a seed, as CAM systems write them; arcs by
// R with end points well within reach.
std::string RandomProgram(unsigned seed, int blocks) {
    std::mt19937 random(seed);
    double x = 0, y = 0;
    auto to = [&](int range, bool near) {
        x = (near ? x : 0) +
            double(int(random() % unsigned(2000 * range + 1)) - 1000 * range) / 1000;
        y = (near ? y : 0) +
            double(int(random() % unsigned(2000 * range + 1)) - 1000 * range) / 1000;
        char text[64];
        std::snprintf(text, sizeof text, " X%.3f Y%.3f", x, y);
        return std::string(text);
    };
    std::string text;
    for (int i = 0; i < blocks; ++i) {
        switch (random() % 6) {
        case 0:
            text += "G0" + to(100, false) + "\n";
            break;
        case 1:
            text += "G1 Z-" + std::to_string(random() % 3) + "\n";
            break;
        case 2:
            text += "G0 Z5\n";
            break;
        case 3:
            text += (random() % 2 ? "G2" : "G3") + to(5, true) + " R" +
                    std::to_string(10 + random() % 10) + "\n";
            break;
        default:
            text += "G1" + to(100, false) + " F300\n";
            break;
        }
    }
    return text;
}

class MainWindowWork : public MainWindow {
protected:
    TRunResult Convert(const TForm1::TLongWorkLimits& limits) {
        Form->SetLongWorkLimits(limits);
        Form->Quelle->Core().SetCaretXY({1, 1});
        Errors.Entries.clear();
        TCodeCustomHighlighter* before = Form->Ziel->Highlighter();
        Click(Form->XPSpeedButton3);
        EXPECT_EQ(Form->Busy(), &limits == &kOnWorker);
        WaitForWork(Form);
        EXPECT_NE(dynamic_cast<TNCSyn*>(Form->Ziel->Highlighter()), nullptr);
        EXPECT_NE(Form->Ziel->Highlighter(), before);
        EXPECT_EQ(Form->Ziel->Lines().UpdateCount(), 0);
        EXPECT_FALSE(Form->Quelle->Core().ReadOnly());
        EXPECT_FALSE(Form->Ziel->Core().ReadOnly());
        TRunResult result{
            LinesOf(Form->Ziel), Form->StatusText(), {}, Form->Quelle->Core().CaretXY(), {}};
        for (const auto& entry : Errors.Entries)
            result.Errors.push_back(entry.message);
        for (int i = -1; i <= Form->Ziel->Lines().Count(); ++i)
            result.Origins.push_back(Form->ZielSourceLine(i));
        return result;
    }

    // Opens nc/name holding text through "&NC öffnen".
    void Open(const char* name, const std::string& text) {
        Files.Write(std::string("nc/") + name, text);
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(Files.Path(std::string("nc/") + name))};
        Click(Form->XPSpeedButton1);
        WaitForWork(Form);
    }

    // A program whose conversion takes the worker a second or more: 40,000 half circles in
    // one-degree chords, 7.2 million HPGL lines. The tests stop it long before.
    void OpenLongProgram() {
        Files.Write("main.ini", "[convert]\r\nfactor=1000\r\ndeg=1\r\ntype=1\r\n");
        Start();
        std::string text = "G0 X0 Y0\nG1 Z-1\n";
        for (int i = 0; i < 20000; ++i)
            text += "G2 X10 Y0 R5\nG2 X0 Y0 R5\n";
        Open("lang.nc", text);
    }
};

// Both ways to the same end: on the worker (with the window free meanwhile, or waiting for
// it a moment) and at once, for
// the complete example, a faulty block in either reading, and random programs in either;
// the random ones also as the engine alone converts them.
TEST_F(MainWindowWork, TheWorkerGivesWhatTheRunAtOnceGives) {
    std::string faulty;
    for (int i = 0; i < 300; ++i)
        faulty += i == 249 ? "{faulty}\n" : "G0 X" + std::to_string(i) + " Y0\n";
    const struct {
        const char* name;
        const char* ini; // keys after [convert]
        std::string program;
        bool fails;
    } cases[] = {
        {"example", "factor=1000\r\ndeg=45\r\ntype=1\r\n", kExampleNc, false},
        {"fault, literal", "factor=40\r\ntype=1\r\n", Replace(faulty, "{faulty}", "G2 X5 Y0"),
         true},
        {"fault, standard", "factor=40\r\ntype=1\r\nncmode=1\r\n",
         Replace(faulty, "{faulty}", "G41 G1 X5"), true},
        {"random, literal", "factor=40\r\ndeg=7\r\ntype=1\r\n", RandomProgram(1, 3000), false},
        {"random, standard", "factor=40\r\ndeg=7\r\ntype=2\r\nncmode=1\r\n", RandomProgram(2, 3000),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Files.Write("main.ini", "[convert]\r\n" + std::string(c.ini));
        Start();
        Open("teil.nc", c.program);
        const TRunResult atOnce = Convert(kAtOnce);
        const TRunResult onWorker = Convert(kOnWorker);
        EXPECT_EQ(onWorker, atOnce);
        EXPECT_EQ(Convert(kOnWorkerEndingInTheWait), atOnce);
        EXPECT_EQ(onWorker.Errors.size(), c.fails ? 1u : 0u);
        EXPECT_EQ(onWorker.Caret.Y, c.fails ? 250 : 1);
        if (c.fails) {
            EXPECT_EQ(onWorker.Status.left(9), u"NC-Datei "_qs); // as loading left it
        }
        EXPECT_GT(onWorker.Target.size(), c.fails ? 1u : 8u);

        TConvSettings settings = ConvSettings();
        TModalState state;
        TLineVector engine;
        TConversionRun run(settings, state, engine);
        try {
            run.Execute(Form->Quelle->Lines(), Program->Form_Einstellungen.PrefixLines(),
                        Program->Form_Einstellungen.SuffixLines());
        } catch (const Exception&) {
        }
        EXPECT_EQ(onWorker.Target, engine.Lines);
    }
}

TEST_F(MainWindowWork, TheRunRecordsWhichNcLineMadeEachHpglLineUntilItIsEdited) {
    Start();
    OpenExample();
    const auto origins = [&] {
        std::vector<std::optional<int>> all;
        for (int i = -1; i <= Form->Ziel->Lines().Count(); ++i)
            all.push_back(Form->ZielSourceLine(i));
        return all;
    };
    const std::optional<int> none;
    for (const auto* limits : {&kAtOnce, &kOnWorker}) {
        Form->SetLongWorkLimits(*limits);
        Click(Form->XPSpeedButton3);
        WaitForWork(Form);
        // (before) IN;SP1; PU0,0; PD; PA10000,0; four arc points SP0; (after)
        EXPECT_EQ(origins(),
                  (std::vector<std::optional<int>>{none, none, 0, 1, 2, 3, 3, 3, 3, none, none}));
    }
    // Edits by hand: a changed line loses its origin, lines below move with theirs.
    Form->Ziel->Core().SetCaretXY({3, 4}); // "PA10000,0;"
    Type(Form->Ziel, "1");
    EXPECT_EQ(origins(),
              (std::vector<std::optional<int>>{none, none, 0, 1, none, 3, 3, 3, 3, none, none}));
    Form->Ziel->Core().SetCaretXY({3, 2}); // splits "PU0,0;"
    QTest::keyClick(Form->Ziel, Qt::Key_Return);
    EXPECT_EQ(origins(), (std::vector<std::optional<int>>{none, none, none, none, 1, none, 3, 3, 3,
                                                          3, none, none}));
    Form->Ziel->Core().SetCaretXY({1, 7});
    QTest::keyClick(Form->Ziel, Qt::Key_Y, Qt::ControlModifier); // deletes that line
    EXPECT_EQ(origins(), (std::vector<std::optional<int>>{none, none, none, none, 1, none, 3, 3, 3,
                                                          none, none}));
    // Loading another program leaves Ziel empty and nothing to map.
    Questions.Answers = {TAnswer::Yes};
    OpenExample();
    EXPECT_EQ(origins(), (std::vector<std::optional<int>>{none, none}));
}

// While the worker converts, the window answers, shows how far it has come, and keeps every
// command that would change or read a pane waiting; Esc or a click on the progress stops the
// run and leaves Ziel as it was.
TEST_F(MainWindowWork, WhileItRunsTheCommandsWaitAndEscOrAClickStopsIt) {
    OpenLongProgram(); // far more than the moment the window waits for any conversion
    Form->Ziel->Lines().AddLine("PU0,0;");
    Type(Form->Ziel, "X"); // an edit that the stop must keep
    const std::vector<std::string> target = LinesOf(Form->Ziel), source = LinesOf(Form->Quelle);
    TCodeCustomHighlighter* highlighter = Form->Ziel->Highlighter();
    const std::function<void()> stops[] = {
        [&] { QTest::keyClick(Form->windowHandle(), Qt::Key_Escape); },
        [&] { QTest::mouseClick(Form->Fortschritt->Bar, Qt::LeftButton); },
    };
    for (const auto& stop : stops) {
        TScriptedFileDialogs dialogs;
        Click(Form->XPSpeedButton3);
        ASSERT_TRUE(Form->Busy());
        EXPECT_TRUE(Form->Fortschritt->isVisible());
        EXPECT_EQ(Form->Fortschritt->Caption->text(), u"HPGL wird erzeugt"_qs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Form->Fortschritt->Bar->value() > 0; }, 20000));
        EXPECT_TRUE(Form->Busy());

        for (QWidget* button : std::initializer_list<QWidget*>{
                 Form->XPSpeedButton1, Form->XPSpeedButton3, Form->XPSpeedButton2})
            EXPECT_FALSE(button->isEnabled());
        EXPECT_TRUE(Form->Button_Einstellungen->isEnabled());
        for (QAction* item :
             {Form->NCDateiffnen1, Form->AlsNCDateispeichern1, Form->HPGLDatenalsPLTDateispeichern1,
              Form->AnPlottersenden1, Form->HPGLerzeugen1})
            EXPECT_FALSE(item->isEnabled());
        EXPECT_TRUE(Form->Beenden1->isEnabled());
        Type(Form->Quelle, "G");
        Type(Form->Ziel, "G");
        for (auto keys : {Qt::Key_O, Qt::Key_S})
            QTest::keyClick(Form->windowHandle(), keys, Qt::ControlModifier);
        QTest::keyClick(Form->windowHandle(), Qt::Key_N, Qt::AltModifier);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialogs.Requests.empty());
        EXPECT_FALSE(Form->acceptDrops());
        EXPECT_FALSE(Form->Quelle->viewport()->acceptDrops());
        const QString status = Form->StatusText();
        DropOn(Form->Quelle->viewport(), {30, 10},
               *FileDrop({QUrl::fromLocalFile(Q(Files.Path("nc/teil.nc")))}));
        EXPECT_EQ(Form->StatusText(), status);
        EXPECT_TRUE(Questions.Asked.empty());
        Form->WandelnClick(); // a second start is refused
        EXPECT_EQ(LinesOf(Form->Quelle), source);
        EXPECT_EQ(LinesOf(Form->Ziel), target);

        stop();
        WaitForWork(Form);
        EXPECT_EQ(Form->StatusText(), u"Umwandlung abgebrochen"_qs);
        EXPECT_EQ(LinesOf(Form->Ziel), target);
        EXPECT_EQ(Form->Ziel->Highlighter(), highlighter);
        EXPECT_TRUE(Form->TargetEdited());
        EXPECT_FALSE(Form->Fortschritt->isVisible());
        EXPECT_TRUE(Form->XPSpeedButton3->isEnabled());
        EXPECT_TRUE(Form->HPGLerzeugen1->isEnabled());
    }
    // The panes take edits again.
    Type(Form->Quelle, "G");
    EXPECT_EQ(LinesOf(Form->Quelle)[0], "G" + source[0]);
    EXPECT_TRUE(Errors.Entries.empty());
}

// Quitting stops the run first (after the question over unsaved edits); a window destroyed
// while its worker runs stops it before the panes go.
TEST_F(MainWindowWork, QuittingWhileItRunsStopsTheRunFirst) {
    OpenLongProgram();
    Form->SetLongWorkLimits(kOnWorker);
    Type(Form->Quelle, "(");
    Click(Form->XPSpeedButton3);
    Questions.Answers = {TAnswer::No};
    Form->close();
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Form->Busy()); // "Nein": the run goes on
    Questions.Answers = {TAnswer::Yes};
    Form->close();
    EXPECT_EQ(Questions.Asked.size(), 2u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->isVisible(); }, 20000));
    EXPECT_FALSE(Form->Busy());
    EXPECT_EQ(Questions.Asked.size(), 2u); // asked once per close

    Start();
    Open("lang.nc", test::TTempDir::Read(Files.Path("nc/lang.nc")));
    Form->SetLongWorkLimits(kOnWorker);
    Click(Form->XPSpeedButton3);
    Program.reset();
}

// A big file is read on the worker: from "NC öffnen", a dropped file and the command line
// alike. A cancel keeps the pane; the loaded text is the one read at once.
TEST_F(MainWindowWork, LoadingABigFileShowsProgressAndCanBeStopped) {
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "G1 X" + std::to_string(i) + " Y" + std::to_string(i % 97) + "\n";
    Files.Write("nc/gross.nc", text);
    const QString path = Q(Files.Path("nc/gross.nc"));
    Start({Files.Path("nc/gross.nc")}, Hidden);
    Form->SetLongWorkLimits(kOnWorker);
    Form->show();
    EXPECT_TRUE(Form->Busy());
    WaitForWork(Form);
    const std::vector<std::string> loaded = LinesOf(Form->Quelle);
    EXPECT_EQ(Form->StatusText(), u"NC-Datei "_qs + path + u" geladen"_qs);

    OpenExample();
    Click(Form->XPSpeedButton3);
    WaitForWork(Form);
    const std::vector<std::string> source = LinesOf(Form->Quelle), target = LinesOf(Form->Ziel);
    const std::function<void()> opens[] = {
        [&] {
            TScriptedFileDialogs dialogs;
            dialogs.Answers = {path};
            Click(Form->XPSpeedButton1);
        },
        [&] {
            DropOn(Form->Ziel->viewport(), {30, 10}, *FileDrop({QUrl::fromLocalFile(path)}));
        },
    };
    for (const auto& open : opens) {
        open();
        ASSERT_TRUE(Form->Busy());
        EXPECT_EQ(Form->Fortschritt->Caption->text(), u"NC-Datei wird geladen"_qs);
        QTest::keyClick(Form->windowHandle(), Qt::Key_Escape);
        WaitForWork(Form);
        EXPECT_EQ(LinesOf(Form->Quelle), source);
        EXPECT_EQ(LinesOf(Form->Ziel), target);
        EXPECT_EQ(Form->StatusText(), u"Laden abgebrochen"_qs);

        open();
        WaitForWork(Form);
        EXPECT_EQ(LinesOf(Form->Quelle), loaded);
        EXPECT_EQ(Form->Ziel->Lines().Count(), 0);
        EXPECT_EQ(Form->StatusText(), u"NC-Datei "_qs + path + u" geladen"_qs);
        OpenExample();
        Click(Form->XPSpeedButton3);
        WaitForWork(Form);
    }
    Form->SetLongWorkLimits(kAtOnce);
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {path};
    Click(Form->XPSpeedButton1);
    EXPECT_EQ(LinesOf(Form->Quelle), loaded);
    EXPECT_TRUE(Errors.Entries.empty());
}

// Saving many lines goes through the worker too: the same bytes, and a stop keeps the old
// file; quitting lets it finish.
TEST_F(MainWindowWork, SavingManyLinesShowsProgressAndCanBeStopped) {
    Start();
    OpenExample();
    Form->SetLongWorkLimits(kOnWorker);
    Click(Form->XPSpeedButton3);
    WaitForWork(Form);
    Files.Write("plt/alt.plt", "alt");
    TScriptedFileDialogs dialogs;
    Questions.Answers = {TAnswer::Yes};
    dialogs.Answers = {Q(Files.Path("plt/alt.plt"))};
    Click(Form->XPSpeedButton2);
    EXPECT_EQ(Form->Fortschritt->Caption->text(), u"HPGL-Daten werden gespeichert"_qs);
    WaitForWork(Form);
    EXPECT_EQ(test::TTempDir::Read(Files.Path("plt/alt.plt")), WithCrLf(kExampleHpgl));
    EXPECT_EQ(Form->StatusText(), Q("HPGL-Daten in " + Files.Path("plt/alt.plt") + " gespeichert"));

    TCodeEditDetachedLines many(8, nullptr);
    std::string written;
    for (int i = 0; i < 1000000; ++i) {
        many.Lines().AddLine("PA" + std::to_string(i) + ",0;");
        written += "PA" + std::to_string(i) + ",0;\r\n";
    }
    Form->Quelle->AdoptLines(many.Lines());
    Files.Write("nc/alt.nc", "alt");
    Questions.Answers = {TAnswer::Yes};
    dialogs.Answers = {Q(Files.Path("nc/alt.nc"))};
    RunGuarded([&] { Form->AlsNCDateispeichern1Click(); });
    ASSERT_TRUE(Form->Busy());
    EXPECT_EQ(Form->Fortschritt->Caption->text(), u"NC-Daten werden gespeichert"_qs);
    QTest::keyClick(Form->windowHandle(), Qt::Key_Escape);
    WaitForWork(Form);
    EXPECT_EQ(test::TTempDir::Read(Files.Path("nc/alt.nc")), "alt");
    EXPECT_EQ(Form->StatusText(), u"Speichern abgebrochen"_qs);

    // Quitting lets a save finish.
    Questions.Answers = {TAnswer::Yes};
    dialogs.Answers = {Q(Files.Path("nc/alt.nc"))};
    RunGuarded([&] { Form->AlsNCDateispeichern1Click(); });
    ASSERT_TRUE(Form->Busy());
    Form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->isVisible(); }, 20000));
    EXPECT_EQ(test::TTempDir::Read(Files.Path("nc/alt.nc")), written);
    EXPECT_TRUE(Errors.Entries.empty());
}

// ---- The preview ----

class MainWindowPreview : public MainWindowWork {
protected:
    TVorschau& Preview() { return Form->Vorschau().Window(); }
    TPlotWidget& Plot() { return *Preview().Plot; }
    QPointF At(TPlotPoint p) {
        const TDevicePoint d = Plot().View().ToDevice(p);
        return {d.X, d.Y};
    }
    bool Drawn(TPlotPoint p, const std::function<bool(QColor)>& is) {
        return test::Near(Plot().grab().toImage(), At(p), is);
    }
    void WaitForDrawing() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return Form->Vorschau().Current(); }, 20000));
    }
    void ClickOn(TPlotPoint p) { QTest::mouseClick(&Plot(), Qt::LeftButton, {}, At(p).toPoint()); }
    int CaretLine(TCodeEdit* pane) { return pane->Core().CaretXY().Y - 1; }
};

// However it is opened, the preview draws the converted example where it lies: converted
// while it was hidden, it reads on opening; open, it follows every run at once. Read at once
// or on a thread alike.
TEST_F(MainWindowPreview, ItDrawsZielAfterEveryRunHoweverItIsOpened) {
    const struct {
        int type;
        const char* opened;
        std::size_t readAtOnce;
    } cases[] = {{1, "menu", TVorschauLink::kReadAtOnceLines},
                 {2, "Alt+V", 0},
                 {1, "button", 0},
                 {2, "button", TVorschauLink::kReadAtOnceLines}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.opened);
        WriteSettings(c.type);
        Start();
        Form->Vorschau().SetReadAtOnceLines(c.readAtOnce);
        OpenExample();
        Choose(Form->HPGLerzeugen1);
        EXPECT_FALSE(Preview().isVisible());
        EXPECT_EQ(Plot().Model(), nullptr); // hidden, it reads nothing
        if (c.opened == std::string("menu"))
            Choose(Form->Vorschau1);
        else if (c.opened == std::string("Alt+V"))
            QTest::keyClick(Form->windowHandle(), Qt::Key_V, Qt::AltModifier);
        else
            Click(Form->Button_Vorschau);
        QCoreApplication::processEvents();
        ASSERT_TRUE(Preview().isVisible());
        EXPECT_EQ(Preview().parentWidget(), Form);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Preview()));
        WaitForDrawing();
        // The line, the lowest point of the half circle (a chord point in HPGL 1), and
        // paper inside the circle and below the line.
        EXPECT_TRUE(Drawn({5000, 0}, test::Ink));
        EXPECT_TRUE(Drawn({15000, -5000}, test::Ink));
        EXPECT_FALSE(Drawn({15000, -2500}, test::Ink));
        EXPECT_FALSE(Drawn({5000, -2500}, test::Ink));
        EXPECT_TRUE(Preview().StatusBar->currentMessage().startsWith(u"Zeichenweg"_qs));

        const TPlotModel* first = Plot().Model();
        Choose(Form->HPGLerzeugen1);
        if (c.readAtOnce == 0) WaitForDrawing();
        EXPECT_TRUE(Form->Vorschau().Current());
        EXPECT_NE(Plot().Model(), first);
        EXPECT_EQ(Plot().Model()->LineCount, kExampleHpgl.size() - (c.type == 2 ? 3 : 0));
        Preview().close();
    }
    EXPECT_TRUE(Errors.Entries.empty());
}

// A stroke clicked puts both carets on the lines that made it; a caret moved in either pane
// highlights the strokes of its lines. In both readings and both dialects, the NC lines of
// the straight move and the arc told by the example's text.
TEST_F(MainWindowPreview, StrokesAndCaretsAreLinkedBothWaysInBothReadings) {
    const struct {
        const char* name;
        const char* ini; // keys after [convert]
        const char* program;
        int straight, arc; // NC lines, 0-based
    } cases[] = {
        {"literal, HPGL 1", "factor=1000\r\ndeg=45\r\ntype=1\r\n", kExampleNc, 2, 3},
        {"literal, HPGL 2", "factor=1000\r\ndeg=45\r\ntype=2\r\n", kExampleNc, 2, 3},
        {"standard, HPGL 1", "factor=1000\r\ndeg=45\r\ntype=1\r\nncmode=1\r\n",
         "%\nG21 G90\nG0 X0 Y0\nG1 Z-1 F100\nG1 X10\nG3 X20 Y0 I5 J0\nG0 Z5\nM30\n%\n", 4, 5},
        {"standard, HPGL 2", "factor=1000\r\ndeg=45\r\ntype=2\r\nncmode=1\r\n",
         "%\nG21 G90\nG0 X0 Y0\nG1 Z-1 F100\nG1 X10\nG3 X20 Y0 I5 J0\nG0 Z5\nM30\n%\n", 4, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Files.Write("main.ini", "[convert]\r\n" + std::string(c.ini));
        Start();
        Open("teil.nc", c.program);
        Click(Form->XPSpeedButton3);
        Click(Form->Button_Vorschau);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Preview()));
        WaitForDrawing();

        // Clicks: each pane's caret on a line that made the stroke, both in view.
        const struct {
            TPlotPoint on;
            int nc;
        } clicks[] = {{{5000, 0}, c.straight}, {{15000, -5000}, c.arc}, {{18536, -3536}, c.arc}};
        for (const auto& click : clicks) {
            SCOPED_TRACE(click.on.X);
            Form->Quelle->Core().SetCaretXY({1, 1});
            ClickOn(click.on);
            EXPECT_EQ(CaretLine(Form->Quelle), click.nc);
            EXPECT_EQ(Form->ZielSourceLine(CaretLine(Form->Ziel)), click.nc);
            EXPECT_GE(CaretLine(Form->Ziel), Form->Ziel->TopLine() - 1);
        }
        ClickOn({5000, 0});
        EXPECT_NE(Form->Ziel->Lines().LineAt(std::size_t(CaretLine(Form->Ziel))).find("10000,0;"),
                  std::string_view::npos);
        // The HPGL caret's line highlights that line only: the straight move, not the arc.
        EXPECT_TRUE(Drawn({5000, 0}, test::Highlighted));
        EXPECT_FALSE(Drawn({15000, -5000}, test::Highlighted));
        // The NC caret on the arc's line highlights every HPGL line made of it.
        Form->Quelle->Core().SetCaretXY({1, c.arc + 1});
        EXPECT_FALSE(Drawn({5000, 0}, test::Highlighted));
        for (const TPlotPoint on : {TPlotPoint{10000, 0}, TPlotPoint{11464, -3536},
                                    TPlotPoint{15000, -5000}, TPlotPoint{18536, -3536}})
            EXPECT_TRUE(Drawn(on, test::Highlighted)) << on.X;
        // A line that made no stroke highlights nothing.
        Form->Quelle->Core().SetCaretXY({1, 1});
        EXPECT_FALSE(Drawn({15000, -5000}, test::Highlighted));
        Preview().close();
    }
    EXPECT_TRUE(Errors.Entries.empty());
}

// An edit in Ziel is drawn once typing pauses, at once or on a thread; until then a click
// on the old drawing moves no caret, and afterwards the edited line, which no NC line made,
// moves only Ziel's caret.
TEST_F(MainWindowPreview, AnEditIsDrawnOnceTypingPauses) {
    for (const std::size_t readAtOnce : {TVorschauLink::kReadAtOnceLines, std::size_t(0)}) {
        SCOPED_TRACE(readAtOnce);
        Start();
        Form->Vorschau().SetReadAtOnceLines(readAtOnce);
        OpenExample();
        Click(Form->XPSpeedButton3);
        Click(Form->Button_Vorschau);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Preview()));
        WaitForDrawing();
        const TPlotModel* before = Plot().Model();

        Form->Ziel->Core().SetCaretXY({9, 4}); // "PA10000,|0;"
        Type(Form->Ziel, "500");
        ASSERT_EQ(Form->Ziel->Lines().LineAt(3), "PA10000,5000;");
        EXPECT_FALSE(Form->Vorschau().Current());
        Form->Quelle->Core().SetCaretXY({1, 1});
        ClickOn({15000, -5000});
        EXPECT_EQ(CaretLine(Form->Quelle), 0);
        EXPECT_EQ(CaretLine(Form->Ziel), 3);
        QTest::qWait(TVorschauLink::kEditPauseMs / 2);
        EXPECT_EQ(Plot().Model(), before);

        WaitForDrawing();
        EXPECT_NE(Plot().Model(), before);
        EXPECT_TRUE(Drawn({5000, 2500}, test::Ink));
        EXPECT_FALSE(Drawn({5000, 0}, test::Ink));
        ClickOn({5000, 2500});
        EXPECT_EQ(CaretLine(Form->Ziel), 3);
        EXPECT_EQ(CaretLine(Form->Quelle), 0);
        Questions.Answers = {TAnswer::Yes}; // the edit may go
        Preview().close();
    }
}

// Long work does not hold the preview up: opened while a run goes on, it shows Ziel as it
// stands, and it opens again where it was left.
TEST_F(MainWindowPreview, ItOpensWhileARunGoesOnAndWhereItWasLeft) {
    OpenLongProgram();
    Form->Ziel->Lines().AddLine("PD4000,3000;");
    Click(Form->XPSpeedButton3);
    ASSERT_TRUE(Form->Busy());
    Click(Form->Button_Vorschau);
    ASSERT_TRUE(Preview().isVisible());
    WaitForDrawing();
    EXPECT_EQ(Plot().Model()->LineCount, 1u);
    EXPECT_TRUE(Form->Busy());
    Form->CancelWork();
    WaitForWork(Form);

    const QRect place(120, 90, 640, 420);
    Preview().setGeometry(place);
    Preview().close();
    Click(Form->Button_Vorschau);
    EXPECT_EQ(Preview().geometry(), place);
    EXPECT_TRUE(Errors.Entries.empty());
}

} // namespace
} // namespace plotalon
