#include "station/table_parametres.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace station;

namespace {
std::vector<uint8_t> image_standard(Taille_ecran ecran) {
  std::vector<uint8_t> image;
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i) image.push_back(Valeur_standard(i, ecran));
  return image;
}
}  // namespace

TEST(ParameterTable, StandardImagePassesEveryCheckOnAnyScreen) {
  for (const Taille_ecran ecran : {Taille_ecran{640, 480}, Taille_ecran{1920, 1080}, Taille_ecran{7680, 4320},
                                   Taille_ecran{30000, 20000}, Taille_ecran{0, 0}}) {
    const auto image = image_standard(ecran);
    for (int i = 1; i <= LONGUEUR_IMAGE; ++i)
      EXPECT_TRUE(Valeur_admise(i, image[size_t(i - 1)])) << "byte " << i << " screen " << ecran.largeur;
  }
}

TEST(ParameterTable, ScreenBytesHoldWidthAndHeightMinusOne) {
  const auto image = image_standard({1280, 1024});
  // 1279 -> 12 + 110, 79 + 110; 1023 -> 10 + 110, 23 + 110
  EXPECT_EQ(image[88 - 1], 122);
  EXPECT_EQ(image[89 - 1], 189);
  EXPECT_EQ(image[90 - 1], 120);
  EXPECT_EQ(image[91 - 1], 133);
  EXPECT_EQ(image[96 - 1], 122);
  EXPECT_EQ(image[97 - 1], 189);
  EXPECT_EQ(Decoder_coordonnee(image[88 - 1], image[89 - 1]), 1279);
  EXPECT_EQ(Decoder_coordonnee(image[90 - 1], image[91 - 1]), 1023);
  // Nothing else depends on the screen.
  const auto autre = image_standard({800, 600});
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i) {
    if (i < 88 || (i > 91 && i != 96 && i != 97)) {
      EXPECT_EQ(image[size_t(i - 1)], autre[size_t(i - 1)]) << i;
    }
  }
}

TEST(ParameterTable, StandardValuesOfTheSettingsTheStationUses) {
  const auto image = image_standard({1024, 768});
  const std::vector<std::pair<int, int>> attendus = {
      {1, 1},    {3, 2},     {4, 1},   {5, 1},   {8, 31},  {27, 1},  {66, 1},   {76, 110}, {77, 110},
      {78, 110}, {79, 110},  {252, 10}, {780, 1}, {781, 1}, {782, 101}, {783, 11}, {934, 2}, {936, 1},
      {938, 16}, {939, 16},  {940, 37}, {941, 37}, {942, 1}, {943, 1}, {945, 2}};
  for (const auto& [i, v] : attendus) EXPECT_EQ(image[size_t(i - 1)], v) << "byte " << i;
}

TEST(ParameterTable, AllowedValuesOfSampleBytes) {
  // Port codes: 7 and 43 fail, 10 (no port) passes.
  EXPECT_FALSE(Valeur_admise(252, 7));
  EXPECT_FALSE(Valeur_admise(252, 43));
  EXPECT_FALSE(Valeur_admise(252, 0));
  EXPECT_TRUE(Valeur_admise(252, 10));
  EXPECT_TRUE(Valeur_admise(252, 6));
  EXPECT_TRUE(Valeur_admise(252, 8));
  EXPECT_TRUE(Valeur_admise(252, 42));
  // Range ends.
  EXPECT_FALSE(Valeur_admise(35, 151));
  EXPECT_TRUE(Valeur_admise(35, 150));
  EXPECT_TRUE(Valeur_admise(35, 50));
  EXPECT_FALSE(Valeur_admise(35, 49));
  EXPECT_FALSE(Valeur_admise(354, 201));
  EXPECT_TRUE(Valeur_admise(354, 200));
  // Single values and ranges mixed.
  EXPECT_TRUE(Valeur_admise(71, 8));
  EXPECT_FALSE(Valeur_admise(71, 7));
  EXPECT_TRUE(Valeur_admise(306, 103));
  EXPECT_FALSE(Valeur_admise(306, 101));
  // 0 passes only where it is allowed.
  EXPECT_TRUE(Valeur_admise(281, 0));
  EXPECT_FALSE(Valeur_admise(1, 0));
  // The AUTEX panel height steps.
  EXPECT_FALSE(Valeur_admise(938, 8));
  EXPECT_TRUE(Valeur_admise(938, 9));
  EXPECT_FALSE(Valeur_admise(941, 25));
  EXPECT_TRUE(Valeur_admise(941, 100));
  EXPECT_FALSE(Valeur_admise(941, 101));
}

TEST(ParameterTable, UncheckedBytesPassWithAnyValue) {
  for (int i : {15, 16, 17, 18, 20}) {
    EXPECT_FALSE(Octet_verifie(i));
    for (int v = 0; v <= 255; ++v) EXPECT_TRUE(Valeur_admise(i, uint8_t(v)));
  }
  int verifies = 0;
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i) verifies += Octet_verifie(i) ? 1 : 0;
  EXPECT_EQ(verifies, LONGUEUR_IMAGE - 5);
}

TEST(ParameterTable, CheckOrderPutsByte6AfterByte19AndByte7Last) {
  const auto ordre = Ordre_de_verification();
  ASSERT_EQ(ordre.size(), size_t(LONGUEUR_IMAGE - 5));
  const std::vector<uint16_t> debut(ordre.begin(), ordre.begin() + 16);
  EXPECT_EQ(debut, (std::vector<uint16_t>{1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14, 19, 6, 21, 22}));
  EXPECT_EQ(ordre.back(), 7);
  EXPECT_EQ(ordre[ordre.size() - 2], 945);
  // Every checked byte exactly once.
  std::set<int> vus(ordre.begin(), ordre.end());
  EXPECT_EQ(vus.size(), ordre.size());
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i) EXPECT_EQ(vus.count(i) == 1, Octet_verifie(i)) << i;
  // Ascending apart from 6 and 7.
  std::vector<uint16_t> reste;
  for (uint16_t i : ordre)
    if (i != 6 && i != 7) reste.push_back(i);
  EXPECT_TRUE(std::is_sorted(reste.begin(), reste.end()));
}

TEST(ParameterTable, NearestAllowedValue) {
  EXPECT_EQ(Valeur_admise_la_plus_proche(938, 8), 9);       // 160 pixels for 2 participants
  EXPECT_EQ(Valeur_admise_la_plus_proche(938, 250), 100);
  EXPECT_EQ(Valeur_admise_la_plus_proche(938, 50), 50);
  EXPECT_EQ(Valeur_admise_la_plus_proche(781, 0), 1);
  EXPECT_EQ(Valeur_admise_la_plus_proche(781, 21), 20);
  EXPECT_EQ(Valeur_admise_la_plus_proche(781, -7), 1);
  EXPECT_EQ(Valeur_admise_la_plus_proche(781, 4000), 20);
  EXPECT_EQ(Valeur_admise_la_plus_proche(934, 3), 2);   // as near to 2 as to 4: the lower
  EXPECT_EQ(Valeur_admise_la_plus_proche(934, 6), 7);
  EXPECT_EQ(Valeur_admise_la_plus_proche(934, 10), 7);
  EXPECT_EQ(Valeur_admise_la_plus_proche(934, 12), 13);
  EXPECT_EQ(Valeur_admise_la_plus_proche(934, 0), 2);
  EXPECT_EQ(Valeur_admise_la_plus_proche(252, 7), 6);
  EXPECT_EQ(Valeur_admise_la_plus_proche(252, 200), 42);
  EXPECT_EQ(Valeur_admise_la_plus_proche(15, 0), 0);    // not checked: kept
  // Whatever the value, the result passes.
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i)
    for (int v = -3; v <= 260; v += 7) EXPECT_TRUE(Valeur_admise(i, Valeur_admise_la_plus_proche(i, v))) << i;
}

TEST(TwoByteNumbers, Examples) {
  uint8_t a = 0, b = 0;
  Coder_coordonnee(-5, a, b);
  EXPECT_EQ(a, 110);
  EXPECT_EQ(b, 105);
  Coder_coordonnee(-150, a, b);
  EXPECT_EQ(a, 109);
  EXPECT_EQ(b, 60);
  Coder_coordonnee(0, a, b);
  EXPECT_EQ(a, 110);
  EXPECT_EQ(b, 110);
  Coder_coordonnee(-8, a, b);
  EXPECT_EQ(a, 110);
  EXPECT_EQ(b, 102);
  EXPECT_EQ(Decoder_coordonnee(a, b), -8);
  // Beyond the range the bytes are clamped into 10..210.
  Coder_coordonnee(25000, a, b);
  EXPECT_EQ(a, 210);
  EXPECT_EQ(b, 110);
  EXPECT_EQ(Decoder_coordonnee(a, b), 10000);
  Coder_coordonnee(-25000, a, b);
  EXPECT_EQ(a, 10);
  EXPECT_EQ(Decoder_coordonnee(a, b), -10000);
  EXPECT_EQ(Code_position(9), 10);
  EXPECT_EQ(Code_position(211), 210);
  EXPECT_EQ(Code_position(150), 150);
}

TEST(TwoByteNumbers, RoundTripOverTheWholeRange) {
  for (int v = -10000; v <= 10000; ++v) {
    uint8_t a = 0, b = 0;
    Coder_coordonnee(v, a, b);
    ASSERT_EQ(Decoder_coordonnee(a, b), v) << v;
    ASSERT_TRUE(a >= 10 && a <= 210 && b >= 10 && b <= 210) << v;
  }
}
