#pragma once
// Files dropped from a file manager: a URL list of local files. Such a drop is a request to
// open the files, never text to insert, even though it also carries the URLs as text.

#include <QMimeData>
#include <QStringList>

namespace plotalon {

// The local files of the drop's URL list, in its order; empty when it names none.
QStringList DroppedFiles(const QMimeData& data);

} // namespace plotalon
