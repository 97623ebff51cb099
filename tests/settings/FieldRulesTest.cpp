#include "settings/FieldRules.h"

#include <gtest/gtest.h>

#include <string>

namespace plotalon {
namespace {

TEST(FieldNumber, SyntaxOfTheDialogFields) {
    struct Case {
        const char* text;
        bool valid;
        long double value;
    } cases[] = {
        {"1000", true, 1000},    {"  -12.5", true, -12.5L},
        {"+7", true, 7},         {".", true, 0},
        {"-.", true, 0},         {"5.", true, 5},
        {".5", true, 0.5L},      {"1e3", true, 1000},
        {"2.5E-1", true, 0.25L}, {"1E+2", true, 100},
        {"E5", true, 0}, // an empty mantissa is zero
        {"1e-99999", true, 0},   {"", false, 0},
        {"   ", false, 0},       {"-", false, 0},
        {"+", false, 0},         {"12 ", false, 0}, // nothing may follow, not even a blank
        {"1,5", false, 0},                          // the separator is always "."
        {"1.2.3", false, 0},     {"1e", false, 0},
        {"1e+", false, 0},       {"--1", false, 0},
        {"0x10", false, 0}, // no hexadecimal text
        {"abc", false, 0},       {"\t5", false, 0},
        {"1e99999", false, 0}, // beyond long double: nothing could format it
    };
    for (const Case& c : cases) {
        const std::optional<long double> read = ParseFieldNumber(c.text);
        EXPECT_EQ(read.has_value(), c.valid) << '"' << c.text << '"';
        if (read && c.valid) {
            EXPECT_EQ(*read, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(FieldNumber, LongNumbersAreFormattedWithEveryDigit) {
    // 2 to the power of 100: exact in long double, far wider than any field.
    const char* exact = "1267650600228229401496703205376";
    EXPECT_EQ(FormatStepped(*ParseFieldNumber(exact), 5), exact);
    const std::string huge = FormatStepped(*ParseFieldNumber("1e4000"), 5);
    EXPECT_EQ(huge.size(), 4000u); // the nearest long double lies just below 10^4000
    EXPECT_EQ(huge.find_first_not_of("0123456789"), std::string::npos);
}

TEST(FieldSteppers, StepRoundAndRightAlign) {
    struct Case {
        const char* name;
        const TStepper& stepper;
        const char* before;
        const char* after; // nullptr: the field stays unchanged
    } cases[] = {
        {"FPlus on 1000", kFactorPlus, "1000", " 1010"},
        {"FMinus on 15", kFactorMinus, "15", "    5"},
        {"FMinus on 10 (bound)", kFactorMinus, "10", "   10"},
        {"FMinus on 5 (below bound)", kFactorMinus, "5", "    5"},
        {"XMinus on 0", kOriginMinus, "0", "  -10"},
        {"XPlus on 12.5", kOriginPlus, "12.5", "   23"},
        {"XPlus on -12.5 (half away from zero)", kOriginPlus, "-12.5", "   -3"},
        {"XPlus on -10.4 (no -0)", kOriginPlus, "-10.4", "    0"},
        {"XPlus on a long number", kOriginPlus, "1234567", "1234577"},
        {"GPlus on 360", kDegreesPlus, "360", "360"},
        {"GMinus on 1", kDegreesMinus, "1", "  1"},
        {"GPlus on 359.6", kDegreesPlus, "359.6", "361"},
        {"GMinus on 1.5", kDegreesMinus, "1.5", "  1"},
        {"invalid text", kFactorPlus, "abc", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> after = StepFieldText(c.before, c.stepper);
        EXPECT_EQ(after.value_or("<unchanged>"), c.after ? c.after : "<unchanged>") << c.name;
    }
}

TEST(FieldValidators, InvalidTextIsReplacedValidTextStaysAsTyped) {
    struct Case {
        const TValidator& validator;
        const char* text;
        const char* result;
    } cases[] = {
        {kFactorValidator, "", "1000"},       {kFactorValidator, "-", "1000"},
        {kFactorValidator, " 1010", " 1010"}, {kFactorValidator, "0.5e1", "0.5e1"},
        {kFactorValidator, "0x10", "1000"},   {kOriginValidator, "", "0"},
        {kOriginValidator, "-3.25", "-3.25"}, {kOriginValidator, "1a", "0"},
        {kDegreesValidator, "", "1"},         {kDegreesValidator, "0", "1"},
        {kDegreesValidator, "-5", "1"},       {kDegreesValidator, "361", "1"},
        {kDegreesValidator, "abc", "1"},      {kDegreesValidator, "360.5", "360.5"},
        {kDegreesValidator, "0.5", "0.5"},    {kDegreesValidator, "  10", "  10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidatedFieldText(c.text, c.validator), c.result) << '"' << c.text << '"';
    // Every replacement is valid itself, so replacing never starts a second replacement.
    for (const TValidator* v : {&kFactorValidator, &kOriginValidator, &kDegreesValidator})
        EXPECT_EQ(ValidatedFieldText(v->Replacement, *v), v->Replacement);
}

TEST(BrowseStart, TrailingSeparatorDroppedButRootKept) {
    EXPECT_EQ(BrowseStartFolder("/home/nc/"), "/home/nc");
    EXPECT_EQ(BrowseStartFolder("/home/nc"), "/home/nc");
    EXPECT_EQ(BrowseStartFolder("/"), "/");
    EXPECT_EQ(BrowseStartFolder("//"), "/");
    EXPECT_EQ(BrowseStartFolder(""), "");
}

} // namespace
} // namespace plotalon
