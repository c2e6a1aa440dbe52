#pragma once
// State-change animation: when a skinned control changes its visual state (normal, hot, pressed), the picture
// cross-fades from the old state to the new one in 11 steps of 12 ms (5 in fast mode) on the control's animation
// timer, and the control's glow fades with it. Graphic controls repaint each frame through the library's paint
// path (the frame is the timer's Frame); windowed controls get each frame copied straight onto their window.
//
// State values of 100 and more never show a glow: callers pass them for states that must never glow.
#include <cstdint>

#include "skin/timer/acthdtimer.h"
#include "skin/pixels/bitmap.h"

namespace skin {

struct TsCommonData;
class TsSkinManager;

// The events that may animate a control (a set of 1 << event).
enum TacAnimatEvent : uint8_t { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TacAnimatEvents = uint8_t;
constexpr TacAnimatEvents AnimatEventSet(TacAnimatEvent e) { return TacAnimatEvents(1u << e); }

// Process-wide switches: either one stops new state animations.
uint8_t& AnimationsOff();
uint8_t& AnimationsLocked();
// A further window that receives the manager's refresh broadcasts (nullptr: none); it gets AC_SKINREFRESH with
// each frame of a graphic control.
void*& RefreshBroadcastWindow();

// Whether Event animates: in ControlEvents, or, with aeGlobalDef there, in the manager's (nullptr: the default
// manager's) AnimEffects.Buttons.Events.
bool IsAnimatedEvent(TacAnimatEvent Event, TacAnimatEvents ControlEvents, TsSkinManager* Manager);

// What skinned controls call after a state change: a cross-fade when Animate, animations are neither off nor
// locked, the control has a cached picture and is not inside the set-up of an animation (Animating; with ShowGlow
// and a state below 100 the glow is shown at alpha 0 first); otherwise the control is repainted at once (and the
// glow shown at full alpha). A change while an animation runs starts from the frame on screen. Nothing for a
// control that is not skinned.
void StartChangeAnimation(TsCommonData& SkinData, int32_t NewState, TacAnimStepProc StepProc, bool ShowGlow,
                          bool Fast, bool Animate);
// Takes the pictures of the old and the new state (the control repaints its cache on AC_UPDATECACHE; a non-zero
// answer leaves the timer off) and starts the timer, running the first step at once. Nothing when the timer
// already goes to NewState.
void SetupChangeAnimation(TsCommonData& SkinData, int32_t NewState, TacAnimStepProc StepProc, bool Fast);
// The step functions callers pass: ChangeAnimationStep for graphic controls, ChangeAnimationStepWnd for windowed
// controls and windows. True while steps remain.
bool ChangeAnimationStep(TsCommonData* SkinData, int32_t Step);
bool ChangeAnimationStepWnd(TsCommonData* SkinData, int32_t Step);
// The weight of the old picture at a step: 255 - round(255 x Step / StepCount), within 0..255 (StepCount at
// least 1).
uint8_t ChangeAnimationFactor(int32_t Step, int32_t StepCount);

// The skin data's side of its animation: whether its timer exists and runs (the control then shows the timer's
// Frame instead of painting); stopping it (the timer is freed unless it is going already or inside its own step;
// Animating is cleared); and the repaint of the owner (RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN,
// with RDW_UPDATENOW when Now; nothing while RepaintBlocked; a form skin provider redraws its form).
bool CommonDataAnimationRunning(const TsCommonData& Data);
void CommonDataStopAnimation(TsCommonData& Data);
void CommonDataRepaint(TsCommonData& Data, bool Now);

}  // namespace skin
