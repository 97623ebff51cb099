#include "platform/qt/Panel.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Panel, AlignsItsControlsPassByPass) {
    TPanel panel;
    panel.resize(300, 200);
    auto make = [&](TAlign align, QSize size, QSize minimum = {0, 0}) {
        auto* control = new QWidget(&panel);
        control->setMinimumSize(minimum);
        control->resize(size);
        panel.SetAlign(control, align);
        return control;
    };
    // Aligned in an order other than the passes', which decide.
    QWidget* client = make(TAlign::alClient, {1, 1});
    QWidget* left = make(TAlign::alLeft, {40, 1});
    QWidget* top = make(TAlign::alTop, {1, 30});
    QWidget* right = make(TAlign::alRight, {50, 1});
    QWidget* bottom = make(TAlign::alBottom, {1, 20});
    QWidget* loose = make(TAlign::alNone, {10, 10});
    loose->move(5, 5);
    panel.Realign();
    EXPECT_EQ(top->geometry(), QRect(0, 0, 300, 30));
    EXPECT_EQ(bottom->geometry(), QRect(0, 180, 300, 20));
    EXPECT_EQ(left->geometry(), QRect(0, 30, 40, 150));
    EXPECT_EQ(right->geometry(), QRect(250, 30, 50, 150));
    EXPECT_EQ(client->geometry(), QRect(40, 30, 210, 150));
    EXPECT_EQ(loose->geometry(), QRect(5, 5, 10, 10));

    // Again at another size: a hidden control gives up its room, a minimum size holds.
    left->hide();
    client->setMinimumWidth(280);
    panel.resize(320, 100);
    panel.Realign();
    EXPECT_EQ(top->geometry(), QRect(0, 0, 320, 30));
    EXPECT_EQ(right->geometry(), QRect(270, 30, 50, 50));
    EXPECT_EQ(client->geometry(), QRect(0, 30, 280, 50));
}

} // namespace
} // namespace plotalon
