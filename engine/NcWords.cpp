#include "engine/NcWords.h"

#include <iterator>

#include "engine/DecimalDigits.h"
#include "engine/NcReader.h"

namespace plotalon {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

long double PowerOfTen(std::size_t n) {
    static constexpr long double kExact[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L};
    if (n < std::size(kExact)) return kExact[n];
    long double p = kExact[8];
    for (std::size_t i = 8; i < n; ++i)
        p *= 10;
    return p;
}

std::string CharText(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f) return std::string("„") + c + "“";
    return "mit dem Code " + std::to_string(byte);
}

// A comment from "(" on; returns the position after its ")".
std::size_t SkipComment(std::string_view line, std::size_t at) {
    for (std::size_t i = at + 1; i < line.size(); ++i) {
        if (line[i] == ')') return i + 1;
        if (line[i] == '(') throw ENcError("Kommentar in einem Kommentar");
    }
    throw ENcError("Kommentar ohne schließende Klammer");
}

// The number after a letter: blanks anywhere, an optional sign, digits with at most one point.
// The digits are gathered as one integer and divided once, as the literal reading does, so
// that X10.5 comes out as the same value in both readings.
std::size_t ReadNumber(std::string_view line, std::size_t at, TNcWord& word) {
    const auto letter = [&word] { return std::string(1, word.Letter); };
    const std::size_t size = line.size();
    std::size_t i = at;
    while (i < size && IsBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < size && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    const TPlainDigits plain = ScanPlainDigits(line.data() + i, line.data() + size);
    if (plain.Count > 0 && plain.Exact()) {
        std::size_t after = static_cast<std::size_t>(plain.End - line.data());
        while (after < size && IsBlank(line[after]))
            ++after;
        if (after == size || !(IsDigit(line[after]) || line[after] == '.')) {
            word.Number = line.substr(at, static_cast<std::size_t>(plain.End - line.data()) - at);
            const long double value = plain.Value() / PowerOfTen(plain.Fraction);
            word.Value = negative ? -value : value;
            return after;
        }
    }
    // Blanks inside the number, a second point, too many digits or none.
    TDigitAccumulator digits;
    std::size_t fraction = 0;
    std::size_t end = i; // after the number's last digit or point
    bool point = false;
    for (; i < size; ++i) {
        const char c = line[i];
        if (IsDigit(c)) {
            digits.Add(static_cast<unsigned>(c - '0'));
            if (point) ++fraction;
            end = i + 1;
        } else if (c == '.') {
            if (point) throw ENcError("Ungültige Zahl nach " + letter());
            point = true;
            end = i + 1;
        } else if (!IsBlank(c)) {
            break;
        }
    }
    if (digits.Digits() > 40) throw ENcError("Zahl nach " + letter() + " hat zu viele Stellen");
    if (digits.Digits() == 0) {
        if (i < size && line[i] == '[')
            throw ENcError("Ausdrücke in eckigen Klammern werden nicht unterstützt");
        if (i < size && line[i] == '#') throw ENcError("Parameter (#) werden nicht unterstützt");
        throw ENcError("Zahl fehlt nach " + letter());
    }
    word.Number = line.substr(at, end - at);
    const long double value = digits.Value() / PowerOfTen(fraction);
    word.Value = negative ? -value : value;
    return i;
}

} // namespace

std::string WordText(const TNcWord& word) {
    std::string text(1, word.Letter);
    for (char c : word.Number)
        if (!IsBlank(c)) text += c;
    return text;
}

void ReadNcWords(std::string_view line, TNcLine& words) {
    words.Percent = false;
    words.Count = 0;
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    words.Blank = i == line.size();
    if (i < line.size() && line[i] == '%') {
        std::size_t rest = i + 1;
        while (rest < line.size() && IsBlank(line[rest]))
            ++rest;
        if (rest == line.size()) {
            words.Percent = true;
            return;
        }
    }
    if (i < line.size() && line[i] == '/') ++i; // block delete is off: the line is run

    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
        } else if (c == '(') {
            i = SkipComment(line, i);
        } else if (c == ';') {
            break;
        } else if (IsLetter(c)) {
            const char letter = Upper(c);
            if (letter == 'O')
                throw ENcError("O-Wörter (Unterprogramme, Schleifen) werden nicht unterstützt");
            if (letter == 'N' && words.Count > 0)
                throw ENcError("N-Wort nur am Anfang des Satzes erlaubt");
            if (words.Count == words.Words.size()) throw ENcError("Zu viele Wörter im Satz");
            TNcWord& word = words.Words[words.Count];
            word.Letter = letter;
            i = ReadNumber(line, i + 1, word);
            ++words.Count;
        } else if (c == '[') {
            throw ENcError("Ausdrücke in eckigen Klammern werden nicht unterstützt");
        } else if (c == '#') {
            throw ENcError("Parameter (#) werden nicht unterstützt");
        } else {
            throw ENcError("Zeichen " + CharText(c) + " ist hier nicht erlaubt");
        }
    }
}

} // namespace plotalon
