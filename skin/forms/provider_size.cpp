#include "skin/forms/provider_size.h"

#include "skin/engine/commondata.h"
#include "skin/engine/maskdata.h"
#include "skin/engine/sskinmanager.h"
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

}  // namespace skin
