// Replacing a parameter file on Windows: write, FlushFileBuffers, then MoveFileEx with replacement and
// write-through.
#include <windows.h>

#include "station/fichiers_parametres.h"

namespace station {

Echec_ecriture Remplacer_fichier(const std::string& nom, std::string_view octets) {
  const std::string temporaire = Nom_temporaire(nom);
  // A leftover of an interrupted write, possibly read-only.
  if (GetFileAttributesA(temporaire.c_str()) != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesA(temporaire.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporaire.c_str());
  }
  HANDLE h = CreateFileA(temporaire.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Echec_ecriture::OUVERTURE;
  bool ok = true;
  size_t fait = 0;
  while (ok && fait < octets.size()) {
    const DWORD morceau = DWORD(octets.size() - fait > 0x100000 ? 0x100000 : octets.size() - fait);
    DWORD ecrits = 0;
    if (!WriteFile(h, octets.data() + fait, morceau, &ecrits, nullptr) || ecrits == 0)
      ok = false;
    else
      fait += ecrits;
  }
  if (ok && !FlushFileBuffers(h)) ok = false;
  if (!CloseHandle(h)) ok = false;
  if (!ok) {
    DeleteFileA(temporaire.c_str());
    return Echec_ecriture::ECRITURE;
  }
  // A read-only target is made writable first, as every rewrite of the station's files does.
  const DWORD attributs = GetFileAttributesA(nom.c_str());
  if (attributs != INVALID_FILE_ATTRIBUTES && !(attributs & FILE_ATTRIBUTE_DIRECTORY))
    SetFileAttributesA(nom.c_str(), FILE_ATTRIBUTE_ARCHIVE);
  if (!MoveFileExA(temporaire.c_str(), nom.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporaire.c_str());
    return Echec_ecriture::REMPLACEMENT;
  }
  return Echec_ecriture::AUCUN;
}

}  // namespace station
