// The provider's side of the manager's form animations (see provider_anim_hooks.h).
#include "skin/forms/provider_anim_hooks.h"

#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_hide.h"

namespace skin {

const Bitmap* TsSkinProvider::FrameCacheBitmap() const {
  const Bitmap* cache = SkinData().CacheBmp.get();
  return cache != nullptr && !cache->Empty() ? cache : nullptr;
}

void TsSkinProvider::PaintFrame() {
  ProviderPaintFrame(*this);
  // The corners cut away follow the skin the frame was just composed with (a skin change asks for both in turn).
  if (!BorderForm) ProviderCollectRegionRects(*this);
}

std::vector<TRect> TsSkinProvider::RegionCutOuts() const {
  // With a border window the frame's corners are transparent in the image itself.
  if (BorderForm) return {};
  return RegionRects;
}

TacAnimWindow TsSkinProvider::AnimationWindow(bool Hide) {
  if (BorderForm) return ProviderBorderAnimationWindow(*this, Hide);
  // A hide shows its picture on the cover the provider keeps over the hiding form, when there is one.
  if (Hide) return ProviderTakeSnapshotCover(*this);
  return {};
}

void TsSkinProvider::FreeBorderForm(bool WindowOnly) {
  if (!BorderForm) return;
  if (WindowOnly) {
    ProviderDestroyBorderWindow(*this);
    BorderForm->Hidden = true;
    SkinData().BGChanged = true;
  } else {
    BorderForm.reset();
  }
}

void TsSkinProvider::AfterAnimation(int32_t Value) {
  if (OnAfterAnimation) OnAfterAnimation(Value);
}

void TsSkinProvider::KeepShowPicture(std::unique_ptr<Bitmap> Picture, const TPoint& WindowAt) {
  ShowPicture = std::move(Picture);
  ShowPictureAt = WindowAt;
}

}  // namespace skin
