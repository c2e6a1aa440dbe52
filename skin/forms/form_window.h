#pragma once
// What the form skinning code reads of a form's window, in one place: its styles, rectangles and states, the
// system's metrics, the work area of its monitor and its system menu.
//
// The Windows build asks the window itself. The native build has no windows: there every form has a headless
// window that follows the form's properties: the styles its border style, icons and state give, its bounds as
// the window rectangle (160 pixels wide and one caption high at -32000 when minimized), its client area from the
// component layer, Windows' standard system menu, and fixed system metrics (frame 4, fixed frame 3, caption 19,
// small caption 15, menu 19, scroll bars 17). Style changes and system-menu changes made through these functions
// are kept per form until ForgetFormWindow.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/pixels/geometry.h"

namespace gui {
class TCustomForm;
class TFont;
}

namespace skin {

// The window of a form exists (natively: always).
bool FormWindowExists(const gui::TCustomForm& form);
// The window handle (HWND on Windows; nullptr natively).
void* FormWindowHandle(const gui::TCustomForm& form);

uint32_t FormWindowStyle(const gui::TCustomForm& form);
void SetFormWindowStyle(gui::TCustomForm& form, uint32_t style);
uint32_t FormWindowExStyle(const gui::TCustomForm& form);
void SetFormWindowExStyle(gui::TCustomForm& form, uint32_t exStyle);

// The window rectangle in screen coordinates; the client area's size and the screen place of its origin.
TRect FormWindowRect(const gui::TCustomForm& form);
TSize FormClientSize(const gui::TCustomForm& form);
TPoint FormClientOrigin(const gui::TCustomForm& form);
bool FormWindowIconic(const gui::TCustomForm& form);
bool FormWindowZoomed(const gui::TCustomForm& form);
bool FormWindowVisible(const gui::TCustomForm& form);
bool FormWindowEnabled(const gui::TCustomForm& form);

// GetSystemMetrics.
int32_t SystemMetric(int index);
// The work area of the monitor that holds the form.
TRect FormMonitorWorkArea(const gui::TCustomForm& form);
// The screen place of the cursor.
TPoint CursorScreenPos();
// Whether an Alt key is down, as the thread's input read so far has it (GetKeyState: the asynchronous state would
// read the pending input, and a press read while a skin change hides the form from the system goes elsewhere).
bool AltKeyHeld();

// One entry of a window's system menu.
struct SystemMenuEntry {
  uint32_t Id = 0;       // command; 0 for a separator
  std::string Text;      // as GetMenuString gives it ("&Close\tAlt+F4")
  uint32_t State = 0;    // GetMenuState bits (MF_GRAYED 1, MF_DISABLED 2, MF_SEPARATOR 0x800)
};
// GetSystemMenu (window, False) is not nil.
bool FormHasSystemMenu(const gui::TCustomForm& form);
// The entries in order (empty without a system menu).
std::vector<SystemMenuEntry> FormSystemMenuEntries(const gui::TCustomForm& form);
// GetMenuState by command: the state bits, or -1 when the menu has no such command (or there is no menu).
int32_t FormSystemMenuState(const gui::TCustomForm& form, uint32_t command);

// The system's caption font (the non-client metrics' caption font; natively Tahoma, 11 pixels, bold).
void CaptionFont(gui::TFont& font);
// GetMenuItemRect of the n-th item of the form's menu bar, in screen coordinates; false when it fails.
bool FormMenuItemRect(const gui::TCustomForm& form, int index, TRect& rect);
// GetDlgCtrlID of a window.
int32_t WindowDlgCtrlID(void* window);

// A message sent to the form's window (SendMessage; natively through its message procedure), or posted
// (PostMessage; natively handled at once).
intptr_t SendFormMessage(gui::TCustomForm& form, uint32_t msg, uintptr_t wParam, intptr_t lParam);
void PostFormMessage(gui::TCustomForm& form, uint32_t msg, uintptr_t wParam, intptr_t lParam);
// The system's tick count (GetTickCount).
uint32_t TickCount();

// RedrawWindow of the form's window with the RDW_ flags (nothing natively).
void RedrawFormWindow(gui::TCustomForm& form, uint32_t flags);
// The same for an MDI parent form's client window (nothing without one).
void RedrawMDIClientWindow(gui::TCustomForm& form, uint32_t flags);
// SetWindowTheme (window, nil, nil) when the theme library is loaded (nothing natively).
void ResetWindowTheme(gui::TCustomForm& form);
// SetWindowRgn (window, 0, True) (natively: the kept region is forgotten).
void RemoveFormRegion(gui::TCustomForm& form);

// The form's constant alpha: 255 removes WS_EX_LAYERED, any other value makes the window layered with it.
void SetFormAlpha(gui::TCustomForm& form, uint8_t alpha);
// The flags of the WINDOWPOS record a WM_WINDOWPOSCHANGED carries (0 natively).
uint32_t WindowPosFlags(intptr_t lParam);

// InvalidateRect of a rectangle of the form's client area (nothing natively).
void InvalidateFormClientRect(gui::TCustomForm& form, const TRect& r, bool erase);
// Mouse capture for the form's window (SetCapture, ReleaseCapture); natively only remembered.
void SetFormCapture(gui::TCustomForm& form);
// Asks the system for WM_NCMOUSELEAVE when the pointer leaves the form's frame (natively nothing).
void TrackFormFrameLeave(gui::TCustomForm& form);
// Whether the window under the pointer is the form's window or `other` (natively: no window is).
bool PointerOverFormWindow(const gui::TCustomForm& form, void* other);
void ReleaseFormCapture();
bool FormHasCapture(const gui::TCustomForm& form);
// SPI_GETDRAGFULLWINDOWS (natively on).
bool DragFullWindows();
// The move of a top-level form by its caption, pressed at `pressed` (screen), run here as the system's own loop
// runs it: until the left button is released (Escape puts the window back, Return keeps it where it is), between
// WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE, the window follows the pointer's travel, or where the system drags
// outlines an outline does and the window goes at the release. Under X with a window manager the system's move
// is the manager's, started once the press has been handled: after a short tap the button was already up, and
// the manager's move then kept the window on the pointer until the next click. `ended`, when given, runs once
// the move is over (also when the window went meanwhile), before the move's last placement of the window: where
// the move left the window is asked of the window manager last (see the implementation). False when the form has
// no top-level window (natively never): the press is then left to the system, and `ended` is not run.
bool RunFormCaptionMove(gui::TCustomForm& form, TPoint pressed, const std::function<void()>& ended = {});
// SPI_GETANIMATION's minimize animation switch, read and set (natively a plain value).
bool SystemMinimizeAnimation();
void SetSystemMinimizeAnimation(bool on);
// An inverted outline on the desktop (the border drag's rectangle): Begin takes the desktop window's DC with
// R2_NOT, Draw draws (a second draw erases), End restores and releases the DC. Natively nothing is drawn; the
// draws are counted (DesktopOutlineDraws) so that tests can see that every outline was erased.
void* BeginDesktopOutline();
void DrawDesktopOutline(void* dc, const TRect& r);
void EndDesktopOutline(void* dc);
int64_t& DesktopOutlineDraws();

// The end of the kept state of a form's headless window (nothing on Windows).
void ForgetFormWindow(const gui::TCustomForm& form);
#ifndef _WIN32
// The headless window's system menu, for tests that change it.
std::vector<SystemMenuEntry>& HeadlessSystemMenu(const gui::TCustomForm& form);
#endif

}  // namespace skin
