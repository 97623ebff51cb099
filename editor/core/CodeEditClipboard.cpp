#include "editor/core/CodeEditClipboard.h"

namespace plotalon {

namespace {

std::string UpToZero(std::string_view bytes) {
    auto zero = bytes.find('\0');
    return std::string(bytes.substr(0, zero));
}

TCodeSelectionMode ModeFromByte(unsigned char byte) {
    switch (byte) {
    case 1:
        return TCodeSelectionMode::smLine;
    case 2:
        return TCodeSelectionMode::smColumn;
    default:
        return TCodeSelectionMode::smNormal;
    }
}

} // namespace

void CopyBlockToClipboard(Clipboard& clipboard, std::string_view text, TCodeSelectionMode mode) {
    if (!clipboard.Open()) throw ECodeEditError("Clipboard copy operation failed");
    std::string plain(text);
    plain.push_back('\0');
    std::string block(1, static_cast<char>(mode));
    block += plain;
    bool ok = clipboard.Clear() && clipboard.SetData(Clipboard::kText, plain) &&
              clipboard.SetData(kBlockFormatName, block);
    clipboard.Close();
    if (!ok) throw ECodeEditError("Clipboard copy operation failed");
}

TCodeClipboardBlock PasteBlockFromClipboard(const Clipboard& clipboard) {
    TCodeClipboardBlock result;
    if (clipboard.HasFormat(kBlockFormatName)) {
        auto block = clipboard.Data(kBlockFormatName);
        if (!block) throw ECodeEditError("Clipboard paste operation failed.");
        if (!block->empty()) {
            result.Mode = ModeFromByte(static_cast<unsigned char>((*block)[0]));
            result.Text = UpToZero(std::string_view(*block).substr(1));
        }
        return result;
    }
    if (clipboard.HasFormat(Clipboard::kText)) {
        auto text = clipboard.Data(Clipboard::kText);
        if (!text) throw ECodeEditError("Clipboard paste operation failed.");
        result.Text = UpToZero(*text);
    }
    return result;
}

} // namespace plotalon
