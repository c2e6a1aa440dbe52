#include "skin/pixels/bitmap.h"

#include <gtest/gtest.h>

#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {
namespace {

TEST(Bitmap, RowsAreBottomUpAndPaddedToFourBytes) {
  Bitmap b(3, 4, pf24bit);
  EXPECT_EQ(b.RowBytes(), 12u);  // 9 bytes rounded up
  EXPECT_EQ(b.Stride(), -12);
  EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), -12);
  EXPECT_EQ(Bitmap::RowBytesFor(1, pf1bit), 4u);
  EXPECT_EQ(Bitmap::RowBytesFor(9, pf4bit), 8u);
  EXPECT_THROW(b.ScanLine(4), std::out_of_range);
  EXPECT_THROW(b.ScanLine(-1), std::out_of_range);
}

TEST(Bitmap, RowAccessGivesRowZeroAndTheStride) {
  Bitmap b(5, 3, pf32bit);
  uint8_t* row0 = nullptr;
  ptrdiff_t stride = 0;
  ASSERT_TRUE(BitmapRowAccess(b, row0, stride));
  EXPECT_EQ(row0, b.ScanLine(0));
  EXPECT_EQ(stride, -20);
  EXPECT_EQ(row0 + 2 * stride, b.ScanLine(2));

  Bitmap one(5, 1, pf32bit);  // a one-row bitmap: stride 0, still row 0
  ASSERT_TRUE(BitmapRowAccess(one, row0, stride));
  EXPECT_EQ(stride, 0);
  EXPECT_EQ(row0, one.ScanLine(0));

  Bitmap none(5, 0, pf32bit);
  EXPECT_FALSE(BitmapRowAccess(none, row0, stride));
  EXPECT_TRUE(none.Empty());
}

TEST(Bitmap, TwentyFourBitsBecomeThirtyTwoWithAlphaZero) {
  Bitmap b(2, 1, pf24bit);
  uint8_t* row = b.ScanLine(0);
  row[0] = 0xFF; row[1] = 0x00; row[2] = 0xFF;  // magenta (B, G, R)
  row[3] = 1; row[4] = 2; row[5] = 3;
  SetBitmap32(b);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(GetPixel32(b, 0, 0), KeyPixel);
  EXPECT_EQ(GetPixel32(b, 1, 0), 0x00030201u);
  // And back: the alpha byte is dropped.
  SetPixel32(b, 1, 0, 0x80030201u);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(b.ScanLine(0)[3], 1);
  EXPECT_EQ(b.ScanLine(0)[5], 3);
}

TEST(Bitmap, IndexedPixelsConvertThroughThePalette) {
  Bitmap b(10, 2, pf4bit);
  ASSERT_EQ(b.Palette().size(), 16u);
  std::vector<TRGBQuad> pal(16);
  pal[3] = TRGBQuad{10, 20, 30, 0};
  pal[15] = TRGBQuad{255, 255, 255, 0};
  b.SetPalette(pal);
  WriteIndex(b.ScanLine(0), 9, 4, 3);
  WriteIndex(b.ScanLine(1), 0, 4, 15);
  EXPECT_EQ(ReadIndex(b.ScanLine(0), 9, 4), 3u);
  EXPECT_EQ(ReadIndex(b.ScanLine(0), 8, 4), 0u);
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(GetPixel32(b, 9, 0), MakePixel(10, 20, 30, 0));
  EXPECT_EQ(GetPixel32(b, 0, 1), 0x00FFFFFFu);
  // One-bit rows: most significant bit first.
  Bitmap mono(9, 1, pf1bit);
  WriteIndex(mono.ScanLine(0), 0, 1, 1);
  WriteIndex(mono.ScanLine(0), 8, 1, 1);
  EXPECT_EQ(mono.ScanLine(0)[0], 0x80);
  EXPECT_EQ(mono.ScanLine(0)[1], 0x80);
  // Direct colours to 8 bits: the nearest grey of the default palette.
  Bitmap grey(1, 1, pf32bit);
  SetPixel32(grey, 0, 0, MakePixel(100, 100, 100, 255));
  grey.SetPixelFormat(pf8bit);
  EXPECT_EQ(grey.ScanLine(0)[0], 100);
}

TEST(Bitmap, ResizingKeepsTheTopLeftPart) {
  Bitmap b(3, 3, pf32bit);
  SetPixel32(b, 0, 0, 0x11);
  SetPixel32(b, 2, 2, 0x22);
  SetPixel32(b, 1, 0, 0x33);
  b.SetSize(2, 4);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_EQ(GetPixel32(b, 0, 0), 0x11u);
  EXPECT_EQ(GetPixel32(b, 1, 0), 0x33u);
  EXPECT_EQ(GetPixel32(b, 1, 3), 0u);
  b.SetSize(-5, 2);  // negative sizes count as 0
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
}

TEST(Bitmap, AssignCopiesEverythingAndMoveLeavesAnEmptyBitmap) {
  Bitmap a(4, 2, pf32bit);
  SetPixel32(a, 3, 1, 0xDEADBEEF);
  a.SetTransparent(true);
  a.SetTransparentColor(0x123456);
  Bitmap b;
  CopyBitmap32(b, a);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(GetPixel32(b, 3, 1), 0xDEADBEEFu);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentColor(), 0x123456);
  b.Assign(b);  // self-assignment changes nothing
  EXPECT_EQ(GetPixel32(b, 3, 1), 0xDEADBEEFu);
  Bitmap c(std::move(b));
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(GetPixel32(c, 3, 1), 0xDEADBEEFu);
}

TEST(Bitmap, RefusesBuffersBeyondTheLimit) {
  EXPECT_THROW(Bitmap(70000, 70000, pf32bit), std::length_error);
  EXPECT_THROW(Bitmap(INT32_MAX, 2, pf32bit), std::length_error);
}

TEST(Bitmap, NewBitmapsHaveTheAskedSizes) {
  EXPECT_EQ(NewBitmap32ForRect(TRect{5, 5, 2, 9})->Width(), 0);
  EXPECT_EQ(NewBitmap32ForRect(TRect{5, 5, 2, 9})->Height(), 4);
  auto s = NewBitmap32ForSize(TSize{3, 7});
  EXPECT_EQ(s->Height(), 7);
  EXPECT_EQ(s->PixelFormat(), pf32bit);
  Bitmap eight(6, 2, pf8bit);
  auto like = NewBitmapLike(eight);
  EXPECT_EQ(like->PixelFormat(), pf8bit);
  EXPECT_EQ(like->Width(), 6);
  EXPECT_EQ(NewBitmap32SameSize(eight)->PixelFormat(), pf32bit);
}

TEST(Colors, ByteOrders) {
  EXPECT_EQ(SwapRedBlue(0x00112233u), 0x00332211u);
  EXPECT_EQ(SwapRedBlue(0xAA112233u), 0xAA332211u);
  EXPECT_EQ(ColorToPixelOrder(0xAA112233u), 0xAA332211u);
  EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);
  EXPECT_EQ(ColorToKeyPixel(KeyColor), KeyPixel);
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(uint32_t(ColorToRGB(clBtnFace)) >> 24, 0u);  // a system colour resolves to RGB
}

}  // namespace
}  // namespace skin
