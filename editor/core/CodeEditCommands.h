#pragma once
// Editor command identifiers. Every editing action of a pane is one of these 16-bit numbers;
// keystroke lists store them by name, so the names below are part of the stored format.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plotalon {

using TCodeEditCommand = std::uint16_t;

constexpr TCodeEditCommand ecNone = 0;
// Movement 1..17; the same movement extending the selection is the number plus ecSelection.
constexpr TCodeEditCommand ecLeft = 1;
constexpr TCodeEditCommand ecRight = 2;
constexpr TCodeEditCommand ecUp = 3;
constexpr TCodeEditCommand ecDown = 4;
constexpr TCodeEditCommand ecWordLeft = 5;
constexpr TCodeEditCommand ecWordRight = 6;
constexpr TCodeEditCommand ecLineStart = 7;
constexpr TCodeEditCommand ecLineEnd = 8;
constexpr TCodeEditCommand ecPageUp = 9;
constexpr TCodeEditCommand ecPageDown = 10;
constexpr TCodeEditCommand ecPageLeft = 11;
constexpr TCodeEditCommand ecPageRight = 12;
constexpr TCodeEditCommand ecPageTop = 13;
constexpr TCodeEditCommand ecPageBottom = 14;
constexpr TCodeEditCommand ecEditorTop = 15;
constexpr TCodeEditCommand ecEditorBottom = 16;
constexpr TCodeEditCommand ecGotoXY = 17;

constexpr TCodeEditCommand ecSelection = 100;
constexpr TCodeEditCommand ecSelLeft = ecLeft + ecSelection;
constexpr TCodeEditCommand ecSelRight = ecRight + ecSelection;
constexpr TCodeEditCommand ecSelUp = ecUp + ecSelection;
constexpr TCodeEditCommand ecSelDown = ecDown + ecSelection;
constexpr TCodeEditCommand ecSelWordLeft = ecWordLeft + ecSelection;
constexpr TCodeEditCommand ecSelWordRight = ecWordRight + ecSelection;
constexpr TCodeEditCommand ecSelLineStart = ecLineStart + ecSelection;
constexpr TCodeEditCommand ecSelLineEnd = ecLineEnd + ecSelection;
constexpr TCodeEditCommand ecSelPageUp = ecPageUp + ecSelection;
constexpr TCodeEditCommand ecSelPageDown = ecPageDown + ecSelection;
constexpr TCodeEditCommand ecSelPageLeft = ecPageLeft + ecSelection;
constexpr TCodeEditCommand ecSelPageRight = ecPageRight + ecSelection;
constexpr TCodeEditCommand ecSelPageTop = ecPageTop + ecSelection;
constexpr TCodeEditCommand ecSelPageBottom = ecPageBottom + ecSelection;
constexpr TCodeEditCommand ecSelEditorTop = ecEditorTop + ecSelection;
constexpr TCodeEditCommand ecSelEditorBottom = ecEditorBottom + ecSelection;
constexpr TCodeEditCommand ecSelGotoXY = ecGotoXY + ecSelection;

constexpr TCodeEditCommand ecSelectAll = 199;
constexpr TCodeEditCommand ecCopy = 201;
constexpr TCodeEditCommand ecScrollUp = 211;
constexpr TCodeEditCommand ecScrollDown = 212;
constexpr TCodeEditCommand ecScrollLeft = 213;
constexpr TCodeEditCommand ecScrollRight = 214;
constexpr TCodeEditCommand ecInsertMode = 221;
constexpr TCodeEditCommand ecOverwriteMode = 222;
constexpr TCodeEditCommand ecToggleMode = 223;
constexpr TCodeEditCommand ecNormalSelect = 231;
constexpr TCodeEditCommand ecColumnSelect = 232;
constexpr TCodeEditCommand ecLineSelect = 233;
constexpr TCodeEditCommand ecMatchBracket = 250;
constexpr TCodeEditCommand ecGotoMarker0 = 301; // ..ecGotoMarker0 + 9
constexpr TCodeEditCommand ecGotoMarker9 = 310;
constexpr TCodeEditCommand ecSetMarker0 = 351; // ..ecSetMarker0 + 9
constexpr TCodeEditCommand ecSetMarker9 = 360;
constexpr TCodeEditCommand ecContextHelp = 490;
constexpr TCodeEditCommand ecDeleteLastChar = 501;
constexpr TCodeEditCommand ecDeleteChar = 502;
constexpr TCodeEditCommand ecDeleteWord = 503;
constexpr TCodeEditCommand ecDeleteLastWord = 504;
constexpr TCodeEditCommand ecDeleteBOL = 505;
constexpr TCodeEditCommand ecDeleteEOL = 506;
constexpr TCodeEditCommand ecDeleteLine = 507;
constexpr TCodeEditCommand ecClearAll = 508;
constexpr TCodeEditCommand ecLineBreak = 509;
constexpr TCodeEditCommand ecInsertLine = 510;
constexpr TCodeEditCommand ecChar = 511;
constexpr TCodeEditCommand ecImeStr = 550;
constexpr TCodeEditCommand ecUndo = 601;
constexpr TCodeEditCommand ecRedo = 602;
constexpr TCodeEditCommand ecCut = 603;
constexpr TCodeEditCommand ecPaste = 604;
constexpr TCodeEditCommand ecBlockIndent = 610;
constexpr TCodeEditCommand ecBlockUnindent = 611;
constexpr TCodeEditCommand ecTab = 612;
constexpr TCodeEditCommand ecShiftTab = 613;
constexpr TCodeEditCommand ecUpperCase = 620;
constexpr TCodeEditCommand ecLowerCase = 621;
constexpr TCodeEditCommand ecToggleCase = 622;
constexpr TCodeEditCommand ecTitleCase = 623;
constexpr TCodeEditCommand ecString = 630; // has no stored name
constexpr TCodeEditCommand ecAutoCompletion = 650;
constexpr TCodeEditCommand ecUserFirst = 1001;

// The stored name of a command; a command without a name is written as its decimal number.
std::string EditorCommandToIdent(TCodeEditCommand command);

// The command of a stored name (any letter case) or decimal number; nothing for an unknown
// name or a number outside 0..65535.
std::optional<TCodeEditCommand> IdentToEditorCommand(std::string_view ident);

// The name alone, or nothing when the command has none.
std::optional<std::string_view> EditorCommandName(TCodeEditCommand command);

} // namespace plotalon
