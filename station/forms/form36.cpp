#include "station/forms/form36.h"

#include "station/forms/builder.h"

namespace forms {

TForm36::TForm36(gui::TComponent* AOwner) : gui::TForm(AOwner) {
  BeginLoading();
  SetName("Form36");
  SetCaption("");
  SetBorderStyle(gui::TFormBorderStyle::bsSingle);
  SetBorderIcons(gui::biSystemMenu);
  SetFormStyle(gui::TFormStyle::fsStayOnTop);
  SetColor(gui::clSkyBlue);
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetClientSize(418, 103);

  Memo1 = build::Memo(this, this, "Memo1", 0, 0, 417, 86, true, gui::TScrollStyle::ssVertical);
  Memo1->Font().SetName("Arial");
  Memo1->Font().SetHeight(13);
  Memo1->Font().SetStyle(gui::fsBold);
  OK = build::Button(this, this, "OK", "OK", 0, 86, 417, 17);
  OK->Font().SetStyle(gui::fsBold);

  OnActivate = [this](gui::TObject* s) { FormActivate(s); };
  OK->OnClick = [this](gui::TObject* s) { OKClick(s); };
  EndLoading();
}

}  // namespace forms
