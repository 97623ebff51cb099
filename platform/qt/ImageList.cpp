#include "platform/qt/ImageList.h"

namespace plotalon {

int TImageList::AddEmpty() {
    QImage empty(width_, height_, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    images_.push_back(empty);
    return int(images_.size()) - 1;
}

bool TImageList::Replace(int index, const QImage& image, TColor maskColor) {
    if (index < 0 || index >= ImageCount()) return false;
    if (image.width() != width_ || image.height() != height_) return false;
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key =
        maskColor == clDefault ? masked.pixel(0, height_ - 1) : ToQColor(maskColor).rgb();
    for (int row = 0; row < height_; ++row) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(row));
        for (int col = 0; col < width_; ++col)
            line[col] = (line[col] & 0xFFFFFF) == (key & 0xFFFFFF) ? 0 : (line[col] | 0xFF000000);
    }
    images_[size_t(index)] = masked;
    return true;
}

void TImageList::Draw(QPainter& painter, int x, int y, int index, TColor background) const {
    if (index < 0 || index >= ImageCount()) return;
    if (background != clNone) painter.fillRect(QRect(x, y, width_, height_), ToQColor(background));
    painter.drawImage(x, y, images_[size_t(index)]);
}

} // namespace plotalon
