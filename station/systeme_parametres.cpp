#include "station/systeme_parametres.h"

#include <string_view>

namespace station {

uint16_t Identifiant_langue_locale(const char* locale) {
  if (!locale) return 0;
  const std::string_view nom(locale);
  if (nom.empty() || nom == "C" || nom == "POSIX" || nom.substr(0, 2) == "C.") return 0;
  const std::string_view langue = nom.substr(0, nom.find_first_of("_.@"));
  std::string_view pays;
  if (const size_t p = nom.find('_'); p != std::string_view::npos) {
    pays = nom.substr(p + 1);
    pays = pays.substr(0, pays.find_first_of(".@"));
  }
  // Identifiers are the primary language in the low 10 bits and the sub-language above them.
  auto identifiant = [](unsigned primaire, unsigned sous_langue) { return uint16_t(primaire | (sous_langue << 10)); };
  if (langue == "fr") {
    constexpr struct {
      const char* pays;
      unsigned sous_langue;
    } FRANCAIS[] = {{"FR", 1}, {"BE", 2}, {"CA", 3}, {"CH", 4}, {"LU", 5}, {"MC", 6}};
    for (const auto& f : FRANCAIS)
      if (pays == f.pays) return identifiant(0x0C, f.sous_langue);
    return identifiant(0x0C, 1);
  }
  if (langue == "en") return identifiant(0x09, 1);  // English (United States)
  return identifiant(0x00, 1);  // LANG_NEUTRAL, SUBLANG_DEFAULT
}

}  // namespace station
