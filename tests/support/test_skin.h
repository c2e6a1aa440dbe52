#pragma once
// A small skin held in memory, for the tests of the painters: a GLOBALINFO section, a BUTTON section with a
// bordered mask (key-colour corners), a texture and a hot state, an EDIT section, a SPEEDBUTTON section that
// inherits from BUTTON, and a master image the records are cut from.
#include <memory>

#include "skin/data/loaded_skin.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin::test {

inline LoadedSkin MakeTestSkin() {
  LoadedSkin s;
  s.MasterBitmap = std::make_shared<Bitmap>(64, 32, pf32bit);
  Bitmap& m = *s.MasterBitmap;
  // Bordered mask of 2 states, 8 x 8 each, image and mask frames (MaskType 1): at (0, 0, 16, 16).
  FillRectBitmap32(m, TRect{0, 0, 16, 8}, 0x202020, 255);
  FillRectBitmap32(m, TRect{0, 8, 16, 16}, 0x000000, 0);
  SetPixel32(m, 0, 0, KeyPixel);
  SetPixel32(m, 8, 0, KeyPixel);
  // Texture: 4 x 4 blue at (16, 0).
  FillRectBitmap32(m, TRect{16, 0, 20, 4}, 0xFF0000, 255);

  SkinSectionRecord global;
  global.SectionName = "GLOBALINFO";
  SkinSectionRecord button;
  button.SectionName = "BUTTON";
  button.States = 3;
  button.NormalState.Color = 0xC0C0C0;
  button.NormalState.FontColor = 0x000000;
  button.HotState.Color = 0xE0E0E0;
  button.HotState.FontColor = 0x0000FF;
  button.HotState.ContourLeft = 0x00FF00;
  SkinSectionRecord edit;
  edit.SectionName = "EDIT";
  edit.States = 0;  // a skin that gives no state count
  edit.NormalState.Color = 0xFFFFFF;
  SkinSectionRecord speed;
  speed.SectionName = "SPEEDBUTTON";
  speed.ParentName = "BUTTON";
  s.Sections = {global, button, edit, speed};

  const int32_t mask = SkinManagerAddImage(s, 1, "BORDERSMASK", 1, 1, 2, TRect{0, 0, 16, 16}, 2, "BUTTON");
  s.Images[size_t(mask)].BorderLeft = 2;
  s.Images[size_t(mask)].BorderTop = 2;
  s.Images[size_t(mask)].BorderRight = 3;
  s.Images[size_t(mask)].BorderBottom = 0;
  s.Images[size_t(mask)].CommonBorderWidth = 1;
  s.Sections[1].BorderIndex = mask;
  s.Sections[1].BorderKind = 0;
  const int32_t texture = SkinManagerAddImage(s, 1, "PATTERN", 0, 0, 1, TRect{16, 0, 20, 4}, 1, "BUTTON");
  s.Sections[1].TextureIndex = texture;
  s.Sections[1].NormalState.TextureIndex = texture;
  // A glyph with a bitmap of its own.
  const int32_t glyph = SkinManagerAddImage(s, 0, "BICONCLOSE", 0, 0, 3, TRect{0, 0, 30, 10}, 2, "GLOBALINFO");
  s.Images[size_t(glyph)].Bitmap = std::make_shared<Bitmap>(30, 10, pf32bit);
  s.CommonIndexes.GlobalInfo = 0;
  s.CommonIndexes.BIConClose = glyph;
  s.SkinData.Active = 1;
  return s;
}

}  // namespace skin::test
