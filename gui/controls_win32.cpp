// The Win32 half of the controls: the window plumbing of the component layer (window classes, creation with
// subclassing from the first message, and the window procedure that hands every message to the control's
// WindowProc; no exception leaves a window procedure: it is reported through the application and the window's
// own procedure answers instead), then each control's window side (controls.h).
#include <map>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "gui/controls.h"
#include "gui/menus.h"
#include "gui/forms.h"
#include "gui/win32_bridge.h"

namespace gui {

namespace {
// The control of each of the layer's windows. Every message of the windows looks its control up: kept here, not
// as a window property, which costs a round trip to the window server under Wine (about 50 us, some 2500 times
// as a skinned station starts).
struct ControlTable {
  std::mutex lock;
  std::unordered_map<HWND, TWinControl*> of;
};
ControlTable& Controls() {
  static ControlTable* table = new ControlTable;  // never freed: windows may still be destroyed as the process ends
  return *table;
}
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

HWND WindowBridge::CreateHintWindow(const std::string& className, WNDPROC proc, HWND* slot) {
  EnsureClass(className, CS_SAVEBITS, proc);
  *slot = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT, className.c_str(),
                          "", WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr, Instance(), nullptr);
  if (!*slot) return nullptr;
  // Opaque: layered only so that, with WS_EX_TRANSPARENT, the system gives the mouse to what lies below.
  SetLayeredWindowAttributes(*slot, 0, 255, LWA_ALPHA);
  SetWindowLongPtrA(*slot, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(slot));
  return *slot;
}

void WindowBridge::HintWindowGone(HWND hint) {
  auto* slot = reinterpret_cast<HWND*>(GetWindowLongPtrA(hint, GWLP_USERDATA));
  if (slot && *slot == hint) *slot = nullptr;
}

void WindowBridge::ShowHintWindow(HWND hint, const RECT& r) {
  POINT c{};
  GetCursorPos(&c);
  HWND under = GetAncestor(WindowFromPoint(c), GA_ROOT);
  // A window that never activates (a skinned form's border window, a cover, an animation's picture) is no owner:
  // it may go at any time, and the hint with it. The thread's active window stands in for it.
  if (under && (GetWindowLongA(under, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) under = GetActiveWindow();
  if (under && under != hint && reinterpret_cast<HWND>(GetWindowLongPtrA(hint, GWLP_HWNDPARENT)) != under)
    SetWindowLongPtrA(hint, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(under));
  SetWindowPos(hint, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
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
  {
    ControlTable& t = Controls();
    const std::lock_guard<std::mutex> lock(t.lock);
    t.of[h] = c;
  }
  c->handle_ = h;
  void* old = reinterpret_cast<void*>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
  c->defWndProc_ = old;
  return old;
}

void WindowBridge::Unsubclass(TWinControl* c, HWND h, void* oldProc) {
  if (!h) return;
  {
    ControlTable& t = Controls();
    const std::lock_guard<std::mutex> lock(t.lock);
    const auto it = t.of.find(h);
    if (it != t.of.end() && it->second == c) t.of.erase(it);
  }
  if (oldProc) SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
}

TWinControl* WindowBridge::ControlOf(HWND h) {
  if (!h) return nullptr;
  ControlTable& t = Controls();
  const std::lock_guard<std::mutex> lock(t.lock);
  const auto it = t.of.find(h);
  return it != t.of.end() ? it->second : nullptr;
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

// ============================== The controls' window side ==============================

namespace {
int LParamX(LPARAM l) { return static_cast<short>(LOWORD(static_cast<uintptr_t>(l))); }
int LParamY(LPARAM l) { return static_cast<short>(HIWORD(static_cast<uintptr_t>(l))); }
}  // namespace

void TControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated()) {
    RECT r{left_, top_, left_ + width_, top_ + height_};
    InvalidateRect(parent_->WindowHandle(), &r, TRUE);
  }
}

void TControl::Update() {
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->WindowHandle());
}

void TControl::WindowToZOrder(bool top) {
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->WindowHandle(), top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TControl::SetMouseCapture(bool on) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (!w->HandleAllocated()) return;
    if (on)
      SetCapture(w->WindowHandle());
    else if (GetCapture() == w->WindowHandle())
      ReleaseCapture();
    return;
  }
  if (parent_ && parent_->HandleAllocated()) {
    if (on) {
      parent_->captureControl_ = this;
      SetCapture(parent_->WindowHandle());
    } else {
      if (parent_->captureControl_ == this) parent_->captureControl_ = nullptr;
      if (GetCapture() == parent_->WindowHandle()) ReleaseCapture();
    }
  }
}

LRESULT TWinControl::SendToWindow(UINT msg, WPARAM wParam, LPARAM lParam) const { return handle_ ? SendMessageA(handle_, msg, wParam, lParam) : 0; }
bool TWinControl::PostToWindow(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return handle_ && PostMessageA(handle_, msg, wParam, lParam);
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  controlState_ |= csCreating;
  try {
    CreateWnd();
    if (handle_) {
      SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), 0);
      windowFontChanges_ = font_.HandleChanges();
      InitializeWindow();
    }
  } catch (...) {
    controlState_ &= ~csCreating;
    throw;
  }
  controlState_ &= ~csCreating;
  if (!handle_) return;
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children)
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      w->CreateHandle();
      if (w->handle_) SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  WindowBridge::CreateWindowFor(this, p);
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  FinalizeWindow();
  HWND h = handle_;
  DestroyWindow(h);
  if (handle_) WindowDestroyed();  // the window was not ours to destroy (already gone)
}

void TWinControl::AttachHandle(HWND h) {
  handle_ = h;
  defWndProc_ = WindowBridge::Subclass(this, h);
}

void TWinControl::WindowDestroyed() {
  WindowBridge::Unsubclass(this, handle_, defWndProc_);
  handle_ = nullptr;
  defWndProc_ = nullptr;
  captureControl_ = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND h) { return WindowBridge::ControlOf(h); }

void TWinControl::BoundsToWindow() {
  if (handle_) SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
    POINT a{r.left, r.top}, b{r.right, r.bottom};
    HWND parent = GetParent(handle_);
    ::ScreenToClient(parent, &a);
    ::ScreenToClient(parent, &b);
    r = RECT{a.x, a.y, b.x, b.y};
  }
  if (r.left == left_ && r.top == top_ && r.right - r.left == width_ && r.bottom - r.top == height_) return;
  const bool sizeChanged = r.right - r.left != width_ || r.bottom - r.top != height_;
  updatingBounds_ = true;
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  BoundsChanged(sizeChanged);
  updatingBounds_ = false;
  if (sizeChanged) Resize();
}

void TWinControl::StyleToWindow(DWORD style, bool on) {
  if (!handle_) return;
  const LONG s = GetWindowLongA(handle_, GWL_STYLE);
  SetWindowLongA(handle_, GWL_STYLE, on ? (s | LONG(style)) : (s & ~LONG(style)));
}

void TWinControl::EnabledChanged() {
  if (handle_) EnableWindow(handle_, enabled_);
}

void TWinControl::VisibleChanged() {
  if (handle_ && parent_) ShowWindow(handle_, visible_ ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::FontToWindow() {
  // A change of the colour alone leaves the window its font: the control is repainted for it all the same
  // (a rich edit given its font again would format and lay out its whole text anew).
  if (!handle_ || windowFontChanges_ == int64_t(font_.HandleChanges())) return;
  windowFontChanges_ = font_.HandleChanges();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), 1);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::TakeFocus() { ::SetFocus(Handle()); }

HBRUSH TWinControl::BrushHandle() {
  // Kept by the colour it paints: a system colour follows its current value (a skin may change it).
  const uint32_t rgb = ColorRef(color_);
  if (brush_ && brushRGB_ != rgb) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
  if (!brush_) {
    brush_ = CreateSolidBrush(rgb);
    brushRGB_ = rgb;
  }
  return brush_;
}

void TWinControl::FreeBrush() {
  if (brush_) DeleteObject(brush_);
}

void TWinControl::ReflectToChild(TMessage& m) {
  // Only the reflected messages (IsReflectedMessage) come here.
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      child = GetDlgItem(handle_, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->CtlID));
      break;
    default:  // commands, scrolling and colours: the child's window is in LParam
      child = reinterpret_cast<HWND>(m.LParam);
      break;
  }
  if (child && child != handle_) {
    if (TWinControl* c = FromHandle(child)) {
      m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
      return;
    }
    // A list or an edit of no component may colour itself too (a skinned one does): a brush answers.
    if ((m.Msg == WM_CTLCOLORLISTBOX || m.Msg == WM_CTLCOLOREDIT) && IsChild(handle_, child) &&
        GetWindowThreadProcessId(child, nullptr) == GetCurrentThreadId()) {
      if (const LRESULT brush = SendMessageA(child, CN_BASE + m.Msg, m.WParam, m.LParam)) {
        m.Result = brush;
        return;
      }
    }
  }
  DefaultHandler(m);
}

bool TWinControl::WindowMessage(TMessage& m) {
  if ((m.Msg == WM_MEASUREITEM || m.Msg == WM_DRAWITEM) && DispatchMenuOwnerDraw(m)) return true;
  if (IsReflectedMessage(m.Msg)) {  // the child control concerned answers
    ReflectToChild(m);
    return true;
  }
  switch (m.Msg) {
    case WM_CLOSE:
      // Only forms close. A multiline edit that has seen a dialog key (the Tab handling asks it with
      // WM_GETDLGCODE) sends its parent WM_CLOSE on Escape, which the default procedure would answer by
      // destroying the parent control.
      m.Result = 0;
      return true;
    case WM_PAINT:
      if (handle_ && (OwnPaint() || HasVisibleGraphicChildren())) {
        PaintHandler(m);
        return true;
      }
      return false;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(m.WParam), &r, BrushHandle());
      m.Result = 1;
      return true;
    }
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      UpdateBoundsFromWindow();
      return true;
    case WM_SETFOCUS:
      Screen->SetFocusedControl(this);
      return false;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      const TPoint p{LParamX(m.LParam), LParamY(m.LParam)};
      TControl* target = captureControl_ ? captureControl_ : ControlAtPos(p);
      if (m.Msg == WM_MOUSEMOVE) {
        Application->ControlMouseMoved(target ? target : this);
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        TrackMouseEvent(&tme);
      }
      if (target && target != this) {
        target->Perform(m.Msg, m.WParam,
                        MAKELPARAM(static_cast<WORD>(p.X - target->Left()), static_cast<WORD>(p.Y - target->Top())));
        m.Result = 0;
        return true;
      }
      return false;
    }
    case WM_MOUSELEAVE: {
      TControl* mc = Application->MouseControl();
      if (mc && (mc == this || mc->Parent() == this)) {
        POINT pt;
        GetCursorPos(&pt);
        if (WindowFromPoint(pt) != handle_) Application->ControlMouseLeft(mc);
      }
      return false;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != handle_) captureControl_ = nullptr;
      return false;
    default:
      return false;
  }
}

bool TWinControl::WindowDefaultHandler(TMessage& m) {
  if (!handle_ || !defWndProc_) return false;
  if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    ::SetTextColor(dc, ColorRef(font_.Color()));
    ::SetBkColor(dc, ColorRef(color_));
    m.Result = reinterpret_cast<LRESULT>(BrushHandle());
    return true;
  }
  if (m.Msg == WM_SETTEXT || m.Msg == WM_GETTEXT || m.Msg == WM_GETTEXTLENGTH || m.Msg < CM_BASE || m.Msg >= 0xC000) {
    m.Result = CallWindowProcA(reinterpret_cast<WNDPROC>(defWndProc_), handle_, m.Msg, m.WParam, m.LParam);
    return true;
  }
  m.Result = 0;
  return true;
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc) {
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    const int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(handle_, &ps);
  const int saved = SaveDC(dc);
  PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc);
  if (own) EndPaint(handle_, &ps);
  m.Result = 0;
}

TWinControl* FocusedControl() {
  for (HWND h = GetFocus(); h; h = GetParent(h))
    if (TWinControl* c = TWinControl::FromHandle(h)) return c;
  return nullptr;
}

}  // namespace gui
