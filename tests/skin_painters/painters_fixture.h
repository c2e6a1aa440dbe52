#pragma once
// A skin built by the painters' tests, held by a skin manager: a master image whose pixels differ from place to
// place (so that a piece taken from the wrong place shows), key-colour corners, masks with varied and with flat
// values, textures and glyphs; and sections in flat colours whose painted values can be worked out by hand.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin::test {

// An opaque pixel that depends on its place and on a region number.
inline uint32_t PlacePixel(int32_t x, int32_t y, uint32_t region) {
  return MakePixel(uint32_t(x * 7 + 3) & 0xFF, uint32_t(y * 11 + 5) & 0xFF, region * 40 & 0xFF, 255);
}

struct PaintersFixture {
  PortableSkinSystem system;
  TsSkinManager manager{system};

  // Image records.
  int32_t frame = -1;        // MaskType 0, 3 states of 12 x 12, borders 3, 3, 4, 2, key pixels in the corners
  int32_t masked = -1;       // MaskType 1, 3 states of 10 x 10, masks of varied values, a key corner
  int32_t flatMasked = -1;   // MaskType 1, 1 state of 8 x 8, one image colour, one mask value (100)
  int32_t texture = -1;      // 5 x 3 tile, MaskType 0
  int32_t maskedTexture = -1;  // 4 x 4 image over its 4 x 4 mask, MaskType 1
  int32_t glyph = -1;        // MaskType 1, 2 states of 6 x 6
  int32_t plainGlyph = -1;   // MaskType 0, 2 states of 4 x 4, key pixel at the top-left
  // Sections.
  int32_t button = -1;       // 3 states, opaque flat colours, the frame as border, contour colours
  int32_t panel = -1;        // 1 state, opaque flat colour
  int32_t glass = -1;        // TRANSPARENCY 50
  int32_t clear = -1;        // TRANSPARENCY 100
  int32_t mixed = -1;        // IMAGEPERCENT 30 + GRADIENTPERCENT 40 with a stretch texture
  int32_t onePass = -1;      // IMAGEPERCENT 60 + GRADIENTPERCENT 40 with a tiled (mode 0) texture, rows gradient
  int32_t label = -1;        // caption colours: black on white, glow

  static constexpr TColor kButtonColor = 0x305070, kButtonHot = 0x406080, kButtonFont = 0x102030;
  static constexpr TColor kPanelColor = 0x808040;
  static constexpr uint32_t kFlatImage = 0xFFA06020u, kFlatMask = 0x00646464u;  // mask value 100

  PaintersFixture() {
    LoadedSkin s;
    s.MasterBitmap = std::make_shared<Bitmap>(160, 96, pf32bit);
    Bitmap& m = *s.MasterBitmap;
    // Frame: (0, 0)-(36, 12), region 1; key pixels at (0,0), (1,0), (0,1) and (11,11) of every state.
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 36; ++x) {
        const int32_t fx = x % 12;
        const bool key = (fx == 0 && y == 0) || (fx == 1 && y == 0) || (fx == 0 && y == 1) || (fx == 11 && y == 11);
        SetPixel32(m, x, y, key ? KeyPixel : PlacePixel(x, y, 1 + uint32_t(x / 12)));
      }
    // Masked: image (0, 16)-(30, 26), mask (0, 26)-(30, 36).
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        SetPixel32(m, x, 16 + y, (x % 10 == 9 && y == 0) ? KeyPixel : PlacePixel(x, y, 4 + uint32_t(x / 10)));
        const uint32_t v = uint32_t((x * 37 + y * 53) % 7) * 42;  // 0 .. 252, some pixels 0
        const uint32_t mv = (x + y) % 9 == 0 ? 255 : v;
        SetPixel32(m, x, 26 + y, MakePixel(mv, (mv + 30) % 256, (mv * 3) % 256, 0));
      }
    // Flat masked: (40, 16)-(48, 32).
    FillRectBitmap32(m, TRect{40, 16, 48, 24}, RGBColor(0xA0, 0x60, 0x20), 255);
    FillRectBitmap32(m, TRect{40, 24, 48, 32}, RGBColor(100, 100, 100), 0);
    // Texture: (40, 0)-(45, 3).
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 5; ++x) SetPixel32(m, 40 + x, y, PlacePixel(x, y, 6));
    // Masked texture: (50, 0)-(54, 8): image then mask (0 on the left half, 255 on the right).
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 4; ++x) {
        SetPixel32(m, 50 + x, y, PlacePixel(x, y, 7));
        SetPixel32(m, 50 + x, 4 + y, x < 2 ? 0u : 0x00FFFFFFu);
      }
    // Glyph: (60, 0)-(72, 12): 2 states of 6 x 6 over their masks (mask red byte 0 in the middle, 200 at the edge).
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 12; ++x) {
        SetPixel32(m, 60 + x, y, PlacePixel(x, y, 8));
        const uint32_t mv = (x % 6 == 0 || y == 0) ? 200 : 0;
        SetPixel32(m, 60 + x, 6 + y, MakePixel(mv, mv, mv, 0));
      }
    // Plain glyph: (80, 0)-(88, 4).
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 8; ++x) SetPixel32(m, 80 + x, y, (x % 4 == 0 && y == 0) ? KeyPixel : PlacePixel(x, y, 9));

    auto section = [&](const std::string& name) {
      SkinSectionRecord r;
      r.SectionName = name;
      s.Sections.push_back(r);
      return int32_t(s.Sections.size() - 1);
    };
    section("GLOBALINFO");
    button = section("BUTTON");
    panel = section("PANEL");
    glass = section("GLASS");
    clear = section("CLEAR");
    mixed = section("MIXED");
    onePass = section("ONEPASS");
    label = section("LABEL");

    auto image = [&](int32_t sec, const char* key, int16_t maskType, uint16_t drawMode, int16_t count, TRect r,
                     int16_t wl, int16_t wt, int16_t wr, int16_t wb, uint8_t kind) {
      const int32_t i = SkinManagerAddImage(s, sec, key, maskType, drawMode, count, r, kind,
                                            s.Sections[size_t(sec)].SectionName, &manager);
      SkinImageRecord& rec = s.Images[size_t(i)];
      rec.BorderLeft = wl;
      rec.BorderTop = wt;
      rec.BorderRight = wr;
      rec.BorderBottom = wb;
      rec.TransparentFlag = SkinImageTransparentFlag(s, rec);
      return i;
    };
    frame = image(button, "BORDERSMASK", 0, 0, 3, TRect{0, 0, 36, 12}, 3, 3, 4, 2, 2);
    masked = image(panel, "BORDERSMASK", 1, 4, 3, TRect{0, 16, 30, 36}, 2, 3, 3, 2, 2);
    flatMasked = image(panel, "FLAT", 1, 1 | 4, 1, TRect{40, 16, 48, 32}, 2, 2, 2, 2, 2);
    texture = image(mixed, "PATTERN", 0, 1, 1, TRect{40, 0, 45, 3}, 0, 0, 0, 0, 1);
    maskedTexture = image(panel, "HOTPATTERN", 1, 10, 1, TRect{50, 0, 54, 8}, 0, 0, 0, 0, 1);
    glyph = image(label, "GLYPH", 1, 0, 2, TRect{60, 0, 72, 12}, 0, 0, 0, 0, 2);
    plainGlyph = image(label, "PLAINGLYPH", 0, 0, 2, TRect{80, 0, 88, 4}, 0, 0, 0, 0, 2);

    SkinSectionRecord& b = s.Sections[size_t(button)];
    b.States = 3;
    b.NormalState.Color = kButtonColor;
    b.NormalState.FontColor = kButtonFont;
    b.NormalState.ContourLeft = 0x0000FF;
    b.NormalState.ContourBottom = 0x00FF00;
    b.HotState = b.NormalState;
    b.HotState.Color = kButtonHot;
    b.BorderIndex = frame;
    SkinSectionRecord& p = s.Sections[size_t(panel)];
    p.States = 1;
    p.NormalState.Color = kPanelColor;
    p.HotState = p.NormalState;
    SkinSectionRecord& g = s.Sections[size_t(glass)];
    g.NormalState.Color = 0x204060;
    g.NormalState.Transparency = 50;
    g.HotState = g.NormalState;
    SkinSectionRecord& c = s.Sections[size_t(clear)];
    c.NormalState.Color = 0x111111;
    c.NormalState.Transparency = 100;
    c.HotState = c.NormalState;
    SkinSectionRecord& mx = s.Sections[size_t(mixed)];
    mx.NormalState.Color = 0x0000C8;
    mx.NormalState.ImagePercent = 30;
    mx.NormalState.GradientPercent = 40;
    mx.NormalState.TextureIndex = -1;
    mx.NormalState.GradientSteps = {GradientStep{0x00C800, 0x00C800, 100, 0}};
    mx.HotState = mx.NormalState;
    SkinSectionRecord& op = s.Sections[size_t(onePass)];
    op.NormalState.Color = 0x000000;
    op.NormalState.ImagePercent = 60;
    op.NormalState.GradientPercent = 40;
    op.NormalState.GradientSteps = {GradientStep{0xFFFFFF, 0x000000, 100, 0}};
    op.HotState = op.NormalState;
    SkinSectionRecord& l = s.Sections[size_t(label)];
    l.States = 2;
    l.NormalState.Color = 0xFFFFFF;
    l.NormalState.FontColor = 0x000000;
    l.HotState = l.NormalState;
    l.HotState.FontColor = 0x0000FF;
    l.HotState.ContourRight = 0xFF0000;
    l.HotState.GradientSize = 2;           // glow
    l.HotState.GradientColor = 0x00FFFF;  // glow colour

    s.SkinData.Active = 1;
    manager.Skin() = std::move(s);
    // The texture of the mixed section (a stretch texture) and of the one-pass section (tiled, mode 0).
    LoadedSkin& ls = manager.Skin();
    ls.Sections[size_t(mixed)].NormalState.TextureIndex = texture;
    ls.Sections[size_t(mixed)].HotState.TextureIndex = texture;
    onePassTexture = SkinManagerAddImage(ls, onePass, "PATTERN", 0, 0, 1, TRect{40, 0, 45, 3}, 1, "ONEPASS", &manager);
    ls.Sections[size_t(onePass)].NormalState.TextureIndex = onePassTexture;
    ls.Sections[size_t(onePass)].HotState.TextureIndex = onePassTexture;
  }

  int32_t onePassTexture = -1;

  LoadedSkin& Skin() { return manager.Skin(); }
  SkinImageRecord& Image(int32_t i) { return manager.Skin().Images[size_t(i)]; }
  const Bitmap& Master() { return *manager.Skin().MasterBitmap; }
};

}  // namespace skin::test
