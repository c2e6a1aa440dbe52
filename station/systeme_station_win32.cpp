// The Windows side of the station's system seam.
#include <windows.h>

#include <vector>

#include "gui/gui.h"
#include "station/fenetre_station.h"
#include "station/systeme_parametres.h"
#include "station/systeme_station.h"

namespace station {

std::string SystemeStation::Repertoire_courant() {
  const DWORD n = GetCurrentDirectoryA(0, nullptr);
  if (n == 0) return std::string();
  std::vector<char> buffer(n + 1, '\0');
  const DWORD lu = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  std::string r(buffer.data(), lu < buffer.size() ? lu : 0);
  // "C:\" keeps its separator; any other directory has none at its end.
  if (r.size() > 3 && (r.back() == '\\' || r.back() == '/')) r.pop_back();
  return r;
}

std::string SystemeStation::Repertoire_programme() {
  char chemin[MAX_PATH * 4] = {};
  const DWORD n = GetModuleFileNameA(nullptr, chemin, DWORD(sizeof chemin));
  if (n == 0 || n >= sizeof chemin) return std::string();
  std::string r(chemin, n);
  const size_t fin = r.find_last_of("\\/");
  return fin == std::string::npos ? std::string() : r.substr(0, fin == 2 && r[1] == ':' ? 3 : fin);
}

std::string SystemeStation::Date_zero_format_court() {
  SYSTEMTIME st{};
  st.wYear = 1899;
  st.wMonth = 12;
  st.wDay = 30;
  char texte[128] = {};
  if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, texte, sizeof texte) == 0) return std::string();
  return texte;
}

uint16_t SystemeStation::Identifiant_langue() { return Identifiant_langue_systeme(); }

Taille_ecran SystemeStation::Ecran() { return Taille_ecran_systeme(); }

int SystemeStation::Boite_message(const std::string& texte, const std::string& legende, unsigned drapeaux) {
  Dialogue_au_premier_plan devant;
  return gui::Application->MessageBox(texte, legende, drapeaux);
}

void SystemeStation::Fin_du_processus() { ExitProcess(0); }

SystemeStation& Systeme_station() {
  static SystemeStation systeme;
  return systeme;
}

}  // namespace station
