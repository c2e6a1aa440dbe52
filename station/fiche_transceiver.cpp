#include "station/fiche_transceiver.h"

#include "station/station_io.h"

namespace station {

void TForm19::Lie_station(StationIo& io) {
  io_ = &io;
  Affiche_champs_lus();
}

void TForm19::Remet_texte(gui::TEdit& edit, const std::string& texte) {
  if (edit.Text() == texte) return;
  const bool avant = remise_;
  remise_ = true;
  edit.SetText(texte);
  edit.SetSelStart(static_cast<int>(texte.size()));
  remise_ = avant;
}

void TForm19::Saisie(gui::TEdit& edit, const std::string& acceptee) {
  if (!remise_) saisies_.insert(&edit);
  Remet_texte(edit, acceptee);
}

void TForm19::Affiche_Info2(const std::string& texte) {
  Info2->SetCaption(texte);
  Info2->Repaint();
}

void TForm19::Affiche_Label_Donnees(const std::string& texte) { Label_Donnees->SetCaption(texte); }

void TForm19::Affiche_champs_lus() {
  if (!io_) return;
  const ControleTransceiver& t = io_->transceiver;
  // Each edit's change handler takes the shown text as the last accepted one, as a user's typing would.
  const auto lu = [&](gui::TEdit& edit, const std::string& texte) {
    if (!saisies_.count(&edit)) Remet_texte(edit, texte);
  };
  lu(*Frequence_MHz, t.Frequence_MHz_texte);
  lu(*Frequence_HHz, t.Frequence_HHz_texte);
  lu(*Edit_NODE_ID, t.Node_ID_precedent);
  lu(*Edit_NET_ID, t.Net_ID_precedent);
  Puissance->SetPosition(t.Puissance);
  Label_Puissance->SetCaption(t.Label_Puissance);
}

void TForm19::Textes_fenetre() {
  const autex::Langues& L = io_->langues;
  SetCaption(L.TRADUCTION("Transceiver control", "Contr\xF4le du transceiver") + " " + io_->fenetre.Nom_transceiver());
  GroupBox_Frequence->SetCaption(L.TRADUCTION("RF frequency", "Fr\xE9quence HF"));
  GroupBox_Frequence->SetHint(L.TRADUCTION("Select the RF frequency according to your country regulations",
                                           "S\xE9lectionnez la fr\xE9quence HF en fonction de la r\xE9glementation "
                                           "de votre pays"));
  GroupBox_Power->SetCaption(L.TRADUCTION("Power", "Puissance"));
  GroupBox_Power->SetHint(L.TRADUCTION("Select an HF power authorized in your country",
                                       "S\xE9lectionnez une puissance HF autoris\xE9" "e dans votre pays"));
  LECTURE->SetCaption(L.TRADUCTION("Reading", "Lecture"));
  LECTURE->SetHint(L.TRADUCTION("To read the parameters of the transceiver", "Pour lire les param\xE8tres du transceiver"));
  ECRITURE->SetCaption(L.TRADUCTION("Writing", "Ecriture"));
  ECRITURE->SetHint(L.TRADUCTION("To write the user parameters in the transceiver",
                                 "Pour \xE9" "crire les param\xE8tres utilisateur dans le transceiver"));
  GroupBox_Node_ID->SetHint(L.TRADUCTION("The \"Node ID\" must be set to 0", "Le \"Node ID\" doit \xEAtre \xE9gal \xE0 0"));
  GroupBox_Net_ID->SetHint(L.TRADUCTION(
      "It is important to define a net Identifier (1 to 255) if there are several nets in your environment (as "
      "different nets DRF1278 can coexist with different Net ID), otherwise this number can remain at 0",
      "Il est important de d\xE9" "finir un \"Net ID\" (Identificateur de r\xE9seau) s'il y a plusieurs r\xE9seaux "
      "dans votre environnement (car diff\xE9rents r\xE9seaux DRF1278 peuvent coexister avec diff\xE9rents \"Net "
      "ID\"), sinon ce num\xE9ro peut rester \xE0 0"));
}

void TForm19::FormActivate(gui::TObject*) {
  if (!io_) return;
  ControleTransceiver& t = io_->transceiver;
  t.Fenetre_transceiver_active = 1;
  Textes_fenetre();
  if (io_->Est_DRF1278DM() && t.Commande_DRF_en_attente == 0) t.Lecture_parametres_DRF1278DM(1);
}

void TForm19::FormClose(gui::TObject*, gui::TCloseAction&) {
  saisies_.clear();
  if (io_) io_->transceiver.Fenetre_transceiver_active = 0;
}

void TForm19::LECTUREClick(gui::TObject*) {
  Affiche_Info2(std::string());
  saisies_.clear();  // the user asks for the module's values
  if (!io_) return;
  ControleTransceiver& t = io_->transceiver;
  if (io_->Est_DRF1278DM() && t.Commande_DRF_en_attente == 0) t.Lecture_parametres_DRF1278DM(1);
}

void TForm19::ECRITUREClick(gui::TObject*) {
  Affiche_Info2(std::string());
  if (!io_) return;
  ControleTransceiver& t = io_->transceiver;
  // What the edits show is what is written, whatever a reading brought meanwhile.
  if (saisies_.count(Frequence_MHz)) t.Frequence_MHzChange(Frequence_MHz->Text());
  if (saisies_.count(Frequence_HHz)) t.Frequence_HHzChange(Frequence_HHz->Text());
  if (saisies_.count(Edit_NODE_ID)) t.Edit_NODE_IDChange(Edit_NODE_ID->Text());
  if (saisies_.count(Edit_NET_ID)) t.Edit_NET_IDChange(Edit_NET_ID->Text());
  saisies_.clear();
  if (io_->Est_DRF1278DM() && t.Commande_DRF_en_attente == 0) t.Ecriture_parametres_DRF1278DM();
}

void TForm19::PuissanceClick(gui::TObject*, gui::TUDBtnType) {
  if (!io_) return;
  ControleTransceiver& t = io_->transceiver;
  t.PuissanceClick(Puissance->Position());
  Label_Puissance->SetCaption(t.Label_Puissance);
}

void TForm19::Frequence_MHzChange(gui::TObject*) {
  if (io_) Saisie(*Frequence_MHz, io_->transceiver.Frequence_MHzChange(Frequence_MHz->Text()));
}

void TForm19::Frequence_HHzChange(gui::TObject*) {
  if (io_) Saisie(*Frequence_HHz, io_->transceiver.Frequence_HHzChange(Frequence_HHz->Text()));
}

void TForm19::Edit_NODE_IDChange(gui::TObject*) {
  if (io_) Saisie(*Edit_NODE_ID, io_->transceiver.Edit_NODE_IDChange(Edit_NODE_ID->Text()));
}

void TForm19::Edit_NET_IDChange(gui::TObject*) {
  if (io_) Saisie(*Edit_NET_ID, io_->transceiver.Edit_NET_IDChange(Edit_NET_ID->Text()));
}

void TForm19::Timer1Timer(gui::TObject*) {
  if (io_) io_->transceiver.Timer1Timer();
}

}  // namespace station
