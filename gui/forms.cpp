#include "gui/forms.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

#include "gui/extctrls.h"
#include "gui/menus.h"
#include "gui/win32_bridge.h"

namespace gui {

TScreen* const Screen = new TScreen();
TApplication* const Application = new TApplication();

// ============================== TCustomForm ==============================

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  visible_ = false;
  parentFont_ = false;
  parentColor_ = false;
  parentShowHint_ = false;
  color_ = clBtnFace;
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  width_ = 320;
  height_ = 240;
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  Screen->RemoveForm(this);
  if (Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  if (OnCreate) {
    try {
      OnCreate(this);
    } catch (...) {
      Application->HandleException(this);
    }
  }
}

void TCustomForm::BeforeDestruction() {
  if (OnDestroy && !IsDestroying()) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  TWinControl::BeforeDestruction();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove) {
    if (AComponent == static_cast<TComponent*>(menu_)) menu_ = nullptr;
    if (AComponent == activeControl_) activeControl_ = nullptr;
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::Active() const { return Screen->ActiveForm() == this; }

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (action == TCloseAction::caMinimize)
    SetWindowState(TWindowState::wsMinimized);
  else
    Hide();
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = TCloseAction::caNone;
    if (CloseQuery()) {
      action = TCloseAction::caHide;
      DoClose(action);
    }
    if (action == TCloseAction::caNone) modalResult_ = mrNone;
  } catch (...) {
    modalResult_ = mrNone;
    Application->HandleException(this);
  }
}

TModalResult TCustomForm::ShowModal() {
  if (visible_ || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  Application->CancelHint();
  TCustomForm* previous = Screen->ActiveForm();
  modal_ = true;
  modalResult_ = mrNone;
#ifdef _WIN32
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
  if (activeWindow && IsWindow(activeWindow) && IsWindowVisible(activeWindow)) SetActiveWindow(activeWindow);
  (void)previous;
#else
  try {
    Show();
    if (Application->ModalDriver) Application->ModalDriver(*this);
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    CloseModal();
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
  } catch (...) {
    modal_ = false;
    Hide();
    throw;
  }
  modal_ = false;
  Hide();
  if (previous && previous != this && previous->Visible()) Screen->SetActiveForm(previous);
#endif
  return modalResult_;
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetActiveControl(TWinControl* c) {
  if (c == activeControl_) return;
  if (c && !ContainsControl(c)) throw EInvalidOperation("The active control must lie on its form");
  activeControl_ = c;
  if (c) FreeNotification(c);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  if (s == TFormBorderStyle::bsDialog) borderIcons_ &= ~(biMinimize | biMaximize);
  RecreateWnd();
  ApplyClientSize();
}

void TCustomForm::SetBorderIcons(TBorderIcons b) {
  if (b == borderIcons_) return;
  borderIcons_ = b;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle s) {
  if (s == formStyle_) return;
  formStyle_ = s;
#ifdef _WIN32
  if (handle_)
    SetWindowPos(handle_, s == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
#endif
}

void TCustomForm::SetWindowState(TWindowState s) {
  if (s == windowState_) return;
  windowState_ = s;
#ifdef _WIN32
  if (handle_ && visible_)
    ShowWindow(handle_, s == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                        : s == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                          : SW_SHOWNORMAL);
#else
  if (s == TWindowState::wsMaximized) SetBounds(0, 0, Screen->Width(), Screen->Height());
#endif
}

void TCustomForm::SetMenu(TMainMenu* m) {
  if (m == menu_) return;
  if (menu_) menu_->SetForm(nullptr);
  menu_ = m;
  if (m) {
    m->SetForm(this);
    FreeNotification(m);
  }
#ifdef _WIN32
  if (handle_) {
    ::SetMenu(handle_, m ? m->Handle() : nullptr);
    DrawMenuBar(handle_);
  }
#endif
  ApplyClientSize();
}

TRect TCustomForm::FrameMargins() const {
  const bool hasMenu = menu_ && menu_->Items()->Count() > 0;
#ifdef _WIN32
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
#else
  int border = 0, caption = 0;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
      break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsDialog:
      border = 3;
      caption = 19;
      break;
    case TFormBorderStyle::bsSizeable:
      border = 4;
      caption = 19;
      break;
    case TFormBorderStyle::bsToolWindow:
      border = 3;
      caption = 15;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      border = 4;
      caption = 15;
      break;
  }
  return TRect{border, border + caption + (hasMenu ? 19 : 0), border, border};
#endif
}

TRect TCustomForm::ClientRect() const {
#ifdef _WIN32
  if (handle_) {
    RECT c;
    GetClientRect(handle_, &c);
    return TRect{0, 0, c.right, c.bottom};
  }
#endif
  const TRect m = FrameMargins();
  return TRect{0, 0, std::max(0, width_ - m.Left - m.Right), std::max(0, height_ - m.Top - m.Bottom)};
}

void TCustomForm::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  ApplyClientSize();
}

void TCustomForm::ApplyClientSize() {
  if (clientWidth_ <= 0 && clientHeight_ <= 0) return;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const TRect m = FrameMargins();
    SetBounds(left_, top_, clientWidth_ + m.Left + m.Right, clientHeight_ + m.Top + m.Bottom);
    const TRect c = ClientRect();
    if (c.Width() == clientWidth_ && c.Height() == clientHeight_) break;  // a wrapped menu bar takes a second go
  }
}

TPoint TCustomForm::ClientOrigin() const {
#ifdef _WIN32
  if (handle_) {
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return TPoint{p.x, p.y};
  }
#endif
  const TRect m = FrameMargins();
  return TPoint{left_ + m.Left, top_ + m.Top};
}

void TCustomForm::BoundsChanged(bool sizeChanged) {
  TWinControl::BoundsChanged(sizeChanged);
  if (sizeChanged && (windowState_ == TWindowState::wsNormal)) {
    const TRect c = ClientRect();
    if (clientWidth_ > 0 || clientHeight_ > 0) {
      clientWidth_ = c.Width();
      clientHeight_ = c.Height();
    }
  }
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style = 0x02000000;  // WS_CLIPCHILDREN
  p.ExStyle = 0x00010000;  // WS_EX_CONTROLPARENT
#ifdef _WIN32
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
      p.Style |= WS_POPUP;
      break;
    case TFormBorderStyle::bsSingle:
      p.Style |= WS_CAPTION | WS_BORDER;
      break;
    case TFormBorderStyle::bsSizeable:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case TFormBorderStyle::bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TFormBorderStyle::bsToolWindow:
      p.Style |= WS_CAPTION | WS_BORDER;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != TFormBorderStyle::bsNone) {
    if (borderIcons_ & biSystemMenu) p.Style |= WS_SYSMENU;
    if (borderStyle_ != TFormBorderStyle::bsDialog && borderStyle_ != TFormBorderStyle::bsToolWindow &&
        borderStyle_ != TFormBorderStyle::bsSizeToolWin) {
      if (borderIcons_ & biMinimize) p.Style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) p.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (!enabled_) p.Style |= WS_DISABLED;
  if (formStyle_ == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  TCustomForm* main = Application->MainForm();
  p.WndParent = (main && main != this && main->HandleAllocated()) ? main->WindowHandle() : nullptr;
#endif
  p.WinClassName = ClassName();
  p.OwnClass = true;
}

void TCustomForm::CreateHandle() {
#ifdef _WIN32
  if (handle_) return;
  Application->HandleNeeded();
  CenterAsPositioned();
  TWinControl::CreateHandle();
  if (handle_ && menu_) ::SetMenu(handle_, menu_->Handle());
  ApplyClientSize();
#endif
}

void TCustomForm::PaintWindow(HDC dc) {
  (void)dc;  // the background is erased with the form's colour; graphic controls paint over it
}

void TCustomForm::CenterAsPositioned() {
  TRect area{0, 0, Screen->Width(), Screen->Height()};
  TCustomForm* main = Application->MainForm();
  if (position_ == TPosition::poMainFormCenter && main && main != this && main->Visible()) area = main->BoundsRect();
  if (position_ == TPosition::poScreenCenter || position_ == TPosition::poMainFormCenter) {
    const int left = std::max(0, area.Left + (area.Width() - width_) / 2);
    const int top = std::max(0, area.Top + (area.Height() - height_) / 2);
    SetBounds(left, top, width_, height_);
  }
}

void TCustomForm::SetFormVisible(bool v) {
  if (v) {
    CenterAsPositioned();
    if (OnShow) OnShow(this);
#ifdef _WIN32
    HandleNeeded();
    if (formStyle_ == TFormStyle::fsStayOnTop)
      SetWindowPos(handle_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(handle_, windowState_ == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                        : windowState_ == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                    : SW_SHOWNORMAL);
    SetForegroundWindow(handle_);
    UpdateWindow(handle_);
#else
    Screen->SetActiveForm(this);
    if (activeControl_ && activeControl_->CanFocus()) Screen->SetFocusedControl(activeControl_);
#endif
  } else {
    if (OnHide) OnHide(this);
#ifdef _WIN32
    if (handle_) ShowWindow(handle_, SW_HIDE);
#else
    if (Screen->ActiveForm() == this) {
      TCustomForm* next = nullptr;
      TCustomForm* main = Application->MainForm();
      if (main && main != this && main->Visible()) {
        next = main;
      } else {
        for (int i = Screen->FormCount() - 1; i >= 0; --i) {
          TCustomForm* f = Screen->Forms(i);
          if (f != this && f->Visible()) {
            next = f;
            break;
          }
        }
      }
      Screen->SetActiveForm(next);
    }
    if (Screen->ActiveControl() && ContainsControl(Screen->ActiveControl())) Screen->SetFocusedControl(nullptr);
#endif
  }
}

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_VISIBLECHANGED:
      SetFormVisible(visible_);
      UpdateShowing();
      return;
#ifdef _WIN32
    case WM_PAINT:
      PaintHandler(m);
      return;
    case WM_CLOSE:
      Close();
      m.Result = 0;
      return;
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
      return;
    case WM_ACTIVATEAPP:
      if (Application->MainForm() == this) {
        TMessage hookMsg{m.WParam ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0, 0};
        Application->RunHooks(hookMsg);
      }
      break;
    case WM_SYSCOMMAND:
      if (Application->MainForm() == this && ((m.WParam & 0xFFF0) == SC_MINIMIZE || (m.WParam & 0xFFF0) == SC_RESTORE)) {
        TMessage hookMsg = m;
        if (Application->RunHooks(hookMsg)) {
          m.Result = hookMsg.Result;
          return;
        }
      }
      break;
    case WM_COMMAND:
      if (m.LParam == 0) {
        if (TMenuItem* item = TMenuItem::FromCommand(LOWORD(m.WParam))) {
          item->Click();
          m.Result = 0;
          return;
        }
      }
      break;
    case WM_MENUSELECT:
      if (!(HIWORD(m.WParam) & MF_POPUP)) {
        TMenuItem* item = TMenuItem::FromCommand(LOWORD(m.WParam));
        Application->SetHint(item ? item->Hint() : std::string());
      }
      break;
#endif
    default:
      break;
  }
  TWinControl::WndProc(m);
}

// ============================== TScreen ==============================

TScreen::TScreen() = default;

void TScreen::AddForm(TCustomForm* f) {
  if (std::find(forms_.begin(), forms_.end(), f) == forms_.end()) forms_.push_back(f);
}

void TScreen::RemoveForm(TCustomForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  if (activeForm_ == f) activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* f) {
  if (f == activeForm_) return;
  TCustomForm* old = activeForm_;
  activeForm_ = f;
  if (old && std::find(forms_.begin(), forms_.end(), old) != forms_.end()) old->Deactivate();
  if (f) f->Activate();
}

TWinControl* TScreen::ActiveControl() const {
#ifdef _WIN32
  return FocusedControl();
#else
  return focused_;
#endif
}

void TScreen::SetFocusedControl(TWinControl* c) {
  if (c == focused_) return;
  TWinControl* old = focused_;
  focused_ = c;
  if (old) old->Perform(CM_EXIT);
  if (c) {
    if (TCustomForm* f = c->GetParentForm(); f && f != c) f->SetActiveControl(c);
    c->Perform(CM_ENTER);
  }
}

void TScreen::ControlDestroyed(TControl* c) {
  if (focused_ == c) focused_ = nullptr;
}

int TScreen::Width() const {
#ifdef _WIN32
  return GetSystemMetrics(SM_CXSCREEN);
#else
  return width_;
#endif
}

int TScreen::Height() const {
#ifdef _WIN32
  return GetSystemMetrics(SM_CYSCREEN);
#else
  return height_;
#endif
}

int TScreen::PixelsPerInch() const {
#ifdef _WIN32
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
#else
  return ppi_;
#endif
}

TPoint TScreen::CursorPos() const {
#ifdef _WIN32
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
#else
  return cursor_;
#endif
}

void TScreen::SetHeadlessMetrics(int width, int height, int pixelsPerInch) {
  width_ = width;
  height_ = height;
  ppi_ = pixelsPerInch;
}

// ============================== TApplication ==============================

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
#ifdef _WIN32
  if (hintWindow_) DestroyWindow(hintWindow_);
  if (handle_) DestroyWindow(handle_);
#endif
}

platform::Clock& TApplication::Clock() const { return clock_ ? *clock_ : platform::systemClock(); }

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == mainForm_) mainForm_ = nullptr;
}

void TApplication::SetTitle(const std::string& t) {
  title_ = t;
#ifdef _WIN32
  if (handle_) SetWindowTextA(handle_, t.c_str());
#endif
}

void TApplication::SetShowHint(bool v) {
  showHint_ = v;
  if (!v) CancelHint();
}

void TApplication::SetHint(const std::string& h) {
  if (h == hint_) return;
  hint_ = h;
  if (OnHint) OnHint(this);
  const auto events = events_;
  for (TApplicationEvents* e : events)
    if (e->OnHint) e->OnHint(e);
}

void TApplication::AddEvents(TApplicationEvents* e) { events_.push_back(e); }

void TApplication::RemoveEvents(TApplicationEvents* e) {
  events_.erase(std::remove(events_.begin(), events_.end(), e), events_.end());
}

TApplicationEvents::TApplicationEvents(TComponent* AOwner) : TComponent(AOwner) { Application->AddEvents(this); }

TApplicationEvents::~TApplicationEvents() { Application->RemoveEvents(this); }

int TApplication::HookMainWindow(TWindowHook hook) {
  HandleNeeded();
  const int id = nextHookId_++;
  hooks_.emplace_back(id, std::move(hook));
  return id;
}

void TApplication::UnhookMainWindow(int id) {
  hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [id](const auto& h) { return h.first == id; }), hooks_.end());
}

bool TApplication::RunHooks(TMessage& m) {
  // Over a copy: a hook may add or remove hooks. One removed meanwhile (its owner may be gone) is skipped.
  const auto hooks = hooks_;
  for (const auto& h : hooks) {
    const bool present =
        std::any_of(hooks_.begin(), hooks_.end(), [&h](const auto& live) { return live.first == h.first; });
    if (present && h.second && h.second(m)) return true;
  }
  return false;
}

void TApplication::Minimize() {
#ifdef _WIN32
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->WindowHandle(), SW_MINIMIZE);
#endif
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
#ifdef _WIN32
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->WindowHandle(), SW_RESTORE);
#endif
  if (OnRestore) OnRestore(this);
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr e = std::current_exception();
  if (!e) return;
  std::string message;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    message = ex.what();
  } catch (...) {
    message = "Unknown error";
  }
  bool handled = false;
  if (OnException) {
    OnException(sender, message);
    handled = true;
  }
  const auto events = events_;
  for (TApplicationEvents* ev : events)
    if (ev->OnException) {
      ev->OnException(sender, message);
      handled = true;
    }
  if (handled) return;
#ifdef _WIN32
  ::MessageBoxA(nullptr, message.c_str(), title_.empty() ? "Error" : title_.c_str(), MB_OK | MB_ICONERROR);
#else
  std::fprintf(stderr, "%s: %s\n", sender ? sender->ClassName() : "Application", message.c_str());
#endif
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
#ifdef _WIN32
  HWND owner = nullptr;
  if (TCustomForm* f = Screen->ActiveForm(); f && f->HandleAllocated()) owner = f->WindowHandle();
  else if (mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->WindowHandle();
  CancelHint();
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
#else
  if (MessageBoxDriver) return MessageBoxDriver(text, caption, flags);
  return IDOK;
#endif
}

void TApplication::AddTimer(TTimer* t) {
  if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) timers_.push_back(t);
}

void TApplication::RemoveTimer(TTimer* t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

void TApplication::ProcessTimers() {
#ifndef _WIN32
  const uint32_t now = Clock().timeGetTime();
  const std::vector<TTimer*> timers = timers_;
  for (TTimer* t : timers) {
    if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) continue;  // freed by an earlier handler
    try {
      t->FireIfDue(now);
    } catch (...) {
      HandleException(t);
    }
  }
#endif
}

void TApplication::ControlDestroyed(TControl* c) {
  if (mouseControl_ == c) mouseControl_ = nullptr;
  if (hintControl_ == c) CancelHint();
}

void TApplication::ControlMouseMoved(TControl* c) {
  if (c == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = c;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (c) c->Perform(CM_MOUSEENTER);
  CancelHint();
  TControl* h = c;
  while (h && h->Hint().empty()) h = h->Parent();
  SetHint(h ? h->Hint() : std::string());
  if (h && showHint_ && h->ShowHint()) {
    hintControl_ = h;
#ifdef _WIN32
    HandleNeeded();
    SetTimer(handle_, 1, static_cast<UINT>(hintPause_), nullptr);
#endif
  }
}

void TApplication::ControlMouseLeft(TControl* c) {
  if (c != mouseControl_) return;
  mouseControl_ = nullptr;
  c->Perform(CM_MOUSELEAVE);
  CancelHint();
}

void TApplication::CancelHint() {
  hintControl_ = nullptr;
#ifdef _WIN32
  if (handle_) {
    KillTimer(handle_, 1);
    KillTimer(handle_, 2);
  }
  if (hintWindow_) ShowWindow(hintWindow_, SW_HIDE);
#endif
}

void TApplication::Terminate() {
  terminated_ = true;
#ifdef _WIN32
  PostQuitMessage(0);
#endif
}

#ifdef _WIN32
namespace {
LRESULT CALLBACK ApplicationWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  try {
    TMessage m{msg, w, l, 0};
    if (Application->RunHooks(m)) return m.Result;
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
  return DefWindowProcA(h, msg, w, l);
}
}  // namespace
#endif

void TApplication::HandleNeeded() {
#ifdef _WIN32
  if (handle_) return;
  WindowBridge::EnsureClass("TApplication", 0, ApplicationWndProc);
  handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, "TApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            WindowBridge::Instance(), nullptr);
#endif
}

void TApplication::ShowHintWindow() {
#ifdef _WIN32
  if (!hintControl_ || !showHint_) return;
  g_hintText = hintControl_->Hint();
  if (g_hintText.empty()) return;
  if (!hintWindow_) {
    WindowBridge::EnsureClass("THintWindow", CS_SAVEBITS, HintWndProc);
    hintWindow_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "THintWindow", "", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                  nullptr, nullptr, WindowBridge::Instance(), nullptr);
  }
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
  SetWindowPos(hintWindow_, HWND_TOPMOST, x, y, w, hgt, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hintWindow_, nullptr, TRUE);
  SetTimer(handle_, 2, static_cast<UINT>(hintHidePause_), nullptr);
#endif
}

#ifdef _WIN32
namespace {
// Keys the layer handles before a window sees them: Tab moves the focus unless the focused control takes it.
bool PreTranslate(MSG& msg) {
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
#endif

void TApplication::ProcessMessages() {
#ifdef _WIN32
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
#else
  ProcessTimers();
#endif
}

void TApplication::HandleMessage() {
#ifdef _WIN32
  MSG msg;
  const BOOL r = GetMessageA(&msg, nullptr, 0, 0);
  if (r <= 0) {
    terminated_ = true;
    return;
  }
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
#else
  ProcessTimers();
#endif
}

void TApplication::Run() {
  if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
  while (!terminated_) {
#ifdef _WIN32
    HandleMessage();
#else
    ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
#endif
  }
}

}  // namespace gui
