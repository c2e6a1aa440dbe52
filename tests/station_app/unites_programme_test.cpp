// The program's own units behind the main window: the help page, the screen capture, the radio module window
// and the speech feed (Fabriques_programme), as station.exe has them.
#include <filesystem>

#include "platform/speech.h"
#include "station/fiche_transceiver.h"
#include "station/message_d_erreur.h"
#include "station/options_kestrado.h"
#include "tests/station_app/rig.h"

using namespace apptest;

namespace {

struct UneStation {
  Bureau bureau;
  StationTest st{bureau};
  std::shared_ptr<stationtest::FakeLine> ligne = st.ports.add(1);
  std::shared_ptr<stationtest::FakeLine> autre = st.ports.add(2);

  explicit UneStation(std::initializer_list<std::pair<int, int>> octets = {}) {
    std::initializer_list<std::pair<int, int>> port = {{252, 1}};
    std::string image = Image_avec(port);
    for (auto [i, v] : octets) image[size_t(i - 1)] = char(v);
    st.dir.write("CONF_COM.SER", image);
    st.Demarre(station::Fabriques_programme());
    st.Montre();
  }
};

}  // namespace

// The page of the language in the working directory, else the one shipped beside the program; a page that is
// nowhere, or that the shell cannot show, is reported in the message window and in the language of the moment.
TEST(UnitesProgramme, HelpOpensThePageOfTheLanguageOrSaysWhyNot) {
  UneStation u;
  testsupport::TempDir programme;
  u.st.systeme.programme = programme.path().string();
  struct Cas {
    uint8_t langue;
    std::string ici, a_cote;  // the pages in the working directory and beside the program
    intptr_t shell;
    std::string document;     // what the shell receives ("" nothing)
    std::string message;      // the start of the message shown ("" none)
  };
  const std::string a_cote = (programme.path() / "AIDE_VORNATEL.HTM").string();
  // The page of the working directory goes to the shell by its full name: a bare name is looked for beside the
  // program first.
  const auto ici = [&](const char* page) { return station::Chemin_dans(u.st.systeme.Repertoire_courant(), page); };
  const std::vector<Cas> cas = {
      {autex::LANGUE_ANGLAIS, "HELP_VORNATEL.HTM", "", 42, ici("HELP_VORNATEL.HTM"), ""},
      {autex::LANGUE_FRANCAIS, "HELP_VORNATEL.HTM", "", 42, "", "La page d'aide AIDE_VORNATEL.HTM ne peut pas"},
      {autex::LANGUE_FRANCAIS, "", "AIDE_VORNATEL.HTM", 42, a_cote, ""},
      {autex::LANGUE_FRANCAIS, "AIDE_VORNATEL.HTM", "AIDE_VORNATEL.HTM", 42, ici("AIDE_VORNATEL.HTM"), ""},
      {autex::LANGUE_ANGLAIS, "", "", 42, "", "The help page HELP_VORNATEL.HTM cannot be opened: it is neither"},
      // Nothing shows it: the message names the page in full.
      {autex::LANGUE_ANGLAIS, "HELP_VORNATEL.HTM", "", 31, ici("HELP_VORNATEL.HTM"),
       "The help page cannot be shown here: no program shows it (error 31). Open it in a browser: " +
           ici("HELP_VORNATEL.HTM")},
  };
  for (const Cas& c : cas) {
    for (const char* page : {"HELP_VORNATEL.HTM", "AIDE_VORNATEL.HTM"}) {
      std::filesystem::remove(u.st.dir.path() / page);
      std::filesystem::remove(programme.path() / page);
    }
    if (!c.ici.empty()) u.st.dir.write(c.ici, "<html></html>");
    if (!c.a_cote.empty()) programme.write(c.a_cote, "<html></html>");
    u.st.s().langues.Langue = c.langue;
    u.st.shell.result = c.shell;
    u.st.shell.requests.clear();
    const size_t modales = u.bureau.modales.size();
    u.st.f().HelpClick(nullptr);
    if (c.document.empty()) {
      EXPECT_TRUE(u.st.shell.requests.empty()) << c.message;
    } else {
      ASSERT_EQ(u.st.shell.requests.size(), 1u) << c.document;
      EXPECT_EQ(u.st.shell.requests[0].document, c.document);
      EXPECT_EQ(u.st.shell.requests[0].showMode, platform::kShowNormal);
    }
    if (c.message.empty()) {
      EXPECT_EQ(u.bureau.modales.size(), modales) << c.document;
    } else {
      ASSERT_EQ(u.bureau.modales.size(), modales + 1) << c.message;
      EXPECT_EQ(u.bureau.modales.back(), "TForm36");
      EXPECT_EQ(u.st.s().Form36->Memo1->Text().rfind(c.message, 0), 0u) << u.st.s().Form36->Memo1->Text();
    }
  }
  // The shell started a program for the page: one that ends with an error showed nothing (winebrowser under
  // Wine, where the host has no program for pages), which is said once it ends; one that ends well, or runs on,
  // shows the page.
  u.st.s().langues.Langue = autex::LANGUE_ANGLAIS;
  u.st.shell.result = 42;
  const std::string message = "The help page cannot be shown here: the program that was to show it ended with "
                              "the code 1. Open it in a browser: " + ici("HELP_VORNATEL.HTM");
  for (const auto& [fin, code, attendu] : {std::tuple{true, 1u, message}, {true, 0u, ""}, {false, 0u, ""}}) {
    u.st.shell.program = std::make_shared<platform::RecordingShell::Program>();
    const size_t modales = u.bureau.modales.size();
    u.st.f().HelpClick(nullptr);
    u.bureau.Run(1000);
    EXPECT_EQ(u.bureau.modales.size(), modales);
    u.st.shell.program->ended = fin;
    u.st.shell.program->exitCode = code;
    u.bureau.Run(25000);
    ASSERT_EQ(u.bureau.modales.size(), modales + (attendu.empty() ? 0 : 1)) << code;
    if (!attendu.empty()) {
      EXPECT_EQ(u.st.s().Form36->Memo1->Text(), attendu);
    }
  }
}

TEST(UnitesProgramme, ScreenCaptureWritesAJpegInScreen) {
  UneStation u;
  u.st.f().sauvegarde_de_l_ecranClick(nullptr);
  const auto dir = u.st.dir.path() / "SCREEN";
  ASSERT_TRUE(std::filesystem::is_directory(dir));
  int jpegs = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string bytes = u.st.dir.read("SCREEN/" + e.path().filename().string());
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(uint8_t(bytes[0]), 0xFF);  // SOI
    EXPECT_EQ(uint8_t(bytes[1]), 0xD8);
    EXPECT_EQ(e.path().filename().string().rfind("Screen ", 0), 0u);
    ++jpegs;
  }
  EXPECT_EQ(jpegs, 1);
  EXPECT_TRUE(u.bureau.boites.empty());
}

TEST(UnitesProgramme, TheModuleWindowIsTheProgramsAndBoundToTheSerialSide) {
  UneStation u;
  auto* w = dynamic_cast<station::TForm19*>(u.st.s().Form19);
  ASSERT_NE(w, nullptr);
  // Its edits take only what the module can hold: a letter in the Net ID puts the last accepted value back,
  // padded to the three digits of the field.
  w->Edit_NET_ID->SetText("12");
  EXPECT_EQ(u.st.s().io->transceiver.Net_ID, "12");
  w->Edit_NET_ID->SetText("1x");
  EXPECT_EQ(w->Edit_NET_ID->Text(), "012");
  EXPECT_EQ(u.st.s().io->transceiver.Net_ID, "012");
}

// A reading of the module that comes while the user types (the window reads it each time it comes to the
// front) leaves the typed Net ID alone; "Writing" writes what the edit shows; "Reading" shows the module's.
TEST(UnitesProgramme, AReadingDoesNotUndoTheNetIdTheUserTyped) {
  UneStation u;
  auto* w = dynamic_cast<station::TForm19*>(u.st.s().Form19);
  ASSERT_NE(w, nullptr);
  station::ControleTransceiver& t = u.st.s().io->transceiver;
  w->Edit_NET_ID->SetText("00");  // End, BackSpace
  w->Edit_NET_ID->SetText("007");  // and a digit typed
  t.Net_ID_lu = t.Net_ID_precedent = "000";  // what a reading of the module brings
  t.Frequence_MHz_texte = "433";
  w->Affiche_champs_lus();
  EXPECT_EQ(w->Edit_NET_ID->Text(), "007");
  EXPECT_EQ(w->Frequence_MHz->Text(), "433");  // an edit left alone shows the module's
  t.Net_ID = "000";
  w->ECRITUREClick(nullptr);
  EXPECT_EQ(t.Net_ID, "007");
  // After the writing, and after "Reading", the module's values show again.
  t.Net_ID_precedent = "000";
  w->Affiche_champs_lus();
  EXPECT_EQ(w->Edit_NET_ID->Text(), "000");
  w->Edit_NET_ID->SetText("9");
  w->LECTUREClick(nullptr);
  t.Net_ID_precedent = "000";  // the module's answer
  w->Affiche_champs_lus();
  EXPECT_EQ(w->Edit_NET_ID->Text(), "000");
}

TEST(UnitesProgramme, SpeechFollowsTheMainSwitchAndTheOptionsWindowsSettingsAreSaved) {
  UneStation u;
  auto* options = dynamic_cast<station::TForm43*>(u.st.s().Form43);
  ASSERT_NE(options, nullptr);
  auto voix = std::make_unique<platform::RecordingVoice>();
  voix->voices = {"Voice A", "Voice B"};
  platform::RecordingVoice* v = voix.get();
  options->Fixe_voix(std::move(voix));

  station::FichePrincipale& f = u.st.f();
  f.Commutateur_Synthese_vocale->SetDown(true);
  f.Commutateur_Synthese_vocaleClick(nullptr);
  f.Affiche_reception("CQ DE F4ABC ");
  u.bureau.Run(400);
  ASSERT_FALSE(v->spoken.empty());
  std::string dit;
  for (const auto& s : v->spoken) dit += s;
  EXPECT_NE(dit.find("F4ABC"), std::string::npos);

  // The options window's own switch turns speech off for the main window too.
  options->Commutateur_Synthese_vocale->SetDown(false);
  options->Commutateur_Synthese_vocaleClick(nullptr);
  EXPECT_FALSE(f.Commutateur_Synthese_vocale->Down());
  const size_t avant = v->spoken.size();
  f.Affiche_reception("NOT SPOKEN ");
  u.bureau.Run(400);
  EXPECT_EQ(v->spoken.size(), avant);

  // A volume chosen in the options window is what Quit saves (byte 782 = volume + 1).
  options->TB_Volume->SetPosition(37);
  options->TB_VolumeChange(nullptr);
  f.Sauve_parametres_CONF_COM();
  EXPECT_EQ(u.st.Octet_fichier(782), 38);
  EXPECT_EQ(u.st.Octet_fichier(780), 1);  // speech off
}
