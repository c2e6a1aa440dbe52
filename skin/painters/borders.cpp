#include "skin/painters/borders.h"

#include <algorithm>

#include "gui/controls.h"
#include "skin/data/maskdata.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/texture_fill.h"

namespace skin {

using detail::GetView32;
using detail::View32;

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

TRect Piece(int64_t x, int64_t y, int64_t w, int64_t h) {
  return TRect{Clamp32(x), Clamp32(y), Clamp32(x + w), Clamp32(y + h)};
}

// srcRect of src into dstRect of dst by nearest pixel (1:1 when the sizes agree), the image only. With keyed, key
// pixels are skipped and their runs collected per row.
void CopyBorderPiece(Bitmap& dst, const TRect& dstRect, const Bitmap& src, const TRect& srcRect, bool keyed,
                     std::vector<TRect>* runs) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  const int64_t dw = RectWidth64(dstRect), dh = RectHeight64(dstRect);
  const int64_t sw = RectWidth64(srcRect), sh = RectHeight64(srcRect);
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int32_t x0 = std::max(dstRect.Left, 0), x1 = std::min(dstRect.Right, d.width);
  const int32_t y0 = std::max(dstRect.Top, 0), y1 = std::min(dstRect.Bottom, d.height);
  auto index = [](int64_t i, int64_t from, int64_t to, int64_t origin) { return origin + ((2 * i + 1) * from) / (2 * to); };
  for (int32_t y = y0; y < y1; ++y) {
    const int64_t sy = index(y - int64_t(dstRect.Top), sh, dh, srcRect.Top);
    if (sy < 0 || sy >= s.height) continue;
    const uint32_t* sr = s.Row(int32_t(sy));
    uint32_t* dr = d.Row(y);
    int32_t runStart = -1;
    for (int32_t x = x0; x <= x1; ++x) {
      bool key = false;
      if (x < x1) {
        const int64_t sx = index(x - int64_t(dstRect.Left), sw, dw, srcRect.Left);
        if (sx < 0 || sx >= s.width) {
          key = false;
        } else {
          const uint32_t p = sr[sx];
          key = keyed && p == KeyPixel;
          if (!key) dr[x] = p;
        }
      }
      if (key && runStart < 0) runStart = x;
      if (!key && runStart >= 0) {
        if (runs != nullptr) runs->push_back(TRect{runStart, y, x, y + 1});
        runStart = -1;
      }
    }
  }
}

}  // namespace

void DrawBorderImage(Bitmap& dst, const TRect& R, const SkinImageRecord& rec, int32_t state, bool keyed,
                     std::vector<TRect>* keyRuns) {
  if (state < 0 || (state == 0 && (rec.DrawMode & dmNoState0))) return;
  if (RectWidth64(R) < 2 || RectHeight64(R) < 2 || rec.ImageCount < 1 || rec.Manager == nullptr) return;
  const Bitmap* src = MaskSource(rec);
  if (src == nullptr || src->PixelFormat() != pf32bit) return;
  int32_t wl = std::max<int32_t>(rec.BorderLeft, 0), wt = std::max<int32_t>(rec.BorderTop, 0);
  int32_t wr = std::max<int32_t>(rec.BorderRight, 0), wb = std::max<int32_t>(rec.BorderBottom, 0);
  // Border widths reduced to fit the target, as DrawSkinMask does.
  if (RectWidth64(R) < wl + wr) {
    const int32_t d = int32_t(wl + wr - RectWidth64(R));
    wl = std::max(wl - d / 2, 0);
    wr = std::max(wr - d / 2 - d % 2, 0);
  }
  if (RectHeight64(R) < wt + wb) {
    const int32_t d = int32_t(wt + wb - RectHeight64(R));
    wt = std::max(wt - d / 2, 0);
    wb = std::max(wb - d / 2 - d % 2, 0);
  }
  const int32_t s = std::min<int32_t>(state, rec.ImageCount - 1);
  const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
  const int32_t cw = fw - wl - wr, ch = fh - wt - wb;
  if (cw < 0 || ch < 0) return;
  const int64_t sx = int64_t(rec.SourceRect.Left) + int64_t(s) * fw, sy = rec.SourceRect.Top;
  const bool stretch = (rec.DrawMode & dmStretch) != 0;
  const int32_t L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;

  auto copy = [&](const TRect& from, const TRect& to) { CopyBorderPiece(dst, to, *src, from, keyed, keyRuns); };
  auto corner = [&](const TRect& from, int32_t x, int32_t y) {
    copy(from, Piece(x, y, RectWidth64(from), RectHeight64(from)));
  };
  // A run: stretched at once, or tiled along it.
  auto run = [&](const TRect& from, const TRect& to, bool horizontal) {
    if (RectIsEmpty(from) || RectIsEmpty(to)) return;
    if (stretch) return copy(from, to);
    if (horizontal) {
      TileRun(to.Left, to.Right, RectWidth64(from), 0, dst.Width(), [&](int64_t pos, int64_t len) {
        copy(Piece(from.Left, from.Top, len, RectHeight64(from)), Piece(pos, to.Top, len, RectHeight64(to)));
      });
    } else {
      TileRun(to.Top, to.Bottom, RectHeight64(from), 0, dst.Height(), [&](int64_t pos, int64_t len) {
        copy(Piece(from.Left, from.Top, RectWidth64(from), len), Piece(to.Left, pos, RectWidth64(to), len));
      });
    }
  };
  corner(Piece(sx, sy, wl, wt), L, T);
  run(Piece(sx, sy + wt, wl, ch), TRect{L, T + wt, L + wl, B - wb}, false);
  run(Piece(sx + wl, sy, cw, wt), TRect{L + wl, T, Rt - wr, T + wt}, true);
  corner(Piece(sx, sy + fh - wb, wl, wb), L, B - wb);
  run(Piece(sx + wl, sy + fh - wb, cw, wb), TRect{L + wl, B - wb, Rt - wr, B}, true);
  corner(Piece(sx + wl + cw, sy + fh - wb, wr, wb), Rt - wr, B - wb);
  corner(Piece(sx + wl + cw, sy, wr, wt), Rt - wr, T);
  run(Piece(sx + wl + cw, sy + wt, wr, ch), TRect{Rt - wr, T + wt, Rt, B - wb}, false);
  if ((rec.DrawMode & dmPaintCentre) && cw > 0 && ch > 0) {
    const TRect from = Piece(sx + wl, sy + wt, cw, ch), to{L + wl, T + wt, Rt - wr, B - wb};
    if (stretch) {
      copy(from, to);
    } else {
      TileRun(to.Top, to.Bottom, ch, 0, dst.Height(), [&](int64_t pos, int64_t len) {
        run(Piece(from.Left, from.Top, cw, len), Piece(to.Left, pos, RectWidth64(to), len), true);
      });
    }
  }
}

void PaintFormBorderParts(Bitmap& dst, const Bitmap& src, const TRect& dstRect, bool fillCentre, bool stretchCentre,
                          const std::array<int32_t, 4>& edgeModes, const TRect& cornerSizes, const TRect& borderWidths,
                          const TRect& srcRect) {
  const int32_t bl = std::max(borderWidths.Left, 0), bt = std::max(borderWidths.Top, 0);
  const int32_t br = std::max(borderWidths.Right, 0), bb = std::max(borderWidths.Bottom, 0);
  if (RectIsEmpty(dstRect) || RectIsEmpty(srcRect) || dst.PixelFormat() != pf32bit) return;
  // A rectangle smaller than its borders still gets its corners, overlapping; the edges between them are empty.
  (void)cornerSizes;  // the corners are copied at the border widths: a larger corner is cut, a smaller one continued
  auto blit = [&](const TRect& from, int64_t x, int64_t y) {
    CopyPieceKeyed(dst, src, Clamp32(x), Clamp32(y), from, clNone, false, EmptyCacheInfo);
  };
  const int32_t L = dstRect.Left, T = dstRect.Top, Rt = dstRect.Right, B = dstRect.Bottom;
  const int32_t sL = srcRect.Left, sT = srcRect.Top, sR = srcRect.Right, sB = srcRect.Bottom;
  // Corners, 1:1.
  blit(Piece(sL, sT, bl, bt), L, T);
  blit(Piece(int64_t(sR) - br, sT, br, bt), int64_t(Rt) - br, T);
  blit(Piece(sL, int64_t(sB) - bb, bl, bb), L, int64_t(B) - bb);
  blit(Piece(int64_t(sR) - br, int64_t(sB) - bb, br, bb), int64_t(Rt) - br, int64_t(B) - bb);
  const int64_t cw = std::max<int64_t>(0, RectWidth64(srcRect) - bl - br);
  const int64_t ch = std::max<int64_t>(0, RectHeight64(srcRect) - bt - bb);
  // An edge: tiled (the last piece cut) or stretched.
  auto edge = [&](int32_t mode, const TRect& from, const TRect& to, bool horizontal) {
    if (RectIsEmpty(from) || RectIsEmpty(to)) return;
    if (mode == 1) {
      StretchCopyClipped(dst, to, to, src, from);
      return;
    }
    const TRect visible{0, 0, dst.Width(), dst.Height()};
    if (horizontal) {
      TileRun(to.Left, to.Right, RectWidth64(from), visible.Left, visible.Right, [&](int64_t pos, int64_t len) {
        blit(Piece(from.Left, from.Top, len, RectHeight64(from)), pos, to.Top);
      });
    } else {
      TileRun(to.Top, to.Bottom, RectHeight64(from), visible.Top, visible.Bottom, [&](int64_t pos, int64_t len) {
        blit(Piece(from.Left, from.Top, RectWidth64(from), len), to.Left, pos);
      });
    }
  };
  const int32_t inL = Clamp32(int64_t(L) + bl), inT = Clamp32(int64_t(T) + bt);
  const int32_t inR = Clamp32(int64_t(Rt) - br), inB = Clamp32(int64_t(B) - bb);
  if (ch > 0) {
    edge(edgeModes[0], Piece(sL, int64_t(sT) + bt, bl, ch), TRect{L, inT, inL, inB}, false);
    edge(edgeModes[2], Piece(int64_t(sR) - br, int64_t(sT) + bt, br, ch), TRect{inR, inT, Rt, inB}, false);
  }
  if (cw > 0) {
    edge(edgeModes[1], Piece(int64_t(sL) + bl, sT, cw, bt), TRect{inL, T, inR, inT}, true);
    edge(edgeModes[3], Piece(int64_t(sL) + bl, int64_t(sB) - bb, cw, bb), TRect{inL, inB, inR, B}, true);
  }
  if (fillCentre && cw > 0 && ch > 0) {
    const TRect from = Piece(int64_t(sL) + bl, int64_t(sT) + bt, cw, ch), to{inL, inT, inR, inB};
    if (stretchCentre) {
      StretchCopyClipped(dst, to, to, src, from);
    } else {
      TileRun(to.Top, to.Bottom, ch, 0, dst.Height(), [&](int64_t y, int64_t h) {
        TileRun(to.Left, to.Right, cw, 0, dst.Width(), [&](int64_t x, int64_t w) {
          blit(Piece(from.Left, from.Top, w, h), x, y);
        });
      });
    }
  }
}

void FillFrameColor(Bitmap& bmp, const TRect& R, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    TColor color) {
  FillFrameBitmap32(bmp, R, color, std::max(left, 0), std::max(top, 0), std::max(right, 0), std::max(bottom, 0));
}

void CopyBorderStrips(Bitmap& dst, int32_t x, int32_t y, int32_t stripWidth, int32_t width, int32_t height,
                      const Bitmap& src, int32_t srcX, int32_t srcY) {
  const int64_t w = std::min<int64_t>({stripWidth, width, height});
  if (w <= 0) return;
  auto strip = [&](int64_t dx, int64_t dy, int64_t sw, int64_t sh) {
    if (sw <= 0 || sh <= 0) return;
    CopyPieceKeyed(dst, src, Clamp32(x + dx), Clamp32(y + dy), Piece(srcX + dx, srcY + dy, sw, sh), clNone, false,
                   EmptyCacheInfo);
  };
  strip(0, 0, w, height);                           // left
  strip(w, 0, width - w, w);                        // top
  strip(int64_t(width) - w, w, w, height - w);      // right
  strip(w, int64_t(height) - w, width - 2 * w, w);  // bottom
}

void MaskCornerRects(std::vector<TRect>& rects, int32_t width, const SkinImageRecord& rec, int32_t y0, bool bottom) {
  const Bitmap* src = MaskSource(rec);
  View32 s;
  if (src == nullptr || !GetView32(*src, s) || rec.ImageCount < 1) return;
  const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
  const int32_t wl = std::max<int32_t>(rec.BorderLeft, 0), wr = std::max<int32_t>(rec.BorderRight, 0);
  const int32_t band = std::max<int32_t>(bottom ? rec.BorderBottom : rec.BorderTop, 0);
  const int64_t firstRow = int64_t(rec.SourceRect.Top) + (bottom ? fh - band : 0);
  const int64_t left = rec.SourceRect.Left;
  if (firstRow < 0 || left < 0 || firstRow + band > s.height || left + fw > s.width || wl > fw || wr > fw) return;
  struct Corner {
    int64_t srcColumn;
    int32_t columns;
    int64_t x;
  };
  const Corner corners[2] = {{left, wl, 0}, {left + fw - wr, wr, int64_t(width) - wr}};
  for (int32_t row = 0; row < band; ++row) {
    const uint32_t* sr = s.Row(int32_t(firstRow + row));
    for (const Corner& c : corners) {
      int32_t start = -1;
      for (int32_t col = 0; col <= c.columns; ++col) {
        const bool key = col < c.columns && sr[c.srcColumn + col] == KeyPixel;
        if (key && start < 0) start = col;
        if (!key && start >= 0) {
          rects.push_back(Piece(c.x + start, int64_t(y0) + row, col - start, 1));
          start = -1;
        }
      }
    }
  }
}

void PaintBorderFrame(const TRect& R, int32_t clientMargin, TRect& clientRect, int32_t state, TsCommonData& data) {
  clientRect = R;
  TsSkinManager* m = SkinDataManager(data);
  if (m == nullptr || !data.CacheBmp || state < 0) return;
  Bitmap& cache = *data.CacheBmp;
  const LoadedSkin& skin = m->Skin();
  const TColor colour = Services().BgColor(data, state);
  gui::TControl* control = data.OwnerControl;
  BackgroundInfo background;
  background.R = R;
  if (control != nullptr && control->Parent() != nullptr) QueryControlBackground(background, control->Parent(), false);
  const TPoint at = control != nullptr ? TPoint{control->Left(), control->Top()} : TPoint{};

  int32_t wl = 0, wt = 0, wr = 0, wb = 0;
  if (SkinManagerIsValidImageIndex(skin, data.BorderIndex)) {
    const SkinImageRecord& rec = skin.Images[size_t(data.BorderIndex)];
    wl = std::max<int32_t>(rec.BorderLeft, 0);
    wt = std::max<int32_t>(rec.BorderTop, 0);
    wr = std::max<int32_t>(rec.BorderRight, 0);
    wb = std::max<int32_t>(rec.BorderBottom, 0);
    int32_t st = state;
    if (SkinManagerIsValidSectionIndex(skin, data.SkinIndex))
      st = std::min(st, SectionStateCount(skin.Sections[size_t(data.SkinIndex)]) - 1);
    if (rec.MaskType == 1) {
      if (background.BgType == btCache && background.Bmp != nullptr) {
        CopyBorderStrips(cache, R.Left, R.Top, std::max({wl, wt, wr, wb}), R.Right - R.Left, R.Bottom - R.Top,
                         *background.Bmp, Clamp32(int64_t(at.X) + background.Offset.X + R.Left),
                         Clamp32(int64_t(at.Y) + background.Offset.Y + R.Top));
      } else {
        FillFrameColor(cache, R, wl, wt, wr, wb, colour);
      }
    }
    CacheInfo ci;
    BackgroundToCacheInfo(background, ci);
    ci.X = Clamp32(int64_t(ci.X) + at.X);
    ci.Y = Clamp32(int64_t(ci.Y) + at.Y);
    DrawSkinMask(cache, R, ci, rec, st, true);
  }
  // R less the border widths, crossing when the borders are wider than R (the mask shared them out).
  clientRect = TRect{Clamp32(int64_t(R.Left) + wl), Clamp32(int64_t(R.Top) + wt), Clamp32(int64_t(R.Right) - wr),
                     Clamp32(int64_t(R.Bottom) - wb)};
  if (clientMargin != 0) {
    const int64_t w = RectWidth64(R), h = RectHeight64(R);
    auto side = [clientMargin](int64_t size, int32_t opposite, int32_t own) {
      return int32_t(std::max<int64_t>(std::min<int64_t>(clientMargin, size - opposite) - own, 0));
    };
    FillFrameColor(cache, clientRect, side(w, wr, wl), side(h, wb, wt), side(w, wl, wr), side(h, wt, wb), colour);
    clientRect = TRect{Clamp32(int64_t(R.Left) + clientMargin), Clamp32(int64_t(R.Top) + clientMargin),
                       Clamp32(int64_t(R.Right) - clientMargin), Clamp32(int64_t(R.Bottom) - clientMargin)};
    if (clientRect.Right < clientRect.Left) clientRect.Right = clientRect.Left;
    if (clientRect.Bottom < clientRect.Top) clientRect.Bottom = clientRect.Top;
  }
}

}  // namespace skin
