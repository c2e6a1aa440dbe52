#include "station/forms/form20.h"

#include "station/forms/builder.h"

namespace forms {

TForm20::TForm20(gui::TComponent* AOwner) : gui::TForm(AOwner) {
  BeginLoading();
  SetName("Form20");
  SetCaption("Confirmation");
  SetBorderStyle(gui::TFormBorderStyle::bsSingle);
  SetBorderIcons(gui::biSystemMenu);
  SetFormStyle(gui::TFormStyle::fsStayOnTop);
  SetPosition(gui::TPosition::poScreenCenter);
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetClientSize(450, 123);

  Label1 = build::Label(this, this, "Label1", "", 0, 10, 450, 22);
  Label1->SetAlignment(gui::TAlignment::taCenter);
  Label1->Font().SetName("Arial");
  Label1->Font().SetHeight(16);
  Label1->Font().SetStyle(gui::fsBold);
  PLUS_DE_DEMANDE = build::Button<gui::TCheckBox>(this, this, "PLUS_DE_DEMANDE", "Plus de demande Oui/Non pour quitter le programme", 16, 44, 418, 17);
  PLUS_DE_DEMANDE->SetVisible(false);
  OUI = build::Button(this, this, "OUI", "Oui", 10, 80, 209, 33);
  OUI->Font().SetName("Arial");
  OUI->Font().SetHeight(32);
  OUI->Font().SetStyle(gui::fsBold);
  NON = build::Button(this, this, "NON", "Non", 231, 80, 209, 33);
  NON->Font().SetName("Arial");
  NON->Font().SetHeight(32);
  NON->Font().SetStyle(gui::fsBold);

  OnActivate = [this](gui::TObject* s) { FormActivate(s); };
  OUI->OnClick = [this](gui::TObject* s) { OUIClick(s); };
  NON->OnClick = [this](gui::TObject* s) { NONClick(s); };
  EndLoading();
}

}  // namespace forms
