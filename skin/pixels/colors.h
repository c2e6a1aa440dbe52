#pragma once
// Colour values of the skinning library and their relation to 32-bit pixels.
//
// A TColor (platform/colors.h) holds R in its lowest byte, then G, then B; a high byte of 0x80 marks a system
// colour (its low byte is the system colour number), resolved with ColorToRGB. A 32-bit pixel is stored as the
// bytes B, G, R, A, that is the little-endian value A << 24 | R << 16 | G << 8 | B.
#include <bit>
#include <cstdint>

#include "platform/colors.h"

namespace skin {

static_assert(std::endian::native == std::endian::little, "pixels are addressed as little-endian 32-bit words");

// The program's colour values and their one conversion (platform/colors.h).
using platform::TColor;
using platform::clNone, platform::clDefault, platform::clBlack, platform::clWhite, platform::clFuchsia;
using platform::clSystemColor, platform::clScrollBar, platform::clActiveCaption, platform::clInactiveCaption,
    platform::clMenu, platform::clWindow, platform::clWindowFrame, platform::clMenuText, platform::clWindowText,
    platform::clCaptionText, platform::clHighlight, platform::clHighlightText, platform::clBtnFace,
    platform::clBtnShadow, platform::clGrayText, platform::clBtnText, platform::clBtnHighlight, platform::clInfoText,
    platform::clInfoBk;
using platform::ColorToRGB;
// The RGB value of a system colour number, from the program's colour seam.
inline uint32_t SystemColorRGB(int index) { return platform::systemColors().SysColor(index); }

// The key value: magenta with alpha 0. Skin images mark transparent pixels with it.
inline constexpr uint32_t KeyPixel = 0x00FF00FF;
inline constexpr TColor KeyColor = 0xFF00FF;

inline constexpr uint8_t ColorRed(uint32_t c) { return uint8_t(c); }
inline constexpr uint8_t ColorGreen(uint32_t c) { return uint8_t(c >> 8); }
inline constexpr uint8_t ColorBlue(uint32_t c) { return uint8_t(c >> 16); }
inline constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) { return TColor(r | (g << 8) | (uint32_t(b) << 16)); }

// All four bytes reversed (big-endian words of PNG files).
inline constexpr uint32_t SwapBytes32(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

// Bytes 0 and 2 exchanged, bytes 1 and 3 kept: 0x00BBGGRR <-> 0x00RRGGBB.
inline constexpr uint32_t SwapRedBlue(uint32_t c) {
  return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}
// The same result, by a byte reversal and a rotation by 8 bits.
inline constexpr uint32_t ColorToPixelOrder(uint32_t c) { return std::rotr(SwapBytes32(c), 8); }
// A colour as a key pixel: pixel order with alpha 0.
inline constexpr uint32_t ColorToKeyPixel(TColor c) { return SwapRedBlue(uint32_t(c)) & 0x00FFFFFFu; }
// A colour as a pixel with the given alpha byte.
inline constexpr uint32_t ColorToPixel(TColor c, uint8_t alpha) {
  return ColorToKeyPixel(c) | (uint32_t(alpha) << 24);
}

// Channels of a pixel value (B, G, R, A bytes).
inline constexpr uint32_t PixelB(uint32_t p) { return p & 0xFF; }
inline constexpr uint32_t PixelG(uint32_t p) { return (p >> 8) & 0xFF; }
inline constexpr uint32_t PixelR(uint32_t p) { return (p >> 16) & 0xFF; }
inline constexpr uint32_t PixelA(uint32_t p) { return p >> 24; }
inline constexpr uint32_t MakePixel(uint32_t b, uint32_t g, uint32_t r, uint32_t a) {
  return b | (g << 8) | (r << 16) | (a << 24);
}


}  // namespace skin
