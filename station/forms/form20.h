#pragma once
// The yes/no question: unit MENU_OUI_NON, class TForm20, instance Form20. Single border, system menu only,
// always on top, caption "Confirmation", client area 450 x 123; the question in Label1 (centred, bold Arial
// 16 px), the buttons OUI and NON (209 x 33, bold 32 px captions) and the check box PLUS_DE_DEMANDE under the
// question, hidden at design time. Handlers as described in forms_common.h.
#include "station/forms/forms_common.h"

namespace forms {

class TForm20 : public gui::TForm {
 public:
  explicit TForm20(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TForm20")

  gui::TLabel* Label1 = nullptr;
  gui::TCheckBox* PLUS_DE_DEMANDE = nullptr;
  gui::TButton* OUI = nullptr;
  gui::TButton* NON = nullptr;

  virtual void FormActivate(gui::TObject* Sender) {}
  virtual void OUIClick(gui::TObject* Sender) {}
  virtual void NONClick(gui::TObject* Sender) {}
};

}  // namespace forms
