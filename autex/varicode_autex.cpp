#include "autex/varicode_autex.h"

namespace autex {

namespace {
// Every code is 3 to 12 bits long and fits in the first 10 bits of its index plus at most 2 more; all checked
// here once, at compile time.
constexpr bool tableValide() {
  for (int c = 0; c < 256; ++c) {
    const std::string_view code = TABLE_VARICODE[c];
    if (code.size() < 3 || code.size() > 12 || code.front() != '1' || code.substr(code.size() - 2) != "00")
      return false;
    if (code.find("001") != std::string_view::npos) return false;
  }
  return true;
}
static_assert(tableValide(), "every varicode starts with 1, ends with 00 and holds no 001");
}  // namespace

void PACKER_VARICODE(std::string& texte) {
  if (texte.empty()) return;
  std::string paquet;
  paquet.reserve(texte.size() * 12 / 8 + 1);
  unsigned octet = 0;
  int nb = 0;  // bits in `octet`
  auto ajouter = [&](bool un) {
    octet = (octet << 1) | (un ? 1u : 0u);
    if (++nb == 8) {
      paquet.push_back(static_cast<char>(octet));
      octet = 0;
      nb = 0;
    }
  };
  const size_t dernier = texte.size() - 1;
  for (size_t i = 0; i < texte.size(); ++i) {
    const std::string_view code = TABLE_VARICODE[static_cast<uint8_t>(texte[i])];
    // The first code loses its leading '1', the last its final '0'.
    const size_t debut = (i == 0) ? 1 : 0;
    const size_t fin = (i == dernier) ? code.size() - 1 : code.size();
    for (size_t k = debut; k < fin; ++k) ajouter(code[k] == '1');
  }
  while (nb != 0) ajouter(true);  // the last byte is filled up with '1'
  texte = std::move(paquet);
}

void MESURE_VARICODE(std::string_view texte, int capacite, int& nombre, bool& packer) {
  nombre = 0;
  packer = false;
  const int longueur = static_cast<int>(texte.size());
  if (longueur == 0) return;
  const long limite = 8L * capacite;
  long bits = -2;  // the two bits that packing deletes
  long taille = 0;
  for (unsigned char c : texte) {
    bits += static_cast<long>(TABLE_VARICODE[c].size());
    taille = 8 * ((bits + 7) / 8);
    if (taille > limite) break;
    ++nombre;
  }
  if (longueur <= capacite)
    packer = taille < limite;
  else
    packer = nombre > capacite;
}

void DECODAGE_VARICODE(std::string_view bits, std::string& texte) {
  texte.clear();
  // The padding: every trailing '1'.
  size_t n = bits.size();
  while (n > 0 && bits[n - 1] == '1') --n;
  // "01" follows: the '0' restores the last code's final bit, the '1' stands for the next code's start.
  const size_t total = n + 2;
  unsigned fenetre = 0;  // the last three bits; starts matching nothing
  int vus = 0;           // bits seen, to let the window fill up
  int longueur = 0;      // bits in the accumulator
  unsigned index = 0;    // accumulator read least significant first, first 10 bits only
  texte.reserve(total / 3);
  for (size_t i = 0; i < total; ++i) {
    const bool un = (i < n) ? bits[i] == '1' : (i == n + 1);
    fenetre = ((fenetre << 1) | (un ? 1u : 0u)) & 7u;
    if (vus < 3) ++vus;
    if (longueur < 10 && un) index |= 1u << longueur;
    ++longueur;
    if (vus == 3 && fenetre == 1u) {
      // The accumulator less its final "001", followed by '1': remove the final '1' (weight
      // 2^(longueur - 1) when within the first 10 bits) and put the '1' at position longueur - 3.
      if (longueur <= 10) index &= ~(1u << (longueur - 1));
      if (longueur - 2 <= 10) index |= 1u << (longueur - 3);
      texte.push_back(static_cast<char>(TABLE_VARICODE_INVERSE[index & 1023u]));
      longueur = 0;
      index = 0;
    }
  }
}

}  // namespace autex
