#include "skin/forms/min_animation.h"

#include <algorithm>
#include <cmath>

#include "gui/forms.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

namespace {

constexpr uint32_t kInterval = 12;

TsSkinManager* Manager(const TsSkinProvider& p) { return ProviderManager(p); }

// Source stretched (nearest pixel) into the rectangle (x, y, w, h) of the destination.
void StretchInto(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (w <= 0 || h <= 0 || src.Width() <= 0 || src.Height() <= 0) return;
  for (int32_t j = std::max(0, -y); j < h && y + j < dst.Height(); ++j) {
    const int32_t sy = int32_t(int64_t(j) * src.Height() / h);
    for (int32_t i = std::max(0, -x); i < w && x + i < dst.Width(); ++i) {
      const int32_t sx = int32_t(int64_t(i) * src.Width() / w);
      SetPixel32(dst, x + i, y + j, GetPixel32(src, sx, sy));
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The blended move.

double MoveTimerAlphaStep(int32_t minAlpha, int32_t time) {
  const double range = 255.0 - minAlpha;
  if (time < 13) return range;
  return range / (double(time) / kInterval);
}

TacMoveTimer::TacMoveTimer(TsSkinProvider& p) : TacThreadedTimer(&p, &p, true), Provider(&p) {
  TsSkinManager* m = Manager(p);
  MinAlpha = (m && p.AllowBlendOnMoving) ? m->AnimEffects.BlendOnMoving.BlendValue : 255;
  AlphaStep = MoveTimerAlphaStep(MinAlpha, m ? m->AnimEffects.BlendOnMoving.Time : 0);
  SetInterval(kInterval);
}

void TacMoveTimer::OwnStep() {
  TsSkinProvider& p = *Provider;
  gui::TCustomForm* form = p.Form();
  if (form == nullptr || form->IsDestroying()) return;
  const uint8_t alpha = uint8_t(std::lround(std::clamp(CurAlpha, 0.0, 255.0)));
  if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, alpha);
  SetFormAlpha(*form, alpha);
  for (const GluedRecord& g : GluedList())
    if (g.Master == form && g.Glued) SendFormMessage(*g.Glued, WM_SKINCOMMAND, SkinCommandWParam(AC_SETFORMALPHA), alpha);
  if (MinAlpha < CurAlpha) CurAlpha = std::max(double(MinAlpha), CurAlpha - AlphaStep);
}

void ProviderStartBlendMove(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  const auto token = p.AliveToken();
  auto* timer = new TacMoveTimer(p);
  p.StateFlags |= psBlendMoving;
  timer->OwnStep();  // the first step at once: the move starts opaque and fades from there
  timer->SetEnabled(true);
  // The move's loop runs inside; the timer's ticks fade the form meanwhile. The form is opaque again before the
  // move places the window at its end for the last time.
  ProviderMoveByCaption(p, m, [&p, &form, token, timer] {
    if (token.expired()) return;
    p.StateFlags &= ~psBlendMoving;
    TacThreadedTimer* t = timer;
    ReleaseAnimTimer(t);
    if (form.IsDestroying()) return;
    if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, 255);
    SetFormAlpha(form, 255);
    for (const GluedRecord& g : GluedList())
      if (g.Master == &form && g.Glued)
        SendFormMessage(*g.Glued, WM_SKINCOMMAND, SkinCommandWParam(AC_SETFORMALPHA), 255);
  });
}

// ---------------------------------------------------------------------------------------------------------
// Minimize and restore.

int32_t MinTimerStepCount(int32_t time) { return std::max(2, time / int32_t(kInterval)); }

TRect TaskbarEdgeTarget(const TRect& t, const TPoint& c) {
  if (t.IsEmpty()) return TRect{};
  TPoint p;
  if (t.Top != 0) {
    if (t.Left >= -4 && t.Left <= 0)
      p = TPoint{c.X, t.Top};  // at the bottom of the screen
    else
      p = TPoint{t.Left, c.Y};  // at the right
  } else if (t.Left == 0) {
    if (t.Width() > t.Height())
      p = TPoint{c.X, t.Bottom};  // at the top
    else
      p = TPoint{t.Right, c.Y};  // at the left
  } else {
    p = TPoint{t.Left, c.Y};  // at the right
  }
  return TRect{p.X, p.Y, p.X, p.Y};
}

void MinTimerComputeTarget(TacMinTimer& t) {
  TRect dst = TaskbarButtonRect(*t.Provider);
  if (dst.Left == dst.Right) dst = TaskbarEdgeTarget(TaskbarWindowRect(), t.SrcCenter);
  t.DstRect = dst;
  t.DstCenter = TPoint{dst.Left + dst.Width() / 2, dst.Top + dst.Height() / 2};
  const double n = t.StepCount;
  t.Delta[0] = n ? (t.DstCenter.X - t.SrcCenter.X) / n : 0;
  t.Delta[1] = n ? (t.DstCenter.Y - t.SrcCenter.Y) / n : 0;
  t.Delta[2] = n ? (t.SrcRect.Width() - t.DstRect.Width()) / (2 * n) : 0;
  t.Delta[3] = n ? (t.SrcRect.Height() - t.DstRect.Height()) / (2 * n) : 0;
  t.StartAlpha = 0;
}

TacMinTimer::TacMinTimer(TsSkinProvider& p) : TacThreadedTimer(&p, &p, true), Provider(&p) {
  SetInterval(kInterval);
  TsSkinManager* m = Manager(p);
  StepCount = MinTimerStepCount(m ? m->AnimEffects.Minimizing.Time : 120);
  MaxAlpha = MinimizeMaxAlpha();
  CurAlpha = MaxAlpha;
  SrcRect = p.BorderForm ? BorderFormScreenRect(*p.BorderForm) : FormWindowRect(*p.Form());
  SrcCenter = TPoint{SrcRect.Left + SrcRect.Width() / 2, SrcRect.Top + SrcRect.Height() / 2};
  MinTimerComputeTarget(*this);
  R[0] = SrcRect.Left;
  R[1] = SrcRect.Top;
  R[2] = SrcRect.Right;
  R[3] = SrcRect.Bottom;
  AlphaStep = double(MaxAlpha - StartAlpha) / std::max(2, StepCount - 1);
  Frame = std::make_unique<Bitmap>(std::max(1, SrcRect.Width()), std::max(1, SrcRect.Height()), pf32bit);
  FormImage = ProviderFormSnapshot(p, false);
  if (FormImage) {
    // The form's own window in the picture is opaque; only a border window's shadow around it keeps its alpha.
    TRect inner{0, 0, FormImage->Width(), FormImage->Height()};
    if (p.BorderForm) {
      const TRect m = SkinExtBorderMargins(*p.BorderForm);
      inner = TRect{m.Left, m.Top, inner.Right - m.Right, inner.Bottom - m.Bottom};
    }
    for (int32_t y = std::max(0, inner.Top); y < std::min(inner.Bottom, FormImage->Height()); ++y)
      for (int32_t x = std::max(0, inner.Left); x < std::min(inner.Right, FormImage->Width()); ++x)
        SetPixel32(*FormImage, x, y, GetPixel32(*FormImage, x, y) | 0xFF000000u);
  }
  AnimWnd = CreateAnimCopyWindow(p);
}

TacMinTimer::~TacMinTimer() {
  if (AnimWnd) FreeAnimCopyWindow(AnimWnd);
  AnimWnd = nullptr;
}

TRect TacMinTimer::CurrentRect() const {
  return TRect{int32_t(std::lround(R[0])), int32_t(std::lround(R[1])), int32_t(std::lround(R[2])),
               int32_t(std::lround(R[3]))};
}

void TacMinTimer::OwnStep() {
  if (InTick || !Enabled()) return;
  InTick = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{InTick};
  TsSkinProvider& p = *Provider;
  gui::TCustomForm* form = p.Form();
  if (form == nullptr || form->IsDestroying() || AnimWnd == nullptr) {
    SetEnabled(false);
    return;
  }
  if (Restoring && (p.StateFlags & psMinimizing)) Restoring = false;
  if (!Restoring && (p.StateFlags & psRestoring)) Restoring = true;
  ++Ticks;
  const double k = Restoring ? -1.0 : 1.0;
  R[0] += k * (Delta[0] + Delta[2]);
  R[1] += k * (Delta[1] + Delta[3]);
  R[2] += k * (Delta[0] - Delta[2]);
  R[3] += k * (Delta[1] - Delta[3]);
  if (!Restoring) {
    CurAlpha = std::max(CurAlpha - AlphaStep, 0.0);
    if (CurAlpha <= 0.0) {
      // Minimized: the copy goes.
      SetEnabled(false);
      HideAnimCopyWindow(AnimWnd);
      p.StateFlags &= ~psMinimizing;
      ProviderSetHotElement(p, 0, false);
      Restoring = true;
      Ticks = 0;
      return;
    }
  } else {
    CurAlpha = std::min(CurAlpha + AlphaStep, 255.0);
    if (CurAlpha >= MaxAlpha) {
      // Grown back: the form's window is restored (or maximized) in the copy's place.
      SetEnabled(false);
      p.StateFlags &= ~psRestoring;
      HideAnimCopyWindow(AnimWnd);
      ShowFormAfterRestore(p, RestoreMaximized);
      Restoring = false;
      Ticks = 0;
      if (p.BorderForm) BorderFormUpdate(*p.BorderForm, true, 255);
      // Its work done; the timer goes with the next minimize or with the provider, its window now.
      Finished = true;
      FreeAnimCopyWindow(AnimWnd);
      AnimWnd = nullptr;
      return;
    }
  }
  // One frame: the picture stretched to the rectangle, centred in the frame.
  const TRect r = CurrentRect();
  const int32_t w = std::max(0, r.Width()), h = std::max(0, r.Height());
  FillRectBitmap32(*Frame, TRect{0, 0, Frame->Width(), Frame->Height()}, 0, 0);
  if (FormImage) StretchInto(*Frame, *FormImage, (Frame->Width() - w) / 2, (Frame->Height() - h) / 2, w, h);
  const TPoint centre{r.Left + w / 2, r.Top + h / 2};
  ShowAnimCopyWindow(AnimWnd, *Frame, TPoint{centre.X - Frame->Width() / 2, centre.Y - Frame->Height() / 2},
                     uint8_t(std::lround(CurAlpha)));
}

TacMinTimer* ProviderMinTimer(const TsSkinProvider& p) { return p.MinTimer; }

bool ProviderMinimizeTimerRunning(const TsSkinProvider& p) { return p.MinTimer != nullptr && !p.MinTimer->Finished; }

void ProviderStartMinimizeAnimation(TsSkinProvider& p) {
  if (p.MinTimer) {
    TacThreadedTimer* t = p.MinTimer;
    p.MinTimer = nullptr;
    ReleaseAnimTimer(t);
  }
  gui::TCustomForm& form = *p.Form();
  if (!FormWindowVisible(form) || FormWindowIconic(form)) return;
  // The shrinking copy is a layered picture whose alpha falls: where the screen does not show that alpha it
  // darkens through black, and the form is minimized without it (and restored without it).
  if (!LayeredPicturesShown(ProviderManager(p))) return;
  auto* timer = new TacMinTimer(p);
  p.MinTimer = timer;
  p.StateFlags |= psMinimizing;
  p.StateFlags &= ~psRestoring;
  timer->Restoring = false;
  // The form's own window goes at once (minimized without the system's animation); its copy shrinks away.
  timer->SetEnabled(true);
  timer->OwnStep();
}

void ProviderStartRestoreAnimation(TsSkinProvider& p, bool maximize) {
  TacMinTimer* timer = p.MinTimer;
  if (timer == nullptr || timer->Finished) return;
  timer->SetEnabled(false);
  // The target may have moved meanwhile (another taskbar place).
  MinTimerComputeTarget(*timer);
  timer->R[0] = timer->DstRect.Left;
  timer->R[1] = timer->DstRect.Top;
  timer->R[2] = timer->DstRect.Right;
  timer->R[3] = timer->DstRect.Bottom;
  timer->CurAlpha = timer->StartAlpha;
  timer->Restoring = true;
  timer->RestoreMaximized = maximize;
  timer->Ticks = 0;
  p.StateFlags |= psRestoring;
  p.StateFlags &= ~psMinimizing;
  // The form's window stays minimized until its copy has grown back.
  timer->SetEnabled(true);
  timer->OwnStep();
}

void TsSkinProvider::StartMinimizeAnimation() { ProviderStartMinimizeAnimation(*this); }
void TsSkinProvider::StartRestoreAnimation() { ProviderStartRestoreAnimation(*this, false); }

}  // namespace skin
