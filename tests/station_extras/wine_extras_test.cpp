// Under Wine: the module set-up window on real windows against the radio module simulator (COM21, a factory
// module; COM22, another one for the automatic check), the colour buttons' painting, the speech window with
// the system's speech objects, the HTML Help control, and a screen capture. wine_extras_test.sh starts the
// simulator, then checks its store and decodes the capture with djpeg. Pictures of the windows are kept in
// ARTEFACT_DIR.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "gui/jpeg.h"
#include "station/capture_ecran.h"
#include "station/fiche_transceiver.h"
#include "station/hh.h"
#include "station/hh_funcs.h"
#include "station/options_kestrado.h"
#include "station/station_io.h"
#include "tests/station_io/fakes.h"
#include "tests/support/gui_input.h"
#include "tests/support/win_screen.h"

using namespace stationtest;

namespace {

const std::string kArtefacts = ARTEFACT_DIR;

int FromEnv(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::atoi(v) : 0;
}

std::string WindowText(HWND h) {
  char text[512] = {};
  GetWindowTextA(h, text, sizeof(text));
  return text;
}

// A station on the system clock and serial ports, whose module window lines go to a real Form19.
struct WinStation {
  FakeWindow window;
  autex::Langues langues;
  autex::Horodatage horodatage{platform::systemClock()};
  platform::RecordingPriority priority;
  platform::SimulatedKeyboard keyboard;
  station::StationIo io{window,   langues,  horodatage, platform::systemClock(), platform::systemSerialDevices(),
                        priority, keyboard};
  station::TForm19* form = new station::TForm19(gui::Application);

  WinStation() {
    window.onInfo2 = [this](const std::string& t) { form->Affiche_Info2(t); };
    window.onDonnees = [this](const std::string& t) { form->Affiche_Label_Donnees(t); };
    window.onChampsLus = [this] { form->Affiche_champs_lus(); };
    form->Lie_station(io);
  }
  ~WinStation() { gui::Free(form); }

  bool open(int com) {
    window.code252 = station::Code_du_port(com);
    io.materiel.Vitesse_port = 1200;
    io.ports.Choix_port_serie();
    return io.boucle.Port_ouvert == 1;
  }

  // The main window's timers on the system clock, with the message queue pumped (the module window's own
  // Timer1 is a real window timer).
  bool run(uint32_t limitMs, const std::function<bool()>& done) {
    auto& clock = platform::systemClock();
    const uint32_t start = clock.timeGetTime();
    uint32_t next333 = start + 333, next2000 = start + 2000;
    while (platform::elapsedMs(clock.timeGetTime(), start) < limitMs) {
      if (window.timer1) io.boucle.Timer1Timer();
      const uint32_t now = clock.timeGetTime();
      if (platform::reached(now, next333)) {
        io.boucle.Timer2Timer();
        next333 += 333;
      }
      if (platform::reached(now, next2000)) {
        io.boucle.Timer3Timer();
        next2000 += 2000;
      }
      gui::Application->ProcessMessages();
      if (done()) return true;
      ::Sleep(1);
    }
    return done();
  }
};

TEST(WineModuleWindow, ReadsTheSimulatorsModuleAndWritesAnotherNetIdAndPower) {
  const int com = FromEnv("STATION_TEST_COM");
  ASSERT_GE(com, 1);
  WinStation s;
  ASSERT_TRUE(s.open(com)) << s.window.lastInfo();
  s.run(400, [] { return false; });  // the 333 ms timer restarts the receive pump stopped by the port choice
  auto& t = s.io.transceiver;
  auto& f = *s.form;
  bool inside = false;
  gui::Application->ModalDriver = [&](gui::TCustomForm& form) {
    inside = true;
    EXPECT_EQ(t.Fenetre_transceiver_active, 1);
    EXPECT_EQ(WindowText(f.Handle()), "Transceiver control DRF1278DM");
    ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
    EXPECT_EQ(WindowText(f.Frequence_MHz->Handle()), "434");
    EXPECT_EQ(WindowText(f.Frequence_HHz->Handle()), "0000");
    EXPECT_EQ(f.Label_Donnees->Caption(), "2048 chips / 125 KHz Node ID:00000 Net ID:000");
    EXPECT_EQ(f.Info2->Caption(), "Data reading failure");  // a factory module runs at SF 2048
    EXPECT_EQ(f.Label_Puissance->Caption(), "100");
    testsupport::SaveWindowPicture(f.Handle(), kArtefacts, "Form19-read");

    // The user types another Net ID into the edit and lowers the power twice, then writes.
    SetFocus(f.Edit_NET_ID->Handle());
    SendMessageA(f.Edit_NET_ID->Handle(), EM_SETSEL, 0, -1);
    for (char c : std::string("77")) SendMessageA(f.Edit_NET_ID->Handle(), WM_CHAR, WPARAM(c), 0);
    EXPECT_EQ(t.Net_ID, "77");
    SendMessageA(f.Edit_NET_ID->Handle(), WM_CHAR, WPARAM('7'), 0);  // 777 is refused
    EXPECT_EQ(WindowText(f.Edit_NET_ID->Handle()), "077");
    f.Puissance->Click(gui::TUDBtnType::btPrev);
    f.Puissance->Click(gui::TUDBtnType::btPrev);
    EXPECT_EQ(f.Label_Puissance->Caption(), "25");
    SendMessageA(f.ECRITURE->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(t.Commande_DRF_en_attente, 2);
    ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
    EXPECT_EQ(f.Info2->Caption(), "Data writing success");
    EXPECT_EQ(f.Label_Donnees->Caption(), "1024 chips / 125 KHz Node ID:00000 Net ID:077");
    // The module moved to 9600 baud and the port with it; the read that follows is answered.
    EXPECT_EQ(s.io.materiel.Vitesse_port, 9600);
    ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
    testsupport::PumpFor(200);
    testsupport::SaveWindowPicture(f.Handle(), kArtefacts, "Form19-written");
    SendMessageA(f.LECTURE->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
    EXPECT_EQ(f.Info2->Caption(), "Reading success of the parameters");
    form.Close();
  };
  f.ShowModal();
  gui::Application->ModalDriver = nullptr;
  EXPECT_TRUE(inside);
  EXPECT_EQ(t.Fenetre_transceiver_active, 0);
}

// COM23 gives back what is written to it (socat and cat): no module. The reading fails and the fields stay as
// they were (not 0 MHz and power "?"), Writing is no success and the port stays at 1200 baud.
TEST(WineModuleWindow, ALineThatEchoesIsNoModule) {
  WinStation s;
  ASSERT_TRUE(s.open(FromEnv("STATION_TEST_COM_ECHO"))) << s.window.lastInfo();
  s.run(400, [] { return false; });
  auto& t = s.io.transceiver;
  auto& f = *s.form;
  gui::Application->ModalDriver = [&](gui::TCustomForm& form) {
    ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
    EXPECT_EQ(f.Info2->Caption(), "Reading failure of the parameters");
    EXPECT_EQ(WindowText(f.Frequence_MHz->Handle()), "434");
    EXPECT_EQ(f.Label_Puissance->Caption(), "10");
    testsupport::SaveWindowPicture(f.Handle(), kArtefacts, "Form19-echo-read");
    SendMessageA(f.ECRITURE->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
    EXPECT_EQ(f.Info2->Caption(), "Data writing failure");
    EXPECT_EQ(s.io.materiel.Vitesse_port, 1200);
    form.Close();
  };
  f.ShowModal();
  gui::Application->ModalDriver = nullptr;
}

TEST(WineModuleWindow, TheAutomaticCheckShowsItsResultInTheInformationLine) {
  const int com = FromEnv("STATION_TEST_COM2");
  ASSERT_GE(com, 1);
  WinStation s;
  ASSERT_TRUE(s.open(com)) << s.window.lastInfo();
  auto& t = s.io.transceiver;
  ASSERT_TRUE(s.run(12000, [&] { return t.Module_verifie == 1 && t.Commande_DRF_en_attente == 0; }))
      << s.window.lastInfo();
  bool shown = false;
  for (const std::string& i : s.window.infos)
    if (i == "434.0000 MHz 1024 chips / 125 KHz Node ID:00000 Net ID:000  100 mW") shown = true;
  EXPECT_TRUE(shown) << s.window.lastInfo();
  EXPECT_EQ(s.io.materiel.Vitesse_port, 9600);
}

// A form holding the colour buttons, for their painting.
struct ButtonForm {
  gui::TForm* form = new gui::TForm(gui::Application);
  forms::TClrBtn* button = new forms::TClrBtn(form);
  forms::TClrBtn* disabled = new forms::TClrBtn(form);
  forms::TColorSpeedBtn* speed = new forms::TColorSpeedBtn(form);

  ButtonForm() {
    form->SetBounds(40, 40, 260, 140);
    form->SetCaption("Colour buttons");
    for (forms::TClrBtn* b : {button, disabled}) {
      b->SetParent(form);
      b->SetColor(0xC0FFC0);
    }
    button->SetBounds(10, 10, 110, 30);
    button->SetCaption("Lecture");
    disabled->SetBounds(130, 10, 110, 30);
    disabled->SetCaption("Ecriture");
    disabled->SetEnabled(false);
    speed->SetParent(form);
    speed->SetBounds(10, 60, 80, 26);
    speed->SetCaption("Lancer");
    speed->SetGroupIndex(1);
    speed->SetAllowAllUp(true);
    speed->SetColor(0x80FF80);
    form->Show();
    testsupport::PumpUntil([&] { return Painted(form->Handle()) && Pixel(button->Handle(), 6, 6) == gui::ColorRef(0xC0FFC0); });
  }
  // What was asked to be painted in the window and its children has been.
  static bool Painted(HWND h) {
    if (GetUpdateRect(h, nullptr, FALSE)) return false;
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (GetUpdateRect(c, nullptr, FALSE)) return false;
    return true;
  }
  ~ButtonForm() { gui::Free(form); }

  // Pixels of a control's window (or, for a graphic control, of its area on the form) as RGB values.
  static uint32_t Pixel(HWND h, int x, int y) {
    HDC dc = GetDC(h);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(h, dc);
    return c;
  }
  static int Count(HWND h, const RECT& r, COLORREF colour) {
    HDC dc = GetDC(h);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (GetPixel(dc, x, y) == colour) ++n;
    ReleaseDC(h, dc);
    return n;
  }
};

TEST(WineColourButtons, OwnerDrawnFacesInTheirColour) {
  ButtonForm b;
  HWND h = b.button->Handle();
  EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & 0x0F, BS_OWNERDRAW);
  EXPECT_EQ(ButtonForm::Pixel(h, 6, 6), gui::ColorRef(0xC0FFC0));
  // The disabled button keeps its colour and shows its caption embossed: highlight and shadow text.
  HWND d = b.disabled->Handle();
  EXPECT_EQ(ButtonForm::Pixel(d, 6, 6), gui::ColorRef(0xC0FFC0));
  const RECT inner{4, 4, 106, 26};
  EXPECT_GT(ButtonForm::Count(d, inner, gui::ColorRef(gui::clBtnShadow)), 10);
  EXPECT_GT(ButtonForm::Count(d, inner, gui::ColorRef(gui::clBtnHighlight)), 10);
  // Setting the colour it has asks for no painting; another colour does.
  ValidateRect(h, nullptr);
  b.button->SetColor(0xC0FFC0);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  b.button->SetColor(0xC0E0FF);
  EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE));
  testsupport::PumpUntil([&] { return ButtonForm::Painted(b.form->Handle()); });
  EXPECT_EQ(ButtonForm::Pixel(h, 6, 6), gui::ColorRef(0xC0E0FF));
  // A double click is a second press: the button is clicked twice.
  int clicks = 0;
  b.button->OnClick = [&](gui::TObject*) { ++clicks; };
  const LPARAM mid = MAKELPARAM(50, 15);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, mid);
  SendMessageA(h, WM_LBUTTONUP, 0, mid);
  SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, mid);
  SendMessageA(h, WM_LBUTTONUP, 0, mid);
  testsupport::PumpUntil([&] { return clicks >= 2; });
  EXPECT_EQ(clicks, 2);
  testsupport::SaveWindowPicture(b.form->Handle(), kArtefacts, "ColourButtons-up");

  // The speed button's face is its colour, its highlight the light shade; down, the dark shade shows.
  HWND f = b.form->Handle();
  const RECT face{b.speed->Left() + 4, b.speed->Top() + 4, b.speed->Left() + 20, b.speed->Top() + 10};
  EXPECT_GT(ButtonForm::Count(f, face, gui::ColorRef(0x80FF80)), 40);
  gui::TColor light = 0, dark = 0;
  forms::Couleurs_ombrees(0x80FF80, 0.4, 0.4, light, dark);
  const RECT whole{b.speed->Left(), b.speed->Top(), b.speed->Left() + b.speed->Width(), b.speed->Top() + b.speed->Height()};
  EXPECT_GT(ButtonForm::Count(f, whole, gui::ColorRef(light)), 20);
  EXPECT_GT(ButtonForm::Count(f, whole, gui::ColorRef(dark)), 20);
  EXPECT_EQ(ButtonForm::Count(f, whole, gui::ColorRef(gui::clBtnFace)), 0);
  b.speed->SetDown(true);
  testsupport::PumpUntil([&] { return ButtonForm::Painted(f); });
  testsupport::SaveWindowPicture(b.form->Handle(), kArtefacts, "ColourButtons-down");
  EXPECT_EQ(ButtonForm::Count(f, whole, gui::ColorRef(gui::clBtnFace)), 0);
}

TEST(WineSpeech, TheSystemVoiceLeavesTheStationWorkingAndTheWindowShows) {
  autex::Langues langues;
  auto* form = new station::TForm43(gui::Application);
  form->Lie_langues(langues);
  form->Synthese_vocale_active = 1;
  form->Index_voix = 4;
  form->Lance_synthese_vocale();  // the speech API's SpVoice, whatever it can do here
  ASSERT_NE(form->Voix(), nullptr);
  EXPECT_LT(form->Index_voix, std::max(1, form->cbVoices->Items().Count()) + 4);
  for (char c : std::string("CQ CQ de F4XYZ pse K\r")) form->Prononce_texte(c);
  form->Relance_prononciation();
  std::cout << "system voices: " << form->cbVoices->Items().Count() << ", waiting: "
            << int(form->Prononciation_en_attente) << " \"" << form->Texte_a_prononcer << "\"\n";
  form->Show();
  testsupport::PumpFor(300);
  testsupport::SaveWindowPicture(form->Handle(), kArtefacts, "Form43-system-voice");
  form->Hide();
  gui::Free(form);

  // The same window with voices listed.
  auto* listed = new station::TForm43(gui::Application);
  listed->Lie_langues(langues);
  auto voice = std::make_unique<platform::RecordingVoice>();
  voice->voices = {"Microsoft Anna - English (United States)", "Microsoft Hortense Desktop - French"};
  listed->Fixe_voix(std::move(voice));
  listed->Synthese_vocale_active = 1;
  listed->Volume_voix = 80;
  listed->Vitesse_voix = 2;
  listed->Lance_synthese_vocale();
  listed->Show();
  testsupport::PumpUntil([&] { return WindowText(listed->cbVoices->Handle()) == "Microsoft Anna - English (United States)"; });
  EXPECT_EQ(WindowText(listed->Handle()), "Options for the speech synthesis (pronunciation of the decoded text)");
  EXPECT_EQ(WindowText(listed->cbVoices->Handle()), "Microsoft Anna - English (United States)");
  EXPECT_EQ(SendMessageA(listed->TB_Volume->Handle(), TBM_GETPOS, 0, 0), 80);
  RECT c;
  GetClientRect(listed->Handle(), &c);
  EXPECT_EQ(c.right, 616);
  EXPECT_EQ(c.bottom, 42);
  testsupport::SaveWindowPicture(listed->Handle(), kArtefacts, "Form43");
  listed->Hide();
  gui::Free(listed);
}

TEST(WineHtmlHelp, TheHelpControlIsBound) {
  station::Hh hh(platform::systemHelp());
  EXPECT_NE(hh.HHCtrlHandle, nullptr);
  EXPECT_NE(hh.HtmlHelpA, nullptr);
  EXPECT_NE(hh.HtmlHelpW, nullptr);
  EXPECT_EQ(hh.HtmlHelp, hh.HtmlHelpA);
  const std::string path = station::GetHhctrlPath(platform::systemHelp());
  EXPECT_NE(path.find("hhctrl.ocx"), std::string::npos) << path;
  station::HhFuncs funcs(platform::systemHelp());
  EXPECT_EQ(funcs._DebugActive, 0);
  EXPECT_NE(funcs._ModuleName.find(".exe"), std::string::npos);
  std::cout << "hhctrl.ocx: " << path << " version '" << funcs._hhVerStr << "' (" << funcs._hhFriendlyVerStr
            << "), browser '" << funcs._ieVerStr << "' (" << funcs._ieFriendlyVerStr << ")\n";
  hh.UnloadHtmlHelp();
  EXPECT_EQ(hh.HHCtrlHandle, nullptr);
}

TEST(WineScreenCapture, WritesAJpegOfTheWholeScreen) {
  const char* dir = std::getenv("STATION_CAPTURE_DIR");
  ASSERT_NE(dir, nullptr);
  // Something to see: the module window's definition on the screen.
  forms::TForm19* shown = new forms::TForm19(gui::Application);
  shown->Show();
  testsupport::PumpFor(300);
  autex::Horodatage horodatage(platform::systemClock());
  autex::Langues langues;
  std::string file, error;
  ASSERT_TRUE(station::Capture_ecran(dir, horodatage, platform::systemScreen(), langues, file, error)) << error;
  gui::Free(shown);
  EXPECT_NE(file.find("\\SCREEN\\Screen "), std::string::npos) << file;
  gui::TJPEGImage jpeg;
  jpeg.LoadFromFile(file);
  EXPECT_EQ(jpeg.Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(jpeg.Height(), GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
