// Arbitrary received texts through the display of every participant's window: short messages, files (plain
// and compressed) and stops in any order, cut into chunks anywhere, stored in a temporary working directory.
// After every chunk the working directory must hold nothing but its AUTEX sub-directory, which holds only
// plain files, nothing may appear beside the working directory, the current directory must be the fuzzer's
// own or the working directory (storing a file returns to it), and the reception state of every participant
// must be consistent. The fuzzer's own current directory is restored after each chunk, since libFuzzer writes
// its corpus and findings relative to it.
//
// Input: byte 0 chooses the role (link or meeting of 4, 7 or 13, Master or user, language); then chunks, each a
// header byte (participant = header % 13; 0xFF saves every window instead) and a length byte followed by that
// many bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "autex/traduction_autex.h"
#include "platform/clock.h"
#include "tests/autex_sim/vue_test.h"

namespace fs = std::filesystem;

namespace {

// The working directory inside a directory of its own, so that anything written beside it shows.
struct Bac {
  fs::path origine = fs::current_path();
  fs::path racine;
  fs::path travail;
  Bac() {
    racine = fs::temp_directory_path() / ("fuzz_textes_recus-" + std::to_string(::getpid()));
    travail = racine / "travail";
    fs::create_directories(travail);
  }
  ~Bac() {
    std::error_code ec;
    fs::remove_all(racine, ec);
  }
};

Bac& bac() {
  static Bac b;
  return b;
}

class Hote final : public autexsim::VueMuette {
 public:
  std::string Repertoire_travail() override { return bac().travail.string(); }
};

// Back to the fuzzer's own directory, so that its findings are written where it expects them.
[[noreturn]] void echec() {
  std::error_code ec;
  fs::current_path(bac().origine, ec);
  std::abort();
}

void verifie_bac() {
  std::error_code ec;
  const fs::path courant = fs::current_path(ec);
  if (courant != bac().travail && courant != bac().origine) echec();
  fs::current_path(bac().origine, ec);
  for (const auto& e : fs::directory_iterator(bac().racine))
    if (e.path().filename() != "travail") echec();
  for (const auto& e : fs::directory_iterator(bac().travail))
    if (e.path().filename() != "AUTEX" || !e.is_directory()) echec();
  const fs::path autex = bac().travail / "AUTEX";
  if (fs::exists(autex))
    for (const auto& e : fs::directory_iterator(autex))
      if (!e.is_regular_file() || e.is_symlink()) echec();
}

void verifie(const autex::Autex& a) {
  for (size_t k = 0; k < size_t(autex::NOMBRE_SLOTS); ++k) {
    const uint8_t drapeaux[] = {a.REPRISE_SEQUENCE[k], a.SMS_EN_COURS[k], a.FICHIER_EN_COURS[k],
                                a.FICHIER_COMPRESSE[k], a.TAILLE_LUE[k], a.EMETTEUR_PROPRE[k]};
    for (const uint8_t d : drapeaux)
      if (d > 1) echec();
    if (a.SMS_EN_COURS[k] == 1 && a.FICHIER_EN_COURS[k] == 1) echec();
    if (a.OCTETS_TAILLE[k].size() > 3 || a.TAILLE_FICHIER[k] > 16777215) echec();
    if (a.TAMPON_SEGMENT[k].size() > autex::Autex::TAILLE_MAX_SEGMENT) echec();
    // Outside a short message or file nothing is kept.
    if (a.SMS_EN_COURS[k] == 0 && a.FICHIER_EN_COURS[k] == 0 && !a.TAMPON_SEGMENT[k].empty()) echec();
    if (a.CARACTERE_PRECEDENT[k] < -1 || a.CARACTERE_PRECEDENT[k] > 255) echec();
    // The window shows no control character other than CR and LF.
    for (const char c : a.TEXTE_FENETRE[k])
      if (static_cast<unsigned char>(c) < 32 && c != '\r' && c != '\n') echec();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  bac();
  platform::SimulatedClock horloge;
  autex::Langues langues;
  autex::Horodatage horodatage(horloge);
  Hote hote;
  hote.Fixe_texte(autex::NomElement::Edit_INDICATIF, "F1AAA");
  autex::Autex a(langues, horodatage, horloge, hote);
  static const uint8_t tailles[] = {2, 4, 7, 13};
  a.NOMBRE_PARTICIPANTS = tailles[data[0] & 3];
  a.GESTION_PRELIMINAIRE_AUTEX();
  a.EFFACE_FENETRES_M_ET_SX();
  a.STATION_MAITRE = (data[0] >> 2) & 1;
  a.NUMERO_SLOT = a.STATION_MAITRE == 1 ? 0 : uint8_t(1 + ((data[0] >> 4) % a.NOMBRE_UTILISATEURS));
  langues.Langue = uint8_t(1 + ((data[0] >> 3) & 1));
  a.INDICATIF_PROPRE = "F1AAA";
  a.INDICATIF_MAITRE = "F1AAA";
  a.INDICATIF_CONNEXION = "F2BBB";
  for (auto& i : a.INDICATIFS_CORRESPONDANTS) i = "F3CCC";
  size_t p = 1;
  while (p + 2 <= size) {
    const uint8_t entete = data[p];
    const size_t n = std::min<size_t>(data[p + 1], size - p - 2);
    p += 2;
    if (entete == 0xFF) {
      a.SAUVE_TOUT();
    } else {
      a.AFFICHE_MESSAGE_SLOT(entete % 13, std::string(reinterpret_cast<const char*>(data + p), n));
    }
    p += n;
    horloge.advance(1000);
    verifie(a);
    verifie_bac();
  }
  std::error_code ec;
  fs::remove_all(bac().travail / "AUTEX", ec);
  return 0;
}
