// The title-bar component on a real skinned form (Windows build, run under Wine): a button, a menu button, a
// spacer and an information field in the caption, read back from the window in their normal, hot and pressed
// colours; posted clicks that click the button and drop the menu; the hit test over each item; the hint of a user
// title button; and the leak ledger and the thread's windows over fifty rounds of use.
//
// With STATION_SHOTS set to a directory, the form is saved there as it shows with a hot item and with the hint.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gui/gui.h"
#include "skin/forms/border_form.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/stitlebar.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_forms/titlebar_fixture.h"
#include "tests/support/win_screen.h"

namespace {

using namespace formstest;
using skin::TacTitleBarItem;
using testsupport::PumpFor;

int ThreadWindows() {
  int n = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND, LPARAM l) -> BOOL {
        ++*reinterpret_cast<int*>(l);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&n));
  return n;
}

skin::Bitmap WindowPicture(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  skin::Bitmap b(r.right - r.left, r.bottom - r.top, skin::pf32bit);
  HDC dc = skin::ledger::GetWindowDC(h);
  skin::DCToBitmap(b, 0, 0, b.Width(), b.Height(), dc, 0, 0);
  skin::ledger::ReleaseDC(h, dc);
  GdiFlush();
  return b;
}

void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG((x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG((y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(in));
  SetCursorPos(x, y);
}

// Pumps messages until the condition holds or two seconds have passed (a loaded machine delays the timers).
template <class Condition>
bool WaitFor(Condition done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 2000) return false;
    PumpFor(10);
  }
  return true;
}

skin::TPoint Centre(const skin::TRect& r) { return skin::TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

void Shot(HWND h, const char* name) {
  if (const char* dir = std::getenv("STATION_SHOTS")) testsupport::SaveWindowPicture(h, dir, name);
}

// A skinned form whose caption holds a button, a menu button with a two-line menu, a spacer and an information
// field, and a user title button with a hint.
struct TitleForm {
  FormsSkin skin;
  gui::TForm* form;
  skin::TsSkinProvider* p;
  skin::TsTitleBar* bar;
  gui::TPopupMenu* menu;
  TacTitleBarItem *button, *menuButton, *spacer, *info;
  int clicks = 0, menuClicks = 0, popups = 0;
  bool droppedInPopup = false;

  explicit TitleForm(bool extended = false) : skin(extended) {
    if (extended) {
      // The skin's caption and border as tall and wide as the system's.
      skin.Skin().SkinData.BorderWidth = GetSystemMetrics(SM_CXFRAME);
      skin.Skin().SkinData.TitleHeight = skin.Skin().SkinData.MaxHeight =
          GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
    }
    AddTitleBarSections(skin);
    form = new gui::TForm(gui::Application);
    form->SetBounds(60, 60, 420, 240);
    form->SetCaption("Title bar");
    form->SetShowHint(true);
    p = new skin::TsSkinProvider(form);
    bar = new skin::TsTitleBar(form);
    bar->ShowCaption = true;
    menu = new gui::TPopupMenu(form);
    for (const char* c : {"Connect", "Disconnect"}) {
      auto* i = new gui::TMenuItem(form);
      i->SetCaption(c);
      menu->Items()->Add(i);
    }
    menu->OnPopup = [this](gui::TObject*) {
      ++popups;
      droppedInPopup = menuButton->DroppedDown;
    };
    button = bar->Items().Add();
    button->SetCaption("Log");
    button->OnClick = [this](gui::TObject*) { ++clicks; };
    menuButton = bar->Items().Add();
    menuButton->SetStyle(skin::bsMenu);
    menuButton->SetCaption("Mode");
    menuButton->SetDropdownMenu(menu);
    menuButton->OnClick = [this](gui::TObject*) { ++menuClicks; };
    spacer = bar->Items().Add();
    spacer->SetStyle(skin::bsSpacing);
    spacer->SetWidth(20);
    info = bar->Items().Add();
    info->SetStyle(skin::bsInfo);
    info->SetCaption("433.100");
    info->SetAlign(skin::tbaRight);
    skin::TsTitleButton* user = p->TitleButtons().Add();
    user->Hint = "Station log";
    MoveMouse(900, 700);
    form->Show();
    SetForegroundWindow(form->WindowHandle());
    PumpFor(250);
  }
  ~TitleForm() {
    gui::Free(form);
    PumpFor(50);
  }
  HWND Handle() const { return form->WindowHandle(); }
  skin::TPoint Screen(const skin::TPoint& pt) const {
    RECT wr{};
    GetWindowRect(Handle(), &wr);
    return skin::TPoint{wr.left + pt.X, wr.top + pt.Y};
  }
  void Hover(const skin::TRect& r) {
    const skin::TPoint c = Screen(Centre(r));
    MoveMouse(c.X - 1, c.Y);
    PumpFor(20);
    MoveMouse(c.X, c.Y);
  }
  void Post(UINT msg, int code, const skin::TRect& r) {
    const skin::TPoint c = Screen(Centre(r));
    PostMessageA(Handle(), msg, WPARAM(code), MAKELPARAM(c.X, c.Y));
  }
  // The colour the window shows near an item's bottom-left corner (inside its border image).
  uint32_t ItemPixel(const TacTitleBarItem* item) {
    return skin::GetPixel32(WindowPicture(Handle()), item->Rect.Left + 2, item->Rect.Bottom - 3) & 0xFFFFFF;
  }
};

uint32_t Rgb(TColor c) { return Px(c) & 0xFFFFFF; }

void WarmTimers() {
  // The component layer's timers run on a window of their own, made once.
  gui::TTimer warm(nullptr);
  warm.SetEnabled(true);
}

TEST(TitleBarWindows, ItemsShowAtTheirPlacesInNormalHotAndPressedColours) {
  WarmTimers();
  TitleForm f;
  ASSERT_EQ(f.p->TitleBar(), f.bar);
  ASSERT_GT(f.button->Rect.Width(), 16);
  // Left to right: button, menu button, spacer from the band's left; the information field at its right.
  EXPECT_EQ(f.button->Rect.Left, f.bar->BarRect.Left);
  EXPECT_EQ(f.menuButton->Rect.Left, f.button->Rect.Right);
  EXPECT_EQ(f.spacer->Rect.Left, f.menuButton->Rect.Right);
  EXPECT_EQ(f.info->Rect.Right, f.bar->BarRect.Right);
  EXPECT_EQ(f.ItemPixel(f.button), Rgb(ItemColor(kItemButton, 0)));
  EXPECT_EQ(f.ItemPixel(f.menuButton), Rgb(ItemColor(kItemMenu, 0)));
  // The spacer and the information field (no section of its own) show the caption.
  EXPECT_EQ(f.ItemPixel(f.spacer), Rgb(kTitleActive));
  EXPECT_EQ(skin::GetPixel32(WindowPicture(f.Handle()), f.info->Rect.Left + 1, Centre(f.info->Rect).Y) & 0xFFFFFF,
            Rgb(kTitleActive));

  // Hot under the mouse, once its fade has grown.
  f.Hover(f.button->Rect);
  EXPECT_TRUE(WaitFor([&] { return f.ItemPixel(f.button) == Rgb(ItemColor(kItemButton, 1)); }));
  EXPECT_TRUE(f.button->Hot);
  EXPECT_EQ(f.ItemPixel(f.menuButton), Rgb(ItemColor(kItemMenu, 0)));
  Shot(f.Handle(), "titlebar-hot");
  // Pressed, then released over it: one click, hot again.
  f.Post(WM_NCLBUTTONDOWN, 2000, f.button->Rect);
  EXPECT_TRUE(WaitFor([&] { return f.ItemPixel(f.button) == Rgb(ItemColor(kItemButton, 2)); }));
  EXPECT_TRUE(f.button->Pressed);
  Shot(f.Handle(), "titlebar-pressed");
  f.Post(WM_NCLBUTTONUP, 2000, f.button->Rect);
  EXPECT_TRUE(WaitFor([&] { return f.ItemPixel(f.button) == Rgb(ItemColor(kItemButton, 1)); }));
  EXPECT_EQ(f.clicks, 1);
  EXPECT_FALSE(f.button->Pressed);
  // Onto the menu button: the button goes back to normal, the menu button is hot.
  f.Hover(f.menuButton->Rect);
  EXPECT_TRUE(WaitFor([&] { return f.ItemPixel(f.menuButton) == Rgb(ItemColor(kItemMenu, 1)); }));
  EXPECT_EQ(f.ItemPixel(f.button), Rgb(ItemColor(kItemButton, 0)));
  // Away: normal everywhere, and no fade window left.
  MoveMouse(900, 700);
  EXPECT_TRUE(WaitFor([&] {
    return f.menuButton->Animation == nullptr || f.menuButton->Animation->HoverWnd == nullptr;
  }));
  EXPECT_EQ(f.ItemPixel(f.menuButton), Rgb(ItemColor(kItemMenu, 0)));
}

TEST(TitleBarWindows, TheHitTestAnswersForTheItems) {
  {
    TitleForm f;
    auto hit = [&](const TacTitleBarItem* item) {
      const skin::TPoint c = f.Screen(Centre(item->Rect));
      return int(SendMessageA(f.Handle(), WM_NCHITTEST, 0, MAKELPARAM(c.X, c.Y)));
    };
    EXPECT_EQ(hit(f.button), 2000);
    EXPECT_EQ(hit(f.menuButton), 2001);
    EXPECT_EQ(hit(f.spacer), HTCAPTION);
    EXPECT_EQ(hit(f.info), HTCAPTION);
    f.button->SetVisible(false);
    PumpFor(100);
    EXPECT_EQ(hit(f.menuButton), 2001);
    EXPECT_EQ(f.menuButton->Rect.Left, f.bar->BarRect.Left);
  }
  // With the extended border window (the form's skin manager the default one: the first form is gone), the
  // border window answers for the items, in its own coordinates.
  TitleForm e(true);
  ASSERT_TRUE(e.p->BorderForm);
  skin::TacBorderForm& bf = *e.p->BorderForm;
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.button->Rect)), 2000);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.menuButton->Rect)), 2001);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.spacer->Rect)), HTCAPTION);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.info->Rect)), HTCAPTION);
  // The items stand in the border window's image where the hit test finds them.
  EXPECT_EQ(skin::GetPixel32(*e.p->SkinData().CacheBmp, e.button->Rect.Left + 2, e.button->Rect.Bottom - 3) & 0xFFFFFF,
            Rgb(ItemColor(kItemButton, 0)));
  if (const char* dir = std::getenv("STATION_SHOTS"))
    testsupport::SaveWindowPicture(static_cast<HWND>(bf.AForm), dir, "titlebar-border");
}

TitleForm* g_form = nullptr;
bool g_sawOpen = false;
// Picks the first item of the open menu with the keyboard.
void CALLBACK PickFirstItem(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_form && g_form->menuButton->DroppedDown) {
    g_sawOpen = true;
    KillTimer(nullptr, id);
    INPUT keys[4]{};
    for (int i = 0; i < 4; ++i) {
      keys[i].type = INPUT_KEYBOARD;
      keys[i].ki.wVk = i < 2 ? VK_DOWN : VK_RETURN;
      keys[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
  }
}

// The form, which is not the program's main form here, owns the menu while it is open: the item picked runs.
TEST(TitleBarWindows, APostedClickOnTheMenuButtonDropsItsMenuAndClicksAfterItCloses) {
  TitleForm f;
  gui::TCustomForm* savedMain = gui::Application->MainForm();
  gui::Application->SetMainForm(nullptr);
  int picked = 0;
  f.menu->Items()->Items(0)->OnClick = [&](gui::TObject*) { ++picked; };
  g_form = &f;
  g_sawOpen = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, PickFirstItem);
  f.Post(WM_NCLBUTTONDOWN, 2001, f.menuButton->Rect);
  f.Post(WM_NCLBUTTONUP, 2001, f.menuButton->Rect);
  WaitFor([&] { return f.menuClicks > 0 && picked > 0; });
  PumpFor(100);
  KillTimer(nullptr, timer);
  g_form = nullptr;
  gui::Application->SetMainForm(savedMain);
  EXPECT_TRUE(g_sawOpen);
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(f.menu->WindowHandle, nullptr);
  EXPECT_EQ(f.popups, 1);
  EXPECT_TRUE(f.droppedInPopup);
  EXPECT_EQ(f.menuClicks, 1);
  EXPECT_FALSE(f.menuButton->DroppedDown);
  EXPECT_FALSE(f.menuButton->Pressed);
  EXPECT_FALSE(skin::TitleButtonPressed());
  EXPECT_EQ(f.clicks, 0);
}

// When and where the pointer stood as the hint window "Station log" came on the screen (first time only).
struct HintShowing {
  DWORD at = 0;
  POINT cursor{-1, -1};
};
HintShowing g_hintShowing;
HHOOK g_hintHook = nullptr;
LRESULT CALLBACK WatchHintShowing(int code, WPARAM w, LPARAM l) {
  const auto* c = reinterpret_cast<const CWPSTRUCT*>(l);
  char text[32] = {};
  if (code == HC_ACTION && c->message == WM_WINDOWPOSCHANGING && g_hintShowing.at == 0 &&
      (reinterpret_cast<const WINDOWPOS*>(c->lParam)->flags & SWP_SHOWWINDOW) &&
      GetWindowTextA(c->hwnd, text, sizeof text) && std::string(text) == "Station log") {
    g_hintShowing.at = GetTickCount();
    GetCursorPos(&g_hintShowing.cursor);
  }
  return CallNextHookEx(g_hintHook, code, w, l);
}

TEST(TitleBarWindows, AUserTitleButtonsHintShowsAfterThePauseAndGoesWhenLeft) {
  WarmTimers();
  TitleForm f;
  const int saved = gui::Application->HintPause();
  gui::Application->SetHintPause(600);
  const int windows = ThreadWindows();
  const skin::TRect r = f.p->TitleButtons().Items(0)->Data.Rect;
  // The hint is judged as it comes: a thread kept waiting (a busy machine) between the hover's two moves lets the
  // pause run out there, and the hint then rightly stands at the pointer's first place.
  g_hintShowing = HintShowing{};
  g_hintHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchHintShowing, nullptr, GetCurrentThreadId());
  const DWORD hovered = GetTickCount();  // the pause runs from the pointer's coming over the button, after this
  f.Hover(r);
  ASSERT_TRUE(WaitFor([&] { return f.p->CurrentHTCode == 1000; }));
  ASSERT_TRUE(WaitFor([&] { return f.p->TitleHintState && f.p->TitleHintState->Window; }));
  UnhookWindowsHookEx(g_hintHook);
  ASSERT_NE(g_hintShowing.at, 0u);
  EXPECT_GE(g_hintShowing.at - hovered, 600u - 20u) << "shown before the pause";  // (a timer may end a tick early)
  HWND hint = f.p->TitleHintState->Window->Handle();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(IsWindowVisible(hint));
  char text[64] = {};
  GetWindowTextA(hint, text, sizeof(text));
  EXPECT_STREQ(text, "Station log");
  RECT hr{};
  GetWindowRect(hint, &hr);
  EXPECT_EQ(hr.left, g_hintShowing.cursor.x + 8);
  EXPECT_EQ(hr.top, g_hintShowing.cursor.y + 16);
  Shot(f.Handle(), "titlebar-hint");
  // Left: the hint window goes (and the button's glow fades out).
  MoveMouse(900, 700);
  EXPECT_TRUE(WaitFor([&] { return ThreadWindows() == windows; }));
  EXPECT_FALSE(f.p->TitleHintState->Window);
  EXPECT_FALSE(IsWindow(hint));
  // Hovered again and clicked: it goes as the button is pressed.
  f.Hover(r);
  ASSERT_TRUE(WaitFor([&] { return f.p->TitleHintState->Window != nullptr; }));
  f.Post(WM_NCLBUTTONDOWN, 1000, r);
  EXPECT_TRUE(WaitFor([&] { return f.p->TitleHintState->Window == nullptr; }));
  f.Post(WM_NCLBUTTONUP, 1000, r);
  MoveMouse(900, 700);
  PumpFor(150);
  gui::Application->SetHintPause(saved);
}

TEST(TitleBarWindows, TheLedgerAndWindowCountAreFlatOverFiftyRounds) {
  WarmTimers();
  TitleForm f;
  const int saved = gui::Application->HintPause();
  gui::Application->SetHintPause(20);
  auto round = [&] {
    f.Hover(f.button->Rect);
    PumpFor(40);
    f.Post(WM_NCLBUTTONDOWN, 2000, f.button->Rect);
    f.Post(WM_NCLBUTTONUP, 2000, f.button->Rect);
    PumpFor(30);
    f.Hover(f.p->TitleButtons().Items(0)->Data.Rect);
    PumpFor(60);
    f.Hover(f.menuButton->Rect);
    PumpFor(30);
    MoveMouse(900, 700);
    PumpFor(150);
  };
  round();
  round();
  // Every fade over, every glow gone.
  PumpFor(500);
  const skin::ledger::Snapshot before = skin::ledger::Take();
  const int windows = ThreadWindows();
  const int clicks = f.clicks;
  for (int i = 0; i < 50; ++i) round();
  EXPECT_TRUE(WaitFor([&] { return ThreadWindows() == windows; }));
  PumpFor(100);
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(f.clicks, clicks + 50);
  gui::Application->SetHintPause(saved);
}

}  // namespace
