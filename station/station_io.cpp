#include "station/station_io.h"

namespace station {

StationIo::StationIo(FenetreIo& fenetre_, autex::Langues& langues_, autex::Horodatage& horodatage_,
                     platform::Clock& clock_, platform::SerialDevices& devices, platform::ProcessPriority& priority_,
                     platform::Keyboard& keyboard_)
    : fenetre(fenetre_),
      langues(langues_),
      horodatage(horodatage_),
      clock(clock_),
      priority(priority_),
      keyboard(keyboard_),
      materiel(devices, langues_, [this](const std::string& text) { fenetre.Label_Info(text); }),
      boucle(*this),
      transceiver(*this),
      ports(*this) {}

}  // namespace station
