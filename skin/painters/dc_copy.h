#pragma once
// Copies between 32-bit bitmaps and device contexts (Windows): the last step of every painter, and the first of
// those that paint over what a DC already shows. A memory DC holds the bitmap's DIB section for the copy and is
// freed (its selection undone) on every path.
#ifdef _WIN32
#include <windows.h>

#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

// w x h pixels from (srcX, srcY) of bmp to (x, y) of dc (BitBlt SRCCOPY). False when nothing could be copied.
bool BitmapToDC(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h, const Bitmap& bmp, int32_t srcX, int32_t srcY);
// w x h pixels from (srcX, srcY) of dc to (x, y) of bmp.
bool DCToBitmap(Bitmap& bmp, int32_t x, int32_t y, int32_t w, int32_t h, HDC dc, int32_t srcX, int32_t srcY);

// A memory DC with a bitmap's DIB section selected, freed on every path.
class BitmapDC {
 public:
  explicit BitmapDC(const Bitmap& bmp);
  ~BitmapDC();
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC dc() const { return selected_ ? dc_ : nullptr; }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  bool selected_ = false;
};

// graphic drawn into R of the DC: the area R shows is copied into a work bitmap, the graphic blended in
// (StretchDrawAlpha of graph_utils.h: a 32-bit graphic by its alpha, scaled by nearest pixel when the sizes
// differ), and the work bitmap copied back.
void StretchDrawAlpha(HDC dc, const TRect& R, const Bitmap& graphic);

}  // namespace skin
#endif
