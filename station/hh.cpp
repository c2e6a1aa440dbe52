#include "station/hh.h"

#include "autex/fonctions_fichiers.h"
#include "station/hh_funcs.h"

namespace station {

std::string GetHhctrlPath(platform::HelpSystem& systeme) {
  std::string chemin;
  const bool ouverte = systeme.ReadClassesRootDefault(CLE_HHCTRL, chemin);
  if (ouverte) {
    chemin = ExpandSystemRoot(chemin, StripTrailingChar(systeme.WindowsDirectory(), autex::SEPARATEUR_CHEMIN));
    if (!chemin.empty() && !autex::FICHIER_EXISTE(chemin)) chemin.clear();
  }
  if (!ouverte || chemin.empty())
    chemin = StripTrailingChar(systeme.SystemDirectory(), autex::SEPARATEUR_CHEMIN) + autex::SEPARATEUR_CHEMIN + NOM_HHCTRL;
  return chemin;
}

Hh::Hh(platform::HelpSystem& systeme) : systeme_(systeme) {
  if (_hhLoadAtStart == 1) LoadHtmlHelp();
}

Hh::~Hh() { UnloadHtmlHelp(); }

void Hh::LoadHtmlHelp() {
  if (HHCtrlHandle) return;
  HHCtrlHandle = systeme_.OpenLibrary(NOM_HHCTRL);
  if (!HHCtrlHandle) {
    const std::string chemin = GetHhctrlPath(systeme_);
    if (!chemin.empty() && autex::FICHIER_EXISTE(chemin)) HHCtrlHandle = systeme_.OpenLibrary(chemin);
  }
  if (!HHCtrlHandle) return;
  HtmlHelpA = reinterpret_cast<THtmlHelpA>(systeme_.LibraryProc(HHCtrlHandle, "HtmlHelpA"));
  HtmlHelpW = reinterpret_cast<THtmlHelpW>(systeme_.LibraryProc(HHCtrlHandle, "HtmlHelpW"));
  HtmlHelp = reinterpret_cast<THtmlHelpA>(systeme_.LibraryProc(HHCtrlHandle, "HtmlHelpA"));
}

void Hh::UnloadHtmlHelp() {
  if (HHCtrlHandle) systeme_.CloseLibrary(HHCtrlHandle);
  HHCtrlHandle = nullptr;
  HtmlHelpA = nullptr;
  HtmlHelpW = nullptr;
  HtmlHelp = nullptr;
}

}  // namespace station
