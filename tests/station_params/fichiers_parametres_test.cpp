// The parameter files on disk: bounded binary reads and replacement through a temporary file.
#include "station/fichiers_parametres.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "station/systeme_parametres.h"
#include "tests/support/temp_dir.h"

using namespace station;
namespace fs = std::filesystem;

TEST(ReplaceFile, CreatesAndReplacesLeavingNoTemporaryFile) {
  testsupport::TempDir dir;
  const std::string nom = dir.file("CONF_COM.SER");
  EXPECT_EQ(Remplacer_fichier(nom, std::string("a\0b", 3)), Echec_ecriture::AUCUN);
  EXPECT_EQ(dir.read("CONF_COM.SER"), std::string("a\0b", 3));
  EXPECT_EQ(Remplacer_fichier(nom, "second"), Echec_ecriture::AUCUN);
  EXPECT_EQ(dir.read("CONF_COM.SER"), "second");
  EXPECT_EQ(Remplacer_fichier(nom, ""), Echec_ecriture::AUCUN);
  EXPECT_EQ(dir.read("CONF_COM.SER"), "");
  EXPECT_FALSE(fs::exists(Nom_temporaire(nom)));
  // A leftover of an interrupted write is replaced too.
  dir.write("CONF_COM.SER.tmp", "half");
  EXPECT_EQ(Remplacer_fichier(nom, "third"), Echec_ecriture::AUCUN);
  EXPECT_EQ(dir.read("CONF_COM.SER"), "third");
  EXPECT_FALSE(fs::exists(Nom_temporaire(nom)));
}

TEST(ReplaceFile, ReplacesAReadOnlyFile) {
  testsupport::TempDir dir;
  const std::string nom = dir.file("CONF_COM.SER");
  dir.write("CONF_COM.SER", "old");
  fs::permissions(nom, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(Remplacer_fichier(nom, "new"), Echec_ecriture::AUCUN);
  EXPECT_EQ(dir.read("CONF_COM.SER"), "new");
}

TEST(ReplaceFile, FailureKeepsTheFormerFile) {
  testsupport::TempDir dir;
  const std::string nom = dir.file("CONF_COM.SER");
  dir.write("CONF_COM.SER", "precious");
  fs::create_directory(Nom_temporaire(nom));
  EXPECT_EQ(Remplacer_fichier(nom, "new"), Echec_ecriture::OUVERTURE);
  EXPECT_EQ(dir.read("CONF_COM.SER"), "precious");

  // A target that is a directory cannot be replaced; the temporary file goes.
  const std::string repertoire = dir.file("DIR.SER");
  fs::create_directory(repertoire);
  EXPECT_EQ(Remplacer_fichier(repertoire, "new"), Echec_ecriture::REMPLACEMENT);
  EXPECT_TRUE(fs::is_directory(repertoire));
  EXPECT_FALSE(fs::exists(Nom_temporaire(repertoire)));

  // A directory that does not exist.
  EXPECT_EQ(Remplacer_fichier(dir.file("missing/CONF_COM.SER"), "x"), Echec_ecriture::OUVERTURE);
}

TEST(ReadFileStart, ReadsAtMostTheCapacityAndTellsWhetherMoreFollows) {
  testsupport::TempDir dir;
  EXPECT_FALSE(Lire_debut_fichier(dir.file("missing"), 945).ouvert);

  std::string contenu(946, '\0');
  contenu[944] = 'z';
  dir.write("F", contenu);
  Lecture_binaire lu = Lire_debut_fichier(dir.file("F"), 945);
  EXPECT_TRUE(lu.ouvert);
  EXPECT_FALSE(lu.erreur);
  EXPECT_TRUE(lu.plus_long);
  EXPECT_TRUE(lu.octets == contenu.substr(0, 945));

  dir.write("G", contenu.substr(0, 945));
  lu = Lire_debut_fichier(dir.file("G"), 945);
  EXPECT_FALSE(lu.plus_long);
  EXPECT_EQ(lu.octets.size(), 945u);

  dir.write("E", "");
  lu = Lire_debut_fichier(dir.file("E"), 945);
  EXPECT_TRUE(lu.ouvert);
  EXPECT_TRUE(lu.octets.empty());
}

TEST(SystemLanguage, LocaleNames) {
  EXPECT_EQ(Identifiant_langue_locale("fr_FR.UTF-8"), 1036);
  EXPECT_EQ(Identifiant_langue_locale("fr_BE"), 2060);
  EXPECT_EQ(Identifiant_langue_locale("fr_CA.UTF-8@euro"), 3084);
  EXPECT_EQ(Identifiant_langue_locale("fr"), 1036);
  EXPECT_EQ(Identifiant_langue_locale("en_GB.UTF-8"), 1033);
  EXPECT_EQ(Identifiant_langue_locale("de_DE.UTF-8"), 1024);
  EXPECT_EQ(Identifiant_langue_locale("C"), 0);
  EXPECT_EQ(Identifiant_langue_locale("C.UTF-8"), 0);
  EXPECT_EQ(Identifiant_langue_locale(""), 0);
  EXPECT_EQ(Identifiant_langue_locale(nullptr), 0);
}
