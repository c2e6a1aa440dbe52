// The portable side of the station's system seam (native tools and tests: no desktop).
#include <ctime>
#include <filesystem>

#include "gui/gui.h"
#include "station/systeme_parametres.h"
#include "station/systeme_station.h"

namespace station {

std::string SystemeStation::Repertoire_courant() {
  std::error_code erreur;
  std::string r = std::filesystem::current_path(erreur).string();
  if (r.size() > 1 && r.back() == '/') r.pop_back();
  return r;
}

// Natively the program is a test or a tool: it ships no help pages.
std::string SystemeStation::Repertoire_programme() { return std::string(); }

std::string SystemeStation::Date_zero_format_court() {
  std::tm t{};
  t.tm_year = 1899 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 30;
  char texte[64] = {};
  const size_t n = std::strftime(texte, sizeof texte, "%x", &t);
  return std::string(texte, n);
}

uint16_t SystemeStation::Identifiant_langue() { return Identifiant_langue_systeme(); }

Taille_ecran SystemeStation::Ecran() { return Taille_ecran_systeme(); }

int SystemeStation::Boite_message(const std::string& texte, const std::string& legende, unsigned drapeaux) {
  return gui::Application->MessageBox(texte, legende, drapeaux);
}

void SystemeStation::Fin_du_processus() { gui::Application->Terminate(); }

SystemeStation& Systeme_station() {
  static SystemeStation systeme;
  return systeme;
}

}  // namespace station
