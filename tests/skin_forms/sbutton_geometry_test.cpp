// The arithmetic of the library's skinned buttons and label: visual state from pressed, hot, focused, disabled
// and default; images by state; image, glyph and caption rectangles for every alignment, layout, margin and
// spacing; the split and drop-down parts; the label's disabled colour and measured text.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "gui/graphics.h"
#include "gui/imglist.h"
#include "skin/adapters/button_glyph.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/sbutton_geometry.h"
#include "skin/pixels/pixel_helpers.h"

namespace {

using namespace skin;

std::string Str(const TRect& r) {
  std::ostringstream s;
  s << '{' << r.Left << ',' << r.Top << ',' << r.Right << ',' << r.Bottom << '}';
  return s.str();
}

TEST(SkinnedButtonState, PushStateFromPressHoverDownAndDefault) {
  struct Case {
    bool pushed, paintPressed, keyboard, over, noHover, down, dropDown, designing, activeDefault;
    int32_t expected;
  } cases[] = {
      {false, false, false, false, false, false, false, false, false, bstNormal},
      {false, false, false, true, false, false, false, false, false, bstHot},
      {false, false, false, false, false, false, false, false, true, bstDefault},
      {false, false, false, true, false, false, false, false, true, bstHot},
      {true, false, false, true, false, false, false, false, false, bstPressed},
      {true, false, true, false, false, false, false, false, false, bstPressed},
      // Held by the mouse but dragged off the button: not pressed.
      {true, false, false, false, false, false, false, false, false, bstNormal},
      {true, false, false, false, false, false, false, false, true, bstDefault},
      {true, false, false, false, true, false, false, false, false, bstPressed},
      {false, true, false, true, false, false, false, false, false, bstPressed},
      {false, false, false, false, false, true, false, false, false, bstPressed},
      {false, false, false, false, false, false, true, false, false, bstPressed},
      {false, false, false, true, false, false, false, true, false, bstNormal},
  };
  for (const Case& c : cases) {
    PushStateInput in;
    in.Pushed = c.pushed, in.PaintPressed = c.paintPressed, in.KeyboardPress = c.keyboard, in.MouseOver = c.over;
    in.NoMouseHover = c.noHover, in.Down = c.down, in.DropDownOpen = c.dropDown, in.Designing = c.designing;
    in.ActiveDefault = c.activeDefault;
    EXPECT_EQ(PushButtonState(in), c.expected)
        << c.pushed << c.paintPressed << c.keyboard << c.over << c.noHover << c.down << c.dropDown << c.designing
        << c.activeDefault;
  }
  // What the section paints: the default look only with four states, else the hot one; clamped to the states.
  const int32_t skin[][3] = {{3, 3, 1}, {3, 4, 3}, {2, 2, 1}, {1, 1, 0}, {2, 0, 0}, {0, 4, 0}};
  for (const auto& s : skin) EXPECT_EQ(SkinStateOf(s[0], s[1]), s[2]) << s[0] << " of " << s[1];
  // The bit button's default look gives way to another owner-drawn button holding the focus.
  const int32_t bit[][4] = {{3, 0, 0, 3}, {3, 1, 1, 0}, {3, 1, 0, 3}, {1, 1, 1, 1}};
  for (const auto& b : bit) EXPECT_EQ(BitBtnState(b[0], true, b[1] != 0, b[2] != 0), b[3]);
  // Speed buttons: separators and dividers are never hot or pressed.
  struct Speed {
    TToolButtonStyle style;
    bool down, pressed, over, menu;
    int32_t expected;
  } speed[] = {
      {TToolButtonStyle::tbsSeparator, false, false, true, false, 0},
      {TToolButtonStyle::tbsDivider, true, true, true, false, 0},
      {TToolButtonStyle::tbsButton, false, false, true, false, 1},
      {TToolButtonStyle::tbsCheck, true, false, false, false, 2},
      {TToolButtonStyle::tbsDropDown, false, false, false, true, 2},
      {TToolButtonStyle::tbsButton, false, true, true, false, 2},
      {TToolButtonStyle::tbsButton, false, false, false, false, 0},
  };
  for (const Speed& s : speed)
    EXPECT_EQ(SpeedButtonState(s.style, s.down, s.pressed, s.over, s.menu), s.expected) << int(s.style);
  EXPECT_EQ(SpeedArrowState(true, false, false, false), 2);
  EXPECT_EQ(SpeedArrowState(false, false, false, true), 1);
  EXPECT_EQ(SpeedArrowState(false, false, false, false), 0);
}

TEST(SkinnedButtonImages, ImageByStateFallsBackToTheNormalImage) {
  PushImageIndexes idx;
  idx.Normal = 0, idx.Hot = 7, idx.Pressed = 2, idx.Selected = 3, idx.Disabled = 4;
  struct Case {
    bool enabled;
    int32_t state;
    bool focused;
    int32_t disabled;
    int32_t expected;
  } cases[] = {
      {true, bstHot, false, 4, 0},  // 7 is beyond a list of 5
      {true, bstPressed, false, 4, 2},  {true, bstNormal, true, 4, 3}, {true, bstPressed, true, 4, 2},
      {true, bstHot, true, 4, 3},       {false, bstNormal, false, 4, 4}, {false, bstHot, false, -1, 0},
      {true, bstNormal, false, 4, 0},   {true, bstDefault, false, 4, 0},
  };
  for (const Case& c : cases) {
    idx.Disabled = c.disabled;
    EXPECT_EQ(PushButtonImageIndex(idx, 5, c.enabled, c.state, c.focused), c.expected)
        << c.enabled << " " << c.state << " " << c.focused;
  }
  // Glyph cells: a count of 0 counts as 1, only the low seven bits count, the size comes from the bitmap.
  struct Glyph {
    bool image;
    TSize list;
    int32_t cells;
    TSize strip, expected;
  } glyphs[] = {
      {true, {16, 16}, 1, {0, 0}, {16, 16}},  {false, {0, 0}, 4, {64, 16}, {16, 16}},
      {false, {0, 0}, 0, {48, 16}, {48, 16}}, {false, {0, 0}, 129, {32, 12}, {32, 12}},
      {false, {0, 0}, 2, {0, 0}, {0, 0}},
  };
  for (const Glyph& g : glyphs) {
    const TSize s = BitBtnGlyphSize(g.image, g.list, g.cells, g.strip);
    EXPECT_EQ(s.cx, g.expected.cx) << g.cells;
    EXPECT_EQ(s.cy, g.expected.cy) << g.cells;
  }
}

TEST(SkinnedButtonRects, PushButtonImageAndCaptionForEveryAlignmentAndStyle) {
  struct Case {
    TButtonStyle style;
    TImageAlignment align;
    bool image;
    const char* imageRect;
    const char* captionRect;
    int32_t textWidth;
  } cases[] = {
      {TButtonStyle::bsPushButton, TImageAlignment::iaLeft, true, "{8,12,24,28}", "{27,13,114,27}", 108},
      {TButtonStyle::bsPushButton, TImageAlignment::iaRight, true, "{95,12,111,28}", "{6,13,93,27}", 108},
      {TButtonStyle::bsPushButton, TImageAlignment::iaTop, true, "{52,7,68,23}", "{6,25,114,38}", 108},
      {TButtonStyle::bsPushButton, TImageAlignment::iaBottom, true, "{52,14,68,30}", "{6,1,114,14}", 108},
      {TButtonStyle::bsPushButton, TImageAlignment::iaCenter, true, "{52,12,68,28}", "{39,13,81,27}", 108},
      {TButtonStyle::bsPushButton, TImageAlignment::iaLeft, false, "{0,0,0,0}", "{39,13,81,27}", 108},
      {TButtonStyle::bsCommandLink, TImageAlignment::iaRight, true, "{8,6,24,22}", "{33,6,114,19}", 75},
      {TButtonStyle::bsCommandLink, TImageAlignment::iaLeft, false, "{0,0,0,0}", "{49,6,114,19}", 59},
      {TButtonStyle::bsSplitButton, TImageAlignment::iaRight, true, "{79,12,95,28}", "{6,13,77,27}", 92},
      {TButtonStyle::bsSplitButton, TImageAlignment::iaLeft, false, "{0,0,0,0}", "{31,13,73,27}", 92},
  };
  for (const Case& c : cases) {
    PushLayoutInput in;
    in.Width = 120, in.Height = 40, in.Style = c.style, in.Alignment = c.align, in.HasImage = c.image;
    in.Image = TSize{16, 16};
    in.Margins.Left = 2, in.Margins.Top = 1, in.Margins.Right = 3, in.Margins.Bottom = 4;
    EXPECT_EQ(Str(PushButtonImageRect(in)), c.imageRect) << int(c.style) << "/" << int(c.align);
    EXPECT_EQ(Str(PushButtonCaptionRect(in, TSize{40, 13})), c.captionRect) << int(c.style) << "/" << int(c.align);
    EXPECT_EQ(PushButtonTextWidth(in), c.textWidth) << int(c.style) << "/" << int(c.align);
  }
  // Pressed content moves unless a skinned button's manager is missing or does not shift it.
  const bool shifts[][5] = {{false, false, true, true, false}, {true, false, false, false, true},
                            {true, true, true, true, true},    {true, true, true, false, false},
                            {true, true, false, true, false}};
  for (const auto& s : shifts) EXPECT_EQ(ContentShifts(s[0], s[1], s[2], s[3]), s[4]);
  EXPECT_EQ(Str(ShiftRect(TRect{1, 2, 3, 4}, true)), "{2,3,4,5}");
}

TEST(SkinnedButtonRects, StripsUncoveredByNewBounds) {
  struct Case {
    TRect old, now;
    const char* expected;
  } cases[] = {
      {{10, 10, 110, 44}, {10, 10, 110, 44}, ""},
      {{10, 10, 110, 44}, {10, 10, 90, 44}, "{90,10,110,44}"},
      {{10, 10, 110, 44}, {10, 10, 110, 30}, "{10,30,110,44}"},
      {{10, 10, 110, 44}, {10, 10, 90, 30}, "{10,30,110,44}{90,10,110,30}"},
      {{10, 10, 110, 44}, {20, 16, 100, 40}, "{10,10,110,16}{10,40,110,44}{10,16,20,40}{100,16,110,40}"},
      {{10, 10, 110, 44}, {0, 0, 200, 60}, ""},
      {{10, 10, 110, 44}, {300, 300, 400, 340}, "{10,10,110,44}"},
      {{10, 10, 110, 44}, {0, 0, 50, 20}, "{10,20,110,44}{50,10,110,20}"},
      {{0, 0, 0, 0}, {10, 10, 20, 20}, ""},
  };
  for (const Case& c : cases) {
    std::string got;
    for (const TRect& r : UncoveredStrips(c.old, c.now)) got += Str(r);
    EXPECT_EQ(got, c.expected) << Str(c.old) << " -> " << Str(c.now);
  }
}

TEST(SkinnedButtonRects, SplitAndDropDownParts) {
  PushLayoutInput in;
  in.Width = 120, in.Height = 40, in.Style = TButtonStyle::bsSplitButton;
  EXPECT_EQ(Str(PushButtonSplitRect(in)), "{104,0,120,40}");
  const struct {
    bool split, menu;
    int32_t x;
    bool hit;
  } push[] = {{true, true, 104, true}, {true, true, 103, false}, {true, true, 119, true},
              {true, false, 110, false}, {false, true, 110, false}};
  for (const auto& p : push) {
    in.Style = p.split ? TButtonStyle::bsSplitButton : TButtonStyle::bsPushButton;
    EXPECT_EQ(PushButtonSplitHit(in, p.menu, p.x), p.hit) << p.split << p.menu << p.x;
  }
  in.Style = TButtonStyle::bsPushButton;
  EXPECT_EQ(Str(PushButtonSplitRect(in)), "{0,0,0,0}");
  // A drop-down speed button with OnClick: the left part clicks, the right 16 pixels open the menu; without
  // OnClick the whole button opens it.
  const struct {
    TToolButtonStyle style;
    bool menu, onClick;
    int32_t x;
    bool opens;
  } speed[] = {{TToolButtonStyle::tbsDropDown, true, true, 64, false}, {TToolButtonStyle::tbsDropDown, true, true, 65, true},
               {TToolButtonStyle::tbsDropDown, true, false, 10, true}, {TToolButtonStyle::tbsDropDown, false, false, 70, false},
               {TToolButtonStyle::tbsButton, true, false, 70, false}};
  for (const auto& s : speed)
    EXPECT_EQ(SpeedDropDownHit(80, s.style, s.menu, s.onClick, s.x), s.opens) << s.menu << s.onClick << s.x;
  EXPECT_EQ(Str(SpeedArrowRect(80, 30)), "{64,0,80,30}");
  EXPECT_EQ(Str(SpeedFaceRect(80, 30, true)), "{0,0,64,30}");
  EXPECT_EQ(Str(SpeedFaceRect(80, 30, false)), "{0,0,80,30}");
}

TEST(SkinnedButtonRects, BitButtonGlyphAndCaptionForEveryLayoutMarginAndSpacing) {
  struct Case {
    int32_t layout, alignment, margin, spacing;
    bool text, rtl, shift, reflected;
    int32_t offset;
    const char* glyph;
    const char* caption;
  } cases[] = {
      {0, 2, -1, 4, true, false, false, false, 0, "{25,12,41,28}", "{45,14,75,27}"},
      {0, 0, 5, 2, true, false, false, false, 0, "{5,12,21,28}", "{23,14,53,27}"},
      {1, 2, -1, 4, true, false, false, false, 0, "{59,12,75,28}", "{25,14,55,27}"},
      {1, 1, 3, 6, true, false, false, false, 0, "{81,12,97,28}", "{45,14,75,27}"},
      {2, 2, -1, 4, true, false, false, false, 0, "{42,3,58,19}", "{35,23,65,36}"},
      {3, 2, 4, 2, true, false, false, false, 0, "{42,20,58,36}", "{35,5,65,18}"},
      {0, 2, -1, -1, true, false, false, false, 0, "{18,12,34,28}", "{52,14,82,27}"},
      {0, 2, -1, 4, true, false, true, false, 0, "{26,13,42,29}", "{46,15,76,28}"},
      {0, 2, -1, 4, true, false, false, true, 0, "{25,10,41,26}", "{45,14,75,27}"},
      {0, 2, -1, 4, true, false, false, false, 3, "{25,12,41,28}", "{48,14,78,27}"},
      {0, 2, -1, 4, false, false, false, false, 0, "{42,12,58,28}", "{58,20,58,20}"},
      {0, 2, -1, 4, true, true, false, false, 0, "{59,12,75,28}", "{25,14,55,27}"},
  };
  for (const Case& c : cases) {
    BitBtnLayoutInput in;
    in.Width = 100, in.Height = 40, in.Glyph = TSize{16, 16}, in.Text = c.text ? TSize{30, 13} : TSize{0, 0};
    in.Layout = c.layout, in.Alignment = c.alignment, in.Margin = c.margin, in.Spacing = c.spacing;
    in.RightToLeft = c.rtl, in.Shift = c.shift, in.Reflected = c.reflected, in.TextOffset = c.offset;
    TRect g, t;
    BitBtnRects(in, g, t);
    EXPECT_EQ(Str(g), c.glyph) << c.layout << "/" << c.alignment << "/" << c.margin << "/" << c.spacing;
    EXPECT_EQ(Str(t), c.caption) << c.layout << "/" << c.alignment << "/" << c.margin << "/" << c.spacing;
  }
}

TEST(SkinnedButtonRects, SpeedButtonGlyphAndCaptionForEveryLayoutAlignmentAndMargin) {
  struct Case {
    int32_t layout, alignment, textAlignment, margin, height;
    bool caption, dropDown;
    int32_t offset;
    const char* captionRect;
    const char* glyphRect;
  } cases[] = {
      {0, 2, 2, -1, 30, true, false, 0, "{40,8,60,21}", "{20,7,36,23}"},
      {0, 0, 0, -1, 30, true, false, 0, "{20,8,40,21}", "{0,7,16,23}"},
      {0, 0, 1, -1, 30, true, false, 0, "{60,8,80,21}", "{40,7,56,23}"},
      {0, 0, 2, -1, 30, true, false, 0, "{40,8,60,21}", "{20,7,36,23}"},
      {0, 1, 2, -1, 30, true, false, 0, "{60,8,80,21}", "{40,7,56,23}"},
      {1, 0, 2, -1, 30, true, false, 0, "{0,8,20,21}", "{24,7,40,23}"},
      {1, 1, 0, -1, 30, true, false, 0, "{0,8,60,21}", "{64,7,80,23}"},
      {1, 1, 1, -1, 30, true, false, 0, "{40,8,60,21}", "{64,7,80,23}"},
      {1, 1, 2, -1, 30, true, false, 0, "{20,8,60,21}", "{64,7,80,23}"},
      {1, 2, 2, -1, 30, true, false, 0, "{20,8,40,21}", "{44,7,60,23}"},
      {2, 2, 2, -1, 50, true, false, 0, "{30,28,50,42}", "{32,8,48,24}"},
      {3, 2, 2, 2, 50, true, false, 0, "{30,8,50,22}", "{32,26,48,42}"},
      {0, 2, 2, -1, 30, true, true, 0, "{32,8,52,21}", "{12,7,28,23}"},
      {0, 2, 2, -1, 30, true, false, 2, "{42,8,62,21}", "{20,7,36,23}"},
      {2, 2, 2, -1, 50, true, false, 3, "{30,31,50,45}", "{32,8,48,24}"},
      {0, 2, 2, -1, 30, false, false, 0, "{48,15,48,15}", "{32,7,48,23}"},
  };
  for (const Case& c : cases) {
    SpeedLayoutInput in;
    in.Width = 80, in.Height = c.height, in.Layout = c.layout, in.Alignment = c.alignment;
    in.TextAlignment = c.textAlignment, in.Glyph = TSize{16, 16}, in.HasCaption = c.caption;
    in.Text = c.caption ? TSize{20, 13} : TSize{0, 0};
    in.Spacing = 4, in.Margin = c.margin, in.DropDown = c.dropDown, in.TextOffset = c.offset;
    EXPECT_EQ(Str(SpeedCaptionRect(in)), c.captionRect) << c.layout << "/" << c.alignment << "/" << c.textAlignment;
    EXPECT_EQ(Str(SpeedGlyphRect(in)), c.glyphRect) << c.layout << "/" << c.alignment << "/" << c.textAlignment;
  }
  const int32_t margins[][2] = {{-1, 0}, {-5, 0}, {0, 3}, {2, 5}};
  for (const auto& m : margins) EXPECT_EQ(SpeedEffectiveMargin(m[0]), m[1]);
}

TEST(SkinnedLabel, DisabledColourAndMeasuredText) {
  EXPECT_EQ(LabelDisabledColor(0x000000, 0xFFFFFF), TColor(0x999999));
  EXPECT_EQ(LabelDisabledColor(0x0000FF, 0x00FF00), TColor(0x009966));
  const struct {
    const char* text;
    bool accel, measuring;
    const char* expected;
  } cases[] = {{"", true, true, " "}, {"&", true, true, "& "}, {"&", false, true, "&"},
               {"", true, false, ""}, {"ab", true, true, "ab"}};
  for (const auto& c : cases)
    EXPECT_EQ(LabelTextForDrawing(c.text, c.accel, c.measuring), c.expected) << c.text << c.accel << c.measuring;
}

// A 32-bit strip drawn into a rectangle wider than one cell: the cell's width is the strip's own, so only the
// state's cell shows and the rest of the rectangle is untouched.
TEST(SkinnedButtonGlyph, CellWidthComesFromTheStripNotTheRectangle) {
  PortableSkinSystem sys;
  TsSkinManager manager{sys};
  gui::TBitmap glyph;
  glyph.SetPixelFormat(gui::TPixelFormat::pf32bit);
  glyph.SetSize(8, 4);  // two 4-pixel cells: red, blue
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      uint8_t* p = glyph.ScanLine(y) + x * 4;
      p[0] = x < 4 ? 0 : 0xFF, p[1] = 0, p[2] = x < 4 ? 0xFF : 0, p[3] = 0xFF;
    }
  Bitmap t(16, 4, pf32bit);
  FillRectBitmap32(t, TRect{0, 0, 16, 4}, 0x00FF00, 255);
  GlyphPaintData d;
  d.Target = &t;
  d.Glyph = &glyph;
  d.R = TRect{0, 0, 12, 4};
  d.NumGlyphs = 2;
  d.State = 1;
  DrawButtonGlyph(d);
  EXPECT_NEAR(int(GetPixel32(t, 1, 1) & 0xFF), 0xFF, 1);           // blue (the second cell)
  EXPECT_EQ(GetPixel32(t, 5, 1) & 0xFFFFFF, 0x00FF00u);              // beyond the cell: untouched
}

// An image of a plain image list drawn into a button's cache: what the image leaves transparent shows the
// button, enabled, disabled and blended alike.
TEST(SkinnedButtonGlyph, PlainImageListLeavesItsTransparentPixels) {
  PortableSkinSystem sys;
  TsSkinManager manager{sys};
  gui::TImageList list(nullptr);
  gui::TBitmap image;
  image.SetPixelFormat(gui::TPixelFormat::pf32bit);
  image.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = image.ScanLine(y) + x * 4;
      const bool in = x >= 4 && x < 12 && y >= 4 && y < 12;
      p[0] = 0xC0, p[1] = 0x20, p[2] = 0x10, p[3] = in ? 0xFF : 0;
    }
  ASSERT_EQ(list.AddImage32(image), 0);
  const struct {
    bool enabled;
    int32_t blend;
  } cases[] = {{true, 0}, {true, 50}, {false, 0}};
  for (const auto& c : cases) {
    Bitmap t(20, 20, pf32bit);
    FillRectBitmap32(t, TRect{0, 0, 20, 20}, 0x00FF00, 255);
    GlyphPaintData d;
    d.Target = &t;
    d.Images = &list;
    d.ImageIndex = 0;
    d.SkinIndex = 0;
    d.R = TRect{2, 2, 18, 18};
    d.Enabled = c.enabled;
    d.Blend = c.blend;
    DrawButtonGlyph(d);
    EXPECT_EQ(GetPixel32(t, 3, 3) & 0xFFFFFF, 0x00FF00u) << c.enabled << " " << c.blend;
    EXPECT_NE(GetPixel32(t, 10, 10) & 0xFFFFFF, 0x00FF00u) << c.enabled << " " << c.blend;
  }
}

}  // namespace
