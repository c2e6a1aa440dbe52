// Loads arbitrary bytes as "CONF_COM.SER" (and as the free-text file): the load must end with a 945-byte
// image whose every byte passes its check, and gathering settings taken from the input must keep it so.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "autex/fonctions_fichiers.h"
#include "autex/langues.h"
#include "station/parametres.h"

namespace {

class HoteMuet : public station::Hote_parametres {
 public:
  uint16_t langue = 1033;
  uint16_t GetSystemDefaultLangID() override { return langue; }
  station::Taille_ecran Ecran() override { return {1920, 1080}; }
  bool Tester_port_serie() override { return true; }
};

// One directory per fuzzing process, removed at exit (kept on the heap so that it outlives the handler).
const std::string& repertoire() {
  static const std::string* r = [] {
    const auto p = std::filesystem::temp_directory_path() / ("fuzz_parametres_" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    auto* chemin = new std::string(p.string());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(repertoire(), ec);
    });
    return chemin;
  }();
  return *r;
}

void ecrire(const std::string& nom, const uint8_t* data, size_t size) {
  std::ofstream(repertoire() + "/" + nom, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

void verifie(const station::Parametres& p) {
  if (p.Image_parametres.size() != size_t(station::LONGUEUR_IMAGE)) std::abort();
  for (int i = 1; i <= station::LONGUEUR_IMAGE; ++i)
    if (!station::Valeur_admise(i, p.octet(i))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ecrire(station::NOM_CONF_COM_SER, data, size);
  ecrire(station::NOM_CONFSTRINGS, data, size);

  autex::Langues langues;
  autex::FonctionsFichiers fichiers(langues, [](const std::string&) {});
  HoteMuet hote;
  hote.langue = size > 0 && data[0] & 1 ? 1036 : 1033;
  station::Parametres p(langues, fichiers, hote);
  p.Repertoire = repertoire();
  p.Lecture_parametres();
  verifie(p);
  if (langues.Langue != p.octet(1)) std::abort();

  p.Applique_reglages();
  station::Textes_libres textes;
  p.Lecture_CONFSTRINGS(textes);

  // Settings as wild as the input makes them.
  auto b = [&](size_t i) -> uint8_t { return i < size ? data[i] : 0; };
  station::Reglages_station& r = p.Reglages;
  r.Choix_peau = b(1);
  r.Vitesse_port = uint16_t(b(2) << 8 | b(3));
  r.Pause_balise = uint16_t(b(4) << 8 | b(5));
  r.Vitesse_AUTEX = uint16_t(b(6) << 8 | b(7));
  r.Left = int(int16_t(b(8) << 8 | b(9))) * 3;
  r.Top = int(int16_t(b(10) << 8 | b(11))) * 3;
  r.Synthese_vocale_active = b(12);
  r.Index_voix = b(13);
  r.Volume_voix = b(14);
  r.Vitesse_voix = int8_t(b(15));
  r.NOMBRE_PARTICIPANTS = b(16);
  r.ENVOI_SUR_CR = b(17);
  r.PAS_HAUTEUR_2 = b(18);
  r.PAS_HAUTEUR_4 = b(19);
  r.PAS_HAUTEUR_7 = b(20);
  r.PAS_HAUTEUR_13 = b(21);
  r.TROIS_COLONNES_7 = b(22);
  r.TROIS_COLONNES_13 = b(23);
  r.COMPRESSION_FICHIER = b(24);
  p.Rassemble_reglages();
  verifie(p);
  return 0;
}
