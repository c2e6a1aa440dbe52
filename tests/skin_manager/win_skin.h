#pragma once
// The packed skin of the skin data's Windows tests and demo: flat colours per section and state (an edit with a
// focused look, a popup frame whose corners hold key-colour pixels, a hot menu item, a glyph column, a menu
// line with a hot state, a glowing button).
#include <cstdio>
#include <string>
#include <vector>

#include "tests/skin_data/skin_fixture.h"

namespace skindatatest {

// Master bitmap: the popup frame at (0, 0)-(16, 16) in one colour with key pixels in three corners, a glyph-column
// texture, and the button's glow image at (32, 0)-(64, 32).
inline uint32_t WinSkinMasterPixel(int x, int y) {
  if (x < 16 && y < 16) {
    const bool key = (x < 2 && y == 0) || (x == 0 && y == 1) || (x == 15 && y == 0) || (x == 0 && y == 15) ||
                     (x == 15 && y == 15);
    return key ? skintest::Key : 0x20405A;
  }
  if (x >= 32 && y < 32) return 0x00C0FF;
  return 0x808080;
}

// "^LLLL^TTTT^RRRR^BBBB^WWWW^XXXX^YYYY^ZZZZ^C^M^D^B": a bordered mask of the master image.
inline std::string MaskValue(int l, int t, int r, int b, int border, int draw) {
  char text[96];
  std::snprintf(text, sizeof text, "^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%04d^1^0^%d^0", l, t, r, b, border, border,
                border, border, draw);
  return text;
}

inline std::string WinSkinOptions() {
  std::string t;
  auto line = [&t](const std::string& s) { t += s + "\r\n"; };
  line("[GLOBALINFO]");
  line("VERSION=8.50");
  line("MASTERBITMAP=master.bmp");
  line("COLOR=0xC8C8C8");
  line("FONTCOLOR=0x101010");
  line("[FORM]");
  line("COLOR=0xC8C8C8");
  line("[EDIT]");
  line("STATES=2");
  line("COLOR=0xD0E0F0");
  line("FONTCOLOR=0x302010");
  line("HOTCOLOR=0x90F0C0");
  line("HOTFONTCOLOR=0x0000A0");
  line("[BUTTON]");
  line("STATES=2");
  line("COLOR=0xB0B0B0");
  line("HOTCOLOR=0xD0D0D0");
  line("GLOW=6");
  line("GLOWMARGIN=2");
  line("GLOW0=" + MaskValue(32, 0, 64, 32, 8, 1));
  line("[MAINMENU]");
  line("COLOR=0xF8F0E8");
  line("BORDERSMASK=" + MaskValue(0, 0, 16, 16, 4, 1));
  line("[MENUITEM]");
  line("STATES=2");
  line("TRANSPARENCY=100");
  line("FONTCOLOR=0x202020");
  line("HOTTRANSPARENCY=0");
  line("HOTCOLOR=0xA06020");
  line("HOTFONTCOLOR=0xFFFFFF");
  line("[ICOLINE]");
  line("COLOR=0xD8C0A0");
  line("[MENULINE]");
  line("STATES=2");
  line("COLOR=0xC0B0A0");
  line("FONTCOLOR=0x000000");
  line("HOTCOLOR=0x2060C0");
  line("HOTFONTCOLOR=0xFFFFFF");
  return t;
}

inline std::string WinSkinPacked() {
  std::vector<skin::PackedSkinMember> m;
  m.push_back({"Options.dat", WinSkinOptions()});
  m.push_back({"master.bmp", skintest::Bmp24(64, 32, WinSkinMasterPixel)});
  return skintest::Pack(m);
}

}  // namespace skindatatest
