#include "skin/painters/acanimation.h"

#include <algorithm>
#include <cmath>

#include "gui/controls.h"
#include "gui/forms.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/acanimation_window.h"
#include "skin/painters/acglow.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"

namespace skin {

namespace {

struct Switches {
  uint8_t off = 0;
  uint8_t locked = 0;
  void* refreshWindow = nullptr;
};

Switches& State() {
  static Switches switches;
  return switches;
}

// The skin data's window: its windowed owner's, else its own.
void* DataWindow(const TsCommonData& data) {
  if (auto* w = dynamic_cast<gui::TWinControl*>(data.OwnerControl); w != nullptr && w->HandleAllocated())
    return w->WindowHandle();
  return data.WndHandle;
}

intptr_t SendToOwner(TsCommonData& data, uint16_t code, intptr_t lParam, uint16_t low = 0) {
  const WPARAM w = MAKEWPARAM(low, code);
  if (data.OwnerControl != nullptr) {
    auto* windowed = dynamic_cast<gui::TWinControl*>(data.OwnerControl);
    if (windowed != nullptr && windowed->HandleAllocated())
      return SendWindowMessage(windowed->WindowHandle(), library_command::Message, w, lParam);
    return data.OwnerControl->Perform(library_command::Message, w, lParam);
  }
  return data.WndHandle != nullptr ? SendWindowMessage(data.WndHandle, library_command::Message, w, lParam) : 0;
}

// A picture copied at its size into a (created or resized) 32-bit bitmap.
void CopyInto(std::unique_ptr<Bitmap>& target, const Bitmap& source, int32_t w, int32_t h) {
  if (!target)
    target = NewBitmap32(w, h);
  else if (target->Width() != w || target->Height() != h)
    target->SetSize(w, h);
  StretchCopy(*target, TRect{0, 0, w, h}, source, TRect{0, 0, w, h});
}

// The glow's alpha during the change, and the end of the animation. True while steps remain.
bool GlowAndEnd(TsCommonData& data, TacThreadedTimer& timer, uint8_t a) {
  if (timer.StepCount > timer.Step) {
    if (data.GlowID >= 0) {
      if (timer.State == 1) {
        SetGlowAlpha(data.GlowID, uint8_t(255 - a));
      } else {
        const long glow =
            std::clamp(std::lrint(255.0 * (timer.StepCount - timer.Step) / acAnimStepCount), 0L, 255L);
        if (glow < 10)
          HideGlow(data.GlowID, false);
        else
          SetGlowAlpha(data.GlowID, uint8_t(glow));
      }
    }
    return true;
  }
  const int32_t state = timer.State;
  if (state != 1) HideGlow(data.GlowID, false);
  if (state == 0) CommonDataStopAnimation(data);
  return false;
}

}  // namespace

uint8_t& AnimationsOff() { return State().off; }
uint8_t& AnimationsLocked() { return State().locked; }
void*& RefreshBroadcastWindow() { return State().refreshWindow; }

bool IsAnimatedEvent(TacAnimatEvent Event, TacAnimatEvents ControlEvents, TsSkinManager* Manager) {
  if ((ControlEvents & AnimatEventSet(Event)) != 0) return true;
  if ((ControlEvents & AnimatEventSet(aeGlobalDef)) == 0 || Event == aeGlobalDef) return false;
  static constexpr TacBtnEvents kMapped[] = {beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
  const TsSkinManager* m = ManagerOrDefault(Manager);
  return m != nullptr && (m->AnimEffects.Buttons.Events & kMapped[Event]) != 0;
}

uint8_t ChangeAnimationFactor(int32_t Step, int32_t StepCount) {
  if (StepCount < 1) StepCount = 1;
  return uint8_t(std::clamp(255L - std::lrint(255.0 * Step / StepCount), 0L, 255L));
}

void StartChangeAnimation(TsCommonData& SkinData, int32_t NewState, TacAnimStepProc StepProc, bool ShowGlow,
                          bool Fast, bool Animate) {
  if (!SkinDataSkinned(SkinData)) return;
  if (Animate && !AnimationsOff() && !AnimationsLocked() && SkinData.CacheBmp && SkinData.Animating == 0) {
    if (ShowGlow && NewState < 100) CommonDataShowGlow(SkinData, false, SkinData.WndHandle, false, 0);
    // Animating guards the set-up (the control repaints its cache inside it). It does not outlast it: a change
    // while an animation runs reverses from the frame on screen, and a finished animation does not keep the
    // next change from animating.
    SkinData.Animating = 1;
    try {
      SetupChangeAnimation(SkinData, NewState, StepProc, Fast);
    } catch (...) {
      SkinData.Animating = 0;
      throw;
    }
    SkinData.Animating = 0;
    return;
  }
  CommonDataRepaint(SkinData, true);
  if (ShowGlow && NewState < 100) CommonDataShowGlow(SkinData, false, SkinData.WndHandle, false, 255);
}

void SetupChangeAnimation(TsCommonData& SkinData, int32_t NewState, TacAnimStepProc StepProc, bool Fast) {
  const int32_t startStep = AnimTimerStepOrCreate(SkinData.AnimTimer, &SkinData, true);
  TacThreadedTimer* timer = SkinData.AnimTimer;
  if (timer == nullptr || timer->State == NewState) return;
  timer->IsGlowTimer = 0;  // a glow fade it ran gives way to the change
  const Bitmap* cache = SkinData.CacheBmp.get();
  if (cache == nullptr) return;
  if (!timer->Frame || timer->Frame->Width() != cache->Width() || timer->Frame->Height() != cache->Height()) {
    timer->Frame.reset();
    AnimTimerTakeSnapshot(*timer, timer->OldImage, *cache, TRect{0, 0, cache->Width(), cache->Height()});
  }
  // The control paints its cache in the new state.
  const intptr_t answer = SendToOwner(SkinData, library_command::UpdateCache, 0);
  timer = SkinData.AnimTimer;  // the repaint may have stopped the animation
  if (timer == nullptr || !SkinData.CacheBmp) return;
  timer->SetEnabled(answer == 0);
  cache = SkinData.CacheBmp.get();
  AnimTimerTakeSnapshot(*timer, timer->NewImage, *cache, TRect{0, 0, cache->Width(), cache->Height()});
  AnimTimerStart(*timer, &SkinData, startStep, Fast, NewState, StepProc);
  timer->OwnStep();
}

bool ChangeAnimationStep(TsCommonData* SkinData, int32_t) {
  if (SkinData == nullptr || SkinData->AnimTimer == nullptr) return false;
  auto* control = dynamic_cast<gui::TGraphicControl*>(SkinData->OwnerControl);
  TacThreadedTimer& timer = *SkinData->AnimTimer;
  if (control == nullptr || control->IsDestroying() || timer.StepCount == 0 || !timer.OldImage || !timer.NewImage)
    return false;
  const int32_t w = control->Width(), h = control->Height();
  CopyInto(timer.Frame, *timer.OldImage, w, h);
  const uint8_t a = ChangeAnimationFactor(timer.Step, timer.StepCount);
  BlendBitmapsConst(*timer.Frame, *timer.NewImage, a, TRect{0, 0, w - 1, h - 1}, TPoint{0, 0});
  control->Perform(library_command::Message, MAKEWPARAM(0, library_command::SetRepaintPending), 0);
  control->Perform(library_command::Message, MAKEWPARAM(0, library_command::Repaint), 0);
  if (RefreshBroadcastWindow() != nullptr)
    SendWindowMessage(RefreshBroadcastWindow(), library_command::Message,
                      MAKEWPARAM(0, library_command::SkinRefresh), intptr_t(SkinDataManager(*SkinData)));
  if (SkinData->AnimTimer != &timer) return false;  // a repaint stopped the animation
  return GlowAndEnd(*SkinData, timer, a);
}

bool ChangeAnimationStepWnd(TsCommonData* SkinData, int32_t) {
  if (SkinData == nullptr || SkinData->AnimTimer == nullptr || !SkinData->CacheBmp) return false;
  void* window = DataWindow(*SkinData);
  if (window == nullptr) return false;
  TacThreadedTimer& timer = *SkinData->AnimTimer;
  if (timer.StepCount == 0 || !timer.OldImage) return false;
  const Bitmap& cache = *SkinData->CacheBmp;
  CopyInto(timer.Frame, *timer.OldImage, cache.Width(), cache.Height());
  const uint8_t a = ChangeAnimationFactor(timer.Step, timer.StepCount);
  BlendBitmapsConst(*timer.Frame, cache, a, TRect{0, 0, cache.Width() - 1, cache.Height() - 1}, TPoint{0, 0});
  CopyFrameToWindow(window, *timer.Frame);
  return GlowAndEnd(*SkinData, timer, a);
}

bool CommonDataAnimationRunning(const TsCommonData& Data) {
  return Data.AnimTimer != nullptr && Data.AnimTimer->Enabled();
}

void CommonDataStopAnimation(TsCommonData& Data) {
  Data.Animating = 0;
  TacThreadedTimer* timer = Data.AnimTimer;
  if (timer == nullptr || timer->Destroying != 0 || timer->Busy != 0) return;
  timer->SetEnabled(false);
  timer->State = -1;
  ReleaseAnimTimer(Data.AnimTimer);
}

void CommonDataRepaint(TsCommonData& Data, bool Now) {
  if (Data.RepaintBlocked != 0) return;
  gui::TControl* control = Data.OwnerControl;
  if (control != nullptr) {
    if (control->IsDestroying() || control->IsLoading()) return;
    Data.BGChanged = true;
    auto* windowed = dynamic_cast<gui::TWinControl*>(control);
    if (control->Parent() == nullptr || (windowed != nullptr && !windowed->HandleAllocated())) return;
    if (windowed != nullptr)
      RedrawOwnerWindow(windowed->WindowHandle(), Now);
    else
      control->Invalidate();
    return;
  }
  if (Data.WndHandle != nullptr) {
    Data.BGChanged = true;
    RedrawOwnerWindow(Data.WndHandle, Now);
    return;
  }
  // A form skin provider: its form (the provider's owner) is redrawn.
  if (Data.ControlKind == ckFormProvider) {
    Data.BGChanged = true;
    auto* provider = dynamic_cast<gui::TComponent*>(Data.OwnerObject);
    auto* form = provider ? dynamic_cast<gui::TWinControl*>(provider->Owner()) : nullptr;
    if (form != nullptr && form->HandleAllocated()) RedrawOwnerWindow(form->WindowHandle(), Now);
  }
}

}  // namespace skin
