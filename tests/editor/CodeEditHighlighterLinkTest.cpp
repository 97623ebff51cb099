#include "editor/CodeEditHighlighterLink.h"
#include "editor/CodeEditDetachedLines.h"
#include "editor/ncSyn.h"
#include "tests/editor/CountingNCSyn.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace plotalon;
using test::TCountingNCSyn;

namespace {

// A highlighter that carries state across lines: "{" opens a comment, "}" closes it; the
// range is 1 inside a comment. The whole line is one token.
class TBraceSyn : public TCodeCustomHighlighter {
public:
    TCodeHighlighterAttributes* DefaultAttribute(int) const override { return nullptr; }
    bool AtLineEnd() const override { return Done; }
    std::string TokenText() const override { return std::string(Line); }
    TCodeHighlighterAttributes* TokenAttribute() const override { return nullptr; }
    int TokenKind() const override { return 0; }
    int TokenStart() const override { return 0; }
    void NextToken() override {
        for (char c : Line) {
            if (c == '{') State = 1;
            if (c == '}') State = 0;
        }
        Done = true;
    }
    void BeginLine(std::string_view text, int) override {
        ++Scans;
        Line = text;
        Done = false;
    }
    TCodeRange RangeState() const override { return State; }
    void SetRangeState(TCodeRange value) override { State = value; }
    void ResetRangeState() override { State = 0; }
    std::unique_ptr<TCodeCustomHighlighter> NewOfSameKind() const override {
        return MakesSiblings ? std::make_unique<TBraceSyn>() : nullptr;
    }

    bool MakesSiblings = true;
    std::string_view Line;
    bool Done = true;
    TCodeRange State = 0;
    int Scans = 0;
};

// A pane's line list with a link that follows its events, as the editor view wires them.
struct TPane {
    TPane() : Link(Lines) {
        Lines.OnLineAdded = [this](int i) { Repaint = Link.LineAdded(i); };
        Lines.OnLineInserted = [this](int i) { Repaint = Link.LineInserted(i); };
        Lines.OnLineDeleted = [this](int i) { Repaint = Link.LineDeleted(i); };
        Lines.OnLineReplaced = [this](int i) { Repaint = Link.LineReplaced(i); };
        Link.OnHighlighterChanged = [this] { ++Reports; };
    }
    TCodeEditStringList Lines;
    TCodeEditHighlighterLink Link;
    TRepaintLines Repaint;
    int Reports = 0;
};

std::vector<TCodeRange> Ranges(const TCodeEditStringList& lines) {
    std::vector<TCodeRange> out;
    for (int i = 0; i < lines.Count(); ++i)
        out.push_back(lines.LineRange(i));
    return out;
}

} // namespace

TEST(CodeEditHighlighterLinkTest, RangesAfterEditsAgreeWithAWholeScan) {
    TBraceSyn syn;
    TPane pane;
    for (const char* l : {"a", "{", "b", "}", "c"})
        pane.Lines.AddLine(l);
    pane.Link.SetHighlighter(&syn);
    EXPECT_EQ(Ranges(pane.Lines), (std::vector<TCodeRange>{0, 0, 1, 1, 0}));

    std::mt19937 random(7);
    const char* texts[] = {"", "x", "{", "}", "{}", "}{", "a{b"};
    for (int step = 0; step < 600; ++step) {
        int count = pane.Lines.Count();
        int op = int(random() % 7);
        std::string text = texts[random() % 7];
        int at = count == 0 ? 0 : int(random() % unsigned(count));
        switch (op) {
        case 0:
            pane.Lines.AddLine(text);
            break;
        case 1:
            pane.Lines.InsertLine(int(random() % unsigned(count + 1)), text);
            break;
        case 2:
            if (count > 0) pane.Lines.DeleteLine(at);
            break;
        case 3:
            pane.Lines.ReplaceLine(at, text);
            break;
        case 4:
            pane.Lines.DeleteLines(at, int(random() % 3));
            break;
        case 5:
            pane.Lines.InsertLines(at, int(random() % 3));
            break;
        case 6: // cleared behind the link's back, as a conversion clears its target
            if (random() % 4 == 0) pane.Lines.ClearLines();
            break;
        }
        TPane fresh;
        for (int i = 0; i < pane.Lines.Count(); ++i)
            fresh.Lines.AddLine(pane.Lines.LineAt(std::size_t(i)));
        TBraceSyn other;
        fresh.Link.SetHighlighter(&other);
        ASSERT_EQ(Ranges(pane.Lines), Ranges(fresh.Lines)) << "step " << step << " op " << op;
    }
}

// Lines built away from the pane carry the ranges the pane would scan itself, so adopting
// them rescans only the first line; a highlighter that cannot make a sibling leaves the
// scan to the pane, with the same ranges.
TEST(CodeEditHighlighterLinkTest, DetachedLinesCarryTheRangesOfAWholeScan) {
    std::mt19937 random(11);
    const char* texts[] = {"", "x", "{", "}", "{}", "}{", "a{b", "\tc"};
    std::string file;
    TPane whole;
    for (int i = 0; i < 3000; ++i) {
        std::string text = texts[random() % 8];
        whole.Lines.AddLine(text);
        file += text + "\r\n";
    }
    TBraceSyn wholeSyn;
    whole.Link.SetHighlighter(&wholeSyn);
    test::TTempDir dir;
    const std::string path = dir.Write("braces.nc", file);

    for (bool siblings : {true, false}) {
        for (bool load : {false, true}) {
            TBraceSyn paneSyn;
            paneSyn.MakesSiblings = siblings;
            TPane pane;
            pane.Lines.AddLine("{ old text");
            pane.Link.SetHighlighter(&paneSyn);

            TCodeEditDetachedLines built(8, &paneSyn);
            EXPECT_EQ(built.ScansRanges(), siblings);
            if (load) {
                TProgress progress;
                built.Lines().LoadFile(path, &progress);
            } else {
                for (int i = 0; i < whole.Lines.Count(); ++i)
                    static_cast<ILineSink&>(built.Lines()).AppendLine(whole.Lines.LineAt(i));
            }
            if (siblings) {
                EXPECT_EQ(Ranges(built.Lines()), Ranges(whole.Lines));
            }

            paneSyn.Scans = 0;
            pane.Lines.AdoptLines(built.Lines());
            EXPECT_EQ(Ranges(pane.Lines), Ranges(whole.Lines)) << siblings << load;
            EXPECT_EQ(paneSyn.Scans, siblings ? 1 : 3000);
        }
    }
    TNCSyn nc;
    EXPECT_NE(dynamic_cast<TNCSyn*>(nc.NewOfSameKind().get()), nullptr);
}

// A text built apart with one highlighter's ranges, then taken with another of its kind that
// the pane keeps: no line is scanned to attach it, and edits afterwards rescan as usual.
TEST(CodeEditHighlighterLinkTest, AttachingOverStoredRangesScansNothing) {
    TBraceSyn kind;
    TCodeEditDetachedLines built(8, &kind);
    for (const char* l : {"a", "{", "b", "}", "c"})
        built.Lines().AddLine(l);
    TBraceSyn syn;
    TPane pane;
    pane.Lines.AdoptLines(built.Lines());
    const int reports = pane.Reports;
    pane.Link.SetHighlighterOverStoredRanges(&syn);
    EXPECT_EQ(syn.Scans, 0);
    EXPECT_EQ(pane.Link.Highlighter(), &syn);
    EXPECT_EQ(pane.Reports, reports + 1);
    EXPECT_EQ(Ranges(pane.Lines), (std::vector<TCodeRange>{0, 0, 1, 1, 0}));
    pane.Lines.ReplaceLine(3, "d");
    EXPECT_EQ(Ranges(pane.Lines), (std::vector<TCodeRange>{0, 0, 1, 1, 1}));
    EXPECT_GT(syn.Scans, 0);
}

TEST(CodeEditHighlighterLinkTest, ReplaceRescansUntilTheRangesAgreeAgain) {
    TBraceSyn syn;
    TPane pane;
    for (const char* l : {"a", "b", "c", "d", "e"})
        pane.Lines.AddLine(l);
    pane.Link.SetHighlighter(&syn);
    pane.Lines.ReplaceLine(1, "{");
    EXPECT_EQ(Ranges(pane.Lines), (std::vector<TCodeRange>{0, 0, 1, 1, 1}));
    EXPECT_EQ(pane.Repaint, (TRepaintLines{2, 5}));
    pane.Lines.ReplaceLine(3, "}");
    EXPECT_EQ(Ranges(pane.Lines), (std::vector<TCodeRange>{0, 0, 1, 1, 0}));
    EXPECT_EQ(pane.Repaint, (TRepaintLines{4, 5})); // the last line changed its range too
}

TEST(CodeEditHighlighterLinkTest, ConstantRangeStopsEveryRescanAfterOneLine) {
    TCountingNCSyn syn;
    TPane pane;
    for (int i = 0; i < 100; ++i)
        pane.Lines.AddLine("G1 X" + std::to_string(i));
    pane.Link.SetHighlighter(&syn);
    EXPECT_EQ(syn.Scans, 100);
    EXPECT_EQ(pane.Lines.LineRange(99), 0);
    EXPECT_EQ(pane.Reports, 1);

    syn.Scans = 0;
    pane.Lines.ReplaceLine(50, "(neu)");
    EXPECT_EQ(syn.Scans, 1);
    EXPECT_EQ(pane.Repaint, (TRepaintLines{51, 51}));

    syn.Scans = 0;
    pane.Lines.InsertLine(10, "N5");
    EXPECT_EQ(syn.Scans, 2); // the line before, then the new one
    EXPECT_EQ(pane.Lines.LineRange(10), 0);
    EXPECT_EQ(pane.Repaint, (TRepaintLines{11, TRepaintLines::kRepaintToEnd}));

    syn.Scans = 0;
    pane.Lines.DeleteLine(0);
    EXPECT_EQ(syn.Scans, 1);

    syn.Scans = 0;
    for (int i = 0; i < 50; ++i)
        pane.Lines.AddLine("G0 Z5");
    EXPECT_EQ(syn.Scans, 51); // the line before the first, then every new line once

    syn.Scans = 0;
    pane.Link.SetHighlighter(&syn); // the same one again: no rescan, no report
    EXPECT_EQ(syn.Scans, 0);
    EXPECT_EQ(pane.Reports, 1);
}

TEST(CodeEditHighlighterLinkTest, ChangesAndDestructionReachThePane) {
    TPane pane;
    pane.Lines.AddLine("X1");
    auto syn = std::make_unique<TNCSyn>();
    pane.Link.SetHighlighter(syn.get());
    EXPECT_EQ(pane.Reports, 1);
    syn->NumberAttri()->SetForeground(clRed);
    EXPECT_EQ(pane.Reports, 2);
    syn.reset();
    EXPECT_EQ(pane.Link.Highlighter(), nullptr);
    EXPECT_EQ(pane.Reports, 3);
    pane.Lines.ReplaceLine(0, "Y2"); // plain text from now on
    EXPECT_EQ(pane.Repaint, (TRepaintLines{1, 1}));

    // A pane that goes away first leaves the highlighter without a dangling listener.
    TNCSyn survivor;
    {
        TPane shortLived;
        shortLived.Link.SetHighlighter(&survivor);
    }
    survivor.LabelAttri()->SetStyle(0);
    EXPECT_EQ(survivor.AttributeChangeChain().HandlerCount(), 0);
}

TEST(CodeEditHighlighterLinkTest, CharacterCellFontsFollowTheAttributes) {
    TNCSyn syn;
    EXPECT_EQ(CharCellFonts(&syn, 0), (TCharCellFonts{true, true}));
    for (int i = 0; i < syn.AttributeCount(); ++i)
        syn.AttributeAt(i)->SetStyle(syn.AttributeAt(i)->Style() & ~fsItalic);
    EXPECT_EQ(CharCellFonts(&syn, fsItalic), (TCharCellFonts{true, false}));
    EXPECT_EQ(CharCellFonts(nullptr, fsItalic), (TCharCellFonts{false, true}));
    EXPECT_EQ(CharCellFonts(nullptr, fsBold), (TCharCellFonts{true, false}));
}

TEST(CodeEditHighlighterLinkTest, WordCharsAndColours) {
    TNCSyn syn;
    EXPECT_EQ(WordChars(&syn), syn.IdentifierChars());
    EXPECT_EQ(WordChars(nullptr).count(), 223u);

    const TColor editor = 0xFFFFFF, font = 0x800000, line = 0xEEEEEE;
    EXPECT_EQ(TextAreaBackground(&syn, editor), editor);
    syn.SpaceAttri()->SetBackground(0x00FFFF);
    EXPECT_EQ(TextAreaBackground(&syn, editor), 0x00FFFF);
    EXPECT_EQ(TextAreaBackground(nullptr, editor), editor);

    EXPECT_EQ(TokenLook(nullptr, font, line, fsBold), (TTokenLook{font, line, fsBold}));
    EXPECT_EQ(TokenLook(syn.LabelAttri(), font, line, 0), (TTokenLook{clRed, line, fsBold}));
    syn.LabelAttri()->SetForeground(clNone);
    EXPECT_EQ(TokenLook(syn.LabelAttri(), font, line, 0), (TTokenLook{font, line, fsBold}));
}

TEST(CodeEditHighlighterLinkTest, RunJoiningRules) {
    const TTokenLook run{clRed, 0xFFFFFF, fsBold};
    struct Case {
        TTokenLook token;
        const char* text;
        bool selected;
        bool joins;
    };
    const Case cases[] = {
        {{clRed, 0xFFFFFF, fsBold}, "X", false, true},
        {{clNavy, 0xFFFFFF, fsBold}, "1", false, false},
        {{clNavy, 0xFFFFFF, 0}, "   ", false, true}, // blanks only
        {{clNavy, 0xFFFFFF, fsUnderline}, "  ", false, false},
        {{clRed, 0x000000, fsBold}, "X", false, false}, // other background
        {{clNavy, 0x000000, 0}, "1", true, true},       // whole line selected
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinsRun(run, c.token, c.text, c.selected), c.joins) << c.text;
}
