// The arithmetic of skinned scroll bars: the thumb's place and length, the part under a point and the position a
// dragged thumb stands for, over pages of 0, pages larger than the range, ranges that do not start at 0,
// positions above 65535 and bars too short for their arrows or their thumb.
#include <gtest/gtest.h>

#include "skin/adapters/scroll_geometry.h"

namespace {

using namespace skin;

ScrollRange Range(int32_t mn, int32_t mx, uint32_t page, int32_t pos) { return ScrollRange{mn, mx, page, pos, pos}; }

TEST(ScrollGeometry, MulDivRoundsHalvesAwayFromZeroAndNeverOverflows) {
  EXPECT_EQ(MulDivRound(5, 3, 2), 8);     // 7.5
  EXPECT_EQ(MulDivRound(-5, 3, 2), -8);
  EXPECT_EQ(MulDivRound(7, 1, 3), 2);     // 2.33
  EXPECT_EQ(MulDivRound(1, 1, 0), 0);
  EXPECT_EQ(MulDivRound(0x7FFFFFFF, 0x7FFFFFFF, 1), 0x7FFFFFFF);
  EXPECT_EQ(MulDivRound(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
}

TEST(ScrollGeometry, ThumbPlaceAndLength) {
  struct Case {
    const char* name;
    ScrollRange r;
    int32_t barLength, arrow;
    ScrollThumb expected;
  };
  // Bars start at 10; MinThumbSize 16.
  const Case cases[] = {
      {"page 0 at the start: as long as an arrow", Range(0, 100, 0, 0), 200, 17, {27, 17, true}},
      {"page 0 at the end", Range(0, 100, 0, 100), 200, 17, {176, 17, true}},
      {"page 0 with small arrows: at least MinThumbSize", Range(0, 100, 0, 0), 200, 10, {20, 16, true}},
      {"proportional thumb", Range(0, 99, 10, 0), 200, 17, {27, 17, true}},
      {"last page", Range(0, 99, 10, 90), 200, 17, {176, 17, true}},
      {"page larger than the range: no thumb", Range(0, 9, 20, 0), 200, 17, {27, 332, false}},
      {"page equal to the range: no thumb", Range(0, 9, 10, 0), 200, 17, {27, 166, false}},
      {"range from 100: first position", Range(100, 199, 10, 100), 200, 17, {27, 17, true}},
      {"range from 100: last page", Range(100, 199, 10, 190), 200, 17, {176, 17, true}},
      {"range from 100: a position below the minimum stays at the start", Range(100, 199, 10, 0), 200, 17,
       {27, 17, true}},
      {"positions above 65535", Range(0, 199999, 1000, 99500), 200, 17, {102, 16, true}},
      {"last page above 65535", Range(0, 199999, 1000, 199000), 200, 17, {177, 16, true}},
      {"no arrows: at least 19", Range(0, 999, 1, 0), 100, 0, {10, 19, true}},
      {"track shorter than two arrows", Range(0, 99, 10, 0), 30, 17, {27, 16, false}},
      {"track shorter than the thumb", Range(0, 99, 10, 0), 45, 17, {27, 16, false}},
      {"track exactly the thumb", Range(0, 99, 10, 0), 50, 17, {27, 16, true}},
      {"empty range", Range(5, 4, 0, 5), 200, 17, {27, 17, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ScrollThumb t = ScrollThumbRect(c.r, 16, 10, c.barLength, c.arrow);
    EXPECT_EQ(t.Start, c.expected.Start);
    EXPECT_EQ(t.Length, c.expected.Length);
    EXPECT_EQ(t.Shown, c.expected.Shown);
    if (t.Shown) {  // a shown thumb always lies inside its track
      EXPECT_GE(t.Start, 10 + c.arrow);
      EXPECT_LE(t.Start + t.Length, 10 + c.barLength - c.arrow);
    }
  }
}

TEST(ScrollGeometry, HitTest) {
  struct Case {
    const char* name;
    ScrollRange r;
    TRect bar;
    bool vertical;
    TPoint p;
    int32_t part;
  };
  const TRect v{200, 10, 217, 210};  // vertical, thumb 27..44 at position 0, 176..193 at the last page
  const TRect h{0, 100, 200, 117};
  const Case cases[] = {
      {"first arrow, first pixel", Range(0, 99, 10, 0), v, true, {205, 10}, sbpFirstArrow},
      {"first arrow, last pixel", Range(0, 99, 10, 0), v, true, {216, 26}, sbpFirstArrow},
      {"thumb at the start", Range(0, 99, 10, 0), v, true, {205, 27}, sbpThumb},
      {"thumb's last pixel", Range(0, 99, 10, 0), v, true, {205, 43}, sbpThumb},
      {"track after the thumb", Range(0, 99, 10, 0), v, true, {205, 44}, sbpTrackAfter},
      {"track's last pixel", Range(0, 99, 10, 0), v, true, {205, 192}, sbpTrackAfter},
      {"second arrow", Range(0, 99, 10, 0), v, true, {205, 193}, sbpSecondArrow},
      {"second arrow, last pixel", Range(0, 99, 10, 0), v, true, {205, 209}, sbpSecondArrow},
      {"below the bar", Range(0, 99, 10, 0), v, true, {205, 210}, sbpNone},
      {"left of the bar", Range(0, 99, 10, 0), v, true, {199, 100}, sbpNone},
      {"right edge is outside", Range(0, 99, 10, 0), v, true, {217, 100}, sbpNone},
      {"track before a thumb at the last page", Range(0, 99, 10, 90), v, true, {205, 100}, sbpTrackBefore},
      {"range from 100 at its last page", Range(100, 199, 10, 190), v, true, {205, 180}, sbpThumb},
      {"above 65535", Range(0, 199999, 1000, 99500), v, true, {205, 110}, sbpThumb},
      {"horizontal track before", Range(0, 99, 10, 50), h, false, {20, 105}, sbpTrackBefore},
      {"horizontal above the bar", Range(0, 99, 10, 50), h, false, {20, 99}, sbpNone},
      {"page larger than the range: the track is nothing", Range(0, 9, 20, 0), h, false, {100, 105}, sbpNone},
      {"short bar: left half is the first arrow", Range(0, 99, 10, 0), TRect{0, 0, 30, 17}, false, {14, 5},
       sbpFirstArrow},
      {"short bar: right half is the second arrow", Range(0, 99, 10, 0), TRect{0, 0, 30, 17}, false, {15, 5},
       sbpSecondArrow},
      {"odd short bar: the middle pixel is nothing", Range(0, 99, 10, 0), TRect{0, 0, 31, 17}, false, {15, 5},
       sbpNone},
      {"track shorter than the thumb is nothing", Range(0, 99, 10, 0), TRect{0, 0, 45, 17}, false, {22, 5}, sbpNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ScrollHitTest(c.r, 16, c.bar, c.vertical, 17, c.p), c.part);
  }
}

TEST(ScrollGeometry, DragMapping) {
  // A memo of 1,000 lines showing 20, on a bar of 200 pixels with arrows of 17: thumb 16, travel 150.
  const int32_t trackStart = 27, trackEnd = 193, thumb = 16;
  struct Case {
    const char* name;
    ScrollRange r;
    int32_t thumbStart;
    int32_t position;
  };
  const Case cases[] = {
      {"at the track's start", Range(0, 999, 20, 0), 27, 0},
      {"half way", Range(0, 999, 20, 0), 27 + 75, 490},
      {"touching the end: the last page, never beyond", Range(0, 999, 20, 0), 177, 980},
      {"one pixel before the end", Range(0, 999, 20, 0), 176, 973},
      {"range from 100: the start is its minimum", Range(100, 199, 10, 100), 27, 100},
      {"range from 100: half way", Range(100, 199, 10, 100), 102, 145},
      {"range from 100: the end is its last page", Range(100, 199, 10, 100), 177, 190},
      {"positions above 65535", Range(0, 199999, 1000, 0), 102, 99500},
      {"positions above 65535 at the end", Range(0, 199999, 1000, 0), 177, 199000},
      {"page 0: the end is nMax", Range(0, 100, 0, 0), 177, 100},
      {"page larger than the range", Range(0, 9, 20, 0), 150, 0},
      {"negative range", Range(-50, 49, 10, 0), 177, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ScrollDragPosition(c.r, c.thumbStart, trackStart, trackEnd, thumb), c.position);
  }
  // The thumb follows the mouse less the grab offset, inside the track.
  EXPECT_EQ(ScrollDragThumbStart(100, 5, trackStart, trackEnd, thumb), 95);
  EXPECT_EQ(ScrollDragThumbStart(0, 5, trackStart, trackEnd, thumb), trackStart);
  EXPECT_EQ(ScrollDragThumbStart(1000, 5, trackStart, trackEnd, thumb), trackEnd - thumb);
  // A track with no room for the thumb gives the first position.
  EXPECT_EQ(ScrollDragPosition(Range(0, 99, 10, 0), 30, 27, 40, 16), 0);
  EXPECT_EQ(ScrollMaxPosition(Range(0, 999, 20, 0)), 980);
  EXPECT_EQ(ScrollMaxPosition(Range(10, 5, 20, 0)), 10);
}

}  // namespace
