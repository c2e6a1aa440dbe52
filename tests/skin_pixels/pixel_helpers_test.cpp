#include "skin/pixels/pixel_helpers.h"

#include <gtest/gtest.h>

#include "skin/pixels/graph_utils.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::Filled;

TEST(PixelHelpers, SinglePixelsOutsideTheBitmapAreNeitherReadNorWritten) {
  Bitmap b(2, 2, pf32bit);
  SetPixel32(b, 1, 1, 0xABCDEF01);
  SetPixel32(b, 2, 0, 5);
  SetPixel32(b, -1, 0, 5);
  EXPECT_EQ(GetPixel32(b, 1, 1), 0xABCDEF01u);
  EXPECT_EQ(GetPixel32(b, 0, 2), 0u);
  EXPECT_EQ(GetPixel32(b, 0, 0), 0u);
  Bitmap b24(2, 2, pf24bit);
  EXPECT_EQ(GetPixel32(b24, 0, 0), 0u);
}

TEST(PixelHelpers, WordFillsAndSwaps) {
  uint32_t words[11] = {};
  FillDWords(words, 10, 0x12345678);
  EXPECT_EQ(words[9], 0x12345678u);
  EXPECT_EQ(words[10], 0u);
  FillDWords(words, 0, 1);
  FillDWords(words, -4, 1);
  EXPECT_EQ(words[0], 0x12345678u);
  SwapBytes32Array(words, 2);
  EXPECT_EQ(words[1], 0x78563412u);
  EXPECT_EQ(words[2], 0x12345678u);
}

TEST(PixelHelpers, RectangleFillsAreClipped) {
  Bitmap b = Filled(4, 3, 0x01010101);
  FillRectBitmap32(b, TRect{-5, 1, 2, 99}, RGBColor(255, 0, 0), -1);
  EXPECT_EQ(GetPixel32(b, 0, 1), 0xFFFF0000u);  // red in pixel order, alpha 255
  EXPECT_EQ(GetPixel32(b, 1, 2), 0xFFFF0000u);
  EXPECT_EQ(GetPixel32(b, 2, 1), 0x01010101u);
  EXPECT_EQ(GetPixel32(b, 0, 0), 0x01010101u);
  FillRectBitmap32(b, TRect{0, 0, 1, 1}, RGBColor(0, 0, 255), 7);
  EXPECT_EQ(GetPixel32(b, 0, 0), 0x070000FFu);

  Bitmap f = Filled(5, 5, 0);
  FillFrameBitmap32(f, TRect{0, 0, 5, 5}, clWhite, 1, 2, 1, 1);
  const char* expect[5] = {"XXXXX", "XXXXX", "X...X", "X...X", "XXXXX"};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(GetPixel32(f, x, y), expect[y][x] == 'X' ? 0xFFFFFFFFu : 0u) << x << "," << y;
}

TEST(PixelHelpers, ColourBlendsAndFades) {
  Bitmap b(2, 1, pf32bit);
  SetPixel32(b, 0, 0, MakePixel(100, 1, 0, 33));
  SetPixel32(b, 1, 0, MakePixel(255, 255, 255, 44));
  BlendColorRect(b, TRect{0, 0, 1, 1}, 50, RGBColor(0, 0, 200));  // k: R 0, G 0, B 200
  EXPECT_EQ(GetPixel32(b, 0, 0), MakePixel(150, 0, 0, 33));  // G 0.5 -> 0
  EXPECT_EQ(GetPixel32(b, 1, 0), MakePixel(255, 255, 255, 44));
  BlendColorRect(b, TRect{1, 0, 2, 1}, 400, RGBColor(0, 0, 0));  // percent above 100 counts as 100
  EXPECT_EQ(GetPixel32(b, 1, 0), MakePixel(255, 255, 255, 44));

  Bitmap f(2, 1, pf32bit);
  SetPixel32(f, 0, 0, MakePixel(200, 0, 0, 1));
  SetPixel32(f, 1, 0, MakePixel(0, 0, 0, 1));
  FadeRectToColor(f, TRect{0, 0, 1, 1}, RGBColor(0, 0, 0), 99, 30);  // 200 - 200 x 30 div 100
  FadeRectToColor(f, TRect{1, 0, 2, 1}, RGBColor(0, 0, 255), 98, 30);  // 0 - (-255 x 30) div 100 = 76
  EXPECT_EQ(GetPixel32(f, 0, 0), MakePixel(140, 0, 0, 99));
  EXPECT_EQ(GetPixel32(f, 1, 0), MakePixel(76, 0, 0, 98));
}

TEST(PixelHelpers, AlphaSettings) {
  Bitmap b(3, 1, pf32bit);
  SetPixel32(b, 0, 0, KeyPixel);
  SetPixel32(b, 1, 0, 0x00123456);
  SetPixel32(b, 2, 0, 0x00FFFFFF);
  SetAlphaRect(b, TRect{0, 0, 3, 1}, 255, KeyColor);
  EXPECT_EQ(GetPixel32(b, 0, 0), KeyPixel);
  EXPECT_EQ(GetPixel32(b, 1, 0), 0xFF123456u);
  SetAlphaRect(b, TRect{0, 0, 2, 1}, 9, clNone);
  EXPECT_EQ(GetPixel32(b, 0, 0), 0x09FF00FFu);
  EXPECT_EQ(GetPixel32(b, 2, 0), 0xFFFFFFFFu);
  SetPixel32(b, 1, 0, 0x00FFFFFF);
  ClearWhiteTransparent(b);
  EXPECT_EQ(GetPixel32(b, 1, 0), 0u);
  EXPECT_EQ(GetPixel32(b, 2, 0), 0xFFFFFFFFu);  // opaque white stays

  Bitmap p(3, 1, pf32bit);
  SetPixel32(p, 0, 0, MakePixel(0, 0, 255, 128));
  SetPixel32(p, 1, 0, 0x00FFFFFF);
  SetPixel32(p, 2, 0, MakePixel(255, 255, 255, 255));
  PremultiplyAlpha(p, TRect{0, 0, 3, 1});
  EXPECT_EQ(GetPixel32(p, 0, 0), MakePixel(0, 0, 127, 128));  // 255 x 128 shr 8
  EXPECT_EQ(GetPixel32(p, 1, 0), 0u);
  EXPECT_EQ(GetPixel32(p, 2, 0), MakePixel(254, 254, 254, 255));
}

TEST(PixelHelpers, TextMaskMixesTheColourIn) {
  Bitmap d = Filled(3, 1, MakePixel(255, 255, 255, 0));
  Bitmap mask(3, 1, pf32bit);
  SetPixel32(mask, 0, 0, 0xFF000000);       // black: the colour
  SetPixel32(mask, 1, 0, 0xFF808080);       // grey edge: a mix
  SetPixel32(mask, 2, 0, 0xFFFFFFFF);       // white: untouched
  MixTextMask(d, mask, TRect{0, 0, 3, 1}, RGBColor(0, 0, 255));
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(255, 0, 0, 255));
  EXPECT_EQ(GetPixel32(d, 1, 0), MakePixel(255, 127, 127, 255));  // ((255 - 0) x 128) shr 8
  EXPECT_EQ(GetPixel32(d, 2, 0), MakePixel(255, 255, 255, 0));
  Bitmap d2 = Filled(2, 1, 0);
  MixTextMask(d2, mask, TRect{-2, 0, 1, 1}, RGBColor(0, 0, 0));  // a negative left skips the leading mask columns
  EXPECT_EQ(GetPixel32(d2, 0, 0), 0u);                       // the white column
}

TEST(DisabledLook, BlackTextOnWhiteBecomes153) {
  Bitmap parent = Filled(4, 4, MakePixel(255, 255, 255, 255));
  Bitmap img = Filled(2, 2, MakePixel(0, 0, 0, 255));
  PaintDisabledLook(img, dkBlended, clBlack, TPoint{1, 1}, CacheInfoFromBitmap(&parent, 0, 0));
  EXPECT_EQ(GetPixel32(img, 1, 1), MakePixel(153, 153, 153, 255));

  Bitmap img2 = Filled(2, 2, MakePixel(0, 0, 0, 255));
  CacheInfo colour = EmptyCacheInfo;
  colour.FillColor = clWhite;
  PaintDisabledLook(img2, dkBlended, clBlack, TPoint{0, 0}, colour);
  EXPECT_EQ(GetPixel32(img2, 0, 0), MakePixel(153, 153, 153, 255));

  Bitmap img3 = Filled(1, 1, MakePixel(0, 0, 0, 255));  // no fill colour: the control's own background
  PaintDisabledLook(img3, dkBlended, clWhite, TPoint{0, 0}, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(img3, 0, 0), MakePixel(153, 153, 153, 255));
}

TEST(DisabledLook, GreyComesFirstAndKeepsTheKey) {
  Bitmap img(2, 1, pf32bit);
  SetPixel32(img, 0, 0, MakePixel(0, 100, 200, 255));
  SetPixel32(img, 1, 0, KeyPixel);
  PaintDisabledLook(img, dkGrayed, clBlack, TPoint{0, 0}, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(img, 0, 0), MakePixel(35, 100, 165, 255));
  EXPECT_EQ(GetPixel32(img, 1, 0), KeyPixel);

  Bitmap both = Filled(1, 1, MakePixel(0, 100, 200, 255));
  CacheInfo colour = EmptyCacheInfo;
  colour.FillColor = RGBColor(0, 0, 0);
  PaintDisabledLook(both, dkGrayed | dkBlended, clBlack, TPoint{0, 0}, colour);
  EXPECT_EQ(GetPixel32(both, 0, 0), MakePixel(14, 40, 66, 255));  // (35, 100, 165) x 0.4
}

}  // namespace
}  // namespace skin
