#include "editor/core/CodeEditKeyStrokes.h"

#include <array>

namespace plotalon {

namespace {

constexpr TShortCut kShiftBit = 0x2000;
constexpr TShortCut kCtrlBit = 0x4000;
constexpr TShortCut kAltBit = 0x8000;
constexpr TShortCut kKeyMask = 0x1FFF;

const char* const kShortcutTaken = "Shortcut already exists";

struct DefaultKey {
    TCodeEditCommand command;
    std::uint16_t key;
    TShiftState shift;
};

constexpr TShiftState ssCtrlShift = ssCtrl | ssShift;
constexpr TShiftState ssAltShift = ssAlt | ssShift;

// The panes' keystroke list, in the order it is stored.
constexpr std::array<DefaultKey, 62> kDefaultKeys{{
    {ecUp, vk::Up, ssNone},
    {ecSelUp, vk::Up, ssShift},
    {ecScrollUp, vk::Up, ssCtrl},
    {ecDown, vk::Down, ssNone},
    {ecSelDown, vk::Down, ssShift},
    {ecScrollDown, vk::Down, ssCtrl},
    {ecLeft, vk::Left, ssNone},
    {ecSelLeft, vk::Left, ssShift},
    {ecWordLeft, vk::Left, ssCtrl},
    {ecSelWordLeft, vk::Left, ssCtrlShift},
    {ecRight, vk::Right, ssNone},
    {ecSelRight, vk::Right, ssShift},
    {ecWordRight, vk::Right, ssCtrl},
    {ecSelWordRight, vk::Right, ssCtrlShift},
    {ecPageDown, vk::Next, ssNone},
    {ecSelPageDown, vk::Next, ssShift},
    {ecPageBottom, vk::Next, ssCtrl},
    {ecSelPageBottom, vk::Next, ssCtrlShift},
    {ecPageUp, vk::Prior, ssNone},
    {ecSelPageUp, vk::Prior, ssShift},
    {ecPageTop, vk::Prior, ssCtrl},
    {ecSelPageTop, vk::Prior, ssCtrlShift},
    {ecLineStart, vk::Home, ssNone},
    {ecSelLineStart, vk::Home, ssShift},
    {ecEditorTop, vk::Home, ssCtrl},
    {ecSelEditorTop, vk::Home, ssCtrlShift},
    {ecLineEnd, vk::End, ssNone},
    {ecSelLineEnd, vk::End, ssShift},
    {ecEditorBottom, vk::End, ssCtrl},
    {ecSelEditorBottom, vk::End, ssCtrlShift},
    {ecToggleMode, vk::Insert, ssNone},
    {ecPaste, vk::Insert, ssShift},
    {ecCopy, vk::Insert, ssCtrl},
    {ecDeleteChar, vk::Delete, ssNone},
    {ecCut, vk::Delete, ssShift},
    {ecDeleteLastChar, vk::Back, ssNone},
    {ecDeleteLastChar, vk::Back, ssShift},
    {ecDeleteLastWord, vk::Back, ssCtrl},
    {ecUndo, vk::Back, ssAlt},
    {ecRedo, vk::Back, ssAltShift},
    {ecLineBreak, vk::Return, ssNone},
    {ecLineBreak, vk::Return, ssShift},
    {ecTab, vk::Tab, ssNone},
    {ecShiftTab, vk::Tab, ssShift},
    {ecContextHelp, vk::F1, ssCtrl},
    {ecSelectAll, 'A', ssCtrl},
    {ecMatchBracket, 'B', ssCtrlShift},
    {ecCopy, 'C', ssCtrl},
    {ecColumnSelect, 'C', ssCtrlShift},
    {ecBlockIndent, 'I', ssCtrlShift},
    {ecLineSelect, 'L', ssCtrlShift},
    {ecLineBreak, 'M', ssCtrl},
    {ecInsertLine, 'N', ssCtrl},
    {ecNormalSelect, 'N', ssCtrlShift},
    {ecDeleteWord, 'T', ssCtrl},
    {ecBlockUnindent, 'U', ssCtrlShift},
    {ecPaste, 'V', ssCtrl},
    {ecCut, 'X', ssCtrl},
    {ecDeleteLine, 'Y', ssCtrl},
    {ecDeleteEOL, 'Y', ssCtrlShift},
    {ecUndo, 'Z', ssCtrl},
    {ecRedo, 'Z', ssCtrlShift},
}};

} // namespace

TShortCut ShortCut(std::uint16_t key, TShiftState shift) {
    TShortCut result = key & kKeyMask;
    if (shift & ssShift) result |= kShiftBit;
    if (shift & ssCtrl) result |= kCtrlBit;
    if (shift & ssAlt) result |= kAltBit;
    return result;
}

void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift) {
    key = shortCut & kKeyMask;
    shift = ssNone;
    if (shortCut & kShiftBit) shift |= ssShift;
    if (shortCut & kCtrlBit) shift |= ssCtrl;
    if (shortCut & kAltBit) shift |= ssAlt;
}

void TCodeEditKeyStroke::Assign(std::uint16_t key, TShiftState shift, std::uint16_t key2,
                                TShiftState shift2) {
    TShortCut first = plotalon::ShortCut(key, shift);
    TShortCut second = plotalon::ShortCut(key2, shift2);
    // An item without any key collides with nothing: lists are built item by item.
    if (owner_ && first != 0 && owner_->Taken(this, first, second))
        throw ECodeKeyError(kShortcutTaken);
    key_ = key;
    shift_ = shift;
    key2_ = key2;
    shift2_ = shift2;
}

void TCodeEditKeyStroke::SetKey(std::uint16_t key) {
    Assign(key, shift_, key2_, shift2_);
}
void TCodeEditKeyStroke::SetShift(TShiftState shift) {
    Assign(key_, shift, key2_, shift2_);
}
void TCodeEditKeyStroke::SetKey2(std::uint16_t key) {
    Assign(key_, shift_, key, shift2_);
}
void TCodeEditKeyStroke::SetShift2(TShiftState shift) {
    Assign(key_, shift_, key2_, shift);
}

void TCodeEditKeyStroke::SetShortCut(TShortCut shortCut) {
    std::uint16_t key;
    TShiftState shift;
    ShortCutToKey(shortCut, key, shift);
    Assign(key, shift, key2_, shift2_);
}

void TCodeEditKeyStroke::SetShortCut2(TShortCut shortCut) {
    std::uint16_t key;
    TShiftState shift;
    ShortCutToKey(shortCut, key, shift);
    Assign(key_, shift_, key, shift);
}

TCodeEditKeyStrokes::TCodeEditKeyStrokes(const TCodeEditKeyStrokes& other) {
    *this = other;
}

TCodeEditKeyStrokes& TCodeEditKeyStrokes::operator=(const TCodeEditKeyStrokes& other) {
    if (this == &other) return *this;
    std::vector<std::unique_ptr<TCodeEditKeyStroke>> copy;
    for (const auto& item : other.items_) {
        auto stroke = std::unique_ptr<TCodeEditKeyStroke>(new TCodeEditKeyStroke(this));
        stroke->command_ = item->command_;
        stroke->key_ = item->key_;
        stroke->shift_ = item->shift_;
        stroke->key2_ = item->key2_;
        stroke->shift2_ = item->shift2_;
        copy.push_back(std::move(stroke));
    }
    items_ = std::move(copy);
    return *this;
}

TCodeEditKeyStroke& TCodeEditKeyStrokes::Add() {
    items_.push_back(std::unique_ptr<TCodeEditKeyStroke>(new TCodeEditKeyStroke(this)));
    return *items_.back();
}

TCodeEditKeyStroke& TCodeEditKeyStrokes::Add(TCodeEditCommand command, std::uint16_t key,
                                             TShiftState shift) {
    if (Taken(nullptr, plotalon::ShortCut(key, shift), 0)) throw ECodeKeyError(kShortcutTaken);
    TCodeEditKeyStroke& stroke = Add();
    stroke.command_ = command;
    stroke.key_ = key;
    stroke.shift_ = shift;
    return stroke;
}

void TCodeEditKeyStrokes::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

int TCodeEditKeyStrokes::FindKeycode(std::uint16_t key, TShiftState shift) const {
    for (int i = 0; i < Count(); ++i) {
        const auto& item = *items_[i];
        if (item.key_ == key && item.shift_ == shift && item.key2_ == 0) return i;
    }
    return -1;
}

int TCodeEditKeyStrokes::FindCommand(TCodeEditCommand command) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i]->command_ == command) return i;
    return -1;
}

int TCodeEditKeyStrokes::FindShortcut2(TShortCut shortCut, TShortCut shortCut2) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i]->ShortCut() == shortCut && items_[i]->ShortCut2() == shortCut2) return i;
    return -1;
}

bool TCodeEditKeyStrokes::Taken(const TCodeEditKeyStroke* except, TShortCut shortCut,
                                TShortCut shortCut2) const {
    for (const auto& item : items_)
        if (item.get() != except && item->ShortCut() == shortCut && item->ShortCut2() == shortCut2)
            return true;
    return false;
}

void TCodeEditKeyStrokes::ResetDefaults() {
    items_.clear();
    for (const auto& entry : kDefaultKeys)
        Add(entry.command, entry.key, entry.shift);
    for (int digit = 0; digit <= 9; ++digit) {
        Add(static_cast<TCodeEditCommand>(ecGotoMarker0 + digit), '0' + digit, ssCtrl);
        Add(static_cast<TCodeEditCommand>(ecSetMarker0 + digit), '0' + digit, ssCtrlShift);
    }
}

} // namespace plotalon
