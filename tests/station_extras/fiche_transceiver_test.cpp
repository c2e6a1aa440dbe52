// The module set-up window against in-memory serial lines: its handlers on the station's module logic, the
// module's answers shown in its controls, what typing into its edits accepts and refuses, and the frames that
// its buttons send.
#include <gtest/gtest.h>

#include "station/fiche_transceiver.h"
#include "tests/station_io/rig.h"
#include "tests/support/gui_input.h"

using namespace stationtest;

namespace {

struct WindowRig : Rig {
  station::TForm19* form = nullptr;
  FakeModule module;
  std::shared_ptr<FakeLine> line;

  WindowRig() {
    // The window's timer runs on the station's clock from its creation on.
    gui::Application->SetClock(&clock);
    form = new station::TForm19(nullptr);
    window.onInfo2 = [this](const std::string& t) { form->Affiche_Info2(t); };
    window.onDonnees = [this](const std::string& t) { form->Affiche_Label_Donnees(t); };
    window.onChampsLus = [this] { form->Affiche_champs_lus(); };
    line = openPort(3, 1200);
    module.attach(*line);
    form->Lie_station(io);
    pump(400);  // the port choice stopped the receive pump; the 333 ms timer starts it again
    EXPECT_TRUE(window.timer1);
  }
  ~WindowRig() {
    gui::Free(form);
    gui::Application->SetClock(nullptr);
    gui::Application->ModalDriver = nullptr;
  }
  // The main window's timers (the receive pump every millisecond, its 333 ms and 2 s timers) and the
  // application's timers, the module window's Timer1 among them.
  void pump(uint32_t ms) {
    for (uint32_t t = 0; t < ms; ++t) {
      clock.advance(1);
      if (window.timer1) io.boucle.Timer1Timer();
      if (clock.timeGetTime() % 333 == 0) io.boucle.Timer2Timer();
      if (clock.timeGetTime() % 2000 == 0) io.boucle.Timer3Timer();
#ifdef _WIN32
      // The Windows build's timers are the system's: the window's 100 ms timer fires on the simulated clock.
      if (clock.timeGetTime() % 100 == 0 && form->Timer1->Enabled()) form->Timer1->OnTimer(form->Timer1);
#else
      gui::Application->ProcessTimers();
#endif
    }
  }
  // Shows the window modally; `inside` runs while it is open, with the timers going.
  void showModal(const std::function<void()>& inside) {
    gui::Application->ModalDriver = [&](gui::TCustomForm& f) {
      inside();
      f.Close();
    };
    form->ShowModal();
  }
};

TEST(ModuleWindow, OpeningReadsTheModuleAndShowsWhatItAnswers) {
  WindowRig r;
  r.showModal([&] {
    EXPECT_EQ(r.io.transceiver.Fenetre_transceiver_active, 1);
    EXPECT_EQ(r.form->Caption(), "Transceiver control DRF1278DM");
    EXPECT_EQ(r.io.transceiver.Commande_DRF_en_attente, 1);
    r.pump(400);
    EXPECT_EQ(r.module.reads, 1);
    EXPECT_EQ(r.io.transceiver.Commande_DRF_en_attente, 0);
    // The factory module runs at spreading factor 2048: read, but not the program's settings.
    EXPECT_EQ(r.form->Info2->Caption(), "Data reading failure");
    EXPECT_EQ(r.form->Label_Donnees->Caption(), "2048 chips / 125 KHz Node ID:00000 Net ID:000");
    EXPECT_EQ(r.form->Frequence_MHz->Text(), "434");
    EXPECT_EQ(r.form->Frequence_HHz->Text(), "0000");
    EXPECT_EQ(r.form->Edit_NODE_ID->Text(), "00000");
    EXPECT_EQ(r.form->Edit_NET_ID->Text(), "000");
    EXPECT_EQ(r.form->Puissance->Position(), 7);
    EXPECT_EQ(r.form->Label_Puissance->Caption(), "100");
  });
  EXPECT_EQ(r.io.transceiver.Fenetre_transceiver_active, 0);
  // While the window was open the main window's information line got the status, not the data line.
  EXPECT_EQ(r.window.lastInfo(), "434.0000 MHz 2048 chips / 125 KHz Node ID:00000 Net ID:000  100 mW");
}

TEST(ModuleWindow, TextsFollowTheLanguage) {
  WindowRig r;
  r.langues.Langue = autex::LANGUE_FRANCAIS;
  r.module.silent = true;
  r.showModal([&] {
    EXPECT_EQ(r.form->Caption(), "Contr\xF4le du transceiver DRF1278DM");
    EXPECT_EQ(r.form->GroupBox_Frequence->Caption(), "Fr\xE9quence HF");
    EXPECT_EQ(r.form->GroupBox_Power->Caption(), "Puissance");
    EXPECT_EQ(r.form->LECTURE->Caption(), "Lecture");
    EXPECT_EQ(r.form->ECRITURE->Caption(), "Ecriture");
    EXPECT_EQ(r.form->GroupBox_Node_ID->Hint(), "Le \"Node ID\" doit \xEAtre \xE9gal \xE0 0");
    r.pump(600);
    EXPECT_EQ(r.form->Label_Donnees->Caption(), "Aucune r\xE9ponse (vitesse ou port s\xE9rie suspect) : COM3 \xE0 1200 bauds");
  });
  WindowRig english;
  english.showModal([&] {
    EXPECT_EQ(english.form->GroupBox_Frequence->Caption(), "RF frequency");
    EXPECT_EQ(english.form->ECRITURE->Hint(), "To write the user parameters in the transceiver");
    EXPECT_EQ(english.form->GroupBox_Power->Hint(), "Select an HF power authorized in your country");
  });
}

TEST(ModuleWindow, EditsRefuseWhatTheModuleCannotTake) {
  WindowRig r;
  auto& f = *r.form;
  auto& t = r.io.transceiver;
  f.Edit_NODE_ID->SetText("123");
  EXPECT_EQ(t.Node_ID, "123");
  EXPECT_EQ(t.Node_ID_precedent, "00123");
  testsupport::TypeChar(*f.Edit_NODE_ID, 'x');
  EXPECT_EQ(f.Edit_NODE_ID->Text(), "00123");
  f.Edit_NODE_ID->SetText("70000");
  EXPECT_EQ(f.Edit_NODE_ID->Text(), "00123");
  EXPECT_EQ(t.Node_ID, "00123");
  f.Edit_NODE_ID->SetText("65535");
  EXPECT_EQ(t.Node_ID, "65535");

  f.Edit_NET_ID->SetText("300");
  EXPECT_EQ(f.Edit_NET_ID->Text(), "000");
  f.Edit_NET_ID->SetText("42");
  EXPECT_EQ(t.Net_ID, "42");
  EXPECT_EQ(t.Net_ID_precedent, "042");
  f.Edit_NET_ID->SetText("4-2");
  EXPECT_EQ(f.Edit_NET_ID->Text(), "042");

  f.Frequence_MHz->SetText("43a");
  EXPECT_EQ(f.Frequence_MHz->Text(), "434");
  f.Frequence_MHz->SetText("");
  EXPECT_EQ(t.Frequence_MHz_texte, "");  // the empty text is accepted while typing
  f.Frequence_MHz->SetText("433");
  f.Frequence_HHz->SetText("05.0");
  EXPECT_EQ(f.Frequence_HHz->Text(), "0000");
  f.Frequence_HHz->SetText("05");
  EXPECT_EQ(t.Frequence_HHz_texte, "05");

  f.Puissance->Click(gui::TUDBtnType::btNext);
  EXPECT_EQ(f.Puissance->Position(), 4);
  EXPECT_EQ(f.Label_Puissance->Caption(), "20");
  EXPECT_EQ(t.Puissance, 4);
  for (int i = 0; i < 5; ++i) f.Puissance->Click(gui::TUDBtnType::btNext);
  EXPECT_EQ(f.Label_Puissance->Caption(), "100");
  f.Puissance->Click(gui::TUDBtnType::btPrev);
  EXPECT_EQ(f.Label_Puissance->Caption(), "50");
}

TEST(ModuleWindow, WritingSendsTheWindowsFieldsAndTheModuleKeepsThem) {
  WindowRig r;
  auto& f = *r.form;
  r.showModal([&] {
    r.pump(400);
    f.Frequence_MHz->SetText("433");
    f.Frequence_HHz->SetText("05");
    f.Edit_NET_ID->SetText("42");
    f.Edit_NODE_ID->SetText("0");
    f.Puissance->Click(gui::TUDBtnType::btPrev);  // 7 -> 6
    r.line->written.clear();
    testsupport::UserClick(*f.ECRITURE);
    EXPECT_EQ(f.Info2->Caption(), "");
    EXPECT_EQ(r.io.transceiver.Commande_DRF_en_attente, 2);
    ASSERT_EQ(r.line->written.size(), 23u);
    r.pump(400);
    EXPECT_EQ(r.module.writes, 1);
    EXPECT_EQ(f.Info2->Caption(), "Data writing success");
    EXPECT_EQ(f.Label_Donnees->Caption(), "1024 chips / 125 KHz Node ID:00000 Net ID:042");
    EXPECT_EQ(f.Frequence_MHz->Text(), "433");
    EXPECT_EQ(f.Frequence_HHz->Text(), "0500");
    EXPECT_EQ(f.Label_Puissance->Caption(), "50");
  });
  // Speed code 04, parity 0, 433.05 MHz, SF 1024, mode 0, 125 kHz, Node ID 0, Net ID 42, power 6.
  const uint32_t code = station::Code_frequence(433, 500);
  EXPECT_EQ(r.module.parameters, params(4, 0x0A, 0x07, 0, 42, 6, 0, code));
  // With the window closed again, a read is the automatic check's: the module now runs with the program's
  // settings; the information line shows the whole reading, then the data line.
  // The module now listens at 9600 baud (speed code 04): the port followed it.
  EXPECT_EQ(r.io.materiel.Vitesse_port, 9600);
  EXPECT_EQ(r.line->settings.BaudRate, 9600u);
  r.io.transceiver.Module_verifie = 0;
  r.io.transceiver.Lecture_parametres_DRF1278DM(1);
  r.pump(400);
  EXPECT_EQ(r.io.transceiver.Module_verifie, 1);
  ASSERT_GE(r.window.infos.size(), 2u);
  EXPECT_EQ(r.window.infos[r.window.infos.size() - 2], "433.0500 MHz 1024 chips / 125 KHz Node ID:00000 Net ID:042  50 mW");
  EXPECT_EQ(r.window.lastInfo(), "1024 chips / 125 KHz Node ID:00000 Net ID:042");
}

TEST(ModuleWindow, ReadingWhileACommandIsPendingSendsNothing) {
  WindowRig r;
  auto& f = *r.form;
  r.module.silent = true;
  r.showModal([&] {
    ASSERT_EQ(r.io.transceiver.Commande_DRF_en_attente, 1);
    const size_t sent = r.line->written.size();
    testsupport::UserClick(*f.LECTURE);
    testsupport::UserClick(*f.ECRITURE);
    EXPECT_EQ(r.line->written.size(), sent);
    r.pump(600);
    EXPECT_EQ(f.Label_Donnees->Caption(), "None answer (suspect serial port or speed): COM3 at 1200 bauds");
    testsupport::UserClick(*f.LECTURE);
    EXPECT_GT(r.line->written.size(), sent);
    EXPECT_EQ(r.io.transceiver.Commande_DRF_en_attente, 1);
  });
}

TEST(ModuleWindow, AnotherTransceiverGetsNoFrame) {
  WindowRig r;
  r.window.transceiver = "";
  r.showModal([&] {
    EXPECT_EQ(r.form->Caption(), "Transceiver control ");
    testsupport::UserClick(*r.form->LECTURE);
    testsupport::UserClick(*r.form->ECRITURE);
  });
  EXPECT_TRUE(r.line->written.empty());
}

TEST(ModuleWindow, AWindowNotYetBoundDoesNothing) {
  station::TForm19 f(nullptr);
  gui::Application->ModalDriver = [&](gui::TCustomForm& form) {
    testsupport::UserClick(*f.LECTURE);
    f.Edit_NODE_ID->SetText("x");
    f.Puissance->Click(gui::TUDBtnType::btNext);
    form.Close();
  };
  f.ShowModal();
  gui::Application->ModalDriver = nullptr;
  EXPECT_EQ(f.Edit_NODE_ID->Text(), "x");
  EXPECT_EQ(f.Station(), nullptr);
}

}  // namespace
