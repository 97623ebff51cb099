#pragma once
// Keystroke lists: which key with which shift state runs which editor command.

#include "editor/core/CodeEditCommands.h"
#include "platform/Errors.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plotalon {

// Raised when a shortcut is assigned twice in one keystroke list.
class ECodeKeyError : public Exception {
    using Exception::Exception;
};

// Shift state of a key press, as bit flags.
enum TShiftFlag : std::uint8_t { ssNone = 0, ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = std::uint8_t;

// Virtual-key codes of the keys the panes bind. Letters and digits are their ASCII codes.
namespace vk {
constexpr std::uint16_t Back = 0x08;
constexpr std::uint16_t Tab = 0x09;
constexpr std::uint16_t Return = 0x0D;
constexpr std::uint16_t Prior = 0x21; // Page Up
constexpr std::uint16_t Next = 0x22;  // Page Down
constexpr std::uint16_t End = 0x23;
constexpr std::uint16_t Home = 0x24;
constexpr std::uint16_t Left = 0x25;
constexpr std::uint16_t Up = 0x26;
constexpr std::uint16_t Right = 0x27;
constexpr std::uint16_t Down = 0x28;
constexpr std::uint16_t Insert = 0x2D;
constexpr std::uint16_t Delete = 0x2E;
constexpr std::uint16_t F1 = 0x70;
} // namespace vk

// A shortcut: the virtual-key code plus 0x2000 for Shift, 0x4000 for Ctrl, 0x8000 for Alt.
using TShortCut = std::uint16_t;
TShortCut ShortCut(std::uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift);

class TCodeEditKeyStrokes;

// One item of a keystroke list. Changing a key or shift state of an item that belongs to a
// list checks the new shortcut against the other items first and raises ECodeKeyError
// ("Shortcut already exists") without changing anything when it is taken.
class TCodeEditKeyStroke {
public:
    TCodeEditCommand Command() const { return command_; }
    void SetCommand(TCodeEditCommand command) { command_ = command; }

    std::uint16_t Key() const { return key_; }
    TShiftState Shift() const { return shift_; }
    std::uint16_t Key2() const { return key2_; }
    TShiftState Shift2() const { return shift2_; }
    void SetKey(std::uint16_t key);
    void SetShift(TShiftState shift);
    void SetKey2(std::uint16_t key);
    void SetShift2(TShiftState shift);

    TShortCut ShortCut() const { return plotalon::ShortCut(key_, shift_); }
    TShortCut ShortCut2() const { return plotalon::ShortCut(key2_, shift2_); }
    void SetShortCut(TShortCut shortCut);
    void SetShortCut2(TShortCut shortCut);

private:
    friend class TCodeEditKeyStrokes;
    explicit TCodeEditKeyStroke(TCodeEditKeyStrokes* owner) : owner_(owner) {}
    void Assign(std::uint16_t key, TShiftState shift, std::uint16_t key2, TShiftState shift2);

    TCodeEditKeyStrokes* owner_;
    TCodeEditCommand command_ = ecNone;
    std::uint16_t key_ = 0;
    TShiftState shift_ = ssNone;
    std::uint16_t key2_ = 0;
    TShiftState shift2_ = ssNone;
};

// An ordered keystroke list. Items keep their addresses while they are in the list.
class TCodeEditKeyStrokes {
public:
    TCodeEditKeyStrokes() = default;
    TCodeEditKeyStrokes(const TCodeEditKeyStrokes& other);
    TCodeEditKeyStrokes& operator=(const TCodeEditKeyStrokes& other);

    // Appends an empty item (no key, ecNone).
    TCodeEditKeyStroke& Add();
    // Appends an item for a key; raises ECodeKeyError when the shortcut is taken.
    TCodeEditKeyStroke& Add(TCodeEditCommand command, std::uint16_t key, TShiftState shift);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    TCodeEditKeyStroke& operator[](int index) { return *items_.at(index); }
    const TCodeEditKeyStroke& operator[](int index) const { return *items_.at(index); }

    // Index of the first item with this key and shift state and no second key; -1 if none.
    int FindKeycode(std::uint16_t key, TShiftState shift) const;
    // Index of the first item bound to the command; -1 if none.
    int FindCommand(TCodeEditCommand command) const;
    // Index of an item with both shortcuts equal; -1 if none.
    int FindShortcut2(TShortCut shortCut, TShortCut shortCut2) const;

    // Replaces the list with the panes' 82 keystrokes.
    void ResetDefaults();

private:
    friend class TCodeEditKeyStroke;
    bool Taken(const TCodeEditKeyStroke* except, TShortCut shortCut, TShortCut shortCut2) const;

    std::vector<std::unique_ptr<TCodeEditKeyStroke>> items_;
};

} // namespace plotalon
