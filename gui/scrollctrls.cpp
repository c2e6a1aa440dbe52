#include "gui/scrollctrls.h"

#include <algorithm>

namespace gui {

int ScrollTarget(TScrollCode code, int pos, int thumb, int min, int max, int page, int smallChange, int largeChange) {
  const int last = std::max(min, max - std::max(page - 1, 0));
  switch (code) {
    case TScrollCode::scLineUp: pos -= smallChange; break;
    case TScrollCode::scLineDown: pos += smallChange; break;
    case TScrollCode::scPageUp: pos -= largeChange; break;
    case TScrollCode::scPageDown: pos += largeChange; break;
    case TScrollCode::scPosition:
    case TScrollCode::scTrack: pos = thumb; break;
    case TScrollCode::scTop: pos = min; break;
    case TScrollCode::scBottom: pos = last; break;
    case TScrollCode::scEndScroll: break;
  }
  return std::clamp(pos, min, last);
}

// ============================== TScrollBar ==============================

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csDoubleClicks;
  tabStop_ = true;
  width_ = 121;
  height_ = 17;
}

void TScrollBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "SCROLLBAR";
  p.OwnClass = false;
  if (kind_ == TScrollBarKind::sbVertical) p.Style |= 1;  // SBS_VERT
}

void TScrollBar::InitializeWindow() { ScrollInfoToWindow(); }

void TScrollBar::SetKind(TScrollBarKind k) {
  if (k == kind_) return;
  kind_ = k;
  SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

int TScrollBar::MaxPosition() const { return std::max(min_, max_ - std::max(pageSize_ - 1, 0)); }

void TScrollBar::SetPageSize(int v) {
  if (v == pageSize_) return;
  if (v < 0 || v > max_ - min_ + 1) throw EInvalidOperation("Scroll bar property out of range");
  pageSize_ = v;
  SetParams(position_, min_, max_);
  ScrollInfoToWindow();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation("Scroll bar property out of range");
  min_ = min;
  max_ = max;
  if (pageSize_ > max_ - min_ + 1) pageSize_ = max_ - min_ + 1;
  const int p = std::clamp(position, min_, MaxPosition());
  const bool changed = p != position_;
  position_ = p;
  ScrollInfoToWindow();
  if (changed && OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode code, int thumbPos) {
  int target = ScrollTarget(code, position_, thumbPos, min_, max_, pageSize_, smallChange_, largeChange_);
  if (OnScroll) OnScroll(this, code, target);
  SetPosition(target);
}

// ============================== TControlScrollBar ==============================

bool TControlScrollBar::IsScrollBarVisible() const {
  if (!visible_ || !owner_) return false;
  const TRect c = owner_->WindowFullClient();
  return range_ > (kind_ == TScrollBarKind::sbHorizontal ? c.Width() : c.Height());
}

void TControlScrollBar::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (owner_) owner_->UpdateScrollBars();
}

void TControlScrollBar::SetRange(int v) {
  range_ = std::max(v, 0);
  if (owner_) owner_->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int v) {
  const int old = position_;
  position_ = v;
  if (owner_) owner_->BarPositionChanged(*this, old);
}

// ============================== TScrollBox ==============================

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks;
  width_ = 185;
  height_ = 41;
  horz_.kind_ = TScrollBarKind::sbHorizontal;
  vert_.kind_ = TScrollBarKind::sbVertical;
  horz_.owner_ = this;
  vert_.owner_ = this;
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "TScrollBox";
  p.OwnClass = true;
  if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= 0x00000200;  // WS_EX_CLIENTEDGE
}

void TScrollBox::InitializeWindow() { UpdateScrollBars(); }

void TScrollBox::SetAutoScroll(bool v) {
  autoScroll_ = v;
  UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
  UpdateScrollBars();
}

TRect TScrollBox::ClientRect() const {
  TRect r = WindowFullClient();
  if (HandleAllocated()) return r;  // the window's client area already leaves its bars out
  if (vert_.IsScrollBarVisible()) r.Right -= 17;
  if (horz_.IsScrollBarVisible()) r.Bottom -= 17;
  r.Right = std::max(r.Right, 0);
  r.Bottom = std::max(r.Bottom, 0);
  return r;
}

void TScrollBox::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
}

void TScrollBox::BarPositionChanged(TControlScrollBar& bar, int old) {
  const TRect c = ClientRect();
  const int page = bar.kind_ == TScrollBarKind::sbHorizontal ? c.Width() : c.Height();
  bar.position_ = std::clamp(bar.position_, 0, std::max(bar.range_ - page, 0));
  const int delta = old - bar.position_;
  if (bar.kind_ == TScrollBarKind::sbHorizontal)
    ScrollBy(delta, 0);
  else
    ScrollBy(0, delta);
  BarsToWindow();
}

void TScrollBox::UpdateScrollBars() {
  if (updating_) return;
  updating_ = true;
  if (autoScroll_) {
    int right = 0, bottom = 0;
    for (TControl* c : controls_) {
      if (!c->Visible() || c->Align() != TAlign::alNone) continue;
      right = std::max(right, c->Left() + c->Width() + horz_.position_);
      bottom = std::max(bottom, c->Top() + c->Height() + vert_.position_);
    }
    horz_.range_ = right;
    vert_.range_ = bottom;
  }
  for (TControlScrollBar* bar : {&horz_, &vert_}) {
    const int old = bar->position_;
    if (!bar->IsScrollBarVisible()) bar->position_ = 0;
    BarPositionChanged(*bar, old);
  }
  BarsToWindow();
  updating_ = false;
}

void TScrollBox::BoundsChanged(bool sizeChanged) {
  TWinControl::BoundsChanged(sizeChanged);
  if (sizeChanged) UpdateScrollBars();
}

void TScrollBox::ScrollInView(TControl* c) {
  if (!c || c->Parent() != this) return;
  const TRect client = ClientRect();
  auto bring = [](TControlScrollBar& bar, int start, int extent, int page) {
    int p = bar.Position();
    if (start < 0)
      p += start;
    else if (start + extent > page)
      p += std::min(start, start + extent - page);
    bar.SetPosition(p);
  };
  bring(horz_, c->Left(), c->Width(), client.Width());
  bring(vert_, c->Top(), c->Height(), client.Height());
}

void TScrollBox::ScrollBarMoved(TControlScrollBar& bar, TScrollCode code, int thumb) {
  const TRect c = ClientRect();
  const int page = bar.kind_ == TScrollBarKind::sbHorizontal ? c.Width() : c.Height();
  const int target = ScrollTarget(code, bar.position_, thumb, 0, std::max(bar.range_ - 1, 0), page, bar.increment_,
                                  std::max(page - bar.increment_, bar.increment_));
  bar.SetPosition(target);
}

}  // namespace gui
