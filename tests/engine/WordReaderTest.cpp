#include <cmath>
#include <gtest/gtest.h>
#include <string>

#include "engine/WordReader.h"

using plotalon::ReadWordValue;

namespace {

struct WordCase {
    const char* line;
    char letter;
    long double expected;
};

const WordCase kCases[] = {
    {"G1 X10.5 Y-3", 'X', 10.5L},
    {"G1 X10.5 Y-3", 'Y', -3},
    {"G1 X 12 Y4", 'X', 12},        // the blank after the letter is taken and removed
    {"X1 2.5", 'X', 12.5L},         // inner blanks are removed
    {"G0 X10 X20", 'X', 10},        // only the first occurrence counts
    {"G0 X", 'X', 0},               // letter is the last character
    {"G0 XY5", 'X', 0},             // nothing collected
    {"G0 X Y5", 'X', 0},            // only a blank collected
    {"X5-", 'X', 5},                // stops at "-" with the digits so far
    {"X-1.25.3", 'X', 125},         // second "." gives the digits without sign and point
    {"X-", 'X', 0},
    {"X+5", 'X', 0},                // "+" ends the value at once
    {"x10", 'X', 0},                // lower case is not found
    {"(MAX) G1 X5", 'X', 0},        // the X inside the comment is the first occurrence
    {"X.", 'X', 0},
    {"X-.", 'X', 0},
    {"X5.", 'X', 5},
    {"X.5", 'X', 0.5L},
    {"X--5", 'X', 0},
    {"X0.001", 'X', 0.001L},
    {"X-0.125", 'X', -0.125L},
};

TEST(ReadWordValue, ReadsTheFirstWordOfTheLetterAsWrittenInTheLine) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ReadWordValue(c.letter, c.line), c.expected);
    }
}

TEST(ReadWordValue, AccumulatesAllDigitsBeforeScalingDown) {
    // 0.1 formed as 1 / 10 in extended precision, not as a double literal.
    EXPECT_EQ(ReadWordValue('X', "X0.1"), 1.0L / 10);
    EXPECT_EQ(ReadWordValue('X', "X123.456"), 123456.0L / 1000);
}

TEST(ReadWordValue, HugeNumbersNeverFailHere) {
    const std::string digits(5000, '9');
    EXPECT_TRUE(std::isinf(ReadWordValue('X', "X" + digits)));
    EXPECT_FALSE(std::isfinite(ReadWordValue('X', "X" + digits + "." + digits)));
    EXPECT_EQ(ReadWordValue('X', "X0." + std::string(5000, '0')), 0);
}

} // namespace
