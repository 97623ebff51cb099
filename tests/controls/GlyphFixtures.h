#pragma once
// Small images and a known palette for the glyph and button tests.

#include "platform/qt/Bitmap.h"

#include <QGuiApplication>
#include <QPalette>
#include <initializer_list>

namespace plotalon::test {

inline const QColor kFace(200, 201, 202);
inline const QColor kLight(250, 251, 252);
inline const QColor kDark(100, 101, 102);

// Sets button face, highlight and shadow to colours no image uses, for as long as it lives.
class KnownPalette {
public:
    KnownPalette() : saved_(QGuiApplication::palette()) { Apply(kFace, kLight, kDark); }
    ~KnownPalette() { QGuiApplication::setPalette(saved_); }
    static void Apply(QColor face, QColor light, QColor dark) {
        QPalette palette = QGuiApplication::palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Button, face);
            palette.setColor(group, QPalette::Light, light);
            palette.setColor(group, QPalette::Dark, dark);
        }
        QGuiApplication::setPalette(palette);
    }

private:
    QPalette saved_;
};

// A w × h strip filled with fill.
inline TBitmap Strip(int w, int h, QRgb fill = qRgb(0, 128, 128)) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return TBitmap(image);
}

} // namespace plotalon::test
