// Applying the image to the station's settings and gathering them back at Quit.
#include <gtest/gtest.h>

#include <filesystem>

#include "station/parametres.h"
#include "tests/station_params/station_params_support.h"

using namespace station;
using testsupport::Station;
namespace fs = std::filesystem;

namespace {
Reglages_station reglages_non_standard() {
  Reglages_station r;
  r.Choix_peau = 4;
  r.Vitesse_port = 9600;
  r.Nom_transceiver = "DRF1278DM";
  r.Mode_fonctionnement = "AUTEX";
  r.Pause_balise = 45;
  r.Vitesse_AUTEX = 171;
  r.Left = -8;
  r.Top = 1234;
  r.Synthese_vocale_active = 1;
  r.Index_voix = 3;
  r.Volume_voix = 0;
  r.Vitesse_voix = -10;
  r.NOMBRE_PARTICIPANTS = 7;
  r.ENVOI_SUR_CR = 1;
  r.PAS_HAUTEUR_2 = 9;
  r.PAS_HAUTEUR_4 = 100;
  r.PAS_HAUTEUR_7 = 20;
  r.PAS_HAUTEUR_13 = 26;
  r.TROIS_COLONNES_7 = 1;
  r.TROIS_COLONNES_13 = 1;
  r.COMPRESSION_FICHIER = 0;
  return r;
}

void expect_image_admissible(const Parametres& p) {
  ASSERT_EQ(p.Image_parametres.size(), 945u);
  for (int i = 1; i <= 945; ++i) EXPECT_TRUE(Valeur_admise(i, p.octet(i))) << "byte " << i << " = " << int(p.octet(i));
}
}  // namespace

TEST(ApplySettings, EachByteGivesItsSetting) {
  Station s;
  s.p.fixe_octet(3, 6);
  s.p.fixe_octet(4, 9);
  s.p.fixe_octet(5, 2);
  s.p.fixe_octet(8, 78);
  s.p.fixe_octet(27, 120);
  s.p.fixe_octet(76, 110);
  s.p.fixe_octet(77, 102);
  s.p.fixe_octet(78, 109);
  s.p.fixe_octet(79, 60);
  s.p.fixe_octet(780, 2);
  s.p.fixe_octet(781, 5);
  s.p.fixe_octet(782, 1);
  s.p.fixe_octet(783, 21);
  s.p.fixe_octet(934, 13);
  s.p.fixe_octet(936, 2);
  s.p.fixe_octet(938, 9);
  s.p.fixe_octet(939, 11);
  s.p.fixe_octet(940, 17);
  s.p.fixe_octet(941, 26);
  s.p.fixe_octet(942, 2);
  s.p.fixe_octet(943, 1);
  s.p.fixe_octet(945, 1);
  s.p.Reglages.Vitesse_AUTEX = 400;
  s.p.Applique_reglages();
  const Reglages_station& r = s.p.Reglages;
  EXPECT_EQ(r.Choix_peau, 6);
  EXPECT_EQ(r.Vitesse_port, 9600);
  EXPECT_EQ(r.Nom_transceiver, "DRF1278DM");
  EXPECT_EQ(r.Mode_fonctionnement, "AUTEX");
  EXPECT_EQ(r.Pause_balise, 600);
  EXPECT_EQ(r.Left, -8);
  EXPECT_EQ(r.Top, -150);
  EXPECT_EQ(r.Synthese_vocale_active, 1);
  EXPECT_EQ(r.Index_voix, 4);
  EXPECT_EQ(r.Volume_voix, 0);
  EXPECT_EQ(r.Vitesse_voix, 10);
  EXPECT_EQ(r.NOMBRE_PARTICIPANTS, 2);  // every start has 2 participants
  EXPECT_EQ(r.ENVOI_SUR_CR, 1);
  EXPECT_EQ(r.PAS_HAUTEUR_2, 9);
  EXPECT_EQ(r.PAS_HAUTEUR_4, 11);
  EXPECT_EQ(r.PAS_HAUTEUR_7, 17);
  EXPECT_EQ(r.PAS_HAUTEUR_13, 26);
  EXPECT_EQ(r.TROIS_COLONNES_7, 1);
  EXPECT_EQ(r.TROIS_COLONNES_13, 0);
  EXPECT_EQ(r.COMPRESSION_FICHIER, 0);
  EXPECT_EQ(r.Vitesse_AUTEX, 400);  // not read back from byte 66

  s.p.fixe_octet(783, 1);
  s.p.fixe_octet(780, 1);
  s.p.fixe_octet(4, 1);
  s.p.fixe_octet(5, 1);
  s.p.Applique_reglages();
  EXPECT_EQ(s.p.Reglages.Vitesse_voix, -10);
  EXPECT_EQ(s.p.Reglages.Synthese_vocale_active, 0);
  EXPECT_EQ(s.p.Reglages.Vitesse_port, 1200);
  EXPECT_EQ(s.p.Reglages.Nom_transceiver, "");
}

TEST(ApplySettings, ModeByteNamingNeitherMode) {
  Station s;
  s.p.fixe_octet(8, 50);
  s.p.Reglages.Mode_fonctionnement = "AUTEX";
  s.p.Applique_reglages();
  EXPECT_EQ(s.p.Reglages.Mode_fonctionnement, "AUTEX");  // left as it was
  s.p.Reglages.Mode_fonctionnement = "";
  s.p.Applique_reglages();
  EXPECT_EQ(s.p.Reglages.Mode_fonctionnement, "ASCII");  // a mode is always set
  s.p.fixe_octet(8, 31);
  s.p.Reglages.Mode_fonctionnement = "AUTEX";
  s.p.Applique_reglages();
  EXPECT_EQ(s.p.Reglages.Mode_fonctionnement, "ASCII");
}

TEST(GatherSettings, WindowPositionAsTwoByteNumbers) {
  Station s;
  s.p.Reglages.Left = -8;
  s.p.Reglages.Top = 25000;
  s.p.Rassemble_reglages();
  EXPECT_EQ(s.p.octet(76), 110);
  EXPECT_EQ(s.p.octet(77), 102);
  EXPECT_EQ(s.p.octet(78), 210);
  EXPECT_EQ(s.p.octet(79), 110);
  s.p.Applique_reglages();
  EXPECT_EQ(s.p.Reglages.Left, -8);
  EXPECT_EQ(s.p.Reglages.Top, 10000);
}

TEST(GatherSettings, GatheringThenLoadingGivesTheSameSettings) {
  Station s;
  s.p.Lecture_parametres();
  s.p.Reglages = reglages_non_standard();
  ASSERT_TRUE(s.p.Sauve_parametres_CONF_COM(Textes_libres{}));

  Station relue;
  relue.p.Repertoire = s.dir.path().string();
  relue.p.Lecture_parametres();
  relue.p.Applique_reglages();
  EXPECT_TRUE(relue.hote.erreurs.empty());
  Reglages_station attendu = reglages_non_standard();
  // Every start has 2 participants and the AUTEX speed 1200; the file holds what was in force.
  attendu.NOMBRE_PARTICIPANTS = 2;
  attendu.Vitesse_AUTEX = 1200;
  EXPECT_TRUE(relue.p.Reglages == attendu);
  EXPECT_EQ(relue.p.octet(934), 7);
  EXPECT_EQ(relue.p.octet(66), 3);
}

TEST(GatherSettings, UnchangedSpeedsAndNamesLeaveTheirBytes) {
  Station s;
  s.p.fixe_octet(4, 9);
  s.p.fixe_octet(5, 2);
  s.p.fixe_octet(8, 50);
  s.p.fixe_octet(66, 2);
  s.p.Reglages.Vitesse_port = 4800;
  s.p.Reglages.Nom_transceiver = "another";
  s.p.Reglages.Mode_fonctionnement = "";
  s.p.Reglages.Vitesse_AUTEX = 300;
  s.p.Rassemble_reglages();
  EXPECT_EQ(s.p.octet(4), 9);
  EXPECT_EQ(s.p.octet(5), 2);
  EXPECT_EQ(s.p.octet(8), 50);
  EXPECT_EQ(s.p.octet(66), 2);
}

TEST(GatherSettings, EveryGatheredByteIsOneTheLoaderAccepts) {
  Station s;
  s.p.Lecture_parametres();
  Reglages_station& r = s.p.Reglages;
  r.Choix_peau = 0;
  r.Pause_balise = 0;
  r.Index_voix = 255;  // no voice installed
  r.Volume_voix = 200;
  r.Vitesse_voix = -100;
  r.NOMBRE_PARTICIPANTS = 3;
  r.PAS_HAUTEUR_2 = 8;  // 160 pixels
  r.PAS_HAUTEUR_4 = 0;
  r.PAS_HAUTEUR_7 = 255;
  r.PAS_HAUTEUR_13 = 25;
  r.Left = -30000;
  r.Top = 30000;
  ASSERT_TRUE(s.p.Sauve_parametres_CONF_COM(Textes_libres{}));
  expect_image_admissible(s.p);
  EXPECT_EQ(s.p.octet(3), 1);
  EXPECT_EQ(s.p.octet(27), 1);
  EXPECT_EQ(s.p.octet(781), 1);  // the first voice
  EXPECT_EQ(s.p.octet(782), 101);
  EXPECT_EQ(s.p.octet(783), 1);
  EXPECT_EQ(s.p.octet(934), 2);
  EXPECT_EQ(s.p.octet(938), 9);
  EXPECT_EQ(s.p.octet(939), 11);
  EXPECT_EQ(s.p.octet(940), 100);
  EXPECT_EQ(s.p.octet(941), 26);

  // Many voices, a long pause, a large skin number.
  r.Index_voix = 40;
  r.Pause_balise = 5000;
  r.Choix_peau = 9;
  r.Vitesse_voix = 100;
  ASSERT_TRUE(s.p.Sauve_parametres_CONF_COM(Textes_libres{}));
  expect_image_admissible(s.p);
  EXPECT_EQ(s.p.octet(781), 20);
  EXPECT_EQ(s.p.octet(27), 120);
  EXPECT_EQ(s.p.octet(3), 6);
  EXPECT_EQ(s.p.octet(783), 21);

  // The next start finds nothing altered.
  Station relue;
  relue.p.Repertoire = s.dir.path().string();
  relue.p.Lecture_parametres();
  EXPECT_TRUE(relue.hote.erreurs.empty());
  EXPECT_FALSE(fs::exists(s.dir.file("CONF_COM.ERR")));
}

TEST(GatherSettings, WritingNeverSavesARejectedByte) {
  Station s;
  s.p.Lecture_parametres();
  s.p.fixe_octet(252, 7);  // never written by the port menus, but should it be
  s.p.fixe_octet(1, 0);
  ASSERT_TRUE(s.p.Ecrire_CONF_COM_SER());
  const std::string fichier = s.dir.read("CONF_COM.SER");
  ASSERT_EQ(fichier.size(), 945u);
  EXPECT_EQ(uint8_t(fichier[252 - 1]), 10);
  EXPECT_EQ(uint8_t(fichier[1 - 1]), 1);
  EXPECT_TRUE(fichier == s.p.Image_parametres);
}

TEST(PanelHeights, LimitsAgreeWithTheStoredSteps) {
  EXPECT_EQ(Hauteur_minimale_panneau(2), 180);
  EXPECT_EQ(Hauteur_minimale_panneau(4), 220);
  EXPECT_EQ(Hauteur_minimale_panneau(7), 340);
  EXPECT_EQ(Hauteur_minimale_panneau(13), 520);
  for (int n : {2, 4, 7, 13}) {
    EXPECT_EQ(Hauteur_maximale_panneau(n), 2000);
    EXPECT_TRUE(Valeur_admise(Octet_pas_hauteur(n), uint8_t(Hauteur_minimale_panneau(n) / 20)));
    EXPECT_TRUE(Valeur_admise(Octet_pas_hauteur(n), uint8_t(Hauteur_maximale_panneau(n) / 20)));
    EXPECT_FALSE(Valeur_admise(Octet_pas_hauteur(n), uint8_t(Hauteur_minimale_panneau(n) / 20 - 1)));
  }
  EXPECT_EQ(Octet_pas_hauteur(3), 0);
  EXPECT_EQ(Hauteur_minimale_panneau(3), 0);
}
