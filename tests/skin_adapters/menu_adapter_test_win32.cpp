// Popup menus of the component layer under the popup-menu window adapter (Windows build, under Wine): a test-local
// window-creation hook gives each "#32768" window its adapter as the skin manager's hook does, and a timer inside
// the menu's own loop looks at the open menu before it closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acmnuwnd.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/menu_list_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::menucolours;

COLORREF WindowPixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

// What was seen of menu windows as they were shown (by a hook that runs after the window's procedure).
struct ShowRecord {
  HWND wnd = nullptr;
  bool layered = false;
  BYTE alpha = 255;
};

struct MenuAdapterTest : ::testing::Test {
  static MenuAdapterTest* current;
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager;
  gui::TForm* form = nullptr;
  gui::TPopupMenu* popup = nullptr;
  gui::TMenuItem* sub = nullptr;
  HHOOK cbt = nullptr;
  HHOOK after = nullptr;
  std::vector<ShowRecord> shows;
  int adaptersMade = 0;
  bool withoutFramePainting = false;
  // The menu's loop: one step per tick (each given the top menu window, or nullptr), the last one closes it.
  std::vector<std::function<void(HWND)>> steps;
  size_t step = 0;

  MenuAdapterTest() {
    current = this;
    AnimationsOff() = 1;
    manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
    form = new gui::TForm(gui::Application);  // the skinned menus walk the application's components
    form->SetBounds(60, 60, 300, 200);
    popup = new gui::TPopupMenu(form);
    for (const char* caption : {"&Open", "Save as", "-", "Settings"}) AddItem(popup->Items(), caption);
    sub = AddItem(popup->Items(), "More");
    for (const char* caption : {"First", "Second"}) AddItem(sub, caption);
    ApplyMenuListSkin(*manager);
    cbt = SetWindowsHookExA(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
    after = SetWindowsHookExA(WH_CALLWNDPROCRET, After, nullptr, GetCurrentThreadId());
  }
  ~MenuAdapterTest() override {
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(after);
    FreeMenuWindowAdapters();
    gui::Free(form);
    manager.reset();
    Pump();
    AnimationsOff() = 0;
    current = nullptr;
  }

  gui::TMenuItem* AddItem(gui::TMenuItem* parent, const std::string& caption) {
    auto* item = new gui::TMenuItem(form);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }

  static LRESULT CALLBACK Cbt(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_CREATEWND && current != nullptr) {
      const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs;
      if (IS_INTRESOURCE(cs->lpszClass) && LOWORD(reinterpret_cast<ULONG_PTR>(cs->lpszClass)) == 0x8000)
        if (CreateMenuAdapter(reinterpret_cast<HWND>(w), current->manager.get()) != nullptr) {
          ++current->adaptersMade;
          if (current->withoutFramePainting) {
            // Over the adapter: the window never gets a frame painting (as where the system gives menus none).
            const HWND h = reinterpret_cast<HWND>(w);
            SetPropA(h, "TESTBELOW", reinterpret_cast<HANDLE>(GetWindowLongPtrA(h, GWLP_WNDPROC)));
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoFramePainting));
          }
        }
    }
    return CallNextHookEx(nullptr, code, w, l);
  }
  static LRESULT CALLBACK NoFramePainting(HWND h, UINT msg, WPARAM w, LPARAM l) {
    const auto below = reinterpret_cast<WNDPROC>(GetPropA(h, "TESTBELOW"));
    if (msg == WM_NCPAINT) return 0;
    if (msg == WM_NCDESTROY) RemovePropA(h, "TESTBELOW");
    return CallWindowProcA(below, h, msg, w, l);
  }
  static LRESULT CALLBACK After(int code, WPARAM w, LPARAM l) {
    const auto* r = reinterpret_cast<const CWPRETSTRUCT*>(l);
    if (code == HC_ACTION && current != nullptr && r->message == WM_WINDOWPOSCHANGING) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(r->lParam);
      char cls[16] = {};
      GetClassNameA(r->hwnd, cls, sizeof cls);
      if ((pos->flags & SWP_SHOWWINDOW) && std::string(cls) == "#32768") {
        ShowRecord s{r->hwnd};
        s.layered = (GetWindowLongA(r->hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        DWORD flags = 0;
        if (s.layered) GetLayeredWindowAttributes(r->hwnd, nullptr, &s.alpha, &flags);
        current->shows.push_back(s);
      }
    }
    return CallNextHookEx(nullptr, code, w, l);
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    MenuAdapterTest* t = current;
    if (t == nullptr) return;
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu != nullptr && !IsWindowVisible(menu)) menu = nullptr;
    if (t->step < t->steps.size()) t->steps[t->step](menu);
    ++t->step;
    if (t->step < t->steps.size())
      SetTimer(nullptr, 0, 150, Tick);
    else
      EndMenu();
  }
  // Opens the popup; each step runs on a tick of the menu's loop; the menu closes after the last.
  void Run(std::vector<std::function<void(HWND)>> s, UINT first = 300) {
    steps = std::move(s);
    step = 0;
    SetTimer(nullptr, 0, first, Tick);
    popup->Popup(200, 200);
    Pump(20);
  }
  static TacMnuWnd* AdapterOf(HWND menu) {
    for (TacMnuWnd* a : MenuWindowAdapters())
      if (a->Handle == menu && !a->Destroyed) return a;
    return nullptr;
  }
};
MenuAdapterTest* MenuAdapterTest::current = nullptr;

TEST_F(MenuAdapterTest, AMenuIsShownTransparentAndTakesTheMenuOpacityAtItsFirstPainting) {
  struct Case {
    uint8_t opacity;
    bool withoutFramePainting;
    bool layered;
  } cases[] = {{200, false, true}, {255, false, false}, {200, true, true}, {255, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.opacity) << (c.withoutFramePainting ? " without frame painting" : ""));
    manager->MenuSupport.AlphaBlend = c.opacity;
    withoutFramePainting = c.withoutFramePainting;
    shows.clear();
    bool seen = false, layered = false;
    BYTE alpha = 0;
    Run({[&](HWND menu) {
      ASSERT_NE(menu, nullptr);
      ASSERT_NE(AdapterOf(menu), nullptr);
      seen = true;
      layered = (GetWindowLongA(menu, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
      DWORD flags = 0;
      if (layered) GetLayeredWindowAttributes(menu, nullptr, &alpha, &flags);
    }});
    ASSERT_TRUE(seen);
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_TRUE(shows[0].layered) << "made transparent before it shows";
    EXPECT_EQ(shows[0].alpha, 0);
    EXPECT_EQ(layered, c.layered);
    if (c.layered) {
      EXPECT_EQ(alpha, c.opacity);
    }
  }
}

TEST_F(MenuAdapterTest, TheFrameAndBackgroundShowTheMenuSectionsColours) {
  COLORREF frame[4] = {}, margin = 0;
  RECT wr{};
  Run({[&](HWND menu) {
    ASSERT_NE(menu, nullptr);
    GetWindowRect(menu, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    frame[0] = WindowPixel(menu, 1, h / 2);
    frame[1] = WindowPixel(menu, w - 2, h / 2);
    frame[2] = WindowPixel(menu, w / 2, 1);
    frame[3] = WindowPixel(menu, w / 2, h - 2);
    // The right end of the first item: the popup's background (no text there).
    RECT item{};
    GetMenuItemRect(nullptr, reinterpret_cast<HMENU>(SendMessageA(menu, 0x01E1, 0, 0)), 0, &item);
    margin = WindowPixel(menu, item.right - wr.left - 4, (item.top + item.bottom) / 2 - wr.top);
  }});
  ASSERT_GT(wr.right - wr.left, 20);
  for (COLORREF c : frame) EXPECT_EQ(c, MenuFrame);
  EXPECT_EQ(margin, MenuBg);
}

TEST_F(MenuAdapterTest, ClosingASubmenuKeepsTheAdaptersAndClosingTheLastFreesThem) {
  size_t open = 0, afterSubClose = 0;
  bool parentLive = false, subGone = false;
  HWND parent = nullptr, child = nullptr;
  Run({[&](HWND menu) {
         parent = menu;
         // Down to "More" (the last item) and into its submenu.
         PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
         PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 0);
       },
       [&](HWND) {
         open = MenuWindowAdapters().size();
         for (TacMnuWnd* a : MenuWindowAdapters())
           if (a->Handle != parent) child = a->Handle;
         PostMessageA(parent, WM_KEYDOWN, VK_LEFT, 0);
       },
       [&](HWND) {
         afterSubClose = MenuWindowAdapters().size();
         TacMnuWnd* p = AdapterOf(parent);
         parentLive = p != nullptr && IsWindowVisible(parent);
         subGone = child != nullptr && (!IsWindow(child) || !IsWindowVisible(child));
       }});
  EXPECT_EQ(open, 2u);
  EXPECT_EQ(afterSubClose, 2u) << "the parent's and the closed submenu's adapters are kept";
  EXPECT_TRUE(parentLive);
  EXPECT_TRUE(subGone);
  Pump(20);
  EXPECT_TRUE(MenuWindowAdapters().empty());
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
  EXPECT_EQ(adaptersMade, 2);
}

TEST_F(MenuAdapterTest, TheRepaintPendingQueryAnswersTheMenuState) {
  // The region announced for a shown menu is pending until the menu paints its background again.
  std::vector<LRESULT> answers;
  Run({[&](HWND menu) {
    ASSERT_NE(menu, nullptr);
    auto repaint = [menu] { RedrawWindow(menu, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
    repaint();
    answers.push_back(SendLibraryCommand(menu, AC_SETREPAINTPENDING, 0));
    SendLibraryCommand(menu, AC_MENUREGIONSET, 0);
    answers.push_back(SendLibraryCommand(menu, AC_SETREPAINTPENDING, 0));
    answers.push_back(AdapterOf(menu)->MenuState);
    repaint();
    answers.push_back(SendLibraryCommand(menu, AC_SETREPAINTPENDING, 0));
  }});
  EXPECT_EQ(answers, (std::vector<LRESULT>{0, 1, 1, 0}));
}

TEST_F(MenuAdapterTest, MenusOfOtherCodeKeepTheSystemsLookAndLeaveNoAdapter) {
  // A menu that the skinned menus do not draw: adapted, but left to the system (never made transparent).
  HMENU plain = CreatePopupMenu();
  AppendMenuA(plain, MF_STRING, 1, "Plain one");
  AppendMenuA(plain, MF_STRING, 2, "Plain two");
  HWND owner = MakeHost(40, 40, 200, 100);
  shows.clear();
  steps = {[&](HWND menu) { EXPECT_NE(AdapterOf(menu), nullptr); }};
  step = 0;
  MenuItemsPainting() = 0;
  SetTimer(nullptr, 0, 300, Tick);
  TrackPopupMenu(plain, TPM_LEFTALIGN, 220, 220, 0, owner, nullptr);
  Pump(20);
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_FALSE(shows[0].layered);
  EXPECT_TRUE(MenuWindowAdapters().empty());
  DestroyMenu(plain);
  DestroyWindow(owner);
}

TEST_F(MenuAdapterTest, TwoHundredMenusLeaveTheLedgerFlat) {
  Run({[](HWND) {}}, 30);  // the first opening makes what is kept (fonts, the menus' state)
  const ledger::Snapshot before = ledger::Take();
  const int windows = ThreadWindowCount();
  int seen = 0;
  for (int i = 0; i < 200; ++i) Run({[&seen](HWND menu) { seen += menu != nullptr ? 1 : 0; }}, 15);
  Pump(30);
  EXPECT_EQ(seen, 200);
  EXPECT_EQ(adaptersMade, 201);
  EXPECT_TRUE(MenuWindowAdapters().empty());
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
}

}  // namespace
