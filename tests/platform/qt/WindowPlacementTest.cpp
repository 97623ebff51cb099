#include "platform/qt/WindowPlacement.h"

#include "platform/qt/FileDialogs.h"

#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(WindowPlacement, ModalWindowIsLiftedAboveAStayOnTopOwnerWhileOpen) {
    QDialog owner(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    QDialog help;
    help.move(40, 50);

    TScriptedModal modal;
    bool onTop = false;
    QWindow* transientParent = nullptr;
    modal.Script = [&](QDialog& shown) {
        onTop = shown.windowFlags() & Qt::WindowStaysOnTopHint;
        transientParent = shown.windowHandle()->transientParent();
        shown.accept();
    };
    EXPECT_EQ(RunModalAbove(help, &owner), QDialog::Accepted);
    EXPECT_TRUE(onTop);
    EXPECT_EQ(transientParent, owner.windowHandle());
    // Afterwards the window is an ordinary one again, where it was.
    EXPECT_FALSE(help.isVisible());
    EXPECT_FALSE(help.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(help.windowHandle()->transientParent(), nullptr);
    EXPECT_EQ(help.pos(), QPoint(40, 50));

    // Over an ordinary owner nothing is lifted.
    QDialog plain;
    modal.Script = [&](QDialog& shown) { onTop = shown.windowFlags() & Qt::WindowStaysOnTopHint; };
    RunModalAbove(help, &plain);
    EXPECT_FALSE(onTop);
}

} // namespace
} // namespace plotalon
