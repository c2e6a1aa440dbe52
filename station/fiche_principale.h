#pragma once
// FICHE_PRINCIPALE: the station's main window. It derives from the window's definition (forms::TForm1) and
// gives its handlers their work: the start-up and activation of the window, the end of the program, the
// timers of the main loop, the port, speed, transceiver and language menus, the ASCII mode with its beacon,
// the layout of both modes, the parameter buttons, the reports and the dialogs.
//
// It binds the parts of the station that hold no window: the serial side (StationIo, through FenetreIo),
// the parameter image (Parametres, through Hote_parametres), the AUTEX protocol (autex::Autex, which reaches
// the window back through autex::VueAutex: the send queue and the paced writer, the receive buffer, the
// display of received and sent text, the focus, the speed buttons, the process priority, the message window,
// the working directory, and the captions, texts, button states and panels it writes, station/
// vue_autex_fenetre.h) and speech (SyntheseVocale).
//
// The AUTEX mode's own handlers (meeting and slot buttons, speed buttons, panel layout, secondary channel,
// message, sequence, file and stop sending, short-message window) are in fiche_principale_autex.cpp. The skin
// choice is not given work here: it comes with the skin manager.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "autex/hote_autex.h"
#include "autex/textes_encadres.h"
#include "autex/vue_autex.h"
#include "autex/traduction_autex.h"
#include "platform/priority.h"
#include "platform/shell.h"
#include "station/fenetre_io.h"
#include "station/forms/form1.h"
#include "station/parametres.h"
#include "station/station_io.h"
#include "station/synthese_vocale.h"
#include "station/vue_autex_fenetre.h"

namespace station {

class Station;
class BouclePrincipale;

// The main window's title, to which the 333 ms timer appends the local time.
inline constexpr const char* TITRE_FICHE_PRINCIPALE = "Vornatel";
// The ShowWindow code with which a received file is opened (SW_SHOWDEFAULT).
inline constexpr int AFFICHAGE_SW_SHOWDEFAULT = 10;
// Width of one AUTEX participant panel.
inline constexpr int LARGEUR_PANNEAU_AUTEX = 336;
// A file sent in AUTEX mode: at most this many bytes, its name (without path) at most this many characters.
inline constexpr int64_t TAILLE_MAX_FICHIER_TX = autex::TAILLE_MAX_FICHIER_ENVOYE;
inline constexpr size_t LONGUEUR_MAX_NOM_FICHIER_TX = 230;
// The framed texts that the main window hands to the AUTEX transmit side (built by autex/textes_encadres.h).
// A typed message: one final line end removed (a text of one character is sent as it is), every byte 3
// removed, framed by 3, 1 and 3, 0. An empty text gives an empty frame (nothing to send).
std::string Trame_message(std::string texte);
// A file: 3, 4 (or 3, 6 when `compression` is asked and the zlib stream is the shorter), the count N of the
// bytes that follow the three count bytes (most significant byte first), the call sign, 0, the file name, 0,
// the data with every byte 3 doubled, 3, 0. A NUL or a byte 3 in the call sign or the name is left out (the
// receiver could not read such a header back).
std::string Trame_fichier(const std::string& indicatif, const std::string& nom, const std::string& donnees,
                          bool compression);

// The height, in pixels, by which each of the three ASCII text windows shrinks so that a main window `hauteur`
// pixels high fits a screen `hauteur_ecran` pixels high (0 when it fits).
int Reduction_hauteur_ASCII(int hauteur, int hauteur_ecran);

// A name that exists already gives way to its first free numbered variant; false when there is none.
bool Nom_libre(std::string& chemin);
// `repertoire` + the path separator + `nom`, with no doubled separator.
std::string Chemin_dans(const std::string& repertoire, const std::string& nom);

class FichePrincipale;
// The report of the ASCII windows: the received text, then the sent text, written to
// "REPORTS\REPORT_ <UTC time stamp>.TXT" under the working directory. The file's name, empty on failure.
std::string Rapport(FichePrincipale& fiche);

class FichePrincipale : public forms::TForm1 {
 public:
  FichePrincipale(gui::TComponent* AOwner, Station& station, const TSkinComponentsFactory& composants_peau = {});
  ~FichePrincipale() override;

  // ---- State of the window's unit ----
  // The current directory when the window was created; every file of the program lives under it.
  std::string Repertoire_travail;
  // The editor's and the secondary-channel edit's windows, as last recorded.
  gui::TWinControl* Handle_editeur = nullptr;
  gui::TWinControl* HANDLE_DIVERS = nullptr;
  // The file chosen for sending in AUTEX mode: its name without path (empty when none) and its full path.
  std::string Nom_fichier_TX;
  std::string Chemin_fichier_TX;

  // ---- What the AUTEX side and the other units use of the window ----
  std::string& File_emission();
  std::string& Tampon_reception();
  uint32_t& OCTETS_ECRITS();
  void Emission_cadencee();
  void Affiche_reception(const std::string& texte);
  void Affiche_emission(const std::string& texte);
  void Redonne_focus_editeur();
  // The focus that the station gives itself (link events, a port opened, its buttons' work) stays within it: a
  // control is focused at once only while the window is the foreground window; otherwise it becomes the
  // control that the window focuses when it is next activated, and the keyboard stays where the operator put
  // it (focusing a control of an inactive window activates that window and takes the keys from the program
  // in front). `A_le_focus` answers within the window in the same way.
  void Donne_focus(gui::TWinControl& controle);
  bool A_le_focus(const gui::TWinControl& controle);
  bool Au_premier_plan();
  platform::ProcessPriority& Priorite();
  void Afficher_erreur(std::string_view anglais, std::string_view francais);
  void Afficher_information(std::string_view anglais, std::string_view francais);
  void Choix_vitesse_AUTEX(uint16_t vitesse);
  void Affiche_vitesse_AUTEX();
  // A link or meeting is held, a call is repeated, a connection attempt is pending or running, or an end is
  // being completed: the activation then leaves the AUTEX side and the send queue as they are.
  bool Session_ou_tentative_en_cours() const;
  // Hands a document to the shell's default action, the station's window as owner (every text whole).
  intptr_t Ouvre_document(const std::string& document, const std::string& parametres, const std::string& repertoire,
                          int affichage);

  // ---- Start-up, activation, end ----
  void Initialisation_fiche_principale();
  void Ajuste_hauteur_ASCII();
  // Quit: the free-text fields and the gathered parameter image are written, then the process ends.
  void Sauve_parametres_CONF_COM();

  // ---- Modes ----
  // Lays the window out for the current mode. `entree`: the mode is being entered (at a mode choice or when
  // parameters are applied), so that the AUTEX side is activated; a language switch only lays out again.
  void Mise_en_page_du_mode(bool entree = true);
  void Passe_en_emission();
  void Passe_en_reception();
  void Mise_en_route_balise();
  void Affiche_pause_balise();
  void Etat_transceiver();

  // ---- AUTEX sending ----
  void Envoi_message_AUTEX();
  void Envoi_sequence(int k);
  void Envoi_fichier_AUTEX();
  // The short-message window written to "REPORTS\MESSAGES_ <UTC time stamp>.TXT" under the working
  // directory; the file's name, empty on failure.
  std::string Rapport_messages();
  void Efface_fenetre_SMS();

  // ---- Parameters and language ----
  void Applique_langue();           // the window's part of bringing it into the language of byte 1
  void Traduit_fiche_principale();  // the caption and hint table
  void Applique_parametres();       // the window's part of applying the image
  void Applique_position_fiche();
  // The skin of Choix_peau: the skin manager on that skin, or off for 1, and the speed button of the setting in
  // force down. A skin that cannot be loaded (the manager reports why) leaves the setting before it in force, and
  // Choix_peau with it.
  void Applique_peau();
  void Choisit_peau(uint8_t choix);
  // The setting of the skin in force: 1 with the manager off, 2..6 for the skins of the six buttons, 0 for
  // another skin.
  int Peau_en_vigueur() const;
  // The five free-text fields as the window holds them, and back.
  Textes_libres Textes_libres_fenetre() const;
  void Affiche_textes_libres(const Textes_libres& textes);
  // The settings that live in the window and its parts, into Reglages (before the image is gathered).
  void Rassemble_etat();

  Station& station() { return station_; }
  Parametres& parametres();
  StationIo& io();
  autex::Autex& autex();
  const autex::Autex& autex() const;
  FenetreIo& fenetre_io();
  // The AUTEX side's host and view of this window.
  autex::VueAutex& hote_autex();
  Hote_parametres& hote_parametres();

  // ---- Handlers ----
  void A_la_creation_de_la_fiche(gui::TObject* Sender) override;
  void FormActivate(gui::TObject* Sender) override;
  void QuitClick(gui::TObject* Sender) override;
  void Timer1Timer(gui::TObject* Sender) override;
  void Timer2Timer(gui::TObject* Sender) override;
  void Timer3Timer(gui::TObject* Sender) override;
  void Aucun_port_serie_GPSClick(gui::TObject* Sender) override;
  void COM_GPSClick(gui::TObject* Sender, int n) override;
  void _1200Click(gui::TObject* Sender) override;
  void _9600Click(gui::TObject* Sender) override;
  void DRF1278DMClick(gui::TObject* Sender) override;
  void Autre_transceiverClick(gui::TObject* Sender) override;
  void DRF1278DM2Click(gui::TObject* Sender) override;
  void English1Click(gui::TObject* Sender) override;
  void Francais1Click(gui::TObject* Sender) override;
  void ModificationsClick(gui::TObject* Sender) override;
  void AproposdeClick(gui::TObject* Sender) override;
  void ASCIIClick(gui::TObject* Sender) override;
  void AUTEXClick(gui::TObject* Sender) override;
  void Bouton_RXClick(gui::TObject* Sender) override;
  void Bouton_TXClick(gui::TObject* Sender) override;
  void Memo_editeurKeyPress(gui::TObject* Sender, char& Key) override;
  void Clear_TX_text1Click(gui::TObject* Sender) override;
  void Clear_TX_text2Click(gui::TObject* Sender) override;
  void Clear_RX_textClick(gui::TObject* Sender) override;
  void Demarrage_BaliseClick(gui::TObject* Sender) override;
  void PauseClick(gui::TObject* Sender, gui::TUDBtnType Button) override;
  void RapportClick(gui::TObject* Sender) override;
  void sauvegarde_de_l_ecranClick(gui::TObject* Sender) override;
  void HelpClick(gui::TObject* Sender) override;
  void Peau_nonClick(gui::TObject* Sender) override;
  void Peau_SpringClick(gui::TObject* Sender) override;
  void Peau_LuckyClick(gui::TObject* Sender) override;
  void Peau_MacMetalClick(gui::TObject* Sender) override;
  void Peau_OpusClick(gui::TObject* Sender) override;
  void Peau_TopazClick(gui::TObject* Sender) override;
  void sSkinManager1BeforeChange(gui::TObject* Sender) override;
  void sSkinManager1AfterChange(gui::TObject* Sender) override;
  void PARAMETRES_STANDARDClick(gui::TObject* Sender) override;
  void Sauve_parametresClick(gui::TObject* Sender) override;
  void Charge_parametresClick(gui::TObject* Sender) override;
  void Commutateur_Synthese_vocaleClick(gui::TObject* Sender) override;
  void Options_pour_synthese_vocaleClick(gui::TObject* Sender) override;
  void ENVOI_MESSAGE_ARQClick(gui::TObject* Sender) override;
  void Options_AUTEXClick(gui::TObject* Sender) override;
  void Envoi_texte_sur_CRClick(gui::TObject* Sender) override;
  void Compression_du_fichier_transmisClick(gui::TObject* Sender) override;
  void LANCEMENT_REUNIONClick(gui::TObject* Sender) override;
  void FIN_REUNIONClick(gui::TObject* Sender) override;
  void ENTRER_DANS_LA_REUNIONClick(gui::TObject* Sender, int slot) override;
  void SORTIR_DE_LA_REUNIONClick(gui::TObject* Sender, int slot) override;
  void AUCUN_CQ_S2Click(gui::TObject* Sender) override;
  void DIVERSChange(gui::TObject* Sender) override;
  void Hauteur_du_Panel_AutexUpClick(gui::TObject* Sender) override;
  void Hauteur_du_Panel_AutexDownClick(gui::TObject* Sender) override;
  void Sur_3_colonnes_AUTEXClick(gui::TObject* Sender) override;
  void Efface_toutes_les_fenetres_M_et_SxClick(gui::TObject* Sender) override;
  void Sauve_toutes_les_fenetres_M_et_SxClick(gui::TObject* Sender) override;
  void Vitesse_haute_AUTEXClick(gui::TObject* Sender) override;
  void Vitesse_moyenne_AUTEXClick(gui::TObject* Sender) override;
  void Vitesse_basse_AUTEXClick(gui::TObject* Sender) override;
  void Sequence1Click(gui::TObject* Sender) override;
  void Sequence2Click(gui::TObject* Sender) override;
  void Fichier_TX_AUTEXClick(gui::TObject* Sender) override;
  void TRANSMISSION_FICHIER_AUTEXClick(gui::TObject* Sender) override;
  void ARRET_TRANSMISSION_AUTEXClick(gui::TObject* Sender) override;
  void Ouverture_du_fichier_AUTEXClick(gui::TObject* Sender) override;
  void Rapport_SMSClick(gui::TObject* Sender) override;
  void Clear_fenetre_SMSClick(gui::TObject* Sender) override;

 protected:
  void WndProc(gui::TMessage& m) override;

 private:
  class Io;
  class HoteParametres;
  class HoteAutex;
  friend class Io;
  friend class HoteParametres;
  friend class HoteAutex;

  Reglages_station& reglages();
  BouclePrincipale& boucle();
  SyntheseVocale& synthese();
  std::string traduction(std::string_view anglais, std::string_view francais) const;
  // A memo of an ASCII group box: placed as the layout rules say.
  void Place_dans_groupe(gui::TGroupBox* groupe, gui::TMemo* memo, gui::TButton* efface, int gauche_memo);
  void Affiche_texte_memo(gui::TMemo* memo, const std::string& texte, bool parole);
  void Ferme_lignes_des_echos();
  void Reprise_en_reception();
  void Coche_transceiver();  // the transceiver menu and group for Nom_transceiver
  // The AUTEX settings of the parameter image into the AUTEX side, and back.
  void Applique_reglages_autex();
  void Rassemble_reglages_autex();
  // The AUTEX information line, repainted and recorded by the trace.
  void Info_AUTEX(const std::string& texte);
  // The panel height buttons: the new height of the participant panels applied.
  void Change_hauteur_panneau(int hauteur);
  void Choix_vitesse_demande(uint16_t vitesse);
  // The program that Help had the shell start for the help page, watched for a while: one that ends with an
  // exit code other than 0 showed nothing (under Wine, winebrowser where the host has no program for pages),
  // which is then said, with the page's full path.
  void Surveille_visionneuse_aide();

  Station& station_;
  // Nesting depth of the AUTEX side's tick: an activation during it leaves the AUTEX side alone.
  int Travail_autex_ = 0;
  // Where the window was placed from the stored position (none before it was).
  std::optional<platform::TPoint> Position_placee_;
  // A skin whose caption stands taller than the room above the window brings the window down: where it stood
  // before (avant) and where the skin put it (apres). While it stays there, its place is the one before, the
  // one it has again under a skin of a normal caption.
  struct Place_avant_peau {
    platform::TPoint avant, apres;
  };
  std::optional<Place_avant_peau> Place_avant_peau_;
  bool Premier_affichage_ = false;  // the window was activated once
  void Note_place_apres_peau(platform::TPoint avant);
  // A skin that came from elsewhere (a skin editor's block): where the window stood as the change began. The
  // manager applies such a skin to the windows after its change event, so the place it leaves is noted from a
  // message posted then, handled once that is done (or at the latest when the settings are gathered).
  std::optional<platform::TPoint> Place_avant_peau_recue_;
  void Note_place_apres_peau_recue();
  // Whether the skin was applied once: the first time, the skin manager of the definition has already loaded its
  // own skin, the default setting's (or failed to, and said so).
  bool Peau_appliquee_ = false;
  // While Applique_peau changes the skin (the manager's event then leaves the box to it).
  bool Peau_demandee_ = false;
  std::unique_ptr<platform::ShownBy> Visionneuse_aide_;
  std::string Page_visionneuse_aide_;
  uint32_t Debut_visionneuse_aide_ = 0;
  std::unique_ptr<Io> io_;
  std::unique_ptr<HoteParametres> hote_;
  std::unique_ptr<HoteAutex> hote_autex_;
};

}  // namespace station
