#include "station/documents.h"

namespace station {
std::string Page_aide(const autex::Langues& langues) {
  return langues.Langue == autex::LANGUE_ANGLAIS ? "HELP_VORNATEL.HTM" : "AIDE_VORNATEL.HTM";
}

intptr_t Ouvre_document(platform::Shell& shell, void* fenetre, const std::string& document,
                        const std::string& parametres, const std::string& repertoire, int mode) {
  // Every text whole: a received file's path may well be longer than 255 characters.
  return shell.Execute(fenetre, document, parametres, repertoire, mode);
}

}  // namespace station
