// A station's message and yes/no windows stay over the station, with real input on the test's own display:
// another program's window clicked while one is open covers it (Wine's display does not keep even an
// always-on-top window over it), and a click on the station's own window, which the dialog keeps disabled,
// brings the dialog back over everything, with the keyboard, as Windows does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "station/menu_oui_non.h"
#include "station/message_d_erreur.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

// Another program's window: Wine's Notepad, ended with the test.
struct AutreProgramme {
  AutreProgramme() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    char commande[] = "notepad.exe";
    if (!CreateProcessA(nullptr, commande, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    testsupport::PumpUntil(
        [&] {
          fenetre = FindWindowA("Notepad", nullptr);
          return fenetre && IsWindowVisible(fenetre);
        },
        30000);
  }
  ~AutreProgramme() {
    if (!pi.hProcess) return;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  PROCESS_INFORMATION pi{};
  HWND fenetre = nullptr;
};

bool Dans(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

std::string Clic(POINT p) { return "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1"; }

TEST(PremierPlan, AClickOnTheStationBringsItsDialogBackOverAnotherProgramsWindow) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();
  st.f().SetBounds(500, 0, st.f().Width(), st.f().Height());
  AutreProgramme autre;
  ASSERT_TRUE(autre.fenetre) << "Notepad did not start";
  // Where the message window opens (near the mouse, within the station's window).
  SetCursorPos(1150, 450);

  int vus = 0;
  bureau.reponse_modale = [&](gui::TCustomForm& w) {
    HWND dialogue = w.WindowHandle();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(dialogue) && GetForegroundWindow() == dialogue; }));
    // The dialog belongs to the station's window.
    EXPECT_EQ(GetWindow(dialogue, GW_OWNER), st.f().WindowHandle());
    RECT d, station;
    GetWindowRect(dialogue, &d);
    GetWindowRect(st.f().WindowHandle(), &station);
    // A point of the dialog's own face (between its frame and its controls' text) and what it shows there.
    const POINT sonde{d.left + 6, d.bottom - 5};
    ASSERT_TRUE(testsupport::PumpUntil([&] { return testsupport::ScreenPixel(sonde.x, sonde.y) != CLR_INVALID; }));
    const COLORREF face = testsupport::ScreenPixel(sonde.x, sonde.y);
    // The other program's window over the dialog and some margin, and clicked in that margin: it comes over the
    // dialog on the screen and has the keyboard.
    const RECT a{d.left - 60, d.top - 60, d.right + 60, d.bottom + 60};
    SetWindowPos(autre.fenetre, HWND_TOP, a.left, a.top, a.right - a.left, a.bottom - a.top, SWP_NOACTIVATE);
    ASSERT_TRUE(testsupport::Xdotool(Clic(POINT{a.left + 20, (a.top + a.bottom) / 2})));
    ASSERT_TRUE(testsupport::PumpUntil([&] {
      return GetForegroundWindow() == autre.fenetre && testsupport::ScreenPixel(sonde.x, sonde.y) != face;
    })) << "the other program's window did not come over the dialog";
    // A click on the station's window where nothing covers it: the dialog comes back, over the other window.
    POINT ici{station.right - 12, station.top + 60};
    if (Dans(a, ici)) ici = POINT{station.right - 12, station.bottom - 12};
    ASSERT_FALSE(Dans(a, ici));
    ASSERT_TRUE(testsupport::Xdotool(Clic(ici)));
    EXPECT_TRUE(testsupport::PumpUntil([&] {
      return GetForegroundWindow() == dialogue && testsupport::ScreenPixel(sonde.x, sonde.y) == face;
    })) << w.ClassName() << ": the dialog stayed behind the other program's window";
    ++vus;
  };
  s.Form36->Afficher_information("A file was received.", "Un fichier a \xE9t\xE9 re\xE7u.");
  s.Form20->Question("Are you sure?");
  EXPECT_EQ(vus, 2);
}

}  // namespace
