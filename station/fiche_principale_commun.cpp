// The main window's services that both its halves use (the window itself and its AUTEX side, in
// fiche_principale_autex.cpp): the station's parts, texts in the chosen language, messages to the user, the
// editor's focus, the switch between transmission and reception, documents and the names of the files it writes.
#include "station/fiche_principale.h"

#include "autex/fonctions_fichiers.h"
#include "station/documents.h"
#include "station/fenetre_station.h"
#include "station/message_d_erreur.h"
#include "station/station.h"

namespace station {

bool Nom_libre(std::string& chemin) {
  if (!autex::FICHIER_EXISTE(chemin)) return true;
  bool libre = false;
  autex::Nom_de_fichier_libre(chemin, libre);
  return libre;
}

std::string Chemin_dans(const std::string& repertoire, const std::string& nom) {
  if (repertoire.empty()) return nom;
  const char fin = repertoire.back();
  if (fin == '\\' || fin == '/') return repertoire + nom;
  return repertoire + autex::SEPARATEUR_CHEMIN + nom;
}

Parametres& FichePrincipale::parametres() { return *station_.parametres; }
StationIo& FichePrincipale::io() { return *station_.io; }
autex::Autex& FichePrincipale::autex() { return *station_.autex; }
const autex::Autex& FichePrincipale::autex() const { return *station_.autex; }
Reglages_station& FichePrincipale::reglages() { return station_.parametres->Reglages; }
BouclePrincipale& FichePrincipale::boucle() { return station_.io->boucle; }
SyntheseVocale& FichePrincipale::synthese() { return *station_.synthese; }

std::string FichePrincipale::traduction(std::string_view anglais, std::string_view francais) const {
  return station_.langues.TRADUCTION(anglais, francais);
}

bool FichePrincipale::Au_premier_plan() {
  return io().keyboard.windowInForeground(HandleAllocated() ? WindowHandle() : nullptr);
}

void FichePrincipale::Donne_focus(gui::TWinControl& controle) {
  if (!controle.CanFocus()) return;
  if (Au_premier_plan())
    controle.SetFocus();
  else
    SetActiveControl(&controle);
}

bool FichePrincipale::A_le_focus(const gui::TWinControl& controle) {
  return Au_premier_plan() ? controle.Focused() : ActiveControl() == &controle;
}

void FichePrincipale::Redonne_focus_editeur() {
  if (Au_premier_plan() && gui::FocusedControl() == Handle_editeur) return;
  Donne_focus(*Memo_editeur);
}

void FichePrincipale::Afficher_erreur(std::string_view anglais, std::string_view francais) {
  if (station_.Form36) station_.Form36->Afficher_erreur(anglais, francais);
}

void FichePrincipale::Afficher_information(std::string_view anglais, std::string_view francais) {
  if (station_.Form36) station_.Form36->Afficher_information(anglais, francais);
}

intptr_t FichePrincipale::Ouvre_document(const std::string& document, const std::string& parametres_shell,
                                         const std::string& repertoire, int affichage) {
  return station::Ouvre_document(station_.plateforme.shell, Fenetre_de_la_station(), document, parametres_shell,
                                 repertoire, affichage);
}

void FichePrincipale::Passe_en_emission() {
  GroupBox_Parameters->SetEnabled(false);
  autex().MODE_AUTEX = 0;
  autex().EMISSION_EN_COURS = 1;
  boucle().File_emission += Memo_editeur->Text();
  if (!boucle().File_emission.empty()) boucle().Emission_cadencee();
}

void FichePrincipale::Passe_en_reception() {
  GroupBox_Parameters->SetEnabled(true);
  Memo_editeur->Clear();
  autex().MODE_AUTEX = 1;
  autex().EMISSION_EN_COURS = 0;
}

}  // namespace station
