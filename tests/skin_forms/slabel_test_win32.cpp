// The skinned label on a skinned panel under Wine, with the flat-colour fixture skin: a disabled label mixes its
// font colour with the background the panel shows (its section's colour, not its own Color), an opaque label
// fills its rectangle with its Color, a right-to-left label mirrors its alignment, and a label forgets a manager
// component that is freed.
//
// With STATION_SHOTS set to a directory, the form is saved there with the label disabled and right to left.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "gui/gui.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/forms/sbuttons.h"
#include "skin/manager/commondata.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"
#include "tests/support/win_screen.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::ctlcolours;

struct Host : CtrlAdapterHost {
  gui::TWinControl* form = nullptr;
  TsSkinManager* manager = nullptr;
  gui::TWinControl* HostForm() override { return form; }
  TsSkinManager* HostManager() override { return manager; }
};

// A form with a panel that the control adapter skins, and a label on the panel.
struct LabelRig {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  gui::TPanel* panel = new gui::TPanel(form);
  TsLabel* label = new TsLabel(form);
  Host host;
  std::unique_ptr<TacCtrlAdapter> adapter;

  LabelRig() {
    ApplyControlSkin(*manager);
    manager->ThirdPartyLists.assign(23, {});
    manager->ThirdPartyLists[8] = {"TPanel"};
    form->SetBounds(80, 80, 360, 200);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 320, 120);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 260, 40);
    label->SetText("MMMM");
    label->Font().SetSize(16);
    label->Font().SetStyle(gui::fsBold);
    form->Show();
    Pump(50);
    host.form = form;
    host.manager = manager.get();
    adapter = std::make_unique<TacCtrlAdapter>(&host);
    adapter->AddAllItems();
    Pump(30);
  }
  ~LabelRig() {
    adapter.reset();
    gui::Free(form);
    Pump(20);
  }
  // How many pixels of a colour the panel shows in a part of the label (label coordinates), once repainted.
  int Count(const RECT& part, uint32_t colour) {
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    HDC dc = GetDC(panel->Handle());
    int n = 0;
    for (int y = part.top; y < part.bottom; ++y)
      for (int x = part.left; x < part.right; ++x)
        n += GetPixel(dc, label->Left() + x, label->Top() + y) == colour ? 1 : 0;
    ReleaseDC(panel->Handle(), dc);
    return n;
  }
  void Shot(const char* name) {
    if (const char* dir = std::getenv("STATION_SHOTS")) testsupport::SaveWindowPicture(form->Handle(), dir, name);
  }
};

TEST(SkinnedLabel, DisabledOpaqueAndRightToLeftLabelsOnASkinnedPanel) {
  LabelRig r;
  const RECT all{0, 0, r.label->Width(), r.label->Height()};
  const RECT leftHalf{0, 0, r.label->Width() / 2, r.label->Height()};
  const RECT rightHalf{r.label->Width() / 2, 0, r.label->Width(), r.label->Height()};
  ASSERT_NE(uint32_t(platform::ColorToRGB(r.panel->Color())), PanelBg) << "the panel's own colour must differ";
  ASSERT_GT(r.Count(all, PanelBg), 0) << "the panel shows its section";

  // Disabled: 40 % the font colour, 60 % the panel's section colour.
  const TColor font = TColor(platform::ColorToRGB(r.label->Font().Color()));
  r.label->SetEnabled(false);
  EXPECT_GT(r.Count(all, LabelDisabledColor(font, PanelBg)), 20);
  EXPECT_EQ(r.Count(all, LabelDisabledColor(font, TColor(platform::ColorToRGB(r.panel->Color())))), 0);
  r.Shot("label-disabled");
  r.label->SetEnabled(true);

  // Enabled, the text is in the skin's font colour, at the left; right to left, at the right.
  const uint32_t text = SkinManagerGlobalFontColor(r.manager->Skin());
  EXPECT_GT(r.Count(leftHalf, text), 20);
  EXPECT_EQ(r.Count(rightHalf, text), 0);
  r.label->SetBiDiMode(gui::TBiDiMode::bdRightToLeft);
  EXPECT_EQ(r.Count(leftHalf, text), 0);
  EXPECT_GT(r.Count(rightHalf, text), 20);
  r.Shot("label-right-to-left");
  r.label->SetBiDiMode(gui::TBiDiMode::bdLeftToRight);

  // Opaque: its own colour under the text instead of the panel's.
  r.label->SetColor(TColor(0x2060C0));
  r.label->SetTransparent(false);
  EXPECT_EQ(r.Count(all, PanelBg), 0);
  EXPECT_GT(r.Count(rightHalf, 0x2060C0), 0);
  r.Shot("label-opaque");

  // A manager component given to the label and freed is forgotten: the label goes back to the default one.
  auto* own = new TsSkinManagerComponent(nullptr, r.sys);
  r.label->SetSkinManager(own);
  gui::Free(own);
  EXPECT_EQ(r.label->SkinManager(), nullptr);
  r.label->SetTransparent(true);
  EXPECT_GT(r.Count(all, text), 20);

  // An auto-size label keeps one line of height with no text or a lone accelerator mark.
  r.label->SetAutoSize(true);
  for (const char* caption : {"", "&"}) {
    r.label->SetText(caption);
    EXPECT_GT(r.label->Height(), 10) << "\"" << caption << "\"";
  }
}

}  // namespace
