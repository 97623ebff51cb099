#include "platform/qt/Text.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(Accelerators, AmpersandMarksTheNextCharacterAndDoubleIsLiteral) {
    struct Case {
        const char16_t* caption;
        const char16_t* shown;
        std::vector<int> underlined;
        char16_t accel; // 0: none
    } cases[] = {
        {u"&Schließen", u"Schließen", {0}, u'S'},
        {u"H&PGL 1", u"HPGL 1", {1}, u'P'},
        {u"A && B", u"A & B", {}, 0},
        {u"&&x", u"&x", {}, 0},
        {u"&&&x", u"&x", {1}, u'x'},
        {u"&a&b", u"ab", {0, 1}, u'b'},
        {u"end&", u"end", {}, 0},
        {u"", u"", {}, 0},
    };
    for (const Case& c : cases) {
        const QString caption = QString::fromUtf16(c.caption);
        const TAccelText stripped = StripAccelerators(caption);
        EXPECT_EQ(stripped.text, QString::fromUtf16(c.shown)) << caption.toStdString();
        EXPECT_EQ(stripped.underlined, c.underlined) << caption.toStdString();
        EXPECT_EQ(AcceleratorOf(caption), c.accel ? QChar(c.accel) : QChar())
            << caption.toStdString();
    }
}

TEST(Accelerators, LettersCompareWithoutCase) {
    EXPECT_TRUE(IsAccelerator(u's', u"&Schließen"_qs));
    EXPECT_TRUE(IsAccelerator(u'S', u"&Schließen"_qs));
    EXPECT_FALSE(IsAccelerator(u'c', u"&Schließen"_qs));
    EXPECT_FALSE(IsAccelerator(u'&', u"A && B"_qs));
    EXPECT_FALSE(IsAccelerator(QChar(), u"Plain"_qs));
}

TEST(ByteText, Windows1252RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(char(b));
    const QString shown = FromAnsi(all);
    EXPECT_EQ(shown.size(), 255);
    EXPECT_EQ(shown[0x80 - 1], QChar(0x20AC)); // euro sign
    EXPECT_EQ(shown[0xE4 - 1], QChar(u'ä'));
    EXPECT_EQ(ToAnsi(shown), all);
}

TEST(ByteText, MessagesAreUtf8UnlessTheyCannotBe) {
    EXPECT_EQ(FromMessage("Ung\xc3\xbcltige"), u"Ungültige"_qs);
    EXPECT_EQ(FromMessage("Datei C:\\\xe4.nc"), u"Datei C:\\ä.nc"_qs);
}

} // namespace
} // namespace plotalon
