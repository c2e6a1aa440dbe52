#pragma once
// One station: its text chooser, time stamps, file routines, parameter image, serial side, AUTEX protocol,
// speech and its seven windows. Constructing it is the program's start-up: the windows are created in the
// program's order (main window, about box, yes/no question, message window, version history, speech options,
// radio module window), the main window's creation handler loading and applying the parameters. A process
// may hold several stations (tests); the Windows program holds one and then runs the application's loop.
#include <functional>
#include <memory>
#include <optional>

#include "autex/fonctions_fichiers.h"
#include "autex/langues.h"
#include "autex/traitement_chaines.h"
#include "autex/traduction_autex.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/priority.h"
#include "platform/screen.h"
#include "platform/serial_port.h"
#include "platform/shell.h"
#include "station/forms/form1.h"
#include "station/forms/form19.h"
#include "station/forms/form43.h"
#include "station/parametres.h"
#include "station/station_io.h"
#include "station/synthese_vocale.h"
#include "station/systeme_station.h"

namespace station {

class FichePrincipale;
class FenetreAPropos;
class FenetreOuiNon;
class FenetreMessage;
class FenetreHistorique;
class Station;

// The program's name (the application's title).
inline constexpr const char* TITRE_PROGRAMME = "Vornatel";

// The operating-system seams of one station.
struct Plateforme {
  platform::Clock& clock;
  platform::SerialDevices& ports;
  platform::ProcessPriority& priorite;
  platform::Keyboard& clavier;
  platform::Shell& shell;
  SystemeStation& systeme;
  platform::Screen& ecran;  // screen captures
};

// The operating system's seams.
Plateforme Plateforme_systeme();



// The parts that other units give the station. Each is called once, in this order: `synthese` once the main
// window's definition is loaded (before its creation handler runs), `fenetre_options` and `fenetre_transceiver`
// at their place in the creation order. Left empty, the station runs without speech and with the plain
// definitions of the two windows.
struct Fabriques {
  std::function<std::unique_ptr<SyntheseVocale>(Station&)> synthese;
  std::function<forms::TForm43*(gui::TComponent* owner, Station&)> fenetre_options;
  std::function<forms::TForm19*(gui::TComponent* owner, Station&)> fenetre_transceiver;
  // The skin manager and provider of the main window's definition.
  forms::TForm1::TSkinComponentsFactory composants_peau;
};

// The program's own units for the parts of Fabriques: the radio module window, the speech options window and
// the speech feed behind it. Without them (Fabriques{}) the station runs with the plain definitions of the two
// windows and says nothing (tests of the main window).
Fabriques Fabriques_programme();

class Station {
 public:
  explicit Station(const Plateforme& plateforme, const Fabriques& fabriques = {});
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  Plateforme plateforme;
  autex::Langues langues;
  autex::Horodatage horodatage;
  autex::FonctionsFichiers fichiers;
  // Built right after the main window's definition, before its creation handler (they report to it).
  std::optional<Parametres> parametres;
  std::optional<StationIo> io;
  // The AUTEX protocol, bound to the main window (its definition and its host side).
  std::unique_ptr<autex::Autex> autex;
  std::unique_ptr<SyntheseVocale> synthese;

  // The owner of this station's windows (their names are unique per owner, and a process may hold several
  // stations).
  gui::TComponent* Proprietaire = nullptr;
  FichePrincipale* Form1 = nullptr;
  FenetreAPropos* Form2 = nullptr;
  FenetreOuiNon* Form20 = nullptr;
  FenetreMessage* Form36 = nullptr;
  FenetreHistorique* Form3 = nullptr;
  forms::TForm43* Form43 = nullptr;
  forms::TForm19* Form19 = nullptr;
};

}  // namespace station
