#include "skin/timer/acthdtimer.h"

#include <algorithm>
#include <cmath>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "skin/data/scommondata.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"

namespace skin {

TacThreadedTimer::TacThreadedTimer(gui::TComponent* AOwner) : gui::TComponent(AOwner) {
  CommonDataReleasers().AnimTimer = &ReleaseAnimTimer;
  FThreadPriority = tpNormal;
  Step = 0;
  State = -1;
  StepCount = acAnimStepCount;
  if (gui::Application->Terminated()) return;
  FEnabled = 1;
  FInterval = 1000;
  FTimer = new gui::TTimer(nullptr);
  FTimer->OnTimer = [this](gui::TObject*) { Tick(); };
  UpdateTimer();
}

TacThreadedTimer::TacThreadedTimer(gui::TComponent* AOwner, void* Owner, bool UseOwnStep)
    : TacThreadedTimer(AOwner) {
  SetEnabled(false);
  OwnerObject = Owner;
  if (UseOwnStep) SetOnTimer([this](gui::TObject*) { OwnStep(); });
}

TacThreadedTimer::~TacThreadedTimer() {
  Destroying = 1;
  if (FTimer != nullptr) {
    gui::TTimer* inner = FTimer;
    FTimer = nullptr;
    inner->SetEnabled(false);
    if (FCounted) ledger::Freed(ledger::kTimer);
    FCounted = false;
    gui::Free(inner);
  }
  OldImage.reset();
  NewImage.reset();
  Frame.reset();
}

void TacThreadedTimer::SetEnabled(bool Value) {
  if (FTimer == nullptr || uint8_t(Value) == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TacThreadedTimer::SetInterval(uint32_t Value) {
  if (FTimer == nullptr || Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TacThreadedTimer::SetOnTimer(gui::TNotifyEvent Value) {
  if (FTimer == nullptr) return;
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TacThreadedTimer::SetThreadPriority(TThreadPriority Value) {
  if (FTimer == nullptr || Value == FThreadPriority) return;
  FThreadPriority = Value;
  UpdateTimer();
}

void TacThreadedTimer::SetStepProc(TacAnimStepProc Value) {
  FStepProc = Value;
  UpdateTimer();
}

bool TacThreadedTimer::Running() const { return FTimer != nullptr && FTimer->Enabled(); }

void TacThreadedTimer::UpdateTimer() {
  if (FTimer == nullptr) return;
  FTimer->SetEnabled(false);
  const bool run = FInterval != 0 && FEnabled != 0 && (FOnTimer || FStepProc != nullptr);
  if (run) {
    FTimer->SetInterval(FInterval);
    FTimer->SetEnabled(true);
  }
  // The inner timer's system timer is not made through the ledger's wrappers: counted here.
  if (run != FCounted) {
    if (run)
      ledger::Made(ledger::kTimer);
    else
      ledger::Freed(ledger::kTimer);
    FCounted = run;
  }
}

template <class F>
bool TacThreadedTimer::RunStep(F step) {
  const uint8_t outer = Busy;
  Busy = 1;
  try {
    step();
  } catch (...) {
    Busy = outer;
    if (FreePending && !outer) gui::Free(this);
    throw;
  }
  Busy = outer;
  if (FreePending && !outer) {
    gui::Free(this);
    return false;
  }
  return true;
}

void TacThreadedTimer::Tick() {
  if (FTimer == nullptr || !FTimer->Enabled() || Busy != 0) return;
  RunStep([this] { DoStep(); });
}

void TacThreadedTimer::DoStep() {
  if (FStepProc != nullptr) {
    ++Step;
    if (Step > StepCount)
      SetEnabled(false);
    else
      FStepProc(AnimTarget, Step);
  } else if (FOnTimer) {
    const gui::TNotifyEvent handler = FOnTimer;  // kept while it runs
    handler(this);
  }
}

void TacThreadedTimer::OwnStep() {
  if (FEnabled == 0 || FStepProc == nullptr) return;
  bool goOn = true;
  if (!RunStep([&] { goOn = FStepProc(AnimTarget, Step); })) return;  // the step freed this timer
  if (!goOn) {
    SetEnabled(false);
    State = -1;
  }
}

void TacThreadedTimer::BeforeDestruction() {
  Destroying = 1;
  gui::TComponent::BeforeDestruction();
}

int32_t AnimTimerStepOrCreate(TacThreadedTimer*& Timer, void* Owner, bool Mirror) {
  if (Timer != nullptr) return Mirror ? std::max(0, acAnimStepCount - Timer->Step) : std::max(0, Timer->Step);
  Timer = new TacThreadedTimer(nullptr, Owner, true);
  return 0;
}

void AnimTimerStart(TacThreadedTimer& Timer, TsCommonData* Target, int32_t StartStep, bool Fast, int32_t State,
                    TacAnimStepProc StepProc) {
  Timer.AnimTarget = Target;
  if (Timer.Frame) {
    // Interrupting an animation: start from the picture on screen, for the part of the steps not yet run.
    AnimTimerTakeSnapshot(Timer, Timer.OldImage, *Timer.Frame, MakeRect(0, 0, Timer.Frame->Width(), Timer.Frame->Height()));
    Timer.Step = 0;
    const int32_t oldCount = Timer.StepCount;
    Timer.StepCount = oldCount == 0 ? acAnimStepCount
                                    : int32_t(std::nearbyint(double(acAnimStepCount - StartStep) * acAnimStepCount /
                                                             double(oldCount)));
  } else {
    Timer.Step = StartStep;
    Timer.StepCount = acAnimStepCount;
  }
  Timer.SetInterval(acAnimInterval);
  Timer.SetStepProc(StepProc);
  if (Fast) {
    Timer.StepCount /= 2;
    Timer.Step /= 2;
  }
  // An animation always has at least one step left: the step functions divide by the count, and the last step
  // is the one that ends it (a fade started at its end would otherwise never finish).
  if (Timer.StepCount < 1) Timer.StepCount = 1;
  Timer.Step = std::clamp(Timer.Step, 0, Timer.StepCount - 1);
  Timer.State = State;
}

void AnimTimerTakeSnapshot(TacThreadedTimer&, std::unique_ptr<Bitmap>& Target, const Bitmap& Source,
                           const TRect& R) {
  const int32_t w = std::max(0, R.Right - R.Left);
  const int32_t h = std::max(0, R.Bottom - R.Top);
  if (!Target)
    Target = NewBitmap32(w, h);
  else {
    if (Target->PixelFormat() != pf32bit) Target->SetPixelFormat(pf32bit);
    Target->SetSize(w, h);
  }
  if (w > 0 && h > 0 && &Source != Target.get())
    StretchCopy(*Target, MakeRect(0, 0, w, h), Source, MakeRect(R.Left, R.Top, R.Left + w, R.Top + h));
}

void ReleaseAnimTimer(TacThreadedTimer*& Timer) {
  TacThreadedTimer* t = Timer;
  Timer = nullptr;
  if (t == nullptr || t->Destroying != 0 || t->FreePending != 0) return;
  if (t->Busy != 0) {
    t->FreePending = 1;
    t->AnimTarget = nullptr;
    t->SetEnabled(false);
    return;
  }
  gui::Free(t);
}

}  // namespace skin
