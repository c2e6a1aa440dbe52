#pragma once
// Direct access to the rows of 32-bit bitmaps and the clipping of blits, for the pixel routines.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"

namespace skin::detail {

// Rows of a 32-bit bitmap.
struct View32 {
  uint8_t* row0 = nullptr;
  ptrdiff_t stride = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t* Row(int32_t y) const { return reinterpret_cast<uint32_t*>(row0 + stride * y); }
};

// False unless bmp is 32-bit and has pixels.
inline bool GetView32(const Bitmap& bmp, View32& v) {
  if (bmp.PixelFormat() != pf32bit || bmp.Empty()) return false;
  bmp.Flush();
  v.row0 = const_cast<uint8_t*>(bmp.ScanLine(0));
  v.stride = bmp.Stride();
  v.width = bmp.Width();
  v.height = bmp.Height();
  return true;
}

// A blit of w x h pixels from (sx, sy) of the source to (dx, dy) of the destination.
struct Blit {
  int32_t sx = 0, sy = 0, dx = 0, dy = 0, w = 0, h = 0;
};

// Clips a blit of the source area (sx, sy, w, h) to (dx, dy) against both bitmaps; false when nothing remains.
inline bool ClipBlit(int64_t sx, int64_t sy, int64_t w, int64_t h, int64_t dx, int64_t dy, int32_t srcWidth,
                     int32_t srcHeight, int32_t dstWidth, int32_t dstHeight, Blit& out) {
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min({w, int64_t(srcWidth) - sx, int64_t(dstWidth) - dx});
  h = std::min({h, int64_t(srcHeight) - sy, int64_t(dstHeight) - dy});
  if (w <= 0 || h <= 0) return false;
  out = Blit{int32_t(sx), int32_t(sy), int32_t(dx), int32_t(dy), int32_t(w), int32_t(h)};
  return true;
}

// The parent background of a cache record, read at destination coordinates.
struct ParentPixels {
  View32 view;
  int64_t ox = 0, oy = 0;
  bool valid = false;

  explicit ParentPixels(const CacheInfo& ci) {
    if (ci.Bmp != nullptr && GetView32(*ci.Bmp, view)) {
      ox = ci.X;
      oy = ci.Y;
      valid = true;
    }
  }
  // The parent pixel under (x, y) of the destination; false where the parent bitmap does not reach.
  bool Get(int32_t x, int32_t y, uint32_t& pixel) const {
    const int64_t px = ox + x, py = oy + y;
    if (!valid || px < 0 || py < 0 || px >= view.width || py >= view.height) return false;
    pixel = view.Row(int32_t(py))[px];
    return true;
  }
};

}  // namespace skin::detail
