#pragma once
// Colours as the window layouts store them: 24-bit values with red in the low byte
// (16769217 is red 193, green 224, blue 255). Values with the top bit set name a system
// colour that is looked up in the current Qt palette at the moment it is drawn.

#include <QColor>
#include <cstdint>

namespace plotalon {

using TColor = std::int32_t;

constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(r & 0xFF) | TColor(g & 0xFF) << 8 | TColor(b & 0xFF) << 16;
}
constexpr int RedOf(TColor c) {
    return c & 0xFF;
}
constexpr int GreenOf(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(TColor c) {
    return (c >> 16) & 0xFF;
}

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clMaroon = RGBColor(128, 0, 0);
constexpr TColor clGreen = RGBColor(0, 128, 0);
constexpr TColor clOlive = RGBColor(128, 128, 0);
constexpr TColor clNavy = RGBColor(0, 0, 128);
constexpr TColor clPurple = RGBColor(128, 0, 128);
constexpr TColor clTeal = RGBColor(0, 128, 128);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clSilver = RGBColor(192, 192, 192);
constexpr TColor clRed = RGBColor(255, 0, 0);
constexpr TColor clLime = RGBColor(0, 255, 0);
constexpr TColor clYellow = RGBColor(255, 255, 0);
constexpr TColor clBlue = RGBColor(0, 0, 255);
constexpr TColor clFuchsia = RGBColor(255, 0, 255);
constexpr TColor clAqua = RGBColor(0, 255, 255);
constexpr TColor clWhite = RGBColor(255, 255, 255);

// An attribute without a colour of its own.
constexpr TColor clNone = 0x1FFFFFFF;
// "Pick it yourself": for an image store, the added image's bottom-left pixel.
constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) {
    return TColor(0x80000000u | unsigned(index));
}
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clBtnHighlight = SystemColor(20);

constexpr bool IsSystemColor(TColor c) {
    return c < 0;
}

// The plain 24-bit value of c; system colours come from the application palette now.
// clNone and clDefault have no value and give black.
TColor ColorToRGB(TColor c);

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
TColor FromQRgb(unsigned rgb);

} // namespace plotalon
