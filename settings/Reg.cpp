#include "settings/Reg.h"

#include "platform/IniProfile.h"

namespace plotalon::Reg {

std::string IniFolder;
std::string IniName;
std::string IniSection;

namespace {

int DigitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < static_cast<int>(base) ? value : -1;
}

// All of digits as one unsigned number in base; nothing when a character is no digit, when
// there is no digit at all or when the number exceeds limit.
std::optional<std::uint64_t> ParseDigits(std::string_view digits, unsigned base,
                                         std::uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t number = 0;
    for (char c : digits) {
        int digit = DigitValue(c, base);
        if (digit < 0) return std::nullopt;
        number = number * base + static_cast<unsigned>(digit);
        if (number > limit) return std::nullopt; // stops long before 64 bits could overflow
    }
    return number;
}

std::string_view HexDigitsAfterPrefix(std::string_view text) {
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"})
        if (text.starts_with(prefix)) return text.substr(prefix.size());
    return {};
}

} // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X') ||
        text.starts_with("0x") || text.starts_with("0X")) {
        std::optional<std::uint64_t> bits =
            ParseDigits(HexDigitsAfterPrefix(text), 16, 0xFFFFFFFFu);
        if (!bits) return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(*bits));
    }
    bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    std::optional<std::uint64_t> magnitude = ParseDigits(text, 10, limit);
    if (!magnitude) return std::nullopt;
    std::int64_t value =
        negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
    return static_cast<std::int32_t>(value);
}

std::string IniFilePath() {
    return IniFolder + IniName + ".ini";
}

std::string IniReadString(std::string_view key) {
    return GetPrivateProfileString(IniSection, key, "", IniFilePath());
}

std::int32_t IniReadInteger(std::string_view key) {
    return ParseWholeNumber(IniReadString(key)).value_or(0);
}

void IniWriteString(std::string_view key, std::string_view value) {
    std::string path = IniFilePath();
    if (!WritePrivateProfileString(IniSection, key, value, path)) throw EIniWriteError(path);
}

} // namespace plotalon::Reg
