#include "autex/textes_encadres.h"

#include <gtest/gtest.h>

#include "autex/traitement_chaines.h"

using namespace autex;

namespace {
std::string octets(std::initializer_list<int> v) {
  std::string s;
  for (const int b : v) s.push_back(char(b));
  return s;
}
}  // namespace

TEST(FramedTexts, MessageAndStop) {
  EXPECT_EQ(TRAME_MESSAGE_AUTEX("hello"), octets({3, 1}) + "hello" + octets({3, 0}));
  // A byte 3 typed in a message never reaches its frame; other control bytes stay.
  EXPECT_EQ(TRAME_MESSAGE_AUTEX(octets({'a', 3, 0, 1, 3, 'b'})), octets({3, 1, 'a', 0, 1, 'b', 3, 0}));
  EXPECT_EQ(TRAME_MESSAGE_AUTEX(""), octets({3, 1, 3, 0}));
  EXPECT_EQ(TRAME_ARRET_AUTEX(), octets({3, 5}));
}

TEST(FramedTexts, PlainFileCountsEveryByteAfterItsLength) {
  std::string trame;
  bool compresse = true;
  // Ten bytes without a 3, a 5-character call sign, the name ABC.TXT: N = 5 + 1 + 7 + 1 + 10 + 2 = 26.
  ASSERT_TRUE(TRAME_FICHIER_AUTEX("F2BBB", "ABC.TXT", "0123456789", false, trame, compresse));
  EXPECT_FALSE(compresse);
  EXPECT_EQ(trame, octets({3, 4, 0, 0, 26}) + "F2BBB" + octets({0}) + "ABC.TXT" + octets({0}) + "0123456789" +
                       octets({3, 0}));
  // Every data byte 3 is doubled and counted twice.
  ASSERT_TRUE(TRAME_FICHIER_AUTEX("F2BBB", "B", octets({3, 'x', 3, 3}), false, trame, compresse));
  EXPECT_EQ(trame, octets({3, 4, 0, 0, 5 + 1 + 1 + 1 + 7 + 2}) + "F2BBB" + octets({0}) + "B" + octets({0}) +
                       octets({3, 3, 'x', 3, 3, 3, 3, 3, 0}));
  // A length of more than 16 bits takes all three bytes, most significant first.
  const std::string grand(70000, 'a');
  ASSERT_TRUE(TRAME_FICHIER_AUTEX("F1AAA", "G", grand, false, trame, compresse));
  EXPECT_EQ(Trois_octets_vers_entier(trame.substr(2, 3)), 5 + 1 + 1 + 1 + 70000 + 2);
  EXPECT_EQ(trame.size(), 5u + 5 + 1 + 1 + 1 + 70000 + 2);
}

TEST(FramedTexts, CompressedOnlyWhenShorter) {
  std::string trame;
  bool compresse = false;
  std::string texte;
  for (int i = 0; i < 2000; ++i) texte += "line " + std::to_string(i % 10) + "\r\n";
  ASSERT_TRUE(TRAME_FICHIER_AUTEX("F1AAA", "LOG.TXT", texte, true, trame, compresse));
  EXPECT_TRUE(compresse);
  EXPECT_EQ(trame.substr(0, 2), octets({3, 6}));
  EXPECT_EQ(size_t(Trois_octets_vers_entier(trame.substr(2, 3))), trame.size() - 5);
  // The data between the second NUL and the final 3, 0 is the zlib stream with its 3s doubled.
  const size_t debut = trame.find('\0', trame.find('\0', 5) + 1) + 1;
  std::string z = trame.substr(debut, trame.size() - 2 - debut);
  std::string simple;
  for (size_t i = 0; i < z.size(); ++i) {
    simple.push_back(z[i]);
    if (z[i] == 3) {
      ASSERT_LT(i + 1, z.size());
      ASSERT_EQ(z[i + 1], 3);
      ++i;
    }
  }
  std::string clair;
  ASSERT_TRUE(DECOMPRESSER_CHAINE(simple, clair));
  EXPECT_TRUE(clair == texte);
  // Data that zlib makes longer goes plain, with 3, 4.
  ASSERT_TRUE(TRAME_FICHIER_AUTEX("F1AAA", "Z", "q", true, trame, compresse));
  EXPECT_FALSE(compresse);
  EXPECT_EQ(trame.substr(0, 2), octets({3, 4}));
}

TEST(FramedTexts, ALengthBeyondThreeBytesIsRefused) {
  std::string trame = "x";
  bool compresse = true;
  const std::string trop(size_t(TAILLE_MAX_TRAME_FICHIER), 'a');
  EXPECT_FALSE(TRAME_FICHIER_AUTEX("F1AAA", "BIG", trop, false, trame, compresse));
  EXPECT_TRUE(trame.empty());
  EXPECT_FALSE(compresse);
}

// The echo windows name a file instead of showing its bytes, and show each short message on a line of its own
// between the text around it, whatever the chunks the stream is cut into.
TEST(FramedTexts, TheEchoNamesAFileAndShowsTheTextAroundIt) {
  std::string fichier;
  bool compresse = false;
  ASSERT_TRUE(TRAME_FICHIER_AUTEX("F1AAA", "photo.jpg", octets({0, 3, 1, 0xFF, 3, 0, 'A', 3, 5}), false, fichier,
                                  compresse));
  const std::string flux = "73." + fichier + "after " + TRAME_MESSAGE_AUTEX("sms") + "end\r";
  const std::string attendu = "73.\r\n[File: photo.jpg]\r\nafter \r\nsms\r\nend\r";
  EchoSansFichier d_un_coup;
  EXPECT_EQ(d_un_coup.Filtre(flux, "File"), attendu);
  EXPECT_FALSE(d_un_coup.Dans_un_fichier());
  for (size_t taille : {1u, 2u, 3u, 7u, 32u}) {
    EchoSansFichier e;
    std::string vu;
    for (size_t i = 0; i < flux.size(); i += taille) vu += e.Filtre(flux.substr(i, taille), "File");
    EXPECT_EQ(vu, attendu) << taille;
  }
  // The window's last line decides whether a message needs a line end before it.
  EchoSansFichier suite;
  suite.Fixe_debut_de_ligne(false);
  EXPECT_EQ(suite.Filtre(TRAME_MESSAGE_AUTEX("Hi A") + TRAME_MESSAGE_AUTEX("73."), "File"), "\r\nHi A\r\n73.\r\n");
  suite.Fixe_debut_de_ligne(true);
  EXPECT_EQ(suite.Filtre(TRAME_MESSAGE_AUTEX("QRT"), "File"), "QRT\r\n");
  // A file stopped on its way, or cut by a new file, ends its data; Raz forgets a file left unfinished.
  EchoSansFichier e;
  EXPECT_EQ(e.Filtre(fichier.substr(0, 25) + octets({3, 5}) + "next", "Fichier"), "[Fichier: photo.jpg]\r\nnext");
  EXPECT_EQ(e.Filtre(fichier.substr(0, 24), "File"), "\r\n[File: photo.jpg]\r\n");
  EXPECT_TRUE(e.Dans_un_fichier());
  EXPECT_EQ(e.Filtre("lost", "File"), "");
  e.Raz();
  EXPECT_EQ(e.Filtre("CQ meeting DE F1AAA", "File"), "CQ meeting DE F1AAA");
}
