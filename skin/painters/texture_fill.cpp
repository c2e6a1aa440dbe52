#include "skin/painters/texture_fill.h"

#include <algorithm>
#include <vector>

#include "skin/data/maskdata.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/skin_mask.h"

namespace skin {

using detail::GetView32;
using detail::View32;

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

// The tile (tw x th at (sx, sy) of src) repeated over area from its top-left, every tile cut to area and to clip.
void TileArea(Bitmap& dst, const TRect& area, const TRect& clip, const Bitmap& src, int32_t sx, int32_t sy, int32_t tw,
              int32_t th) {
  if (RectIsEmpty(area) || tw < 1 || th < 1) return;
  const TRect visible = Intersect(Intersect(area, clip), TRect{0, 0, dst.Width(), dst.Height()});
  if (RectIsEmpty(visible)) return;
  TileRun(area.Top, area.Bottom, th, visible.Top, visible.Bottom, [&](int64_t y, int64_t h) {
    TileRun(area.Left, area.Right, tw, visible.Left, visible.Right, [&](int64_t x, int64_t w) {
      // The part of the tile inside the visible rectangle.
      const int64_t x0 = std::max<int64_t>(x, visible.Left), y0 = std::max<int64_t>(y, visible.Top);
      const int64_t x1 = std::min<int64_t>(x + w, visible.Right), y1 = std::min<int64_t>(y + h, visible.Bottom);
      if (x1 <= x0 || y1 <= y0) return;
      const int64_t px = sx + (x0 - x), py = sy + (y0 - y);
      CopyPieceKeyed(dst, src, Clamp32(x0), Clamp32(y0), TRect{Clamp32(px), Clamp32(py), Clamp32(px + (x1 - x0)),
                                                               Clamp32(py + (y1 - y0))},
                     clNone, false, EmptyCacheInfo);
    });
  });
}

}  // namespace

void StretchCopyClipped(Bitmap& dst, const TRect& dstRect, const TRect& clip, const Bitmap& src, const TRect& srcRect) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  const int64_t dw = RectWidth64(dstRect), dh = RectHeight64(dstRect);
  const int64_t sw = RectWidth64(srcRect), sh = RectHeight64(srcRect);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const TRect c = Intersect(Intersect(dstRect, clip), TRect{0, 0, d.width, d.height});
  if (RectIsEmpty(c)) return;
  // The source pixel under the centre of every destination pixel, as StretchCopy maps them.
  auto index = [](int64_t i, int64_t from, int64_t to, int64_t origin) { return origin + ((2 * i + 1) * from) / (2 * to); };
  std::vector<int32_t> columns(size_t(c.Right - c.Left));
  for (int32_t x = c.Left; x < c.Right; ++x) {
    const int64_t sx = index(x - int64_t(dstRect.Left), sw, dw, srcRect.Left);
    columns[size_t(x - c.Left)] = sx >= 0 && sx < s.width ? int32_t(sx) : -1;
  }
  for (int32_t y = c.Top; y < c.Bottom; ++y) {
    const int64_t sy = index(y - int64_t(dstRect.Top), sh, dh, srcRect.Top);
    if (sy < 0 || sy >= s.height) continue;
    const uint32_t* sr = s.Row(int32_t(sy));
    uint32_t* dr = d.Row(y) + c.Left;
    for (size_t i = 0; i < columns.size(); ++i)
      if (columns[i] >= 0) dr[i] = sr[columns[i]];
  }
}

void StretchBltPart(Bitmap& dst, TRect& R, uint8_t mode, const SkinImageRecord& rec) {
  const Bitmap* src = MaskSource(rec);
  if (src == nullptr || src->PixelFormat() != pf32bit || dst.PixelFormat() != pf32bit) return;
  const TRect& t = rec.SourceRect;
  const int32_t w = RectWidth(t), h = RectHeight(t);
  if (w < 1 || h < 1 || RectIsEmpty(R)) return;
  const int32_t L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  TRect rest = R;
  switch (mode) {
    case 0:
      TileArea(dst, R, R, *src, t.Left, t.Top, w, h);
      rest.Right = TextureCoveredAll;
      break;
    case 1:
      StretchCopyClipped(dst, R, R, *src, t);
      rest.Right = TextureCoveredAll;
      break;
    case 2:
      TileArea(dst, TRect{L, T, Rt, std::min(B, Clamp32(int64_t(T) + h))}, R, *src, t.Left, t.Top, w, h);
      rest = TRect{L, Clamp32(int64_t(T) + h), Rt, B};
      break;
    case 3:
      TileArea(dst, TRect{L, T, std::min(Rt, Clamp32(int64_t(L) + w)), B}, R, *src, t.Left, t.Top, w, h);
      rest = TRect{Clamp32(int64_t(L) + w), T, Rt, B};
      break;
    case 4:
      StretchCopyClipped(dst, TRect{L, T, Rt, Clamp32(int64_t(T) + h)}, R, *src, t);
      rest = TRect{L, Clamp32(int64_t(T) + h), Rt, B};
      break;
    case 5:
      StretchCopyClipped(dst, TRect{L, T, Clamp32(int64_t(L) + w), B}, R, *src, t);
      rest = TRect{Clamp32(int64_t(L) + w), T, Rt, B};
      break;
    case 6:
      // The band starts h above the bottom even when R is lower than a tile: only its part inside R shows.
      TileArea(dst, TRect{L, Clamp32(int64_t(B) - h), Rt, B}, R, *src, t.Left, t.Top, w, h);
      rest = TRect{L, T, Rt, Clamp32(int64_t(B) - h)};
      break;
    case 7:
      TileArea(dst, TRect{Clamp32(int64_t(Rt) - w), T, Rt, B}, R, *src, t.Left, t.Top, w, h);
      rest = TRect{L, T, Clamp32(int64_t(Rt) - w), B};
      break;
    case 10: {
      // Whole tiles while x < Right - w and y < Bottom - h; the last column cut at Right. The rows below the grid
      // are handed back for the colour.
      int64_t yEnd = T;
      while (yEnd < int64_t(B) - h) yEnd += h;
      int64_t xEnd = L;
      while (xEnd < int64_t(Rt) - w) xEnd += w;
      TileArea(dst, TRect{L, T, Clamp32(xEnd), Clamp32(yEnd)}, R, *src, t.Left, t.Top, w, h);
      TileArea(dst, TRect{Clamp32(xEnd), T, Rt, Clamp32(yEnd)}, R, *src, t.Left, t.Top, w, h);
      rest = yEnd < B ? TRect{L, Clamp32(yEnd), Rt, B} : TRect{L, T, TextureCoveredAll, B};
      if (yEnd >= B) rest.Right = TextureCoveredAll;
      break;
    }
    case 11:
      TileRun(T, B, h, std::max(T, 0), std::min(B, dst.Height()), [&](int64_t y, int64_t) {
        StretchCopyClipped(dst, TRect{L, Clamp32(y), Rt, Clamp32(y + h)}, R, *src, t);
      });
      rest.Right = TextureCoveredAll;
      break;
    case 12:
      TileRun(L, Rt, w, std::max(L, 0), std::min(Rt, dst.Width()), [&](int64_t x, int64_t) {
        StretchCopyClipped(dst, TRect{Clamp32(x), T, Clamp32(x + w), B}, R, *src, t);
      });
      rest.Right = TextureCoveredAll;
      break;
    default:
      return;
  }
  R = rest;
}

void TileBltPart(Bitmap& bmp, TRect& R, const CacheInfo& ci, uint8_t mode, const SkinImageRecord& rec) {
  // A record that no manager owns is not part of a loaded skin: nothing is drawn, even with a bitmap of its own.
  if (rec.Manager == nullptr) return;
  const Bitmap* src = MaskSource(rec);
  if (src == nullptr || RectIsEmpty(R)) return;
  const int32_t w = ImageStateWidth(rec), h = RectHeight(rec.SourceRect) / 2;
  if (w < 1 || h < 1) return;
  const int32_t sx = rec.SourceRect.Left, sy = rec.SourceRect.Top;
  const TRect visible = Intersect(R, TRect{0, 0, bmp.Width(), bmp.Height()});
  auto piece = [&](int64_t x, int64_t y, int64_t pw, int64_t ph) {
    const TRect dstRect{Clamp32(x), Clamp32(y), Clamp32(x + pw), Clamp32(y + ph)};
    CopyMaskedPieceAt(dstRect, TRect{sx, sy, Clamp32(sx + pw), Clamp32(sy + ph)}, bmp, *src, h, ci);
  };
  switch (mode) {
    case 0:
      if (RectIsEmpty(visible)) break;
      TileRun(R.Top, R.Bottom, h, visible.Top, visible.Bottom, [&](int64_t y, int64_t ph) {
        TileRun(R.Left, R.Right, w, visible.Left, visible.Right, [&](int64_t x, int64_t pw) { piece(x, y, pw, ph); });
      });
      break;
    case 10: {
      int64_t yEnd = R.Top;
      for (; yEnd < int64_t(R.Bottom) - h; yEnd += h) {
        if (yEnd + h <= visible.Top || yEnd >= visible.Bottom) continue;
        for (int64_t x = R.Left; x < int64_t(R.Right) - w; x += w) {
          if (x >= visible.Right) break;
          if (x + w > visible.Left) piece(x, yEnd, w, h);
        }
      }
      int64_t xEnd = R.Left;
      while (xEnd < int64_t(R.Right) - w) xEnd += w;
      // The strips right of and below the grid show the parent background.
      const TRect strips[2] = {TRect{Clamp32(xEnd), R.Top, R.Right, R.Bottom},
                               TRect{R.Left, Clamp32(yEnd), R.Right, R.Bottom}};
      for (const TRect& strip : strips) {
        if (RectIsEmpty(strip)) continue;
        if (ci.Ready && ci.Bmp != nullptr) {
          if (ci.Bmp == &bmp) continue;
          const int64_t px = int64_t(ci.X) + strip.Left, py = int64_t(ci.Y) + strip.Top;
          CopyPieceKeyed(bmp, *ci.Bmp, strip.Left, strip.Top,
                         TRect{Clamp32(px), Clamp32(py), Clamp32(px + RectWidth64(strip)), Clamp32(py + RectHeight64(strip))},
                         clNone, false, EmptyCacheInfo);
        } else if (!ci.Ready && ci.FillColor != KeyColor) {
          FillRectOpaque(bmp, strip, ci.FillColor);
        }
      }
      break;
    }
    default:
      return;
  }
  R.Right = TextureCoveredAll;
}

}  // namespace skin
