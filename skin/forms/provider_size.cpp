#include "skin/forms/provider_size.h"

#include "skin/manager/commondata.h"
#include "skin/data/maskdata.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/form_window.h"

namespace skin {

void ProviderInvalidateCornerImages(TsSkinProvider& p, const TRect& before, const TSize& now) {
  if (before.Width() != 0 && before.Width() == now.cx && before.Height() == now.cy) return;
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || p.Form() == nullptr) return;
  const LoadedSkin& skin = m->Skin();
  const int32_t section = p.SkinData().SkinIndex;
  if (!SkinManagerIsValidSectionIndex(skin, section)) return;
  const SkinSectionRecord& s = skin.Sections[size_t(section)];
  const bool erase = !CommonDataUseParentCache(p.SkinData());
  if (SkinManagerIsValidImageIndex(skin, s.ImgTopRight)) {
    const SkinImageRecord& image = skin.Images[size_t(s.ImgTopRight)];
    InvalidateFormClientRect(*p.Form(), TRect{before.Right - ImageStateWidth(image), before.Top, before.Right,
                                              before.Top + ImageFrameHeight(image)},
                             erase);
  }
  if (SkinManagerIsValidImageIndex(skin, s.ImgBottomRight)) {
    const SkinImageRecord& image = skin.Images[size_t(s.ImgBottomRight)];
    InvalidateFormClientRect(*p.Form(), TRect{before.Right - ImageStateWidth(image),
                                              before.Bottom - ImageFrameHeight(image), before.Right, before.Bottom},
                             erase);
  }
}

uint16_t ProviderSizeDependency(const TsSkinProvider& p) {
  const TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !SkinManagerIsValidSectionIndex(m->Skin(), p.SkinData().SkinIndex)) return 0;
  const SkinStateBlock& b = m->Skin().Sections[size_t(p.SkinData().SkinIndex)].NormalState;
  if (b.GradientPercent == 0 || b.GradientSteps.empty()) return 0;
  switch (b.GradientSteps.front().Mode) {
    case 0: return kDependsOnHeight;  // rows, top to bottom
    case 1: return kDependsOnWidth;   // columns, left to right
    case 2: return kDependsOnWidth | kDependsOnHeight;
    default: return 0;
  }
}

bool ProviderResizeMovesChildBackgrounds(const TsSkinProvider& p, const TSize& before, const TSize& now) {
  const uint16_t depends = ProviderSizeDependency(p);
  return ((depends & kDependsOnWidth) && before.cx != now.cx) || ((depends & kDependsOnHeight) && before.cy != now.cy);
}

uint16_t ProviderTransparencyWord(TsSkinProvider& p) {
  TsScrollWndData& d = p.SkinData();
  if (d.CtrlState & csUndecided) {
    const uint16_t kept = uint16_t(d.CtrlState & ~(csTransparent | csUndecided));
    CommonDataUpdateTransparency(d, false);
    d.CtrlState = uint16_t((d.CtrlState & (csTransparent | csUndecided)) | kept);
  }
  return d.CtrlState;
}

}  // namespace skin
