#pragma once
// Documents handed to the shell: the help page of the current language ("HELP_VORNATEL.HTM" in English,
// "AIDE_VORNATEL.HTM" otherwise, relative to the current directory) and any document the station opens with
// its default action (the main window's Help menu and its received-file button).
//
// The main window's Help menu:
//   station::Ouvre_document(platform::systemShell(), Application->Handle(), station::Page_aide(langues), "", "",
//                           platform::kShowNormal);
#include <string>

#include "autex/langues.h"
#include "platform/shell.h"

namespace station {

std::string Page_aide(const autex::Langues& langues);

// The help page to hand to the shell: its name as it stands when it is in the current directory, else its
// full name beside the program (where the pages are shipped), else empty (the page is nowhere).
std::string Page_aide_trouvee(const std::string& page, const std::string& repertoire_courant,
                              const std::string& repertoire_programme);

// Each text is handed over whole, whatever its length; the shell's answer is not examined by the station (it
// is returned for whoever wants it).
intptr_t Ouvre_document(platform::Shell& shell, void* fenetre, const std::string& document,
                        const std::string& parametres, const std::string& repertoire, int mode);

}  // namespace station
