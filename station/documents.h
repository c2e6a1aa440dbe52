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

// Each text is handed over whole, whatever its length; the shell's answer is not examined by the station (it
// is returned for whoever wants it).
intptr_t Ouvre_document(platform::Shell& shell, void* fenetre, const std::string& document,
                        const std::string& parametres, const std::string& repertoire, int mode);

}  // namespace station
