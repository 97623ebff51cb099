#include "platform/qt/Memo.h"

#include "platform/Errors.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Memo, KeepsEveryByteButTheLineBreaks) {
    // All bytes but NUL, CR and LF, among them the five Windows-1252 leaves unassigned and
    // the no-break space, which a plain-text export would turn into a blank.
    std::string line;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') line.push_back(char(b));
    const std::string text = line + "\r\n\r\n" + line + "\r\n";
    TMemo memo;
    memo.SetText(text);
    EXPECT_EQ(memo.Text(), text);
    EXPECT_EQ(memo.TextLength(), text.size());
}

TEST(Memo, EveryLineBreakStyleBreaksAndTheTextEndsAtNul) {
    TMemo memo;
    memo.SetText(std::string_view("a\rb\nc\r\nd\0ignored", 16));
    EXPECT_EQ(memo.Text(), "a\r\nb\r\nc\r\nd");
    // A soft line break typed with Shift+Enter is a line break of the memo text as well.
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&memo, "e");
    EXPECT_EQ(memo.Text(), "a\r\nb\r\nc\r\nd\r\ne");
}

TEST(Memo, RefusesTextBeyondItsCapacity) {
    TMemo memo;
    memo.SetText("kept");
    EXPECT_THROW(memo.SetText(std::string(TMemo::kCapacity + 1, 'x')), EMemoCapacityError);
    EXPECT_EQ(memo.Text(), "kept");
    try {
        memo.SetText(std::string(TMemo::kCapacity + 1, 'x'));
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Text überschreitet Memo-Kapazität");
    }

    // Full to the last byte: typing and pasting add nothing, replacing a selection still works.
    memo.SetText(std::string(TMemo::kCapacity - 2, 'x') + "\r\n");
    ASSERT_EQ(memo.TextLength(), TMemo::kCapacity);
    memo.moveCursor(QTextCursor::End);
    QTest::keyClicks(&memo, "y");
    QTest::keyClick(&memo, Qt::Key_Return);
    QGuiApplication::clipboard()->setText(u"pasted"_qs);
    memo.paste();
    EXPECT_EQ(memo.TextLength(), TMemo::kCapacity);
    memo.moveCursor(QTextCursor::Start);
    memo.moveCursor(QTextCursor::Right, QTextCursor::KeepAnchor);
    QTest::keyClicks(&memo, "z");
    EXPECT_EQ(memo.Text().substr(0, 2), "zx");
}

} // namespace
} // namespace plotalon
