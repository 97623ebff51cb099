#include "platform/qt/DialogChars.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

class Catcher : public QWidget, public IDialogCharControl {
public:
    Catcher(QWidget* parent, QChar wanted) : QWidget(parent), wanted_(wanted) {}
    bool DialogChar(QChar ch) override {
        offered.push_back(ch);
        return ch.toUpper() == wanted_;
    }
    std::vector<QChar> offered;

private:
    QChar wanted_;
};

struct Window : testing::Test {
    QWidget window;
    QWidget* panel = new QWidget(&window);
    Catcher* first = new Catcher(panel, u'X');
    Catcher* second = new Catcher(&window, u'S');
    QLineEdit* edit = new QLineEdit(&window);
    Window() {
        edit->move(0, 50);
        TDialogCharRouter::Install(&window);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

TEST_F(Window, UnconsumedCharacterReachesControlsInOrder) {
    window.setFocus();
    QTest::keyClick(&window, Qt::Key_S);
    ASSERT_EQ(first->offered.size(), 1u);
    EXPECT_EQ(second->offered.size(), 1u);
    EXPECT_EQ(second->offered[0], QChar(u's'));
}

TEST_F(Window, FocusedEditConsumesPlainCharactersButNotAltOnes) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_S);
    EXPECT_TRUE(second->offered.empty());
    EXPECT_EQ(edit->text(), u"s"_qs);
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(second->offered.size(), 1u);
    EXPECT_EQ(edit->text(), u"s"_qs);
}

TEST_F(Window, ConsumingControlStopsTheRoute) {
    EXPECT_TRUE(TDialogCharRouter::Route(&window, u'x'));
    EXPECT_TRUE(second->offered.empty());
    EXPECT_FALSE(TDialogCharRouter::Route(&window, u'q'));
    EXPECT_FALSE(TDialogCharRouter::Route(&window, QChar()));
}

} // namespace
} // namespace plotalon
