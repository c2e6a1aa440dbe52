// The skinned label on a panel that the control adapter skins, under Wine with the flat-colour fixture skin.
// With STATION_SHOTS set to a directory, the form is saved there with the label disabled.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "gui/gui.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/forms/sbuttons.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"
#include "tests/support/win_screen.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::ctlcolours;

struct LabelRig : CtrlAdapterHost {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  gui::TPanel* panel = new gui::TPanel(form);
  TsLabel* label = new TsLabel(form);
  std::unique_ptr<TacCtrlAdapter> adapter;
  gui::TWinControl* HostForm() override { return form; }
  TsSkinManager* HostManager() override { return manager.get(); }

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
    form->Show();
    adapter = std::make_unique<TacCtrlAdapter>(this);
    adapter->AddAllItems();
  }
  ~LabelRig() override {
    adapter.reset();
    gui::Free(form);
    Pump(20);
  }
  // How many pixels of a colour the panel shows in the left or right half of the label, once repainted.
  int Count(int half, uint32_t colour) {
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    HDC dc = GetDC(panel->Handle());
    int n = 0;
    const int w = label->Width() / 2;
    for (int y = 0; y < label->Height(); ++y)
      for (int x = half * w; x < (half + 1) * w; ++x) n += GetPixel(dc, label->Left() + x, label->Top() + y) == colour;
    ReleaseDC(panel->Handle(), dc);
    return n;
  }
  int Count(uint32_t colour) { return Count(0, colour) + Count(1, colour); }
};

TEST(SkinnedLabel, DisabledOpaqueRightToLeftAndManagerFreedLabelsOnASkinnedPanel) {
  LabelRig r;
  const TColor own = TColor(platform::ColorToRGB(r.panel->Color()));
  ASSERT_NE(uint32_t(own), PanelBg) << "the panel's own colour must differ from its section's";
  ASSERT_GT(r.Count(PanelBg), 0) << "the panel shows its section";

  // Disabled: 40 % the font colour, 60 % the background the panel shows (its section's colour).
  const TColor font = TColor(platform::ColorToRGB(r.label->Font().Color()));
  r.label->SetEnabled(false);
  EXPECT_GT(r.Count(LabelDisabledColor(font, PanelBg)), 20);
  EXPECT_EQ(r.Count(LabelDisabledColor(font, own)), 0);
  if (const char* dir = std::getenv("STATION_SHOTS")) testsupport::SaveWindowPicture(r.form->Handle(), dir, "label-disabled");
  r.label->SetEnabled(true);

  // In the skin's font colour, at the left; right to left, at the right.
  const uint32_t text = SkinManagerGlobalFontColor(r.manager->Skin());
  EXPECT_GT(r.Count(0, text), 20);
  EXPECT_EQ(r.Count(1, text), 0);
  r.label->SetBiDiMode(gui::TBiDiMode::bdRightToLeft);
  EXPECT_EQ(r.Count(0, text), 0);
  EXPECT_GT(r.Count(1, text), 20);
  r.label->SetBiDiMode(gui::TBiDiMode::bdLeftToRight);

  // Opaque: its own colour under the text.
  r.label->SetColor(TColor(0x2060C0));
  r.label->SetTransparent(false);
  EXPECT_GT(r.Count(1, 0x2060C0), 0);
  r.label->SetTransparent(true);

  // A manager component given to the label and freed is forgotten: the default one paints it again.
  auto* gone = new TsSkinManagerComponent(nullptr, r.sys);
  r.label->SetSkinManager(gone);
  gui::Free(gone);
  EXPECT_EQ(r.label->SkinManager(), nullptr);
  EXPECT_GT(r.Count(0, text), 20);
}

}  // namespace
