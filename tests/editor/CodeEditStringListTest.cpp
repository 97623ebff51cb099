#include "editor/CodeEditStringList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plotalon;

namespace {

// Records every event of a list as text, e.g. "changing", "added 0", "changed".
struct TEventLog {
    explicit TEventLog(TCodeEditStringList& list) {
        list.OnLineAdded = [this](int i) { Events.push_back("added " + std::to_string(i)); };
        list.OnLinesCleared = [this] { Events.push_back("cleared"); };
        list.OnLineDeleted = [this](int i) { Events.push_back("deleted " + std::to_string(i)); };
        list.OnLineInserted = [this](int i) { Events.push_back("inserted " + std::to_string(i)); };
        list.OnLineReplaced = [this](int i) { Events.push_back("replaced " + std::to_string(i)); };
        list.OnChanging = [this] { Events.push_back("changing"); };
        list.OnChanged = [this] { Events.push_back("changed"); };
    }
    std::vector<std::string> Events;
};

std::vector<std::string> Lines(const TCodeEditStringList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.emplace_back(list.LineAt(std::size_t(i)));
    return out;
}

using Strings = std::vector<std::string>;

class CodeEditStringListTest : public ::testing::Test {
protected:
    void Fill(std::initializer_list<const char*> lines) {
        for (const char* l : lines)
            list_.AddLine(l);
    }
    TCodeEditStringList list_;
};

} // namespace

TEST_F(CodeEditStringListTest, NewListDefaults) {
    EXPECT_EQ(list_.Count(), 0);
    EXPECT_EQ(list_.LineBreakFormat(), TLineBreakFormat::CRLF);
    EXPECT_EQ(list_.TabWidth(), 8);
    EXPECT_EQ(list_.LongestLineLength(), 0);
}

TEST_F(CodeEditStringListTest, EachOperationReportsItsEventInsideOneUpdate) {
    TEventLog log(list_);
    EXPECT_EQ(list_.AddLine("a"), 0);
    list_.InsertLine(0, "b");
    list_.ReplaceLine(1, "c");
    list_.DeleteLine(0);
    list_.InsertLines(1, 2);
    list_.DeleteLines(0, 2);
    list_.ClearLines();
    list_.ClearLines(); // nothing left: no events
    EXPECT_EQ(log.Events,
              (Strings{"changing", "added 0",    "changed", "changing", "inserted 0", "changed",
                       "changing", "replaced 1", "changed", "changing", "deleted 0",  "changed",
                       "changing", "added 1",    "changed", "changing", "deleted 0",  "changed",
                       "changing", "cleared",    "changed"}));
}

TEST_F(CodeEditStringListTest, NestedUpdatesReportOnlyTheOuterPair) {
    TEventLog log(list_);
    list_.BeginUpdate();
    list_.AddLine("x");
    list_.BeginUpdate();
    list_.AddLine("y");
    list_.EndUpdate();
    EXPECT_EQ(list_.UpdateCount(), 1);
    list_.EndUpdate();
    EXPECT_EQ(log.Events, (Strings{"changing", "added 0", "added 1", "changed"}));
}

TEST_F(CodeEditStringListTest, RecordsOfNewAndChangedLines) {
    Fill({"one", "two"});
    EXPECT_EQ(list_.LineRange(0), kUnscannedRange);
    EXPECT_EQ(list_.LineFlags(0), kLineExpandedUnknown);
    list_.SetLineRange(0, 7);
    list_.SetObjectAt(0, 42);
    list_.ExpandedLength(0);
    list_.ReplaceLine(0, "uno");
    EXPECT_EQ(list_.LineRange(0), 7); // the range survives a replace
    EXPECT_EQ(list_.ObjectAt(0), 42);
    EXPECT_EQ(list_.LineFlags(0), kLineExpandedUnknown);
    list_.InsertLine(1, "new");
    EXPECT_EQ(list_.LineRange(1), kUnscannedRange);
    list_.InsertLines(0, 2);
    EXPECT_EQ(list_.LineRange(0), 0);
    EXPECT_EQ(list_.LineFlags(0), 0);
    EXPECT_EQ(list_.ExpandedLength(0), 0);
    EXPECT_EQ(Lines(list_), (Strings{"", "", "uno", "new", "two"}));
    // outside the list: neutral answers
    EXPECT_EQ(list_.LineAt(5), "");
    EXPECT_EQ(list_.LineAt(std::size_t(-1)), "");
    EXPECT_EQ(list_.ObjectAt(-1), 0);
    EXPECT_EQ(list_.LineRange(5), 0);
    EXPECT_EQ(list_.ExpandedLine(5), "");
}

TEST_F(CodeEditStringListTest, IndexErrorsChangeNothing) {
    Fill({"a", "b", "c"});
    TEventLog log(list_);
    struct Case {
        const char* what;
        std::function<void()> call;
        int index;
    };
    std::vector<Case> cases = {
        {"DeleteLine count", [&] { list_.DeleteLine(3); }, 3},
        {"DeleteLine -1", [&] { list_.DeleteLine(-1); }, -1},
        {"InsertLine count+1", [&] { list_.InsertLine(4, "x"); }, 4},
        {"InsertLine -1", [&] { list_.InsertLine(-1, "x"); }, -1},
        {"ReplaceLine count", [&] { list_.ReplaceLine(3, "x"); }, 3},
        {"SetObjectAt count", [&] { list_.SetObjectAt(3, 1); }, 3},
        {"SetLineRange -2", [&] { list_.SetLineRange(-2, 1); }, -2},
        {"DeleteLines count+1", [&] { list_.DeleteLines(4, 1); }, 4},
        {"InsertLines -1", [&] { list_.InsertLines(-1, 1); }, -1},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ECodeEditStringList& e) {
            EXPECT_EQ(e.Message(), "Invalid stringlist index " + std::to_string(c.index)) << c.what;
        }
    }
    EXPECT_EQ(Lines(list_), (Strings{"a", "b", "c"}));
    EXPECT_TRUE(log.Events.empty());
    EXPECT_EQ(list_.UpdateCount(), 0);
}

TEST_F(CodeEditStringListTest, DeleteLinesClipsAtTheEnd) {
    Fill({"a", "b", "c"});
    list_.DeleteLines(1, 2);
    EXPECT_EQ(Lines(list_), Strings{"a"});
    list_.AddLine("b");
    list_.AddLine("c");
    list_.DeleteLines(1, 5);
    EXPECT_EQ(Lines(list_), Strings{"a"});
    list_.DeleteLines(7, 0); // n <= 0: nothing, not even an index check
    list_.DeleteLines(1, 1); // index == count is allowed and removes nothing
    EXPECT_EQ(Lines(list_), Strings{"a"});
    list_.ClearLines();
    list_.DeleteLines(0, 3); // so on an empty list, which holds no records at all
    EXPECT_EQ(list_.Count(), 0);
}

TEST_F(CodeEditStringListTest, ReplaceOnEmptyListAppends) {
    TEventLog log(list_);
    list_.ReplaceLine(0, "first");
    EXPECT_EQ(Lines(list_), Strings{"first"});
    EXPECT_EQ(log.Events, (Strings{"changing", "added 0", "changed"}));
}

TEST_F(CodeEditStringListTest, CapacityGrowsBySixteenThenByAQuarter) {
    std::vector<int> seen;
    for (int i = 0; i < 200; ++i) {
        list_.AddLine("x");
        if (seen.empty() || seen.back() != list_.Capacity()) seen.push_back(list_.Capacity());
    }
    EXPECT_EQ(seen, (std::vector<int>{16, 32, 48, 64, 80, 100, 125, 156, 195, 243}));
}

TEST_F(CodeEditStringListTest, AppendLinesCopiesObjectsAndRoundsCapacity) {
    TCodeEditStringList other;
    for (int i = 0; i < 20; ++i)
        other.AddLine("l" + std::to_string(i));
    other.SetObjectAt(3, 99);
    list_.AddLine("own");
    TEventLog log(list_);
    list_.AppendLines(other);
    EXPECT_EQ(list_.Count(), 21);
    EXPECT_EQ(list_.Capacity(), 32);
    EXPECT_EQ(list_.LineAt(4), "l3");
    EXPECT_EQ(list_.ObjectAt(4), 99);
    EXPECT_EQ(log.Events, (Strings{"changing", "added 1", "changed"}));
    list_.AppendLines(list_); // appending itself doubles it
    EXPECT_EQ(list_.Count(), 42);
    EXPECT_EQ(list_.LineAt(41), "l19");
}

// Past a couple of megabytes of records the array moves into page blocks and grows there,
// and the texts into blocks of huge pages: every line must come through the moves, and
// edits in the middle must work on the moved array as on the small one.
TEST_F(CodeEditStringListTest, BigListsKeepEveryLineThroughTheirStorageMoves) {
    const int n = 300000; // records of about 7 MB: mapped, then grown twice
    const auto line = [](int i) {
        return "N" + std::to_string(i) + " G1 X" + std::to_string(i % 977);
    };
    for (int i = 0; i < n; ++i)
        list_.AddLine(line(i));
    list_.SetObjectAt(n - 1, 5);
    list_.InsertLine(n / 2, "\tinserted");
    list_.DeleteLines(10, 3);
    list_.ReplaceLine(0, std::string(5000, 'r'));
    list_.AppendLines(list_);

    ASSERT_EQ(list_.Count(), 2 * (n - 2));
    const int half = n - 2;
    for (int copy = 0; copy < 2; ++copy) {
        const int at = copy * half;
        EXPECT_EQ(list_.LineAt(std::size_t(at)), std::string(5000, 'r'));
        EXPECT_EQ(list_.LineAt(std::size_t(at + 9)), line(9));
        EXPECT_EQ(list_.LineAt(std::size_t(at + 10)), line(13));
        EXPECT_EQ(list_.LineAt(std::size_t(at + n / 2 - 3)), "\tinserted");
        EXPECT_EQ(list_.LineAt(std::size_t(at + n / 2 - 2)), line(n / 2));
        EXPECT_EQ(list_.LineAt(std::size_t(at + half - 1)), line(n - 1));
        EXPECT_EQ(list_.ObjectAt(at + half - 1), 5);
    }
    EXPECT_EQ(list_.LongestLineLength(), 5000);

    TCodeEditStringList other;
    other.AdoptLines(list_);
    EXPECT_EQ(other.Count(), 2 * half);
    EXPECT_EQ(list_.Count(), 0);
    other.ClearLines();
    other.AddLine("again small");
    EXPECT_EQ(Lines(other), Strings{"again small"});
}

TEST_F(CodeEditStringListTest, AdoptLinesSwapsTheStorageInOneStep) {
    Fill({"old 1", "old 2"});
    list_.SetObjectAt(1, 7);
    TCodeEditStringList built;
    built.SetLineBreakFormat(TLineBreakFormat::LF);
    for (int i = 0; i < 100; ++i)
        built.AddLine("\tline " + std::to_string(i));
    built.SetLineRange(99, 5);
    built.SetObjectAt(2, 42);
    EXPECT_EQ(built.LongestLineLength(), 15); // measured with the same tab width
    const std::string_view text = built.LineAt(50);

    TEventLog log(list_);
    TEventLog builtLog(built);
    list_.AdoptLines(built);
    EXPECT_EQ(log.Events, (Strings{"changing", "cleared", "added 0", "changed"}));
    EXPECT_TRUE(builtLog.Events.empty());
    ASSERT_EQ(list_.Count(), 100);
    EXPECT_EQ(list_.LineAt(50).data(), text.data()); // not one line copied
    EXPECT_EQ(list_.LineRange(99), 5);
    EXPECT_EQ(list_.ObjectAt(2), 42);
    EXPECT_EQ(list_.LineBreakFormat(), TLineBreakFormat::LF);
    EXPECT_EQ(list_.LongestLineLength(), 15);
    // The former lines went the other way.
    EXPECT_EQ(Lines(built), (Strings{"old 1", "old 2"}));
    EXPECT_EQ(built.ObjectAt(1), 7);
    EXPECT_EQ(built.LineBreakFormat(), TLineBreakFormat::CRLF);

    // An empty list adopted: cleared only; adopted into an empty list: added only; itself:
    // nothing.
    TCodeEditStringList empty;
    log.Events.clear();
    list_.AdoptLines(empty);
    list_.AdoptLines(list_);
    list_.AdoptLines(empty);
    EXPECT_EQ(log.Events,
              (Strings{"changing", "cleared", "changed", "changing", "added 0", "changed"}));
    EXPECT_EQ(list_.Count(), 100);
}

TEST_F(CodeEditStringListTest, AdoptedLinesFollowTheTabWidthOfTheirNewList) {
    TCodeEditStringList built;
    built.SetTabWidth(2);
    built.AddLine("\tx");
    built.AddLine("abcde");
    EXPECT_EQ(built.LongestLineLength(), 5);
    Fill({"a\tb"});
    list_.AdoptLines(built);
    EXPECT_EQ(list_.TabWidth(), 8);
    EXPECT_EQ(list_.ExpandedLength(0), 9);
    EXPECT_EQ(list_.LongestLineLength(), 9);
    EXPECT_EQ(built.TabWidth(), 2);
    EXPECT_EQ(built.ExpandedLength(0), 3);
}

TEST_F(CodeEditStringListTest, TabExpansion) {
    struct Case {
        const char* text;
        int width;
        const char* expanded;
    };
    const Case cases[] = {
        {"abc\tx", 8, "abc     x"}, {"\tx", 8, "        x"},  {"abcde\t", 8, "abcde   "},
        {"abc\tx", 1, "abc x"},     {"abc\tx", 0, "abc x"},   {"abcd\tx", 3, "abcd  x"},
        {"a\t\tb", 4, "a       b"}, {"a\tb", 65536, nullptr}, {"", 8, ""},
        {"plain", 8, "plain"},
    };
    for (const Case& c : cases) {
        TCodeEditStringList list;
        list.SetTabWidth(c.width);
        list.AddLine(c.text);
        std::string expanded = list.ExpandedLine(0);
        if (c.expanded)
            EXPECT_EQ(expanded, c.expanded) << c.text << " / " << c.width;
        else
            EXPECT_EQ(expanded.size(), 65536u + 1);
        EXPECT_EQ(list.ExpandedLength(0), int(expanded.size()));
        bool hasTab = std::string_view(c.text).find('\t') != std::string_view::npos;
        EXPECT_EQ(list.LineFlags(0), hasTab ? kLineHasTabs : kLineHasNoTabs) << c.text;
    }
}

TEST_F(CodeEditStringListTest, LongestLineFollowsEditsAndTabWidth) {
    Fill({"12345", "\t", "1234"});
    EXPECT_EQ(list_.LongestLineLength(), 8);
    list_.SetTabWidth(2);
    EXPECT_EQ(list_.LongestLineLength(), 5);
    list_.ReplaceLine(2, "1234567");
    EXPECT_EQ(list_.LongestLineLength(), 7);
    list_.DeleteLine(2);
    EXPECT_EQ(list_.LongestLineLength(), 5);
}

TEST_F(CodeEditStringListTest, ServesAsTheEngineSeams) {
    ILineSink& sink = list_;
    sink.AppendLine("PU");
    sink.AppendLine(std::string(5000, 'x')); // longer than a shared text block slot
    const ILineSource& source = list_;
    ASSERT_EQ(source.LineCount(), 2u);
    EXPECT_EQ(source.LineAt(0), "PU");
    EXPECT_EQ(source.LineAt(1).size(), 5000u);
}

TEST_F(CodeEditStringListTest, FailingEventHandlerStillClosesTheUpdate) {
    list_.OnLineAdded = [](int) { throw Exception("boom"); };
    EXPECT_THROW(list_.AddLine("a"), Exception);
    EXPECT_EQ(list_.UpdateCount(), 0);
    EXPECT_EQ(list_.Count(), 1);
}
