#pragma once
// Timers and panels.
#include <cstdint>

#include "gui/controls.h"

namespace gui {

// A timer: OnTimer every Interval milliseconds while Enabled. A timer of a definition being loaded starts when
// loading ends. Windows build: SetTimer on a hidden utility window; native build: TApplication::ProcessTimers
// on the application's clock (see forms.h).
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  GUI_CLASS_NAME("TTimer")

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT ms);
  TNotifyEvent OnTimer;

  // Fires OnTimer (what the system timer does when it elapses).
  void Timer();
  // Native build: fires once when the interval has elapsed at `now`, and schedules the next firing.
  void FireIfDue(uint32_t now);
  // Native build: the timeGetTime value at which the timer fires next (meaningful while it runs).
  uint32_t NextDue() const { return due_; }

 protected:
  void Loaded() override;

 private:
  void UpdateTimer();
  // Window side (extctrls_win32.cpp): the system timer behind the timer, stopped and, when `run`, started again
  // (natively timers run on the application's clock only).
  void SystemTimer(bool run);
  bool enabled_ = true;
  UINT interval_ = 1000;
  bool running_ = false;
  uint32_t due_ = 0;
  uintptr_t id_ = 0;  // the system timer (Windows)
};

class TCustomPanel : public TWinControl {
 public:
  explicit TCustomPanel(TComponent* AOwner);
  GUI_CLASS_NAME("TPanel")

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut b);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut b);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int w);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  void AdjustClientRect(TRect& r) const override;

 protected:
  void CreateParams(TCreateParams& p) override;
  bool OwnPaint() const override { return true; }
  void PaintWindow(HDC dc) override;
  virtual void Paint();
  // Window side: the caption drawn in the rectangle left inside the bevels (not drawn natively).
  void PaintCaption(const std::string& caption, const TRect& r);
  TCanvas canvas_;

 private:
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  TBevelCut bevelInner_ = TBevelCut::bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TAlignment alignment_ = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
  GUI_CLASS_NAME("TPanel")
};

// Draws a raised or lowered 3-D frame of the given width inside `r` and shrinks `r` by it.
void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width);

}  // namespace gui
