#include "station/capture_ecran.h"

#include <cstring>

#include "autex/fonctions_fichiers.h"
#include "gui/jpeg.h"

namespace station {

std::string Nom_capture_ecran(autex::Horodatage& horodatage) {
  return "Screen" + horodatage.HORODATAGE_UTC() + ".JPG";
}

bool Capture_ecran(const std::string& Repertoire_travail, autex::Horodatage& horodatage, platform::Screen& ecran,
                   const autex::Langues& langues, std::string& fichier, std::string& erreur) {
  fichier.clear();
  erreur.clear();
  const std::string nom = Nom_capture_ecran(horodatage);
  const std::string repertoire =
      Repertoire_travail.empty() ? std::string(REPERTOIRE_CAPTURES)
                                 : Repertoire_travail + autex::SEPARATEUR_CHEMIN + REPERTOIRE_CAPTURES;
  const bool repertoire_ok = autex::detail::os_is_directory(repertoire) || autex::detail::os_make_directory(repertoire);
  const std::string chemin = repertoire_ok ? repertoire + autex::SEPARATEUR_CHEMIN + nom : nom;

  platform::ScreenImage image;
  if (!ecran.Capture(image) || image.width <= 0 || image.height <= 0) {
    erreur = langues.TRADUCTION("The screen could not be copied", "L'\xE9" "cran n'a pas pu \xEAtre copi\xE9");
    return false;
  }
  gui::TBitmap bitmap;
  bitmap.SetPixelFormat(gui::TPixelFormat::pf32bit);
  bitmap.SetSize(image.width, image.height);
  const size_t ligne = size_t(image.width) * 4;
  for (int y = 0; y < image.height; ++y) std::memcpy(bitmap.ScanLine(y), image.bgra.data() + y * ligne, ligne);
  // The image is written whole under a temporary name and then given its own: a failure leaves no part of a
  // JPEG under the capture's name.
  bool ecrit = false;
  try {
    gui::TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    ecrit = autex::ECRIRE_FICHIER_REMPLACE(chemin, jpeg.SaveToBytes()) == 0;
  } catch (const gui::EInvalidGraphic&) {
    ecrit = false;
  }
  if (!ecrit) {
    erreur = langues.TRADUCTION("Impossible to save the screen in the file ", "Impossible de sauver l'\xE9" "cran dans le fichier ") +
             chemin;
    return false;
  }
  fichier = chemin;
  return true;
}

}  // namespace station
