#pragma once
// The form animations of the skin provider, both on the library's 12 ms timer:
// - the blended move: while the user drags a form by its caption, the form (and its border window) fades from
//   opaque to the manager's AnimEffects.BlendOnMoving.BlendValue, and is opaque again when the move ends;
// - minimize and restore: a copy of the form shrinks and fades towards the application's taskbar button, and
//   grows back from it on restore, while the form's own window is transparent.
//
// The step arithmetic is portable; the copy window and the taskbar lookup exist only in the Windows build
// (natively the copy "window" records what it was last shown, for the tests).
#include <cstdint>
#include <memory>

#include "gui/messages.h"
#include "skin/timer/acthdtimer.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TacBorderForm;

// ---- The blended move.
class TacMoveTimer : public TacThreadedTimer {
 public:
  TacMoveTimer(TsSkinProvider& p);
  GUI_CLASS_NAME("TacMoveTimer")
  double CurAlpha = 255.0;
  double AlphaStep = 0.0;
  int32_t MinAlpha = 255;
  TsSkinProvider* Provider;
  // One tick: the form (or its border window) and the forms glued to it at the current alpha, then one step
  // down until MinAlpha.
  void OwnStep() override;
};
// 255 - MinAlpha when the time is below 13 ms, else (255 - MinAlpha) / (Time / 12).
double MoveTimerAlphaStep(int32_t minAlpha, int32_t time);
// Runs the user's move of the form by its caption (the message, WM_NCLBUTTONDOWN, handed to the form) with the
// form translucent meanwhile; opaque again afterwards.
void ProviderStartBlendMove(TsSkinProvider& p, gui::TMessage& m);

// ---- Minimize and restore.
class TacMinTimer : public TacThreadedTimer {
 public:
  // Made for a form about to be minimized: its picture, the source and target rectangles and the steps.
  explicit TacMinTimer(TsSkinProvider& p);
  ~TacMinTimer() override;
  GUI_CLASS_NAME("TacMinTimer")
  double CurAlpha = 0.0;
  double AlphaStep = 0.0;
  double R[4] = {};      // the current rectangle: left, top, right, bottom
  int32_t StepCount = 2;
  TPoint SrcCenter, DstCenter;
  double Delta[4] = {};  // the centre's move per step (dx, dy) and the half-size change per step (sx, sy)
  uint8_t MaxAlpha = 255;
  uint8_t StartAlpha = 0;
  TRect SrcRect, DstRect;
  void* AnimWnd = nullptr;  // the layered copy window (owned)
  TsSkinProvider* Provider;
  std::unique_ptr<Bitmap> FormImage;
  bool Restoring = false;
  bool RestoreMaximized = false;  // the restore ends maximized
  bool InTick = false;
  bool Finished = false;  // minimized and restored again
  int32_t Ticks = 0;      // ticks run in the current direction
  void OwnStep() override;
  // The rectangle now, rounded.
  TRect CurrentRect() const;
};
// Steps: Max(2, time div 12); the alpha step: (MaxAlpha - StartAlpha) / Max(2, steps - 1).
int32_t MinTimerStepCount(int32_t time);
// Target rectangle, centre and per-step deltas from the source rectangle and the taskbar's answer.
void MinTimerComputeTarget(TacMinTimer& t);
// The taskbar target when no button was found: a point on the taskbar's edge that faces the screen (taskbar
// rectangle T, the form's centre). An empty taskbar rectangle gives an empty target at (0, 0).
TRect TaskbarEdgeTarget(const TRect& taskbar, const TPoint& centre);
// The form's taskbar button on the screen (empty when none is found), and the taskbar's window rectangle
// (empty without a taskbar).
TRect TaskbarButtonRect(const TsSkinProvider& p);
TRect TaskbarWindowRect();
// 63 with desktop composition (and before Windows 6), 255 without.
uint8_t MinimizeMaxAlpha();

void ProviderStartMinimizeAnimation(TsSkinProvider& p);
// The copy grows back from the taskbar; the form's window is restored (maximize: maximized) at the end.
void ProviderStartRestoreAnimation(TsSkinProvider& p, bool maximize);
bool ProviderMinimizeTimerRunning(const TsSkinProvider& p);
// The provider's minimize timer (nullptr when none).
TacMinTimer* ProviderMinTimer(const TsSkinProvider& p);


// ---- The copy window (min_animation_win32.cpp; natively a record of what it shows).
void* CreateAnimCopyWindow(TsSkinProvider& p);
void FreeAnimCopyWindow(void* wnd);
// The picture shown at a screen point with a constant alpha, just below the taskbar.
void ShowAnimCopyWindow(void* wnd, const Bitmap& frame, const TPoint& topLeft, uint8_t alpha);
void HideAnimCopyWindow(void* wnd);
// The minimized form's window restored (or maximized) without the system's animation, redrawn, and activated
// when enabled.
void ShowFormAfterRestore(TsSkinProvider& p, bool maximize);
#ifdef _WIN32
// The copy window's own window (HWND).
void* AnimCopyWindowHandle(void* wnd);
#else
// What the native copy window shows.
struct AnimCopyState {
  bool visible = false;
  TRect rect;  // screen rectangle of the picture
  uint8_t alpha = 0;
  int32_t shows = 0;
};
AnimCopyState& AnimCopyWindowState(void* wnd);
#endif

}  // namespace skin
