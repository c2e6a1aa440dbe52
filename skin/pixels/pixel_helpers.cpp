#include "skin/pixels/pixel_helpers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_kernels.h"

namespace skin {

using detail::GetView32;
using detail::View32;

namespace {

// The rows of R inside a 32-bit bitmap; false when none.
bool ClippedRect(Bitmap& bmp, const TRect& R, View32& v, TRect& c) {
  if (!GetView32(bmp, v)) return false;
  c = ClipRectToSize(R, v.width, v.height);
  return !RectIsEmpty(c);
}

template <class Func>
void ForEachPixel(Bitmap& bmp, const TRect& R, Func func) {
  View32 v;
  TRect c;
  if (!ClippedRect(bmp, R, v, c)) return;
  for (int32_t y = c.Top; y < c.Bottom; ++y) {
    uint32_t* row = v.Row(y);
    for (int32_t x = c.Left; x < c.Right; ++x) func(row[x]);
  }
}

}  // namespace

uint32_t GetPixel32(const Bitmap& bmp, int32_t x, int32_t y) {
  View32 v;
  if (!GetView32(bmp, v) || x < 0 || y < 0 || x >= v.width || y >= v.height) return 0;
  return v.Row(y)[x];
}

void SetPixel32(Bitmap& bmp, int32_t x, int32_t y, uint32_t value) {
  View32 v;
  if (!GetView32(bmp, v) || x < 0 || y < 0 || x >= v.width || y >= v.height) return;
  v.Row(y)[x] = value;
}

void SwapBytes32Array(uint32_t* p, ptrdiff_t count) {
  for (ptrdiff_t i = 0; i < count; ++i) p[i] = SwapBytes32(p[i]);
}

void FillDWords(uint32_t* p, ptrdiff_t count, uint32_t value) {
  while (count > 0) {
    const int32_t n = int32_t(std::min<ptrdiff_t>(count, INT32_MAX));
    kernels::RowFill(p, n, value);
    p += n;
    count -= n;
  }
}

void FillRectBitmap32(Bitmap& bmp, const TRect& R, TColor colour, int alpha) {
  View32 v;
  TRect c;
  if (!ClippedRect(bmp, R, v, c)) return;
  const uint32_t value = ColorToPixel(ColorToRGB(colour), uint8_t(alpha == -1 ? 255 : std::clamp(alpha, 0, 255)));
  for (int32_t y = c.Top; y < c.Bottom; ++y) kernels::RowFill(v.Row(y) + c.Left, c.Right - c.Left, value);
}

void FillRectWithColor(Bitmap& bmp, const TRect& R, TColor colour) {
  if (bmp.Empty()) return;
  const TRect c = ClipRectToSize(R, bmp.Width(), bmp.Height());
  if (RectIsEmpty(c)) return;
  const uint32_t rgb = uint32_t(ColorToRGB(colour));
  const uint8_t r = uint8_t(ColorRed(rgb)), g = uint8_t(ColorGreen(rgb)), b = uint8_t(ColorBlue(rgb));
  const int bits = BitsPerPixel(bmp.PixelFormat());
  bmp.Flush();
  if (bits == 0 || bits == 32) {
    const uint32_t value = MakePixel(b, g, r, 0);
    for (int32_t y = c.Top; y < c.Bottom; ++y)
      kernels::RowFill(reinterpret_cast<uint32_t*>(bmp.ScanLine(y)) + c.Left, c.Right - c.Left, value);
    return;
  }
  if (bits == 24) {
    for (int32_t y = c.Top; y < c.Bottom; ++y) {
      uint8_t* p = bmp.ScanLine(y) + 3 * size_t(c.Left);
      for (int32_t x = c.Left; x < c.Right; ++x, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
    }
    return;
  }
  // Indexed: the palette entry nearest to the colour.
  const std::vector<TRGBQuad>& palette = bmp.Palette();
  uint32_t best = 0;
  int64_t bestDistance = INT64_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int64_t dr = int64_t(palette[i].rgbRed) - r, dg = int64_t(palette[i].rgbGreen) - g,
                  db = int64_t(palette[i].rgbBlue) - b;
    const int64_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = uint32_t(i);
    }
  }
  for (int32_t y = c.Top; y < c.Bottom; ++y) {
    uint8_t* row = bmp.ScanLine(y);
    for (int32_t x = c.Left; x < c.Right; ++x) WriteIndex(row, x, bits, best);
  }
}

void FillRectOpaque(Bitmap& bmp, const TRect& R, TColor colour) {
  if (bmp.PixelFormat() == pf32bit) {
    FillRectBitmap32(bmp, R, colour, 255);
  } else {
    FillRectWithColor(bmp, R, colour);
  }
}

void FillFrameBitmap32(Bitmap& bmp, const TRect& R, TColor colour, int left, int top, int right, int bottom) {
  auto edge = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  const int32_t innerTop = edge(int64_t(R.Top) + top), innerLeft = edge(int64_t(R.Left) + left);
  const int32_t innerBottom = edge(int64_t(R.Bottom) - bottom), innerRight = edge(int64_t(R.Right) - right);
  FillRectBitmap32(bmp, TRect{R.Left, R.Top, R.Right, innerTop}, colour, 255);
  FillRectBitmap32(bmp, TRect{R.Left, innerTop, innerLeft, R.Bottom}, colour, 255);
  FillRectBitmap32(bmp, TRect{innerLeft, innerBottom, R.Right, R.Bottom}, colour, 255);
  FillRectBitmap32(bmp, TRect{innerRight, innerTop, R.Right, innerBottom}, colour, 255);
}

void BlendColorRect(Bitmap& bmp, const TRect& R, int percent, TColor colour) {
  const double f = std::clamp(percent, 0, 100) / 100.0;
  const uint32_t k = uint32_t(ColorToRGB(colour));
  const double kb = ColorBlue(k) * (1.0 - f), kg = ColorGreen(k) * (1.0 - f), kr = ColorRed(k) * (1.0 - f);
  ForEachPixel(bmp, R, [&](uint32_t& p) {
    p = MakePixel(uint32_t(std::lrint(PixelB(p) * f + kb)), uint32_t(std::lrint(PixelG(p) * f + kg)),
                  uint32_t(std::lrint(PixelR(p) * f + kr)), PixelA(p));
  });
}

void FadeRectToColor(Bitmap& bmp, const TRect& R, TColor colour, uint8_t alpha, int percent) {
  const int32_t pc = std::clamp(percent, 0, 100);
  const uint32_t k = uint32_t(ColorToRGB(colour));
  const int32_t kb = ColorBlue(k), kg = ColorGreen(k), kr = ColorRed(k);
  ForEachPixel(bmp, R, [&](uint32_t& p) {
    auto ch = [pc](int32_t c, int32_t kc) { return uint32_t(c - (c - kc) * pc / 100); };
    p = MakePixel(ch(int32_t(PixelB(p)), kb), ch(int32_t(PixelG(p)), kg), ch(int32_t(PixelR(p)), kr), alpha);
  });
}

void SetAlphaRect(Bitmap& bmp, const TRect& R, uint8_t alpha, TColor colour) {
  const uint32_t a = uint32_t(alpha) << 24;
  if (colour == clNone) {
    ForEachPixel(bmp, R, [a](uint32_t& p) { p = (p & 0x00FFFFFFu) | a; });
    return;
  }
  const uint32_t skip = ColorToKeyPixel(colour);
  ForEachPixel(bmp, R, [a, skip](uint32_t& p) {
    if (p != skip) p = (p & 0x00FFFFFFu) | a;
  });
}

void ClearWhiteTransparent(Bitmap& bmp) {
  ForEachPixel(bmp, TRect{0, 0, bmp.Width(), bmp.Height()}, [](uint32_t& p) {
    if (p == 0x00FFFFFFu) p = 0;
  });
}

void PremultiplyAlpha(Bitmap& bmp, const TRect& R) {
  ForEachPixel(bmp, R, [](uint32_t& p) {
    if (p == 0x00FFFFFFu) {
      p = 0;
      return;
    }
    const uint32_t a = PixelA(p);
    p = MakePixel((PixelB(p) * a) >> 8, (PixelG(p) * a) >> 8, (PixelR(p) * a) >> 8, a);
  });
}

void MixTextMask(Bitmap& bmp, const Bitmap& mask, const TRect& R, TColor colour) {
  View32 d, m;
  if (!GetView32(bmp, d) || !GetView32(mask, m)) return;
  detail::Blit b;
  if (!detail::ClipBlit(0, 0, std::min<int64_t>(RectWidth64(R), m.width), std::min<int64_t>(RectHeight64(R), m.height),
                        R.Left, R.Top, m.width, m.height, d.width, d.height, b))
    return;
  const uint32_t k = uint32_t(ColorToRGB(colour));
  const uint32_t kb = ColorBlue(k), kg = ColorGreen(k), kr = ColorRed(k);
  for (int32_t y = 0; y < b.h; ++y) {
    uint32_t* dr = d.Row(b.dy + y) + b.dx;
    const uint32_t* mr = m.Row(b.sy + y) + b.sx;
    for (int32_t x = 0; x < b.w; ++x) {
      const uint32_t mp = mr[x];
      if (mp == 0x00FFFFFFu || mp == 0xFFFFFFFFu) continue;
      const uint32_t dp = dr[x];
      // ((d - k) x m + k x 256) shr 8 = mix(k, d, m)
      dr[x] = MakePixel(kernels::Mix(kb, PixelB(dp), PixelB(mp)), kernels::Mix(kg, PixelG(dp), PixelG(mp)),
                        kernels::Mix(kr, PixelR(dp), PixelR(mp)), 255);
    }
  }
}

void PaintDisabledLook(Bitmap& bmp, TsDisabledKind kind, TColor controlBgColor, const TPoint& P, const CacheInfo& ci) {
  if (bmp.PixelFormat() != pf32bit || bmp.Empty()) return;
  if (kind & dkGrayed) {
    if (DisabledGrayAmount != -100) {
      ApplyPixelFunc(bmp, PixelSaturation, DisabledGrayAmount, KeyColor);
    } else {
      GrayScaleBitmapKey(bmp, KeyColor);
    }
  }
  if (kind & dkBlended) {
    if (ci.Ready && ci.Bmp != nullptr && !ci.Bmp->Empty()) {
      // The parent is the source, the image the destination: parent - (parent - image) x 0.4.
      const int64_t x = int64_t(ci.X) + P.X, y = int64_t(ci.Y) + P.Y;
      const TRect srcRect{int32_t(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                          int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX)),
                          int32_t(std::clamp<int64_t>(x + bmp.Width(), INT32_MIN, INT32_MAX)),
                          int32_t(std::clamp<int64_t>(y + bmp.Height(), INT32_MIN, INT32_MAX))};
      BlendBitmaps(bmp, 0, 0, KeyColor, DisabledBlendValue, srcRect, *ci.Bmp);
    } else {
      const TColor colour = ci.FillColor == KeyColor ? controlBgColor : ci.FillColor;
      BlendColorRect(bmp, TRect{0, 0, bmp.Width(), bmp.Height()}, int(std::lrint(DisabledBlendValue * 100)), colour);
    }
  }
}

}  // namespace skin
