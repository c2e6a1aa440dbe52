// The Win32 half of forms, the screen and the application: the windows of forms (showing, hiding, their frame
// and client area, their messages), the modal loop with the other windows disabled, the screen's metrics, the
// application's hidden window and hint window, its message loop (Tab handled by the layer) and message boxes.
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/menus.h"
#include "gui/message_waits.h"
#include "gui/stdctrls.h"
#include "gui/win32_bridge.h"

namespace gui {

namespace {
LRESULT CALLBACK ApplicationWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  try {
    TMessage m{msg, w, l, 0};
    if (Application->RunHooks(m)) return m.Result;
    if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && DispatchMenuOwnerDraw(m)) return m.Result;
    if (msg == WM_TIMER) {
      if (w == 1) {
        KillTimer(h, 1);
        Application->ShowHintWindow();
      } else if (w == 2) {
        Application->CancelHint();
      }
      return 0;
    }
  } catch (...) {
    try {
      Application->HandleException(Application);
    } catch (...) {
    }
  }
  return DefWindowProcA(h, msg, w, l);
}

std::string g_hintText;

LRESULT CALLBACK HintWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
    FillRect(dc, &r, b);
    DeleteObject(b);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    InflateRect(&r, -3, -2);
    DrawTextA(dc, g_hintText.c_str(), static_cast<int>(g_hintText.size()), &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  if (msg == WM_NCDESTROY) WindowBridge::HintWindowGone(h);
  return DefWindowProcA(h, msg, w, l);
}
}  // namespace

namespace {
// Keys the layer handles before a window sees them: Tab moves the focus unless the focused control takes it;
// Escape cancels a modal form, as it cancels a dialog box; Return presses the focused push button, as in a
// dialog box (the system's button takes only Space).
bool PreTranslate(MSG& msg) {
  // The MDI keys (Ctrl+F4 closes the active child, Ctrl+F6 moves to the next one).
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f->FormStyle() == TFormStyle::fsMDIForm && f->ClientHandle() && TranslateMDISysAccel(f->ClientHandle(), &msg))
        return true;
    }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    TWinControl* c = TWinControl::FromHandle(msg.hwnd);
    for (HWND h = GetParent(msg.hwnd); h && !c; h = GetParent(h)) c = TWinControl::FromHandle(h);
    TCustomForm* form = c ? c->GetParentForm() : nullptr;
    if (form && form->IsModal()) {
      form->SetModalResult(mrCancel);
      return true;
    }
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN)
    if (auto* button = dynamic_cast<TButton*>(TWinControl::FromHandle(msg.hwnd)); button && button->Enabled()) {
      button->Click();
      return true;
    }
  // A character with Alt, or one that the focused control does not take, may be a control's accelerator: the
  // form offers it to its controls (CM_DIALOGCHAR); one that takes it answers non-zero and the key goes no further.
  if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR) {
    // Only up to the window's top-level window: a dialog of the system owned by a form is not the form's.
    TWinControl* c = nullptr;
    for (HWND h = msg.hwnd; h && !c; h = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr)
      c = TWinControl::FromHandle(h);
    TCustomForm* form = c ? c->GetParentForm() : nullptr;
    const bool wantsChars =
        msg.message == WM_CHAR && (SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
                                   (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL)) != 0;
    if (form && !wantsChars && form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0) return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
    TWinControl* c = TWinControl::FromHandle(msg.hwnd);
    if (!c) {
      for (HWND h = GetParent(msg.hwnd); h && !c; h = GetParent(h)) c = TWinControl::FromHandle(h);
    }
    if (c && c->GetParentForm()) {
      const LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
      if (!(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) || (GetWindowLongA(msg.hwnd, GWL_STYLE) & ES_MULTILINE)) {
        c->SelectNext(!(GetKeyState(VK_SHIFT) & 0x8000));
        return true;
      }
    }
  }
  return false;
}
}  // namespace

namespace {
// The window whose close request is being asked again once the input that came before it was handled.
HWND g_closeAskedAgain = nullptr;
constexpr UINT_PTR kCloseAfterInputTimer = 0x434C;

void CALLBACK AskCloseAgain(HWND h, UINT, UINT_PTR id, DWORD) {
  KillTimer(h, id);
  if (!IsWindow(h)) return;
  g_closeAskedAgain = h;
  SendMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
  g_closeAskedAgain = nullptr;
}

// Whether a form's close command waits, or goes: it goes only once the keys and clicks that came before it are
// handled, and never from a form that a modal one disabled. Under X a window manager's close request (Alt+F4, or
// the manager's close box) reaches the window it holds active, and Wine posts it as this command, which the queue
// hands out before the input waiting in it: a click that opens a dialog followed at once by Alt+F4 for that dialog,
// on a busy program, closed the main form before the click was read (the program ended behind the dialog to come),
// where Windows gives the keys to the dialog the click has opened by then. The command waits for that input (a
// timer's turn comes after it), and is then dropped when the form is disabled under a modal form, as a disabled
// window takes no input on Windows.
bool CloseWaits(HWND h) {
  if (!IsWindowEnabled(h)) return true;
  return g_closeAskedAgain != h && HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON)) != 0 &&
         SetTimer(h, kCloseAfterInputTimer, USER_TIMER_MINIMUM, AskCloseAgain) != 0;
}
}  // namespace

bool TCustomForm::KeysWereElsewhere() {
  const bool elsewhere = keysElsewhere_;
  keysElsewhere_ = false;
  return elsewhere;
}

void TCustomForm::RunModal(TCustomForm* previous) {
  if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND activeWindow = GetActiveWindow();
  std::vector<HWND> disabled;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f == this || !f->HandleAllocated()) continue;
    HWND h = f->WindowHandle();
    if (IsWindowVisible(h) && IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      disabled.push_back(h);
    }
  }
  auto restore = [&] {
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    disabled.clear();
  };
  try {
    Show();
    if (Application->ModalDriver) Application->ModalDriver(*this);
    for (;;) {
      if (Application->Terminated()) modalResult_ = mrCancel;
      if (modalResult_ != mrNone) {
        CloseModal();
        if (modalResult_ != mrNone || Application->Terminated()) break;
      }
      Application->HandleMessage();
    }
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
  } catch (...) {
    restore();
    modal_ = false;
    Hide();
    throw;
  }
  restore();
  Hide();
  modal_ = false;
  // The keys typed while this form was shown were its own.
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i) != this) Screen->Forms(i)->keysElsewhere_ = true;
  if (activeWindow && IsWindow(activeWindow) && IsWindowVisible(activeWindow)) SetActiveWindow(activeWindow);
}

void TCustomForm::FormStyleToWindow() {
  if (handle_)
    SetWindowPos(handle_, formStyle_ == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::WindowStateToWindow() {
  if (handle_ && visible_)
    ShowWindow(handle_, windowState_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                        : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                          : SW_SHOWNORMAL);
}

void TCustomForm::MenuToWindow() {
  if (handle_) {
    if (formStyle_ == TFormStyle::fsMDIForm && clientHandle_ && menu_)
      SendMessageA(clientHandle_, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu_->Handle()), 0);
    else
      ::SetMenu(handle_, menu_ ? menu_->Handle() : nullptr);
    DrawMenuBar(handle_);
  }
}

TRect TCustomForm::FrameMargins() const {
  const bool hasMenu = menu_ && menu_->Items()->Count() > 0;
  if (handle_) {
    RECT w, c;
    GetWindowRect(handle_, &w);
    GetClientRect(handle_, &c);
    POINT o{0, 0};
    ::ClientToScreen(handle_, &o);
    return TRect{o.x - w.left, o.y - w.top, w.right - (o.x + c.right), w.bottom - (o.y + c.bottom)};
  }
  TCreateParams p;
  const_cast<TCustomForm*>(this)->CreateParams(p);
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, p.Style, hasMenu, p.ExStyle);
  return TRect{-r.left, -r.top, r.right, r.bottom};
}

TRect TCustomForm::WindowClientRect() const {
  RECT c;
  GetClientRect(handle_, &c);
  return TRect{0, 0, c.right, c.bottom};
}

TPoint TCustomForm::WindowClientOrigin() const {
  POINT p{0, 0};
  ::ClientToScreen(handle_, &p);
  return TPoint{p.x, p.y};
}

void TCustomForm::CreateHandle() {
  if (handle_) return;
  Application->HandleNeeded();
  CenterAsPositioned();
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_) mdiParent_->HandleNeeded();
  // A form inside a control is made inside the control's window (which makes its children, this form among them).
  if (Parent() && formStyle_ != TFormStyle::fsMDIChild && !Parent()->HandleAllocated()) {
    Parent()->HandleNeeded();
    if (handle_) return;
  }
  TWinControl::CreateHandle();
  if (handle_ && menu_) ::SetMenu(handle_, menu_->Handle());
  ApplyClientSize();
  if (handle_ && formStyle_ == TFormStyle::fsMDIForm) CreateMDIClient();
}

void TCustomForm::CreateMDIClient() {
  if (clientHandle_ && IsWindow(clientHandle_)) return;
  CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
  const TRect r = AlignedRemainder();
  clientHandle_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                  WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, r.Left, r.Top,
                                  r.Width(), r.Height(), handle_, nullptr, WindowBridge::Instance(), &ccs);
  if (!clientHandle_) throw std::runtime_error("Cannot create the MDI client window");
  SetWindowPos(clientHandle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Children made before the client existed are made again inside it.
  for (TCustomForm* c : std::vector<TCustomForm*>(mdiChildren_))
    if (c->HandleAllocated()) c->RecreateWnd();
}

void TCustomForm::PlaceMDIClient() {
  if (!clientHandle_ || !IsWindow(clientHandle_)) return;
  const TRect r = AlignedRemainder();
  SetWindowPos(clientHandle_, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TCustomForm::MDIDefaultHandler(TMessage& m) {
  if (!handle_ || (m.Msg >= CM_BASE && m.Msg < 0xC000)) return false;
  if (formStyle_ == TFormStyle::fsMDIForm && clientHandle_) {
    if (m.Msg == WM_NCDESTROY || m.Msg == WM_DESTROY) clientHandle_ = nullptr;
    if (m.Msg == WM_SIZE) {  // the client window lies where the aligned controls leave room, not over them
      m.Result = CallWindowProcA(reinterpret_cast<WNDPROC>(defWndProc_), handle_, m.Msg, m.WParam, m.LParam);
      PlaceMDIClient();
      return true;
    }
    m.Result = DefFrameProcA(handle_, clientHandle_, m.Msg, m.WParam, m.LParam);
    return true;
  }
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_ && (GetWindowLongA(handle_, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
    m.Result = DefMDIChildProcA(handle_, m.Msg, m.WParam, m.LParam);
    return true;
  }
  return false;
}

bool TCustomForm::WindowMDIChildren(std::vector<TCustomForm*>& out) const {
  if (formStyle_ != TFormStyle::fsMDIForm || !clientHandle_) return false;
  out.clear();
  for (HWND h = GetWindow(clientHandle_, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (auto* f = dynamic_cast<TCustomForm*>(FromHandle(h)); f && f->mdiParent_ == this) out.push_back(f);
  // Children without a window yet (not shown) follow in the layer's order.
  for (TCustomForm* c : mdiChildren_)
    if (!c->HandleAllocated()) out.push_back(c);
  return true;
}

bool TCustomForm::WindowActiveMDIChild(TCustomForm*& child) const {
  if (!clientHandle_) return false;
  HWND h = reinterpret_cast<HWND>(SendMessageA(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  child = dynamic_cast<TCustomForm*>(FromHandle(h));
  return true;
}

bool TCustomForm::MDIArrangeWindow(UINT msg, WPARAM wParam) {
  if (!clientHandle_) return false;
  if (msg == WM_MDINEXT) {
    TCustomForm* active = nullptr;
    WindowActiveMDIChild(active);
    SendMessageA(clientHandle_, WM_MDINEXT, reinterpret_cast<WPARAM>(active ? active->WindowHandle() : nullptr), wParam);
    return true;
  }
  SendMessageA(clientHandle_, msg, wParam, 0);
  return true;
}

void TCustomForm::MDIActivateWindow(TCustomForm* child) {
  if (clientHandle_ && child && child->HandleAllocated())
    SendMessageA(clientHandle_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->WindowHandle()), 0);
}

void TCustomForm::ShowFormWindow() {
  HandleNeeded();
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_) {
    ShowWindow(handle_, windowState_ == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                        : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                    : SW_SHOWNORMAL);
    mdiParent_->MDIActivateWindow(this);
    return;
  }
  if (formStyle_ == TFormStyle::fsStayOnTop)
    SetWindowPos(handle_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(handle_, windowState_ == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                      : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                  : SW_SHOWNORMAL);
  SetForegroundWindow(handle_);
  // A window shown fully transparent (one that is about to fade in) is painted when it is made visible, not now.
  BYTE alpha = 255;
  DWORD flags = 0;
  const bool transparent = (GetWindowLongA(handle_, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                           GetLayeredWindowAttributes(handle_, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) &&
                           alpha == 0;
  if (!transparent) UpdateWindow(handle_);
}

void TCustomForm::HideFormWindow() {
  if (handle_) ShowWindow(handle_, SW_HIDE);
}

bool TCustomForm::WindowMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintHandler(m);
      return true;
    case WM_CLOSE:
      Close();
      m.Result = 0;
      return true;
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        Screen->SetActiveForm(this);
        if (activeControl_ && activeControl_->CanFocus())
          ::SetFocus(activeControl_->Handle());
        else if (!HIWORD(m.WParam))
          ::SetFocus(handle_);
      } else {
        TWinControl* f = FocusedControl();
        if (f && f != this && ContainsControl(f)) activeControl_ = f;
      }
      m.Result = 0;
      return true;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      keysElsewhere_ = true;
      break;
    case WM_MDIACTIVATE:
      // The frame's menu bar shows the menu of its active child.
      if (mdiParent_ && reinterpret_cast<HWND>(m.LParam) == handle_ && mdiParent_->Menu()) mdiParent_->Menu()->Rebuild();
      break;
    case WM_SIZE:
      // The window state follows the window, however it was maximized, minimized or restored (its caption
      // buttons, its system menu, an MDI client).
      if (m.WParam == SIZE_MAXIMIZED)
        windowState_ = TWindowState::wsMaximized;
      else if (m.WParam == SIZE_MINIMIZED)
        windowState_ = TWindowState::wsMinimized;
      else if (m.WParam == SIZE_RESTORED && !IsIconic(handle_) && !IsZoomed(handle_))
        windowState_ = TWindowState::wsNormal;
      break;
    case WM_ACTIVATEAPP:
      if (Application->MainForm() == this) {
        TMessage hookMsg{m.WParam ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0, 0};
        Application->RunHooks(hookMsg);
      }
      break;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_CLOSE && handle_ && CloseWaits(handle_)) {
        m.Result = 0;
        return true;
      }
      if (Application->MainForm() == this && ((m.WParam & 0xFFF0) == SC_MINIMIZE || (m.WParam & 0xFFF0) == SC_RESTORE)) {
        TMessage hookMsg = m;
        if (Application->RunHooks(hookMsg)) {
          m.Result = hookMsg.Result;
          return true;
        }
      }
      break;
    case WM_COMMAND:
      if (m.LParam == 0) {
        if (TMenuItem* item = TMenuItem::FromCommand(LOWORD(m.WParam))) {
          item->Click();
          m.Result = 0;
          return true;
        }
      }
      break;
    case WM_MENUSELECT:
      if (!(HIWORD(m.WParam) & MF_POPUP)) {
        TMenuItem* item = TMenuItem::FromCommand(LOWORD(m.WParam));
        Application->SetHint(item ? item->Hint() : std::string());
      }
      break;
    default:
      break;
  }
  return TWinControl::WindowMessage(m);
}

TWinControl* TScreen::ActiveControl() const { return FocusedControl(); }

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

int TScreen::PixelsPerInch() const {
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
}

TPoint TScreen::CursorPos() const {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

namespace {
// The monitors as EnumDisplayMonitors gives them, the primary one first.
std::vector<TRect> DisplayMonitors() {
  std::vector<TRect> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoA(monitor, &info)) return TRUE;
        auto& list = *reinterpret_cast<std::vector<TRect>*>(data);
        const TRect r{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
        if (info.dwFlags & MONITORINFOF_PRIMARY)
          list.insert(list.begin(), r);
        else
          list.push_back(r);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) monitors.push_back(TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  return monitors;
}
}  // namespace

int TScreen::MonitorCount() const { return static_cast<int>(DisplayMonitors().size()); }

TRect TScreen::MonitorBounds(int i) const { return DisplayMonitors().at(static_cast<size_t>(i)); }

TApplication::~TApplication() {
  if (hintWindow_) DestroyWindow(hintWindow_);
  if (handle_) DestroyWindow(handle_);
}

void TApplication::SetTitle(const std::string& t) {
  title_ = t;
  if (handle_) SetWindowTextA(handle_, t.c_str());
}

void TApplication::Minimize() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->WindowHandle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->WindowHandle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = nullptr;
  if (TCustomForm* f = Screen->ActiveForm(); f && f->HandleAllocated()) owner = f->WindowHandle();
  else if (mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->WindowHandle();
  CancelHint();
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TApplication::ProcessTimers() {}

void TApplication::CancelHint() {
  hintControl_ = nullptr;
  if (handle_) {
    KillTimer(handle_, 1);
    KillTimer(handle_, 2);
  }
  if (hintWindow_) ShowWindow(hintWindow_, SW_HIDE);
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::HandleNeeded() {
  if (handle_) return;
  WindowBridge::EnsureClass("TApplication", 0, ApplicationWndProc);
  handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, "TApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            WindowBridge::Instance(), nullptr);
}

void TApplication::ShowHintWindow() {
  if (!hintControl_ || !showHint_) return;
  g_hintText = hintControl_->Hint();
  if (g_hintText.empty()) return;
  if (!hintWindow_ && !WindowBridge::CreateHintWindow("THintWindow", HintWndProc, &hintWindow_)) return;
  HDC dc = GetDC(hintWindow_);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, 300, 0};
  DrawTextA(dc, g_hintText.c_str(), static_cast<int>(g_hintText.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(hintWindow_, dc);
  POINT p;
  GetCursorPos(&p);
  int w = r.right + 8, hgt = r.bottom + 6;
  int x = p.x, y = p.y + 20;
  if (x + w > GetSystemMetrics(SM_CXSCREEN)) x = GetSystemMetrics(SM_CXSCREEN) - w;
  if (y + hgt > GetSystemMetrics(SM_CYSCREEN)) y = p.y - hgt - 4;
  WindowBridge::ShowHintWindow(hintWindow_, RECT{x, y, x + w, y + hgt});
  InvalidateRect(hintWindow_, nullptr, TRUE);
  SetTimer(handle_, 2, static_cast<UINT>(hintHidePause_), nullptr);
}

void TCustomForm::PostRelease() {
  if (handle_ && PostMessageA(handle_, CM_RELEASE, 0, 0)) return;
  Application->DeferFree(this);
}

void TApplication::ProcessMessages() {
  FreeDeferredForms();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      exitCode_ = int(msg.wParam);
      return;
    }
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {
// The exit code of a program whose thread the system no longer hands its messages (WM_QUIT carries it).
constexpr WPARAM kMessagesLostExitCode = 1;
bool g_messagesLost = false;
}  // namespace

bool WindowBridge::NextMessage(MSG& msg) {
  static FailedMessageWaits failures;
  while (!g_messagesLost) {
    const BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r != -1) {
      failures.Succeeded();
      return r != 0;
    }
    const DWORD error = GetLastError();
    const int pause = failures.Failed(GetTickCount());
    if (pause < 0) {
      g_messagesLost = true;
      // Said where it can still be read: no window can show it now (a message box waits for messages too).
      char text[256];
      wsprintfA(text, "%s: the system has handed this program none of its messages for %lu s (%lu failures in a row, "
                      "error %lu); the program ends, its settings unsaved\n",
                Application->Title().c_str(), static_cast<unsigned long>(FailedMessageWaits::kGiveUpMs / 1000),
                static_cast<unsigned long>(failures.Count()), static_cast<unsigned long>(error));
      OutputDebugStringA(text);
      if (HANDLE err = GetStdHandle(STD_ERROR_HANDLE); err && err != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(err, text, DWORD(lstrlenA(text)), &written, nullptr);
      }
      break;
    }
    if (pause > 0) Sleep(DWORD(pause));
  }
  // Given up: every loop ends as on WM_QUIT, with the program's exit code.
  msg = MSG{};
  msg.message = WM_QUIT;
  msg.wParam = kMessagesLostExitCode;
  return false;
}

void TApplication::HandleMessage() {
  FreeDeferredForms();
  MSG msg;
  if (!WindowBridge::NextMessage(msg)) {
    terminated_ = true;
    exitCode_ = int(msg.wParam);
    return;
  }
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void TApplication::Run() {
  if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
  while (!terminated_) {
    HandleMessage();
  }
}

void TApplication::ReportException(TObject* sender, const std::string& message) {
  ::MessageBoxA(nullptr, message.c_str(), title_.empty() ? "Error" : title_.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::StartHintTimer() {
  HandleNeeded();
  SetTimer(handle_, 1, static_cast<UINT>(hintPause_), nullptr);
}

}  // namespace gui
