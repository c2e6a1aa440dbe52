#pragma once
// The colour values of the whole program and their one conversion to RGB. The component layer (gui/) and the
// skin subsystems (skin/) both speak them: gui::TColor and skin::TColor name this one type.
//
// A TColor holds R in its lowest byte, then G, then B (0x00BBGGRR, the Win32 COLORREF order). A value with its
// high bit set is a system colour: 0x80000000 | the system colour number (COLOR_xxx), resolved by ColorToRGB
// through the system's colour scheme (the SystemColors seam). clNone and clDefault are two special values that
// name no colour at all.
#include <cstdint>

namespace platform {

using TColor = int32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;  // no colour: no tint, no tone, no key, nothing painted
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clSystemColor = TColor(0x80000000u);

inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

// The seam over the system's colour scheme.
class SystemColors {
 public:
  virtual ~SystemColors() = default;
  // GetSysColor(index): the RGB value (0x00BBGGRR) of a system colour number; 0 for a number it does not know.
  virtual uint32_t SysColor(int index) = 0;
};

// The operating system's scheme: GetSysColor on Windows; natively the default scheme of a Windows 10 desktop.
SystemColors& systemColors();
// The default scheme of a Windows 10 desktop (what the native build and the test fakes answer); 0 for a number
// outside 0..30.
uint32_t DefaultSystemColor(int index);

// The scheme the program draws with: the operating system's, unless another was put in place over it (a skinning
// library puts one while a skin is applied, so that every system colour the program resolves takes the skin's
// value). systemColors() always answers the system's own values.
SystemColors& programColors();
// Puts a scheme in place over the system's (nullptr: the system's again).
void SetProgramColors(SystemColors* scheme);

// The one conversion of a colour to its RGB value. The rule: a system colour (high bit set) becomes the RGB
// value of its system colour number (its low byte) in the given scheme; every other value, clNone and
// clDefault included, comes back unchanged. Callers that hand a colour to something that knows no "no colour"
// (GDI, a pixel) decide themselves what clNone and clDefault become there (gui::ColorRef: black).
TColor ColorToRGB(TColor color, SystemColors& scheme);
TColor ColorToRGB(TColor color);  // in the program's scheme (programColors)

// Text against its background: the contrast ratio of two RGB colours (0x00BBGGRR, no system colour), 1 to 21,
// from their relative luminance as sRGB colours. Body text wants at least MinTextContrast.
inline constexpr double MinTextContrast = 4.5;
double ContrastRatio(TColor a, TColor b);
// The relative luminance of an RGB colour, 0 (black) to 1 (white); ContrastRatio is (L1 + 0.05) / (L2 + 0.05).
double RelativeLuminance(TColor c);

// The colour in which text meant in `wanted` is written on `background` (both RGB) so that it reads: `wanted`
// itself when it stands out from the background by MinTextContrast; otherwise `wanted` mixed towards white or
// black (whichever stands out more from the background) just as far as it stands out by 7:1, or, where no mix
// does, just as far as it stands out by MinTextContrast; the pole itself when even that cannot be reached.
TColor ReadableTextColor(TColor wanted, TColor background);

}  // namespace platform
