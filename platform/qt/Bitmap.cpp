#include "platform/qt/Bitmap.h"

#include "platform/qt/Text.h"

#include <algorithm>

namespace plotalon {

TBitmap::TBitmap(const TBitmap& other)
    : image_(other.image_), monochrome_(other.monochrome_), mode_(other.mode_),
      fixedColor_(other.fixedColor_) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) Assign(&other);
    return *this;
}

TBitmap TBitmap::FromFile(const QString& path) {
    QImage image(path);
    if (image.isNull()) throw EFOpenError(ToAnsi(path), 0); // Qt does not say why
    return TBitmap(image);
}

void TBitmap::SetImage(const QImage& image) {
    monochrome_ = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

void TBitmap::SetSize(int width, int height) {
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(Qt::white);
    for (int y = 0; y < std::min(height, Height()); ++y)
        for (int x = 0; x < std::min(width, Width()); ++x)
            resized.setPixel(x, y, image_.pixel(x, y));
    image_ = resized;
    Changed();
}

TColor TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return clNone;
    return FromQRgb(image_.pixel(x, y));
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    image_.setPixel(x, y, ToQColor(color).rgb());
    Changed();
}

void TBitmap::Assign(const TBitmap* other) {
    if (other == this) return;
    if (other) {
        image_ = other->image_;
        monochrome_ = other->monochrome_;
        mode_ = other->mode_;
        fixedColor_ = other->fixedColor_;
    } else {
        image_ = QImage();
        monochrome_ = false;
    }
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (mode_ == tmFixed && fixedColor_ != clDefault) return fixedColor_;
    if (monochrome_) return clWhite;
    if (Empty()) return clDefault;
    return Pixel(0, Height() - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
    fixedColor_ = color;
    mode_ = color == clDefault ? tmAuto : tmFixed;
}

const QPixmap& TBitmap::Pixmap() const {
    if (pixmap_.isNull() && !Empty()) pixmap_ = QPixmap::fromImage(image_);
    return pixmap_;
}

void TBitmap::Changed() {
    pixmap_ = QPixmap();
    if (OnChange) OnChange();
}

} // namespace plotalon
