#pragma once
// TForm1, the main window "Plotalon 1.1": the NC text in the source pane Quelle on the left,
// the HPGL text in the target pane Ziel on the right, split in the middle; the commands as
// flat buttons and as a menu; outcomes in a one-line status bar. The start-up work (settings,
// the source pane's highlighter, the command line, the split) runs once, when the window is
// first shown.
//
// The settings dialog, the about dialog, the help window and the splash window are the
// program's own windows, made beside this one at start-up and handed over with the setters;
// until one is, its commands have nothing to open (and without a settings dialog the
// conversion has neither prefix nor suffix lines).
//
// The preview window "Vorschau" ("&Vorschau", Alt+V) draws Ziel as it stands and links its
// strokes to the lines of both panes (TVorschauLink).
//
// Beyond the menu and the buttons the window keeps the desktop's habits: F1 opens the help,
// Ctrl+O opens an NC file, Ctrl+S saves the PLT file, a file dropped on the window or a pane
// is opened as "NC öffnen" opens it. No edit is lost unasked: saving over an existing file,
// quitting and opening another NC file over unsaved edits ask first.
//
// Big programs never freeze the window: loading, converting and saving them run off the GUI
// thread, and what does not end within a moment shows a progress bar in the status line that
// Esc or a click stops. Meanwhile both panes are read-only and the commands that would
// change or read them wait (disabled); quitting waits for the work to end (stopping a load
// or conversion, letting a save finish). Small ones (below TLongWorkLimits) run at once
// through the same steps, so that nothing flickers. The result is the same either way.

#include "editor/CodeEditLineOrigins.h"
#include "editor/view/CodeEditJob.h"
#include "engine/LineSeams.h"
#include "platform/qt/FileDialogs.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QShortcut;
class QStatusBar;

namespace plotalon {

class TCodeEdit;
class TForm_Einstellungen;
class TImage;
class TInfo;
class TIntro;
class TNCSyn;
class TPanel;
class TSplitter;
class TStatusProgress;
class TVorschauLink;
class TXPSpeedButton;

class TForm1 : public QMainWindow {
public:
    // parameters: the program's command-line arguments, without the program's own name.
    explicit TForm1(std::vector<std::string> parameters = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    void SetSettingsDialog(TForm_Einstellungen* settings);
    void SetAboutDialog(TInfo* about);
    void SetSplash(TIntro* splash);
    void SetHelpWindow(QDialog* help);

    // The menu.
    QMenuBar* MainMenu1;
    QMenu* Datei1;
    QAction* NCDateiffnen1;
    QAction* AlsNCDateispeichern1;
    QAction* N1;
    QAction* HPGLDatenalsPLTDateispeichern1;
    QAction* N2;
    QAction* AnPlottersenden1; // Ctrl+P
    QAction* HPGLerzeugen1;
    QAction* Vorschau1; // Alt+V
    QAction* Einstellungen1;
    QAction* Info1;
    QAction* Beenden1;

    // The controls, in the order of the window's layout.
    TPanel* Panel2;
    TXPSpeedButton* XPSpeedButton1;
    TXPSpeedButton* XPSpeedButton3;
    TXPSpeedButton* XPSpeedButton2;
    TXPSpeedButton* Button_Einstellungen;
    TXPSpeedButton* Button_Vorschau;
    TPanel* Panel1;
    TImage* Image1;
    TPanel* Panel_Haupt;
    TPanel* Panel_Links;
    TPanel* Panel5;
    QLabel* Label1;
    TCodeEdit* Quelle;
    TSplitter* Splitter1;
    TPanel* Panel_Rechts;
    TPanel* Panel6;
    QLabel* Label2;
    TCodeEdit* Ziel;
    QStatusBar* StatusBar;
    TStatusProgress* Fortschritt; // in the status line while long work runs

    // The file dialogs; each command sets the initial folder before it runs its dialog.
    TFileDialogOptions OpenDialog;
    TFileDialogOptions SaveDialog;
    TFileDialogOptions SaveDialogNC;

    // The text of the status line.
    QString StatusText() const;

    // Edits that would be lost: in Quelle since it was loaded, pasted at the start or saved;
    // in Ziel by hand since the last conversion or PLT save.
    bool SourceEdited() const { return sourceEdited_; }
    bool TargetEdited() const { return targetEdited_; }

    // Work of at least this size runs off the GUI thread; the window waits a moment for it
    // before it shows the progress, so that work which ends by then shows none. Tests and
    // benchmarks move the limits to choose the way.
    struct TLongWorkLimits {
        int ConvertLines;    // source lines of a conversion
        long long LoadBytes; // size of an NC file to open
        int SaveLines;       // lines of a pane to save
        int WaitMs;          // the moment's wait
    };
    static const TLongWorkLimits kLongWork;
    void SetLongWorkLimits(const TLongWorkLimits& limits) { limits_ = limits; }
    // A load, save or conversion is running.
    bool Busy() const;
    // Asks the running work to stop (Esc, a click on the progress bar).
    void CancelWork();

    // The line of Quelle (0-based) that produced a line of Ziel in the last conversion; none
    // for prefix and suffix lines, lines changed in Ziel since, and outside Ziel.
    std::optional<int> ZielSourceLine(int line) const { return zielOrigins_.OriginOf(line); }

    // Event handlers. Errors pass to the caller: the top-level error report.
    void Button_LadenClick();
    void WandelnClick();
    void PLT_SpeichernClick();
    void AlsNCDateispeichern1Click();
    // Ziel as it stands to the plotter of the saved settings, in the progress window.
    void AnPlottersenden1Click();
    void Button_EinstellungenClick();
    // Opens (or raises) the preview of Ziel; while long work runs it shows the last drawing.
    void VorschauClick();
    void Info1Click();
    void Beenden1Click();
    void FormShow();
    void FormResize();

    // The conversion of Quelle into Ziel.
    void RunConversion();

    // The preview window and its links to the panes.
    TVorschauLink& Vorschau() { return *vorschau_; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenu();
    void BuildButtons();
    TPanel* BuildPane(TPanel* parent, TPanel*& header, QLabel*& label, const char* caption,
                      TCodeEdit*& pane);
    QAction* AddCommand(QWidget* menu, const char* caption, void (TForm1::*handler)());
    void BindButton(TXPSpeedButton* button, void (TForm1::*handler)());
    QShortcut* AddShortcut(const QKeySequence& keys, void (TForm1::*handler)());
    void ShowHelp();
    // Whether edits that the action would lose may go: true when there are none or the user
    // says so. action: the question's last word ("beenden", "öffnen").
    bool MayDiscardEdits(const char* action);
    // The save dialog, then the question before an existing file is replaced; nothing when
    // the user cancels either.
    std::optional<QString> ChooseSaveFile(TFileDialogOptions& dialog);
    void OpenDroppedFile(const QString& file);
    void SetStatusText(const QString& text);
    void LoadSource(const std::string& path, const QString& shownName);
    using TRunOn = TCodeEditJob::TRunOn;
    using TOutcome = TCodeEditJob::TOutcome;
    // What quitting does to long work: reading (a load, a conversion) stops, a save ends
    // first, so that quitting loses nothing the user asked to keep.
    enum class TOnQuit { Stop, Finish };
    // Long work on pane's job has started: unless it ends within the moment's wait, the
    // progress shows, the other pane and the commands wait (the pane itself is read-only
    // while its job runs). Nothing for work that runs at once.
    void BeginWork(TCodeEdit& pane, TRunOn runOn, const char* caption,
                   TOnQuit onQuit = TOnQuit::Stop);
    // Undoes BeginWork once the work has ended.
    void EndWork();
    void EnableCommands(bool enabled);
    // Saves pane to path; saved runs once the file is written.
    void SavePane(TCodeEdit& pane, const std::string& path, TLineBreakFormat format,
                  const char* caption, std::function<void()> saved);
    void ConversionEnded(const TOutcome& outcome, std::size_t failedLine,
                         TCodeEditLineOrigins& origins, const std::string& status);
    void ProcessCommandLine();
    void SplitPanes();
    TNCSyn* NewHighlighter();
    TLineVector PrefixLines() const;
    TLineVector SuffixLines() const;

    std::vector<std::string> parameters_;
    QPointer<TForm_Einstellungen> settings_;
    QPointer<TInfo> about_;
    QPointer<TIntro> splash_;
    QPointer<QDialog> help_;
    QString ncFile_; // the NC file loaded or saved last; empty when there is none
    bool sourceEdited_ = false;
    bool targetEdited_ = false;
    // Every highlighter made for the panes, kept until the window goes.
    std::vector<std::unique_ptr<TNCSyn>> highlighters_;
    bool shown_ = false;
    TLongWorkLimits limits_ = kLongWork;
    TCodeEditLineOrigins zielOrigins_;
    std::unique_ptr<TVorschauLink> vorschau_;
    bool working_ = false;  // between BeginWork and EndWork
    bool quitting_ = false; // the user chose to quit while work ran: close once it has ended
    TOnQuit onQuit_ = TOnQuit::Stop;
    TCodeEdit* otherPane_ = nullptr; // the pane whose job does not run, read-only meanwhile
    bool otherWasReadOnly_ = false;
    QShortcut* openKey_ = nullptr;
    QShortcut* saveKey_ = nullptr;
    QShortcut* cancelKey_ = nullptr;
};

} // namespace plotalon
