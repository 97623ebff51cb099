#include "editor/view/CodeGutter.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(CodeGutter, DefaultsAndClamps) {
    TCodeGutter gutter;
    EXPECT_TRUE(gutter.Visible());
    EXPECT_EQ(gutter.Width(), 30);
    EXPECT_FALSE(gutter.ShowLineNumbers());
    EXPECT_FALSE(gutter.AutoSize());
    EXPECT_EQ(gutter.DigitCount(), 4);
    EXPECT_EQ(gutter.CurrentDigitCount(), 4);
    EXPECT_FALSE(gutter.LeadingZeros());
    EXPECT_FALSE(gutter.ZeroStart());
    EXPECT_EQ(gutter.LeftOffset(), 16);
    EXPECT_EQ(gutter.RightOffset(), 2);
    EXPECT_EQ(gutter.Color(), clBtnFace);
    EXPECT_EQ(gutter.Font().family(), "Terminal");
    EXPECT_EQ(gutter.Font().pixelSize(), 11);
    EXPECT_TRUE(gutter.UseFontStyle());

    struct Case {
        void (TCodeGutter::*set)(int);
        int (TCodeGutter::*get)() const;
        int value, stored;
    };
    const Case cases[] = {
        {&TCodeGutter::SetDigitCount, &TCodeGutter::DigitCount, 1, 2},
        {&TCodeGutter::SetDigitCount, &TCodeGutter::DigitCount, 13, 12},
        {&TCodeGutter::SetDigitCount, &TCodeGutter::DigitCount, 7, 7},
        {&TCodeGutter::SetLeftOffset, &TCodeGutter::LeftOffset, -3, 0},
        {&TCodeGutter::SetRightOffset, &TCodeGutter::RightOffset, -1, 0},
    };
    for (const Case& c : cases) {
        (gutter.*c.set)(c.value);
        EXPECT_EQ((gutter.*c.get)(), c.stored) << c.value;
    }
}

TEST(CodeGutter, EverySetterReportsOnlyAChange) {
    TCodeGutter gutter;
    int changes = 0;
    gutter.OnChange = [&] { ++changes; };
    gutter.SetColor(16754492);
    gutter.SetColor(16754492);
    gutter.SetShowLineNumbers(true);
    gutter.SetUseFontStyle(true); // already on
    gutter.SetDigitCount(1);      // becomes 2
    gutter.SetDigitCount(0);      // still 2
    EXPECT_EQ(changes, 3);

    TCodeGutter copy;
    int copies = 0;
    copy.OnChange = [&] { ++copies; };
    copy.Assign(gutter);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(copy.Color(), 16754492);
    EXPECT_EQ(copy.CurrentDigitCount(), 2);
    EXPECT_EQ(changes, 3) << "the source keeps its own callback";
}

TEST(CodeGutter, DigitCountFollowsTheLinesWithAutomaticSize) {
    struct Case {
        bool autoSize, zeroStart;
        int lines, digits;
    };
    const Case cases[] = {
        {true, false, 0, 4},      {true, false, 9999, 4}, {true, false, 10000, 5},
        {true, false, 123456, 6}, {true, true, 10000, 4}, {true, true, 10001, 5},
        {false, false, 10000, 4},
    };
    for (const Case& c : cases) {
        TCodeGutter gutter;
        gutter.SetShowLineNumbers(true);
        gutter.SetAutoSize(c.autoSize);
        gutter.SetZeroStart(c.zeroStart);
        gutter.AutoSizeDigitCount(c.lines);
        EXPECT_EQ(gutter.CurrentDigitCount(), c.digits) << c.lines;
    }
}

TEST(CodeGutter, WidthRule) {
    TCodeGutter gutter;
    EXPECT_EQ(gutter.RealGutterWidth(10), 30) << "Width without line numbers";
    gutter.SetShowLineNumbers(true);
    EXPECT_EQ(gutter.RealGutterWidth(10), 16 + 2 + 4 * 10 + 2);
    gutter.SetVisible(false);
    EXPECT_EQ(gutter.RealGutterWidth(10), 0);
}

TEST(CodeGutter, LineNumberText) {
    TCodeGutter gutter;
    EXPECT_EQ(gutter.FormatLineNumber(7), "   7");
    EXPECT_EQ(gutter.FormatLineNumber(12345), "12345");
    gutter.SetLeadingZeros(true);
    EXPECT_EQ(gutter.FormatLineNumber(7), "0007");
    gutter.SetZeroStart(true);
    EXPECT_EQ(gutter.FormatLineNumber(1), "0000");
}

} // namespace
} // namespace plotalon
