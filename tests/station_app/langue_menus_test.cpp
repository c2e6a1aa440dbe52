// The interface language on the whole main window, and the port, speed and transceiver menus.
#include "tests/station_app/rig.h"

#include "station/controle_transceiver.h"
#include "station/traduction_fiche_principale.h"

using namespace apptest;

namespace {

// What the main window shows for a row of the caption and hint table.
std::string Texte_affiche(station::FichePrincipale& f, const station::Ligne_traduction& ligne) {
  gui::TComponent* c = f.FindComponent(std::string(ligne.composant));
  if (auto* item = dynamic_cast<gui::TMenuItem*>(c))
    return ligne.propriete == station::Propriete::Caption ? item->Caption() : item->Hint();
  if (auto* controle = dynamic_cast<gui::TControl*>(c))
    return ligne.propriete == station::Propriete::Caption ? controle->Caption() : controle->Hint();
  ADD_FAILURE() << "no component " << ligne.composant;
  return std::string();
}

// The call-sign label is captioned again, after the table, with the AUTEX window's texts.
std::string Texte_attendu(const station::Ligne_traduction& ligne, const autex::Langues& langues) {
  if (std::string(ligne.composant) == "Label_Indicatif")
    return ligne.propriete == station::Propriete::Caption
               ? langues.TRADUCTION("Callsign", "Indicatif")
               : langues.TRADUCTION(
                     "To define your callsign or identifier (\"Q0XYZ\" ou \"ZZT45\" for example), without spaces",
                     "Pour d\xE9" "finir votre indicatif ou identifiant (\"Q0XYZ\" ou \"ZZT45\" par exemple), sans espaces");
  return station::Texte_traduit(ligne, langues);
}

void Verifie_table(station::FichePrincipale& f, const autex::Langues& langues) {
  int lignes = 0;
  for (const station::Ligne_traduction& ligne : station::Table_traduction_fiche_principale()) {
    EXPECT_EQ(Texte_affiche(f, ligne), Texte_attendu(ligne, langues))
        << ligne.composant << (ligne.propriete == station::Propriete::Caption ? " caption" : " hint");
    ++lignes;
  }
  EXPECT_EQ(lignes, 74);
}

TEST(Langue, EveryCaptionAndHintOfTheTableFollowsTheLanguage) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  station::FichePrincipale& f = st.f();
  ASSERT_EQ(s.langues.Langue, 1);
  Verifie_table(f, s.langues);
  EXPECT_TRUE(f.English1->Checked());
  EXPECT_FALSE(f.Francais1->Checked());

  f.Francais1Click(nullptr);
  ASSERT_EQ(s.langues.Langue, 2);
  Verifie_table(f, s.langues);
  EXPECT_EQ(f.Quit->Caption(), "Quitte");
  EXPECT_EQ(f.Charge_parametres->Caption(), "Charge Param\xE8tres");
  EXPECT_EQ(f.Label_vitesse_AUTEX->Caption(), "Vitesse de transmission:");
  EXPECT_EQ(f.English1->Caption(), "English");
  EXPECT_EQ(f.Francais1->Caption(), "Fran\xE7" "ais");
  EXPECT_FALSE(f.English1->Checked());
  EXPECT_TRUE(f.Francais1->Checked());
  // The switch is written at once; the information line and the other texts speak French.
  EXPECT_EQ(st.Octet_fichier(1), 2);
  EXPECT_EQ(f.Label_Info->Caption(), "Pas de port s\xE9rie s\xE9lectionn\xE9.");
  EXPECT_EQ(f.Aucun_port_serie_GPS->Caption(), "Aucun");
  EXPECT_EQ(f.GroupBox_to_transmit->Caption().rfind("Tapez le texte", 0), 0u);

  // Twice in a row gives the same texts (one colon after the speed label).
  f.Francais1Click(nullptr);
  Verifie_table(f, s.langues);
  f.English1Click(nullptr);
  f.English1Click(nullptr);
  Verifie_table(f, s.langues);
  EXPECT_EQ(f.Label_vitesse_AUTEX->Caption(), "Transmission speed:");
  EXPECT_EQ(f.Charge_parametres->Caption(), "Load Parameters");  // English through and through
  EXPECT_EQ(f.Label_Autex->Caption(), "Number of participants to the meeting:");
  EXPECT_EQ(st.Octet_fichier(1), 1);
}

TEST(Langue, ASwitchLeavesAnOpenPortOpenAndReceiving) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(4);
  st.ports.add(6);
  st.Demarre();
  st.Montre();
  station::FichePrincipale& f = st.f();
  f.COM4_GPSClick(nullptr);
  ASSERT_EQ(st.s().io->boucle.Port_ouvert, 1);
  f._9600Click(nullptr);
  ASSERT_EQ(ligne->settings.BaudRate, 9600u);

  f.Francais1Click(nullptr);
  EXPECT_EQ(st.s().io->boucle.Port_ouvert, 1);
  EXPECT_TRUE(ligne->open);
  EXPECT_EQ(ligne->settings.BaudRate, 9600u);  // at the speed in force
  EXPECT_EQ(f.Label_Info->Caption(), "R\xE9ussite de l'ouverture du port s\xE9rie \xE0 9600 bauds");
  EXPECT_EQ(f.COM4_GPS->Caption(), "COM 4 d\xE9tect\xE9");
  EXPECT_EQ(f.COM6_GPS->Caption(), "COM 6 d\xE9tect\xE9");
  EXPECT_EQ(f.COM5_GPS->Caption(), "COM 5");
  EXPECT_TRUE(f.COM4_GPS->Checked());
  EXPECT_TRUE(f._9600->Checked());

  ligne->input += "Bonjour";
  bureau.Run(5);
  EXPECT_EQ(f.Memo_Reception_memo->Text(), "Bonjour");
}

TEST(Menus, APortThatCannotBeOpenedFallsBackToNoneAndIsSaved) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(9);
  st.Demarre();
  station::FichePrincipale& f = st.f();
  f.COM9_GPSClick(nullptr);
  EXPECT_EQ(st.Octet_fichier(252), 11);  // COM9 is stored as code 11
  EXPECT_TRUE(f.COM9_GPS->Checked());
  EXPECT_TRUE(ligne->open);

  // Another program holds COM 12: the choice falls back to no port, which is saved.
  auto occupe = st.ports.add(12);
  occupe->exists = false;
  f.COM12_GPSClick(nullptr);
  EXPECT_EQ(st.Octet_fichier(252), station::CODE_AUCUN_PORT);
  EXPECT_TRUE(f.Aucun_port_serie_GPS->Checked());
  EXPECT_FALSE(f.COM12_GPS->Checked());
  EXPECT_EQ(f.Label_Info->Caption(), "No selected serial port.");
  EXPECT_EQ(st.s().io->boucle.Port_ouvert, 0);
  EXPECT_FALSE(ligne->open);

  f.COM9_GPSClick(nullptr);
  f.Aucun_port_serie_GPSClick(nullptr);
  EXPECT_EQ(st.Octet_fichier(252), station::CODE_AUCUN_PORT);
  EXPECT_FALSE(ligne->open);
}

TEST(Menus, TheSpeedMenuReopensThePortAndIsSavedAtQuit) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(1);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}}));
  st.Demarre();
  station::FichePrincipale& f = st.f();
  ASSERT_EQ(ligne->settings.BaudRate, 1200u);
  f._9600Click(nullptr);
  EXPECT_TRUE(f._9600->Checked());
  EXPECT_FALSE(f._1200->Checked());
  EXPECT_EQ(ligne->settings.BaudRate, 9600u);
  EXPECT_EQ(st.Octet_fichier(station::octet::VITESSE_PORT), 1);  // not before Quit
  f.QuitClick(nullptr);
  EXPECT_EQ(st.Octet_fichier(station::octet::VITESSE_PORT), 9);
}

TEST(Menus, TheTransceiverMenuShowsTheModuleGroupAndAsksTheModule) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(2);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 2}}));
  station::Station& s = st.Demarre();
  station::FichePrincipale& f = st.f();
  ASSERT_TRUE(ligne->written.empty());

  f.DRF1278DMClick(nullptr);
  EXPECT_TRUE(f.DRF1278DM->Checked());
  EXPECT_FALSE(f.Autre_transceiver->Checked());
  EXPECT_TRUE(f.GroupBox_transceiver->Visible());
  EXPECT_EQ(ligne->written, station::Trame_lecture_DRF());
  EXPECT_EQ(s.io->transceiver.Commande_DRF_en_attente, 1);

  // No module answers: the module window's timer ends the command, and received bytes are shown again.
  bureau.Run(600);
  EXPECT_EQ(s.io->transceiver.Commande_DRF_en_attente, 0);
  ligne->input += "73";
  bureau.Run(3);
  EXPECT_NE(f.Memo_Reception_memo->Text().find("73"), std::string::npos);

  f.Autre_transceiverClick(nullptr);
  EXPECT_TRUE(f.Autre_transceiver->Checked());
  EXPECT_FALSE(f.DRF1278DM->Checked());
  EXPECT_FALSE(f.GroupBox_transceiver->Visible());
}

TEST(Menus, TheModuleCheckMovesAnAnsweringModuleTo9600) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(2);
  // A module at the factory's spreading factor: it is rewritten, moved to 9600 and read again.
  struct Module {
    std::string parametres = std::string("\x01\x00\x6C\x80\x12\x0B\x00\x07\x00\x00\x00\x07", 12);
    void attache(stationtest::FakeLine& l) {
      l.onWrite = [this](stationtest::FakeLine& line, const std::string& w) {
        const uint32_t baud = parametres[0] == 4 ? 9600u : 1200u;
        if (line.settings.BaudRate != baud) return;
        const size_t p = w.find(std::string("\xAF\xAF\x00\x00\xAF\x80", 6));
        if (p == std::string::npos || w.size() < p + 23) return;
        const char commande = w[p + 6];
        if (commande == 1) parametres = w.substr(p + 8, 12);
        std::string r = std::string("\xAF\xAF\x00\x00\xAF\x00", 6) + commande + '\x0C' + parametres;
        unsigned somme = 0;
        for (char c : r) somme += uint8_t(c);
        line.input += r + char(somme) + "\r\n";
      };
    }
  } module;
  module.attache(*ligne);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 2}, {station::octet::TRANSCEIVER, 2}}));
  station::Station& s = st.Demarre();
  bureau.Run(3000);
  EXPECT_EQ(s.io->transceiver.Module_verifie, 1);
  EXPECT_EQ(s.io->materiel.Vitesse_port, 9600);
  EXPECT_EQ(ligne->settings.BaudRate, 9600u);
  EXPECT_TRUE(st.f()._9600->Checked());
  // The module now speaks at 9600 baud; Quit keeps that speed.
  st.f().QuitClick(nullptr);
  EXPECT_EQ(st.Octet_fichier(station::octet::VITESSE_PORT), 9);
}

}  // namespace
