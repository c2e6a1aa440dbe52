#include "station/fiche_principale.h"

#include <algorithm>

#include "autex/fonctions_fichiers.h"
#include "gui/typinfo.h"
#include "station/a_propos.h"
#include "station/documents.h"
#include "station/fenetre_station.h"
#include "station/fiche_transceiver.h"
#include "station/affichage_memo.h"
#include "station/capture_ecran.h"
#include "station/historique_des_versions.h"
#include "station/menu_oui_non.h"
#include "station/message_d_erreur.h"
#include "station/station.h"
#include "station/traduction_fiche_principale.h"

namespace station {

// ---------------------------------------------------------------------------------------------------
// Helpers

int Reduction_hauteur_ASCII(int hauteur, int hauteur_ecran) {
  if (hauteur <= hauteur_ecran - 40) return 0;
  return std::min((hauteur + 40 - hauteur_ecran) / 3 + 1, 80);
}

namespace {
constexpr int LARGEUR_ASCII = 673;
constexpr int HAUTEUR_GROUPE_ASCII = 129;
constexpr int HAUTEUR_GROUPE_AUTEX = 60;
}  // namespace

// ---------------------------------------------------------------------------------------------------
// What the serial side asks of the window

class FichePrincipale::Io final : public FenetreIo {
 public:
  explicit Io(FichePrincipale& f) : f_(f) {}

  std::string Mode_fonctionnement() override { return f_.reglages().Mode_fonctionnement; }
  std::string Nom_transceiver() override { return f_.reglages().Nom_transceiver; }
  bool Fenetre_principale_active() override {
    const bool ailleurs = f_.KeysWereElsewhere();
    return !ailleurs && f_.Visible() && f_.Enabled() && !gui::TCustomForm::ModalFormShowing() &&
           f_.io().keyboard.windowHasKeys(f_.HandleAllocated() ? f_.WindowHandle() : nullptr);
  }
  void Label_Info(const std::string& text) override { f_.Label_Info->SetCaption(text); }
  void Affiche_reception(const std::string& text) override { f_.Affiche_reception(text); }
  void Affiche_emission(const std::string& text) override { f_.Affiche_emission(text); }
  void Efface_memo_reception() override { f_.Memo_Reception_memo->Clear(); }
  void Affiche_editeur(const std::string& text) override { f_.Memo_editeur->SetText(text); }
  std::string Texte_balise() override { return f_.Texte_balise->Text(); }
  void Redonne_focus_editeur() override { f_.Redonne_focus_editeur(); }
  std::string Titre_fiche_principale() override { return TITRE_FICHE_PRINCIPALE; }
  void Legende_fenetre_principale(const std::string& caption) override { f_.SetCaption(caption); }
  void Prononciation_en_attente() override {
    if (f_.reglages().Synthese_vocale_active == 1) f_.synthese().Relance_prononciation();
  }

  bool Bouton_TX_enfonce() override { return f_.Bouton_TX->Down(); }
  bool Bouton_RX_enfonce() override { return f_.Bouton_RX->Down(); }
  void Enfonce_Bouton_TX() override { f_.Bouton_TX->SetDown(true); }
  void Enfonce_Bouton_RX() override { f_.Bouton_RX->SetDown(true); }
  void Passe_en_emission() override { f_.Passe_en_emission(); }
  void Passe_en_reception() override { f_.Passe_en_reception(); }

  uint8_t SESSION_EN_COURS() override { return f_.autex().SESSION_EN_COURS; }
  uint8_t MODE_AUTEX() override { return f_.autex().MODE_AUTEX; }
  void Fixe_MODE_AUTEX(uint8_t value) override { f_.autex().MODE_AUTEX = value; }
  void Fixe_EMISSION_EN_COURS(uint8_t value) override { f_.autex().EMISSION_EN_COURS = value; }
  void SUPERVISION_AUTEX() override {
    // An activation of the window caused by the AUTEX side's own work (a message window it shows and closes)
    // must not reset it.
    ++f_.Travail_autex_;
    try {
      f_.autex().SUPERVISION_AUTEX();
    } catch (...) {
      --f_.Travail_autex_;
      throw;
    }
    --f_.Travail_autex_;
  }
  void Envoi_message_AUTEX() override { f_.Envoi_message_AUTEX(); }
  void Perte_liaison_radio(const std::string& info) override {
    if (f_.reglages().Mode_fonctionnement != ::station::MODE_AUTEX) return;
    ++f_.Travail_autex_;  // as for SUPERVISION_AUTEX: its own work is no activation of the window
    try {
      f_.autex().PERTE_LIAISON(info);
    } catch (...) {
      --f_.Travail_autex_;
      throw;
    }
    --f_.Travail_autex_;
  }

  bool Timer1_actif() override { return f_.Timer1->Enabled(); }
  void Active_Timer1(bool active) override { f_.Timer1->SetEnabled(active); }

  uint8_t Code_port_image() override { return f_.parametres().octet(octet::PORT_TRANSCEIVER); }
  void Fixe_code_port_image(uint8_t code) override { f_.parametres().fixe_octet(octet::PORT_TRANSCEIVER, code); }
  void Sauve_image_parametres() override { f_.parametres().Ecrire_CONF_COM_SER(); }

  void Affiche_menu_ports(const MenuPortsSerie& menu) override {
    f_.Aucun_port_serie_GPS->SetCaption(menu.Elements[0].Caption);
    f_.Aucun_port_serie_GPS->SetChecked(menu.Elements[0].Checked);
    for (int n = 1; n <= 40; ++n) {
      gui::TMenuItem* item = f_.COM_GPS(n);
      item->SetCaption(menu.Elements[size_t(n)].Caption);
      item->SetChecked(menu.Elements[size_t(n)].Checked);
    }
  }
  void Affiche_menu_vitesses(const MenuVitesses& menu) override {
    f_._1200->SetChecked(menu._1200);
    f_._9600->SetChecked(menu._9600);
  }

  void Info2(const std::string& text) override {
    if (auto* w = dynamic_cast<TForm19*>(f_.station_.Form19))
      w->Affiche_Info2(text);
    else if (forms::TForm19* m = f_.station_.Form19)
      m->Info2->SetCaption(text);
  }
  void Label_Donnees(const std::string& text) override {
    if (forms::TForm19* m = f_.station_.Form19) m->Label_Donnees->SetCaption(text);
  }
  void Champs_transceiver_lus() override {
    forms::TForm19* m = f_.station_.Form19;
    if (!m) return;
    if (auto* w = dynamic_cast<TForm19*>(m)) {  // the module window of the program keeps its edits' last values
      w->Affiche_champs_lus();
      return;
    }
    const ControleTransceiver& t = f_.io().transceiver;
    m->Frequence_MHz->SetText(t.Frequence_MHz_texte);
    m->Frequence_HHz->SetText(t.Frequence_HHz_texte);
    m->Edit_NODE_ID->SetText(t.Node_ID_lu);
    m->Edit_NET_ID->SetText(t.Net_ID_lu);
    m->Puissance->SetPosition(t.Puissance);
    m->Label_Puissance->SetCaption(t.Label_Puissance);
  }

 private:
  FichePrincipale& f_;
};

// ---------------------------------------------------------------------------------------------------
// What the parameter image asks of the window

class FichePrincipale::HoteParametres final : public Hote_parametres {
 public:
  explicit HoteParametres(FichePrincipale& f) : f_(f) {}

  uint16_t GetSystemDefaultLangID() override { return f_.station_.plateforme.systeme.Identifiant_langue(); }
  Taille_ecran Ecran() override { return f_.station_.plateforme.systeme.Ecran(); }

  void Afficher_erreur(const std::string& texte) override {
    f_.station_.plateforme.systeme.Boite_message(texte, f_.traduction("Error", "Erreur"), MB_OK | MB_ICONERROR);
  }
  void Afficher_information(const std::string& texte) override {
    f_.station_.plateforme.systeme.Boite_message(texte, "Information", MB_OK | MB_ICONINFORMATION);
  }
  bool Question_oui_non(const std::string& texte) override {
    FenetreOuiNon* question = f_.station_.Form20;
    return question && question->Question(texte);
  }

  void Detection_ports_serie() override { f_.io().materiel.Detection_ports_serie(); }
  void Applique_langue() override { f_.Applique_langue(); }
  void Coche_vitesse_port() override {
    f_.io().materiel.Vitesse_port = f_.reglages().Vitesse_port;
    f_.io().ports.Coche_vitesse_port();
  }
  void Construit_menus_ports_serie() override { f_.io().ports.Construit_menus_ports_serie(); }
  void Pas_de_port_selectionne(const std::string& message) override {
    StationIo& io = f_.io();
    io.boucle.Port_ouvert = 0;
    io.materiel.Port_teste = 0;
    io.materiel.Fermer_port_serie(io.materiel.Handle_port);
    f_.Label_Info->SetCaption(message);
  }
  bool Tester_port_serie() override {
    f_.io().materiel.Tester_port_serie();
    return f_.io().materiel.Port_teste == 1;
  }
  bool Port_ouvert() override { return f_.io().boucle.Port_ouvert == 1; }
  void Ouverture_port_transceiver(uint16_t vitesse) override {
    f_.io().materiel.Vitesse_port = vitesse;
    f_.io().boucle.Ouverture_port_transceiver(vitesse);
  }
  void Port_ferme() override { f_.io().boucle.Port_ouvert = 0; }
  void Applique_parametres() override { f_.Applique_parametres(); }

 private:
  FichePrincipale& f_;
};

// ---------------------------------------------------------------------------------------------------
// What the AUTEX protocol asks of the window: its host, and its view of the window's controls

class FichePrincipale::HoteAutex final : public VueAutexFenetre {
 public:
  explicit HoteAutex(FichePrincipale& f) : VueAutexFenetre(f), f_(f) {}

  std::string& File_emission() override { return f_.boucle().File_emission; }
  std::string& Tampon_reception() override { return f_.boucle().Tampon_reception; }
  uint32_t OCTETS_ECRITS() override { return f_.boucle().OCTETS_ECRITS; }
  void Fixe_OCTETS_ECRITS(uint32_t valeur) override { f_.boucle().OCTETS_ECRITS = valeur; }
  void Emission_cadencee() override { f_.boucle().Emission_cadencee(); }
  void Fixe_DEMANDE_ENVOI_MESSAGE(uint8_t valeur) override { f_.boucle().DEMANDE_ENVOI_MESSAGE = valeur; }
  void Affiche_reception(const std::string& texte) override { f_.Affiche_reception(texte); }
  void Affiche_emission(const std::string& texte) override { f_.Affiche_emission(texte); }
  void Redonne_focus_editeur() override { f_.Redonne_focus_editeur(); }
  // The AUTEX side's focus stays within the window (a link event never takes the keyboard).
  bool A_le_focus(const autex::Element& e) override { return f_.A_le_focus(Comme<gui::TWinControl>(e)); }
  void Prend_focus(const autex::Element& e) override { f_.Donne_focus(Comme<gui::TWinControl>(e)); }
  void Choix_vitesse_AUTEX(uint16_t vitesse) override { f_.Choix_vitesse_AUTEX(vitesse); }
  void Affiche_vitesse_AUTEX() override { f_.Affiche_vitesse_AUTEX(); }
  void Classe_priorite(uint32_t classe) override { f_.Priorite().setPriorityClass(classe); }
  // The module's rate follows its settings; another transceiver is taken to radiate as the writer counts.
  double Debit_air_module() override {
    if (f_.reglages().Nom_transceiver != NOM_DRF1278DM) return f_.boucle().Debit_ecriture();
    const double debit = f_.io().transceiver.Debit_air();
    return debit > 0.0 ? debit : f_.boucle().Debit_ecriture();
  }
  double Debit_ecriture_module() override { return f_.boucle().Debit_ecriture(); }
  // The AUTEX side's texts are already in the language of the moment.
  void Afficher_erreur(const std::string& texte) override { f_.Afficher_erreur(texte, texte); }
  void Afficher_information(const std::string& texte) override { f_.Afficher_information(texte, texte); }
  std::string Repertoire_travail() override { return f_.Repertoire_travail; }

 private:
  FichePrincipale& f_;
};

// ---------------------------------------------------------------------------------------------------

FichePrincipale::FichePrincipale(gui::TComponent* AOwner, Station& station,
                                 const TSkinComponentsFactory& composants_peau)
    : forms::TForm1(AOwner, composants_peau),
      station_(station),
      io_(std::make_unique<Io>(*this)),
      hote_(std::make_unique<HoteParametres>(*this)),
      hote_autex_(std::make_unique<HoteAutex>(*this)) {}

FichePrincipale::~FichePrincipale() = default;

FenetreIo& FichePrincipale::fenetre_io() { return *io_; }
autex::VueAutex& FichePrincipale::hote_autex() { return *hote_autex_; }
Hote_parametres& FichePrincipale::hote_parametres() { return *hote_; }

// ---------------------------------------------------------------------------------------------------
// Host of the AUTEX side

std::string& FichePrincipale::File_emission() { return boucle().File_emission; }
std::string& FichePrincipale::Tampon_reception() { return boucle().Tampon_reception; }
uint32_t& FichePrincipale::OCTETS_ECRITS() { return boucle().OCTETS_ECRITS; }
void FichePrincipale::Emission_cadencee() { boucle().Emission_cadencee(); }
platform::ProcessPriority& FichePrincipale::Priorite() { return station_.plateforme.priorite; }

void FichePrincipale::Affiche_texte_memo(gui::TMemo* memo, const std::string& texte, bool parole) {
  std::string contenu = memo->Text();
  if (parole)
    Ajoute_texte_memo(contenu, texte, [this](char c) { synthese().Prononce_texte(c); });
  else
    Ajoute_texte_memo(contenu, texte);
  Limite_memo(contenu);
  memo->SetText(contenu);
  // The memo now holds exactly `contenu`: its length is known without reading the text back.
  memo->SetSelStart(static_cast<int>(contenu.size()));
}

void FichePrincipale::Affiche_reception(const std::string& texte) {
  Affiche_texte_memo(Memo_Reception_memo, texte, reglages().Synthese_vocale_active == 1);
}

void FichePrincipale::Affiche_emission(const std::string& texte) { Affiche_texte_memo(Memo_emission, texte, false); }

// ---------------------------------------------------------------------------------------------------
// Start-up, activation, end

void FichePrincipale::A_la_creation_de_la_fiche(gui::TObject*) { Initialisation_fiche_principale(); }

void FichePrincipale::Initialisation_fiche_principale() {
  Repertoire_travail = station_.plateforme.systeme.Repertoire_courant();
  station_.fichiers.Repertoire_travail = Repertoire_travail;
  parametres().Repertoire = Repertoire_travail;

  // Month first when the short date format writes 30 December 1899 beginning with its month, 12 (as in
  // 12/30/1899); a format that begins with the year (1899-12-30) also begins with a 1 but is not month first.
  const std::string date_zero = station_.plateforme.systeme.Date_zero_format_court();
  station_.horodatage.Date_mois_en_tete = date_zero.rfind("12", 0) == 0 ? 1 : 0;

  parametres().Lecture_parametres();
  parametres().Applique_parametres();

  Textes_libres textes = Textes_libres_fenetre();
  parametres().Lecture_CONFSTRINGS(textes);
  Affiche_textes_libres(textes);

  if (gui::Screen->PixelsPerInch() > 96) {
    SetWindowState(gui::TWindowState::wsMaximized);
    station_.plateforme.systeme.Boite_message(
        traduction("This program is planned for small fonts not large ones (see \"Control Panel\"...\"Display\"..."
                   "\"Settings\"...).",
                   "Ce programme est pr\xE9vu pour des petites polices et non des grandes (voir \"Panneau de "
                   "configuration\"...\"Affichage\"...\"Param\xE8tres\"...)"),
        TITRE_FICHE_PRINCIPALE, MB_OK | MB_ICONWARNING);
  }
}

void FichePrincipale::Reprise_en_reception() {
  // The station is back in reception: the buttons say so, and a beacon that was being written when its
  // queue was emptied goes out again instead of waiting for an end that will not come.
  autex().MODE_AUTEX = 1;
  autex().EMISSION_EN_COURS = 0;
  boucle().Vide_tampons();
  Bouton_RX->SetDown(true);
  GroupBox_Parameters->SetEnabled(true);
  BouclePrincipale& b = boucle();
  if (b.Balise_active == 1 && b.Balise_en_emission == 1) {
    b.Balise_en_emission = 0;
    b.Balise_a_emettre = 1;
    b.Copie_balise.clear();
  }
}

void FichePrincipale::FormActivate(gui::TObject*) {
  // Shown the first time, the window may stand lower than it was placed: a skin's tall caption, drawn above it,
  // brought it down as it appeared. That is no place the operator chose.
  if (!Premier_affichage_ && Position_placee_) Note_place_apres_peau(*Position_placee_);
  Premier_affichage_ = true;
  if (Memo_Reception_memo->CanFocus()) Memo_Reception_memo->SetFocus();
  if (Memo_editeur->CanFocus()) Memo_editeur->SetFocus();
  Handle_editeur = gui::FocusedControl();
  // The varicode tables are constant data: nothing to build here.

  // A link, a meeting or a call in progress is left as it is (closing a dialog must not drop it); otherwise
  // the station returns to reception with empty buffers.
  const bool session = Travail_autex_ > 0 || Session_ou_tentative_en_cours();
  if (!session) Reprise_en_reception();

  if (reglages().Mode_fonctionnement == MODE_AUTEX) {
    if (DIVERS->CanFocus()) {
      DIVERS->SetFocus();
      HANDLE_DIVERS = gui::FocusedControl();
    }
    if (!session) {
      autex().GESTION_PRELIMINAIRE_AUTEX();
      autex().REINIT_EMISSION();
    }
  }

  if (reglages().Synthese_vocale_active == 1) {
    Commutateur_Synthese_vocale->SetDown(true);
    if (!synthese().Synthese_initialisee()) synthese().Lance_synthese_vocale();
    synthese().Annule_prononciation_en_attente();
  } else {
    Commutateur_Synthese_vocale->SetDown(false);
  }

  if (reglages().Mode_fonctionnement == MODE_ASCII) Ajuste_hauteur_ASCII();
  Redonne_focus_editeur();
}

void FichePrincipale::Ajuste_hauteur_ASCII() {
  const int k = Reduction_hauteur_ASCII(Height(), gui::Screen->Height());
  if (k == 0) return;
  GroupBox_to_transmit->SetHeight(GroupBox_to_transmit->Height() - k);
  Memo_editeur->SetHeight(Memo_editeur->Height() - k);
  GroupBox_transmitted->SetTop(GroupBox_transmitted->Top() - k);
  GroupBox_transmitted->SetHeight(GroupBox_transmitted->Height() - k);
  Memo_emission->SetHeight(Memo_emission->Height() - k);
  GroupBox_reception->SetTop(GroupBox_reception->Top() - 2 * k);
  GroupBox_reception->SetHeight(GroupBox_reception->Height() - k);
  Memo_Reception_memo->SetHeight(Memo_Reception_memo->Height() - k);
  SetHeight(Height() - 3 * k);
}

void FichePrincipale::Rassemble_etat() {
  Reglages_station& r = reglages();
  r.Vitesse_port = io().materiel.Vitesse_port;
  r.Pause_balise = boucle().Pause_balise;
  Note_place_apres_peau_recue();  // a skin received just before, its note still queued
  // A window still where it was placed keeps the stored position: one brought back from a monitor that is
  // not there today returns there when the monitor is back.
  platform::TPoint ici{Left(), Top()};
  if (Place_avant_peau_ && ici == Place_avant_peau_->apres) ici = Place_avant_peau_->avant;
  if (!Position_placee_ || ici != *Position_placee_) {
    r.Left = ici.X;
    r.Top = ici.Y;
  }
  Rassemble_reglages_autex();
  synthese().Rassemble_reglages(r);
}

void FichePrincipale::Sauve_parametres_CONF_COM() {
  Rassemble_etat();
  parametres().Sauve_parametres_CONF_COM(Textes_libres_fenetre());
}

void FichePrincipale::QuitClick(gui::TObject*) {
  Label_Info->SetCaption(traduction("This program is closing...", "Ce programme est en train de se fermer..."));
  Label_Info->Repaint();
  Sauve_parametres_CONF_COM();
  station_.plateforme.systeme.Fin_du_processus();
}

// ---------------------------------------------------------------------------------------------------
// Timers and menus

void FichePrincipale::Timer1Timer(gui::TObject*) { boucle().Timer1Timer(); }
void FichePrincipale::Timer2Timer(gui::TObject*) {
  boucle().Timer2Timer();
  Surveille_visionneuse_aide();
}
void FichePrincipale::Timer3Timer(gui::TObject*) { boucle().Timer3Timer(); }

void FichePrincipale::Aucun_port_serie_GPSClick(gui::TObject*) { io().ports.Aucun_port_serie_GPSClick(); }

void FichePrincipale::COM_GPSClick(gui::TObject*, int n) { io().ports.COM_GPSClick(n); }

void FichePrincipale::_1200Click(gui::TObject*) {
  io().ports._1200Click();
  reglages().Vitesse_port = io().materiel.Vitesse_port;
}

void FichePrincipale::_9600Click(gui::TObject*) {
  io().ports._9600Click();
  reglages().Vitesse_port = io().materiel.Vitesse_port;
}

void FichePrincipale::DRF1278DMClick(gui::TObject*) {
  reglages().Nom_transceiver = NOM_DRF1278DM;
  Etat_transceiver();
}

void FichePrincipale::Autre_transceiverClick(gui::TObject*) {
  reglages().Nom_transceiver.clear();
  Etat_transceiver();
}

void FichePrincipale::Coche_transceiver() {
  // The AUTEX time-outs of a link follow the transceiver.
  autex().Nom_transceiver = reglages().Nom_transceiver;
  DRF1278DM->SetChecked(false);
  Autre_transceiver->SetChecked(false);
  if (reglages().Nom_transceiver == NOM_DRF1278DM) {
    DRF1278DM->SetChecked(true);
    GroupBox_transceiver->Show();
  } else if (reglages().Nom_transceiver.empty()) {
    Autre_transceiver->SetChecked(true);
    GroupBox_transceiver->Hide();
  }
}

void FichePrincipale::Etat_transceiver() {
  Coche_transceiver();
  if (reglages().Nom_transceiver == NOM_DRF1278DM && io().transceiver.Commande_DRF_en_attente == 0)
    io().transceiver.Lecture_parametres_DRF1278DM(1);
}

void FichePrincipale::DRF1278DM2Click(gui::TObject*) {
  if (station_.Form19 && !station_.Form19->Visible()) station_.Form19->ShowModal();
}

void FichePrincipale::English1Click(gui::TObject*) {
  reglages().Vitesse_port = io().materiel.Vitesse_port;
  parametres().Change_langue(autex::LANGUE_ANGLAIS);
}

void FichePrincipale::Francais1Click(gui::TObject*) {
  reglages().Vitesse_port = io().materiel.Vitesse_port;
  parametres().Change_langue(autex::LANGUE_FRANCAIS);
}

void FichePrincipale::ModificationsClick(gui::TObject*) {
  if (station_.Form3 && !station_.Form3->Visible()) station_.Form3->ShowModal();
}

void FichePrincipale::AproposdeClick(gui::TObject*) {
  if (station_.Form2 && !station_.Form2->Visible()) station_.Form2->ShowModal();
}

// ---------------------------------------------------------------------------------------------------
// Modes

void FichePrincipale::Place_dans_groupe(gui::TGroupBox* groupe, gui::TMemo* memo, gui::TButton* efface,
                                        int gauche_memo) {
  // Every memo ends 32 pixels short of the box's right edge, wherever it starts, so that the clear button, 30
  // pixels from that edge, stands beside it: a memo that started at 14 and kept the width of the editor ran 12
  // pixels under the button, which hid the up arrow of its scroll bar.
  memo->SetBounds(gauche_memo, 14, groupe->Width() - 32 - gauche_memo, groupe->Height() - 17);
  efface->SetLeft(groupe->Width() - 30);
  efface->BringToFront();
}

void FichePrincipale::Mise_en_page_du_mode(bool entree) {
  GroupBox_Parameters->SetEnabled(true);
  const int haut = GroupBox_controle_du_mode->Top() + GroupBox_controle_du_mode->Height();
  Panel_ASCII->SetBounds(2, haut, LARGEUR_ASCII, Panel_ASCII->Height());
  GroupBox_to_transmit->SetBounds(0, 0, LARGEUR_ASCII, HAUTEUR_GROUPE_ASCII);

  if (reglages().Mode_fonctionnement != MODE_AUTEX) {
    Rapport->Show();
    Panel_AUTEX_SMS->Hide();
    const std::string legende =
        traduction("Type the text to transmit to the addressee. Then click on \"Transmission\" or type on the <Esc> key",
                   "Tapez le texte \xE0 transmettre au correspondant. Puis cliquez sur \"Emission\" ou tapez sur la "
                   "touche <Echap>");
    GroupBox_to_transmit->SetCaption(legende);
    Memo_editeur->SetHint(legende);
    ASCII->SetDown(true);
    GroupBox_Balise->Show();
    // The AUTEX controls of the mode group make way for the beacon.
    Panel_AUTEX_GENERAL->Hide();
    Panel_AUTEX->SetTop(600);
    Panel_AUTEX->Hide();
    Panel_AUTEX2->Hide();
    Panel_ASCII_GENERAL->SetColor(gui::clWhite);
    Panel_ASCII_GENERAL->SetBounds(115, 115, 182, 41);
    Panel_ASCII_GENERAL->Show();
    GroupBox_transmitted->SetBounds(0, HAUTEUR_GROUPE_ASCII, LARGEUR_ASCII, HAUTEUR_GROUPE_ASCII);
    GroupBox_reception->SetBounds(0, 2 * HAUTEUR_GROUPE_ASCII, LARGEUR_ASCII, HAUTEUR_GROUPE_ASCII);
    Place_dans_groupe(GroupBox_to_transmit, Memo_editeur, Clear_TX_text1, 0);
    Place_dans_groupe(GroupBox_transmitted, Memo_emission, Clear_TX_text2, 14);
    Place_dans_groupe(GroupBox_reception, Memo_Reception_memo, Clear_RX_text, 14);
    Panel_ASCII->SetHeight(3 * HAUTEUR_GROUPE_ASCII);
    SetClientSize(Panel_ASCII->Left() + Panel_ASCII->Width(), Panel_ASCII->Top() + Panel_ASCII->Height());
    return;
  }

  Rapport->Hide();
  Panel_AUTEX_SMS->Show();
  const std::string legende =
      traduction("Type the message to transmit. Then click on \"Send the message\" or type on the <Esc> key",
                 "Tapez le message \xE0 transmettre. Puis cliquez sur \"Envoyer le message\" ou tapez sur la touche "
                 "<Echap>");
  GroupBox_to_transmit->SetCaption(legende);
  Memo_editeur->SetHint(legende);
  Panel_AUTEX_GENERAL->SetColor(gui::clWhite);
  Panel_AUTEX_GENERAL->Show();
  AUTEX->SetDown(true);
  GroupBox_Balise->Hide();
  Panel_AUTEX->Show();
  Panel_ASCII_GENERAL->Hide();
  Label_Info_AUTEX->SetCaption(std::string());
  const int moitie = LARGEUR_ASCII / 2;
  GroupBox_transmitted->SetBounds(0, HAUTEUR_GROUPE_ASCII, moitie, HAUTEUR_GROUPE_AUTEX);
  GroupBox_reception->SetBounds(moitie, HAUTEUR_GROUPE_ASCII, LARGEUR_ASCII - moitie, HAUTEUR_GROUPE_AUTEX);
  Place_dans_groupe(GroupBox_to_transmit, Memo_editeur, Clear_TX_text1, 0);
  Place_dans_groupe(GroupBox_transmitted, Memo_emission, Clear_TX_text2, 14);
  Place_dans_groupe(GroupBox_reception, Memo_Reception_memo, Clear_RX_text, 14);
  Panel_ASCII->SetHeight(HAUTEUR_GROUPE_ASCII + HAUTEUR_GROUPE_AUTEX);
  Panel_AUTEX->SetTop(Panel_ASCII->Top() + Panel_ASCII->Height());
  Panel_AUTEX->Repaint();

  if (entree) {
    autex().PREMIERE_ACTIVATION = 1;
    autex().ACTIVATION_AUTEX();
  }
  const uint16_t hauteur = uint16_t(20 * autex().PAS_HAUTEUR_COURANT());
  autex().HAUTEUR_PANNEAU = hauteur;
  Label_hauteur_Panel_Autex->SetCaption(std::to_string(hauteur));
  autex().DISPOSITION_PANNEAUX_AUTEX();

  const int W = LARGEUR_PANNEAU_AUTEX;
  const int bas_autex = Panel_AUTEX->Top() + Panel_AUTEX->Height();
  const int hauteur_sms = autex().NOMBRE_COLONNES == 3 ? Panel_AUTEX->Top() - 10 : bas_autex;
  Panel_AUTEX_SMS->SetBounds(2 * W, 7, W, std::max(hauteur_sms, Panel_Entete->Height() + 1));
  RichEdit_SMS->SetBounds(1, Panel_Entete->Height(), Panel_AUTEX_SMS->Width() - 2,
                          Panel_AUTEX_SMS->Height() - Panel_Entete->Height() - 1);
  SetClientSize(3 * W, bas_autex);
  // What is still queued keeps its flag, during a link or for the next one: cleared, it would wait for the next
  // message typed.
  if (autex().TEXTE_A_EMETTRE.empty()) autex().TEXTE_EN_ATTENTE = 0;
}

// The echo windows' last lines are closed as the mode changes: the texts of the new mode start on a line of
// their own, not after the last characters of the other mode ("...73.F1AAA < F2BBB").
void FichePrincipale::Ferme_lignes_des_echos() {
  for (gui::TMemo* memo : {Memo_Reception_memo, Memo_emission}) {
    const std::string texte = memo->Text();
    if (!texte.empty() && texte.back() != '\n') Affiche_texte_memo(memo, "\r\n", false);
  }
}

void FichePrincipale::ASCIIClick(gui::TObject*) {
  if (reglages().Mode_fonctionnement != MODE_ASCII) Ferme_lignes_des_echos();
  reglages().Mode_fonctionnement = MODE_ASCII;
  autex().GESTION_PRELIMINAIRE_AUTEX();
  autex().INITIALISATION_PARAMETRES_RX_AUTEX();
  Mise_en_page_du_mode();
}

void FichePrincipale::AUTEXClick(gui::TObject*) {
  if (reglages().Mode_fonctionnement != MODE_AUTEX) Ferme_lignes_des_echos();
  reglages().Mode_fonctionnement = MODE_AUTEX;
  if (boucle().Balise_active == 1) {
    boucle().Balise_active = 0;
    Demarrage_Balise->SetDown(false);
    Mise_en_route_balise();
  }
  Mise_en_page_du_mode();
  if (DIVERS->CanFocus()) {
    DIVERS->SetFocus();
    HANDLE_DIVERS = gui::FocusedControl();
  }
  // The AUTEX side starts from its idle state, as at an activation in AUTEX mode: buttons, participant
  // count, call sign and secondary channel.
  if (!Session_ou_tentative_en_cours()) {
    autex().GESTION_PRELIMINAIRE_AUTEX();
    autex().INITIALISATION_PARAMETRES_RX_AUTEX();
    autex().REINIT_EMISSION();
  }
  Redonne_focus_editeur();
}

void FichePrincipale::Bouton_TXClick(gui::TObject*) {
  // A second click on the switch already down would queue the editor's text a second time.
  if (autex().EMISSION_EN_COURS == 1) return;
  Passe_en_emission();
}

void FichePrincipale::Bouton_RXClick(gui::TObject*) {
  // Also when already receiving: the editor is emptied.
  Passe_en_reception();
  Redonne_focus_editeur();
}

void FichePrincipale::Memo_editeurKeyPress(gui::TObject*, char& Key) {
  const unsigned char k = static_cast<unsigned char>(Key);
  const std::string& mode = reglages().Mode_fonctionnement;
  if (mode == MODE_ASCII && autex().EMISSION_EN_COURS == 1) {
    if (k == 10) {
      Key = 0;
      return;
    }
    // Only what is typed at the end of the text goes out as it is typed.
    if (Memo_editeur->SelLength() != 0 || Memo_editeur->SelStart() != Memo_editeur->GetTextLen()) {
      Key = 0;
      return;
    }
    // Escape too goes out (then the main loop switches to reception).
    boucle().File_emission += k == 13 ? std::string("\r\n") : std::string(1, Key);
    if (!boucle().File_emission.empty()) boucle().Emission_cadencee();
    if (k == 27) Key = 0;  // see below
    return;
  }
  // Escape is never text in the editor, and the system's edit control, once Tab has been used in it, takes it
  // for a dialog's cancel key and closes the group box it sits in: it does not reach the control.
  if (k == 27) {
    Key = 0;
    return;
  }
  if (mode == MODE_AUTEX) {
    const bool session = autex().SESSION_EN_COURS == 1;
    if (reglages().ENVOI_SUR_CR == 1 && k == 13 && session) boucle().DEMANDE_ENVOI_MESSAGE = 1;
    if (session && k < 32 && k != 13 && k != 10) Key = 0;
  }
}

void FichePrincipale::Clear_RX_textClick(gui::TObject*) {
  Memo_Reception_memo->Clear();
  Redonne_focus_editeur();
}

void FichePrincipale::Clear_TX_text1Click(gui::TObject*) {
  Memo_editeur->Clear();
  Redonne_focus_editeur();
}

void FichePrincipale::Clear_TX_text2Click(gui::TObject*) {
  Memo_emission->Clear();
  Redonne_focus_editeur();
}

void FichePrincipale::Demarrage_BaliseClick(gui::TObject*) {
  boucle().Balise_active = Demarrage_Balise->Down() ? 1 : 0;
  Mise_en_route_balise();
}

void FichePrincipale::Mise_en_route_balise() {
  BouclePrincipale& b = boucle();
  if (b.Balise_active == 0) {
    autex().MODE_AUTEX = 1;
    autex().EMISSION_EN_COURS = 0;
    Bouton_RX->SetDown(true);
    b.Balise_a_emettre = 0;
    b.Balise_en_emission = 0;
    b.Balise_en_pause = 0;
    Memo_editeur->SetEnabled(true);
    Memo_editeur->Clear();
    return;
  }
  b.Balise_a_emettre = 1;
  b.Balise_en_emission = 0;
  b.Balise_en_pause = 0;
  b.Copie_balise.clear();
  Memo_editeur->SetEnabled(false);
  if (b.Port_ouvert == 1) b.Emission_balise();
}

void FichePrincipale::PauseClick(gui::TObject*, gui::TUDBtnType) {
  const uint16_t pause = uint16_t(5 * Pause->Position());
  boucle().Pause_balise = pause;
  reglages().Pause_balise = pause;
  Affiche_pause_balise();
}

void FichePrincipale::Affiche_pause_balise() {
  const uint16_t pause = boucle().Pause_balise;
  Pause->SetPosition(pause / 5);
  Label2->SetCaption(std::to_string(pause));
}

void FichePrincipale::Commutateur_Synthese_vocaleClick(gui::TObject*) {
  reglages().Synthese_vocale_active = Commutateur_Synthese_vocale->Down() ? 1 : 0;
  if (reglages().Synthese_vocale_active == 1 && !synthese().Synthese_initialisee()) synthese().Lance_synthese_vocale();
  synthese().Annule_prononciation_en_attente();
}

void FichePrincipale::Options_pour_synthese_vocaleClick(gui::TObject*) {
  if (station_.Form43 && !station_.Form43->Visible()) station_.Form43->ShowModal();
}


// ---------------------------------------------------------------------------------------------------
// Parameters and language

void FichePrincipale::Applique_langue() {
  const uint8_t langue = parametres().octet(octet::LANGUE);
  English1->SetCaption(std::string(LIBELLE_ENGLISH1));
  Francais1->SetCaption(std::string(LIBELLE_FRANCAIS1));
  English1->SetChecked(langue == autex::LANGUE_ANGLAIS);
  Francais1->SetChecked(langue == autex::LANGUE_FRANCAIS);
  Traduit_fiche_principale();
  // A port that is open is tested and opened again at its speed in force.
  reglages().Vitesse_port = io().materiel.Vitesse_port;
  parametres().Etat_port_apres_langue();
  io().ports.Construit_menus_ports_serie();
  io().ports.Coche_vitesse_port();
  Mise_en_page_du_mode(false);
  autex().TEXTES_FENETRE_AUTEX();
}

void FichePrincipale::Traduit_fiche_principale() {
  for (const Ligne_traduction& ligne : Table_traduction_fiche_principale()) {
    const std::string texte = Texte_traduit(ligne, station_.langues);
    gui::TComponent* composant = FindComponent(std::string(ligne.composant));
    if (auto* item = dynamic_cast<gui::TMenuItem*>(composant)) {
      if (ligne.propriete == Propriete::Caption)
        item->SetCaption(texte);
      else
        item->SetHint(texte);
    } else if (auto* controle = dynamic_cast<gui::TControl*>(composant)) {
      if (ligne.propriete == Propriete::Caption)
        controle->SetCaption(texte);
      else
        controle->SetHint(texte);
    }
  }
}

void FichePrincipale::Applique_parametres() {
  Reglages_station& r = reglages();
  io().materiel.Vitesse_port = r.Vitesse_port;
  boucle().Pause_balise = r.Pause_balise;
  Applique_reglages_autex();
  synthese().Applique_reglages(r);
  Envoi_texte_sur_CR->SetChecked(r.ENVOI_SUR_CR == 1);
  // The compression box shows the switch in force too.
  Compression_du_fichier_transmis->SetChecked(r.COMPRESSION_FICHIER == 1);
  Mise_en_page_du_mode();
  Affiche_pause_balise();
  Mise_en_route_balise();
  Affiche_vitesse_AUTEX();
  Etat_transceiver();
  io().ports.Coche_vitesse_port();
  Applique_position_fiche();
  RichEdit_SMS->Clear();
  Applique_peau();
}

void FichePrincipale::Applique_position_fiche() {
  int gauche = reglages().Left;
  int haut = reglages().Top;
  // The window opens where it was, on whichever monitor that is. A window saved on a monitor that is no
  // longer there would open out of reach: unless its title bar lies on one of the monitors (at least 100
  // pixels of it across, its top within the monitor), it is brought onto the primary monitor.
  const auto sur = [&](const platform::TRect& m) {
    return gauche <= m.Right - 100 && gauche + Width() >= m.Left + 100 && haut >= m.Top - 10 && haut <= m.Bottom - 40;
  };
  bool visible = false;
  for (int i = 0; i < gui::Screen->MonitorCount() && !visible; ++i) visible = sur(gui::Screen->MonitorBounds(i));
  if (!visible) {
    const platform::TRect p = gui::Screen->MonitorBounds(0);
    if (gauche > p.Right - 100) gauche = std::max(p.Left, p.Right - Width());
    if (gauche + Width() < p.Left + 100) gauche = p.Left;
    if (haut > p.Bottom - 40) haut = std::max(p.Top, p.Bottom - Height());
    if (haut < p.Top - 10) haut = p.Top;
  }
  SetBounds(gauche, haut, Width(), Height());
  Position_placee_ = platform::TPoint{Left(), Top()};
  Invalidate();
}

namespace {

// The skins the six buttons offer, by Choix_peau - 1 (1: no skin).
const char* const kNomsDesPeaux[] = {nullptr,           "Spring Willow (internal)", "Lucky (internal)",
                                     "MacMetal (internal)", "Opus (internal)",       "Topaz (internal)"};

}  // namespace

int FichePrincipale::Peau_en_vigueur() const {
  if (gui::GetOrdProp(sSkinManager1, "Active") == 0) return 1;
  const std::string nom = gui::GetStrProp(sSkinManager1, "SkinName");
  for (int i = 2; i <= 6; ++i)
    if (nom == kNomsDesPeaux[i - 1]) return i;
  return 0;
}

void FichePrincipale::Applique_peau() {
  // The setting whose skin the manager of the definition holds from the start.
  constexpr int kPeauDeLaDefinition = 2;
  gui::TSpeedButton* const boutons[] = {Peau_non, Peau_Spring, Peau_Lucky, Peau_MacMetal, Peau_Opus, Peau_Topaz};
  const int choix = reglages().Choix_peau;
  if (choix < 1 || choix > 6) return;
  const bool premiere = !Peau_appliquee_;
  Peau_appliquee_ = true;
  if (!sSkinManager1) {  // a window built without the skinning library
    boutons[choix - 1]->SetDown(true);
    return;
  }
  // The changes asked for here are settled below, not by the manager's event.
  const bool avant = Peau_demandee_;
  Peau_demandee_ = true;
  struct Fin {
    bool& drapeau;
    bool valeur;
    ~Fin() { drapeau = valeur; }
  } fin{Peau_demandee_, avant};
  struct Place {
    FichePrincipale& f;
    platform::TPoint avant;
    ~Place() { f.Note_place_apres_peau(avant); }
  } place{*this, {Left(), Top()}};
  // Switched off, the manager keeps its skin name. Switched on, the name comes first, so that the skin is
  // loaded once.
  if (choix == 1) {
    gui::SetOrdProp(sSkinManager1, "Active", 0);
    boutons[0]->SetDown(true);
    return;
  }
  const bool actif = gui::GetOrdProp(sSkinManager1, "Active") != 0;
  // A manager of the definition that is off at the start could not load its skin and has said why: that skin
  // is not tried (and reported) a second time.
  if (!(premiere && !actif && choix == kPeauDeLaDefinition)) {
    if (gui::GetStrProp(sSkinManager1, "SkinName") != kNomsDesPeaux[choix - 1])
      gui::SetStrProp(sSkinManager1, "SkinName", kNomsDesPeaux[choix - 1]);
    gui::SetOrdProp(sSkinManager1, "Active", 1);
  }
  // The setting in force: the one asked for, or, when its skin could not be loaded, the skin kept (or none when
  // there was none to keep). It is the one saved, and its button is the one down. A skin of another name (none
  // of the six) keeps the manager on: the setting asked for stays.
  int en_vigueur = Peau_en_vigueur();
  if (en_vigueur == 0) en_vigueur = choix;
  reglages().Choix_peau = uint8_t(en_vigueur);
  boutons[en_vigueur - 1]->SetDown(true);
}

namespace {
// Posted to the main window by a change of skin that came from elsewhere, to note where it left the window.
constexpr UINT kPlaceApresPeauRecue = WM_APP + 0x51;
}  // namespace

void FichePrincipale::sSkinManager1BeforeChange(gui::TObject*) {
  // Two blocks in a row: the place is the one before the first.
  if (!Peau_demandee_ && !Place_avant_peau_recue_) Place_avant_peau_recue_ = platform::TPoint{Left(), Top()};
}

void FichePrincipale::Note_place_apres_peau_recue() {
  if (!Place_avant_peau_recue_) return;
  const platform::TPoint avant = *Place_avant_peau_recue_;
  Place_avant_peau_recue_.reset();
  Note_place_apres_peau(avant);
}

void FichePrincipale::WndProc(gui::TMessage& m) {
  if (m.Msg == kPlaceApresPeauRecue) {
    Note_place_apres_peau_recue();
    return;
  }
  forms::TForm1::WndProc(m);
}

void FichePrincipale::sSkinManager1AfterChange(gui::TObject*) {
  // A skin that came from elsewhere (a skin editor's block): the box and the setting saved follow the skin in
  // force. One of none of the six puts every button up and leaves the setting as it was, since the setting can
  // name only the six.
  if (Peau_demandee_ || !sSkinManager1) return;
  // The window may still be moved by this skin (a tall caption brings it down) once the manager applies it.
  if (!PostToWindow(kPlaceApresPeauRecue)) Note_place_apres_peau_recue();
  gui::TSpeedButton* const boutons[] = {Peau_non, Peau_Spring, Peau_Lucky, Peau_MacMetal, Peau_Opus, Peau_Topaz};
  const int en_vigueur = Peau_en_vigueur();
  if (en_vigueur != 0) {
    reglages().Choix_peau = uint8_t(en_vigueur);
    boutons[en_vigueur - 1]->SetDown(true);
    return;
  }
  Peau_non->SetAllowAllUp(true);
  for (gui::TSpeedButton* b : boutons) b->SetDown(false);
  Peau_non->SetAllowAllUp(false);
}

void FichePrincipale::Note_place_apres_peau(platform::TPoint avant) {
  const platform::TPoint ici{Left(), Top()};
  if (ici == avant) return;  // not moved by this change: what was noted stays
  // Brought down twice in a row, the place is the one before the first.
  const platform::TPoint origine =
      Place_avant_peau_ && Place_avant_peau_->apres == avant ? Place_avant_peau_->avant : avant;
  if (ici == origine)
    Place_avant_peau_.reset();
  else
    Place_avant_peau_ = Place_avant_peau{origine, ici};
}

void FichePrincipale::Choisit_peau(uint8_t choix) {
  reglages().Choix_peau = choix;
  Applique_peau();
}

void FichePrincipale::Peau_nonClick(gui::TObject*) { Choisit_peau(1); }
void FichePrincipale::Peau_SpringClick(gui::TObject*) { Choisit_peau(2); }
void FichePrincipale::Peau_LuckyClick(gui::TObject*) { Choisit_peau(3); }
void FichePrincipale::Peau_MacMetalClick(gui::TObject*) { Choisit_peau(4); }
void FichePrincipale::Peau_OpusClick(gui::TObject*) { Choisit_peau(5); }
void FichePrincipale::Peau_TopazClick(gui::TObject*) { Choisit_peau(6); }

Textes_libres FichePrincipale::Textes_libres_fenetre() const {
  Textes_libres t;
  t.Texte_balise = Texte_balise->Text();
  t.Edit_INDICATIF = Edit_INDICATIF->Text();
  t.DIVERS = DIVERS->Text();
  t.Edit_Sequence1 = Edit_Sequence1->Text();
  t.Edit_Sequence2 = Edit_Sequence2->Text();
  return t;
}

void FichePrincipale::Affiche_textes_libres(const Textes_libres& t) {
  Texte_balise->SetText(t.Texte_balise);
  Edit_INDICATIF->SetText(t.Edit_INDICATIF);
  DIVERS->SetText(t.DIVERS);
  Edit_Sequence1->SetText(t.Edit_Sequence1);
  Edit_Sequence2->SetText(t.Edit_Sequence2);
}

void FichePrincipale::PARAMETRES_STANDARDClick(gui::TObject*) {
  reglages().Vitesse_port = io().materiel.Vitesse_port;
  parametres().PARAMETRES_STANDARDClick();
}

void FichePrincipale::Sauve_parametresClick(gui::TObject*) { parametres().Sauve_parametresClick(); }

void FichePrincipale::Charge_parametresClick(gui::TObject*) {
  reglages().Vitesse_port = io().materiel.Vitesse_port;
  parametres().Charge_parametresClick();
  // The backup's transceiver is in force at once: its menu says so.
  Coche_transceiver();
}

// ---------------------------------------------------------------------------------------------------
// Reports

std::string Rapport(FichePrincipale& f) {
  const std::string repertoire = Chemin_dans(f.Repertoire_travail, "REPORTS");
  // The report is written by its full name: the process's current directory is left alone (a test process
  // may hold several stations).
  if (!autex::detail::os_is_directory(repertoire)) autex::detail::os_make_directory(repertoire);
  const std::string texte = "<Reception>\r\n" + f.Memo_Reception_memo->Text() + "\r\n\r\n<Transmission>\r\n" +
                            f.Memo_emission->Text();
  Station& station = f.station();
  std::string nom = Chemin_dans(repertoire, "REPORT_" + station.horodatage.HORODATAGE_UTC() + ".TXT");
  if (!Nom_libre(nom)) return std::string();
  if (station.fichiers.ECRIRE_FICHIER_TEXTE(nom, texte) != 0) return std::string();
  return nom;
}

void FichePrincipale::RapportClick(gui::TObject*) { station::Rapport(*this); }

// The whole screen as a JPEG file in SCREEN.
void FichePrincipale::sauvegarde_de_l_ecranClick(gui::TObject*) {
  std::string fichier, erreur;
  if (!station::Capture_ecran(Repertoire_travail, station_.horodatage, station_.plateforme.ecran, station_.langues,
                              fichier, erreur))
    Afficher_erreur(erreur, erreur);  // already in the language of the moment
}

// The help page of the language in the current directory, or else the one shipped beside the
// program. A page that is nowhere, or that the shell cannot show, is reported.
void FichePrincipale::HelpClick(gui::TObject*) {
  const std::string page = Page_aide(station_.langues);
  const std::string trouvee = Page_aide_trouvee(page, station_.plateforme.systeme.Repertoire_courant(),
                                                station_.plateforme.systeme.Repertoire_programme());
  if (trouvee.empty()) {
    Afficher_erreur("The help page " + page + " cannot be opened: it is neither in the working directory nor "
                    "beside the program.",
                    "La page d'aide " + page + " ne peut pas \xEAtre ouverte: elle n'est ni dans le r\xE9pertoire "
                    "de travail ni \xE0 c\xF4t\xE9 du programme.");
    return;
  }
  std::unique_ptr<platform::ShownBy> programme;
  const intptr_t resultat = station_.plateforme.shell.ExecuteWatched(Fenetre_de_la_station(), trouvee,
                                                                     platform::kShowNormal, programme);
  // Where nothing shows it, the message names the page in full, for a browser of the user's choice.
  if (resultat <= 32) {
    Afficher_erreur("The help page cannot be shown here: no program shows it (error " + std::to_string(resultat) +
                        "). Open it in a browser: " + trouvee,
                    "La page d'aide ne peut pas \xEAtre affich\xE9" "e ici: aucun programme ne l'affiche (erreur " +
                        std::to_string(resultat) + "). Ouvrez-la dans un navigateur: " + trouvee);
    return;
  }
  // The shell's success only says that a program started: whether it shows the page is known when it ends.
  Visionneuse_aide_ = std::move(programme);
  Page_visionneuse_aide_ = trouvee;
  Debut_visionneuse_aide_ = station_.plateforme.clock.timeGetTime();
}

void FichePrincipale::Surveille_visionneuse_aide() {
  if (!Visionneuse_aide_) return;
  // Running after that long, it shows the page (a browser stays open, or hands the page to one already open).
  constexpr uint32_t SURVEILLANCE_MS = 20000;
  uint32_t code = 0;
  if (!Visionneuse_aide_->Ended(code)) {
    if (platform::elapsedMs(station_.plateforme.clock.timeGetTime(), Debut_visionneuse_aide_) >= SURVEILLANCE_MS)
      Visionneuse_aide_.reset();
    return;
  }
  Visionneuse_aide_.reset();
  if (code == 0) return;
  const std::string page = Page_visionneuse_aide_;
  Afficher_erreur("The help page cannot be shown here: the program that was to show it ended with the code " +
                      std::to_string(code) + ". Open it in a browser: " + page,
                  "La page d'aide ne peut pas \xEAtre affich\xE9" "e ici: le programme qui devait l'afficher s'est "
                  "termin\xE9 avec le code " + std::to_string(code) + ". Ouvrez-la dans un navigateur: " + page);
}

}  // namespace station
