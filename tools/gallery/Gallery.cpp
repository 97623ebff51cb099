#include "Gallery.h"

#include "controls/GlyphArt.h"
#include "controls/XPSpeedButton.h"
#include "platform/qt/Fonts.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>

namespace plotalon {

namespace {

enum TLook { lkUp, lkHot, lkPressed, lkLatched, lkLatchedHot, lkDisabled };

struct LookRow {
    TLook look;
    const char* name;
};
constexpr LookRow kLooks[] = {
    {lkUp, "up"},
    {lkHot, "hot"},
    {lkPressed, "pressed"},
    {lkLatched, "latched"},
    {lkLatchedHot, "latched, hot"},
    {lkDisabled, "disabled"},
};

struct Sample {
    const char* caption;
    std::string_view glyph;
    int width, height, margin;
    bool stepper;
};
constexpr Sample kSamples[] = {
    {"&HPGL", glyph_art::ArrowRight, 113, 30, 5, false},
    {"H&PGL 1", glyph_art::CheckBox, 81, 25, 5, false},
    {"&Schließen", glyph_art::Cancel, 113, 30, -1, false},
    {"", glyph_art::Minus, 19, 19, -1, true},
    {"", glyph_art::FolderOpen, 23, 22, -1, false},
};

struct GlyphButton {
    const char* caption;
    std::string_view glyph;
    int width, height, margin;
};
constexpr GlyphButton kGlyphButtons[] = {
    {"&NC öffnen", glyph_art::NcOpen, 113, 30, 5},
    {"&HPGL erzeugen", glyph_art::HpglConvert, 113, 30, 5},
    {"H&PGL speichern", glyph_art::HpglSave, 113, 30, 5},
    {"&Einstellungen", glyph_art::Settings, 113, 30, 5},
    {"&Verzeichnisse", glyph_art::ArrowRight, 113, 30, 5},
    {"&Abbrechen", glyph_art::Cancel, 113, 30, -1},
    {"&Hilfe", glyph_art::Help, 113, 30, -1},
    {"&Speichern", glyph_art::Save, 113, 30, -1},
    {"HP&GL 2", glyph_art::CheckBox, 81, 25, 5},
    {"info@plotalon.de", glyph_art::Envelope, 129, 33, 8},
    {"www.plotalon.de", glyph_art::Globe, 129, 33, 8},
    {"", glyph_art::Plus, 19, 19, -1},
    {"", glyph_art::FolderOpen, 23, 22, -1},
};

constexpr int kLabelWidth = 90;
constexpr int kColumn = 130;
constexpr int kRow = 42;

TXPSpeedButton* HouseStyleButton(QWidget* parent, const char* caption, std::string_view glyph,
                                 QRect geometry, int margin) {
    auto* button = new TXPSpeedButton(parent);
    button->setGeometry(geometry);
    button->SetCaption(QString::fromUtf8(caption));
    const TBitmap bitmap = LoadGlyph(glyph);
    button->SetGlyph(&bitmap);
    button->SetMargin(margin);
    SetHouseStyle(*button);
    button->setProperty("look", -1);
    return button;
}

void Enter(QWidget* button) {
    const QPointF centre(button->width() / 2.0, button->height() / 2.0);
    QEnterEvent enter(centre, button->mapTo(button->window(), centre), button->mapToGlobal(centre));
    QApplication::sendEvent(button, &enter);
}

void Press(QWidget* button) {
    const QPointF centre(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
}

} // namespace

TGallery::TGallery(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Plotalon controls"));
    setFont(DefaultWindowFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(212, 208, 200));
    setPalette(palette);
    setAutoFillBackground(true);
    BuildLookMatrix();
    BuildGlyphSheet();
}

void TGallery::BuildLookMatrix() {
    int group = 100;
    for (size_t col = 0; col < std::size(kSamples); ++col) {
        const Sample& s = kSamples[col];
        for (size_t row = 0; row < std::size(kLooks); ++row) {
            const QRect at(kLabelWidth + int(col) * kColumn, 8 + int(row) * kRow, s.width,
                           s.height);
            TXPSpeedButton* button = HouseStyleButton(this, s.caption, s.glyph, at, s.margin);
            if (s.stepper) {
                button->PenNormal().Color = clWindowFrame;
                button->PenDown().Color = clNavy;
            }
            button->SetGroupIndex(++group);
            button->setProperty("look", int(kLooks[row].look));
        }
    }
    for (size_t row = 0; row < std::size(kLooks); ++row) {
        auto* label = new QLabel(QString::fromLatin1(kLooks[row].name), this);
        label->setGeometry(8, 8 + int(row) * kRow + 8, kLabelWidth - 8, 16);
    }
}

void TGallery::BuildGlyphSheet() {
    const int top = 8 + int(std::size(kLooks)) * kRow + 16;
    auto* heading = new QLabel(QStringLiteral("glyphs"), this);
    heading->setGeometry(8, top + 8, kLabelWidth - 8, 16);
    constexpr int perRow = 5;
    int index = 0;
    for (const GlyphButton& g : kGlyphButtons) {
        const QRect at(kLabelWidth + (index % perRow) * kColumn, top + (index / perRow) * kRow,
                       g.width, g.height);
        HouseStyleButton(this, g.caption, g.glyph, at, g.margin);
        ++index;
    }
    const int rows = (index + perRow - 1) / perRow;
    auto* icon = new QLabel(this);
    icon->setPixmap(LoadGlyph(glyph_art::ProgramIcon).Pixmap());
    icon->setGeometry(8, top + 32, 33, 33);
    resize(kLabelWidth + perRow * kColumn, top + rows * kRow + 8);
}

void TGallery::ApplyLooks() {
    for (auto* button : findChildren<TXPSpeedButton*>()) {
        switch (TLook(button->property("look").toInt())) {
        case lkUp:
            break;
        case lkHot:
            Enter(button);
            break;
        case lkPressed:
            Press(button);
            break;
        case lkLatched:
            button->SetDown(true);
            break;
        case lkLatchedHot:
            button->SetDown(true);
            Enter(button);
            break;
        case lkDisabled:
            button->setEnabled(false);
            break;
        }
    }
}

} // namespace plotalon
