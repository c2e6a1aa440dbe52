#include "gui/dialogs.h"

#include "gui/forms.h"

namespace gui {

std::function<bool(TCommonDialog& dialog)> TCommonDialog::HeadlessDriver;

HWND TCommonDialog::OwnerWindow() const {
  TCustomForm* f = Screen->ActiveForm();
  if (!f) f = Application->MainForm();
  return f && f->HandleAllocated() ? f->WindowHandle() : nullptr;
}

}  // namespace gui
