#pragma once
// The about box: unit A_PROPOS, class TForm2, instance Form2. Dialog border, centred on the screen, light blue,
// client area 631 x 112; a lowered panel holds the product line and the author line (bold Arial 13 px), which
// the activation handler fills. Handlers as described in forms_common.h.
#include "station/forms/forms_common.h"

namespace forms {

class TForm2 : public gui::TForm {
 public:
  explicit TForm2(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TForm2")

  gui::TPanel* Panel1 = nullptr;
  gui::TLabel* Nom_du_produit = nullptr;
  gui::TLabel* Auteur = nullptr;

  virtual void FormActivate(gui::TObject* Sender) {}
};

}  // namespace forms
