#pragma once
// The library's timer component and the engine of every stepped animation: the state-change cross-fade of
// skinned controls, glow fading and, through descendants, the form move and minimize animations. Despite its name
// it runs no thread: an inner window-message timer (gui::TTimer) of the GUI thread does the work, on the
// application's clock natively.
//
// A stepped animation has a target (the skin data of the control that animates), a step function and a step
// count; each tick adds one to Step and calls the step function until Step passes StepCount. An animation that
// interrupts another starts from the picture on screen (Frame) and takes the part of the 11 steps that the
// interrupted one had not run. Every animation has at least one step left to run when it starts.
//
// Lifetime: the owner frees the timer (ReleaseAnimTimer). A step function may free the timer that runs it (the
// end of a glow fade does): the timer is then stopped and cut from its target at once, and goes when the step
// returns, touching nothing of itself afterwards.
#include <cstdint>
#include <memory>

#include "gui/classes.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace gui {
class TTimer;
}

namespace skin {

struct TsCommonData;

// The step function of a stepped animation: (target, step) -> go on.
using TacAnimStepProc = bool (*)(TsCommonData* Target, int32_t Step);

enum TThreadPriority : uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The full length of a stepped animation, and its tick.
inline constexpr int32_t acAnimStepCount = 11;
inline constexpr uint32_t acAnimInterval = 12;

class TacThreadedTimer : public gui::TComponent {
 public:
  // Unless the application is terminating: enabled, interval 1000 and an inner timer (which stays off until a
  // handler or a step function exists). A timer made while it terminates stays disabled without an inner timer.
  explicit TacThreadedTimer(gui::TComponent* AOwner);
  // The same, then disabled, with the object that owns it kept. With UseOwnStep, OnTimer runs OwnStep.
  TacThreadedTimer(gui::TComponent* AOwner, void* Owner, bool UseOwnStep);
  ~TacThreadedTimer() override;
  GUI_CLASS_NAME("TacThreadedTimer")

  // Setters store a changed value and re-evaluate the inner timer: it runs only while Interval is not 0,
  // Enabled is set and an OnTimer handler or a step function exists. On a timer without an inner timer (made
  // while the application terminated) they do nothing.
  bool Enabled() const { return FEnabled != 0; }
  void SetEnabled(bool Value);
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t Value);
  const gui::TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(gui::TNotifyEvent Value);
  TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(TThreadPriority Value);
  TacAnimStepProc StepProc() const { return FStepProc; }
  void SetStepProc(TacAnimStepProc Value);

  // Whether the inner timer exists and is running (what the system timer does).
  bool Running() const;
  bool HasInnerTimer() const { return FTimer != nullptr; }

  // One tick of the inner timer: one step unless a step is already running (a message loop nested in a step).
  void Tick();
  // One step: with a step function, Step + 1 and the function (the timer switches off once Step passes
  // StepCount); without one, OnTimer.
  void DoStep();
  // The own step method of owned timers (descendants override it): with Enabled and a step function, the
  // function at the current step; a False answer switches the timer off and clears State.
  virtual void OwnStep();

  void BeforeDestruction() override;

  uint8_t Busy = 0;
  uint8_t Destroying = 0;
  uint8_t FreePending = 0;             // freed while inside a step: goes when the step returns
  void* OwnerObject = nullptr;        // the object that owns an owned timer (the Owner of CreateOwned); not owned
  TsCommonData* AnimTarget = nullptr;  // not owned
  int32_t State = -1;                  // the state the animation goes to; -1 none
  int32_t Step = 0;
  int32_t StepCount = acAnimStepCount;
  int32_t IsGlowTimer = 0;             // 1 for a timer that fades a glow
  std::unique_ptr<Bitmap> NewImage;    // the control's picture in the new state
  std::unique_ptr<Bitmap> Frame;       // the picture being shown
  std::unique_ptr<Bitmap> OldImage;    // the picture in the old state

 private:
  void UpdateTimer();
  // Runs a step with Busy set; a free asked for during the step happens after it. False when the timer went.
  template <class F>
  bool RunStep(F step);

  uint8_t FEnabled = 0;
  uint32_t FInterval = 0;
  gui::TNotifyEvent FOnTimer;
  gui::TTimer* FTimer = nullptr;  // owned
  TThreadPriority FThreadPriority = tpNormal;
  TacAnimStepProc FStepProc = nullptr;
  bool FCounted = false;          // the inner timer's system timer is in the leak ledger
};

// The steps left to mirror (with Mirror: Max(0, 11 - Step)), or the steps run (Max(0, Step)) of an existing
// timer; otherwise a new owned timer for the owner object is made and the answer is 0.
int32_t AnimTimerStepOrCreate(TacThreadedTimer*& Timer, void* Owner, bool Mirror);
// Sets up a stepped animation of Target towards State (see the top of this file); Fast halves the steps.
void AnimTimerStart(TacThreadedTimer& Timer, TsCommonData* Target, int32_t StartStep, bool Fast, int32_t State,
                    TacAnimStepProc StepProc);
// Target := a 32-bit copy of R of Source (made at R's size, or resized).
void AnimTimerTakeSnapshot(TacThreadedTimer& Timer, std::unique_ptr<Bitmap>& Target, const Bitmap& Source,
                           const TRect& R);
// Frees a timer and clears the reference (nothing for none, or for a timer being destroyed). A timer inside its
// own step is stopped and cut from its target now and freed when the step returns.
void ReleaseAnimTimer(TacThreadedTimer*& Timer);

}  // namespace skin
