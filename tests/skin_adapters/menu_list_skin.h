#pragma once
// The fixture skin of the popup-menu and list-view adapter tests: the control fixture with a popup-menu section
// (a flat background and a three-pixel frame of its own colour), a transparent menu item with a hot colour, and
// a column-header section in three flat states.
#include <cstdint>
#include <string>

#include "tests/skin_adapters/control_skin.h"

namespace adaptertest {

namespace menucolours {
inline constexpr uint32_t MenuBg = 0xE0C8A8, MenuFrame = 0x3050A0, MenuItemHot = 0x2080C0;
inline constexpr uint32_t ColN = 0x60B0D0, ColH = 0x80D0F0, ColFont = 0x101040;
}  // namespace menucolours

// The control fixture's master image with the menu frame at (24, 24)-(36, 36): a 3-pixel frame, key inside.
inline uint32_t MenuListMasterPixel(int x, int y) {
  if (x >= 24 && x < 36 && y >= 24 && y < 36) {
    const int sx = x - 24, sy = y - 24;
    if (sx >= 3 && sx < 9 && sy >= 3 && sy < 9) return skintest::Key;
    return Rgb(menucolours::MenuFrame);
  }
  return ControlMasterPixel(x, y);
}

inline std::string MenuListOptionsText() {
  using namespace menucolours;
  std::string t = ControlOptionsText();
  auto line = [&t](const std::string& s) { t += s + "\r\n"; };
  auto colour = [](uint32_t c) { return std::to_string(c); };
  line("[MAINMENU]");
  line("COLOR=" + colour(MenuBg));
  line("FONTCOLOR=0x101010");
  line("BORDERSMASK=" + Mask(24, 24, 36, 36, 3, 3, 3, 3, 1, 0, 1, 0));
  line("[MENUITEM]");
  line("STATES=2");
  line("TRANSPARENCY=100");
  line("FONTCOLOR=0x101010");
  line("HOTTRANSPARENCY=0");
  line("HOTCOLOR=" + colour(MenuItemHot));
  line("HOTFONTCOLOR=0xFFFFFF");
  line("[COLHEADER]");
  line("STATES=3");
  line("COLOR=" + colour(ColN));
  line("HOTCOLOR=" + colour(ColH));
  line("FONTCOLOR=" + colour(ColFont));
  line("HOTFONTCOLOR=" + colour(ColFont));
  return t;
}

inline void ApplyMenuListSkin(skin::TsSkinManager& m, const std::string& name = "MenusLists") {
  skin::TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = name;
  const std::string bytes = skin::PackSkin(
      {{"Options.dat", MenuListOptionsText()}, {"master.bmp", skintest::Bmp24(64, 48, MenuListMasterPixel)}});
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  m.SetSkinName(name);
}

}  // namespace adaptertest
