// The main window's text windows and their clear buttons, on real windows under Wine, in both layouts and in
// every skin setting: no window of a text box lies under another of the box, and the up arrow of a memo's
// scroll bar is the memo's, not the clear button's.
#include <windows.h>

#include <gtest/gtest.h>

#include "station/composants_peau.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

// What of a box's child windows lies under another one of them, in words; empty when nothing does.
std::string Covered(HWND box) {
  std::string found;
  for (HWND a = GetWindow(box, GW_CHILD); a; a = GetWindow(a, GW_HWNDNEXT)) {
    if (!IsWindowVisible(a)) continue;
    RECT ra{}, rb{}, both{};
    GetWindowRect(a, &ra);
    for (HWND b = GetWindow(a, GW_HWNDNEXT); b; b = GetWindow(b, GW_HWNDNEXT)) {
      if (!IsWindowVisible(b)) continue;
      GetWindowRect(b, &rb);
      if (IntersectRect(&both, &ra, &rb))
        found += " a window of " + std::to_string(both.right - both.left) + " x " +
                 std::to_string(both.bottom - both.top) + " pixels is shared by two controls;";
    }
  }
  return found;
}

// The window at the middle of the up arrow of the memo's vertical scroll bar, as its box finds it (z-order
// counted); the memo itself when it has no such bar.
HWND UnderUpArrow(HWND memo) {
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (!(GetWindowLongA(memo, GWL_STYLE) & WS_VSCROLL) || !GetScrollBarInfo(memo, OBJID_VSCROLL, &info)) return memo;
  POINT p{(info.rcScrollBar.left + info.rcScrollBar.right) / 2, info.rcScrollBar.top + info.dxyLineButton / 2};
  HWND box = GetParent(memo);
  ScreenToClient(box, &p);
  return ChildWindowFromPointEx(box, p, CWP_SKIPINVISIBLE);
}

TEST(DispositionFenetres, TheClearButtonsStandBesideTheirMemosInBothLayoutsAndEverySetting) {
  Bureau bureau;
  StationTest st(bureau);
  station::Fabriques fabriques;
  fabriques.composants_peau = station::Composants_peau_programme;
  st.Demarre(fabriques);
  st.Montre();
  station::FichePrincipale& f = st.f();
  using Clic = void (station::FichePrincipale::*)(gui::TObject*);
  const Clic peaux[] = {&station::FichePrincipale::Peau_nonClick,      &station::FichePrincipale::Peau_SpringClick,
                        &station::FichePrincipale::Peau_LuckyClick,    &station::FichePrincipale::Peau_MacMetalClick,
                        &station::FichePrincipale::Peau_OpusClick,     &station::FichePrincipale::Peau_TopazClick};
  const Clic dispositions[] = {&station::FichePrincipale::ASCIIClick, &station::FichePrincipale::AUTEXClick};
  for (int peau = 0; peau < 6; ++peau) {
    (f.*peaux[peau])(nullptr);
    for (int d = 0; d < 2; ++d) {
      (f.*dispositions[d])(nullptr);
      testsupport::PumpFor(30);
      const struct {
        gui::TWinControl* box;
        gui::TWinControl* memo;
      } boxes[] = {{f.GroupBox_to_transmit, f.Memo_editeur},
                   {f.GroupBox_transmitted, f.Memo_emission},
                   {f.GroupBox_reception, f.Memo_Reception_memo}};
      for (const auto& b : boxes) {
        SCOPED_TRACE("setting " + std::to_string(peau + 1) + (d ? ", AUTEX" : ", ASCII") + ", " + b.box->Name());
        EXPECT_EQ(Covered(b.box->Handle()), "");
        EXPECT_EQ(UnderUpArrow(b.memo->Handle()), b.memo->Handle());
      }
    }
  }
}

}  // namespace
