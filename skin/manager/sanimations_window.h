#pragma once
// The window half of the animations (sanimations_win32.cpp; sanimations_posix.cpp natively, where no window
// exists: the calls do nothing and the answers are empty).
#include <cstdint>
#include <vector>

#include "gui/controls.h"
#include "skin/manager/skinchange.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin::detail {

// A borderless layered helper window over a screen rectangle (tool window, no activation, mouse-transparent,
// counted by the leak ledger): topmost, or placed directly above Above. Free takes in the pending input (below),
// then destroys it.
TacAnimWindow MakeHelperWindow(const TRect& ScreenRect, bool Topmost, HWND Above);
// The input that reached the thread while it was held (an animation's frames) taken into the thread's queue now,
// each message bound to the window it falls on while the windows of the animation still stand.
void TakeInPendingInput();
// The hidden window of a hide gets WS_EX_LAYERED and WS_EX_NOACTIVATE.
void PrepareHideWindow(HWND Wnd);
// Shown without activation and placed topmost with the picture's size (no redraw, no copy bits).
void ShowHideWindow(HWND Wnd, const TSize& Size);
// Shown without activation (a show or a transition).
void ShowNoActivate(HWND Wnd);
void HideWindow(HWND Wnd);
TRect WindowScreenRect(HWND Wnd);
bool WindowTopmost(HWND Wnd);
// The window's region copied onto another window (nothing when it has none).
void CopyWindowRegion(HWND From, HWND To);
// The milliseconds clock of the busy waits (GetTickCount); a busy wait until a tick count.
uint32_t TickCount();
void WaitUntil(uint32_t Tick);
void SleepFor(uint32_t Ms);
// Redraw switched on and the window redrawn at once with RedrawWindow flags.
void RedrawOn(HWND Wnd, uint32_t Flags);
// The screen under a window copied into a 32-bit bitmap of its size.
void CaptureScreen(HWND Wnd, Bitmap& Bmp);
// The image of a window: WM_PRINT into the bitmap's device context at (X, Y), clipped to (X, Y, W, H) unless
// NoClip; a window the library skins is told the paint target around it.
void PrintWindowInto(HWND Wnd, Bitmap& Bmp, int32_t X, int32_t Y, int32_t W, int32_t H, bool NoClip);
// The same for a graphic control (its own WM_PRINT performed).
void PrintControlInto(gui::TControl* Control, Bitmap& Bmp, int32_t X, int32_t Y);
// A dialog's whole window copied from its window device context.
void CopyWindowDC(HWND Wnd, Bitmap& Bmp, const TPoint& Offset);
// The client area of a window in the window's own coordinates (from its top-left corner).
TRect ClientRectInWindow(HWND Wnd);
// A part of a window (window coordinates) copied from its window device context into a bitmap at a point.
void CopyWindowPart(HWND Wnd, const TRect& Part, Bitmap& Bmp, const TPoint& At);
// A dialog's client area painted by its adapter (the adapter paints its children into a device context).
void* BitmapDeviceContext(Bitmap& Bmp);
void ReleaseBitmapDeviceContext(Bitmap& Bmp, void* DC);

}  // namespace skin::detail
