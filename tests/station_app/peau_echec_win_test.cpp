// A skin that cannot be loaded, on real windows under Wine with the real skin manager: a damaged packed skin in the
// skin directory stands in for the stored skin of that name. The station keeps the setting in force (the skin
// before, or none), reports the failure once, and leaves no half-applied skin behind: no window hook that would
// draw every message box as a skinned dialog of an empty skin, no system colours of an old skin over plain windows.
// A skin that arrives from elsewhere (a skin editor's block, by WM_COPYDATA) is the one the "Skin" box and the
// saved setting follow.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "station/parametres.h"
#include "station/composants_peau.h"
#include "tests/skin_data/outside_skins.h"
#include "tests/station_app/boites_win.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

// A packed skin of that name in the skin directory the station's manager looks in first, damaged; removed again.
struct PeauAbimee {
  explicit PeauAbimee(const std::string& nom) : path("C:\\Skins\\" + nom + ".asz") {
    CreateDirectoryA("C:\\Skins", nullptr);
    std::ofstream(path, std::ios::binary) << "not a packed skin at all";
  }
  ~PeauAbimee() { DeleteFileA(path.c_str()); }
  std::string path;
};

skin::TsSkinManagerComponent& Manager(station::FichePrincipale& f) {
  return *static_cast<skin::TsSkinManagerComponent*>(f.sSkinManager1);
}

TEST(PeauAbimee, AFailedLoadKeepsTheSettingInForceAndLeavesNothingHalfApplied) {
  const DWORD window = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
  {
    PeauAbimee lucky("Lucky (internal)");
    Bureau bureau;
    StationTest st(bureau);
    station::Fabriques fabriques;
    fabriques.composants_peau = station::Composants_peau_programme;
    Boites boites;
    st.Demarre(fabriques);
    st.Montre();
    station::FichePrincipale& f = st.f();
    testsupport::PumpFor(100);
    ASSERT_EQ(Boites::count, 0);
    // From Spring: Spring stays, its button down.
    f.Peau_LuckyClick(nullptr);
    testsupport::PumpFor(100);
    EXPECT_EQ(Boites::count, 1);
    EXPECT_TRUE(Manager(f).Active());
    EXPECT_EQ(Manager(f).SkinName(), "Spring Willow (internal)");
    EXPECT_TRUE(f.Peau_Spring->Down());
    EXPECT_FALSE(f.Peau_Lucky->Down());
    // From no skin: no skin stays, nothing of one is left in place.
    f.Peau_nonClick(nullptr);
    testsupport::PumpFor(100);
    f.Peau_LuckyClick(nullptr);
    testsupport::PumpFor(100);
    EXPECT_EQ(Boites::count, 2);
    EXPECT_FALSE(Manager(f).Active());
    EXPECT_EQ(Manager(f).SkinData().Active, 0);
    EXPECT_EQ(Manager(f).HooksInstalled, 0);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), text);
    EXPECT_TRUE(f.Peau_non->Down());
    EXPECT_FALSE(f.Peau_Lucky->Down());
    // A skin that loads still comes, and the setting saved is the one in force.
    f.Peau_TopazClick(nullptr);
    testsupport::PumpFor(100);
    EXPECT_TRUE(Manager(f).Active());
    EXPECT_EQ(Manager(f).SkinName(), "Topaz (internal)");
    f.Peau_LuckyClick(nullptr);
    testsupport::PumpFor(100);
    f.QuitClick(nullptr);
    EXPECT_EQ(st.Octet_fichier(station::octet::PEAU), 6);
  }
  {
    // The default skin damaged: reported once as the main window is built, and the station starts with none.
    PeauAbimee spring("Spring Willow (internal)");
    Bureau bureau;
    StationTest st(bureau);
    station::Fabriques fabriques;
    fabriques.composants_peau = station::Composants_peau_programme;
    Boites boites;
    st.Demarre(fabriques);
    st.Montre();
    station::FichePrincipale& f = st.f();
    testsupport::PumpFor(200);
    EXPECT_EQ(Boites::count, 1);
    EXPECT_FALSE(Manager(f).Active());
    EXPECT_EQ(Manager(f).HooksInstalled, 0);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
    EXPECT_TRUE(f.Peau_non->Down());
    EXPECT_FALSE(f.Peau_Spring->Down());
    f.QuitClick(nullptr);
    EXPECT_EQ(st.Octet_fichier(station::octet::PEAU), 1);
  }
}

// With another program in front (Wine's Notepad, clicked: no window of the station's thread is active), the
// refused skin's message is owned by the station's window, so that it comes over the station and not behind.
TEST(PeauAbimee, TheRefusalIsOwnedByTheStationsWindowWhenAnotherProgramIsInFront) {
  PeauAbimee lucky("Lucky (internal)");
  Bureau bureau;
  StationTest st(bureau);
  st.Demarre_et_montre(station::Composants_peau_programme);
  testsupport::OtherProgram autre;
  ASSERT_NE(autre.window, nullptr);
  SetWindowPos(autre.window, HWND_TOP, 900, 700, 300, 200, SWP_NOACTIVATE);
  testsupport::Xdotool("mousemove 1050 850 click 1");
  ASSERT_TRUE(testsupport::PumpUntil([&] { return GetForegroundWindow() == autre.window && !GetActiveWindow(); }));
  Boites boites;
  st.f().Peau_LuckyClick(nullptr);
  EXPECT_TRUE(testsupport::PumpUntil([] { return Boites::count == 1; }));
  EXPECT_EQ(Boites::owners, std::vector<HWND>{st.f().WindowHandle()});
}

// A stored skin written out as a skin directory (its description and its image files) under `root`, named `nom`;
// its description.
std::string EcritPeau(skin::TsSkinManager& m, const std::string& stockee, const std::filesystem::path& root,
                      const std::string& nom) {
  skin::TsStoredSkin& peau = m.InternalSkins[m.InternalSkins.IndexOf(stockee)];
  auto lecteur = std::make_unique<skin::TacSkinConvertor>();
  lecteur->LendPackedData(peau.Data);
  if (!skin::ExtractPackedSkin(lecteur) || !lecteur->Options) return {};
  lecteur->ReleasePackedData();
  std::filesystem::create_directories(root / nom);
  for (const skin::TacPackedFile& f : lecteur->Files) std::ofstream(root / nom / f.FileName, std::ios::binary) << f.Data->Bytes();
  return lecteur->Options->Bytes();
}

TEST(PeauRecue, TheSkinBoxAndTheSavedSettingFollowASkinSentByWmCopyData) {
  Bureau bureau;
  StationTest st(bureau);
  Boites boites;
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  skin::TsSkinManagerComponent& m = Manager(f);
  ASSERT_TRUE(f.Peau_Spring->Down());
  const std::filesystem::path peaux = st.dir.path() / "Skins";
  const std::string lucky = EcritPeau(m, "Lucky (internal)", peaux, "Lucky (internal)");
  ASSERT_FALSE(lucky.empty());
  EcritPeau(m, "Lucky (internal)", peaux, "Recue");
  gui::TSpeedButton* const boutons[] = {f.Peau_non, f.Peau_Spring, f.Peau_Lucky, f.Peau_MacMetal, f.Peau_Opus, f.Peau_Topaz};
  struct Cas {
    const char* nom;
    int bouton;   // the setting whose button is down, 0: none
    int sauvee;   // the setting Quit saves
  };
  // One of the six skins; another skin (every button up, the setting stays); the box's own buttons still work.
  for (const Cas& c : {Cas{"Lucky (internal)", 3, 3}, Cas{"Recue", 0, 3}, Cas{nullptr, 6, 6}}) {
    SCOPED_TRACE(c.nom ? c.nom : "Topaz clicked");
    if (c.nom) {
      std::vector<uint8_t> bloc = outsideskins::EditorBlock(c.nom, peaux.string(), lucky);
      COPYDATASTRUCT donnees{0, DWORD(bloc.size()), bloc.data()};
      SendMessageA(gui::Application->Handle(), WM_COPYDATA, skin::SkinPreviewCopyDataWParam,
                   reinterpret_cast<LPARAM>(&donnees));
      ASSERT_TRUE(testsupport::PumpUntil([&] { return m.SkinName() == c.nom && m.SkinData().Active == 1; }, 10000));
    } else {
      f.Peau_TopazClick(nullptr);
      EXPECT_EQ(m.SkinName(), "Topaz (internal)");
    }
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(boutons[i - 1]->Down(), i == c.bouton) << i;
    f.QuitClick(nullptr);
    EXPECT_EQ(st.Octet_fichier(station::octet::PEAU), c.sauvee);
  }
  EXPECT_EQ(Boites::count, 0);
}

}  // namespace
