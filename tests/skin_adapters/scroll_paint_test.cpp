// A skinned scroll bar painted into a bitmap on the fixture skin of flat colours: each part in its section's
// colour for its state, the grip centred on the thumb, the arrows' triangles, no thumb where it does not fit, and
// the faded look of a bar that cannot be used.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "skin/adapters/scroll_paint.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_adapters/scroll_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::colours;

struct ScrollPaintTest : ::testing::Test {
  PortableSkinSystem sys;
  TsSkinManager manager{sys};
  ScrollPaintTest() { ApplyScrollSkin(manager); }

  // The RGB colour of a pixel (alpha dropped) as a TColor.
  static uint32_t At(const Bitmap& b, int x, int y) {
    const uint32_t p = GetPixel32(b, x, y);
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
  }
  Bitmap Paint(const ScrollBarLook& look, int w, int h, const CacheInfo& ci = EmptyCacheInfo) {
    Bitmap b(w, h, pf32bit);
    EXPECT_TRUE(PaintScrollBarImage(b, look, &manager, ci));
    return b;
  }
};

ScrollBarLook Look(bool vertical, int32_t pos) {
  ScrollBarLook l;
  l.Vertical = vertical;
  l.Arrow = 17;
  l.Range = ScrollRange{0, 99, 10, pos, pos};
  return l;
}

TEST_F(ScrollPaintTest, EveryPartInItsSectionsColourForItsState) {
  ASSERT_GE(manager.Skin().CommonIndexes.ScrollBar1H.SectionIndex, 0);
  struct Probe {
    const char* name;
    int32_t hot, pressed;
    int x;
    uint32_t colour;
  };
  // Horizontal, 200 x 17, position 50: thumb at 100..117 (centre 108).
  const Probe probes[] = {
      {"first arrow", sbpNone, sbpNone, 2, ArrowN},
      {"second arrow", sbpNone, sbpNone, 197, ArrowN},
      {"track before the thumb", sbpNone, sbpNone, 50, Track1N},
      {"track before, up to the thumb's centre", sbpNone, sbpNone, 107, SliderN},
      {"track after the thumb", sbpNone, sbpNone, 150, Track2N},
      {"thumb", sbpNone, sbpNone, 102, SliderN},
      {"hot first arrow", sbpFirstArrow, sbpNone, 2, ArrowH},
      {"pressed second arrow", sbpNone, sbpSecondArrow, 197, ArrowP},
      {"pressed track before", sbpNone, sbpTrackBefore, 50, Track1P},
      {"pressed track after", sbpNone, sbpTrackAfter, 150, Track2P},
      {"hot thumb", sbpThumb, sbpNone, 102, SliderH},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.name);
    ScrollBarLook l = Look(false, 50);
    l.HotPart = p.hot;
    l.PressedPart = p.pressed;
    const Bitmap b = Paint(l, 200, 17);
    EXPECT_EQ(At(b, p.x, 1), p.colour);
    EXPECT_EQ(At(b, p.x, 15), p.colour);
  }
}

TEST_F(ScrollPaintTest, ArrowTrianglesAndTheCentredGrip) {
  const Bitmap b = Paint(Look(true, 0), 17, 200);
  // Up arrow: the triangle's tip row is in the font colour, the corner in the button's.
  EXPECT_EQ(At(b, 8, 6), ArrowFontN);
  EXPECT_EQ(At(b, 1, 1), ArrowN);
  // The vertical thumb (17..34 along the bar) carries its grip (4 x 4) in its centre.
  EXPECT_EQ(At(b, 8, 25), GripN);
  EXPECT_EQ(At(b, 2, 20), SliderN);
  ScrollBarLook hot = Look(true, 0);
  hot.HotPart = sbpThumb;
  hot.PressedPart = sbpFirstArrow;
  const Bitmap h = Paint(hot, 17, 200);
  EXPECT_EQ(At(h, 8, 25), GripH);
  // Dragged (state 2), the thumb draws its grip of two states in the last one.
  ScrollBarLook dragged = Look(true, 0);
  dragged.Dragging = true;
  dragged.DragStart = 17;
  dragged.DragLength = 17;
  const Bitmap d = Paint(dragged, 17, 200);
  EXPECT_EQ(At(d, 2, 20), SliderP);
  EXPECT_EQ(At(d, 8, 25), GripH);
  // A pressed arrow's triangle moves by (1, 1) and takes the hot font colour.
  EXPECT_EQ(At(h, 9, 7), ArrowFontH);
  EXPECT_EQ(At(h, 1, 1), ArrowP);
}

TEST_F(ScrollPaintTest, NoThumbWhereItDoesNotFit) {
  struct Case {
    const char* name;
    int length;
    ScrollRange range;
  };
  for (const Case& c : {Case{"bar shorter than two arrows", 30, ScrollRange{0, 99, 10, 0, 0}},
                        Case{"track shorter than the thumb", 45, ScrollRange{0, 99, 10, 0, 0}},
                        Case{"page larger than the range", 200, ScrollRange{0, 9, 20, 0, 0}}}) {
    SCOPED_TRACE(c.name);
    ScrollBarLook l = Look(false, 0);
    l.Range = c.range;
    const Bitmap b = Paint(l, c.length, 17);
    for (int x = 0; x < c.length; ++x) ASSERT_NE(At(b, x, 1), SliderN) << x;
  }
  // The short bar gives each arrow its half.
  const Bitmap s = Paint(Look(false, 0), 30, 17);
  EXPECT_EQ(At(s, 1, 1), ArrowN);
  EXPECT_EQ(At(s, 28, 1), ArrowN);
}

TEST_F(ScrollPaintTest, ADraggedThumbShowsPressedWhereTheMouseHoldsIt) {
  ScrollBarLook l = Look(false, 0);
  l.Dragging = true;
  l.DragStart = 150;
  l.DragLength = 17;
  l.PressedPart = sbpThumb;
  const Bitmap b = Paint(l, 200, 17);
  EXPECT_EQ(At(b, 155, 1), SliderP);
  EXPECT_EQ(At(b, 100, 1), Track1N);  // the first track now runs to the dragged thumb's centre
  EXPECT_EQ(At(b, 2, 1), ArrowN);
}

TEST_F(ScrollPaintTest, ABarThatCannotBeUsedIsFadedIntoWhatLiesUnderIt) {
  auto mix = [](uint32_t bar, uint32_t under) {
    uint32_t r = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const double c = 0.4 * ((bar >> shift) & 0xFF) + 0.6 * ((under >> shift) & 0xFF);
      r |= uint32_t(std::nearbyint(c)) << shift;
    }
    return r;
  };
  ScrollBarLook l = Look(false, 50);
  l.Enabled = false;
  // Over a colour.
  CacheInfo fill = EmptyCacheInfo;
  fill.FillColor = 0x204060;
  const Bitmap c = Paint(l, 200, 17, fill);
  EXPECT_EQ(At(c, 2, 1), mix(ArrowN, 0x204060));
  EXPECT_EQ(At(c, 150, 1), mix(Track2N, 0x204060));
  EXPECT_EQ(At(c, 102, 1), mix(Track1N, 0x204060));  // no thumb on a bar that cannot be used
  // Over the parent's bitmap (the bar at (10, 5) of it).
  Bitmap parent(300, 40, pf32bit);
  FillRectBitmap32(parent, TRect{0, 0, 300, 40}, 0x00FF00, 255);
  const Bitmap p = Paint(l, 200, 17, CacheInfoFromBitmap(&parent, 10, 5));
  EXPECT_EQ(At(p, 150, 1), mix(Track2N, 0x00FF00));
}

}  // namespace
