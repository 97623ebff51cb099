#include "editor/view/CodeEditKeys.h"

namespace plotalon {

namespace {

struct TKeyName {
    int Qt;
    std::uint16_t Vk;
};

constexpr TKeyName kNamedKeys[] = {
    {Qt::Key_Backspace, vk::Back}, {Qt::Key_Tab, vk::Tab},       {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Return, vk::Return},  {Qt::Key_Enter, vk::Return},  {Qt::Key_PageUp, vk::Prior},
    {Qt::Key_PageDown, vk::Next},  {Qt::Key_End, vk::End},       {Qt::Key_Home, vk::Home},
    {Qt::Key_Left, vk::Left},      {Qt::Key_Up, vk::Up},         {Qt::Key_Right, vk::Right},
    {Qt::Key_Down, vk::Down},      {Qt::Key_Insert, vk::Insert}, {Qt::Key_Delete, vk::Delete},
    {Qt::Key_Escape, 0x1B},        {Qt::Key_Space, 0x20},
};

// With Shift held the digit keys report their shifted symbols, which differ from layout
// to layout; the key codes of the digit row ("1" to "0") are the same on X11 and Wayland.
constexpr quint32 kFirstDigitScanCode = 10;

} // namespace

std::uint16_t VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return std::uint16_t('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return std::uint16_t('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return std::uint16_t(0x70 + (key - Qt::Key_F1));
    for (const auto& named : kNamedKeys)
        if (named.Qt == key) return named.Vk;
    if (event.modifiers() & Qt::ShiftModifier) {
        const quint32 scan = event.nativeScanCode();
        if (scan >= kFirstDigitScanCode && scan < kFirstDigitScanCode + 10)
            return std::uint16_t(
                scan == kFirstDigitScanCode + 9 ? '0' : '1' + (scan - kFirstDigitScanCode));
    }
    return 0;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers) {
    TShiftState state = ssNone;
    if (modifiers & Qt::ShiftModifier) state |= ssShift;
    if (modifiers & Qt::ControlModifier) state |= ssCtrl;
    if (modifiers & Qt::AltModifier) state |= ssAlt;
    return state;
}

} // namespace plotalon
