#include "skin/painters/section_paint.h"

#include <algorithm>
#include <cmath>

#include "gui/controls.h"
#include "skin/data/maskdata.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/color_effects.h"
#include "skin/painters/gradients.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/state_images.h"
#include "skin/painters/texture_fill.h"

namespace skin {

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A plain copy of w x h pixels from (sx, sy) of src to (x, y) of dst (clipped to both).
void Blit(Bitmap& dst, int32_t x, int32_t y, int64_t w, int64_t h, const Bitmap& src, int64_t sx, int64_t sy) {
  if (w <= 0 || h <= 0) return;
  CopyPieceKeyed(dst, src, x, y, TRect{Clamp32(sx), Clamp32(sy), Clamp32(sx + w), Clamp32(sy + h)}, clNone, false,
                 EmptyCacheInfo);
}

// The values of one state block that the background is made of.
struct Look {
  TColor colour = 0;
  int32_t transparency = 0;
  int32_t imagePct = 0;
  int32_t gradientPct = 0;
  int32_t textureIndex = -1;
  const GradientStepArray* gradient = nullptr;
  bool HasGradient() const { return gradient != nullptr && !gradient->empty(); }
};

Look BlockLook(const SkinStateBlock& block, int32_t textureIndex) {
  Look k;
  k.colour = ColorToRGB(block.Color);
  k.transparency = std::clamp(block.Transparency, 0, 100);
  if (k.transparency != 100) {
    k.imagePct = std::clamp(block.ImagePercent, 0, 100);
    k.gradientPct = std::clamp(block.GradientPercent, 0, 100);
    if (k.imagePct > 0 && textureIndex < 0) textureIndex = block.TextureIndex;
    if (k.gradientPct != 0) k.gradient = &block.GradientSteps;
  }
  k.textureIndex = textureIndex;
  return k;
}

const SkinImageRecord* Image(const LoadedSkin& skin, int32_t index) {
  return SkinManagerIsValidImageIndex(skin, index) ? &skin.Images[size_t(index)] : nullptr;
}

// The section's own look (no parent share) into T of target. older: the scroll bars' painter (no one-pass
// gradient; a fully transparent state without a parent takes the parent's fill colour).
void OwnLook(Bitmap& target, const TRect& T, const Look& k, const CacheInfo& ci, const LoadedSkin& skin, bool older) {
  const SkinImageRecord* tex = Image(skin, k.textureIndex);
  if (!older && k.imagePct + k.gradientPct == 100 && k.gradientPct >= 1 && k.gradientPct <= 99 && tex != nullptr &&
      tex->DrawMode == 0 && k.HasGradient() && (*k.gradient)[0].Mode < gmTriangles) {
    if (const Bitmap* src = MaskSource(*tex)) {
      PaintGradientVariant(target, T, *k.gradient, 255, k.imagePct * 255 / 100, tex->SourceRect, *src);
      return;
    }
  }
  bool texturePainted = false;
  if (k.imagePct > 0) {
    TRect rest = T;
    if (tex != nullptr && MaskSource(*tex) != nullptr) {
      if (tex->MaskType & 0xFF) {
        TileBltPart(target, rest, ci, uint8_t(tex->DrawMode), *tex);
      } else {
        StretchBltPart(target, rest, uint8_t(tex->DrawMode), *tex);
      }
      texturePainted = true;
    }
    if (rest.Right != TextureCoveredAll) FillRectOpaque(target, rest, k.colour);
  }
  if (k.gradientPct > 0) {
    if (texturePainted) {
      Bitmap work(Clamp32(RectWidth64(T)), Clamp32(RectHeight64(T)), pf32bit);
      const TRect whole{0, 0, work.Width(), work.Height()};
      if (k.HasGradient()) {
        PaintGradient(work, whole, *k.gradient);
      } else {
        FillRectBitmap32(work, whole, k.colour, 255);
      }
      BlendBitmapsConst(target, work, std::clamp(k.imagePct * 255 / 100, 0, 255), whole, TPoint{T.Left, T.Top});
    } else if (k.HasGradient()) {
      PaintGradient(target, T, *k.gradient);
    } else {
      FillRectOpaque(target, T, k.colour);
    }
  }
  const int32_t s = k.imagePct + k.gradientPct;
  if (s >= 1 && s <= 99) {
    BlendColorRect(target, T, s, k.colour);
  } else if (s < 1) {
    // A fully transparent state of the older painter with no parent image takes the parent's colour, when known.
    const bool parentFill = older && !ci.Ready && k.transparency == 100 && ci.FillColor != KeyColor;
    FillRectOpaque(target, T, parentFill ? ci.FillColor : k.colour);
  }
}

// The parent background of ci (moved by offset) into R of bmp, for a fully transparent section.
void ParentInto(Bitmap& bmp, const TRect& R, const CacheInfo& ci, const TPoint& offset) {
  const int64_t w = RectWidth64(R), h = RectHeight64(R);
  if (ci.Ready && ci.Bmp != nullptr) {
    if (ci.Bmp != &bmp) Blit(bmp, R.Left, R.Top, w, h, *ci.Bmp, int64_t(ci.X) + offset.X, int64_t(ci.Y) + offset.Y);
    return;
  }
  if (ci.Bmp == nullptr) {
    FillRectOpaque(bmp, R, ci.FillColor);
    return;
  }
  // A colour answer over a parent image whose margins hold valid pixels: the strips from the image, the rest
  // filled. Strip widths are limited to R.
  const Bitmap& p = *ci.Bmp;
  const TRect& f = ci.FillRect;
  const int64_t aL = offset.X, aT = offset.Y, aR = offset.X + w, aB = offset.Y + h;
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  if (f.Left > ci.X && f.Left > aL) left = std::min<int64_t>(f.Left - aL, w);
  if (f.Top > ci.Y && f.Top > aT) top = std::min<int64_t>(f.Top - aT, h);
  if (f.Right > 0 && p.Width() - f.Right < aR && aR < p.Width()) right = std::min<int64_t>(aR - (p.Width() - f.Right), w);
  if (f.Bottom > 0 && p.Height() - f.Bottom < aB && aB < p.Height())
    bottom = std::min<int64_t>(aB - (p.Height() - f.Bottom), h);
  const int64_t sx = int64_t(ci.X) + offset.X, sy = int64_t(ci.Y) + offset.Y;
  Blit(bmp, R.Left, R.Top, left, h, p, sx, sy);
  Blit(bmp, R.Left, R.Top, w, top, p, sx, sy);
  Blit(bmp, Clamp32(R.Right - right), R.Top, right, h, p, int64_t(ci.X) + aR - right, sy);
  Blit(bmp, R.Left, Clamp32(R.Bottom - bottom), w, bottom, p, sx, int64_t(ci.Y) + aB - bottom);
  const TRect inner{Clamp32(R.Left + left), Clamp32(R.Top + top), Clamp32(R.Right - right), Clamp32(R.Bottom - bottom)};
  FillRectOpaque(bmp, inner, ci.FillColor);
}

// The four corner images of a section, each for the state at its corner of R, over bmp itself.
void CornerImages(const SkinSectionRecord& section, const LoadedSkin& skin, int32_t state, const TRect& R, Bitmap& bmp) {
  const CacheInfo self = CacheInfoFromBitmap(&bmp, 0, 0);
  const int32_t indexes[4] = {section.ImgTopLeft, section.ImgTopRight, section.ImgBottomLeft, section.ImgBottomRight};
  for (int corner = 0; corner < 4; ++corner) {
    const SkinImageRecord* rec = Image(skin, indexes[corner]);
    if (rec == nullptr) continue;
    const int32_t w = ImageStateWidth(*rec), h = ImageFrameHeight(*rec);
    const bool right = corner == 1 || corner == 3, bottom = corner >= 2;
    DrawImageState(bmp, TPoint{right ? R.Right - w : R.Left, bottom ? R.Bottom - h : R.Top}, state, self, *rec, 1);
  }
}

// Round(transparency x 2.55), the half rounded to even, in integers (2.55 has no exact binary form).
int TransparencyWeight(int32_t transparency) {
  const int32_t q = transparency * 255, f = q / 100, r = q % 100;
  return f + (r > 50 || (r == 50 && (f & 1)) ? 1 : 0);
}

CacheInfo Moved(const CacheInfo& ci, const TPoint& offset) {
  CacheInfo moved = ci;
  moved.X = Clamp32(int64_t(ci.X) + offset.X);
  moved.Y = Clamp32(int64_t(ci.Y) + offset.Y);
  return moved;
}

// The checks every item painter makes: a valid section, bmp at least R.Right x R.Bottom, R's origin not negative.
bool ItemTarget(const LoadedSkin& skin, int32_t sectionIndex, const Bitmap& bmp, const TRect& R) {
  return !RectIsEmpty(R) && SkinManagerIsValidSectionIndex(skin, sectionIndex) && R.Left >= 0 && R.Top >= 0 &&
         bmp.Width() >= R.Right && bmp.Height() >= R.Bottom && bmp.PixelFormat() == pf32bit;
}

int32_t ItemState(const SkinSectionRecord& section, int32_t state) {
  return std::min(state, SectionStateCount(section) - 1);
}

void ColourEffects(const TsCommonData& data, Bitmap& bmp) {
  if (data.ColorTone != clNone) ApplyPixelFunc(bmp, PixelTone, ColorToRGB(data.ColorTone), KeyColor);
  if (data.HUEOffset != 0) ApplyPixelFunc(bmp, PixelHue, data.HUEOffset, KeyColor);
  if (data.Saturation != 0) ApplyPixelFunc(bmp, PixelSaturation, data.Saturation, KeyColor);
}

}  // namespace

void PaintSectionCore(int32_t sectionIndex, const CacheInfo& ci, int32_t state, const TRect& R, const TPoint& offset,
                      Bitmap& bmp, TsSkinManager* manager, int32_t textureIndex, int32_t hotTextureIndex,
                      TColor customColor) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr || state < 0 || RectIsEmpty(R) || bmp.Empty()) return;
  // A rectangle larger than the bitmap (a control's size far beyond its cache) is not painted.
  if (RectWidth64(R) > bmp.Width() || RectHeight64(R) > bmp.Height()) return;
  const LoadedSkin& skin = m->Skin();
  if (!SkinManagerIsValidSectionIndex(skin, sectionIndex)) return;
  const SkinSectionRecord& section = skin.Sections[size_t(sectionIndex)];
  const int32_t st = ClampSectionState(section, state);
  const SkinStateBlock& block = st == 0 ? section.NormalState : section.HotState;
  Look k;
  if (customColor == KeyColor) {
    // Both states' own looks take the texture index given (else their block's); the hot index serves only the
    // masked overlay below.
    k = BlockLook(block, textureIndex);
  } else {
    k.colour = ColorToRGB(customColor);
  }
  const int64_t w = RectWidth64(R), h = RectHeight64(R);

  if ((!ci.Ready && ci.FillColor == KeyColor) || k.transparency == 0) {
    OwnLook(bmp, R, k, ci, skin, false);
  } else if (k.transparency == 100) {
    if (ci.Ready && ci.Bmp == nullptr && ci.FillColor == KeyColor) {
      OwnLook(bmp, R, k, ci, skin, false);  // a ready record without an image says nothing of the parent
    } else {
      ParentInto(bmp, R, ci, offset);
    }
  } else if (ci.Ready || k.imagePct + k.gradientPct > 0) {
    Bitmap work(Clamp32(w), Clamp32(h), pf32bit);
    const TRect whole{0, 0, work.Width(), work.Height()};
    OwnLook(work, whole, k, ci, skin, false);
    if (ci.Ready) {
      if (ci.Bmp != nullptr && ci.Bmp != &bmp)
        Blit(bmp, R.Left, R.Top, w, h, *ci.Bmp, int64_t(ci.X) + offset.X, int64_t(ci.Y) + offset.Y);
    } else {
      FillRectOpaque(bmp, R, ci.FillColor);
    }
    BlendBitmapsConst(bmp, work, TransparencyWeight(k.transparency), whole, TPoint{R.Left, R.Top});
  } else {
    FillRectOpaque(bmp, R, MixColorsRatio(ColorToRGB(ci.FillColor), k.colour, k.transparency / 100.0));
  }

  // A masked texture of draw mode 10 is laid over whatever the background became.
  const int32_t overlay = st == 0 ? (textureIndex >= 0 ? textureIndex : block.TextureIndex)
                                  : (hotTextureIndex >= 0 ? hotTextureIndex : block.TextureIndex);
  if (const SkinImageRecord* tex = Image(skin, overlay); tex != nullptr && tex->MaskType > 0 && tex->DrawMode == 10) {
    TRect rest = R;
    TileBltPart(bmp, rest, Moved(ci, offset), 10, *tex);
  }
}

void PaintSkinItem(int32_t sectionIndex, const CacheInfo& ci, int32_t state, const TRect& R, const TPoint& offset,
                   Bitmap& bmp, TsSkinManager* manager, int32_t textureIndex, int32_t hotTextureIndex) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr || state < 0) return;
  const LoadedSkin& skin = m->Skin();
  if (!ItemTarget(skin, sectionIndex, bmp, R)) return;
  const SkinSectionRecord& section = skin.Sections[size_t(sectionIndex)];
  const int32_t st = ItemState(section, state);
  PaintSectionCore(sectionIndex, ci, st, R, offset, bmp, m, textureIndex, hotTextureIndex, KeyColor);
  CornerImages(section, skin, st, R, bmp);
  if (const SkinImageRecord* border = Image(skin, section.BorderIndex))
    DrawSkinMask(bmp, R, Moved(ci, offset), *border, st, true);
}

void PaintControlBackground(TsCommonData& data, const CacheInfo& ci, int32_t state, int32_t textureIndex,
                            int32_t hotTextureIndex, Bitmap& bmp, const TPoint& offset, const TRect& R) {
  TColor custom = KeyColor;
  if (data.CustomColor) {
    if (data.ControlKind == ckFormProvider) {
      custom = Services().ProviderFormColor(data);
    } else if (data.OwnerControl != nullptr) {
      custom = ColorToRGB(data.OwnerControl->Color());
    }
  }
  TsSkinManager* m = SkinDataManager(data);
  if (m == nullptr || !SkinManagerIsValidSectionIndex(m->Skin(), data.SkinIndex)) return;
  const int32_t st = ItemState(m->Skin().Sections[size_t(data.SkinIndex)], state);
  PaintSectionCore(data.SkinIndex, ci, st, R, offset, bmp, m, textureIndex, hotTextureIndex, custom);
}

void PaintControlItem(TsCommonData& data, const CacheInfo& ci, int32_t textureIndex, int32_t hotTextureIndex,
                      uint8_t fillMode, Bitmap& bmp, const TPoint& offset, const TRect& R, int32_t state) {
  TsSkinManager* m = SkinDataManager(data);
  if (m == nullptr || state < 0) return;
  const LoadedSkin& skin = m->Skin();
  if (!ItemTarget(skin, data.SkinIndex, bmp, R)) return;
  const SkinSectionRecord& section = skin.Sections[size_t(data.SkinIndex)];
  const int32_t st = ItemState(section, state);
  PaintControlBackground(data, ci, st, textureIndex, hotTextureIndex, bmp, offset, R);
  CornerImages(section, skin, st, R, bmp);
  const SkinImageRecord* border = Image(skin, data.BorderIndex);
  if (border != nullptr && !(st == 0 && (border->DrawMode & dmNoState0))) {
    DrawSkinMask(bmp, R, Moved(ci, offset), *border, st, fillMode == 1);
    ColourEffects(data, bmp);
  } else if (SectionStateBlock(section, st).Transparency == 0) {
    ColourEffects(data, bmp);
  }
}

int32_t PaintSectionByName(Bitmap& bmp, std::string_view sectionName, std::string_view altSectionName,
                           const Bitmap* srcBackground, TColor fillColor, const TPoint& srcPoint,
                           TsSkinManager* manager, int32_t state) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr) return -1;
  int32_t index = SkinManagerGetSectionIndex(m->Skin(), sectionName);
  if (index < 0) index = SkinManagerGetSectionIndex(m->Skin(), altSectionName);
  if (!SkinManagerIsValidSectionIndex(m->Skin(), index)) return index;
  CacheInfo ci;
  if (srcBackground != nullptr) {
    Blit(bmp, 0, 0, bmp.Width(), bmp.Height(), *srcBackground, srcPoint.X, srcPoint.Y);
    ci = CacheInfoFromBitmap(&bmp, 0, 0);
  }
  ci.FillColor = fillColor;
  PaintSkinItem(index, ci, state, TRect{0, 0, bmp.Width(), bmp.Height()}, TPoint{}, bmp, m, -1, -1);
  return index;
}

void PaintSectionImage(int32_t sectionIndex, int32_t imageIndex, TsSkinManager* manager, Bitmap& bmp,
                       const TPoint& offset, const TRect& R, int32_t state, const CacheInfo& ci) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr || state < 0) return;
  const LoadedSkin& skin = m->Skin();
  if (!ItemTarget(skin, sectionIndex, bmp, R)) return;
  const SkinSectionRecord& section = skin.Sections[size_t(sectionIndex)];
  const int32_t st = ItemState(section, state);
  const Look k = BlockLook(SectionStateBlock(section, st), -1);
  const int64_t w = RectWidth64(R), h = RectHeight64(R);
  if (ci.Ready && k.transparency == 100) {
    if (ci.Bmp != nullptr && ci.Bmp != &bmp)
      Blit(bmp, R.Left, R.Top, w, h, *ci.Bmp, int64_t(ci.X) + offset.X, int64_t(ci.Y) + offset.Y);
  } else if (!ci.Ready || k.transparency == 0) {
    OwnLook(bmp, R, k, ci, skin, true);
  } else {
    Bitmap work(Clamp32(w), Clamp32(h), pf32bit);
    const TRect whole{0, 0, work.Width(), work.Height()};
    OwnLook(work, whole, k, ci, skin, true);
    if (ci.Bmp != nullptr && ci.Bmp != &bmp)
      Blit(bmp, R.Left, R.Top, w, h, *ci.Bmp, int64_t(ci.X) + offset.X, int64_t(ci.Y) + offset.Y);
    BlendBitmapsConst(bmp, work, k.transparency * 255 / 100, whole, TPoint{R.Left, R.Top});
  }
  if (const SkinImageRecord* image = Image(skin, imageIndex)) DrawSkinMask(bmp, R, Moved(ci, offset), *image, st, true);
}

}  // namespace skin
