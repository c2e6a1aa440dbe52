// Section painting, texture fill modes, state images and parent corners: flat colours whose results are worked out
// by hand, and textures against the pixel each target pixel should take.
#include "skin/painters/section_paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "gui/extctrls.h"
#include "skin/data/scommondata.h"
#include "skin/painters/gradients.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/parent_background.h"
#include "skin/painters/state_images.h"
#include "skin/painters/texture_fill.h"
#include "tests/skin_painters/painters_fixture.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::PaintersFixture;

uint32_t Opaque(TColor c) { return ColorToPixel(c, 255); }

int ChannelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift : {0, 8, 16, 24}) worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return worst;
}

TEST(SectionPaint, BackgroundRulesForEachKindOfSection) {
  PaintersFixture f;
  const uint32_t start = 0x01020304u;
  Bitmap parent = test::Filled(40, 40, 0xFF102030u);  // R 0x10, G 0x20, B 0x30
  const CacheInfo ready = CacheInfoFromBitmap(&parent, 2, 3);
  CacheInfo fill = EmptyCacheInfo;
  fill.FillColor = 0x0000FF;  // red
  const uint32_t glassOwn = Opaque(0x204060);
  struct Case {
    const char* what;
    int32_t section;
    const CacheInfo* ci;
    TColor custom;
    uint32_t expected;
  };
  const Case cases[] = {
      {"opaque colour", f.panel, &ready, KeyColor, Opaque(PaintersFixture::kPanelColor)},
      {"no parent: own look", f.glass, &EmptyCacheInfo, KeyColor, glassOwn},
      // TRANSPARENCY 50 over a ready parent: (parent x 128 + own x 128) shr 8, alpha included.
      {"half transparent over the parent image", f.glass, &ready, KeyColor,
       MakePixel((0x30 + 0x20) / 2, (0x20 + 0x40) / 2, (0x10 + 0x60) / 2, 255)},
      // Not ready, no percentages: the parent colour weighted by the transparency.
      {"half transparent over a parent colour", f.glass, &fill, KeyColor,
       Opaque(MixColorsRatio(0x0000FF, 0x204060, 0.5))},
      {"transparent over the parent image", f.clear, &ready, KeyColor, 0xFF102030u},
      {"transparent over a parent colour", f.clear, &fill, KeyColor, Opaque(0x0000FF)},
      {"custom colour", f.glass, &ready, 0x00FF00, Opaque(0x00FF00)},
  };
  for (const Case& c : cases) {
    Bitmap bmp = test::Filled(30, 30, start);
    PaintSectionCore(c.section, *c.ci, 0, TRect{4, 5, 20, 25}, TPoint{1, 1}, bmp, &f.manager, -1, -1, c.custom);
    EXPECT_EQ(GetPixel32(bmp, 10, 10), c.expected) << c.what;
    EXPECT_EQ(GetPixel32(bmp, 3, 10), start) << c.what;
  }
  // A fully transparent section over its own bitmap leaves it untouched.
  Bitmap self = test::RandomBitmap(20, 20, 4);
  Bitmap before;
  before.Assign(self);
  PaintSectionCore(f.clear, CacheInfoFromBitmap(&self, 0, 0), 0, TRect{0, 0, 20, 20}, TPoint{}, self, &f.manager, -1,
                   -1, KeyColor);
  EXPECT_TRUE(test::SamePixels(self, before));
  // A colour answer over a parent image with valid margins: strips from the image, the rest in the colour.
  Bitmap image = test::RandomBitmap(30, 30, 8);
  CacheInfo margins{&image, 0, 0, 0x00FF00, TRect{2, 3, 4, 5}, false};
  Bitmap bmp = test::Filled(30, 30, start);
  PaintSectionCore(f.clear, margins, 0, TRect{0, 0, 28, 27}, TPoint{}, bmp, &f.manager, -1, -1, KeyColor);
  for (int32_t y = 0; y < 27; ++y)
    for (int32_t x = 0; x < 28; ++x) {
      const bool strip = x < 2 || y < 3 || x >= 26 || y >= 25;
      ASSERT_EQ(GetPixel32(bmp, x, y), strip ? GetPixel32(image, x, y) : Opaque(0x00FF00)) << x << ", " << y;
    }
}

TEST(SectionPaint, TextureAndGradientShares) {
  PaintersFixture f;
  // 30 % texture (stretched), 40 % gradient (flat green) weighted against the texture by 30 x 255 div 100 = 76, then
  // 30 % of the colour (red 200): pixel x 0.7 + colour x 0.3.
  Bitmap bmp(25, 15, pf32bit);
  const TRect R{0, 0, 25, 15};
  PaintSectionCore(f.mixed, EmptyCacheInfo, 0, R, TPoint{}, bmp, &f.manager, -1, -1, KeyColor);
  int worst = 0;
  for (int32_t y = 0; y < 15; ++y)
    for (int32_t x = 0; x < 25; ++x) {
      const uint32_t t = GetPixel32(f.Master(), 40 + (2 * x + 1) * 5 / 50, (2 * y + 1) * 3 / 30);
      auto ch = [](uint32_t tc, uint32_t gc, uint32_t kc) {
        const uint32_t mixed = (tc * 76 + gc * (256 - 76)) >> 8;
        return uint32_t(std::lround(mixed * 0.7 + kc * 0.3));
      };
      const uint32_t expected = MakePixel(ch(PixelB(t), 0, 0), ch(PixelG(t), 200, 0), ch(PixelR(t), 0, 200), 255);
      worst = std::max(worst, ChannelDistance(GetPixel32(bmp, x, y), expected));
    }
  EXPECT_LE(worst, 1);
  // 60 % texture and 40 % gradient with a tiled texture: one pass, texture weight 60 x 255 div 100 = 153.
  Bitmap one(20, 11, pf32bit);
  PaintSectionCore(f.onePass, EmptyCacheInfo, 0, TRect{0, 0, 20, 11}, TPoint{}, one, &f.manager, -1, -1, KeyColor);
  worst = 0;
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      const uint32_t t = GetPixel32(f.Master(), 40 + x % 5, y % 3);
      const double g = 255.0 * (1.0 - y / 10.0);  // white to black over the rows
      auto ch = [g](uint32_t tc) { return uint32_t((tc * 153 + uint32_t(std::lround(g)) * 103) >> 8); };
      worst = std::max(worst, ChannelDistance(GetPixel32(one, x, y), MakePixel(ch(PixelB(t)), ch(PixelG(t)), ch(PixelR(t)), 255)));
    }
  EXPECT_LE(worst, 1);
}

TEST(SectionPaint, SkinItemAndControlItem) {
  PaintersFixture f;
  Bitmap parent = test::RandomBitmap(50, 50, 11);
  const CacheInfo ci = CacheInfoFromBitmap(&parent, 0, 0);
  Bitmap bmp = test::Filled(40, 30, 0u);
  const TRect R{2, 1, 38, 29};
  // State 5 of a 3-state section: state 2 of the border, the hot block of the background.
  PaintSkinItem(f.button, ci, 5, R, TPoint{3, 4}, bmp, &f.manager);
  EXPECT_EQ(GetPixel32(bmp, 20, 15), Opaque(PaintersFixture::kButtonHot));
  const int32_t stateLeft = 24;  // state 2 of the frame
  EXPECT_EQ(GetPixel32(bmp, 2 + 1, 1 + 5), GetPixel32(f.Master(), stateLeft + 1, 5));  // left edge
  // The frame's key pixel at its top-left shows the parent, moved by the offset.
  EXPECT_EQ(GetPixel32(bmp, 2, 1), GetPixel32(parent, 2 + 3, 1 + 4));
  EXPECT_EQ(GetPixel32(bmp, 0, 0), 0u);
  // A bitmap too small, a negative origin or an invalid section paint nothing.
  Bitmap small = test::Filled(10, 10, 7u);
  PaintSkinItem(f.button, ci, 0, TRect{0, 0, 11, 10}, TPoint{}, small, &f.manager);
  PaintSkinItem(f.button, ci, 0, TRect{-1, 0, 9, 10}, TPoint{}, small, &f.manager);
  PaintSkinItem(99, ci, 0, TRect{0, 0, 10, 10}, TPoint{}, small, &f.manager);
  EXPECT_TRUE(test::SamePixels(small, test::Filled(10, 10, 7u)));

  // The control item: its colour tone over the whole bitmap, key pixels kept.
  TsCommonData data;
  data.FSkinManager = &f.manager;
  data.SkinIndex = f.button;
  data.BorderIndex = f.frame;
  data.ColorTone = 0x0000FF;  // red tone: every channel max(B, G, R) x tone channel shr 8
  Bitmap item = test::Filled(40, 30, 0u);
  SetPixel32(item, 39, 29, KeyPixel);
  PaintControlItem(data, EmptyCacheInfo, -1, -1, 1, item, TPoint{}, TRect{0, 0, 30, 30}, 0);
  const uint32_t own = Opaque(PaintersFixture::kButtonColor);
  const uint32_t m = std::max({PixelB(own), PixelG(own), PixelR(own)});
  EXPECT_EQ(GetPixel32(item, 15, 15), MakePixel(0, 0, (m * 255) >> 8, 255));
  EXPECT_EQ(GetPixel32(item, 39, 29), KeyPixel);
  // Its CustomColor takes the owner control's colour.
  gui::TPanel owner(nullptr);
  owner.SetColor(0x00FF00);
  data.OwnerControl = &owner;
  data.CustomColor = 1;
  data.ColorTone = clNone;
  Bitmap custom(30, 30, pf32bit);
  PaintControlBackground(data, EmptyCacheInfo, 0, -1, -1, custom, TPoint{}, TRect{0, 0, 30, 30});
  EXPECT_EQ(GetPixel32(custom, 15, 15), Opaque(0x00FF00));
}

// The pixel of a texture tile (tw x th at (40, 0) of the master) that target pixel (x, y) of a mode takes; 0 for a
// pixel the mode leaves alone.
using Expect = std::function<uint32_t(const Bitmap& m, int32_t x, int32_t y)>;

TEST(TextureFill, ModesCoverWhatTheyHandBack) {
  PaintersFixture f;
  const SkinImageRecord& tex = f.Image(f.texture);  // 5 x 3
  const TRect R{2, 1, 25, 15};                      // 23 x 14
  auto tile = [](const Bitmap& m, int32_t x, int32_t y) { return GetPixel32(m, 40 + (x - 2) % 5, (y - 1) % 3); };
  auto nearest = [](int32_t i, int32_t from, int32_t to) { return (2 * i + 1) * from / (2 * to); };
  struct Case {
    uint8_t mode;
    Expect expect;
    TRect handedBack;
  };
  const Case cases[] = {
      {0, tile, {2, 1, TextureCoveredAll, 15}},
      {1, [&](const Bitmap& m, int32_t x, int32_t y) { return GetPixel32(m, 40 + nearest(x - 2, 5, 23), nearest(y - 1, 3, 14)); },
       {2, 1, TextureCoveredAll, 15}},
      {2, [&](const Bitmap& m, int32_t x, int32_t y) { return y < 4 ? tile(m, x, y) : 0u; }, {2, 4, 25, 15}},
      {3, [&](const Bitmap& m, int32_t x, int32_t y) { return x < 7 ? tile(m, x, y) : 0u; }, {7, 1, 25, 15}},
      {4, [&](const Bitmap& m, int32_t x, int32_t y) { return y < 4 ? GetPixel32(m, 40 + nearest(x - 2, 5, 23), y - 1) : 0u; },
       {2, 4, 25, 15}},
      {5, [&](const Bitmap& m, int32_t x, int32_t y) { return x < 7 ? GetPixel32(m, 40 + x - 2, nearest(y - 1, 3, 14)) : 0u; },
       {7, 1, 25, 15}},
      {6, [&](const Bitmap& m, int32_t x, int32_t y) { return y >= 12 ? GetPixel32(m, 40 + (x - 2) % 5, y - 12) : 0u; },
       {2, 1, 25, 12}},
      {7, [&](const Bitmap& m, int32_t x, int32_t y) { return x >= 20 ? GetPixel32(m, 40 + x - 20, (y - 1) % 3) : 0u; },
       {2, 1, 20, 15}},
      // Whole tiles while x < 20 and y < 12 (so to column 22 and row 13), the last column cut: rows 13, 14 left.
      {10, [&](const Bitmap& m, int32_t x, int32_t y) { return y < 13 ? tile(m, x, y) : 0u; }, {2, 13, 25, 15}},
      {11, [&](const Bitmap& m, int32_t x, int32_t y) { return GetPixel32(m, 40 + nearest(x - 2, 5, 23), (y - 1) % 3); },
       {2, 1, TextureCoveredAll, 15}},
      {12, [&](const Bitmap& m, int32_t x, int32_t y) { return GetPixel32(m, 40 + (x - 2) % 5, nearest(y - 1, 3, 14)); },
       {2, 1, TextureCoveredAll, 15}},
      {8, [](const Bitmap&, int32_t, int32_t) { return 0u; }, {2, 1, 25, 15}},
  };
  for (const Case& c : cases) {
    Bitmap bmp(30, 20, pf32bit);
    TRect r = R;
    StretchBltPart(bmp, r, c.mode, tex);
    EXPECT_EQ(r, c.handedBack) << "mode " << int(c.mode);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        const bool inside = x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom;
        ASSERT_EQ(GetPixel32(bmp, x, y), inside ? c.expect(f.Master(), x, y) : 0u)
            << "mode " << int(c.mode) << " at " << x << ", " << y;
      }
  }
  // A tile of zero size draws nothing and hands the rectangle back whole.
  SkinImageRecord empty = tex;
  empty.SourceRect.Right = empty.SourceRect.Left;
  Bitmap bmp(30, 20, pf32bit);
  TRect r = R;
  StretchBltPart(bmp, r, 0, empty);
  EXPECT_EQ(r, R);
  TileBltPart(bmp, r, EmptyCacheInfo, 0, empty);
  EXPECT_EQ(r, R);
  EXPECT_TRUE(test::SamePixels(bmp, Bitmap(30, 20, pf32bit)));
}

TEST(TextureFill, MaskedTilesOverTheParent) {
  PaintersFixture f;
  const SkinImageRecord& tex = f.Image(f.maskedTexture);  // 4 x 4 over its mask: left half 0, right half 255
  Bitmap parent = test::RandomBitmap(30, 30, 21);
  const CacheInfo ci = CacheInfoFromBitmap(&parent, 1, 2);
  auto piece = [&](int32_t x, int32_t y, uint32_t d) {
    const int32_t tx = (x - 1) % 4, ty = (y - 1) % 4;
    const uint32_t s = GetPixel32(f.Master(), 50 + tx, ty), m = tx < 2 ? 0u : 255u;
    auto ch = [m](uint32_t dc, uint32_t sc) { return (dc * m + sc * (256 - m)) >> 8; };
    return MakePixel(ch(PixelB(d), PixelB(s)), ch(PixelG(d), PixelG(s)), ch(PixelR(d), PixelR(s)), PixelA(d));
  };
  for (uint8_t mode : {uint8_t(0), uint8_t(10)}) {
    const uint32_t d = 0x80404040u;
    Bitmap bmp = test::Filled(20, 20, d);
    TRect r{1, 1, 12, 10};
    TileBltPart(bmp, r, ci, mode, tex);
    EXPECT_EQ(r.Right, TextureCoveredAll);
    for (int32_t y = 1; y < 10; ++y)
      for (int32_t x = 1; x < 12; ++x) {
        // Mode 10: whole pieces in columns 1..8 and rows 1..8; the strips show the parent.
        const bool strip = mode == 10 && (x >= 9 || y >= 9);
        const uint32_t expected = strip ? GetPixel32(parent, x + 1, y + 2) : piece(x, y, d);
        ASSERT_EQ(GetPixel32(bmp, x, y), expected) << "mode " << int(mode) << " at " << x << ", " << y;
      }
    EXPECT_EQ(GetPixel32(bmp, 12, 5), d);
  }
}

TEST(StateImages, GlyphFramesAndClipping) {
  PaintersFixture f;
  const SkinImageRecord& glyph = f.Image(f.glyph);  // 2 states of 6 x 6 over masks: 200 at the edges, 0 inside
  auto expected = [&](int32_t state, int32_t fx, int32_t fy, uint32_t d, int32_t mode) {
    const uint32_t s = GetPixel32(f.Master(), 60 + state * 6 + fx, fy);
    const uint32_t m = PixelR(GetPixel32(f.Master(), 60 + state * 6 + fx, 6 + fy));
    const uint32_t w = std::min<uint32_t>(m + (mode == 1 ? 0 : 100), 255);
    auto ch = [w](uint32_t dc, uint32_t sc) { return (dc * w + sc * (256 - w)) >> 8; };
    const uint32_t a = PixelA(d) + (((255 - PixelA(d)) * (255 - m)) >> 8);
    return MakePixel(ch(PixelB(d), PixelB(s)), ch(PixelG(d), PixelG(s)), ch(PixelR(d), PixelR(s)), a);
  };
  const uint32_t d = 0x20808080u;
  struct Case {
    TPoint at;
    int32_t state, mode, expectState;
  };
  const Case cases[] = {{{2, 3}, 0, 1, 0}, {{2, 3}, 9, 1, 1}, {{2, 3}, 1, 2, 1}, {{-3, 0}, 0, 1, 0}, {{4, -2}, 1, 1, 1}};
  for (const Case& c : cases) {
    Bitmap bmp = test::Filled(12, 12, d);
    DrawImageState(bmp, c.at, c.state, EmptyCacheInfo, glyph, c.mode);
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 12; ++x) {
        const int32_t fx = x - c.at.X, fy = y - c.at.Y;
        const bool inside = fx >= 0 && fx < 6 && fy >= 0 && fy < 6;
        ASSERT_EQ(GetPixel32(bmp, x, y), inside ? expected(c.expectState, fx, fy, d, c.mode) : d)
            << c.at.X << "," << c.at.Y << " state " << c.state << " at " << x << ", " << y;
      }
  }
  // A negative state or a record without states draws nothing.
  Bitmap bmp = test::Filled(12, 12, d);
  DrawImageState(bmp, TPoint{0, 0}, -1, EmptyCacheInfo, glyph, 1);
  SkinImageRecord none = glyph;
  none.ImageCount = 0;
  DrawImageState(bmp, TPoint{0, 0}, 0, EmptyCacheInfo, none, 1);
  EXPECT_TRUE(test::SamePixels(bmp, test::Filled(12, 12, d)));
  // An unmasked glyph: key pixels show the parent (mode 1), or the frame is blended at half strength.
  Bitmap parent = test::Filled(12, 12, 0xFF00FF00u);
  const CacheInfo ci = CacheInfoFromBitmap(&parent, 0, 0);
  Bitmap plain = test::Filled(12, 12, 0xFF000000u);
  DrawImageState(plain, TPoint{1, 1}, 1, ci, f.Image(f.plainGlyph), 1);
  EXPECT_EQ(GetPixel32(plain, 1, 1), 0xFF00FF00u);
  EXPECT_EQ(GetPixel32(plain, 2, 2), GetPixel32(f.Master(), 85, 1));
}

TEST(StateImages, ParentCornersShowTheParentsImage) {
  PaintersFixture f;
  auto parent = std::make_unique<gui::TPanel>(nullptr);
  Bitmap parentCache = test::RandomBitmap(60, 50, 31);
  int asked = 0;
  parent->WindowProc = [&, old = parent->WindowProc](gui::TMessage& m) {
    if (m.Msg == library_command::Message && HIWORD(m.WParam) == library_command::GetBackground) {
      auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
      info->Bmp = &parentCache;
      info->Offset = TPoint{0, 0};
      info->BgType = btCache;
      ++asked;
      return;
    }
    old(m);
  };
  auto* child = new gui::TPanel(parent.get());
  child->SetParent(parent.get());
  child->SetBounds(5, 6, 30, 20);
  TsCommonData data;
  data.FSkinManager = &f.manager;
  data.SkinIndex = f.button;
  data.BorderIndex = f.frame;
  data.OwnerControl = child;
  for (uint8_t corners : {uint8_t(pcTopLeft), uint8_t(pcTopLeft | pcBottomRight)}) {
    data.CacheBmp = std::make_unique<Bitmap>(30, 20, pf32bit);
    FillRectBitmap32(*data.CacheBmp, TRect{0, 0, 30, 20}, 0x0000FF, 255);
    PaintParentCorners(data, 0, corners);
    // The frame's key pixels: (0, 0), (1, 0), (0, 1) in the top-left corner, (11, 11) in the bottom-right one.
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        const bool topLeft = (x == 0 && y == 0) || (x == 1 && y == 0) || (x == 0 && y == 1);
        const bool bottomRight = x == 29 && y == 19 && (corners & pcBottomRight);
        ASSERT_EQ(GetPixel32(*data.CacheBmp, x, y),
                  topLeft || bottomRight ? GetPixel32(parentCache, x + 5, y + 6) : Opaque(0x0000FF))
            << int(corners) << " at " << x << ", " << y;
      }
  }
  EXPECT_EQ(asked, 2);
}

TEST(StateImages, SkinImageByIndexPremultipliesAWholeTarget) {
  PaintersFixture f;
  Bitmap whole(10, 8, pf32bit);
  PaintSkinImageByIndex(f.panel, 0, TRect{0, 0, 10, 8}, TPoint{}, &whole, &f.manager);
  const uint32_t p = Opaque(PaintersFixture::kPanelColor);
  EXPECT_EQ(GetPixel32(whole, 4, 4), MakePixel((PixelB(p) * 255) >> 8, (PixelG(p) * 255) >> 8, (PixelR(p) * 255) >> 8, 255));
  // A fully transparent section leaves its rectangle fully transparent; a part of a larger target is not premultiplied.
  Bitmap part = test::Filled(20, 20, 0xFF112233u);
  PaintSkinImageByIndex(f.clear, 0, TRect{2, 2, 12, 10}, TPoint{}, &part, &f.manager);
  EXPECT_EQ(GetPixel32(part, 5, 5), 0u);
  EXPECT_EQ(GetPixel32(part, 15, 15), 0xFF112233u);
  PaintSkinImageByIndex(f.panel, 0, TRect{2, 2, 12, 10}, TPoint{}, &part, &f.manager);
  EXPECT_EQ(GetPixel32(part, 5, 5), p);
  PaintSkinImageByIndex(f.panel, 0, TRect{2, 2, 22, 10}, TPoint{}, &part, &f.manager);  // larger than the target
  EXPECT_EQ(GetPixel32(part, 15, 5), 0xFF112233u);
}

}  // namespace
}  // namespace skin
