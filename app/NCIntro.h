#pragma once
// TIntro, the window "Intro": the splash picture that the main window shows when the program
// starts without arguments. Borderless, above all windows, centred on the desktop; shown with a
// plain show(), it never takes the focus or blocks another window, and hides itself when its
// timer fires, 2000 ms after each showing: counted from when the window system has put it on
// screen. Clicks on it do nothing.

#include "platform/qt/Image.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

namespace plotalon {

class TIntro : public QWidget {
public:
    explicit TIntro(QWidget* parent = nullptr);

    QWidget* Panel;
    TImage* Image;
    // Disabled until the window is on screen; tests may shorten its interval.
    QTimer* Introtimer;

    // Starts the timer; runs when the shown window is first exposed.
    void FormShow();
    void IntrotimerTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool awaitingExposure_ = false;
};

// The splash picture: 350 × 200 pixels, 24 bits a pixel.
QImage IntroPicture();

} // namespace plotalon
