#pragma once
// Section textures laid over a rectangle by the record's draw mode. Both painters take the target rectangle by
// reference and hand back in it the part they did not cover, for the section painter to fill with the section's
// colour; a Right of TextureCoveredAll means everything is covered.
//
// StretchBltPart (plain textures, MaskType 0), by mode; the tile is the record's source rectangle (w x h):
//   0   tiles over the whole rectangle, the last column and row cut             all covered
//   1   the tile stretched over the rectangle (nearest pixel)                    all covered
//   2   one row of tiles along the top (h high)                                  the rest below it
//   3   one column of tiles along the left (w wide)                              the rest right of it
//   4   the tile stretched to the width, h high, at the top                      the rest below it
//   5   the tile stretched to the height, w wide, at the left                    the rest right of it
//   6   one row of tiles along the bottom, from Bottom - h (cut to R)            the rest above it
//   7   one column of tiles along the right, from Right - w (cut to R)           the rest left of it
//   10  whole tiles in the grid x < Right - w, y < Bottom - h, and a last column cut at Right
//                                                                                 the rows below the grid
//   11  rows h high, each the tile stretched to the width, the last cut at Bottom all covered
//   12  columns w wide, each stretched to the height, the last cut at Right      all covered
//   others: nothing drawn, the rectangle handed back whole.
// TileBltPart (textures with a mask: the upper half of each state is the image, the lower half its mask; the tile
// is one state wide and half the source high), over the parent background ci:
//   0   masked pieces over the whole rectangle, the last column and row cut      all covered
//   10  whole masked pieces in the grid as above; the strips right of and below the grid take the parent
//       background (ci's bitmap where ready, else its fill colour; left alone without either)  all covered
//   others: nothing drawn, the rectangle handed back whole.
// A tile of zero width or height draws nothing and hands the rectangle back whole. Nothing for a record without
// pixels, nor, in TileBltPart, for a record that no manager owns. The masked pieces need a 32-bit target; the
// strips of mode 10 are filled in any format.
#include <cstdint>

#include "skin/data/loaded_skin.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

inline constexpr int32_t TextureCoveredAll = -1;

void StretchBltPart(Bitmap& dst, TRect& R, uint8_t mode, const SkinImageRecord& rec);
void TileBltPart(Bitmap& bmp, TRect& R, const CacheInfo& ci, uint8_t mode, const SkinImageRecord& rec);

// srcRect of src scaled by nearest pixel into dstRect of dst, only the part of dstRect inside clip written.
void StretchCopyClipped(Bitmap& dst, const TRect& dstRect, const TRect& clip, const Bitmap& src, const TRect& srcRect);

}  // namespace skin
