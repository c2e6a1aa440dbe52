#include "skin/pixels/graph_utils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_kernels.h"

namespace skin {

using detail::Blit;
using detail::ClipBlit;
using detail::GetView32;
using detail::ParentPixels;
using detail::View32;
using kernels::Mix;

namespace {

int ClampWeight(int f) { return std::clamp(f, 0, 255); }
double ClampRatio(double r) { return r >= 0.0 ? (r <= 1.0 ? r : 1.0) : 0.0; }  // NaN gives 0
uint32_t RoundChannel(double v) { return uint32_t(std::clamp(std::lrint(v), 0L, 255L)); }

// Key pixels of a destination row (where the source row held key) take the parent pixel, made opaque.
void ParentIntoKeyPixels(uint32_t* d, const uint32_t* s, int32_t n, uint32_t key, const ParentPixels& parent,
                         int32_t dx, int32_t dy, uint32_t orAlpha) {
  for (int32_t i = 0; i < n; ++i) {
    uint32_t p;
    if (s[i] == key && parent.Get(dx + i, dy, p)) d[i] = p | orAlpha;
  }
}

// A tinted copy of a source row: the tint colour scaled by the pixel's brightness, alpha kept.
void TintRow(uint32_t* out, const uint32_t* s, int32_t n, TColor tint) {
  const uint32_t tr = ColorRed(uint32_t(tint)), tg = ColorGreen(uint32_t(tint)), tb = ColorBlue(uint32_t(tint));
  for (int32_t i = 0; i < n; ++i) {
    const uint32_t p = s[i];
    if (p == KeyPixel) {
      out[i] = p;
      continue;
    }
    const uint32_t lum = (PixelR(p) * 77 + PixelG(p) * 150 + PixelB(p) * 29) >> 8;  // 0..255
    out[i] = MakePixel(lum * tb / 255, lum * tg / 255, lum * tr / 255, PixelA(p));
  }
}

}  // namespace

std::unique_ptr<Bitmap> NewBitmap32(int32_t width, int32_t height) {
  return std::make_unique<Bitmap>(width, height, pf32bit);
}
std::unique_ptr<Bitmap> NewBitmap32ForRect(const TRect& r) {
  return NewBitmap32(int32_t(std::clamp<int64_t>(RectWidth64(r), 0, INT32_MAX)),
                     int32_t(std::clamp<int64_t>(RectHeight64(r), 0, INT32_MAX)));
}
std::unique_ptr<Bitmap> NewBitmap32ForSize(const TSize& size) { return NewBitmap32(size.cx, size.cy); }
std::unique_ptr<Bitmap> NewBitmap32SameSize(const Bitmap& graphic) {
  return NewBitmap32(graphic.Width(), graphic.Height());
}
std::unique_ptr<Bitmap> NewBitmapLike(const Bitmap& bmp) {
  auto b = std::make_unique<Bitmap>(bmp.Width(), bmp.Height(), bmp.PixelFormat());
  if (!bmp.Palette().empty()) b->SetPalette(bmp.Palette());
  return b;
}

void SetBitmap32(Bitmap& bmp) { bmp.SetPixelFormat(pf32bit); }

void CopyBitmap32(Bitmap& dst, const Bitmap& src) { dst.Assign(src); }

bool BitmapRowAccess(Bitmap& bmp, uint8_t*& row0, ptrdiff_t& stride) {
  if (bmp.Height() < 1 || bmp.Empty()) return false;
  bmp.Flush();
  row0 = bmp.ScanLine(0);
  stride = bmp.Height() > 1 ? bmp.ScanLine(1) - bmp.ScanLine(0) : 0;
  return true;
}

bool BitmapRowAccess(const Bitmap& bmp, const uint8_t*& row0, ptrdiff_t& stride) {
  uint8_t* r = nullptr;
  const bool ok = BitmapRowAccess(const_cast<Bitmap&>(bmp), r, stride);
  row0 = r;
  return ok;
}

TColor MixColorsRatio(TColor c1, TColor c2, double ratio) {
  ratio = ClampRatio(ratio);
  const uint32_t a = uint32_t(c1), b = uint32_t(c2);
  const uint32_t r = RoundChannel(ColorRed(a) * ratio + ColorRed(b) * (1.0 - ratio));
  const uint32_t g = RoundChannel(ColorGreen(a) * ratio + ColorGreen(b) * (1.0 - ratio));
  const uint32_t bl = RoundChannel(ColorBlue(a) * ratio + ColorBlue(b) * (1.0 - ratio));
  return TColor((a & 0xFF000000u) | r | (g << 8) | (bl << 16));
}

void BlendBitmapsConst(Bitmap& dst, const Bitmap& src, int f, const TRect& srcRect, const TPoint& dstPoint) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, RectWidth64(srcRect) + 1, RectHeight64(srcRect) + 1, dstPoint.X,
                dstPoint.Y, s.width, s.height, d.width, d.height, b))
    return;
  const uint32_t w = uint32_t(ClampWeight(f));
  for (int32_t y = 0; y < b.h; ++y) kernels::RowBlendConst(d.Row(b.dy + y) + b.dx, s.Row(b.sy + y) + b.sx, b.w, w);
}

void BlendBitmaps(Bitmap& dst, int32_t x, int32_t y, TColor key, double ratio, const TRect& srcRect, const Bitmap& src) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, RectWidth64(srcRect), RectHeight64(srcRect), x, y, s.width, s.height,
                d.width, d.height, b))
    return;
  ratio = ClampRatio(ratio);
  const bool hasKey = key != clNone;
  const uint32_t keyPixel = ColorToKeyPixel(key);
  for (int32_t row = 0; row < b.h; ++row) {
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    for (int32_t i = 0; i < b.w; ++i) {
      const uint32_t sp = sr[i];
      if (hasKey && sp == keyPixel) continue;
      const uint32_t dp = dr[i];
      auto ch = [ratio](uint32_t sc, uint32_t dc) {
        return RoundChannel(double(sc) - (double(sc) - double(dc)) * ratio);
      };
      dr[i] = MakePixel(ch(PixelB(sp), PixelB(dp)), ch(PixelG(sp), PixelG(dp)), ch(PixelR(sp), PixelR(dp)),
                        PixelA(dp));
    }
  }
}

void BlendBitmapWithColor(Bitmap& bmp, TColor color, double ratio) {
  View32 v;
  if (!GetView32(bmp, v)) return;
  ratio = ClampRatio(ratio);
  const uint32_t c = uint32_t(ColorToRGB(color));
  const double cr = ColorRed(c), cg = ColorGreen(c), cb = ColorBlue(c);
  for (int32_t y = 0; y < v.height; ++y) {
    uint32_t* r = v.Row(y);
    for (int32_t i = 0; i < v.width; ++i) {
      const uint32_t p = r[i];
      if (p == KeyPixel) continue;
      r[i] = MakePixel(RoundChannel(cb + (PixelB(p) - cb) * ratio), RoundChannel(cg + (PixelG(p) - cg) * ratio),
                       RoundChannel(cr + (PixelR(p) - cr) * ratio), PixelA(p));
    }
  }
}

void BlendPixelsWithAlpha(const TPoint& dstPoint, const TPoint& srcPoint, Bitmap& dst, bool useParent,
                          const CacheInfo& ci, const Bitmap& src) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  Blit b;
  if (!ClipBlit(srcPoint.X, srcPoint.Y, int64_t(s.width) - srcPoint.X, int64_t(s.height) - srcPoint.Y, dstPoint.X,
                dstPoint.Y, s.width, s.height, d.width, d.height, b))
    return;
  const ParentPixels parent(ci);
  const bool fromParent = ci.Ready && useParent && parent.valid;
  for (int32_t y = 0; y < b.h; ++y) {
    uint32_t* dr = d.Row(b.dy + y) + b.dx;
    const uint32_t* sr = s.Row(b.sy + y) + b.sx;
    // Key pixels have alpha 0, so the blend leaves their destination pixels as they were.
    kernels::RowMixAlphaBest<true>(dr, sr, b.w, 100);
    if (fromParent) ParentIntoKeyPixels(dr, sr, b.w, KeyPixel, parent, b.dx, b.dy + y, 0xFF000000u);
  }
}

void CopyExceptColor(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, TColor key) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  Blit b;
  if (!ClipBlit(0, 0, s.width, s.height, x, y, s.width, s.height, d.width, d.height, b)) return;
  const bool hasKey = key != clNone;
  const uint32_t keyPixel = ColorToKeyPixel(key);
  for (int32_t row = 0; row < b.h; ++row) {
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    if (hasKey) {
      kernels::RowCopyKeyed(dr, sr, b.w, keyPixel, 0xFF000000u);
    } else {
      for (int32_t i = 0; i < b.w; ++i) dr[i] = sr[i] | 0xFF000000u;
    }
  }
}

void MixBitmapsByMask(Bitmap& dst, const Bitmap& src1, const Bitmap& src2, int weight, const Bitmap* mask) {
  View32 d, s1, s2, m;
  if (!GetView32(dst, d) || !GetView32(src1, s1) || !GetView32(src2, s2)) return;
  if (s1.width != d.width || s2.width != d.width || s1.height != d.height || s2.height != d.height) return;
  if (mask != nullptr && (!GetView32(*mask, m) || m.width != d.width || m.height != d.height)) return;
  const uint32_t w = uint32_t(ClampWeight(weight));
  for (int32_t y = 0; y < d.height; ++y) {
    uint32_t* dr = d.Row(y);
    const uint32_t* r1 = s1.Row(y);
    const uint32_t* r2 = s2.Row(y);
    if (mask == nullptr) {
      for (int32_t i = 0; i < d.width; ++i) dr[i] = kernels::MixPixel(r2[i], r1[i], w);
    } else {
      const uint32_t* mr = m.Row(y);
      for (int32_t i = 0; i < d.width; ++i) {
        const uint32_t a = r1[i], c = r2[i], k = mr[i];
        dr[i] = MakePixel(Mix(PixelB(c), PixelB(a), PixelB(k)), Mix(PixelG(c), PixelG(a), PixelG(k)),
                          Mix(PixelR(c), PixelR(a), PixelR(k)), Mix(PixelA(c), PixelA(a), PixelA(k)));
      }
    }
  }
}

void AlphaBlendBitmap32(const TPoint& dstPoint, const TRect& srcRect, const Bitmap& src, bool reflected,
                        int transparency, TColor tint, bool useParent, const CacheInfo& ci, Bitmap& dst) {
  if (dst.PixelFormat() != pf32bit) dst.SetPixelFormat(pf32bit);
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  // The image as it lies in the source, clipped to the source bitmap.
  const int64_t left = std::max<int64_t>(srcRect.Left, 0), top = std::max<int64_t>(srcRect.Top, 0);
  const int64_t imgW = std::min<int64_t>(srcRect.Right, s.width) - left;
  const int64_t imgH = std::min<int64_t>(srcRect.Bottom, s.height) - top;
  if (imgW <= 0 || imgH <= 0) return;
  const int64_t imgX = int64_t(dstPoint.X) + (left - srcRect.Left), imgY = int64_t(dstPoint.Y) + (top - srcRect.Top);

  const uint32_t scale = uint32_t(100 - std::clamp(transparency, 0, 100));
  const bool tinted = tint != clNone;
  const TColor tintRGB = tinted ? ColorToRGB(tint) : 0;
  std::vector<uint32_t> tintBuffer(tinted ? size_t(imgW) : 0);
  const ParentPixels parent(ci);
  const bool fromParent = useParent && ci.Ready && parent.valid;

  Blit b;
  if (ClipBlit(left, top, imgW, imgH, imgX, imgY, s.width, s.height, d.width, d.height, b)) {
    for (int32_t y = 0; y < b.h; ++y) {
      uint32_t* dr = d.Row(b.dy + y) + b.dx;
      const uint32_t* sr = s.Row(b.sy + y) + b.sx;
      const uint32_t* blendFrom = sr;
      if (tinted) {
        TintRow(tintBuffer.data(), sr, b.w, tintRGB);
        blendFrom = tintBuffer.data();
      }
      kernels::RowMixAlphaBest<false>(dr, blendFrom, b.w, scale);
      if (fromParent) ParentIntoKeyPixels(dr, sr, b.w, KeyPixel, parent, b.dx, b.dy + y, 0xFF000000u);
    }
  }

  if (!reflected) return;
  // The mirror image, in the rows of dst under the image, fading out.
  const int64_t below = imgY + imgH;
  const int64_t n = std::min<int64_t>(imgH, int64_t(d.height) - below);
  if (n <= 0) return;
  const int64_t x0 = std::max<int64_t>(imgX, 0), x1 = std::min<int64_t>(imgX + imgW, d.width);
  if (x1 <= x0) return;
  const int32_t fStep = 255 / d.height;
  int32_t f = 255;
  for (int64_t k = 1; k <= n; ++k, f -= fStep) {
    const int64_t dy = below + k - 1;
    if (dy >= 0 && dy < d.height && f > 0) {
      const uint32_t* sr = s.Row(int32_t(top + imgH - k)) + left;
      uint32_t* dr = d.Row(int32_t(dy));
      for (int64_t x = x0; x < x1; ++x) {
        uint32_t sp = sr[x - imgX];
        if (sp == KeyPixel) continue;
        if (tinted) TintRow(&sp, &sp, 1, tintRGB);
        uint32_t a = uint32_t(((int64_t(PixelA(sp)) * (n - k) / n) * f) >> 9);
        if (scale != 100) a = kernels::ScaleAlpha(a, scale);
        if (a == 0) continue;
        const uint32_t dp = dr[x];
        dr[x] = kernels::MixPixel(dp, (sp & 0x00FFFFFFu) | (dp & 0xFF000000u), std::min<uint32_t>(a, 255));
      }
    }
  }
}

void StretchCopy(Bitmap& dst, const TRect& dstRect, const Bitmap& src, const TRect& srcRect) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  const int64_t dw = RectWidth64(dstRect), dh = RectHeight64(dstRect);
  const int64_t sw = RectWidth64(srcRect), sh = RectHeight64(srcRect);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  // Source index of every destination column and row: the pixel under its centre.
  auto sourceIndex = [](int64_t i, int64_t from, int64_t to, int64_t origin) {
    return origin + ((2 * i + 1) * from) / (2 * to);
  };
  const int64_t x0 = std::max<int64_t>(dstRect.Left, 0), x1 = std::min<int64_t>(dstRect.Right, d.width);
  const int64_t y0 = std::max<int64_t>(dstRect.Top, 0), y1 = std::min<int64_t>(dstRect.Bottom, d.height);
  if (x1 <= x0 || y1 <= y0) return;
  std::vector<int32_t> columns;
  columns.reserve(size_t(x1 - x0));
  int64_t firstColumn = -1;
  for (int64_t x = x0; x < x1; ++x) {
    const int64_t sx = sourceIndex(x - dstRect.Left, sw, dw, srcRect.Left);
    if (sx < 0 || sx >= s.width) {
      if (firstColumn >= 0) break;  // the mapping grows: nothing further lies inside the source
      continue;
    }
    if (firstColumn < 0) firstColumn = x;
    columns.push_back(int32_t(sx));
  }
  if (columns.empty()) return;
  const int32_t count = int32_t(columns.size());
  const int32_t* cols = columns.data();
  int64_t lastSy = -1;
  uint32_t* lastRow = nullptr;
  for (int64_t y = y0; y < y1; ++y) {
    const int64_t sy = sourceIndex(y - dstRect.Top, sh, dh, srcRect.Top);
    if (sy < 0 || sy >= s.height) continue;
    uint32_t* dr = d.Row(int32_t(y)) + firstColumn;
    if (sy == lastSy && lastRow != nullptr) {
      std::memcpy(dr, lastRow, size_t(count) * 4);  // the same source row again
    } else {
      const uint32_t* sr = s.Row(int32_t(sy));
      int32_t i = 0;
#if defined(__SSE2__)
      for (; i + 4 <= count; i += 4) {  // four pixels gathered, stored at once
        const __m128i v = _mm_setr_epi32(int(sr[cols[i]]), int(sr[cols[i + 1]]), int(sr[cols[i + 2]]), int(sr[cols[i + 3]]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dr + i), v);
      }
#endif
      for (; i < count; ++i) dr[i] = sr[cols[i]];
    }
    lastSy = sy;
    lastRow = dr;
  }
}

void StretchDrawAlpha(Bitmap& dst, const TRect& R, const Bitmap& graphic) {
  if (graphic.Empty() || RectIsEmpty(R)) return;
  if (dst.PixelFormat() != pf32bit) dst.SetPixelFormat(pf32bit);
  const int64_t w = RectWidth64(R), h = RectHeight64(R);
  const TRect whole{0, 0, graphic.Width(), graphic.Height()};
  if (graphic.PixelFormat() != pf32bit) {
    Bitmap copy;
    copy.Assign(graphic);
    copy.SetPixelFormat(pf32bit);
    StretchCopy(dst, R, copy, whole);
    return;
  }
  if (w == graphic.Width() && h == graphic.Height()) {
    AlphaBlendBitmap32(TPoint{R.Left, R.Top}, whole, graphic, false, 0, clNone, false, EmptyCacheInfo, dst);
    return;
  }
  // Only the part of R inside dst needs scaling.
  const TRect visible = ClipRectToSize(R, dst.Width(), dst.Height());
  if (RectIsEmpty(visible)) return;
  Bitmap scaled(int32_t(RectWidth64(visible)), int32_t(RectHeight64(visible)), pf32bit);
  const TRect shifted{R.Left - visible.Left, R.Top - visible.Top, R.Right - visible.Left, R.Bottom - visible.Top};
  StretchCopy(scaled, shifted, graphic, whole);
  AlphaBlendBitmap32(TPoint{visible.Left, visible.Top}, TRect{0, 0, scaled.Width(), scaled.Height()}, scaled, false,
                     0, clNone, false, EmptyCacheInfo, dst);
}

void PaintScrollThumbBlended(Bitmap& dst, int32_t x, int32_t y, const Bitmap& part, int32_t percent) {
  if (part.Empty() || dst.Empty() || dst.PixelFormat() != pf32bit || part.PixelFormat() != pf32bit) return;
  Bitmap work(part.Width(), part.Height(), pf32bit);
  CopyPieceKeyed(work, dst, 0, 0, TRect{x, y, x + part.Width(), y + part.Height()}, clNone, false, EmptyCacheInfo);
  CopyPieceKeyed(work, part, 0, 0, TRect{0, 0, part.Width(), part.Height()}, KeyColor, false, CacheInfoFromBitmap(&dst, x, y));
  const int f = std::clamp(percent, 0, 100) * 255 / 100;
  BlendBitmapsConst(dst, work, f, TRect{0, 0, work.Width() - 1, work.Height() - 1}, TPoint{x, y});
}

void CopyPieceKeyed(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, const TRect& srcRect, TColor key,
                    bool useParent, const CacheInfo& ci) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, RectWidth64(srcRect), RectHeight64(srcRect), x, y, s.width, s.height,
                d.width, d.height, b))
    return;
  const size_t rowBytes = size_t(b.w) * 4;
  // A copy within one bitmap onto rows below its source runs bottom-up, so that no row is read after it was
  // written; a copy within one row onto columns right of its source goes through a copy of the row.
  const bool same = &dst == &src;
  const bool upward = same && b.dy > b.sy;
  auto rowAt = [&](int32_t i) { return upward ? b.h - 1 - i : i; };
  if (key == clNone) {
    for (int32_t i = 0; i < b.h; ++i) {
      const int32_t row = rowAt(i);
      std::memmove(d.Row(b.dy + row) + b.dx, s.Row(b.sy + row) + b.sx, rowBytes);
    }
    return;
  }
  std::vector<uint32_t> rowCopy;
  auto sourceRow = [&](int32_t row) -> const uint32_t* {
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    if (!same || b.sy + row != b.dy + row || b.dx <= b.sx) return sr;
    rowCopy.assign(sr, sr + b.w);
    return rowCopy.data();
  };
  const uint32_t keyPixel = ColorToKeyPixel(key);
  if (!ci.Ready) {
    const uint32_t fill = ColorToKeyPixel(ci.FillColor);
    for (int32_t i = 0; i < b.h; ++i) {
      const int32_t row = rowAt(i);
      uint32_t* dr = d.Row(b.dy + row) + b.dx;
      const uint32_t* sr = sourceRow(row);
      for (int32_t x = 0; x < b.w; ++x) dr[x] = sr[x] == keyPixel ? fill : sr[x];
    }
    return;
  }
  const ParentPixels parent(ci);
  const bool fromParent = useParent && parent.valid && ci.Bmp != &dst;
  for (int32_t i = 0; i < b.h; ++i) {
    const int32_t row = rowAt(i);
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = sourceRow(row);
    kernels::RowCopyKeyed(dr, sr, b.w, keyPixel, 0);
    if (fromParent) ParentIntoKeyPixels(dr, sr, b.w, keyPixel, parent, b.dx, b.dy + row, 0);
  }
}

void CopyPieceMasked(Bitmap& dst, int32_t dstX, int32_t dstY, const TRect& srcRect, int32_t maskOffset,
                     const Bitmap& src, bool useParent, const CacheInfo& ci) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  // Image rows whose mask rows lie outside the source are cut off first.
  int64_t top = srcRect.Top, bottom = srcRect.Bottom;
  const int64_t lowest = std::max<int64_t>(0, -int64_t(maskOffset));
  const int64_t highest = std::min<int64_t>(s.height, int64_t(s.height) - maskOffset);
  int64_t y = dstY;
  if (top < lowest) {
    y += lowest - top;
    top = lowest;
  }
  bottom = std::min(bottom, highest);
  Blit b;
  if (!ClipBlit(srcRect.Left, top, RectWidth64(srcRect), bottom - top, int64_t(dstX) + 0, y, s.width, s.height,
                d.width, d.height, b))
    return;
  const ParentPixels parent(ci);
  const bool keySkipped = !ci.Ready && !useParent;
  const bool fromParent = ci.Ready && useParent;
  const uint32_t alphaOr = ci.Ready ? 0xFF000000u : 0;
  for (int32_t row = 0; row < b.h; ++row) {
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    const uint32_t* mr = s.Row(b.sy + row + maskOffset) + b.sx;
    if (!fromParent) {  // key pixels skipped, or mixed like any other
      kernels::RowMixByMaskBest(dr, sr, mr, b.w, alphaOr, keySkipped);
      continue;
    }
    for (int32_t i = 0; i < b.w; ++i) {
      uint32_t sp = sr[i];
      if (sp == KeyPixel) {
        if (keySkipped) continue;
        if (fromParent && !parent.Get(b.dx + i, b.dy + row, sp)) continue;
      }
      const uint32_t dp = dr[i], m = mr[i];
      const uint32_t out = MakePixel(Mix(PixelB(sp), PixelB(dp), PixelB(m)), Mix(PixelG(sp), PixelG(dp), PixelG(m)),
                                     Mix(PixelR(sp), PixelR(dp), PixelR(m)), PixelA(dp));
      dr[i] = out | alphaOr;
    }
  }
}

void CopyPieceExceptColor(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, const TRect& srcRect, TColor color) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, RectWidth64(srcRect), RectHeight64(srcRect), x, y, s.width, s.height,
                d.width, d.height, b))
    return;
  for (int32_t row = 0; row < b.h; ++row) {
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    if (color == clNone) {
      std::memmove(dr, sr, size_t(b.w) * 4);
    } else {
      kernels::RowCopyKeyed(dr, sr, b.w, ColorToKeyPixel(color), 0);
    }
  }
}

void CopyBitmapChannel(Bitmap& bmp32, Bitmap& bmp8, int channel, bool toEightBit) {
  if (channel < 0 || channel > 3 || bmp32.PixelFormat() != pf32bit || bmp32.Empty()) return;
  if (toEightBit) {
    if (bmp8.PixelFormat() != pf8bit) bmp8.SetPixelFormat(pf8bit);
    bmp8.SetSize(bmp32.Width(), bmp32.Height());
  } else if (bmp8.PixelFormat() != pf8bit || bmp8.Empty()) {
    return;
  }
  bmp32.Flush();
  bmp8.Flush();
  const int32_t w = std::min(bmp32.Width(), bmp8.Width()), h = std::min(bmp32.Height(), bmp8.Height());
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* p32 = bmp32.ScanLine(y) + channel;
    uint8_t* p8 = bmp8.ScanLine(y);
    if (toEightBit) {
      for (int32_t x = 0; x < w; ++x) p8[x] = p32[4 * x];
    } else {
      for (int32_t x = 0; x < w; ++x) p32[4 * x] = p8[x];
    }
  }
}

}  // namespace skin
