#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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
    {"G1 X 12 Y4", 'X', 12}, // the blank after the letter is taken and removed
    {"X1 2.5", 'X', 12.5L},  // inner blanks are removed
    {"G0 X10 X20", 'X', 10}, // only the first occurrence counts
    {"G0 X", 'X', 0},        // letter is the last character
    {"G0 XY5", 'X', 0},      // nothing collected
    {"G0 X Y5", 'X', 0},     // only a blank collected
    {"X5-", 'X', 5},         // stops at "-" with the digits so far
    {"X-1.25.3", 'X', 125},  // second "." gives the digits without sign and point
    {"X-", 'X', 0},
    {"X+5", 'X', 0},         // "+" ends the value at once
    {"x10", 'X', 0},         // lower case is not found
    {"(MAX) G1 X5", 'X', 0}, // the X inside the comment is the first occurrence
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

// The rule as written, step by step: collect, drop the blanks, accumulate every digit in
// extended precision, divide once. The reader takes shortcuts (one pass, a 64-bit integer
// while the digits fit it); its values must be the same bits.
long double ByTheRule(char letter, std::string_view line) {
    const std::size_t at = line.find(letter);
    if (at == std::string_view::npos || at + 1 >= line.size()) return 0;
    std::string text;
    for (std::size_t i = at + 1;
         i < line.size() &&
         std::string_view(" -.0123456789").find(line[i]) != std::string_view::npos;
         ++i)
        if (line[i] != ' ') text += line[i];
    const bool negative = !text.empty() && text[0] == '-';
    if (negative && text.size() == 1) return 0;
    long double digits = 0;
    int fraction = 0;
    bool point = false;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits = digits * 10 + (text[i] - '0');
            if (point) ++fraction;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return digits;
        }
    }
    long double power = 1;
    if (fraction < 28) {
        for (int k = 0; k < fraction; ++k)
            power *= 10;
    } else {
        power = std::pow(10.0L, static_cast<long double>(fraction));
    }
    const long double value = digits / power;
    return negative ? -value : value;
}

bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0; // sign, exponent and the 64-bit significand
}

TEST(ReadWordValue, GivesTheBitsOfTheRuleForEveryDigitCount) {
    std::vector<std::string> lines;
    // 1 to 45 digits, the point at every place, with a sign, and behind as many nines and a
    // point: across the 19 digits a 64-bit integer holds, the 27 decimals whose powers of ten
    // are exact, and numbers that a second point stops.
    for (int count = 1; count <= 45; ++count) {
        std::string digits;
        for (int k = 0; k < count; ++k)
            digits += static_cast<char>('1' + (k * 7 + count) % 9);
        for (int point = 0; point <= count; ++point) {
            std::string number = digits;
            if (point < count) number.insert(static_cast<std::size_t>(point), ".");
            lines.push_back("G1 X" + number + " Y1");
            lines.push_back("X-" + number);
            lines.push_back("X" + std::string(static_cast<std::size_t>(count), '9') + "." + number);
        }
    }
    // Random texts of digits, blanks, signs, points and other characters.
    std::mt19937_64 random(18);
    const std::string_view alphabet = "0123456789  --..+XYG9990";
    for (int n = 0; n < 200000; ++n) {
        std::string line = "X";
        const std::size_t size = random() % 48;
        for (std::size_t k = 0; k < size; ++k)
            line += alphabet[random() % alphabet.size()];
        lines.push_back(line);
    }
    for (const std::string& line : lines)
        ASSERT_TRUE(SameBits(ReadWordValue('X', line), ByTheRule('X', line))) << line;
}

} // namespace
