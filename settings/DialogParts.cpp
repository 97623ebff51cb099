#include "settings/DialogParts.h"

#include "controls/WindowParts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace plotalon {

QLabel* MakeLabel(QWidget* parent, int x, int y, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, QRect geometry, const char* text) {
    auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
    edit->setGeometry(geometry);
    // The flat one-pixel border of the layout.
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid black; background: white; "
                                       "padding: 0px 1px; }"));
    return edit;
}

QComboBox* MakeChoice(QWidget* parent, QRect geometry, bool editable) {
    auto* choice = new QComboBox(parent);
    choice->setGeometry(geometry);
    choice->setEditable(editable);
    choice->setInsertPolicy(QComboBox::NoInsert);
    choice->setStyleSheet(QStringLiteral(
        "QComboBox { border: 1px solid black; background: white; padding: 0px 2px; }"));
    return choice;
}

TXPSpeedButton* MakeStepper(QWidget* parent, int x, int y, std::string_view glyph) {
    TXPSpeedButton* button = MakeHouseButton(parent, QRect(x, y, 19, 19), "", glyph);
    button->PenNormal().Color = clWindowFrame;
    button->PenDown().Color = clNavy;
    return button;
}

TXPSpeedButton* MakeGroupButton(QWidget* parent, QRect geometry, const char* caption,
                                std::string_view glyph, int group, bool down) {
    TXPSpeedButton* button = MakeHouseButton(parent, geometry, caption, glyph, 5);
    button->SetGroupIndex(group);
    button->SetDown(down);
    return button;
}

void StepField(QLineEdit* field, const TStepper& stepper) {
    if (std::optional<std::string> text = StepFieldText(field->text().toStdString(), stepper))
        field->setText(QString::fromStdString(*text));
}

} // namespace plotalon
