// Skinned text on the fixed-metric engine (the same pixels in both builds), and the small drawing utilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gui/graphics.h"
#include "platform/colors.h"
#include "skin/data/scommondata.h"
#include "skin/painters/section_text.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"
#include "tests/skin_painters/painters_fixture.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::PaintersFixture;

// The fixed-metric engine for the whole test, whatever the build's own engine.
class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetTextEngine(&FixedMetricEngine());
    font.SetHeight(-10);  // cells of 5 x 12, glyph blocks of 4 x 10 from the cell's second row
  }
  void TearDown() override { SetTextEngine(previous_); }
  gui::TFont font;

 private:
  TextEngine* previous_ = nullptr;
};

// The cells covered by the glyph blocks of a mask: one character per cell, "#" where the cell's block is black.
std::string Cells(const Bitmap& mask, int32_t x0, int32_t y0, int32_t count) {
  std::string out;
  for (int32_t i = 0; i < count; ++i) out += GetPixel32(mask, x0 + i * 5, y0 + 1) == 0 ? '#' : '.';
  return out;
}

TEST_F(TextTest, FixedMetricLayoutFollowsDrawTextFlags) {
  struct Case {
    const char* text;
    uint32_t flags;
    int32_t x, y;  // where the first glyph cell starts
    const char* cells;
  };
  const Case cases[] = {
      {"ab", dtLeft, 0, 0, "##......"},
      {"ab", dtCenter, 15, 0, "##..."},
      {"ab", dtRight, 30, 0, "##"},
      {"ab", dtSingleLine | dtVCenter, 0, 4, "##......"},
      {"ab", dtSingleLine | dtBottom, 0, 8, "##......"},
      {"a b", dtLeft, 0, 0, "#.#....."},
      {"&ab", dtLeft, 0, 0, "##......"},       // the prefix is not shown
      {"a&&b", dtLeft, 0, 0, "###....."},      // "&&" shows one '&'
      {"&ab", dtNoPrefix, 0, 0, "###....."},
  };
  for (const Case& c : cases) {
    Bitmap mask = test::Filled(40, 20, 0x00FFFFFFu);
    FixedMetricEngine().DrawMask(font, c.text, mask, TRect{0, 0, 40, 20}, c.flags);
    EXPECT_EQ(Cells(mask, c.x, c.y, int32_t(std::string(c.cells).size())), c.cells) << c.text << " " << c.flags;
  }
  // Word wrap: "aa bb cc" in 20 pixels makes three lines of two cells.
  const TRect r = FixedMetricEngine().CalcRect(font, "aa bb cc", TRect{0, 0, 20, 0}, dtWordBreak);
  EXPECT_EQ(r, (TRect{0, 0, 10, 36}));
  EXPECT_EQ(FixedMetricEngine().Extent(font, "abc"), (TSize{15, 12}));
  gui::TFont bold;
  bold.SetHeight(-10);
  bold.SetStyle(gui::fsBold);
  EXPECT_EQ(FixedMetricEngine().Extent(bold, "abc"), (TSize{18, 12}));
}

TEST_F(TextTest, SectionTextDrawsOutlinePassesThenTheText) {
  PaintersFixture f;
  const uint32_t background = 0x80FFFFFFu;
  Bitmap bmp = test::Filled(40, 40, background);
  DrawSectionText(bmp, font, "x", true, TRect{10, 10, 30, 30}, 0, f.button, false, &f.manager);
  // The glyph block at columns 10..13, rows 11..20; the left contour one column to the left, the bottom one row
  // lower; the text over both.
  EXPECT_EQ(GetPixel32(bmp, 11, 15), ColorToPixel(PaintersFixture::kButtonFont, 255));
  EXPECT_EQ(GetPixel32(bmp, 9, 15), ColorToPixel(0x0000FF, 255));
  EXPECT_EQ(GetPixel32(bmp, 12, 21), ColorToPixel(0x00FF00, 255));
  EXPECT_EQ(GetPixel32(bmp, 14, 15), background);
  EXPECT_EQ(GetPixel32(bmp, 10, 10), background);  // no top contour
  // Without outline, or with every outline colour -1, one pass only.
  Bitmap plain = test::Filled(40, 40, background);
  DrawSectionText(plain, font, "x", false, TRect{10, 10, 30, 30}, 0, f.button, false, &f.manager);
  EXPECT_EQ(GetPixel32(plain, 9, 15), background);
  Bitmap label = test::Filled(40, 40, background);
  DrawSectionText(label, font, "x", true, TRect{10, 10, 30, 30}, 0, f.label, false, &f.manager);
  EXPECT_EQ(GetPixel32(label, 9, 15), background);
  EXPECT_EQ(GetPixel32(label, 11, 15), 0xFF000000u);
  // No valid section: the font's own colour.
  font.SetColor(0x00AA00);
  Bitmap none = test::Filled(40, 40, background);
  DrawSectionText(none, font, "x", true, TRect{10, 10, 30, 30}, 0, 999, false, &f.manager);
  EXPECT_EQ(GetPixel32(none, 11, 15), ColorToPixel(0x00AA00, 255));
  // Text drawn masked changes nothing outside its rectangle.
  Bitmap cut = test::Filled(40, 40, background);
  DrawTextMasked(cut, font, "xxxxxxxx", 0, 0, TRect{5, 5, 17, 12});
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x)
      if (x < 5 || x >= 17 || y < 5 || y >= 12) {
        ASSERT_EQ(GetPixel32(cut, x, y), background) << x << ", " << y;
      }
  EXPECT_EQ(GetPixel32(cut, 16, 11), 0xFF000000u);  // the third glyph, cut at the rectangle
}

TEST_F(TextTest, DisabledCaptionTakesTheMixOfFontAndBackground) {
  PaintersFixture f;
  Bitmap bmp = test::Filled(40, 40, 0xFFFFFFFFu);  // the section's white face
  WriteTextSectionEx(bmp, font, "x", false, &f.manager, TRect{10, 10, 30, 30}, 1, f.label, 0);
  // 0.4 of black and 0.6 of white (153) would stand out from the white by 2.9:1 only: 0.55 of black, 115, by 4.7:1.
  EXPECT_EQ(GetPixel32(bmp, 11, 15), 0xFF737373u);
  SkinStateBlock dark;
  dark.FontColor = 0xFFFFFF;
  dark.Color = 0x000000;
  EXPECT_EQ(DisabledTextColor(dark), 0x737373);  // 0.4 of white on black, 102, reads at 3.7:1; 0.45 at 4.4:1
  // A grey font that does not read on its face itself: toward black, as far as it reads.
  const TColor grey = DisabledTextColor(0x999999, 0xFFFFFF, {});
  EXPECT_GE(platform::ContrastRatio(grey, 0xFFFFFF), DisabledTextContrast);
  EXPECT_GT(grey & 0xFF, 0x60u) << std::hex << grey;
  // Over pixels darker than the section's colour (a pressed or faded face), the caption (its darkest pixel; its
  // edges mix it with the face) stands out from them, still dimmer than the font colour.
  Bitmap shaded = test::Filled(40, 40, 0xFFB4B4B4u);
  WriteTextSectionEx(shaded, font, "x", false, &f.manager, TRect{10, 10, 30, 30}, 0, f.label, 0);
  uint32_t caption = 255;
  for (int32_t i = 0; i < 40 * 40; ++i) caption = std::min(caption, PixelR(GetPixel32(shaded, i % 40, i / 40)));
  EXPECT_GE(platform::ContrastRatio(caption * 0x010101u, 0xB4B4B4), DisabledTextContrast);
  EXPECT_GT(caption, 0u);
  // Enabled, in state 1: the hot font colour (red) after the right contour (blue).
  Bitmap hot = test::Filled(40, 40, 0xFF000000u);
  WriteTextSectionEx(hot, font, "x", true, &f.manager, TRect{10, 10, 30, 30}, 1, f.label, 0);
  EXPECT_EQ(GetPixel32(hot, 11, 15), ColorToPixel(0x0000FF, 255));
  EXPECT_EQ(GetPixel32(hot, 14, 15), ColorToPixel(0xFF0000, 255));
}

// The glow of a caption worked out directly: the text and its four one-pixel copies, blurred by a Gaussian of
// sigma radius / 2, the colour laid in by that weight.
TEST_F(TextTest, CaptionWithOutlineAndGlowMatchesTheReference) {
  PaintersFixture f;
  TsCommonData data;
  data.FSkinManager = &f.manager;
  data.SkinIndex = f.label;
  const uint32_t background = 0xFF402010u;
  const TRect R{6, 5, 34, 27};
  Bitmap bmp = test::Filled(40, 32, background);
  WriteSkinText(bmp, font, "ab", true, 1, data, 0, R);

  const int32_t g = 2;
  // Coverage of the text in the target's coordinates: blocks at columns 6..9 and 11..14, rows 6..15.
  auto text = [&](int32_t x, int32_t y) {
    return y >= 6 && y <= 15 && ((x >= 6 && x <= 9) || (x >= 11 && x <= 14));
  };
  auto dilated = [&](int32_t x, int32_t y) {
    return text(x, y) || text(x + 1, y) || text(x - 1, y) || text(x, y + 1) || text(x, y - 1);
  };
  std::vector<double> k(size_t(2 * g + 1));
  double sum = 0;
  for (int32_t i = -g; i <= g; ++i) sum += k[size_t(i + g)] = std::exp(-double(i * i) / (2.0 * (g / 2.0) * (g / 2.0)));
  for (double& v : k) v /= sum;
  int worst = 0;
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 40; ++x) {
      uint32_t expected = background;
      if (x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom) {
        double a = 0;
        for (int32_t j = -g; j <= g; ++j)
          for (int32_t i = -g; i <= g; ++i)
            if (dilated(x + i, y + j)) a += 255.0 * k[size_t(i + g)] * k[size_t(j + g)];
        const uint32_t w = uint32_t(std::lround(a));
        if (w > 0) {  // yellow (0x00FFFF: R 255, G 255, B 0) laid in
          auto mix = [w](uint32_t d, uint32_t s) { return (s * w + d * (256 - w)) >> 8; };
          const uint32_t da = PixelA(expected);
          expected = MakePixel(mix(PixelB(expected), 0), mix(PixelG(expected), 255), mix(PixelR(expected), 255),
                               da + (((255 - da) * w) >> 8));
        }
        if (text(x - 1, y)) expected = ColorToPixel(0xFF0000, 255);  // right contour (blue)
        if (text(x, y)) expected = ColorToPixel(0x0000FF, 255);      // hot font colour (red)
      }
      const uint32_t got = GetPixel32(bmp, x, y);
      for (int shift : {0, 8, 16, 24})
        worst = std::max(worst, std::abs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)));
    }
  EXPECT_LE(worst, 1);
  // Not skinned: the font's own colour, and only inside R.
  TsCommonData unskinned;
  unskinned.FSkinManager = &f.manager;
  font.SetColor(0x00AA00);
  Bitmap plain = test::Filled(40, 32, background);
  WriteSkinText(plain, font, "abcdefgh", true, 0, unskinned, 0, TRect{6, 5, 20, 27});
  EXPECT_EQ(GetPixel32(plain, 7, 10), ColorToPixel(0x00AA00, 255));
  EXPECT_EQ(GetPixel32(plain, 21, 10), background);
}

TEST_F(TextTest, CutTextToWidth) {
  struct Case {
    const char* text;
    int32_t width;
    const char* result;
  };
  const Case cases[] = {
      {"abc", 15, "abc"},       // fits: unchanged, no dots
      {"abcdef", 25, "ab..."},  // 2 characters and the dots are 25 pixels
      {"abcdef", 14, ""},       // not even the dots fit
      {"abc", 0, ""},
  };
  for (const Case& c : cases) {
    std::string result = "stale";
    CutTextToWidth(font, c.text, c.width, result);
    EXPECT_EQ(result, c.result) << c.text << " in " << c.width;
  }
  EXPECT_EQ(GetTextSize("aa bb cc", font, 20, true), (TSize{10, 36}));
  EXPECT_EQ(GetTextSize("aa bb cc", font, 20, false), (TSize{40, 12}));
}

// A small bitmap as text: '#' for the colour, '.' for anything else.
std::string Picture(const Bitmap& b, uint32_t colour) {
  std::string out;
  for (int32_t y = 0; y < b.Height(); ++y) {
    for (int32_t x = 0; x < b.Width(); ++x) out += GetPixel32(b, x, y) == colour ? '#' : '.';
    out += '\n';
  }
  return out;
}

TEST(DrawingUtilities, ArrowsAndFrames) {
  const uint32_t ink = ColorToPixel(0x0000FF, 255);
  struct Case {
    int32_t direction;
    const char* picture;
  };
  const Case arrows[] = {
      {0, "........\n.....#..\n....##..\n...###..\n..####..\n...###..\n....##..\n.....#..\n"},
      {1, "........\n...#....\n..###...\n.#####..\n#######.\n........\n........\n........\n"},
      {2, "........\n..#.....\n..##....\n..###...\n..####..\n..###...\n..##....\n..#.....\n"},
      {3, "........\n#######.\n.#####..\n..###...\n...#....\n........\n........\n........\n"},
      {4, "........\n........\n........\n........\n........\n........\n........\n........\n"},
  };
  for (const Case& c : arrows) {
    Bitmap b(8, 8, pf32bit);
    DrawArrowGlyph(b, 0x0000FF, TRect{0, 0, 7, 7}, c.direction);
    EXPECT_EQ(Picture(b, ink), c.picture) << "direction " << c.direction;
  }
  // A frame of width 2: two nested frames, top-left lines in one colour, bottom-right lines in the other.
  Bitmap frame(6, 6, pf32bit);
  TRect r{0, 0, 6, 6};
  DrawFocusFrame(frame, r, 0x0000FF, 2, 0x00FF00);
  EXPECT_EQ(Picture(frame, ink), "#####.\n####..\n##....\n##....\n#.....\n......\n");
  EXPECT_EQ(Picture(frame, ColorToPixel(0x00FF00, 255)), ".....#\n....##\n....##\n....##\n.#####\n######\n");
  EXPECT_EQ(GetPixel32(frame, 2, 2), 0u);
  EXPECT_EQ(r, (TRect{2, 2, 3, 3}));
  // A dotted frame alternates its colours; clNone leaves its dots alone.
  Bitmap dotted(5, 4, pf32bit);
  DrawDottedFrame(dotted, TRect{0, 0, 5, 4}, 0x0000FF, clNone);
  EXPECT_EQ(Picture(dotted, ink), "#.#.#\n.....\n#...#\n.#.#.\n");
}

TEST(DrawingUtilities, ButtonLayout) {
  struct Case {
    int32_t layout, alignment, margin, spacing;
    uint32_t biDi;
    TPoint glyph;
    TRect text;
  };
  // Client (10, 20, 110, 50): 100 x 30; glyph 16 x 16; text 40 x 12.
  const Case cases[] = {
      {0, 2, -1, 4, 0, {30, 27}, {50, 29, 90, 41}},   // centred: margin (100 - 60 + 1) div 2 = 20
      {0, 0, -1, 4, 0, {12, 27}, {32, 29, 72, 41}},   // left: margin 2
      {0, 1, -1, 4, 0, {48, 27}, {68, 29, 108, 41}},  // right: text at 100 - 2 - 40
      {1, 0, -1, 4, 0, {56, 27}, {12, 29, 52, 41}},   // glyph right of the text
      {0, 0, -1, 4, 2, {56, 27}, {12, 29, 52, 41}},   // right-to-left swaps layouts 0 and 1
      {2, 2, -1, 4, 0, {52, 19}, {40, 39, 80, 51}},   // glyph above: (30 - 16 - 4 - 12) div 2 = -1
      {3, 2, -1, 4, 0, {52, 35}, {40, 19, 80, 31}},   // glyph below
      {0, 2, -1, -1, 0, {25, 27}, {55, 29, 95, 41}},  // spacing -1: margin = spacing = (100 - 56) div 3 = 14
  };
  for (const Case& c : cases) {
    TPoint glyph;
    TRect text;
    CalcButtonLayout(TRect{10, 20, 110, 50}, TPoint{16, 16}, TPoint{40, 12}, c.layout, c.alignment, c.margin,
                     c.spacing, c.biDi, glyph, text);
    EXPECT_EQ(glyph, c.glyph) << c.layout << "/" << c.alignment << "/" << c.spacing;
    EXPECT_EQ(text, c.text) << c.layout << "/" << c.alignment << "/" << c.spacing;
  }
}

TEST(DrawingUtilities, GlyphStripImageByState) {
  // Up to four 3 x 2 images: up, disabled, pressed, down; each its own colour; a key pixel in each.
  const uint32_t colours[4] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFF00FFFFu};
  struct Case {
    int32_t numGlyphs, state;
    bool enabled;
    uint32_t expected;
  };
  const Case cases[] = {{4, 0, true, colours[0]}, {4, 1, true, colours[0]}, {4, 2, true, colours[2]},
                        {4, 3, true, colours[3]}, {4, 2, false, colours[1]}, {1, 2, false, colours[0]},
                        {2, 3, true, colours[0]}};
  for (const Case& c : cases) {
    Bitmap strip(3 * c.numGlyphs, 2, pf32bit);
    for (int32_t i = 0; i < c.numGlyphs; ++i)
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) SetPixel32(strip, i * 3 + x, y, (x == 2 && y == 1) ? KeyPixel : colours[i]);
    Bitmap dst = test::Filled(5, 4, 0xFF000000u);
    PaintGlyphBlended(dst, TPoint{1, 1}, strip, c.numGlyphs, c.state, c.enabled, 0);
    EXPECT_EQ(GetPixel32(dst, 1, 1), c.expected) << c.numGlyphs << "/" << c.state << "/" << c.enabled;
    EXPECT_EQ(GetPixel32(dst, 3, 2), 0xFF000000u);  // the key pixel is skipped
  }
  // Half and half: each channel Round(s - (s - d) x 0.5).
  Bitmap strip(3, 2, pf32bit);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) SetPixel32(strip, x, y, 0xFF0000FFu);
  Bitmap dst = test::Filled(5, 4, 0xFF000000u);
  PaintGlyphBlended(dst, TPoint{0, 0}, strip, 1, 0, true, 50);
  EXPECT_EQ(GetPixel32(dst, 0, 0), 0xFF000080u);  // Round(127.5) to even
}

}  // namespace
}  // namespace skin
