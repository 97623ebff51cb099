#pragma once
// A bitmap with a transparent colour, as the buttons' glyphs use it. The pixels are kept
// as a QImage; a QPixmap for drawing is made on demand and given up by Dormant().

#include "platform/Errors.h"
#include "platform/qt/Colors.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <functional>

namespace plotalon {

enum TTransparentMode { tmAuto, tmFixed };

class TBitmap {
public:
    TBitmap() = default;
    explicit TBitmap(const QImage& image) { SetImage(image); }
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);

    // Loads an image file or a Qt resource (":/..."); raises EFOpenError when it cannot.
    static TBitmap FromFile(const QString& path);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Empty() const { return image_.isNull() || Width() == 0 || Height() == 0; }
    bool Monochrome() const { return monochrome_; }

    const QImage& Image() const { return image_; }
    void SetImage(const QImage& image);
    void SetSize(int width, int height);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Copies pixels and transparency settings, then announces the change; nullptr empties.
    void Assign(const TBitmap* other);

    TTransparentMode TransparentMode() const { return mode_; }
    void SetTransparentMode(TTransparentMode mode) { mode_ = mode; }
    // The fixed transparent colour if one is set; otherwise white for a monochrome bitmap;
    // otherwise its bottom-left pixel.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);

    // Ready-to-draw form, kept until Dormant().
    const QPixmap& Pixmap() const;
    void Dormant() const { pixmap_ = QPixmap(); }
    bool HasDeviceResources() const { return !pixmap_.isNull(); }

    // Called after every change of the pixels or the size.
    std::function<void()> OnChange;

private:
    void Changed();

    QImage image_;
    bool monochrome_ = false;
    TTransparentMode mode_ = tmAuto;
    TColor fixedColor_ = clDefault;
    mutable QPixmap pixmap_;
};

} // namespace plotalon
