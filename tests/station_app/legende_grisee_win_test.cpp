// The disabled "End the meeting" of the main window read back from the screen under Wine in every skin: its
// caption against the pixels it is drawn over (the same button painted without its caption). Pictures of the
// button in each skin go to artefacts/.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/colors.h"
#include "skin/manager/skinchange.h"
#include "station/composants_peau.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;
using testsupport::PumpUntil;

std::vector<COLORREF> Pixels(const RECT& r) {
  gui::TBitmap b;
  testsupport::CaptureScreenRect(r, b);
  std::vector<COLORREF> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const uint8_t* p = b.ScanLine(y) + x * 3;
      out.push_back(RGB(p[2], p[1], p[0]));
    }
  return out;
}

// What shows in r once it holds still (two readings 100 ms apart alike), or after 10 s.
std::vector<COLORREF> Settled(const RECT& r) {
  std::vector<COLORREF> last = Pixels(r), now;
  PumpUntil([&] {
    testsupport::PumpFor(100);
    now = Pixels(r);
    std::swap(now, last);
    return now == last && skin::AnimationInProgress() == 0;
  }, 10000);
  return last;
}

TEST(LegendeGrisee, EndTheMeetingDisabledReadsAtFourToOneOnThePixelsBehindItInEverySkin) {
  Bureau bureau;
  StationTest st(bureau);
  station::Fabriques fabriques;
  fabriques.composants_peau = station::Composants_peau_programme;
  st.Demarre(fabriques);
  st.Montre();
  station::FichePrincipale& f = st.f();
  f.AUTEXClick(nullptr);
  using Clic = void (station::FichePrincipale::*)(gui::TObject*);
  const struct {
    const char* nom;
    Clic clic;
  } peaux[] = {{"Spring", &station::FichePrincipale::Peau_SpringClick},
               {"Lucky", &station::FichePrincipale::Peau_LuckyClick},
               {"MacMetal", &station::FichePrincipale::Peau_MacMetalClick},
               {"Opus", &station::FichePrincipale::Peau_OpusClick},
               {"Topaz", &station::FichePrincipale::Peau_TopazClick}};
  gui::TSpeedButton* b = f.FIN_REUNION;
  const std::string legende = b->Caption();
  ASSERT_EQ(legende, "End the meeting");
  ASSERT_FALSE(b->Enabled());
  for (const auto& p : peaux) {
    SCOPED_TRACE(p.nom);
    (f.*p.clic)(nullptr);
    const gui::TPoint o = b->ClientToScreen(gui::TPoint{0, 0});
    const RECT r{o.X, o.Y, o.X + b->Width(), o.Y + b->Height()};
    const std::vector<COLORREF> avec = Settled(r);
    testsupport::SaveWindowPicture(f.Panel_Master->Handle(), "artefacts", std::string("fin_reunion-") + p.nom);
    b->SetCaption("");
    const std::vector<COLORREF> sans = Settled(r);
    b->SetCaption(legende);
    // The caption's colour: the most frequent one of the pixels that the caption changed; each pixel in it
    // stands out from the pixel it covers.
    std::map<COLORREF, int> compte;
    for (size_t i = 0; i < avec.size(); ++i)
      if (avec[i] != sans[i]) ++compte[avec[i]];
    ASSERT_GT(compte.size(), 0u) << "no caption seen";
    const COLORREF couleur =
        std::max_element(compte.begin(), compte.end(), [](auto& a, auto& c) { return a.second < c.second; })->first;
    double pire = 21;
    for (size_t i = 0; i < avec.size(); ++i)
      if (avec[i] == couleur && sans[i] != avec[i])
        pire = std::min(pire, platform::ContrastRatio(platform::TColor(couleur), platform::TColor(sans[i])));
    std::printf("%s: caption %06lx on its pixels: %.2f:1 at worst\n", p.nom, couleur, pire);
    EXPECT_GE(pire, 4.0);
  }
}

}  // namespace
