// plotalon-gallery [--png FILE [--scale N]]: shows every look of the flat speed button; with
// --png the window is written to FILE (enlarged N times, pixel for pixel, to inspect glyphs)
// and the program ends (no display needed).
#include "Gallery.h"

#include "platform/qt/ErrorReport.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* png = nullptr;
    int scale = 1;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--png") == 0) png = argv[i + 1];
        if (std::strcmp(argv[i], "--scale") == 0) scale = std::max(1, std::atoi(argv[i + 1]));
    }
    if (png && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    plotalon::TApplication app(argc, argv);
    plotalon::SetApplicationTitle(QStringLiteral("Plotalon"));
    plotalon::TGallery gallery;
    gallery.show();
    gallery.ApplyLooks();
    if (!png) return app.exec();

    QApplication::processEvents();
    QImage shot = gallery.grab().toImage();
    if (scale > 1)
        shot = shot.scaled(shot.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!shot.save(QString::fromLocal8Bit(png), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", png);
        return 1;
    }
    return 0;
}
