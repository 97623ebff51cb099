#pragma once
// A list of equally sized images, each with a mask, in the manner of the Windows image
// list: an image is added or replaced together with a mask colour, and every pixel of
// that colour becomes transparent.

#include "platform/qt/Colors.h"

#include <QImage>
#include <QPainter>
#include <vector>

namespace plotalon {

class TImageList {
public:
    TImageList(int width, int height) : width_(width), height_(height) {}
    virtual ~TImageList() = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int ImageCount() const { return int(images_.size()); }

    // Appends a fully transparent image; returns its index.
    int AddEmpty();
    // Puts image at index with the mask from maskColor (clDefault: the image's own
    // bottom-left pixel). Refuses, returning false, an index out of range or an image of
    // another size.
    bool Replace(int index, const QImage& image, TColor maskColor);
    // The stored image, masked pixels transparent.
    const QImage& Image(int index) const { return images_.at(size_t(index)); }

    // Draws image index at (x, y); masked pixels are left untouched when background is
    // clNone, else painted in background.
    void Draw(QPainter& painter, int x, int y, int index, TColor background) const;

private:
    int width_;
    int height_;
    std::vector<QImage> images_;
};

} // namespace plotalon
