// Loading and validating "CONF_COM.SER", the post-load step, the language switch and the buttons of the
// "Parameters" group.
#include "station/parametres.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "autex/traitement_chaines.h"
#include "tests/station_params/station_params_support.h"

using namespace station;
using testsupport::Station;
namespace fs = std::filesystem;

namespace {
const std::string ALTERE_EN = "The file CONF_COM.SER is altered, so standard parameters.";
const std::string PLUSIEURS_EN =
    "Several parameters are altered (listed below). They are replaced by standard parameters.";

std::vector<std::string> lignes(const std::string& texte) {
  std::vector<std::string> r;
  for (int i = 1; i < autex::NOMBRE_DE_LIGNES(texte); ++i) {
    std::string l;
    autex::LIGNE_NUMERO(l, texte, i);
    r.push_back(l);
  }
  return r;
}

// The checked bytes whose allowed values leave room for a bad one (0 is bad for all but byte 281).
std::vector<int> octets_a_alterer(size_t n) {
  std::vector<int> r;
  for (int i = 30; r.size() < n; i += 7)
    if (Octet_verifie(i) && i != 281) r.push_back(i);
  return r;
}

std::string standard_avec_langue(Station& s, uint8_t langue) {
  std::string image = s.p.Image_standard;
  image[0] = char(langue);
  return image;
}
}  // namespace

TEST(LoadParameters, MissingFileTakesTheStandardImageAndTheSystemLanguage) {
  for (const auto& [identifiant, langue] : std::vector<std::pair<uint16_t, uint8_t>>{{1036, 2}, {2060, 1}, {3084, 1},
                                                                                      {1033, 1}}) {
    Station s;
    s.hote.langue_systeme = identifiant;
    s.p.Lecture_parametres();
    EXPECT_TRUE(s.p.Image_parametres == standard_avec_langue(s, langue)) << identifiant;
    EXPECT_EQ(s.langues.Langue, langue);
    // The file is written with the image.
    EXPECT_TRUE(s.dir.read("CONF_COM.SER") == s.p.Image_parametres);
    EXPECT_TRUE(s.hote.erreurs.empty());
    EXPECT_FALSE(fs::exists(s.dir.file("CONF_COM.ERR")));
    EXPECT_TRUE(s.hote.a_appele("Detection_ports_serie"));
  }
}

TEST(LoadParameters, StandardRequestIgnoresTheFileKeepsEnglishAndIsConsumed) {
  Station s;
  s.hote.langue_systeme = 1036;
  s.dir.write("CONF_COM.SER", std::string(945, '\x07'));
  s.p.Remise_parametres_standard = 1;
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.p.Image_parametres == s.p.Image_standard);
  EXPECT_EQ(s.p.octet(1), 1);
  EXPECT_EQ(s.p.Remise_parametres_standard, 0);
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == s.p.Image_standard);
  EXPECT_TRUE(s.hote.erreurs.empty());
}

TEST(LoadParameters, ValidFileIsTakenAsItIsWithItsOwnLanguage) {
  Station s;
  s.hote.langue_systeme = 1033;
  std::string image = s.image_valide();
  image[0] = 2;
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.p.Image_parametres == image);
  EXPECT_EQ(s.langues.Langue, 2);
  EXPECT_TRUE(s.hote.erreurs.empty());
  EXPECT_FALSE(fs::exists(s.dir.file("CONF_COM.ERR")));
  EXPECT_EQ(s.p.Nombre_parametres_errones, 0);
}

TEST(LoadParameters, NulBytesOfTheImageAreKept) {
  Station s;
  std::string image = s.image_valide();
  image[15 - 1] = 0;
  image[20 - 1] = 0;
  ASSERT_EQ(image[281 - 1], 0);
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.p.Image_parametres == image);
  EXPECT_TRUE(s.hote.erreurs.empty());
  // And they are written back whole.
  ASSERT_TRUE(s.p.Ecrire_CONF_COM_SER());
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == image);
}

TEST(LoadParameters, FilesShorterThan100BytesGiveTheStandardImage) {
  for (size_t n : {size_t(0), size_t(1), size_t(99)}) {
    Station s;
    s.hote.langue_systeme = 1036;
    const std::string contenu = s.image_valide().substr(0, n);
    s.dir.write("CONF_COM.SER", contenu);
    s.p.Lecture_parametres();
    EXPECT_TRUE(s.p.Image_parametres == standard_avec_langue(s, 2)) << n;
    ASSERT_EQ(s.hote.erreurs.size(), 1u) << n;
    EXPECT_EQ(s.hote.erreurs[0], ALTERE_EN);
    EXPECT_EQ(s.langues.Langue, 2);
    EXPECT_TRUE(s.hote.a_appele("Detection_ports_serie"));
    // Nothing was checked, nothing listed; the file itself is left for the next save.
    EXPECT_FALSE(fs::exists(s.dir.file("CONF_COM.ERR")));
    EXPECT_TRUE(s.dir.read("CONF_COM.SER") == contenu);
  }
}

TEST(LoadParameters, FilesOf100To944BytesAreCompletedFromTheStandardImage) {
  for (size_t n : {size_t(100), size_t(500), size_t(944)}) {
    Station s;
    const std::string image = s.image_valide();
    s.dir.write("CONF_COM.SER", image.substr(0, n));
    s.p.Lecture_parametres();
    ASSERT_EQ(s.p.Image_parametres.size(), 945u);
    EXPECT_TRUE(s.p.Image_parametres.substr(0, n) == image.substr(0, n)) << n;
    EXPECT_TRUE(s.p.Image_parametres.substr(n) == s.p.Image_standard.substr(n)) << n;
    EXPECT_TRUE(s.hote.erreurs.empty()) << n;
  }
}

TEST(LoadParameters, A500ByteFileIsCheckedAsAWhole) {
  Station s;
  s.hote.langue_systeme = 1036;
  std::string contenu = s.image_valide().substr(0, 500);
  contenu[300 - 1] = 9;  // allowed 1..3
  s.dir.write("CONF_COM.SER", contenu);
  s.p.Lecture_parametres();
  EXPECT_EQ(s.p.octet(300), uint8_t(s.p.Image_standard[300 - 1]));
  EXPECT_EQ(s.p.octet(3), 5);  // a good byte of the file is kept
  EXPECT_EQ(s.dir.read("CONF_COM.ERR"), "300 9\r\n");
  ASSERT_EQ(s.hote.erreurs.size(), 1u);
  EXPECT_EQ(s.hote.erreurs[0], PLUSIEURS_EN + "\r\n300 9\r\n");
  EXPECT_EQ(s.p.octet(1), 2);  // the language from the system after an altered byte
}

TEST(LoadParameters, FilesOf945And946BytesAreCheckedOnTheirFirst945) {
  Station s945;
  const std::string image = s945.image_valide();
  s945.dir.write("CONF_COM.SER", image);
  s945.p.Lecture_parametres();
  EXPECT_TRUE(s945.p.Image_parametres == image);
  EXPECT_TRUE(s945.hote.erreurs.empty());

  Station s946;
  std::string longue = image + '\xFF';
  longue[945 - 1] = 7;  // allowed 1..2
  s946.dir.write("CONF_COM.SER", longue);
  s946.p.Lecture_parametres();
  ASSERT_EQ(s946.p.Image_parametres.size(), 945u);
  EXPECT_EQ(s946.p.octet(945), uint8_t(s946.p.Image_standard[945 - 1]));
  EXPECT_TRUE(s946.p.Image_parametres.substr(0, 944) == image.substr(0, 944));
  EXPECT_EQ(s946.dir.read("CONF_COM.ERR"), "945 7\r\n");

  // A much longer file is still only read on its first bytes.
  Station grand;
  grand.dir.write("CONF_COM.SER", image + std::string(200000, '\x01'));
  grand.p.Lecture_parametres();
  EXPECT_TRUE(grand.p.Image_parametres == image);
  EXPECT_TRUE(grand.hote.erreurs.empty());
}

TEST(LoadParameters, ThirtyAlteredBytesAreReplacedOneByOne) {
  Station s;
  s.hote.langue_systeme = 1036;
  const std::string bon = s.image_valide();
  std::string image = bon;
  // Byte 6, checked right after byte 19, and 29 bytes above it: 30 altered bytes.
  std::vector<int> ordre = {6};
  for (int i : octets_a_alterer(29)) ordre.push_back(i);
  for (int i : ordre) image[size_t(i - 1)] = 0;
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();

  const auto liste = lignes(s.dir.read("CONF_COM.ERR"));
  ASSERT_EQ(liste.size(), 30u);
  for (size_t k = 0; k < liste.size(); ++k) EXPECT_EQ(liste[k], std::to_string(ordre[k]) + " 0");
  for (int i = 2; i <= 945; ++i) {
    const bool altere = std::find(ordre.begin(), ordre.end(), i) != ordre.end();
    EXPECT_EQ(s.p.octet(i), uint8_t(altere ? s.p.Image_standard[size_t(i - 1)] : bon[size_t(i - 1)])) << i;
  }
  EXPECT_EQ(s.p.octet(1), 2);
  ASSERT_EQ(s.hote.erreurs.size(), 1u);
  EXPECT_EQ(s.hote.erreurs[0], PLUSIEURS_EN + "\r\n" + s.dir.read("CONF_COM.ERR"));
  // The corrected image is not written back by the load.
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == image);
  EXPECT_EQ(s.p.Nombre_parametres_errones, 0);
  EXPECT_TRUE(s.p.Liste_parametres_errones.empty());
}

TEST(LoadParameters, ThirtyOneAlteredBytesReplaceTheWholeImage) {
  Station s;
  s.hote.langue_systeme = 1033;
  std::string image = s.image_valide();
  image[0] = 2;
  const auto alteres = octets_a_alterer(31);
  for (int i : alteres) image[size_t(i - 1)] = 0;
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.p.Image_parametres == s.p.Image_standard);
  EXPECT_EQ(s.langues.Langue, 1);
  const auto liste = lignes(s.dir.read("CONF_COM.ERR"));
  ASSERT_EQ(liste.size(), 31u);
  for (size_t k = 0; k < liste.size(); ++k) EXPECT_EQ(liste[k], std::to_string(alteres[k]) + " 0");
  ASSERT_EQ(s.hote.erreurs.size(), 1u);
  EXPECT_EQ(s.hote.erreurs[0], ALTERE_EN);
}

TEST(LoadParameters, ErrorListFollowsTheCheckOrder) {
  {
    Station s;
    std::string image = s.image_valide();
    image[25 - 1] = 1;  // allowed 11..34
    image[6 - 1] = 9;   // allowed 1..3
    s.dir.write("CONF_COM.SER", image);
    s.p.Lecture_parametres();
    EXPECT_EQ(s.dir.read("CONF_COM.ERR"), "6 9\r\n25 1\r\n");
  }
  {
    Station s;
    std::string image = s.image_valide();
    image[7 - 1] = 200;
    image[25 - 1] = 1;
    s.dir.write("CONF_COM.SER", image);
    s.p.Lecture_parametres();
    EXPECT_EQ(s.dir.read("CONF_COM.ERR"), "25 1\r\n7 200\r\n");
  }
}

TEST(LoadParameters, MessagesComeInTheChoosersLanguage) {
  Station s;
  s.langues.Langue = 2;
  std::string image = s.image_valide();
  image[35 - 1] = char(151);
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  ASSERT_EQ(s.hote.erreurs.size(), 1u);
  EXPECT_EQ(s.hote.erreurs[0],
            "Quelques param\xE8tres sont alt\xE9r\xE9s (list\xE9s ci-dessous). Ils sont remplac\xE9s par des "
            "param\xE8tres standard.\r\n35 151\r\n");
}

TEST(LoadParameters, UnreadableFileGivesTheStandardImage) {
  Station s;
  s.hote.langue_systeme = 1036;
  fs::create_directory(s.dir.file("CONF_COM.SER"));
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.p.Image_parametres == standard_avec_langue(s, 2));
  ASSERT_EQ(s.hote.erreurs.size(), 2u);
  EXPECT_NE(s.hote.erreurs[0].find("CONF_COM.SER"), std::string::npos);  // the read failure, with the name
  EXPECT_EQ(s.hote.erreurs[1], ALTERE_EN);
  EXPECT_TRUE(s.hote.a_appele("Detection_ports_serie"));
}

TEST(PostLoadStep, RunsItsStepsInOrderAndOpensTheTestedPort) {
  Station s;
  std::string image = s.image_valide();  // COM9
  image[4 - 1] = 9;                      // 9600 baud
  image[5 - 1] = 2;                      // DRF1278DM
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  EXPECT_EQ(s.hote.journal,
            (std::vector<std::string>{"Detection_ports_serie", "Applique_langue", "Coche_vitesse_port",
                                      "Construit_menus_ports_serie", "Tester_port_serie",
                                      "Ouverture_port_transceiver 9600"}));
  EXPECT_EQ(s.p.Reglages.Vitesse_port, 9600);
  EXPECT_EQ(s.p.Reglages.Nom_transceiver, "DRF1278DM");
  // The chooser has the language of byte 1 when the window applies it.
  EXPECT_EQ(s.hote.langue_a_l_appel, std::vector<uint8_t>{1});
}

TEST(PostLoadStep, FailedTestLeavesThePortClosed) {
  Station s;
  s.hote.test_port_reussit = false;
  s.dir.write("CONF_COM.SER", s.image_valide());
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.hote.a_appele("Port_ferme"));
  EXPECT_FALSE(s.hote.port_ouvert);
  for (const auto& j : s.hote.journal) EXPECT_NE(j.rfind("Ouverture_port_transceiver", 0), 0u);
}

TEST(PostLoadStep, NoPortOpensNothingWhateverAnEarlierTestSaid) {
  Station s;
  s.hote.test_port_reussit = true;  // a port test would succeed
  s.hote.port_ouvert = true;        // and the port was open
  std::string image = s.image_valide();
  image[252 - 1] = 10;
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  EXPECT_TRUE(s.hote.a_appele("Pas_de_port_selectionne"));
  EXPECT_FALSE(s.hote.a_appele("Tester_port_serie"));
  EXPECT_FALSE(s.hote.port_ouvert);
  EXPECT_EQ(s.hote.label_info, "No selected serial port.");
  for (const auto& j : s.hote.journal) EXPECT_NE(j.rfind("Ouverture_port_transceiver", 0), 0u);
}

TEST(PortCodes, CodesAndComNumbers) {
  EXPECT_EQ(Numero_port_du_code(10), 0);
  EXPECT_EQ(Numero_port_du_code(7), 0);
  EXPECT_EQ(Numero_port_du_code(0), 0);
  EXPECT_EQ(Numero_port_du_code(43), 0);
  EXPECT_EQ(Numero_port_du_code(6), 6);
  EXPECT_EQ(Numero_port_du_code(8), 7);
  EXPECT_EQ(Numero_port_du_code(9), 8);
  EXPECT_EQ(Numero_port_du_code(11), 9);
  EXPECT_EQ(Numero_port_du_code(42), 40);
  EXPECT_EQ(Code_du_port(9), 11);
  EXPECT_EQ(Code_du_port(0), CODE_AUCUN_PORT);
  EXPECT_EQ(Code_du_port(41), CODE_AUCUN_PORT);
  for (int n = 1; n <= 40; ++n) {
    EXPECT_EQ(Numero_port_du_code(Code_du_port(n)), n);
    EXPECT_TRUE(Valeur_admise(252, Code_du_port(n)));
  }
  // Every code that names a port passes the check, and every code that passes names a port or is 10.
  for (int c = 0; c <= 255; ++c)
    EXPECT_EQ(Valeur_admise(252, uint8_t(c)), Numero_port_du_code(uint8_t(c)) != 0 || c == 10) << c;
}

TEST(Language, SwitchWritesTheImageAndAppliesTheLanguage) {
  Station s;
  s.p.Lecture_parametres();
  s.hote.journal.clear();
  s.hote.langue_a_l_appel.clear();
  s.p.Change_langue(2);
  EXPECT_EQ(s.langues.Langue, 2);
  EXPECT_EQ(s.hote.langue_a_l_appel, std::vector<uint8_t>{2});
  EXPECT_EQ(uint8_t(s.dir.read("CONF_COM.SER")[0]), 2);
  s.p.Change_langue(1);
  EXPECT_EQ(uint8_t(s.dir.read("CONF_COM.SER")[0]), 1);
  EXPECT_EQ(s.langues.Langue, 1);
}

TEST(Language, PortStatusLeavesAnOpenPortOpen) {
  Station s;
  s.p.fixe_octet(252, 11);
  s.hote.port_ouvert = true;
  s.p.Etat_port_apres_langue();
  EXPECT_TRUE(s.hote.port_ouvert);
  EXPECT_EQ(s.hote.journal, (std::vector<std::string>{"Tester_port_serie", "Ouverture_port_transceiver 1200"}));

  // A closed port is only tested.
  s.hote.journal.clear();
  s.hote.port_ouvert = false;
  s.p.Etat_port_apres_langue();
  EXPECT_FALSE(s.hote.port_ouvert);
  EXPECT_EQ(s.hote.journal, std::vector<std::string>{"Tester_port_serie"});

  // A failing test closes it.
  s.hote.journal.clear();
  s.hote.port_ouvert = true;
  s.hote.test_port_reussit = false;
  s.p.Etat_port_apres_langue();
  EXPECT_FALSE(s.hote.port_ouvert);
  EXPECT_EQ(s.hote.journal, (std::vector<std::string>{"Tester_port_serie", "Port_ferme"}));

  // No port: cleared, in the language of the chooser.
  s.hote.journal.clear();
  s.langues.Langue = 2;
  s.p.fixe_octet(252, 10);
  s.p.Etat_port_apres_langue();
  EXPECT_EQ(s.hote.journal, std::vector<std::string>{"Pas_de_port_selectionne"});
  EXPECT_EQ(s.hote.label_info, "Pas de port s\xE9rie s\xE9lectionn\xE9.");
}

TEST(StandardParameters, NoLeavesNothingPending) {
  Station s;
  const std::string image = s.image_valide();
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  s.hote.journal.clear();
  s.hote.reponse_oui = false;
  s.p.PARAMETRES_STANDARDClick();
  EXPECT_EQ(s.hote.questions, std::vector<std::string>{"Are you sure?"});
  EXPECT_EQ(s.p.Remise_parametres_standard, 0);
  EXPECT_TRUE(s.p.Image_parametres == image);
  EXPECT_TRUE(s.hote.journal.empty());
  // Loading the backup afterwards takes the backup, not the standard image.
  s.dir.write("CONF_COM.BAK", image);
  s.p.Charge_parametresClick();
  EXPECT_TRUE(s.p.Image_parametres == image);
}

TEST(StandardParameters, YesLoadsWritesAndAppliesTheStandardImage) {
  Station s;
  s.hote.langue_systeme = 1036;
  s.dir.write("CONF_COM.SER", s.image_valide());
  s.p.Lecture_parametres();
  s.p.Applique_reglages();
  ASSERT_EQ(s.p.Reglages.Choix_peau, 5);
  s.hote.journal.clear();
  s.p.PARAMETRES_STANDARDClick();
  EXPECT_TRUE(s.p.Image_parametres == s.p.Image_standard);  // English: no language from the system here
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == s.p.Image_standard);
  EXPECT_EQ(s.p.Remise_parametres_standard, 0);
  EXPECT_EQ(s.p.Reglages.Choix_peau, 2);
  EXPECT_EQ(s.hote.journal.back(), "Applique_parametres");
  EXPECT_TRUE(s.hote.a_appele("Detection_ports_serie"));
}

TEST(Backup, SaveWritesTheImageAsItStands) {
  Station s;
  s.dir.write("CONF_COM.SER", s.image_valide());
  s.p.Lecture_parametres();
  s.p.Reglages.Choix_peau = 3;  // a change not yet gathered
  s.p.Sauve_parametresClick();
  EXPECT_TRUE(s.dir.read("CONF_COM.BAK") == s.image_valide());
  EXPECT_EQ(s.hote.informations, std::vector<std::string>{"Parameters recording done in the CONF_COM.BAK file"});
  EXPECT_TRUE(s.hote.erreurs.empty());
}

TEST(Backup, FailedSaveIsNotReportedAsDone) {
  Station s;
  s.p.Lecture_parametres();
  s.dir.write("CONF_COM.BAK", "earlier backup");
  fs::create_directory(s.dir.file("CONF_COM.BAK.tmp"));  // the temporary file cannot be made
  s.p.Sauve_parametresClick();
  EXPECT_TRUE(s.hote.informations.empty());
  ASSERT_EQ(s.hote.erreurs.size(), 1u);
  EXPECT_NE(s.hote.erreurs[0].find("CONF_COM.BAK"), std::string::npos);
  EXPECT_EQ(s.dir.read("CONF_COM.BAK"), "earlier backup");
}

TEST(Backup, LoadWithoutBackupChangesNothing) {
  Station s;
  const std::string image = s.image_valide();
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  s.hote.journal.clear();
  s.p.Charge_parametresClick();
  EXPECT_EQ(s.hote.erreurs, std::vector<std::string>{"No recording file CONF_COM.BAK!"});
  EXPECT_TRUE(s.hote.informations.empty());
  EXPECT_TRUE(s.p.Image_parametres == image);
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == image);
  EXPECT_TRUE(s.hote.journal.empty());
}

TEST(Backup, LoadCopiesTheBackupAndValidatesIt) {
  Station s;
  s.p.Lecture_parametres();  // standard
  std::string sauvegarde = s.image_valide();
  sauvegarde[4 - 1] = 9;
  s.dir.write("CONF_COM.BAK", sauvegarde);
  s.hote.journal.clear();
  s.p.Charge_parametresClick();
  EXPECT_EQ(s.hote.informations,
            std::vector<std::string>{"Taken into account of the parameters recording file CONF_COM.BAK."});
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == sauvegarde);
  EXPECT_TRUE(s.p.Image_parametres == sauvegarde);
  // The post-load step ran (port speed and COM port take effect); the window is not re-applied.
  EXPECT_EQ(s.p.Reglages.Vitesse_port, 9600);
  EXPECT_TRUE(s.hote.a_appele("Ouverture_port_transceiver 9600"));
  EXPECT_FALSE(s.hote.a_appele("Applique_parametres"));
}

TEST(Backup, UnreadableBackupLeavesTheParameterFile) {
  Station s;
  const std::string image = s.image_valide();
  s.dir.write("CONF_COM.SER", image);
  s.p.Lecture_parametres();
  fs::create_directory(s.dir.file("CONF_COM.BAK"));
  s.p.Charge_parametresClick();
  EXPECT_FALSE(s.hote.erreurs.empty());
  EXPECT_TRUE(s.dir.read("CONF_COM.SER") == image);
  EXPECT_TRUE(s.p.Image_parametres == image);
}

TEST(Backup, DamagedBackupIsRefusedAndTheSettingsStay) {
  const std::string ALTEREE_EN =
      "The file CONF_COM.BAK is altered: it is not taken into account and the current parameters are kept.";
  const std::string ALTEREE_FR =
      "Le fichier CONF_COM.BAK est alt\xE9r\xE9 : il n'est pas pris en compte et les param\xE8tres actuels sont "
      "conserv\xE9s.";
  struct Cas {
    const char* nom;
    std::string octets;
    uint8_t langue;
  };
  const Cas cas[] = {{"empty", "", 1},
                     {"50 bytes", std::string(50, '\x01'), 1},
                     {"945 zero bytes", std::string(945, '\0'), 1},
                     {"945 bytes 0xFF", std::string(945, '\xFF'), 2}};
  for (const Cas& c : cas) {
    SCOPED_TRACE(c.nom);
    Station s;
    std::string image = s.image_valide();
    image[0] = char(c.langue);
    image[4 - 1] = 9;  // the user's own settings
    s.dir.write("CONF_COM.SER", image);
    s.p.Lecture_parametres();
    ASSERT_TRUE(s.p.Image_parametres == image);
    s.dir.write("CONF_COM.BAK", c.octets);
    s.hote.journal.clear();
    s.p.Charge_parametresClick();
    EXPECT_EQ(s.hote.erreurs, std::vector<std::string>{c.langue == 1 ? ALTEREE_EN : ALTEREE_FR});
    EXPECT_TRUE(s.hote.informations.empty());
    EXPECT_TRUE(s.dir.read("CONF_COM.SER") == image);
    EXPECT_TRUE(s.p.Image_parametres == image);
    EXPECT_TRUE(s.hote.journal.empty());  // nothing reloaded, no port touched
    // Quit then saves the settings in force, not the standard ones.
    ASSERT_TRUE(s.p.Sauve_parametres_CONF_COM(Textes_libres{}));
    EXPECT_EQ(uint8_t(s.dir.read("CONF_COM.SER")[4 - 1]), 9);
  }
}

TEST(Backup, BackupWithFewAlteredBytesIsLoadedAndRepaired) {
  Station s;
  s.p.Lecture_parametres();
  std::string sauvegarde = s.image_valide();
  sauvegarde[4 - 1] = 9;
  for (const int i : octets_a_alterer(30)) sauvegarde[size_t(i - 1)] = 0;
  s.dir.write("CONF_COM.BAK", sauvegarde);
  s.p.Charge_parametresClick();
  ASSERT_EQ(s.hote.informations.size(), 1u);
  ASSERT_EQ(s.hote.erreurs.size(), 1u);
  EXPECT_EQ(s.hote.erreurs[0].rfind(PLUSIEURS_EN, 0), 0u);
  EXPECT_EQ(s.p.Reglages.Vitesse_port, 9600);
}
