#include "station/forms/form2.h"

#include "station/forms/builder.h"

namespace forms {

TForm2::TForm2(gui::TComponent* AOwner) : gui::TForm(AOwner) {
  BeginLoading();
  SetName("Form2");
  SetCaption("About");
  SetBorderStyle(gui::TFormBorderStyle::bsDialog);
  SetBorderIcons(gui::biSystemMenu);
  SetPosition(gui::TPosition::poScreenCenter);
  SetColor(0xFFE8C8);  // light blue
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetClientSize(631, 112);

  Panel1 = build::Panel(this, this, "Panel1", 8, 8, 615, 96, gui::TBevelCut::bvLowered);
  Panel1->SetParentColor(true);
  Nom_du_produit = build::Label(this, Panel1, "Nom_du_produit", "", 12, 22, 591, 18);
  Nom_du_produit->Font().SetName("Arial");
  Nom_du_produit->Font().SetHeight(13);
  Nom_du_produit->Font().SetStyle(gui::fsBold);
  Auteur = build::Label(this, Panel1, "Auteur", "", 12, 56, 591, 18);
  Auteur->Font().SetName("Arial");
  Auteur->Font().SetHeight(13);
  Auteur->Font().SetStyle(gui::fsBold);

  OnActivate = [this](gui::TObject* s) { FormActivate(s); };
  EndLoading();
}

}  // namespace forms
