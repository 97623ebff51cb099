#include "settings/Unit2.h"

#include "controls/GlyphArt.h"
#include "controls/WindowParts.h"
#include "controls/XPSpeedButton.h"
#include "engine/ConvState.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/DialogChars.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Memo.h"
#include "platform/qt/Text.h"
#include "platform/qt/WindowPlacement.h"
#include "settings/BlockFile.h"
#include "settings/DialogParts.h"
#include "settings/NcFormat.h"
#include "settings/PlotterPage.h"
#include "settings/Reg.h"
#include "settings/folderBrowse.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace plotalon {

namespace {

TMemo* MakeMemo(QWidget* parent, QRect geometry) {
    auto* memo = new TMemo(parent);
    memo->setGeometry(geometry);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setTabChangesFocus(true);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return memo;
}

// Texts in the settings file are UTF-8, as the desktop writes file names; a text that is
// not (a file brought from Windows, say) is taken as Windows-1252 rather than mangled.
QString FromStored(const std::string& bytes) {
    return FromMessage(bytes);
}

std::string ToStored(const QLineEdit* field) {
    return field->text().toStdString();
}

} // namespace

TForm_Einstellungen::TForm_Einstellungen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Einstellungen"));
    setFont(DefaultWindowFont());
    setFixedSize(529, 334);

    Folder = new TBrowseForFolder(this); // its defaults are those of the dialog's picker
    Panel2 = MakePanel(this, QRect(0, 0, 529, 287));
    Panel3 = MakePanel(this, QRect(0, 287, 529, 47));
    BuildLeftStrip();
    BuildFoldersPage();
    BuildHpglPage();
    BuildNcFormatPage();
    Panel_Plotter = new TPlotterPage(Panel2);
    Panel_Plotter->move(129, 0);
    BuildBottomStrip();
    BindHandlers();

    // The first page button is down, so its page is the one shown. The folders page is
    // hidden rather than only covered, so that the keyboard cannot reach its fields unseen.
    BHPGLClick();
    setTabOrder(EFaktor, EXVersatz);
    setTabOrder(EXVersatz, EYVersatz);
    setTabOrder(EYVersatz, EGrad);
    setTabOrder(EGrad, EVorspann);
    setTabOrder(EVorspann, ENachspann);
    setTabOrder(ENachspann, ENCDIR);
    setTabOrder(ENCDIR, EHPGLDIR);
    setTabOrder(EHPGLDIR, EStiftZ);
    setTabOrder(EStiftZ, Panel_Plotter->EPort);
    EFaktor->setFocus();
    TDialogCharRouter::Install(this);
}

void TForm_Einstellungen::BuildLeftStrip() {
    Panel1 = MakePanel(Panel2, QRect(0, 0, 129, 287));
    BHPGL =
        MakeGroupButton(Panel1, QRect(8, 12, 113, 30), "&HPGL", glyph_art::ArrowRight, 10, true);
    BDir = MakeGroupButton(Panel1, QRect(8, 52, 113, 30), "&Verzeichnisse", glyph_art::ArrowRight,
                           10, false);
    BNCFormat = MakeGroupButton(Panel1, QRect(8, 92, 113, 30), "&NC-Format", glyph_art::ArrowRight,
                                10, false);
    BPlotter = MakeGroupButton(Panel1, QRect(8, 132, 113, 30), "P&lotter", glyph_art::ArrowRight,
                               10, false);
    Shape1 = MakeLine(Panel1, QRect(128, 0, 1, 287));
}

void TForm_Einstellungen::BuildFoldersPage() {
    Panel_DIR = MakePanel(Panel2, QRect(129, 0, 400, 287));
    Label5 = MakeLabel(Panel_DIR, 32, 16, "NC-Dateien");
    ENCDIR = MakeEdit(Panel_DIR, QRect(32, 32, 329, 19), "");
    ENCDIR->setCursor(Qt::PointingHandCursor);
    BNCDIR = MakeHouseButton(Panel_DIR, QRect(363, 32, 23, 22), "", glyph_art::FolderOpen, -1,
                             kHouseActive);
    Label6 = MakeLabel(Panel_DIR, 32, 64, "HPGL-Dateien");
    EHPGLDIR = MakeEdit(Panel_DIR, QRect(32, 80, 329, 19), "");
    EHPGLDIR->setCursor(Qt::PointingHandCursor);
    BHPGLDIR = MakeHouseButton(Panel_DIR, QRect(363, 80, 23, 22), "", glyph_art::FolderOpen, -1,
                               kHouseActive);
}

void TForm_Einstellungen::BuildHpglPage() {
    Panel_HPGL = MakePanel(Panel2, QRect(129, 0, 400, 287));
    EHPGL1 = MakeGroupButton(Panel_HPGL, QRect(32, 216, 81, 25), "H&PGL 1", glyph_art::CheckBox, 11,
                             true);
    EHPGL2 = MakeGroupButton(Panel_HPGL, QRect(32, 252, 81, 25), "HP&GL 2", glyph_art::CheckBox, 11,
                             false);
    for (TXPSpeedButton* dialect : {EHPGL1, EHPGL2})
        dialect->SetNumGlyphs(4); // the fourth image, with the check mark, is the down look

    Label2 = MakeLabel(Panel_HPGL, 32, 16, "Skalierungsfaktor");
    FMinus = MakeStepper(Panel_HPGL, 140, 12, glyph_art::Minus);
    FPlus = MakeStepper(Panel_HPGL, 207, 12, glyph_art::Plus);
    Label3 = MakeLabel(Panel_HPGL, 32, 40, "Ursprung X");
    XMinus = MakeStepper(Panel_HPGL, 140, 36, glyph_art::Minus);
    XPlus = MakeStepper(Panel_HPGL, 207, 36, glyph_art::Plus);
    Label4 = MakeLabel(Panel_HPGL, 32, 64, "Ursprung Y");
    YMinus = MakeStepper(Panel_HPGL, 140, 60, glyph_art::Minus);
    YPlus = MakeStepper(Panel_HPGL, 207, 60, glyph_art::Plus);
    Label1 = MakeLabel(Panel_HPGL, 144, 224, "Auflösung Bogen (Grad)");
    // The substitute of the layout's font runs a few pixels wider than the original, which
    // would push this label under its stepper; slightly narrower letters keep it clear.
    QFont narrower = Label1->font();
    narrower.setStretch(96);
    Label1->setFont(narrower);
    Label1->adjustSize();
    GMinus = MakeStepper(Panel_HPGL, 260, 220, glyph_art::Minus);
    GPlus = MakeStepper(Panel_HPGL, 327, 220, glyph_art::Plus);
    Label7 = MakeLabel(Panel_HPGL, 32, 88, "Vorspann");
    Label8 = MakeLabel(Panel_HPGL, 32, 152, "Nachspann");

    // The edits overlap their steppers by one pixel and lie on top of them, as windowed
    // controls lie over the controls painted on their parent.
    EFaktor = MakeEdit(Panel_HPGL, QRect(158, 12, 50, 19), "1000");
    EXVersatz = MakeEdit(Panel_HPGL, QRect(158, 36, 50, 19), "0");
    EYVersatz = MakeEdit(Panel_HPGL, QRect(158, 60, 50, 19), "0");
    EGrad = MakeEdit(Panel_HPGL, QRect(278, 220, 50, 19), "10");
    EVorspann = MakeMemo(Panel_HPGL, QRect(140, 88, 229, 57));
    ENachspann = MakeMemo(Panel_HPGL, QRect(140, 152, 229, 57));
}

// The reading of the NC text in two latching buttons like the dialect pair, the pen level
// between steppers like the HPGL page's numbers, what lowers the pen as a second pair, and
// the two options as buttons that latch and release on their own.
void TForm_Einstellungen::BuildNcFormatPage() {
    Panel_NCFormat = MakePanel(Panel2, QRect(129, 0, 400, 287));
    Label9 = MakeLabel(Panel_NCFormat, 32, 16, "Lesart des NC-Programms");
    EWoertlich = MakeGroupButton(Panel_NCFormat, QRect(32, 36, 150, 25), "&Wörtlich (alt)",
                                 glyph_art::CheckBox, 12, true);
    EStandard = MakeGroupButton(Panel_NCFormat, QRect(200, 36, 150, 25), "S&tandard (RS274)",
                                glyph_art::CheckBox, 12, false);
    Label10 = MakeLabel(Panel_NCFormat, 32, 68,
                        "Standard: Skalierungsfaktor in Einheiten je mm (meist 40)");
    Label11 = MakeLabel(Panel_NCFormat, 32, 104, "Stift-Z (NC-Einheiten)");
    SMinus = MakeStepper(Panel_NCFormat, 200, 100, glyph_art::Minus);
    SPlus = MakeStepper(Panel_NCFormat, 267, 100, glyph_art::Plus);
    Label12 = MakeLabel(Panel_NCFormat, 32, 140, "Stift senken durch");
    EStiftZHoehe = MakeGroupButton(Panel_NCFormat, QRect(32, 160, 150, 25), "&Z-Höhe",
                                   glyph_art::CheckBox, 13, true);
    EStiftSpindel = MakeGroupButton(Panel_NCFormat, QRect(200, 160, 150, 25), "Spindel/Laser (&M3)",
                                    glyph_art::CheckBox, 13, false);
    EWerkzeugStift =
        MakeGroupButton(Panel_NCFormat, QRect(32, 208, 250, 25), "Stift aus Wer&kzeug (T n M6)",
                        glyph_art::CheckBox, 14, false);
    EBohrpunkte = MakeGroupButton(Panel_NCFormat, QRect(32, 244, 250, 25), "&Bohrungen als Punkte",
                                  glyph_art::CheckBox, 15, false);
    for (TXPSpeedButton* option :
         {EWoertlich, EStandard, EStiftZHoehe, EStiftSpindel, EWerkzeugStift, EBohrpunkte})
        option->SetNumGlyphs(4); // the fourth image, with the check mark, is the down look
    for (TXPSpeedButton* option : {EWerkzeugStift, EBohrpunkte})
        option->SetAllowAllUp(true);
    EStiftZ = MakeEdit(Panel_NCFormat, QRect(218, 100, 50, 19), "0");
}

void TForm_Einstellungen::BuildBottomStrip() {
    Shape2 = MakeLine(Panel3, QRect(0, 0, 529, 1));
    Abbruch = MakeHouseButton(Panel3, QRect(8, 11, 113, 30), "&Abbrechen", glyph_art::Cancel);
    XPSpeedButton1 = MakeHouseButton(Panel3, QRect(210, 11, 113, 30), "&Hilfe", glyph_art::Help);
    XPSpeedButton3 =
        MakeHouseButton(Panel3, QRect(409, 11, 113, 30), "&Speichern", glyph_art::Save);
}

void TForm_Einstellungen::BindHandlers() {
    // A group button latches when the mouse releases it, but an accelerator only clicks it;
    // the group buttons latch on every click, so that the keyboard selects a page or a
    // dialect as the mouse does.
    const struct {
        TXPSpeedButton* button;
        void (TForm_Einstellungen::*handler)(); // nullptr: the button has none
    } clicks[] = {
        {FMinus, &TForm_Einstellungen::FMinusClick},
        {FPlus, &TForm_Einstellungen::FPlusClick},
        {XMinus, &TForm_Einstellungen::XMinusClick},
        {XPlus, &TForm_Einstellungen::XPlusClick},
        {YMinus, &TForm_Einstellungen::YMinusClick},
        {YPlus, &TForm_Einstellungen::YPlusClick},
        {GMinus, &TForm_Einstellungen::GMinusClick},
        {GPlus, &TForm_Einstellungen::GPlusClick},
        {BNCDIR, &TForm_Einstellungen::BNCDIRClick},
        {BHPGLDIR, &TForm_Einstellungen::BHPGLDIRClick},
        {BHPGL, &TForm_Einstellungen::BHPGLClick},
        {BDir, &TForm_Einstellungen::BDirClick},
        {EHPGL1, nullptr},
        {EHPGL2, nullptr},
        {XPSpeedButton3, &TForm_Einstellungen::XPSpeedButton3Click},
        {Abbruch, &TForm_Einstellungen::AbbruchClick},
        {XPSpeedButton1, &TForm_Einstellungen::XPSpeedButton1Click},
        {BNCFormat, &TForm_Einstellungen::BNCFormatClick},
        {BPlotter, &TForm_Einstellungen::BPlotterClick},
        {SMinus, &TForm_Einstellungen::SMinusClick},
        {SPlus, &TForm_Einstellungen::SPlusClick},
        {EWoertlich, nullptr},
        {EStandard, nullptr},
        {EStiftZHoehe, nullptr},
        {EStiftSpindel, nullptr},
    };
    for (const auto& click : clicks) {
        const auto handler = click.handler;
        click.button->OnClick = [this, handler](TXPSpeedButton* button) {
            if (button->GroupIndex() != 0) button->SetDown(true);
            if (handler) (this->*handler)();
        };
        click.button->Loaded();
    }
    // The options latch and release. A mouse release has already turned the button over
    // when the click arrives; an accelerator only clicks, so the click turns it over then.
    for (TXPSpeedButton* option : {EWerkzeugStift, EBohrpunkte}) {
        auto pressed = std::make_shared<std::optional<bool>>(); // Down() when pressed
        option->OnMouseDown = [pressed](TXPSpeedButton* button, Qt::MouseButton,
                                        Qt::KeyboardModifiers, int,
                                        int) { *pressed = button->Down(); };
        option->OnClick = [pressed](TXPSpeedButton* button) {
            const bool turnedByMouse = pressed->has_value() && **pressed != button->Down();
            if (!turnedByMouse) button->SetDown(!button->Down());
            pressed->reset();
        };
        option->Loaded();
    }

    const struct {
        QLineEdit* edit;
        void (TForm_Einstellungen::*handler)();
    } changes[] = {
        {EFaktor, &TForm_Einstellungen::EFaktorChange},
        {EXVersatz, &TForm_Einstellungen::EXVersatzChange},
        {EYVersatz, &TForm_Einstellungen::EYVersatzChange},
        {EGrad, &TForm_Einstellungen::EGradChange},
        {EStiftZ, &TForm_Einstellungen::EStiftZChange},
    };
    for (const auto& change : changes)
        connect(change.edit, &QLineEdit::textChanged, this, change.handler);
}

void TForm_Einstellungen::Validate(QLineEdit* field, const TValidator& validator) {
    const std::string text = field->text().toStdString();
    const std::string valid = ValidatedFieldText(text, validator);
    if (valid != text) field->setText(QString::fromStdString(valid));
}

void TForm_Einstellungen::StepPen(QLineEdit* field, long double step) {
    if (std::optional<std::string> text = StepPenLevel(field->text().toStdString(), step))
        field->setText(QString::fromStdString(*text)); // runs the validator if it changed
}

void TForm_Einstellungen::FMinusClick() {
    StepField(EFaktor, kFactorMinus);
}
void TForm_Einstellungen::FPlusClick() {
    StepField(EFaktor, kFactorPlus);
}
void TForm_Einstellungen::XMinusClick() {
    StepField(EXVersatz, kOriginMinus);
}
void TForm_Einstellungen::XPlusClick() {
    StepField(EXVersatz, kOriginPlus);
}
void TForm_Einstellungen::YMinusClick() {
    StepField(EYVersatz, kOriginMinus);
}
void TForm_Einstellungen::YPlusClick() {
    StepField(EYVersatz, kOriginPlus);
}
void TForm_Einstellungen::GMinusClick() {
    StepField(EGrad, kDegreesMinus);
}
void TForm_Einstellungen::GPlusClick() {
    StepField(EGrad, kDegreesPlus);
}

void TForm_Einstellungen::SMinusClick() {
    StepPen(EStiftZ, -0.1L);
}
void TForm_Einstellungen::SPlusClick() {
    StepPen(EStiftZ, 0.1L);
}

void TForm_Einstellungen::EFaktorChange() {
    Validate(EFaktor, kFactorValidator);
}
void TForm_Einstellungen::EXVersatzChange() {
    Validate(EXVersatz, kOriginValidator);
}
void TForm_Einstellungen::EYVersatzChange() {
    Validate(EYVersatz, kOriginValidator);
}
void TForm_Einstellungen::EGradChange() {
    Validate(EGrad, kDegreesValidator);
}
void TForm_Einstellungen::EStiftZChange() {
    Validate(EStiftZ, kPenLevelValidator);
}

void TForm_Einstellungen::BNCDIRClick() {
    Browse(ENCDIR);
}
void TForm_Einstellungen::BHPGLDIRClick() {
    Browse(EHPGLDIR);
}

void TForm_Einstellungen::Browse(QLineEdit* field) {
    Folder->SetFolderName(QString::fromStdString(BrowseStartFolder(field->text().toStdString())));
    if (Folder->Execute()) field->setText(Folder->FolderName());
}

void TForm_Einstellungen::BHPGLClick() {
    ShowPage(Panel_HPGL);
}

void TForm_Einstellungen::BDirClick() {
    ShowPage(Panel_DIR);
}

void TForm_Einstellungen::BNCFormatClick() {
    ShowPage(Panel_NCFormat);
}

void TForm_Einstellungen::BPlotterClick() {
    ShowPage(Panel_Plotter);
}

// The page to show comes first, so that a field of the page that goes can hand the focus
// to a field of the page that comes.
void TForm_Einstellungen::ShowPage(QWidget* page) {
    page->setVisible(true);
    for (QWidget* other :
         {Panel_HPGL, Panel_DIR, Panel_NCFormat, static_cast<QWidget*>(Panel_Plotter)})
        if (other != page) other->setVisible(false);
}

void TForm_Einstellungen::XPSpeedButton3Click() {
    SaveSettings(); // a failed save ends here, and the dialog stays open
    accept();
}

void TForm_Einstellungen::AbbruchClick() {
    reject();
}

void TForm_Einstellungen::XPSpeedButton1Click() {
    if (help_) RunModalAbove(*help_, this);
}

void TForm_Einstellungen::SetHelpWindow(QDialog* help) {
    help_ = help;
}

void TForm_Einstellungen::setVisible(bool visible) {
    if (visible && !placed_) {
        placed_ = true;
        winId(); // a native window knows its frame, which centring includes
        CentreWindow(*this, parentWidget());
    }
    QDialog::setVisible(visible);
}

void TForm_Einstellungen::LoadSettings() {
    Reg::IniName = "main";
    Reg::IniSection = "path";
    Reg::IniFolder = ProgramFolder();
    ENCDIR->setText(FromStored(Reg::IniReadString("nc")));
    EHPGLDIR->setText(FromStored(Reg::IniReadString("hpgl")));

    Reg::IniSection = "convert";
    // Each text that differs from the field's runs the field's validator at once.
    EFaktor->setText(FromStored(Reg::IniReadString("factor")));
    EXVersatz->setText(FromStored(Reg::IniReadString("xmove")));
    EYVersatz->setText(FromStored(Reg::IniReadString("ymove")));
    EGrad->setText(FromStored(Reg::IniReadString("deg")));

    // The group ignores raising the button that is down: a "type" other than 1 or 2 leaves
    // the dialect as it was.
    EHPGL1->SetDown(Reg::IniReadInteger("type") == 1);
    EHPGL2->SetDown(Reg::IniReadInteger("type") == 2);

    // The numbers come from the file, not from the validated fields.
    TConvSettings& settings = ConvSettings();
    settings.NcFolder = ToStored(ENCDIR);
    settings.HpglFolder = ToStored(EHPGLDIR);
    settings.Factor = Reg::IniReadInteger("factor");
    settings.XMove = Reg::IniReadInteger("xmove");
    settings.YMove = Reg::IniReadInteger("ymove");
    settings.Deg = Reg::IniReadInteger("deg");
    settings.HpglType = std::uint8_t(Reg::IniReadInteger("type"));
    LoadNcFormat();

    for (const auto& [memo, name] :
         {std::pair{EVorspann, "vorspann.plt"}, std::pair{ENachspann, "nachspann.plt"}})
        if (std::optional<std::string> text = ReadBlockFileIfExists(Reg::IniFolder + name))
            memo->SetText(*text);
    Panel_Plotter->LoadSettings();
}

void TForm_Einstellungen::SaveSettings() {
    Reg::IniName = "main";
    Reg::IniSection = "path";
    Reg::IniFolder = ProgramFolder();
    Reg::IniWriteString("nc", ToStored(ENCDIR));
    Reg::IniWriteString("hpgl", ToStored(EHPGLDIR));

    Reg::IniSection = "convert";
    Reg::IniWriteString("factor", ToStored(EFaktor));
    Reg::IniWriteString("xmove", ToStored(EXVersatz));
    Reg::IniWriteString("ymove", ToStored(EYVersatz));
    Reg::IniWriteString("deg", ToStored(EGrad));
    if (EHPGL1->Down()) Reg::IniWriteString("type", "1");
    if (EHPGL2->Down()) Reg::IniWriteString("type", "2");
    SaveNcFormat();
    Panel_Plotter->SaveSettings(); // a section of its own, after the conversion's keys

    WriteBlockFile(Reg::IniFolder + "vorspann.plt", EVorspann->Text());
    WriteBlockFile(Reg::IniFolder + "nachspann.plt", ENachspann->Text());
    LoadSettings();
}

// After the numbers: the keys of the NC format into the conversion settings and the page.
// Without them the literal reading holds, and the page shows it.
void TForm_Einstellungen::LoadNcFormat() {
    TConvSettings& settings = ConvSettings();
    ReadNcFormat(settings);
    const bool standard = settings.NcMode == TNcMode::nmStandard;
    (standard ? EStandard : EWoertlich)->SetDown(true);
    EStiftZ->setText(QString::fromStdString(PenLevelText(settings.PenZ)));
    const bool spindle = settings.PenSource == TPenSource::psSpindle;
    (spindle ? EStiftSpindel : EStiftZHoehe)->SetDown(true);
    EWerkzeugStift->SetDown(settings.ToolPens);
    EBohrpunkte->SetDown(settings.DrillMarks);
}

// After "type", in the order the keys are read.
void TForm_Einstellungen::SaveNcFormat() {
    const auto flag = [](const TXPSpeedButton* button) { return button->Down() ? "1" : "0"; };
    Reg::IniWriteString(kNcModeKey, flag(EStandard));
    const std::int32_t penZ = PenLevelThousandths(EStiftZ->text().toStdString()).value_or(0);
    Reg::IniWriteString(kPenZKey, std::to_string(penZ));
    Reg::IniWriteString(kPenSourceKey, flag(EStiftSpindel));
    Reg::IniWriteString(kToolPensKey, flag(EWerkzeugStift));
    Reg::IniWriteString(kDrillMarksKey, flag(EBohrpunkte));
}

TLineVector TForm_Einstellungen::PrefixLines() const {
    return TLineVector(MemoTextToLines(EVorspann->Text()));
}

TLineVector TForm_Einstellungen::SuffixLines() const {
    return TLineVector(MemoTextToLines(ENachspann->Text()));
}

} // namespace plotalon
