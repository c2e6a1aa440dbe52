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
  // A hint window of that class: a popup tool window that is never activated; its procedure answers the hit test
  // with HTTRANSPARENT and calls HintWindowGone on WM_NCDESTROY. Its handle is kept in *slot, which is cleared
  // when the window goes, whoever destroys it.
  static HWND CreateHintWindow(const std::string& className, WNDPROC proc, HWND* slot);
  // Shows a hint window at r (screen), just above the window under the pointer, which it then belongs to: the
  // mouse goes through a hint only to its owner's windows under Wine (a click on the hint, which lies over the
  // control below the pointer, was dropped otherwise), as the owner keeps its hint above it. An owner destroys
  // the windows it owns: a hint shown over a form that is later freed goes with it, and is made anew when next
  // shown.
  static void ShowHintWindow(HWND hint, const RECT& r);
  static void HintWindowGone(HWND hint);
};

}  // namespace gui
#endif
