#include "editor/view/CodeEditDragData.h"

#include "platform/qt/DroppedFiles.h"
#include "platform/qt/Text.h"

namespace plotalon {

const QString TCodeEditDragData::kMimeType =
    QStringLiteral("application/x-plotalon-codeedit-block");

TCodeEditDragData::TCodeEditDragData(QObject* source, std::string_view text,
                                     TCodeSelectionMode mode)
    : source_(source) {
    QByteArray block(1, char(mode));
    block.append(text.data(), qsizetype(text.size()));
    setData(kMimeType, block);
    setText(DesktopPlainText(text));
}

std::optional<TCodeClipboardBlock> DroppedBlock(const QMimeData& data) {
    if (!DroppedFiles(data).isEmpty()) return std::nullopt;
    if (data.hasFormat(TCodeEditDragData::kMimeType)) {
        const QByteArray block = data.data(TCodeEditDragData::kMimeType);
        if (block.isEmpty()) return std::nullopt;
        TCodeClipboardBlock result;
        const auto mode = static_cast<unsigned char>(block[0]);
        result.Mode = mode <= 2 ? TCodeSelectionMode(mode) : TCodeSelectionMode::smNormal;
        result.Text.assign(block.constData() + 1, std::size_t(block.size() - 1));
        return result;
    }
    if (!data.hasText()) return std::nullopt;
    std::optional<std::string> bytes = ToAnsiExact(data.text());
    if (!bytes) return std::nullopt;
    return TCodeClipboardBlock{std::move(*bytes), TCodeSelectionMode::smNormal};
}

} // namespace plotalon
