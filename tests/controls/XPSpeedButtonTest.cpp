#include "controls/XPSpeedButton.h"
#include "GlyphFixtures.h"
#include "platform/qt/Fonts.h"

#include <QCursor>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

using namespace test;

const QColor kBackground(10, 150, 20);
const QColor kNormal(192, 192, 192);
const QColor kActive(193, 224, 255);
const QColor kDownFill(255, 255, 128);

// A window with a known background, on which buttons in the house style sit. Mouse input
// goes through the window, as the platform delivers it: Qt picks the receiver, grabs the
// mouse on a press and makes the enter, leave and double-click events.
struct ButtonStage {
    QWidget window;
    ButtonStage() {
        window.resize(300, 200);
        window.setFont(DefaultWindowFont());
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, kBackground);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
    }
    // Leaves no mouse button held for the next test.
    ~ButtonStage() {
        if (window.windowHandle()) Release(nullptr, QPoint(299, 199));
    }

    TXPSpeedButton* Make(QRect geometry, int group = 0, QWidget* parent = nullptr) {
        auto* button = new TXPSpeedButton(parent ? parent : &window);
        button->setGeometry(geometry);
        SetHouseStyle(*button);
        button->SetGroupIndex(group);
        return button;
    }
    void Show() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QPoint InWindow(QWidget* w, QPoint local) { return w ? w->mapTo(&window, local) : local; }
    void Move(QWidget* w, QPoint local) {
        const QPoint at = InWindow(w, local);
        QCursor::setPos(window.mapToGlobal(at));
        QTest::mouseMove(window.windowHandle(), at);
    }
    void Press(QWidget* w, QPoint local) {
        Move(w, local);
        QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, InWindow(w, local));
    }
    void Release(QWidget* w, QPoint local) {
        Move(w, local);
        QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, InWindow(w, local));
    }
    void Click(QWidget* w, QPoint local = QPoint(5, 5)) {
        Press(w, local);
        Release(w, local);
    }
    QColor Pixel(QWidget* w, QPoint local) {
        return window.grab().toImage().pixelColor(InWindow(w, local));
    }
    QColor Centre(QWidget* w) { return Pixel(w, QPoint(w->width() / 2, w->height() / 2)); }
};

struct ButtonWindow : testing::Test, ButtonStage {};

TEST_F(ButtonWindow, LookTableHolds) {
    struct Case {
        const char* situation;
        bool flat;
        int group;
        std::function<void(ButtonStage&, TXPSpeedButton*)> act;
        QColor face;
    } cases[] = {
        {"up, pointer elsewhere", true, 0,
         [](auto& t, auto*) {
             t.Move(nullptr, {290, 190});
         },
         kNormal},
        {"up, pointer over", true, 0,
         [](auto& t, auto* b) {
             t.Move(b, {3, 3});
         },
         kActive},
        {"up, pointer over, not flat", false, 0,
         [](auto& t, auto* b) {
             t.Move(b, {3, 3});
         },
         kNormal},
        {"pressed inside", true, 0,
         [](auto& t, auto* b) {
             t.Press(b, {3, 3});
         },
         kActive},
        {"pressed inside, not flat", false, 0,
         [](auto& t, auto* b) {
             t.Press(b, {3, 3});
         },
         kActive},
        {"pressed, dragged out", true, 0,
         [](auto& t, auto* b) {
             t.Press(b, {3, 3}), t.Move(b, {-20, 3});
         },
         kActive},
        {"pressed, dragged out, not flat", false, 0,
         [](auto& t, auto* b) {
             t.Press(b, {3, 3}), t.Move(b, {-20, 3});
         },
         kNormal},
        {"latched, pointer elsewhere", true, 1,
         [](auto& t, auto* b) {
             b->SetDown(true), t.Move(nullptr, {290, 190});
         },
         kDownFill},
        {"latched, pointer over", true, 1,
         [](auto& t, auto* b) {
             b->SetDown(true), t.Move(b, {3, 3});
         },
         kActive},
        {"latched, pointer over, not flat", false, 1,
         [](auto& t, auto* b) {
             b->SetDown(true), t.Move(b, {3, 3});
         },
         kDownFill},
        {"disabled, pointer over", true, 0,
         [](auto& t, auto* b) {
             b->setEnabled(false), t.Move(b, {3, 3});
         },
         kNormal},
    };
    for (const Case& c : cases) {
        ButtonStage t;
        TXPSpeedButton* button = t.Make(QRect(50, 50, 40, 30), c.group);
        button->SetFlat(c.flat);
        t.Show();
        t.Move(nullptr, {290, 190});
        c.act(t, button);
        EXPECT_EQ(t.Centre(button), c.face) << c.situation;
        // The rounded-off corners show the window, the outline lies on the border.
        EXPECT_EQ(t.Pixel(button, {0, 0}), kBackground) << c.situation;
        EXPECT_EQ(t.Pixel(button, {39, 29}), kBackground) << c.situation;
        EXPECT_EQ(t.Pixel(button, {1, 0}), QColor(Qt::black)) << c.situation;
        EXPECT_EQ(t.Pixel(button, {39, 15}), QColor(Qt::black)) << c.situation;
    }
}

TEST_F(ButtonWindow, ClickNeedsPressAndReleaseInside) {
    TXPSpeedButton* button = Make(QRect(50, 50, 40, 30));
    int clicks = 0;
    button->OnClick = [&](TXPSpeedButton*) { ++clicks; };
    Show();
    Click(button);
    EXPECT_EQ(clicks, 1);

    Press(button, {5, 5});
    Move(button, {60, 5});
    EXPECT_EQ(button->DrawState(), gsUp);
    Release(button, {60, 5});
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Hot()); // the pointer is elsewhere now
    EXPECT_EQ(Centre(button), kNormal);

    Press(button, {5, 5});
    Move(button, {60, 5});
    Move(button, {6, 6}); // back in: pressed look and click restored
    EXPECT_EQ(button->DrawState(), gsDown);
    Release(button, {6, 6});
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonWindow, RightAndBottomEdgesAreOutside) {
    TXPSpeedButton* button = Make(QRect(50, 50, 40, 30));
    int clicks = 0;
    button->OnClick = [&](TXPSpeedButton*) { ++clicks; };
    Show();
    Press(button, {5, 5});
    Release(button, {40, 5});
    Press(button, {5, 5});
    Release(button, {5, 30});
    EXPECT_EQ(clicks, 0);
    Press(button, {5, 5});
    Release(button, {39, 29});
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonWindow, GroupLatchesOneAtATime) {
    TXPSpeedButton* a = Make(QRect(10, 10, 40, 30), 10);
    TXPSpeedButton* b = Make(QRect(10, 60, 40, 30), 10);
    TXPSpeedButton* other = Make(QRect(10, 110, 40, 30), 11);
    a->SetDown(true);
    other->SetDown(true);
    int clicksA = 0;
    a->OnClick = [&](TXPSpeedButton*) { ++clicksA; };
    Show();

    Click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->DrawState(), gsUp);
    EXPECT_EQ(b->DrawState(), gsExclusive);
    EXPECT_TRUE(other->Down()); // another group is not affected

    Click(a);
    Click(a); // latched, no AllowAllUp: stays down, still clicks
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(clicksA, 2);
    a->SetDown(false);
    EXPECT_TRUE(a->Down());
}

TEST_F(ButtonWindow, AllowAllUpSpreadsAndLetsTheLatchedButtonGo) {
    TXPSpeedButton* a = Make(QRect(10, 10, 40, 30), 10);
    TXPSpeedButton* b = Make(QRect(10, 60, 40, 30), 10);
    QWidget otherParent(&window);
    otherParent.setGeometry(200, 100, 60, 40);
    TXPSpeedButton* elsewhere = Make(QRect(0, 0, 40, 30), 10, &otherParent);
    Show();
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());
    EXPECT_FALSE(elsewhere->AllowAllUp());
    Click(a);
    EXPECT_TRUE(a->Down());
    Click(a);
    EXPECT_FALSE(a->Down());
    EXPECT_FALSE(b->Down());
}

TEST_F(ButtonWindow, DownNeedsAGroup) {
    TXPSpeedButton* plain = Make(QRect(10, 10, 40, 30));
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down());
    TXPSpeedButton orphan;
    orphan.SetGroupIndex(3);
    orphan.SetDown(true); // no parent: no group to notify
    EXPECT_TRUE(orphan.Down());
}

TEST_F(ButtonWindow, DoubleClicks) {
    struct Case {
        int group;
        bool allowAllUp;
        int clicks, dblClicks;
        bool downAfter;
    } cases[] = {
        {0, false, 2, 0, false},
        {5, false, 2, 1, true},
        {5, true, 2, 1, false},
    };
    for (const Case& c : cases) {
        ButtonStage t;
        TXPSpeedButton* button = t.Make(QRect(50, 50, 40, 30), c.group);
        button->SetAllowAllUp(c.allowAllUp);
        int clicks = 0, dbl = 0;
        button->OnClick = [&](TXPSpeedButton*) { ++clicks; };
        button->OnDblClick = [&](TXPSpeedButton*) { ++dbl; };
        t.Show();
        QTest::mouseDClick(t.window.windowHandle(), Qt::LeftButton, {}, QPoint(60, 60));
        EXPECT_EQ(clicks, c.clicks) << c.group << c.allowAllUp;
        EXPECT_EQ(dbl, c.dblClicks) << c.group << c.allowAllUp;
        EXPECT_EQ(button->Down(), c.downAfter) << c.group << c.allowAllUp;
    }
}

TEST_F(ButtonWindow, AcceleratorClicksWithoutPressedLookOrLatching) {
    TXPSpeedButton* close = Make(QRect(10, 10, 113, 30));
    close->SetCaption(u"&Schließen"_qs);
    TXPSpeedButton* page = Make(QRect(10, 60, 113, 30), 10);
    page->SetCaption(u"&Verzeichnisse"_qs);
    int closes = 0, pages = 0;
    close->OnClick = [&](TXPSpeedButton*) { ++closes; };
    page->OnClick = [&](TXPSpeedButton*) { ++pages; };
    TDialogCharRouter::Install(&window);
    Show();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_S);
    QTest::keyClick(&window, Qt::Key_S, Qt::ShiftModifier);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(closes, 3);
    EXPECT_EQ(close->DrawState(), gsUp);
    QTest::keyClick(&window, Qt::Key_V);
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(page->Down());

    close->setEnabled(false);
    EXPECT_FALSE(close->DialogChar(u's'));
    close->setEnabled(true);
    close->hide();
    EXPECT_FALSE(close->DialogChar(u's'));
    EXPECT_EQ(closes, 3);
}

TEST_F(ButtonWindow, DisablingShowsNormalFaceAndEnablingRestoresTheLatch) {
    TXPSpeedButton* button = Make(QRect(50, 50, 40, 30), 4);
    button->SetDown(true);
    Show();
    button->setEnabled(false);
    EXPECT_EQ(Centre(button), kNormal);
    EXPECT_EQ(button->DrawState(), gsDisabled);
    Press(button, {5, 5});
    EXPECT_FALSE(button->Pressing());
    Release(button, {5, 5});
    Move(nullptr, {290, 190});
    button->setEnabled(true);
    EXPECT_EQ(Centre(button), kDownFill);
    EXPECT_EQ(button->DrawState(), gsExclusive);
}

TEST_F(ButtonWindow, SettersClampOrIgnore) {
    TXPSpeedButton* button = Make(QRect(0, 0, 23, 22));
    EXPECT_EQ(button->Margin(), -1);
    button->SetMargin(5);
    button->SetMargin(-2);
    EXPECT_EQ(button->Margin(), 5);
    const TBitmap strip = Strip(16, 16);
    button->SetGlyph(&strip);
    button->SetNumGlyphs(5);
    EXPECT_EQ(button->NumGlyphs(), 4);
    TXPSpeedButton fresh;
    EXPECT_EQ(fresh.BrushNormal().Color, clWhite);
    EXPECT_EQ(fresh.PenNormal(), TPen{});
    EXPECT_EQ(fresh.size(), QSize(23, 22));
    EXPECT_EQ(fresh.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(fresh.Flat());
    EXPECT_EQ(fresh.Radius(), 2);
    EXPECT_EQ(fresh.Spacing(), 4);
    EXPECT_TRUE(fresh.Transparent());
}

TEST_F(ButtonWindow, OpaqueButtonPaintsMaskedGlyphPixelsInButtonFace) {
    KnownPalette palette;
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(192, 192, 192));
    image.setPixel(8, 8, qRgb(255, 0, 0));
    const TBitmap glyph(image);
    TXPSpeedButton* button = Make(QRect(50, 50, 23, 22));
    button->SetGlyph(&glyph);
    Show();
    // Image at (4, 3): its transparent pixels show the face...
    EXPECT_EQ(Pixel(button, {4 + 8, 3 + 8}), QColor(Qt::red));
    EXPECT_EQ(Pixel(button, {4 + 1, 3 + 1}), kNormal);
    // ...or the system button face when the button is opaque.
    button->SetTransparent(false);
    EXPECT_EQ(Pixel(button, {4 + 1, 3 + 1}), kFace);
}

TEST_F(ButtonWindow, SystemColourChangeRebuildsTheDisabledImage) {
    KnownPalette palette;
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(192, 192, 192));
    image.setPixel(5, 5, qRgb(0, 0, 0));
    const TBitmap glyph(image);
    TXPSpeedButton* button = Make(QRect(50, 50, 23, 22));
    button->SetGlyph(&glyph);
    button->setEnabled(false);
    Show();
    EXPECT_EQ(Pixel(button, {4 + 5, 3 + 5}), kDark);
    const QColor newDark(1, 99, 7);
    KnownPalette::Apply(kFace, kLight, newDark);
    QApplication::processEvents();
    EXPECT_EQ(Pixel(button, {4 + 5, 3 + 5}), newDark);
}

TEST_F(ButtonWindow, CaptionIsDrawnInTheButtonFontColour) {
    TXPSpeedButton* button = Make(QRect(10, 10, 113, 30));
    button->SetCaption(u"&HPGL"_qs);
    button->SetFontColor(clRed);
    Show();
    const QImage shot = window.grab().toImage();
    int red = 0;
    for (int y = 10; y < 40; ++y)
        for (int x = 10; x < 123; ++x) {
            const QColor c = shot.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_GT(red, 10);
}

} // namespace
} // namespace plotalon
