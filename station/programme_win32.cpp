// The station program: the units are initialised, the help file name is emptied, the seven windows are
// created in their order (the main window loading and applying the parameters), and the application's message
// loop runs until the main window closes or Quit ends the process.
#include <windows.h>

#include "gui/gui.h"
#include "station/station.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  gui::Application->SetHelpFile(std::string());
  gui::Application->SetTitle(station::TITRE_PROGRAMME);
  station::Station station(station::Plateforme_systeme());
  gui::Application->Run();
  return 0;
}
