#include "station/documents.h"

namespace station {
namespace {

std::string Tampon_255(const std::string& texte) { return texte.substr(0, 255); }

}  // namespace

std::string Page_aide(const autex::Langues& langues) {
  return langues.Langue == autex::LANGUE_ANGLAIS ? "HELP_VORNATEL.HTM" : "AIDE_VORNATEL.HTM";
}

intptr_t Ouvre_document(platform::Shell& shell, void* fenetre, const std::string& document,
                        const std::string& parametres, const std::string& repertoire, int mode) {
  return shell.Execute(fenetre, Tampon_255(document), Tampon_255(parametres), Tampon_255(repertoire), mode);
}

}  // namespace station
