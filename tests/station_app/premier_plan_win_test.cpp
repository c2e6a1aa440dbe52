// A station's message and yes/no windows stay over the station, with real input on the test's own display:
// another program's window clicked while one is open covers it (Wine's display keeps not even an always-on-top
// window over it), and a click on the station's window, which the dialog keeps disabled, brings the dialog
// back over everything, with the keyboard, as Windows does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "station/menu_oui_non.h"
#include "station/message_d_erreur.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;
using testsupport::PumpUntil;
using testsupport::ScreenPixel;
using testsupport::XClick;

TEST(PremierPlan, AClickOnTheStationBringsItsDialogBackOverAnotherProgramsWindow) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();
  st.f().SetBounds(500, 0, st.f().Width(), st.f().Height());
  testsupport::OtherProgram notepad;
  const HWND autre = notepad.window;
  ASSERT_NE(autre, nullptr);
  SetCursorPos(1150, 450);  // the message window opens near it, within the station's window
  int vus = 0;
  bureau.reponse_modale = [&](gui::TCustomForm& w) {
    HWND dialogue = w.WindowHandle();
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialogue; }));
    EXPECT_EQ(GetWindow(dialogue, GW_OWNER), st.f().WindowHandle());
    RECT d, station;
    GetWindowRect(dialogue, &d);
    GetWindowRect(st.f().WindowHandle(), &station);
    // A point of the dialog's face, and what it shows there.
    const POINT sonde{d.left + 6, d.bottom - 5};
    const COLORREF face = ScreenPixel(sonde.x, sonde.y);
    // The other window over the dialog and a margin, clicked in the margin: it covers the dialog.
    const RECT a{d.left - 60, d.top - 60, d.right + 60, d.bottom + 60};
    SetWindowPos(autre, HWND_TOP, a.left, a.top, a.right - a.left, a.bottom - a.top, SWP_NOACTIVATE);
    ASSERT_TRUE(XClick(POINT{a.left + 20, (a.top + a.bottom) / 2}));
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == autre && ScreenPixel(sonde.x, sonde.y) != face; }));
    // A click on the station's window where nothing covers it: the dialog comes back over the other window.
    const POINT ici{station.right - 12, station.top + 60};
    ASSERT_FALSE(PtInRect(&a, ici));
    ASSERT_TRUE(XClick(ici));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialogue && ScreenPixel(sonde.x, sonde.y) == face; }))
        << w.ClassName() << " stayed behind the other program's window";
    ++vus;
  };
  s.Form36->Afficher_information("A file was received.", "Un fichier a \xE9t\xE9 re\xE7u.");
  s.Form20->Question("Are you sure?");
  EXPECT_EQ(vus, 2);
}

}  // namespace
