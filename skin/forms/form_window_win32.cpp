// The Windows side of form_window.h: the form's own window.
#include <windows.h>

#include <cstddef>

#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "gui/win32_bridge.h"
#include "skin/forms/form_window.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/painting_libraries.h"
#include "skin/manager/svclutils.h"

namespace skin {

namespace {
HWND Handle(const gui::TCustomForm& form) { return form.WindowHandle(); }
}  // namespace

bool FormWindowExists(const gui::TCustomForm& form) { return form.HandleAllocated() && IsWindow(Handle(form)); }
void* FormWindowHandle(const gui::TCustomForm& form) { return Handle(form); }

uint32_t FormWindowStyle(const gui::TCustomForm& form) {
  return Handle(form) ? uint32_t(GetWindowLongA(Handle(form), GWL_STYLE)) : 0;
}

void SetFormWindowStyle(gui::TCustomForm& form, uint32_t style) {
  if (Handle(form)) SetWindowLongA(Handle(form), GWL_STYLE, LONG(style));
}

uint32_t FormWindowExStyle(const gui::TCustomForm& form) {
  return Handle(form) ? uint32_t(GetWindowLongA(Handle(form), GWL_EXSTYLE)) : 0;
}

void SetFormWindowExStyle(gui::TCustomForm& form, uint32_t exStyle) {
  if (Handle(form)) SetWindowLongA(Handle(form), GWL_EXSTYLE, LONG(exStyle));
}

TRect FormWindowRect(const gui::TCustomForm& form) {
  RECT r{};
  if (Handle(form)) GetWindowRect(Handle(form), &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TSize FormClientSize(const gui::TCustomForm& form) {
  RECT r{};
  if (Handle(form)) GetClientRect(Handle(form), &r);
  return TSize{r.right, r.bottom};
}

TPoint FormClientOrigin(const gui::TCustomForm& form) {
  POINT p{0, 0};
  if (Handle(form)) ClientToScreen(Handle(form), &p);
  return TPoint{p.x, p.y};
}

bool FormWindowIconic(const gui::TCustomForm& form) { return Handle(form) && IsIconic(Handle(form)); }
bool FormWindowZoomed(const gui::TCustomForm& form) { return Handle(form) && IsZoomed(Handle(form)); }
bool FormWindowVisible(const gui::TCustomForm& form) { return Handle(form) && IsWindowVisible(Handle(form)); }
bool FormWindowEnabled(const gui::TCustomForm& form) {
  return Handle(form) ? IsWindowEnabled(Handle(form)) != FALSE : form.Enabled();
}

int32_t SystemMetric(int index) { return GetSystemMetrics(index); }

TRect FormMonitorWorkArea(const gui::TCustomForm& form) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR m = MonitorFromWindow(Handle(form), MONITOR_DEFAULTTONEAREST);
  if (m && GetMonitorInfoA(m, &mi)) return TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TPoint CursorScreenPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

bool AltKeyHeld() { return GetKeyState(VK_MENU) < 0; }

bool FormHasSystemMenu(const gui::TCustomForm& form) {
  return Handle(form) && GetSystemMenu(Handle(form), FALSE) != nullptr;
}

std::vector<SystemMenuEntry> FormSystemMenuEntries(const gui::TCustomForm& form) {
  std::vector<SystemMenuEntry> entries;
  HMENU menu = Handle(form) ? GetSystemMenu(Handle(form), FALSE) : nullptr;
  if (!menu) return entries;
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    SystemMenuEntry e;
    e.Id = GetMenuItemID(menu, i);
    if (e.Id == 0xFFFFFFFFu) e.Id = 0;
    char text[256] = {};
    const int len = GetMenuStringA(menu, UINT(i), text, 255, MF_BYPOSITION);
    if (len > 0) e.Text.assign(text, size_t(len));
    e.State = GetMenuState(menu, UINT(i), MF_BYPOSITION);
    entries.push_back(std::move(e));
  }
  return entries;
}

int32_t FormSystemMenuState(const gui::TCustomForm& form, uint32_t command) {
  HMENU menu = Handle(form) ? GetSystemMenu(Handle(form), FALSE) : nullptr;
  if (!menu) return -1;
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
  return state == 0xFFFFFFFFu ? -1 : int32_t(state);
}

void CaptionFont(gui::TFont& font) {
  // The 340-byte record without the padded border width: every Windows version answers it.
  NONCLIENTMETRICSA m{};
  m.cbSize = UINT(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth));
  static_assert(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth) == 340);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0)) {
    font.SetName("Tahoma");
    font.SetHeight(-11);
    font.SetStyle(gui::fsBold);
    return;
  }
  font.SetName(m.lfCaptionFont.lfFaceName);
  font.SetHeight(m.lfCaptionFont.lfHeight);
  gui::TFontStyles style = 0;
  if (m.lfCaptionFont.lfWeight >= FW_BOLD) style |= gui::fsBold;
  if (m.lfCaptionFont.lfItalic) style |= gui::fsItalic;
  font.SetStyle(style);
  font.SetCharset(m.lfCaptionFont.lfCharSet);
}

bool FormMenuItemRect(const gui::TCustomForm& form, int index, TRect& rect) {
  HMENU menu = Handle(form) ? GetMenu(Handle(form)) : nullptr;
  if (!menu) return false;
  // The n-th of the form's own items: entries the system adds to the bar (a maximized MDI child's icon and
  // buttons) are not counted.
  const int count = GetMenuItemCount(menu);
  int position = -1;
  for (int i = 0, own = 0; i < count && position < 0; ++i) {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_DATA;
    if (GetMenuItemInfoA(menu, UINT(i), TRUE, &mi) && gui::TMenuItem::FromCommand(UINT(mi.dwItemData)) != nullptr &&
        own++ == index)
      position = i;
  }
  RECT r{};
  if (position < 0 || !GetMenuItemRect(Handle(form), menu, UINT(position), &r)) return false;
  rect = TRect{r.left, r.top, r.right, r.bottom};
  return true;
}

int32_t WindowDlgCtrlID(void* window) { return window ? GetDlgCtrlID(static_cast<HWND>(window)) : 0; }

intptr_t SendFormMessage(gui::TCustomForm& form, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (Handle(form)) return SendMessageA(Handle(form), msg, wParam, lParam);
  return form.Perform(msg, wParam, lParam);
}

void PostFormMessage(gui::TCustomForm& form, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (Handle(form)) PostMessageA(Handle(form), msg, wParam, lParam);
}

uint32_t TickCount() { return GetTickCount(); }

void RedrawFormWindow(gui::TCustomForm& form, uint32_t flags) {
  if (Handle(form)) RedrawWindow(Handle(form), nullptr, nullptr, flags);
}

void RedrawMDIClientWindow(gui::TCustomForm& form, uint32_t flags) {
  if (form.ClientHandle() && IsWindow(form.ClientHandle())) RedrawWindow(form.ClientHandle(), nullptr, nullptr, flags);
}

void ResetWindowTheme(gui::TCustomForm& form) {
  if (SetWindowThemeFn setTheme = SetWindowThemeEntry(); setTheme && Handle(form)) setTheme(Handle(form), nullptr, nullptr);
}

void RemoveFormRegion(gui::TCustomForm& form) {
  if (Handle(form)) ledger::SetWindowRgn(Handle(form), nullptr, TRUE);
}

void SetFormAlpha(gui::TCustomForm& form, uint8_t alpha) {
  HWND h = Handle(form);
  if (!h) return;
  const LONG ex = GetWindowLongA(h, GWL_EXSTYLE);
  if (alpha == 255) {
    if (ex & WS_EX_LAYERED) SetWindowLongA(h, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    return;
  }
  if (!(ex & WS_EX_LAYERED)) SetWindowLongA(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  if (auto set = SetLayeredWindowAttributesProc()) set(h, 0, alpha, LWA_ALPHA);
}

uint32_t WindowPosFlags(intptr_t lParam) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  return pos ? pos->flags : 0;
}

void ForgetFormWindow(const gui::TCustomForm&) {}

void InvalidateFormClientRect(gui::TCustomForm& form, const TRect& r, bool erase) {
  const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  if (Handle(form)) InvalidateRect(Handle(form), &rc, erase ? TRUE : FALSE);
}

void SetFormCapture(gui::TCustomForm& form) {
  if (Handle(form)) SetCapture(Handle(form));
}
void ReleaseFormCapture() { ReleaseCapture(); }
void TrackFormFrameLeave(gui::TCustomForm& form) {
  if (!Handle(form)) return;
  TRACKMOUSEEVENT t{};
  t.cbSize = sizeof t;
  t.dwFlags = TME_LEAVE | TME_NONCLIENT;
  t.hwndTrack = Handle(form);
  TrackMouseEvent(&t);
}
bool PointerOverFormWindow(const gui::TCustomForm& form, void* other) {
  POINT c{};
  if (!Handle(form) || !GetCursorPos(&c)) return false;
  HWND under = WindowFromPoint(c);
  return under != nullptr && (under == Handle(form) || under == static_cast<HWND>(other));
}
bool FormHasCapture(const gui::TCustomForm& form) { return Handle(form) && GetCapture() == Handle(form); }

bool DragFullWindows() {
  BOOL on = FALSE;
  return SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) && on;
}

bool RunFormCaptionMove(gui::TCustomForm& form, TPoint pressed, const std::function<void()>& ended) {
  HWND h = Handle(form);
  if (!h || (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) return false;
  RECT start{};
  GetWindowRect(h, &start);
  const TRect from{start.left, start.top, start.right, start.bottom};
  // Where the system drags outlines, so does the move: the window goes once, at the release. (Under Wine a
  // window moved while the button is held is placed after the pointer's events, which are read against where it
  // was: it then runs away from the pointer and its release can be lost.)
  const bool whole = DragFullWindows();
  void* outline = whole ? nullptr : BeginDesktopOutline();
  TPoint travel{0, 0};
  auto shifted = [&] { return TRect{from.Left + travel.X, from.Top + travel.Y, from.Right + travel.X, from.Bottom + travel.Y}; };
  auto place = [&] {
    SetWindowPos(h, nullptr, from.Left + travel.X, from.Top + travel.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  auto follow = [&](POINT c) {
    const TPoint t{c.x - pressed.X, c.y - pressed.Y};
    if (t.X == travel.X && t.Y == travel.Y) return;
    if (outline) DrawDesktopOutline(outline, shifted());  // erased
    travel = t;
    if (outline) DrawDesktopOutline(outline, shifted());
    if (whole) place();
  };
  if (outline) DrawDesktopOutline(outline, shifted());
  SetCapture(h);
  SendMessageA(h, WM_ENTERSIZEMOVE, 0, 0);
  bool done = false, keep = true;
  MSG msg;
  while (!done && IsWindow(h) && GetCapture() == h) {
    if (!gui::WindowBridge::NextMessage(msg)) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE:
        follow(msg.pt);
        // A release that never came as a message ends the move all the same.
        done = !(msg.wParam & MK_LBUTTON);
        continue;
      case WM_LBUTTONUP:
        follow(msg.pt);
        done = true;
        continue;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        keep = msg.wParam != VK_ESCAPE;
        done = msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN;
        continue;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_SYSCHAR:
        continue;  // the keys belong to the move while it runs
      default:
        break;
    }
    // The other buttons of the mouse do nothing meanwhile.
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
    DispatchMessageA(&msg);
  }
  if (outline) {
    DrawDesktopOutline(outline, shifted());  // erased
    EndDesktopOutline(outline);
  }
  if (IsWindow(h)) {
    if (GetCapture() == h) ReleaseCapture();
    if (!keep) travel = TPoint{0, 0};
    if (!keep || !whole) place();
    SendMessageA(h, WM_EXITSIZEMOVE, 0, 0);
  }
  if (ended) ended();
  // A window manager answers each placement of a managed window (and each change Wine makes to it, such as the
  // alpha of a form translucent while it moves) with a report of where the window is, and Wine takes a report
  // that comes after a newer placement for a move of the manager's: on a busy machine the window went back to
  // where the move had passed, and a change Wine then made asked the manager for that place too. The reports
  // come in the order of the requests, so the move's last word is its end place, asked for once more after
  // everything else the move changed (a window already there is left alone).
  if (IsWindow(h)) place();
  return true;
}

bool SystemMinimizeAnimation() {
  ANIMATIONINFO info{sizeof(info), 0};
  return SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0) && info.iMinAnimate != 0;
}

void SetSystemMinimizeAnimation(bool on) {
  ANIMATIONINFO info{sizeof(info), on ? 1 : 0};
  SystemParametersInfoA(SPI_SETANIMATION, sizeof(info), &info, 0);
}

namespace {
struct Outline {
  HWND desktop;
  HDC dc;
  int saved;
};
}  // namespace

void* BeginDesktopOutline() {
  HWND desktop = GetDesktopWindow();
  HDC dc = ledger::GetWindowDC(desktop);
  if (!dc) return nullptr;
  auto* o = new Outline{desktop, dc, SaveDC(dc)};
  SetROP2(dc, R2_NOT);
  return o;
}

void DrawDesktopOutline(void* handle, const TRect& r) {
  auto* o = static_cast<Outline*>(handle);
  if (!o) return;
  const POINT pts[5] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1},
                        {r.Left, r.Top}};
  Polyline(o->dc, pts, 5);
  ++DesktopOutlineDraws();
}

void EndDesktopOutline(void* handle) {
  auto* o = static_cast<Outline*>(handle);
  if (!o) return;
  // The last erase is on the screen before the window is placed where the outline was. Under X, Wine draws on the
  // screen and moves windows through two connections to the X server, which may take the move first: the window
  // then took the outline that crossed it along to its new place, inverted inside it, and kept it. A pixel read
  // through the same DC comes back only once what was drawn before it is done.
  GetPixel(o->dc, 0, 0);
  RestoreDC(o->dc, o->saved);
  ledger::ReleaseDC(o->desktop, o->dc);
  delete o;
}

int64_t& DesktopOutlineDraws() {
  static int64_t draws = 0;
  return draws;
}

}  // namespace skin
