// plotalon-icon BILD.svg GRÖSSE AUSGABE.png: draws a scalable picture as a square PNG of the
// given size, anti-aliased, on a transparent ground. The build draws the desktop icon's sizes
// with it.
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace {

const char* const kHelp =
    R"(Aufruf: plotalon-icon BILD.svg GRÖSSE AUSGABE.png

Zeichnet das SVG-Bild BILD.svg als quadratisches PNG-Bild von GRÖSSE × GRÖSSE Pixeln
(1 bis 4096) mit geglätteten Kanten auf durchsichtigem Grund und schreibt es nach
AUSGABE.png. Das Bild füllt die Fläche ganz aus; Bilder, die nicht quadratisch sind,
werden verzerrt. Eine bestehende AUSGABE.png wird erst ersetzt, wenn das neue Bild
vollständig geschrieben ist.

Optionen:
  --help  diese Hilfe

Rückgabewerte:
  0  geschrieben
  1  BILD.svg nicht lesbar, AUSGABE.png nicht schreibbar oder zu wenig Arbeitsspeicher
  2  falscher Aufruf
)";

enum IconExit { ieOk = 0, ieFailure = 1, ieUsage = 2 };

int Usage(const std::string& message) {
    std::fprintf(stderr, "plotalon-icon: %s\n(--help zeigt den Aufruf)\n", message.c_str());
    return ieUsage;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "plotalon-icon: %s\n", message.c_str());
    return ieFailure;
}

bool ParseSize(std::string_view text, int& size) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, size);
    return !text.empty() && ec == std::errc() && ptr == end && size >= 1 && size <= 4096;
}

int Render(const char* svg, int size, const char* png) {
    QSvgRenderer picture(QString::fromLocal8Bit(svg));
    if (!picture.isValid())
        return Failure("Bild " + std::string(svg) + " kann nicht gelesen werden");
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) throw std::bad_alloc();
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    picture.render(&painter);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG") ||
        !plotalon::ReplaceFileContents(png, std::string_view(bytes.constData(), bytes.size())))
        return Failure("Datei " + std::string(png) + " kann nicht erstellt werden");
    return ieOk;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return ieOk;
        }
    }
    if (argc != 4) return Usage("erwartet BILD.svg GRÖSSE AUSGABE.png");
    int size = 0;
    if (!ParseSize(argv[2], size)) return Usage(std::string("Ungültige Größe: ") + argv[2]);
    try {
        return Render(argv[1], size, argv[3]);
    } catch (const std::bad_alloc&) {
        return Failure("Zu wenig Arbeitsspeicher");
    }
}
