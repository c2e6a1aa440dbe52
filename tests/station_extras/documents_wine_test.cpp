// The received files that the station opens, in a Wine prefix set up as scripts/run.sh sets up its own: every
// kind has a program to show it, and a text file opens in Wine's Notepad through the call the station makes.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "autex/fonctions_fichiers.h"
#include "platform/shell.h"
#include "station/documents.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win_screen.h"

namespace {

std::string minuscules(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

TEST(DocumentsRecus, EveryKindTheStationOpensHasItsProgramAndTextGoesToNotepad) {
  for (const std::string_view genre : station::Genres_documents()) {
    std::string majuscules(genre);
    std::transform(majuscules.begin(), majuscules.end(), majuscules.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    // As a received name writes it, in either case.
    for (const std::string& extension : {std::string(".").append(genre), std::string(".").append(majuscules)}) {
      char commande[2048] = {};
      DWORD n = sizeof commande;
      ASSERT_EQ(AssocQueryStringA(ASSOCF_NONE, ASSOCSTR_COMMAND, extension.c_str(), "open", commande, &n), S_OK)
          << extension << " has no program";
      if (genre == "txt" || genre == "log") {
        EXPECT_NE(minuscules(commande).find("notepad.exe"), std::string::npos) << extension << ": " << commande;
      }
    }
  }
}

// Under a short name, and under a name that makes the path as long as a received file's may be (255
// characters, autex::LONGUEUR_MAX_CHEMIN).
TEST(DocumentsRecus, AReceivedTextFileOpensInNotepad) {
  testsupport::TempDir dir;
  const size_t longueur = autex::LONGUEUR_MAX_CHEMIN - dir.file("").size() - 4;
  for (const std::string& nom : {std::string("NOTES.TXT"), std::string(longueur, 'n').append(".TXT")}) {
    dir.write(nom, "73 de F1AAA\r\n");
    const std::string chemin = dir.file(nom);
    const intptr_t resultat = station::Ouvre_document(platform::systemShell(), nullptr, chemin, "", "", SW_SHOWDEFAULT);
    EXPECT_GT(resultat, 32) << "the shell could not open " << chemin << " (" << chemin.size() << " characters)";
    // Notepad shows the file's name in its title.
    struct Recherche {
      std::string nom;
      HWND fenetre = nullptr;
    } r{nom.substr(0, 60)};
    EXPECT_TRUE(testsupport::PumpUntil(
        [&] {
          EnumWindows(
              [](HWND h, LPARAM l) -> BOOL {
                auto* r = reinterpret_cast<Recherche*>(l);
                char classe[32] = {}, titre[512] = {};
                GetClassNameA(h, classe, sizeof classe);
                GetWindowTextA(h, titre, sizeof titre);
                if (std::string(classe) != "Notepad" || std::string(titre).find(r->nom) == std::string::npos) return TRUE;
                r->fenetre = h;
                return FALSE;
              },
              reinterpret_cast<LPARAM>(&r));
          return r.fenetre != nullptr;
        },
        30000))
        << "no Notepad window shows " << nom;
    if (!r.fenetre) continue;
    DWORD processus = 0;
    GetWindowThreadProcessId(r.fenetre, &processus);
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processus)) {
      TerminateProcess(h, 0);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

}  // namespace
