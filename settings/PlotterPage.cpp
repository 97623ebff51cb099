#include "settings/PlotterPage.h"

#include "controls/GlyphArt.h"
#include "controls/XPSpeedButton.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/Text.h"
#include "sender/qt/QtSerialPort.h"
#include "settings/DialogParts.h"
#include "settings/FieldRules.h"
#include "settings/PlotterProfile.h"
#include "settings/Reg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace plotalon {

namespace {

constexpr TStepper kBlockMinus{-64, scAbove, 64, 5};
constexpr TStepper kBlockPlus{64, scBelow, kMaxBlockSize - 63, 5};
constexpr TStepper kTimeoutMinus{-1, scAbove, 1, 3};
constexpr TStepper kTimeoutPlus{1, scBelow, 600, 3};

// The choices in the order of the lists, with the settings' values behind them.
constexpr std::pair<TParity, const char*> kParities[] = {
    {TParity::None, "keine"}, {TParity::Even, "gerade"}, {TParity::Odd, "ungerade"}};
constexpr std::pair<THandshake, const char*> kHandshakes[] = {
    {THandshake::None, "kein Handshake"},
    {THandshake::XonXoff, "XON/XOFF (Software)"},
    {THandshake::RtsCts, "RTS/CTS (Hardware)"},
    {THandshake::Query, "Pufferabfrage (ESC.B)"},
};

template <class Enum, std::size_t N>
void Fill(QComboBox* choice, const std::pair<Enum, const char*> (&items)[N]) {
    for (const auto& [value, text] : items)
        choice->addItem(QString::fromUtf8(text), int(value));
}

void Select(QComboBox* choice, int value) {
    choice->setCurrentIndex(std::max(0, choice->findData(value)));
}

int Chosen(const QComboBox* choice) {
    return choice->currentData().toInt();
}

int WholeOf(const QLineEdit* field, int fallback) {
    const std::optional<long double> value = ParseFieldNumber(field->text().toStdString());
    return value ? int(*value) : fallback;
}

void Validate(QLineEdit* field, long double min, long double max, const char* replacement) {
    const std::string text = field->text().toStdString();
    const std::string valid = ValidatedWholeText(text, min, max, replacement);
    if (valid != text) field->setText(QString::fromStdString(valid));
}

} // namespace

TPlotterPage::TPlotterPage(QWidget* parent) : QWidget(parent) {
    resize(400, 287);
    LPort = MakeLabel(this, 32, 16, "Anschluss");
    EPort = MakeChoice(this, QRect(140, 12, 229, 21), true);
    LBaud = MakeLabel(this, 32, 44, "Baudrate");
    EBaud = MakeChoice(this, QRect(140, 40, 81, 21), false);
    for (int baud : kStandardBauds)
        EBaud->addItem(QString::number(baud), baud);
    LBits = MakeLabel(this, 236, 44, "Datenbits");
    EBits = MakeChoice(this, QRect(309, 40, 60, 21), false);
    EBits->addItem(QStringLiteral("7"), 7);
    EBits->addItem(QStringLiteral("8"), 8);
    LParity = MakeLabel(this, 32, 72, "Parität");
    EParity = MakeChoice(this, QRect(140, 68, 81, 21), false);
    Fill(EParity, kParities);
    LStop = MakeLabel(this, 236, 72, "Stoppbits");
    EStop = MakeChoice(this, QRect(309, 68, 60, 21), false);
    EStop->addItem(QStringLiteral("1"), 1);
    EStop->addItem(QStringLiteral("2"), 2);
    LHandshake = MakeLabel(this, 32, 100, "Handshake");
    EHandshake = MakeChoice(this, QRect(140, 96, 229, 21), false);
    Fill(EHandshake, kHandshakes);

    LBlock = MakeLabel(this, 32, 128, "Blockgröße (Bytes)");
    BlockMinus = MakeStepper(this, 140, 124, glyph_art::Minus);
    BlockPlus = MakeStepper(this, 207, 124, glyph_art::Plus);
    LInit = MakeLabel(this, 32, 156, "Set-up-String");
    LRange = MakeLabel(this, 32, 184, "Bereich");
    LRangeTo = MakeLabel(this, 212, 184, "bis");
    LTimeout = MakeLabel(this, 32, 212, "Antwortzeit (s)");
    TimeoutMinus = MakeStepper(this, 140, 208, glyph_art::Minus);
    TimeoutPlus = MakeStepper(this, 207, 208, glyph_art::Plus);
    // The edits lie over their steppers by one pixel, as on the HPGL page.
    EBlock = MakeEdit(this, QRect(158, 124, 50, 19), "256");
    EInit = MakeEdit(this, QRect(140, 152, 229, 19), "");
    ERangeMin = MakeEdit(this, QRect(140, 180, 64, 19), "-32768");
    ERangeMax = MakeEdit(this, QRect(232, 180, 64, 19), "32767");
    ETimeout = MakeEdit(this, QRect(158, 208, 50, 19), "5");

    BindHandlers();
    SetSettings(TPlotterSettings());
    setTabOrder(EPort, EBaud);
    setTabOrder(EBaud, EBits);
    setTabOrder(EBits, EParity);
    setTabOrder(EParity, EStop);
    setTabOrder(EStop, EHandshake);
    setTabOrder(EHandshake, EBlock);
    setTabOrder(EBlock, EInit);
    setTabOrder(EInit, ERangeMin);
    setTabOrder(ERangeMin, ERangeMax);
    setTabOrder(ERangeMax, ETimeout);
}

void TPlotterPage::BindHandlers() {
    const struct {
        TXPSpeedButton* button;
        QLineEdit* field;
        const TStepper* stepper;
    } steppers[] = {
        {BlockMinus, EBlock, &kBlockMinus},
        {BlockPlus, EBlock, &kBlockPlus},
        {TimeoutMinus, ETimeout, &kTimeoutMinus},
        {TimeoutPlus, ETimeout, &kTimeoutPlus},
    };
    for (const auto& s : steppers) {
        s.button->OnClick = [field = s.field, stepper = s.stepper](TXPSpeedButton*) {
            StepField(field, *stepper);
        };
        s.button->Loaded();
    }
    // Each field checks its text on every change and replaces what it cannot take at once.
    connect(EBlock, &QLineEdit::textChanged, this,
            [this] { Validate(EBlock, 1, kMaxBlockSize, "256"); });
    connect(ETimeout, &QLineEdit::textChanged, this,
            [this] { Validate(ETimeout, 1, kMaxTimeoutSeconds, "5"); });
    connect(ERangeMin, &QLineEdit::textChanged, this,
            [this] { Validate(ERangeMin, INT32_MIN, INT32_MAX, "-32768"); });
    connect(ERangeMax, &QLineEdit::textChanged, this,
            [this] { Validate(ERangeMax, INT32_MIN, INT32_MAX, "32767"); });
}

TPlotterSettings TPlotterPage::Settings() const {
    const TPlotterSettings d;
    TPlotterSettings s;
    s.Port = EPort->currentText().trimmed().toStdString();
    s.Line.Baud = Chosen(EBaud);
    s.Line.DataBits = Chosen(EBits);
    s.Line.Parity = TParity(Chosen(EParity));
    s.Line.StopBits = Chosen(EStop);
    s.Line.Handshake = THandshake(Chosen(EHandshake));
    s.BlockSize = WholeOf(EBlock, d.BlockSize);
    s.Init = EInit->text().toStdString();
    s.RangeMin = WholeOf(ERangeMin, d.RangeMin);
    s.RangeMax = WholeOf(ERangeMax, d.RangeMax);
    s.TimeoutSeconds = WholeOf(ETimeout, d.TimeoutSeconds);
    return s;
}

void TPlotterPage::SetSettings(const TPlotterSettings& s) {
    EPort->setEditText(FromMessage(s.Port));
    if (EBaud->findData(s.Line.Baud) < 0) EBaud->addItem(QString::number(s.Line.Baud), s.Line.Baud);
    Select(EBaud, s.Line.Baud);
    Select(EBits, s.Line.DataBits);
    Select(EParity, int(s.Line.Parity));
    Select(EStop, s.Line.StopBits);
    Select(EHandshake, int(s.Line.Handshake));
    EBlock->setText(QString::number(s.BlockSize));
    EInit->setText(FromMessage(s.Init));
    ERangeMin->setText(QString::number(s.RangeMin));
    ERangeMax->setText(QString::number(s.RangeMax));
    ETimeout->setText(QString::number(s.TimeoutSeconds));
}

void TPlotterPage::RefreshPorts() {
    const QString typed = EPort->currentText();
    EPort->clear();
    for (const std::string& port : AvailablePlotterPorts())
        EPort->addItem(QString::fromStdString(port));
    EPort->setEditText(typed);
}

void TPlotterPage::LoadSettings() {
    Reg::IniName = "main";
    Reg::IniFolder = ProgramFolder();
    SetSettings(ReadPlotterSettings());
}

// Asking the system for its ports takes some milliseconds: done when the user gets to see
// the list, which is also when it should be current, not at every load of the settings.
void TPlotterPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    RefreshPorts();
}

void TPlotterPage::SaveSettings() {
    Reg::IniName = "main";
    Reg::IniFolder = ProgramFolder();
    WritePlotterSettings(Settings());
}

} // namespace plotalon
