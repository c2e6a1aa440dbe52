// ASCII mode between two stations whose serial lines are joined in memory, the editor's typing rules, the
// beacon, the activation of the main window and the AUTEX-mode keys.
#include "tests/station_app/rig.h"

#include <filesystem>
#include <tuple>

#include "station/message_d_erreur.h"

using namespace apptest;

namespace {

// Two stations, A on COM1 and B on COM2, each line carrying what the other writes.
struct DeuxStations {
  Bureau bureau;
  StationTest a{bureau};
  StationTest b{bureau};
  std::shared_ptr<stationtest::FakeLine> la = a.ports.add(1);
  std::shared_ptr<stationtest::FakeLine> lb = b.ports.add(2);

  DeuxStations() {
    la->onWrite = [this](stationtest::FakeLine&, const std::string& w) { lb->input += w; };
    lb->onWrite = [this](stationtest::FakeLine&, const std::string& w) { la->input += w; };
    a.dir.write("CONF_COM.SER", Image_avec({{252, 1}}));
    b.dir.write("CONF_COM.SER", Image_avec({{252, 2}}));
    a.Demarre();
    b.Demarre();
    a.Montre();
    b.Montre();
  }
};

std::string Rapport_ecrit(StationTest& st) {
  for (const auto& e : std::filesystem::directory_iterator(st.dir.path() / "REPORTS"))
    return st.dir.read("REPORTS/" + e.path().filename().string());
  return std::string();
}

TEST(Ascii, TextTypedAndSentWithEscapeShowsOnTheOtherStationAndInItsReport) {
  DeuxStations d;
  station::FichePrincipale& a = d.a.f();
  station::FichePrincipale& b = d.b.f();
  ASSERT_TRUE(a.Bouton_RX->Down());
  testsupport::TypeText(*a.Memo_editeur, "HELLO");
  d.bureau.Run(50);
  EXPECT_TRUE(d.la->written.empty());  // in reception the text waits in the editor

  d.a.clavier.escapePressed = true;
  d.bureau.Run(200);
  EXPECT_TRUE(a.Bouton_TX->Down());
  EXPECT_FALSE(a.GroupBox_Parameters->Enabled());
  EXPECT_EQ(d.la->written, "HELLO");
  EXPECT_EQ(a.Memo_emission->Text(), "HELLO");
  EXPECT_EQ(b.Memo_Reception_memo->Text(), "HELLO");

  // In transmission each key typed at the end goes out at once; Enter sends CR LF.
  testsupport::TypeText(*a.Memo_editeur, " 73\r");
  d.bureau.Run(50);
  EXPECT_EQ(b.Memo_Reception_memo->Text(), "HELLO 73\r\n");

  // Escape again: reception, the editor emptied.
  d.bureau.Run(400);
  d.a.clavier.escapePressed = true;
  d.bureau.Run(10);
  EXPECT_TRUE(a.Bouton_RX->Down());
  EXPECT_EQ(a.Memo_editeur->Text(), "");
  EXPECT_TRUE(a.GroupBox_Parameters->Enabled());

  b.RapportClick(nullptr);
  const std::string rapport = Rapport_ecrit(d.b);
  EXPECT_EQ(rapport, "<Reception>\r\nHELLO 73\r\n\r\n\r\n<Transmission>\r\n");

  // A second report in the same second, and a short-message log too, each under a name of its own.
  const std::string premier = station::Rapport(b);
  const std::string second = station::Rapport(b);
  const std::string messages = b.Rapport_messages();
  const std::string messages2 = b.Rapport_messages();
  EXPECT_FALSE(premier.empty());
  EXPECT_NE(premier, second);
  EXPECT_NE(messages, messages2);
  size_t fichiers = 0;
  for (const auto& e : std::filesystem::directory_iterator(d.b.dir.path() / "REPORTS")) {
    ++fichiers;
    EXPECT_NE(e.path().filename().string()[0], '~');
  }
  EXPECT_EQ(fichiers, 5u);
}

TEST(Ascii, EscapeCountsOnlyWhenTheProgramIsInFrontAndAtMostEvery300ms) {
  DeuxStations d;
  station::FichePrincipale& a = d.a.f();
  d.a.clavier.foreground = false;
  d.a.clavier.escapeDown = true;
  d.bureau.Run(50);
  EXPECT_TRUE(a.Bouton_RX->Down());
  d.a.clavier.foreground = true;
  d.bureau.Run(700);  // held down for 700 ms: three switches (0, 301 and 602 ms), not seven hundred
  EXPECT_TRUE(a.Bouton_TX->Down());
  d.a.clavier.escapeDown = false;
  EXPECT_EQ(d.a.s().autex->EMISSION_EN_COURS, 1);
}

TEST(Ascii, TheEditorSendsOnlyWhatIsTypedAtItsEnd) {
  DeuxStations d;
  station::FichePrincipale& a = d.a.f();
  a.Memo_editeur->SetText("ABC");
  a.Bouton_TX->SetDown(true);
  a.Bouton_TXClick(nullptr);
  d.bureau.Run(20);
  ASSERT_EQ(d.la->written, "ABC");

  a.Memo_editeur->SetSelStart(1);  // the caret in the middle: nothing is sent or inserted
  testsupport::TypeChar(*a.Memo_editeur, 'x');
  EXPECT_EQ(a.Memo_editeur->Text(), "ABC");
  a.Memo_editeur->SetSelStart(3);
  testsupport::TypeChar(*a.Memo_editeur, '\n');  // a typed LF is not sent
  testsupport::TypeChar(*a.Memo_editeur, 'D');
  d.bureau.Run(20);
  EXPECT_EQ(d.la->written, "ABCD");
  EXPECT_EQ(a.Memo_editeur->Text(), "ABCD");
  // A backspace at the end goes out and deletes on both sides.
  testsupport::TypeChar(*a.Memo_editeur, '\b');
  d.bureau.Run(20);
  EXPECT_EQ(a.Memo_editeur->Text(), "ABC");
  EXPECT_EQ(d.b.f().Memo_Reception_memo->Text(), "ABC");
  // Escape typed at the end goes out too, as a byte 27, and inserts nothing; in the middle it sends nothing.
  a.Memo_editeur->SetSelStart(1);
  testsupport::TypeChar(*a.Memo_editeur, '\x1B');
  a.Memo_editeur->SetSelStart(3);
  testsupport::TypeChar(*a.Memo_editeur, '\x1B');
  d.bureau.Run(20);
  EXPECT_EQ(d.la->written, "ABCD\b\x1B");
  EXPECT_EQ(a.Memo_editeur->Text(), "ABC");

  // The switch pressed again while down does not send the editor a second time.
  a.Bouton_TXClick(nullptr);
  d.bureau.Run(20);
  EXPECT_EQ(d.la->written, "ABCD\b\x1B");
  // Reception empties the editor, also when pressed while already receiving; in reception Escape is no text.
  a.Bouton_RX->SetDown(true);
  a.Bouton_RXClick(nullptr);
  EXPECT_EQ(a.Memo_editeur->Text(), "");
  a.Memo_editeur->SetText("next");
  a.Memo_editeur->SetSelStart(4);
  testsupport::TypeChar(*a.Memo_editeur, '\x1B');
  d.bureau.Run(20);
  EXPECT_EQ(d.la->written, "ABCD\b\x1B");
  a.Bouton_RXClick(nullptr);
  EXPECT_EQ(a.Memo_editeur->Text(), "");
}

TEST(Ascii, TheClearButtonsEmptyTheirWindows) {
  DeuxStations d;
  station::FichePrincipale& b = d.b.f();
  b.Memo_Reception_memo->SetText("x");
  b.Memo_emission->SetText("y");
  b.Memo_editeur->SetText("z");
  b.Clear_RX_textClick(nullptr);
  b.Clear_TX_text2Click(nullptr);
  b.Clear_TX_text1Click(nullptr);
  EXPECT_EQ(b.Memo_Reception_memo->Text() + b.Memo_emission->Text() + b.Memo_editeur->Text(), "");
}

TEST(Ascii, TheBeaconRepeatsItsTextAfterItsPause) {
  DeuxStations d;
  station::FichePrincipale& a = d.a.f();
  a.Texte_balise->SetText("CQ F4XYZ");
  a.Pause->SetPosition(1);
  a.PauseClick(nullptr, gui::TUDBtnType::btPrev);
  EXPECT_EQ(a.Label2->Caption(), "5");
  a.Demarrage_Balise->SetDown(true);
  a.Demarrage_BaliseClick(nullptr);
  EXPECT_FALSE(a.Memo_editeur->Enabled());
  d.bureau.Run(200);
  EXPECT_EQ(d.b.f().Memo_Reception_memo->Text(), "CQ F4XYZ\r\n");
  EXPECT_TRUE(a.Bouton_RX->Down());  // back in reception for the pause
  d.bureau.Run(4500);
  EXPECT_EQ(d.la->written, "CQ F4XYZ\r\n");
  d.bureau.Run(1000);
  EXPECT_EQ(d.la->written, "CQ F4XYZ\r\nCQ F4XYZ\r\n");

  // Entering AUTEX mode disarms it.
  a.AUTEXClick(nullptr);
  EXPECT_FALSE(a.Demarrage_Balise->Down());
  EXPECT_TRUE(a.Memo_editeur->Enabled());
  d.bureau.Run(7000);
  EXPECT_EQ(d.la->written, "CQ F4XYZ\r\nCQ F4XYZ\r\n");
}

TEST(Activation, ClosingADialogKeepsALinkInProgressAndOtherwiseReturnsToReception) {
  Bureau bureau;
  StationTest st(bureau);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}, {station::octet::MODE, 78}}));
  st.ports.add(1);
  station::Station& s = st.Demarre();
  st.Montre();
  station::FichePrincipale& f = st.f();
  autex::Autex& a = *s.autex;

  // A link is held and a frame is being written when a message window opens and closes.
  a.SESSION_EN_COURS = 1;
  a.MODE_AUTEX = 0;
  a.TEXTE_TX[0] = "own text";
  s.io->boucle.File_emission = "frame";
  f.Memo_editeur->SetText("hello");
  f.ENVOI_MESSAGE_ARQClick(nullptr);  // connected: the message goes to the AUTEX side
  EXPECT_EQ(a.TEXTE_A_EMETTRE, std::string("\x03\x01hello\x03\x00", 9));
  f.AproposdeClick(nullptr);
  EXPECT_EQ(bureau.modales.back(), "TForm2");
  EXPECT_EQ(s.io->boucle.File_emission, "frame");
  EXPECT_EQ(a.MODE_AUTEX, 0);
  EXPECT_EQ(a.TEXTE_TX[0], "own text");  // the AUTEX side was not returned to its idle state

  // No link: the activation returns the station to reception with empty buffers and the AUTEX side idle.
  a.SESSION_EN_COURS = 0;
  f.ModificationsClick(nullptr);
  EXPECT_EQ(bureau.modales.back(), "TForm3");
  EXPECT_TRUE(s.io->boucle.File_emission.empty());
  EXPECT_EQ(a.MODE_AUTEX, 1);
  EXPECT_TRUE(a.TEXTE_TX[0].empty());
  EXPECT_TRUE(f.Bouton_RX->Down());

  // Not connected, the send button says so in the message window.
  a.TEXTE_A_EMETTRE.clear();
  f.Memo_editeur->SetText("again");
  bureau.reponse_modale = [&](gui::TCustomForm& w) {
    EXPECT_EQ(w.Caption(), "Error");
    EXPECT_EQ(s.Form36->Memo1->Text(), "Your are not yet connected...");
  };
  f.ENVOI_MESSAGE_ARQClick(nullptr);
  EXPECT_EQ(bureau.modales.back(), "TForm36");
  EXPECT_TRUE(a.TEXTE_A_EMETTRE.empty());
}

TEST(Activation, ABeaconInterruptedByADialogGoesOutAgain) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(1);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}}));
  station::Station& s = st.Demarre();
  st.Montre();
  station::FichePrincipale& a = st.f();
  a.Texte_balise->SetText(std::string(300, 'B'));
  a.Demarrage_Balise->SetDown(true);
  a.Demarrage_BaliseClick(nullptr);
  bureau.Run(20);
  ASSERT_FALSE(s.io->boucle.File_emission.empty());  // still being written
  a.ModificationsClick(nullptr);  // the dialog's closing empties the queue
  EXPECT_TRUE(a.Bouton_RX->Down());
  bureau.Run(6000);
  // The whole beacon went out after the interruption.
  EXPECT_NE(ligne->written.find(std::string(300, 'B') + "\r\n"), std::string::npos);
}

TEST(AutexKeys, EnterSendsWhenAskedAndControlKeysAreKeptOutDuringASession) {
  Bureau bureau;
  StationTest st(bureau);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}, {station::octet::MODE, 78}, {station::octet::ENVOI_SUR_CR, 2}}));
  st.ports.add(1);
  station::Station& s = st.Demarre();
  st.Montre();
  station::FichePrincipale& f = st.f();
  autex::Autex& a = *s.autex;
  EXPECT_EQ(a.ENVOI_SUR_CR, 1);  // the switch reaches the AUTEX side
  char k = '\r';
  f.Memo_editeurKeyPress(nullptr, k);
  EXPECT_EQ(s.io->boucle.DEMANDE_ENVOI_MESSAGE, 0);  // not connected
  a.SESSION_EN_COURS = 1;
  f.Memo_editeurKeyPress(nullptr, k);
  EXPECT_EQ(s.io->boucle.DEMANDE_ENVOI_MESSAGE, 1);
  EXPECT_EQ(k, '\r');
  char retour = '\b';
  f.Memo_editeurKeyPress(nullptr, retour);
  EXPECT_EQ(retour, 0);
  char lettre = 'a';
  f.Memo_editeurKeyPress(nullptr, lettre);
  EXPECT_EQ(lettre, 'a');
  // The main loop sends it at its next tick.
  f.Memo_editeur->SetText("73\r\n");
  a.MODE_AUTEX = 0;  // a transmission is being written: the supervisor leaves the queue alone
  bureau.Run(2);
  EXPECT_EQ(s.io->boucle.DEMANDE_ENVOI_MESSAGE, 0);
  EXPECT_EQ(a.TEXTE_A_EMETTRE, std::string("\x03\x01" "73\x03\x00", 6));
  EXPECT_EQ(f.Memo_editeur->Text(), "");
}

TEST(Modes, SwitchingBackToAsciiRestoresItsLayout) {
  Bureau bureau;
  StationTest st(bureau);
  st.Demarre();
  station::FichePrincipale& f = st.f();
  const int largeur = f.ClientWidth();
  const int hauteur = f.ClientHeight();
  f.AUTEXClick(nullptr);
  EXPECT_EQ(f.GroupBox_reception->Top(), f.GroupBox_transmitted->Top());
  EXPECT_EQ(f.GroupBox_reception->Height(), 60);
  EXPECT_TRUE(f.Panel_AUTEX_GENERAL->Visible());
  f.ASCIIClick(nullptr);
  EXPECT_EQ(f.ClientWidth(), largeur);
  EXPECT_EQ(f.ClientHeight(), hauteur);
  EXPECT_FALSE(f.Panel_AUTEX_GENERAL->Visible());
  EXPECT_FALSE(f.Panel_AUTEX->Visible());
  EXPECT_TRUE(f.GroupBox_Balise->Visible());
  EXPECT_TRUE(f.Panel_ASCII_GENERAL->Visible());
  EXPECT_EQ(f.GroupBox_reception->Top(), 258);
  // Each text window ends 32 pixels short of its box's right edge, beside its clear button (30 pixels from that
  // edge), in both modes.
  for (const bool autex : {true, false}) {
    if (autex)
      f.AUTEXClick(nullptr);
    else
      f.ASCIIClick(nullptr);
    for (auto [groupe, memo, bouton] : {std::tuple{f.GroupBox_to_transmit, f.Memo_editeur, f.Clear_TX_text1},
                                        std::tuple{f.GroupBox_transmitted, f.Memo_emission, f.Clear_TX_text2},
                                        std::tuple{f.GroupBox_reception, f.Memo_Reception_memo, f.Clear_RX_text}}) {
      EXPECT_EQ(memo->Left() + memo->Width(), groupe->Width() - 32) << groupe->Name();
      EXPECT_EQ(bouton->Left(), groupe->Width() - 30) << groupe->Name();
      EXPECT_EQ(memo->Height(), groupe->Height() - 17);
    }
  }
  EXPECT_EQ(f.ClientHeight(), f.Panel_ASCII->Top() + f.Panel_ASCII->Height());
}

}  // namespace

#ifndef _WIN32
namespace {
// The window's own timers drive the main loop (natively, on the application's clock).
TEST(Timers, TheMainWindowsTimersRunTheReceivePumpAndTheTitle) {
  Bureau bureau;
  StationTest st(bureau);
  auto ligne = st.ports.add(1);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}}));
  st.Demarre();
  ligne->input = "abc";
  for (int i = 0; i < 400; ++i) {
    bureau.clock.advance(1);
    gui::Application->ProcessTimers();
  }
  EXPECT_EQ(st.f().Memo_Reception_memo->Text(), "abc");
  // The 333 ms timer writes the title and the local time while the port is open.
  EXPECT_EQ(st.f().Caption().rfind(std::string(station::TITRE_FICHE_PRINCIPALE) + std::string(10, ' '), 0), 0u);
  EXPECT_GT(st.f().Caption().size(), 20u);
}
}  // namespace
#endif

#ifdef _WIN32
namespace {
// After Tab has been used in the editor the system's edit control treats Escape as a dialog's cancel key; the
// editor's group box and the program must stay.
TEST(Windows, EscapeInTheEditorAfterTabLeavesTheWindowWhole) {
  Bureau bureau;
  StationTest st(bureau);
  st.Demarre();
  st.Montre();
  station::FichePrincipale& f = st.f();
  HWND editeur = f.Memo_editeur->Handle();
  HWND groupe = f.GroupBox_to_transmit->Handle();
  MSG tab{editeur, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  SendMessageA(editeur, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
  SendMessageA(editeur, WM_KEYDOWN, VK_ESCAPE, 0);
  SendMessageA(editeur, WM_CHAR, VK_ESCAPE, 0);
  SendMessageA(editeur, WM_KEYUP, VK_ESCAPE, 0);
  gui::Application->ProcessMessages();
  EXPECT_TRUE(IsWindow(groupe));
  EXPECT_TRUE(IsWindow(editeur));
  EXPECT_TRUE(IsWindowVisible(editeur));
  EXPECT_FALSE(gui::Application->Terminated());
}
}  // namespace
#endif
