#pragma once
// The fixture skin of the control adapter tests: the scroll fixture with flat, distinct colours for the button
// section in its four states (a border image of four flat cells), the check-box glyphs in three states, the group
// box, the panel, the check box's own section and the combo's button.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/skin_adapters/scroll_skin.h"

namespace adaptertest {

namespace ctlcolours {
inline constexpr uint32_t ButtonN = 0x30A0E0, ButtonH = 0x40C0F0, ButtonP = 0x205080, ButtonD = 0x8020A0;
inline constexpr uint32_t BoxU[3] = {0x10E010, 0x30F030, 0x108010};
inline constexpr uint32_t BoxC[3] = {0xE01010, 0xF03030, 0x801010};
inline constexpr uint32_t CheckBg = 0xD0E0C0, CheckBgH = 0xC0D0B0;
inline constexpr uint32_t GroupBg = 0xB0C0E0, PanelBg = 0xA0D0D0;
inline constexpr uint32_t ComboBtnN = 0x6040A0, ComboBtnH = 0x7050B0;
inline constexpr uint32_t Grip = 0x2080F0, TrackBg = 0xC0B0A0, Tick = 0x1020F0, StatusBg = 0x90A0B0;
inline constexpr uint32_t ToolN = 0xE0D0C0, ToolH = 0x50E0A0, SpeedSmall = 0x70C070;
// The arrow glyphs of the arrow variant (normal, hot, pressed) and its column headers.
inline constexpr uint32_t ArrowInk[3] = {0x2010D0, 0x20D010, 0xD02010};
inline constexpr uint32_t ColHdrN = 0xC0E0F0, ColHdrH = 0xB0D0E0;
}  // namespace ctlcolours

inline uint32_t ControlMasterPixel(int x, int y) {
  using namespace ctlcolours;
  if (x < 24) return ScrollMasterPixel(x, y);
  if (x < 56 && y < 8) {
    const uint32_t states[4] = {ButtonN, ButtonH, ButtonP, ButtonD};
    return Rgb(states[(x - 24) / 8]);
  }
  if (x < 48 && y >= 8 && y < 24) return Rgb(y < 16 ? BoxU[(x - 24) / 8] : BoxC[(x - 24) / 8]);
  if (x >= 48 && x < 56 && y >= 8 && y < 16) return Rgb(Grip);
  if (x >= 24 && x < 39 && y >= 24 && y < 29) return Rgb(ArrowInk[(x - 24) / 5]);
  return skintest::Key;
}

inline std::string ControlOptionsText() {
  using namespace ctlcolours;
  std::string t = ScrollOptionsText();
  auto colour = [](uint32_t c) { return std::to_string(c); };
  // The glyphs go into the global section.
  const std::string globals = "BOXUNCHECKED=" + Glyph(24, 8, 48, 16, 3, 0) + "\r\nBOXCHECKED=" +
                              Glyph(24, 16, 48, 24, 3, 0) + "\r\nGRIPIMAGE=" +
                              Glyph(48, 8, 56, 16, 1, 0) + "\r\n";
  const size_t at = t.find("[SCROLLBTNLEFT]");
  t.insert(at, globals);
  auto line = [&t](const std::string& s) { t += s + "\r\n"; };
  line("[BUTTON]");
  line("STATES=4");
  line("COLOR=" + colour(ButtonN));
  line("HOTCOLOR=" + colour(ButtonH));
  line("FONTCOLOR=0x000000");
  line("HOTFONTCOLOR=0x000080");
  line("BORDERSMASK=" + Mask(24, 0, 56, 8, 2, 2, 2, 2, 4, 0, 5, 0));
  // Speed buttons take the button's four cells.
  line("[SPEEDBUTTON]");
  line("STATES=3");
  line("COLOR=" + colour(ButtonN));
  line("HOTCOLOR=" + colour(ButtonH));
  line("BORDERSMASK=" + Mask(24, 0, 56, 8, 2, 2, 2, 2, 4, 0, 5, 0));
  auto flat = [&](const char* name, uint32_t n, uint32_t h, int states, uint32_t font = 0) {
    line(std::string("[") + name + "]");
    line("STATES=" + std::to_string(states));
    line("COLOR=" + colour(n));
    line("HOTCOLOR=" + colour(h));
    line("FONTCOLOR=" + colour(font));
    line("HOTFONTCOLOR=0x000000");
  };
  flat("CHECKBOX", CheckBg, CheckBgH, 2);
  flat("GROUPBOX", GroupBg, GroupBg, 1);
  flat("PANEL", PanelBg, PanelBg, 1);
  flat("COMBOBTN", ComboBtnN, ComboBtnH, 2);
  flat("TRACKBAR", TrackBg, TrackBg, 1, Tick);
  flat("STATUSBAR", StatusBg, StatusBg, 1);
  flat("TOOLBAR", StatusBg, StatusBg, 1);
  flat("TOOLBUTTON", ToolN, ToolH, 3);
  flat("SPEEDBUTTON_SMALL", SpeedSmall, SpeedSmall, 1);
  flat("CLEARBOX", CheckBg, CheckBg, 1);  // shows what lies under it
  line("TRANSPARENCY=100");
  return t;
}

// The same skin with arrow glyphs of its own on the four scroll buttons (5 x 5, three states) and a column header
// section.
inline std::string ArrowControlOptionsText() {
  using namespace ctlcolours;
  std::string t = ControlOptionsText();
  for (const char* name : {"[SCROLLBTNLEFT]", "[SCROLLBTNTOP]", "[SCROLLBTNRIGHT]", "[SCROLLBTNBOTTOM]"}) {
    const size_t at = t.find(name);
    t.insert(at + std::string(name).size() + 2, "GLYPHMASK=" + Glyph(24, 24, 39, 29, 3, 0) + "\r\n");
  }
  t += "[COLHEADER]\r\nSTATES=3\r\nCOLOR=" + std::to_string(ColHdrN) + "\r\nHOTCOLOR=" + std::to_string(ColHdrH) +
       "\r\nFONTCOLOR=0\r\nHOTFONTCOLOR=0\r\n";
  return t;
}

// Stores a skin of these options under that name (not applied).
inline void StoreControlSkin(skin::TsSkinManager& m, const std::string& name, const std::string& options) {
  skin::TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = name;
  const std::string bytes =
      skin::PackSkin({{"Options.dat", options}, {"master.bmp", skintest::Bmp24(64, 48, ControlMasterPixel)}});
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

inline void ApplyControlSkin(skin::TsSkinManager& m, const std::string& name = "Controls") {
  skin::TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = name;
  const std::string bytes =
      skin::PackSkin({{"Options.dat", ControlOptionsText()}, {"master.bmp", skintest::Bmp24(64, 48, ControlMasterPixel)}});
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  m.SetSkinName(name);
}

}  // namespace adaptertest
