#include "skin/forms/title_glow.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/maskdata.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/manager/win_values.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/state_images.h"

namespace skin {

using namespace wv;

// The layered window of a glow (title_glow_win32.cpp; natively the alpha is only remembered).
void GlowShowWindow(TacSBAnimation& anim, const TRect& screenRect, uint8_t alpha);
// The top-left of the glow's window on the screen (natively none).
TPoint GlowOwnerOrigin(const TacSBAnimation& anim);

TacSBAnimation::TacSBAnimation(gui::TComponent* AOwner) : gui::TTimer(AOwner) {
  SetEnabled(false);
  OnTimer = [this](gui::TObject*) { GlowStep(*this); };
}

TacSBAnimation::~TacSBAnimation() {
  SetEnabled(false);
  GlowFreeWindow(*this);
  if (Button != nullptr && Button->GlowTimer == this) Button->GlowTimer = nullptr;
}

int32_t GlowAlphaStep(const TacSBAnimation& anim) {
  if (anim.StepCount == 0) return 255;
  return std::max(255 / anim.StepCount, 0);
}

namespace {

bool IsGlowButton(int32_t code) { return code == kHtMinButton || code == kHtMaxButton || code == kHtClose; }

TsSkinManager* Manager(const TacSBAnimation& anim) { return anim.SkinData ? SkinDataManager(*anim.SkinData) : nullptr; }

// The skin's glow image of a button image: the image's name followed by "GLOW0" in "GLOBALINFO".
int32_t GlowImageIndex(const TacSBAnimation& anim, int32_t imageIndex) {
  TsSkinManager* m = Manager(anim);
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, imageIndex)) return -1;
  const std::string name = m->Skin().Images[size_t(imageIndex)].KeyName + "GLOW0";
  const int32_t index = SkinManagerGetImageIndexByName(*m, "GLOBALINFO", name);
  return SkinManagerIsValidImageIndex(*m, index) ? index : -1;
}

// The button image the fade shows: the record's, or the restore image for the minimize button of an iconic
// form.
int32_t ButtonImage(const TacSBAnimation& anim) {
  int32_t index = anim.Button->ImageIndex;
  TsSkinManager* m = Manager(anim);
  if (m && anim.Button->HitCode == kHtMinButton && anim.Provider && anim.Provider->Form() &&
      FormWindowIconic(*anim.Provider->Form()))
    index = anim.Button->LargeImage ? m->Skin().CommonIndexes.BIConNorm : m->Skin().CommonIndexes.SIConNorm;
  return index;
}

void FadeTo(TacSBAnimation& anim, int32_t alpha) { GlowPaint(anim, std::clamp(alpha, 0, 255)); }

}  // namespace

int32_t GlowMargin(const TacSBAnimation& anim) {
  TsSkinManager* m = Manager(anim);
  if (m == nullptr || !m->Effects.AllowGlowing || anim.TargetState != 1 || anim.Button == nullptr) return 0;
  const TsSkinData& g = m->SkinData();
  switch (anim.Button->HitCode) {
    case kHtMinButton: return g.BIMinGlowMargin;
    case kHtMaxButton: return g.BIMaxGlowMargin;
    case kHtClose: return g.BICloseGlowMargin;
    default: return 0;
  }
}

TRect GlowRect(TacSBAnimation& anim) {
  TRect r = anim.Button ? anim.Button->Rect : TRect{};
  TPoint origin;
  if (anim.BorderForm) {
    const TRect b = BorderFormScreenRect(*anim.BorderForm);
    origin = TPoint{b.Left, b.Top};
  } else if (anim.Provider && anim.Provider->Form()) {
    const TRect w = FormWindowRect(*anim.Provider->Form());
    origin = TPoint{w.Left, w.Top};
  } else if (anim.OwnerWnd) {
    origin = GlowOwnerOrigin(anim);
  }
  r = TRect{r.Left + origin.X, r.Top + origin.Y, r.Right + origin.X, r.Bottom + origin.Y};
  const int32_t margin = GlowMargin(anim);
  if (margin != 0) {
    TsSkinManager* m = Manager(anim);
    const int32_t glow = GlowImageIndex(anim, ButtonImage(anim));
    if (m && glow >= 0) {
      const SkinImageRecord& image = m->Skin().Images[size_t(glow)];
      r.Left -= margin;
      r.Top -= margin;
      r.Right = r.Left + ImageStateWidth(image);
      r.Bottom = r.Top + ImageFrameHeight(image);
    }
  }
  return r;
}

void GlowBuildImage(TacSBAnimation& anim) {
  if (anim.Button == nullptr || (anim.TargetState < 0 && anim.GlowImage)) return;
  TsSkinManager* m = Manager(anim);
  const TRect button = anim.Button->Rect;
  const int32_t imageIndex = ButtonImage(anim);
  const bool applies = m && m->Effects.AllowGlowing && anim.TargetState == 1 && IsGlowButton(anim.Button->HitCode) &&
                       imageIndex >= 0;
  const int32_t glow = applies ? GlowImageIndex(anim, imageIndex) : -1;
  if (glow >= 0) {
    const SkinImageRecord& image = m->Skin().Images[size_t(glow)];
    const int32_t w = ImageStateWidth(image), h = ImageFrameHeight(image);
    anim.GlowImage = std::make_unique<Bitmap>(w, h, pf32bit);
    if (const Bitmap* src = SkinImageBitmap(m->Skin(), image))
      CopyPieceKeyed(*anim.GlowImage, *src, 0, 0,
                     TRect{image.SourceRect.Left, image.SourceRect.Top, image.SourceRect.Left + w,
                           image.SourceRect.Top + h},
                     clNone, false, EmptyCacheInfo);
    return;
  }
  // The button's picture in the target state over the frame under it.
  anim.GlowImage = std::make_unique<Bitmap>(std::max(0, button.Width()), std::max(0, button.Height()), pf32bit);
  if (anim.GlowImage->Empty()) return;
  if (const Bitmap* cache = anim.SkinData ? anim.SkinData->CacheBmp.get() : nullptr)
    CopyPieceKeyed(*anim.GlowImage, *cache, 0, 0, button, clNone, false, EmptyCacheInfo);
  if (m && SkinManagerIsValidImageIndex(*m, imageIndex) && anim.TargetState >= 0) {
    const SkinImageRecord& image = m->Skin().Images[size_t(imageIndex)];
    DrawImageState(*anim.GlowImage, TPoint{0, 0}, anim.TargetState, CacheInfoFromBitmap(anim.GlowImage.get(), 0, 0),
                   image, 1);
  }
  SetAlphaRect(*anim.GlowImage, TRect{0, 0, anim.GlowImage->Width(), anim.GlowImage->Height()}, 255, clNone);
  if (anim.UserButton && !anim.UserButton->Glyph().Empty())
    DrawGlyphCentred(*anim.GlowImage, anim.UserButton->Glyph(),
                     TRect{0, 0, anim.GlowImage->Width(), anim.GlowImage->Height()}, anim.TargetState == 2);
}

void GlowPaint(TacSBAnimation& anim, int32_t alpha) {
  if (!anim.GlowImage) GlowBuildImage(anim);
  if (!anim.GlowImage || anim.GlowImage->Empty()) return;
  TRect r = GlowRect(anim);
  if (r.Width() != anim.GlowImage->Width() || r.Height() != anim.GlowImage->Height()) {
    const int32_t x = r.Left + (r.Width() - anim.GlowImage->Width()) / 2;
    const int32_t y = r.Top + (r.Height() - anim.GlowImage->Height()) / 2;
    r = TRect{x, y, x + anim.GlowImage->Width(), y + anim.GlowImage->Height()};
  }
  GlowShowWindow(anim, r, uint8_t(std::clamp(alpha, 0, 255)));
}

void GlowStart(TacSBAnimation& anim, int32_t state, bool fadeIn) {
  if (state == anim.TargetState) return;
  anim.TargetState = state;
  const int32_t stepAlpha = GlowAlphaStep(anim);
  if (state != 0) {
    if (state == 2) GlowFreeWindow(anim);
    anim.Step = 1;
    anim.FadingIn = fadeIn;
    FadeTo(anim, std::min(stepAlpha, 255));
    anim.Step = 2;
    if (anim.StepCount > 1) anim.SetEnabled(true);
    return;
  }
  anim.FadingIn = false;
  anim.Step = std::max(0, anim.Step - 1);
  // The fade out starts where the fade in stands.
  FadeTo(anim, stepAlpha * anim.Step);
  if (anim.StepCount > 1) anim.SetEnabled(true);
}

void GlowStep(TacSBAnimation& anim) {
  const int32_t stepAlpha = GlowAlphaStep(anim);
  if (anim.FadingIn) {
    if (anim.StepCount > 0 && anim.Step < anim.StepCount) {
      FadeTo(anim, stepAlpha * anim.Step);
      ++anim.Step;
      return;
    }
    if (SBAnimationCursorLeft(anim)) return;
    if (anim.StepCount != -1) {
      anim.Step = anim.StepCount;
      anim.StepCount = -1;
      FadeTo(anim, 255);
    }
    return;
  }
  if (anim.Step > 0) {
    FadeTo(anim, stepAlpha * anim.Step);
    --anim.Step;
    return;
  }
  anim.TargetState = -1;
  anim.SetEnabled(false);
  GlowFreeWindow(anim);
}

namespace {

// A fade already running on the record is retargeted; true when there was one.
bool RetargetGlow(TitleButtonRecord& record, int32_t state, int32_t stepCount, bool restart) {
  if (TacSBAnimation* anim = record.GlowTimer) {
    // A fade after a completed one counts its steps again.
    const int32_t step = anim->StepCount == -1 ? stepCount : std::min(anim->Step, stepCount);
    anim->StepCount = stepCount;
    anim->Step = step;
    if (!restart) {
      GlowStart(*anim, state, false);
      return true;
    }
    if (state == 2) {
      anim->Step = stepCount;
      GlowFreeWindow(*anim);
      anim->TargetState = state;
      GlowBuildImage(*anim);
    }
    anim->TargetState = state;
    anim->FadingIn = true;
    if (stepCount <= 1) {
      FadeTo(*anim, 255 / std::max(stepCount, 1));
      anim->SetEnabled(false);
    } else {
      anim->SetEnabled(true);
    }
    return true;
  }
  return false;
}

}  // namespace

void AnimateWindowTitleButtonGlow(TitleButtonRecord& record, int32_t state, int32_t stepCount, TsCommonData& data,
                                  void* window, TacBorderForm* border, bool restart) {
  if (gui::Application->Terminated() || RetargetGlow(record, state, stepCount, restart)) return;
  auto* anim = new TacSBAnimation(nullptr);
  anim->BorderForm = border;
  anim->OwnerWnd = window;
  anim->SkinData = &data;
  anim->Button = &record;
  record.GlowTimer = anim;
  anim->StepCount = stepCount;
  anim->SetInterval(12);
  GlowStart(*anim, state, true);
}

void AnimateTitleButtonGlow(TitleButtonRecord& record, int32_t state, int32_t stepCount, TsSkinProvider& provider,
                            bool restart) {
  if (gui::Application->Terminated() || RetargetGlow(record, state, stepCount, restart)) return;
  auto* anim = new TacSBAnimation(&provider);
  anim->Provider = &provider;
  anim->BorderForm = provider.BorderForm.get();
  anim->OwnerWnd = provider.Form() ? FormWindowHandle(*provider.Form()) : nullptr;
  anim->SkinData = &provider.SkinData();
  for (int i = 0; i < provider.TitleButtons().Count(); ++i)
    if (&provider.TitleButtons().Items(i)->Data == &record) anim->UserButton = provider.TitleButtons().Items(i);
  anim->Button = &record;
  record.GlowTimer = anim;
  anim->StepCount = stepCount;
  anim->SetInterval(12);
  GlowStart(*anim, state, true);
}

}  // namespace skin
