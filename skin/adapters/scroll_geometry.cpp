#include "skin/adapters/scroll_geometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace skin {

namespace {

int32_t Clamp32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t MulDivRound(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  // |a|, |b| < 2^32 for every caller, so the product stays within 64 bits.
  const __int128 p = static_cast<__int128>(a) * b;
  const bool negative = (p < 0) != (c < 0);
  const __int128 ap = p < 0 ? -p : p;
  const __int128 ac = c < 0 ? -static_cast<__int128>(c) : c;
  const __int128 q = (ap + ac / 2) / ac;
  const __int128 r = negative ? -q : q;
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(r);
}

int64_t ScrollRangeCount(const ScrollRange& r) { return int64_t(r.nMax) - r.nMin + 1; }

int32_t ScrollMaxPosition(const ScrollRange& r) {
  const int64_t page = std::max<int64_t>(r.nPage, 1);
  return Clamp32(std::max<int64_t>(int64_t(r.nMax) - page + 1, r.nMin));
}

int32_t ScrollEffectiveArrow(int32_t barLength, int32_t arrow) {
  if (arrow < 0) arrow = 0;
  if (int64_t(barLength) <= int64_t(arrow) * 2) return std::max(barLength, 0) / 2;
  return arrow;
}

ScrollThumb ScrollThumbRect(const ScrollRange& r, int32_t minThumbSize, int32_t barStart, int32_t barLength,
                            int32_t arrow) {
  ScrollThumb t;
  const int64_t a = std::max(arrow, 0);
  const int64_t track = int64_t(barLength) - 2 * a;
  const int64_t range = ScrollRangeCount(r);
  int64_t length = 0;
  if (r.nPage == 0)
    length = std::max<int64_t>(a, minThumbSize);
  else if (range > 0)
    length = MulDivRound(r.nPage, track, range);
  if (a == 0 && length < ScrollThumbMinWithoutArrows)
    length = ScrollThumbMinWithoutArrows;
  else if (length < minThumbSize)
    length = minThumbSize;
  int64_t offset = 0;
  const int64_t room = std::max<int64_t>(track - length, 0);
  if (range > 0) {
    const int64_t steps = range - std::max<int64_t>(r.nPage, 1);
    if (steps > 0) offset = std::clamp<int64_t>(MulDivRound(int64_t(r.nPos) - r.nMin, room, steps), 0, room);
  }
  t.Length = Clamp32(length);
  t.Start = Clamp32(int64_t(barStart) + a + offset);
  t.Shown = track >= 1 && length >= 1 && length <= track && range >= 1 && (r.nPage == 0 || int64_t(r.nPage) < range);
  return t;
}

int32_t ScrollHitTest(const ScrollRange& r, int32_t minThumbSize, const TRect& barRect, bool vertical, int32_t arrow,
                      const TPoint& p) {
  const int32_t across = vertical ? p.X : p.Y;
  const int32_t acrossLow = vertical ? barRect.Left : barRect.Top;
  const int32_t acrossHigh = vertical ? barRect.Right : barRect.Bottom;
  if (across < acrossLow || across >= acrossHigh) return sbpNone;
  const int64_t at = vertical ? p.Y : p.X;
  const int64_t start = vertical ? barRect.Top : barRect.Left;
  const int64_t end = vertical ? barRect.Bottom : barRect.Right;
  const int32_t length = Clamp32(end - start);
  const int64_t a = ScrollEffectiveArrow(length, arrow);
  if (at >= start && at < start + a) return sbpFirstArrow;
  if (at >= end - a && at < end) return sbpSecondArrow;
  const ScrollThumb thumb = ScrollThumbRect(r, minThumbSize, Clamp32(start), length, arrow);
  if (!thumb.Shown) return sbpNone;
  const int64_t thumbEnd = int64_t(thumb.Start) + thumb.Length;
  if (at >= thumb.Start && at < thumbEnd) return sbpThumb;
  if (at >= start + a && at < thumb.Start) return sbpTrackBefore;
  if (at >= thumbEnd && at < end - a) return sbpTrackAfter;
  return sbpNone;
}

int32_t ScrollDragThumbStart(int32_t mouse, int32_t grabOffset, int32_t trackStart, int32_t trackEnd,
                             int32_t thumbLength) {
  const int64_t wanted = std::max<int64_t>(int64_t(mouse) - grabOffset, trackStart);
  return Clamp32(std::min<int64_t>(int64_t(trackEnd) - thumbLength, wanted));
}

int32_t ScrollDragPosition(const ScrollRange& r, int32_t thumbStart, int32_t trackStart, int32_t trackEnd,
                           int32_t thumbLength) {
  const int32_t last = ScrollMaxPosition(r);
  const int64_t travel = int64_t(trackEnd) - trackStart - thumbLength;
  const int64_t moved = int64_t(thumbStart) - trackStart;
  if (travel <= 0 || moved <= 0) return std::min(r.nMin, last);
  if (moved >= travel) return last;
  const int64_t span = int64_t(last) - r.nMin;
  return Clamp32(std::clamp<int64_t>(int64_t(r.nMin) + MulDivRound(moved, span, travel), r.nMin, last));
}

}  // namespace skin
