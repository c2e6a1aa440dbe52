// What a skinned control tells its children about its background, the colour effects of its cached image and
// its outer effects.
#include <algorithm>
#include <cmath>

#include "skin/manager/commondata.h"
#include "skin/manager/commondata_window.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/parent_background.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/state_images.h"

namespace skin {

namespace {

const SkinSectionRecord* SectionOf(TsCommonData& data) {
  TsSkinManager* m = data.SkinManager();
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, data.SkinIndex)) return nullptr;
  return &m->Skin().Sections[size_t(data.SkinIndex)];
}

const SkinImageRecord* ImageOf(const TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, index)) return nullptr;
  return &m->Skin().Images[size_t(index)];
}

// The state block of a state as the colour rule takes it: the hot block when asked and the section has one.
const SkinStateBlock& StateBlock(const SkinSectionRecord& s, int32_t state) {
  return (state > 0 && s.States > 1) ? s.HotState : s.NormalState;
}

TColor GlobalColorOf(TsCommonData& data) {
  TsSkinManager* m = data.SkinManager();
  return m ? SkinManagerGlobalColor(*m) : ColorToRGB(clBtnFace);
}

bool CacheHasOwnerSize(TsCommonData& data, TsSkinDataOwner& o) {
  const TRect b = o.Bounds();
  return data.CacheBmp && !data.CacheBmp->Empty() && data.CacheBmp->Width() == b.Width() &&
         data.CacheBmp->Height() == b.Height();
}

// The owner's own cache as the answer, brought up to date first; not ready when it stays empty.
void AnswerOwnCache(TsCommonData& data, TsSkinDataOwner& o, BackgroundInfo& info) {
  if (!CacheHasOwnerSize(data, o)) {
    data.BGChanged = true;
    if (data.CacheBmp) data.CacheBmp->SetSize(0, 0);
    o.Perform(AC_UPDATECACHE, 0);
  }
  if (!data.CacheBmp || data.CacheBmp->Empty()) {
    info.BgType = btNotReady;
    return;
  }
  info.Bmp = data.CacheBmp.get();
  info.Offset = TPoint{0, 0};
  info.BgType = btCache;
  if (info.PleaseDraw) {
    const TRect src{info.R.Left + info.Offset.X, info.R.Top + info.Offset.Y, info.R.Right + info.Offset.X,
                    info.R.Bottom + info.Offset.Y};
    detail::CopyBitmapToDC(*data.CacheBmp, src, info.DC, TopLeftOf(info.R));
  }
}

// A fully transparent owner passes the question up: to its parent control (its own position added to the
// answer's offset) or, for a bare window, to its parent window.
void AskUpwards(TsCommonData& data, TsSkinDataOwner& o, BackgroundInfo& info, HWND wnd) {
  if (o.HasParent()) {
    const TPoint at = TopLeftOf(o.Bounds());
    const TRect saved = info.R;
    info.R = TRect{saved.Left + at.X, saved.Top + at.Y, saved.Right + at.X, saved.Bottom + at.Y};
    info.BgType = btUnknown;
    info.FillR = TRect{};
    o.SendToParent(AC_GETBACKGROUND, reinterpret_cast<LPARAM>(&info));
    if (info.BgType == btUnknown) {
      info.Bmp = nullptr;
      info.BgType = btFill;
      info.Color = o.ParentColor();
    }
    info.R = saved;
    info.Offset = TPoint{info.Offset.X + at.X, info.Offset.Y + at.Y};
    return;
  }
  if (wnd == nullptr) {
    info.BgType = btFill;
    info.Color = GlobalColorOf(data);
    return;
  }
  HWND parent = detail::WindowParent(wnd);
  const TPoint at = TopLeftOf(detail::WindowBoundsInParent(wnd));
  QueryParentBackground(info, parent, false);
  info.Offset = TPoint{info.Offset.X + at.X, info.Offset.Y + at.Y};
}

// Pixels of srcRect of src copied to dst at `at`, clipped to both bitmaps (32-bit).
void CopyPixels(Bitmap& dst, const TPoint& at, const Bitmap& src, const TRect& srcRect) {
  for (int32_t y = srcRect.Top; y < srcRect.Bottom; ++y) {
    const int32_t dy = at.Y + (y - srcRect.Top);
    if (y < 0 || y >= src.Height() || dy < 0 || dy >= dst.Height()) continue;
    const auto* s = reinterpret_cast<const uint32_t*>(src.ScanLine(y));
    auto* d = reinterpret_cast<uint32_t*>(dst.ScanLine(dy));
    for (int32_t x = srcRect.Left; x < srcRect.Right; ++x) {
      const int32_t dx = at.X + (x - srcRect.Left);
      if (x >= 0 && x < src.Width() && dx >= 0 && dx < dst.Width()) d[dx] = s[x];
    }
  }
}

}  // namespace

TColor CommonDataGetBgColor(TsCommonData& Data, int32_t State, HWND Wnd) {
  OwnerOf o(Data);
  if (o->Control() == nullptr) return o->IsProvider() ? ColorToRGB(o->Color()) : ColorToRGB(clBtnFace);
  if (!CommonDataIsSkinned(Data) || Data.CustomColor) return ColorToRGB(o->Color());
  const SkinStateBlock& b = StateBlock(*SectionOf(Data), State);
  const int32_t t = b.Transparency;
  if (t < 1) return ColorToRGB(b.Color);
  TColor parent;
  if (o->HasParent()) {
    parent = o->ParentColor();
  } else {
    HWND p = detail::WindowParent(Wnd ? Wnd : CommonDataHandle(Data));
#ifdef _WIN32
    parent = p ? WindowBgColor(p) : ColorToRGB(clBtnFace);
#else
    (void)p;  // no window has a parent natively
    parent = ColorToRGB(clBtnFace);
#endif
  }
  if (t >= 100) return parent;
  return MixColorsRatio(parent, ColorToRGB(b.Color), t / 100.0);
}

int32_t ParentSkinSectionIndex(gui::TControl* Control, int32_t State, TsSkinManager* Manager, int32_t Default,
                               bool NoParent) {
  TsSkinManager* m = Manager ? Manager : DefaultManager();
  if (m == nullptr || Control == nullptr || NoParent) return Default;
  gui::TWinControl* parent = Control->Parent();
  if (parent == nullptr) return Default;
#ifdef _WIN32
  if (!parent->HandleAllocated()) return Default;
#endif
  const int32_t st = State >= 1 ? 1 : 0;
  auto* pdata = reinterpret_cast<TsCommonData*>(SendLibraryCommandToControl(parent, AC_GETSKINDATA, 0));
  if (pdata != nullptr) {
    if (!SkinManagerIsValidSectionIndex(*m, pdata->SkinIndex)) return Default;
    const SkinSectionRecord& s = m->Skin().Sections[size_t(pdata->SkinIndex)];
    const SkinImageRecord* border = ImageOf(m, s.BorderIndex);
    const bool opaqueBorder = border != nullptr && (border->DrawMode & 4) != 0;
    if (StateBlock(s, st).Transparency > 50 && !opaqueBorder && parent->Parent() != nullptr)
      return ParentSkinSectionIndex(parent, State, m, Default, false);
    return s.GiveOwnFont ? pdata->SkinIndex : Default;
  }
  int32_t index = -1;
  SendLibraryCommandToControl(parent, AC_GETSKININDEX, reinterpret_cast<LPARAM>(&index));
  if (!SkinManagerIsValidSectionIndex(*m, index)) return Default;
  const SkinSectionRecord& s = m->Skin().Sections[size_t(index)];
  if (StateBlock(s, st).Transparency < 51) return s.GiveOwnFont ? index : Default;
  return ParentSkinSectionIndex(parent, State, m, Default, false);
}

void CommonDataGetBackground(TsCommonData& Data, BackgroundInfo& Info, int32_t State, HWND Wnd) {
  OwnerOf o(Data);
  if (Info.PleaseDraw) {
    CommonDataUpdateTransparency(Data, false);
    if (CommonDataCheckBgFlags(Data)) {
      if (Data.BGChanged) o->Perform(AC_UPDATECACHE, 0);
      Info.BgType = btCache;
      if (Data.BGChanged || !Data.CacheBmp) return;
      Info.Bmp = Data.CacheBmp.get();
      const TRect src{Info.R.Left + Info.Offset.X, Info.R.Top + Info.Offset.Y, Info.R.Right + Info.Offset.X,
                      Info.R.Bottom + Info.Offset.Y};
      detail::CopyBitmapToDC(*Data.CacheBmp, src, Info.DC, TopLeftOf(Info.R));
      return;
    }
    Info.Color = CommonDataGetBgColor(Data, State, Wnd);
    detail::FillDC(Info.DC, Info.R, Info.Color);
    Info.BgType = btFill;
    return;
  }
  if (!CommonDataIsSkinned(Data) || Data.CustomColor) {
    Info.Bmp = nullptr;
    Info.BgType = btFill;
    Info.Color = ColorToRGB(o->Color());
    return;
  }
  const SkinSectionRecord& s = *SectionOf(Data);
  const SkinStateBlock& b = StateBlock(s, State);
  const int32_t t = b.Transparency;
  if (t <= 0) {
    const bool corners = s.ImgTopLeft >= 0 || s.ImgTopRight >= 0 || s.ImgBottomLeft >= 0 || s.ImgBottomRight >= 0;
    if (b.ImagePercent == 0 && b.GradientPercent == 0 && !corners && !CommonDataOuterEffectsOn(Data)) {
      Info.Bmp = nullptr;
      Info.BgType = btFill;
      Info.Color = CommonDataGetBgColor(Data, State, Wnd);
      const SkinImageRecord* border = ImageOf(Data.SkinManager(), s.BorderIndex);
      if (border != nullptr && !(border->DrawMode & 2)) {
        // The border's band of the cached image holds valid pixels around the colour.
        Info.Bmp = Data.CacheBmp.get();
        Info.Offset = TPoint{0, 0};
        Info.FillR = TRect{border->BorderLeft, border->BorderTop, border->BorderRight, border->BorderBottom};
      }
      return;
    }
    Info.Color = GlobalColorOf(Data);
    AnswerOwnCache(Data, *o, Info);
    return;
  }
  if (t >= 100) {
    if (!(Data.CtrlState & csTransparent) && Data.CacheBmp) {
      Info.Color = GlobalColorOf(Data);
      AnswerOwnCache(Data, *o, Info);
      return;
    }
    AskUpwards(Data, *o, Info, Wnd);
    return;
  }
  if (!Data.CacheBmp) {
    Info.Bmp = nullptr;
    Info.BgType = btFill;
    Info.Color = KeyColor;
  } else if (Data.CacheBmp->Empty()) {
    Data.Updating = 1;
    Info.BgType = btNotReady;
  } else {
    Info.Bmp = Data.CacheBmp.get();
    Info.Offset = TPoint{0, 0};
    Info.BgType = btCache;
  }
}

void CommonDataGetParentOffset(TsCommonData& Data, CacheInfo& Info) {
  OwnerOf o(Data);
  auto colourOnly = [&](TColor c) { Info = CacheInfo{nullptr, 0, 0, c, TRect{}, false}; };
  if (!CommonDataIsSkinned(Data) || o->Control() == nullptr) {
    colourOnly(CommonDataGetBgColor(Data, 0));
    return;
  }
  BackgroundInfo bi;
  const TRect bounds = o->Bounds();
  bi.R = TRect{0, 0, bounds.Width(), bounds.Height()};
  TPoint at = TopLeftOf(bounds);
  if (o->HasParent()) {
    o->SendToParent(AC_GETBACKGROUND, reinterpret_cast<LPARAM>(&bi));
    if (bi.BgType == btUnknown) {
      bi.BgType = btFill;
      bi.Color = o->ParentColor();
    }
  } else if (o->Windowed()) {
    HWND w = o->Handle();
    at = TopLeftOf(detail::WindowBoundsInParent(w));
    QueryParentBackground(bi, detail::WindowParent(w), false);
  } else {
    colourOnly(CommonDataGetBgColor(Data, 0));
    return;
  }
  if (bi.BgType == btNotReady) {
    colourOnly(KeyColor);
    return;
  }
  BackgroundToCacheInfo(bi, Info);
  Info.X += at.X;
  Info.Y += at.Y;
  Info.Ready = false;
}

void ParentBgInfoOfWindow(HWND Wnd, CacheInfo& Info) {
  HWND parent = detail::WindowParent(Wnd);
  if (parent == nullptr) {
    Info = EmptyCacheInfo;
    return;
  }
  BackgroundInfo bi;
  const TRect bounds = detail::WindowBoundsInParent(Wnd);
  bi.R = TRect{0, 0, bounds.Width(), bounds.Height()};
  QueryParentBackground(bi, parent, false);
  BackgroundToCacheInfo(bi, Info);
  Info.X += bounds.Left;
  Info.Y += bounds.Top;
}

void CommonDataPrepareCache(TsCommonData& Data, bool NotMonochrome) {
  (void)NotMonochrome;  // the library's bitmaps are never monochrome
  if (!Data.CacheBmp) Data.CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
  OwnerOf o(Data);
  if (o->Control() == nullptr) return;
  const TRect b = o->Bounds();
  if (Data.CacheBmp->Width() != b.Width() || Data.CacheBmp->Height() != b.Height())
    Data.CacheBmp->SetSize(std::max(b.Width(), 0), std::max(b.Height(), 0));
}

void CommonDataApplyColorTone(Bitmap& Bmp, TsCommonData& Data, uint32_t Flags, int32_t State) {
  (void)Flags;
  if (Data.ColorTone != clNone) ApplyPixelFunc(Bmp, PixelTone, int32_t(ColorToRGB(Data.ColorTone)), KeyColor);
  if (Data.HUEOffset != 0) ApplyPixelFunc(Bmp, PixelHue, Data.HUEOffset, KeyColor);
  if (Data.Saturation != 0) {
    const int32_t amount = std::clamp(int32_t(std::trunc(Data.Saturation * 2.55)), -255, 255);
    ApplyPixelFunc(Bmp, PixelSaturation, amount, KeyColor);
  }
  PaintParentCorners(Data, State, 15);
}

void CommonDataPaintOuterEffect(TsCommonData& Data, BackgroundInfo& Info, uint32_t Flags) {
  if (!CommonDataIsSkinned(Data) || Info.Bmp == nullptr || Info.Bmp->Empty()) return;
  TsSkinManager* m = Data.SkinManager();
  const LoadedSkin& skin = m->Skin();
  const SkinSectionRecord& s = skin.Sections[size_t(Data.SkinIndex)];
  int32_t mask = s.OuterMask;
  TRect margins = s.OuterOffsets;
  int32_t opacity = s.OuterOpacity;
  if (!SkinManagerIsValidImageIndex(skin, mask)) {
    if (s.OuterMode < 1 || s.OuterMode > 2) return;
    const SkinShadowRecord& shadow = s.OuterMode == 1 ? skin.SkinData.ActiveShadow : skin.SkinData.InactiveShadow;
    mask = shadow.MaskIndex;
    if (!SkinManagerIsValidImageIndex(skin, mask)) return;
    margins = TRect{shadow.Offsets[0], shadow.Offsets[1], shadow.Offsets[2], shadow.Offsets[3]};
    opacity = shadow.Opacity;
  }
  const SkinImageRecord& rec = skin.Images[size_t(mask)];
  if (MaskSource(rec) == nullptr) return;
  OwnerOf o(Data);
  TRect client{};
  o->Perform(AC_GETCONTROLRECT, reinterpret_cast<LPARAM>(&client));
  if (client.Width() <= 0 || client.Height() <= 0) client = o->ClientRect();
  const TPoint at = TopLeftOf(o->Bounds());
  const TRect R{at.X + Info.Offset.X - margins.Left, at.Y + Info.Offset.Y - margins.Top,
                at.X + Info.Offset.X + client.Width() + margins.Right,
                at.Y + Info.Offset.Y + client.Height() + margins.Bottom};
  if (R.Width() <= 0 || R.Height() <= 0) return;
  const uint8_t alpha = uint8_t(std::clamp(opacity, 0, 255));
  Bitmap& dst = *Info.Bmp;
  if ((Flags & 0x100) && Data.OuterBmp) {
    // Drawn through a copy of the part of the parent's image under the effect.
    Bitmap part(R.Width(), R.Height(), pf32bit);
    dst.Flush();
    CopyPixels(part, TPoint{0, 0}, dst, R);
    const TRect local{0, 0, R.Width(), R.Height()};
    DrawSkinMaskEx(part, local, CacheInfoFromBitmap(&part, 0, 0), rec, 0, margins, alpha);
    CopyPixels(dst, TopLeftOf(R), part, local);
    return;
  }
  DrawSkinMaskEx(dst, R, CacheInfoFromBitmap(&dst, 0, 0), rec, 0, margins, alpha);
}

void CommonDataPaintChildOuterEffects(TsCommonData& Data, gui::TWinControl* parent, Bitmap& Bmp,
                                      const TPoint& Offset) {
  TsSkinManager* m = Data.SkinManager();
  if (m == nullptr || !m->Effects.AllowOuterEffects || !CommonDataIsSkinned(Data)) return;
  if (parent == nullptr) return;
  std::vector<gui::TControl*> children;
  for (int i = 0; i < parent->ControlCount(); ++i) children.push_back(parent->Controls(i));
  for (gui::TControl* child : children) {
    if (!parent->ContainsControl(child) || !child->Visible() || !ControlCanPaint(child)) continue;
    BackgroundInfo bi;
    bi.Bmp = &Bmp;
    bi.BgType = btCache;
    bi.Offset = Offset;
    SendLibraryCommandToControl(child, AC_PAINTOUTEREFFECT, reinterpret_cast<LPARAM>(&bi));
  }
}

}  // namespace skin
