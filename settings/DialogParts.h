#pragma once
// The controls the pages of the settings dialog are built from: labels, edits with the flat
// one-pixel border, stepper buttons and the buttons of an exclusive group, in the dialog's
// look, and a stepper's step on its field.

#include "controls/XPSpeedButton.h"
#include "settings/FieldRules.h"

#include <QRect>
#include <string_view>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace plotalon {

QLabel* MakeLabel(QWidget* parent, int x, int y, const char* text);
QLineEdit* MakeEdit(QWidget* parent, QRect geometry, const char* text);
// A drop-down list with the same flat border; editable: the user may type an entry of his own.
QComboBox* MakeChoice(QWidget* parent, QRect geometry, bool editable);
TXPSpeedButton* MakeStepper(QWidget* parent, int x, int y, std::string_view glyph);
// One button of an exclusive group; the group comes before Down, or Down would not hold.
TXPSpeedButton* MakeGroupButton(QWidget* parent, QRect geometry, const char* caption,
                                std::string_view glyph, int group, bool down);
// A stepper's press on its field: nothing when the field holds no number; otherwise the new
// text, which runs the field's validator when it differs.
void StepField(QLineEdit* field, const TStepper& stepper);

} // namespace plotalon
