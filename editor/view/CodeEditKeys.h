#pragma once
// Qt key presses as the keystroke table knows them: Windows virtual-key codes and the
// Shift, Ctrl and Alt state.

#include "editor/core/CodeEditKeyStrokes.h"

#include <QKeyEvent>
#include <cstdint>

namespace plotalon {

// The virtual-key code of a key press; 0 for a key the table cannot name.
std::uint16_t VirtualKeyOf(const QKeyEvent& event);
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers);

} // namespace plotalon
