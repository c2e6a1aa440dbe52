// Page controls, scroll bars, scroll boxes and tool bars of the component layer under their adapters (Windows
// build, under Wine): a harness form skinned by the control adapter on the flat-colour fixture skin (with tabs in
// three flat states, the page control's and the scroll box's sections added), read back through WM_PRINT and from
// the windows' surfaces; clicks and drags driven by posted mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/adapters/acsbwnd.h"
#include "skin/adapters/actabs.h"
#include "skin/adapters/actoolbar.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/acalphaimagelist.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;

// The colours this harness adds to the control fixture.
namespace tabcolours {
inline constexpr uint32_t TabN = 0x3070D0, TabH = 0x50A0F0, TabA = 0xF0E0A0;
inline constexpr uint32_t PageBg = 0xC0E0F0, BoxBg = 0x90C090, PageBottomBg = 0x7090B0;
}  // namespace tabcolours
using namespace tabcolours;

uint32_t TabsMasterPixel(int x, int y) {
  if (x >= 24 && x < 48 && y >= 24 && y < 32) {
    const uint32_t cells[3] = {TabN, TabH, TabA};
    return Rgb(cells[(x - 24) / 8]);
  }
  return ControlMasterPixel(x, y);
}

std::string TabsOptionsText() {
  std::string t = ControlOptionsText();
  auto line = [&t](const std::string& s) { t += s + "\r\n"; };
  line("[TABTOP]");
  line("STATES=3");
  line("COLOR=" + std::to_string(TabN));
  line("HOTCOLOR=" + std::to_string(TabH));
  line("FONTCOLOR=0x000000");
  line("HOTFONTCOLOR=0x000080");
  line("BORDERSMASK=" + Mask(24, 24, 48, 32, 2, 2, 2, 2, 3, 0, 5, 0));
  line("[TABLEFT]");
  line("STATES=3");
  line("COLOR=" + std::to_string(TabN));
  line("HOTCOLOR=" + std::to_string(TabH));
  line("FONTCOLOR=0x000000");
  line("HOTFONTCOLOR=0x000080");
  line("BORDERSMASK=" + Mask(24, 24, 48, 32, 2, 2, 2, 2, 3, 0, 5, 0));
  for (const auto& [name, colour] : {std::pair<const char*, uint32_t>{"PAGECONTROL", PageBg},
                                     {"PAGECONTROLBOTTOM", PageBottomBg}, {"PANEL_LOW", BoxBg}}) {
    line(std::string("[") + name + "]");
    line("STATES=1");
    line("COLOR=" + std::to_string(colour));
    line("HOTCOLOR=" + std::to_string(colour));
    line("FONTCOLOR=0x000000");
  }
  return t;
}

void ApplyTabsSkin(TsSkinManager& m) {
  TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = "Tabs";
  const std::string bytes =
      PackSkin({{"Options.dat", TabsOptionsText()}, {"master.bmp", skintest::Bmp24(64, 48, TabsMasterPixel)}});
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  m.SetSkinName("Tabs");
}


// Both readings of a window pixel, which must agree.
uint32_t Probe(HWND h, int x, int y) {
  Pump(10);
  const uint32_t printed = Printed(h).At(x, y);
  EXPECT_EQ(printed, SurfacePixel(h, x, y)) << "at " << x << "," << y;
  return printed;
}

struct Host : CtrlAdapterHost {
  gui::TWinControl* form = nullptr;
  TsSkinManager* manager = nullptr;
  gui::TWinControl* HostForm() override { return form; }
  TsSkinManager* HostManager() override { return manager; }
};

// The harness: a tool bar, a page control with three pages, a scroll bar and a scroll box on one form.
struct Harness {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  gui::TToolBar* bar = new gui::TToolBar(form);
  gui::TPageControl* pages = new gui::TPageControl(form);
  std::vector<gui::TTabSheet*> sheets;
  gui::TScrollBar* scroll = new gui::TScrollBar(form);
  gui::TScrollBox* box = new gui::TScrollBox(form);
  gui::TEdit* inBox = new gui::TEdit(form);
  std::vector<gui::TToolButton*> buttons;
  Host host;
  std::unique_ptr<TacCtrlAdapter> adapter;

  Harness() {
    ApplyTabsSkin(*manager);
    manager->ThirdPartyLists.assign(23, {});
    manager->ThirdPartyLists[13] = {"TPageControl"};
    manager->ThirdPartyLists[15] = {"TToolBar"};
    manager->ThirdPartyLists[18] = {"TScrollBox"};
    manager->ThirdPartyLists[20] = {"TScrollBar"};
    form->SetBounds(40, 40, 560, 340);
    form->SetCaption("Tabs and scrolls");
    bar->SetParent(form);
    bar->SetBounds(0, 0, 540, 30);
    for (const char* caption : {"New", "Open", "Save"}) {
      auto* b = new gui::TToolButton(form);
      b->SetCaption(caption);
      b->SetParent(bar);
      buttons.push_back(b);
    }
    buttons[2]->SetEnabled(false);
    bar->SetShowCaptions(true);
    pages->SetParent(form);
    pages->SetBounds(10, 40, 300, 170);
    for (const char* caption : {"One", "Two", "Three"}) {
      auto* s = new gui::TTabSheet(form);
      s->SetCaption(caption);
      s->SetPageControl(pages);
      sheets.push_back(s);
    }
    scroll->SetParent(form);
    scroll->SetBounds(10, 230, 300, 20);
    scroll->SetParams(0, 0, 100);
    scroll->SetPageSize(10);
    box->SetParent(form);
    box->SetBounds(330, 40, 200, 170);
    inBox->SetParent(box);
    inBox->SetBounds(10, 300, 80, 22);  // beyond the client area: the box scrolls
    SetCursorPos(700, 700);  // away from the form: nothing starts hot
    form->Show();
    Pump(50);
    host.form = form;
    host.manager = manager.get();
    SkinOn();
  }
  ~Harness() {
    adapter.reset();
    if (form != nullptr) gui::Free(form);
    Pump(20);
  }
  void SkinOn() {
    adapter = std::make_unique<TacCtrlAdapter>(&host);
    adapter->AddAllItems();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(30);
  }
  void SkinOff() {
    adapter.reset();
    Pump(10);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(20);
  }
  TacPageControlWnd* PageAdapter() const { return dynamic_cast<TacPageControlWnd*>(AdapterOfWindow(pages->Handle())); }
  TacSBWnd* ScrollAdapter() const { return dynamic_cast<TacSBWnd*>(AdapterOfWindow(scroll->Handle())); }
  // The centre of a tab in the page control's client area.
  POINT TabCentre(int i) const {
    RECT r{};
    SendMessageA(pages->Handle(), TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // A point inside a tab's painted rectangle, clear of its text and border.
  POINT TabProbe(int i) const {
    RECT r{};
    SendMessageA(pages->Handle(), TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    return POINT{r.left + 4, r.top + 4};
  }
  void Click(HWND h, POINT p) {
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    Pump(60);
  }
};

// State probes without cross-fades.
struct NoAnimations {
  NoAnimations() { AnimationsOff() = 1; }
  ~NoAnimations() { AnimationsOff() = 0; }
};

TEST(TabsAndScrolls, HarnessShowsTheSkinsSectionColours) {
  NoAnimations still;
  Harness h;
  ASSERT_NE(h.PageAdapter(), nullptr);
  EXPECT_NE(h.ScrollAdapter(), nullptr);
  EXPECT_NE(dynamic_cast<TacScrollBoxWnd*>(AdapterOfWindow(h.box->Handle())), nullptr);
  EXPECT_NE(dynamic_cast<TacToolBarVCLWnd*>(AdapterOfWindow(h.bar->Handle())), nullptr);
  EXPECT_EQ(AdapterOfWindow(h.inBox->Handle()), nullptr) << "an unlisted class stays unskinned";
  for (gui::TTabSheet* s : h.sheets) {
    if (!s->HandleAllocated()) continue;
    EXPECT_NE(dynamic_cast<TacPageWnd*>(AdapterOfWindow(s->Handle())), nullptr);
  }

  // Tabs: the selected one active, the others normal, the one under the mouse hot.
  const HWND pc = h.pages->Handle();
  ASSERT_EQ(h.pages->ActivePageIndex(), 0);
  EXPECT_EQ(Probe(pc, h.TabProbe(0).x, h.TabProbe(0).y), TabA);
  EXPECT_EQ(Probe(pc, h.TabProbe(1).x, h.TabProbe(1).y), TabN);
  EXPECT_EQ(Probe(pc, h.TabProbe(2).x, h.TabProbe(2).y), TabN);
  const POINT over = h.TabCentre(2);
  SendMessageA(pc, WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
  EXPECT_EQ(h.PageAdapter()->HotTab, 2);
  EXPECT_EQ(Probe(pc, h.TabProbe(2).x, h.TabProbe(2).y), TabH);
  EXPECT_EQ(Probe(pc, h.TabProbe(1).x, h.TabProbe(1).y), TabN);
  SendMessageA(pc, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Probe(pc, h.TabProbe(2).x, h.TabProbe(2).y), TabN);

  // The page frame around the pages and the page itself show the page control's section.
  RECT client{};
  GetClientRect(pc, &client);
  EXPECT_EQ(Probe(pc, 1, client.bottom - 2), PageBg);
  const HWND page = h.sheets[0]->Handle();
  RECT pr{};
  GetClientRect(page, &pr);
  EXPECT_EQ(Probe(page, pr.right / 2, pr.bottom / 2), PageBg);

  // The scroll bar: arrows, the tracks on each side of the thumb, the thumb at position 0.
  const HWND sb = h.scroll->Handle();
  TacSBWnd* sa = h.ScrollAdapter();
  ASSERT_NE(sa, nullptr);
  const int arrow = sa->ArrowLength(), thumb = sa->ThumbLength();
  ASSERT_GT(arrow, 4);
  ASSERT_GT(thumb, 6);
  EXPECT_EQ(Probe(sb, arrow / 2, 2), colours::ArrowN);
  EXPECT_EQ(Probe(sb, arrow + 2, 2), colours::SliderN) << "the thumb stands at the start";
  EXPECT_EQ(Probe(sb, arrow + thumb + 4, 10), colours::Track2N);
  EXPECT_EQ(Probe(sb, 300 - arrow / 2, 2), colours::ArrowN);
  SendMessageA(sb, WM_MOUSEMOVE, 0, MAKELPARAM(300 - arrow / 2, 10));
  EXPECT_EQ(Probe(sb, 300 - arrow / 2, 2), colours::ArrowH) << "the arrow under the mouse is hot";
  EXPECT_EQ(Probe(sb, arrow + thumb + 4, 10), colours::Track2H) << "and so are the tracks";
  h.scroll->SetPosition(91);
  EXPECT_EQ(Probe(sb, 300 - arrow - 2, 2), colours::SliderN) << "the thumb follows the position";
  EXPECT_EQ(Probe(sb, arrow + 4, 10), colours::Track1H);

  // The scroll box's client area and the tool bar with its buttons.
  EXPECT_EQ(Probe(h.box->Handle(), 40, 40), BoxBg);
  const HWND tb = h.bar->Handle();
  EXPECT_EQ(Probe(tb, 530, 15), ctlcolours::StatusBg) << "the bar's section";
  const TRect b0 = h.bar->ButtonRect(0), b1 = h.bar->ButtonRect(1);
  EXPECT_EQ(Probe(tb, b0.Left + 3, b0.Top + 3), ctlcolours::ToolN);
  {
    const Printed shown(tb);
    int written = 0;
    for (int y = b0.Top + 3; y < b0.Bottom - 3; ++y)
      for (int x = b0.Left + 3; x < b0.Right - 3; ++x) written += shown.At(x, y) != ctlcolours::ToolN ? 1 : 0;
    EXPECT_GT(written, 5) << "the button's caption";
  }
  SendMessageA(tb, WM_MOUSEMOVE, 0, MAKELPARAM(b1.Left + 5, b1.Top + 5));
  Pump(20);
  EXPECT_EQ(dynamic_cast<TacToolBarVCLWnd*>(AdapterOfWindow(tb))->HotButton, 1);
  EXPECT_EQ(Probe(tb, b1.Left + 3, b1.Top + 3), ctlcolours::ToolH) << "the button under the mouse is hot";
  EXPECT_EQ(Probe(tb, b0.Left + 3, b0.Top + 3), ctlcolours::ToolN);
  const TRect b2 = h.bar->ButtonRect(2);
  SendMessageA(tb, WM_MOUSEMOVE, 0, MAKELPARAM(b2.Left + 5, b2.Top + 5));
  EXPECT_EQ(dynamic_cast<TacToolBarVCLWnd*>(AdapterOfWindow(tb))->HotButton, -1) << "a disabled button is never hot";
}

TEST(TabsAndScrolls, ClickingATabShowsItsPageAndRepaintsTheTabs) {
  NoAnimations still;
  Harness h;
  const HWND pc = h.pages->Handle();
  h.Click(pc, h.TabCentre(1));
  EXPECT_EQ(h.pages->ActivePageIndex(), 1);
  EXPECT_EQ(Probe(pc, h.TabProbe(1).x, h.TabProbe(1).y), TabA);
  EXPECT_EQ(Probe(pc, h.TabProbe(0).x, h.TabProbe(0).y), TabN);
  const HWND page = h.sheets[1]->Handle();
  ASSERT_TRUE(IsWindowVisible(page));
  EXPECT_NE(dynamic_cast<TacPageWnd*>(AdapterOfWindow(page)), nullptr) << "the page shown got its adapter";
  RECT pr{};
  GetClientRect(page, &pr);
  EXPECT_EQ(Probe(page, pr.right / 2, pr.bottom / 2), PageBg);
  h.Click(pc, h.TabCentre(2));
  EXPECT_EQ(h.pages->ActivePageIndex(), 2);
  EXPECT_EQ(Probe(pc, h.TabProbe(2).x, h.TabProbe(2).y), TabA);
  EXPECT_EQ(Probe(pc, h.TabProbe(1).x, h.TabProbe(1).y), TabN);
}

TEST(TabsAndScrolls, DraggingTheThumbMovesThePosition) {
  NoAnimations still;
  Harness h;
  const HWND sb = h.scroll->Handle();
  TacSBWnd* sa = h.ScrollAdapter();
  ASSERT_NE(sa, nullptr);
  const int arrow = sa->ArrowLength(), thumb = sa->ThumbLength();
  const int start = arrow + thumb / 2;
  int changes = 0;
  h.scroll->OnChange = [&changes](gui::TObject*) { ++changes; };
  PostMessageA(sb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start, 10));
  PostMessageA(sb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start + 60, 10));
  PostMessageA(sb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start + 120, 10));
  PostMessageA(sb, WM_LBUTTONUP, 0, MAKELPARAM(start + 120, 10));
  Pump(80);
  EXPECT_GT(h.scroll->Position(), 40);
  EXPECT_LT(h.scroll->Position(), 91);
  EXPECT_GT(changes, 0);
  EXPECT_EQ(sa->PressedPart, SBNothingPressed) << "the drag ended";
  EXPECT_EQ(sa->Data.Position, h.scroll->Position());
  EXPECT_EQ(sa->Data.TrackPos, h.scroll->Position());
  // The thumb is drawn where the position puts it, the track before it where it was.
  const int centre = SBThumbCentre(sa->Data, 300, arrow, thumb);
  EXPECT_EQ(Probe(sb, centre - thumb / 2 + 2, 2), colours::SliderN);
  EXPECT_NE(Probe(sb, arrow + 2, 2), colours::SliderN);
  // A click on the track after the thumb pages on.
  const int before = h.scroll->Position();
  h.Click(sb, POINT{300 - arrow - 3, 10});
  EXPECT_GT(h.scroll->Position(), before);
  // A disabled bar shows no thumb, and its parts faded over what lies under it.
  const int at = SBThumbCentre(sa->Data, 300, arrow, thumb) - thumb / 2 + 2;
  h.scroll->SetEnabled(false);
  EXPECT_NE(Probe(sb, at, 2), colours::SliderN);
  EXPECT_NE(Probe(sb, arrow / 2, 2), colours::ArrowN);
  h.scroll->SetEnabled(true);
  EXPECT_EQ(Probe(sb, at, 2), colours::SliderN);
  // A range emptied through the window's own message: the thumb stands in the middle.
  SCROLLINFO si{sizeof si, SIF_RANGE, 10, 5, 0, 0, 0};
  SendMessageA(sb, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&si));
  EXPECT_EQ(sa->Data.Min, 0);
  EXPECT_EQ(sa->Data.Max, 0);
  EXPECT_EQ(Probe(sb, 150, 2), colours::SliderN);
}

TEST(TabsAndScrolls, UnskinningRestoresWhatTheAdaptersChangedAndNothingLeaks) {
  NoAnimations still;
  { Harness warmUp; }
  Pump(20);
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  {
    Harness h;
    std::vector<HWND> windows{h.pages->Handle(), h.scroll->Handle(), h.box->Handle(), h.bar->Handle()};
    for (gui::TTabSheet* s : h.sheets) windows.push_back(s->Handle());
    h.SkinOff();
    std::vector<WNDPROC> procs;
    for (HWND w : windows) procs.push_back(WindowProcOf(w));
    const uint32_t plainTab = Probe(h.pages->Handle(), h.TabProbe(0).x, h.TabProbe(0).y);
    const uint32_t plainBox = Probe(h.box->Handle(), 40, 40);
    EXPECT_NE(plainTab, TabA);
    EXPECT_NE(plainBox, BoxBg);
    for (int round = 0; round < 50; ++round) {
      h.SkinOn();
      ASSERT_NE(h.PageAdapter(), nullptr) << round;
      if (round % 10 == 0) {
        const POINT active = h.TabProbe(h.pages->ActivePageIndex());
        EXPECT_EQ(Probe(h.pages->Handle(), active.x, active.y), TabA) << round;
        h.Click(h.pages->Handle(), h.TabCentre(round % 20 == 0 ? 1 : 0));
      }
      h.SkinOff();
    }
    h.Click(h.pages->Handle(), h.TabCentre(0));
    for (size_t i = 0; i < windows.size(); ++i) {
      EXPECT_EQ(AdapterOfWindow(windows[i]), nullptr) << i;
      EXPECT_EQ(WindowProcOf(windows[i]), procs[i]) << i;
    }
    EXPECT_FALSE(static_cast<bool>(h.bar->OnCustomDraw)) << "the bar's events are its own again";
    EXPECT_FALSE(static_cast<bool>(h.bar->OnCustomDrawButton));
    EXPECT_EQ(Probe(h.pages->Handle(), h.TabProbe(0).x, h.TabProbe(0).y), plainTab);
    EXPECT_EQ(Probe(h.box->Handle(), 40, 40), plainBox);
  }
  Pump(20);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

TEST(TabsAndScrolls, FramedWindowsTakeTheirSectionAroundTheControlsOwnPainting) {
  NoAnimations still;
  TestSystem sys;
  auto manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  ApplyTabsSkin(*manager);
  HWND host = MakeHost(60, 60, 300, 200);
  HWND container = MakeChild(host, "STATIC", WS_BORDER, 10, 10, 120, 60);
  HWND search = MakeChild(host, "EDIT", WS_BORDER, 10, 100, 120, 24, "find");
  TacSkinParams p;
  p.SkinSection = "PANEL";
  TacMainWnd* a1 = NewAdapter<TacContainerWnd>(container, nullptr, manager.get(), p, true);
  p.SkinSection = "GROUPBOX";
  TacMainWnd* a2 = NewAdapter<TacSearchWnd>(search, nullptr, manager.get(), p, true);
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump(20);
  EXPECT_EQ(Printed(container).At(60, 30), ctlcolours::PanelBg);
  EXPECT_EQ(SurfacePixel(container, 0, 0), ctlcolours::PanelBg) << "the border strips come from the cache";
  EXPECT_EQ(SurfacePixel(search, 0, 0), ctlcolours::GroupBg);
  EXPECT_NE(SurfacePixel(search, 60, 12), ctlcolours::GroupBg) << "the edit paints its own client area";
  // A window that paints itself keeps doing so; its image in the cache (for what lies on it) is the skin's.
  HWND native = MakeChild(host, "EDIT", WS_BORDER | ES_MULTILINE, 150, 10, 120, 120, "line");
  const WNDPROC own = WindowProcOf(native);
  p.SkinSection = "PANEL_LOW";
  TacMainWnd* a3 = NewAdapter<TacNativePaint>(native, nullptr, manager.get(), p, true);
  RedrawWindow(native, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  Pump(20);
  EXPECT_EQ(SendMessageA(native, WM_SKINCOMMAND, SkinCommandWParam(AC_ISSKINNED), 0), 1);
  EXPECT_EQ(SurfacePixel(native, 60, 80), uint32_t(GetSysColor(COLOR_WINDOW))) << "the edit's own client area";
  a3->SkinData->BGChanged = true;
  SendMessageA(native, WM_SKINCOMMAND, SkinCommandWParam(AC_UPDATECACHE), 0);
  ASSERT_TRUE(a3->SkinData->CacheBmp);
  EXPECT_EQ(GetPixel32(*a3->SkinData->CacheBmp, 60, 60) & 0xFFFFFFu, Rgb(BoxBg));
  FreeAdapter(a1);
  FreeAdapter(a2);
  FreeAdapter(a3);
  Pump(10);
  EXPECT_EQ(WindowProcOf(native), own);
  DestroyWindow(host);
  Pump();
}

TEST(TabsAndScrolls, TabControlsFrameByTabSideAndSkinTheirChildren) {
  NoAnimations still;
  TestSystem sys;
  auto manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  ApplyTabsSkin(*manager);
  Pump(10);
  const ledger::Snapshot before = ledger::Take();
  HWND host = MakeHost(60, 60, 520, 300);
  // Tabs at the bottom, more than fit (the control adds its up-down), a child window as a page.
  HWND bottom = MakeChild(host, WC_TABCONTROLA, TCS_BOTTOM | WS_CLIPSIBLINGS, 10, 10, 200, 120);
  HWND left = MakeChild(host, WC_TABCONTROLA, TCS_VERTICAL | TCS_MULTILINE, 230, 10, 160, 160);
  HWND none = MakeChild(host, WC_TABCONTROLA, 0, 400, 10, 100, 100);
  for (HWND tc : {bottom, left}) {
    for (int i = 0; i < 8; ++i) {
      std::string text = "Tab " + std::to_string(i);
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageA(tc, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
  }
  HWND page = MakeChild(bottom, "STATIC", 0, 4, 4, 100, 60);
  TacSkinParams p;
  auto* a1 = NewAdapter<TacPageControlWnd>(bottom, nullptr, manager.get(), p, true);
  auto* a2 = NewAdapter<TacTabControlWnd>(left, nullptr, manager.get(), p, true);
  auto* a3 = NewAdapter<TacTabControlWnd>(none, nullptr, manager.get(), p, true);
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump(30);
  // The bottom frame comes from its own section; the up-down child and the page got adapters.
  RECT display{0, 0, 200, 120};
  SendMessageA(bottom, TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&display));
  EXPECT_EQ(Probe(bottom, 1, 1), PageBottomBg);
  HWND spin = FindWindowExA(bottom, nullptr, UPDOWN_CLASSA, nullptr);
  ASSERT_NE(spin, nullptr) << "eight tabs do not fit";
  EXPECT_NE(dynamic_cast<TacSpinWnd*>(AdapterOfWindow(spin)), nullptr);
  EXPECT_EQ(a1->UpDown, AdapterOfWindow(spin));
  EXPECT_NE(dynamic_cast<TacPageWnd*>(AdapterOfWindow(page)), nullptr) << "a child of the tab control is a page";
  ASSERT_EQ(a1->Pages.size(), 1u);
  EXPECT_EQ(Probe(page, 50, 30), PageBottomBg) << "the page shows what the tab control shows under it";
  // Tabs at the left side, in the left tab section, their text turned.
  RECT r{};
  SendMessageA(left, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(Probe(left, r.left + 3, r.bottom - 3), TabN);
  SendMessageA(left, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(Probe(left, r.left + 3, r.top + 3), TabA);
  SendMessageA(left, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  int written = 0;
  const Printed shown(left);
  for (int y = r.top + 4; y < r.bottom - 4; ++y)
    for (int x = r.left + 4; x < r.right - 4; ++x) written += shown.At(x, y) != TabN ? 1 : 0;
  EXPECT_GT(written, 10) << "the caption is written across the tab";
  // A tab control without tabs only shows what lies under it.
  EXPECT_EQ(Probe(none, 50, 50), ctlcolours::CheckBg);
  // The page goes with its window: the next pass lets go of its adapter.
  DestroyWindow(page);
  SendMessageA(bottom, WM_NCPAINT, 1, 0);
  EXPECT_TRUE(a1->Pages.empty());
  FreeAdapter(a1);
  FreeAdapter(a2);
  FreeAdapter(a3);
  EXPECT_EQ(AdapterOfWindow(spin), nullptr) << "the up-down goes with its tab control's adapter";
  DestroyWindow(host);
  Pump(20);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

// The pixels of a tab's rectangle, read back through WM_PRINT, that pass a test.
int TabPixels(const Harness& h, int tab, const std::function<bool(uint32_t)>& pass) {
  RECT r{};
  SendMessageA(h.pages->Handle(), TCM_GETITEMRECT, WPARAM(tab), reinterpret_cast<LPARAM>(&r));
  const Printed shown(h.pages->Handle());
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += pass(shown.At(x, y)) ? 1 : 0;
  return n;
}

// An owner-drawn tab's handler is asked with the section's font colours on the canvas; a font it sets there writes
// the tab's caption.
TEST(TabsAndScrolls, OwnerDrawnTabsAreAskedInTheSectionsFontColours) {
  NoAnimations still;
  Harness h;
  h.SkinOff();
  struct Call {
    int index;
    bool active;
    TColor font;
  };
  std::vector<Call> calls;
  h.pages->OnDrawTab = [&calls](gui::TPageControl* pc, int i, const TRect&, bool active) {
    calls.push_back({i, active, pc->Canvas().Font().Color()});
    if (i == 1) pc->Canvas().Font().SetColor(0x00C000);  // the caption is then written in it
  };
  h.pages->SetOwnerDraw(true);
  Pump(20);
  h.SkinOn();
  calls.clear();
  EXPECT_EQ(Probe(h.pages->Handle(), h.TabProbe(0).x, h.TabProbe(0).y), TabA) << "the section under the handler";
  ASSERT_FALSE(calls.empty());
  bool seen[3] = {false, false, false};
  for (const Call& c : calls) {
    ASSERT_GE(c.index, 0);
    ASSERT_LT(c.index, 3);
    seen[c.index] = true;
    EXPECT_EQ(c.active, c.index == 0) << c.index;
    EXPECT_EQ(c.font, c.active ? TColor(0x000080) : TColor(0)) << c.index;
  }
  EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
  auto green = [](uint32_t p) { return ((p >> 8) & 0xFF) >= 0x60 && (p & 0xFF) < 0x40 && (p >> 16) < 0x40; };
  auto dark = [](uint32_t p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + (p >> 16) < 0x60; };
  EXPECT_GE(TabPixels(h, 1, green), 10) << "the handler's font";
  EXPECT_EQ(TabPixels(h, 1, dark), 0);
  EXPECT_EQ(TabPixels(h, 2, green), 0);
  EXPECT_GE(TabPixels(h, 2, dark), 10) << "the section's font colour where the handler changed nothing";
}

// The images of a page control's Images: an alpha image list draws itself, or, when the manager discolours glyphs,
// is drawn in the tab section's colour (a white half in the colour itself, a grey half darker).
TEST(TabsAndScrolls, APageControlsAlphaImagesTakeTheSectionsColourWhenGlyphsAreDiscoloured) {
  NoAnimations still;
  Harness h;
  auto* list = new TsAlphaImageList(h.form);
  list->SetSize(16, 16);
  gui::TBitmap image;
  image.SetPixelFormat(gui::TPixelFormat::pf32bit);
  image.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint32_t v = x < 8 ? 0xFFFFFFFFu : 0xFF808080u;
      std::memcpy(image.ScanLine(y) + x * 4, &v, 4);
    }
  TsImgListItem& item = list->Items.Add();
  item.ImageFormat = ifBMP32;
  item.ImgData = image.SaveToBytes();
  list->AfterConstruction();
  h.pages->SetImages(list);
  h.sheets[1]->SetImageIndex(0);
  auto white = [](uint32_t p) { return (p & 0xFF) >= 0xF8 && ((p >> 8) & 0xFF) >= 0xF8 && (p >> 16) >= 0xF8; };
  auto halfTab = [](uint32_t p) {
    for (int shift : {0, 8, 16}) {
      const int want = int((TabN >> shift) & 0xFF) * 128 / 255, got = int((p >> shift) & 0xFF);
      if (got < want - 2 || got > want + 2) return false;
    }
    return true;
  };
  struct Case {
    bool discoloured;
    int white, half;  // at least (or exactly 0)
  };
  for (const Case c : {Case{false, 100, 0}, Case{true, 0, 100}}) {
    SCOPED_TRACE(c.discoloured ? "discoloured" : "own colours");
    h.manager->SetDiscoloredGlyphs(c.discoloured);
    Pump(20);
    const int whites = TabPixels(h, 1, white), halves = TabPixels(h, 1, halfTab);
    if (c.white > 0) EXPECT_GE(whites, c.white); else EXPECT_EQ(whites, 0);
    if (c.half > 0) EXPECT_GE(halves, c.half); else EXPECT_EQ(halves, 0);
  }
  h.manager->SetDiscoloredGlyphs(false);
}

// A list box of an outside family's combo: a windowed control of the system's list-box class.
struct OutsideList : gui::TWinControl {
  using gui::TWinControl::TWinControl;
  void CreateParams(gui::TCreateParams& p) override {
    gui::TWinControl::CreateParams(p);
    p.WinClassName = "LISTBOX";
    p.OwnClass = false;
    p.Style |= WS_VSCROLL | WS_BORDER;
  }
};

TEST(TabsAndScrolls, AnOutsideCombosListGetsAnEditAdapterWhenItIsMade) {
  NoAnimations still;
  TestSystem sys;
  auto manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  ApplyTabsSkin(*manager);
  auto* form = new gui::TForm(nullptr);
  form->SetBounds(60, 60, 300, 200);
  auto* combo = new gui::TPanel(form);
  combo->SetParent(form);
  combo->SetBounds(10, 10, 160, 120);
  form->Show();
  Pump(20);
  TacSkinParams p;
  p.Control = combo;
  auto* a = NewAdapter<TacWWComboBoxWnd>(combo->Handle(), nullptr, manager.get(), p, true);
  auto* list = new OutsideList(form);
  list->SetBounds(0, 30, 160, 90);
  list->SetParent(combo);
  list->HandleNeeded();
  Pump(10);
  ASSERT_NE(a->ListBoxAdapter, nullptr) << "made on the list's creation";
  EXPECT_EQ(a->ListBox, list);
  EXPECT_EQ(AdapterOfWindow(list->Handle()), a->ListBoxAdapter);
  EXPECT_EQ(a->ListData->SkinSection, "EDIT");
  const TRect b = a->ButtonRect();
  EXPECT_EQ(b.Right, 160 - 2);
  EXPECT_EQ(b.Top, 2);
  EXPECT_EQ(b.Bottom, 120 - 2);
  EXPECT_GT(b.Width(), 2);
  TacMainWnd* base = a;
  FreeAdapter(base);
  Pump(10);
  EXPECT_EQ(AdapterOfWindow(list->Handle()), nullptr) << "the list's adapter goes with the combo's";
  gui::Free(form);
  Pump(10);
}

TEST(TabsAndScrolls, AToolBarMadeAgainOrFreedUnderItsAdapterIsLetGo) {
  NoAnimations still;
  Harness h;
  auto* a = dynamic_cast<TacToolBarVCLWnd*>(AdapterOfWindow(h.bar->Handle()));
  ASSERT_NE(a, nullptr);
  h.bar->SetShowCaptions(false);  // the window is made again
  Pump(20);
  EXPECT_TRUE(a->Destroyed);
  EXPECT_FALSE(static_cast<bool>(h.bar->OnCustomDraw)) << "the bar's events are its own again";
  h.adapter->AddAllItems();
  ASSERT_NE(dynamic_cast<TacToolBarVCLWnd*>(AdapterOfWindow(h.bar->Handle())), nullptr) << "the new window is skinned";
  EXPECT_TRUE(static_cast<bool>(h.bar->OnCustomDraw));
  EXPECT_EQ(Probe(h.bar->Handle(), 530, 15), ctlcolours::StatusBg);
  // Freed while skinned: its adapter lets go without touching it again.
  gui::Free(h.bar);
  h.bar = nullptr;
  Pump(20);
  h.adapter->RemoveUnused();
  Pump(10);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
}

}  // namespace
