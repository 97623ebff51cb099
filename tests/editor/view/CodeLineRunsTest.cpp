#include "editor/view/CodeLineRuns.h"

#include "editor/ncSyn.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

constexpr TColor kBack = clWhite;
constexpr TColor kSelFg = clYellow;
constexpr TColor kSelBg = clBlue;
constexpr std::string_view kExample = "N10 G01 X-12.5 Y3,2 (Kontur) ; f200)";

TLineRunsInput Input(std::string_view text, TCodeCustomHighlighter* highlighter) {
    TLineRunsInput input;
    input.Text = text;
    input.Highlighter = highlighter;
    input.FontColor = clNavy;
    input.Background = kBack;
    input.FontStyle = fsBold;
    input.SelectedForeground = kSelFg;
    input.SelectedBackground = kSelBg;
    return input;
}

TCodeRun MakeRun(int column, int length, TColor fg, TFontStyles style, TColor bg = kBack) {
    return {column, length, {fg, bg, style}};
}

TEST(CodeLineRuns, WorkedExampleJoinsBlanksAndLooksAlike) {
    TNCSyn syn;
    const std::vector<TCodeRun> expected = {
        MakeRun(0, 1, clRed, fsBold),
        MakeRun(1, 3, clNavy, fsBold),
        MakeRun(4, 1, clRed, fsBold),
        MakeRun(5, 3, clNavy, fsBold),
        MakeRun(8, 1, clRed, fsBold),
        MakeRun(9, 6, clNavy, fsBold),
        MakeRun(15, 1, clRed, fsBold),
        MakeRun(16, 4, clNavy, fsBold),
        // The comment, ';' and 'f' share grey bold italic; the stray ')' takes the pane's
        // own look, which equals the value's.
        MakeRun(20, 12, clGray, fsBold | fsItalic),
        MakeRun(32, 4, clNavy, fsBold),
    };
    EXPECT_EQ(LineRuns(Input(kExample, &syn)), expected);
}

TEST(CodeLineRuns, WithoutHighlighterOneRunInThePanesLook) {
    EXPECT_EQ(LineRuns(Input("G1 X5", nullptr)),
              std::vector<TCodeRun>{MakeRun(0, 5, clNavy, fsBold)});
    EXPECT_TRUE(LineRuns(Input("", nullptr)).empty());
}

TEST(CodeLineRuns, SelectionIsCutOutInSelectionColours) {
    TNCSyn syn;
    TLineRunsInput input = Input(kExample, &syn);
    input.Selection = {2, 6};
    input.EndColumn = 9;
    const std::vector<TCodeRun> expected = {
        MakeRun(0, 1, clRed, fsBold),          MakeRun(1, 1, clNavy, fsBold),
        MakeRun(2, 2, kSelFg, fsBold, kSelBg), MakeRun(4, 1, kSelFg, fsBold, kSelBg),
        MakeRun(5, 1, kSelFg, fsBold, kSelBg), MakeRun(6, 2, clNavy, fsBold),
        MakeRun(8, 1, clRed, fsBold),
    };
    EXPECT_EQ(LineRuns(input), expected);

    input.Selection = {0, TLineSelection::kToRowEnd};
    input.EndColumn = INT_MAX;
    EXPECT_EQ(LineRuns(input), std::vector<TCodeRun>{MakeRun(0, 36, kSelFg, fsBold, kSelBg)})
        << "a wholly selected line is one run";
}

TEST(CodeLineRuns, OnlyVisibleColumns) {
    TNCSyn syn;
    TLineRunsInput input = Input(kExample, &syn);
    input.FirstColumn = 10;
    input.EndColumn = 18;
    const std::vector<TCodeRun> expected = {MakeRun(10, 5, clNavy, fsBold),
                                            MakeRun(15, 1, clRed, fsBold),
                                            MakeRun(16, 2, clNavy, fsBold)};
    EXPECT_EQ(LineRuns(input), expected);
    input.FirstColumn = 36;
    EXPECT_TRUE(LineRuns(input).empty());
}

// Stops on its first token without moving: a faulty highlighter must not hang a repaint.
class TStuckHighlighter : public TCodeCustomHighlighter {
public:
    TCodeHighlighterAttributes* DefaultAttribute(int) const override { return nullptr; }
    bool AtLineEnd() const override { return false; }
    std::string TokenText() const override { return {}; }
    TCodeHighlighterAttributes* TokenAttribute() const override { return nullptr; }
    int TokenKind() const override { return 0; }
    int TokenStart() const override { return 0; }
    void NextToken() override {}
    void BeginLine(std::string_view, int) override {}
};

TEST(CodeLineRuns, BytesAHighlighterLeavesOutAreStillShown) {
    TStuckHighlighter stuck;
    EXPECT_EQ(LineRuns(Input("G1", &stuck)), std::vector<TCodeRun>{MakeRun(0, 2, clNavy, fsBold)});

    TNCSyn syn;
    const std::string withZero("G1\0X5", 5);
    const std::vector<TCodeRun> expected = {MakeRun(0, 1, clRed, fsBold),
                                            MakeRun(1, 4, clNavy, fsBold)};
    EXPECT_EQ(LineRuns(Input(withZero, &syn)), expected);
}

// A long line with comments across the visible windows and, in one form, tabs.
std::string LongLine(bool tabs) {
    std::string line;
    for (int i = 0; line.size() < 30000; ++i) {
        line += i % 7 == 3 ? "(Kommentar G1 X5 " : "G1 X1 Y2 ";
        if (i % 7 == 5) line += ")";
        if (tabs && i % 5 == 0) line += "\t";
    }
    line.replace(1000, 1, "(");
    line.replace(1040, 1, ")");
    return line + " (offen bis zum Ende";
}

// The look of every column by a scan of the whole line, as a reference.
std::vector<TTokenLook> FullScanLooks(std::string_view text, TNCSyn& syn) {
    std::vector<TTokenLook> looks(text.size());
    syn.ResetRangeState();
    syn.BeginLine(text, 0);
    while (!syn.AtLineEnd()) {
        const int start = syn.TokenStart();
        const TTokenLook look = TokenLook(syn.TokenAttribute(), clNavy, kBack, fsBold);
        syn.NextToken();
        for (int c = start; c < syn.TokenStart(); ++c)
            looks[std::size_t(c)] = look;
    }
    return looks;
}

// A row shows what a scan of the whole line gives, though only the bytes that can reach
// its columns are expanded and scanned, also where a comment opens before the row.
TEST(CodeLineRuns, AWindowOfALongLineLooksAsInTheWholeLine) {
    TNCSyn syn;
    for (bool tabs : {false, true}) {
        const std::string raw = LongLine(tabs);
        bool hadTabs = false;
        const std::string whole = ExpandTabs(raw, 8, hadTabs);
        const std::vector<TTokenLook> reference = FullScanLooks(whole, syn);
        for (int first : {0, 985, 1010, 1024 - 90, 2000, int(whole.size()) - 50}) {
            SCOPED_TRACE(testing::Message() << "tabs " << tabs << ", from " << first);
            const int end = first + 90;
            std::string storage;
            const std::string_view shown = ShownText(raw, 8, end, storage);
            EXPECT_EQ(shown.substr(0, std::size_t(end)), whole.substr(0, std::size_t(end)));
            TLineRunsInput input = Input(shown, &syn);
            input.FirstColumn = first;
            input.EndColumn = end;
            const std::vector<TCodeRun> runs = LineRuns(input);
            ASSERT_FALSE(runs.empty());
            EXPECT_EQ(runs.front().Column, first);
            EXPECT_EQ(runs.back().Column + runs.back().Length, std::min(end, int(whole.size())));
            for (const TCodeRun& run : runs) {
                for (int c = run.Column; c < run.Column + run.Length; ++c) {
                    if (whole[std::size_t(c)] == ' ') continue; // blanks join the run before
                    ASSERT_EQ(run.Look, reference[std::size_t(c)]) << "column " << c;
                }
            }

            // A selection from far before to far beyond the row, mapped on its bytes only.
            for (auto mode : {TCodeSelectionMode::smNormal, TCodeSelectionMode::smColumn}) {
                const TCodePoint from{3, 1}, to{int(raw.size()) - 2, 1};
                const std::string_view reach = std::string_view(raw).substr(0, std::size_t(end));
                input.Selection = SelectionOnLine(mode, from, to, 1, reach, 8);
                TLineRunsInput full = Input(whole, &syn);
                full.FirstColumn = first;
                full.EndColumn = end;
                full.Selection = SelectionOnLine(mode, from, to, 1, raw, 8);
                EXPECT_EQ(LineRuns(input), LineRuns(full));
            }
        }
    }
}

// Counts the tokens it is asked for.
class TCountingSyn : public TNCSyn {
public:
    void NextToken() override {
        ++Tokens;
        TNCSyn::NextToken();
    }
    int Tokens = 0;
};

TEST(CodeLineRuns, TheScanStopsAtTheEndOfTheRow) {
    TCountingSyn syn;
    std::string megabyte;
    while (megabyte.size() < (1u << 20))
        megabyte += "G1 X1 Y2 ";
    TLineRunsInput input = Input(megabyte, &syn);
    input.EndColumn = 90;
    LineRuns(input);
    EXPECT_LT(syn.Tokens, 100); // the tokens of 90 columns, not of a megabyte
}

TEST(CodeLineRuns, ColumnsAcrossTabs) {
    struct Case {
        std::string_view raw;
        int byte, display;
    };
    const Case cases[] = {{"\tX", 0, 0},  {"\tX", 1, 8},   {"\tX", 2, 9},
                          {"\tX", 4, 11}, {"AB\tC", 3, 8}, {"ABC", 5, 5}};
    for (const Case& c : cases) {
        EXPECT_EQ(DisplayColumn(c.raw, c.byte, 8), c.display) << c.raw << " " << c.byte;
        EXPECT_EQ(ByteColumn(c.raw, c.display, 8), c.byte) << c.raw << " " << c.display;
    }
    EXPECT_EQ(ByteColumn("\tX", 5, 8), 0) << "inside the tab's cells";
}

TEST(CodeLineRuns, SelectionOnEachLine) {
    using M = TCodeSelectionMode;
    const int end = TLineSelection::kToRowEnd;
    struct Case {
        M mode;
        TCodePoint begin, end;
        int line;
        TLineSelection expected;
    };
    const Case cases[] = {
        {M::smNormal, {3, 1}, {2, 2}, 1, {2, end}}, {M::smNormal, {3, 1}, {2, 2}, 2, {0, 1}},
        {M::smNormal, {2, 2}, {3, 1}, 2, {0, 1}},   {M::smNormal, {3, 1}, {2, 2}, 3, {}},
        {M::smNormal, {2, 1}, {4, 1}, 1, {1, 3}},   {M::smLine, {3, 1}, {2, 2}, 2, {0, end}},
        {M::smColumn, {4, 1}, {2, 3}, 2, {1, 3}},   {M::smColumn, {2, 1}, {2, 1}, 1, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionOnLine(c.mode, c.begin, c.end, c.line, "ABCDEFGH", 8), c.expected)
            << int(c.mode) << " line " << c.line;
}

} // namespace
} // namespace plotalon
