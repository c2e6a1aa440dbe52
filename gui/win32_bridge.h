#pragma once
// The layer's side of the Win32 window manager (Windows build only): creating a control's window of its class,
// subclassing it from its first message so that every message reaches the control's WindowProc, and finding
// the control of a window.
#ifdef _WIN32
#include <string>

#include "gui/win32_types.h"

namespace gui {

class TWinControl;
struct TCreateParams;

struct WindowBridge {
  // Creates the control's window (the control's handle is set as the window is born) or throws.
  static void CreateWindowFor(TWinControl* c, const TCreateParams& p);
  // Routes the window's messages to the control; returns the window's previous procedure.
  static void* Subclass(TWinControl* c, HWND h);
  static void Unsubclass(TWinControl* c, HWND h, void* oldProc);
  static TWinControl* ControlOf(HWND h);
  static LRESULT CALLBACK StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  static HINSTANCE Instance();
  // Registers a window class of the layer (forms, panels, utility windows) once.
  static void EnsureClass(const std::string& name, UINT style, WNDPROC proc = nullptr);
  // A hint window of that class: a popup tool window that is never activated and lets the mouse through to what
  // lies below it (layered and transparent, opaque on the screen; its procedure answers the hit test with
  // HTTRANSPARENT as well, and calls HintWindowGone on WM_NCDESTROY). Under Wine a hint that only answered
  // HTTRANSPARENT gave the mouse on only to the window right below it in the z-order, and only when that one was its
  // owner: a click on a control under the hint was dropped whenever another window lay between them (a skinned
  // form's border window, under a window manager). Its handle is kept in *slot, which is cleared when the window
  // goes, whoever destroys it.
  static HWND CreateHintWindow(const std::string& className, WNDPROC proc, HWND* slot);
  // Shows a hint window at r (screen), just above the window under the pointer, which it then belongs to (the
  // owner keeps its hint above it). An owner destroys the windows it owns: a hint shown over a form that is later
  // freed goes with it, and is made anew when next shown.
  static void ShowHintWindow(HWND hint, const RECT& r);
  static void HintWindowGone(HWND hint);
  // Waits for the thread's next message (GetMessage's wait): false for WM_QUIT, which is in `msg` then. A message
  // the system fails to hand over (GetMessage's -1; under Wine a message sent from another process with more data
  // than it can receive, such as a WM_COPYDATA of a few megabytes) is lost but ends nothing: the wait goes on, and
  // failures that come back to back are spaced out, so that one that repeats does not take a whole processor.
  // Failures that go on (FailedMessageWaits) are said on the debugger's output and the standard error, and end
  // every loop as WM_QUIT does, with the exit code 1 in `msg`, at once from then on.
  static bool NextMessage(MSG& msg);
};

}  // namespace gui
#endif
