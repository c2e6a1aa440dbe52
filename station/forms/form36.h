#pragma once
// The message dialog (information and errors): unit MESSAGE_D_ERREUR, class TForm36, instance Form36. Single
// border, system menu only, always on top, sky-blue background, no caption at design time, client area
// 418 x 103: Memo1 (bold Arial 13 px, vertical scroll bar, 417 x 86 at the top) and the OK button across the
// whole width below it (417 x 17, bold). Handlers as described in forms_common.h.
#include "station/forms/forms_common.h"

namespace forms {

class TForm36 : public gui::TForm {
 public:
  explicit TForm36(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TForm36")

  gui::TMemo* Memo1 = nullptr;
  gui::TButton* OK = nullptr;

  virtual void FormActivate(gui::TObject* Sender) {}
  virtual void OKClick(gui::TObject* Sender) {}
};

}  // namespace forms
