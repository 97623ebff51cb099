// plotalon-screens FOLDER [--scale N]: writes a PNG of each of the program's windows into
// FOLDER (info.png, intro.png), drawn offscreen, optionally enlarged N times pixel for pixel.
#include "app/NCIntro.h"
#include "app/NcInfo.h"
#include "platform/qt/ErrorReport.h"

#include <QDir>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Save(QWidget& window, const QString& path, int scale) {
    window.show();
    QApplication::processEvents();
    QImage shot = window.grab().toImage();
    window.hide();
    if (scale > 1)
        shot = shot.scaled(shot.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (shot.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: plotalon-screens FOLDER [--scale N]\n");
        return 2;
    }
    const int scale =
        argc >= 4 && std::strcmp(argv[2], "--scale") == 0 ? std::max(1, std::atoi(argv[3])) : 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    plotalon::TApplication app(argc, argv);
    plotalon::SetApplicationTitle(QStringLiteral("PLOTALON 1.1"));
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    plotalon::TInfo info;
    plotalon::TIntro intro;
    const bool ok = Save(info, folder.filePath(QStringLiteral("info.png")), scale) &&
                    Save(intro, folder.filePath(QStringLiteral("intro.png")), scale);
    return ok ? 0 : 1;
}
