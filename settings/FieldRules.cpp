#include "settings/FieldRules.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace plotalon {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TakeDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return text.substr(start, at - start);
}

// The power of ten of the leading non-zero digit, plus one (123 gives 3, 0.05 gives -1),
// saturated far beyond any range so that a long exponent cannot overflow.
std::int64_t DecimalMagnitude(std::string_view whole, std::string_view fraction,
                              bool negativeExponent, std::string_view exponent) {
    constexpr std::int64_t kSaturated = 1'000'000'000;
    std::int64_t exp = 0;
    for (char c : exponent)
        exp = std::min(kSaturated, exp * 10 + (c - '0'));
    if (negativeExponent) exp = -exp;
    const std::size_t firstWhole = whole.find_first_not_of('0');
    if (firstWhole != std::string_view::npos) return std::int64_t(whole.size() - firstWhole) + exp;
    const std::size_t firstFraction = fraction.find_first_not_of('0');
    return -std::int64_t(firstFraction) + exp;
}

} // namespace

std::optional<long double> ParseFieldNumber(std::string_view text) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) return std::nullopt;
    const bool negative = text[at] == '-';
    if (text[at] == '+' || text[at] == '-') ++at;
    if (at == text.size()) return std::nullopt; // a sign alone
    const std::string_view whole = TakeDigits(text, at);
    std::string_view fraction;
    if (at < text.size() && text[at] == '.') fraction = TakeDigits(text, ++at);
    bool negativeExponent = false;
    std::string_view exponent;
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            negativeExponent = text[at++] == '-';
        exponent = TakeDigits(text, at);
        if (exponent.empty()) return std::nullopt;
    }
    if (at != text.size()) return std::nullopt;

    if (whole.find_first_not_of('0') == std::string_view::npos &&
        fraction.find_first_not_of('0') == std::string_view::npos)
        return 0.0L; // also the empty mantissa of "." or "E5"

    // The parts in the one form from_chars takes, whatever the locale.
    std::string canonical(whole.empty() ? "0" : whole);
    canonical += '.';
    canonical += fraction.empty() ? "0" : fraction;
    if (!exponent.empty()) {
        canonical += negativeExponent ? "e-" : "e";
        canonical += exponent;
    }
    long double value = 0;
    const auto [end, error] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (DecimalMagnitude(whole, fraction, negativeExponent, exponent) > 0) return std::nullopt;
        return 0.0L;
    }
    if (error != std::errc() || end != canonical.data() + canonical.size()) return std::nullopt;
    return negative ? -value : value;
}

std::string FormatStepped(long double value, int width) {
    long double whole = std::round(value);
    if (whole == 0) whole = 0; // no "-0" for a value that rounds to zero
    // The largest long double has 4933 digits before the point.
    char buffer[5000];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    std::string digits = error == std::errc() ? std::string(buffer, end) : std::string("0");
    if (std::ssize(digits) < width) digits.insert(0, std::size_t(width) - digits.size(), ' ');
    return digits;
}

std::optional<std::string> StepFieldText(std::string_view text, const TStepper& stepper) {
    const std::optional<long double> read = ParseFieldNumber(text);
    if (!read) return std::nullopt;
    long double value = *read;
    const bool take = stepper.When == scAlways ||
                      (stepper.When == scAbove && value > stepper.Bound) ||
                      (stepper.When == scBelow && value < stepper.Bound);
    if (take) value += stepper.Step;
    return FormatStepped(value, stepper.Width);
}

std::string ValidatedFieldText(std::string_view text, const TValidator& validator) {
    const std::optional<long double> value = ParseFieldNumber(text);
    const bool valid =
        value && (!validator.Bounded || (*value > validator.Above && *value < validator.Below));
    return std::string(valid ? text : validator.Replacement);
}

std::string ValidatedWholeText(std::string_view text, long double min, long double max,
                               std::string_view replacement) {
    const std::optional<long double> value = ParseFieldNumber(text);
    const bool valid = value && *value == std::floor(*value) && *value >= min && *value <= max;
    return std::string(valid ? text : replacement);
}

std::string BrowseStartFolder(std::string_view text) {
    if (text.size() > 1 && text.back() == '/') text.remove_suffix(1);
    return std::string(text);
}

} // namespace plotalon
