#pragma once
// TRAITEMENT_CHAINES: the station's text routines (trimming, filling, words and lines, numbers), its time
// stamps and the compression of whole texts before a file transfer.
//
// Positions are 1-based and 0 means "not found". Blanks are space, CR and LF (TAB is not a blank). A line
// ends at a CR; an LF right after that CR belongs to the line break.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace autex {

// Trimming and removing characters.
void SUPPRIMER_ESPACES(std::string& text);
void Supprimer_espaces_debut(std::string& text);
void Supprimer_espaces_fin(std::string& text);
void SUPPRIMER_CARACTERE(char c, std::string& text);
void Supprimer_caractere_en_queue(char c, std::string& text);
void DOUBLER_CARACTERE(std::string& text, char c);

// Filling to a width.
void COMPLETER_CHAINE(std::string& text, char fill, int width, int side);  // side 1: in front
void Completer_espaces(std::string& text, int width);
void Completer_caractere(std::string& text, char fill, int width);
void Completer_zeros(std::string& text, int width);
void Majuscules(std::string& text);

// Words, lines and positions.
void PREMIER_MOT(std::string_view text, std::string& word, int& length);
void DERNIER_MOT(std::string_view text, std::string& word, int& count);
int NOMBRE_DE_LIGNES(std::string_view text);
void LIGNE_NUMERO(std::string& line, std::string_view text, int number);
void Position_et_nombre_caractere(std::string_view text, char c, int& first, int& count);
void POSITION_DERNIER_CARACTERE(std::string_view text, char c, int& position);
void Couper_jusqu_au_caractere(std::string_view text, std::string& result, char c, bool& found);
void COUPER_SI_ADJACENTS(std::string_view text, std::string& result, char first, char second, bool& found);
void Apres_dernier_caractere(std::string_view text, char c, std::string& rest, int& position);
void Extraire_avant_separateur(std::string& source, std::string_view separator, std::string& part, int remove,
                               int& length);
void Dernier_saut_de_ligne(std::string_view text, int& position, int limit);
void Remplacer_sous_chaine(std::string& text, std::string_view old_text, std::string_view new_text, bool& found);
// A name received from another station (a file name, a call sign) as the station shows it: on one line, every
// control character (0 to 31, and 127) shown as "?". Shown as it came, a CR LF in it would start a line of the
// sender's making in a window, a report or the trace. So would, for a reader of a report that takes its bytes
// as Latin-1 or UTF-8, the byte 0x85 (the code page's ellipsis, shown as "...") and the line and paragraph
// separators E2 80 A8 and E2 80 A9 (shown as "?").
std::string Nom_affichable(std::string_view name);
// A received message as the short-message window and its report show it: each of its lines (ended by CR LF, CR
// or LF) on a line of its own, the lines after the first set in by two blanks, so that a line that begins with
// a call sign and a time is always the station's own; every other control character, and what a reader could
// take for a line end, as in a name (Nom_affichable).
std::string Message_affichable(std::string_view texte);

// Numbers.
bool Est_chiffre(char c);
bool CHAINE_NUMERIQUE(std::string_view text);
void ENTIER_VERS_CHAINE(int64_t value, std::string& text);
int32_t Chaine_vers_entier_long(std::string_view text);
void ENTIER_VERS_TROIS_OCTETS(int64_t value, std::string& text);
int32_t Trois_octets_vers_entier(std::string_view text);

// Compression: one complete zlib stream at the default level.
void COMPRESSER_CHAINE(std::string_view text, std::string& compressed);
// Most bytes a decompressed text may have (the largest size a file transfer can announce).
constexpr size_t TAILLE_MAX_DECOMPRESSION = 16777215;
// Decompresses a zlib stream. Returns false (and an empty text) for a stream that is corrupt, truncated,
// followed by more bytes or would decompress to more than TAILLE_MAX_DECOMPRESSION bytes; an empty input gives an
// empty text.
bool DECOMPRESSER_CHAINE(std::string_view compressed, std::string& text);
// The same with a bound of `limite` bytes, telling a stream that is too large from one that is damaged, and
// from a whole stream followed by more bytes (a second stream, or anything else); the inflating stops as soon as
// the bound is passed. The text is empty unless the result is Faite.
enum class Decompression { Faite, Corrompue, Trop_grande, Suivie_de_donnees };
Decompression DECOMPRESSER_BORNE(std::string_view compressed, std::string& text, size_t limite);

// The time variables and time stamps of one station.
class Horodatage {
 public:
  explicit Horodatage(platform::Clock& clock) : clock_(&clock) {}

  platform::SystemTime Heure_UTC{};
  double Date_heure_UTC = 0.0;  // days since 30 December 1899, fraction = time of day
  platform::SystemTime Heure_locale{};
  uint8_t Date_mois_en_tete = 0;  // 1 when the short date format puts the month first

  void LIRE_HEURE_UTC();
  // " YYYY-MM-DD HHhMMmSSs"
  std::string HORODATAGE_UTC();
  // "DD/MM/YY HH:MM:SS", or "MM/DD/YY HH:MM:SS" when Date_mois_en_tete is 1.
  std::string HORODATAGE_LOCAL();

  platform::Clock& clock() const { return *clock_; }

 private:
  platform::Clock* clock_;
};

}  // namespace autex
