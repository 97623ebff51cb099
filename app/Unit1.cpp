#include "app/Unit1.h"

#include "app/ConversionWork.h"
#include "app/NCIntro.h"
#include "app/NcInfo.h"
#include "app/PlotterSend.h"
#include "app/StatusProgress.h"
#include "app/VorschauLink.h"
#include "controls/GlyphArt.h"
#include "controls/WindowParts.h"
#include "editor/ncSyn.h"
#include "editor/view/CodeEdit.h"
#include "editor/view/CodeEditPaneStyle.h"
#include "engine/ConvState.h"
#include "engine/ConversionRun.h"
#include "platform/AtomicFile.h"
#include "platform/qt/DialogChars.h"
#include "platform/qt/DroppedFiles.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Image.h"
#include "platform/qt/Panel.h"
#include "platform/qt/Questions.h"
#include "platform/qt/Splitter.h"
#include "platform/qt/Text.h"
#include "platform/qt/WindowPlacement.h"
#include "settings/Unit2.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <chrono>
#include <exception>
#include <sys/stat.h>

namespace plotalon {

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A file name as the file system takes it.
std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// Half of width, rounded to the nearest integer with a half going to the even neighbour.
int HalfToEven(int width) {
    const int half = width / 2;
    return width % 2 != 0 && half % 2 != 0 ? half + 1 : half;
}

// The file's size in bytes; 0 when it cannot be told (the load reports why).
long long FileBytes(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

} // namespace

// Measured on a 2 GHz machine (bench_app): a million blocks convert in 450 ms, a 22 MB file
// loads in 45 to 70 ms with a warm file cache, 1.7 million lines save, synced to disk, in
// 110 ms. Below the sizes the work takes a few milliseconds and no thread is worth it; a
// conversion's cost is not its size, though (2,000 full circles in one-degree chords make
// 720,000 lines), so above them the window waits up to 40 ms for the worker before it shows
// any progress: whatever ends by then looks as if done at once, and the event loop never
// stands still longer.
const TForm1::TLongWorkLimits TForm1::kLongWork = {2000, 4 << 20, 100000, 40};

TForm1::TForm1(std::vector<std::string> parameters, QWidget* parent)
    : QMainWindow(parent), parameters_(std::move(parameters)) {
    setWindowTitle(QStringLiteral("Plotalon 1.1"));
    setFont(DefaultWindowFont());
    resize(541, 409);
    setMinimumSize(540, 250);
    CentreWindow(*this, nullptr); // where the window goes when it is restored
    setWindowState(Qt::WindowMaximized);

    BuildMenu();
    auto* client = new TPanel(this);
    setCentralWidget(client);
    Panel2 = new TPanel(client);
    Panel2->resize(Panel2->width(), 41);
    client->SetAlign(Panel2, TAlign::alTop);
    BuildButtons();

    Panel_Haupt = new TPanel(client);
    client->SetAlign(Panel_Haupt, TAlign::alClient);
    Panel_Links = BuildPane(Panel_Haupt, Panel5, Label1, "NC", Quelle);
    Panel_Rechts = BuildPane(Panel_Haupt, Panel6, Label2, "HPGL", Ziel);
    Splitter1 = new TSplitter(Panel_Haupt, Panel_Links, Panel_Rechts);
    Splitter1->resize(3, Splitter1->height());
    Panel_Haupt->SetAlign(Panel_Links, TAlign::alLeft);
    Panel_Haupt->SetAlign(Splitter1, TAlign::alLeft);
    Panel_Haupt->SetAlign(Panel_Rechts, TAlign::alClient);

    StatusBar = new QStatusBar(this);
    setStatusBar(StatusBar);
    Fortschritt = new TStatusProgress(StatusBar);
    StatusBar->addPermanentWidget(Fortschritt);
    Fortschritt->OnCancel = [this] { CancelWork(); };
    for (TCodeEdit* pane : {Quelle, Ziel})
        pane->Job().OnProgress() = [this](const TProgress& progress) {
            Fortschritt->SetPercent(progress.Percent());
        };

    // The filters of old first, then the endings of programs for other machine controls.
    OpenDialog.Filter = QStringLiteral("*.nc|*.nc|*.cnc|*.cnc|*.*|*.*|*.ngc|*.ngc|*.tap|*.tap");
    OpenDialog.DefaultExt = QStringLiteral(".nc");
    SaveDialog.Filter = QStringLiteral("*.plt|*.plt|*.*|*.*");
    SaveDialog.DefaultExt = QStringLiteral("plt");
    SaveDialogNC.Filter = QStringLiteral("*.nc|*.nc|*.*|*.*");
    SaveDialogNC.DefaultExt = QStringLiteral("nc");

    Quelle->OnChange = [this](TCodeEdit*) { sourceEdited_ = true; };
    Ziel->OnChange = [this](TCodeEdit*) { targetEdited_ = true; };
    vorschau_ = std::make_unique<TVorschauLink>(*this, *Quelle, *Ziel, zielOrigins_);
    Ziel->OnLineChange = [this](TCodeEdit*, const TLineChange& change) {
        zielOrigins_.Follow(change);
        vorschau_->LinesChanged();
    };
    Quelle->OnStatusChange = [this](TCodeEdit*) { vorschau_->QuelleCaretMoved(); };
    Ziel->OnStatusChange = [this](TCodeEdit*) { vorschau_->ZielCaretMoved(); };
    for (TCodeEdit* pane : {Quelle, Ziel})
        pane->OnDropFiles = [this](TCodeEdit*, const QStringList& files) {
            OpenDroppedFile(files.front());
        };
    setAcceptDrops(true);
    // Free in the panes: their keystroke table binds neither these keys nor plain F1.
    AddShortcut(QKeySequence(Qt::Key_F1), &TForm1::ShowHelp);
    openKey_ = AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::Button_LadenClick);
    saveKey_ = AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::PLT_SpeichernClick);
    // Only while long work runs: the panes leave Esc free.
    cancelKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelKey_->setEnabled(false);
    connect(cancelKey_, &QShortcut::activated, this, [this] { CancelWork(); });

    Quelle->setFocus();
    TDialogCharRouter::Install(this);
}

TForm1::~TForm1() {
    // A conversion reads Quelle while it builds Ziel's text: both stop before a pane goes.
    Ziel->Job().Abandon();
    Quelle->Job().Abandon();
    Quelle->SetHighlighter(nullptr);
    Ziel->SetHighlighter(nullptr);
    // The panes outlive the preview's link: they must not call it any more.
    for (TCodeEdit* pane : {Quelle, Ziel}) {
        pane->OnLineChange = nullptr;
        pane->OnStatusChange = nullptr;
    }
}

void TForm1::BuildMenu() {
    MainMenu1 = menuBar();
    Datei1 = MainMenu1->addMenu(QStringLiteral("&Datei"));
    // A menu is a window of its own and does not take the main window's font by itself.
    Datei1->setFont(DefaultWindowFont());
    NCDateiffnen1 = AddCommand(Datei1, "&NC-Datei öffnen ...", &TForm1::Button_LadenClick);
    AlsNCDateispeichern1 =
        AddCommand(Datei1, "NC-Daten speichern ...", &TForm1::AlsNCDateispeichern1Click);
    N1 = Datei1->addSeparator();
    HPGLDatenalsPLTDateispeichern1 =
        AddCommand(Datei1, "&HPGL-Daten als PLT-Datei speichern ...", &TForm1::PLT_SpeichernClick);
    N2 = Datei1->addSeparator();
    AnPlottersenden1 = AddCommand(Datei1, "An &Plotter senden ...", &TForm1::AnPlottersenden1Click);
    // Free in the panes as well: their keystroke table does not bind Ctrl+P.
    AnPlottersenden1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    HPGLerzeugen1 = AddCommand(MainMenu1, "&HPGL erzeugen", &TForm1::WandelnClick);
    Vorschau1 = AddCommand(MainMenu1, "&Vorschau", &TForm1::VorschauClick);
    Einstellungen1 = AddCommand(MainMenu1, "&Einstellungen", &TForm1::Button_EinstellungenClick);
    Info1 = AddCommand(MainMenu1, "&Info", &TForm1::Info1Click);
    Beenden1 = AddCommand(MainMenu1, "&Beenden", &TForm1::Beenden1Click);
}

QAction* TForm1::AddCommand(QWidget* menu, const char* caption, void (TForm1::*handler)()) {
    auto* action = new QAction(Text(caption), menu);
    menu->addAction(action);
    // Run once the menu has finished with the click or key, so that the menu bar is no longer
    // highlighted while a command's dialog is open; outside the event that triggered it, the
    // command gets an error report of its own.
    connect(
        action, &QAction::triggered, this,
        [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); },
        Qt::QueuedConnection);
    return action;
}

QShortcut* TForm1::AddShortcut(const QKeySequence& keys, void (TForm1::*handler)()) {
    auto* shortcut = new QShortcut(keys, this);
    // Run as the menu's commands run: once the key press is done with.
    connect(
        shortcut, &QShortcut::activated, this,
        [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); },
        Qt::QueuedConnection);
    return shortcut;
}

void TForm1::BindButton(TXPSpeedButton* button, void (TForm1::*handler)()) {
    button->OnClick = [this, handler](TXPSpeedButton*) { (this->*handler)(); };
    button->Loaded();
}

void TForm1::BuildButtons() {
    XPSpeedButton1 =
        MakeHouseButton(Panel2, QRect(8, 4, 113, 30), "&NC öffnen", glyph_art::NcOpen, 5);
    XPSpeedButton3 = MakeHouseButton(Panel2, QRect(128, 4, 113, 30), "&HPGL erzeugen",
                                     glyph_art::HpglConvert, 5);
    XPSpeedButton2 =
        MakeHouseButton(Panel2, QRect(248, 4, 113, 30), "H&PGL speichern", glyph_art::HpglSave, 5);
    Button_Einstellungen =
        MakeHouseButton(Panel2, QRect(368, 4, 113, 30), "&Einstellungen", glyph_art::Settings, 5);
    Button_Vorschau =
        MakeHouseButton(Panel2, QRect(488, 4, 113, 30), "&Vorschau", glyph_art::Preview, 5);
    BindButton(XPSpeedButton1, &TForm1::Button_LadenClick);
    BindButton(XPSpeedButton3, &TForm1::WandelnClick);
    BindButton(XPSpeedButton2, &TForm1::PLT_SpeichernClick);
    BindButton(Button_Einstellungen, &TForm1::Button_EinstellungenClick);
    BindButton(Button_Vorschau, &TForm1::VorschauClick);

    Panel1 = new TPanel(Panel2);
    Panel1->resize(48, Panel1->height());
    Panel2->SetAlign(Panel1, TAlign::alRight);
    Image1 = new TImage(Panel1);
    Image1->setGeometry(8, 4, 32, 32); // centred in the panel
    Image1->SetPicture(LoadGlyph(glyph_art::ProgramIcon));
    Image1->SetTransparent(true);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->OnClick = [this] { Info1Click(); };
}

TPanel* TForm1::BuildPane(TPanel* parent, TPanel*& header, QLabel*& label, const char* caption,
                          TCodeEdit*& pane) {
    auto* panel = new TPanel(parent);
    panel->setMinimumWidth(100);
    header = new TPanel(panel);
    header->resize(header->width(), 24);
    panel->SetAlign(header, TAlign::alTop);
    label = new QLabel(Text(caption), header);
    label->move(8, 6);
    label->adjustSize();
    pane = new TCodeEdit(panel);
    ApplyNcPaneStyle(*pane);
    panel->SetAlign(pane, TAlign::alClient);
    return panel;
}

void TForm1::SetSettingsDialog(TForm_Einstellungen* settings) {
    settings_ = settings;
}

void TForm1::SetAboutDialog(TInfo* about) {
    about_ = about;
}

void TForm1::SetSplash(TIntro* splash) {
    splash_ = splash;
}

void TForm1::SetHelpWindow(QDialog* help) {
    help_ = help;
}

QString TForm1::StatusText() const {
    return StatusBar->currentMessage();
}

void TForm1::SetStatusText(const QString& text) {
    StatusBar->showMessage(text);
}

TNCSyn* TForm1::NewHighlighter() {
    return highlighters_.emplace_back(std::make_unique<TNCSyn>()).get();
}

TLineVector TForm1::PrefixLines() const {
    return settings_ ? settings_->PrefixLines() : TLineVector();
}

TLineVector TForm1::SuffixLines() const {
    return settings_ ? settings_->SuffixLines() : TLineVector();
}

// ---- Commands ----

bool TForm1::MayDiscardEdits(const char* action) {
    if (!sourceEdited_ && !targetEdited_) return true;
    const char* texts = sourceEdited_ && targetEdited_ ? "im NC-Text und im HPGL-Text"
                        : sourceEdited_                ? "im NC-Text"
                                                       : "im HPGL-Text";
    const QString question = Text("Die Änderungen ") + Text(texts) +
                             Text(" sind nicht gespeichert. Trotzdem ") + Text(action) + u'?';
    return Questions().Ask(this, question, TAnswer::No) == TAnswer::Yes;
}

std::optional<QString> TForm1::ChooseSaveFile(TFileDialogOptions& dialog) {
    // The toolkit's dialog is told not to ask (the options leave OverwritePrompt off), so
    // that the question comes once, here.
    const std::optional<QString> file = FileDialogs().Execute(fdSave, this, dialog);
    if (!file || !FileExists(FileNameBytes(*file))) return file;
    const QString question =
        Text("%1 existiert bereits. Möchten Sie die Datei ersetzen?").arg(*file);
    if (Questions().Ask(this, question, TAnswer::No) == TAnswer::Yes) return file;
    return std::nullopt;
}

void TForm1::Button_LadenClick() {
    if (Busy()) return;
    if (!MayDiscardEdits("öffnen")) return;
    OpenDialog.InitialDir = FromMessage(ConvSettings().NcFolder);
    const std::optional<QString> file = FileDialogs().Execute(fdOpen, this, OpenDialog);
    if (!file) return;
    LoadSource(FileNameBytes(*file), *file);
}

// The pane keeps its text when the file cannot be read or the load is cancelled: a failed
// load loses nothing, and neither the status line nor the target pane change.
void TForm1::LoadSource(const std::string& path, const QString& shownName) {
    if (Busy()) return;
    const TRunOn runOn = FileBytes(path) >= limits_.LoadBytes ? TRunOn::Worker : TRunOn::Caller;
    auto loaded = [this, path, shownName](const TOutcome& outcome) {
        EndWork();
        if (outcome.End == TCodeEditJob::TEnd::Cancelled) {
            SetStatusText(QStringLiteral("Laden abgebrochen"));
            return;
        }
        if (outcome.End == TCodeEditJob::TEnd::Failed) std::rethrow_exception(outcome.Error);
        sourceEdited_ = false;
        ncFile_ = QFile::decodeName(QByteArray::fromStdString(path));
        SetStatusText(QStringLiteral("NC-Datei ") + shownName + QStringLiteral(" geladen"));
        Ziel->Clear();
        targetEdited_ = false;
        vorschau_->TextReplaced();
    };
    Quelle->Job().StartLoad(path, std::move(loaded), runOn);
    BeginWork(*Quelle, runOn, "NC-Datei wird geladen");
}

void TForm1::OpenDroppedFile(const QString& file) {
    // Once the drop is over: the program the file came from waits for its end, and opening
    // may ask a question first.
    QMetaObject::invokeMethod(
        this,
        [this, file] {
            RunGuarded([&] {
                if (!Busy() && MayDiscardEdits("öffnen")) LoadSource(FileNameBytes(file), file);
            });
        },
        Qt::QueuedConnection);
}

void TForm1::WandelnClick() {
    RunConversion();
}

namespace {

// The caret at the start of the line a run stopped at, scrolled into view, so that the
// user sees the block the error report names.
void ShowFaultyLine(TCodeEdit& pane, std::size_t index) {
    pane.Core().SetCaretXY({1, static_cast<int>(index) + 1});
    pane.EnsureCursorPosVisible();
    pane.setFocus();
}

} // namespace

// The new text is built apart, with a new highlighter's ranges, and Ziel takes it in one
// step at the end (after a fault: the lines before the faulty block); a cancelled run leaves
// Ziel as it was. Quelle's lines are read in place: Quelle is read-only meanwhile.
void TForm1::RunConversion() {
    if (Busy()) return; // one run at a time
    const TRunOn runOn =
        Quelle->Lines().Count() >= limits_.ConvertLines ? TRunOn::Worker : TRunOn::Caller;
    auto work = std::make_shared<TConversionWork>(ConvSettings(), PrefixLines(), SuffixLines(),
                                                  Quelle->Lines());
    auto origins = std::make_shared<TCodeEditLineOrigins>();
    auto status = std::make_shared<std::string>();
    auto build = [work, origins, status](TCodeEditDetachedLines& lines, TProgress& progress) {
        *status = work->Run(lines.Lines(), *origins, progress);
    };
    auto ended = [this, work, origins, status](const TOutcome& outcome) {
        EndWork();
        ConversionEnded(outcome, work->FailedLine(), *origins, *status);
    };
    Ziel->Job().StartBuild(std::move(build), TCodeEditJob::TAdoptOn::CompletionOrFailure,
                           std::move(ended), NewHighlighter(), runOn);
    BeginWork(*Ziel, runOn, "HPGL wird erzeugt");
}

void TForm1::ConversionEnded(const TOutcome& outcome, std::size_t failedLine,
                             TCodeEditLineOrigins& origins, const std::string& status) {
    if (outcome.End == TCodeEditJob::TEnd::Cancelled) {
        SetStatusText(QStringLiteral("Umwandlung abgebrochen"));
        return;
    }
    // Ziel holds the new text: all of it, or the lines before the faulty block.
    zielOrigins_ = std::move(origins);
    targetEdited_ = false;
    vorschau_->TextReplaced(); // a faulty run's lines too
    if (outcome.End == TCodeEditJob::TEnd::Completed) {
        SetStatusText(FromMessage(status));
        return;
    }
    try {
        std::rethrow_exception(outcome.Error);
    } catch (const EMathError&) {
        ShowFaultyLine(*Quelle, failedLine);
        throw;
    } catch (const ENcLineError&) {
        ShowFaultyLine(*Quelle, failedLine);
        throw;
    }
}

// ---- Long work ----

bool TForm1::Busy() const {
    return Quelle->Job().Busy() || Ziel->Job().Busy();
}

void TForm1::CancelWork() {
    Quelle->Job().Cancel();
    Ziel->Job().Cancel();
}

// A job that ends within the wait has finished before this returns (its finish ran, and
// EndWork found nothing to undo).
void TForm1::BeginWork(TCodeEdit& pane, TRunOn runOn, const char* caption, TOnQuit onQuit) {
    if (runOn == TRunOn::Caller) return;
    if (limits_.WaitMs > 0 && pane.Job().EndWithin(std::chrono::milliseconds(limits_.WaitMs)))
        return;
    working_ = true;
    onQuit_ = onQuit;
    otherPane_ = &pane == Quelle ? Ziel : Quelle;
    otherWasReadOnly_ = otherPane_->Core().ReadOnly();
    otherPane_->Core().SetReadOnly(true);
    EnableCommands(false);
    Fortschritt->Begin(Text(caption));
}

void TForm1::EndWork() {
    if (!std::exchange(working_, false)) return;
    otherPane_->Core().SetReadOnly(otherWasReadOnly_);
    EnableCommands(true);
    Fortschritt->End();
    if (quitting_)
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
}

// The commands that change or read the panes; the dialogs, the help and quitting stay.
void TForm1::EnableCommands(bool enabled) {
    for (QWidget* button :
         {static_cast<QWidget*>(XPSpeedButton1), static_cast<QWidget*>(XPSpeedButton3),
          static_cast<QWidget*>(XPSpeedButton2)})
        button->setEnabled(enabled);
    for (QAction* item : {NCDateiffnen1, AlsNCDateispeichern1, HPGLDatenalsPLTDateispeichern1,
                          AnPlottersenden1, HPGLerzeugen1})
        item->setEnabled(enabled);
    openKey_->setEnabled(enabled);
    saveKey_->setEnabled(enabled);
    cancelKey_->setEnabled(!enabled);
    // No files dropped meanwhile: neither on the window nor on a pane.
    setAcceptDrops(enabled);
    for (TCodeEdit* pane : {Quelle, Ziel})
        pane->viewport()->setAcceptDrops(enabled);
}

void TForm1::SavePane(TCodeEdit& pane, const std::string& path, TLineBreakFormat format,
                      const char* caption, std::function<void()> saved) {
    const TRunOn runOn =
        pane.Lines().Count() >= limits_.SaveLines ? TRunOn::Worker : TRunOn::Caller;
    auto ended = [this, saved = std::move(saved)](const TOutcome& outcome) {
        EndWork();
        if (outcome.End == TCodeEditJob::TEnd::Cancelled) {
            SetStatusText(QStringLiteral("Speichern abgebrochen"));
            return;
        }
        if (outcome.End == TCodeEditJob::TEnd::Failed) std::rethrow_exception(outcome.Error);
        saved();
    };
    pane.Job().StartSave(path, format, std::move(ended), runOn);
    BeginWork(pane, runOn, caption, TOnQuit::Finish);
}

void TForm1::PLT_SpeichernClick() {
    if (Busy()) return;
    SaveDialog.InitialDir = FromMessage(ConvSettings().HpglFolder);
    // The NC file's name with the PLT ending, where there is an NC file.
    SaveDialog.FileName = ncFile_.isEmpty()
                              ? QString()
                              : QFileInfo(ncFile_).completeBaseName() + QStringLiteral(".plt");
    const std::optional<QString> file = ChooseSaveFile(SaveDialog);
    if (!file) return;
    // A PLT file has CR LF after every line, whatever line breaks the pane holds.
    SavePane(*Ziel, FileNameBytes(*file), TLineBreakFormat::CRLF, "HPGL-Daten werden gespeichert",
             [this, file = *file] {
                 targetEdited_ = false;
                 SetStatusText(QStringLiteral("HPGL-Daten in ") + file +
                               QStringLiteral(" gespeichert"));
             });
}

void TForm1::AlsNCDateispeichern1Click() {
    if (Busy()) return;
    SaveDialogNC.InitialDir = FromMessage(ConvSettings().NcFolder);
    const std::optional<QString> file = ChooseSaveFile(SaveDialogNC);
    if (!file) return;
    SavePane(*Quelle, FileNameBytes(*file), Quelle->Lines().LineBreakFormat(),
             "NC-Daten werden gespeichert", [this, file = *file] {
                 sourceEdited_ = false;
                 ncFile_ = file;
             });
}

void TForm1::AnPlottersenden1Click() {
    // Ziel takes its new lines at the end of a run: a send now would read them half made.
    if (Busy()) return;
    SendToPlotter(Ziel->Lines(), this);
}

void TForm1::Button_EinstellungenClick() {
    if (settings_) RunModal(*settings_);
}

// Opening waits for no work: Ziel keeps its lines until a run ends, so the preview shows the
// drawing of the text the pane shows, and follows once the run has put in the new one.
void TForm1::VorschauClick() {
    vorschau_->Open();
}

void TForm1::Info1Click() {
    if (about_) about_->ShowModal();
}

void TForm1::Beenden1Click() {
    close();
}

void TForm1::ShowHelp() {
    if (help_) RunModal(*help_);
}

// ---- Start-up ----

void TForm1::FormShow() {
    if (settings_) settings_->LoadSettings();
    Quelle->SetHighlighter(NewHighlighter());
    ProcessCommandLine();
    SplitPanes();
}

void TForm1::ProcessCommandLine() {
    if (parameters_.empty()) {
        if (splash_) splash_->show();
        return;
    }
    std::string joined;
    for (const std::string& parameter : parameters_)
        joined += parameter;
    if (joined == "/C") {
        Quelle->Clear();
        Quelle->PasteFromClipboard();
        sourceEdited_ = false; // the text the program starts with
        SetStatusText(Text("NC-Daten aus Zwischenablage eingefügt"));
    } else if (FileExists(joined)) {
        LoadSource(joined, QString::fromLocal8Bit(parameters_.front()));
    }
}

void TForm1::FormResize() {
    SplitPanes();
}

void TForm1::SplitPanes() {
    Panel_Links->resize(HalfToEven(Panel_Haupt->width()), Panel_Links->height());
    Panel_Haupt->Realign();
}

// ---- Events ----

bool TForm1::event(QEvent* event) {
    // The status line tells the outcomes of commands only: hovering over a menu item, which
    // has no tip, must not wipe it.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Once, when the program shows the window; an error skips the rest of the start-up work,
    // and the window is shown all the same.
    if (shown_ || event->spontaneous()) return;
    shown_ = true;
    RunGuarded([this] { FormShow(); });
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

// "&Beenden", the close box and the window manager's close all come here. A running load or
// conversion is stopped first, a running save finishes; the window closes once it has ended.
void TForm1::closeEvent(QCloseEvent* event) {
    bool mayClose = quitting_;
    if (!mayClose) RunGuarded([&] { mayClose = MayDiscardEdits("beenden"); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    if (working_) {
        quitting_ = true;
        if (onQuit_ == TOnQuit::Stop) CancelWork();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// Files dropped where no pane is (buttons, headers, status line); the panes hand theirs over
// themselves.
void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedFiles(*event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedFiles(*event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    OpenDroppedFile(files.front());
}

} // namespace plotalon
