// A skin that cannot be loaded, on real windows under Wine with the real skin manager: a damaged packed skin in the
// skin directory stands in for the stored skin of that name. The station keeps the setting in force (the skin
// before, or none), reports the failure once, and leaves no half-applied skin behind: no window hook that would
// draw every message box as a skinned dialog of an empty skin, no system colours of an old skin over plain windows.
// A skin that arrives from elsewhere (a skin editor's block, by WM_COPYDATA) is the one the "Skin" box and the
// saved setting follow. Skins from outside are refused with the loader's message or applied as written.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>
#include <set>
#include <string>
#include <vector>

#include "skin/adapters/acbuttons.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/data/packedskin.h"
#include "skin/forms/acdialogwnd.h"
#include "skin/forms/border_form.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/painters/layered_alpha.h"
#include "skin/pixels/pixel_helpers.h"
#include "station/parametres.h"
#include "station/table_parametres.h"
#include "station/composants_peau.h"
#include "tests/skin_data/outside_skins.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

// The message boxes of the thread, closed as they show (from a timer, which their own modal loops run), counted,
// their texts and owners noted; while `ready` says a box is not yet as it is to be seen, it stays open.
struct Boites {
  Boites() {
    count = 0;
    seen.clear();
    owners.clear();
    texts.clear();
    waiting.clear();
    ready = nullptr;
    timer = SetTimer(nullptr, 0, 40, Close);
  }
  ~Boites() { KillTimer(nullptr, timer); }
  static void CALLBACK Close(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM) -> BOOL {
          char cls[32] = {}, text[1024] = {};
          GetClassNameA(h, cls, sizeof cls);
          if (std::string(cls) != "#32770" || !IsWindowVisible(h) || seen.count(h)) return TRUE;
          const DWORD first = waiting.emplace(h, GetTickCount()).first->second;
          if (ready && !ready(h)) {
            if (GetTickCount() - first < 10000) return TRUE;
            ADD_FAILURE() << "a message box never showed as it was to be seen";
          }
          seen.insert(h);
          ++count;
          owners.push_back(GetWindow(h, GW_OWNER));
          GetDlgItemTextA(h, 0xFFFF, text, sizeof text);
          texts.push_back(text);
          PostMessageA(h, WM_COMMAND, IDOK, 0);
          return TRUE;
        },
        0);
  }
  UINT_PTR timer = 0;
  static inline int count = 0;
  static inline std::set<HWND> seen;
  static inline std::vector<HWND> owners;
  static inline std::vector<std::string> texts;
  static inline std::function<bool(HWND)> ready;
  static inline std::map<HWND, DWORD> waiting;  // since when each box is seen
};

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

// What the screen shows in a rectangle, pixel by pixel.
std::vector<COLORREF> Ecran(const RECT& r) {
  std::vector<COLORREF> pixels;
  HDC ecran = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(ecran, x, y));
  ReleaseDC(nullptr, ecran);
  return pixels;
}

int Differents(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  int n = a.size() == b.size() ? 0 : int(std::max(a.size(), b.size()));
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
  return n;
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
  const auto membres = outsideskins::Members(m.InternalSkins[m.InternalSkins.IndexOf(stockee)].Data.Bytes());
  std::filesystem::create_directories(root / nom);
  for (size_t i = 1; i < membres.size(); ++i) std::ofstream(root / nom / membres[i].Name, std::ios::binary) << membres[i].Data;
  return membres[0].Data;
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

// The message boxes of the thread seen from a timer as a burst of refused blocks is handled: how many at most were
// open at once, how many were seen in all; the first one seen runs `pendant` before it is closed.
struct Rafale {
  Rafale() {
    ouvertes_max = vues = 0;
    vues_h.clear();
    timer = SetTimer(nullptr, 0, 40, Tick);
  }
  ~Rafale() { KillTimer(nullptr, timer); }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    std::vector<HWND> ouvertes;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM l) -> BOOL {
          char cls[32] = {};
          GetClassNameA(h, cls, sizeof cls);
          if (std::string(cls) == "#32770" && IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&ouvertes));
    ouvertes_max = std::max(ouvertes_max, int(ouvertes.size()));
    for (HWND h : ouvertes) {
      if (!vues_h.insert(h).second) continue;
      ++vues;
      if (pendant) std::exchange(pendant, nullptr)();
      PostMessageA(h, WM_COMMAND, IDOK, 0);
    }
  }
  UINT_PTR timer = 0;
  static inline int ouvertes_max = 0, vues = 0;
  static inline std::set<HWND> vues_h;
  static inline std::function<void()> pendant;
};

// A skin editor's blocks sent in a burst, each refused: a hundred at once and a hundred more while the first
// refusal shows. Their messages come one at a time, never a box over another's modal loop, and the blocks that came
// meanwhile are one, the last: two boxes in all; the skin in force stays.
TEST(PeauRecue, ABurstOfRefusedBlocksShowsTheirMessagesOneAtATime) {
  Bureau bureau;
  StationTest st(bureau);
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  skin::TsSkinManagerComponent& m = Manager(f);
  std::vector<uint8_t> bloc = outsideskins::EditorBlock("", "C:\\Skins", "[GLOBALINFO]\r\n");  // names no skin
  COPYDATASTRUCT donnees{0, DWORD(bloc.size()), bloc.data()};
  auto envoie = [&](int n) {
    for (int i = 0; i < n; ++i)
      SendMessageA(gui::Application->Handle(), WM_COPYDATA, skin::SkinPreviewCopyDataWParam,
                   reinterpret_cast<LPARAM>(&donnees));
  };
  Rafale rafale;
  Rafale::pendant = [&] { envoie(100); };
  envoie(100);
  EXPECT_TRUE(testsupport::PumpUntil([] { return Rafale::vues >= 2; }, 10000));
  testsupport::PumpFor(500);  // a third box, were one to come
  EXPECT_EQ(Rafale::ouvertes_max, 1);
  EXPECT_EQ(Rafale::vues, 2);
  EXPECT_EQ(m.SkinName(), "Spring Willow (internal)");
  EXPECT_EQ(m.SkinData().Active, 1);
}

// Skins from outside (the table the loader's test runs too), each switched to live as an operator does it: left
// in the skins folder and its button clicked, or sent by a skin editor (run again where layered windows blend). Refused, the one message shows the program's
// text and the skin in force stays; applied, it is the skin in force, and what the row is about is seen: a message
// box's caption holds its whole close button, clear of the client area and answering the pointer; a window that a
// tall caption brought down goes back up when the skin changes back, unless it was moved meanwhile, and a Quit
// while it is down saves the place it has without that caption (moved since, the place it was moved to).
TEST(PeauxDuDehors, EachIsRefusedWithTheProgramsMessageOrAppliedAsWrittenOnALiveSwitch) {
  using outsideskins::Look;
  using outsideskins::Via;
  Bureau bureau;
  StationTest st(bureau);
  Boites boites;
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  skin::TsSkinManagerComponent& m = Manager(f);
  const std::filesystem::path peaux = "C:\\Skins";
  std::filesystem::create_directories(peaux);
  const std::string spring = "Spring Willow (internal)";
  for (const outsideskins::Row& row : outsideskins::Rows()) {
    if (row.nativeOnly) continue;
    SCOPED_TRACE(row.point);
    ASSERT_EQ(m.SkinName(), spring);
    const std::string nom = row.skin;
    std::vector<skin::PackedSkinMember> membres =
        outsideskins::Members(m.InternalSkins[m.InternalSkins.IndexOf(nom)].Data.Bytes());
    membres[0].Data = row.edit(membres[0].Data);
    if (row.files) row.files(membres);
    outsideskins::Deliver(peaux, row, membres);
    const int avant = f.Top();
    auto haut_sauve = [&] {
      f.QuitClick(nullptr);
      const std::string image = st.Image();
      const auto octet = [&](int i) { return uint8_t(image.at(size_t(i - 1))); };
      return station::Decoder_coordonnee(octet(station::octet::HAUT_FICHE), octet(station::octet::HAUT_FICHE + 1));
    };
    const int sauve = row.look == Look::WindowPlace ? haut_sauve() : 0;
    auto bouton = [&](const std::string& peau) {
      if (peau == spring) f.Peau_SpringClick(nullptr);
      if (peau == "Lucky (internal)") f.Peau_LuckyClick(nullptr);
      if (peau == "MacMetal (internal)") f.Peau_MacMetalClick(nullptr);
    };
    // The row's skin switched to as the row says it comes.
    auto applique = [&] {
      if (row.via != Via::Editor) return bouton(nom);
      std::vector<uint8_t> bloc = outsideskins::EditorBlock(outsideskins::BlockName(row), peaux.string(), membres[0].Data);
      COPYDATASTRUCT donnees{0, DWORD(bloc.size()), bloc.data()};
      SendMessageA(gui::Application->Handle(), WM_COPYDATA, skin::SkinPreviewCopyDataWParam,
                   reinterpret_cast<LPARAM>(&donnees));
      testsupport::PumpUntil([&] { return m.SkinName() == nom || !Boites::texts.empty(); }, 10000);
    };
    Boites::texts.clear();
    const DWORD debut = GetTickCount();
    applique();
    const std::string refus =
        outsideskins::Expected(row, membres[0].Data, skin::IncludeTrailingBackslash(m.SkinDirectory()) + nom + ".asz");
    testsupport::PumpUntil([&] { return Boites::texts.size() == (refus.empty() ? 0u : 1u); });
    std::printf("[ switch ] %s: %lu ms\n", row.point, static_cast<unsigned long>(GetTickCount() - debut));
    EXPECT_EQ(Boites::texts, refus.empty() ? std::vector<std::string>{} : std::vector<std::string>{refus});
    EXPECT_EQ(m.SkinName(), refus.empty() ? nom : spring);
    EXPECT_EQ(m.SkinData().Active, 1);
    if (row.look == Look::DialogCaption) {
      // A message box in the skin: its close button lies whole in the title band and is what the pointer finds there.
      Boites::ready = [](HWND h) {
        skin::TacDialogWnd* d = skin::DialogAdapterOf(h);
        const skin::TRect b = d ? d->CloseButton.Rect : skin::TRect{};
        // Where layered windows do not blend (no compositing manager), the frame is the dialog's own.
        if (!d || skin::RectIsEmpty(b) || (!d->BorderForm && skin::LayeredAlphaShown())) return false;
        if (!d->BorderForm) return true;
        EXPECT_TRUE(b.Top >= d->ShadowSize().Top && b.Bottom <= d->ClientOffsetY()) << b.Top << ", " << b.Bottom;
        EXPECT_EQ(skin::BorderFormHitTestAt(*d->BorderForm, skin::TPoint{b.Left + 2, b.Bottom - 1}), HTCLOSE);
        return true;
      };
      MessageBoxA(f.WindowHandle(), "A message", "Caption", MB_OK);
      Boites::ready = nullptr;
    }
    if (row.look == Look::OneState) {
      // The close button at rest, under the X server's pointer and pressed (then dragged off before its release,
      // which closes nothing): the screen shows its one state each time.
      auto& p = *static_cast<skin::TsSkinProvider*>(f.sSkinProvider1);
      const HWND cadre =
          p.BorderForm && p.BorderForm->AForm ? static_cast<HWND>(p.BorderForm->AForm) : f.WindowHandle();
      RECT wr{};
      GetWindowRect(cadre, &wr);
      const skin::TRect b = p.ButtonClose.Rect;
      const RECT sur{wr.left + b.Left, wr.top + b.Top, wr.left + b.Right, wr.top + b.Bottom};
      const POINT centre{(sur.left + sur.right) / 2, (sur.top + sur.bottom) / 2};
      // Once the button's fade (where a glow window shows it) has ended.
      auto fini = [&] {
        const skin::TacSBAnimation* a = p.ButtonClose.GlowTimer;
        return !a || a->TargetState == -1 || a->ShownAlpha == 255;
      };
      auto image = [&](int etat) {
        EXPECT_TRUE(testsupport::PumpUntil([&] { return p.ButtonClose.State == etat && fini(); })) << etat;
        testsupport::PumpFor(100);
        return Ecran(sur);
      };
      testsupport::Xdotool("mousemove 900 700");
      const std::vector<COLORREF> repos = image(0);
      testsupport::Xdotool(testsupport::MoveTo(centre.x - 12, centre.y) + " sleep 0.1 " + testsupport::MoveTo(centre));
      const std::vector<COLORREF> chaud = image(1);
      testsupport::Xdotool("mousedown 1");
      const std::vector<COLORREF> presse = image(2);
      testsupport::Xdotool(testsupport::MoveTo(centre.x - 200, centre.y + 150) + " sleep 0.1 mouseup 1");
      testsupport::PumpUntil([&] { return p.ButtonClose.State == 0; });
      EXPECT_TRUE(IsWindowVisible(f.WindowHandle()));
      EXPECT_EQ(Differents(chaud, presse), 0);
      // Where layered windows blend, a hot or pressed button fades in over the caption as it is at rest (its image
      // laid over the frame's): lighter where the image is partly transparent. Elsewhere the frame shows it alone.
      if (!skin::LayeredAlphaShown()) {
        EXPECT_EQ(Differents(repos, chaud), 0);
      }
    }
    if (row.look == Look::MaskLastState) {
      // A button of the window (Rapport) at rest, under the X server's pointer and pressed (then dragged off before
      // its release, which opens nothing), each state's picture as its adapter paints it: the bands its mask's left
      // and right borders draw (clear of the caption and its focus frame) show the mask's own state where the mask
      // has one, else its last (and the section's last where it paints fewer): alike in the states that show one
      // state of the mask, apart in those that show two.
      const HWND h = f.Rapport->Handle();
      auto* a = dynamic_cast<skin::TacBtnWnd*>(skin::AdapterOfWindow(h));
      ASSERT_NE(a, nullptr);
      const skin::SkinSectionRecord& sec = m.Skin().Sections.at(size_t(a->SkinData->SkinIndex));
      ASSERT_EQ(sec.SectionName, "BUTTON");
      const skin::SkinImageRecord& mask = m.Skin().Images.at(size_t(sec.BorderIndex));
      RECT wr{};
      GetWindowRect(h, &wr);
      const POINT centre{(wr.left + wr.right) / 2, (wr.top + wr.bottom) / 2};
      auto bandes = [&](int etat) {
        EXPECT_TRUE(testsupport::PumpUntil([&] { return a->CtlState() == etat; })) << etat;
        a->SkinData->BGChanged = true;
        a->PaintCache();
        std::vector<uint32_t> pixels;
        const skin::Bitmap& c = *a->SkinData->CacheBmp;
        for (int y = 0; y < c.Height(); ++y)
          for (int x = 0; x < c.Width(); ++x)
            if (x < mask.BorderLeft || x >= c.Width() - mask.BorderRight) pixels.push_back(skin::GetPixel32(c, x, y));
        return pixels;
      };
      testsupport::Xdotool("mousemove 900 700");
      std::vector<std::vector<uint32_t>> images{bandes(0)};
      testsupport::Xdotool(testsupport::MoveTo(centre.x - 12, centre.y) + " sleep 0.1 " + testsupport::MoveTo(centre));
      images.push_back(bandes(1));
      testsupport::Xdotool("mousedown 1");
      images.push_back(bandes(2));
      testsupport::Xdotool(testsupport::MoveTo(centre.x + 12, centre.y) +
                           " sleep 0.1 mousemove 900 700 sleep 0.1 mouseup 1");
      EXPECT_TRUE(testsupport::PumpUntil([&] { return a->CtlState() == 0; }));
      auto montre = [&](int etat) {
        return std::min({etat, skin::SectionStateCount(sec) - 1, int(mask.ImageCount) - 1});
      };
      for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j) {
          ASSERT_EQ(images[size_t(i)].size(), images[size_t(j)].size());
          int n = 0;
          for (size_t k = 0; k < images[size_t(i)].size(); ++k) n += images[size_t(i)][k] != images[size_t(j)][k];
          if (montre(i) == montre(j)) {
            EXPECT_EQ(n, 0) << i << " " << j;
          } else {
            EXPECT_GT(n, int(images[size_t(i)].size()) / 10) << i << " " << j;
          }
        }
    }
    if (row.look == Look::NoCloseImage) {
      // The frame's picture of each button beside the caption's without buttons: the close button blank, the
      // minimize button with its image.
      auto& p = *static_cast<skin::TsSkinProvider*>(f.sSkinProvider1);
      auto differents = [&](const skin::TRect& r) {
        const skin::Bitmap* cache = p.SkinData().CacheBmp.get();
        const skin::Bitmap* strip = p.CaptionStrip.get();
        if (!cache || !strip || strip->Empty() || skin::RectIsEmpty(r)) return -1;
        const int dx = cache->Width() - strip->Width();
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
          for (int x = r.Left; x < r.Right; ++x)
            n += skin::GetPixel32(*cache, x, y) != skin::GetPixel32(*strip, x - dx, y);
        return n;
      };
      EXPECT_TRUE(testsupport::PumpUntil([&] { return differents(p.ButtonMin.Rect) > 100; }))
          << differents(p.ButtonMin.Rect);
      EXPECT_EQ(differents(p.ButtonClose.Rect), 0);
      EXPECT_EQ(p.ButtonClose.Rect.Width(), 21);
    }
    if (row.look == Look::WindowPlace && skin::LayeredAlphaShown()) {
      // Brought down for a caption drawn above it (by a border window: where layered windows blend), back up with
      // a caption of its own size; moved meanwhile, it stays, and that is the place saved.
      EXPECT_GT(f.Top(), avant);
      // A Quit under it saves the place the window has without it.
      EXPECT_EQ(haut_sauve(), sauve);
      bouton(spring);
      EXPECT_EQ(f.Top(), avant);
      applique();
      EXPECT_GT(f.Top(), avant);
      gui::Application->ProcessMessages();  // what the switch left queued comes before the operator's move
      f.SetBounds(f.Left() + 40, f.Top() + 30, f.Width(), f.Height());
      const int gauche = f.Left(), haut = f.Top();
      bouton(spring);
      EXPECT_EQ(f.Left(), gauche);
      EXPECT_EQ(f.Top(), haut);
      EXPECT_EQ(haut_sauve(), haut);
      f.SetBounds(gauche - 40, avant, f.Width(), f.Height());  // where the row found it, for the rows after
    }
    std::filesystem::remove_all(peaux / nom);
    std::filesystem::remove(peaux / (nom + ".asz"));
    bouton(spring);
  }
}

// Started with a skin of a tall caption as the setting, the window comes down as it first shows (where layered
// windows blend); a Quit saves the place stored before, not the one the caption brought it to.
TEST(PeauxDuDehors, AStartUnderATallCaptionSavesThePlaceStoredBefore) {
  Bureau bureau;
  StationTest st(bureau);
  Boites boites;
  const outsideskins::Row* haute = nullptr;
  for (const outsideskins::Row& row : outsideskins::Rows())
    if (!haute && row.look == outsideskins::Look::WindowPlace && row.via == outsideskins::Via::Folder) haute = &row;
  ASSERT_NE(haute, nullptr);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}, {station::octet::PEAU, 3}}));
  const std::string stockee = st.Image().substr(station::octet::HAUT_FICHE - 1, 2);
  {
    // The stored skin, edited as the row edits it, in the skins folder.
    skin::TsSkinManager lecteur(skin::systemSkinSystem());
    station::ReadProgramSkinManagerWithResources(lecteur);
    std::vector<skin::PackedSkinMember> membres =
        outsideskins::Members(lecteur.InternalSkins[lecteur.InternalSkins.IndexOf(haute->skin)].Data.Bytes());
    membres[0].Data = haute->edit(membres[0].Data);
    outsideskins::Deliver("C:\\Skins", *haute, membres);
  }
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  const int haut = station::Decoder_coordonnee(uint8_t(stockee[0]), uint8_t(stockee[1]));
  if (skin::LayeredAlphaShown()) {
    EXPECT_TRUE(testsupport::PumpUntil([&] { return f.Top() > haut + 100; })) << f.Top();
  }
  f.QuitClick(nullptr);
  std::filesystem::remove_all(std::filesystem::path("C:\\Skins") / haute->skin);
  EXPECT_EQ(st.Image().substr(station::octet::HAUT_FICHE - 1, 2), stockee) << f.Top();
  EXPECT_EQ(Boites::count, 0);
}

}  // namespace
