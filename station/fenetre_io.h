#pragma once
// What the serial port, main loop and radio-module logic need of the windows: the main window's labels,
// memos, buttons, timers, menus and parameter image, the AUTEX side's entry points, and the module window's
// status lines. The main window implements it; the logic itself holds no window.
#include <array>
#include <cstdint>
#include <string>

namespace station {

// One item of a menu as the logic computes it.
struct ElementMenu {
  std::string Caption;
  bool Checked = false;
  bool Detecte = false;  // COM items: the port was found by the detection
};

// The transceiver port menu: item 0 is `Aucun_port_serie_GPS` ("None"), item n (1..40) is `COMn_GPS`.
struct MenuPortsSerie {
  std::array<ElementMenu, 41> Elements;
};

// The baud-rate menu `Baudrate`: its items `_1200` and `_9600`.
struct MenuVitesses {
  bool _1200 = false;
  bool _9600 = false;
};

class FenetreIo {
 public:
  virtual ~FenetreIo() = default;

  // Settings of the main window (Parts on modes and parameters own them).
  virtual std::string Mode_fonctionnement() = 0;  // "ASCII" or "AUTEX"
  virtual std::string Nom_transceiver() = 0;      // "DRF1278DM" or empty

  // The main window itself has the keyboard: it is the active window, with no menu of the program open and no
  // other window of the program (a modal one in particular) over it.
  virtual bool Fenetre_principale_active() = 0;

  // Main window: information line, memos, editor, focus, caption.
  virtual void Label_Info(const std::string& text) = 0;
  virtual void Affiche_reception(const std::string& text) = 0;  // received characters (ASCII mode)
  virtual void Affiche_emission(const std::string& text) = 0;   // sent characters (ASCII mode)
  virtual void Efface_memo_reception() = 0;                      // Memo_Reception_memo emptied
  virtual void Affiche_editeur(const std::string& text) = 0;     // Memo_editeur emptied, then shows the text
  virtual std::string Texte_balise() = 0;                        // the beacon text field
  virtual void Redonne_focus_editeur() = 0;
  virtual std::string Titre_fiche_principale() = 0;
  virtual void Legende_fenetre_principale(const std::string& caption) = 0;
  virtual void Prononciation_en_attente() = 0;  // the 333 ms speech step: speak the waiting words when idle

  // Transmission and reception buttons and the mode switches behind them.
  virtual bool Bouton_TX_enfonce() = 0;
  virtual bool Bouton_RX_enfonce() = 0;
  virtual void Enfonce_Bouton_TX() = 0;
  virtual void Enfonce_Bouton_RX() = 0;
  virtual void Passe_en_emission() = 0;
  virtual void Passe_en_reception() = 0;

  // The AUTEX side.
  virtual uint8_t SESSION_EN_COURS() = 0;
  virtual uint8_t MODE_AUTEX() = 0;
  virtual void Fixe_MODE_AUTEX(uint8_t value) = 0;
  virtual void Fixe_EMISSION_EN_COURS(uint8_t value) = 0;
  virtual void SUPERVISION_AUTEX() = 0;
  virtual void Envoi_message_AUTEX() = 0;
  // The radio link is lost (the port or the module has gone): the AUTEX side ends what was under way and
  // shows `info` in its information line.
  virtual void Perte_liaison_radio(const std::string& info) = 0;

  // The 1 ms timer (Timer1) of the main window.
  virtual bool Timer1_actif() = 0;
  virtual void Active_Timer1(bool active) = 0;

  // The parameter image: byte 252 (port code) and the writing of "CONF_COM.SER".
  virtual uint8_t Code_port_image() = 0;
  virtual void Fixe_code_port_image(uint8_t code) = 0;
  virtual void Sauve_image_parametres() = 0;

  // Menus.
  virtual void Affiche_menu_ports(const MenuPortsSerie& menu) = 0;
  virtual void Affiche_menu_vitesses(const MenuVitesses& menu) = 0;

  // The module window (Form19): status line, data line, and its fields after a reply was decoded.
  virtual void Info2(const std::string& text) = 0;
  virtual void Label_Donnees(const std::string& text) = 0;
  virtual void Champs_transceiver_lus() = 0;
};

}  // namespace station
