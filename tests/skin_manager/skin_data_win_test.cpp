// The skin data, the animations and the skinned menus on real windows (Windows build, run under Wine): an edit's
// colours through focus changes and after unskinning, a hide animation's layered pictures, a popup menu's window
// region, the application's own menu handlers, and the leak ledger over repeated menus and show/hide cycles.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/manager/commondata.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/sskinmenus.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_manager/win_skin.h"
#include "tests/skin_manager/manager_env.h"
#include "tests/support/win_screen.h"

namespace {

using namespace skin;
using testsupport::PumpFor;
using testsupport::PumpUntil;

struct TestSystem : PortableSkinSystem {
  TestSystem() { layeredWindows = true; }
  uint32_t SysColor(int index) override { return GetSysColor(index); }
  int32_t SystemMetric(int index) override { return GetSystemMetrics(index); }
};

using testsupport::ThreadWindowCount;

// The skin data comes first so that it outlives the control's window, whose last messages pass through it.
struct DataHolder {
  TsCommonData data;
};

// An edit whose window procedure asks its skin data first, as a skinned edit does.
class SkinnedEdit : DataHolder, public gui::TEdit {
 public:
  explicit SkinnedEdit(gui::TComponent* owner) : gui::TEdit(owner) {
    CommonDataInit(data, this, true);
    data.ControlKind = 2;
    previous_ = WindowProc;
    WindowProc = [this](gui::TMessage& m) {
      if (!CommonDataWndProc(m, &data)) previous_(m);
    };
  }
  ~SkinnedEdit() override { WindowProc = previous_; }
  TsCommonData& Data() { return data; }

 private:
  gui::TWndMethod previous_;
};

// A panel with a skin data of its own (a section with a glow), its window procedure asking the data first.
class GlowingPanel : DataHolder, public gui::TPanel {
 public:
  explicit GlowingPanel(gui::TComponent* owner) : gui::TPanel(owner) {
    CommonDataInit(data, this, true);
    data.SkinSection = "BUTTON";
    previous_ = WindowProc;
    WindowProc = [this](gui::TMessage& m) {
      if (!CommonDataWndProc(m, &data)) previous_(m);
    };
  }
  ~GlowingPanel() override { WindowProc = previous_; }
  TsCommonData& Data() { return data; }

 private:
  gui::TWndMethod previous_;
};

int LiveGlows() {
  int n = 0;
  for (TacGlowEffect* g : GlowList()) n += g != nullptr ? 1 : 0;
  return n;
}

// A form whose window answers AC_GETPROVIDER with a provider that keeps a frame picture and counts the ends of
// hide animations.
struct TestProvider : TacFormProvider {
  gui::TCustomForm* form = nullptr;
  Bitmap cache;
  int told = 0;
  gui::TCustomForm* Form() const override { return form; }
  TsSkinManager* SkinManager() const override { return DefaultManager(); }
  const Bitmap* FrameCacheBitmap() const override { return &cache; }
  void PaintFrame() override {
    RECT r;
    GetWindowRect(form->WindowHandle(), &r);
    cache.SetSize(r.right - r.left, r.bottom - r.top);
    FillRectBitmap32(cache, TRect{0, 0, cache.Width(), cache.Height()}, 0x40A040, 255);
    StateFlags |= pfFramePainted;
  }
  void AfterAnimation(int32_t Value) override { told += Value == 1 ? 1 : 0; }
};

class ProviderForm : public gui::TForm {
 public:
  explicit ProviderForm(gui::TComponent* owner) : gui::TForm(owner) {
    provider.form = this;
    SetBounds(60, 60, 240, 160);
    gui::TWndMethod previous = WindowProc;
    WindowProc = [this, previous](gui::TMessage& m) {
      if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_GETPROVIDER) {
        m.Result = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(&provider));
        return;
      }
      previous(m);
    };
  }
  TestProvider provider;
};

// Counts the pictures the animations push, and passes them on to the system.
struct CountingOutput : TacLayeredOutput {
  TacLayeredOutput* next = nullptr;
  int pushes = 0;
  void Push(HWND Wnd, const Bitmap& Frame, uint8_t Alpha) override {
    ++pushes;
    next->Push(Wnd, Frame, Alpha);
  }
};

struct SkinDataWinTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<skintest::ManagerEnv> env;
  std::vector<std::string> exceptions;
  SkinDataWinTest() {
    gui::Application->OnException = [this](gui::TObject*, const std::string& message) { exceptions.push_back(message); };
    env = std::make_unique<skintest::ManagerEnv>(sys);
    env->Store("Flat", skindatatest::WinSkinPacked());
  }
  ~SkinDataWinTest() override {
    env.reset();
    gui::Application->OnException = nullptr;
  }
  TsSkinManagerComponent& M() { return *env->m; }
  void Apply() {
    M().SetSkinName("Flat");
    ASSERT_EQ(M().SkinData().Active, 1);
  }
  const SkinSectionRecord& Section(const char* name) {
    return M().Skin().Sections[size_t(SkinManagerGetSectionIndex(M(), name))];
  }
};

// What the edit shows on the screen away from its text, once it shows `expected` (or after 5 s).
COLORREF EditPixel(gui::TEdit* edit, COLORREF expected) {
  RedrawWindow(edit->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT r;
  GetWindowRect(edit->WindowHandle(), &r);
  const auto shown = [&] { return testsupport::ScreenPixel(r.right - 8, (r.top + r.bottom) / 2); };
  testsupport::PumpUntil([&] { return shown() == expected; });
  return shown();
}

TEST_F(SkinDataWinTest, AnEditsColoursFollowItsFocusAndTheSkin) {
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(40, 40, 260, 140);
  auto* first = new SkinnedEdit(form);
  first->SetParent(form);
  first->SetBounds(10, 10, 200, 24);
  auto* second = new SkinnedEdit(form);
  second->SetParent(form);
  second->SetBounds(10, 50, 200, 24);
  form->Show();
  PumpFor(100);
  Apply();
  PumpFor(100);
  const SkinSectionRecord& edit = Section("EDIT");
  ASSERT_NE(edit.NormalState.Color, edit.HotState.Color);
  EXPECT_EQ(first->Data().SkinIndex, SkinManagerGetSectionIndex(M(), "EDIT"));
  second->SetFocus();
  PumpUntil([&] { return first->Color() == edit.NormalState.Color && second->Color() == edit.HotState.Color; });
  EXPECT_EQ(first->Color(), edit.NormalState.Color);
  EXPECT_EQ(first->Font().Color(), edit.NormalState.FontColor);
  EXPECT_EQ(EditPixel(first, COLORREF(edit.NormalState.Color)), COLORREF(edit.NormalState.Color));

  first->SetFocus();
  PumpUntil([&] { return first->Data().Focused == 1 && first->Color() == edit.HotState.Color; });
  EXPECT_EQ(first->Data().Focused, 1);
  EXPECT_EQ(first->Color(), edit.HotState.Color);
  EXPECT_EQ(first->Font().Color(), edit.HotState.FontColor);
  EXPECT_EQ(EditPixel(first, COLORREF(edit.HotState.Color)), COLORREF(edit.HotState.Color));
  EXPECT_EQ(second->Color(), edit.NormalState.Color);

  second->SetFocus();
  PumpUntil([&] { return first->Data().Focused == 0 && first->Color() == edit.NormalState.Color; });
  EXPECT_EQ(first->Data().Focused, 0);
  EXPECT_EQ(first->Color(), edit.NormalState.Color);
  EXPECT_EQ(EditPixel(first, COLORREF(edit.NormalState.Color)), COLORREF(edit.NormalState.Color));
  EXPECT_EQ(EditPixel(second, COLORREF(edit.HotState.Color)), COLORREF(edit.HotState.Color));

  // The skin goes: the system's colours come back.
  M().SetActive(false);
  PumpUntil([&] { return first->Data().SkinIndex == -1 && first->Color() == TColor(clWindow); });
  EXPECT_EQ(first->Data().SkinIndex, -1);
  EXPECT_EQ(first->Color(), TColor(clWindow));
  EXPECT_EQ(first->Font().Color(), TColor(clWindowText));
  EXPECT_EQ(EditPixel(first, GetSysColor(COLOR_WINDOW)), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(EditPixel(second, GetSysColor(COLOR_WINDOW)), GetSysColor(COLOR_WINDOW));
  gui::Free(form);
  EXPECT_TRUE(exceptions.empty());
}

TEST_F(SkinDataWinTest, AHideOf120MillisecondsMakesElevenLayeredPictures) {
  Apply();
  CountingOutput counting;
  counting.next = &LayeredOutput();
  TacLayeredOutput* previous = SetLayeredOutput(&counting);
  auto* form = new ProviderForm(gui::Application);
  form->Show();
  PumpFor(100);
  // The shared hide timer (and its timer window) lives from the first hide on.
  M().AnimEffects.FormHide.Time = 24;
  AnimHideForm(form->provider);
  PumpFor(200);
  M().AnimEffects.FormHide.Time = 120;
  for (TacAnimType mode : {atFading, atAero}) {
    SCOPED_TRACE(int(mode));
    M().AnimEffects.FormHide.Mode = mode;
    counting.pushes = 0;
    form->provider.told = 0;
    form->Show();
    PumpFor(50);
    const int windows = ThreadWindowCount();
    AnimHideForm(form->provider);
    EXPECT_EQ(ThreadWindowCount(), windows + 1);  // the helper showing the picture
    EXPECT_EQ(AnimationInProgress(), 0);
    PumpUntil([&] { return form->provider.told == 1 && !HideAnimTimer()->HoldsWindow() && ThreadWindowCount() == windows; });
    EXPECT_EQ(counting.pushes, 11);
    EXPECT_EQ(form->provider.told, 1);
    ASSERT_NE(HideAnimTimer(), nullptr);
    EXPECT_FALSE(HideAnimTimer()->HoldsWindow());
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_EQ(AnimationInProgress(), 0);
  }
  // A second hide started while one runs ends the first (its provider told) before it takes its own window.
  form->provider.told = 0;
  M().AnimEffects.FormHide.Time = 240;
  AnimHideForm(form->provider);
  PumpFor(30);
  AnimHideForm(form->provider);
  EXPECT_EQ(form->provider.told, 1);
  PumpUntil([&] { return form->provider.told == 2; });
  EXPECT_EQ(form->provider.told, 2);
  SetLayeredOutput(previous);
  gui::Free(form);
  EXPECT_TRUE(exceptions.empty());
}

// Runs a popup menu and looks at its window from a timer inside the menu's loop, then closes it.
struct PopupProbe {
  static PopupProbe* current;
  std::function<void(HWND)> look;
  bool seen = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu) && current) {
      current->seen = true;
      if (current->look) current->look(menu);
    }
    EndMenu();
  }
  void Run(gui::TPopupMenu& popup, UINT delay) {
    current = this;
    SetTimer(nullptr, 0, delay, Tick);
    popup.Popup(200, 200);
    current = nullptr;
  }
};
PopupProbe* PopupProbe::current = nullptr;

gui::TMenuItem* AddItem(gui::TComponent* owner, gui::TMenuItem* parent, const std::string& caption) {
  auto* item = new gui::TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

TEST_F(SkinDataWinTest, APopupsRegionLeavesOutItsKeyColourCorners) {
  auto* form = new gui::TForm(gui::Application);
  auto* popup = new gui::TPopupMenu(form);
  for (const char* caption : {"&Open", "Save", "-", "E&xit"}) AddItem(form, popup->Items(), caption);
  Apply();
  EXPECT_TRUE(popup->OwnerDraw());
  PopupProbe probe;
  RECT wr{};
  bool corners[5] = {};
  probe.look = [&](HWND menu) {
    GetWindowRect(menu, &wr);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(menu, rgn), ERROR);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    corners[0] = PtInRegion(rgn, 0, 0) != FALSE;
    corners[1] = PtInRegion(rgn, 0, 1) != FALSE;
    corners[2] = PtInRegion(rgn, w - 1, 0) != FALSE;
    corners[3] = PtInRegion(rgn, 0, h - 1) != FALSE;
    corners[4] = PtInRegion(rgn, w / 2, h / 2) != FALSE && PtInRegion(rgn, 2, 0) != FALSE;
    DeleteObject(rgn);
  };
  probe.Run(*popup, 400);
  ASSERT_TRUE(probe.seen);
  EXPECT_FALSE(corners[0]);
  EXPECT_FALSE(corners[1]);
  EXPECT_FALSE(corners[2]);
  EXPECT_FALSE(corners[3]);
  EXPECT_TRUE(corners[4]);
  EXPECT_GT(wr.right - wr.left, 40);
  gui::Free(form);
  EXPECT_TRUE(exceptions.empty());
}

// The skinned system menu's marks come from a symbol font the system has: under Wine, which has no "Webdings",
// the close item shows an X (Marlett's "r"), not the letter r.
TEST_F(SkinDataWinTest, TheSystemMenusCloseItemShowsItsMarkNotALetter) {
  Apply();
  auto* form = new gui::TForm(gui::Application);
  auto* menu = new gui::TPopupMenu(form);
  menu->SetName("acSysMenu1");
  gui::TMenuItem* close = AddItem(form, menu->Items(), "&Close");
  close->SetTag(SC_CLOSE);
  constexpr int32_t kGlyph = 16, kW = 120, kH = 22;
  Bitmap picture(kW, kH, pf32bit);
  PaintPopupItem(*M().SkinableMenus, *close, picture, nullptr, TPoint{0, 0}, 0, kGlyph);
  // The ink of the glyph column (what differs from its background) and its mirror image, left to right.
  const uint32_t back = GetPixel32(picture, 0, 0) & 0xFFFFFF;
  int left = kGlyph, right = -1;
  std::vector<std::string> rows(kH, std::string(kGlyph, '.'));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kGlyph; ++x)
      if ((GetPixel32(picture, x, y) & 0xFFFFFF) != back) {
        rows[size_t(y)][size_t(x)] = '#';
        left = std::min(left, x);
        right = std::max(right, x);
      }
  std::string shown;
  for (const std::string& r : rows) shown += r + "\n";
  ASSERT_LT(left, right) << shown;
  int ink = 0, odd = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = left; x <= right; ++x) {
      if (rows[size_t(y)][size_t(x)] != '#') continue;
      ++ink;
      const int m = left + right - x;
      const bool mirrored = rows[size_t(y)][size_t(m)] == '#' || (m > 0 && rows[size_t(y)][size_t(m - 1)] == '#') ||
                            (m + 1 < kGlyph && rows[size_t(y)][size_t(m + 1)] == '#');
      odd += mirrored ? 0 : 1;
    }
  EXPECT_GT(ink, 8) << shown;
  EXPECT_LT(odd * 10, ink) << shown;
  gui::Free(form);
}

TEST_F(SkinDataWinTest, AnItemsOwnDrawHandlerStaysAfterTheSkinGoes) {
  auto* form = new gui::TForm(gui::Application);
  auto* popup = new gui::TPopupMenu(form);
  gui::TMenuItem* plain = AddItem(form, popup->Items(), "Plain");
  gui::TMenuItem* own = AddItem(form, popup->Items(), "Own");
  int ownDraws = 0;
  own->OnAdvancedDrawItem = [&ownDraws](gui::TObject*, gui::TCanvas& c, const TRect& r, gui::TOwnerDrawState) {
    ++ownDraws;
    c.Brush().Color = gui::clYellow;
    c.FillRect(r);
  };
  using Draw = void (*)(gui::TObject*, gui::TCanvas&, const TRect&, gui::TOwnerDrawState);
  Apply();
  ASSERT_NE(plain->OnAdvancedDrawItem.target<Draw>(), nullptr);
  EXPECT_EQ(own->OnAdvancedDrawItem.target<Draw>(), nullptr);  // still the application's
  PopupProbe probe;
  probe.Run(*popup, 300);
  const int skinnedDraws = ownDraws;
  EXPECT_GT(skinnedDraws, 0);
  M().SetActive(false);
  EXPECT_FALSE(plain->OnAdvancedDrawItem);
  ASSERT_TRUE(own->OnAdvancedDrawItem);
  EXPECT_FALSE(popup->OwnerDraw());
  probe.Run(*popup, 300);
  EXPECT_TRUE(probe.seen);
  EXPECT_GT(ownDraws, skinnedDraws);  // the item is still drawn by its own handler
  gui::Free(form);
  EXPECT_TRUE(exceptions.empty());
}

TEST_F(SkinDataWinTest, AControlGoesCleanlyWhileItsGlowFades) {
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(60, 60, 300, 200);
  form->Show();
  Apply();
  PumpFor(50);
  const ledger::Snapshot before = ledger::Take();
  const int windows = ThreadWindowCount();
  for (bool fadingOut : {false, true}) {
    SCOPED_TRACE(fadingOut);
    auto* panel = new GlowingPanel(form);
    panel->SetParent(form);
    panel->SetBounds(40, 40, 120, 60);
    PumpFor(30);
    ASSERT_EQ(panel->Data().SkinIndex, SkinManagerGetSectionIndex(M(), "BUTTON"));
    panel->Perform(gui::CM_MOUSEENTER, 0, 0);
    ASSERT_GE(panel->Data().GlowID, 0);  // a glow window, fading in on the control's timer
    ASSERT_NE(panel->Data().AnimTimer, nullptr);
    EXPECT_EQ(LiveGlows(), 1);
    PumpFor(40);
    if (fadingOut) {
      // The mouse leaves (the cursor is nowhere near): the glow fades out, still listed.
      SetCursorPos(1200, 1000);
      panel->Perform(gui::CM_MOUSELEAVE, 0, 0);
      EXPECT_EQ(LiveGlows(), 1);
      PumpFor(30);
    }
    gui::Free(panel);  // in the middle of the fade
    EXPECT_EQ(LiveGlows(), 0);
    PumpFor(200);  // no tick of a freed timer may reach the freed data
    EXPECT_EQ(LiveGlows(), 0);
  }
  PumpUntil([&] { return ThreadWindowCount() == windows && ledger::Difference(before, ledger::Take()).empty(); });
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  gui::Free(form);
  EXPECT_TRUE(exceptions.empty());
}

TEST_F(SkinDataWinTest, TheHintWindowStaysInsideTheWorkArea) {
  const TRect area = WorkAreaAtPoint(TPoint{10, 10});
  ASSERT_GT(area.Width(), 0);
  EXPECT_EQ(FormMonitorWorkArea(nullptr), area);
  EXPECT_EQ(WorkAreaAtPoint(TPoint{-5000, -5000}), TRect{});
  const ledger::Snapshot before = ledger::Take();
  {
    // Near the bottom-right corner the hint moves left and up to stay inside.
    std::unique_ptr<TacHintWindow> hint = ShowHintWindow(std::string(120, 'w'), TPoint{area.Right - 5, area.Bottom - 5});
    ASSERT_TRUE(hint && hint->Handle());
    EXPECT_TRUE(IsWindowVisible(hint->Handle()));
    EXPECT_FALSE(hint->Faded());  // 100 characters or more never fade in
    RECT r;
    GetWindowRect(hint->Handle(), &r);
    EXPECT_LE(r.right, area.Right);
    EXPECT_LE(r.bottom, area.Bottom);
    EXPECT_GT(r.right - r.left, 100);
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(SkinDataWinTest, TheLedgerStaysFlatOverMenusAndShowHideCycles) {
  auto* form = new ProviderForm(gui::Application);
  auto* popup = new gui::TPopupMenu(form);
  for (const char* caption : {"One", "Two", "-", "-Caption-", "Three"}) AddItem(form, popup->Items(), caption);
  Apply();
  PopupProbe probe;
  probe.Run(*popup, 40);  // the first opening makes the popup's cached background
  const ledger::Snapshot menusBefore = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  int seen = 0;
  for (int i = 0; i < 100; ++i) {
    probe.seen = false;
    probe.Run(*popup, 30);
    seen += probe.seen ? 1 : 0;
  }
  PumpUntil([&] { return ledger::Difference(menusBefore, ledger::Take()).empty() && ThreadWindowCount() == windowsBefore; });
  EXPECT_EQ(seen, 100);
  EXPECT_EQ(ledger::Difference(menusBefore, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);

  M().AnimEffects.FormHide.Time = 24;
  auto cycle = [&] {
    form->Show();
    AnimShowForm(form->provider, 24, 255, atFading);
    AnimHideForm(form->provider);
    PumpUntil([] { return !HideAnimTimer() || !HideAnimTimer()->HoldsWindow(); });
    form->Hide();
  };
  cycle();
  const ledger::Snapshot cyclesBefore = ledger::Take();
  const int windows = ThreadWindowCount();
  for (int i = 0; i < 100; ++i) cycle();
  PumpUntil([&] { return ledger::Difference(cyclesBefore, ledger::Take()).empty() && ThreadWindowCount() == windows; });
  EXPECT_EQ(ledger::Difference(cyclesBefore, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_EQ(form->provider.told, 101);
  EXPECT_EQ(AnimationInProgress(), 0);
  gui::Free(form);
  EXPECT_TRUE(exceptions.empty());
}

}  // namespace
