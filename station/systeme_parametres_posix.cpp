// The portable side of the system seam: the language from the locale variables, no screen.
#include <cstdlib>

#include "station/systeme_parametres.h"

namespace station {

uint16_t Identifiant_langue_systeme() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* valeur = std::getenv(variable);
    if (valeur && *valeur) return Identifiant_langue_locale(valeur);
  }
  return 0;
}

Taille_ecran Taille_ecran_systeme() { return Taille_ecran{1024, 768}; }

}  // namespace station
