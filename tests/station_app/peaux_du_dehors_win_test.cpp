// Skins from outside the program (the table the loader's test runs too) switched to live under Wine, as an
// operator does it, on a display that blends layered windows (the skin's extended borders and dialog frames are
// seen there): left in the skins folder and its button clicked, or sent by a skin editor.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "skin/forms/acdialogwnd.h"
#include "skin/forms/border_form.h"
#include "skin/manager/sskinmanager_component.h"
#include "station/composants_peau.h"
#include "tests/skin_data/outside_skins.h"
#include "tests/station_app/boites_win.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

// Skins from outside (the table the loader's test runs too), each switched to live as an operator does it: left
// in the skins folder and its button clicked, or sent by a skin editor. Refused, the one message shows the program's
// text and the skin in force stays; applied, it is the skin in force, and what the row is about is seen: a message
// box's caption holds its whole close button, clear of the client area and answering the pointer; a window that a
// tall caption brought down goes back up when the skin changes back, unless it was moved meanwhile.
TEST(PeauxDuDehors, EachIsRefusedWithTheProgramsMessageOrAppliedAsWrittenOnALiveSwitch) {
  using outsideskins::Look;
  using outsideskins::Via;
  Bureau bureau;
  StationTest st(bureau);
  Boites boites;
  station::FichePrincipale& f = st.Demarre_et_montre(station::Composants_peau_programme);
  auto& m = *static_cast<skin::TsSkinManagerComponent*>(f.sSkinManager1);
  const std::filesystem::path peaux = "C:\\Skins";
  std::filesystem::create_directories(peaux);
  const std::string spring = "Spring Willow (internal)";
  for (const outsideskins::Row& row : outsideskins::Rows()) {
    SCOPED_TRACE(row.point);
    ASSERT_EQ(m.SkinName(), spring);
    const std::string nom = row.skin;
    std::vector<skin::PackedSkinMember> membres =
        outsideskins::Members(m.InternalSkins[m.InternalSkins.IndexOf(nom)].Data.Bytes());
    membres[0].Data = row.edit(membres[0].Data);
    if (row.via == Via::PackedFile) {
      std::ofstream(peaux / (nom + ".asz"), std::ios::binary) << skin::PackSkin(membres);
    } else {
      std::filesystem::create_directories(peaux / nom);
      for (size_t i = row.via == Via::Editor ? 1 : 0; i < membres.size(); ++i)
        std::ofstream(peaux / nom / membres[i].Name, std::ios::binary) << membres[i].Data;
    }
    const int avant = f.Top();
    auto bouton = [&](const std::string& peau) {
      if (peau == spring) f.Peau_SpringClick(nullptr);
      if (peau == "Lucky (internal)") f.Peau_LuckyClick(nullptr);
      if (peau == "MacMetal (internal)") f.Peau_MacMetalClick(nullptr);
    };
    Boites::texts.clear();
    if (row.via == Via::Editor) {
      std::vector<uint8_t> bloc = outsideskins::EditorBlock(nom, peaux.string(), membres[0].Data);
      COPYDATASTRUCT donnees{0, DWORD(bloc.size()), bloc.data()};
      SendMessageA(gui::Application->Handle(), WM_COPYDATA, skin::SkinPreviewCopyDataWParam,
                   reinterpret_cast<LPARAM>(&donnees));
      testsupport::PumpUntil([&] { return m.SkinName() == nom || !Boites::texts.empty(); }, 10000);
    } else {
      bouton(nom);
    }
    const std::string refus = outsideskins::Expected(row, membres[0].Data);
    testsupport::PumpUntil([&] { return Boites::texts.size() == (refus.empty() ? 0u : 1u); });
    EXPECT_EQ(Boites::texts, refus.empty() ? std::vector<std::string>{} : std::vector<std::string>{refus});
    EXPECT_EQ(m.SkinName(), refus.empty() ? nom : spring);
    EXPECT_EQ(m.SkinData().Active, 1);
    if (row.look == Look::DialogCaption) {
      // A message box in the skin: its close button lies whole in the title band and is what the pointer finds there.
      Boites::ready = [](HWND h) {
        skin::TacDialogWnd* d = skin::DialogAdapterOf(h);
        if (!d || !d->BorderForm || skin::RectIsEmpty(d->CloseButton.Rect)) return false;
        const skin::TRect b = d->CloseButton.Rect;
        EXPECT_GE(b.Top, d->ShadowSize().Top);
        EXPECT_LE(b.Bottom, d->ClientOffsetY());
        EXPECT_EQ(skin::BorderFormHitTestAt(*d->BorderForm, skin::TPoint{(b.Left + b.Right) / 2, b.Bottom - 1}), HTCLOSE);
        return true;
      };
      const int vus = Boites::count;
      MessageBoxA(f.WindowHandle(), "A message", "Caption", MB_OK);
      Boites::ready = nullptr;
      EXPECT_EQ(Boites::count, vus + 1);
    }
    if (row.look == Look::WindowPlace) {
      // Brought down for its caption, back up with a caption of its own size; moved meanwhile, it stays.
      EXPECT_GT(f.Top(), avant);
      bouton(spring);
      EXPECT_EQ(f.Top(), avant);
      bouton(nom);
      f.SetBounds(f.Left() + 40, f.Top() + 30, f.Width(), f.Height());
      const int gauche = f.Left(), haut = f.Top();
      bouton(spring);
      EXPECT_EQ(f.Left(), gauche);
      EXPECT_EQ(f.Top(), haut);
    }
    std::filesystem::remove_all(peaux / nom);
    std::filesystem::remove(peaux / (nom + ".asz"));
    bouton(spring);
  }
}

}  // namespace
