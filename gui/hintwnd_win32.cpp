// The hint window on Windows: a WS_POPUP | WS_BORDER tool window, never activated, above the window under the
// pointer and transparent to the mouse (WindowBridge::CreateHintWindow), painting its own text (kept as the
// window's text) in the tool-tip colours with the default GUI font.
#include "gui/hintwnd.h"
#include "gui/win32_bridge.h"

namespace gui {

namespace {

constexpr char kClass[] = "THintWnd";
constexpr UINT kTextFlags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

LRESULT CALLBACK HintProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
    char text[1024];
    const int n = GetWindowTextA(h, text, sizeof(text));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    InflateRect(&r, -3, -2);
    DrawTextA(dc, text, n, &r, kTextFlags);
    SelectObject(dc, old);
    EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  if (msg == WM_NCDESTROY) WindowBridge::HintWindowGone(h);
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

THintWindow::~THintWindow() {
  if (handle_) DestroyWindow(handle_);
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, maxWidth, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | kTextFlags);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // The frame (one pixel each side) and the margins of the painted text.
  return TRect{0, 0, r.right + 8, r.bottom + 6};
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& text) {
  if (!handle_ && !WindowBridge::CreateHintWindow(kClass, HintProc, &handle_)) return;
  text_ = text;
  rect_ = rect;
  SetWindowTextA(handle_, text.c_str());
  WindowBridge::ShowHintWindow(handle_, RECT{rect.Left, rect.Top, rect.Right, rect.Bottom});
  InvalidateRect(handle_, nullptr, TRUE);
  UpdateWindow(handle_);
  showing_ = true;
}

bool THintWindow::Showing() const { return showing_ && handle_ && IsWindowVisible(handle_); }

void THintWindow::Hide() {
  if (handle_) ShowWindow(handle_, SW_HIDE);
  showing_ = false;
}

}  // namespace gui
