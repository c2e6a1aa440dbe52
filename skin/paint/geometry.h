#pragma once
// Rectangle, point and size records that the skin subsystems pass between them (Win32 layout: four 32-bit
// signed fields, Right and Bottom exclusive).
#include <algorithm>
#include <cstdint>

namespace skin {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline constexpr TRect MakeRect(int32_t l, int32_t t, int32_t r, int32_t b) { return TRect{l, t, r, b}; }
inline constexpr TPoint MakePoint(int32_t x, int32_t y) { return TPoint{x, y}; }
// Width and height as 64-bit values, so that extreme coordinates never overflow.
inline constexpr int64_t RectWidth64(const TRect& r) { return int64_t(r.Right) - r.Left; }
inline constexpr int64_t RectHeight64(const TRect& r) { return int64_t(r.Bottom) - r.Top; }
inline constexpr bool RectIsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// The part of r inside (0, 0, width, height); empty (all zero) when nothing remains.
inline constexpr TRect ClipRectToSize(const TRect& r, int32_t width, int32_t height) {
  TRect c{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width), std::min(r.Bottom, height)};
  if (c.Right <= c.Left || c.Bottom <= c.Top) return TRect{};
  return c;
}

}  // namespace skin
