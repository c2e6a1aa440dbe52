#pragma once
// CONTROLE_TRANSCEIVER without its window: the command frames of the radio module "DRF1278DM" (read and
// write of its twelve parameters), their checksum, the frequency codes, the decoding of the module's replies,
// the pending-command state that makes the receive pump collect a reply, and the automatic check that the
// module runs with the program's settings (read, rewrite, move to 9600 baud, read).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "station/parametres.h"

namespace station {

class StationIo;

// Time the station waits for a reply, in ms, once its command has left the serial line.
constexpr uint32_t DELAI_REPONSE_DRF = 333;
// Milliseconds that `octets` bytes take on a serial line of `bauds` bauds (ten bits each); 0 for no speed.
uint32_t Duree_ligne_ms(size_t octets, uint32_t bauds);
// Bytes of a command frame from its header to its CR LF; a reply has at least as many (its header, its
// command bytes, at least twelve parameter bytes, its checksum and CR LF).
constexpr size_t LONGUEUR_TRAME_DRF = 23;
// The frame header.
constexpr std::string_view ENTETE_DRF = "\xAF\xAF\x00\x00\xAF";
// The pending-command state of the presence check: a read frame sent to a verified module while the
// station is idle, whose reply only tells that the module is there.
constexpr uint8_t ETAT_PRESENCE_DRF = 4;
// Presence checks left unanswered in a row before the module counts as gone.
constexpr int SILENCES_AVANT_PERTE = 2;

// The checksum: the sum of the bytes modulo 256.
char Somme_de_controle_DRF(std::string_view octets);
// flag := 1 when the checksum of the body equals the checksum character, else 0.
void Verifie_somme_DRF(std::string_view corps, char somme, uint8_t& drapeau);

// Frequency code of M MHz and H ten-thousandths of a MHz: Hz / 61.035 rounded half to even.
uint32_t Code_frequence(int32_t mhz, int32_t dix_milliemes);
// The frequency of a code as the texts of the window: whole MHz, and four digits of decimals.
void Frequence_du_code(uint32_t code, std::string& mhz, std::string& hhz);

// Codes of the fixed settings; 0xFF for a value without a code.
uint8_t Code_facteur_etalement(int facteur);
uint8_t Code_bande_passante(std::string_view bande);
// Values of codes read back; 0 / empty for a code outside its range.
int Facteur_du_code(uint8_t code);
std::string Bande_du_code(uint8_t code);
// The milliwatt text of an RF power position 1..7 ("?" outside).
std::string Texte_puissance(int position);

// Bytes a second that a module set to a spreading factor (chips a symbol: 128 to 4096) and a bandwidth ("62.5",
// "125", "250" or "500" kHz) radiates: the payload of a full packet of `octets_paquet` bytes over the packet's
// time on the air (LoRa: a preamble of 8 symbols, explicit header, CRC, coding rate 4/5, low data rate
// optimisation when a symbol lasts more than 16 ms). 0 for a factor or a bandwidth without a code.
double Debit_air_LoRa(int facteur, std::string_view bande, size_t octets_paquet = 64);

// The read-parameters frame as written: CR LF, header, 80 02 0C, twelve 00, checksum, CR LF.
std::string Trame_lecture_DRF();

// Searches a whole reply in the collected bytes, by its structure: the header, then a CR LF right after a
// byte that is the checksum of everything from the header to it, with at least twelve parameter bytes in
// between (whatever their number). True, its offset and its length (CR LF included) when there is one.
// A copy of `commande` (the frame the station sent, from its header) is passed over: a line that gives back
// what it is sent holds no module's reply.
bool Reponse_DRF_entiere(std::string_view reponse, size_t& debut, size_t& longueur, std::string_view commande = {});

// The frequencies the module's radio tunes to, in hundreds of Hz (the window's four decimals of a MHz).
constexpr int64_t FREQUENCE_MIN_CENTAINES_HZ = 1370000;  // 137.0000 MHz
constexpr int64_t FREQUENCE_MAX_CENTAINES_HZ = 5250000;  // 525.0000 MHz

class ControleTransceiver {
 public:
  explicit ControleTransceiver(StationIo& io);

  // Command state.
  // 0 none, 1 read, 2 write, 3 read after a change of port speed, 4 presence check (ETAT_PRESENCE_DRF)
  uint8_t Commande_DRF_en_attente = 0;
  uint32_t Heure_commande_DRF = 0;
  // Milliseconds the pending command takes to leave on the line: the wait for its reply starts after them
  // (under Wine a write to the port returns at once, on Windows once the bytes have gone).
  uint32_t Duree_commande_DRF = 0;
  std::string Reponse_DRF;
  // The pending command's frame as it was written: what comes back identical to it is an echo of the line.
  std::string Trame_DRF_ecrite;
  uint8_t Fenetre_transceiver_active = 0;
  uint8_t Module_verifie = 0;
  int Silences_module = 0;  // presence checks left unanswered in a row
  // Bytes that came from the air together with a module reply (before or after it): the receive pump
  // takes them before the next bytes it reads.
  std::string Octets_hors_reponse;

  // Settings that the program writes into the module.
  uint16_t Facteur_etalement = 1024;
  uint16_t Mode_module = 0;
  std::string Bande_passante = "125";

  // Values edited in the module window, with the last accepted ones.
  std::string Frequence_MHz_texte = "434";
  std::string Frequence_HHz_texte = "0000";
  std::string Node_ID = "00000";
  std::string Node_ID_precedent = "00000";
  std::string Net_ID = "000";
  std::string Net_ID_precedent = "000";
  int Puissance = 3;
  std::string Label_Puissance = "10";

  // Values read back from the module (Facteur_lu 0, Bande_lue "?" and Mode_valide false for codes outside
  // their ranges). Reponse_valide: every value of the last reply lies in the module's ranges (frequency,
  // spreading factor, mode, bandwidth and power); only such a reply is put into the window's fields.
  uint16_t Facteur_lu = 0;
  uint16_t Mode_lu = 0;
  bool Mode_valide = false;
  bool Reponse_valide = false;
  std::string Bande_lue;
  std::string Node_ID_lu;
  std::string Net_ID_lu;

  // The module's air rate (bytes a second): from the spreading factor and bandwidth read back from it when
  // they are known, else from the settings the program writes into it.
  double Debit_air() const;

  // Sends the read frame; state 1 (read), 3 (read after a change of port speed) or 4 (presence check).
  void Lecture_parametres_DRF1278DM(uint8_t etat);
  // Builds the write frame from the window's fields and the fixed settings and sends it; a value outside the
  // module's range is refused, with a status that names the field and its range.
  void Ecriture_parametres_DRF1278DM();
  // Why the window's fields and the fixed settings cannot be written into the module: the first field outside
  // its range, named with the range, in the interface's language; empty when all can be written.
  std::string Refus_ecriture() const;
  // The write frame (23 bytes); false, and nothing built, when Refus_ecriture is not empty.
  bool Trame_ecriture_DRF(std::string& trame);
  // Decodes the twelve parameter bytes of a reply into the read-back values; a reply whose values all lie in the
  // module's ranges (Reponse_valide) also fills the window's fields, any other leaves them as they were. The
  // data text is returned.
  void Decodage_reponse_DRF1278DM(std::string_view parametres, std::string& donnees);
  // "None answer (suspect serial port or speed)" with the port and its speed, and, when `octets` bytes came
  // back, that they were not understood as the module's reply.
  std::string Aucune_reponse(size_t octets) const;
  // A module command cannot be written: the port is closed (the reason stays visible) or the write failed.
  void Echec_ecriture_initiale();
  // The module window's 100 ms timer: waits for, then judges the reply to the pending command.
  void Timer1Timer();

  // The module window's edit handlers: each returns the text the edit must show.
  std::string Frequence_MHzChange(const std::string& texte);
  std::string Frequence_HHzChange(const std::string& texte);
  std::string Edit_NODE_IDChange(const std::string& texte);
  std::string Edit_NET_IDChange(const std::string& texte);
  void PuissanceClick(int position);

 private:
  void Affiche_statut(const std::string& statut);
  // Writes a command frame; when it went out whole the command `etat` is pending, else the failure is shown.
  bool Envoie_commande(const std::string& trame, uint8_t etat);
  bool Parametres_lus_egaux(bool tous) const;

  StationIo& io_;
};

}  // namespace station
