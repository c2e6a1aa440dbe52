#pragma once
// Small helpers of the pixel tests: bitmaps filled with one value or with a repeatable pseudo-random pattern.
#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin::test {

inline Bitmap Filled(int32_t w, int32_t h, uint32_t value) {
  Bitmap b(w, h, pf32bit);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) SetPixel32(b, x, y, value);
  return b;
}

// xorshift32: the same pattern on every run and platform.
inline uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

inline Bitmap RandomBitmap(int32_t w, int32_t h, uint32_t seed) {
  Bitmap b(w, h, pf32bit);
  uint32_t state = seed;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) SetPixel32(b, x, y, NextRandom(state));
  return b;
}

inline bool SamePixels(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (GetPixel32(a, x, y) != GetPixel32(b, x, y)) return false;
  return true;
}

}  // namespace skin::test
