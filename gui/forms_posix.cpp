// The headless half of forms, the screen and the application. Nothing is shown on a screen: the layer keeps
// the active form and the focused control itself, the modal driver (or a user who closes at once) ends a modal
// showing, the screen has the metrics the tests give it, timers fire on the application's clock, and message
// boxes are answered by the message-box driver.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/menus.h"

namespace gui {

void TCustomForm::RunModal(TCustomForm* previous) {
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
}

void TCustomForm::FormStyleToWindow() {}

void TCustomForm::WindowStateToWindow() {
  if (windowState_ == TWindowState::wsMaximized) SetBounds(0, 0, Screen->Width(), Screen->Height());
}

void TCustomForm::MenuToWindow() {}

TRect TCustomForm::FrameMargins() const {
  const bool hasMenu = menu_ && menu_->Items()->Count() > 0;
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
}

TRect TCustomForm::WindowClientRect() const { return TRect{}; }

TPoint TCustomForm::WindowClientOrigin() const { return TPoint{}; }

void TCustomForm::CreateHandle() {}

void TCustomForm::ShowFormWindow() {
  Screen->SetActiveForm(this);
  if (activeControl_ && activeControl_->CanFocus()) Screen->SetFocusedControl(activeControl_);
}

void TCustomForm::HideFormWindow() {
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
}

bool TCustomForm::KeysWereElsewhere() { return false; }

bool TCustomForm::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

TWinControl* TScreen::ActiveControl() const { return focused_; }

int TScreen::Width() const { return width_; }

int TScreen::Height() const { return height_; }

int TScreen::PixelsPerInch() const { return ppi_; }

TPoint TScreen::CursorPos() const { return cursor_; }

int TScreen::MonitorCount() const { return monitors_.empty() ? 1 : static_cast<int>(monitors_.size()); }

TRect TScreen::MonitorBounds(int i) const {
  if (monitors_.empty()) return TRect{0, 0, width_, height_};
  return monitors_.at(static_cast<size_t>(i));
}

TApplication::~TApplication() {}

void TApplication::SetTitle(const std::string& t) {
  title_ = t;
}

void TApplication::Minimize() {
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (OnRestore) OnRestore(this);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  if (MessageBoxDriver) return MessageBoxDriver(text, caption, flags);
  return IDOK;
}

void TApplication::ProcessTimers() {
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
}

void TApplication::CancelHint() {
  hintControl_ = nullptr;
}

void TApplication::Terminate() {
  terminated_ = true;
}

void TApplication::HandleNeeded() {}

void TApplication::ShowHintWindow() {}

void TCustomForm::PostRelease() { Application->DeferFree(this); }

void TApplication::ProcessMessages() {
  FreeDeferredForms();
  ProcessTimers();
}

void TApplication::HandleMessage() {
  FreeDeferredForms();
  ProcessTimers();
}

void TApplication::Run() {
  if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
  while (!terminated_) {
    ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void TApplication::ReportException(TObject* sender, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", sender ? sender->ClassName() : "Application", message.c_str());
}

void TApplication::StartHintTimer() {}

// MDI: no client window natively; the layer keeps the children's order and places them itself.
void TCustomForm::CreateMDIClient() {}
void TCustomForm::PlaceMDIClient() {}
bool TCustomForm::MDIDefaultHandler(TMessage&) { return false; }
bool TCustomForm::WindowMDIChildren(std::vector<TCustomForm*>&) const { return false; }
bool TCustomForm::WindowActiveMDIChild(TCustomForm*&) const { return false; }
bool TCustomForm::MDIArrangeWindow(UINT, WPARAM) { return false; }
void TCustomForm::MDIActivateWindow(TCustomForm*) {}

}  // namespace gui
