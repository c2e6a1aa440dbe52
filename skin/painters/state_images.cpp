#include "skin/painters/state_images.h"

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
#include "skin/pixels/pixel_kernels.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"

namespace skin {

using detail::Blit;
using detail::ClipBlit;
using detail::GetView32;
using detail::View32;
using kernels::Mix;

// The window that holds a window (GetParent; nothing natively), painter_services_*.cpp.
void* PaintersParentWindow(void* window);

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Key pixels of srcRect (of src) at (x, y) of the cache: the parent's pixel, or the background colour.
void ParentUnderKeyPixels(const Bitmap& src, const TRect& srcRect, int32_t x, int32_t y, Bitmap& cache,
                          const BackgroundInfo& background) {
  View32 s, d;
  if (!GetView32(src, s) || !GetView32(cache, d)) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, RectWidth64(srcRect), RectHeight64(srcRect), x, y, s.width, s.height,
                d.width, d.height, b))
    return;
  View32 p;
  const bool fromBitmap = background.BgType == btCache && background.Bmp != nullptr && GetView32(*background.Bmp, p);
  if (!fromBitmap && (background.BgType != btFill || ColorToRGB(background.Color) == KeyColor)) return;
  const uint32_t colour = ColorToPixel(ColorToRGB(background.Color), 255);
  for (int32_t row = 0; row < b.h; ++row) {
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    for (int32_t i = 0; i < b.w; ++i) {
      if (sr[i] != KeyPixel) continue;
      if (!fromBitmap) {
        dr[i] = colour;
        continue;
      }
      const int64_t px = int64_t(b.dx) + i + background.Offset.X, py = int64_t(b.dy) + row + background.Offset.Y;
      if (px >= 0 && py >= 0 && px < p.width && py < p.height) dr[i] = p.Row(int32_t(py))[px];
    }
  }
}

}  // namespace

void DrawStateFrame(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const SkinImageRecord& rec, int32_t mode,
                    const Bitmap& src) {
  if (dst.PixelFormat() != pf32bit) return;
  const int64_t w = std::min(RectWidth64(srcRect), RectWidth64(dstRect));
  const int64_t h = std::min(RectHeight64(srcRect), RectHeight64(dstRect));
  if (rec.MaskType == 0) {
    CopyPieceKeyed(dst, src, dstRect.Left, dstRect.Top,
                   TRect{srcRect.Left, srcRect.Top, Clamp32(srcRect.Left + w), Clamp32(srcRect.Top + h)}, KeyColor,
                   false, EmptyCacheInfo);
    return;
  }
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  // The mask lies one frame of the record lower; rows whose mask is outside the source are not drawn.
  const int32_t maskOffset = ImageFrameHeight(rec);
  if (maskOffset < 1) return;
  Blit b;
  if (!ClipBlit(srcRect.Left, srcRect.Top, w, std::min<int64_t>(h, int64_t(s.height) - maskOffset - srcRect.Top),
                dstRect.Left, dstRect.Top, s.width, s.height, d.width, d.height, b))
    return;
  const uint32_t lift = mode == 1 ? 0 : 100;
  for (int32_t row = 0; row < b.h; ++row) {
    uint32_t* dr = d.Row(b.dy + row) + b.dx;
    const uint32_t* sr = s.Row(b.sy + row) + b.sx;
    const uint32_t* mr = s.Row(b.sy + row + maskOffset) + b.sx;
    for (int32_t i = 0; i < b.w; ++i) {
      const uint32_t sp = sr[i], m = mr[i];
      if (sp == KeyPixel || PixelR(m) >= 255) continue;
      const uint32_t dp = dr[i];
      auto weight = [lift](uint32_t mc) { return std::min<uint32_t>(mc + lift, 255); };
      const uint32_t a = PixelA(dp);
      dr[i] = MakePixel(Mix(PixelB(sp), PixelB(dp), weight(PixelB(m))), Mix(PixelG(sp), PixelG(dp), weight(PixelG(m))),
                        Mix(PixelR(sp), PixelR(dp), weight(PixelR(m))), a + (((255 - a) * (255 - PixelR(m))) >> 8));
    }
  }
}

void DrawImageState(Bitmap& dst, const TPoint& P, int32_t state, const CacheInfo& ci, const SkinImageRecord& rec,
                    int32_t mode) {
  if (state < 0 || rec.ImageCount < 1) return;
  const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
  if (fw < 1 || fh < 1) return;
  const int32_t s = std::min<int32_t>(state, rec.ImageCount - 1);
  // Cut at the bitmap's left and top edges: the frame from its (dx, dy) pixel on, at the edge.
  const int32_t dx = P.X < 0 ? Clamp32(-int64_t(P.X)) : 0, dy = P.Y < 0 ? Clamp32(-int64_t(P.Y)) : 0;
  if (dx >= fw || dy >= fh) return;
  const int64_t left = int64_t(rec.SourceRect.Left) + int64_t(s) * fw;
  const TRect srcRect{Clamp32(left + dx), rec.SourceRect.Top + dy, Clamp32(left + fw), rec.SourceRect.Top + fh};
  const int32_t x = Clamp32(int64_t(P.X) + dx), y = Clamp32(int64_t(P.Y) + dy);
  const TRect dstRect{x, y, Clamp32(int64_t(x) + fw - dx), Clamp32(int64_t(y) + fh - dy)};
  if (rec.Bitmap) {
    if (rec.Bitmap->Width() >= rec.SourceRect.Right && rec.Bitmap->Height() >= rec.SourceRect.Bottom)
      DrawStateFrame(dstRect, srcRect, dst, rec, mode, *rec.Bitmap);
    return;
  }
  const Bitmap* master = MaskSource(rec);
  if (master == nullptr) return;
  if (rec.MaskType >= 1) {
    DrawStateFrame(dstRect, srcRect, dst, rec, mode, *master);
  } else if (rec.MaskType == 0) {
    if (mode == 1) {
      CopyPieceKeyed(dst, *master, x, y, srcRect, KeyColor, true, ci);
    } else {
      BlendBitmaps(dst, x, y, KeyColor, 0.5, srcRect, *master);
    }
  }
}

void CopyParentToKeyPixels(const Bitmap& src, int32_t x, int32_t y, TsCommonData& data, const BackgroundInfo& background,
                           const TRect& srcRect) {
  if (data.CacheBmp) ParentUnderKeyPixels(src, srcRect, x, y, *data.CacheBmp, background);
}

void CopyParentToMaskedCorner(const TRect& dstRect, const TRect& srcRect, const Bitmap& src, TsCommonData& data,
                              const BackgroundInfo& background) {
  if (!data.CacheBmp) return;
  const TRect piece{srcRect.Left, srcRect.Top,
                    Clamp32(srcRect.Left + std::min(RectWidth64(srcRect), RectWidth64(dstRect))),
                    Clamp32(srcRect.Top + std::min(RectHeight64(srcRect), RectHeight64(dstRect)))};
  ParentUnderKeyPixels(src, piece, dstRect.Left, dstRect.Top, *data.CacheBmp, background);
}

void PaintParentCorners(TsCommonData& data, int32_t state, uint8_t corners) {
  TsSkinManager* m = SkinDataManager(data);
  if (m == nullptr || state < 0 || !SkinManagerIsValidImageIndex(m->Skin(), data.BorderIndex)) return;
  gui::TControl* control = data.OwnerControl;
  if (!SkinDataSkinned(data) || control == nullptr || !data.CacheBmp) return;
  SkinImageRecord rec = m->Skin().Images[size_t(data.BorderIndex)];
  const Bitmap* src = MaskSource(rec);
  if (src == nullptr) return;

  BackgroundInfo background;
  background.R = TRect{0, 0, control->Width(), control->Height()};
  if (control->Parent() != nullptr) {
    QueryControlBackground(background, control->Parent(), false);
  } else if (auto* windowed = dynamic_cast<gui::TWinControl*>(control); windowed && windowed->HandleAllocated()) {
    QueryParentBackground(background, PaintersParentWindow(windowed->WindowHandle()), false);
  } else {
    return;
  }
  if (background.BgType == btCache) {
    background.Offset.X = Clamp32(int64_t(background.Offset.X) + control->Left());
    background.Offset.Y = Clamp32(int64_t(background.Offset.Y) + control->Top());
  }

  if (rec.ImageCount == 0 && rec.Bitmap) {
    rec.ImageCount = 3;
    rec.MaskType = 1;
    rec.SourceRect = TRect{0, 0, rec.Bitmap->Width(), rec.Bitmap->Height()};
  }
  if (rec.ImageCount < 1) return;
  const int32_t s = std::min<int32_t>(state, rec.ImageCount - 1);
  const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
  const int32_t wl = std::max<int32_t>(rec.BorderLeft, 0), wt = std::max<int32_t>(rec.BorderTop, 0);
  const int32_t wr = std::max<int32_t>(rec.BorderRight, 0), wb = std::max<int32_t>(rec.BorderBottom, 0);
  const int32_t left = Clamp32(int64_t(rec.SourceRect.Left) + int64_t(s) * fw);
  const int32_t right = Clamp32(int64_t(left) + fw - wr);
  const int32_t top = rec.SourceRect.Top, bottom = rec.SourceRect.Top + fh - wb;
  const int32_t W = control->Width(), H = control->Height();
  struct Corner {
    uint8_t flag;
    TRect source;
    TPoint at;
  };
  const Corner all[4] = {{pcTopLeft, TRect{left, top, left + wl, top + wt}, TPoint{0, 0}},
                         {pcBottomLeft, TRect{left, bottom, left + wl, bottom + wb}, TPoint{0, H - wb}},
                         {pcTopRight, TRect{right, top, right + wr, top + wt}, TPoint{W - wr, 0}},
                         {pcBottomRight, TRect{right, bottom, right + wr, bottom + wb}, TPoint{W - wr, H - wb}}};
  for (const Corner& c : all) {
    if (!(corners & c.flag)) continue;
    if (rec.MaskType != 0) {
      const TRect dstRect{c.at.X, c.at.Y, c.at.X + RectWidth(c.source), c.at.Y + RectHeight(c.source)};
      CopyParentToMaskedCorner(dstRect, c.source, *src, data, background);
    } else {
      CopyParentToKeyPixels(*src, c.at.X, c.at.Y, data, background, c.source);
    }
  }
}

void PaintParentBgPart(Bitmap& dst, const Bitmap& parent, const TPoint& dstPos, int32_t corner, TsSkinManager* manager,
                       int32_t imageIndex, const TPoint& parentPos) {
  View32 d, p;
  if (!GetView32(dst, d) || !GetView32(parent, p)) return;
  // The region: as large as fits in dst and in the parent.
  auto fits = [](int64_t pos, int32_t size) { return pos < 0 ? int64_t(0) : std::max<int64_t>(0, size - pos); };
  int64_t w = std::min(fits(dstPos.X, d.width), fits(parentPos.X, p.width));
  int64_t h = std::min(fits(dstPos.Y, d.height), fits(parentPos.Y, p.height));
  const View32* keySource = &d;
  int64_t kx = dstPos.X, ky = dstPos.Y;
  View32 s;
  if (imageIndex != -1) {
    TsSkinManager* m = ManagerOrDefault(manager);
    if (m == nullptr || !SkinManagerIsValidImageIndex(m->Skin(), imageIndex)) return;
    const SkinImageRecord& rec = m->Skin().Images[size_t(imageIndex)];
    const Bitmap* src = MaskSource(rec);
    if (src == nullptr || !GetView32(*src, s)) return;
    const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
    const bool right = corner == ccTopRight || corner == ccBottomRight;
    const bool bottom = corner == ccBottomLeft || corner == ccBottomRight;
    const int32_t cw = right ? rec.BorderRight : rec.BorderLeft, ch = bottom ? rec.BorderBottom : rec.BorderTop;
    kx = right ? int64_t(rec.SourceRect.Left) + fw - rec.BorderRight : rec.SourceRect.Left;
    ky = bottom ? int64_t(rec.SourceRect.Top) + fh - rec.BorderBottom : rec.SourceRect.Top;
    if (kx < 0 || ky < 0) return;
    w = std::min<int64_t>({w, std::max(cw, 0), std::max<int64_t>(0, s.width - kx)});
    h = std::min<int64_t>({h, std::max(ch, 0), std::max<int64_t>(0, s.height - ky)});
    keySource = &s;
  }
  if (dstPos.X < 0 || dstPos.Y < 0 || parentPos.X < 0 || parentPos.Y < 0) return;
  for (int64_t y = 0; y < h; ++y) {
    const uint32_t* kr = keySource->Row(int32_t(ky + y)) + kx;
    uint32_t* dr = d.Row(int32_t(dstPos.Y + y)) + dstPos.X;
    const uint32_t* pr = p.Row(int32_t(parentPos.Y + y)) + parentPos.X;
    for (int64_t x = 0; x < w; ++x)
      if (kr[x] == KeyPixel) dr[x] = pr[x];
  }
}

void PaintSkinImageByIndex(int32_t sectionIndex, int32_t state, const TRect& R, const TPoint& P, Bitmap* dst,
                           TsSkinManager* manager) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (dst == nullptr || RectIsEmpty(R) || m == nullptr || state < 0) return;
  const LoadedSkin& skin = m->Skin();
  if (!SkinManagerIsValidSectionIndex(skin, sectionIndex)) return;
  if (dst->Width() < R.Right || dst->Height() < R.Bottom || R.Left < 0 || R.Top < 0) return;
  if (dst->PixelFormat() != pf32bit) return;
  const SkinSectionRecord& section = skin.Sections[size_t(sectionIndex)];
  const int32_t s = std::min(state, SectionStateCount(section) - 1);
  const int32_t w = R.Right - R.Left, h = R.Bottom - R.Top;
  // What dst holds at R, as the parent background of the border's corners.
  Bitmap old(w + 1, h + 1, pf32bit);
  CopyPieceKeyed(old, *dst, 0, 0, R, clNone, false, EmptyCacheInfo);
  if (SectionStateBlock(section, s).Transparency >= 100) {
    FillRectBitmap32(*dst, R, 0, 0);
  } else {
    // The old content at the background's offset P: parent pixels come from (0, 0) of old.
    const CacheInfo ci = CacheInfoFromBitmap(&old, Clamp32(-int64_t(P.X)), Clamp32(-int64_t(P.Y)));
    PaintSectionCore(sectionIndex, ci, s, R, P, *dst, m, -1, -1, KeyColor);
  }
  if (SkinManagerIsValidImageIndex(skin, section.BorderIndex))
    DrawSkinMaskAlpha(*dst, R, CacheInfoFromBitmap(&old, -R.Left, -R.Top), skin.Images[size_t(section.BorderIndex)], s);
  if (dst->Width() == w && dst->Height() == h) PremultiplyAlpha(*dst, R);
}

}  // namespace skin
