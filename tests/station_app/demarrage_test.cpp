// Start-up, parameters applied to the main window and gathered at Quit, on the headless windows.
#include "tests/station_app/rig.h"

#include <set>

#include "autex/traitement_chaines.h"
#include "gui/typinfo.h"
#include "station/menu_oui_non.h"
#include "station/table_parametres.h"

using namespace apptest;
using station::octet::GAUCHE_FICHE;
using station::octet::HAUT_FICHE;

namespace {

int Coordonnee(const std::string& image, int premier) {
  return station::Decoder_coordonnee(uint8_t(image[size_t(premier - 1)]), uint8_t(image[size_t(premier)]));
}

TEST(Demarrage, AFirstStartWritesTheStandardImageAndShowsNoPort) {
  Bureau bureau;
  StationTest st(bureau);
  st.ports.add(3);
  station::Station& s = st.Demarre();

  // The seven windows in the program's order; the main window is the application's.
  ASSERT_NE(s.Form1, nullptr);
  EXPECT_NE(s.Form2, nullptr);
  EXPECT_NE(s.Form20, nullptr);
  EXPECT_NE(s.Form36, nullptr);
  EXPECT_NE(s.Form3, nullptr);
  EXPECT_NE(s.Form43, nullptr);
  EXPECT_NE(s.Form19, nullptr);
  EXPECT_EQ(gui::Application->MainForm(), s.Form1);

  EXPECT_TRUE(st.Image() == Image_standard());
  EXPECT_TRUE(bureau.boites.empty());  // a first start says nothing
  EXPECT_EQ(st.f().Repertoire_travail, st.dir.path().string());
  EXPECT_EQ(st.f().Label_Info->Caption(), "No selected serial port.");
  EXPECT_TRUE(st.f().Aucun_port_serie_GPS->Checked());
  EXPECT_EQ(st.f().COM3_GPS->Caption(), "COM 3 detected");
  EXPECT_EQ(st.f().COM4_GPS->Caption(), "COM 4");
  EXPECT_TRUE(st.f()._1200->Checked());
  EXPECT_TRUE(st.f().Autre_transceiver->Checked());
  EXPECT_FALSE(st.f().GroupBox_transceiver->Visible());
  EXPECT_TRUE(st.f().ASCII->Down());
  EXPECT_EQ(st.f().Quit->Caption(), "Quit");
  EXPECT_EQ(s.io->boucle.Port_ouvert, 0);
  // No port named: none was opened by the probe or since.
  EXPECT_FALSE(st.ports.lines[3]->open);
}

TEST(Demarrage, TheShortDateFormatSetsTheMonthFirstFlag) {
  for (const auto& [format, attendu] : std::vector<std::pair<std::string, int>>{
           {"12/30/1899", 1}, {"30/12/1899", 0}, {"1899-12-30", 0}, {"30.12.99", 0}, {"12-30-99", 1}}) {
    Bureau bureau;
    StationTest st(bureau);
    st.systeme.date_zero = format;
    st.Demarre();
    EXPECT_EQ(st.s().horodatage.Date_mois_en_tete, attendu) << format;
  }
}

TEST(Demarrage, APortNamedInTheFileIsOpenedAndTheWindowTakesTheStoredSettings) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(7);
  st.dir.write("CONF_COM.SER", Image_avec({{252, station::Code_du_port(7)},
                                           {station::octet::MODE, 78},
                                           {station::octet::PAUSE_BALISE, 20},
                                           {station::octet::VITESSE_PORT, 9},
                                           {station::octet::ENVOI_SUR_CR, 2},
                                           {station::octet::COMPRESSION_FICHIER, 1},
                                           {GAUCHE_FICHE, 110},
                                           {GAUCHE_FICHE + 1, 102},
                                           {HAUT_FICHE, 111},
                                           {HAUT_FICHE + 1, 135}}));
  station::Station& s = st.Demarre();
  station::FichePrincipale& f = st.f();
  EXPECT_TRUE(bureau.boites.empty());
  EXPECT_EQ(s.io->boucle.Port_ouvert, 1);
  EXPECT_TRUE(ligne->open);
  EXPECT_EQ(ligne->settings.BaudRate, 9600u);
  EXPECT_EQ(f.Label_Info->Caption(), "Success opening the serial port at 9600 bauds");
  EXPECT_TRUE(f.COM7_GPS->Checked());
  EXPECT_EQ(f.COM7_GPS->Caption(), "COM 7 detected");
  EXPECT_TRUE(f._9600->Checked());
  EXPECT_FALSE(f._1200->Checked());
  // AUTEX mode: its panels shown, the ASCII ones hidden.
  EXPECT_TRUE(f.AUTEX->Down());
  EXPECT_TRUE(f.Panel_AUTEX->Visible());
  EXPECT_TRUE(f.Panel_AUTEX_GENERAL->Visible());
  EXPECT_FALSE(f.GroupBox_Balise->Visible());
  EXPECT_FALSE(f.Rapport->Visible());
  EXPECT_TRUE(f.Panel_AUTEX_SMS->Visible());
  EXPECT_EQ(f.Panel_AUTEX->Top(), f.Panel_ASCII->Top() + f.Panel_ASCII->Height());
  EXPECT_EQ(f.ClientWidth(), 3 * station::LARGEUR_PANNEAU_AUTEX);
  EXPECT_EQ(f.ClientHeight(), f.Panel_AUTEX->Top() + f.Panel_AUTEX->Height());
  EXPECT_EQ(f.Label_hauteur_Panel_Autex->Caption(), "320");  // 20 x the standard step for 2 participants
  // Beacon pause, send on CR, compression and the window's place.
  EXPECT_EQ(f.Pause->Position(), 20);
  EXPECT_EQ(f.Label2->Caption(), "100");
  EXPECT_EQ(s.io->boucle.Pause_balise, 100);
  EXPECT_TRUE(f.Envoi_texte_sur_CR->Checked());
  EXPECT_FALSE(f.Compression_du_fichier_transmis->Checked());
  EXPECT_EQ(f.Left(), -8);
  EXPECT_EQ(f.Top(), 125);
  // The station starts in reception.
  EXPECT_TRUE(f.Bouton_RX->Down());
  EXPECT_EQ(s.autex->MODE_AUTEX, 1);
}

TEST(Demarrage, QuitWritesTheSettingsChangedInTheSessionAndEndsTheProgram) {
  Bureau bureau;
  StationTest st(bureau);
  st.ports.add(3);
  {
    station::Station& s = st.Demarre();
    station::FichePrincipale& f = st.f();
    st.Montre();
    // The operator changes the port, the speed, the mode, the transceiver, the pause, the options, the
    // window's place and the free-text fields.
    f.COM3_GPSClick(nullptr);
    f._9600Click(nullptr);
    f.AUTEXClick(nullptr);
    f.DRF1278DMClick(nullptr);
    f.Pause->SetPosition(12);
    f.PauseClick(nullptr, gui::TUDBtnType::btNext);
    f.Envoi_texte_sur_CR->SetChecked(true);
    f.Compression_du_fichier_transmis->SetChecked(false);
    f.SetBounds(-8, 640, f.Width(), f.Height());
    f.Texte_balise->SetText("CQ de F4XYZ\r\nsecond line");
    f.Edit_INDICATIF->SetText("F4XYZ");
    f.DIVERS->SetText("Jean, JN18");
    f.Edit_Sequence1->SetText("73");
    f.Edit_Sequence2->SetText("QRT");
    // Byte 252 is written at the moment the port is chosen; the others wait for Quit.
    EXPECT_EQ(st.Octet_fichier(252), station::Code_du_port(3));
    EXPECT_EQ(st.Octet_fichier(station::octet::MODE), 31);

    f.QuitClick(nullptr);
    EXPECT_EQ(f.Label_Info->Caption(), "This program is closing...");
    EXPECT_EQ(st.systeme.fins, 1);
    (void)s;
  }
  const std::string image = st.Image();
  ASSERT_EQ(image.size(), 945u);
  EXPECT_EQ(uint8_t(image[station::octet::MODE - 1]), 78);
  EXPECT_EQ(uint8_t(image[station::octet::VITESSE_PORT - 1]), 9);
  EXPECT_EQ(uint8_t(image[station::octet::TRANSCEIVER - 1]), 2);
  EXPECT_EQ(uint8_t(image[station::octet::PAUSE_BALISE - 1]), 12);
  EXPECT_EQ(uint8_t(image[station::octet::ENVOI_SUR_CR - 1]), 2);
  EXPECT_EQ(uint8_t(image[station::octet::COMPRESSION_FICHIER - 1]), 1);
  EXPECT_EQ(uint8_t(image[252 - 1]), station::Code_du_port(3));
  EXPECT_EQ(Coordonnee(image, GAUCHE_FICHE), -8);
  EXPECT_EQ(Coordonnee(image, HAUT_FICHE), 640);
  // Every byte written is one that the loader accepts.
  for (int i = 1; i <= 945; ++i) EXPECT_TRUE(station::Valeur_admise(i, uint8_t(image[size_t(i - 1)]))) << i;
  // The free-text fields, one per line (a line break inside a field is removed); the secondary channel's
  // field holds what the channel can carry (upper case).
  EXPECT_EQ(st.dir.read("CONFSTRINGS_COM.TXT"), "CQ de F4XYZsecond line\r\nF4XYZ\r\nJEAN, JN18\r\n73\r\nQRT\r\n");

  // The next start finds everything as it was left.
  st.Arrete();
  Bureau bureau2;
  StationTest suivante(bureau2);
  suivante.ports.add(3);
  suivante.dir.write("CONF_COM.SER", image);
  suivante.dir.write("CONFSTRINGS_COM.TXT", st.dir.read("CONFSTRINGS_COM.TXT"));
  station::Station& s2 = suivante.Demarre();
  station::FichePrincipale& f2 = suivante.f();
  EXPECT_TRUE(f2.AUTEX->Down());
  EXPECT_TRUE(f2._9600->Checked());
  EXPECT_TRUE(f2.DRF1278DM->Checked());
  EXPECT_EQ(f2.Pause->Position(), 12);
  EXPECT_TRUE(f2.Envoi_texte_sur_CR->Checked());
  EXPECT_FALSE(f2.Compression_du_fichier_transmis->Checked());
  EXPECT_EQ(f2.Left(), -8);
  EXPECT_EQ(f2.Top(), 640);
  EXPECT_EQ(f2.Edit_INDICATIF->Text(), "F4XYZ");
  EXPECT_EQ(f2.Edit_Sequence2->Text(), "QRT");
  EXPECT_EQ(s2.io->boucle.Port_ouvert, 1);
}

TEST(Demarrage, TheWindowOpensOnTheMonitorItWasOnAndQuitKeepsAPositionNotChanged) {
  // Left -1500, top 200: on a second monitor to the left of the primary one.
  uint8_t g1 = 0, g2 = 0, h1 = 0, h2 = 0;
  station::Coder_coordonnee(-1500, g1, g2);
  station::Coder_coordonnee(200, h1, h2);
  const std::string image =
      Image_avec({{GAUCHE_FICHE, g1}, {GAUCHE_FICHE + 1, g2}, {HAUT_FICHE, h1}, {HAUT_FICHE + 1, h2}});
  struct Cas {
    std::vector<platform::TRect> moniteurs;
    int gauche, haut;
  };
  std::vector<Cas> cas = {{{{0, 0, 1280, 1024}}, 0, 200}};  // the monitor is not there: on the primary one
#ifndef _WIN32
  // The monitor is there: the window opens on it (the headless screen can have a second monitor; the test's
  // display under Wine has one).
  cas.push_back({{{0, 0, 1280, 1024}, {-1920, 0, 0, 1080}}, -1500, 200});
#endif
  for (const Cas& c : cas) {
    SCOPED_TRACE(c.moniteurs.size());
    Bureau bureau;
    gui::Screen->SetHeadlessMonitors(c.moniteurs);
    StationTest st(bureau);
    st.dir.write("CONF_COM.SER", image);
    st.Demarre();
    st.Montre();
    station::FichePrincipale& f = st.f();
    EXPECT_EQ(f.Left(), c.gauche);
    EXPECT_EQ(f.Top(), c.haut);
    // Quit without moving the window keeps the stored position, also when the window was brought back.
    f.QuitClick(nullptr);
    EXPECT_EQ(Coordonnee(st.Image(), GAUCHE_FICHE), -1500);
    EXPECT_EQ(Coordonnee(st.Image(), HAUT_FICHE), 200);
    // Moved by the user, the window's new place is written.
    f.SetBounds(40, 60, f.Width(), f.Height());
    f.QuitClick(nullptr);
    EXPECT_EQ(Coordonnee(st.Image(), GAUCHE_FICHE), 40);
    EXPECT_EQ(Coordonnee(st.Image(), HAUT_FICHE), 60);
    st.Arrete();
    gui::Screen->SetHeadlessMonitors({});
  }
}

TEST(Demarrage, EndingWithoutQuitSavesNothing) {
  Bureau bureau;
  StationTest st(bureau);
  st.Demarre();
  st.Montre();
  const std::string avant = st.Image();
  st.f().AUTEXClick(nullptr);
  st.f().Edit_INDICATIF->SetText("F4XYZ");
  st.Arrete();  // the windows and units go as when the message loop ends
  EXPECT_TRUE(st.dir.read("CONF_COM.SER") == avant);
  EXPECT_TRUE(st.dir.read("CONFSTRINGS_COM.TXT").empty());
  EXPECT_EQ(st.systeme.fins, 0);
}

TEST(Demarrage, ADamagedFileIsReportedAndTheProgramRunsWithStandardSettings) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(2);
  st.systeme.langue = 1036;  // the language then comes from the system
  st.dir.write("CONF_COM.SER", std::string(945, '\xFF'));
  st.Demarre();
  ASSERT_EQ(bureau.boites.size(), 1u);
  // At that moment the text chooser is still in its first language, English.
  EXPECT_EQ(bureau.boites[0].texte, "The file CONF_COM.SER is altered, so standard parameters.");
  EXPECT_EQ(bureau.boites[0].legende, "Error");
  EXPECT_TRUE(bureau.boites[0].drapeaux & MB_ICONERROR);
  EXPECT_EQ(st.dir.read("CONF_COM.ERR").substr(0, 7), "1 255\r\n");
  // French, standard settings, and working menus.
  EXPECT_EQ(st.f().Quit->Caption(), "Quitte");
  EXPECT_TRUE(st.f().ASCII->Down());
  st.f().COM2_GPSClick(nullptr);
  EXPECT_TRUE(ligne->open);
  EXPECT_EQ(st.f().Label_Info->Caption(), "R\xE9ussite de l'ouverture du port s\xE9rie \xE0 1200 bauds");
  EXPECT_EQ(st.Octet_fichier(252), station::Code_du_port(2));
}

TEST(Demarrage, AFileTooShortIsReplacedByTheStandardImage) {
  Bureau bureau;
  StationTest st(bureau);
  st.dir.write("CONF_COM.SER", std::string(99, '\x01'));
  st.Demarre();
  ASSERT_EQ(bureau.boites.size(), 1u);
  EXPECT_EQ(bureau.boites[0].texte, "The file CONF_COM.SER is altered, so standard parameters.");
  EXPECT_TRUE(st.f().ASCII->Down());
}

// The screen's metrics are set only on the headless windows.
#ifndef _WIN32
TEST(Demarrage, LargeFontsMaximiseTheWindowAndWarnOnce) {
  Bureau bureau;
  gui::Screen->SetHeadlessMetrics(1280, 1024, 120);
  StationTest st(bureau);
  st.Demarre();
  EXPECT_EQ(st.f().WindowState(), gui::TWindowState::wsMaximized);
  ASSERT_EQ(bureau.boites.size(), 1u);
  EXPECT_EQ(bureau.boites[0].texte.rfind("This program is planned for small fonts not large ones", 0), 0u);
  EXPECT_TRUE(bureau.boites[0].drapeaux & MB_ICONWARNING);
}

TEST(Demarrage, TheAsciiWindowsShrinkToFitALowScreen) {
  EXPECT_EQ(station::Reduction_hauteur_ASCII(900, 800), 47);
  EXPECT_EQ(station::Reduction_hauteur_ASCII(900, 600), 80);
  EXPECT_EQ(station::Reduction_hauteur_ASCII(760, 800), 0);
  EXPECT_EQ(station::Reduction_hauteur_ASCII(761, 800), 1);

  Bureau bureau;
  gui::Screen->SetHeadlessMetrics(1024, 600, 96);
  StationTest st(bureau);
  st.Demarre();
  station::FichePrincipale& f = st.f();
  const int hauteur = f.Height();
  const int k = station::Reduction_hauteur_ASCII(hauteur, 600);
  ASSERT_GT(k, 0);
  st.Montre();  // the activation fits the window
  EXPECT_EQ(f.Height(), hauteur - 3 * k);
  EXPECT_EQ(f.GroupBox_to_transmit->Height(), 129 - k);
  EXPECT_EQ(f.GroupBox_transmitted->Top(), 129 - k);
  EXPECT_EQ(f.GroupBox_reception->Top(), 258 - 2 * k);
  EXPECT_EQ(f.Memo_Reception_memo->Height(), 112 - k);
}
#endif

TEST(Demarrage, StandardParametersAskFirstAndNoLeavesEverything) {
  Bureau bureau;
  StationTest st(bureau);
  st.dir.write("CONF_COM.SER", Image_avec({{station::octet::MODE, 78}, {station::octet::PAUSE_BALISE, 30}}));
  station::Station& s = st.Demarre();
  st.Montre();
  const std::string avant = st.Image();

  bureau.reponse_modale = [&](gui::TCustomForm& f) {
    auto* q = dynamic_cast<station::FenetreOuiNon*>(&f);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->Label1->Caption(), "Are you sure?");
    q->NONClick(nullptr);
  };
  st.f().PARAMETRES_STANDARDClick(nullptr);
  EXPECT_TRUE(st.Image() == avant);
  EXPECT_EQ(s.parametres->Remise_parametres_standard, 0);
  EXPECT_TRUE(st.f().AUTEX->Down());

  bureau.reponse_modale = [&](gui::TCustomForm& f) { dynamic_cast<station::FenetreOuiNon&>(f).OUIClick(nullptr); };
  st.f().PARAMETRES_STANDARDClick(nullptr);
  EXPECT_TRUE(st.Image().substr(1) == Image_standard().substr(1));
  EXPECT_TRUE(st.f().ASCII->Down());
  EXPECT_EQ(st.f().Label2->Caption(), "5");
}

TEST(Demarrage, TheBackupButtonsWriteAndReadConfComBak) {
  Bureau bureau;
  StationTest st(bureau);
  st.Demarre();
  st.f().Charge_parametresClick(nullptr);
  ASSERT_EQ(bureau.boites.size(), 1u);
  EXPECT_EQ(bureau.boites[0].texte, "No recording file CONF_COM.BAK!");

  st.f().Sauve_parametresClick(nullptr);
  ASSERT_EQ(bureau.boites.size(), 2u);
  EXPECT_EQ(bureau.boites[1].texte, "Parameters recording done in the CONF_COM.BAK file");
  EXPECT_TRUE(bureau.boites[1].drapeaux & MB_ICONINFORMATION);
  EXPECT_TRUE(st.dir.read("CONF_COM.BAK") == st.Image());

  std::string bak = st.Image();
  bak[0] = char(2);                              // French
  bak[station::octet::TRANSCEIVER - 1] = char(2);  // the DRF1278DM
  bak[station::octet::MODE - 1] = char(78);        // AUTEX: for the next start only
  st.dir.write("CONF_COM.BAK", bak);
  st.f().Charge_parametresClick(nullptr);
  EXPECT_EQ(bureau.boites.back().texte, "Taken into account of the parameters recording file CONF_COM.BAK.");
  EXPECT_EQ(st.Octet_fichier(1), 2);
  EXPECT_EQ(st.f().Quit->Caption(), "Quitte");
  EXPECT_TRUE(st.f().DRF1278DM->Checked());
  EXPECT_TRUE(st.f().GroupBox_transceiver->Visible());
  EXPECT_TRUE(st.f().ASCII->Down());
}


// A skin manager as the station sees it: a component with the published Active and SkinName. It counts the
// skins it would load (a name set while active, or switching on). A skin of `broken` fails to load as the real
// manager's does: reported, its name back to the one before, and the manager switched off when no skin was in
// force to keep.
class ManagerStandIn : public gui::TComponent {
 public:
  explicit ManagerStandIn(gui::TComponent* owner) : gui::TComponent(owner) {
    static const bool published = [] {
      gui::TPropInfo active;
      active.Name = "Active";
      active.Kind = gui::TTypeKind::tkEnumeration;
      active.Names = {"False", "True"};
      active.GetOrd = [](const gui::TObject& o) -> int64_t { return static_cast<const ManagerStandIn&>(o).active; };
      active.SetOrd = [](gui::TObject& o, int64_t v) {
        auto& m = static_cast<ManagerStandIn&>(o);
        if (v && !m.active) {
          m.active = true;
          m.Load(m.skin);
        } else if (!v) {
          m.active = false;
          m.inForce = false;
        }
      };
      gui::RegisterPublishedProperty<ManagerStandIn>(std::move(active));
      gui::TPropInfo name;
      name.Name = "SkinName";
      name.Kind = gui::TTypeKind::tkString;
      name.GetStr = [](const gui::TObject& o) { return static_cast<const ManagerStandIn&>(o).skin; };
      name.SetStr = [](gui::TObject& o, const std::string& v) {
        auto& m = static_cast<ManagerStandIn&>(o);
        const std::string previous = m.skin;
        m.skin = v;
        if (m.active) m.Load(previous);
      };
      gui::RegisterPublishedProperty<ManagerStandIn>(std::move(name));
      return true;
    }();
    (void)published;
  }
  void Load(const std::string& previous) {
    ++loads;
    if (!broken.count(skin)) {
      inForce = true;
      return;
    }
    ++reports;
    skin = previous;
    if (!inForce) active = false;
  }
  bool active = true;
  std::string skin = "Spring Willow (internal)";
  int loads = 0;
  std::set<std::string> broken;
  int reports = 0;
  bool inForce = true;
};

TEST(Demarrage, TheSkinButtonsSwitchTheManagerAndQuitKeepsTheChoice) {
  Bureau bureau;
  StationTest st(bureau);
  station::Fabriques fabriques;
  ManagerStandIn* manager = nullptr;
  fabriques.composants_peau = [&](forms::TForm1& form) {
    manager = new ManagerStandIn(&form);
    form.sSkinManager1 = manager;
  };
  st.dir.write("CONF_COM.SER", Image_avec({{station::octet::PEAU, 5}}));
  st.Demarre(fabriques);
  station::FichePrincipale& f = st.f();
  ASSERT_NE(manager, nullptr);
  // The saved choice is applied at start-up.
  EXPECT_TRUE(f.Peau_Opus->Down());
  EXPECT_TRUE(manager->active);
  EXPECT_EQ(manager->skin, "Opus (internal)");
  EXPECT_EQ(manager->loads, 1);

  struct Cas {
    void (station::FichePrincipale::*clic)(gui::TObject*);
    gui::TSpeedButton* station::FichePrincipale::*bouton;
    bool actif;
    const char* nom;
    int chargements;  // loads since the previous row
  };
  const Cas cas[] = {
      {&station::FichePrincipale::Peau_nonClick, &station::FichePrincipale::Peau_non, false, "Opus (internal)", 0},
      {&station::FichePrincipale::Peau_LuckyClick, &station::FichePrincipale::Peau_Lucky, true, "Lucky (internal)", 1},
      {&station::FichePrincipale::Peau_MacMetalClick, &station::FichePrincipale::Peau_MacMetal, true,
       "MacMetal (internal)", 1},
      {&station::FichePrincipale::Peau_TopazClick, &station::FichePrincipale::Peau_Topaz, true, "Topaz (internal)", 1},
      {&station::FichePrincipale::Peau_TopazClick, &station::FichePrincipale::Peau_Topaz, true, "Topaz (internal)", 0},
      {&station::FichePrincipale::Peau_nonClick, &station::FichePrincipale::Peau_non, false, "Topaz (internal)", 0},
      {&station::FichePrincipale::Peau_TopazClick, &station::FichePrincipale::Peau_Topaz, true, "Topaz (internal)", 1},
      {&station::FichePrincipale::Peau_SpringClick, &station::FichePrincipale::Peau_Spring, true,
       "Spring Willow (internal)", 1},
  };
  int ligne = 0;
  for (const Cas& c : cas) {
    const int avant = manager->loads;
    (f.*c.clic)(nullptr);
    EXPECT_TRUE((f.*c.bouton)->Down()) << ligne;
    EXPECT_EQ(manager->active, c.actif) << ligne;
    EXPECT_EQ(manager->skin, c.nom) << ligne;
    EXPECT_EQ(manager->loads - avant, c.chargements) << ligne;
    ++ligne;
  }
  f.Peau_LuckyClick(nullptr);
  f.QuitClick(nullptr);
  EXPECT_EQ(st.Octet_fichier(station::octet::PEAU), 3);
}

// A skin that cannot be loaded leaves the setting in force: its button comes back up, the one in force down, and
// Quit saves the setting in force. A manager whose own skin (the default setting's) failed as the main window
// was built is not asked for it a second time: the station starts with no skin.
TEST(Demarrage, ASkinThatCannotBeLoadedLeavesTheSettingInForce) {
  {
    Bureau bureau;
    StationTest st(bureau);
    station::Fabriques fabriques;
    ManagerStandIn* manager = nullptr;
    fabriques.composants_peau = [&](forms::TForm1& form) {
      manager = new ManagerStandIn(&form);
      manager->broken = {"Lucky (internal)"};
      form.sSkinManager1 = manager;
    };
    st.Demarre(fabriques);
    station::FichePrincipale& f = st.f();
    ASSERT_NE(manager, nullptr);
    f.Peau_LuckyClick(nullptr);  // from Spring: Spring is kept
    EXPECT_EQ(manager->reports, 1);
    EXPECT_TRUE(manager->active);
    EXPECT_EQ(manager->skin, "Spring Willow (internal)");
    EXPECT_TRUE(f.Peau_Spring->Down());
    EXPECT_FALSE(f.Peau_Lucky->Down());
    f.Peau_nonClick(nullptr);
    f.Peau_LuckyClick(nullptr);  // from no skin: none is kept
    EXPECT_EQ(manager->reports, 2);
    EXPECT_FALSE(manager->active);
    EXPECT_TRUE(f.Peau_non->Down());
    EXPECT_FALSE(f.Peau_Lucky->Down());
    f.QuitClick(nullptr);
    EXPECT_EQ(st.Octet_fichier(station::octet::PEAU), 1);
  }
  {
    Bureau bureau;
    StationTest st(bureau);
    station::Fabriques fabriques;
    ManagerStandIn* manager = nullptr;
    fabriques.composants_peau = [&](forms::TForm1& form) {
      manager = new ManagerStandIn(&form);  // as a definition whose skin failed leaves it
      manager->active = false;
      manager->inForce = false;
      manager->skin.clear();
      form.sSkinManager1 = manager;
    };
    st.Demarre(fabriques);
    station::FichePrincipale& f = st.f();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->loads, 0);
    EXPECT_FALSE(manager->active);
    EXPECT_TRUE(f.Peau_non->Down());
    EXPECT_FALSE(f.Peau_Spring->Down());
    f.QuitClick(nullptr);
    EXPECT_EQ(st.Octet_fichier(station::octet::PEAU), 1);
  }
}

}  // namespace
