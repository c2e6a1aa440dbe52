// The short-message window of the whole station, on real windows under Wine, in every skin setting: short
// messages written in one setting and the skin then switched live read on what the window really shows (its
// background read back from the screen). Pictures of the window in each setting go to artefacts/
// (fenetre_sms-<setting>.bmp).
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/adapters/acmainwnd.h"
#include "station/composants_peau.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

TEST(FenetreSMSPeaux, ShortMessagesReadOnWhatTheWindowShowsInEverySettingAfterALiveSwitch) {
  Bureau bureau;
  StationTest st(bureau);
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  autex::Autex& a = *st.s().autex;
  f.AUTEXClick(nullptr);
  gui::TRichEdit& r = *f.RichEdit_SMS;
  const HWND h = r.Handle();
  using Clic = void (station::FichePrincipale::*)(gui::TObject*);
  const Clic peaux[] = {&station::FichePrincipale::Peau_nonClick,      &station::FichePrincipale::Peau_SpringClick,
                        &station::FichePrincipale::Peau_LuckyClick,    &station::FichePrincipale::Peau_MacMetalClick,
                        &station::FichePrincipale::Peau_OpusClick,     &station::FichePrincipale::Peau_TopazClick};
  // Written once, without a skin; each switch after it must show the same texts anew.
  (f.*peaux[0])(nullptr);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return skin::AdapterOfWindow(h) == nullptr; }, 10000));
  a.NOMS_EMETTEURS[1] = "F1AAA";
  a.NOMS_EMETTEURS[2] = "F4ABC";
  a.EMETTEUR_PROPRE[1] = 0;
  a.EMETTEUR_PROPRE[2] = 1;
  a.EN_TETE_SMS(1);
  a.AJOUTE_TEXTE_SMS(1, ": QSL 73\r\n\r\n");
  a.EN_TETE_SMS(2);
  a.AJOUTE_TEXTE_SMS(2, ": TNX\r\n\r\n");
  for (int peau = 0; peau < 6; ++peau) {
    SCOPED_TRACE("setting " + std::to_string(peau + 1));
    (f.*peaux[peau])(nullptr);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (skin::AdapterOfWindow(h) != nullptr) == (peau > 0); }, 10000));
    RECT wr{};
    GetWindowRect(h, &wr);
    const int w = wr.right - wr.left, hh = wr.bottom - wr.top;
    // The background as the screen shows it, low in the window where no text stands.
    uint32_t fond = 0;
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] {
          RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
          fond = testsupport::WindowPixel(h, w / 2, hh - 30);
          return fond == uint32_t(platform::ColorToRGB(r.Color()) & 0xFFFFFF);
        },
        10000))
        << std::hex << fond << " " << platform::ColorToRGB(r.Color());
    testsupport::SaveWindowPicture(f.Panel_AUTEX_SMS->Handle(), "artefacts", "fenetre_sms-" + std::to_string(peau + 1));
    const auto runs = r.Runs();
    ASSERT_EQ(runs.size(), 4u);  // the two names in bold, each followed by its time and text
    for (const gui::TRichRun& run : runs)
      EXPECT_GE(platform::ContrastRatio(run.Color, platform::TColor(fond)), platform::MinTextContrast)
          << run.Text << " " << std::hex << run.Color << " on " << fond;
  }
}

}  // namespace
