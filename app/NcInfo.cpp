#include "app/NcInfo.h"

#include "controls/GlyphArt.h"
#include "controls/WindowParts.h"
#include "platform/qt/DialogChars.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Shell.h"

#include <QScreen>

namespace plotalon {

namespace {

// The maker's data: placeholders of the project, in reserved name and number ranges.
const char* const kCompany = "Plotalon-Projekt";
const char* const kPhone = "(0555) 123 456";
const char* const kFax = "(0555) 123 457";
const char* const kMail = "info@example.com";
const char* const kWebHost = "www.example.com";
const char* const kCopyrightYear = "\u00A9 2026";
const char* const kCopyrightName = "Plotalon-Projekt";

constexpr TColor kPanelColour = 15852762; // red 218, green 228, blue 241

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TInfo::TInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Info"));
    setWindowTitle(QStringLiteral("Info "));
    setFixedSize(377, 239);
    setFont(DefaultWindowFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(palette);
    setAutoFillBackground(true);

    Shape4 = MakeShape("Shape4", {8, 32, 361, 161}, kPanelColour);
    Email = MakeButton("Email", {168, 104, 129, 33}, kMail, glyph_art::Envelope, 8);
    Shape3 = MakeShape("Shape3", {152, 8, 217, 25}, clWhite);
    Shape5 = MakeShape("Shape5", {8, 8, 145, 25}, clWhite);
    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 40, 33, 33);
    Image1->SetPicture(LoadGlyph(glyph_art::ProgramIcon));
    Image1->SetTransparent(true);
    Label5 = MakeLabel("Label5", 16, 14, QStringLiteral("Version"), fsBold);
    Label8 = MakeLabel("Label8", 168, 14, QStringLiteral("Kontakt"), fsBold);
    Name = MakeLabel("Name", 168, 40, Text(kCompany));
    Label6 = MakeLabel("Label6", 168, 64, QStringLiteral("Telefon"));
    Label9 = MakeLabel("Label9", 168, 80, QStringLiteral("Telefax"));
    Telefon = MakeLabel("Telefon", 216, 64, Text(kPhone));
    Telefax = MakeLabel("Telefax", 216, 80, Text(kFax));
    Link = MakeButton("Link", {168, 144, 129, 33}, kWebHost, glyph_art::Globe, 8);
    Version = MakeLabel("Version", 18, 96, QStringLiteral("2.0"));
    Label13 = MakeLabel("Label13", 18, 80, QStringLiteral("Plotalon"));
    Shape1 = MakeShape("Shape1", {152, 32, 1, 161}, clWhite);
    Label2 = MakeLabel("Label2", 66, 152, Text(kCopyrightName));
    Schliessen = MakeButton("Schliessen", {120, 200, 145, 33}, "&Schließen", glyph_art::Cancel, -1);
    Label1 = MakeLabel("Label1", 18, 112, QStringLiteral("Konvertiert DIN-ISO-Code"));
    Label3 = MakeLabel("Label3", 18, 128, QStringLiteral("in HPGL-1 oder HPGL-2"));
    Label4 = MakeLabel("Label4", 18, 152, Text(kCopyrightYear));

    Email->OnClick = [this](TXPSpeedButton*) { EmailClick(); };
    Link->OnClick = [this](TXPSpeedButton*) { LinkClick(); };
    Schliessen->OnClick = [this](TXPSpeedButton*) { SchliessenClick(); };
    TDialogCharRouter::Install(this);
}

QLabel* TInfo::MakeLabel(const char* name, int x, int y, const QString& text, unsigned styles) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    if (styles) label->setFont(MakeFont(QStringLiteral("MS Sans Serif"), 8, styles));
    label->move(x, y);
    label->adjustSize();
    return label;
}

TShape* TInfo::MakeShape(const char* name, QRect geometry, TColor fill) {
    auto* shape = new TShape(this);
    shape->setObjectName(QString::fromLatin1(name));
    shape->setGeometry(geometry);
    shape->SetBrush({fill, bsSolid});
    return shape;
}

TXPSpeedButton* TInfo::MakeButton(const char* name, QRect geometry, const char* caption,
                                  std::string_view glyph, int margin) {
    TXPSpeedButton* button = MakeHouseButton(this, geometry, caption, glyph, margin);
    button->setObjectName(QString::fromLatin1(name));
    button->Loaded();
    return button;
}

void TInfo::ShowModal() {
    RunModal(*this);
}

void TInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen at every showing (not over the main window, as Qt would place it).
    const QScreen* where = parentWidget() ? parentWidget()->screen() : screen();
    QRect area(QPoint(), size());
    area.moveCenter(where->geometry().center());
    setGeometry(area);
    FormShow();
}

void TInfo::FormShow() {
    Version->setText(QStringLiteral("Version 1.1"));
    Version->adjustSize();
}

void TInfo::SchliessenClick() {
    close();
}

void TInfo::LinkClick() {
    QWidget* application = parentWidget() ? parentWidget()->window() : nullptr;
    Shell().Execute(application, QStringLiteral("open"),
                    QStringLiteral("http://") + Link->Caption(), swShowNormal);
}

void TInfo::EmailClick() {
    Shell().Execute(nullptr, QStringLiteral("open"),
                    QStringLiteral("mailto:") + Email->Caption() +
                        QStringLiteral("?subject=Kontakt PLOTALON 1.1&Body="),
                    swShow);
}

} // namespace plotalon
