#include "skin/painters/skin_mask.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/data/maskdata.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/masked_stretch.h"
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

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Per-channel mask mix: d := s + (d - s) x m_c shr 8 (m_c = 0 gives the image, 255 keeps nearly d).
inline uint32_t MixByMask(uint32_t d, uint32_t s, uint32_t m) {
  return MakePixel(Mix(PixelB(s), PixelB(d), PixelB(m)), Mix(PixelG(s), PixelG(d), PixelG(m)),
                   Mix(PixelR(s), PixelR(d), PixelR(m)), 0);
}

// The alpha rule of the layered pieces: a = 0 gives 255 - m, 1..254 max(a, 255 - m), 255 stays.
inline uint32_t RaiseAlpha(uint32_t a, uint32_t m) {
  if (a == 0) return 255 - m;
  if (a == 255) return 255;
  return std::max(a, 255 - m);
}

// d := (d x m + s x (255 - m)) shr 8 per channel (m the red byte of the mask), alpha raised.
inline uint32_t MixAlpha(uint32_t d, uint32_t s, uint32_t m) {
  auto ch = [m](uint32_t dc, uint32_t sc) { return (dc * m + sc * (255 - m)) >> 8; };
  return MakePixel(ch(PixelB(d), PixelB(s)), ch(PixelG(d), PixelG(s)), ch(PixelR(d), PixelR(s)),
                   RaiseAlpha(PixelA(d), m));
}

// k = (255 - m) x opacity shr 8; d := (d x (255 - k) + s x k) shr 8, alpha raised as above.
inline uint32_t MixFaded(uint32_t d, uint32_t s, uint32_t m, uint32_t opacity) {
  const uint32_t k = ((255 - m) * opacity) >> 8;
  auto ch = [k](uint32_t dc, uint32_t sc) { return (dc * (255 - k) + sc * k) >> 8; };
  return MakePixel(ch(PixelB(d), PixelB(s)), ch(PixelG(d), PixelG(s)), ch(PixelR(d), PixelR(s)),
                   RaiseAlpha(PixelA(d), m));
}

enum class Rule { Plain, Alpha, Faded };

// How a pixel pair is combined by each copier.
struct PixelRule {
  Rule rule;
  uint32_t opacity = 255;
  uint32_t operator()(uint32_t d, uint32_t s, uint32_t m) const {
    switch (rule) {
      case Rule::Plain: return MixByMask(d, s, m) | (d & 0xFF000000u);
      case Rule::Alpha: return MixAlpha(d, s, PixelR(m));
      case Rule::Faded: return MixFaded(d, s, PixelR(m), opacity);
    }
    return d;
  }
};

// An unstretched masked piece: srcRect of the image, its mask maskOffset rows lower, to the top-left of dstRect
// (limited by dstRect's size). Key pixels: fill colour (plain rule only, when given), else the parent pixel.
void CopyMaskedPieceWith(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const Bitmap& src,
                         int32_t maskOffset, const CacheInfo& ci, PixelRule rule) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  // Rows whose mask lies outside the source are not drawn.
  const int64_t maskLimit = int64_t(s.height) - maskOffset;
  const int64_t w = std::min(RectWidth64(srcRect), RectWidth64(dstRect));
  int64_t h = std::min(RectHeight64(srcRect), RectHeight64(dstRect));
  h = std::min<int64_t>(h, maskLimit - srcRect.Top);
  if (maskOffset < 0) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, w, h, dstRect.Left, dstRect.Top, s.width, s.height, d.width, d.height, b))
    return;
  const ParentPixels parent(ci);
  const bool useFill = rule.rule == Rule::Plain && ci.FillColor != KeyColor;
  const uint32_t fill = ColorToPixel(ColorToRGB(ci.FillColor), 255);
  for (int32_t row = 0; row < b.h; ++row) {
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    const uint32_t* mr = s.Row(b.sy + row + maskOffset) + b.sx;
    for (int32_t i = 0; i < b.w; ++i) {
      const uint32_t sp = sr[i];
      if (sp == KeyPixel) {
        uint32_t p;
        if (useFill) {
          dr[i] = fill;
        } else if (parent.Get(b.dx + i, b.dy + row, p)) {
          dr[i] = p;
        }
        continue;
      }
      dr[i] = rule(dr[i], sp, mr[i]);
    }
  }
}

int32_t MaskOffsetOf(const SkinImageRecord& rec) { return rec.MaskType != 0 ? ImageFrameHeight(rec) : 0; }

// A piece of the source made at least 2 x 2 (a single column or row doubled), for the filtered resampler.
std::unique_ptr<Bitmap> HelperPiece(const View32& s, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  auto helper = std::make_unique<Bitmap>(std::max(sw, 2), std::max(sh, 2), pf32bit);
  View32 h;
  GetView32(*helper, h);
  for (int32_t y = 0; y < h.height; ++y) {
    const uint32_t* sr = s.Row(sy + std::min(y, sh - 1)) + sx;
    uint32_t* hr = h.Row(y);
    for (int32_t x = 0; x < h.width; ++x) hr[x] = sr[std::min(x, sw - 1)];
  }
  return helper;
}

// A source piece scaled to width x height, resampled with filter, or by nearest pixel when filter < 0.
std::unique_ptr<Bitmap> ScaledPiece(const Bitmap& src, const View32& s, int32_t sx, int32_t sy, int32_t sw,
                                    int32_t sh, int32_t width, int32_t height, int filter) {
  if (filter >= 0) {
    auto helper = HelperPiece(s, sx, sy, sw, sh);
    auto out = std::make_unique<Bitmap>();
    StretchBitmapFiltered(*helper, *out, width, height, filter);
    return out;
  }
  auto out = std::make_unique<Bitmap>(width, height, pf32bit);
  StretchCopy(*out, TRect{0, 0, width, height}, src, TRect{sx, sy, sx + sw, sy + sh});
  return out;
}

// A piece stretched to width x height by nearest pixel (the source pixel under the centre of each target pixel)
// and mixed through its mask into the visible part at (x, y), row by row: each source row and its mask row are
// gathered once, however many target rows repeat them.
void NearestMixByMask(const View32& d, int32_t x, int32_t y, int32_t visibleW, int32_t visibleH, int32_t width,
                      int32_t height, const View32& s, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                      int32_t maskOffset) {
  const size_t n = size_t(visibleW);
  std::vector<int32_t> columns(n);
  std::vector<uint32_t> image(n), mask(n);
  for (int32_t c = 0; c < visibleW; ++c) columns[size_t(c)] = sx + int32_t((2 * int64_t(c) + 1) * sw / (2 * int64_t(width)));
  int32_t gathered = -1;
  for (int32_t row = 0; row < visibleH; ++row) {
    const int32_t sr = sy + int32_t((2 * int64_t(row) + 1) * sh / (2 * int64_t(height)));
    if (sr != gathered) {
      const uint32_t* ir = s.Row(sr);
      const uint32_t* mr = s.Row(sr + maskOffset);
      for (size_t c = 0; c < n; ++c) {
        image[c] = ir[columns[c]];
        mask[c] = mr[columns[c]];
      }
      gathered = sr;
    }
    kernels::RowMixByMaskBest(d.Row(y + row) + x, image.data(), mask.data(), visibleW, 0xFF000000u);
  }
}

void StretchMaskedPieceWith(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                            int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                            bool isCentre, const CacheInfo& ci, PixelRule rule, int maskFilter) {
  if (x < 0 || y < 0 || width < 1 || height < 1 || dst.Width() < 2 || dst.Height() < 2) return;
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  if (srcWidth < 1 || srcHeight < 1 || srcX < 0 || srcY < 0) return;
  if (maskOffset == 0) {
    StretchCopy(dst, TRect{x, y, Clamp32(int64_t(x) + width), Clamp32(int64_t(y) + height)}, src,
                TRect{srcX, srcY, srcX + srcWidth, srcY + srcHeight});
    return;
  }
  if (int64_t(srcX) + srcWidth > s.width || int64_t(srcY) + srcHeight > s.height) return;
  if (maskOffset < 0 || int64_t(srcY) + maskOffset + srcHeight > s.height) return;  // the mask must be there too
  if (x >= d.width || y >= d.height) return;
  const int32_t x1 = int32_t(std::min<int64_t>(int64_t(x) + width, d.width));
  const int32_t y1 = int32_t(std::min<int64_t>(int64_t(y) + height, d.height));
  const ParentPixels parent(ci);

  if (isCentre && srcWidth == 1 && srcHeight == 1) {
    // One image pixel under one mask pixel: the whole rectangle takes the same mix.
    const uint32_t c = s.Row(srcY)[srcX], m = s.Row(srcY + maskOffset)[srcX];
    if (rule.rule == Rule::Plain) {
      const uint32_t mr = PixelR(m);
      if (mr == 255) return;
      for (int32_t row = y; row < y1; ++row) {
        uint32_t* dr = d.Row(row);
        if (mr == 0) {
          kernels::RowFill(dr + x, x1 - x, c | 0xFF000000u);
        } else {
          for (int32_t i = x; i < x1; ++i) {
            const uint32_t dp = dr[i];
            dr[i] = MakePixel(Mix(PixelB(c), PixelB(dp), mr), Mix(PixelG(c), PixelG(dp), mr),
                              Mix(PixelR(c), PixelR(dp), mr), 255);
          }
        }
      }
    } else {
      for (int32_t row = y; row < y1; ++row) {
        uint32_t* dr = d.Row(row);
        for (int32_t i = x; i < x1; ++i) dr[i] = rule(dr[i], c, m);
      }
    }
    return;
  }

  // Shrinking along one axis, and centres, are resampled; the rest by nearest pixel.
  const bool filtered = ((srcWidth > width && srcHeight == height) || (srcWidth == width && height < srcHeight) ||
                         isCentre) &&
                        width >= 2 && height >= 2;
  if (filtered && rule.rule == Rule::Plain) {
    // Resampled and mixed row by row, without a picture of the whole piece and its mask.
    StretchMixByMask(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, maskOffset, rfMitchell,
                     maskFilter);
    return;
  }
  // Only the part inside dst is made.
  const int32_t visibleW = x1 - x, visibleH = y1 - y;
  if (!filtered && rule.rule == Rule::Plain) {
    NearestMixByMask(d, x, y, visibleW, visibleH, width, height, s, srcX, srcY, srcWidth, srcHeight, maskOffset);
    return;
  }
  std::unique_ptr<Bitmap> image, mask;
  if (filtered) {
    image = ScaledPiece(src, s, srcX, srcY, srcWidth, srcHeight, width, height, rfMitchell);
    mask = ScaledPiece(src, s, srcX, srcY + maskOffset, srcWidth, srcHeight, width, height, maskFilter);
  } else {
    image = std::make_unique<Bitmap>(visibleW, visibleH, pf32bit);
    mask = std::make_unique<Bitmap>(visibleW, visibleH, pf32bit);
    StretchCopy(*image, TRect{0, 0, width, height}, src, TRect{srcX, srcY, srcX + srcWidth, srcY + srcHeight});
    StretchCopy(*mask, TRect{0, 0, width, height}, src,
                TRect{srcX, srcY + maskOffset, srcX + srcWidth, srcY + maskOffset + srcHeight});
  }
  View32 iv, mv;
  if (!GetView32(*image, iv) || !GetView32(*mask, mv)) return;
  for (int32_t row = 0; row < visibleH && row < iv.height; ++row) {
    uint32_t* dr = d.Row(y + row) + x;
    const uint32_t* ir = iv.Row(row);
    const uint32_t* mr = mv.Row(row);
    const int32_t n = std::min(visibleW, iv.width);
    if (rule.rule == Rule::Plain) {
      kernels::RowMixByMaskBest(dr, ir, mr, n, 0xFF000000u);
      continue;
    }
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t sp = ir[i];
      if (rule.rule == Rule::Plain) {
        dr[i] = MixByMask(dr[i], sp, mr[i]) | 0xFF000000u;
      } else if (sp == KeyPixel) {
        uint32_t p;
        if (parent.Get(x + i, y + row, p)) dr[i] = p;
      } else {
        dr[i] = rule(dr[i], sp, mr[i]);
      }
    }
  }
}

// The three members of the mask painter.
enum class Member { Mask, Alpha, Ex };

struct MaskJob {
  Bitmap& dst;
  const CacheInfo& ci;
  const SkinImageRecord& rec;
  const Bitmap& src;
  Member member;
  bool cornerParent;  // key pixels of unmasked corners show the parent
  uint8_t opacity;
  int32_t maskOffset;
  bool stretch;

  bool Masked() const { return rec.MaskType != 0; }

  // A corner (or any piece copied 1:1 that may show the parent): srcRect to (x, y).
  void Corner(const TRect& srcRect, int32_t x, int32_t y) const {
    if (RectIsEmpty(srcRect)) return;
    const TRect dstRect{x, y, Clamp32(int64_t(x) + RectWidth64(srcRect)), Clamp32(int64_t(y) + RectHeight64(srcRect))};
    if (!Masked()) {
      CopyPieceKeyed(dst, src, x, y, srcRect, KeyColor, cornerParent, ci);
      return;
    }
    switch (member) {
      case Member::Mask: CopyPieceMasked(dst, x, y, srcRect, maskOffset, src, cornerParent, ci); break;
      case Member::Alpha: CopyMaskedPieceWith(dstRect, srcRect, dst, src, maskOffset, ci, PixelRule{Rule::Alpha}); break;
      case Member::Ex:
        CopyMaskedPieceWith(dstRect, srcRect, dst, src, maskOffset, ci, PixelRule{Rule::Faded, opacity});
        break;
    }
  }

  // A tile of an edge or the centre, copied 1:1.
  void Tile(const TRect& srcRect, int32_t x, int32_t y) const {
    if (RectIsEmpty(srcRect)) return;
    if (!Masked()) {
      CopyPieceKeyed(dst, src, x, y, srcRect, clNone, false, EmptyCacheInfo);
      return;
    }
    const TRect dstRect{x, y, Clamp32(int64_t(x) + RectWidth64(srcRect)), Clamp32(int64_t(y) + RectHeight64(srcRect))};
    switch (member) {
      case Member::Mask: CopyPieceMasked(dst, x, y, srcRect, maskOffset, src, false, EmptyCacheInfo); break;
      case Member::Alpha:
        CopyMaskedPieceWith(dstRect, srcRect, dst, src, maskOffset, EmptyCacheInfo, PixelRule{Rule::Alpha});
        break;
      case Member::Ex:
        CopyMaskedPieceWith(dstRect, srcRect, dst, src, maskOffset, EmptyCacheInfo, PixelRule{Rule::Faded, opacity});
        break;
    }
  }

  // A stretched run: the source piece onto the whole destination rectangle.
  void Stretch(const TRect& srcRect, const TRect& dstRect, bool isCentre) const {
    if (RectIsEmpty(srcRect) || RectIsEmpty(dstRect)) return;
    const int32_t w = Clamp32(RectWidth64(dstRect)), h = Clamp32(RectHeight64(dstRect));
    const int32_t sw = Clamp32(RectWidth64(srcRect)), sh = Clamp32(RectHeight64(srcRect));
    if (!Masked()) {
      StretchCopy(dst, dstRect, src, srcRect);
      return;
    }
    switch (member) {
      case Member::Mask:
        StretchMaskedPiece(dst, dstRect.Left, dstRect.Top, w, h, src, srcRect.Left, srcRect.Top, sw, sh, maskOffset,
                           isCentre);
        break;
      case Member::Alpha:
        StretchMaskedPieceAlpha(dst, dstRect.Left, dstRect.Top, w, h, src, srcRect.Left, srcRect.Top, sw, sh,
                                maskOffset, isCentre, EmptyCacheInfo);
        break;
      case Member::Ex:
        StretchMaskedPieceFaded(dst, dstRect.Left, dstRect.Top, w, h, src, srcRect.Left, srcRect.Top, sw, sh,
                                maskOffset, isCentre, EmptyCacheInfo, opacity);
        break;
    }
  }

  // The tiled masked centre in one pass down the target, each row mixed at once: the same pixels as the tiles
  // copied one by one (key pixels of the image skipped, the target's alpha kept), but the target is read and
  // written in order, once. False (nothing done) when the piece or its mask reaches outside the source.
  bool TiledMaskedCentre(const TRect& srcRect, const TRect& dstRect) const {
    View32 d, s;
    if (!GetView32(dst, d) || !GetView32(src, s)) return false;
    const int64_t cw = RectWidth64(srcRect), ch = RectHeight64(srcRect);
    if (cw < 1 || ch < 1) return true;  // a piece of no length leaves the centre as it is
    if (srcRect.Left < 0 || srcRect.Top < 0 || srcRect.Right > s.width || srcRect.Top + int64_t(maskOffset) < 0 ||
        srcRect.Bottom + int64_t(maskOffset) > s.height)
      return false;
    const int64_t x0 = std::max<int64_t>(dstRect.Left, 0), x1 = std::min<int64_t>(dstRect.Right, d.width);
    const int64_t y0 = std::max<int64_t>(dstRect.Top, 0), y1 = std::min<int64_t>(dstRect.Bottom, d.height);
    if (x1 <= x0 || y1 <= y0) return true;
    const size_t n = size_t(x1 - x0);
    // Each source row tiled across the visible columns, image and mask: kept when the rows repeat (and fit in a few
    // megabytes), else gathered for each target row.
    const bool keep = ch <= y1 - y0 && ch * int64_t(n) <= (int64_t(1) << 20);
    const size_t slots = keep ? size_t(ch) : 1;
    const std::unique_ptr<uint32_t[]> image(new uint32_t[slots * n]), mask(new uint32_t[slots * n]);
    std::vector<uint8_t> made(slots, 0);
    std::vector<int32_t> columns(n);
    for (size_t c = 0; c < n; ++c)
      columns[c] = int32_t(srcRect.Left + (x0 + int64_t(c) - dstRect.Left) % cw);
    for (int64_t y = y0; y < y1; ++y) {
      const int64_t r = (y - dstRect.Top) % ch;
      const size_t slot = keep ? size_t(r) : 0;
      uint32_t* ir = image.get() + slot * n;
      uint32_t* mr = mask.get() + slot * n;
      if (!keep || !made[slot]) {
        const uint32_t* si = s.Row(int32_t(srcRect.Top + r));
        const uint32_t* sm = s.Row(int32_t(srcRect.Top + r + maskOffset));
        for (size_t c = 0; c < n; ++c) {
          ir[c] = si[columns[c]];
          mr[c] = sm[columns[c]];
        }
        made[slot] = 1;
      }
      kernels::RowMixByMaskBest(d.Row(int32_t(y)) + x0, ir, mr, int32_t(n), 0, true);
    }
    return true;
  }

  // A run (an edge): dstRect filled from the source piece srcRect, stretched or tiled along the run.
  void Run(const TRect& srcRect, const TRect& dstRect, bool horizontal) const {
    if (RectIsEmpty(dstRect)) return;
    if (stretch) {
      Stretch(srcRect, dstRect, false);
      return;
    }
    if (horizontal) {
      const int64_t len = RectWidth64(srcRect);
      TileRun(dstRect.Left, dstRect.Right, len, 0, dst.Width(), [&](int64_t pos, int64_t cut) {
        Tile(TRect{srcRect.Left, srcRect.Top, Clamp32(srcRect.Left + cut), srcRect.Bottom}, Clamp32(pos), dstRect.Top);
      });
    } else {
      const int64_t len = RectHeight64(srcRect);
      TileRun(dstRect.Top, dstRect.Bottom, len, 0, dst.Height(), [&](int64_t pos, int64_t cut) {
        Tile(TRect{srcRect.Left, srcRect.Top, srcRect.Right, Clamp32(srcRect.Top + cut)}, dstRect.Left, Clamp32(pos));
      });
    }
  }

  // The centre: stretched at once, or tiled row by row.
  void Centre(const TRect& srcRect, const TRect& dstRect) const {
    if (RectIsEmpty(dstRect)) return;
    if (stretch) {
      Stretch(srcRect, dstRect, true);
      return;
    }
    if (member == Member::Mask && Masked() && TiledMaskedCentre(srcRect, dstRect)) return;
    const int64_t ch = RectHeight64(srcRect);
    TileRun(dstRect.Top, dstRect.Bottom, ch, 0, dst.Height(), [&](int64_t pos, int64_t cut) {
      Run(TRect{srcRect.Left, srcRect.Top, srcRect.Right, Clamp32(srcRect.Top + cut)},
          TRect{dstRect.Left, Clamp32(pos), dstRect.Right, Clamp32(pos + cut)}, true);
    });
  }
};

void DrawMaskMember(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state,
                    Member member, bool useParentCorners, const TRect& limits, uint8_t opacity) {
  if (state < 0) return;
  if (state == 0 && (rec.DrawMode & dmNoState0)) return;
  if (RectWidth64(R) < 2 || RectHeight64(R) < 2 || rec.Manager == nullptr) return;
  if (rec.ImageCount < 1) return;
  const Bitmap* src = MaskSource(rec);
  if (src == nullptr || src->Empty() || src->PixelFormat() != pf32bit || dst.PixelFormat() != pf32bit) return;

  int32_t wl = std::max<int32_t>(rec.BorderLeft, 0), wt = std::max<int32_t>(rec.BorderTop, 0);
  int32_t wr = std::max<int32_t>(rec.BorderRight, 0), wb = std::max<int32_t>(rec.BorderBottom, 0);
  // A rectangle narrower (lower) than its two borders shares the loss, the odd pixel from the right (bottom).
  const int64_t width = RectWidth64(R), height = RectHeight64(R);
  if (width < wl + wr) {
    const int32_t d = int32_t(wl + wr - width), h = d / 2;
    wl -= h;
    wr -= h + (d % 2);
    wl = std::max(wl, 0);
    wr = std::max(wr, 0);
  }
  if (height < wt + wb) {
    const int32_t d = int32_t(wt + wb - height), h = d / 2;
    wt -= h;
    wb -= h + (d % 2);
    wt = std::max(wt, 0);
    wb = std::max(wb, 0);
  }
  const int32_t s = std::min<int32_t>(state, rec.ImageCount - 1);
  const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
  const int32_t cw = fw - wl - wr, ch = fh - wt - wb;
  if (cw < 0 || ch < 0) return;
  const int32_t sx = Clamp32(int64_t(rec.SourceRect.Left) + int64_t(s) * fw), sy = rec.SourceRect.Top;

  const bool cornerParent = member == Member::Mask ? (useParentCorners && rec.TransparentFlag > 0) : true;
  const MaskJob job{dst, ci, rec, *src, member, cornerParent, opacity, MaskOffsetOf(rec), (rec.DrawMode & dmStretch) != 0};

  const int32_t L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  auto piece = [](int32_t x, int32_t y, int32_t w, int32_t h) { return TRect{x, y, x + w, y + h}; };
  const int32_t rightX = sx + wl + cw, bottomY = sy + fh - wb;

  if (member == Member::Ex) {
    const int32_t lw = std::min(wl, limits.Left), tw = std::min(wt, limits.Top);
    const int32_t rw = std::min(wr, limits.Right), bw = std::min(wb, limits.Bottom);
    job.Corner(piece(sx, sy, wl, wt), L, T);
    if (lw > 0) job.Run(piece(sx, sy + wt, lw, ch), TRect{L, T + wt, L + lw, B - wb}, false);
    if (tw > 0) job.Run(piece(sx + wl, sy, cw, tw), TRect{L + wl, T, Rt - wr, T + tw}, true);
    job.Corner(piece(sx, bottomY, wl, wb), L, B - wb);
    if (bw > 0) job.Run(piece(sx + wl, sy + fh - bw, cw, bw), TRect{L + wl, B - bw, Rt - wr, B}, true);
    job.Corner(piece(rightX, bottomY, wr, wb), Rt - wr, B - wb);
    job.Corner(piece(rightX, sy, wr, wt), Rt - wr, T);
    if (rw > 0) job.Run(piece(sx + fw - rw, sy + wt, rw, ch), TRect{Rt - rw, T + wt, Rt, B - wb}, false);
    return;
  }

  job.Corner(piece(sx, sy, wl, wt), L, T);
  if (ch > 0) job.Run(piece(sx, sy + wt, wl, ch), TRect{L, T + wt, L + wl, B - wb}, false);
  if (cw > 0) job.Run(piece(sx + wl, sy, cw, wt), TRect{L + wl, T, Rt - wr, T + wt}, true);
  job.Corner(piece(sx, bottomY, wl, wb), L, B - wb);
  if (cw > 0) job.Run(piece(sx + wl, bottomY, cw, wb), TRect{L + wl, B - wb, Rt - wr, B}, true);
  job.Corner(piece(rightX, bottomY, wr, wb), Rt - wr, B - wb);
  job.Corner(piece(rightX, sy, wr, wt), Rt - wr, T);
  if (ch > 0) job.Run(piece(rightX, sy + wt, wr, ch), TRect{Rt - wr, T + wt, Rt, B - wb}, false);
  if ((rec.DrawMode & dmPaintCentre) && cw > 0 && ch > 0)
    job.Centre(piece(sx + wl, sy + wt, cw, ch), TRect{L + wl, T + wt, Rt - wr, B - wb});
}

}  // namespace

const Bitmap* MaskSource(const SkinImageRecord& rec) {
  if (rec.Bitmap) return rec.Bitmap.get();
  if (rec.Manager != nullptr) return rec.Manager->Skin().MasterBitmap.get();
  return nullptr;
}

void DrawSkinMask(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state,
                  bool useParentCorners) {
  DrawMaskMember(dst, R, ci, rec, state, Member::Mask, useParentCorners, TRect{}, 255);
}

void DrawSkinMaskAlpha(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state) {
  DrawMaskMember(dst, R, ci, rec, state, Member::Alpha, true, TRect{}, 255);
}

void DrawSkinMaskEx(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state,
                    const TRect& limits, uint8_t opacity) {
  DrawMaskMember(dst, R, ci, rec, state, Member::Ex, true, limits, opacity);
}

void CopyMaskedPiece(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const SkinImageRecord& rec,
                     const CacheInfo& ci) {
  const Bitmap* src = MaskSource(rec);
  if (src == nullptr) return;
  CopyMaskedPieceWith(dstRect, srcRect, dst, *src, MaskOffsetOf(rec), ci, PixelRule{Rule::Plain});
}

void CopyMaskedPieceAt(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const Bitmap& src, int32_t maskOffset,
                       const CacheInfo& ci) {
  CopyMaskedPieceWith(dstRect, srcRect, dst, src, maskOffset, ci, PixelRule{Rule::Plain});
}

void CopyMaskedPieceAlpha(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const SkinImageRecord& rec,
                          const CacheInfo& ci, const Bitmap& src) {
  CopyMaskedPieceWith(dstRect, srcRect, dst, src, MaskOffsetOf(rec), ci, PixelRule{Rule::Alpha});
}

void CopyMaskedPieceFaded(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, uint8_t opacity,
                          const SkinImageRecord& rec, const CacheInfo& ci, const Bitmap& src) {
  CopyMaskedPieceWith(dstRect, srcRect, dst, src, MaskOffsetOf(rec), ci, PixelRule{Rule::Faded, opacity});
}

void StretchMaskedPiece(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                        int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                        bool isCentre) {
  StretchMaskedPieceWith(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, maskOffset, isCentre,
                         EmptyCacheInfo, PixelRule{Rule::Plain}, rfMitchell);
}

void StretchMaskedPieceAlpha(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                             int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                             bool isCentre, const CacheInfo& ci) {
  StretchMaskedPieceWith(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, maskOffset, isCentre, ci,
                         PixelRule{Rule::Alpha}, rfHermite);
}

void StretchMaskedPieceFaded(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                             int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                             bool isCentre, const CacheInfo& ci, uint8_t opacity) {
  StretchMaskedPieceWith(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, maskOffset, isCentre, ci,
                         PixelRule{Rule::Faded, opacity}, rfHermite);
}

}  // namespace skin
