#pragma once
// The leak ledger: every GDI and USER object that the skinning code makes or frees goes through these wrappers,
// which count the objects of each kind that are alive. Windows has per-process resource counters, but Wine has
// none (GetGuiResources answers 0), so tests read this ledger instead: a sequence of skin operations repeated N
// times must bring every counter back to where it started.
//
// The counting costs one relaxed atomic increment per call; it is always on, so the tests check the code that
// ships. Natively (no Win32) only the snapshot type exists, for code that reports it.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace skin::ledger {

enum Kind : int {
  kBitmap = 0,   // CreateDIBSection, CreateCompatibleBitmap, CreateBitmap; DeleteObject
  kBrush,        // CreateSolidBrush, CreatePatternBrush; DeleteObject
  kPen,          // CreatePen; DeleteObject
  kFont,         // CreateFontIndirect; DeleteObject
  kRegion,       // CreateRectRgn, CreateRoundRectRgn, CreateEllipticRgn, ExtCreateRegion; DeleteObject (or handed to
                 // a window with SetWindowRgn, which owns it from then on)
  kMemoryDC,     // CreateCompatibleDC; DeleteDC
  kWindowDC,     // GetDC, GetWindowDC, GetDCEx; ReleaseDC
  kIcon,         // CreateIconIndirect, CopyIcon; DestroyIcon
  kTimer,        // SetTimer with a window, once per (window, id); KillTimer (timers of a window that is destroyed
                 // without KillTimer count as leaked)
  kHook,         // SetWindowsHookEx; UnhookWindowsHookEx
  kWindow,       // CreateWindowEx of the library's own helper windows; DestroyWindow (destroy them explicitly)
  kKindCount
};

const char* KindName(int kind);

// The number of live objects of each kind.
struct Snapshot {
  std::array<int64_t, kKindCount> Live{};
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

// Taken once no work of the library on a thread of its own holds objects (see BackgroundWork), or after two
// seconds of waiting for it.
Snapshot Take();
// "" when equal, else a line per kind that differs ("Bitmap: 3 -> 5").
std::string Difference(const Snapshot& before, const Snapshot& after);

// Counting by hand, for objects made or freed through calls the wrappers below do not cover.
void Made(int kind);
void Freed(int kind);

// Work of the library on a thread of its own whose objects all go before it ends (the screen's alpha probe),
// counted from before the thread starts to its end: a snapshot waits for it, so that it never counts the objects
// of work half done.
void BackgroundBegun();
void BackgroundEnded();

}  // namespace skin::ledger

#ifdef _WIN32
#include <windows.h>

namespace skin::ledger {

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFontIndirect(const LOGFONTA* font);
HFONT CreateFontIndirect(const LOGFONTW* font);
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data);
// Deletes a bitmap, brush, pen, font or region and counts it under its kind (asked of the object first).
BOOL DeleteObject(HGDIOBJ object);
// A region handed to a window belongs to the window from then on: counted as freed when the call succeeds.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
HDC GetDCEx(HWND window, HRGN clip, DWORD flags);
int ReleaseDC(HWND window, HDC dc);

HICON CreateIconIndirect(ICONINFO* info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);

// Timers of a window (a window handle is required: thread timers without one are not counted).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread);
BOOL UnhookWindowsHookEx(HHOOK hook);

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND window);

}  // namespace skin::ledger
#endif
