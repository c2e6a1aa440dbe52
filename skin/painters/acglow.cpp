#include "skin/painters/acglow.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "gui/forms.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/timer/acthdtimer.h"
#include "skin/painters/acglow_window.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"
#include "skin/painters/skin_mask.h"

namespace skin {

namespace {

struct GlowState {
  std::vector<TacGlowEffect*> list;
  uint8_t releasing = 0;
};

GlowState& State() {
  static GlowState state;
  return state;
}

bool OwnerDestroying(const TsCommonData* data) {
  if (data == nullptr) return false;
  const auto* component = dynamic_cast<const gui::TComponent*>(data->OwnerObject);
  return (data->OwnerControl != nullptr && data->OwnerControl->IsDestroying()) ||
         (component != nullptr && component->IsDestroying());
}

bool Terminating() { return gui::Application->Terminated(); }

TacGlowEffect* GlowAt(int32_t id) {
  auto& list = State().list;
  return id >= 0 && size_t(id) < list.size() ? list[size_t(id)] : nullptr;
}

// The glow's window back to its own procedure, then freed at once or released from the message loop.
void DropWindow(TacGlowEffect& glow, bool atOnce) {
  if (glow.Form == nullptr) return;
  GlowWindowRestoreProc(glow);
  TacGlowForm* form = glow.Form;
  glow.Form = nullptr;
  const uint8_t wasReleasing = GlowReleasing();
  GlowReleasing() = 1;
  if (atOnce)
    GlowWindowFree(form);
  else
    GlowWindowRelease(form);
  GlowReleasing() = wasReleasing;
}

void ReleaseGlowOfData(int32_t& id) { HideGlow(id, false); }

}  // namespace

std::vector<TacGlowEffect*>& GlowList() { return State().list; }
uint8_t& GlowReleasing() { return State().releasing; }

TacGlowEffect::~TacGlowEffect() {
  DropWindow(*this, OwnerDestroying(SkinData) || Terminating());
  Bitmap.reset();
  if (SkinData != nullptr && SkinData->AnimTimer != nullptr && SkinData->AnimTimer->IsGlowTimer != 0 &&
      SkinData->AnimTimer->Destroying == 0)
    ReleaseAnimTimer(SkinData->AnimTimer);
}

TSize GlowWindowSize(const TacGlowEffect& Glow, int32_t Width, int32_t Height) {
  const TsSkinManager* m = Glow.SkinManager;
  if (m == nullptr) return TSize{Width, Height};
  const LoadedSkin& skin = m->Skin();
  return TSize{Width + SkinMaskBorderLeft(skin, Glow.ImageIndex) + SkinMaskBorderRight(skin, Glow.ImageIndex) -
                   2 * Glow.Margin,
               Height + SkinMaskBorderTop(skin, Glow.ImageIndex) + SkinMaskBorderBottom(skin, Glow.ImageIndex) -
                   2 * Glow.Margin};
}

void GlowPaintBitmap(TacGlowEffect& Glow, int32_t W, int32_t H) {
  Glow.Bitmap.reset();
  Glow.Bitmap = NewBitmap32(W, H);  // black, alpha 0
  if (Glow.ImageIndex >= 0 && Glow.SkinManager != nullptr &&
      SkinManagerIsValidImageIndex(Glow.SkinManager->Skin(), Glow.ImageIndex))
    DrawSkinMask(*Glow.Bitmap, TRect{0, 0, W, H}, EmptyCacheInfo,
                 Glow.SkinManager->Skin().Images[size_t(Glow.ImageIndex)], 0, false);
  if (Glow.SkinData == nullptr) return;
  // The control's colour effects (the saturation in percent of 255).
  const TsCommonData& d = *Glow.SkinData;
  if (d.ColorTone != clNone) ApplyPixelFunc(*Glow.Bitmap, PixelTone, ColorToRGB(d.ColorTone), KeyColor);
  if (d.HUEOffset != 0) ApplyPixelFunc(*Glow.Bitmap, PixelHue, d.HUEOffset, KeyColor);
  if (d.Saturation != 0)
    ApplyPixelFunc(*Glow.Bitmap, PixelSaturation, std::clamp(int32_t(d.Saturation * 2.55), -255, 255), KeyColor);
}

int32_t ShowGlow(const TRect& ControlRect, std::string_view SectionName, std::string_view PropertyName,
                 TsCommonData* SkinData, void* OwnerWnd, uint8_t Alpha, int32_t Margin) {
  if (!GlowWindowsAvailable() || SkinData == nullptr) return -1;
  TsSkinManager* manager = SkinDataManager(*SkinData);
  if (manager == nullptr) return -1;
  const int32_t image =
      SkinManagerGetImageIndexByName(*manager, SectionName, std::string(PropertyName) + "0");
  if (image < 0) return -1;
  CommonDataReleasers().Glow = &ReleaseGlowOfData;
  auto glow = std::make_unique<TacGlowEffect>();
  glow->SkinData = SkinData;
  glow->SkinManager = manager;
  glow->Margin = Margin;
  glow->ImageIndex = image;
  TacGlowEffect* g = glow.release();
  GlowList().push_back(g);
  const int32_t id = int32_t(GlowList().size() - 1);
  try {
    GlowWindowCreate(*g, ControlRect, OwnerWnd, Alpha);
  } catch (...) {
    GlowList()[size_t(id)] = nullptr;
    delete g;
    throw;
  }
  return id;
}

void SetGlowAlpha(int32_t GlowID, uint8_t Alpha) {
  TacGlowEffect* glow = GlowAt(GlowID);
  if (glow != nullptr) GlowWindowUpdate(*glow, Alpha);
}

void HideGlow(int32_t& GlowID, bool Animate) {
  TacGlowEffect* glow = GlowAt(GlowID);
  if (glow == nullptr) return;
  TsCommonData* data = glow->SkinData;
  if (Animate && !Terminating() && data != nullptr &&
      (data->AnimTimer == nullptr || data->AnimTimer->IsGlowTimer != 0)) {
    const int32_t startStep = AnimTimerStepOrCreate(data->AnimTimer, data, true);
    TacThreadedTimer& timer = *data->AnimTimer;
    timer.IsGlowTimer = 1;
    if (timer.State != 2) {
      AnimTimerStart(timer, data, startStep, false, 2, &GlowFadeStep);
      timer.SetEnabled(true);
    }
    return;  // the glow stays in the list until its fade ends
  }
  const size_t index = size_t(GlowID);
  DropWindow(*glow, OwnerDestroying(data) || Terminating());
  GlowList()[index] = nullptr;
  GlowID = -1;
  delete glow;
}

void ClearGlows(bool ReleaseWindows) {
  if (GlowReleasing()) return;
  std::vector<TacGlowEffect*> glows;
  glows.swap(GlowList());  // a release that triggers messages finds an empty list
  for (TacGlowEffect* glow : glows) {
    if (glow == nullptr) continue;
    if (ReleaseWindows) DropWindow(*glow, true);
    if (glow->SkinData != nullptr) glow->SkinData->GlowID = -1;
    delete glow;
  }
}

bool GlowFadeStep(TsCommonData* SkinData, int32_t Step) {
  if (SkinData == nullptr || GlowAt(SkinData->GlowID) == nullptr) return false;
  if (Step < acAnimStepCount) {
    const long alpha = 255 - std::lrint(double(Step) * 255.0 / acAnimStepCount);
    SetGlowAlpha(SkinData->GlowID, uint8_t(std::clamp(alpha, 0L, 255L)));
    return true;
  }
  HideGlow(SkinData->GlowID, false);
  if (SkinData->AnimTimer != nullptr && SkinData->AnimTimer->Destroying == 0) ReleaseAnimTimer(SkinData->AnimTimer);
  return false;
}

bool CommonDataSetGlowAlpha(TsCommonData* Data, int32_t Step) {
  if (Data == nullptr || GlowAt(Data->GlowID) == nullptr) return false;
  SetGlowAlpha(Data->GlowID, uint8_t(std::clamp(std::lrint(double(Step) * 255.0 / acAnimStepCount), 0L, 255L)));
  return true;
}

void CommonDataShowGlow(TsCommonData& Data, bool Hide, void* Wnd, bool Animate, uint8_t Alpha) {
  TsSkinManager* manager = SkinDataManager(Data);
  if (manager == nullptr || !manager->Effects.AllowGlowing || manager->Options.NoMouseHover ||
      !SkinManagerIsValidSectionIndex(manager->Skin(), Data.SkinIndex))
    return;
  const SkinSectionRecord& section = manager->Skin().Sections[size_t(Data.SkinIndex)];
  if (section.GlowSize <= 0) return;
  if (Data.OwnerControl != nullptr && (Data.OwnerControl->ComponentState() & gui::csDesigning) != 0) return;
  if (Data.MouseAbove == 0 || (Hide && Data.GlowID >= 0)) {
    HideGlow(Data.GlowID, Animate);
    return;
  }
  if (GlowAt(Data.GlowID) != nullptr) return;  // shown already
  TRect rect;
  void* owner = nullptr;
  if (!GlowOwnerRect(Data, Wnd, rect, owner)) return;
  Data.GlowID = ShowGlow(rect, section.SectionName, "GLOW", &Data, owner, Animate ? 0 : Alpha, section.GlowMargin);
  if (!Animate || Data.GlowID < 0) return;
  // A glow timer fades the new glow in.
  if (Data.AnimTimer != nullptr && Data.AnimTimer->IsGlowTimer == 0) return;
  AnimTimerStepOrCreate(Data.AnimTimer, &Data, true);
  TacThreadedTimer& timer = *Data.AnimTimer;
  timer.IsGlowTimer = 1;
  timer.Frame.reset();
  AnimTimerStart(timer, &Data, 0, false, 1, &CommonDataSetGlowAlpha);
  timer.SetEnabled(true);
}

}  // namespace skin
