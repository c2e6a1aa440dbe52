#include "station/fichiers_parametres.h"

#include <cstdio>
#include <vector>

namespace station {

Lecture_binaire Lire_debut_fichier(const std::string& nom, size_t capacite) {
  Lecture_binaire r;
  std::FILE* f = std::fopen(nom.c_str(), "rb");
  if (!f) return r;
  r.ouvert = true;
  // One byte more than asked tells whether the file is longer.
  std::vector<char> tampon(capacite + 1);
  size_t lus = 0;
  while (lus < tampon.size()) {
    const size_t n = std::fread(tampon.data() + lus, 1, tampon.size() - lus, f);
    if (n == 0) break;
    lus += n;
  }
  if (std::ferror(f)) r.erreur = true;
  std::fclose(f);
  r.plus_long = lus > capacite;
  r.octets.assign(tampon.data(), lus > capacite ? capacite : lus);
  return r;
}

std::string Nom_temporaire(const std::string& nom) { return nom + ".tmp"; }

}  // namespace station
