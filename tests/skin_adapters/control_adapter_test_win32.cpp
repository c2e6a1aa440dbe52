// The control adapter on replicas of the station's main window and radio-module window (Windows build, under
// Wine): every listed child gets its adapter and shows its section's colours in each state, read through WM_PRINT
// and from the window's surface; clicks repaint; controls left alone and unlisted classes stay unskinned; the
// combo's list adapter is made once; a printed combo looks as it paints itself; nothing leaks over many drop-downs
// and after release.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "platform/colors.h"
#include "skin/adapters/acbuttons.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/acanimation.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::ctlcolours;

POINT ScreenPoint(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  return p;
}

// How far a control's caption stands out from its face: the strongest contrast with `face` of a pixel of rectangle r
// of a window's client area (inside the control's frame).
double CaptionContrast(HWND window, const RECT& r, uint32_t face) {
  Pump(10);
  double best = 1;
  HDC dc = GetDC(window);
  for (int y = r.top + 3; y < r.bottom - 3; ++y)
    for (int x = r.left + 3; x < r.right - 3; ++x)
      best = std::max(best, platform::ContrastRatio(platform::TColor(GetPixel(dc, x, y)), platform::TColor(face)));
  ReleaseDC(window, dc);
  return best;
}

struct Host : CtrlAdapterHost {
  gui::TWinControl* form = nullptr;
  TsSkinManager* manager = nullptr;
  gui::TWinControl* HostForm() override { return form; }
  TsSkinManager* HostManager() override { return manager; }
  std::vector<gui::TCustomLabel*> labels;
  void SetLabelColor(gui::TCustomLabel* Label) override { labels.push_back(Label); }
};

// The replica: the main window's buttons, check box, group box and panel, and the radio-module window's bit
// button, up-downs and voice combo box, all on one form.
struct Replica {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  gui::TButton* button = new gui::TButton(form);
  gui::TButton* alone = new gui::TButton(form);
  gui::TBitBtn* bitBtn = new gui::TBitBtn(form);
  gui::TCheckBox* check = new gui::TCheckBox(form);
  gui::TGroupBox* group = new gui::TGroupBox(form);
  gui::TPanel* panel = new gui::TPanel(form);
  gui::TUpDown* up1 = new gui::TUpDown(form);
  gui::TUpDown* up2 = new gui::TUpDown(form);
  gui::TComboBox* combo = new gui::TComboBox(form);
  gui::TEdit* edit = new gui::TEdit(form);
  gui::TLabel* label = new gui::TLabel(form);
  Host host;
  std::unique_ptr<TacCtrlAdapter> adapter;

  Replica() {
    ApplyControlSkin(*manager);
    manager->ThirdPartyLists.assign(23, {});
    manager->ThirdPartyLists[1] = {"TButton"};
    manager->ThirdPartyLists[2] = {"TBitBtn"};
    manager->ThirdPartyLists[3] = {"TCheckBox"};
    manager->ThirdPartyLists[4] = {"TComboBox"};
    manager->ThirdPartyLists[6] = {"TGroupBox"};
    manager->ThirdPartyLists[8] = {"TPanel"};
    manager->ThirdPartyLists[19] = {"TUpDown"};
    form->SetBounds(60, 60, 520, 320);
    auto place = [this](gui::TControl* c, int x, int y, int w, int h, const char* text) {
      c->SetParent(form);
      c->SetBounds(x, y, w, h);
      c->SetText(text);
    };
    place(button, 10, 10, 100, 30, "OK");
    place(alone, 10, 240, 100, 30, "Alone");
    alone->SetTag(0x100);
    place(bitBtn, 120, 10, 110, 30, "Send");
    bitBtn->Glyph().SetPixelFormat(gui::TPixelFormat::pf24bit);
    bitBtn->Glyph().SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        uint8_t* p = bitBtn->Glyph().ScanLine(y) + x * 3;
        const bool corner = x == 0 && y == 15;  // the transparent colour
        p[0] = corner ? 0 : 0xC0, p[1] = corner ? 0 : 0x40, p[2] = corner ? 0 : 0x20;
      }
    bitBtn->GlyphChanged();
    place(check, 10, 50, 140, 24, "Check");
    place(group, 10, 90, 200, 120, "Group");
    place(panel, 230, 90, 150, 120, "");
    place(up1, 400, 10, 20, 40, "");
    place(up2, 430, 10, 20, 40, "");
    place(combo, 240, 50, 150, 24, "");
    place(edit, 240, 240, 100, 24, "edit");
    place(label, 400, 100, 60, 20, "Label");
    combo->SetStyle(gui::TComboBoxStyle::csDropDownList);
    for (const char* s : {"Voice one", "Voice two", "Voice three"}) combo->Items().Add(s);
    form->Show();
    combo->SetItemIndex(0);
    Pump(50);
    host.form = form;
    host.manager = manager.get();
    adapter = std::make_unique<TacCtrlAdapter>(&host);
    adapter->AddAllItems();
    for (gui::TWinControl* c : std::vector<gui::TWinControl*>{form}) RedrawWindow(c->Handle(), nullptr, nullptr,
                                                                                  RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(50);
  }
  ~Replica() {
    adapter.reset();
    if (form != nullptr) gui::Free(form);
    Pump(20);
  }
  // Both readings of a pixel, which must agree.
  static uint32_t Probe(gui::TWinControl* c, int x, int y) {
    Pump(10);
    const uint32_t printed = PrintedPixel(c->Handle(), x, y);
    const uint32_t surface = SurfacePixel(c->Handle(), x, y);
    EXPECT_EQ(printed, surface) << c->ClassName() << " at " << x << "," << y;
    return printed;
  }
};

// State probes without cross-fades (they are tested on their own below).
struct NoAnimations {
  NoAnimations() { AnimationsOff() = 1; }
  ~NoAnimations() { AnimationsOff() = 0; }
};

TEST(ControlAdapter, ReplicaShowsSectionColoursInEveryState) {
  NoAnimations still;
  { Replica warmUp; }  // the application's own windows and objects, made once
  Pump(20);
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  {
    Replica r;
    // Every listed child answers; the one left alone, the unlisted class and the label do not.
    for (gui::TWinControl* c : std::vector<gui::TWinControl*>{r.button, r.bitBtn, r.check, r.group, r.panel, r.up1,
                                                              r.up2, r.combo})
      EXPECT_NE(AdapterOfWindow(c->Handle()), nullptr) << c->ClassName();
    EXPECT_EQ(AdapterOfWindow(r.alone->Handle()), nullptr);
    EXPECT_EQ(AdapterOfWindow(r.edit->Handle()), nullptr);
    EXPECT_EQ(r.adapter->Items.size(), 8u);
    ASSERT_FALSE(r.host.labels.empty());  // the label gets the skin's colours (once per pass), and nothing else
    for (gui::TCustomLabel* l : r.host.labels) EXPECT_EQ(l, r.label);
    // A second scan adds nothing.
    r.adapter->AddAllItems();
    EXPECT_EQ(r.adapter->Items.size(), 8u);

    const HWND b = r.button->Handle();
    EXPECT_EQ(Replica::Probe(r.button, 4, 4), ButtonN);
    SendMessageA(b, WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSEENTER), 0);
    EXPECT_EQ(Replica::Probe(r.button, 4, 4), ButtonH);
    SendMessageA(b, WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSELEAVE), 0);
    SendMessageA(b, BM_SETSTATE, 1, 0);
    EXPECT_EQ(Replica::Probe(r.button, 4, 4), ButtonP);
    SendMessageA(b, BM_SETSTATE, 0, 0);
    EXPECT_EQ(Replica::Probe(r.button, 4, 4), ButtonN);
    r.button->SetEnabled(false);
    const uint32_t disabled = Replica::Probe(r.button, 4, 4);
    // Greyed and blended with what lies under it: another colour, less saturated.
    auto spread = [](uint32_t c) {
      const int ch[3] = {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
      return std::max({ch[0], ch[1], ch[2]}) - std::min({ch[0], ch[1], ch[2]});
    };
    EXPECT_NE(disabled, ButtonN);
    EXPECT_LT(spread(disabled), spread(ButtonN)) << std::hex << disabled;
    // Its caption dimmed, still readable: 3:1 at least, under the enabled caption's.
    RECT client{};
    GetClientRect(b, &client);
    const double dimmed = CaptionContrast(b, client, disabled);
    EXPECT_GE(dimmed, 3.0);
    EXPECT_LT(dimmed, platform::ContrastRatio(0x000000, ButtonN));
    r.button->SetEnabled(true);
    EXPECT_EQ(Replica::Probe(r.button, 4, 4), ButtonN);

    // The bit button's glyph, centred with its caption; its transparent corner shows the button.
    const uint32_t glyphColour = 0xC04020;  // B 0xC0, G 0x40, R 0x20
    bool glyphFound = false;
    for (int x = 0; x < 110 && !glyphFound; ++x) glyphFound = Replica::Probe(r.bitBtn, x, 15) == glyphColour;
    EXPECT_TRUE(glyphFound);

    // The check box: its section, its glyph; focus shows the glyph's hot state, a click checks it.
    const int gy = (24 - 8) / 2 + 4;
    EXPECT_EQ(Replica::Probe(r.check, 60, 1), CheckBg);
    EXPECT_EQ(Replica::Probe(r.check, 3, gy), BoxU[0]);
    r.check->SetFocus();
    PumpUntil([&] { return Replica::Probe(r.check, 3, gy) == BoxU[1]; });
    EXPECT_EQ(Replica::Probe(r.check, 3, gy), BoxU[1]);
    const POINT cp = ScreenPoint(r.check->Handle(), 3, gy);
    MouseTo(cp.x, cp.y);
    Pump(20);
    MouseButton(true);
    PumpUntil([&] { return SurfacePixel(r.check->Handle(), 3, gy) == BoxU[2]; });
    EXPECT_EQ(SurfacePixel(r.check->Handle(), 3, gy), BoxU[2]) << "pressed";
    MouseButton(false);
    PumpUntil([&] { return r.check->Checked(); });
    EXPECT_TRUE(r.check->Checked());
    const uint32_t checked = Replica::Probe(r.check, 3, gy);
    EXPECT_TRUE(checked == BoxC[0] || checked == BoxC[1]) << std::hex << checked;

    // Group box below its caption band, panel.
    EXPECT_EQ(Replica::Probe(r.group, 4, 60), GroupBg);
    EXPECT_EQ(Replica::Probe(r.panel, 4, 60), PanelBg);

    // An up-down: normal, then its top button hot and pressed under the mouse, hot again on release.
    EXPECT_EQ(Replica::Probe(r.up1, 3, 3), ButtonN);
    const POINT up = ScreenPoint(r.up1->Handle(), 10, 8);
    MouseTo(up.x, up.y);
    PumpUntil([&] { return SurfacePixel(r.up1->Handle(), 3, 3) == ButtonH; });
    EXPECT_EQ(SurfacePixel(r.up1->Handle(), 3, 3), ButtonH);
    MouseButton(true);
    PumpUntil([&] { return SurfacePixel(r.up1->Handle(), 3, 3) == ButtonP; });
    EXPECT_EQ(SurfacePixel(r.up1->Handle(), 3, 3), ButtonP);
    EXPECT_EQ(SurfacePixel(r.up1->Handle(), 3, 37), ButtonN) << "the other half stays";
    MouseButton(false);
    PumpUntil([&] { return SurfacePixel(r.up1->Handle(), 3, 3) == ButtonH; });
    EXPECT_EQ(SurfacePixel(r.up1->Handle(), 3, 3), ButtonH);
    MouseTo(5, 5);
    Pump(30);

    // The combo: the edit section's border and the combo button's section.
    EXPECT_EQ(Replica::Probe(r.combo, 0, 12), colours::EditBorderN);
    auto* ca = dynamic_cast<TacComboBoxWnd*>(AdapterOfWindow(r.combo->Handle()));
    ASSERT_NE(ca, nullptr);
    const TRect br = ca->ButtonRect();
    EXPECT_EQ(SurfacePixel(r.combo->Handle(), br.Left + 1, br.Top + 1), ComboBtnN);

    // The list adapter is made on the first drop-down and kept; the ledger stays flat over a hundred.
    const HWND cb = r.combo->Handle();
    SendMessageA(cb, CB_SHOWDROPDOWN, TRUE, 0);
    Pump(10);
    SendMessageA(cb, CB_SHOWDROPDOWN, FALSE, 0);
    Pump(10);
    TacComboListWnd* list = ca->ListAdapter;
    ASSERT_NE(list, nullptr);
    const ledger::Snapshot dropped = ledger::Take();
    for (int i = 0; i < 100; ++i) {
      SendMessageA(cb, CB_SHOWDROPDOWN, TRUE, 0);
      Pump();
      SendMessageA(cb, CB_SHOWDROPDOWN, FALSE, 0);
      Pump();
    }
    EXPECT_EQ(ca->ListAdapter, list);
    EXPECT_EQ(ledger::Difference(dropped, ledger::Take()), "");

    // Released: every window back without its adapter.
    std::vector<HWND> handles;
    for (auto& item : r.adapter->Items) handles.push_back(item->Control->Handle());
    r.adapter->Clear();
    Pump(10);
    for (HWND h : handles) EXPECT_EQ(AdapterOfWindow(h), nullptr);
  }
  Pump(20);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

TEST(ControlAdapter, HoverCrossFadesToTheHotLookAndBack) {
  {  // the timers' shared window, made by the first animation of the process
    Replica warmUp;
    SendMessageA(warmUp.button->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSEENTER), 0);
    Pump(50);
  }
  Pump(20);
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  {
    Replica r;
    const HWND b = r.button->Handle();
    ASSERT_EQ(Replica::Probe(r.button, 4, 4), ButtonN);
    // The cross-fade passes through mixed frames and ends in the hot colour.
    SendMessageA(b, WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSEENTER), 0);
    bool mixed = false;
    uint32_t seen = 0;
    for (int i = 0; i < 200 && (seen = SurfacePixel(b, 4, 4)) != ButtonH; ++i) {
      mixed = mixed || (seen != ButtonN && seen != ButtonH);
      Pump(5);
    }
    EXPECT_EQ(seen, ButtonH);
    EXPECT_TRUE(mixed) << "no frame between the two states was shown";
    SendMessageA(b, WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSELEAVE), 0);
    for (int i = 0; i < 200 && (seen = SurfacePixel(b, 4, 4)) != ButtonN; ++i) Pump(5);
    EXPECT_EQ(seen, ButtonN);
    // A press during a fade stops it and shows the pressed look at once.
    SendMessageA(b, WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSEENTER), 0);
    SendMessageA(b, BM_SETSTATE, 1, 0);
    EXPECT_EQ(Replica::Probe(r.button, 4, 4), ButtonP);
    SendMessageA(b, BM_SETSTATE, 0, 0);
  }
  Pump(100);
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST(ControlAdapter, SpeedButtonsArePaintedByTheirHandlerUntilTheSkinGoes) {
  NoAnimations still;
  Replica r;
  auto* plain = new gui::TSpeedButton(r.form);
  auto* flat = new gui::TSpeedButton(r.form);
  auto* unlisted = new gui::TSpeedButton(r.form);
  for (gui::TSpeedButton* b : {plain, flat, unlisted}) b->SetParent(r.form);
  plain->SetBounds(230, 214, 50, 22);
  flat->SetBounds(290, 214, 50, 22);
  flat->SetFlat(true);
  unlisted->SetBounds(350, 214, 50, 22);
  unlisted->SetTag(0x100);
  r.manager->ThirdPartyLists[17] = {"TSpeedButton"};
  // The sections follow the buttons' look whatever the events say.
  r.host.OnSkinItem = [](gui::TComponent*, bool&, std::string& section) { section = "PANEL"; };
  r.adapter->AddAllItems();
  ASSERT_EQ(r.adapter->GraphItems.size(), 2u);
  EXPECT_EQ(r.adapter->GraphItemOf(plain)->SkinData.SkinSection, "SPEEDBUTTON");
  EXPECT_EQ(r.adapter->GraphItemOf(flat)->SkinData.SkinSection, "SPEEDBUTTON_SMALL");
  EXPECT_EQ(r.adapter->GraphItemOf(unlisted), nullptr);
  const HWND f = r.form->Handle();
  auto formPixel = [f](gui::TControl* c, int x, int y) {
    RedrawWindow(f, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    HDC dc = GetDC(f);
    const COLORREF v = GetPixel(dc, c->Left() + x, c->Top() + y);
    ReleaseDC(f, dc);
    return uint32_t(v);
  };
  EXPECT_EQ(formPixel(plain, 4, 4), ButtonN);
  EXPECT_EQ(formPixel(flat, 4, 4), SpeedSmall);
  plain->Perform(gui::CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(formPixel(plain, 4, 4), ButtonH);
  plain->Perform(gui::CM_MOUSELEAVE, 0, 0);
  plain->SetGroupIndex(1);
  plain->SetAllowAllUp(true);
  plain->SetDown(true);
  EXPECT_EQ(formPixel(plain, 4, 4), ButtonP);
  // Disabled, a down button keeps its pressed look and an up one its rest, both greyed; neither lights up.
  plain->SetEnabled(false);
  const uint32_t downDisabled = formPixel(plain, 4, 4);
  plain->SetDown(false);
  const uint32_t upDisabled = formPixel(plain, 4, 4);
  plain->Perform(gui::CM_MOUSEENTER, 0, 0);
  const uint32_t hotDisabled = formPixel(plain, 4, 4);
  plain->Perform(gui::CM_MOUSELEAVE, 0, 0);
  EXPECT_NE(downDisabled, ButtonP) << "greyed";
  EXPECT_NE(upDisabled, ButtonN) << "greyed";
  // A caption (the station's "End the meeting") dimmed, still readable.
  plain->SetCaption("End");
  formPixel(plain, 4, 4);
  const RECT face{plain->Left(), plain->Top(), plain->Left() + plain->Width(), plain->Top() + plain->Height()};
  EXPECT_GE(CaptionContrast(f, face, upDisabled), 3.0);
  plain->SetCaption("");
  EXPECT_NE(downDisabled, upDisabled) << std::hex << downDisabled;
  EXPECT_EQ(hotDisabled, upDisabled) << std::hex << hotDisabled << " " << upDisabled;
  plain->SetEnabled(true);
  EXPECT_EQ(formPixel(plain, 4, 4), ButtonN);
  // A procedure put over the handler's stays when the handler lets go; the flat button's messages still flow.
  int later = 0;
  gui::TWndMethod under = flat->WindowProc;
  flat->WindowProc = [&later, under](gui::TMessage& m) {
    ++later;
    under(m);
  };
  r.adapter->GraphItemOf(flat)->Handler.reset();
  flat->Perform(WM_NULL, 0, 0);
  EXPECT_EQ(later, 1);
  EXPECT_EQ(formPixel(flat, 4, 4) == SpeedSmall, false) << "no longer painted by the skin";
  // The skin removed: the handler lets go, the button paints itself, the next clean-up drops its item.
  plain->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREMOVED),
                 reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(r.manager.get())));
  EXPECT_NE(formPixel(plain, 4, 4), ButtonN);
  r.adapter->RemoveUnused();
  EXPECT_EQ(r.adapter->GraphItemOf(plain), nullptr);
  EXPECT_EQ(r.adapter->GraphItemOf(flat), nullptr);  // its handler went above
}

// A pressed speed button moves its glyph by one pixel down and right; its caption stays where it was.
TEST(ControlAdapter, APressedSpeedButtonMovesItsGlyphAndNotItsCaption) {
  NoAnimations still;
  Replica r;
  auto* b = new gui::TSpeedButton(r.form);
  b->SetParent(r.form);
  b->SetBounds(230, 214, 90, 34);
  b->SetCaption("Wm");
  b->SetLayout(gui::TButtonLayout::blGlyphLeft);
  // A glyph of 12 x 12: a white frame (the bottom-left colour: transparent) around green.
  gui::TBitmap& g = b->Glyph();
  g.SetPixelFormat(gui::TPixelFormat::pf24bit);
  g.SetSize(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      uint8_t* p = g.ScanLine(y) + x * 3;
      const bool inside = x >= 2 && x < 10 && y >= 2 && y < 10;
      p[0] = inside ? 0 : 255;
      p[1] = 255;
      p[2] = inside ? 0 : 255;
    }
  g.Changed();
  r.manager->ThirdPartyLists[17] = {"TSpeedButton"};
  r.adapter->AddAllItems();
  TacGraphItem* item = r.adapter->GraphItemOf(b);
  ASSERT_NE(item, nullptr);
  ASSERT_NE(item->Handler, nullptr);
  // The bounds of the pixels that pass a test, in the handler's cache.
  auto bounds = [&](auto pass) {
    item->Handler->PaintCache();
    const Bitmap& cache = *item->SkinData.CacheBmp;
    TRect r{cache.Width(), cache.Height(), -1, -1};
    for (int y = 0; y < cache.Height(); ++y)
      for (int x = 0; x < cache.Width(); ++x)
        if (pass(GetPixel32(cache, x, y) & 0xFFFFFFu))
          r = TRect{std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r;
  };
  auto green = [](uint32_t p) { return p == 0x00FF00u; };
  auto ink = [](uint32_t p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF) < 0x60; };
  const TRect glyphUp = bounds(green), textUp = bounds(ink);
  ASSERT_EQ(glyphUp.Width(), 8);
  ASSERT_GT(textUp.Width(), 4) << "the caption is written";
  EXPECT_GE(textUp.Left, glyphUp.Right) << "the caption right of the glyph";
  b->SetGroupIndex(1);
  b->SetAllowAllUp(true);
  b->SetDown(true);
  ASSERT_EQ(item->Handler->CurrentState(), 2);
  EXPECT_EQ(bounds(green), (TRect{glyphUp.Left + 1, glyphUp.Top + 1, glyphUp.Right + 1, glyphUp.Bottom + 1}));
  EXPECT_EQ(bounds(ink), textUp);
}

TEST(ControlAdapter, ControlsInAGroupBoxOrPanelShowItsBackground) {
  NoAnimations still;
  Replica r;
  auto* inGroup = new gui::TCheckBox(r.form);
  auto* inPanel = new gui::TCheckBox(r.form);
  inGroup->SetParent(r.group);
  inGroup->SetBounds(10, 40, 120, 24);
  inPanel->SetParent(r.panel);
  inPanel->SetBounds(10, 40, 120, 24);
  for (gui::TCheckBox* c : {inGroup, inPanel}) c->SetText("");
  r.host.OnSkinItem = [&](gui::TComponent* c, bool&, std::string& section) {
    if (c == inGroup || c == inPanel) section = "CLEARBOX";
  };
  r.adapter->AddAllItems();
  ASSERT_NE(AdapterOfWindow(inGroup->Handle()), nullptr);
  EXPECT_EQ(Replica::Probe(inGroup, 100, 2), GroupBg);
  EXPECT_EQ(Replica::Probe(inPanel, 100, 2), PanelBg);
  // A label in the group box is painted over the group's background.
  auto* label = new gui::TLabel(r.form);
  label->SetParent(r.group);
  label->SetBounds(10, 75, 80, 20);
  label->SetText("WWWW");
  label->Font().SetColor(0x000000);
  RedrawWindow(r.group->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump(20);
  int dark = 0, group = 0;
  HDC dc = GetDC(r.group->Handle());
  for (int y = 75; y < 95; ++y)
    for (int x = 10; x < 90; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      dark += (GetRValue(c) + GetGValue(c) + GetBValue(c)) < 150 ? 1 : 0;
      group += c == GroupBg ? 1 : 0;
    }
  ReleaseDC(r.group->Handle(), dc);
  EXPECT_GT(dark, 10) << "the label's text";
  EXPECT_GT(group, 800) << "over the group's background";
}

// A group box or a panel has one look: the mouse coming over it or leaving it (while a speed button of its own
// is hot, say) starts no cross-fade, whose frames would hide the speed buttons painted over it.
TEST(ControlAdapter, ContainersFadeNoHotLookOverTheirSpeedButtons) {
  Replica r;
  r.manager->ThirdPartyLists[17] = {"TSpeedButton"};
  const std::vector<gui::TWinControl*> containers{r.group, r.panel};
  std::vector<gui::TSpeedButton*> buttons;
  for (gui::TWinControl* c : containers) {
    auto* b = new gui::TSpeedButton(r.form);
    b->SetParent(c);
    b->SetBounds(10, 40, 50, 22);
    buttons.push_back(b);
  }
  r.adapter->AddAllItems();
  for (size_t i = 0; i < containers.size(); ++i) {
    const HWND h = containers[i]->Handle();
    ASSERT_NE(r.adapter->GraphItemOf(buttons[i]), nullptr) << containers[i]->ClassName();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(10);
    ASSERT_EQ(SurfacePixel(h, 14, 44), ButtonN) << containers[i]->ClassName();
    int hidden = 0;
    for (uint16_t code : {AC_MOUSEENTER, AC_MOUSELEAVE}) {
      SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(code), 0);
      for (int k = 0; k < 60; ++k) {
        hidden += SurfacePixel(h, 14, 44) != ButtonN ? 1 : 0;
        Pump(5);
      }
    }
    EXPECT_EQ(hidden, 0) << containers[i]->ClassName();
  }
}

TEST(ControlAdapter, ComboFocusLookButtonAreaAndSkinRemoval) {
  NoAnimations still;
  Replica r;
  auto* ca = dynamic_cast<TacComboBoxWnd*>(AdapterOfWindow(r.combo->Handle()));
  ASSERT_NE(ca, nullptr);
  EXPECT_EQ(Replica::Probe(r.combo, 0, 12), colours::EditBorderN);
  r.combo->SetFocus();
  Pump(20);
  EXPECT_EQ(Replica::Probe(r.combo, 0, 12), colours::EditBorderH) << "focused";
  // A focused drop-down list shows its selected item highlighted when printed.
  EXPECT_EQ(PrintedPixel(r.combo->Handle(), ca->ButtonRect().Left - 5, 7), uint32_t(ColorToRGB(clHighlight)));
  r.button->SetFocus();
  Pump(20);
  EXPECT_EQ(Replica::Probe(r.combo, 0, 12), colours::EditBorderN);
  // A combo without the drop-down bit has no button.
  HWND simple = MakeChild(r.form->Handle(), "ComboBox", CBS_SIMPLE, 10, 215, 100, 60);
  TacSkinParams p;
  auto* sa = NewAdapter<TacComboBoxWnd>(simple, nullptr, r.manager.get(), p, true);
  EXPECT_EQ(sa->ButtonRect().Width(), 0);
  EXPECT_GT(ca->ButtonRect().Width(), 0);
  FreeAdapter(sa);
  DestroyWindow(simple);
  // Removing the skin gives the list its border back and lets its adapter go.
  SendMessageA(r.combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  Pump(10);
  SendMessageA(r.combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  ASSERT_NE(ca->ListAdapter, nullptr);
  const HWND list = ca->ListHandle;
  SendMessageA(r.combo->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREMOVED),
               reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(r.manager.get())));
  EXPECT_EQ(ca->ListAdapter, nullptr);
  EXPECT_EQ(AdapterOfWindow(list), nullptr);
  const LONG style = GetWindowLongA(list, GWL_STYLE);
  EXPECT_NE(style & WS_BORDER, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
}

TEST(ControlAdapter, FormFreedBeforeItsAdapterLeavesNothing) {
  NoAnimations still;
  { Replica warmUp; }
  Pump(20);
  const ledger::Snapshot before = ledger::Take();
  {
    Replica r;
    gui::Free(r.form);  // every window goes first; the items only hold adapters flagged as gone
    r.form = nullptr;
    Pump(10);
    for (auto& item : r.adapter->Items) EXPECT_TRUE(item->Dead());
    r.adapter->RemoveUnused();
    EXPECT_TRUE(r.adapter->Items.empty());
  }
  Pump(20);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST(ControlAdapter, DeadItemsGoAndReCreatedWindowsGetFreshAdapters) {
  Replica r;
  TacAdapterItem* item = r.adapter->ItemOf(r.button);
  ASSERT_NE(item, nullptr);
  TacMainWnd* first = item->WndAdapter;
  // The window re-created: the old adapter is flagged, the next scan attaches a fresh one to the same item.
  r.button->DestroyHandle();
  r.check->DestroyHandle();
  EXPECT_TRUE(first->Destroyed);
  r.button->HandleNeeded();
  r.adapter->AddItem(r.button, std::string());
  EXPECT_EQ(r.adapter->ItemOf(r.button), item);
  EXPECT_NE(AdapterOfWindow(r.button->Handle()), nullptr);
  // Two dead neighbours (the check box's and, flagged, the bit button's) go in one pass.
  TacAdapterItem* bit = r.adapter->ItemOf(r.bitBtn);
  ASSERT_NE(bit, nullptr);
  r.bitBtn->DestroyHandle();
  const size_t before = r.adapter->Items.size();
  r.adapter->RemoveUnused();
  EXPECT_EQ(r.adapter->Items.size(), before - 2);
  EXPECT_EQ(r.adapter->ItemOf(r.check), nullptr);
  // Without third-party skinning nothing is scanned.
  r.manager->SkinningRules &= ~srThirdParty;
  r.check->HandleNeeded();
  r.adapter->AddAllItems();
  EXPECT_EQ(r.adapter->ItemOf(r.check), nullptr);
  r.manager->SkinningRules |= srThirdParty;
  // An event vetoes a control; a nested scan from an event finds the adapter busy.
  int nested = 0;
  r.host.OnSkinItem = [&](gui::TComponent* c, bool& can, std::string&) {
    if (c == r.check) can = false;
    r.adapter->AddAllItems();
    ++nested;
  };
  r.adapter->AddAllItems();
  EXPECT_EQ(r.adapter->ItemOf(r.check), nullptr);
  EXPECT_GT(nested, 0);
  r.host.OnSkinItem = nullptr;
  r.adapter->AddAllItems();
  EXPECT_NE(r.adapter->ItemOf(r.check), nullptr);
}

// A track bar keeps the system's look while no list names its class; listed among the track bars (as on the speech
// options window), it gets the track-bar adapter: its skin's "TRACKBAR" section with its ticks.
TEST(ControlAdapter, TrackBarsAreSkinnedWhenTheTrackBarListNamesThem) {
  Replica r;
  auto* track = new gui::TTrackBar(r.form);
  track->SetParent(r.form);
  track->SetBounds(390, 220, 120, 40);
  track->SetMax(10);
  track->SetFrequency(1);
  const size_t items = r.adapter->Items.size();
  r.adapter->AddAllItems();
  EXPECT_EQ(AdapterOfWindow(track->Handle()), nullptr);
  r.manager->ThirdPartyLists.resize(skin::ThirdPartyCategoryCount);
  r.manager->ThirdPartyLists[skin::tpTrackBar] = {"TTrackBar"};
  r.adapter->AddAllItems();
  EXPECT_NE(dynamic_cast<TacTrackWnd*>(AdapterOfWindow(track->Handle())), nullptr);
  EXPECT_EQ(AdapterOfWindow(r.edit->Handle()), nullptr);
  EXPECT_EQ(r.adapter->Items.size(), items + 1);
  RedrawWindow(track->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(Replica::Probe(track, 1, 1), TrackBg);
  bool tick = false;
  for (int y = 0; y < 40 && !tick; ++y)
    for (int x = 0; x < 120 && !tick; ++x) tick = SurfacePixel(track->Handle(), x, y) == Tick;
  EXPECT_TRUE(tick) << "the ticks in the section's font colour";
  r.adapter->Clear();
  Pump(10);
  EXPECT_EQ(AdapterOfWindow(track->Handle()), nullptr);
}

// A skinned combo printed as the show fade prints a form's controls looks as it paints itself on the screen, pixel
// for pixel, in each style and state: enabled, disabled (the station's voice list without a voice), focused.
TEST(ControlAdapter, APrintedComboLooksAsItPaintsItself) {
  NoAnimations still;
  Replica r;
  auto picture = [](HWND h, bool printed) {
    RECT w{};
    GetWindowRect(h, &w);
    Bitmap b(w.right - w.left, w.bottom - w.top);
    if (printed) {
      gui::TWinControl* c = gui::TWinControl::FromHandle(h);
      PaintControlToBitmap(b, c, 0, 0, nullptr);
    } else {
      BitmapDC dc(b);
      HDC surface = GetWindowDC(h);
      BitBlt(dc.dc(), 0, 0, b.Width(), b.Height(), surface, 0, 0, SRCCOPY);
      ReleaseDC(h, surface);
    }
    GdiFlush();
    std::vector<uint32_t> px;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) px.push_back(GetPixel32(b, x, y) & 0xFFFFFF);
    return px;
  };
  const struct {
    gui::TComboBoxStyle style;
    const char* name;
  } styles[] = {{gui::TComboBoxStyle::csDropDownList, "drop-down list"},
                {gui::TComboBoxStyle::csDropDown, "drop-down"}};
  for (const auto& s : styles) {
    r.combo->SetStyle(s.style);
    r.combo->SetItemIndex(1);
    r.adapter->AddAllItems();  // the re-created window gets its adapter
    ASSERT_NE(dynamic_cast<TacComboBoxWnd*>(AdapterOfWindow(r.combo->Handle())), nullptr) << s.name;
    for (const char* state : {"enabled", "disabled", "focused"}) {
      const std::string now = state;
      r.combo->SetEnabled(now != "disabled");
      if (now == "focused")
        r.combo->SetFocus();
      else
        r.button->SetFocus();
      Pump();
      const HWND h = r.combo->Handle();
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      HideCaret(nullptr);  // the edit field's caret blinks on the screen only
      const std::vector<uint32_t> painted = picture(h, false), printed = picture(h, true);
      size_t differ = 0;
      for (size_t i = 0; i < painted.size(); ++i) differ += painted[i] != printed[i];
      EXPECT_EQ(differ, 0u) << s.name << ", " << state;
      ShowCaret(nullptr);
    }
  }
}

}  // namespace
