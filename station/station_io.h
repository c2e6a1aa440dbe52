#pragma once
// The serial side of one station: its port unit, main loop, module commands and port menus, bound to the
// station's windows (FenetreIo), language, time stamps and the platform seams. One object per station, so
// that a process can hold several.
#include "autex/langues.h"
#include "autex/traitement_chaines.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/priority.h"
#include "platform/serial_port.h"
#include "station/boucle_principale.h"
#include "station/controle_transceiver.h"
#include "station/fenetre_io.h"
#include "station/ports_serie.h"
#include "station/verification_materiel.h"

namespace station {

class StationIo {
 public:
  StationIo(FenetreIo& fenetre, autex::Langues& langues, autex::Horodatage& horodatage, platform::Clock& clock,
            platform::SerialDevices& devices, platform::ProcessPriority& priority, platform::Keyboard& keyboard);
  StationIo(const StationIo&) = delete;
  StationIo& operator=(const StationIo&) = delete;

  FenetreIo& fenetre;
  autex::Langues& langues;
  autex::Horodatage& horodatage;
  platform::Clock& clock;
  platform::ProcessPriority& priority;
  platform::Keyboard& keyboard;

  VerificationMateriel materiel;
  BouclePrincipale boucle;
  ControleTransceiver transceiver;
  PortsSerie ports;

  bool Est_DRF1278DM() { return fenetre.Nom_transceiver() == NOM_DRF1278DM; }
};

}  // namespace station
