// The disabled "End the meeting" of the main window read back from the screen under Wine in every skin, against
// the pixels behind it (the same button shown without its caption). Pictures go to artefacts/.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/colors.h"
#include "skin/manager/skinchange.h"
#include "station/composants_peau.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

// What shows in r once two readings 100 ms apart are alike and no animation runs (10 s at most).
std::vector<COLORREF> Settled(const RECT& r) {
  std::vector<COLORREF> last, now;
  testsupport::PumpUntil([&] {
    testsupport::PumpFor(100);
    gui::TBitmap b;
    testsupport::CaptureScreenRect(r, b);
    now.clear();
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const uint8_t* p = b.ScanLine(y) + 3 * x;
        now.push_back(RGB(p[2], p[1], p[0]));
      }
    std::swap(now, last);
    return now == last && skin::AnimationInProgress() == 0;
  }, 10000);
  return last;
}

TEST(LegendeGrisee, EndTheMeetingDisabledReadsAtFourToOneOnThePixelsBehindItInEverySkin) {
  apptest::Bureau bureau;
  apptest::StationTest st(bureau);
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  f.AUTEXClick(nullptr);
  gui::TSpeedButton* b = f.FIN_REUNION;
  ASSERT_EQ(b->Caption(), "End the meeting");
  ASSERT_FALSE(b->Enabled());
  for (gui::TSpeedButton* peau : {f.Peau_Spring, f.Peau_Lucky, f.Peau_MacMetal, f.Peau_Opus, f.Peau_Topaz}) {
    const std::string nom = peau->Caption();
    peau->Click();
    const gui::TPoint o = b->ClientToScreen(gui::TPoint{0, 0});
    const RECT r{o.X, o.Y, o.X + b->Width(), o.Y + b->Height()};
    const std::vector<COLORREF> avec = Settled(r);
    testsupport::SaveWindowPicture(f.Panel_Master->Handle(), "artefacts", "fin_reunion-" + nom);
    b->SetCaption("");
    const std::vector<COLORREF> sans = Settled(r);
    b->SetCaption("End the meeting");
    // The caption's colour: the one most of the pixels it changed took; each such pixel against the one it covers.
    std::map<COLORREF, int> compte;
    for (size_t i = 0; i < avec.size(); ++i) compte[avec[i]] += avec[i] != sans[i];
    COLORREF couleur = 0;
    for (const auto& [c, n] : compte) couleur = n > compte[couleur] ? c : couleur;
    ASSERT_GT(compte[couleur], 20) << nom << ": no caption seen";
    double pire = 21;
    for (size_t i = 0; i < avec.size(); ++i)
      if (avec[i] == couleur && sans[i] != couleur) pire = std::min(pire, platform::ContrastRatio(couleur, sans[i]));
    std::printf("%s: caption %06lx, %.2f:1 at worst on its pixels\n", nom.c_str(), couleur, pire);
    EXPECT_GE(pire, 4.0) << nom;
  }
}

}  // namespace
