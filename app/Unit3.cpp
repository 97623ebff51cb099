#include "app/Unit3.h"

#include "controls/GlyphArt.h"
#include "controls/WindowParts.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/DialogChars.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Memo.h"
#include "platform/qt/WindowPlacement.h"
#include "settings/BlockFile.h"

#include <QShowEvent>

namespace plotalon {

THilfe::THilfe(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Hilfe"));
    setFont(DefaultWindowFont());
    setFixedSize(422, 308);

    Panel1 = MakePanel(this, QRect(0, 0, 422, 261));
    Memo = new TMemo(Panel1);
    Memo->setGeometry(0, 0, 422, 261);
    Memo->setReadOnly(true);
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Panel2 = MakePanel(this, QRect(0, 261, 422, 47));
    Shape2 = MakeLine(Panel2, QRect(0, 0, 422, 1));
    Abbruch = MakeHouseButton(Panel2, QRect(151, 11, 113, 30), "&Schließen", glyph_art::Cancel);
    Abbruch->OnClick = [this](TXPSpeedButton*) { AbbruchClick(); };
    Abbruch->Loaded();
    TDialogCharRouter::Install(this);
}

void THilfe::FormShow() {
    if (std::optional<std::string> text = ReadBlockFileIfExists(ProgramFolder() + "hilfe.txt"))
        Memo->SetText(*text);
}

void THilfe::AbbruchClick() {
    close();
}

void THilfe::setVisible(bool visible) {
    if (visible && !placed_) {
        placed_ = true;
        winId(); // a native window knows its frame, which centring includes
        CentreWindow(*this, nullptr);
    }
    QDialog::setVisible(visible);
}

void THilfe::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only when the program shows the window, not when the desktop restores it.
    if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

} // namespace plotalon
