// The free-text fields file "CONFSTRINGS_COM.TXT".
#include <gtest/gtest.h>

#include <filesystem>

#include "station/parametres.h"
#include "tests/station_params/station_params_support.h"

using namespace station;
using testsupport::Station;
namespace fs = std::filesystem;

namespace {
Textes_libres anciens() {
  Textes_libres t;
  t.Texte_balise = "old beacon";
  t.Edit_INDICATIF = "OLD";
  t.DIVERS = "old info";
  t.Edit_Sequence1 = "old 1";
  t.Edit_Sequence2 = "old 2";
  return t;
}
}  // namespace

TEST(FreeTextFields, SevenLinesFillOnlyTheFiveFields) {
  Station s;
  s.dir.write("CONFSTRINGS_COM.TXT", "  CQ CQ de F4ABC \r\nF4ABC\r\nJean, JN18\r\nseq one\r\nseq two\r\nsix\r\nseven\r\n");
  Textes_libres t = anciens();
  s.p.Lecture_CONFSTRINGS(t);
  EXPECT_EQ(t.Texte_balise, "CQ CQ de F4ABC");  // blanks removed at both ends
  EXPECT_EQ(t.Edit_INDICATIF, "F4ABC");
  EXPECT_EQ(t.DIVERS, "Jean, JN18");
  EXPECT_EQ(t.Edit_Sequence1, "seq one");
  EXPECT_EQ(t.Edit_Sequence2, "seq two");
}

TEST(FreeTextFields, ThreeLinesLeaveFieldsFourAndFive) {
  Station s;
  s.dir.write("CONFSTRINGS_COM.TXT", "beacon\r\nF4ABC\r\ninfo\r\n");
  Textes_libres t = anciens();
  s.p.Lecture_CONFSTRINGS(t);
  EXPECT_EQ(t.Texte_balise, "beacon");
  EXPECT_EQ(t.Edit_INDICATIF, "F4ABC");
  EXPECT_EQ(t.DIVERS, "info");
  EXPECT_EQ(t.Edit_Sequence1, "old 1");
  EXPECT_EQ(t.Edit_Sequence2, "old 2");
}

TEST(FreeTextFields, LastLineWithoutLineBreakIsNotRead) {
  Station s;
  s.dir.write("CONFSTRINGS_COM.TXT", "beacon\r\nF4ABC");
  Textes_libres t = anciens();
  s.p.Lecture_CONFSTRINGS(t);
  EXPECT_EQ(t.Texte_balise, "beacon");
  EXPECT_EQ(t.Edit_INDICATIF, "OLD");
}

TEST(FreeTextFields, MissingOrEmptyFileKeepsTheFields) {
  Station s;
  Textes_libres t = anciens();
  s.p.Lecture_CONFSTRINGS(t);
  EXPECT_TRUE(t == anciens());
  s.dir.write("CONFSTRINGS_COM.TXT", "");
  s.p.Lecture_CONFSTRINGS(t);
  EXPECT_TRUE(t == anciens());
  EXPECT_TRUE(s.erreurs_fichiers.empty());
}

TEST(FreeTextFields, SaveWritesFiveLinesAndReadsBack) {
  Station s;
  Textes_libres t;
  t.Texte_balise = "CQ de F4ABC";
  t.Edit_INDICATIF = "F4ABC";
  t.DIVERS = "";
  t.Edit_Sequence1 = "Bonjour \xE0 tous";
  t.Edit_Sequence2 = "73";
  ASSERT_TRUE(s.p.Sauve_CONFSTRINGS(t));
  EXPECT_EQ(s.dir.read("CONFSTRINGS_COM.TXT"), "CQ de F4ABC\r\nF4ABC\r\n\r\nBonjour \xE0 tous\r\n73\r\n");
  Textes_libres relus = anciens();
  s.p.Lecture_CONFSTRINGS(relus);
  EXPECT_TRUE(relus == t);
}

TEST(FreeTextFields, LineBreaksInsideAFieldAreRemovedOnSave) {
  Station s;
  Textes_libres t;
  t.Texte_balise = "line one\r\nline two";
  t.Edit_INDICATIF = "F4\rABC";
  t.DIVERS = "info\n";
  t.Edit_Sequence1 = "one";
  t.Edit_Sequence2 = "two";
  ASSERT_TRUE(s.p.Sauve_CONFSTRINGS(t));
  EXPECT_EQ(s.dir.read("CONFSTRINGS_COM.TXT"), "line oneline two\r\nF4ABC\r\ninfo\r\none\r\ntwo\r\n");
  Textes_libres relus;
  s.p.Lecture_CONFSTRINGS(relus);
  EXPECT_EQ(relus.Edit_Sequence1, "one");  // the fields did not shift
  EXPECT_EQ(relus.Edit_Sequence2, "two");
}

TEST(FreeTextFields, QuitWritesTheFieldsThenTheImage) {
  Station s;
  s.p.Lecture_parametres();
  Textes_libres t = anciens();
  ASSERT_TRUE(s.p.Sauve_parametres_CONF_COM(t));
  EXPECT_TRUE(fs::exists(s.dir.file("CONFSTRINGS_COM.TXT")));
  EXPECT_EQ(s.dir.read("CONF_COM.SER").size(), 945u);
  // A field file that cannot be written does not stop the image from being saved.
  fs::remove(s.dir.file("CONF_COM.SER"));
  fs::create_directory(s.dir.file("CONFSTRINGS_COM.TXT.tmp"));
  EXPECT_FALSE(s.p.Sauve_parametres_CONF_COM(t));
  EXPECT_EQ(s.dir.read("CONF_COM.SER").size(), 945u);
  EXPECT_EQ(s.hote.erreurs.size(), 1u);
}

TEST(FreeTextFields, LinesEndWithCrLfLfOrCr) {
  for (const char* fin : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(fin)));
    Station s;
    const std::string f(fin);
    s.dir.write("CONFSTRINGS_COM.TXT", "beacon" + f + "F4ABC" + f + "info" + f + "one" + f + "two" + f);
    Textes_libres t = anciens();
    s.p.Lecture_CONFSTRINGS(t);
    EXPECT_EQ(t.Texte_balise, "beacon");
    EXPECT_EQ(t.Edit_INDICATIF, "F4ABC");
    EXPECT_EQ(t.DIVERS, "info");
    EXPECT_EQ(t.Edit_Sequence1, "one");
    EXPECT_EQ(t.Edit_Sequence2, "two");
    EXPECT_TRUE(s.hote.erreurs.empty());
    EXPECT_FALSE(s.p.CONFSTRINGS_non_lu());
  }
}

// A file that could not be read whole: a first line longer than the read limit, a last field without its
// line end, a file that cannot be opened. It is reported; Quit leaves it as it is while the fields are
// unchanged, and keeps it beside the new one once they changed.
TEST(FreeTextFields, AFileNotReadWholeIsNeverLost) {
  struct Cas {
    const char* nom;
    std::string contenu;  // empty: a directory stands in the file's place
  };
  const Cas cas[] = {{"first line beyond the limit", std::string(70000, 'x') + "\r\nF4ABC\r\n"},
                     {"last field without its line end", "beacon\r\nF4ABC\r\ninfo\r\none\r\ntwo"},
                     {"cannot be opened", ""}};
  for (const Cas& c : cas) {
    SCOPED_TRACE(c.nom);
    Station s;
    if (c.contenu.empty())
      fs::create_directory(s.dir.file("CONFSTRINGS_COM.TXT"));
    else
      s.dir.write("CONFSTRINGS_COM.TXT", c.contenu);
    Textes_libres t = anciens();
    s.p.Lecture_CONFSTRINGS(t);
    ASSERT_EQ(s.hote.erreurs.size(), 1u);
    EXPECT_NE(s.hote.erreurs[0].find("CONFSTRINGS_COM.OLD"), std::string::npos);
    EXPECT_TRUE(s.p.CONFSTRINGS_non_lu());
    // Unchanged fields: the file stays as it is.
    EXPECT_TRUE(s.p.Sauve_CONFSTRINGS(t));
    if (!c.contenu.empty()) {
      EXPECT_TRUE(s.dir.read("CONFSTRINGS_COM.TXT") == c.contenu);
    }
    EXPECT_FALSE(fs::exists(s.dir.file("CONFSTRINGS_COM.OLD")));
    // Changed fields: written, the former file kept beside them.
    t.Edit_INDICATIF = "F5NEW";
    ASSERT_TRUE(s.p.Sauve_CONFSTRINGS(t));
    EXPECT_EQ(s.dir.read("CONFSTRINGS_COM.TXT").find(t.Texte_balise + "\r\nF5NEW\r\n"), 0u);
    if (c.contenu.empty()) {
      EXPECT_TRUE(fs::is_directory(s.dir.file("CONFSTRINGS_COM.OLD")));
    } else {
      EXPECT_TRUE(s.dir.read("CONFSTRINGS_COM.OLD") == c.contenu);
    }
    EXPECT_FALSE(s.p.CONFSTRINGS_non_lu());
  }
}

TEST(FreeTextFields, AnEarlierKeptFileIsNotReplaced) {
  Station s;
  s.dir.write("CONFSTRINGS_COM.OLD", "earlier");
  s.dir.write("CONFSTRINGS_COM.TXT", "beacon\nF4ABC");
  Textes_libres t = anciens();
  s.p.Lecture_CONFSTRINGS(t);
  t.Texte_balise = "new beacon";
  ASSERT_TRUE(s.p.Sauve_CONFSTRINGS(t));
  EXPECT_EQ(s.dir.read("CONFSTRINGS_COM.OLD"), "earlier");
  EXPECT_EQ(s.dir.read("CONFSTRINGS_COM00000.OLD"), "beacon\nF4ABC");
}
