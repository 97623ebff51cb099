#include "editor/core/CodeEditCommands.h"

#include <array>
#include <charconv>

namespace plotalon {

namespace {

struct CommandName {
    TCodeEditCommand command;
    std::string_view name;
};

constexpr std::array kCommandNames{
    CommandName{ecNone, "ecNone"},
    CommandName{ecLeft, "ecLeft"},
    CommandName{ecRight, "ecRight"},
    CommandName{ecUp, "ecUp"},
    CommandName{ecDown, "ecDown"},
    CommandName{ecWordLeft, "ecWordLeft"},
    CommandName{ecWordRight, "ecWordRight"},
    CommandName{ecLineStart, "ecLineStart"},
    CommandName{ecLineEnd, "ecLineEnd"},
    CommandName{ecPageUp, "ecPageUp"},
    CommandName{ecPageDown, "ecPageDown"},
    CommandName{ecPageLeft, "ecPageLeft"},
    CommandName{ecPageRight, "ecPageRight"},
    CommandName{ecPageTop, "ecPageTop"},
    CommandName{ecPageBottom, "ecPageBottom"},
    CommandName{ecEditorTop, "ecEditorTop"},
    CommandName{ecEditorBottom, "ecEditorBottom"},
    CommandName{ecGotoXY, "ecGotoXY"},
    CommandName{ecSelLeft, "ecSelLeft"},
    CommandName{ecSelRight, "ecSelRight"},
    CommandName{ecSelUp, "ecSelUp"},
    CommandName{ecSelDown, "ecSelDown"},
    CommandName{ecSelWordLeft, "ecSelWordLeft"},
    CommandName{ecSelWordRight, "ecSelWordRight"},
    CommandName{ecSelLineStart, "ecSelLineStart"},
    CommandName{ecSelLineEnd, "ecSelLineEnd"},
    CommandName{ecSelPageUp, "ecSelPageUp"},
    CommandName{ecSelPageDown, "ecSelPageDown"},
    CommandName{ecSelPageLeft, "ecSelPageLeft"},
    CommandName{ecSelPageRight, "ecSelPageRight"},
    CommandName{ecSelPageTop, "ecSelPageTop"},
    CommandName{ecSelPageBottom, "ecSelPageBottom"},
    CommandName{ecSelEditorTop, "ecSelEditorTop"},
    CommandName{ecSelEditorBottom, "ecSelEditorBottom"},
    CommandName{ecSelGotoXY, "ecSelGotoXY"},
    CommandName{ecSelectAll, "ecSelectAll"},
    CommandName{ecCopy, "ecCopy"},
    CommandName{ecScrollUp, "ecScrollUp"},
    CommandName{ecScrollDown, "ecScrollDown"},
    CommandName{ecScrollLeft, "ecScrollLeft"},
    CommandName{ecScrollRight, "ecScrollRight"},
    CommandName{ecInsertMode, "ecInsertMode"},
    CommandName{ecOverwriteMode, "ecOverwriteMode"},
    CommandName{ecToggleMode, "ecToggleMode"},
    CommandName{ecNormalSelect, "ecNormalSelect"},
    CommandName{ecColumnSelect, "ecColumnSelect"},
    CommandName{ecLineSelect, "ecLineSelect"},
    CommandName{ecMatchBracket, "ecMatchBracket"},
    CommandName{ecGotoMarker0, "ecGotoMarker0"},
    CommandName{ecGotoMarker0 + 1, "ecGotoMarker1"},
    CommandName{ecGotoMarker0 + 2, "ecGotoMarker2"},
    CommandName{ecGotoMarker0 + 3, "ecGotoMarker3"},
    CommandName{ecGotoMarker0 + 4, "ecGotoMarker4"},
    CommandName{ecGotoMarker0 + 5, "ecGotoMarker5"},
    CommandName{ecGotoMarker0 + 6, "ecGotoMarker6"},
    CommandName{ecGotoMarker0 + 7, "ecGotoMarker7"},
    CommandName{ecGotoMarker0 + 8, "ecGotoMarker8"},
    CommandName{ecGotoMarker9, "ecGotoMarker9"},
    CommandName{ecSetMarker0, "ecSetMarker0"},
    CommandName{ecSetMarker0 + 1, "ecSetMarker1"},
    CommandName{ecSetMarker0 + 2, "ecSetMarker2"},
    CommandName{ecSetMarker0 + 3, "ecSetMarker3"},
    CommandName{ecSetMarker0 + 4, "ecSetMarker4"},
    CommandName{ecSetMarker0 + 5, "ecSetMarker5"},
    CommandName{ecSetMarker0 + 6, "ecSetMarker6"},
    CommandName{ecSetMarker0 + 7, "ecSetMarker7"},
    CommandName{ecSetMarker0 + 8, "ecSetMarker8"},
    CommandName{ecSetMarker9, "ecSetMarker9"},
    CommandName{ecContextHelp, "ecContextHelp"},
    CommandName{ecDeleteLastChar, "ecDeleteLastChar"},
    CommandName{ecDeleteChar, "ecDeleteChar"},
    CommandName{ecDeleteWord, "ecDeleteWord"},
    CommandName{ecDeleteLastWord, "ecDeleteLastWord"},
    CommandName{ecDeleteBOL, "ecDeleteBOL"},
    CommandName{ecDeleteEOL, "ecDeleteEOL"},
    CommandName{ecDeleteLine, "ecDeleteLine"},
    CommandName{ecClearAll, "ecClearAll"},
    CommandName{ecLineBreak, "ecLineBreak"},
    CommandName{ecInsertLine, "ecInsertLine"},
    CommandName{ecChar, "ecChar"},
    CommandName{ecImeStr, "ecImeStr"},
    CommandName{ecUndo, "ecUndo"},
    CommandName{ecRedo, "ecRedo"},
    CommandName{ecCut, "ecCut"},
    CommandName{ecPaste, "ecPaste"},
    CommandName{ecBlockIndent, "ecBlockIndent"},
    CommandName{ecBlockUnindent, "ecBlockUnindent"},
    CommandName{ecTab, "ecTab"},
    CommandName{ecShiftTab, "ecShiftTab"},
    CommandName{ecUpperCase, "ecUpperCase"},
    CommandName{ecLowerCase, "ecLowerCase"},
    CommandName{ecToggleCase, "ecToggleCase"},
    CommandName{ecTitleCase, "ecTitleCase"},
    CommandName{ecAutoCompletion, "ecAutoCompletion"},
    CommandName{ecUserFirst, "ecUserFirst"},
};

bool SameIdent(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

} // namespace

std::optional<std::string_view> EditorCommandName(TCodeEditCommand command) {
    for (const auto& entry : kCommandNames)
        if (entry.command == command) return entry.name;
    return std::nullopt;
}

std::string EditorCommandToIdent(TCodeEditCommand command) {
    if (auto name = EditorCommandName(command)) return std::string(*name);
    return std::to_string(command);
}

std::optional<TCodeEditCommand> IdentToEditorCommand(std::string_view ident) {
    for (const auto& entry : kCommandNames)
        if (SameIdent(entry.name, ident)) return entry.command;
    unsigned value = 0;
    const char* end = ident.data() + ident.size();
    auto [ptr, ec] = std::from_chars(ident.data(), end, value);
    if (ident.empty() || ec != std::errc() || ptr != end || value > 0xFFFF) return std::nullopt;
    return static_cast<TCodeEditCommand>(value);
}

} // namespace plotalon
