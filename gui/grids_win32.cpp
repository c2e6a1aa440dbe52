// The Win32 half of the grids: the window's own scroll bars show the scrolled rows and columns (the fixed ones
// left out) and move them; the keyboard's shift state extends the selection.
#include <algorithm>

#include "gui/grids.h"

namespace gui {

TShiftState TCustomGrid::KeyShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) & 0x8000) s |= ssShift;
  if (GetKeyState(VK_CONTROL) & 0x8000) s |= ssCtrl;
  return s;
}

bool TCustomGrid::WindowClientRect(TRect& r) const {
  if (!handle_) return false;
  RECT rc;
  GetClientRect(handle_, &rc);
  r = TRect{0, 0, rc.right, rc.bottom};
  return true;
}

void TCustomGrid::ScrollBarsToWindow() {
  if (!handle_) return;
  auto push = [this](int bar, int fixed, int count, int first, int page, int maxFirst) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(count - fixed - 1, 0);
    // A page as large as the visible rows, unless everything fits: then the bar has nothing to move.
    si.nPage = static_cast<UINT>(maxFirst > fixed ? page : count - fixed);
    si.nPos = first - fixed;
    SetScrollInfo(handle_, bar, &si, TRUE);
  };
  const LONG style = GetWindowLongA(handle_, GWL_STYLE);
  if (style & WS_VSCROLL) push(SB_VERT, fixedRows_, rowCount_, topRow_, VisibleRowCount(), MaxTopRow());
  if (style & WS_HSCROLL) push(SB_HORZ, fixedCols_, colCount_, leftCol_, VisibleColCount(), MaxLeftCol());
}

bool TCustomGrid::WindowMessage(TMessage& m) {
  if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0) {
    const bool horizontal = m.Msg == WM_HSCROLL;
    const int code = LOWORD(m.WParam);
    if (code == SB_THUMBTRACK && !(options_ & goThumbTracking)) {
      m.Result = 0;
      return true;
    }
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(handle_, horizontal ? SB_HORZ : SB_VERT, &si);
    ScrollBarMoved(horizontal, code, si.nTrackPos);
    m.Result = 0;
    return true;
  }
  if (m.Msg == WM_ERASEBKGND) {  // the whole client area is painted
    m.Result = 1;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
