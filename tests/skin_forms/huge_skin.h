#pragma once
// The control adapter tests' fixture skin with one more section, "BUTTON_HUGE", whose border has key-colour corners
// (the border that cuts a button's window at its corners).
#include <cstdint>
#include <string>

#include "tests/skin_adapters/control_skin.h"

namespace adaptertest {

// The button's four flat cells again, one row lower, with a key pixel in each corner of every cell.
inline uint32_t HugeMasterPixel(int x, int y) {
  if (x >= 24 && x < 56 && y >= 24 && y < 32) {
    const int lx = (x - 24) % 8, ly = y - 24;
    if ((lx == 0 || lx == 7) && (ly == 0 || ly == 7)) return skintest::Key;
    return ControlMasterPixel(x, y - 24);
  }
  return ControlMasterPixel(x, y);
}

inline void ApplyHugeSkin(skin::TsSkinManager& m) {
  skin::TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = "Huge";
  const std::string options = ControlOptionsText() + "[BUTTON_HUGE]\r\nSTATES=4\r\nCOLOR=" +
                              std::to_string(ctlcolours::ButtonN) + "\r\nHOTCOLOR=" +
                              std::to_string(ctlcolours::ButtonH) + "\r\nFONTCOLOR=0x000000\r\nBORDERSMASK=" +
                              Mask(24, 24, 56, 32, 2, 2, 2, 2, 4, 0, 5, 0) + "\r\n";
  const std::string bytes =
      skin::PackSkin({{"Options.dat", options}, {"master.bmp", skintest::Bmp24(64, 48, HugeMasterPixel)}});
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  m.SetSkinName("Huge");
}

}  // namespace adaptertest
