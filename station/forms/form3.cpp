#include "station/forms/form3.h"

#include "station/forms/builder.h"

namespace forms {

const char* const TForm3::VersionHistory =
    "Version 1.0 - December 2026\x0D\x0A"
    "* ASCII mode with transmission/reception switching and a beacon (Mode ASCII avec commutation \xE9mission/r\xE9" "ception et balise)\x0D\x0A"
    "* AUTEX links between two stations: Reed-Solomon coding, acknowledgements and repetitions, at 1200, 400 or 171 bauds (Liaisons AUTEX entre deux stations: codage Reed-Solomon, acquittements et r\xE9p\xE9titions, \xE0 1200, 400 ou 171 bauds)\x0D\x0A"
    "* AUTEX meetings of 4, 7 or 13 participants led by a Master station (R\xE9unions AUTEX de 4, 7 ou 13 participants conduites par une station Ma\xEEtre)\x0D\x0A"
    "* Short messages and file transfer with optional compression (Messages courts et transfert de fichiers avec compression optionnelle)\x0D\x0A"
    "* Set-up of the DRF1278DM radio module from its own window (R\xE9glage du module radio DRF1278DM depuis sa propre fen\xEAtre)\x0D\x0A"
    "* English and French interface, speech of the received text, reports and screen captures (Interface anglaise et fran\xE7" "aise, synth\xE8se vocale du texte re\xE7u, rapports et copies d'\xE9" "cran)\x0D\x0A";

TForm3::TForm3(gui::TComponent* AOwner) : gui::TForm(AOwner) {
  BeginLoading();
  SetName("Form3");
  SetCaption("Modifications");
  SetBorderStyle(gui::TFormBorderStyle::bsSingle);
  SetBorderIcons(gui::biSystemMenu);
  SetPosition(gui::TPosition::poMainFormCenter);
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetClientSize(615, 215);

  Memo1 = build::Memo(this, this, "Memo1", 0, 0, 615, 215, true, gui::TScrollStyle::ssVertical);
  Memo1->SetAlign(gui::TAlign::alClient);
  Memo1->Font().SetName("Arial");
  Memo1->Font().SetHeight(12);
  Memo1->SetText(VersionHistory);

  OnActivate = [this](gui::TObject* s) { FormActivate(s); };
  EndLoading();
}

}  // namespace forms
