#pragma once
// Documents handed to the shell: the help page of the current language ("HELP_VORNATEL.HTM" in English,
// "AIDE_VORNATEL.HTM" otherwise, looked for in the current directory first) and any document the station opens with
// its default action (the main window's Help menu and its received-file button).
//
// The main window's Help menu hands the page found (Page_aide_trouvee) to the shell's ExecuteWatched, and
// watches the program started for it.
#include <span>
#include <string>
#include <string_view>

#include "autex/langues.h"
#include "platform/shell.h"

namespace station {

std::string Page_aide(const autex::Langues& langues);

// The help page to hand to the shell: its full name in the current directory when it is there, else its full
// name beside the program (where the pages are shipped), else empty (the page is nowhere).
std::string Page_aide_trouvee(const std::string& page, const std::string& repertoire_courant,
                              const std::string& repertoire_programme);

// The kinds of received file that the station opens: each shows a document and runs nothing. Text files
// ("txt", "log"), pictures ("jpg", "jpeg", "png", "gif", "bmp"), PDF ("pdf"), HTML pages ("htm", "html") and
// archives ("zip"): the extensions, in lower case.
std::span<const std::string_view> Genres_documents();
// True when a received file of that name is of one of these kinds: its extension (after the last dot of the
// name, in any case) is one of them. A name without one, or with any other (a program, a script, a shortcut,
// an installer, a registry file...) gives false: such a file could run a program.
bool Document_a_ouvrir(const std::string& nom);
// True for a received page ("htm", "html", in any case): it is shown as text, in Notepad, and never in a browser,
// where it could fetch addresses of its sender's choosing (telling the sender where and when it was read) and
// run its scripts.
bool Page_en_texte(const std::string& nom);

// The shell's answers (at most 32: it could not) that mean the document is not there: file not found
// (SE_ERR_FNF) and path not found (SE_ERR_PNF).
inline constexpr intptr_t SHELL_FICHIER_INTROUVABLE = 2;
inline constexpr intptr_t SHELL_CHEMIN_INTROUVABLE = 3;

// Each text is handed over whole, whatever its length; the shell's answer is not examined by the station (it
// is returned for whoever wants it).
intptr_t Ouvre_document(platform::Shell& shell, void* fenetre, const std::string& document,
                        const std::string& parametres, const std::string& repertoire, int mode);
// Opens a received file: a page as text in Notepad (its full name quoted as Notepad's one parameter), any other
// by the shell's default action for it. The shell's answer is returned.
intptr_t Ouvre_fichier_recu(platform::Shell& shell, void* fenetre, const std::string& document, int mode);

}  // namespace station
