#include "autex/fonctions_fichiers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/support/temp_dir.h"

using namespace autex;
namespace fs = std::filesystem;

namespace {
struct Files {
  Langues langues;
  std::vector<std::string> errors;
  FonctionsFichiers f{langues, [this](const std::string& m) { errors.push_back(m); }};
};
}  // namespace

TEST(TextFiles, WriteAndReadBack) {
  testsupport::TempDir dir;
  Files files;
  const std::string name = dir.file("TEXT.TXT");
  EXPECT_EQ(files.f.ECRIRE_FICHIER_TEXTE(name, "line 1\r\nline 2"), 0);
  std::string text;
  int32_t count = 0;
  EXPECT_EQ(files.f.LIRE_FICHIER_TEXTE(name, text, count), 0);
  EXPECT_EQ(text, "line 1\r\nline 2");
  EXPECT_EQ(count, 14);
  // Rewriting empties the file first.
  EXPECT_EQ(files.f.ECRIRE_FICHIER_TEXTE(name, "x"), 0);
  EXPECT_EQ(dir.read("TEXT.TXT"), "x");
  EXPECT_TRUE(files.errors.empty());
}

TEST(TextFiles, WritesUpToTheFirstNulAndOverReadOnlyFiles) {
  testsupport::TempDir dir;
  Files files;
  const std::string name = dir.file("RO.TXT");
  dir.write("RO.TXT", "old content");
  fs::permissions(name, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(files.f.ECRIRE_FICHIER_TEXTE(name, std::string("abc\0def", 7)), 0);
  EXPECT_EQ(dir.read("RO.TXT"), "abc");
  EXPECT_NE(fs::status(name).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_TRUE(files.errors.empty());
}

// Text files and whole files are written under a temporary name and then take the file's place: a write
// that cannot be completed leaves the former file as it was, and no temporary file stays behind.
TEST(TextFiles, WritesReplaceTheFileWholeOrNotAtAll) {
  testsupport::TempDir dir;
  Files files;
  const auto leftovers = [&] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path()))
      if (e.path().filename().string().rfind("~", 0) == 0) names.push_back(e.path().filename().string());
    return names;
  };
  const std::string name = dir.file("REPORT.TXT");
  dir.write("REPORT.TXT", "former");
  EXPECT_EQ(files.f.ECRIRE_FICHIER_TEXTE(name, "new text"), 0);
  EXPECT_EQ(ECRIRE_FICHIER_REMPLACE(dir.file("FILE.BIN"), std::string("\0\x03z", 3)), 0);
  EXPECT_EQ(dir.read("REPORT.TXT"), "new text");
  EXPECT_EQ(dir.read("FILE.BIN"), std::string("\0\x03z", 3));
  EXPECT_TRUE(leftovers().empty());
  // The name is held by a directory with something in it: nothing can take its place.
  fs::create_directories(dir.path() / "BUSY" / "inside");
  EXPECT_EQ(files.f.ECRIRE_FICHIER_TEXTE(dir.file("BUSY"), "text"), 1);
  EXPECT_EQ(ECRIRE_FICHIER_REMPLACE(dir.file("BUSY"), "bytes"), 1);
  EXPECT_TRUE(fs::is_directory(dir.path() / "BUSY" / "inside"));
  EXPECT_TRUE(leftovers().empty());
  ASSERT_EQ(files.errors.size(), 1u);
  EXPECT_EQ(files.errors[0], "Impossible to open the file " + dir.file("BUSY") + " in writing mode.");
  // The temporary names never meet an existing file.
  dir.write("~REPORT_TXT00000.tmp", "someone's file");
  EXPECT_EQ(Nom_temporaire_libre(name), dir.file("~REPORT_TXT00001.tmp"));
}

TEST(TextFiles, ReadIsBoundedAndCutAtNul) {
  testsupport::TempDir dir;
  Files files;
  std::string big(70000, 'z');
  big[0] = 'a';
  dir.write("BIG.TXT", big);
  std::string text;
  int32_t count = 0;
  EXPECT_EQ(files.f.LIRE_FICHIER_TEXTE(dir.file("BIG.TXT"), text, count), 0);
  EXPECT_EQ(count, 65500);
  EXPECT_TRUE(text == big.substr(0, 65500));

  dir.write("ZERO.TXT", std::string("ab\0cd", 5));
  EXPECT_EQ(files.f.LIRE_FICHIER_TEXTE(dir.file("ZERO.TXT"), text, count), 0);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(count, 5);
}

TEST(TextFiles, FailuresAreReportedInTheCurrentLanguage) {
  testsupport::TempDir dir;
  Files files;
  const std::string missing = dir.file("MISSING.TXT");
  std::string text = "unchanged";
  int32_t count = 7;
  EXPECT_EQ(files.f.LIRE_FICHIER_TEXTE(missing, text, count), 1);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(count, 7);
  ASSERT_EQ(files.errors.size(), 1u);
  EXPECT_EQ(files.errors[0], "Impossible to open the file " + missing + " in reading mode.");

  files.langues.Langue = 2;
  const std::string nowhere = dir.file("no-such-dir") + SEPARATEUR_CHEMIN + "X.TXT";
  EXPECT_EQ(files.f.ECRIRE_FICHIER_TEXTE(nowhere, "x"), 1);
  ASSERT_EQ(files.errors.size(), 2u);
  EXPECT_EQ(files.errors[1], "Impossible d'ouvrir le fichier " + nowhere + " en \xE9" "criture.");
}

TEST(FileNames, ValidityAndPathStripping) {
  EXPECT_TRUE(Nom_de_fichier_valide(""));
  EXPECT_TRUE(Nom_de_fichier_valide("REPORT 2026.TXT"));
  for (const char* bad : {"a\\b", "a/b", "c:", "a*", "a?", "a\"", "a<", "a>", "a|"})
    EXPECT_FALSE(Nom_de_fichier_valide(bad)) << bad;
  EXPECT_FALSE(Nom_de_fichier_valide(std::string("a\0b", 3)));
  std::string name;
  NOM_SANS_CHEMIN("C:\\data\\photo.jpg", name);
  EXPECT_EQ(name, "photo.jpg");
  NOM_SANS_CHEMIN("photo.jpg", name);
  EXPECT_EQ(name, "photo.jpg");
}

TEST(FileNames, FreeNumberedNames) {
  testsupport::TempDir dir;
  std::string path = dir.file("REPORT.TXT");
  bool found = false;
  Nom_de_fichier_libre(path, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(path, dir.file("REPORT00000.TXT"));
  dir.write("REPORT00000.TXT", "x");
  path = dir.file("REPORT.TXT");
  Nom_de_fichier_libre(path, found);
  EXPECT_EQ(path, dir.file("REPORT00001.TXT"));

  // A dot in a directory name is not an extension.
  fs::create_directories(dir.path() / "logs.v2");
  path = (dir.path() / "logs.v2" / "LOG").string();
  Nom_de_fichier_libre(path, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(path, (dir.path() / "logs.v2" / "LOG00000").string());
}

TEST(BlockFiles, ReadAndWriteAnyBytes) {
  testsupport::TempDir dir;
  std::string content(250001, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 7);
  const std::string name = dir.file("BLOCK.BIN");
  EXPECT_EQ(ECRIRE_FICHIER_BLOCS(name, content), 0);
  std::string back;
  int64_t size = -1;
  EXPECT_TRUE(LIRE_FICHIER_BLOCS(name, 1, back, size));
  EXPECT_EQ(size, 250001);
  EXPECT_TRUE(back == content);

  std::string untouched = "keep";
  EXPECT_TRUE(LIRE_FICHIER_BLOCS(name, 2, untouched, size));
  EXPECT_EQ(size, 250001);
  EXPECT_EQ(untouched, "keep");

  dir.write("EMPTY.BIN", "");
  EXPECT_TRUE(LIRE_FICHIER_BLOCS(dir.file("EMPTY.BIN"), 2, untouched, size));
  EXPECT_EQ(size, 0);

  // Errors come back as results, never as exceptions.
  EXPECT_FALSE(LIRE_FICHIER_BLOCS(dir.file("MISSING.BIN"), 1, back, size));
  EXPECT_EQ(size, 0);
  EXPECT_EQ(ECRIRE_FICHIER_BLOCS(dir.file("missing-dir") + SEPARATEUR_CHEMIN + "X.BIN", "x"), 1);
}

TEST(ReceivedFiles, StoredUnderAFreeNameInTheSubDirectory) {
  testsupport::TempDir dir;
  Files files;
  files.f.Repertoire_travail = dir.path().string();
  fs::create_directories(dir.path() / "AUTEX");
  dir.write("AUTEX/LOG.TXT", "1");
  dir.write("AUTEX/LOG00000.TXT", "2");

  std::string name = "LOG.TXT", message;
  bool ok = true;
  files.f.Ecrire_fichier_libre(name, "AUTEX", "new content", ok, message);
  EXPECT_TRUE(ok);
  EXPECT_EQ(message, "");
  EXPECT_EQ(name, "LOG00001.TXT");
  EXPECT_EQ(dir.read("AUTEX/LOG00001.TXT"), "new content");
  EXPECT_EQ(fs::current_path(), dir.path());

  name = "FRESH.BIN";
  files.f.Ecrire_fichier_libre(name, "NEWDIR", std::string("\0\x03", 2), ok, message);
  EXPECT_TRUE(ok);
  EXPECT_EQ(name, "FRESH.BIN");
  EXPECT_EQ(dir.read("NEWDIR/FRESH.BIN"), std::string("\0\x03", 2));
}

TEST(ReceivedFiles, RefusedNamesAndWriteFailures) {
  testsupport::TempDir dir;
  Files files;
  files.f.Repertoire_travail = dir.path().string();
  for (const char* bad : {"a:b.txt", "what?.txt"}) {
    std::string name = bad, message;
    bool ok = true;
    files.f.Ecrire_fichier_libre(name, "AUTEX", "data", ok, message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, "Problem on the file");
  }
  std::string name = "EMPTY.TXT", message;
  bool ok = true;
  files.langues.Langue = 2;
  files.f.Ecrire_fichier_libre(name, "AUTEX", "", ok, message);
  EXPECT_FALSE(ok);
  EXPECT_EQ(message, "Probl\xE8me sur le fichier");

  // The sub-directory name is taken by a file: nothing can be written, and it says so.
  files.langues.Langue = 1;
  dir.write("BLOCKED", "a file, not a directory");
  name = "X.TXT";
  ok = true;
  message.clear();
  files.f.Ecrire_fichier_libre(name, "BLOCKED", "data", ok, message);
  EXPECT_FALSE(ok);
  EXPECT_EQ(message, "Problem to create or write the file");
  EXPECT_TRUE(files.errors.empty());  // this routine reports through ok and message only
}

TEST(ReceivedFileNames, OnlyPlainNamesInsideTheDirectoryAreSafe) {
  for (const char* nom : {"ABC.TXT", "rapport final.doc", "a.b.c", "archive.tar.gz", ".profile", " leading",
                          "CONSOLE.TXT", "COMA.TXT", "LPT10", "NULL", "AUXILIARY", "\xC9T\xC9.TXT", "COM", "x"})
    EXPECT_TRUE(Nom_de_fichier_sur(nom)) << nom;
  const std::string refuses[] = {
      "", ".", "..", "...", "a/b", "a\\b", "../x", "..\\x", "C:x", "C:\\x", "/etc/passwd", "x:stream",
      "a*", "a?", "a\"", "a<b", "a>b", "a|b", std::string("a\0b", 3), "a\x01" "b", "a\tb", "a\rb", "a\x7F",
      "name.", "name ", "name. ", "CON", "con", "Con.txt", "PRN.log", "AUX", "NUL", "nul.tar.gz", "NUL .txt",
      " CON", "COM1", "com9.txt", "COM0", "LPT1", "lpt5.dat", "COM\xB9", "LPT\xB2.x", "COM\xB3", "CLOCK$",
      "CONIN$", "conout$.txt"};
  for (const std::string& nom : refuses) EXPECT_FALSE(Nom_de_fichier_sur(nom)) << nom;
}
