// The received files that the station opens, in a Wine prefix set up as scripts/run.sh sets up its own: every
// kind has a program to show it, and a text file opens in Wine's Notepad through the call the station makes.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

TEST(DocumentsRecus, AReceivedTextFileOpensInNotepad) {
  testsupport::TempDir dir;
  dir.write("NOTES.TXT", "73 de F1AAA\r\n");
  const std::string chemin = dir.file("NOTES.TXT");
  const intptr_t resultat = station::Ouvre_document(platform::systemShell(), nullptr, chemin, "", "", SW_SHOWDEFAULT);
  EXPECT_GT(resultat, 32) << "the shell could not open " << chemin;
  HWND notepad = nullptr;
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] {
        notepad = nullptr;
        EnumWindows(
            [](HWND h, LPARAM l) -> BOOL {
              char classe[32] = {}, titre[256] = {};
              GetClassNameA(h, classe, sizeof classe);
              GetWindowTextA(h, titre, sizeof titre);
              if (std::string(classe) == "Notepad" && std::string(titre).find("NOTES.TXT") != std::string::npos) {
                *reinterpret_cast<HWND*>(l) = h;
                return FALSE;
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&notepad));
        return notepad != nullptr;
      },
      30000))
      << "no Notepad window shows NOTES.TXT";
  if (notepad) {
    DWORD processus = 0;
    GetWindowThreadProcessId(notepad, &processus);
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processus)) {
      TerminateProcess(h, 0);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

}  // namespace
