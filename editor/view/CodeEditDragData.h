#pragma once
// The data of a text drag out of an editor pane: the dragged bytes with their selection
// mode under a MIME type of ours, and the text as plain text for other programs. Inside
// the program the drop side also learns which pane the text came from.

#include "editor/core/CodeEditClipboard.h"

#include <QMimeData>
#include <QPointer>
#include <optional>

namespace plotalon {

class TCodeEditDragData : public QMimeData {
    Q_OBJECT
public:
    static const QString kMimeType; // one byte of selection mode, then the bytes

    TCodeEditDragData(QObject* source, std::string_view text, TCodeSelectionMode mode);

    QObject* Source() const { return source_; }
    // Set by a drop into the source pane itself, which moves or copies the text there.
    bool DroppedOnSource() const { return droppedOnSource_; }
    void SetDroppedOnSource() const { droppedOnSource_ = true; }

private:
    QPointer<QObject> source_;
    mutable bool droppedOnSource_ = false;
};

// The text a drop brings: our block with its mode, or plain text from another program in
// normal mode. Nothing when there is neither, when the drop is a list of local files (whose
// URLs come as text as well), or when the plain text holds a character that Windows-1252
// cannot store (it is refused rather than changed).
std::optional<TCodeClipboardBlock> DroppedBlock(const QMimeData& data);

} // namespace plotalon
