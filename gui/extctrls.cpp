#include "gui/extctrls.h"

#include "gui/forms.h"

namespace gui {

// ============================== TTimer ==============================

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  Application->AddTimer(this);
  UpdateTimer();
}

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
  Application->RemoveTimer(this);
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(UINT ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  const bool run = enabled_ && interval_ > 0 && !IsLoading() && !IsDestroying();
  SystemTimer(run);
  running_ = run;
  if (run) due_ = Application->Clock().timeGetTime() + interval_;
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

void TTimer::FireIfDue(uint32_t now) {
  if (!running_ || !platform::reached(now, due_)) return;
  due_ = now + interval_;
  Timer();
}

// ============================== TCustomPanel ==============================

TCustomPanel::TCustomPanel(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
  width_ = 185;
  height_ = 41;
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "TPanel";
  p.OwnClass = true;
}

void TCustomPanel::SetBevelOuter(TBevelCut b) {
  if (b == bevelOuter_) return;
  bevelOuter_ = b;
  AlignControls();
  Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut b) {
  if (b == bevelInner_) return;
  bevelInner_ = b;
  AlignControls();
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int w) {
  if (w == bevelWidth_) return;
  bevelWidth_ = w;
  AlignControls();
  Invalidate();
}
void TCustomPanel::SetBorderWidth(int w) {
  if (w == borderWidth_) return;
  borderWidth_ = w;
  AlignControls();
  Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& r) const {
  int inset = borderWidth_;
  if (bevelOuter_ != TBevelCut::bvNone) inset += bevelWidth_;
  if (bevelInner_ != TBevelCut::bvNone) inset += bevelWidth_;
  r.Left += inset;
  r.Top += inset;
  r.Right -= inset;
  r.Bottom -= inset;
}

void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width) {
  TPen& pen = canvas.Pen();
  pen.Width = 1;
  pen.Style = TPenStyle::psSolid;
  r.Right -= 1;
  r.Bottom -= 1;
  for (int i = 0; i < width; ++i) {
    pen.Color = topLeft;
    canvas.MoveTo(r.Left, r.Bottom);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    pen.Color = bottomRight;
    canvas.LineTo(r.Right, r.Bottom);
    canvas.LineTo(r.Left - 1, r.Bottom);
    r.Left += 1;
    r.Top += 1;
    r.Right -= 1;
    r.Bottom -= 1;
  }
  r.Right += 1;
  r.Bottom += 1;
}

void TCustomPanel::PaintWindow(HDC dc) {
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(font_);
  Paint();
  canvas_.SetHandle(nullptr);
}

void TCustomPanel::Paint() {
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvNone) return;
    const bool raised = cut == TBevelCut::bvRaised;
    Frame3D(canvas_, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, bevelWidth_);
  };
  bevel(bevelOuter_);
  r.Left += borderWidth_;
  r.Top += borderWidth_;
  r.Right -= borderWidth_;
  r.Bottom -= borderWidth_;
  bevel(bevelInner_);
  canvas_.Brush().Color = color_;
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  canvas_.FillRect(r);
  const std::string caption = text_;
  if (caption.empty()) return;
  PaintCaption(caption, r);
}

}  // namespace gui
