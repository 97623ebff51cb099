#include "editor/ncSyn.h"

#include <gtest/gtest.h>

#include <random>

using namespace plotalon;

namespace {

struct TToken {
    std::string Text;
    int Start;
    int Kind;
    bool operator==(const TToken&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TToken& t) {
    return os << "{'" << t.Text << "' " << t.Start << " kind " << t.Kind << "}";
}

std::vector<TToken> Tokens(TNCSyn& syn, std::string_view line) {
    std::vector<TToken> out;
    for (syn.BeginLine(line, 0); !syn.AtLineEnd(); syn.NextToken())
        out.push_back({syn.TokenText(), syn.TokenStart(), syn.TokenKind()});
    return out;
}

} // namespace

TEST(NCSynTest, WorkedExampleLine) {
    TNCSyn syn;
    std::string line = "N10 G01 X-12.5 Y3,2 (Kontur) ; f200)";
    ASSERT_EQ(line.size(), 36u);
    struct Row {
        const char* text;
        int start;
        int kind;
        TCodeHighlighterAttributes* attr;
    };
    const Row rows[] = {
        {"N", 0, tkLabel, syn.LabelAttri()},
        {"10", 1, tkNumber, syn.NumberAttri()},
        {" ", 3, tkSpace, syn.SpaceAttri()},
        {"G", 4, tkLabel, syn.LabelAttri()},
        {"01", 5, tkNumber, syn.NumberAttri()},
        {" ", 7, tkSpace, syn.SpaceAttri()},
        {"X", 8, tkLabel, syn.LabelAttri()},
        {"-12.5", 9, tkNumber, syn.NumberAttri()},
        {" ", 14, tkSpace, syn.SpaceAttri()},
        {"Y", 15, tkLabel, syn.LabelAttri()},
        {"3,2", 16, tkNumber, syn.NumberAttri()},
        {" ", 19, tkSpace, syn.SpaceAttri()},
        {"(Kontur)", 20, tkComment, syn.CommentAttri()},
        {" ", 28, tkSpace, syn.SpaceAttri()},
        {";", 29, tkOther, syn.IdentifierAttri()},
        {" ", 30, tkSpace, syn.SpaceAttri()},
        {"f", 31, tkOther, syn.IdentifierAttri()},
        {"200", 32, tkNumber, syn.NumberAttri()},
        {")", 35, tkSymbol, nullptr},
    };
    syn.BeginLine(line, 0);
    for (const Row& row : rows) {
        ASSERT_FALSE(syn.AtLineEnd()) << row.text;
        EXPECT_EQ(syn.TokenText(), row.text);
        EXPECT_EQ(syn.TokenStart(), row.start) << row.text;
        EXPECT_EQ(syn.TokenKind(), row.kind) << row.text;
        EXPECT_EQ(syn.TokenAttribute(), row.attr) << row.text;
        syn.NextToken();
    }
    EXPECT_TRUE(syn.AtLineEnd());
    EXPECT_EQ(syn.TokenStart(), 36);
    EXPECT_EQ(syn.TokenText(), "");
    EXPECT_EQ(syn.TokenAttribute(), nullptr);
    syn.NextToken(); // the line end repeats in place
    EXPECT_TRUE(syn.AtLineEnd());
    EXPECT_EQ(syn.TokenStart(), 36);
}

TEST(NCSynTest, EdgeCaseLines) {
    TNCSyn syn;
    struct Case {
        std::string line;
        std::vector<TToken> tokens;
    };
    const Case cases[] = {
        {"", {}},
        {"(open", {{"(open", 0, tkComment}}},
        {"(A(B)C)", {{"(A(B)", 0, tkComment}, {"C", 5, tkLabel}, {")", 6, tkSymbol}}},
        {")", {{")", 0, tkSymbol}}},
        {"g1x5", {{"g", 0, tkOther}, {"1", 1, tkNumber}, {"x", 2, tkOther}, {"5", 3, tkNumber}}},
        {"N0010", {{"N", 0, tkLabel}, {"0010", 1, tkNumber}}},
        {"X.5", {{"X", 0, tkLabel}, {".5", 1, tkNumber}}},
        {"X-", {{"X", 0, tkLabel}, {"-", 1, tkNumber}}},
        {"1,5 1.2.3 --",
         {{"1,5", 0, tkNumber},
          {" ", 3, tkSpace},
          {"1.2.3", 4, tkNumber},
          {" ", 9, tkSpace},
          {"--", 10, tkNumber}}},
        {"1E5", {{"1", 0, tkNumber}, {"E", 1, tkLabel}, {"5", 2, tkNumber}}},
        {"/N10", {{"/", 0, tkOther}, {"N", 1, tkLabel}, {"10", 2, tkNumber}}},
        {"  \tX", {{"  \t", 0, tkSpace}, {"X", 3, tkLabel}}},
        {"GOTO", {{"G", 0, tkLabel}, {"O", 1, tkLabel}, {"T", 2, tkLabel}, {"O", 3, tkLabel}}},
        {"\xc4\xff", {{"\xc4", 0, tkOther}, {"\xff", 1, tkOther}}},
        {"A\r\nB\rC\n",
         {{"A", 0, tkLabel},
          {"\r\n", 1, tkSpace},
          {"B", 3, tkLabel},
          {"\r", 4, tkSpace},
          {"C", 5, tkLabel},
          {"\n", 6, tkSpace}}},
        {" \r", {{" ", 0, tkSpace}, {"\r", 1, tkSpace}}},
        {"(a\rb)",
         {{"(a", 0, tkComment}, {"\r", 2, tkSpace}, {"b", 3, tkOther}, {")", 4, tkSymbol}}},
        {std::string("X1\0Y2", 5), {{"X", 0, tkLabel}, {"1", 1, tkNumber}}},
        {std::string("(c\0)", 4), {{"(c", 0, tkComment}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Tokens(syn, c.line), c.tokens) << testing::PrintToString(c.line);
    EXPECT_EQ(syn.RangeState(), 0);
}

TEST(NCSynTest, AttributesAndDefaults) {
    TNCSyn syn;
    struct Row {
        const char* name;
        TCodeHighlighterAttributes* attr;
        TColor fg;
        TFontStyles style;
    };
    const Row rows[] = {
        {"Comment", syn.CommentAttri(), clGray, fsBold | fsItalic},
        {"Identifier", syn.IdentifierAttri(), clGray, fsBold | fsItalic},
        {"Key", syn.KeyAttri(), clLime, 0},
        {"Label", syn.LabelAttri(), clRed, fsBold},
        {"Marker", syn.SatzAttri(), clGray, fsItalic},
        {"Number", syn.NumberAttri(), clNavy, fsBold},
        {"Space", syn.SpaceAttri(), clNone, 0},
        {"Symbol", syn.SymbolAttri(), clLime, 0},
    };
    ASSERT_EQ(syn.AttributeCount(), 8);
    for (int i = 0; i < 8; ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(syn.AttributeAt(i), row.attr) << row.name; // enumerated in name order
        EXPECT_EQ(row.attr->Name(), row.name);
        EXPECT_EQ(row.attr->Foreground(), row.fg) << row.name;
        EXPECT_EQ(row.attr->Background(), clNone) << row.name;
        EXPECT_EQ(row.attr->Style(), row.style) << row.name;
        EXPECT_FALSE(row.attr->IsForegroundStored() || row.attr->IsStyleStored());
    }
    EXPECT_EQ(syn.DefaultAttribute(daComment), syn.CommentAttri());
    EXPECT_EQ(syn.DefaultAttribute(daKeyword), syn.KeyAttri());
    EXPECT_EQ(syn.DefaultAttribute(daWhitespace), syn.SpaceAttri());
    for (int i : {-1, 1, 3, 5})
        EXPECT_EQ(syn.DefaultAttribute(i), nullptr) << i;
    EXPECT_EQ(syn.LanguageName(), "NC");
    EXPECT_EQ(syn.DefaultFilter(), "All files (*.*)|*.*");
    EXPECT_EQ(syn.SampleSource(), "");
    TCharSet ident = syn.IdentifierChars();
    EXPECT_EQ(ident.count(), 63u);
    EXPECT_TRUE(ident.test('_') && ident.test('a') && ident.test('Z') && ident.test('7'));
    EXPECT_FALSE(ident.test('-') || ident.test(0xC4));
}

TEST(NCSynTest, AttributeChangeReachesListeners) {
    TNCSyn syn;
    int calls = 0;
    struct TCounter {
        int* Calls;
        void Changed(TCodeCustomHighlighter*) { ++*Calls; }
    } counter{&calls};
    syn.HookAttributeChange(TNotifyEvent::Of<&TCounter::Changed>(&counter));
    syn.KeyAttri()->SetForeground(clRed);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(syn.KeyAttri()->IsForegroundStored());
}

TEST(NCSynTest, RangeIsZeroUnlessTheCallerSetsIt) {
    TNCSyn syn;
    for (const char* line : {"(open", "N1 G1", ""}) {
        syn.BeginLine(line, 0);
        syn.ScanToLineEnd();
    }
    EXPECT_EQ(syn.RangeState(), 0);
    syn.SetRangeState(5);
    Tokens(syn, "X1");
    EXPECT_EQ(syn.RangeState(), 5);
    syn.ResetRangeState();
    EXPECT_EQ(syn.RangeState(), 0);
}

TEST(NCSynTest, RandomBytesAreCoveredByTokensWithoutGaps) {
    TNCSyn syn;
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::string line(random() % 3000, '\0');
        for (char& b : line)
            b = char(1 + random() % 255); // 0 bytes come separately
        if (round % 10 == 0 && !line.empty()) line[random() % line.size()] = '\0';
        std::size_t end = line.find('\0');
        if (end == std::string::npos) end = line.size();
        std::size_t covered = 0;
        for (syn.BeginLine(line, round); !syn.AtLineEnd(); syn.NextToken()) {
            ASSERT_EQ(std::size_t(syn.TokenStart()), covered);
            std::string text = syn.TokenText();
            ASSERT_FALSE(text.empty());
            covered += text.size();
            ASSERT_LE(covered, end);
        }
        EXPECT_EQ(covered, end);
    }
}
