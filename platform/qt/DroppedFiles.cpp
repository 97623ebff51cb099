#include "platform/qt/DroppedFiles.h"

#include <QUrl>

namespace plotalon {

QStringList DroppedFiles(const QMimeData& data) {
    QStringList files;
    if (!data.hasUrls()) return files;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) files << url.toLocalFile();
    return files;
}

} // namespace plotalon
