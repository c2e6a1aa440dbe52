// The main window's caption and hint table.
#include "station/traduction_fiche_principale.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using namespace station;

// The stored definition's 67 rows, and the ASCII speed buttons' captions and hints (they stayed French).
TEST(CaptionTable, SeventyFourDistinctRowsWithBothLanguages) {
  const auto table = Table_traduction_fiche_principale();
  ASSERT_EQ(table.size(), 74u);
  std::set<std::pair<std::string_view, Propriete>> vues;
  int captions = 0, hints = 0;
  for (const auto& l : table) {
    EXPECT_TRUE(vues.insert({l.composant, l.propriete}).second) << l.composant;
    EXPECT_FALSE(l.anglais.empty()) << l.composant;
    EXPECT_FALSE(l.francais.empty()) << l.composant;
    // Single-byte texts with no control character (a stray line break would break a caption).
    for (std::string_view t : {l.anglais, l.francais})
      for (char c : t) EXPECT_GE(static_cast<unsigned char>(c), 32u) << l.composant;
    (l.propriete == Propriete::Caption ? captions : hints)++;
    EXPECT_EQ(Cherche_traduction(l.composant, l.propriete), &l);
  }
  EXPECT_EQ(captions, 42);
  EXPECT_EQ(hints, 32);
  EXPECT_EQ(Cherche_traduction("English1", Propriete::Caption), nullptr);
}

TEST(CaptionTable, TextsInEachLanguage) {
  autex::Langues langues;
  const Ligne_traduction* quit = Cherche_traduction("Quit", Propriete::Caption);
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(Texte_traduit(*quit, langues), "Quit");
  langues.Langue = 2;
  EXPECT_EQ(Texte_traduit(*quit, langues), "Quitte");
  // A language other than 1 and 2 gives empty texts, as the chooser does.
  langues.Langue = 3;
  EXPECT_EQ(Texte_traduit(*quit, langues), "");
}

TEST(CaptionTable, TwoLabelsEndWithASingleColon) {
  autex::Langues langues;
  for (const auto& l : Table_traduction_fiche_principale()) {
    const bool deux_points = (l.composant == "Label_vitesse_AUTEX" || l.composant == "Label_Autex");
    EXPECT_EQ(l.suffixe, deux_points ? ":" : "") << l.composant;
  }
  const Ligne_traduction* vitesse = Cherche_traduction("Label_vitesse_AUTEX", Propriete::Caption);
  ASSERT_NE(vitesse, nullptr);
  EXPECT_EQ(Texte_traduit(*vitesse, langues), "Transmission speed:");
  langues.Langue = 2;
  EXPECT_EQ(Texte_traduit(*vitesse, langues), "Vitesse de transmission:");
  EXPECT_EQ(Texte_traduit(*Cherche_traduction("Label_Autex", Propriete::Caption), langues),
            "Nombre de participants \xE0 la r\xE9union:");
}
