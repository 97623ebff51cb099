#pragma once
// TImage: the toolkit's image control. Shows a picture at its top-left corner at its own size
// (the program's pictures all fit their controls exactly, so stretching and centring are not
// offered); with Transparent, pixels of the picture's transparent colour let the parent show
// through. A left click on it runs OnClick.

#include "platform/qt/Bitmap.h"

#include <QWidget>
#include <functional>

namespace plotalon {

class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent = nullptr);

    const TBitmap& Picture() const { return picture_; }
    void SetPicture(const TBitmap& picture);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TBitmap picture_;
    bool transparent_ = false;
};

} // namespace plotalon
