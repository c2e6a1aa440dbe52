#pragma once
// MATHEMATIQUES: bit strings and the conversions and operations the AUTEX protocol needs.
//
// A bit string is a text of '0' and '1', most significant bit first. Readers treat '1' as one and every
// other character as zero unless a routine says otherwise. No state.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace autex {

// A symbol array: 200 signed 32-bit integers with a separate count (at most 200).
constexpr int TAILLE_TABLEAU_SYMBOLES = 200;
using Tableau_symboles = std::array<int32_t, TAILLE_TABLEAU_SYMBOLES>;

// n-character bit string of value (callers keep 0 <= value < 2^n).
std::string ENTIER_VERS_BINAIRE(int32_t value, uint8_t n);
std::string Octet_vers_binaire(uint8_t value, uint8_t n);
// 8 characters per text character, most significant bit first.
std::string TEXTE_VERS_BINAIRE(std::string_view text);
// Last character has weight 1; empty gives 0.
int32_t Binaire_vers_entier(std::string_view bits);
uint8_t BINAIRE_VERS_OCTET(std::string_view bits);
// Splits bits into groups of n bits; returns the count (min(length div n, 200)); a partial group is dropped.
int Binaire_vers_tableau(std::string_view bits, uint8_t n, Tableau_symboles& out);
// Concatenation of the first count elements (count capped at 200), n bits each.
std::string Tableau_vers_binaire(const Tableau_symboles& symbols, int count, uint8_t n);
std::string BINAIRE_VERS_HEXA(std::string_view bits);
std::string HEXA_VERS_TEXTE(std::string_view hex);
std::string Binaire_vers_texte(std::string_view bits);
std::string TEXTE_VERS_HEXA(std::string_view text);
std::string ENTIER_VERS_HEXA(uint32_t value);
// Decimal value of 1 to 8 digits, else -1.
int32_t DECIMAL_VERS_ENTIER(std::string_view text);
uint32_t Puissance_de_deux(uint8_t n);
int32_t Puissance_de_dix(uint8_t n);

// Bitwise operations on bit strings, in place.
void INVERSER_BINAIRE(std::string& bits);
// b[i] := '0' where a[i] = b[i], else '1', for positions up to the shorter length.
void XOR_BINAIRE(std::string_view a, std::string& b);
// The same over all of b (a is as long as b).
void XOR_BINAIRE_COMPLET(std::string& b, std::string_view a);
// Modulo-2 long division: the d check bits of message m (t = total length, normally length(m) + d).
std::string DIVISION_BINAIRE(std::string_view g, uint8_t d, int t, std::string_view m);

}  // namespace autex
