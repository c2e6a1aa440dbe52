#include "station/fenetre_station.h"

namespace station {

// No window, no other program's window to come back over.
Dialogue_au_premier_plan::Dialogue_au_premier_plan() = default;
Dialogue_au_premier_plan::~Dialogue_au_premier_plan() = default;

}  // namespace station
