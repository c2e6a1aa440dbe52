// The headless half of the controls. The native build never creates a window: nothing is painted or moved
// on a screen, the layer keeps the keyboard focus itself (the screen's focused control), and the window side
// of a control answers as a control without a window would.
#include "gui/controls.h"
#include "gui/forms.h"

namespace gui {

void TControl::Invalidate() {}
void TControl::Update() {}
void TControl::WindowToZOrder(bool) {}

void TControl::SetMouseCapture(bool on) {
  if (!dynamic_cast<TWinControl*>(this) && parent_) parent_->captureControl_ = on ? this : nullptr;
}

LRESULT TWinControl::SendToWindow(UINT, WPARAM, LPARAM) const { return 0; }
bool TWinControl::PostToWindow(UINT, WPARAM, LPARAM) const { return false; }
void TWinControl::Invalidate() {}
void TWinControl::Update() {}
void TWinControl::CreateHandle() {}
void TWinControl::CreateWnd() {}
void TWinControl::DestroyHandle() {}
TWinControl* TWinControl::FromHandle(HWND) { return nullptr; }
void TWinControl::BoundsToWindow() {}
void TWinControl::StyleToWindow(DWORD, bool) {}
void TWinControl::FontToWindow() {}
void TWinControl::FreeBrush() {}
bool TWinControl::WindowMessage(TMessage&) { return false; }
bool TWinControl::WindowDefaultHandler(TMessage&) { return false; }
void TWinControl::PaintWindow(HDC) {}

void TWinControl::EnabledChanged() {
  if (!enabled_ && Screen->ActiveControl() == this) Screen->SetFocusedControl(nullptr);
}

void TWinControl::VisibleChanged() {
  if (!visible_ && Screen->ActiveControl() && ContainsControl(Screen->ActiveControl()))
    Screen->SetFocusedControl(nullptr);
}

bool TWinControl::Focused() const { return Screen->ActiveControl() == this; }

void TWinControl::TakeFocus() { Screen->SetFocusedControl(this); }

TWinControl* FocusedControl() { return Screen->ActiveControl(); }

}  // namespace gui
