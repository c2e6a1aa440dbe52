#pragma once
// The title-bar items' sections added to the form-skinning test skin: "TB_BTN", "TB_MENUBTN" and "TB_TAB", each
// with a border image of three states (normal, hot, pressed) of 16 x 16, borders 7, every state one flat colour
// of its own, so that a probe near an item's edge names the item's kind and state.
#include "skin/data/loaded_skin.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_forms/forms_fixture.h"

namespace formstest {

enum ItemKind { kItemButton, kItemMenu, kItemTab, kItemKinds };
inline constexpr TColor ItemColor(int kind, int state) {
  constexpr TColor base[kItemKinds] = {0x2080F0, 0x40C020, 0x104080};
  return TColor(base[kind] + 0x300000 * state);
}
inline constexpr TColor kItemFont = 0xFFFFFF;

inline void AddTitleBarSections(FormsSkin& fs) {
  using namespace skin;
  LoadedSkin& s = fs.Skin();
  Bitmap& m = *s.MasterBitmap;
  static const char* names[kItemKinds] = {"TB_BTN", "TB_MENUBTN", "TB_TAB"};
  for (int k = 0; k < kItemKinds; ++k) {
    for (int st = 0; st < 3; ++st)
      FillRectBitmap32(m, TRect{k * 48 + st * 16, 120, k * 48 + st * 16 + 16, 136}, ItemColor(k, st), 255);
    SkinSectionRecord r;
    r.SectionName = names[k];
    r.States = 3;
    r.NormalState.Color = ItemColor(k, 0);
    r.NormalState.FontColor = kItemFont;
    r.HotState = r.NormalState;
    r.HotState.Color = ItemColor(k, 1);
    s.Sections.push_back(r);
    const int32_t section = int32_t(s.Sections.size() - 1);
    const int32_t image = SkinManagerAddImage(s, section, "BORDERSMASK", 0, 0, 3,
                                              TRect{k * 48, 120, k * 48 + 48, 136}, 2, names[k], fs.manager.get());
    SkinImageRecord& im = s.Images[size_t(image)];
    im.BorderLeft = im.BorderTop = im.BorderRight = im.BorderBottom = 7;
    im.TransparentFlag = SkinImageTransparentFlag(s, im);
    s.Sections[size_t(section)].BorderIndex = image;
    s.Sections[size_t(section)].BorderKind = 0;
  }
}

}  // namespace formstest
