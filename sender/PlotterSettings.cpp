#include "sender/PlotterSettings.h"

#include "platform/Errors.h"

#include <charconv>

namespace plotalon {

namespace {

constexpr std::pair<THandshake, std::string_view> kHandshakes[] = {
    {THandshake::None, "none"},
    {THandshake::XonXoff, "xonxoff"},
    {THandshake::RtsCts, "rtscts"},
    {THandshake::Query, "query"},
};

constexpr std::pair<TParity, std::string_view> kParities[] = {
    {TParity::None, "none"},
    {TParity::Even, "even"},
    {TParity::Odd, "odd"},
};

template <class Enum, std::size_t N>
std::string_view NameOf(const std::pair<Enum, std::string_view> (&table)[N], Enum value) {
    for (const auto& [entry, name] : table)
        if (entry == value) return name;
    return table[0].second;
}

template <class Enum, std::size_t N>
std::optional<Enum> ValueOf(const std::pair<Enum, std::string_view> (&table)[N],
                            std::string_view name) {
    for (const auto& [entry, entryName] : table)
        if (entryName == name) return entry;
    return std::nullopt;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

double TLineSettings::CharsPerSecond() const {
    const int bits = 1 + DataBits + (Parity == TParity::None ? 0 : 1) + StopBits;
    return double(Baud) / bits;
}

std::string_view HandshakeName(THandshake handshake) {
    return NameOf(kHandshakes, handshake);
}

std::optional<THandshake> ParseHandshake(std::string_view name) {
    return ValueOf(kHandshakes, name);
}

std::string_view ParityName(TParity parity) {
    return NameOf(kParities, parity);
}

std::optional<TParity> ParseParity(std::string_view name) {
    return ValueOf(kParities, name);
}

bool ApplyLineOption(std::string_view option, std::string_view value, TLineSettings& line) {
    const auto bad = [&] {
        return Exception("Ungültiger Wert für " + std::string(option) + ": " + std::string(value));
    };
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    const bool isNumber =
        !value.empty() && error == std::errc() && end == value.data() + value.size();
    if (option == "--baud") {
        if (!isNumber || number <= 0) throw bad();
        line.Baud = number;
    } else if (option == "--bits") {
        if (!isNumber || (number != 7 && number != 8)) throw bad();
        line.DataBits = number;
    } else if (option == "--stop") {
        if (!isNumber || (number != 1 && number != 2)) throw bad();
        line.StopBits = number;
    } else if (option == "--parity") {
        const std::optional<TParity> parity = ParseParity(value);
        if (!parity) throw bad();
        line.Parity = *parity;
    } else if (option == "--handshake") {
        const std::optional<THandshake> handshake = ParseHandshake(value);
        if (!handshake) throw bad();
        line.Handshake = *handshake;
    } else {
        return false;
    }
    return true;
}

std::string DecodeEscapes(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const std::size_t start = i++;
        const char kind = i < text.size() ? text[i] : '\0';
        switch (kind) {
        case 'e':
            bytes += '\x1b';
            continue;
        case 'r':
            bytes += '\r';
            continue;
        case 'n':
            bytes += '\n';
            continue;
        case 't':
            bytes += '\t';
            continue;
        case '\\':
            bytes += '\\';
            continue;
        case 'x':
            if (i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
                bytes += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
                i += 2;
                continue;
            }
            break;
        default:
            break;
        }
        throw Exception(FormatMessage("Ungültige Angabe im Set-up-String: %s",
                                      text.substr(start, kind == 'x' ? 4 : 2)));
    }
    return bytes;
}

} // namespace plotalon
