#pragma once
// The screen capture of the main window's button sauvegarde_de_l_ecran: the whole primary screen saved as a
// JPEG file (libjpeg's default parameters) named "Screen" + the UTC time stamp + ".JPG" in the "SCREEN"
// sub-directory of the working directory (made when missing; when it can be neither found nor made, the file
// goes to the current directory). The process's current directory is left as it is.
//
// The main window's handler:
//   std::string fichier, erreur;
//   if (!station::Capture_ecran(Repertoire_travail, horodatage, platform::systemScreen(), fichier, erreur))
//     Afficher_erreur(erreur);
#include <string>

#include "autex/langues.h"
#include "autex/traitement_chaines.h"
#include "platform/screen.h"

namespace station {

inline constexpr const char* REPERTOIRE_CAPTURES = "SCREEN";

// The file name of a capture taken now.
std::string Nom_capture_ecran(autex::Horodatage& horodatage);

// True and the path written, or false and a message (in the language) saying what failed.
bool Capture_ecran(const std::string& Repertoire_travail, autex::Horodatage& horodatage, platform::Screen& ecran,
                   const autex::Langues& langues, std::string& fichier, std::string& erreur);

}  // namespace station
