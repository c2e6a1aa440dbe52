#pragma once
// The parameter files on disk: a bounded read that keeps every byte (the image may hold NUL bytes), and a
// write that never leaves a damaged file behind (a temporary file beside the target, flushed to the disk,
// then put in the target's place in one step).
#include <cstddef>
#include <string>
#include <string_view>

namespace station {

struct Lecture_binaire {
  bool ouvert = false;     // the file could be opened
  bool erreur = false;     // a read failed (the bytes then hold what came before the failure)
  std::string octets;      // at most the capacity asked for
  bool plus_long = false;  // the file holds more bytes than the capacity
};

// Reads at most `capacite` bytes from the start of the file, and tells whether more follow.
Lecture_binaire Lire_debut_fichier(const std::string& nom, size_t capacite);

enum class Echec_ecriture {
  AUCUN,         // written and in place
  OUVERTURE,     // the temporary file could not be created
  ECRITURE,      // a write or the flush to the disk failed (a full disk)
  REMPLACEMENT,  // the target could not be replaced
};

// The temporary file that Remplacer_fichier writes before it takes the target's place.
std::string Nom_temporaire(const std::string& nom);

// Writes `octets` to the temporary file, flushes it to the disk and then replaces `nom` by it (a read-only
// target is replaced too). On any failure the temporary file is removed and `nom` keeps what it held.
Echec_ecriture Remplacer_fichier(const std::string& nom, std::string_view octets);

}  // namespace station
