// Button glyphs painted into a 32-bit bitmap: which cell of a strip shows for each state (with and without the
// standard glyph order), the disabled look, the 24-bit fallback of a 32-bit glyph without alpha, and an image
// index outside the list falling back to the strip.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gui/imglist.h"
#include "skin/adapters/button_glyph.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/pixel_helpers.h"

namespace {

using namespace skin;

// Cell colours (0x00RRGGBB) of the test strips.
constexpr uint32_t Cells[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
constexpr uint32_t Under = 0x00FF00;  // what lies under the glyph in the target
constexpr int kCell = 4;

// A strip of n cells of kCell x kCell; the bottom-left pixel of each 24-bit cell is the transparent colour.
void MakeStrip(gui::TBitmap& g, int n, bool bits32, uint8_t alpha = 255) {
  g.SetPixelFormat(bits32 ? gui::TPixelFormat::pf32bit : gui::TPixelFormat::pf24bit);
  g.SetSize(n * kCell, kCell);
  const int bpp = g.BytesPerPixel();
  for (int y = 0; y < kCell; ++y) {
    uint8_t* row = g.ScanLine(y);
    for (int x = 0; x < n * kCell; ++x) {
      uint32_t c = Cells[x / kCell];
      if (y == kCell - 1 && x % kCell == 0) c = 0x000000;  // the transparent colour of an opaque strip
      row[x * bpp] = uint8_t(c), row[x * bpp + 1] = uint8_t(c >> 8), row[x * bpp + 2] = uint8_t(c >> 16);
      if (bpp == 4) row[x * bpp + 3] = alpha;
    }
  }
  if (!bits32) g.SetTransparentColor(0x000000);
}

Bitmap Target() {
  Bitmap t(8, 8, pf32bit);
  FillRectBitmap32(t, TRect{0, 0, 8, 8}, 0x00FF00, 255);  // green as a TColor is the same value
  return t;
}

uint32_t Rgb(const Bitmap& b, int x, int y) { return GetPixel32(b, x, y) & 0xFFFFFF; }

// Colours equal within 1 per channel (a glyph of full alpha is mixed in by 255 / 256).
::testing::AssertionResult Near(uint32_t got, uint32_t want) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((got >> s) & 0xFF) - int((want >> s) & 0xFF)) > 1)
      return ::testing::AssertionFailure() << std::hex << "0x" << got << " is not 0x" << want;
  return ::testing::AssertionSuccess();
}

struct GlyphTest : ::testing::Test {
  PortableSkinSystem sys;
  TsSkinManager manager{sys};  // the default manager: its options steer the glyph order
  gui::TBitmap glyph;

  uint32_t Draw(int state, bool enabled, int numGlyphs, Bitmap& t, TsDisabledGlyphKind kind = dgBlended) {
    GlyphPaintData d;
    d.Target = &t;
    d.Glyph = &glyph;
    d.R = TRect{2, 2, 2 + kCell, 2 + kCell};
    d.NumGlyphs = numGlyphs;
    d.State = state;
    d.Enabled = enabled;
    d.DisabledGlyphKind = kind;
    DrawButtonGlyph(d);
    return Rgb(t, 3, 3);
  }
};

TEST_F(GlyphTest, CellShownForEachStateAndOrder) {
  struct Case {
    bool bits32;
    int numGlyphs;
    bool stdOrder;
    int state;
    bool enabled;
    uint32_t expected;
  } cases[] = {
      // Opaque strips: up, disabled, pressed, down.
      {false, 4, false, 0, true, Cells[0]},  {false, 4, false, 1, true, Cells[0]},
      {false, 4, false, 2, true, Cells[2]},  {false, 4, false, 3, true, Cells[3]},
      {false, 4, false, 0, false, Cells[1]}, {false, 2, false, 2, true, Cells[0]},
      // 32-bit strips: the cell of the state, the last one for states beyond the strip.
      {true, 2, false, 1, true, Cells[1]},   {true, 2, false, 3, true, Cells[1]},
      {true, 4, false, 2, true, Cells[2]},
      // Standard order: hot shows the first cell of a two-cell strip; a disabled button the second.
      {true, 2, true, 1, true, Cells[0]},    {true, 2, true, 0, false, Cells[1]},
      {true, 2, true, 2, true, Cells[0]},    {true, 4, true, 2, true, Cells[2]},
      // A count of 0 counts as 1 (the whole glyph is one cell).
      {true, 0, false, 2, true, Cells[0]},   {false, 128, false, 2, true, Cells[0]},
  };
  for (const Case& c : cases) {
    manager.Options.StdGlyphsOrder = c.stdOrder;
    MakeStrip(glyph, c.numGlyphs & 127 ? c.numGlyphs & 127 : 1, c.bits32);
    Bitmap t = Target();
    EXPECT_TRUE(Near(Draw(c.state, c.enabled, c.numGlyphs, t), c.expected))
        << "32-bit " << c.bits32 << " cells " << c.numGlyphs << " std " << c.stdOrder << " state " << c.state
        << " enabled " << c.enabled;
  }
}

TEST_F(GlyphTest, DisabledLookAndTransparentColour) {
  // A one-cell opaque glyph of a disabled button is blended half into what lies under it; greyed it is grey.
  MakeStrip(glyph, 1, false);
  Bitmap t = Target();
  const uint32_t half = Draw(0, false, 1, t);
  EXPECT_NEAR(int(half & 0xFF), (0x30 + 0x00) / 2, 1);
  EXPECT_NEAR(int((half >> 8) & 0xFF), (0x20 + 0xFF) / 2, 1);
  EXPECT_EQ(Rgb(t, 2, 2 + kCell - 1), Under) << "the transparent colour shows what lies under the glyph";
  Bitmap g = Target();
  const uint32_t grey = Draw(0, false, 1, g, dgGrayed);
  EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
  EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);

  // On a canvas, a disabled 32-bit glyph with a blend of 20 is drawn at half its alpha.
  MakeStrip(glyph, 1, true);
  gui::TBitmap canvasBmp;
  canvasBmp.SetPixelFormat(gui::TPixelFormat::pf32bit);
  canvasBmp.SetSize(8, 8);
  for (int y = 0; y < 8; ++y) {
    uint8_t* row = canvasBmp.ScanLine(y);
    for (int x = 0; x < 8; ++x) row[x * 4] = 0, row[x * 4 + 1] = 0xFF, row[x * 4 + 2] = 0, row[x * 4 + 3] = 255;
  }
  GlyphPaintData d;
  d.Canvas = &canvasBmp.Canvas();
  d.Glyph = &glyph;
  d.R = TRect{2, 2, 2 + kCell, 2 + kCell};
  d.Enabled = false;
  d.Blend = 20;
  DrawButtonGlyph(d);
  const uint8_t* px = canvasBmp.ScanLine(3) + 3 * 4;
  EXPECT_NEAR(int(px[0]), 0x30 / 2, 2);          // blue: half the glyph's
  EXPECT_NEAR(int(px[1]), (0x20 + 0xFF) / 2, 2);  // green: half of each
}

TEST_F(GlyphTest, EmptyAlphaDrawnOpaqueAndIndexBeyondListUsesStrip) {
  // A 32-bit glyph whose alpha is all 0 is an opaque glyph: drawn when checked (disabled button, or the option).
  struct Case {
    bool checkOption;
    bool enabled;
    bool drawnOpaque;
  } cases[] = {{false, true, false}, {true, true, true}, {false, false, true}};
  for (const Case& c : cases) {
    manager.Options.CheckEmptyAlpha = c.checkOption;
    MakeStrip(glyph, 2, true, 0);
    Bitmap t = Target();
    const uint32_t got = Draw(0, c.enabled, 2, t, 0);
    EXPECT_TRUE(Near(got, c.drawnOpaque ? (c.enabled ? Cells[0] : Cells[1]) : Under))
        << "option " << c.checkOption << " enabled " << c.enabled;
  }
  manager.Options.CheckEmptyAlpha = false;

  // An image index equal to the list's count falls back to the glyph strip.
  gui::TImageList list(nullptr);
  list.SetWidth(kCell);
  list.SetHeight(kCell);
  gui::TBitmap img;
  img.SetPixelFormat(gui::TPixelFormat::pf32bit);
  img.SetSize(kCell, kCell);
  for (int y = 0; y < kCell; ++y) {
    uint8_t* row = img.ScanLine(y);
    for (int x = 0; x < kCell; ++x) row[x * 4] = 0xFF, row[x * 4 + 1] = 0, row[x * 4 + 2] = 0, row[x * 4 + 3] = 255;
  }
  ASSERT_EQ(list.AddImage32(img), 0);
  MakeStrip(glyph, 1, true);
  for (int index : {0, 1}) {
    Bitmap t = Target();
    GlyphPaintData d;
    d.Target = &t;
    d.Images = &list;
    d.ImageIndex = index;
    d.Glyph = &glyph;
    d.R = TRect{2, 2, 2 + kCell, 2 + kCell};
    DrawButtonGlyph(d);
    EXPECT_TRUE(Near(Rgb(t, 3, 3), index == 0 ? 0x0000FFu : Cells[0])) << "index " << index;
  }
  EXPECT_EQ(ImageCountOf(nullptr), 0);
  EXPECT_TRUE(IsPopupSkipped("TcxGridFilterPopup"));
  EXPECT_FALSE(IsPopupSkipped("TForm"));
}

}  // namespace

namespace {

TEST(OwnerDrawGlyph, StateImageAndPlace) {
  struct Case {
    uint32_t itemState;
    int32_t state, image;
  } cases[] = {
      {0x0, 0, 10},         {0x1, 2, 10},          {0x40, 1, 11},  // selected wins over hot
      {0x41, 2, 10},        {0x8, 2, 10},          {0x4, 0, 12},   // disabled: its own image
      {0x44, 1, 12},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(skin::OwnerDrawGlyphState(c.itemState), c.state) << std::hex << c.itemState;
    EXPECT_EQ(skin::OwnerDrawImageIndex(c.itemState, 10, 11, 12), c.image) << std::hex << c.itemState;
  }
  // A hot or disabled image of 0 means none: the plain image.
  EXPECT_EQ(skin::OwnerDrawImageIndex(0x40, 10, 0, 12), 10);
  EXPECT_EQ(skin::OwnerDrawImageIndex(0x4, 10, 11, 0), 10);
  using skin::TRect;
  using skin::TSize;
  const TSize button{100, 40}, image{16, 16};
  const TRect plain = skin::OwnerDrawGlyphRect(button, image, false, false, 1, 13, false);
  EXPECT_EQ(plain.Left, (100 - 16) / 2 + 1);
  EXPECT_EQ(plain.Top, (40 - 16 - 16) / 2);
  EXPECT_EQ(skin::OwnerDrawGlyphRect(button, image, false, true, 1, 13, false).Left, plain.Left - 8);
  EXPECT_EQ(skin::OwnerDrawGlyphRect(button, image, false, false, 2, 13, false).Top, (40 - 16 - 32) / 2);
  const TRect link = skin::OwnerDrawGlyphRect(button, image, true, false, 1, 13, true);
  EXPECT_EQ(link.Left, 6);
  EXPECT_EQ(link.Top, (40 - 16) / 2 + 1);
  EXPECT_EQ(link.Right - link.Left, 16);
}

}  // namespace
