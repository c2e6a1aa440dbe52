#include "autex/fonctions_fichiers.h"

#include <cstdio>
#include <vector>

#include "autex/traitement_chaines.h"

namespace autex {

namespace {
bool isSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/' || c == '\\';
#endif
}

size_t lastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (isSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}
}  // namespace

bool Nom_de_fichier_valide(std::string_view name) {
  for (char c : name) {
    switch (c) {
      case '\0': case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

bool Nom_de_fichier_sur(std::string_view name) {
  if (name.empty() || !Nom_de_fichier_valide(name)) return false;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127) return false;
  }
  // Windows drops trailing dots and blanks, so "a." and "a " would be "a", and "." or ".." a directory.
  if (name.back() == '.' || name.back() == ' ') return false;
  return !Nom_de_peripherique(name);
}

bool Nom_de_peripherique(std::string_view name) {
  // A device name stands for the device whatever extension follows it; blanks around it are not counted.
  std::string b(name.substr(0, name.find('.')));
  SUPPRIMER_ESPACES(b);
  Majuscules(b);
  if (b == "CON" || b == "PRN" || b == "AUX" || b == "NUL" || b == "CLOCK$" || b == "CONIN$" || b == "CONOUT$")
    return true;
  if (b.size() == 4 && (b.compare(0, 3, "COM") == 0 || b.compare(0, 3, "LPT") == 0)) {
    const auto d = static_cast<unsigned char>(b[3]);
    // 0-9, and the superscript digits of the code page (\xB9, \xB2, \xB3).
    if ((d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3) return true;
  }
  return false;
}

void NOM_SANS_CHEMIN(std::string_view path, std::string& name) {
  const size_t p = lastSeparator(path);
  name = std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

bool FICHIER_EXISTE(const std::string& name) { return !name.empty() && detail::os_file_exists(name); }

void Rendre_inscriptible(const std::string& name) { detail::os_make_writable(name); }

void Nom_de_fichier_libre(std::string& path, bool& found) {
  // The extension is searched in the file name only, so that "dir.v2/LOG" gives "dir.v2/LOG00000".
  const size_t sep = lastSeparator(path);
  const size_t nameStart = sep == std::string::npos ? 0 : sep + 1;
  const size_t dot = path.rfind('.');
  std::string base = path, extension;
  if (dot != std::string::npos && dot >= nameStart) {
    base = path.substr(0, dot);
    extension = path.substr(dot);
  }
  found = false;
  char counter[8];
  for (int n = 0; n <= 99999; ++n) {
    std::snprintf(counter, sizeof counter, "%05d", n);
    path = base + counter + extension;
    if (!FICHIER_EXISTE(path)) {
      found = true;
      return;
    }
  }
}

namespace {
// A shortened name's end: Windows drops trailing dots and blanks, so the name on disk would not be the one
// handed back.
void sans_points_ni_blancs_en_queue(std::string& s) {
  while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
}
}  // namespace

bool Chemin_libre_dans(const std::string& directory, const std::string& name, std::string& path) {
  const std::string debut = directory.empty() ? std::string() : directory + SEPARATEUR_CHEMIN;
  // The name as it stands, or numbered when it is taken, when the whole path fits.
  path = debut + name;
  bool found = true;
  if (FICHIER_EXISTE(path)) Nom_de_fichier_libre(path, found);
  if (found && path.size() <= LONGUEUR_MAX_CHEMIN) return true;
  // Shortened to the room the directory leaves, the extension kept ("." and what follows the last dot, unless
  // the name starts with that dot).
  const size_t place = LONGUEUR_MAX_CHEMIN > debut.size() ? LONGUEUR_MAX_CHEMIN - debut.size() : 0;
  const size_t point = name.rfind('.');
  const std::string extension = point != std::string::npos && point > 0 ? name.substr(point) : std::string();
  const std::string radical = name.substr(0, name.size() - extension.size());
  constexpr size_t CHIFFRES = 5;  // the counter of a numbered name
  if (place >= extension.size() + 1 + CHIFFRES) {
    std::string court = radical.substr(0, place - extension.size());
    if (extension.empty()) sans_points_ni_blancs_en_queue(court);
    path = debut + court + extension;
    if (!court.empty() && !FICHIER_EXISTE(path)) return true;
    court = radical.substr(0, place - extension.size() - CHIFFRES);
    path = debut + court + extension;
    Nom_de_fichier_libre(path, found);
    if (found) return true;
  }
  // No name fits beside so long a directory: the whole name, the file routines reach such paths.
  path = debut + name;
  found = true;
  if (FICHIER_EXISTE(path)) Nom_de_fichier_libre(path, found);
  return found;
}

bool LIRE_FICHIER_BLOCS(const std::string& name, int mode, std::string& content, int64_t& size) {
  if (mode == 1)
    content.clear();
  else
    size = 0;
  std::FILE* f = detail::os_open_file(name, "rb");
  if (!f) {
    if (mode == 1) size = 0;
    return false;
  }
  std::vector<char> block(500000);
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(block.data(), 1, block.size(), f);
    if (n == 0) {
      ok = !std::ferror(f);
      break;
    }
    if (mode == 1)
      content.append(block.data(), n);
    else
      size += int64_t(n);
  }
  std::fclose(f);
  if (mode == 1) size = int64_t(content.size());
  return ok;
}

int ECRIRE_FICHIER_BLOCS(const std::string& name, std::string_view content) {
  std::FILE* f = detail::os_open_file(name, "wb");
  if (!f) return 1;
  int result = 0;
  for (size_t start = 0; start < content.size(); start += 100000) {
    const std::string_view slice = content.substr(start, 100000);
    if (std::fwrite(slice.data(), 1, slice.size(), f) != slice.size()) {
      result = 1;
      break;
    }
  }
  if (std::fclose(f) != 0) result = 1;  // data that could not be flushed is a short write too
  return result;
}

std::string Nom_temporaire_libre(const std::string& name) {
  const size_t sep = lastSeparator(name);
  const std::string directory = sep == std::string::npos ? std::string() : name.substr(0, sep + 1);
  const std::string file = sep == std::string::npos ? name : name.substr(sep + 1);
  // Dots of the name would be taken for its extension: the counter goes before ".tmp".
  std::string stem = file;
  for (char& c : stem)
    if (c == '.') c = '_';
  std::string path = directory + "~" + stem + ".tmp";
  bool found = false;
  Nom_de_fichier_libre(path, found);
  return found ? path : std::string();
}

int ECRIRE_FICHIER_REMPLACE(const std::string& name, std::string_view content) {
  const std::string temporary = Nom_temporaire_libre(name);
  if (temporary.empty()) return 1;
  std::FILE* f = detail::os_open_file(temporary, "wb");
  if (!f) return 1;
  bool ok = true;
  for (size_t start = 0; ok && start < content.size(); start += 100000) {
    const std::string_view slice = content.substr(start, 100000);
    ok = std::fwrite(slice.data(), 1, slice.size(), f) == slice.size();
  }
  ok = std::fflush(f) == 0 && ok;
  if (std::fclose(f) != 0) ok = false;
  if (ok) ok = detail::os_replace_file(temporary, name);
  if (!ok) detail::os_remove_file(temporary);
  return ok ? 0 : 1;
}

void FonctionsFichiers::report(std::string_view english, std::string_view french, const std::string& tail,
                               std::string_view english_end, std::string_view french_end) {
  if (!erreur_) return;
  erreur_(langues_->TRADUCTION(english, french) + tail + langues_->TRADUCTION(english_end, french_end));
}

uint16_t FonctionsFichiers::ECRIRE_FICHIER_TEXTE(const std::string& name, std::string_view text) {
  if (FICHIER_EXISTE(name)) Rendre_inscriptible(name);
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  // Written beside the file first: the file is replaced only by a whole text.
  const std::string temporary = Nom_temporaire_libre(name);
  detail::TextWriteResult r;
  if (!temporary.empty()) r = detail::os_write_text(temporary, text);
  if (r.opened && (r.written != int64_t(text.size()) || r.close_code != 0 ||
                   !detail::os_replace_file(temporary, name))) {
    detail::os_remove_file(temporary);
    if (r.written == int64_t(text.size()) && r.close_code == 0) r.opened = false;  // the file could not be replaced
  }
  if (!r.opened) {
    report("Impossible to open the file ", "Impossible d'ouvrir le fichier ", name, " in writing mode.",
           " en \xE9" "criture.");
    return 1;
  }
  uint16_t flag = 0;
  if (r.written != int64_t(text.size())) {
    report("Impossible text record. Full hard disk? ", "Ecriture du texte impossible. Disque dur plein? ");
    flag = 1;
  }
  if (r.close_code != 0) {
    report("Error when closing fichier in writing mode n\xB0", "Erreur lors de fermeture de fichier en \xE9" "criture n\xB0",
           std::to_string(r.close_code));
    flag = 1;
  }
  return flag;
}

uint16_t FonctionsFichiers::LIRE_FICHIER_TEXTE(const std::string& name, std::string& text, int32_t& count) {
  detail::TextReadResult r = detail::os_read_text(name, Capacite_lecture_texte);
  if (!r.opened) {
    report("Impossible to open the file ", "Impossible d'ouvrir le fichier ", name, " in reading mode.",
           " en lecture.");
    return 1;
  }
  uint16_t flag = 0;
  count = int32_t(r.count);
  if (r.count < 0) {
    report("Error when reading the file ", "Erreur lors de la lecture du fichier ", name, ".", ".");
    text.clear();
    flag = 1;
  } else {
    const size_t nul = r.bytes.find('\0');
    if (nul != std::string::npos) r.bytes.resize(nul);
    text = std::move(r.bytes);
  }
  if (r.close_code != 0) {
    report("Error when closing the file in reading mode n\xB0", "Erreur lors de fermeture de fichier en lecture n\xB0",
           std::to_string(r.close_code));
    flag = 1;
  }
  return flag;
}

void FonctionsFichiers::Ecrire_fichier_libre(std::string& file_name, const std::string& sub_directory,
                                             std::string_view content, bool& ok, std::string& message) {
  struct RestoreDirectory {
    const std::string& dir;
    ~RestoreDirectory() {
      if (!dir.empty()) detail::os_set_current_directory(dir);
    }
  } restore{Repertoire_travail};

  if (file_name.empty() || sub_directory.empty() || content.empty() || !Nom_de_fichier_valide(file_name) ||
      !Nom_de_fichier_valide(sub_directory)) {
    ok = false;
    message = langues_->TRADUCTION("Problem on the file", "Probl\xE8me sur le fichier");
    return;
  }
  const std::string directory =
      Repertoire_travail.empty() ? sub_directory : Repertoire_travail + SEPARATEUR_CHEMIN + sub_directory;
  if (!detail::os_is_directory(directory) && !detail::os_make_directory(directory)) {
    ok = false;
    message = langues_->TRADUCTION("Problem to create or write the file",
                                   "Probl\xE8me \xE0 la cr\xE9" "ation ou \xE0 l'\xE9" "criture du fichier");
    return;
  }
  std::string path;
  if (!Chemin_libre_dans(directory, file_name, path)) {
    ok = false;
    message = langues_->TRADUCTION("Problem to find a free file", "Probl\xE8me pour trouver un fichier libre");
    return;
  }
  NOM_SANS_CHEMIN(path, file_name);
  if (ECRIRE_FICHIER_REMPLACE(path, content) != 0) {
    ok = false;
    message = langues_->TRADUCTION("Problem to create or write the file",
                                   "Probl\xE8me \xE0 la cr\xE9" "ation ou \xE0 l'\xE9" "criture du fichier");
  }
}

}  // namespace autex
