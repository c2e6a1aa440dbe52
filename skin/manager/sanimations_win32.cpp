// The animations' window half: layered output, helper windows, busy waits, window pictures, the hint window and
// work areas. Every GDI and USER object made here goes through the leak ledger.
#include <windows.h>

#include <algorithm>

#include "skin/manager/sanimations.h"
#include "skin/manager/sanimations_window.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {

// A memory DC holding a bitmap of the library, released with the object.
class BitmapDC {
 public:
  explicit BitmapDC(const Bitmap& bmp) {
    if (!bmp.Handle()) return;
    bmp.Flush();
    dc_ = ledger::CreateCompatibleDC(nullptr);
    if (dc_) old_ = SelectObject(dc_, static_cast<HBITMAP>(bmp.Handle()));
  }
  ~BitmapDC() {
    if (!dc_) return;
    GdiFlush();
    SelectObject(dc_, old_);
    ledger::DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

class SystemOutput final : public TacLayeredOutput {
 public:
  void Push(HWND Wnd, const Bitmap& Frame, uint8_t Alpha) override {
    if (!Wnd || Frame.Empty() || !IsWindow(Wnd)) return;
    const LONG_PTR ex = GetWindowLongPtrA(Wnd, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrA(Wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    BitmapDC src(Frame);
    if (!src.dc()) return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    POINT origin{0, 0};
    SIZE size{Frame.Width(), Frame.Height()};
    HDC screen = ledger::GetDC(nullptr);
    UpdateLayeredWindow(Wnd, screen, nullptr, &size, src.dc(), &origin, 0, &blend, ULW_ALPHA);
    ledger::ReleaseDC(nullptr, screen);
  }
};

LRESULT CALLBACK HelperWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_NCPAINT: return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

const char* HelperClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HelperWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TacAnimationWindow";
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&wc);
    return "TacAnimationWindow";
  }();
  return name;
}

LRESULT CALLBACK HintWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
    PAINTSTRUCT ps{};
    HDC dc = msg == WM_PAINT ? BeginPaint(h, &ps) : reinterpret_cast<HDC>(w);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = ledger::CreateSolidBrush(GetSysColor(COLOR_INFOBK));
    FillRect(dc, &r, b);
    ledger::DeleteObject(b);
    char text[1024] = {};
    GetWindowTextA(h, text, sizeof text);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    InflateRect(&r, -2, -2);
    DrawTextA(dc, text, -1, &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    if (msg == WM_PAINT) EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcA(h, msg, w, l);
}

const char* HintClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HintWndProc;
    wc.style = CS_SAVEBITS;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TacHintWindow";
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&wc);
    return "TacHintWindow";
  }();
  return name;
}

}  // namespace

namespace detail {

TacLayeredOutput& SystemLayeredOutput() {
  static SystemOutput output;
  return output;
}

void TakeInPendingInput() {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_INPUT);
}

TacAnimWindow MakeHelperWindow(const TRect& ScreenRect, bool Topmost, HWND Above) {
  // The picture lets the mouse through (layered and transparent: the hit test passes it by), so that a click given
  // while it shows goes to the window under it.
  DWORD ex = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT;
  if (Topmost) ex |= WS_EX_TOPMOST;
  HWND owner = gui::Application->Handle();
  HWND h = ledger::CreateWindowEx(ex, HelperClass(), "", WS_POPUP, ScreenRect.Left, ScreenRect.Top, ScreenRect.Width(),
                                  ScreenRect.Height(), owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (h && !Topmost && Above) {
    // Directly above the window it covers.
    HWND previous = GetWindow(Above, GW_HWNDPREV);
    SetWindowPos(h, previous ? previous : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return TacAnimWindow{h, [h] {
                         if (!h || !IsWindow(h)) return;
                         // The input that came while the animation held the thread is taken in first, while the
                         // picture still exists: under Wine the pointer's clicks are bound to the window they
                         // fell on when they are read, and those of a window destroyed before are dropped.
                         TakeInPendingInput();
                         ledger::DestroyWindow(h);
                       }};
}

void PrepareHideWindow(HWND Wnd) {
  if (!Wnd || !IsWindow(Wnd)) return;
  SetWindowLongPtrA(Wnd, GWL_EXSTYLE, GetWindowLongPtrA(Wnd, GWL_EXSTYLE) | 0x8080000);
}

void ShowHideWindow(HWND Wnd, const TSize& Size) {
  if (!Wnd || !IsWindow(Wnd)) return;
  RECT r{};
  GetWindowRect(Wnd, &r);
  ShowWindow(Wnd, SW_SHOWNOACTIVATE);
  SetWindowPos(Wnd, HWND_TOPMOST, r.left, r.top, Size.cx, Size.cy, 0x318);
}

void ShowNoActivate(HWND Wnd) {
  if (Wnd && IsWindow(Wnd) && !IsWindowVisible(Wnd)) ShowWindow(Wnd, SW_SHOWNOACTIVATE);
}

void HideWindow(HWND Wnd) {
  if (Wnd && IsWindow(Wnd)) ShowWindow(Wnd, SW_HIDE);
}

TRect WindowScreenRect(HWND Wnd) {
  RECT r{};
  if (!Wnd || !GetWindowRect(Wnd, &r)) return {};
  return TRect{r.left, r.top, r.right, r.bottom};
}

bool WindowTopmost(HWND Wnd) { return Wnd && (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void CopyWindowRegion(HWND From, HWND To) {
  if (!From || !To) return;
  HRGN rgn = ledger::CreateRectRgn(0, 0, 0, 0);
  if (!rgn) return;
  if (GetWindowRgn(From, rgn) != ERROR && ledger::SetWindowRgn(To, rgn, FALSE)) return;
  ledger::DeleteObject(rgn);
}

// The animations' clock, in milliseconds to the millisecond: the system's tick count may advance in steps of 10 to
// 16 ms (it does under Wine), which holds a picture due every 12 ms up to one step past its time.
uint32_t TickCount() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f{};
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
  }();
  LARGE_INTEGER now{};
  if (frequency == 0 || !QueryPerformanceCounter(&now)) return GetTickCount();
  return uint32_t(now.QuadPart / frequency * 1000 + now.QuadPart % frequency * 1000 / frequency);
}

void WaitUntil(uint32_t Tick) {
  while (int32_t(Tick - TickCount()) > 0) {
    if (int32_t(Tick - TickCount()) > 2) Sleep(1);
  }
}

void SleepFor(uint32_t Ms) { Sleep(Ms); }

void RedrawOn(HWND Wnd, uint32_t Flags) {
  if (!Wnd || !IsWindow(Wnd)) return;
  SendMessageA(Wnd, WM_SETREDRAW, 1, 0);
  RedrawWindow(Wnd, nullptr, nullptr, Flags);
}

void CaptureScreen(HWND Wnd, Bitmap& Bmp) {
  RECT r{};
  if (!Wnd || !GetWindowRect(Wnd, &r) || Bmp.Empty()) return;
  BitmapDC dst(Bmp);
  HDC screen = ledger::GetDC(nullptr);
  if (dst.dc() && screen) BitBlt(dst.dc(), 0, 0, Bmp.Width(), Bmp.Height(), screen, r.left, r.top, SRCCOPY);
  ledger::ReleaseDC(nullptr, screen);
}

void PrintWindowInto(HWND Wnd, Bitmap& Bmp, int32_t X, int32_t Y, int32_t W, int32_t H, bool NoClip) {
  if (!Wnd || !IsWindow(Wnd) || Bmp.Empty()) return;
  const bool skinned = QueryLibraryCommand(Wnd, AC_ISSKINNED) != 0;
  if (!skinned && !NoClip && (X != 0 || Y != 0) && W > 0 && H > 0) {
    // A window the library does not paint prints itself through the system's procedure, and Wine's buttons and
    // statics clip what they draw to their rectangle at the DC's device origin: an owner-drawn button printed at
    // its place would show its background and nothing of its drawing. It is printed at the origin of a picture of
    // its own, over what lies there, and the picture goes to its place.
    Bitmap own(W, H, pf32bit);
    BitmapDC picture(Bmp), alone(own);
    if (!picture.dc() || !alone.dc()) return;
    BitBlt(alone.dc(), 0, 0, W, H, picture.dc(), X, Y, SRCCOPY);
    SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(alone.dc()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    GdiFlush();
    BitBlt(picture.dc(), X, Y, W, H, alone.dc(), 0, 0, SRCCOPY);
    return;
  }
  BitmapDC dst(Bmp);
  if (!dst.dc()) return;
  const int saved = SaveDC(dst.dc());
  SetViewportOrgEx(dst.dc(), X, Y, nullptr);
  if (!NoClip) IntersectClipRect(dst.dc(), 0, 0, W, H);
  if (skinned) {
    SendLibraryCommand(Wnd, AC_SETPAINTTARGET, reinterpret_cast<LPARAM>(dst.dc()));
    SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(dst.dc()), 0);
    SendLibraryCommand(Wnd, AC_SETPAINTTARGET, 0);
  } else {
    SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(dst.dc()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  }
  RestoreDC(dst.dc(), saved);
}

void PrintControlInto(gui::TControl* Control, Bitmap& Bmp, int32_t X, int32_t Y) {
  if (!Control || Bmp.Empty()) return;
  BitmapDC dst(Bmp);
  if (!dst.dc()) return;
  const int saved = SaveDC(dst.dc());
  SetViewportOrgEx(dst.dc(), X, Y, nullptr);
  IntersectClipRect(dst.dc(), 0, 0, Control->Width(), Control->Height());
  Control->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SETPAINTTARGET), reinterpret_cast<LPARAM>(dst.dc()));
  Control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dst.dc()), 0);
  Control->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SETPAINTTARGET), 0);
  RestoreDC(dst.dc(), saved);
}

TRect ClientRectInWindow(HWND Wnd) {
  RECT r{};
  skin::ClientRectInWindow(Wnd, r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

void CopyWindowPart(HWND Wnd, const TRect& Part, Bitmap& Bmp, const TPoint& At) {
  if (!Wnd || Bmp.Empty() || Part.Width() <= 0 || Part.Height() <= 0) return;
  BitmapDC dst(Bmp);
  HDC src = ledger::GetWindowDC(Wnd);
  if (dst.dc() && src) BitBlt(dst.dc(), At.X, At.Y, Part.Width(), Part.Height(), src, Part.Left, Part.Top, SRCCOPY);
  if (src) ledger::ReleaseDC(Wnd, src);
}

void CopyWindowDC(HWND Wnd, Bitmap& Bmp, const TPoint& Offset) {
  CopyWindowPart(Wnd, TRect{Offset.X, Offset.Y, Offset.X + Bmp.Width(), Offset.Y + Bmp.Height()}, Bmp, TPoint{0, 0});
}

void* BitmapDeviceContext(Bitmap& Bmp) {
  if (!Bmp.Handle()) return nullptr;
  Bmp.Flush();
  HDC dc = ledger::CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(Bmp.Handle()));
  (void)old;  // a fresh DC's stock bitmap needs no putting back before DeleteDC
  return dc;
}

void ReleaseBitmapDeviceContext(Bitmap&, void* DC) {
  if (!DC) return;
  GdiFlush();
  ledger::DeleteDC(static_cast<HDC>(DC));
}

}  // namespace detail

// ---- Window alpha.

bool SetWindowAlpha(HWND Wnd, bool Enable, uint8_t Alpha) {
  if (!Wnd || !IsWindow(Wnd)) return false;
  TsSkinManager* m = DefaultManager();
  const bool layered = m == nullptr || m->System().LayeredWindowsAvailable();
  if (Enable && layered) {
    const LONG_PTR ex = GetWindowLongPtrA(Wnd, GWL_EXSTYLE);
    const bool added = !(ex & WS_EX_LAYERED);
    if (added) SetWindowLongPtrA(Wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Wnd, 0, Alpha, LWA_ALPHA);
    return added;
  }
  SetWindowLongPtrA(Wnd, GWL_STYLE, GetWindowLongPtrA(Wnd, GWL_STYLE) & ~LONG_PTR(WS_VISIBLE));
  SetWindowLongPtrA(Wnd, GWL_EXSTYLE, GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYERED));
  return false;
}

// ---- Hint window and work areas.

TacHintWindow::~TacHintWindow() {
  if (wnd_ && IsWindow(wnd_)) ledger::DestroyWindow(wnd_);
}

std::unique_ptr<TacHintWindow> ShowHintWindow(const std::string& Text, const TPoint& Point) {
  if (Text.empty()) return nullptr;
  auto hint = std::unique_ptr<TacHintWindow>(new TacHintWindow);
  hint->text_ = Text;
  HWND owner = gui::Application->Handle();
  hint->wnd_ = ledger::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, HintClass(), Text.c_str(), WS_POPUP | WS_BORDER,
                                      0, 0, 0, 0, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hint->wnd_) return hint;
  // The text's rectangle (at most 800 wide), below and right of the point, kept inside the work area.
  HDC dc = ledger::GetDC(hint->wnd_);
  RECT r{0, 0, 800, 0};
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextA(dc, Text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ledger::ReleaseDC(hint->wnd_, dc);
  int w = r.right + 6, h = r.bottom + 4;
  int x = Point.X + 8, y = Point.Y + 16;
  const TRect area = WorkAreaAtPoint(Point);
  if (area.Width() > 0) {
    if (x + w > area.Right) x = area.Right - w;
    if (y + h > area.Bottom) y = area.Bottom - h;
  }
  SetWindowPos(hint->wnd_, HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE);
  BOOL animation = FALSE, fade = FALSE;
  SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
  SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  if (HintUsesAnimateWindow(Text, animation != FALSE, fade != FALSE)) {
    hint->faded_ = AnimateWindow(hint->wnd_, 200, AW_BLEND) != FALSE;
  }
  ShowWindow(hint->wnd_, SW_SHOWNOACTIVATE);
  InvalidateRect(hint->wnd_, nullptr, TRUE);
  UpdateWindow(hint->wnd_);
  return hint;
}

TRect FormMonitorWorkArea(gui::TCustomForm* Form) {
  HMONITOR monitor = MonitorFromWindow(Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr,
                                       MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!monitor || !GetMonitorInfoA(monitor, &mi)) return {};
  return TRect{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
}

TRect WorkAreaAtPoint(const TPoint& Point) {
  struct Search {
    POINT p;
    RECT found{0, 0, 0, 0};
    bool done = false;
  } s{POINT{Point.X, Point.Y}};
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR m, HDC, LPRECT, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoA(m, &mi) && PtInRect(&mi.rcWork, s->p)) {
          s->found = mi.rcWork;
          s->done = true;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return TRect{s.found.left, s.found.top, s.found.right, s.found.bottom};
}

}  // namespace skin
