// The pane on screen: grid, gutter, painting with a highlighter, and following the line list.
#include "PaneFixture.h"

#include "editor/ncSyn.h"
#include "platform/qt/Fonts.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QScreen>
#include <QWheelEvent>

namespace plotalon {
namespace {

using namespace plotalon::test;

constexpr TColor kGutterBlue = 16754492; // 0xFFA73C
constexpr const char* kExample = "N10 G01 X-12.5 Y3,2 (Kontur) ; f200)";

class CodeEditTest : public PaneTest {};

TEST_F(CodeEditTest, GridFromTheFontAndTheHighlighter) {
    ShowPane(pane_);
    const QFont bold = MakeFont("Courier New", 12, fsBold);
    EXPECT_EQ(pane_.CharWidth(), QFontMetrics(bold).horizontalAdvance('M'));
    EXPECT_EQ(pane_.LineHeight(), LineHeight(bold));

    // The NC highlighter has italic attributes: the height is measured in italic.
    TNCSyn syn;
    pane_.SetHighlighter(&syn);
    QFont italic = MakeFont("Courier New", 12, fsItalic);
    EXPECT_EQ(pane_.LineHeight(), LineHeight(italic));
    pane_.SetExtraLineSpacing(3);
    EXPECT_EQ(pane_.LineHeight(), LineHeight(italic) + 3);
}

TEST_F(CodeEditTest, GutterWidensAtTheTenThousandthLine) {
    ShowPane(pane_);
    const int fourDigits = 20 + 4 * pane_.CharWidth();
    EXPECT_EQ(pane_.GutterWidth(), fourDigits) << "an empty pane";
    for (int i = 0; i < 9999; ++i)
        pane_.Lines().AddLine("G1 X1");
    EXPECT_EQ(pane_.GutterWidth(), fourDigits);
    const int textStart = pane_.TextStart();
    pane_.Lines().AddLine("G1 X1");
    EXPECT_EQ(pane_.GutterWidth(), fourDigits + pane_.CharWidth());
    EXPECT_EQ(pane_.TextStart(), textStart + pane_.CharWidth());
    pane_.Lines().DeleteLine(0);
    EXPECT_EQ(pane_.GutterWidth(), fourDigits);
}

TEST_F(CodeEditTest, LineNumbersRightAlignedInThePlainPaneFont) {
    ShowPane(pane_);
    TNCSyn syn;
    pane_.SetHighlighter(&syn);
    for (int i = 0; i < 9; ++i)
        pane_.Lines().AddLine("7");
    const QImage shot = Shot(pane_);
    const int gw = pane_.GutterWidth(), cw = pane_.CharWidth(), lh = pane_.LineHeight();
    const int right = gw - 2 - 2; // gutter width - RightOffset - 2
    const QRect row7(0, 6 * lh, gw, lh);
    const QRect digit(right - cw, row7.top(), cw, lh);
    const QRect blanks(right - 4 * cw, row7.top(), 3 * cw, lh);
    EXPECT_GT(CountColor(shot, digit, clNavy), 0) << "'7' in navy in the last digit cell";
    EXPECT_EQ(CountInk(shot, blanks, kGutterBlue), 0) << "three blanks before it";
    EXPECT_EQ(CountInk(shot, QRect(0, row7.top(), gw - 2, lh), kGutterBlue),
              CountInk(shot, digit, kGutterBlue));
    // The border lines: the window colour, then the gutter colour.
    EXPECT_EQ(CountColor(shot, QRect(gw - 2, 0, 1, shot.height()), clWindow), shot.height());
    EXPECT_EQ(CountColor(shot, QRect(gw - 1, 0, 1, shot.height()), kGutterBlue), shot.height());

    // Without bold: fewer navy pixels than the same digit in the text, which is bold.
    const QRect textDigit = CellRect(pane_, 1, 7);
    EXPECT_LT(CountColor(shot, digit, clNavy), CountColor(shot, textDigit, clNavy));
}

TEST_F(CodeEditTest, BookmarkGlyphsSitWithinTheLeftOffset) {
    ShowPane(pane_);
    AddLines(pane_, {"G0", "G1", "G2"});
    pane_.setFocus();
    pane_.Core().SetCaretXY({1, 2});
    QTest::keyClick(&pane_, Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(pane_.Core().Bookmark(2).has_value());
    const QImage shot = Shot(pane_);
    const int lh = pane_.LineHeight();
    auto ink = [&](QRect rect) { return CountInk(shot, rect, kGutterBlue); };
    EXPECT_GT(ink(QRect(0, lh, 16, lh)), 0) << "the glyph on line 2";
    EXPECT_EQ(ink(QRect(0, 0, 16, lh)), 0);
    EXPECT_EQ(ink(QRect(0, 2 * lh, 16, lh)), 0);
    EXPECT_EQ(ink(QRect(0, 0, 2, shot.height())), 0) << "the left margin";
}

TEST_F(CodeEditTest, WorkedExampleInItsColoursWithTheRightEdge) {
    ShowPane(pane_);
    TNCSyn syn;
    pane_.SetHighlighter(&syn);
    pane_.Lines().AddLine(kExample);
    const QImage shot = Shot(pane_);
    struct Case {
        int column;
        TColor color;
    };
    const Case cases[] = {{1, clRed},   {2, clNavy},  {5, clRed},   {10, clNavy}, {16, clRed},
                          {17, clNavy}, {22, clGray}, {30, clGray}, {32, clGray}, {36, clNavy}};
    for (const Case& c : cases) {
        EXPECT_GT(CountColor(shot, CellRect(pane_, c.column, 1), c.color), 0) << c.column;
        for (TColor other : {clRed, clNavy, clGray}) {
            if (other != c.color) {
                EXPECT_EQ(CountColor(shot, CellRect(pane_, c.column, 1), other), 0) << c.column;
            }
        }
    }
    const int edge = pane_.TextStart() + 80 * pane_.CharWidth();
    EXPECT_EQ(CountColor(shot, QRect(edge, 0, 1, shot.height()), clSilver), shot.height());
    EXPECT_EQ(CountColor(shot, QRect(edge - 1, 0, 1, shot.height()), clSilver), 0);
}

TEST_F(CodeEditTest, BoldAndPlainRunsStayOnOneGrid) {
    ShowPane(pane_);
    TNCSyn syn;
    syn.NumberAttri()->SetStyle(0); // values plain, letters bold
    pane_.SetHighlighter(&syn);
    std::string line;
    for (int i = 0; i < 25; ++i)
        line += "X1 ";
    pane_.Lines().AddLine(line);
    pane_.Lines().AddLine(std::string(line.size(), 'X'));
    const QImage shot = Shot(pane_);
    for (int column = 1; column <= int(line.size()); ++column) {
        const QRect cell = CellRect(pane_, column, 1);
        if (line[std::size_t(column - 1)] == ' ')
            EXPECT_EQ(CountInk(shot, cell, clWindow), 0) << "blank cell " << column;
        else
            EXPECT_GT(CountInk(shot, cell, clWindow), 0) << "glyph cell " << column;
    }
    // A bold 'X' sits at the same place in its cell on every column of both lines.
    auto firstInk = [&](int column, int lineNo) {
        const QRect cell = CellRect(pane_, column, lineNo);
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (CountInk(shot, QRect(x, cell.top(), 1, cell.height()), clWindow) > 0)
                return x - cell.left();
        return -1;
    };
    for (int column = 1; column <= int(line.size()); column += 3)
        EXPECT_EQ(firstInk(column, 1), firstInk(1, 2)) << column;
}

TEST_F(CodeEditTest, SelectionColoursForEachMode) {
    ShowPane(pane_);
    AddLines(pane_, {"ABCDEF", "GHIJKL", "MNOPQR"});
    pane_.Core().SetSelection({3, 1}, {2, 2});
    QImage shot = Shot(pane_);
    EXPECT_EQ(CountColor(shot, CellRect(pane_, 2, 1), clHighlight), 0);
    EXPECT_GT(CountColor(shot, CellRect(pane_, 3, 1), clHighlight), 0);
    EXPECT_EQ(CountColor(shot, CellRect(pane_, 20, 1), clHighlight),
              pane_.CharWidth() * pane_.LineHeight())
        << "the selected line break fills the rest of the row";
    EXPECT_GT(CountColor(shot, CellRect(pane_, 1, 2), clHighlight), 0);
    EXPECT_EQ(CountColor(shot, CellRect(pane_, 2, 2), clHighlight), 0);

    pane_.Core().SetSelectionMode(TCodeSelectionMode::smColumn);
    pane_.Core().SetSelection({2, 1}, {9, 3});
    shot = Shot(pane_);
    for (int line = 1; line <= 3; ++line) {
        EXPECT_EQ(CountColor(shot, CellRect(pane_, 1, line), clHighlight), 0) << line;
        EXPECT_GT(CountColor(shot, CellRect(pane_, 2, line), clHighlight), 0) << line;
        EXPECT_GT(CountColor(shot, CellRect(pane_, 8, line), clHighlight), 0)
            << "past the end of line " << line;
        EXPECT_EQ(CountColor(shot, CellRect(pane_, 9, line), clHighlight), 0) << line;
    }
}

TEST_F(CodeEditTest, AttributeChangeRepaintsEveryPaneAndDestructionLeavesPlainText) {
    TCodeEdit other;
    ShowPane(pane_);
    ShowPane(other);
    auto syn = std::make_unique<TNCSyn>();
    for (TCodeEdit* p : {&pane_, &other}) {
        p->Lines().AddLine("G1");
        p->SetHighlighter(syn.get());
    }
    syn->LabelAttri()->SetForeground(clGreen);
    for (TCodeEdit* p : {&pane_, &other})
        EXPECT_GT(CountColor(Shot(*p), CellRect(*p, 1, 1), clGreen), 0);

    syn.reset();
    for (TCodeEdit* p : {&pane_, &other}) {
        EXPECT_EQ(p->Highlighter(), nullptr);
        const QImage shot = Shot(*p);
        EXPECT_GT(CountColor(shot, CellRect(*p, 1, 1), clNavy), 0) << "the pane's own font";
        EXPECT_EQ(CountColor(shot, CellRect(*p, 1, 1), clGreen), 0);
    }
}

TEST_F(CodeEditTest, WhitespaceBackgroundFillsTheTextArea) {
    ShowPane(pane_);
    TNCSyn syn;
    syn.SpaceAttri()->SetBackground(clYellow);
    pane_.Lines().AddLine("G1 X2");
    pane_.SetHighlighter(&syn);
    const QImage shot = Shot(pane_);
    const int area = pane_.CharWidth() * pane_.LineHeight();
    EXPECT_EQ(CountColor(shot, CellRect(pane_, 3, 1), clYellow), area) << "the blank token";
    EXPECT_EQ(CountColor(shot, CellRect(pane_, 30, 1), clYellow), area) << "after the text";
    EXPECT_EQ(CountColor(shot, CellRect(pane_, 30, 5), clYellow), area) << "below the text";
    EXPECT_EQ(CountColor(shot, QRect(pane_.GutterWidth(), 0, 2, 10), clYellow), 20)
        << "the strip before the text";
}

TEST_F(CodeEditTest, CaretIsALineOrABlock) {
    ShowPane(pane_);
    pane_.Lines().AddLine("");
    pane_.activateWindow();
    pane_.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pane_));
    const int lh = pane_.LineHeight(), cw = pane_.CharWidth();
    // The caret inverts the white window colour.
    EXPECT_EQ(CountColor(Shot(pane_), CellRect(pane_, 1, 1), clBlack), 2 * lh);
    pane_.Core().SetInsertMode(false);
    pane_.viewport()->update();
    EXPECT_EQ(CountColor(Shot(pane_), CellRect(pane_, 1, 1), clBlack), cw * lh);
}

// Records the areas the viewport paints.
class TPaintRecorder : public QObject {
public:
    explicit TPaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Areas.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
    std::vector<QRect> Areas;
};

// A blink repaints the cell under the caret and nothing else, and the picture it leaves is
// the one a whole painting gives, also inside a comment that opened far to the left. A
// caret beyond the right edge costs no painting at all.
TEST_F(CodeEditTest, ABlinkRepaintsOnlyTheCaretsCell) {
    ShowPane(pane_);
    TNCSyn syn;
    pane_.SetHighlighter(&syn);
    std::string line;
    while (line.size() < 200000)
        line += "G1 X1 Y2 ";
    line.replace(400, 1, "(");
    pane_.Lines().AddLine(line);
    pane_.activateWindow();
    pane_.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pane_));
    pane_.Core().SetCaretXY({700, 1});
    pane_.EnsureCursorPosVisible();
    ASSERT_GT(pane_.LeftChar(), 400);
    auto picture = [&] {
        QApplication::processEvents();
        return pane_.screen()->grabWindow(pane_.winId()).toImage();
    };
    const QImage shown = picture();
    TPaintRecorder painted(pane_.viewport());
    pane_.BlinkCaret();
    const QImage hidden = picture();
    const QRect caret(pane_.RowColumnToPixels({700, 1}), QSize(2, pane_.LineHeight()));
    EXPECT_EQ(painted.Areas, std::vector<QRect>{caret});
    EXPECT_NE(hidden, shown);
    pane_.BlinkCaret();
    EXPECT_EQ(picture(), shown);

    painted.Areas.clear();
    pane_.Core().SetCaretXY({100000, 1});
    QApplication::processEvents();
    painted.Areas.clear();
    pane_.BlinkCaret();
    pane_.BlinkCaret();
    QApplication::processEvents();
    EXPECT_TRUE(painted.Areas.empty());
}

TEST_F(CodeEditTest, ChangesBehindTheCoresBackKeepTheViewInTheText) {
    ShowPane(pane_, 10);
    for (int i = 1; i <= 100; ++i)
        pane_.Lines().AddLine("G1 X" + std::to_string(i));
    pane_.Core().SetCaretXY({3, 95});
    pane_.EnsureCursorPosVisible();
    ASSERT_EQ(pane_.TopLine(), 95 - pane_.LinesInWindow() + 1);

    pane_.Lines().DeleteLines(5, 100); // five lines remain
    QImage shot = Shot(pane_);
    EXPECT_EQ(pane_.TopLine(), 1);
    EXPECT_EQ(pane_.verticalScrollBar()->maximum(), 0);
    EXPECT_GT(CountInk(shot, CellRect(pane_, 1, 5), clWindow), 0) << "line 5 is shown again";

    pane_.Lines().ClearLines();
    shot = Shot(pane_);
    EXPECT_EQ(CountInk(shot, CellRect(pane_, 2, 1), clWindow), 0);
}

// A pane that is not yet on screen has a passing size (a window being built, panes not yet
// split): the caret is brought into view at the size the pane is first shown with.
TEST_F(CodeEditTest, TheCaretIsBroughtIntoViewAtTheSizeThePaneIsShownWith) {
    const struct {
        int length; // of the one line, with the caret after its end
        bool fits;  // in the shown pane
    } cases[] = {{8, true}, {200, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        TCodeEdit narrow;
        ApplyNcPaneStyle(narrow);
        narrow.resize(narrow.TextStart() + narrow.CharWidth(), 3 * narrow.LineHeight());
        narrow.Lines().AddLine(std::string(std::size_t(c.length), 'X'));
        narrow.Core().SetCaretXY({c.length + 1, 1});
        narrow.EnsureCursorPosVisible();
        EXPECT_EQ(narrow.LeftChar(), 1);
        ShowPane(narrow);
        Shot(narrow);
        EXPECT_EQ(narrow.Core().CaretXY(), (TCodePoint{c.length + 1, 1}));
        if (c.fits)
            EXPECT_EQ(narrow.LeftChar(), 1);
        else
            EXPECT_EQ(narrow.LeftChar(), c.length + 2 - narrow.CharsInWindow());
    }
}

TEST_F(CodeEditTest, AFailedLoadKeepsTheText) {
    ShowPane(pane_);
    pane_.Lines().AddLine("G1 X5");
    EXPECT_THROW(pane_.LoadFile("/nonexistent/part.nc"), EFOpenError);
    EXPECT_EQ(pane_.Lines().Count(), 1);
    EXPECT_EQ(pane_.Lines().LineAt(0), "G1 X5");
}

TEST_F(CodeEditTest, WheelScrollsByTheSystemSettingOrByAPageWithCtrl) {
    ShowPane(pane_, 10);
    for (int i = 0; i < 200; ++i)
        pane_.Lines().AddLine("G0");
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(50, 50);
        QWheelEvent event(at, pane_.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane_.viewport(), &event);
    };
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(pane_.TopLine(), 1 + QApplication::wheelScrollLines());
    pane_.SetTopLine(1);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(pane_.TopLine(), 1 + pane_.LinesInWindow());
    EXPECT_EQ(pane_.verticalScrollBar()->value(), pane_.TopLine() - 1);
}

TEST_F(CodeEditTest, BytesShowAsWindows1252AndStayUnchanged) {
    ShowPane(pane_);
    const std::string bytes = "\x80\xC4\xE9";
    pane_.Lines().AddLine(bytes);
    EXPECT_EQ(pane_.Lines().LineAt(0), bytes);
    const QImage shot = Shot(pane_);
    for (int column = 1; column <= 3; ++column)
        EXPECT_GT(CountInk(shot, CellRect(pane_, column, 1), clWindow), 0) << column;
    EXPECT_EQ(CountInk(shot, CellRect(pane_, 4, 1), clWindow), 0) << "one byte, one column";
}

} // namespace
} // namespace plotalon
