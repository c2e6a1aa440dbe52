#include "gui/forms.h"

#include <algorithm>
#include <exception>
#include <functional>

#include "gui/extctrls.h"
#include "gui/menus.h"

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
  // A child whose menu stood in its frame's menu bar takes it away.
  if (mdiParent_ && menu_ && mdiParent_->Menu() && !mdiParent_->IsDestroying()) mdiParent_->Menu()->Rebuild();
  if (mdiParent_) {
    auto& list = mdiParent_->mdiChildren_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    mdiParent_ = nullptr;
  }
  for (TCustomForm* child : mdiChildren_) child->mdiParent_ = nullptr;
  mdiChildren_.clear();
  Application->CancelDeferredFree(this);
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
    if (AComponent == static_cast<TComponent*>(windowMenu_)) windowMenu_ = nullptr;
    if (AComponent == activeControl_) activeControl_ = nullptr;
  }
}

void TCustomForm::Show() {
  const bool wasVisible = visible_;
  SetVisible(true);
  BringToFront();
  // An MDI child shown while it is shown already becomes the active child, at the top.
  if (wasVisible && formStyle_ == TFormStyle::fsMDIChild && mdiParent_) {
    mdiParent_->MDIChildToTop(this);
    mdiParent_->MDIActivateWindow(this);
  }
}

void TCustomForm::Hide() {
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_) throw EInvalidOperation("Cannot hide an MDI Child Form");
  SetVisible(false);
}

bool TCustomForm::Active() const { return Screen->ActiveForm() == this; }

bool TCustomForm::ModalFormShowing() {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    const TCustomForm* f = Screen->Forms(i);
    if (f->IsModal() && f->Visible()) return true;
  }
  return false;
}

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
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_)
    action = (borderIcons_ & biMinimize) ? TCloseAction::caMinimize : TCloseAction::caNone;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (action == TCloseAction::caFree)
    Release();
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
  RunModal(previous);
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
  const bool wasMDI = formStyle_ == TFormStyle::fsMDIChild || formStyle_ == TFormStyle::fsMDIForm;
  const bool isMDI = s == TFormStyle::fsMDIChild || s == TFormStyle::fsMDIForm;
  if (s == TFormStyle::fsMDIChild) {
    TCustomForm* frame = FindMDIForm();
    if (!frame || frame == this) throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    if (formStyle_ == TFormStyle::fsMDIForm && !mdiChildren_.empty())
      throw EInvalidOperation("An MDI form with children cannot become a child");
    formStyle_ = s;
    mdiParent_ = frame;
    frame->mdiChildren_.insert(frame->mdiChildren_.begin(), this);
    RecreateWnd();
    return;
  }
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_) {
    auto& list = mdiParent_->mdiChildren_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    mdiParent_ = nullptr;
  }
  if (formStyle_ == TFormStyle::fsMDIForm && !mdiChildren_.empty())
    throw EInvalidOperation("An MDI form with children must stay an MDI form");
  formStyle_ = s;
  if (wasMDI || isMDI)
    RecreateWnd();
  else
    FormStyleToWindow();
}

TCustomForm* TCustomForm::FindMDIForm() {
  TCustomForm* main = Application->MainForm();
  if (main && main->formStyle_ == TFormStyle::fsMDIForm) return main;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->formStyle_ == TFormStyle::fsMDIForm) return Screen->Forms(i);
  return nullptr;
}

int TCustomForm::MDIChildCount() const {
  std::vector<TCustomForm*> list;
  if (WindowMDIChildren(list)) return static_cast<int>(list.size());
  return static_cast<int>(mdiChildren_.size());
}

TCustomForm* TCustomForm::MDIChildren(int i) const {
  std::vector<TCustomForm*> list;
  if (!WindowMDIChildren(list)) list = mdiChildren_;
  if (i < 0 || i >= static_cast<int>(list.size())) throw EInvalidOperation("List index out of bounds");
  return list[static_cast<size_t>(i)];
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (formStyle_ != TFormStyle::fsMDIForm) return nullptr;
  TCustomForm* child = nullptr;
  if (WindowActiveMDIChild(child)) return child;
  for (TCustomForm* c : mdiChildren_)
    if (c->Visible()) return c;
  return nullptr;
}

void TCustomForm::MDIChildToTop(TCustomForm* child) {
  auto it = std::find(mdiChildren_.begin(), mdiChildren_.end(), child);
  if (it == mdiChildren_.end()) return;
  mdiChildren_.erase(it);
  mdiChildren_.insert(mdiChildren_.begin(), child);
}

void TCustomForm::Tile() {
  if (formStyle_ != TFormStyle::fsMDIForm) return;
  const WPARAM how = tileMode_ == TTileMode::tbHorizontal ? 1 /*MDITILE_HORIZONTAL*/ : 0 /*MDITILE_VERTICAL*/;
  if (!MDIArrangeWindow(0x0226 /*WM_MDITILE*/, how)) ArrangeHeadless(0x0226);
}

void TCustomForm::Cascade() {
  if (formStyle_ != TFormStyle::fsMDIForm) return;
  if (!MDIArrangeWindow(0x0227 /*WM_MDICASCADE*/, 0)) ArrangeHeadless(0x0227);
}

void TCustomForm::ArrangeIcons() {
  if (formStyle_ != TFormStyle::fsMDIForm) return;
  if (!MDIArrangeWindow(0x0228 /*WM_MDIICONARRANGE*/, 0)) ArrangeHeadless(0x0228);
}

void TCustomForm::Next() {
  if (formStyle_ != TFormStyle::fsMDIForm || mdiChildren_.size() < 2) return;
  if (MDIArrangeWindow(0x0224 /*WM_MDINEXT*/, 0)) return;
  // The top child goes to the bottom; the next one comes up.
  std::rotate(mdiChildren_.begin(), mdiChildren_.begin() + 1, mdiChildren_.end());
}

void TCustomForm::Previous() {
  if (formStyle_ != TFormStyle::fsMDIForm || mdiChildren_.size() < 2) return;
  if (MDIArrangeWindow(0x0224 /*WM_MDINEXT*/, 1)) return;
  std::rotate(mdiChildren_.rbegin(), mdiChildren_.rbegin() + 1, mdiChildren_.rend());
}

TRect TCustomForm::AlignedRemainder() const {
  TRect r = ClientRect();
  AdjustClientRect(r);
  for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight})
    for (TControl* c : controls_) {
      if (c->Align() != a || !c->Visible()) continue;
      if (a == TAlign::alTop) r.Top += c->Height();
      if (a == TAlign::alBottom) r.Bottom -= c->Height();
      if (a == TAlign::alLeft) r.Left += c->Width();
      if (a == TAlign::alRight) r.Right -= c->Width();
    }
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
  return r;
}

// Without windows the children are placed as the system places them: tiled in equal strips (one above the
// other for tbHorizontal, side by side for tbVertical), cascaded from the top left corner a caption's height
// apart, minimized ones in a row along the bottom; minimized children are left out of tiling and cascading.
void TCustomForm::ArrangeHeadless(UINT msg) {
  const TRect area{0, 0, AlignedRemainder().Width(), AlignedRemainder().Height()};
  std::vector<TCustomForm*> normal, icons;
  for (TCustomForm* c : mdiChildren_) {
    if (!c->Visible()) continue;
    (c->WindowState() == TWindowState::wsMinimized ? icons : normal).push_back(c);
  }
  if (msg == 0x0228) {
    int x = 0;
    for (auto it = icons.rbegin(); it != icons.rend(); ++it) {
      (*it)->SetBounds(x, area.Bottom - 24, 160, 24);
      x += 160;
    }
    return;
  }
  const int n = static_cast<int>(normal.size());
  if (n == 0) return;
  if (msg == 0x0226) {
    // The bottom of the z-order first, so the top child ends in the first strip.
    for (int i = 0; i < n; ++i) {
      TCustomForm* c = normal[static_cast<size_t>(i)];
      if (tileMode_ == TTileMode::tbHorizontal) {
        const int h = area.Height() / n;
        c->SetBounds(0, i * h, area.Width(), i == n - 1 ? area.Height() - i * h : h);
      } else {
        const int w = area.Width() / n;
        c->SetBounds(i * w, 0, i == n - 1 ? area.Width() - i * w : w, area.Height());
      }
    }
    return;
  }
  const int step = 24;
  const int w = std::max(area.Width() * 3 / 4, 1), h = std::max(area.Height() * 3 / 4, 1);
  for (int i = 0; i < n; ++i) {
    // The bottom child at the top left corner, the top child last (the furthest in).
    TCustomForm* c = normal[static_cast<size_t>(n - 1 - i)];
    c->SetBounds(i * step, i * step, w, h);
  }
}

void TCustomForm::DefaultHandler(TMessage& m) {
  if (MDIDefaultHandler(m)) return;
  TWinControl::DefaultHandler(m);
}

void TCustomForm::SetWindowState(TWindowState s) {
  if (s == windowState_) return;
  windowState_ = s;
  WindowStateToWindow();
}

void TCustomForm::SetMenu(TMainMenu* m) {
  if (m == menu_) return;
  if (menu_) menu_->SetForm(nullptr);
  menu_ = m;
  if (m) {
    m->SetForm(this);
    FreeNotification(m);
  }
  MenuToWindow();
  ApplyClientSize();
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_ && mdiParent_->Menu()) mdiParent_->Menu()->Rebuild();
}

void TCustomForm::SetWindowMenu(TMenuItem* item) {
  if (item == windowMenu_) return;
  windowMenu_ = item;
  if (item) FreeNotification(item);
}

TRect TCustomForm::ClientRect() const {
  if (handle_) return WindowClientRect();
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
  if (handle_) return WindowClientOrigin();
  const TRect m = FrameMargins();
  return TPoint{left_ + m.Left, top_ + m.Top};
}

void TCustomForm::BoundsChanged(bool sizeChanged) {
  TWinControl::BoundsChanged(sizeChanged);
  if (sizeChanged) PlaceMDIClient();
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
  // A form that the main form owns is a popup of it, as a dialog is. Under X, Wine hands an owned window that is no
  // popup to the window manager as a normal window kept off the taskbar, which a manager such as openbox does not
  // activate when it shows: a modal form then stayed without the keyboard, and the manager's Alt+F4 went to the
  // main form. An owned popup goes as a dialog, which the manager activates as Windows does.
  if (p.WndParent) p.Style |= WS_POPUP;
  if (parent_ && formStyle_ != TFormStyle::fsMDIChild) {
    // A form placed inside a control: a child window of that control, with the frame of its border style.
    p.Style = (p.Style & ~DWORD(WS_POPUP)) | 0x40000000 /*WS_CHILD*/ | 0x04000000 /*WS_CLIPSIBLINGS*/;
    if (visible_) p.Style |= 0x10000000;  // WS_VISIBLE
    p.ExStyle &= ~DWORD(WS_EX_TOPMOST);
    p.WndParent = parent_->HandleAllocated() ? parent_->WindowHandle() : nullptr;
  }
  if (formStyle_ == TFormStyle::fsMDIChild && mdiParent_) {
    // A child window of the MDI client, with the frame of a sizeable window.
    p.Style = (p.Style & ~DWORD(WS_POPUP)) | 0x40000000 /*WS_CHILD*/ | 0x04000000 /*WS_CLIPSIBLINGS*/;
    if (visible_) p.Style |= 0x10000000;  // WS_VISIBLE
    p.ExStyle = (p.ExStyle & ~DWORD(WS_EX_TOPMOST)) | 0x00000040 /*WS_EX_MDICHILD*/;
    p.WndParent = mdiParent_->HandleAllocated() ? mdiParent_->ClientHandle() : nullptr;
  }
  p.WinClassName = ClassName();
  p.OwnClass = true;
}

void TCustomForm::WindowStyles(DWORD& style, DWORD& exStyle) const {
  TCreateParams p;
  const_cast<TCustomForm*>(this)->CreateParams(p);
  style = p.Style;
  exStyle = p.ExStyle;
}

void TCustomForm::PaintWindow(HDC dc) {
  // The background is erased with the form's colour; the form's own drawing, then its graphic controls, over it.
  if (!OnPaint || dc == nullptr) return;
  canvas_.SetHandle(dc);
  OnPaint(this);
  canvas_.SetHandle(nullptr);
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
    if (mdiParent_) mdiParent_->MDIChildToTop(this);
    if (OnShow) OnShow(this);
    ShowFormWindow();
  } else {
    if (OnHide) OnHide(this);
    HideFormWindow();
  }
}

void TCustomForm::Release() { PostRelease(); }

void TCustomForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_VISIBLECHANGED:
      SetFormVisible(visible_);
      UpdateShowing();
      return;
    case CM_RELEASE:
      Free(this);  // nothing of the form is touched afterwards
      return;
    case CM_TEXTCHANGED:
      // The caption lies in the frame, which the window repaints as it takes the text: nothing of the client
      // changed (a caption clock would otherwise repaint the whole form every second).
      return;
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

void TScreen::SetFocusedControl(TWinControl* c) {
  if (c == focused_) return;
  TWinControl* old = focused_;
  focused_ = c;
  if (old) old->Perform(CM_EXIT);
  if (c) {
    if (TCustomForm* f = c->GetParentForm(); f && f != c) f->SetActiveControl(c);
    c->Perform(CM_ENTER);
    // Every control of the form hears of the new focus (a default button changes its look with it).
    if (TCustomForm* f = c->GetParentForm()) {
      std::function<void(TWinControl*)> tell = [&tell, c](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
          TControl* child = parent->Controls(i);
          child->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(c));
          if (auto* w = dynamic_cast<TWinControl*>(child)) tell(w);
        }
      };
      tell(f);
    }
  }
}

void TScreen::ControlDestroyed(TControl* c) {
  if (focused_ == c) focused_ = nullptr;
}

void TScreen::SetHeadlessMetrics(int width, int height, int pixelsPerInch) {
  width_ = width;
  height_ = height;
  ppi_ = pixelsPerInch;
}

// ============================== TApplication ==============================

TApplication::TApplication() : TComponent(nullptr) {}

platform::Clock& TApplication::Clock() const { return clock_ ? *clock_ : platform::systemClock(); }

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == mainForm_) mainForm_ = nullptr;
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
  ReportException(sender, message);
}

void TApplication::DeferFree(TCustomForm* f) {
  if (f && std::find(deferredFree_.begin(), deferredFree_.end(), f) == deferredFree_.end()) deferredFree_.push_back(f);
}

void TApplication::CancelDeferredFree(TCustomForm* f) {
  deferredFree_.erase(std::remove(deferredFree_.begin(), deferredFree_.end(), f), deferredFree_.end());
}

void TApplication::FreeDeferredForms() {
  while (!deferredFree_.empty()) {
    TCustomForm* f = deferredFree_.front();
    deferredFree_.erase(deferredFree_.begin());
    Free(f);
  }
}

void TApplication::AddTimer(TTimer* t) {
  if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) timers_.push_back(t);
}

void TApplication::RemoveTimer(TTimer* t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

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
    StartHintTimer();
  }
}

void TApplication::ControlMouseLeft(TControl* c) {
  if (c != mouseControl_) return;
  mouseControl_ = nullptr;
  c->Perform(CM_MOUSELEAVE);
  CancelHint();
}

}  // namespace gui
