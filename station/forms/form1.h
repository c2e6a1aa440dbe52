#pragma once
// The main window's definition: unit FICHE_PRINCIPALE, class TForm1, instance Form1.
//
// Every component of the window exists as a typed member named as in the station's units
// (`form.Etat_liaison->SetCaption(...)`, `form.Memo_editeur->Text()`, `form.LANCEMENT_REUNION->Down()`), with its
// stored properties (captions, hints, fonts, colours, positions and sizes, timer intervals, speed-button
// groups, menus). The design-time texts are mostly French; the interface-language routine replaces them.
// The window is laid out as in ASCII mode: the AUTEX panel, its participant panels (M and S1 shown, S2 to S12
// hidden, laid out for 2 participants on 2 columns) and the short-message window exist hidden until the
// mode layout places and shows them.
//
// Handlers. Every event the definition binds calls the virtual method of this class that carries the
// handler's name (ENVOI_MESSAGE_ARQClick, Memo_editeurKeyPress, Timer1Timer, ...). Here they do nothing:
// the station's main window derives from TForm1 and overrides the ones it implements; since the bindings call
// the virtual methods, an override takes effect without touching the definition. The per-slot and per-port
// handlers (ENTRER_DANS_LA_REUNION_S1Click .. S12Click, SORTIR_DE_LA_REUNION_S1Click .. S12Click,
// COM1_GPSClick .. COM40_GPSClick) by default pass on to one method with the number
// (ENTRER_DANS_LA_REUNIONClick, SORTIR_DE_LA_REUNIONClick, COM_GPSClick), so a derived class may override
// either. OnCreate (A_la_creation_de_la_fiche) runs once the form is wholly constructed
// (TApplication::CreateForm, or AfterConstruction), so the derived class's override is the one that runs.
//
// Skinning. The definition also holds the skin manager and the skin provider of the skinning library
// (`sSkinManager1`, `sSkinProvider1`). Their classes come with the skinning library: the constructor's
// `skinComponents` factory, when given, creates them (owned by the form) while the definition loads, after
// every other component; without it they stay null and the window shows unskinned. The manager's OnBeforeChange
// and OnAfterChange are bound to sSkinManager1BeforeChange and sSkinManager1AfterChange once it exists.
#include <array>
#include <functional>

#include "gui/gui.h"

namespace forms {

class TForm1 : public gui::TForm {
 public:
  using TSkinComponentsFactory = std::function<void(TForm1& form)>;
  explicit TForm1(gui::TComponent* AOwner, const TSkinComponentsFactory& skinComponents = {});
  GUI_CLASS_NAME("TForm1")

  // Participant k: 0 = Master (M), 1..12 = S1..S12.
  gui::TPanel* Panel_participant(int k) const { return participant_.at(static_cast<size_t>(k)); }
  gui::TPanel* Panel_inner(int k) const { return inner_.at(static_cast<size_t>(k)); }
  gui::TMemo* Memo_Reception(int k) const { return memo_.at(static_cast<size_t>(k)); }
  gui::TLabel* Secondary_channel(int k) const { return secondary_.at(static_cast<size_t>(k)); }
  // Slot n = 1..12.
  gui::TLabel* Label_Utilisateur(int n) const { return slotLabel_.at(static_cast<size_t>(n)); }
  gui::TLabel* Label_CQ(int n) const { return cq_.at(static_cast<size_t>(n)); }
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION(int n) const { return enter_.at(static_cast<size_t>(n)); }
  gui::TSpeedButton* SORTIR_DE_LA_REUNION(int n) const { return leave_.at(static_cast<size_t>(n)); }
  gui::TLabel* Indicatif(int n) const { return callsign_.at(static_cast<size_t>(n)); }
  gui::TLabel* Nombre_de_repetitions(int n) const { return repetitions_.at(static_cast<size_t>(n)); }
  // COM n = 1..40.
  gui::TMenuItem* COM_GPS(int n) const { return com_.at(static_cast<size_t>(n)); }

  // Skinning library components (see the top of this file).
  gui::TComponent* sSkinManager1 = nullptr;
  gui::TComponent* sSkinProvider1 = nullptr;

  // Main menu
  gui::TMainMenu* MainMenu1 = nullptr;
  gui::TMenuItem* Port_serie_GPS = nullptr;
  gui::TMenuItem* Aucun_port_serie_GPS = nullptr;
  gui::TMenuItem* Baudrate = nullptr;
  gui::TMenuItem* _1200 = nullptr;
  gui::TMenuItem* _9600 = nullptr;
  gui::TMenuItem* Le_Transceiver = nullptr;
  gui::TMenuItem* DRF1278DM = nullptr;
  gui::TMenuItem* Autre_transceiver = nullptr;
  gui::TMenuItem* Langue = nullptr;
  gui::TMenuItem* English1 = nullptr;
  gui::TMenuItem* Francais1 = nullptr;
  gui::TMenuItem* Aide = nullptr;
  gui::TMenuItem* Help = nullptr;
  gui::TMenuItem* Modifications = nullptr;
  gui::TMenuItem* A_propos_de = nullptr;

  // COM port menu
  gui::TMenuItem* COM1_GPS = nullptr;
  gui::TMenuItem* COM2_GPS = nullptr;
  gui::TMenuItem* COM3_GPS = nullptr;
  gui::TMenuItem* COM4_GPS = nullptr;
  gui::TMenuItem* COM5_GPS = nullptr;
  gui::TMenuItem* COM6_GPS = nullptr;
  gui::TMenuItem* COM7_GPS = nullptr;
  gui::TMenuItem* COM8_GPS = nullptr;
  gui::TMenuItem* COM9_GPS = nullptr;
  gui::TMenuItem* COM10_GPS = nullptr;
  gui::TMenuItem* COM11_GPS = nullptr;
  gui::TMenuItem* COM12_GPS = nullptr;
  gui::TMenuItem* COM13_GPS = nullptr;
  gui::TMenuItem* COM14_GPS = nullptr;
  gui::TMenuItem* COM15_GPS = nullptr;
  gui::TMenuItem* COM16_GPS = nullptr;
  gui::TMenuItem* COM17_GPS = nullptr;
  gui::TMenuItem* COM18_GPS = nullptr;
  gui::TMenuItem* COM19_GPS = nullptr;
  gui::TMenuItem* COM20_GPS = nullptr;
  gui::TMenuItem* COM21_GPS = nullptr;
  gui::TMenuItem* COM22_GPS = nullptr;
  gui::TMenuItem* COM23_GPS = nullptr;
  gui::TMenuItem* COM24_GPS = nullptr;
  gui::TMenuItem* COM25_GPS = nullptr;
  gui::TMenuItem* COM26_GPS = nullptr;
  gui::TMenuItem* COM27_GPS = nullptr;
  gui::TMenuItem* COM28_GPS = nullptr;
  gui::TMenuItem* COM29_GPS = nullptr;
  gui::TMenuItem* COM30_GPS = nullptr;
  gui::TMenuItem* COM31_GPS = nullptr;
  gui::TMenuItem* COM32_GPS = nullptr;
  gui::TMenuItem* COM33_GPS = nullptr;
  gui::TMenuItem* COM34_GPS = nullptr;
  gui::TMenuItem* COM35_GPS = nullptr;
  gui::TMenuItem* COM36_GPS = nullptr;
  gui::TMenuItem* COM37_GPS = nullptr;
  gui::TMenuItem* COM38_GPS = nullptr;
  gui::TMenuItem* COM39_GPS = nullptr;
  gui::TMenuItem* COM40_GPS = nullptr;

  // Timers, dialogs and application events
  gui::TTimer* Timer1 = nullptr;
  gui::TTimer* Timer2 = nullptr;
  gui::TTimer* Timer3 = nullptr;
  gui::TOpenDialog* OpenDialog1 = nullptr;
  gui::TSaveDialog* SaveDialog1 = nullptr;
  gui::TFontDialog* FontDialog1 = nullptr;
  gui::TApplicationEvents* ApplicationEvents1 = nullptr;

  // Mode control
  gui::TGroupBox* GroupBox_controle_du_mode = nullptr;
  gui::TGroupBox* GroupBox_Mode = nullptr;
  gui::TSpeedButton* ASCII = nullptr;
  gui::TSpeedButton* AUTEX = nullptr;
  gui::TGroupBox* GroupBox_RX_TX = nullptr;
  gui::TSpeedButton* Bouton_RX = nullptr;
  gui::TSpeedButton* Bouton_TX = nullptr;
  gui::TButton* Rapport = nullptr;
  gui::TButton* sauvegarde_de_l_ecran = nullptr;
  gui::TButton* Quit = nullptr;
  gui::TGroupBox* GroupBox_Balise = nullptr;
  gui::TSpeedButton* Demarrage_Balise = nullptr;
  gui::TLabel* Espace = nullptr;
  gui::TLabel* Label2 = nullptr;
  gui::TUpDown* Pause = nullptr;
  gui::TEdit* Texte_balise = nullptr;
  gui::TPanel* Panel_ASCII_GENERAL = nullptr;
  gui::TSpeedButton* Vitesse_haute_ASCII = nullptr;
  gui::TSpeedButton* Vitesse_moyenne_ASCII = nullptr;
  gui::TSpeedButton* Vitesse_basse_ASCII = nullptr;
  gui::TPanel* Panel_AUTEX_GENERAL = nullptr;
  gui::TPanel* Panel_Vitesse_AUTEX = nullptr;
  gui::TLabel* Label_vitesse_AUTEX = nullptr;
  gui::TSpeedButton* Vitesse_haute_AUTEX = nullptr;
  gui::TSpeedButton* Vitesse_moyenne_AUTEX = nullptr;
  gui::TSpeedButton* Vitesse_basse_AUTEX = nullptr;
  gui::TLabel* Label_Autex = nullptr;
  gui::TSpeedButton* Partipants_Autex_2 = nullptr;
  gui::TSpeedButton* Partipants_Autex_4 = nullptr;
  gui::TSpeedButton* Partipants_Autex_7 = nullptr;
  gui::TSpeedButton* Partipants_Autex_13 = nullptr;
  gui::TLabel* Label_Indicatif = nullptr;
  gui::TEdit* Edit_INDICATIF = nullptr;
  gui::TLabel* Label_divers2 = nullptr;
  gui::TEdit* DIVERS = nullptr;
  gui::TLabel* Label_canal_secondaire = nullptr;
  gui::TLabel* Label_canal_secondaire2 = nullptr;
  gui::TPanel* Panel_Sequence = nullptr;
  gui::TButton* Sequence1 = nullptr;
  gui::TEdit* Edit_Sequence1 = nullptr;
  gui::TButton* Sequence2 = nullptr;
  gui::TEdit* Edit_Sequence2 = nullptr;
  gui::TButton* Efface_toutes_les_fenetres_M_et_Sx = nullptr;
  gui::TButton* Sauve_toutes_les_fenetres_M_et_Sx = nullptr;
  gui::TSpeedButton* Options_AUTEX = nullptr;
  gui::TLabel* Label_hauteur_Panel_Autex = nullptr;
  gui::TUpDown* Hauteur_du_Panel_Autex = nullptr;
  gui::TSpeedButton* Sur_3_colonnes_AUTEX = nullptr;
  gui::TSpeedButton* SpeedButton2 = nullptr;
  gui::TGroupBox* GroupBox_Parameters = nullptr;
  gui::TButton* PARAMETRES_STANDARD = nullptr;
  gui::TButton* Sauve_parametres = nullptr;
  gui::TButton* Charge_parametres = nullptr;
  gui::TGroupBox* GroupBox_Peau = nullptr;
  gui::TSpeedButton* Peau_non = nullptr;
  gui::TSpeedButton* Peau_Spring = nullptr;
  gui::TSpeedButton* Peau_Lucky = nullptr;
  gui::TSpeedButton* Peau_MacMetal = nullptr;
  gui::TSpeedButton* Peau_Opus = nullptr;
  gui::TSpeedButton* Peau_Topaz = nullptr;
  gui::TGroupBox* GroupBox_synthese_vocale = nullptr;
  gui::TSpeedButton* Commutateur_Synthese_vocale = nullptr;
  gui::TButton* Options_pour_synthese_vocale = nullptr;
  gui::TGroupBox* GroupBox_transceiver = nullptr;
  gui::TButton* DRF1278DM2 = nullptr;
  gui::TLabel* Label_Info = nullptr;

  // Editor and text windows
  gui::TPanel* Panel_ASCII = nullptr;
  gui::TGroupBox* GroupBox_to_transmit = nullptr;
  gui::TMemo* Memo_editeur = nullptr;
  gui::TButton* Clear_TX_text1 = nullptr;
  gui::TGroupBox* GroupBox_transmitted = nullptr;
  gui::TMemo* Memo_emission = nullptr;
  gui::TButton* Clear_TX_text2 = nullptr;
  gui::TGroupBox* GroupBox_reception = nullptr;
  gui::TMemo* Memo_Reception_memo = nullptr;
  gui::TButton* Clear_RX_text = nullptr;

  // AUTEX panel
  gui::TPanel* Panel_AUTEX = nullptr;
  gui::TButton* ENVOI_MESSAGE_ARQ = nullptr;
  gui::TButton* ARRET_TRANSMISSION_AUTEX = nullptr;
  gui::TPanel* Indique_TX_AUTEX = nullptr;
  gui::TLabel* Etat_liaison = nullptr;
  gui::TLabel* Label_TX_FICHIER = nullptr;
  gui::TButton* Fichier_TX_AUTEX = nullptr;
  gui::TLabel* Nom_du_fichier_TX_AUTEX = nullptr;
  gui::TButton* TRANSMISSION_FICHIER_AUTEX = nullptr;
  gui::TLabel* Label_RX_FICHIER = nullptr;
  gui::TButton* Ouverture_du_fichier_AUTEX = nullptr;
  gui::TLabel* Nom_du_fichier_RX_AUTEX = nullptr;
  gui::TLabel* Label_Info_AUTEX = nullptr;
  gui::TPanel* Panel_Etat_utilisateurs = nullptr;
  gui::TLabel* Label_Panneau_Utilisateurs = nullptr;
  gui::TPanel* Panel_Options_AUTEX = nullptr;
  gui::TCheckBox* Envoi_texte_sur_CR = nullptr;
  gui::TCheckBox* Compression_du_fichier_transmis = nullptr;
  gui::TPanel* Panel_AUTEX2 = nullptr;

  // Users state (Master)
  gui::TLabel* Indicatif_S1 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S1 = nullptr;
  gui::TLabel* Indicatif_S2 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S2 = nullptr;
  gui::TLabel* Indicatif_S3 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S3 = nullptr;
  gui::TLabel* Indicatif_S4 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S4 = nullptr;
  gui::TLabel* Indicatif_S5 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S5 = nullptr;
  gui::TLabel* Indicatif_S6 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S6 = nullptr;
  gui::TLabel* Indicatif_S7 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S7 = nullptr;
  gui::TLabel* Indicatif_S8 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S8 = nullptr;
  gui::TLabel* Indicatif_S9 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S9 = nullptr;
  gui::TLabel* Indicatif_S10 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S10 = nullptr;
  gui::TLabel* Indicatif_S11 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S11 = nullptr;
  gui::TLabel* Indicatif_S12 = nullptr;
  gui::TLabel* Nombre_de_repetitions_S12 = nullptr;

  // Participant M
  gui::TPanel* Panel_Master = nullptr;
  gui::TLabel* Label_Master = nullptr;
  gui::TSpeedButton* LANCEMENT_REUNION = nullptr;
  gui::TSpeedButton* FIN_REUNION = nullptr;
  gui::TMemo* Memo_Reception_Master = nullptr;
  gui::TPanel* Panel0 = nullptr;
  gui::TLabel* Secondary_channel_MASTER = nullptr;

  // Participant S1
  gui::TPanel* Panel_S1 = nullptr;
  gui::TLabel* Label_Utilisateur1 = nullptr;
  gui::TLabel* Label_CQ_S1 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S1 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S1 = nullptr;
  gui::TMemo* Memo_Reception_S1 = nullptr;
  gui::TPanel* Panel1 = nullptr;
  gui::TLabel* Secondary_channel_S1 = nullptr;

  // Participant S2
  gui::TPanel* Panel_S2 = nullptr;
  gui::TLabel* Label_Utilisateur2 = nullptr;
  gui::TLabel* Label_CQ_S2 = nullptr;
  gui::TSpeedButton* AUCUN_CQ_S2 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S2 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S2 = nullptr;
  gui::TMemo* Memo_Reception_S2 = nullptr;
  gui::TPanel* Panel2 = nullptr;
  gui::TLabel* Secondary_channel_S2 = nullptr;

  // Participant S3
  gui::TPanel* Panel_S3 = nullptr;
  gui::TLabel* Label_Utilisateur3 = nullptr;
  gui::TLabel* Label_CQ_S3 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S3 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S3 = nullptr;
  gui::TMemo* Memo_Reception_S3 = nullptr;
  gui::TPanel* Panel3 = nullptr;
  gui::TLabel* Secondary_channel_S3 = nullptr;

  // Participant S4
  gui::TPanel* Panel_S4 = nullptr;
  gui::TLabel* Label_Utilisateur4 = nullptr;
  gui::TLabel* Label_CQ_S4 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S4 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S4 = nullptr;
  gui::TMemo* Memo_Reception_S4 = nullptr;
  gui::TPanel* Panel4 = nullptr;
  gui::TLabel* Secondary_channel_S4 = nullptr;

  // Participant S5
  gui::TPanel* Panel_S5 = nullptr;
  gui::TLabel* Label_Utilisateur5 = nullptr;
  gui::TLabel* Label_CQ_S5 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S5 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S5 = nullptr;
  gui::TMemo* Memo_Reception_S5 = nullptr;
  gui::TPanel* Panel5 = nullptr;
  gui::TLabel* Secondary_channel_S5 = nullptr;

  // Participant S6
  gui::TPanel* Panel_S6 = nullptr;
  gui::TLabel* Label_Utilisateur6 = nullptr;
  gui::TLabel* Label_CQ_S6 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S6 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S6 = nullptr;
  gui::TMemo* Memo_Reception_S6 = nullptr;
  gui::TPanel* Panel6 = nullptr;
  gui::TLabel* Secondary_channel_S6 = nullptr;

  // Participant S7
  gui::TPanel* Panel_S7 = nullptr;
  gui::TLabel* Label_Utilisateur7 = nullptr;
  gui::TLabel* Label_CQ_S7 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S7 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S7 = nullptr;
  gui::TMemo* Memo_Reception_S7 = nullptr;
  gui::TPanel* Panel7 = nullptr;
  gui::TLabel* Secondary_channel_S7 = nullptr;

  // Participant S8
  gui::TPanel* Panel_S8 = nullptr;
  gui::TLabel* Label_Utilisateur8 = nullptr;
  gui::TLabel* Label_CQ_S8 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S8 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S8 = nullptr;
  gui::TMemo* Memo_Reception_S8 = nullptr;
  gui::TPanel* Panel8 = nullptr;
  gui::TLabel* Secondary_channel_S8 = nullptr;

  // Participant S9
  gui::TPanel* Panel_S9 = nullptr;
  gui::TLabel* Label_Utilisateur9 = nullptr;
  gui::TLabel* Label_CQ_S9 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S9 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S9 = nullptr;
  gui::TMemo* Memo_Reception_S9 = nullptr;
  gui::TPanel* Panel9 = nullptr;
  gui::TLabel* Secondary_channel_S9 = nullptr;

  // Participant S10
  gui::TPanel* Panel_S10 = nullptr;
  gui::TLabel* Label_Utilisateur10 = nullptr;
  gui::TLabel* Label_CQ_S10 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S10 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S10 = nullptr;
  gui::TMemo* Memo_Reception_S10 = nullptr;
  gui::TPanel* Panel10 = nullptr;
  gui::TLabel* Secondary_channel_S10 = nullptr;

  // Participant S11
  gui::TPanel* Panel_S11 = nullptr;
  gui::TLabel* Label_Utilisateur11 = nullptr;
  gui::TLabel* Label_CQ_S11 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S11 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S11 = nullptr;
  gui::TMemo* Memo_Reception_S11 = nullptr;
  gui::TPanel* Panel11 = nullptr;
  gui::TLabel* Secondary_channel_S11 = nullptr;

  // Participant S12
  gui::TPanel* Panel_S12 = nullptr;
  gui::TLabel* Label_Utilisateur12 = nullptr;
  gui::TLabel* Label_CQ_S12 = nullptr;
  gui::TSpeedButton* ENTRER_DANS_LA_REUNION_S12 = nullptr;
  gui::TSpeedButton* SORTIR_DE_LA_REUNION_S12 = nullptr;
  gui::TMemo* Memo_Reception_S12 = nullptr;
  gui::TPanel* Panel12 = nullptr;
  gui::TLabel* Secondary_channel_S12 = nullptr;

  // Short-message window
  gui::TPanel* Panel_AUTEX_SMS = nullptr;
  gui::TPanel* Panel_Entete = nullptr;
  gui::TLabel* Label_SMS = nullptr;
  gui::TButton* Rapport_SMS = nullptr;
  gui::TButton* Clear_fenetre_SMS = nullptr;
  gui::TRichEdit* RichEdit_SMS = nullptr;

  // ---- Handlers (see the top of this file) ----
  virtual void Aucun_port_serie_GPSClick(gui::TObject* Sender) {}
  virtual void COM1_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 1); }
  virtual void COM2_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 2); }
  virtual void COM3_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 3); }
  virtual void COM4_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 4); }
  virtual void COM5_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 5); }
  virtual void COM6_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 6); }
  virtual void COM7_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 7); }
  virtual void COM8_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 8); }
  virtual void COM9_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 9); }
  virtual void COM10_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 10); }
  virtual void COM11_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 11); }
  virtual void COM12_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 12); }
  virtual void COM13_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 13); }
  virtual void COM14_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 14); }
  virtual void COM15_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 15); }
  virtual void COM16_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 16); }
  virtual void COM17_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 17); }
  virtual void COM18_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 18); }
  virtual void COM19_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 19); }
  virtual void COM20_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 20); }
  virtual void COM21_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 21); }
  virtual void COM22_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 22); }
  virtual void COM23_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 23); }
  virtual void COM24_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 24); }
  virtual void COM25_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 25); }
  virtual void COM26_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 26); }
  virtual void COM27_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 27); }
  virtual void COM28_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 28); }
  virtual void COM29_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 29); }
  virtual void COM30_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 30); }
  virtual void COM31_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 31); }
  virtual void COM32_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 32); }
  virtual void COM33_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 33); }
  virtual void COM34_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 34); }
  virtual void COM35_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 35); }
  virtual void COM36_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 36); }
  virtual void COM37_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 37); }
  virtual void COM38_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 38); }
  virtual void COM39_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 39); }
  virtual void COM40_GPSClick(gui::TObject* Sender) { COM_GPSClick(Sender, 40); }
  virtual void _1200Click(gui::TObject* Sender) {}
  virtual void _9600Click(gui::TObject* Sender) {}
  virtual void DRF1278DMClick(gui::TObject* Sender) {}
  virtual void Autre_transceiverClick(gui::TObject* Sender) {}
  virtual void English1Click(gui::TObject* Sender) {}
  virtual void Francais1Click(gui::TObject* Sender) {}
  virtual void HelpClick(gui::TObject* Sender) {}
  virtual void ModificationsClick(gui::TObject* Sender) {}
  virtual void AproposdeClick(gui::TObject* Sender) {}
  virtual void Timer1Timer(gui::TObject* Sender) {}
  virtual void Timer2Timer(gui::TObject* Sender) {}
  virtual void Timer3Timer(gui::TObject* Sender) {}
  virtual void ASCIIClick(gui::TObject* Sender) {}
  virtual void AUTEXClick(gui::TObject* Sender) {}
  virtual void Bouton_RXClick(gui::TObject* Sender) {}
  virtual void Bouton_TXClick(gui::TObject* Sender) {}
  virtual void RapportClick(gui::TObject* Sender) {}
  virtual void sauvegarde_de_l_ecranClick(gui::TObject* Sender) {}
  virtual void QuitClick(gui::TObject* Sender) {}
  virtual void Demarrage_BaliseClick(gui::TObject* Sender) {}
  virtual void PauseClick(gui::TObject* Sender, gui::TUDBtnType Button) {}
  virtual void Vitesse_haute_ASCIIClick(gui::TObject* Sender) {}
  virtual void Vitesse_moyenne_ASCIIClick(gui::TObject* Sender) {}
  virtual void Vitesse_basse_ASCIIClick(gui::TObject* Sender) {}
  virtual void Vitesse_haute_AUTEXClick(gui::TObject* Sender) {}
  virtual void Vitesse_moyenne_AUTEXClick(gui::TObject* Sender) {}
  virtual void Vitesse_basse_AUTEXClick(gui::TObject* Sender) {}
  virtual void DIVERSChange(gui::TObject* Sender) {}
  virtual void Sequence1Click(gui::TObject* Sender) {}
  virtual void Sequence2Click(gui::TObject* Sender) {}
  virtual void Efface_toutes_les_fenetres_M_et_SxClick(gui::TObject* Sender) {}
  virtual void Sauve_toutes_les_fenetres_M_et_SxClick(gui::TObject* Sender) {}
  virtual void Options_AUTEXClick(gui::TObject* Sender) {}
  virtual void Hauteur_du_Panel_AutexUpClick(gui::TObject* Sender) {}
  virtual void Hauteur_du_Panel_AutexDownClick(gui::TObject* Sender) {}
  virtual void Sur_3_colonnes_AUTEXClick(gui::TObject* Sender) {}
  virtual void PARAMETRES_STANDARDClick(gui::TObject* Sender) {}
  virtual void Sauve_parametresClick(gui::TObject* Sender) {}
  virtual void Charge_parametresClick(gui::TObject* Sender) {}
  virtual void Peau_nonClick(gui::TObject* Sender) {}
  virtual void Peau_SpringClick(gui::TObject* Sender) {}
  virtual void Peau_LuckyClick(gui::TObject* Sender) {}
  virtual void Peau_MacMetalClick(gui::TObject* Sender) {}
  virtual void Peau_OpusClick(gui::TObject* Sender) {}
  virtual void Peau_TopazClick(gui::TObject* Sender) {}
  // The skin manager's OnBeforeChange and OnAfterChange: a change of skin, whoever asked for it.
  virtual void sSkinManager1BeforeChange(gui::TObject* Sender) {}
  virtual void sSkinManager1AfterChange(gui::TObject* Sender) {}
  virtual void Commutateur_Synthese_vocaleClick(gui::TObject* Sender) {}
  virtual void Options_pour_synthese_vocaleClick(gui::TObject* Sender) {}
  virtual void DRF1278DM2Click(gui::TObject* Sender) {}
  virtual void Memo_editeurKeyPress(gui::TObject* Sender, char& Key) {}
  virtual void Clear_TX_text1Click(gui::TObject* Sender) {}
  virtual void Clear_TX_text2Click(gui::TObject* Sender) {}
  virtual void Clear_RX_textClick(gui::TObject* Sender) {}
  virtual void ENVOI_MESSAGE_ARQClick(gui::TObject* Sender) {}
  virtual void ARRET_TRANSMISSION_AUTEXClick(gui::TObject* Sender) {}
  virtual void Fichier_TX_AUTEXClick(gui::TObject* Sender) {}
  virtual void TRANSMISSION_FICHIER_AUTEXClick(gui::TObject* Sender) {}
  virtual void Ouverture_du_fichier_AUTEXClick(gui::TObject* Sender) {}
  virtual void Envoi_texte_sur_CRClick(gui::TObject* Sender) {}
  virtual void Compression_du_fichier_transmisClick(gui::TObject* Sender) {}
  virtual void LANCEMENT_REUNIONClick(gui::TObject* Sender) {}
  virtual void FIN_REUNIONClick(gui::TObject* Sender) {}
  virtual void ENTRER_DANS_LA_REUNION_S1Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 1); }
  virtual void SORTIR_DE_LA_REUNION_S1Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 1); }
  virtual void AUCUN_CQ_S2Click(gui::TObject* Sender) {}
  virtual void ENTRER_DANS_LA_REUNION_S2Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 2); }
  virtual void SORTIR_DE_LA_REUNION_S2Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 2); }
  virtual void ENTRER_DANS_LA_REUNION_S3Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 3); }
  virtual void SORTIR_DE_LA_REUNION_S3Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 3); }
  virtual void ENTRER_DANS_LA_REUNION_S4Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 4); }
  virtual void SORTIR_DE_LA_REUNION_S4Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 4); }
  virtual void ENTRER_DANS_LA_REUNION_S5Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 5); }
  virtual void SORTIR_DE_LA_REUNION_S5Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 5); }
  virtual void ENTRER_DANS_LA_REUNION_S6Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 6); }
  virtual void SORTIR_DE_LA_REUNION_S6Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 6); }
  virtual void ENTRER_DANS_LA_REUNION_S7Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 7); }
  virtual void SORTIR_DE_LA_REUNION_S7Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 7); }
  virtual void ENTRER_DANS_LA_REUNION_S8Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 8); }
  virtual void SORTIR_DE_LA_REUNION_S8Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 8); }
  virtual void ENTRER_DANS_LA_REUNION_S9Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 9); }
  virtual void SORTIR_DE_LA_REUNION_S9Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 9); }
  virtual void ENTRER_DANS_LA_REUNION_S10Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 10); }
  virtual void SORTIR_DE_LA_REUNION_S10Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 10); }
  virtual void ENTRER_DANS_LA_REUNION_S11Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 11); }
  virtual void SORTIR_DE_LA_REUNION_S11Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 11); }
  virtual void ENTRER_DANS_LA_REUNION_S12Click(gui::TObject* Sender) { ENTRER_DANS_LA_REUNIONClick(Sender, 12); }
  virtual void SORTIR_DE_LA_REUNION_S12Click(gui::TObject* Sender) { SORTIR_DE_LA_REUNIONClick(Sender, 12); }
  virtual void Rapport_SMSClick(gui::TObject* Sender) {}
  virtual void Clear_fenetre_SMSClick(gui::TObject* Sender) {}
  virtual void A_la_creation_de_la_fiche(gui::TObject* Sender) {}
  virtual void FormActivate(gui::TObject* Sender) {}
  virtual void COM_GPSClick(gui::TObject* Sender, int n) {}
  virtual void ENTRER_DANS_LA_REUNIONClick(gui::TObject* Sender, int slot) {}
  virtual void SORTIR_DE_LA_REUNIONClick(gui::TObject* Sender, int slot) {}

 private:
  void CreateComponents();
  void BindEvents();
  std::array<gui::TPanel*, 13> participant_{};
  std::array<gui::TPanel*, 13> inner_{};
  std::array<gui::TMemo*, 13> memo_{};
  std::array<gui::TLabel*, 13> secondary_{};
  std::array<gui::TLabel*, 13> slotLabel_{};
  std::array<gui::TLabel*, 13> cq_{};
  std::array<gui::TSpeedButton*, 13> enter_{};
  std::array<gui::TSpeedButton*, 13> leave_{};
  std::array<gui::TLabel*, 13> callsign_{};
  std::array<gui::TLabel*, 13> repetitions_{};
  std::array<gui::TMenuItem*, 41> com_{};
};

}  // namespace forms
