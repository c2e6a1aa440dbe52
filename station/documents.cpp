#include "station/documents.h"

#include <array>

#include "autex/fonctions_fichiers.h"

namespace station {
std::string Page_aide(const autex::Langues& langues) {
  return langues.Langue == autex::LANGUE_ANGLAIS ? "HELP_VORNATEL.HTM" : "AIDE_VORNATEL.HTM";
}

namespace {
std::string dans(const std::string& repertoire, const std::string& nom) {
  if (repertoire.empty()) return nom;
  const char fin = repertoire.back();
  return fin == '\\' || fin == '/' ? repertoire + nom : repertoire + autex::SEPARATEUR_CHEMIN + nom;
}
}  // namespace

std::string Page_aide_trouvee(const std::string& page, const std::string& repertoire_courant,
                              const std::string& repertoire_programme) {
  // Its full name: handed over bare, the shell would look for it beside the program first.
  if (const std::string ici = dans(repertoire_courant, page); autex::FICHIER_EXISTE(ici)) return ici;
  if (!repertoire_programme.empty()) {
    const std::string a_cote = dans(repertoire_programme, page);
    if (autex::FICHIER_EXISTE(a_cote)) return a_cote;
  }
  return std::string();
}

std::span<const std::string_view> Genres_documents() {
  static constexpr std::array<std::string_view, 11> genres{"txt", "log", "jpg", "jpeg", "png", "gif",
                                                           "bmp", "pdf", "htm", "html", "zip"};
  return genres;
}

namespace {
// The extension of a file's name in lower case (empty when it has none, or names a stream of a file).
std::string extension_de(const std::string& nom) {
  std::string n;
  autex::NOM_SANS_CHEMIN(nom, n);
  const size_t point = n.rfind('.');
  // A stream of a file (name:stream) is not the file's own kind.
  if (point == std::string::npos || n.find(':') != std::string::npos) return std::string();
  std::string extension = n.substr(point + 1);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return extension;
}
}  // namespace

bool Document_a_ouvrir(const std::string& nom) {
  const std::string extension = extension_de(nom);
  if (extension.empty()) return false;
  for (const std::string_view genre : Genres_documents())
    if (extension == genre) return true;
  return false;
}

bool Page_en_texte(const std::string& nom) {
  const std::string extension = extension_de(nom);
  return extension == "htm" || extension == "html";
}

intptr_t Ouvre_document(platform::Shell& shell, void* fenetre, const std::string& document,
                        const std::string& parametres, const std::string& repertoire, int mode) {
  // Every text whole: a received file's path may well be longer than 255 characters.
  return shell.Execute(fenetre, document, parametres, repertoire, mode);
}

intptr_t Ouvre_fichier_recu(platform::Shell& shell, void* fenetre, const std::string& document, int mode) {
  // A received name holds no double quote: the quoted path is one parameter, whole.
  if (Page_en_texte(document)) return Ouvre_document(shell, fenetre, "notepad.exe", "\"" + document + "\"", "", mode);
  return Ouvre_document(shell, fenetre, document, "", "", mode);
}

}  // namespace station
