#pragma once
// A part of one bitmap copied into another, opaque: what the tab, tool-bar and page adapters take from a parent's
// or their own cached image.
#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

// W x H pixels of Src at (SX, SY) into Dst at (X, Y); what lies outside either bitmap is left out.
inline void CopyBitmapPart(Bitmap& Dst, int32_t X, int32_t Y, int32_t W, int32_t H, const Bitmap& Src, int32_t SX,
                           int32_t SY) {
  for (int32_t y = 0; y < H; ++y) {
    if (Y + y < 0 || Y + y >= Dst.Height() || SY + y < 0 || SY + y >= Src.Height()) continue;
    for (int32_t x = 0; x < W; ++x)
      if (X + x >= 0 && X + x < Dst.Width() && SX + x >= 0 && SX + x < Src.Width())
        SetPixel32(Dst, X + x, Y + y, GetPixel32(Src, SX + x, SY + y) | 0xFF000000u);
  }
}

}  // namespace skin
