// The origins of a text's lines follow every change of its line list. Each line's text tells
// the origin the table must give for it ("o12": line 12, anything else: none; an edited line
// "o12x" has none), so after any sequence of changes table and text can be compared line by
// line.
#include "editor/CodeEditLineOrigins.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>

namespace plotalon {
namespace {

std::optional<int> OriginWritten(std::string_view text) {
    if (text.size() < 2 || text[0] != 'o' || text.back() == 'x') return std::nullopt;
    return std::stoi(std::string(text.substr(1)));
}

// A text with its origins, kept in step as the window keeps Ziel's.
struct TTracedText {
    TTracedText() {
        using K = TLineChange;
        auto follow = [this](K::TKind kind) {
            return [this, kind](int index) { Origins.Follow({kind, index, List.Count()}); };
        };
        List.OnLineAdded = follow(K::Added);
        List.OnLineInserted = follow(K::Inserted);
        List.OnLineDeleted = follow(K::Deleted);
        List.OnLineReplaced = follow(K::Replaced);
        List.OnLinesCleared = [this] { Origins.Follow({K::Cleared, 0, List.Count()}); };
    }
    // A text built apart, with origins for some lines, adopted with its table.
    void Adopt(int lines, std::mt19937& random) {
        TCodeEditStringList built;
        TCodeEditLineOrigins origins;
        for (int i = 0; i < lines; ++i) {
            const bool own = random() % 4 == 0; // a prefix or suffix line
            built.AddLine(own ? "IN;" : "o" + std::to_string(i / 3));
            origins.Append(own ? std::nullopt : std::optional<std::size_t>(i / 3));
        }
        List.AdoptLines(built);
        Origins = std::move(origins);
        Highest = lines / 3;
    }
    // Both ways: the origin of every line, and the lines of every origin (as the lines'
    // texts tell them, gathered line by line).
    ::testing::AssertionResult Agrees() const {
        std::map<int, std::vector<TLineSpan>> spans;
        for (int i = -1; i <= List.Count(); ++i) {
            const std::optional<int> origin = OriginWritten(List.LineAt(std::size_t(i)));
            if (Origins.OriginOf(i) != origin)
                return ::testing::AssertionFailure() << "line " << i << " of " << List.Count();
            if (!origin) continue;
            std::vector<TLineSpan>& of = spans[*origin];
            if (!of.empty() && of.back().Last + 1 == i)
                ++of.back().Last;
            else
                of.push_back({i, i});
        }
        for (int origin = -1; origin <= Highest + 1; ++origin)
            if (Origins.LinesFrom(origin) != spans[origin])
                return ::testing::AssertionFailure() << "lines from " << origin;
        return ::testing::AssertionSuccess();
    }

    TCodeEditStringList List;
    TCodeEditLineOrigins Origins;
    int Highest = 0; // beyond every origin adopted
};

TEST(CodeEditLineOrigins, FollowEveryKindOfChange) {
    std::mt19937 random(18);
    TTracedText text;
    text.Adopt(40, random);
    ASSERT_TRUE(text.Agrees());
    for (int step = 0; step < 3000; ++step) {
        TCodeEditStringList& list = text.List;
        const int count = list.Count();
        const int at = count == 0 ? 0 : int(random() % std::uint32_t(count));
        const int n = 1 + int(random() % 5);
        switch (random() % 10) {
        case 0:
            list.AddLine("x");
            break;
        case 1:
            list.InsertLine(int(random() % std::uint32_t(count + 1)), "x");
            break;
        case 2:
            if (count > 0) list.DeleteLine(at);
            break;
        case 3:
            list.DeleteLines(at, n);
            break;
        case 4:
            list.InsertLines(at, n);
            break;
        case 5:
            if (count > 0) list.ReplaceLine(at, std::string(list.LineAt(std::size_t(at))) + "x");
            break;
        case 6: {
            TCodeEditStringList more;
            for (int i = 0; i < n; ++i)
                more.AddLine("x");
            list.AppendLines(more);
            break;
        }
        case 7:
            if (random() % 20 == 0) list.ClearLines();
            break;
        case 8:
            if (random() % 20 == 0) text.Adopt(int(random() % 60), random);
            break;
        default:
            if (count > 0) list.ReplaceLine(at, "x");
            break;
        }
        ASSERT_TRUE(text.Agrees()) << "step " << step;
    }
}

// A table appended out of order (no run does that) still finds every line of an origin.
TEST(CodeEditLineOrigins, LinesFromAnOriginAppendedOutOfOrder) {
    TCodeEditLineOrigins origins;
    for (const std::optional<std::size_t> origin :
         {std::optional<std::size_t>(4), std::optional<std::size_t>(2),
          std::optional<std::size_t>(4), std::optional<std::size_t>(),
          std::optional<std::size_t>(4)})
        origins.Append(origin);
    EXPECT_EQ(origins.LinesFrom(4), (std::vector<TLineSpan>{{0, 0}, {2, 2}, {4, 4}}));
    EXPECT_EQ(origins.LinesFrom(2), (std::vector<TLineSpan>{{1, 1}}));
    EXPECT_TRUE(origins.LinesFrom(3).empty());
    EXPECT_TRUE(origins.LinesFrom(-1).empty());
}

TEST(CodeEditLineOrigins, AnOriginBeyondFourBytesIsNone) {
    TCodeEditLineOrigins origins;
    origins.Append(std::size_t(7));
    origins.Append(std::size_t(0xFFFFFFFFull));
    origins.Append(std::nullopt);
    EXPECT_EQ(origins.OriginOf(0), 7);
    EXPECT_EQ(origins.OriginOf(1), std::nullopt);
    EXPECT_EQ(origins.OriginOf(2), std::nullopt);
}

} // namespace
} // namespace plotalon
