#pragma once
// The geometry records of the whole program: points, sizes and rectangles with the Win32 layout (32-bit signed
// fields; Right and Bottom exclusive). The component layer (gui/) and the skin subsystems (skin/) both speak
// them: gui::TRect and skin::TRect name this one type.
#include <algorithm>
#include <cstdint>

namespace platform {

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
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  // Left <= X < Right and Top <= Y < Bottom.
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return TRect{left, top, right, bottom};
}
inline constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return TRect{left, top, left + width, top + height};
}
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

}  // namespace platform
