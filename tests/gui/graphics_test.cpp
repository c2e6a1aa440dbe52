// Bitmaps and canvases: pixel layout, drawing into a bitmap, bitmap files in and out, bad files refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>

#include "gui/gui.h"
#include "tests/support/temp_dir.h"

using namespace gui;

namespace {

uint32_t PixelAt(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  return RGB(p[2], p[1], p[0]);
}

TEST(Bitmaps, RowsArePaddedAndTopDown) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  b.SetSize(5, 3);
  EXPECT_EQ(b.Stride(), 16);
  b.ScanLine(0)[0] = 0x11;
  EXPECT_EQ(b.ScanLine(0)[0], 0x11);
  EXPECT_THROW(b.ScanLine(3), std::out_of_range);
  b.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(b.Stride(), 20);
  EXPECT_EQ(b.ScanLine(0)[0], 0x11);  // the pixels survive the conversion
}

TEST(Bitmaps, CanvasFillsFramesAndDrawsLinesIntoTheBitmap) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  b.SetSize(10, 10);
  TCanvas& c = b.Canvas();
  c.Brush().Color = clWhite;
  c.FillRect(Rect(0, 0, 10, 10));
  c.Brush().Color = clRed;
  c.FrameRect(Rect(2, 2, 8, 8));
  c.Pen().Color = clBlue;
  c.MoveTo(0, 9);
  c.LineTo(9, 9);
  EXPECT_EQ(PixelAt(b, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(b, 2, 2), static_cast<uint32_t>(clRed));
  EXPECT_EQ(PixelAt(b, 7, 5), static_cast<uint32_t>(clRed));
  EXPECT_EQ(PixelAt(b, 5, 5), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(b, 8, 9), static_cast<uint32_t>(clBlue));
  EXPECT_EQ(PixelAt(b, 9, 9), 0xFFFFFFu);  // the end point of a line is not drawn
  EXPECT_EQ(c.Pixel(2, 3), clRed);
}

TEST(Bitmaps, KeyedDrawingSkipsTheTransparentColour) {
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::pf24bit);
  glyph.SetSize(2, 1);
  glyph.Canvas().SetPixel(0, 0, clFuchsia);
  glyph.Canvas().SetPixel(1, 0, clGreen);
  glyph.SetTransparent(true);
  glyph.SetTransparentColor(clFuchsia);
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf24bit);
  target.SetSize(2, 1);
  target.Canvas().Brush().Color = clWhite;
  target.Canvas().FillRect(Rect(0, 0, 2, 1));
  target.Canvas().Draw(0, 0, glyph);
  EXPECT_EQ(PixelAt(target, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(target, 1, 0), static_cast<uint32_t>(clGreen));
}

TEST(Bitmaps, FilesRoundTripIn24And32Bits) {
  testsupport::TempDir dir;
  for (TPixelFormat f : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TBitmap b;
    b.SetPixelFormat(f);
    b.SetSize(7, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 7; ++x) b.Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x * 30, y * 60, 200)));
    const std::string path = (dir.path() / "round.bmp").string();
    b.SaveToFile(path);
    TBitmap back;
    back.LoadFromFile(path);
    ASSERT_EQ(back.Width(), 7);
    ASSERT_EQ(back.Height(), 4);
    EXPECT_EQ(back.PixelFormat(), f);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(PixelAt(back, x, y), RGB(x * 30, y * 60, 200)) << x << "," << y;
  }
}

std::string U32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string U16(uint16_t v) { return std::string{char(v), char(v >> 8)}; }

// A bitmap file with a 40-byte header.
std::string BitmapFile(int w, int h, uint16_t bits, uint32_t compression, const std::string& palette, const std::string& rows,
                       uint32_t colours = 0) {
  std::string header = "BM" + U32(0) + U32(0) + U32(static_cast<uint32_t>(14 + 40 + palette.size()));
  header += U32(40) + U32(static_cast<uint32_t>(w)) + U32(static_cast<uint32_t>(h)) + U16(1) + U16(bits) + U32(compression);
  header += U32(static_cast<uint32_t>(rows.size())) + U32(0) + U32(0) + U32(colours) + U32(0);
  return header + palette + rows;
}

TEST(Bitmaps, PalettesAndBitFieldsAreDecoded) {
  // 8 bits, two colours, a 3 x 2 picture stored bottom-up with rows padded to 4 bytes.
  const std::string palette = std::string("\x00\x00\xFF\x00", 4) + std::string("\x00\xFF\x00\x00", 4);
  const std::string rows = std::string("\x00\x01\x00\x00", 4) + std::string("\x01\x01\x00\x00", 4);
  TBitmap b;
  b.LoadFromBytes(BitmapFile(3, 2, 8, 0, palette, rows, 2));
  EXPECT_EQ(PixelAt(b, 0, 1), static_cast<uint32_t>(clRed));   // bottom row first in the file
  EXPECT_EQ(PixelAt(b, 1, 1), static_cast<uint32_t>(clLime));
  EXPECT_EQ(PixelAt(b, 0, 0), static_cast<uint32_t>(clLime));
  // 16 bits 5-6-5 with bit fields: pure red, green and blue.
  const std::string masks = U32(0xF800) + U32(0x07E0) + U32(0x001F);
  const std::string px = U16(0xF800) + U16(0x07E0) + U16(0x001F) + U16(0);
  TBitmap c;
  c.LoadFromBytes(BitmapFile(3, 1, 16, 3, masks, px));
  EXPECT_EQ(PixelAt(c, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(c, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(c, 2, 0), RGB(0, 0, 255));
}

TEST(Bitmaps, BadFilesAreRefusedWithoutReadingBeyondThem) {
  TBitmap b;
  EXPECT_THROW(b.LoadFromBytes(""), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromBytes("PNG\x89............................"), EInvalidGraphic);
  const std::string good = BitmapFile(2, 2, 24, 0, "", std::string(16, '\x7F'));
  EXPECT_NO_THROW(b.LoadFromBytes(good));
  EXPECT_THROW(b.LoadFromBytes(good.substr(0, good.size() - 1)), EInvalidGraphic);  // one byte short
  EXPECT_THROW(b.LoadFromBytes(BitmapFile(100000, 2, 24, 0, "", std::string(16, '\0'))), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromBytes(BitmapFile(2, 2, 24, 1, "", std::string(16, '\0'))), EInvalidGraphic);  // RLE
  EXPECT_THROW(b.LoadFromBytes(BitmapFile(2, 2, 7, 0, "", std::string(16, '\0'))), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromBytes(BitmapFile(2, 2, 8, 0, "", std::string(8, '\0'), 300)), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromFile("no-such-file.bmp"), EInvalidGraphic);
}

TEST(Bitmaps, ChangesAreToldOnceForEveryNewPicture) {
  TBitmap other;
  other.SetPixelFormat(TPixelFormat::pf24bit);
  other.SetSize(3, 2);
  const std::string file = other.SaveToBytes();
  TBitmap b;
  int told = 0;
  b.OnChange = [&told] { ++told; };
  struct Step {
    const char* what;
    std::function<void()> run;
    int expected;
  } steps[] = {
      {"new size", [&b] { b.SetSize(4, 4); }, 1},
      {"same size", [&b] { b.SetSize(4, 4); }, 1},
      {"assign", [&b, &other] { b.Assign(other); }, 2},
      {"load", [&b, &file] { b.LoadFromBytes(file); }, 3},
      {"pixels written", [&b] { b.ScanLine(0)[0] = 1; }, 3},
      {"told by the writer", [&b] { b.Changed(); }, 4},
  };
  for (const Step& st : steps) {
    st.run();
    EXPECT_EQ(told, st.expected) << st.what;
  }
}

TEST(Fonts, SizeAndHeightConvertAt96PixelsPerInch) {
  TFont f;
  f.SetSize(8);
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  int changes = 0;
  f.OnChange = [&] { ++changes; };
  f.SetStyle(fsBold | fsItalic);
  f.SetStyle(fsBold | fsItalic);
  EXPECT_EQ(changes, 1);
  TFont g;
  g.Assign(f);
  EXPECT_TRUE(g.SameAs(f));
}

// Every change is told; only those the font's handle carries count as handle changes (the colour's does not).
TEST(Fonts, TheColourAloneKeepsTheHandle) {
  TFont f, other;
  int told = 0;
  f.OnChange = [&] { ++told; };
  const std::pair<std::function<void()>, bool> steps[] = {
      {[&] { f.SetColor(clRed); }, false},
      {[&] { f.SetStyle(fsBold); }, true},
      {[&] { other.Assign(f), other.SetColor(clBlue), f.Assign(other); }, false},  // assigned: the colour alone
      {[&] { other.SetHeight(-20), f.Assign(other); }, true},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const uint32_t before = f.HandleChanges();
    steps[i].first();
    EXPECT_EQ(f.HandleChanges() != before, steps[i].second) << i;
    EXPECT_EQ(told, int(i) + 1) << i;
  }
}

}  // namespace
