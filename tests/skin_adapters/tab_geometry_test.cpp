// The arithmetic of the tab-control and scroll-bar control adapters: tab side and kind from the style, the page
// frame's section and rectangle, the painted tab rectangles, the scroll bar's copy of its data, its thumb and
// its parts.
#include "skin/adapters/tab_geometry.h"

#include <gtest/gtest.h>

namespace {

using namespace skin;

TEST(TabGeometry, SideKindAndFrameSectionFromTheStyle) {
  struct Case {
    uint32_t style;
    TabSide side;
    TabKind kind;
    std::string section;  // "PAGECONTROL" given, with tabs
    int32_t record;
  };
  const Case cases[] = {
      {0x0000, tabTop, tkTabs, "PAGECONTROL", 1},
      {0x0002, tabBottom, tkTabs, "PAGECONTROLBOTTOM", 3},
      {0x0080, tabLeft, tkTabs, "PAGECONTROLLEFT", 0},
      {0x0082, tabRight, tkTabs, "PAGECONTROLRIGHT", 2},
      {0x0100, tabTop, tkButtons, "PAGECONTROL", 1},
      {0x0108, tabTop, tkFlatButtons, "PAGECONTROL", 1},
      {0x0008, tabTop, tkTabs, "PAGECONTROL", 1},  // flat without buttons is still tabs
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabSideOfStyle(c.style), c.side) << std::hex << c.style;
    EXPECT_EQ(TabKindOfStyle(c.style), c.kind) << std::hex << c.style;
    EXPECT_EQ(PageFrameSection("PAGECONTROL", c.side, true), c.section) << std::hex << c.style;
    EXPECT_EQ(PageFrameSection("", c.side, true), c.section) << "no section is the default one";
    EXPECT_EQ(TabRecordOfSide(c.side), c.record);
  }
  EXPECT_EQ(PageFrameSection("MYTABS", tabBottom, true), "MYTABS") << "another section keeps its name";
  EXPECT_EQ(PageFrameSection("PAGECONTROL", tabBottom, false), "CHECKBOX") << "no tabs: only the background";
}

TEST(TabGeometry, PageFrameReachesTheDisplayAreaOnTheTabSide) {
  const TSize size{200, 100};
  const TRect display{4, 30, 196, 96};
  struct Case {
    TabSide side;
    bool tabs;
    TRect frame;
  };
  const Case cases[] = {
      {tabTop, true, {0, 26, 200, 100}},
      {tabBottom, true, {0, 0, 200, 98}},
      {tabLeft, true, {3, 0, 200, 100}},
      {tabRight, true, {0, 0, 197, 100}},
      {tabTop, false, {0, 0, 200, 100}},
  };
  for (const Case& c : cases) EXPECT_EQ(PageFrameRect(size, display, c.side, c.tabs), c.frame) << c.side;
  EXPECT_EQ(PageDisplayRect(TRect{4, 28, 196, 96}), (TRect{4, 30, 196, 96}));
}

TEST(TabGeometry, PaintedTabRectangles) {
  const TRect item{10, 2, 60, 22};
  struct Case {
    TabSide side;
    bool active;
    TabKind kind;
    int32_t overlap;
    TRect painted;
  };
  const Case cases[] = {
      // top: the selected one grows by 2 each way; the others reach 3 + 1 pixels under the frame, 1 narrower
      {tabTop, true, tkTabs, 0, {8, 0, 62, 24}},
      {tabTop, false, tkTabs, 0, {10, 2, 59, 26}},
      {tabBottom, true, tkTabs, 0, {8, -1, 62, 23}},
      {tabBottom, false, tkTabs, 0, {10, 0, 59, 22}},
      {tabLeft, true, tkTabs, 0, {9, 0, 63, 23}},
      {tabLeft, false, tkTabs, 0, {10, 1, 63, 22}},
      {tabRight, true, tkTabs, 0, {7, 0, 61, 24}},
      {tabRight, false, tkTabs, 0, {8, 1, 59, 22}},
      // the skin's overlap moves the tab along its row and widens it there
      {tabTop, false, tkTabs, 3, {10, 2, 65, 26}},
      {tabLeft, false, tkTabs, 2, {10, 1, 63, 26}},
      // buttons keep the control's rectangle
      {tabTop, true, tkButtons, 3, {10, 2, 60, 22}},
      {tabBottom, false, tkFlatButtons, 0, {10, 2, 60, 22}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TabPaintRect(item, c.side, c.active, c.kind, c.overlap), c.painted)
        << "side " << c.side << " active " << c.active << " kind " << c.kind << " overlap " << c.overlap;
  EXPECT_TRUE(TabPaintRect(TRect{}, tabTop, true, tkTabs, 0).IsEmpty()) << "no tab, no rectangle";
  EXPECT_EQ(TabContentRect(TRect{0, 0, 60, 24}, tabTop, 0), (TRect{3, 3, 57, 21}));
  EXPECT_EQ(TabContentRect(TRect{0, 0, 60, 24}, tabTop, 2), (TRect{7, 3, 53, 21}));
  EXPECT_EQ(TabContentRect(TRect{0, 0, 24, 60}, tabRight, 2), (TRect{3, 7, 21, 53}));
}

TEST(ScrollBarControl, ScrollInfoIsClampedAsTheControlKeepsIt) {
  struct Case {
    uint32_t mask;
    int32_t min, max;
    uint32_t page;
    int32_t pos;
    bool dragging;
    SBData after;  // from {0, 100, 10, 50, 50}
  };
  const Case cases[] = {
      {SBMaskPos, 0, 0, 0, 70, false, {0, 100, 10, 70, 70}},
      {SBMaskPos, 0, 0, 0, 95, false, {0, 100, 10, 91, 91}},      // the last page
      {SBMaskPos, 0, 0, 0, -5, false, {0, 100, 10, 0, 0}},
      {SBMaskPos, 0, 0, 0, 70, true, {0, 100, 10, 70, 50}},       // a dragged thumb keeps where it is drawn
      {SBMaskRange, 20, 10, 0, 0, false, {0, 0, 1, 0, 0}},        // a maximum below the minimum: both 0
      {SBMaskPage, 0, 0, 500, 0, false, {0, 100, 101, 0, 0}},     // the page within the positions
      {SBMaskRange | SBMaskPage | SBMaskPos, 10, 20, 0, 15, false, {10, 20, 0, 15, 15}},
  };
  for (const Case& c : cases) {
    SBData d{0, 100, 10, 50, 50};
    SBApplyScrollInfo(d, c.mask, c.min, c.max, c.page, c.pos, c.dragging);
    EXPECT_EQ(d.Min, c.after.Min);
    EXPECT_EQ(d.Max, c.after.Max);
    EXPECT_EQ(d.Page, c.after.Page);
    EXPECT_EQ(d.Position, c.after.Position) << "mask " << c.mask << " pos " << c.pos;
    EXPECT_EQ(d.TrackPos, c.after.TrackPos) << "mask " << c.mask << " pos " << c.pos;
  }
}

TEST(ScrollBarControl, ThumbCentreAndPositionsAlongTheBar) {
  // A bar of 200 pixels, arrows of 16, a thumb of 20: 148 pixels of travel for positions 0 .. 91.
  struct Case {
    SBData d;
    int32_t centre;
  };
  const Case cases[] = {
      {{0, 100, 10, 0, 0}, 26},
      {{0, 100, 10, 91, 91}, 174},
      {{0, 100, 10, 45, 45}, 99},   // 16 + 10 + round(148 / 91 x 45) = 26 + 73
      {{0, 0, 0, 0, 0}, 100},       // no range: the middle
      {{5, 4, 0, 0, 0}, 100},
      {{0, 10, 11, 0, 0}, 26},      // the page covers everything: no travel, no division by zero
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SBThumbCentre(c.d, 200, 16, 20), c.centre) << c.d.TrackPos << " of " << c.d.Max;
    if (c.d.Max > c.d.Min && SBLastPosition(c.d) > c.d.Min) {
      EXPECT_EQ(SBPositionAt(c.d, 200, 16, 20, c.centre), c.d.TrackPos) << "the centre maps back";
    }
  }
  const SBData d{0, 100, 10, 45, 45};
  EXPECT_EQ(SBPositionAt(d, 200, 16, 20, 0), 0);
  EXPECT_EQ(SBPositionAt(d, 200, 16, 20, 500), 91);
  struct Hit {
    int32_t along;
    bool thumb;
    int32_t part;
  };
  const Hit hits[] = {{0, true, sbFirstArrow},   {15, true, sbFirstArrow}, {16, true, sbTrackBefore},
                      {89, true, sbThumb},       {108, true, sbThumb},     {109, true, sbTrackAfter},
                      {184, true, sbSecondArrow}, {199, true, sbSecondArrow}, {95, false, sbTrackBefore},
                      {200, true, -1},           {-1, true, -1}};
  for (const Hit& h : hits) EXPECT_EQ(SBPartAt(d, 200, 16, 20, h.thumb, h.along), h.part) << h.along;
  EXPECT_EQ(SBPartAt(d, 20, 16, 20, true, 9), sbFirstArrow) << "a short bar is two arrows";
  EXPECT_EQ(SBPartAt(d, 20, 16, 20, true, 10), sbSecondArrow);
  EXPECT_EQ(SBPartAt(SBData{}, 200, 16, 20, true, 100), sbThumb) << "an empty range: the thumb in the middle";
  EXPECT_EQ(SBPartAt(SBData{}, 200, 16, 20, true, 80), sbTrackBefore);
}

TEST(ScrollBarControl, APressedOrHotPartResetsTheOthers) {
  using S = std::array<int32_t, 5>;
  struct Case {
    S before;
    int32_t part, state;
    S after;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 0}, sbThumb, 2, {0, 0, 1, 1, 2}},
      {{2, 0, 1, 1, 0}, sbSecondArrow, 1, {0, 1, 1, 1, 0}},
      {{1, 0, 1, 1, 2}, sbTrackBefore, 2, {0, 0, 2, 1, 0}},
      {{0, 0, 0, 0, 0}, sbTrackAfter, 1, {0, 0, 1, 1, 0}},
      {{0, 2, 1, 1, 0}, sbSecondArrow, 0, {0, 0, 1, 1, 0}},  // back to normal: the others stay
      {{0, 2, 1, 1, 0}, 7, 2, {0, 2, 1, 1, 0}},             // no such part
  };
  for (const Case& c : cases) {
    S s = c.before;
    SBSetPartState(s, c.part, c.state);
    EXPECT_EQ(s, c.after) << "part " << c.part << " state " << c.state;
  }
}

}  // namespace
