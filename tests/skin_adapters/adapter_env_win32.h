#pragma once
// What the Windows tests of the adapters share: a skin manager on the real system, a host window, windows of the
// standard and common classes, the leak ledger and the thread's window count.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/support/win_screen.h"

namespace adaptertest {

struct TestSystem : skin::PortableSkinSystem {
  TestSystem() { layeredWindows = true; }
  uint32_t SysColor(int index) override { return GetSysColor(index); }
  int32_t SystemMetric(int index) override { return GetSystemMetrics(index); }
};

inline int ThreadWindowCount() { return testsupport::ThreadWindowCount(true); }

inline void Pump(DWORD ms = 0) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ms) Sleep(2);
  } while (GetTickCount() - start < ms);
}

// Pumps the queue until `done()` holds or `ms` milliseconds have passed, and says whether it holds. A test that
// acts through real input, or reads pixels that an action repaints, waits for the state it checks: on a loaded
// machine the input, the timers and the repaints come late, and a fixed pause is then too short.
template <class Condition>
bool PumpUntil(Condition done, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump();
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(2);
  }
}

// A plain top-level window to hold the windows under test.
inline HWND MakeHost(int x, int y, int w, int h, const char* title = "Adapters") {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "AdapterTestHost";
    RegisterClassA(&wc);
    registered = true;
  }
  HWND host = CreateWindowExA(0, "AdapterTestHost", title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, w, h,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(host, SW_SHOWNOACTIVATE);
  UpdateWindow(host);
  return host;
}

inline void LoadCommonClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  LoadLibraryA("riched20.dll");
}

// A child window of a class, Unicode for the W classes.
inline HWND MakeChild(HWND host, const std::string& cls, DWORD style, int x, int y, int w, int h,
                      const char* text = "", DWORD exStyle = 0) {
  LoadCommonClasses();
  if (!cls.empty() && cls.back() == 'W') {
    const std::wstring wcls(cls.begin(), cls.end());
    const std::string t(text);
    const std::wstring wtext(t.begin(), t.end());
    return CreateWindowExW(exStyle, wcls.c_str(), wtext.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                           host, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  return CreateWindowExA(exStyle, cls.c_str(), text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

inline WNDPROC WindowProcOf(HWND h) {
  return reinterpret_cast<WNDPROC>(IsWindowUnicode(h) ? GetWindowLongPtrW(h, GWLP_WNDPROC)
                                                      : GetWindowLongPtrA(h, GWLP_WNDPROC));
}

// A window's image through WM_PRINT (client, frame and background) into a 32-bit DIB, as TColors row by row.
struct Printed {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  explicit Printed(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    w = r.right - r.left;
    h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    GdiFlush();
    px.reserve(size_t(w) * size_t(h));
    for (int i = 0; i < w * h; ++i) {
      const uint32_t p = static_cast<uint32_t*>(bits)[i];
      px.push_back(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  uint32_t At(int x, int y) const { return px[size_t(y * w + x)]; }
  int Count(uint32_t c) const { return int(std::count(px.begin(), px.end(), c)); }
};

inline uint32_t PrintedPixel(HWND h, int x, int y) { return Printed(h).At(x, y); }

// A pixel of the window's surface (its window DC), as a TColor.
inline uint32_t SurfacePixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

// Real mouse input: the cursor to a screen point, the left button down or up.
inline void MouseTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG(x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG(y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

inline void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

}  // namespace adaptertest
