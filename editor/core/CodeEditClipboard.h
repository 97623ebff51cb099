#pragma once
// Block text on the clipboard: the plain text for other programs and, under the private
// format "CodeEdit Control Block Type", one byte of selection mode followed by the text, so
// that a pane pastes a block in the mode it was copied in.

#include "editor/core/CodeEditUndo.h"
#include "platform/Clipboard.h"
#include "platform/Errors.h"

#include <string>
#include <string_view>

namespace plotalon {

class ECodeEditError : public Exception {
    using Exception::Exception;
};

constexpr std::string_view kBlockFormatName = "CodeEdit Control Block Type";

struct TCodeClipboardBlock {
    std::string Text;
    TCodeSelectionMode Mode = TCodeSelectionMode::smNormal;
};

// Empties the clipboard and puts the text on it as plain text and as block text, both with
// a terminating 0 byte. Raises ECodeEditError "Clipboard copy operation failed".
void CopyBlockToClipboard(Clipboard& clipboard, std::string_view text, TCodeSelectionMode mode);

// The clipboard's text: the block text with its mode when present, else the plain text in
// normal mode; text ends at its first 0 byte. An empty clipboard gives empty text. Raises
// ECodeEditError "Clipboard paste operation failed." when a present format cannot be read.
TCodeClipboardBlock PasteBlockFromClipboard(const Clipboard& clipboard);

} // namespace plotalon
