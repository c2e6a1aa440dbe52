#pragma once
// Icon files (ICO) read into 32-bit bitmaps with alpha, for the image lists that keep icons.
#include <cstddef>
#include <cstdint>

#include "skin/pixels/bitmap.h"

namespace skin {

// The entry of exactly w x h pixels (the deepest one when several), else the largest entry, as a 32-bit bitmap:
// PNG entries through the PNG reader; bitmap entries (1, 4, 8, 24 or 32 bits) with their AND mask as transparency,
// 32-bit ones with their own alpha unless it is zero everywhere. Anything that is not such a file, or an entry
// that does not lie inside the data, raises EInvalidGraphic and leaves out empty.
void DecodeIcoFile(const void* data, size_t size, int32_t w, int32_t h, Bitmap& out);

}  // namespace skin
