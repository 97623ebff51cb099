#pragma once
// The system clipboard on QClipboard. Text travels as Windows-1252 bytes on our side and
// as Unicode text with the desktop's line breaks on the clipboard (any style is read back);
// every other format is stored under a private MIME type
// named after it ("application/x-plotalon-" + name), so that block text keeps its mode.

#include "platform/Clipboard.h"

#include <QMimeData>
#include <QString>
#include <memory>

namespace plotalon {

class TQtClipboard : public Clipboard {
public:
    bool Open() override;
    // Publishes what was written since Open.
    void Close() override;
    bool Clear() override;
    bool SetData(std::string_view format, std::string_view bytes) override;
    bool HasFormat(std::string_view format) const override;
    std::optional<std::string> Data(std::string_view format) const override;

    // The MIME type that carries a format.
    static QString MimeType(std::string_view format);

private:
    QMimeData& Pending();

    bool open_ = false;
    std::unique_ptr<QMimeData> pending_;
};

} // namespace plotalon
