#include "platform/qt/Text.h"

#include <QStringDecoder>

namespace plotalon {

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 controls of the same
// value so that they survive a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString FromAnsi(std::string_view bytes) {
    QString out;
    out.reserve(qsizetype(bytes.size()));
    for (unsigned char b : bytes)
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b)));
    return out;
}

std::string ToAnsi(const QString& text) {
    std::string out;
    out.reserve(size_t(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            out.push_back(char(u));
            continue;
        }
        char found = '?';
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] == u) found = char(0x80 + i);
        out.push_back(found);
    }
    return out;
}

std::optional<std::string> ToAnsiExact(const QString& text) {
    std::string bytes = ToAnsi(text);
    if (FromAnsi(bytes) != text) return std::nullopt;
    return bytes;
}

QString DesktopPlainText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            text.push_back(bytes[i]);
            continue;
        }
        text.push_back('\n');
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    return FromAnsi(text);
}

QString FromMessage(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError()) return FromAnsi(bytes);
    return text;
}

TAccelText StripAccelerators(const QString& caption) {
    TAccelText out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            out.text.append(caption[i]);
            continue;
        }
        if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            out.text.append(u'&');
            ++i;
        } else if (i + 1 < caption.size()) {
            out.underlined.push_back(int(out.text.size()));
        }
    }
    return out;
}

QChar AcceleratorOf(const QString& caption) {
    QChar accel;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (i + 1 >= caption.size()) break;
        if (caption[i + 1] != u'&') accel = caption[i + 1];
        ++i; // "&&" marks nothing, and the character after a single "&" is plain text
    }
    return accel;
}

bool IsAccelerator(QChar ch, const QString& caption) {
    const QChar accel = AcceleratorOf(caption);
    return !accel.isNull() && !ch.isNull() && accel.toUpper() == ch.toUpper();
}

} // namespace plotalon
