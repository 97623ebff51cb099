// The pane driven by the user: mouse, keyboard, clipboard, drag and drop.
#include "PaneFixture.h"

#include "editor/ncSyn.h"
#include "editor/view/CodeEditDragData.h"

#include <QDrag>
#include <QLineEdit>
#include <QVBoxLayout>

namespace plotalon {
namespace {

using namespace plotalon::test;

class CodeEditInputTest : public PaneTest {
protected:
    void Press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(pane_.viewport(), Qt::LeftButton, modifiers, at);
    }
    void MoveTo(QPoint at) { QTest::mouseMove(pane_.viewport(), at); }
    void Release(QPoint at) { QTest::mouseRelease(pane_.viewport(), Qt::LeftButton, {}, at); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&pane_, key, modifiers);
    }
    std::string Line(int n) const { return std::string(pane_.Lines().LineAt(std::size_t(n - 1))); }
};

using P = TCodePoint;

TEST_F(CodeEditInputTest, DragSelectsAndShiftClickExtends) {
    ShowPane(pane_);
    AddLines(pane_, {"G01 X10 Y20", "G02 X30 Y40 R5", "M30"});
    Press(Cell(pane_, 2, 1));
    EXPECT_EQ(pane_.Core().CaretXY(), (P{2, 1}));
    EXPECT_TRUE(pane_.hasFocus());
    MoveTo(Cell(pane_, 4, 2));
    MoveTo(Cell(pane_, 6, 2));
    Release(Cell(pane_, 6, 2));
    EXPECT_EQ(pane_.Core().BlockBegin(), (P{2, 1}));
    EXPECT_EQ(pane_.Core().BlockEnd(), (P{6, 2}));
    EXPECT_EQ(pane_.Core().SelText(), "01 X10 Y20\r\nG02 X");

    QTest::mouseClick(pane_.viewport(), Qt::LeftButton, {}, Cell(pane_, 3, 1));
    QTest::mouseClick(pane_.viewport(), Qt::LeftButton, Qt::ShiftModifier, Cell(pane_, 2, 3));
    EXPECT_EQ(pane_.Core().BlockBegin(), (P{3, 1}));
    EXPECT_EQ(pane_.Core().BlockEnd(), (P{2, 3}));

    // The right button moves neither the caret nor the selection.
    QTest::mouseClick(pane_.viewport(), Qt::RightButton, {}, Cell(pane_, 8, 2));
    EXPECT_EQ(pane_.Core().CaretXY(), (P{2, 3}));
    EXPECT_TRUE(pane_.Core().SelAvail());
}

TEST_F(CodeEditInputTest, DraggingBelowThePaneScrollsEveryTick) {
    ShowPane(pane_, 10);
    for (int i = 1; i <= 200; ++i)
        pane_.Lines().AddLine("N" + std::to_string(i) + " G1 X5");
    Press(Cell(pane_, 1, 1));
    MoveTo(QPoint(Cell(pane_, 3, 1).x(), pane_.viewport()->height() + 2));
    // Each tick of 100 ms scrolls by one line.
    EXPECT_TRUE(QTest::qWaitFor([&] { return pane_.TopLine() >= 3; }, 5000));
    const int top = pane_.TopLine();
    EXPECT_EQ(pane_.Core().BlockBegin(), (P{1, 1}));
    EXPECT_EQ(pane_.Core().BlockEnd().Y, top + pane_.LinesInWindow() - 1) << "the bottom line";
    EXPECT_EQ(pane_.verticalScrollBar()->value(), top - 1);
    Release(QPoint(Cell(pane_, 3, 1).x(), pane_.viewport()->height() + 2));
    QTest::qWait(250);
    EXPECT_EQ(pane_.TopLine(), top) << "the timer stops with the button";

    // With Shift held each tick scrolls by a page.
    pane_.Core().SetCaretXY({1, 1});
    pane_.EnsureCursorPosVisible();
    Press(Cell(pane_, 1, 1));
    const QPoint below(Cell(pane_, 3, 1).x(), pane_.viewport()->height() + 2);
    QMouseEvent move(QEvent::MouseMove, below, pane_.viewport()->mapToGlobal(below), Qt::NoButton,
                     Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(pane_.viewport(), &move);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pane_.TopLine() > 1; }, 5000));
    EXPECT_EQ(pane_.TopLine(), 1 + pane_.LinesInWindow());
    Release(below);
}

TEST_F(CodeEditInputTest, DoubleClickSelectsTheWord) {
    ShowPane(pane_);
    TNCSyn syn;
    pane_.SetHighlighter(&syn);
    AddLines(pane_, {"G01 X-12.5"});
    QTest::mouseDClick(pane_.viewport(), Qt::LeftButton, {}, Cell(pane_, 2, 1));
    EXPECT_EQ(pane_.Core().SelText(), "G01");
    QTest::mouseDClick(pane_.viewport(), Qt::LeftButton, {}, Cell(pane_, 8, 1));
    EXPECT_EQ(pane_.Core().SelText(), "12") << "'.' is no word character";
}

TEST_F(CodeEditInputTest, GutterClickReportsTheLine) {
    ShowPane(pane_);
    AddLines(pane_, {"A", "B", "C", "D"});
    std::vector<int> clicked;
    pane_.OnGutterClick = [&](TCodeEdit* sender, int, int, int line) {
        EXPECT_EQ(sender, &pane_);
        clicked.push_back(line);
    };
    const int y = pane_.LineHeight() * 2 + 3;
    QTest::mouseClick(pane_.viewport(), Qt::LeftButton, {}, QPoint(5, y));
    EXPECT_EQ(clicked, std::vector<int>{3});
    Press(QPoint(5, y));
    Release(Cell(pane_, 1, 3)); // released in the text: no click
    EXPECT_EQ(clicked, std::vector<int>{3});
}

TEST_F(CodeEditInputTest, TypingEnterAndUndo) {
    ShowPane(pane_);
    pane_.setFocus();
    QTest::keyClicks(&pane_, "G01X5");
    EXPECT_EQ(Line(1), "G01X5");
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "G01");
    EXPECT_EQ(Line(2), "X5");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pane_.Lines().Count(), 1);
    EXPECT_EQ(Line(1), "G01X5");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Line(1), "") << "the typed run goes in one step";

    // Escape types nothing and is left to the window.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    QApplication::sendEvent(&pane_, &escape);
    EXPECT_FALSE(escape.isAccepted());

    // Windows-1252 characters are stored as their byte; others are refused, not changed.
    for (const char* typed : {"\xC3\xA4", "\xE2\x82\xAC", "\xCE\xA9"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUtf8(typed));
        QApplication::sendEvent(&pane_, &press);
    }
    EXPECT_EQ(Line(1), "\xE4\x80");
}

TEST_F(CodeEditInputTest, TabAndShiftTabStayInThePane) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit;
    layout->addWidget(field);
    pane_.setParent(&window);
    layout->addWidget(&pane_);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    pane_.Lines().AddLine("");
    pane_.setFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(pane_.Core().CaretXY(), (P{9, 1}));
    EXPECT_TRUE(pane_.hasFocus());
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(pane_.Core().CaretXY(), (P{1, 1}));
    EXPECT_TRUE(pane_.hasFocus());
    pane_.setParent(nullptr);
}

TEST_F(CodeEditInputTest, ColumnBlockCopiedFromOnePaneIntoTheOther) {
    TCodeEdit target;
    target.SetClipboard(&clipboard_);
    ShowPane(pane_);
    ShowPane(target);
    AddLines(pane_, {"ABCDE", "FGHIJ", "KLMNO"});
    AddLines(target, {"12345", "67890"});
    pane_.setFocus();
    pane_.Core().SetCaretXY({2, 1});
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); // column mode
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(pane_.Core().SelText(), "BC\r\nGH");

    target.setFocus();
    target.Core().SetCaretXY({1, 1});
    QTest::keyClick(&target, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(target.Lines().LineAt(0), "BC12345");
    EXPECT_EQ(target.Lines().LineAt(1), "GH67890");

    target.Core().SetCaretXY({1, 1});
    target.PasteFromClipboard();
    EXPECT_EQ(target.Lines().LineAt(1), "GHGH67890");
}

// Carries a drag onto target at a viewport position as the system would: enter, move,
// drop. Gives the action the drop took.
Qt::DropAction DropOn(QDrag& drag, Qt::DropActions allowed, TCodeEdit& target, QPoint at,
                      Qt::KeyboardModifiers modifiers) {
    QDragEnterEvent enter(at, allowed, drag.mimeData(), Qt::LeftButton, modifiers);
    QApplication::sendEvent(target.viewport(), &enter);
    if (!enter.isAccepted()) return Qt::IgnoreAction;
    QDragMoveEvent move(at, allowed, drag.mimeData(), Qt::LeftButton, modifiers);
    QApplication::sendEvent(target.viewport(), &move);
    QDropEvent drop(QPointF(at), allowed, drag.mimeData(), Qt::LeftButton, modifiers);
    QApplication::sendEvent(target.viewport(), &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

class CodeEditDragTest : public CodeEditInputTest {
protected:
    void SetUp() override {
        CodeEditInputTest::SetUp();
        ShowPane(pane_);
        AddLines(pane_, {"G01 X10 Y20", "M30"});
        pane_.Core().SetSelection({5, 1}, {8, 1}); // "X10"
    }
    // Drags the selection by the mouse and drops it on target at a cell.
    Qt::DropAction DragTo(TCodeEdit& target, P cell, Qt::KeyboardModifiers modifiers = {}) {
        Qt::DropAction result = Qt::IgnoreAction;
        pane_.DragRunner = [&](QDrag& drag, Qt::DropActions allowed) {
            result = DropOn(drag, allowed, target, Cell(target, cell.X, cell.Y), modifiers);
            return result;
        };
        const QPoint from = Cell(pane_, 6, 1);
        Press(from);
        MoveTo(from + QPoint(QApplication::startDragDistance(), 0));
        Release(from + QPoint(QApplication::startDragDistance(), 0));
        return result;
    }
};

TEST_F(CodeEditDragTest, WithinThePaneMovesOrCopiesWithCtrl) {
    EXPECT_EQ(DragTo(pane_, {1, 2}), Qt::MoveAction);
    EXPECT_EQ(pane_.Lines().LineAt(0), "G01  Y20");
    EXPECT_EQ(pane_.Lines().LineAt(1), "X10M30");
    EXPECT_EQ(pane_.Core().SelText(), "X10") << "the dropped text is selected";
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pane_.Lines().LineAt(0), "G01 X10 Y20") << "one undo step";
    EXPECT_EQ(pane_.Lines().LineAt(1), "M30");

    pane_.Core().SetSelection({5, 1}, {8, 1});
    EXPECT_EQ(DragTo(pane_, {4, 2}, Qt::ControlModifier), Qt::CopyAction);
    EXPECT_EQ(pane_.Lines().LineAt(0), "G01 X10 Y20");
    EXPECT_EQ(pane_.Lines().LineAt(1), "M30X10");
}

TEST_F(CodeEditDragTest, IntoTheOtherPaneMovesTheText) {
    TCodeEdit target;
    ShowPane(target);
    AddLines(target, {"PU", "PD"});
    EXPECT_EQ(DragTo(target, {3, 2}), Qt::MoveAction);
    EXPECT_EQ(target.Lines().LineAt(1), "PDX10");
    EXPECT_EQ(pane_.Lines().LineAt(0), "G01  Y20");
    QTest::keyClick(&target, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(target.Lines().LineAt(1), "PD");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pane_.Lines().LineAt(0), "G01 X10 Y20");
}

TEST_F(CodeEditDragTest, OtherProgramsGetThePlainTextWithTheDesktopsLineBreaks) {
    pane_.Core().SetSelection({5, 1}, {2, 2});
    QString plain;
    pane_.DragRunner = [&](QDrag& drag, Qt::DropActions) {
        plain = drag.mimeData()->text();
        return Qt::IgnoreAction;
    };
    Press(Cell(pane_, 6, 1));
    MoveTo(Cell(pane_, 6, 1) + QPoint(QApplication::startDragDistance(), 0));
    Release(Cell(pane_, 6, 1));
    EXPECT_EQ(plain, u"X10 Y20\nM"_qs);
}

TEST_F(CodeEditDragTest, APressInsideTheSelectionWithoutDragPlacesTheCaret) {
    QTest::mouseClick(pane_.viewport(), Qt::LeftButton, {}, Cell(pane_, 6, 1));
    EXPECT_FALSE(pane_.Core().SelAvail());
    EXPECT_EQ(pane_.Core().CaretXY(), (P{6, 1}));
}

TEST_F(CodeEditDragTest, PlainTextFromOtherProgramsIsCopiedIn) {
    QDrag drag(&pane_);
    drag.setMimeData(new QMimeData);
    drag.mimeData()->setText("G4 X2");
    EXPECT_EQ(DropOn(drag, Qt::CopyAction | Qt::MoveAction, pane_, Cell(pane_, 1, 2), {}),
              Qt::CopyAction);
    EXPECT_EQ(pane_.Lines().LineAt(1), "G4 X2M30");
    drag.mimeData()->setText(QString::fromUtf8("\xCE\xA9"));
    EXPECT_EQ(DropOn(drag, Qt::CopyAction, pane_, Cell(pane_, 1, 2), {}), Qt::IgnoreAction)
        << "text the pane cannot hold is refused";
}

// A file manager drops a URL list with the URLs as text: files, never text to insert.
TEST_F(CodeEditDragTest, DroppedFilesGoToTheHandlerNeverIntoTheText) {
    QDrag drag(&pane_);
    drag.setMimeData(new QMimeData);
    drag.mimeData()->setUrls({QUrl::fromLocalFile(u"/tmp/a.nc"_qs), QUrl(u"https://x.de/b"_qs),
                              QUrl::fromLocalFile(u"/tmp/c.nc"_qs)});
    drag.mimeData()->setText(u"file:///tmp/a.nc"_qs);
    EXPECT_EQ(DropOn(drag, Qt::CopyAction, pane_, Cell(pane_, 1, 2), {}), Qt::IgnoreAction)
        << "refused without a handler";
    QStringList dropped;
    pane_.OnDropFiles = [&](TCodeEdit*, const QStringList& files) { dropped = files; };
    EXPECT_EQ(DropOn(drag, Qt::CopyAction | Qt::MoveAction, pane_, Cell(pane_, 1, 2), {}),
              Qt::CopyAction);
    EXPECT_EQ(dropped, (QStringList{u"/tmp/a.nc"_qs, u"/tmp/c.nc"_qs}));
    EXPECT_EQ(pane_.Lines().LineAt(1), "M30");
    EXPECT_FALSE(pane_.Core().Modified());
}

} // namespace
} // namespace plotalon
