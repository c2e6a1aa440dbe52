#pragma once
// File encoders of the skin generator: Windows bitmap files, PNG, JPEG and icon files, from 8-bit pixels.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/skingen/canvas.h"

namespace skingen {

// 8-bit pixels 0xAARRGGBB, straight alpha, rows top-down.
struct Pixels8 {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  Pixels8() = default;
  Pixels8(int width, int height, uint32_t fill = 0) : w(width), h(height), px(size_t(width) * size_t(height), fill) {}
  uint32_t& At(int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; }
  uint32_t At(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
};

// An image rounded to 8 bits (straight alpha).
Pixels8 ToPixels8(const Image& img);

// A bottom-up 24-bit bitmap file (alpha ignored).
std::string EncodeBmp24(const Pixels8& img);
// A bottom-up 32-bit bitmap file (BI_RGB, the fourth byte of each pixel its alpha).
std::string EncodeBmp32(const Pixels8& img);
// An 8-bit RGBA PNG (colour type 6), or RGB (type 2) when `withAlpha` is false; zlib at `level`.
std::string EncodePng(const Pixels8& img, bool withAlpha = true, int level = 9);
// A baseline colour JPEG.
std::string EncodeJpeg(const Pixels8& img, int quality);
// An icon file of 32-bit images (each at most 256 x 256), stored as bitmaps with an AND mask.
std::string EncodeIco(const std::vector<Pixels8>& images);

}  // namespace skingen
