#include "app/NCIntro.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Splash, CreatedHiddenWithItsFrameAndPicture) {
    TIntro intro;
    EXPECT_FALSE(intro.isVisible());
    EXPECT_FALSE(intro.Introtimer->isActive());
    EXPECT_EQ(intro.Introtimer->interval(), 2000);
    EXPECT_EQ(intro.size(), QSize(367, 216));
    EXPECT_TRUE(intro.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(intro.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(intro.Panel->geometry(), QRect(0, 0, 367, 216));
    EXPECT_EQ(intro.Image->geometry(), QRect(8, 8, 350, 200));
    EXPECT_EQ(intro.Image->Picture().Image().size(), QSize(350, 200));
    EXPECT_EQ(IntroPicture().depth(), 24);
    // The dark-blue frame: 8 pixels left, top and bottom, 9 on the right.
    const QImage shot = intro.grab().toImage();
    const QColor frame(0, 0, 160);
    for (auto [x, y] : {std::pair{7, 100}, {100, 7}, {100, 208}, {358, 100}, {366, 215}})
        EXPECT_EQ(shot.pixelColor(x, y), frame) << x << "," << y;
    for (auto [x, y] : {std::pair{8, 100}, {100, 8}, {357, 100}, {100, 207}})
        EXPECT_NE(shot.pixelColor(x, y), frame) << x << "," << y;
}

TEST(Splash, ShownCentredOnTopAndGoneAfterItsTimer) {
    TIntro intro;
    intro.Introtimer->setInterval(50);
    for (int showing = 0; showing < 2; ++showing) {
        intro.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&intro));
        const QRect desktop = QGuiApplication::primaryScreen()->geometry();
        EXPECT_LE((intro.geometry().center() - desktop.center()).manhattanLength(), 1);
        EXPECT_TRUE(intro.Introtimer->isActive());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !intro.isVisible(); }, 2000));
        EXPECT_FALSE(intro.Introtimer->isActive());
    }
}

// A shown window is put on screen by the window system only later (on the offscreen platform
// right after the show handler has run): the two seconds start there.
TEST(Splash, TheTimeCountsFromWhenThePictureIsOnScreen) {
    struct TProbe : TIntro {
        bool activeAfterShow = true;
        void showEvent(QShowEvent* event) override {
            TIntro::showEvent(event);
            activeAfterShow = Introtimer->isActive();
        }
    } intro;
    intro.show();
    EXPECT_FALSE(intro.activeAfterShow);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&intro));
    EXPECT_TRUE(intro.Introtimer->isActive());
}

TEST(Splash, ClicksDoNothing) {
    TIntro intro;
    intro.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&intro));
    for (QPoint at : {QPoint(100, 100), QPoint(2, 2)}) {
        QTest::mouseClick(intro.windowHandle(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(intro.windowHandle(), Qt::LeftButton, {}, at);
    }
    EXPECT_TRUE(intro.isVisible());
    EXPECT_TRUE(intro.Introtimer->isActive());
}

TEST(Splash, TheMainWindowStaysUsable) {
    QWidget main;
    main.resize(400, 300);
    auto* edit = new QLineEdit(&main);
    edit->setGeometry(10, 10, 200, 24);
    auto* button = new QPushButton("OK", &main);
    button->setGeometry(10, 50, 80, 24);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    edit->setFocus();

    TIntro intro(&main);
    intro.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&intro));
    // Nothing blocks the main window. (That the splash takes no activation on a desktop
    // cannot be seen here: the offscreen platform activates every window it shows.)
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (char c : std::string("G0 X1"))
        QTest::keyClick(main.windowHandle(), c);
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
    EXPECT_EQ(edit->text(), "G0 X1");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(intro.isVisible());
}

} // namespace
} // namespace plotalon
