// The Windows side of the system seam.
#include <windows.h>

#include "station/systeme_parametres.h"

namespace station {

uint16_t Identifiant_langue_systeme() { return uint16_t(GetSystemDefaultLangID()); }

Taille_ecran Taille_ecran_systeme() { return Taille_ecran{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace station
