#pragma once
// The arithmetic of a skinned scroll bar, along its axis: where the thumb lies and how long it is, which part of
// the bar a point falls on, and which position a dragged thumb stands for. Portable: the scroll-bar engine reads
// the window's scroll information and its geometry, then asks these functions.
//
// A bar runs from Start to Start + Length along its axis (x for a horizontal bar, y for a vertical one); its two
// arrow buttons take Arrow pixels at each end (each half of the bar when the bar is shorter than two arrows); the
// track lies between them. Positions are 32-bit (the thumb may stand for positions far above 65535); every
// product goes through 64-bit arithmetic.
#include <cstdint>

#include "skin/pixels/geometry.h"

namespace skin {

// What the engine reads of a window's SCROLLINFO.
struct ScrollRange {
  int32_t nMin = 0;
  int32_t nMax = 0;
  uint32_t nPage = 0;
  int32_t nPos = 0;
  int32_t nTrackPos = 0;
};

// Parts of a bar: the SB_ code each one sends.
inline constexpr int32_t sbpNone = -1;
inline constexpr int32_t sbpFirstArrow = 0;   // left or up arrow (SB_LINEUP)
inline constexpr int32_t sbpSecondArrow = 1;  // right or down arrow (SB_LINEDOWN)
inline constexpr int32_t sbpTrackBefore = 2;  // track before the thumb (SB_PAGEUP)
inline constexpr int32_t sbpTrackAfter = 3;   // track after the thumb (SB_PAGEDOWN)
inline constexpr int32_t sbpThumb = 5;        // the thumb (SB_THUMBTRACK)

// The smallest thumb of a bar without arrow buttons.
inline constexpr int32_t ScrollThumbMinWithoutArrows = 19;

// a x b / c rounded to the nearest integer, halves away from zero (as the system's MulDiv); 0 when c is 0. The
// result is clamped to the 32-bit range.
int32_t MulDivRound(int64_t a, int64_t b, int64_t c);

// The number of positions (nMax - nMin + 1; 0 or less when the range is empty).
int64_t ScrollRangeCount(const ScrollRange& r);
// The last position the window can scroll to: nMax - nPage + 1 (nMax with a page of 0), never below nMin.
int32_t ScrollMaxPosition(const ScrollRange& r);

// The arrow length used on a bar of that length: Arrow, or half of the bar (rounded toward zero) when the bar is
// not longer than two arrows.
int32_t ScrollEffectiveArrow(int32_t barLength, int32_t arrow);

// The thumb of a bar along its axis.
struct ScrollThumb {
  int32_t Start = 0;   // in the bar's coordinates (barStart + arrow + offset)
  int32_t Length = 0;
  bool Shown = false;  // the thumb fits in the track and there is something to scroll
};
// Length: a page of 0 gives max(arrow, minThumbSize); else nPage x track / range. Without arrows a thumb is at
// least ScrollThumbMinWithoutArrows long, else at least minThumbSize. Offset: (nPos - nMin) x (track - length) /
// (positions - max(1, nPage)), within 0 .. track - length. Shown only when the length fits in the track (a track
// shorter than the thumb shows no thumb) and the page does not cover the whole range.
ScrollThumb ScrollThumbRect(const ScrollRange& r, int32_t minThumbSize, int32_t barStart, int32_t barLength,
                            int32_t arrow);

// The part under a point of a bar rectangle: the point must lie inside the bar across its axis (end exclusive).
// The first arrow's span, the second arrow's span, and, while the thumb is shown, the thumb, the track before it
// and the track after it; anything else (the track of a bar without thumb) is sbpNone.
int32_t ScrollHitTest(const ScrollRange& r, int32_t minThumbSize, const TRect& barRect, bool vertical, int32_t arrow,
                      const TPoint& p);

// Where a dragged thumb starts: the mouse less the grab offset, kept between the track's start and its end less
// the thumb.
int32_t ScrollDragThumbStart(int32_t mouse, int32_t grabOffset, int32_t trackStart, int32_t trackEnd,
                             int32_t thumbLength);
// The position a dragged thumb stands for: nMin at the track's start, ScrollMaxPosition at its end (a thumb
// touching the end always gives the last page), proportionally between; always within nMin .. the last page.
int32_t ScrollDragPosition(const ScrollRange& r, int32_t thumbStart, int32_t trackStart, int32_t trackEnd,
                           int32_t thumbLength);

}  // namespace skin
