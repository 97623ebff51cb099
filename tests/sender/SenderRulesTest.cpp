#include "platform/Errors.h"
#include "sender/HpglRange.h"
#include "sender/PlotterSettings.h"
#include "sender/SendProgress.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(RangeCheck, NamesTheFirstLineWithANumberOutsideTheRange) {
    const struct {
        std::vector<std::string> lines;
        std::optional<std::size_t> line;
        const char* number;
    } cases[] = {
        {{"IN;", "PU0,0;", "PD32767,-32768;"}, std::nullopt, ""},
        {{"PU0,0;", "PA32768,0;", "PA99999,0;"}, 1, "32768"},
        {{"PA-32769,0;"}, 0, "-32769"},
        {{"PA10,20,30,32767.5;"}, 0, "32767.5"}, // a fraction beyond the bound
        {{"PA +40000 , 0"}, 0, "+40000"},        // blanks and a sign
        {{"AT1,1,2,2,123456789012345678901234567890;"}, 0, "123456789012345678901234567890"},
        {{"LB99999", "99999\x03", "PA1,1;"}, std::nullopt, ""}, // a label over two lines
        {{"DT#;", "LB40000#PA40000;"}, 1, "40000"},             // DT sets the label's end
        {{"PE<=40000;", "PA5,5;"}, std::nullopt, ""},           // encoded polyline data
        {{"\x1b.@40000;0:", "\x1b.B"}, std::nullopt, ""},       // device control
        {{"SP1;PA1,2;PD-.5;pa70000,1;"}, 0, "70000"},           // several per line, lower case
    };
    for (const auto& c : cases) {
        const TLineVector lines(c.lines);
        const std::optional<TRangeViolation> found = FindOutOfRange(lines, -32768, 32767);
        ASSERT_EQ(found.has_value(), c.line.has_value()) << c.lines.back();
        if (!found) continue;
        EXPECT_EQ(found->Line, *c.line) << c.lines.back();
        EXPECT_EQ(found->Number, c.number);
    }
    // A narrower range set for a smaller plotter.
    EXPECT_EQ(FindOutOfRange(TLineVector{"PA0,0;", "PA10300,0;"}, 0, 10300), std::nullopt);
    EXPECT_EQ(FindOutOfRange(TLineVector{"PA0,-1;"}, 0, 10300)->Number, "-1");
}

TEST(RangeCheck, TextLinesAndTheMessage) {
    const std::string text = "IN;\r\nPA1,1;\nPA1,40000;\r\n";
    const std::optional<TRangeViolation> found = FindOutOfRangeInText(text, -32768, 32767);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Line, 2u);
    EXPECT_EQ(LineOfText(text, 2), "PA1,40000;");
    EXPECT_EQ(DescribeViolation(*found, LineOfText(text, 2), -32768, 32767),
              "Zeile 3 liegt außerhalb des Plotterbereichs -32768 bis 32767: PA1,40000;");
    const std::string longLine = "PA" + std::string(70, '1') + ";";
    EXPECT_EQ(DescribeViolation({0, ""}, longLine, 0, 1).size(),
              std::string("Zeile 1 liegt außerhalb des Plotterbereichs 0 bis 1: ").size() + 63);
}

TEST(SetUpString, EscapesAndWhatIsNotOne) {
    EXPECT_EQ(DecodeEscapes(R"(\e.@1024;0:)"), "\x1b.@1024;0:");
    EXPECT_EQ(DecodeEscapes(R"(IN;\r\n\t\\\x1B\x7f)"), "IN;\r\n\t\\\x1b\x7f");
    EXPECT_EQ(DecodeEscapes(""), "");
    for (const char* bad : {R"(\q)", R"(abc\)", R"(\x4)", R"(\xZZ)"}) {
        try {
            DecodeEscapes(bad);
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().starts_with("Ungültige Angabe im Set-up-String: ")) << bad;
        }
    }
}

TEST(LineOptions, WordsAndNumbersOfTheCommandLine) {
    TLineSettings line;
    EXPECT_TRUE(ApplyLineOption("--baud", "4800", line));
    EXPECT_TRUE(ApplyLineOption("--bits", "7", line));
    EXPECT_TRUE(ApplyLineOption("--parity", "even", line));
    EXPECT_TRUE(ApplyLineOption("--stop", "2", line));
    EXPECT_TRUE(ApplyLineOption("--handshake", "query", line));
    EXPECT_FALSE(ApplyLineOption("--block", "12", line));
    EXPECT_EQ(line.Baud, 4800);
    EXPECT_EQ(line.Handshake, THandshake::Query);
    EXPECT_DOUBLE_EQ(line.CharsPerSecond(), 4800.0 / 11); // start, 7 data, parity, 2 stop
    for (auto [option, value] : {std::pair{"--bits", "9"},
                                 {"--stop", "3"},
                                 {"--baud", "-1"},
                                 {"--parity", "mark"},
                                 {"--handshake", "dtr"},
                                 {"--baud", "96OO"}})
        EXPECT_THROW(ApplyLineOption(option, value, line), Exception) << option << " " << value;
}

TEST(Progress, DurationsAndTheEstimate) {
    EXPECT_EQ(FormatDuration(0), "0:00");
    EXPECT_EQ(FormatDuration(7.9), "0:07");
    EXPECT_EQ(FormatDuration(754), "12:34");
    EXPECT_EQ(FormatDuration(3723), "1:02:03");
    EXPECT_EQ(FormatDuration(-5), "0:00");
    TSendStatus status;
    status.Total = 1000;
    EXPECT_FALSE(status.Remaining());
    status.Sent = 250;
    status.Elapsed = 10;
    EXPECT_DOUBLE_EQ(*status.Remaining(), 30);
}

} // namespace
} // namespace plotalon
