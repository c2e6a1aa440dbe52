// The painters at the edges of their input: textures in rectangles smaller than a tile, frames in rectangles
// smaller than their borders, records without a manager, targets that are not 32-bit, rectangles far larger than
// their bitmap, coordinates near the limits of 32 bits, and a parent background that is the target itself.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "gui/extctrls.h"
#include "skin/data/scommondata.h"
#include "skin/painters/borders.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/texture_fill.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_painters/painters_fixture.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::PaintersFixture;

constexpr uint32_t kUntouched = 0x11111111u;

// A 4 x 4 tile whose pixel (x, y) holds its column and row: 0xFF00yyxx.
std::shared_ptr<Bitmap> NumberedTile() {
  auto tile = std::make_shared<Bitmap>(4, 4, pf32bit);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) SetPixel32(*tile, x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
  return tile;
}

uint32_t TileAt(int32_t x, int32_t y) { return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x); }

// The bytes B, G, R of pixel (x, y) of a 24-bit bitmap, as a colour.
TColor Pixel24(const Bitmap& bmp, int32_t x, int32_t y) {
  const uint8_t* p = bmp.ScanLine(y) + 3 * x;
  return RGBColor(p[2], p[1], p[0]);
}

TEST(PainterEdges, BottomAndRightBandsStartAtTheFarEdgeOfASmallRectangle) {
  SkinImageRecord rec;
  rec.Bitmap = NumberedTile();
  rec.SourceRect = TRect{0, 0, 4, 4};
  struct Case {
    uint8_t mode;
    TRect R;
    TPoint probe;
    uint32_t expected;
    TRect handedBack;
  };
  // Mode 6 in a rectangle two rows high: the band runs from R.Bottom - 4, so row 0 takes the tile's row 2; mode 7
  // likewise by columns.
  const Case cases[] = {
      {6, TRect{0, 0, 6, 2}, TPoint{0, 0}, TileAt(0, 2), TRect{0, 0, 6, -2}},
      {6, TRect{0, 0, 6, 2}, TPoint{5, 1}, TileAt(1, 3), TRect{0, 0, 6, -2}},
      {7, TRect{0, 0, 2, 6}, TPoint{0, 0}, TileAt(2, 0), TRect{0, 0, -2, 6}},
      {7, TRect{0, 0, 2, 6}, TPoint{1, 5}, TileAt(3, 1), TRect{0, 0, -2, 6}},
  };
  for (const Case& c : cases) {
    Bitmap dst = test::Filled(8, 8, kUntouched);
    TRect R = c.R;
    StretchBltPart(dst, R, c.mode, rec);
    EXPECT_EQ(GetPixel32(dst, c.probe.X, c.probe.Y), c.expected) << "mode " << int(c.mode);
    EXPECT_EQ(R, c.handedBack) << "mode " << int(c.mode);
    // Nothing outside R.
    EXPECT_EQ(GetPixel32(dst, c.R.Right, c.R.Bottom), kUntouched) << "mode " << int(c.mode);
    EXPECT_EQ(GetPixel32(dst, c.mode == 6 ? 0 : 2, c.mode == 6 ? 2 : 0), kUntouched) << "mode " << int(c.mode);
  }
}

TEST(PainterEdges, FramesInRectanglesSmallerThanTheirBorders) {
  // A form's frame image with borders (3, 1, 3, 1) on a 4 x 4 target: the corners overlap, painted in order
  // top-left, top-right, bottom-left, bottom-right; the side edges fill the rows between.
  const Bitmap src = test::RandomBitmap(10, 6, 5);
  Bitmap dst = test::Filled(6, 6, kUntouched);
  PaintFormBorderParts(dst, src, TRect{0, 0, 4, 4}, true, false, {0, 0, 0, 0}, TRect{3, 1, 3, 1}, TRect{3, 1, 3, 1},
                       TRect{0, 0, 10, 6});
  EXPECT_EQ(GetPixel32(dst, 0, 0), GetPixel32(src, 0, 0));
  EXPECT_EQ(GetPixel32(dst, 1, 0), GetPixel32(src, 7, 0));
  EXPECT_EQ(GetPixel32(dst, 3, 3), GetPixel32(src, 9, 5));
  EXPECT_EQ(GetPixel32(dst, 0, 3), GetPixel32(src, 0, 5));
  EXPECT_EQ(GetPixel32(dst, 0, 1), GetPixel32(src, 0, 1));
  EXPECT_EQ(GetPixel32(dst, 3, 2), GetPixel32(src, 9, 2));
  EXPECT_EQ(GetPixel32(dst, 4, 0), kUntouched);

  // A control's border in a rectangle narrower than its borders (3 + 4 on 6): the mask shares the loss and the
  // client rectangle is R less the widths.
  PaintersFixture f;
  gui::TPanel parent(nullptr);
  parent.SetColor(0x00FF00);
  auto* child = new gui::TPanel(&parent);
  child->SetParent(&parent);
  child->SetBounds(0, 0, 6, 20);
  TsCommonData data;
  data.FSkinManager = &f.manager;
  data.SkinIndex = f.button;
  data.BorderIndex = f.frame;
  data.OwnerControl = child;
  data.CacheBmp = std::make_unique<Bitmap>(test::Filled(6, 20, 0u));
  TRect client;
  PaintBorderFrame(TRect{0, 0, 6, 20}, 0, client, 0, data);
  EXPECT_EQ(client, (TRect{3, 3, 2, 18}));
  EXPECT_EQ(GetPixel32(*data.CacheBmp, 2, 0), GetPixel32(f.Master(), 2, 0));  // left corner, 3 wide
  EXPECT_EQ(GetPixel32(*data.CacheBmp, 5, 5), GetPixel32(f.Master(), 11, 5));  // right edge, 3 wide
}

TEST(PainterEdges, RecordsWithoutAManagerPaintNothing) {
  PaintersFixture f;
  SkinImageRecord texture = f.Image(f.maskedTexture);
  texture.Bitmap = std::make_shared<Bitmap>();
  texture.Bitmap->Assign(f.Master());
  texture.Manager = nullptr;
  Bitmap dst = test::Filled(12, 12, kUntouched);
  TRect R{0, 0, 12, 12};
  TileBltPart(dst, R, EmptyCacheInfo, 0, texture);
  EXPECT_EQ(R, (TRect{0, 0, 12, 12}));
  EXPECT_TRUE(test::SamePixels(dst, test::Filled(12, 12, kUntouched)));

  SkinImageRecord frame = f.Image(f.frame);
  frame.Bitmap = texture.Bitmap;
  frame.Manager = nullptr;
  DrawBorderImage(dst, TRect{0, 0, 12, 12}, frame, 1, true, static_cast<std::vector<TRect>*>(nullptr));
  EXPECT_TRUE(test::SamePixels(dst, test::Filled(12, 12, kUntouched)));
}

TEST(PainterEdges, TheHotStatesOwnLookTakesTheTextureIndexGiven) {
  PaintersFixture f;
  LoadedSkin& s = f.Skin();
  SkinSectionRecord& sec = s.Sections[size_t(f.mixed)];
  sec.States = 2;
  for (SkinStateBlock* b : {&sec.NormalState, &sec.HotState}) {
    b->ImagePercent = 100;
    b->GradientPercent = 0;
  }
  // Two stretched textures of different pixels: the plain glyph's first state and the texture.
  const int32_t other = SkinManagerAddImage(s, f.mixed, "OTHER", 0, 1, 1, TRect{80, 1, 84, 4}, 1, "MIXED", &f.manager);
  Bitmap bmp(5, 3, pf32bit);
  PaintSectionCore(f.mixed, EmptyCacheInfo, 1, TRect{0, 0, 5, 3}, TPoint{}, bmp, &f.manager, f.texture, other,
                   KeyColor);
  EXPECT_EQ(GetPixel32(bmp, 2, 1), GetPixel32(f.Master(), 42, 1));
}

TEST(PainterEdges, AParentMarginCopiedDownWithinItsOwnBitmapIsNotSmeared) {
  PaintersFixture f;
  // The target is its own parent, answering with a colour and three valid rows at its top; R lies two rows
  // lower, so the three rows are copied onto rows 2 to 4, over themselves.
  const Bitmap original = test::RandomBitmap(4, 6, 9);
  Bitmap bmp;
  bmp.Assign(original);
  const CacheInfo ci{&bmp, 0, 0, 0x0000FF, TRect{0, 3, 0, 0}, false};
  PaintSectionCore(f.clear, ci, 0, TRect{0, 2, 4, 6}, TPoint{}, bmp, &f.manager, -1, -1, KeyColor);
  for (int32_t y = 2; y < 5; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(GetPixel32(bmp, x, y), GetPixel32(original, x, y - 2)) << x << ", " << y;
  EXPECT_EQ(GetPixel32(bmp, 0, 5), ColorToPixel(0x0000FF, 255));
}

TEST(PainterEdges, TargetsThatAreNot32BitGetTheColours) {
  PaintersFixture f;
  CacheInfo fill = EmptyCacheInfo;
  fill.FillColor = 0x0000FF;
  struct Case {
    const char* what;
    int32_t section;
    const CacheInfo* ci;
    TColor expected;
  };
  const Case cases[] = {
      {"half transparent over a parent colour", f.glass, &fill, MixColorsRatio(0x0000FF, 0x204060, 0.5)},
      {"transparent over a parent colour", f.clear, &fill, 0x0000FF},
      {"opaque colour", f.panel, &EmptyCacheInfo, PaintersFixture::kPanelColor},
  };
  for (const Case& c : cases) {
    Bitmap bmp(10, 10, pf24bit);
    PaintSectionCore(c.section, *c.ci, 0, TRect{2, 2, 8, 8}, TPoint{}, bmp, &f.manager, -1, -1, KeyColor);
    EXPECT_EQ(Pixel24(bmp, 5, 5), c.expected) << c.what;
    EXPECT_EQ(Pixel24(bmp, 1, 5), TColor(0)) << c.what;
  }
}

TEST(PainterEdges, RectanglesFarLargerThanTheirBitmapPaintNothing) {
  PaintersFixture f;
  Bitmap bmp = test::Filled(8, 8, kUntouched);
  EXPECT_NO_THROW(PaintSectionCore(f.glass, CacheInfoFromBitmap(&bmp, 0, 0), 0, TRect{0, 0, 100000, 100000}, TPoint{},
                                   bmp, &f.manager, -1, -1, KeyColor));
  EXPECT_NO_THROW(PaintSectionCore(f.mixed, EmptyCacheInfo, 0, TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                                   TPoint{}, bmp, &f.manager, -1, -1, KeyColor));
  TsCommonData data;
  data.FSkinManager = &f.manager;
  data.SkinIndex = f.glass;
  EXPECT_NO_THROW(PaintControlBackground(data, CacheInfoFromBitmap(&bmp, 0, 0), 0, -1, -1, bmp, TPoint{},
                                         TRect{0, 0, 100000, 100000}));
  EXPECT_TRUE(test::SamePixels(bmp, test::Filled(8, 8, kUntouched)));
}

TEST(PainterEdges, FrameStripsNearTheLimitsOf32Bits) {
  // Strips of a frame whose rectangle ends at the largest coordinate lie outside the bitmap: nothing is painted
  // (in 32-bit sums the bottom band's left edge would wrap round to a negative column and fill whole rows).
  Bitmap bmp = test::Filled(10, 10, kUntouched);
  FillFrameBitmap32(bmp, TRect{INT32_MAX - 1, 0, INT32_MAX, 10}, 0x0000FF, 5, 0, 0, 3);
  FillFrameBitmap32(bmp, TRect{INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1}, 0x0000FF, 0, 0, 5, 5);
  EXPECT_TRUE(test::SamePixels(bmp, test::Filled(10, 10, kUntouched)));
}

}  // namespace
}  // namespace skin
