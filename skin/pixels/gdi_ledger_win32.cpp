#include "skin/pixels/gdi_ledger.h"

#include <set>
#include <utility>

namespace skin::ledger {

namespace {
// Window timers alive, by (window, id). The skinning code runs on the GUI thread only.
std::set<std::pair<HWND, UINT_PTR>>& LiveTimers() {
  static std::set<std::pair<HWND, UINT_PTR>> timers;
  return timers;
}

template <typename H>
H Count(H handle, int kind) {
  if (handle != nullptr) Made(kind);
  return handle;
}
}  // namespace

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  return Count(::CreateDIBSection(dc, info, usage, bits, section, offset), kBitmap);
}
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  return Count(::CreateCompatibleBitmap(dc, width, height), kBitmap);
}
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  return Count(::CreateBitmap(width, height, planes, bitsPerPixel, bits), kBitmap);
}
HBRUSH CreateSolidBrush(COLORREF color) { return Count(::CreateSolidBrush(color), kBrush); }
HBRUSH CreatePatternBrush(HBITMAP bitmap) { return Count(::CreatePatternBrush(bitmap), kBrush); }
HPEN CreatePen(int style, int width, COLORREF color) { return Count(::CreatePen(style, width, color), kPen); }
HFONT CreateFontIndirect(const LOGFONTA* font) { return Count(::CreateFontIndirectA(font), kFont); }
HFONT CreateFontIndirect(const LOGFONTW* font) { return Count(::CreateFontIndirectW(font), kFont); }
HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return Count(::CreateRectRgn(left, top, right, bottom), kRegion);
}
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return Count(::CreateRoundRectRgn(left, top, right, bottom, width, height), kRegion);
}
HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return Count(::CreateEllipticRgn(left, top, right, bottom), kRegion);
}
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data) {
  return Count(::ExtCreateRegion(xform, count, data), kRegion);
}

BOOL DeleteObject(HGDIOBJ object) {
  if (object == nullptr) return FALSE;
  int kind = -1;
  switch (::GetObjectType(object)) {
    case OBJ_BITMAP: kind = kBitmap; break;
    case OBJ_BRUSH: kind = kBrush; break;
    case OBJ_PEN:
    case OBJ_EXTPEN: kind = kPen; break;
    case OBJ_FONT: kind = kFont; break;
    case OBJ_REGION: kind = kRegion; break;
    default: break;
  }
  BOOL done = ::DeleteObject(object);
  if (done && kind >= 0) Freed(kind);
  return done;
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  int result = ::SetWindowRgn(window, region, redraw);
  if (result != 0 && region != nullptr) Freed(kRegion);
  return result;
}

HDC CreateCompatibleDC(HDC dc) { return Count(::CreateCompatibleDC(dc), kMemoryDC); }
BOOL DeleteDC(HDC dc) {
  BOOL done = dc != nullptr && ::DeleteDC(dc);
  if (done) Freed(kMemoryDC);
  return done;
}
HDC GetDC(HWND window) { return Count(::GetDC(window), kWindowDC); }
HDC GetWindowDC(HWND window) { return Count(::GetWindowDC(window), kWindowDC); }
HDC GetDCEx(HWND window, HRGN clip, DWORD flags) { return Count(::GetDCEx(window, clip, flags), kWindowDC); }
int ReleaseDC(HWND window, HDC dc) {
  int done = dc != nullptr ? ::ReleaseDC(window, dc) : 0;
  if (done) Freed(kWindowDC);
  return done;
}

HICON CreateIconIndirect(ICONINFO* info) { return Count(::CreateIconIndirect(info), kIcon); }
HICON CopyIcon(HICON icon) { return Count(::CopyIcon(icon), kIcon); }
BOOL DestroyIcon(HICON icon) {
  BOOL done = icon != nullptr && ::DestroyIcon(icon);
  if (done) Freed(kIcon);
  return done;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  UINT_PTR result = ::SetTimer(window, id, elapse, proc);
  // Setting a timer that exists already replaces it: a window timer is counted once per (window, id).
  if (result != 0 && window != nullptr && LiveTimers().insert({window, id}).second) Made(kTimer);
  return result;
}
BOOL KillTimer(HWND window, UINT_PTR id) {
  BOOL done = ::KillTimer(window, id);
  if (LiveTimers().erase({window, id}) != 0) Freed(kTimer);
  return done;
}

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread) {
  return Count(::SetWindowsHookExA(kind, proc, module, thread), kHook);
}
BOOL UnhookWindowsHookEx(HHOOK hook) {
  BOOL done = hook != nullptr && ::UnhookWindowsHookEx(hook);
  if (done) Freed(kHook);
  return done;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  return Count(::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, param),
               kWindow);
}
BOOL DestroyWindow(HWND window) {
  BOOL done = window != nullptr && ::DestroyWindow(window);
  if (done) Freed(kWindow);
  return done;
}

}  // namespace skin::ledger
