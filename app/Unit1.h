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
// Beyond the menu and the buttons the window keeps the desktop's habits: F1 opens the help,
// Ctrl+O opens an NC file, Ctrl+S saves the PLT file, a file dropped on the window or a pane
// is opened as "NC öffnen" opens it. No edit is lost unasked: saving over an existing file,
// quitting and opening another NC file over unsaved edits ask first.

#include "engine/LineSeams.h"
#include "platform/qt/FileDialogs.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QMenu;
class QMenuBar;
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
    QAction* Einstellungen1;
    QAction* Info1;
    QAction* Beenden1;

    // The controls, in the order of the window's layout.
    TPanel* Panel2;
    TXPSpeedButton* XPSpeedButton1;
    TXPSpeedButton* XPSpeedButton3;
    TXPSpeedButton* XPSpeedButton2;
    TXPSpeedButton* Button_Einstellungen;
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

    // Event handlers. Errors pass to the caller: the top-level error report.
    void Button_LadenClick();
    void WandelnClick();
    void PLT_SpeichernClick();
    void AlsNCDateispeichern1Click();
    // Ziel as it stands to the plotter of the saved settings, in the progress window.
    void AnPlottersenden1Click();
    void Button_EinstellungenClick();
    void Info1Click();
    void Beenden1Click();
    void FormShow();
    void FormResize();

    // The conversion of Quelle into Ziel.
    void RunConversion();

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
    void AddShortcut(const QKeySequence& keys, void (TForm1::*handler)());
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
};

} // namespace plotalon
