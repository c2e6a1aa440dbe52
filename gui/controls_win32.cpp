// Win32 window plumbing of the component layer: window classes, creation with subclassing from the first
// message, and the window procedure that hands every message to the control's WindowProc. No exception leaves
// a window procedure: it is reported through the application and the window's own procedure answers instead.
#include <map>
#include <stdexcept>

#include "gui/controls.h"
#include "gui/forms.h"
#include "gui/win32_bridge.h"

namespace gui {

namespace {
const char kControlProp[] = "GuiLayerControl";
thread_local TWinControl* g_creating = nullptr;
int g_nextChildId = 100;

LRESULT CALLBACK CreationHook(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND && g_creating) {
    TWinControl* c = g_creating;
    g_creating = nullptr;
    WindowBridge::Subclass(c, reinterpret_cast<HWND>(w));
  }
  return CallNextHookEx(nullptr, code, w, l);
}

void InitControlsOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
}
}  // namespace

HINSTANCE WindowBridge::Instance() { return GetModuleHandleA(nullptr); }

void WindowBridge::EnsureClass(const std::string& name, UINT style, WNDPROC proc) {
  static std::map<std::string, bool> registered;
  if (registered.count(name)) return;
  WNDCLASSA wc{};
  wc.style = style | CS_DBLCLKS;
  wc.lpfnWndProc = proc ? proc : DefWindowProcA;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.lpszClassName = name.c_str();
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("Cannot register the window class " + name);
  registered[name] = true;
}

void WindowBridge::CreateWindowFor(TWinControl* c, const TCreateParams& p) {
  InitControlsOnce();
  if (p.OwnClass) EnsureClass(p.WinClassName, p.ClassStyle);
  if (p.WinClassName == "RichEdit20A") {
    static HMODULE riched = LoadLibraryA("riched20.dll");
    if (!riched) throw std::runtime_error("The rich edit library riched20.dll is missing");
  }
  HMENU id = nullptr;
  if (p.Style & WS_CHILD) {
    id = reinterpret_cast<HMENU>(static_cast<intptr_t>(g_nextChildId));
    g_nextChildId = g_nextChildId >= 0xFF00 ? 100 : g_nextChildId + 1;
  }
  TWinControl* previous = g_creating;
  g_creating = c;
  HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
  HWND h = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                           p.WndParent, id, Instance(), nullptr);
  if (hook) UnhookWindowsHookEx(hook);
  g_creating = previous;
  if (!h) throw std::runtime_error("Cannot create a window of class " + p.WinClassName);
  if (ControlOf(h) != c) Subclass(c, h);  // the creation hook did not see it (another hook took it)
}

void* WindowBridge::Subclass(TWinControl* c, HWND h) {
  SetPropA(h, kControlProp, c);
  c->handle_ = h;
  void* old = reinterpret_cast<void*>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
  c->defWndProc_ = old;
  return old;
}

void WindowBridge::Unsubclass(TWinControl* c, HWND h, void* oldProc) {
  if (!h) return;
  if (GetPropA(h, kControlProp) == c) RemovePropA(h, kControlProp);
  if (oldProc) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
}

TWinControl* WindowBridge::ControlOf(HWND h) {
  if (!h) return nullptr;
  return static_cast<TWinControl*>(GetPropA(h, kControlProp));
}

LRESULT CALLBACK WindowBridge::StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TWinControl* c = ControlOf(h);
  if (!c) return DefWindowProcA(h, msg, w, l);
  WNDPROC old = reinterpret_cast<WNDPROC>(c->defWndProc_);
  TMessage m{msg, w, l, 0};
  try {
    if (c->WindowProc)
      c->WindowProc(m);
    else
      c->WndProc(m);
  } catch (...) {
    try {
      Application->HandleException(c);
    } catch (...) {
    }
    m.Result = old ? CallWindowProcA(old, h, msg, w, l) : DefWindowProcA(h, msg, w, l);
  }
  if (msg == WM_NCDESTROY && ControlOf(h) == c) c->WindowDestroyed();
  return m.Result;
}

}  // namespace gui
