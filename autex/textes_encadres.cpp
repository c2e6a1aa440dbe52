#include "autex/textes_encadres.h"

#include "autex/traitement_chaines.h"

namespace autex {

std::string TRAME_MESSAGE_AUTEX(std::string_view texte) {
  std::string t(texte);
  SUPPRIMER_CARACTERE(OCTET_CONTROLE, t);
  std::string trame;
  trame.reserve(t.size() + 4);
  trame += OCTET_CONTROLE;
  trame += CODE_MESSAGE;
  trame += t;
  trame += OCTET_CONTROLE;
  trame += CODE_FIN;
  return trame;
}

bool TRAME_FICHIER_AUTEX(std::string_view indicatif, std::string_view nom_fichier, std::string_view donnees,
                         bool compression, std::string& trame, bool& compresse) {
  trame.clear();
  compresse = false;
  std::string d(donnees);
  if (compression) {
    std::string z;
    COMPRESSER_CHAINE(d, z);
    if (z.size() < d.size()) {
      d = std::move(z);
      compresse = true;
    }
  }
  DOUBLER_CARACTERE(d, OCTET_CONTROLE);
  const int64_t n = int64_t(indicatif.size()) + 1 + int64_t(nom_fichier.size()) + 1 + int64_t(d.size()) + 2;
  if (n > TAILLE_MAX_TRAME_FICHIER) {
    compresse = false;
    return false;
  }
  std::string taille;
  ENTIER_VERS_TROIS_OCTETS(n, taille);
  trame.reserve(size_t(n) + 5);
  trame += OCTET_CONTROLE;
  trame += compresse ? CODE_FICHIER_COMPRESSE : CODE_FICHIER;
  trame += taille;
  trame += indicatif;
  trame += '\0';
  trame += nom_fichier;
  trame += '\0';
  trame += d;
  trame += OCTET_CONTROLE;
  trame += CODE_FIN;
  return true;
}

std::string TRAME_ARRET_AUTEX() { return std::string{OCTET_CONTROLE, CODE_ARRET}; }

}  // namespace autex
