#pragma once
// The skinned scroll bars: the engine that draws and operates the standard non-client scroll bars (WS_HSCROLL,
// WS_VSCROLL) of every window a scrollable adapter has subclassed. The window keeps its own scroll information (set
// by the control itself); the engine keeps the system's bars out of the non-client layout, reserves room for bars
// of the skin's size, paints them from the skin's scroll-bar sections and turns the mouse on them into the
// WM_HSCROLL / WM_VSCROLL messages the system would have sent. It is also the attach/detach layer of the
// scrollable family.
//
// One set of hover and press state serves the process (only one bar can be hot or pressed at a time); each is
// tied to one window and one bar, and goes when that window's adapter goes. A press ends when the button is
// released, when the window loses the capture or is told to cancel its modes, and at a repeat tick that finds the
// button up.
#include <cstdint>

#include "skin/adapters/acmainwnd.h"
#include "skin/adapters/scroll_geometry.h"

#ifdef _WIN32
#include <windows.h>

namespace skin {

class TacScrollWnd;

// Timer identifiers of the engine (on the window whose bar they serve).
inline constexpr UINT_PTR ScrollHoverTimerId = 0xFFF2;
inline constexpr UINT_PTR ScrollFirstRepeatTimerId = 0xFFFD;
inline constexpr UINT_PTR ScrollRepeatTimerId = 0xFFFE;
inline constexpr UINT ScrollHoverInterval = 20;
inline constexpr UINT ScrollFirstRepeatDelay = 300;
inline constexpr UINT ScrollRepeatInterval = 55;

// One bar of a scrollable adapter.
struct TacScrollBar {
  uint16_t HasStyle = 0;   // 8 when the window has the bar's style bit (refreshed at every WM_NCCALCSIZE)
  uint16_t Kind = 0;       // 0 horizontal, 1 vertical
  int32_t MinThumbSize = 16;
  TacScrollWnd* Owner = nullptr;
  uint8_t Visible = 0;     // the bar takes room in the non-client area
  SCROLLINFO ScrollInfo{}; // the last state read (SIF_ALL)

  ScrollRange Range() const {
    return ScrollRange{ScrollInfo.nMin, ScrollInfo.nMax, ScrollInfo.nPage, ScrollInfo.nPos, ScrollInfo.nTrackPos};
  }
};

// The engine-wide state (one set for the process).
struct ScrollEngineState {
  HWND HotWnd = nullptr;     // the window whose bar is under the mouse (its hover timer runs)
  int32_t HotBar = -1;       // kind of that bar, -1 none
  TRect HotBarRect;          // its screen rectangle
  int32_t HotPart = -1;
  int32_t PrevHotPart = -1;
  HWND PressedWnd = nullptr;  // the window whose bar is pressed (it holds the capture and the repeat timer)
  int32_t PressedBar = -1;
  int32_t PressedPart = -1;
  int32_t ShownPart = -1;    // the pressed part while the cursor is over it, else -1
  UINT ScrollMsg = 0;        // WM_HSCROLL or WM_VSCROLL for the pressed bar
  UINT_PTR HoverTimer = 0;
  UINT_PTR RepeatTimer = 0;
  int32_t LastTrackPos = -1;
  TRect DragBarRect;
  int32_t DragThumbStart = 0;
  int32_t DragThumbLength = 0;
  int32_t DragGrabOffset = 0;
};
const ScrollEngineState& ScrollEngine();

// Attaching: both bars made and read, the styles noted, the window subclassed (and its frame recalculated with
// Repaint). Detaching: DetachWindow of the base adapter; the bars are freed and any hover or press state of the
// window ends.
bool AttachScrollWindow(TacScrollWnd* Adapter, HWND Handle, bool Repaint);
bool DetachScrollWindow(HWND Handle, bool FreeAdapter, bool RedrawFrame, TacMainWnd*& Adapter);

// Thickness (Thickness true) or arrow length of a bar; 0 for nullptr.
int32_t ScrollBarSize(const TacScrollBar* Bar, bool Thickness);
// Screen rectangles of the bars.
TRect HorzScrollBarRect(TacScrollWnd* Adapter, HWND Handle);
TRect VertScrollBarRect(TacScrollWnd* Adapter, HWND Handle);
TRect ScrollBarRect(TacScrollWnd* Adapter, int32_t Kind, HWND Handle);
// The thumb along the bar and the part under a point, for a bar rectangle (screen or window coordinates).
ScrollThumb ScrollThumbRect(const TacScrollBar& Bar, const TRect& BarRect);
int32_t ScrollHitTest(const TacScrollBar& Bar, const TRect& BarRect, int32_t X, int32_t Y);
// Whether the bar can be operated (the system reports it available; without GetScrollBarInfo, the style bit).
bool ScrollBarVisible(const TacScrollBar& Bar);

// Both bars and the corner into DC, or into the window's DC when DC is 0. Part is a hint (-1 normally).
LRESULT PaintNonClientScrollBars(TacScrollWnd* Adapter, HWND Handle, int32_t Part, HDC DC);
// One bar (BarRect in window coordinates). False when nothing was painted.
bool PaintScrollBar(TacScrollBar& Bar, HWND Handle, HDC DC, int32_t Part, const TRect& BarRect);
// The scroll message of a part, bracketed by AC_SCROLLBEGIN and AC_SCROLLEND.
LRESULT SendScrollMessage(HWND Handle, UINT Msg, int32_t Code, int32_t Pos);
// Re-reads both bars and, with Repaint, repaints them.
void RefreshScrollBars(TacScrollWnd* Adapter, bool Repaint);

// Message handlers of the scrollable adapters: each returns the message result and passes on what it does not
// consume.
LRESULT ScrollNcCalcSize(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
LRESULT ScrollNcHitTest(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
LRESULT ScrollNcMouseMove(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
LRESULT ScrollNcLButtonDown(TacScrollWnd* Adapter, HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT ScrollMouseMove(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
LRESULT ScrollMouseUp(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
LRESULT ScrollTimer(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
LRESULT ScrollStyleChanged(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam);
// WM_CAPTURECHANGED and WM_CANCELMODE: a press of this window's bar ends (then the message is passed on).
LRESULT ScrollCaptureLost(TacScrollWnd* Adapter, HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
// The hover and press state of the window ends (its timers killed, the capture released).
void ScrollEngineForget(HWND Handle);

// The flat-scroll-bar entry points of comctl32 (nullptr when missing), bound on first use.
using FlatSBFn = BOOL(WINAPI*)(HWND);
FlatSBFn InitializeFlatSBEntry();
FlatSBFn UninitializeFlatSBEntry();

}  // namespace skin
#endif
