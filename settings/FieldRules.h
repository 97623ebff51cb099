#pragma once
// The rules behind the numeric fields of the settings dialog: the decimal number syntax that
// steppers and validators read, what each stepper button does to its field, and what each
// validator accepts. Plain functions on field texts, so the dialog only wires them to its
// controls.

#include <optional>
#include <string>
#include <string_view>

namespace plotalon {

// A field text read as a decimal number: leading blanks, an optional sign, then a mantissa of
// digits with an optional "." and more digits (either run may be empty, so "." reads as 0),
// then an optional exponent ("E" or "e", an optional sign, at least one digit). Nothing may
// follow, and something must follow the sign. Nothing for any other text, and for a number
// beyond the range of long double (it could be neither stepped nor formatted); a number too
// small for that range reads as 0.
std::optional<long double> ParseFieldNumber(std::string_view text);

// value rounded to a whole number (halves away from zero), "-" before a negative result,
// right-aligned by leading blanks in width characters; a longer number is not cut.
std::string FormatStepped(long double value, int width);

enum TStepCondition { scAlways, scAbove, scBelow };

// One stepper button: the step it adds, when it adds it, and the width it formats to.
struct TStepper {
    long double Step;
    TStepCondition When;
    long double Bound; // scAbove: step only while value > Bound; scBelow: while value < Bound
    int Width;
};

// The steppers of the dialog.
inline constexpr TStepper kFactorMinus{-10, scAbove, 10, 5};
inline constexpr TStepper kFactorPlus{10, scAlways, 0, 5};
inline constexpr TStepper kOriginMinus{-10, scAlways, 0, 5};
inline constexpr TStepper kOriginPlus{10, scAlways, 0, 5};
inline constexpr TStepper kDegreesMinus{-1, scAbove, 1, 3};
inline constexpr TStepper kDegreesPlus{1, scBelow, 360, 3};

// The text a press of stepper makes of text: the value, stepped when its condition holds,
// formatted (also when the step was not taken). Nothing when text is no number: the field
// then stays as it is.
std::optional<std::string> StepFieldText(std::string_view text, const TStepper& stepper);

// One validator: the numbers it accepts (any when Bounded is false, else those strictly
// between Above and Below) and the text that replaces anything else.
struct TValidator {
    bool Bounded;
    long double Above, Below;
    std::string_view Replacement;
};

inline constexpr TValidator kFactorValidator{false, 0, 0, "1000"};
inline constexpr TValidator kOriginValidator{false, 0, 0, "0"};
inline constexpr TValidator kDegreesValidator{true, 0, 361, "1"};

// text itself when the validator accepts it, otherwise its replacement.
std::string ValidatedFieldText(std::string_view text, const TValidator& validator);

// A whole-number field: text itself when it reads as a number (as above) that is whole and
// lies within min..max, otherwise replacement.
std::string ValidatedWholeText(std::string_view text, long double min, long double max,
                               std::string_view replacement);

// Where the folder picker starts for a folder field's text: without its last "/" when the
// text is longer than the root "/" alone and ends in one; otherwise the text unchanged (the
// root, a path without a trailing "/", an empty text).
std::string BrowseStartFolder(std::string_view text);

} // namespace plotalon
