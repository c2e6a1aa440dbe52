#include "station/menu_oui_non.h"

#include "station/fenetre_station.h"

namespace station {

FenetreOuiNon::FenetreOuiNon(gui::TComponent* AOwner, const autex::Langues& langues)
    : forms::TForm20(AOwner), langues_(langues) {}

bool FenetreOuiNon::Question(const std::string& question) {
  if (Visible()) return false;
  Label1->SetCaption(question);
  Dialogue_au_premier_plan devant;
  ShowModal();
  return Reponse_oui == 1;
}

void FenetreOuiNon::FormActivate(gui::TObject*) {
  OUI->SetCaption(langues_.TRADUCTION("Yes", "Oui"));
  NON->SetCaption(langues_.TRADUCTION("No", "Non"));
  PLUS_DE_DEMANDE->SetCaption(langues_.TRADUCTION("No more demand Yes/No to exit the program",
                                                  "Plus de demande Oui/Non pour quitter le programme"));
  PLUS_DE_DEMANDE->SetChecked(Plus_de_demande == 1);
  Reponse_oui = 0;  // closing by the system menu counts as No
}

void FenetreOuiNon::OUIClick(gui::TObject*) {
  Reponse_oui = 1;
  Plus_de_demande = PLUS_DE_DEMANDE->Checked() ? 1 : 0;
  Close();
}

void FenetreOuiNon::NONClick(gui::TObject*) {
  Reponse_oui = 0;
  Plus_de_demande = PLUS_DE_DEMANDE->Checked() ? 1 : 0;
  Close();
}

}  // namespace station
