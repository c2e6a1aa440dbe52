#pragma once
// The decoders of the image files a skin holds besides PNG (read by the PNG reader of skin/paint): Windows
// bitmap files and JPEG files (through libjpeg). Both read from memory into a 32-bit bitmap (B, G, R, A) and
// refuse what they cannot read with EInvalidGraphic, leaving the bitmap empty; they never end the process.
#include <cstddef>
#include <cstdint>

#include "skin/data/skin_bounds.h"  // MaxSkinImagePixels: images of more pixels are refused
#include "skin/pixels/acpng.h"        // EInvalidGraphic
#include "skin/pixels/bitmap.h"

namespace skin {

// The width and height that an image file's header gives, read from the file's first bytes (a Windows bitmap's
// file and info headers, a PNG's IHDR chunk, a JPEG's frame header after the segments before it): false when the
// bytes given end before it, or are of none of these formats. Nothing else of the file is looked at.
bool ImageFileDimensions(const void* data, size_t size, int64_t& width, int64_t& height);

// A Windows bitmap file: the file header, then a core header (12 bytes) or an info header (40 bytes or a later,
// longer one); 1, 4 and 8 bits per pixel with a palette, 24 bits, or 32 bits (uncompressed, or bit fields with
// the usual masks); rows bottom-up, or top-down for a negative height. Refused: any other layout or compression,
// and sizes that do not fit in the file or exceed MaxSkinImagePixels. Returns whether the file carried an alpha
// byte per pixel (32 bits: the fourth byte is kept); the other formats give alpha 0. maxPixels lowers the limit.
bool DecodeBmp(const void* data, size_t size, Bitmap& out, int64_t maxPixels = MaxSkinImagePixels);

// A JPEG file (grey or colour); every pixel gets alpha 0. libjpeg's errors are refused like any other, and so are
// images of more than maxPixels pixels (before any pixel is decoded).
void DecodeJpeg(const void* data, size_t size, Bitmap& out, int64_t maxPixels = MaxSkinImagePixels);

}  // namespace skin
