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
        std::filesystem::create_directory(files_.Path("nc"));
        std::filesystem::create_directory(files_.Path("plt"));
        files_.Write("nc/teil.nc", kExampleNc);
    }

    void WriteSettings(int type) {
        std::string ini = Replace(kExampleIni, "{dir}", files_.Folder());
        files_.Write("main.ini", Replace(ini, "{type}", std::to_string(type)));
        files_.Write("vorspann.plt", "IN;SP1;");
        files_.Write("nachspann.plt", "SP0;");
    }

    // Makes the windows as the program does; shows the main window unless told not to, and
    // waits for it where painting is allowed. The default argument names no file: no splash,
    // nothing loaded.
    enum TShow { Shown, ShownNoWait, Hidden };
    void Start(std::vector<std::string> parameters = {"-"}, TShow show = Shown) {
        program_ = std::make_unique<TProgram>(std::move(parameters));
        form_ = &program_->Form1;
        if (show == Hidden) return;
        form_->show();
        if (show == Shown) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
        }
    }

    static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, {5, 5}); }

    // Chooses a command as the user does: in the menu bar, or in the "Datei" menu opened
    // from it; the command runs once the menu is done with the click.
    void Choose(QAction* item) {
        QMenuBar* bar = form_->MainMenu1;
        if (bar->actions().contains(item)) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(item).center());
            QCoreApplication::processEvents();
            return;
        }
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(form_->Datei1->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_->Datei1));
        QTest::mouseClick(form_->Datei1, Qt::LeftButton, {},
                          form_->Datei1->actionGeometry(item).center());
        QCoreApplication::processEvents();
        EXPECT_FALSE(form_->Datei1->isVisible());
    }

    // Opens the example NC file through "&NC öffnen".
    void OpenExample() {
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(files_.Path("nc/teil.nc"))};
        Click(form_->XPSpeedButton1);
        WaitForWork(form_);
        ASSERT_EQ(form_->StatusText(), Q("NC-Datei " + files_.Path("nc/teil.nc") + " geladen"));
    }

    // Types text into a pane as the user does.
    static void Type(TCodeEdit* pane, const char* text) {
        pane->setFocus();
        QTest::keyClicks(pane, QString::fromUtf8(text));
    }

    test::TTempDir files_;
    TProgramFolderOverride folder_{files_.Folder()};
    TErrorRecorder errors_;
    TScriptedQuestions questions_; // no answer: the user says "Nein"
    std::unique_ptr<TProgram> program_;
    TForm1* form_ = nullptr;
};

// ---- Layout ----

TEST_F(MainWindow, CaptionSizeMenuAndButtons) {
    Start({"-"}, Hidden);
    EXPECT_EQ(form_->windowTitle(), u"Plotalon 1.1"_qs);
    EXPECT_EQ(form_->size(), QSize(541, 409));
    EXPECT_EQ(form_->minimumSize(), QSize(540, 250));
    EXPECT_TRUE(form_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form_->font().pixelSize(), 11);

    // The menu bar: one submenu, then commands.
    const QList<QAction*> top = form_->MainMenu1->actions();
    const struct {
        QAction* item;
        const char* caption;
    } items[] = {
        {form_->Datei1->menuAction(), "&Datei"},
        {form_->HPGLerzeugen1, "&HPGL erzeugen"},
        {form_->Vorschau1, "&Vorschau"},
        {form_->Einstellungen1, "&Einstellungen"},
        {form_->Info1, "&Info"},
        {form_->Beenden1, "&Beenden"},
    };
    ASSERT_EQ(top.size(), qsizetype(std::size(items)));
    for (std::size_t i = 0; i < std::size(items); ++i) {
        EXPECT_EQ(top[qsizetype(i)], items[i].item);
        EXPECT_EQ(top[qsizetype(i)]->text(), QString::fromUtf8(items[i].caption));
        EXPECT_EQ(top[qsizetype(i)]->menu() != nullptr, i == 0);
    }
    const QList<QAction*> file = form_->Datei1->actions();
    ASSERT_EQ(file.size(), 6);
    EXPECT_EQ(file[0], form_->NCDateiffnen1);
    EXPECT_EQ(file[0]->text(), u"&NC-Datei öffnen ..."_qs);
    EXPECT_EQ(file[1], form_->AlsNCDateispeichern1);
    EXPECT_EQ(file[1]->text(), u"NC-Daten speichern ..."_qs);
    EXPECT_TRUE(file[2]->isSeparator());
    EXPECT_EQ(file[3], form_->HPGLDatenalsPLTDateispeichern1);
    EXPECT_EQ(file[3]->text(), u"&HPGL-Daten als PLT-Datei speichern ..."_qs);
    EXPECT_TRUE(file[4]->isSeparator());
    EXPECT_EQ(file[5], form_->AnPlottersenden1);
    EXPECT_EQ(file[5]->text(), u"An &Plotter senden ..."_qs);
    EXPECT_EQ(file[5]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    for (QAction* item : file.first(4))
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();

    const struct {
        TXPSpeedButton* button;
        int left;
        const char* caption;
    } buttons[] = {{form_->XPSpeedButton1, 8, "&NC öffnen"},
                   {form_->XPSpeedButton3, 128, "&HPGL erzeugen"},
                   {form_->XPSpeedButton2, 248, "H&PGL speichern"},
                   {form_->Button_Einstellungen, 368, "&Einstellungen"},
                   {form_->Button_Vorschau, 488, "&Vorschau"}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.caption);
        EXPECT_EQ(b.button->parentWidget(), form_->Panel2);
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
        {"*.nc|*.nc|*.cnc|*.cnc|*.*|*.*|*.ngc|*.ngc|*.tap|*.tap", ".nc", form_->OpenDialog},
        {"*.plt|*.plt|*.*|*.*", "plt", form_->SaveDialog},
        {"*.nc|*.nc|*.*|*.*", "nc", form_->SaveDialogNC}};
    for (const auto& d : dialogs) {
        EXPECT_EQ(d.dialog.Filter, QString::fromUtf8(d.filter));
        EXPECT_EQ(d.dialog.DefaultExt, QString::fromUtf8(d.extension));
    }
}

TEST_F(MainWindow, PanelsAndPanesFillTheWindow) {
    Start({"-"}, Hidden);
    form_->setWindowState(Qt::WindowNoState);
    form_->resize(700, 400);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    const int width = form_->centralWidget()->width();
    EXPECT_EQ(width, 700);
    EXPECT_EQ(form_->Panel2->geometry(), QRect(0, 0, width, 41));
    EXPECT_EQ(form_->Panel1->geometry(), QRect(width - 48, 0, 48, 41));
    EXPECT_EQ(form_->Image1->geometry(), QRect(8, 4, 32, 32));
    EXPECT_EQ(form_->Image1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form_->Image1->Picture().Image().size(), QSize(32, 32));
    EXPECT_EQ(form_->Panel_Haupt->geometry(),
              QRect(0, 41, width, form_->centralWidget()->height() - 41));

    const int height = form_->Panel_Haupt->height();
    EXPECT_EQ(form_->Panel_Links->geometry(), QRect(0, 0, 350, height));
    EXPECT_EQ(form_->Splitter1->geometry(), QRect(350, 0, 3, height));
    EXPECT_EQ(form_->Panel_Rechts->geometry(), QRect(353, 0, width - 353, height));
    for (auto [panel, header, label, pane, caption] :
         {std::tuple{form_->Panel_Links, form_->Panel5, form_->Label1, form_->Quelle, "NC"},
          std::tuple{form_->Panel_Rechts, form_->Panel6, form_->Label2, form_->Ziel, "HPGL"}}) {
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
    EXPECT_TRUE(form_->StatusBar->isVisible());
    EXPECT_EQ(form_->StatusText(), "");
}

// ---- Start-up ----

TEST_F(MainWindow, TheProgramConnectsItsWindows) {
    Start();
    EXPECT_EQ(program_->Form_Einstellungen.parentWidget(), form_);
    EXPECT_EQ(program_->Info.parentWidget(), form_);
    EXPECT_FALSE(program_->Form_Einstellungen.isVisible());
    EXPECT_FALSE(program_->Hilfe.isVisible());
    // The settings were loaded into the dialog and the conversion settings.
    EXPECT_EQ(program_->Form_Einstellungen.EGrad->text(), "45");
    EXPECT_EQ(program_->Form_Einstellungen.EVorspann->Text(), "IN;SP1;");
    // The source pane is highlighted from the start; the start-up work runs once only.
    TCodeCustomHighlighter* highlighter = form_->Quelle->Highlighter();
    EXPECT_NE(dynamic_cast<TNCSyn*>(highlighter), nullptr);
    form_->hide();
    form_->show();
    EXPECT_EQ(form_->Quelle->Highlighter(), highlighter);

    // The settings dialog's "&Hilfe" opens the help window.
    TScriptedModal modal;
    modal.Script = [&](QDialog& shown) {
        if (&shown == &program_->Form_Einstellungen)
            Click(program_->Form_Einstellungen.XPSpeedButton1);
    };
    Click(form_->Button_Einstellungen);
    ASSERT_EQ(modal.Shown.size(), 2u);
    EXPECT_EQ(modal.Shown[0], &program_->Form_Einstellungen);
    EXPECT_EQ(modal.Shown[1], &program_->Hilfe);

    // Only the main window ends the program when it closes.
    for (QWidget* other :
         {static_cast<QWidget*>(&program_->Form_Einstellungen),
          static_cast<QWidget*>(&program_->Info), static_cast<QWidget*>(&program_->Hilfe),
          static_cast<QWidget*>(&program_->Intro)})
        EXPECT_FALSE(other->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(form_->testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(MainWindow, TheCommandLine) {
    // One path in two parts, as a shell hands it over when it is not quoted.
    std::filesystem::create_directory(files_.Path("NCDaten"));
    files_.Write("NCDaten/teil.nc", "G1 X1\r\n");

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
        {{files_.Path("NC"), "Daten/teil.nc"},
         nullptr,
         {"G1 X1"},
         "NC-Datei " + files_.Path("NC") + " geladen",
         false},
        {{files_.Path("fehlt.nc")}, nullptr, {}, "", false},
        {{files_.Path("nc")}, nullptr, {}, "", false}, // a folder is no file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters.empty() ? std::string("(none)") : c.parameters.front());
        if (c.clipboard)
            QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        else
            QGuiApplication::clipboard()->clear();
        Start(c.parameters);
        EXPECT_EQ(LinesOf(form_->Quelle), c.source);
        EXPECT_EQ(form_->StatusText(), QString::fromStdString(c.status));
        EXPECT_EQ(program_->Intro.isVisible(), c.splash);
        EXPECT_TRUE(errors_.Entries.empty());
        program_.reset();
    }
}

// A file that exists but cannot be read stops the start-up work where it is met. Root reads
// every file, so the start runs as an ordinary user. The child process must not paint (the
// painting threads stay behind in the fork): the windows are made before it, and it shows
// the main window without waiting for it to be drawn.
TEST_F(MainWindow, AFailingStartUpStepIsReportedAndTheWindowShownAllTheSame) {
    files_.Write("geheim.nc", "G1 X1\n");
    files_.Write("lesbar.nc", "G1 X1\n");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(files_.Folder()));
    ASSERT_EQ(chmod(files_.Path("geheim.nc").c_str(), 0), 0);
    auto cannotOpen = [&](const char* name) {
        return "Datei " + files_.Path(name) + " kann nicht geöffnet werden.";
    };
    auto startUnprivileged = [&](const std::vector<std::string>& parameters,
                                 const std::string& report, bool stopsAtSettings) {
        Start(parameters, Hidden);
        return test::RunUnprivileged([&]() -> std::string {
            form_->show();
            std::string failures;
            if (errors_.Entries.size() != 1 || errors_.Entries[0].message.toStdString() != report)
                failures += "not reported; ";
            if (!form_->isVisible()) failures += "not shown; ";
            if (form_->Quelle->Lines().Count() != 0) failures += "source changed; ";
            if (!form_->StatusText().isEmpty()) failures += "status set; ";
            if (program_->Intro.isVisible()) failures += "splash shown; ";
            if ((form_->Quelle->Highlighter() == nullptr) != stopsAtSettings)
                failures += "highlighter; ";
            return failures;
        });
    };
    // A command-line file that cannot be read: reported, the pane as it was.
    EXPECT_EQ(startUnprivileged({files_.Path("geheim.nc")}, cannotOpen("geheim.nc"), false), "");

    // A prefix file that cannot be read: no highlighter, no command line, no splash.
    ASSERT_EQ(chmod(files_.Path("vorspann.plt").c_str(), 0), 0);
    EXPECT_EQ(startUnprivileged({}, cannotOpen("vorspann.plt"), true), "");
    EXPECT_EQ(startUnprivileged({files_.Path("lesbar.nc")}, cannotOpen("vorspann.plt"), true), "");
}

// The start-up work runs while the panes are still narrow, before the split and before the
// window has its final size: neither a paste nor a load may leave the view scrolled to the
// right of column 1.
TEST_F(MainWindow, EveryStartShowsColumnOneOfBothPanes) {
    const struct {
        std::vector<std::string> parameters;
        TCodePoint caret;
    } cases[] = {{{"/C"}, {9, 2}}, {{files_.Path("nc/teil.nc")}, {1, 1}}, {{}, {1, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters.empty() ? std::string("(none)") : c.parameters.front());
        QGuiApplication::clipboard()->setText(u"G0 X1 Y2\nG1 X3 Y4"_qs);
        Start(c.parameters);
        QTest::qWait(0);
        for (TCodeEdit* pane : {form_->Quelle, form_->Ziel}) {
            EXPECT_EQ(pane->LeftChar(), 1);
            EXPECT_EQ(pane->TopLine(), 1);
        }
        EXPECT_EQ(form_->Quelle->Core().CaretXY(), c.caret);
        program_.reset();
    }
}

TEST_F(MainWindow, ThePanesAreSplitInTheMiddleAfterShowingAndEveryResize) {
    Start({"-"}, Hidden);
    form_->setWindowState(Qt::WindowNoState);
    form_->resize(541, 409);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    ASSERT_EQ(form_->Panel_Haupt->width(), 541);
    EXPECT_EQ(form_->Panel_Links->width(), 270); // 270.5, the half to the even neighbour

    // The splitter moves the border, no further than either pane's minimum width.
    auto drag = [&](int dx) {
        QWidget* bar = form_->Splitter1;
        QTest::mousePress(bar, Qt::LeftButton, {}, {1, 50});
        QTest::mouseMove(bar, {1 + dx, 50});
        QTest::mouseRelease(bar, Qt::LeftButton, {}, {1 + dx, 50});
    };
    drag(-60);
    EXPECT_EQ(form_->Panel_Links->width(), 210);
    EXPECT_EQ(form_->Splitter1->x(), 210);
    EXPECT_EQ(form_->Panel_Rechts->x(), 213);
    drag(-500);
    EXPECT_EQ(form_->Panel_Links->width(), 100);
    drag(1000);
    EXPECT_EQ(form_->Panel_Rechts->width(), 100);
    EXPECT_EQ(form_->Panel_Links->width(), 541 - 3 - 100);

    // Any resize brings it back to the middle, a change of height too.
    for (QSize size : {QSize(543, 409), QSize(543, 300), QSize(800, 500)}) {
        drag(-40);
        form_->resize(size);
        QTest::qWait(0);
        EXPECT_EQ(form_->Panel_Haupt->width(), size.width());
        const int half = size.width() / 2 + (size.width() == 543 ? 1 : 0); // 271.5 gives 272
        EXPECT_EQ(form_->Panel_Links->width(), half) << size.width() << "x" << size.height();
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
    form_->Ziel->Lines().AddLine("alt"); // loading a file clears the target
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(files_.Path("nc/teil.nc"))};
    Click(form_->XPSpeedButton1);
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    EXPECT_EQ(dialogs.Requests[0].kind, fdOpen);
    EXPECT_EQ(dialogs.Requests[0].options.InitialDir, Q(files_.Path("nc")));
    EXPECT_EQ(dialogs.Requests[0].options.Filter,
              u"*.nc|*.nc|*.cnc|*.cnc|*.*|*.*|*.ngc|*.ngc|*.tap|*.tap"_qs);
    EXPECT_EQ(LinesOf(form_->Quelle), (std::vector<std::string>{"G0 X0 Y0", "G1 Z-1", "G1 X10",
                                                                "G3 X20 Y0 R5", "G0 Z5", "M30"}));
    EXPECT_EQ(form_->StatusText(), Q("NC-Datei " + files_.Path("nc/teil.nc") + " geladen"));
    EXPECT_EQ(form_->Ziel->Lines().Count(), 0);

    Click(form_->XPSpeedButton3);
    EXPECT_EQ(LinesOf(form_->Ziel), kExampleHpgl);
    EXPECT_EQ(form_->StatusText(), u"HPGL1-Konvertierung beendet"_qs);
    EXPECT_EQ(form_->Ziel->Lines().UpdateCount(), 0);
    TCodeCustomHighlighter* first = form_->Ziel->Highlighter();
    EXPECT_NE(dynamic_cast<TNCSyn*>(first), nullptr);
    EXPECT_NE(first, form_->Quelle->Highlighter());

    // Saved as the pane stands, with CR LF after every line whatever its own line breaks.
    form_->Ziel->Lines().SetLineBreakFormat(TLineBreakFormat::LF);
    dialogs.Answers = {Q(files_.Path("plt/teil.plt"))};
    Click(form_->XPSpeedButton2);
    ASSERT_EQ(dialogs.Requests.size(), 2u);
    EXPECT_EQ(dialogs.Requests[1].kind, fdSave);
    EXPECT_EQ(dialogs.Requests[1].options.InitialDir, Q(files_.Path("plt")));
    EXPECT_EQ(dialogs.Requests[1].options.Filter, u"*.plt|*.plt|*.*|*.*"_qs);
    EXPECT_EQ(dialogs.Requests[1].options.DefaultExt, u"plt"_qs);
    EXPECT_EQ(dialogs.Requests[1].options.FileName, u"teil.plt"_qs);
    EXPECT_EQ(test::TTempDir::Read(files_.Path("plt/teil.plt")), WithCrLf(kExampleHpgl));
    EXPECT_EQ(form_->StatusText(),
              Q("HPGL-Daten in " + files_.Path("plt/teil.plt") + " gespeichert"));

    // Every run starts afresh, with a highlighter of its own; an empty pane saves as an empty
    // file.
    form_->Ziel->Lines().AddLine("von Hand");
    Choose(form_->HPGLerzeugen1);
    EXPECT_EQ(LinesOf(form_->Ziel), kExampleHpgl);
    EXPECT_NE(form_->Ziel->Highlighter(), first);
    EXPECT_NE(dynamic_cast<TNCSyn*>(form_->Ziel->Highlighter()), nullptr);
    form_->Ziel->Clear();
    dialogs.Answers = {Q(files_.Path("plt/teil.plt"))};
    questions_.Answers = {TAnswer::Yes}; // replace the file saved before
    Choose(form_->HPGLDatenalsPLTDateispeichern1);
    EXPECT_EQ(test::TTempDir::Read(files_.Path("plt/teil.plt")), "");
    EXPECT_TRUE(errors_.Entries.empty());
}

TEST_F(MainWindow, AnyTypeButOneEndsWithTheHpgl2Status) {
    for (int type : {2, 3}) {
        WriteSettings(type);
        Start();
        OpenExample();
        Choose(form_->HPGLerzeugen1);
        EXPECT_EQ(form_->StatusText(), u"HPGL2-Konvertierung beendet"_qs) << type;
        ASSERT_GE(LinesOf(form_->Ziel).size(), 5u);
        EXPECT_EQ(LinesOf(form_->Ziel)[4].substr(0, 2), type == 2 ? "AT" : "SP") << type;
    }
}

TEST_F(MainWindow, AFaultInAnArcEndsTheRunAndKeepsWhatWasWritten) {
    files_.Write("nc/bogen.nc", "G0 X0 Y0\nG1 Z-1\nG1 X10\nG2 X20 Y0\nG1 X30\n"); // no R: radius 0
    Start();
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(files_.Path("nc/bogen.nc"))};
    Click(form_->XPSpeedButton1);
    const QString loaded = form_->StatusText();
    Click(form_->XPSpeedButton3);
    ASSERT_EQ(errors_.Entries.size(), 1u);
    EXPECT_EQ(errors_.Entries[0].caption, ApplicationTitle());
    EXPECT_EQ(errors_.Entries[0].message, u"Gleitkommadivision durch Null."_qs);
    EXPECT_EQ(LinesOf(form_->Ziel),
              (std::vector<std::string>{"IN;SP1;", "PU0,0;", "PD;", "PA10000,0;"}));
    EXPECT_EQ(form_->StatusText(), loaded);
    EXPECT_EQ(form_->Ziel->Lines().UpdateCount(), 0); // the pane settled all the same
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
        files_.Write("nc/fehler.nc", lines);
        files_.Write("main.ini", "[convert]\r\nfactor=40\r\ntype=1\r\n" + std::string(c.ini));
        errors_.Entries.clear();
        Start();
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(files_.Path("nc/fehler.nc"))};
        Click(form_->XPSpeedButton1);
        ASSERT_EQ(form_->Quelle->TopLine(), 1);
        Click(form_->XPSpeedButton3);
        ASSERT_EQ(errors_.Entries.size(), 1u);
        EXPECT_EQ(errors_.Entries[0].message.toStdString(), c.message);
        EXPECT_EQ(form_->Quelle->Core().CaretXY(), (TCodePoint{1, 250}));
        EXPECT_LE(form_->Quelle->TopLine(), 250);
        EXPECT_GT(form_->Quelle->TopLine() + form_->Quelle->LinesInWindow(), 250);
        EXPECT_EQ(form_->Ziel->Lines().UpdateCount(), 0);
    }
}

TEST_F(MainWindow, AFailedLoadKeepsEverything) {
    Start();
    OpenExample();
    Click(form_->XPSpeedButton3);
    const std::vector<std::string> source = LinesOf(form_->Quelle), target = LinesOf(form_->Ziel);
    for (const char* name : {"nc/fehlt.nc", "nc"}) { // vanished since it was chosen; a folder
        SCOPED_TRACE(name);
        errors_.Entries.clear();
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(files_.Path(name))};
        Choose(form_->NCDateiffnen1);
        ASSERT_EQ(errors_.Entries.size(), 1u);
        EXPECT_EQ(errors_.Entries[0].message,
                  Q("Datei " + files_.Path(name) + " kann nicht geöffnet werden."));
        EXPECT_EQ(LinesOf(form_->Quelle), source);
        EXPECT_EQ(LinesOf(form_->Ziel), target);
        EXPECT_EQ(form_->StatusText(), u"HPGL1-Konvertierung beendet"_qs);
    }
}

// Root writes everywhere, so the saves run as an ordinary user, in a child process that must
// not paint: it runs the command's handler as the button's click would.
TEST_F(MainWindow, AFailedPltSaveIsReportedAndKeepsTheOldFile) {
    Start();
    OpenExample();
    Click(form_->XPSpeedButton3);
    const QString converted = form_->StatusText();
    std::filesystem::create_directory(files_.Path("fremd")); // the user may not write in it
    files_.Write("fremd/alt.plt", "alt");
    files_.Write("plt/schreibgeschuetzt.plt", "alt");
    for (const char* path : {"", "plt", "plt/schreibgeschuetzt.plt"})
        ASSERT_TRUE(test::GiveToUnprivilegedUser(files_.Path(path)));
    ASSERT_EQ(chmod(files_.Path("plt/schreibgeschuetzt.plt").c_str(), 0444), 0);

    for (const char* name : {"fremd/alt.plt", "plt/schreibgeschuetzt.plt"}) {
        SCOPED_TRACE(name);
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(files_.Path(name))};
        questions_.Answers = {TAnswer::Yes};
        const std::string report = "Datei " + files_.Path(name) + " kann nicht erstellt werden.";
        EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                      RunGuarded([&] { form_->PLT_SpeichernClick(); });
                      if (errors_.Entries.size() != 1)
                          return "reports: " + std::to_string(errors_.Entries.size());
                      if (errors_.Entries[0].message.toStdString() != report)
                          return "message: " + errors_.Entries[0].message.toStdString();
                      return form_->StatusText() == converted ? "" : "status changed";
                  }),
                  "");
        EXPECT_EQ(test::TTempDir::Read(files_.Path(name)), "alt");
    }
}

TEST_F(MainWindow, CancelInAFileDialogDoesNothing) {
    Start();
    OpenExample();
    Click(form_->XPSpeedButton3);
    const std::vector<std::string> source = LinesOf(form_->Quelle), target = LinesOf(form_->Ziel);
    auto files = [&] {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(files_.Folder()))
            found.push_back(entry.path());
        return found;
    };
    const auto before = files();
    const std::function<void()> commands[] = {[&] { Click(form_->XPSpeedButton1); },
                                              [&] { Click(form_->XPSpeedButton2); },
                                              [&] { Choose(form_->AlsNCDateispeichern1); }};
    for (const auto& command : commands) {
        TScriptedFileDialogs dialogs; // no answer: the user cancels
        command();
        EXPECT_EQ(dialogs.Requests.size(), 1u);
        EXPECT_EQ(LinesOf(form_->Quelle), source);
        EXPECT_EQ(LinesOf(form_->Ziel), target);
        EXPECT_EQ(form_->StatusText(), u"HPGL1-Konvertierung beendet"_qs);
    }
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(errors_.Entries.empty());
}

// One wrong name in a save dialog must not destroy a file: both saves ask before they replace
// one, "Nein" the preset, and "Nein" leaves the file, the panes and the status line alone.
TEST_F(MainWindow, BothSavesAskBeforeTheyReplaceAFile) {
    Start();
    OpenExample();
    Click(form_->XPSpeedButton3);
    files_.Write("plt/alt.plt", "alt");
    files_.Write("nc/alt.nc", "alt");
    const struct {
        QAction* command;
        const char* name;
        std::string written; // what "Ja" writes
    } cases[] = {{form_->HPGLDatenalsPLTDateispeichern1, "plt/alt.plt", WithCrLf(kExampleHpgl)},
                 {form_->AlsNCDateispeichern1, "nc/alt.nc", kExampleNc}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString status = form_->StatusText();
        const QString path = Q(files_.Path(c.name));
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {path, path};
        questions_.Asked.clear();
        questions_.Answers = {TAnswer::No};
        Choose(c.command);
        ASSERT_EQ(questions_.Asked.size(), 1u);
        EXPECT_EQ(questions_.Asked[0].text,
                  path + u" existiert bereits. Möchten Sie die Datei ersetzen?"_qs);
        EXPECT_EQ(questions_.Asked[0].preset, TAnswer::No);
        EXPECT_EQ(test::TTempDir::Read(files_.Path(c.name)), "alt");
        EXPECT_EQ(form_->StatusText(), status);

        questions_.Answers = {TAnswer::Yes};
        Choose(c.command);
        EXPECT_EQ(test::TTempDir::Read(files_.Path(c.name)), c.written);
        EXPECT_EQ(questions_.Asked.size(), 2u);
    }
    // A new file needs no question; the toolkit's dialog is not asked to ask either.
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(files_.Path("plt/neu.plt"))};
    questions_.Asked.clear();
    Click(form_->XPSpeedButton2);
    EXPECT_TRUE(questions_.Asked.empty());
    EXPECT_EQ(test::TTempDir::Read(files_.Path("plt/neu.plt")), WithCrLf(kExampleHpgl));
    EXPECT_FALSE(dialogs.Requests[0].options.OverwritePrompt);
    EXPECT_TRUE(errors_.Entries.empty());
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
        {"typed into the NC text", [this] { Type(form_->Quelle, "X"); }, nc},
        {"typed into the HPGL text", [this] { Type(form_->Ziel, "X"); }, hpgl},
        {"typed into both",
         [this] {
             Type(form_->Quelle, "X");
             Type(form_->Ziel, "X");
         },
         both},
        {"edits undone count as edits",
         [this] {
             Type(form_->Quelle, "X");
             QTest::keyClick(form_->Quelle, Qt::Key_Z, Qt::ControlModifier);
         },
         nc},
        {"converted again after HPGL edits",
         [this] {
             Type(form_->Ziel, "X");
             Click(form_->XPSpeedButton3);
         },
         {}},
        {"both saved after the edits",
         [this] {
             Type(form_->Quelle, "X");
             Type(form_->Ziel, "X");
             TScriptedFileDialogs dialogs;
             dialogs.Answers = {Q(files_.Path("nc/neu.nc")), Q(files_.Path("plt/neu.plt"))};
             for (const char* name : {"nc/neu.nc", "plt/neu.plt"})
                 std::filesystem::remove(files_.Path(name));
             Choose(form_->AlsNCDateispeichern1);
             Click(form_->XPSpeedButton2);
         },
         {}},
    };
    const std::function<void()> quits[] = {
        [this] {
            QTest::keyClick(form_->windowHandle(), Qt::Key_B, Qt::AltModifier);
            QCoreApplication::processEvents();
        },
        [this] { form_->windowHandle()->close(); },
    };
    for (const auto& c : cases) {
        for (const auto& quit : quits) {
            SCOPED_TRACE(c.name);
            Start();
            OpenExample();
            Click(form_->XPSpeedButton3);
            c.steps();
            const std::vector<std::string> source = LinesOf(form_->Quelle),
                                           target = LinesOf(form_->Ziel);
            const QString status = form_->StatusText();
            questions_.Asked.clear();
            questions_.Answers = {TAnswer::No};
            quit();
            if (c.question.isEmpty()) {
                EXPECT_TRUE(questions_.Asked.empty());
                EXPECT_FALSE(form_->isVisible());
                continue;
            }
            ASSERT_EQ(questions_.Asked.size(), 1u);
            EXPECT_EQ(questions_.Asked[0].text, c.question + u"Trotzdem beenden?"_qs);
            EXPECT_EQ(questions_.Asked[0].preset, TAnswer::No);
            EXPECT_TRUE(form_->isVisible());
            EXPECT_EQ(LinesOf(form_->Quelle), source);
            EXPECT_EQ(LinesOf(form_->Ziel), target);
            EXPECT_EQ(form_->StatusText(), status);

            // Opening asks the same; "Nein" opens no dialog, "Ja" opens as usual.
            TScriptedFileDialogs dialogs;
            questions_.Answers = {TAnswer::No};
            Click(form_->XPSpeedButton1);
            EXPECT_EQ(questions_.Asked.back().text, c.question + u"Trotzdem öffnen?"_qs);
            EXPECT_TRUE(dialogs.Requests.empty());
            EXPECT_EQ(LinesOf(form_->Quelle), source);
            questions_.Answers = {TAnswer::Yes};
            dialogs.Answers = {Q(files_.Path("nc/teil.nc"))};
            Click(form_->XPSpeedButton1);
            EXPECT_EQ(dialogs.Requests.size(), 1u);
            EXPECT_EQ(form_->Quelle->Lines().Count(), 6);
            EXPECT_EQ(form_->Ziel->Lines().Count(), 0);

            // Freshly loaded, nothing is asked any more.
            questions_.Asked.clear();
            quit();
            EXPECT_TRUE(questions_.Asked.empty());
            EXPECT_FALSE(form_->isVisible());
        }
    }
}

// The text the program starts with counts as unedited: a "/C" start asks only after edits.
TEST_F(MainWindow, TheClipboardsTextAtTheStartIsNoEdit) {
    QGuiApplication::clipboard()->setText(u"G0 X1"_qs);
    Start({"/C"});
    EXPECT_FALSE(form_->SourceEdited());
    Type(form_->Quelle, "Y");
    EXPECT_TRUE(form_->SourceEdited());
    EXPECT_FALSE(form_->TargetEdited());
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
    files_.Write("nc/zwei.nc", "G1 X2\n");
    const QUrl teil = QUrl::fromLocalFile(Q(files_.Path("nc/teil.nc")));
    const QUrl zwei = QUrl::fromLocalFile(Q(files_.Path("nc/zwei.nc")));
    Start();
    const struct {
        const char* where;
        QWidget* target;
        QList<QUrl> urls;
        const char* opened;
    } cases[] = {
        {"NC pane", form_->Quelle->viewport(), {teil}, "nc/teil.nc"},
        {"HPGL pane", form_->Ziel->viewport(), {zwei, teil}, "nc/zwei.nc"},
        {"button row", form_->Panel2, {QUrl(u"https://example.com/a.nc"_qs), teil}, "nc/teil.nc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        form_->Ziel->Lines().AddLine("PU0,0;");
        EXPECT_TRUE(DropOn(c.target, {30, 10}, *FileDrop(c.urls)));
        EXPECT_EQ(test::TTempDir::Read(files_.Path(c.opened)),
                  Replace(WithCrLf(LinesOf(form_->Quelle)), "\r\n", "\n"));
        EXPECT_EQ(form_->StatusText(), Q("NC-Datei " + files_.Path(c.opened) + " geladen"));
        EXPECT_EQ(form_->Ziel->Lines().Count(), 0);
    }
    EXPECT_TRUE(questions_.Asked.empty());

    // Over edits the question comes first, as for "NC öffnen".
    Type(form_->Quelle, "X");
    const std::vector<std::string> edited = LinesOf(form_->Quelle);
    questions_.Answers = {TAnswer::No, TAnswer::Yes};
    DropOn(form_->Quelle->viewport(), {30, 10}, *FileDrop({zwei}));
    EXPECT_EQ(LinesOf(form_->Quelle), edited);
    ASSERT_EQ(questions_.Asked.size(), 1u);
    EXPECT_EQ(questions_.Asked[0].text,
              u"Die Änderungen im NC-Text sind nicht gespeichert. Trotzdem öffnen?"_qs);
    DropOn(form_->Quelle->viewport(), {30, 10}, *FileDrop({zwei}));
    EXPECT_EQ(LinesOf(form_->Quelle), std::vector<std::string>{"G1 X2"});

    // A file that cannot be read is reported and the pane keeps its text.
    DropOn(form_->Quelle->viewport(), {30, 10}, *FileDrop({QUrl::fromLocalFile(u"/fehlt.nc"_qs)}));
    ASSERT_EQ(errors_.Entries.size(), 1u);
    EXPECT_EQ(errors_.Entries[0].message, u"Datei /fehlt.nc kann nicht geöffnet werden."_qs);
    EXPECT_EQ(LinesOf(form_->Quelle), std::vector<std::string>{"G1 X2"});
}

// Text stays a text drop, also a web address, which names no local file.
TEST_F(MainWindow, ADroppedTextIsInsertedAsText) {
    Start();
    form_->Quelle->Lines().AddLine("M30");
    const QString status = form_->StatusText();
    QMimeData text;
    text.setText(u"G4 "_qs);
    EXPECT_TRUE(DropOn(form_->Quelle->viewport(), form_->Quelle->RowColumnToPixels({1, 1}), text));
    EXPECT_EQ(LinesOf(form_->Quelle), std::vector<std::string>{"G4 M30"});
    const auto web = FileDrop({QUrl(u"https://example.com/a.nc"_qs)});
    EXPECT_TRUE(DropOn(form_->Quelle->viewport(), form_->Quelle->RowColumnToPixels({1, 1}), *web));
    EXPECT_EQ(LinesOf(form_->Quelle), std::vector<std::string>{"https://example.com/a.ncG4 M30"});
    EXPECT_EQ(form_->StatusText(), status);
    EXPECT_FALSE(DropOn(form_->Panel2, {30, 10}, text)) << "text on the buttons is no file";
}

// The desktop's keys, where the panes' keystroke table leaves them free: F1 help, Ctrl+O
// open, Ctrl+S save; Ctrl+F1 stays the pane's context help.
TEST_F(MainWindow, F1ShowsTheHelpCtrlOOpensCtrlSSaves) {
    Start();
    form_->Quelle->setFocus();
    QWindow* window = form_->windowHandle();
    TScriptedModal modal;
    auto key = [&](int k, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(window, Qt::Key(k), modifiers);
        QCoreApplication::processEvents();
    };
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(files_.Path("nc/teil.nc")), Q(files_.Path("plt/teil.plt"))};
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(form_->Quelle->Lines().Count(), 6);
    Click(form_->XPSpeedButton3);
    form_->Ziel->setFocus();
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Requests.size(), 2u);
    EXPECT_EQ(dialogs.Requests[0].kind, fdOpen);
    EXPECT_EQ(dialogs.Requests[1].kind, fdSave);
    EXPECT_EQ(test::TTempDir::Read(files_.Path("plt/teil.plt")), WithCrLf(kExampleHpgl));

    key(Qt::Key_F1, Qt::ControlModifier);
    EXPECT_TRUE(modal.Shown.empty());
    key(Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(modal.Shown, std::vector<QDialog*>{&program_->Hilfe});
    // The panes took none of the keys as typing.
    EXPECT_EQ(LinesOf(form_->Ziel), kExampleHpgl);
    EXPECT_EQ(LinesOf(form_->Quelle)[0], "G0 X0 Y0");
    EXPECT_TRUE(errors_.Entries.empty());
}

// "An &Plotter senden ..." and Ctrl+P send Ziel as it stands, edits included, CR LF after every
// line as the PLT save writes it, to the port of the saved settings (here a file, written in
// place); without a port the report says where to set one.
TEST_F(MainWindow, TheMenuItemAndCtrlPSendZielAsItStands) {
    Start();
    OpenExample();
    Click(form_->XPSpeedButton3);
    const std::string ini = test::TTempDir::Read(files_.Path("main.ini"));
    files_.Write("main.ini", ini + "[plotter]\r\nport=" + files_.Path("plotter.plt") + "\r\n");
    form_->Ziel->Core().SetCaretXY({1, 9});
    Type(form_->Ziel, "PU;");
    std::vector<std::string> expected = kExampleHpgl;
    expected.back() = "PU;SP0;";
    ASSERT_EQ(LinesOf(form_->Ziel), expected);

    const auto sent = [&]() -> std::string {
        QPointer<TSendProgress> window = form_->findChild<TSendProgress*>();
        if (!window) return "no progress window";
        if (!QTest::qWaitFor([&] { return window->Ended(); }, 10000)) return "the send did not end";
        window->close();
        return test::TTempDir::Read(files_.Path("plotter.plt"));
    };
    Choose(form_->AnPlottersenden1);
    EXPECT_EQ(sent(), WithCrLf(expected));
    std::filesystem::remove(files_.Path("plotter.plt"));
    // The main window active again, as the desktop makes it once the progress window goes.
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
    form_->Ziel->setFocus();
    QTest::keyClick(form_->windowHandle(), Qt::Key_P, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(sent(), WithCrLf(expected));
    EXPECT_EQ(LinesOf(form_->Ziel), expected); // the pane took the key as no typing
    EXPECT_TRUE(errors_.Entries.empty());

    files_.Write("main.ini", ini);
    Choose(form_->AnPlottersenden1);
    ASSERT_EQ(errors_.Entries.size(), 1u);
    EXPECT_EQ(errors_.Entries[0].message,
              u"Kein Anschluss für den Plotter eingestellt (Einstellungen, Seite „Plotter“)"_qs);
    EXPECT_EQ(form_->findChild<TSendProgress*>(), nullptr);
}

// Without an NC file (a "/C" start) the PLT save dialog suggests no name.
TEST_F(MainWindow, ThePltSaveSuggestsTheNcFilesName) {
    files_.Write("nc/teil.v2.cnc", "G1 X1\n");
    const struct {
        std::vector<std::string> parameters;
        const char* suggested;
    } cases[] = {{{"/C"}, ""}, {{files_.Path("nc/teil.v2.cnc")}, "teil.v2.plt"}};
    for (const auto& c : cases) {
        Start(c.parameters);
        TScriptedFileDialogs dialogs;
        Click(form_->XPSpeedButton2);
        ASSERT_EQ(dialogs.Requests.size(), 1u);
        EXPECT_EQ(dialogs.Requests[0].options.FileName, QString::fromUtf8(c.suggested));
    }
}

TEST_F(MainWindow, NcFilesSaveInTheLineBreaksTheyWereReadWith) {
    const std::string crlf = "G1 X1\r\nG1 Y2\r\n";
    files_.Write("nc/crlf.nc", crlf);
    Start();
    TScriptedFileDialogs dialogs;
    for (const auto& [name, bytes] :
         {std::pair{"nc/teil.nc", std::string(kExampleNc)}, std::pair{"nc/crlf.nc", crlf}}) {
        dialogs.Answers = {Q(files_.Path(name)), Q(files_.Path(name) + ".kopie")};
        Choose(form_->NCDateiffnen1);
        const QString status = form_->StatusText();
        Choose(form_->AlsNCDateispeichern1);
        EXPECT_EQ(test::TTempDir::Read(files_.Path(name) + ".kopie"), bytes);
        EXPECT_EQ(form_->StatusText(), status); // saving NC data tells nothing
    }
    ASSERT_EQ(dialogs.Requests.size(), 4u);
    EXPECT_EQ(dialogs.Requests[1].kind, fdSave);
    EXPECT_EQ(dialogs.Requests[1].options.InitialDir, Q(files_.Path("nc")));
    EXPECT_EQ(dialogs.Requests[1].options.Filter, u"*.nc|*.nc|*.*|*.*"_qs);
    EXPECT_EQ(dialogs.Requests[1].options.DefaultExt, u"nc"_qs);
}

TEST_F(MainWindow, SettingsAndAboutOpenModallyFromButtonsMenuAndIcon) {
    Start();
    TScriptedModal modal;
    Click(form_->Button_Einstellungen);
    Choose(form_->Einstellungen1);
    Choose(form_->Info1);
    QTest::mouseClick(form_->Image1, Qt::LeftButton, {}, {16, 16});
    QDialog* settings = &program_->Form_Einstellungen;
    QDialog* about = &program_->Info;
    EXPECT_EQ(modal.Shown, (std::vector<QDialog*>{settings, settings, about, about}));
    EXPECT_FALSE(settings->isVisible());
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(errors_.Entries.empty());
}

TEST_F(MainWindow, PrefixEditsCountAtTheNextRunUnsavedWhileNumbersWaitForASave) {
    Start();
    OpenExample();
    TScriptedModal modal;
    modal.Script = [&](QDialog&) {
        TForm_Einstellungen& settings = program_->Form_Einstellungen;
        settings.EVorspann->SetText("IN;\r\nSP2;");
        settings.EFaktor->setText("10");
        Click(settings.Abbruch);
    };
    Click(form_->Button_Einstellungen);
    Click(form_->XPSpeedButton3);
    const std::vector<std::string> lines = LinesOf(form_->Ziel);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "IN;");
    EXPECT_EQ(lines[1], "SP2;");
    EXPECT_EQ(lines[4], "PA10000,0;"); // still the factor 1000 of the settings file
}

TEST_F(MainWindow, PointingAtMenuItemsKeepsTheStatusText) {
    Start();
    OpenExample();
    const QString loaded = form_->StatusText();
    QMenuBar* bar = form_->MainMenu1;
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(form_->Datei1->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_->Datei1));
    for (QAction* item : {form_->NCDateiffnen1, form_->HPGLDatenalsPLTDateispeichern1})
        QTest::mouseMove(form_->Datei1, form_->Datei1->actionGeometry(item).center());
    QTest::mouseMove(bar, bar->actionGeometry(form_->Info1).center());
    EXPECT_EQ(form_->StatusText(), loaded);
    form_->Datei1->close();
}

TEST_F(MainWindow, AcceleratorsOfTheMenuAndTheButtons) {
    Start();
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {Q(files_.Path("nc/teil.nc")), Q(files_.Path("plt/alt.plt"))};
    QWindow* window = form_->windowHandle();
    QTest::keyClick(window, Qt::Key_N, Qt::AltModifier); // "&NC öffnen"
    EXPECT_EQ(form_->Quelle->Lines().Count(), 6);
    QTest::keyClick(window, Qt::Key_H, Qt::AltModifier); // "&HPGL erzeugen" in the menu bar
    QCoreApplication::processEvents();
    EXPECT_EQ(LinesOf(form_->Ziel), kExampleHpgl);
    QTest::keyClick(window, Qt::Key_P, Qt::AltModifier); // "H&PGL speichern"
    EXPECT_EQ(test::TTempDir::Read(files_.Path("plt/alt.plt")), WithCrLf(kExampleHpgl));
    QTest::keyClick(window, Qt::Key_V, Qt::AltModifier); // "&Vorschau" in the menu bar
    QCoreApplication::processEvents();
    EXPECT_TRUE(form_->Vorschau().Window().isVisible());
    form_->Vorschau().Window().close();
    form_->activateWindow(); // as the window manager does when the preview goes
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
    QTest::keyClick(window, Qt::Key_B, Qt::AltModifier); // "&Beenden"
    QCoreApplication::processEvents();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(errors_.Entries.empty());
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
        form_->SetLongWorkLimits(limits);
        form_->Quelle->Core().SetCaretXY({1, 1});
        errors_.Entries.clear();
        TCodeCustomHighlighter* before = form_->Ziel->Highlighter();
        Click(form_->XPSpeedButton3);
        EXPECT_EQ(form_->Busy(), &limits == &kOnWorker);
        WaitForWork(form_);
        EXPECT_NE(dynamic_cast<TNCSyn*>(form_->Ziel->Highlighter()), nullptr);
        EXPECT_NE(form_->Ziel->Highlighter(), before);
        EXPECT_EQ(form_->Ziel->Lines().UpdateCount(), 0);
        EXPECT_FALSE(form_->Quelle->Core().ReadOnly());
        EXPECT_FALSE(form_->Ziel->Core().ReadOnly());
        TRunResult result{
            LinesOf(form_->Ziel), form_->StatusText(), {}, form_->Quelle->Core().CaretXY(), {}};
        for (const auto& entry : errors_.Entries)
            result.Errors.push_back(entry.message);
        for (int i = -1; i <= form_->Ziel->Lines().Count(); ++i)
            result.Origins.push_back(form_->ZielSourceLine(i));
        return result;
    }

    // Opens nc/name holding text through "&NC öffnen".
    void Open(const char* name, const std::string& text) {
        files_.Write(std::string("nc/") + name, text);
        TScriptedFileDialogs dialogs;
        dialogs.Answers = {Q(files_.Path(std::string("nc/") + name))};
        Click(form_->XPSpeedButton1);
        WaitForWork(form_);
    }

    // A program whose conversion takes the worker a second or more: 40,000 half circles in
    // one-degree chords, 7.2 million HPGL lines. The tests stop it long before.
    void OpenLongProgram() {
        files_.Write("main.ini", "[convert]\r\nfactor=1000\r\ndeg=1\r\ntype=1\r\n");
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
        files_.Write("main.ini", "[convert]\r\n" + std::string(c.ini));
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
            run.Execute(form_->Quelle->Lines(), program_->Form_Einstellungen.PrefixLines(),
                        program_->Form_Einstellungen.SuffixLines());
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
        for (int i = -1; i <= form_->Ziel->Lines().Count(); ++i)
            all.push_back(form_->ZielSourceLine(i));
        return all;
    };
    const std::optional<int> none;
    for (const auto* limits : {&kAtOnce, &kOnWorker}) {
        form_->SetLongWorkLimits(*limits);
        Click(form_->XPSpeedButton3);
        WaitForWork(form_);
        // (before) IN;SP1; PU0,0; PD; PA10000,0; four arc points SP0; (after)
        EXPECT_EQ(origins(),
                  (std::vector<std::optional<int>>{none, none, 0, 1, 2, 3, 3, 3, 3, none, none}));
    }
    // Edits by hand: a changed line loses its origin, lines below move with theirs.
    form_->Ziel->Core().SetCaretXY({3, 4}); // "PA10000,0;"
    Type(form_->Ziel, "1");
    EXPECT_EQ(origins(),
              (std::vector<std::optional<int>>{none, none, 0, 1, none, 3, 3, 3, 3, none, none}));
    form_->Ziel->Core().SetCaretXY({3, 2}); // splits "PU0,0;"
    QTest::keyClick(form_->Ziel, Qt::Key_Return);
    EXPECT_EQ(origins(), (std::vector<std::optional<int>>{none, none, none, none, 1, none, 3, 3, 3,
                                                          3, none, none}));
    form_->Ziel->Core().SetCaretXY({1, 7});
    QTest::keyClick(form_->Ziel, Qt::Key_Y, Qt::ControlModifier); // deletes that line
    EXPECT_EQ(origins(), (std::vector<std::optional<int>>{none, none, none, none, 1, none, 3, 3, 3,
                                                          none, none}));
    // Loading another program leaves Ziel empty and nothing to map.
    questions_.Answers = {TAnswer::Yes};
    OpenExample();
    EXPECT_EQ(origins(), (std::vector<std::optional<int>>{none, none}));
}

// While the worker converts, the window answers, shows how far it has come, and keeps every
// command that would change or read a pane waiting; Esc or a click on the progress stops the
// run and leaves Ziel as it was.
TEST_F(MainWindowWork, WhileItRunsTheCommandsWaitAndEscOrAClickStopsIt) {
    OpenLongProgram(); // far more than the moment the window waits for any conversion
    form_->Ziel->Lines().AddLine("PU0,0;");
    Type(form_->Ziel, "X"); // an edit that the stop must keep
    const std::vector<std::string> target = LinesOf(form_->Ziel), source = LinesOf(form_->Quelle);
    TCodeCustomHighlighter* highlighter = form_->Ziel->Highlighter();
    const std::function<void()> stops[] = {
        [&] { QTest::keyClick(form_->windowHandle(), Qt::Key_Escape); },
        [&] { QTest::mouseClick(form_->Fortschritt->Bar, Qt::LeftButton); },
    };
    for (const auto& stop : stops) {
        TScriptedFileDialogs dialogs;
        Click(form_->XPSpeedButton3);
        ASSERT_TRUE(form_->Busy());
        EXPECT_TRUE(form_->Fortschritt->isVisible());
        EXPECT_EQ(form_->Fortschritt->Caption->text(), u"HPGL wird erzeugt"_qs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form_->Fortschritt->Bar->value() > 0; }, 20000));
        EXPECT_TRUE(form_->Busy());

        for (QWidget* button : std::initializer_list<QWidget*>{
                 form_->XPSpeedButton1, form_->XPSpeedButton3, form_->XPSpeedButton2})
            EXPECT_FALSE(button->isEnabled());
        EXPECT_TRUE(form_->Button_Einstellungen->isEnabled());
        for (QAction* item :
             {form_->NCDateiffnen1, form_->AlsNCDateispeichern1,
              form_->HPGLDatenalsPLTDateispeichern1, form_->AnPlottersenden1, form_->HPGLerzeugen1})
            EXPECT_FALSE(item->isEnabled());
        EXPECT_TRUE(form_->Beenden1->isEnabled());
        Type(form_->Quelle, "G");
        Type(form_->Ziel, "G");
        for (auto keys : {Qt::Key_O, Qt::Key_S})
            QTest::keyClick(form_->windowHandle(), keys, Qt::ControlModifier);
        QTest::keyClick(form_->windowHandle(), Qt::Key_N, Qt::AltModifier);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialogs.Requests.empty());
        EXPECT_FALSE(form_->acceptDrops());
        EXPECT_FALSE(form_->Quelle->viewport()->acceptDrops());
        const QString status = form_->StatusText();
        DropOn(form_->Quelle->viewport(), {30, 10},
               *FileDrop({QUrl::fromLocalFile(Q(files_.Path("nc/teil.nc")))}));
        EXPECT_EQ(form_->StatusText(), status);
        EXPECT_TRUE(questions_.Asked.empty());
        form_->WandelnClick(); // a second start is refused
        EXPECT_EQ(LinesOf(form_->Quelle), source);
        EXPECT_EQ(LinesOf(form_->Ziel), target);

        stop();
        WaitForWork(form_);
        EXPECT_EQ(form_->StatusText(), u"Umwandlung abgebrochen"_qs);
        EXPECT_EQ(LinesOf(form_->Ziel), target);
        EXPECT_EQ(form_->Ziel->Highlighter(), highlighter);
        EXPECT_TRUE(form_->TargetEdited());
        EXPECT_FALSE(form_->Fortschritt->isVisible());
        EXPECT_TRUE(form_->XPSpeedButton3->isEnabled());
        EXPECT_TRUE(form_->HPGLerzeugen1->isEnabled());
    }
    // The panes take edits again.
    Type(form_->Quelle, "G");
    EXPECT_EQ(LinesOf(form_->Quelle)[0], "G" + source[0]);
    EXPECT_TRUE(errors_.Entries.empty());
}

// Quitting stops the run first (after the question over unsaved edits); a window destroyed
// while its worker runs stops it before the panes go.
TEST_F(MainWindowWork, QuittingWhileItRunsStopsTheRunFirst) {
    OpenLongProgram();
    form_->SetLongWorkLimits(kOnWorker);
    Type(form_->Quelle, "(");
    Click(form_->XPSpeedButton3);
    questions_.Answers = {TAnswer::No};
    form_->close();
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(form_->Busy()); // "Nein": the run goes on
    questions_.Answers = {TAnswer::Yes};
    form_->close();
    EXPECT_EQ(questions_.Asked.size(), 2u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form_->isVisible(); }, 20000));
    EXPECT_FALSE(form_->Busy());
    EXPECT_EQ(questions_.Asked.size(), 2u); // asked once per close

    Start();
    Open("lang.nc", test::TTempDir::Read(files_.Path("nc/lang.nc")));
    form_->SetLongWorkLimits(kOnWorker);
    Click(form_->XPSpeedButton3);
    program_.reset();
}

// A big file is read on the worker: from "NC öffnen", a dropped file and the command line
// alike. A cancel keeps the pane; the loaded text is the one read at once.
TEST_F(MainWindowWork, LoadingABigFileShowsProgressAndCanBeStopped) {
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "G1 X" + std::to_string(i) + " Y" + std::to_string(i % 97) + "\n";
    files_.Write("nc/gross.nc", text);
    const QString path = Q(files_.Path("nc/gross.nc"));
    Start({files_.Path("nc/gross.nc")}, Hidden);
    form_->SetLongWorkLimits(kOnWorker);
    form_->show();
    EXPECT_TRUE(form_->Busy());
    WaitForWork(form_);
    const std::vector<std::string> loaded = LinesOf(form_->Quelle);
    EXPECT_EQ(form_->StatusText(), u"NC-Datei "_qs + path + u" geladen"_qs);

    OpenExample();
    Click(form_->XPSpeedButton3);
    WaitForWork(form_);
    const std::vector<std::string> source = LinesOf(form_->Quelle), target = LinesOf(form_->Ziel);
    const std::function<void()> opens[] = {
        [&] {
            TScriptedFileDialogs dialogs;
            dialogs.Answers = {path};
            Click(form_->XPSpeedButton1);
        },
        [&] {
            DropOn(form_->Ziel->viewport(), {30, 10}, *FileDrop({QUrl::fromLocalFile(path)}));
        },
    };
    for (const auto& open : opens) {
        open();
        ASSERT_TRUE(form_->Busy());
        EXPECT_EQ(form_->Fortschritt->Caption->text(), u"NC-Datei wird geladen"_qs);
        QTest::keyClick(form_->windowHandle(), Qt::Key_Escape);
        WaitForWork(form_);
        EXPECT_EQ(LinesOf(form_->Quelle), source);
        EXPECT_EQ(LinesOf(form_->Ziel), target);
        EXPECT_EQ(form_->StatusText(), u"Laden abgebrochen"_qs);

        open();
        WaitForWork(form_);
        EXPECT_EQ(LinesOf(form_->Quelle), loaded);
        EXPECT_EQ(form_->Ziel->Lines().Count(), 0);
        EXPECT_EQ(form_->StatusText(), u"NC-Datei "_qs + path + u" geladen"_qs);
        OpenExample();
        Click(form_->XPSpeedButton3);
        WaitForWork(form_);
    }
    form_->SetLongWorkLimits(kAtOnce);
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {path};
    Click(form_->XPSpeedButton1);
    EXPECT_EQ(LinesOf(form_->Quelle), loaded);
    EXPECT_TRUE(errors_.Entries.empty());
}

// Saving many lines goes through the worker too: the same bytes, and a stop keeps the old
// file; quitting lets it finish.
TEST_F(MainWindowWork, SavingManyLinesShowsProgressAndCanBeStopped) {
    Start();
    OpenExample();
    form_->SetLongWorkLimits(kOnWorker);
    Click(form_->XPSpeedButton3);
    WaitForWork(form_);
    files_.Write("plt/alt.plt", "alt");
    TScriptedFileDialogs dialogs;
    questions_.Answers = {TAnswer::Yes};
    dialogs.Answers = {Q(files_.Path("plt/alt.plt"))};
    Click(form_->XPSpeedButton2);
    EXPECT_EQ(form_->Fortschritt->Caption->text(), u"HPGL-Daten werden gespeichert"_qs);
    WaitForWork(form_);
    EXPECT_EQ(test::TTempDir::Read(files_.Path("plt/alt.plt")), WithCrLf(kExampleHpgl));
    EXPECT_EQ(form_->StatusText(),
              Q("HPGL-Daten in " + files_.Path("plt/alt.plt") + " gespeichert"));

    TCodeEditDetachedLines many(8, nullptr);
    std::string written;
    for (int i = 0; i < 1000000; ++i) {
        many.Lines().AddLine("PA" + std::to_string(i) + ",0;");
        written += "PA" + std::to_string(i) + ",0;\r\n";
    }
    form_->Quelle->AdoptLines(many.Lines());
    files_.Write("nc/alt.nc", "alt");
    questions_.Answers = {TAnswer::Yes};
    dialogs.Answers = {Q(files_.Path("nc/alt.nc"))};
    RunGuarded([&] { form_->AlsNCDateispeichern1Click(); });
    ASSERT_TRUE(form_->Busy());
    EXPECT_EQ(form_->Fortschritt->Caption->text(), u"NC-Daten werden gespeichert"_qs);
    QTest::keyClick(form_->windowHandle(), Qt::Key_Escape);
    WaitForWork(form_);
    EXPECT_EQ(test::TTempDir::Read(files_.Path("nc/alt.nc")), "alt");
    EXPECT_EQ(form_->StatusText(), u"Speichern abgebrochen"_qs);

    // Quitting lets a save finish.
    questions_.Answers = {TAnswer::Yes};
    dialogs.Answers = {Q(files_.Path("nc/alt.nc"))};
    RunGuarded([&] { form_->AlsNCDateispeichern1Click(); });
    ASSERT_TRUE(form_->Busy());
    form_->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form_->isVisible(); }, 20000));
    EXPECT_EQ(test::TTempDir::Read(files_.Path("nc/alt.nc")), written);
    EXPECT_TRUE(errors_.Entries.empty());
}

// ---- The preview ----

class MainWindowPreview : public MainWindowWork {
protected:
    TVorschau& Preview() { return form_->Vorschau().Window(); }
    TPlotWidget& Plot() { return *Preview().Plot; }
    QPointF At(TPlotPoint p) {
        const TDevicePoint d = Plot().View().ToDevice(p);
        return {d.X, d.Y};
    }
    bool Drawn(TPlotPoint p, const std::function<bool(QColor)>& is) {
        return test::Near(Plot().grab().toImage(), At(p), is);
    }
    void WaitForDrawing() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return form_->Vorschau().Current(); }, 20000));
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
        form_->Vorschau().SetReadAtOnceLines(c.readAtOnce);
        OpenExample();
        Choose(form_->HPGLerzeugen1);
        EXPECT_FALSE(Preview().isVisible());
        EXPECT_EQ(Plot().Model(), nullptr); // hidden, it reads nothing
        if (c.opened == std::string("menu"))
            Choose(form_->Vorschau1);
        else if (c.opened == std::string("Alt+V"))
            QTest::keyClick(form_->windowHandle(), Qt::Key_V, Qt::AltModifier);
        else
            Click(form_->Button_Vorschau);
        QCoreApplication::processEvents();
        ASSERT_TRUE(Preview().isVisible());
        EXPECT_EQ(Preview().parentWidget(), form_);
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
        Choose(form_->HPGLerzeugen1);
        if (c.readAtOnce == 0) WaitForDrawing();
        EXPECT_TRUE(form_->Vorschau().Current());
        EXPECT_NE(Plot().Model(), first);
        EXPECT_EQ(Plot().Model()->LineCount, kExampleHpgl.size() - (c.type == 2 ? 3 : 0));
        Preview().close();
    }
    EXPECT_TRUE(errors_.Entries.empty());
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
        files_.Write("main.ini", "[convert]\r\n" + std::string(c.ini));
        Start();
        Open("teil.nc", c.program);
        Click(form_->XPSpeedButton3);
        Click(form_->Button_Vorschau);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Preview()));
        WaitForDrawing();

        // Clicks: each pane's caret on a line that made the stroke, both in view.
        const struct {
            TPlotPoint on;
            int nc;
        } clicks[] = {{{5000, 0}, c.straight}, {{15000, -5000}, c.arc}, {{18536, -3536}, c.arc}};
        for (const auto& click : clicks) {
            SCOPED_TRACE(click.on.X);
            form_->Quelle->Core().SetCaretXY({1, 1});
            ClickOn(click.on);
            EXPECT_EQ(CaretLine(form_->Quelle), click.nc);
            EXPECT_EQ(form_->ZielSourceLine(CaretLine(form_->Ziel)), click.nc);
            EXPECT_GE(CaretLine(form_->Ziel), form_->Ziel->TopLine() - 1);
        }
        ClickOn({5000, 0});
        EXPECT_NE(form_->Ziel->Lines().LineAt(std::size_t(CaretLine(form_->Ziel))).find("10000,0;"),
                  std::string_view::npos);
        // The HPGL caret's line highlights that line only: the straight move, not the arc.
        EXPECT_TRUE(Drawn({5000, 0}, test::Highlighted));
        EXPECT_FALSE(Drawn({15000, -5000}, test::Highlighted));
        // The NC caret on the arc's line highlights every HPGL line made of it.
        form_->Quelle->Core().SetCaretXY({1, c.arc + 1});
        EXPECT_FALSE(Drawn({5000, 0}, test::Highlighted));
        for (const TPlotPoint on : {TPlotPoint{10000, 0}, TPlotPoint{11464, -3536},
                                    TPlotPoint{15000, -5000}, TPlotPoint{18536, -3536}})
            EXPECT_TRUE(Drawn(on, test::Highlighted)) << on.X;
        // A line that made no stroke highlights nothing.
        form_->Quelle->Core().SetCaretXY({1, 1});
        EXPECT_FALSE(Drawn({15000, -5000}, test::Highlighted));
        Preview().close();
    }
    EXPECT_TRUE(errors_.Entries.empty());
}

// An edit in Ziel is drawn once typing pauses, at once or on a thread; until then a click
// on the old drawing moves no caret, and afterwards the edited line, which no NC line made,
// moves only Ziel's caret.
TEST_F(MainWindowPreview, AnEditIsDrawnOnceTypingPauses) {
    for (const std::size_t readAtOnce : {TVorschauLink::kReadAtOnceLines, std::size_t(0)}) {
        SCOPED_TRACE(readAtOnce);
        Start();
        form_->Vorschau().SetReadAtOnceLines(readAtOnce);
        OpenExample();
        Click(form_->XPSpeedButton3);
        Click(form_->Button_Vorschau);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Preview()));
        WaitForDrawing();
        const TPlotModel* before = Plot().Model();

        form_->Ziel->Core().SetCaretXY({9, 4}); // "PA10000,|0;"
        Type(form_->Ziel, "500");
        ASSERT_EQ(form_->Ziel->Lines().LineAt(3), "PA10000,5000;");
        EXPECT_FALSE(form_->Vorschau().Current());
        form_->Quelle->Core().SetCaretXY({1, 1});
        ClickOn({15000, -5000});
        EXPECT_EQ(CaretLine(form_->Quelle), 0);
        EXPECT_EQ(CaretLine(form_->Ziel), 3);
        QTest::qWait(TVorschauLink::kEditPauseMs / 2);
        EXPECT_EQ(Plot().Model(), before);

        WaitForDrawing();
        EXPECT_NE(Plot().Model(), before);
        EXPECT_TRUE(Drawn({5000, 2500}, test::Ink));
        EXPECT_FALSE(Drawn({5000, 0}, test::Ink));
        ClickOn({5000, 2500});
        EXPECT_EQ(CaretLine(form_->Ziel), 3);
        EXPECT_EQ(CaretLine(form_->Quelle), 0);
        questions_.Answers = {TAnswer::Yes}; // the edit may go
        Preview().close();
    }
}

// Long work does not hold the preview up: opened while a run goes on, it shows Ziel as it
// stands, and it opens again where it was left.
TEST_F(MainWindowPreview, ItOpensWhileARunGoesOnAndWhereItWasLeft) {
    OpenLongProgram();
    form_->Ziel->Lines().AddLine("PD4000,3000;");
    Click(form_->XPSpeedButton3);
    ASSERT_TRUE(form_->Busy());
    Click(form_->Button_Vorschau);
    ASSERT_TRUE(Preview().isVisible());
    WaitForDrawing();
    EXPECT_EQ(Plot().Model()->LineCount, 1u);
    EXPECT_TRUE(form_->Busy());
    form_->CancelWork();
    WaitForWork(form_);

    const QRect place(120, 90, 640, 420);
    Preview().setGeometry(place);
    Preview().close();
    Click(form_->Button_Vorschau);
    EXPECT_EQ(Preview().geometry(), place);
    EXPECT_TRUE(errors_.Entries.empty());
}

} // namespace
} // namespace plotalon
