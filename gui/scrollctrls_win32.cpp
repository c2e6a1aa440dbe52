// The Win32 half of the scrolling controls: the SCROLLBAR window's scroll information and the notifications
// it sends, and the scroll box's own window scroll bars.
#include <algorithm>

#include "gui/scrollctrls.h"

namespace gui {

namespace {
TScrollCode CodeOf(WPARAM w) { return static_cast<TScrollCode>(std::min<int>(LOWORD(w), 8)); }
}  // namespace

void TScrollBar::ScrollInfoToWindow() {
  if (!handle_) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  si.nMin = min_;
  si.nMax = max_;
  si.nPage = static_cast<UINT>(pageSize_);
  si.nPos = position_;
  SendMessageA(handle_, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
}

bool TScrollBar::WindowMessage(TMessage& m) {
  if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    SendMessageA(handle_, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&si));
    Scroll(CodeOf(m.WParam), si.nTrackPos);
    m.Result = 0;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

TRect TScrollBox::WindowFullClient() const {
  if (!handle_) {
    const int border = borderStyle_ == TBorderStyle::bsSingle ? GetSystemMetrics(SM_CXEDGE) : 0;
    return TRect{0, 0, std::max(width_ - 2 * border, 0), std::max(height_ - 2 * border, 0)};
  }
  RECT r;
  GetClientRect(handle_, &r);
  const LONG style = GetWindowLongA(handle_, GWL_STYLE);
  if (style & WS_VSCROLL) r.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) r.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return TRect{0, 0, r.right, r.bottom};
}

void TScrollBox::BarsToWindow() {
  if (!handle_) return;
  const bool showH = horz_.IsScrollBarVisible(), showV = vert_.IsScrollBarVisible();
  const LONG style = GetWindowLongA(handle_, GWL_STYLE);
  if (showH != ((style & WS_HSCROLL) != 0)) ShowScrollBar(handle_, SB_HORZ, showH);
  if (showV != ((style & WS_VSCROLL) != 0)) ShowScrollBar(handle_, SB_VERT, showV);
  const TRect c = ClientRect();
  for (TControlScrollBar* bar : {&horz_, &vert_}) {
    const bool horizontal = bar->Kind() == TScrollBarKind::sbHorizontal;
    if (!(horizontal ? showH : showV)) continue;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = std::max(bar->Range() - 1, 0);
    si.nPage = static_cast<UINT>(horizontal ? c.Width() : c.Height());
    si.nPos = bar->Position();
    SetScrollInfo(handle_, horizontal ? SB_HORZ : SB_VERT, &si, TRUE);
  }
}

bool TScrollBox::WindowMessage(TMessage& m) {
  if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0) {
    const bool horizontal = m.Msg == WM_HSCROLL;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(handle_, horizontal ? SB_HORZ : SB_VERT, &si);
    ScrollBarMoved(horizontal ? horz_ : vert_, CodeOf(m.WParam), si.nTrackPos);
    m.Result = 0;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
