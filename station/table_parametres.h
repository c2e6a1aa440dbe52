#pragma once
// The parameter image's table: for each of the 945 bytes (counted from 1), the values that the loader
// accepts and the standard value, and the order in which the loader checks them.
#include <array>
#include <cstdint>
#include <span>

namespace station {

// The length of the parameter image and of "CONF_COM.SER".
constexpr int LONGUEUR_IMAGE = 945;

// Image bytes with a meaning of their own (1-based).
namespace octet {
constexpr int LANGUE = 1;
constexpr int PEAU = 3;
constexpr int VITESSE_PORT = 4;
constexpr int TRANSCEIVER = 5;
constexpr int MODE = 8;
constexpr int PAUSE_BALISE = 27;
constexpr int VITESSE_AUTEX = 66;
constexpr int GAUCHE_FICHE = 76;  // two bytes: 76-77
constexpr int HAUT_FICHE = 78;    // two bytes: 78-79
constexpr int PORT_TRANSCEIVER = 252;
constexpr int SYNTHESE_VOCALE = 780;
constexpr int VOIX = 781;
constexpr int VOLUME_VOIX = 782;
constexpr int VITESSE_VOIX = 783;
constexpr int PARTICIPANTS = 934;
constexpr int ENVOI_SUR_CR = 936;
constexpr int PAS_HAUTEUR_2 = 938;
constexpr int PAS_HAUTEUR_4 = 939;
constexpr int PAS_HAUTEUR_7 = 940;
constexpr int PAS_HAUTEUR_13 = 941;
constexpr int TROIS_COLONNES_7 = 942;
constexpr int TROIS_COLONNES_13 = 943;
constexpr int COMPRESSION_FICHIER = 945;
}  // namespace octet

// The screen size that the standard image records (bytes 88-91 and 96-97 hold the width and the height
// minus one, as two-byte numbers).
struct Taille_ecran {
  int largeur = 0;
  int hauteur = 0;
};

// Two-byte numbers. A signed coordinate v is stored in two consecutive bytes: v div 100 + 110, then
// v mod 100 + 110 (div and mod truncate toward zero: -5 is 110, 105 and -150 is 109, 60), each byte clamped
// into 10..210, so that a stored pair covers at least -10000..+10000.
int Code_position(int v);  // v clamped into 10..210
void Coder_coordonnee(int v, uint8_t& premier, uint8_t& second);
int Decoder_coordonnee(uint8_t premier, uint8_t second);

// True when the loader checks byte `index` (1..945); bytes 15-18 and 20 are held without a check.
bool Octet_verifie(int index);
// True when `value` passes the check of byte `index` (always true for a byte that is not checked).
bool Valeur_admise(int index, uint8_t value);
// The smallest and largest values that byte `index` accepts (0 and 255 for a byte that is not checked).
uint8_t Valeur_admise_minimale(int index);
uint8_t Valeur_admise_maximale(int index);
// The allowed value of byte `index` nearest to `value` (the lower one when two are as near); `value`
// itself when it is allowed.
uint8_t Valeur_admise_la_plus_proche(int index, int value);
// The standard value of byte `index` on a screen of the given size.
uint8_t Valeur_standard(int index, const Taille_ecran& ecran);

// The indexes of the checked bytes in the order of the checks: ascending, except that byte 6 comes right
// after byte 19 and byte 7 after byte 945.
std::span<const uint16_t> Ordre_de_verification();

}  // namespace station
