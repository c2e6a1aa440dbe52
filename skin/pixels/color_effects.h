#pragma once
// Colour effects and filters: tone, hue, saturation and brightness of single colours and of every pixel of a
// 32-bit bitmap (the key colour left alone), grey conversions, the box blur of shadows and glows, and the filtered
// resampler. Alpha is never changed by the colour functions; every channel result is clamped to 0..255.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"

namespace skin {

// Brightness: each of R, G, B := clamp(channel + amount).
TColor ChangeColorBrightness(TColor color, int amount);
// Saturation: with grey = (R + G + B) div 3, each channel := clamp(channel - amount x (grey - channel) div 255).
TColor ChangeColorSaturation(TColor color, int amount);
// Hue: the colour's hue (degrees, from its largest and smallest channel) moved by amount, wrapped into 0..360.
TColor ChangeColorHue(TColor color, int amount);

// The hue shift on three channels (r, g, b), in place.
void ShiftHue(uint32_t& r, uint32_t& g, uint32_t& b, int amount);

// Pixel functions (a pixel value B, G, R, A and the function's parameter), for ApplyPixelFunc.
// Tone: every channel := max(B, G, R) x the tone colour's channel shr 8 (tone: an RGB TColor).
inline void PixelTone(uint32_t& p, int32_t tone) {
  const uint32_t m = std::max({PixelB(p), PixelG(p), PixelR(p)});
  const uint32_t t = uint32_t(tone);
  p = MakePixel((m * ColorBlue(t)) >> 8, (m * ColorGreen(t)) >> 8, (m * ColorRed(t)) >> 8, PixelA(p));
}
inline void PixelBrightness(uint32_t& p, int32_t amount) {
  if (amount == 0) return;
  auto ch = [amount](uint32_t c) { return uint32_t(std::clamp(int32_t(c) + amount, 0, 255)); };
  p = MakePixel(ch(PixelB(p)), ch(PixelG(p)), ch(PixelR(p)), PixelA(p));
}
inline void PixelSaturation(uint32_t& p, int32_t amount) {
  if (amount == 0) return;
  const int32_t b = int32_t(PixelB(p)), g = int32_t(PixelG(p)), r = int32_t(PixelR(p));
  const int32_t grey = (r + g + b) / 3;
  // Integer division truncates toward zero, as the colour rule requires.
  auto ch = [amount, grey](int32_t c) { return uint32_t(std::clamp(c - amount * (grey - c) / 255, 0, 255)); };
  p = MakePixel(ch(b), ch(g), ch(r), PixelA(p));
}
inline void PixelHue(uint32_t& p, int32_t amount) {
  if (amount == 0) return;
  uint32_t r = PixelR(p), g = PixelG(p), b = PixelB(p);
  ShiftHue(r, g, b, amount);
  p = MakePixel(b, g, r, PixelA(p));
}
// R = G = B = (R + G + B) div 3.
inline void PixelGrey(uint32_t& p, int32_t) {
  const uint32_t v = (PixelB(p) + PixelG(p) + PixelR(p)) / 3;
  p = MakePixel(v, v, v, PixelA(p));
}

// func(pixel, param) on every pixel of a 32-bit bitmap, except pixels equal to key (a TColor turned into pixel
// order with alpha 0; clNone: none skipped). Nothing for a bitmap that is not 32-bit or has no rows.
template <class Func>
void ApplyPixelFunc(Bitmap& bmp, Func func, int32_t param, TColor key) {
  if (bmp.PixelFormat() != pf32bit || bmp.Empty()) return;
  bmp.Flush();
  const bool hasKey = key != clNone;
  const uint32_t keyPixel = ColorToKeyPixel(key);
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(bmp.ScanLine(y));
    for (int32_t x = 0; x < bmp.Width(); ++x) {
      if (hasKey && row[x] == keyPixel) continue;
      func(row[x], param);
    }
  }
}

void GrayScaleBitmap(Bitmap& bmp);
void GrayScaleBitmapKey(Bitmap& bmp, TColor key);
// In-place 3-tap box blur over every row, then every column, on all four channels: each output is the sum of the
// pixel and its neighbours divided by their count (3 inside, 2 at an edge).
void BlurBitmap(Bitmap& bmp);

// Filter kinds of the resampler.
enum TResampleFilter : int {
  rfBox = 0,
  rfTriangle = 1,
  rfHermite = 2,
  rfBell = 3,
  rfSpline = 4,
  rfLanczos = 5,
  rfMitchell = 6,
};
// Kernel value of a filter at distance x, and its radius.
double ResampleFilterValue(int filter, double x);
double ResampleFilterRadius(int filter);

// The contributions of one axis: for target position t, the source indexes index[first[t] .. first[t + 1] - 1]
// with their 16.16 weights (adding up to 65536).
struct ResampleContributions {
  std::vector<int32_t> first;
  std::vector<int32_t> index;
  std::vector<int32_t> weight;
};
ResampleContributions BuildResampleContributions(int32_t srcSize, int32_t dstSize, int filter);

// src resampled into dst of width x height (dst becomes 32-bit): a horizontal pass into a work image, then a
// vertical pass, each with contributions computed once per target column or row (the filter widened by 1/scale
// when shrinking), 16.16 fixed-point weights, integer sums shr 16 clamped to 0..255 on all four channels. Source
// indexes beyond the edges repeat the edge pixel; the weights of each target pixel add up to exactly 1.0, so a flat
// image stays flat. The same size assigns src to dst. An unknown filter counts as the triangle; a src that is not
// 32-bit is converted first (on a copy).
void StretchBitmapFiltered(const Bitmap& src, Bitmap& dst, int32_t width, int32_t height, int filter);

}  // namespace skin
