// Replacing a parameter file on a POSIX system: write, fsync, rename, then fsync the directory so that the
// new name survives a power cut too.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "station/fichiers_parametres.h"

namespace station {

namespace {
std::string repertoire_de(const std::string& nom) {
  const size_t p = nom.find_last_of('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return nom.substr(0, p);
}

bool ecrire_tout(int fd, std::string_view octets) {
  size_t fait = 0;
  while (fait < octets.size()) {
    const ssize_t n = ::write(fd, octets.data() + fait, octets.size() - fait);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    fait += size_t(n);
  }
  return true;
}
}  // namespace

Echec_ecriture Remplacer_fichier(const std::string& nom, std::string_view octets) {
  const std::string temporaire = Nom_temporaire(nom);
  ::unlink(temporaire.c_str());  // a leftover of an interrupted write
  const int fd = ::open(temporaire.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Echec_ecriture::OUVERTURE;
  bool ok = ecrire_tout(fd, octets);
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    ::unlink(temporaire.c_str());
    return Echec_ecriture::ECRITURE;
  }
  if (::rename(temporaire.c_str(), nom.c_str()) != 0) {
    ::unlink(temporaire.c_str());
    return Echec_ecriture::REMPLACEMENT;
  }
  const int dir = ::open(repertoire_de(nom).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return Echec_ecriture::AUCUN;
}

}  // namespace station
