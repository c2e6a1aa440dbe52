#pragma once
// The station's parameter image and its files.
//
// `Image_parametres` holds the 945 settings bytes, byte i (counted from 1) being setting i, and is the
// exact content of "CONF_COM.SER". `Lecture_parametres` loads and validates the file (up to 30 bytes
// outside their allowed values are replaced one by one by their standard values, 31 or more replace the
// whole image; the altered bytes are listed in "CONF_COM.ERR"), then runs the post-load step. The
// settings that the station uses are turned into `Reglages` (`Applique_reglages`) and gathered back into
// the image at Quit (`Sauve_parametres_CONF_COM`), every gathered byte brought into its allowed values so
// that the program never saves what its own loader would reject. "CONF_COM.BAK" is the user's backup;
// "CONFSTRINGS_COM.TXT" keeps five free-text fields.
//
// What needs the main window (menus, captions, the serial port, dialogs) is reached through
// `Hote_parametres`, which the main window implements.
#include <cstdint>
#include <string>
#include <vector>

#include "autex/fonctions_fichiers.h"
#include "autex/langues.h"
#include "station/fichiers_parametres.h"
#include "station/table_parametres.h"

namespace station {

inline constexpr const char* NOM_CONF_COM_SER = "CONF_COM.SER";
inline constexpr const char* NOM_CONF_COM_BAK = "CONF_COM.BAK";
inline constexpr const char* NOM_CONF_COM_ERR = "CONF_COM.ERR";
inline constexpr const char* NOM_CONFSTRINGS = "CONFSTRINGS_COM.TXT";
// Where a free-text file that could not be read whole is kept when the fields are saved over it.
inline constexpr const char* NOM_CONFSTRINGS_ANCIEN = "CONFSTRINGS_COM.OLD";

inline constexpr const char* NOM_DRF1278DM = "DRF1278DM";
inline constexpr const char* MODE_ASCII = "ASCII";
inline constexpr const char* MODE_AUTEX = "AUTEX";

// Byte 252: the COM port of the transceiver. 10 = no port; 1..6 = COM1..COM6; 8, 9 = COM7, COM8;
// 11..42 = COM9..COM40. Codes 7 and 10 never name a port.
inline constexpr uint8_t CODE_AUCUN_PORT = 10;
// The COM number (1..40) that a code names, 0 when it names none.
int Numero_port_du_code(uint8_t code);
// The code of COM n (1..40); CODE_AUCUN_PORT for any other number.
uint8_t Code_du_port(int numero);

// AUTEX panel heights, in pixels, for a participant count (2, 4, 7 or 13): the image stores them in steps of
// 20 pixels (bytes 938-941), so the height buttons keep them within what those bytes accept.
int Octet_pas_hauteur(int participants);           // 938..941, 0 for another count
int Hauteur_minimale_panneau(int participants);    // 180, 220, 340, 520
int Hauteur_maximale_panneau(int participants);    // 2000

// The settings that the image feeds and that are gathered back into it, with the image byte of each.
// Their first values are those of the standard image.
struct Reglages_station {
  uint8_t Choix_peau = 2;                     // 3: 1 no skin, 2..6 a stored skin
  uint16_t Vitesse_port = 1200;               // 4: 1 = 1200, 9 = 9600
  std::string Nom_transceiver;                // 5: 1 = "" (another transceiver), 2 = "DRF1278DM"
  std::string Mode_fonctionnement = MODE_ASCII;  // 8: 31 = "ASCII", 78 = "AUTEX"
  uint16_t Pause_balise = 5;                  // 27: seconds, stored as units of 5 s
  uint16_t Vitesse_AUTEX = 1200;              // 66: 1 = 1200, 2 = 400, 3 = 171 (written, never read back)
  int Left = 0;                               // 76-77: the main window's position, two-byte numbers
  int Top = 0;                                // 78-79
  uint8_t Synthese_vocale_active = 0;         // 780: 1 off, 2 on
  uint8_t Index_voix = 0;                     // 781: index + 1 (255 is "no voice", one below the first)
  uint8_t Volume_voix = 100;                  // 782: volume + 1
  int8_t Vitesse_voix = 0;                    // 783: rate + 11
  uint8_t NOMBRE_PARTICIPANTS = 2;            // 934 (written; every start has 2)
  uint8_t ENVOI_SUR_CR = 0;                   // 936: 1 no, 2 yes
  uint8_t PAS_HAUTEUR_2 = 16;                 // 938-941: AUTEX panel heights in steps of 20 pixels
  uint8_t PAS_HAUTEUR_4 = 16;
  uint8_t PAS_HAUTEUR_7 = 37;
  uint8_t PAS_HAUTEUR_13 = 37;
  uint8_t TROIS_COLONNES_7 = 0;               // 942: 1 no, 2 yes
  uint8_t TROIS_COLONNES_13 = 0;              // 943
  uint8_t COMPRESSION_FICHIER = 1;            // 945: 1 no, 2 yes

  bool operator==(const Reglages_station&) const = default;
};

// The five free-text fields of "CONFSTRINGS_COM.TXT", one per line in this order.
struct Textes_libres {
  std::string Texte_balise;    // the beacon text
  std::string Edit_INDICATIF;  // the call sign
  std::string DIVERS;          // various information
  std::string Edit_Sequence1;
  std::string Edit_Sequence2;

  static constexpr int NOMBRE_CHAMPS = 5;
  // Field 1..5 in file order.
  std::string& champ(int numero);
  const std::string& champ(int numero) const;
  bool operator==(const Textes_libres&) const = default;
};

// What the parameter routines ask of the rest of the station. The main window implements it; every
// operation has a harmless default so that a station without a window (tests, tools) can load and save.
class Hote_parametres {
 public:
  virtual ~Hote_parametres() = default;

  // The operating system (GetSystemDefaultLangID, the screen size).
  virtual uint16_t GetSystemDefaultLangID();
  virtual Taille_ecran Ecran();

  // The message dialogs: an error, an information (one OK button), a yes/no question (true for Yes).
  virtual void Afficher_erreur(const std::string& texte) {}
  virtual void Afficher_information(const std::string& texte) {}
  virtual bool Question_oui_non(const std::string& texte) { return false; }

  // Post-load step and language application.
  virtual void Detection_ports_serie() {}
  // The window's part of bringing it into the language: menu checks, captions and hints, port status
  // (through Parametres::Etat_port_apres_langue), port menus, mode layout, AUTEX captions.
  virtual void Applique_langue() {}
  virtual void Coche_vitesse_port() {}
  virtual void Construit_menus_ports_serie() {}
  // Byte 252 names no port: the port-open flag and the result of the last port test are cleared, nothing
  // is opened, and `message` goes to the information label.
  virtual void Pas_de_port_selectionne(const std::string& message) {}
  // Tests the selected port (closing the transceiver port first); true when it could be opened.
  virtual bool Tester_port_serie() { return false; }
  virtual bool Port_ouvert() { return false; }
  virtual void Ouverture_port_transceiver(uint16_t vitesse) {}
  virtual void Port_ferme() {}  // the port-open flag := 0

  // The window's part of applying the image (layout, controls, skin), after Parametres::Applique_reglages.
  virtual void Applique_parametres() {}
};

class Parametres {
 public:
  // `fichiers` writes "CONF_COM.ERR" and reads "CONFSTRINGS_COM.TXT"; `langues` is the station's text
  // chooser, whose language the loader sets from byte 1.
  Parametres(autex::Langues& langues, autex::FonctionsFichiers& fichiers, Hote_parametres& hote);

  // The directory of the files; empty = the current directory.
  std::string Repertoire;
  std::string Nom_fichier_CONFSTRINGS = NOM_CONFSTRINGS;
  int Nombre_lignes_CONFSTRINGS = Textes_libres::NOMBRE_CHAMPS;

  int Longueur_image = LONGUEUR_IMAGE;
  std::string Image_parametres;  // always 945 bytes
  std::string Image_standard;
  uint8_t Remise_parametres_standard = 0;  // 1: the next load takes the standard image
  std::string Liste_parametres_errones;   // "index value" CR LF per altered byte, during one load
  int32_t Nombre_parametres_errones = 0;

  Reglages_station Reglages;

  // Byte i of the image (1-based).
  uint8_t octet(int i) const { return uint8_t(Image_parametres[size_t(i - 1)]); }
  void fixe_octet(int i, uint8_t v) { Image_parametres[size_t(i - 1)] = char(v); }

  // Rebuilds Image_standard (the screen-size bytes from the host's screen).
  void Parametres_standard_image();
  // Loads, completes and validates "CONF_COM.SER", then runs the post-load step. Always ends with a
  // usable 945-byte image whose every byte passes its check.
  void Lecture_parametres();
  // Byte 1 := 2 when the system's language identifier is exactly 1036, else 1.
  void Langue_systeme();
  void Ajoute_parametre_errone(int index, int valeur);

  // The post-load step: port detection, language, port speed and transceiver (bytes 4, 5), port menus,
  // then the transceiver port: none for code 10, else tested and opened when the test succeeds.
  void Ouverture_port_apres_chargement();
  // The language of byte 1 to the text chooser, then the window's part (Hote_parametres::Applique_langue).
  void Applique_langue();
  // The port status when the language is applied: code 10 clears it; otherwise the selected port is
  // tested and, when it was open and the test succeeds, opened again at Vitesse_port.
  void Etat_port_apres_langue();

  // English1Click / Francais1Click: byte 1 := langue (1 or 2), Applique_langue, "CONF_COM.SER" written.
  void Change_langue(uint8_t langue);

  // The image to `Reglages` (the part of applying the parameters that needs no window): every setting
  // as its byte gives it; the participant count is 2 and the AUTEX speed is left as it is.
  void Applique_reglages();
  // Applique_reglages, then the window's part (Hote_parametres::Applique_parametres): what the start-up
  // runs after Lecture_parametres, before Lecture_CONFSTRINGS.
  void Applique_parametres();
  // `Reglages` into the image, each gathered byte brought to its nearest allowed value.
  void Rassemble_reglages();
  // Quit: the free-text file, then the gathered image to "CONF_COM.SER". True when both were written.
  bool Sauve_parametres_CONF_COM(const Textes_libres& textes);

  // Writes the image to "CONF_COM.SER" (after the port and language menus change bytes 252 and 1). Any
  // byte that its check rejects is first given its standard value. Failures are reported; false then.
  bool Ecrire_CONF_COM_SER();

  // The three buttons of the "Parameters" group.
  void PARAMETRES_STANDARDClick();  // asks; Yes: standard image loaded, written and applied
  void Sauve_parametresClick();     // the image, as it stands, to "CONF_COM.BAK"
  void Charge_parametresClick();    // "CONF_COM.BAK" to "CONF_COM.SER", then loaded

  // Free-text fields. Lines end with CR LF, LF or CR. A missing file leaves the fields as they are; a last
  // line without a line end is not read; lines beyond the fifth are ignored. Saving removes CR and LF
  // inside a field.
  // A file that could not be read whole (an open or read failure, more bytes than the read limit, text
  // after the last line end) is reported, and saving never writes over it while the fields still hold what
  // the read gave them; once they changed, the former file is first renamed CONFSTRINGS_COM.OLD (or a free
  // numbered variant of it), which the report names.
  void Lecture_CONFSTRINGS(Textes_libres& textes);
  bool Sauve_CONFSTRINGS(const Textes_libres& textes);
  // Most bytes read from the free-text file.
  size_t Capacite_CONFSTRINGS = 65500;
  // True while the free-text file on disk was not read whole and has not been saved over since.
  bool CONFSTRINGS_non_lu() const { return confstrings_non_lu_; }

  // The loader's verdict on the bytes of a parameter file: the count of bytes that fail their check once
  // a short file is completed from the standard image, or -1 for fewer than 100 bytes. A count above 30 (or
  // -1) makes the loader take the standard image.
  int Octets_errones(const std::string& octets) const;

  // The file name under Repertoire.
  std::string chemin(const std::string& nom) const;

 private:
  std::string traduction(std::string_view anglais, std::string_view francais) const;
  // Writes the image to a file (bytes that fail their check given their standard value first).
  bool ecrire_image(const std::string& nom);
  bool ecrire(const std::string& nom, std::string_view octets);
  bool lire(const std::string& nom, Lecture_binaire& lu);
  void image_standard_par_defaut();

  autex::Langues* langues_;
  autex::FonctionsFichiers* fichiers_;
  Hote_parametres* hote_;
  std::vector<int> index_errones_;
  bool confstrings_non_lu_ = false;
  Textes_libres textes_lus_;  // the fields as the last read of a damaged free-text file left them
};

}  // namespace station
