#pragma once
// Colour and font-style values shared by the plain C++ layers (highlighter attributes) and
// the Qt side (drawing). Colours are 24-bit values with red in the low byte, as the window
// layouts store them (16769217 is red 193, green 224, blue 255); values with the top bit
// set name a system colour, looked up in the current palette when drawn.

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

inline constexpr TColor clBlack = RGBColor(0, 0, 0);
inline constexpr TColor clMaroon = RGBColor(128, 0, 0);
inline constexpr TColor clGreen = RGBColor(0, 128, 0);
inline constexpr TColor clOlive = RGBColor(128, 128, 0);
inline constexpr TColor clNavy = RGBColor(0, 0, 128);
inline constexpr TColor clPurple = RGBColor(128, 0, 128);
inline constexpr TColor clTeal = RGBColor(0, 128, 128);
inline constexpr TColor clGray = RGBColor(128, 128, 128);
inline constexpr TColor clSilver = RGBColor(192, 192, 192);
inline constexpr TColor clRed = RGBColor(255, 0, 0);
inline constexpr TColor clLime = RGBColor(0, 255, 0);
inline constexpr TColor clYellow = RGBColor(255, 255, 0);
inline constexpr TColor clBlue = RGBColor(0, 0, 255);
inline constexpr TColor clFuchsia = RGBColor(255, 0, 255);
inline constexpr TColor clAqua = RGBColor(0, 255, 255);
inline constexpr TColor clWhite = RGBColor(255, 255, 255);

// An attribute without a colour of its own: the editor's applies.
inline constexpr TColor clNone = 0x1FFFFFFF;
// "Pick it yourself": for an image store, the added image's bottom-left pixel.
inline constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) {
    return TColor(0x80000000u | unsigned(index));
}
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clBtnHighlight = SystemColor(20);

constexpr bool IsSystemColor(TColor c) {
    return c < 0;
}

// Font styles: a set of flags in one byte.
using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

} // namespace plotalon
