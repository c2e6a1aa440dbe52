#pragma once
// The fixture skin of the adapter tests: flat, distinct colours for every scroll-bar section and state (arrows,
// the two tracks, the thumb and its grip) and an EDIT section with a two-pixel border, so that a probe of one
// pixel tells which part and which state was painted.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"
#include "skin/data/sskinmanager.h"
#include "tests/skin_data/skin_fixture.h"

namespace adaptertest {

// Colours as the skin gives them (TColor: red in the low byte).
namespace colours {
inline constexpr uint32_t Main = 0xC8C8C8;
inline constexpr uint32_t ArrowN = 0xA05030, ArrowH = 0xC06040, ArrowP = 0x703020;
inline constexpr uint32_t ArrowFontN = 0x101010, ArrowFontH = 0x0000F0;
inline constexpr uint32_t Track1N = 0xB0D0B0, Track1H = 0xA0C0A0, Track1P = 0x80A080;
inline constexpr uint32_t Track2N = 0xB0B0D0, Track2H = 0xA0A0C0, Track2P = 0x8080A0;
inline constexpr uint32_t SliderN = 0x606060, SliderH = 0x787878, SliderP = 0x484848;
inline constexpr uint32_t GripN = 0x00E0E0, GripH = 0x80F0F0;
inline constexpr uint32_t Edit = 0xF0F8FF, EditHot = 0xE0F0FF, EditFont = 0x402010;
inline constexpr uint32_t EditBorderN = 0x804040, EditBorderH = 0xC04040;
inline constexpr uint32_t Border = 0x303030;
}  // namespace colours

// 0x00RRGGBB of a TColor (the master bitmap's pixel function).
inline uint32_t Rgb(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

inline uint32_t ScrollMasterPixel(int x, int y) {
  using namespace colours;
  auto three = [x](uint32_t n, uint32_t h, uint32_t p) { return Rgb(x < 6 ? n : x < 12 ? h : p); };
  if (x < 18 && y < 6) return three(ArrowN, ArrowH, ArrowP);
  if (x < 18 && y < 12) return three(Track1N, Track1H, Track1P);
  if (x < 18 && y < 18) return three(Track2N, Track2H, Track2P);
  if (x < 18 && y < 24) return three(SliderN, SliderH, SliderP);
  if (x < 8 && y >= 24 && y < 28) return Rgb(x < 4 ? GripN : GripH);
  if (x < 24 && y >= 28 && y < 40) {  // EDIT border: two states of 12 x 12, a 2-pixel frame, key inside
    const int sx = x % 12, sy = y - 28;
    if (sx >= 2 && sx < 10 && sy >= 2 && sy < 10) return skintest::Key;
    return Rgb(x < 12 ? EditBorderN : EditBorderH);
  }
  return skintest::Key;
}

// "^LLLL^TTTT^RRRR^BBBB^WWWW^XXXX^YYYY^ZZZZ^C^M^D^B": an image with borders.
inline std::string Mask(int l, int t, int r, int b, int wl, int wt, int wr, int wb, int count, int mask, int draw,
                        int common) {
  char s[96];
  std::snprintf(s, sizeof s, "^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%d^%d^%d^%d", l, t, r, b, wl, wt, wr, wb, count,
                mask, draw, common);
  return s;
}
// "@LLLL@TTTT@RRRR@BBBB@C@M": a glyph.
inline std::string Glyph(int l, int t, int r, int b, int count, int mask) {
  char s[64];
  std::snprintf(s, sizeof s, "@%04d@%04d@%04d@%04d@%d@%d", l, t, r, b, count, mask);
  return s;
}

inline std::string ScrollOptionsText() {
  using namespace colours;
  std::string t;
  auto line = [&t](const std::string& s) { t += s + "\r\n"; };
  auto colour = [](uint32_t c) { return std::to_string(c); };
  line("[GLOBALINFO]");
  line("VERSION=8.50");
  line("MASTERBITMAP=master.bmp");
  line("COLOR=" + colour(Main));
  line("FONTCOLOR=0x101010");
  line("BORDERCOLOR=" + colour(Border));
  auto threeState = [&](const std::string& name, uint32_t n, uint32_t h, int maskTop) {
    line("[" + name + "]");
    line("STATES=3");
    line("COLOR=" + colour(n));
    line("HOTCOLOR=" + colour(h));
    line("BORDERSMASK=" + Mask(0, maskTop, 18, maskTop + 6, 2, 2, 2, 2, 3, 0, 5, 0));
  };
  for (const char* name : {"SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"}) {
    threeState(name, ArrowN, ArrowH, 0);
    line("FONTCOLOR=" + colour(ArrowFontN));
    line("HOTFONTCOLOR=" + colour(ArrowFontH));
  }
  threeState("SCROLLBAR1H", Track1N, Track1H, 6);
  threeState("SCROLLBAR1V", Track1N, Track1H, 6);
  threeState("SCROLLBAR2H", Track2N, Track2H, 12);
  threeState("SCROLLBAR2V", Track2N, Track2H, 12);
  threeState("SCROLLSLIDERH", SliderN, SliderH, 18);
  threeState("SCROLLSLIDERV", SliderN, SliderH, 18);
  line("GLYPHMASK=" + Glyph(0, 24, 8, 28, 2, 0));
  line("[EDIT]");
  line("STATES=2");
  line("COLOR=" + colour(Edit));
  line("HOTCOLOR=" + colour(EditHot));
  line("FONTCOLOR=" + colour(EditFont));
  line("HOTFONTCOLOR=" + colour(EditFont));
  line("BORDERSMASK=" + Mask(0, 28, 24, 40, 2, 2, 2, 2, 2, 0, 0, 0));
  return t;
}

inline std::vector<skin::PackedSkinMember> ScrollSkinMembers() {
  return {{"Options.dat", ScrollOptionsText()}, {"master.bmp", skintest::Bmp24(64, 48, ScrollMasterPixel)}};
}

// Stores the fixture in the manager under that name and applies it.
inline void ApplyScrollSkin(skin::TsSkinManager& m, const std::string& name = "Scrolls") {
  skin::TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = name;
  const std::string bytes = skin::PackSkin(ScrollSkinMembers());
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  m.SetSkinName(name);
}

}  // namespace adaptertest
