// The station program: the units are initialised, the help file name is emptied, the seven windows are
// created in their order (the main window loading and applying the parameters), and the application's message
// loop runs until the main window closes or Quit ends the process.
#include <windows.h>

#include <exception>
#include <string>

#include "gui/gui.h"
#include "gui/jpeg.h"
#include "platform/html_help.h"
#include "skin/painters/acglow.h"
#include "skin/painters/acpng_picture.h"
#include "station/hh.h"
#include "station/hh_funcs.h"
#include "station/composants_peau.h"
#include "station/station.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The units' initialisation: the picture formats of the JPEG and PNG units (bitmaps are the class library's).
  gui::RegisterJpegFileFormats();
  skin::RegisterPngFileFormat();
  try {
    gui::Application->SetHelpFile(std::string());
    gui::Application->SetTitle(station::TITRE_PROGRAMME);
    // The help units bind the help control and open their debug log first, and outlive the windows.
    station::Hh hh(platform::systemHelp());
    station::HhFuncs hh_funcs(platform::systemHelp());
    station::Fabriques fabriques = station::Fabriques_programme();
    // The main window's definition holds the skin manager, with the program's stored skins, and the form's skin
    // provider.
    fabriques.composants_peau = station::Composants_peau_programme;
    station::Station station(station::Plateforme_systeme(), fabriques);
    gui::Application->Run();
  } catch (const std::exception& e) {
    // Only a failure of the start-up itself comes here (the windows' handlers report their own).
    MessageBoxA(nullptr, e.what(), station::TITRE_PROGRAMME, MB_OK | MB_ICONERROR);
    return 1;
  }
  // The units' finalisation, in the reverse order: the glows (without releasing their windows one by one), the
  // picture formats.
  skin::ClearGlows(false);
  skin::UnregisterPngFileFormat();
  gui::UnregisterJpegFileFormats();
  // Not 0 when the loop ended because the system no longer handed the program its messages.
  return gui::Application->ExitCode();
}
