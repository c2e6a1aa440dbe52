// The received files that the station opens, in a Wine prefix set up as scripts/run.sh sets up its own: every
// kind has a program to show it, and a text file or a page opens in Wine's Notepad through the call the station
// makes.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "autex/fonctions_fichiers.h"
#include "platform/shell.h"
#include "station/documents.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win_screen.h"

namespace {

TEST(DocumentsRecus, EveryKindTheStationOpensHasItsProgramAndTextGoesToNotepad) {
  for (const std::string_view genre : station::Genres_documents()) {
    std::string majuscules(genre);
    for (char& c : majuscules) c = char(std::toupper(static_cast<unsigned char>(c)));
    // As a received name writes it, in either case.
    for (const std::string& extension : {std::string(".").append(genre), std::string(".").append(majuscules)}) {
      char commande[2048] = {};
      DWORD n = sizeof commande;
      ASSERT_EQ(AssocQueryStringA(ASSOCF_NONE, ASSOCSTR_COMMAND, extension.c_str(), "open", commande, &n), S_OK)
          << extension << " has no program";
      if (genre == "txt" || genre == "log") {
        EXPECT_NE(std::string(CharLowerA(commande)).find("notepad.exe"), std::string::npos) << extension;
      }
    }
  }
}

// Under a short name, and under one that makes the path as long as a received file's may be; a page too, as
// its text (the prefix's own program for pages is a browser).
TEST(DocumentsRecus, AReceivedTextFileOrPageOpensInNotepad) {
  testsupport::TempDir dir;
  const size_t longueur = autex::LONGUEUR_MAX_CHEMIN - dir.file("").size() - 4;
  for (const std::string& nom : {std::string("NOTES.TXT"), std::string(longueur, 'n').append(".TXT"),
                                 std::string("page.html"), std::string(longueur - 1, 'p').append(".htm")}) {
    dir.write(nom, "<img src=\"http://192.0.2.1/bug.gif\"><script>alert(73)</script>\r\n");
    const std::string chemin = dir.file(nom);
    EXPECT_GT(station::Ouvre_fichier_recu(platform::systemShell(), nullptr, chemin, SW_SHOWDEFAULT), 32)
        << "the shell could not open " << chemin << " (" << chemin.size() << " characters)";
    // Notepad shows the file's name in its title.
    HWND notepad = nullptr;
    EXPECT_TRUE(testsupport::PumpUntil(
        [&] {
          char titre[512] = {};
          for (notepad = FindWindowExA(nullptr, nullptr, "Notepad", nullptr); notepad;
               notepad = FindWindowExA(nullptr, notepad, "Notepad", nullptr))
            if (GetWindowTextA(notepad, titre, sizeof titre) && std::string(titre).find(nom.substr(0, 60)) == 0) return true;
          return false;
        },
        30000))
        << "no Notepad window shows " << nom;
    DWORD processus = 0;
    if (notepad && GetWindowThreadProcessId(notepad, &processus)) {
      HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processus);
      TerminateProcess(h, 0);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

// Under Wine the shell answers success for a page as soon as winebrowser runs, whether or not it then finds a
// program of the host to show it (here none: this prefix's list names one that is nowhere). The program it
// started is handed back, and ends with the exit code 1: what the Help menu waits for to say that nothing
// shows the page.
TEST(DocumentsRecus, ThePageOfAShellThatFindsNothingToShowItEndsItsProgramWithAnError) {
  const char personne[] = "vornatel-no-such-browser";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", REG_SZ, personne,
                            sizeof personne),
            ERROR_SUCCESS);
  testsupport::TempDir dir;
  dir.write("HELP_VORNATEL.HTM", "<html><body>Help</body></html>\r\n");
  std::unique_ptr<platform::ShownBy> programme;
  EXPECT_GT(platform::systemShell().ExecuteWatched(nullptr, dir.file("HELP_VORNATEL.HTM"), SW_SHOWNORMAL, programme),
            32);
  ASSERT_TRUE(programme != nullptr);
  uint32_t code = 0;
  EXPECT_TRUE(testsupport::PumpUntil([&] { return programme->Ended(code); }, 30000));
  EXPECT_EQ(code, 1u);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers");
}

}  // namespace
