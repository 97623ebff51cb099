#include "platform/qt/QtClipboard.h"

#include "platform/qt/Text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace plotalon {

namespace {

bool IsText(std::string_view format) {
    return format == Clipboard::kText;
}

const QMimeData* Current() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

} // namespace

QString TQtClipboard::MimeType(std::string_view format) {
    const QString name = QString::fromUtf8(format.data(), qsizetype(format.size()));
    return name.contains(u'/') ? name : QStringLiteral("application/x-plotalon-") + name;
}

bool TQtClipboard::Open() {
    if (open_ || !QGuiApplication::clipboard()) return false;
    open_ = true;
    pending_.reset();
    return true;
}

void TQtClipboard::Close() {
    if (open_ && pending_) QGuiApplication::clipboard()->setMimeData(pending_.release());
    open_ = false;
}

QMimeData& TQtClipboard::Pending() {
    if (!pending_) {
        // Writing without clearing first adds to what is there, as the system does.
        pending_ = std::make_unique<QMimeData>();
        if (const QMimeData* current = Current())
            for (const QString& type : current->formats())
                pending_->setData(type, current->data(type));
    }
    return *pending_;
}

bool TQtClipboard::Clear() {
    if (!open_) return false;
    pending_ = std::make_unique<QMimeData>();
    return true;
}

bool TQtClipboard::SetData(std::string_view format, std::string_view bytes) {
    if (!open_) return false;
    if (IsText(format))
        Pending().setText(DesktopPlainText(bytes));
    else
        Pending().setData(MimeType(format), QByteArray(bytes.data(), qsizetype(bytes.size())));
    return true;
}

bool TQtClipboard::HasFormat(std::string_view format) const {
    const QMimeData* data = Current();
    if (!data) return false;
    return IsText(format) ? data->hasText() : data->hasFormat(MimeType(format));
}

std::optional<std::string> TQtClipboard::Data(std::string_view format) const {
    if (!HasFormat(format)) return std::nullopt;
    const QMimeData* data = Current();
    if (IsText(format)) return ToAnsi(data->text());
    return data->data(MimeType(format)).toStdString();
}

} // namespace plotalon
