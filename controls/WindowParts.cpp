#include "controls/WindowParts.h"

#include "controls/GlyphArt.h"

namespace plotalon {

QWidget* MakePanel(QWidget* parent, QRect geometry) {
    auto* panel = new QWidget(parent);
    panel->setGeometry(geometry);
    return panel;
}

TShape* MakeLine(QWidget* parent, QRect geometry) {
    auto* line = new TShape(parent);
    line->setGeometry(geometry);
    return line;
}

TXPSpeedButton* MakeHouseButton(QWidget* parent, QRect geometry, const char* caption,
                                std::string_view glyph, int margin, TColor brushDown) {
    auto* button = new TXPSpeedButton(parent);
    button->setGeometry(geometry);
    SetHouseStyle(*button, brushDown);
    button->SetCaption(QString::fromUtf8(caption));
    const TBitmap bitmap = LoadGlyph(glyph);
    button->SetGlyph(&bitmap);
    button->SetMargin(margin);
    return button;
}

} // namespace plotalon
