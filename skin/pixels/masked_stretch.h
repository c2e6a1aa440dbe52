#pragma once
// A stretched piece of an image with its mask, resampled and mixed in one pass: what the mask painters do to the
// pieces of a nine-piece frame that grow or shrink (a form's frame, a maximized form's included), without making
// a picture of the whole target for the image and another for its mask.
#include <cstdint>

#include "skin/pixels/bitmap.h"

namespace skin {

// The piece (sx, sy, sw x sh) of src and its mask maskOffset rows lower, each resampled to width x height with its
// filter (TResampleFilter; a piece of one column or row counts as two), mixed into dst at (x, y): per channel
// d := s + (d - s) x m_c shr 8 (s the resampled image, m_c the same channel of the resampled mask), alpha 255.
// Rows and columns of the target outside dst are skipped and never computed. The two passes are the filtered
// stretch's (the same contributions, each pass clamped to bytes) with the weights in 14 bits instead of 16, so a
// mixed pixel may differ from the filtered stretch's by two levels; a piece as large as the target (after the
// doubling) is mixed as it is, as the filtered stretch copies it. A grey mask (blue, green and red equal) is
// resampled in one channel. Nothing for a piece (or its mask) outside src, a target at a negative place or below
// 1 x 1, or bitmaps that are not 32-bit.
void StretchMixByMask(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                      int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t maskOffset, int imageFilter,
                      int maskFilter);

}  // namespace skin
