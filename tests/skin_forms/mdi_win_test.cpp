// A skinned MDI parent form (Windows build, under Wine): its provider links the form and puts the client adapter
// on the client window; the empty client area shows the skin's MDIAREA; children are made, tiled, cascaded and
// closed under the skin; the buttons of a maximized child act on the active child and do nothing without one; a
// dragged thumb scrolls the children only when released; the link goes with the skin and with the provider, and
// nothing leaks over fifty rounds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acmdiwnd.h"
#include "skin/adapters/adapter_lifetime.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmenus.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/smdiform.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_forms/forms_fixture.h"
#include "tests/support/win_screen.h"

namespace {

using namespace formstest;
using skin::TsSkinProvider;
using testsupport::PumpFor;

inline constexpr TColor kMdiArea = 0x6090D0;

inline int ThreadWindowCount() { return testsupport::ThreadWindowCount(true); }

// A pixel of the client window's surface and through WM_PRINT (as a TColor).
TColor SurfacePixel(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return TColor(c);
}

TColor PrintedPixel(HWND h, int x, int y) {
  RECT r;
  GetWindowRect(h, &r);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = r.right - r.left;
  bi.bmiHeader.biHeight = -(r.bottom - r.top);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  GdiFlush();
  const uint32_t p = static_cast<uint32_t*>(bits)[y * (r.right - r.left) + x];
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return TColor(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

// The fixture skin with an MDIAREA section.
void AddMdiArea(FormsSkin& s) {
  skin::SkinSectionRecord r;
  r.SectionName = "MDIAREA";
  r.States = 1;
  r.NormalState.Color = kMdiArea;
  r.HotState = r.NormalState;
  s.Skin().Sections.push_back(r);
}

struct MdiParent {
  FormsSkin skin;
  gui::TForm* form;
  TsSkinProvider* p;
  std::vector<gui::TForm*> children;
  gui::TMenuItem* windowMenu = nullptr;
  // With menu: "&File" and "&Window" (the form's window menu) in its menu bar.
  explicit MdiParent(bool menu = false) {
    AddMdiArea(skin);
    form = new gui::TForm(gui::Application);
    form->SetFormStyle(gui::TFormStyle::fsMDIForm);
    form->SetBounds(40, 40, 640, 440);
    form->SetCaption("Skinned MDI parent");
    if (menu) {
      auto* mm = new gui::TMainMenu(form);
      for (const char* caption : {"&File", "&Window"}) {
        auto* item = new gui::TMenuItem(form);
        item->SetCaption(caption);
        auto* sub = new gui::TMenuItem(form);
        sub->SetCaption(std::string(caption) == "&File" ? "&New" : "&Cascade");
        item->Add(sub);
        mm->Items()->Add(item);
        windowMenu = item;
      }
      form->SetMenu(mm);
      form->SetWindowMenu(windowMenu);
    }
    p = new TsSkinProvider(form);
    form->Show();
    PumpFor(150);
  }
  ~MdiParent() {
    for (gui::TForm* c : children) gui::Free(c);
    gui::Free(form);
    PumpFor(30);
  }
  HWND Client() const { return form->ClientHandle(); }
  // With skinned: the child wears a provider of its own, as the window-creation hook gives every form.
  gui::TForm* AddChild(int i, bool skinned = false) {
    auto* c = new gui::TForm(nullptr);
    c->SetFormStyle(gui::TFormStyle::fsMDIChild);
    c->SetCaption("Child " + std::to_string(i + 1));
    c->SetBounds(20 * i, 20 * i, 200, 140);
    if (skinned) new TsSkinProvider(c);
    c->Show();
    children.push_back(c);
    return c;
  }
  void FreeChildren() {
    for (gui::TForm* c : children) gui::Free(c);
    children.clear();
    PumpFor(30);
  }
  skin::TacMDIWnd* ClientAdapter() const {
    return Client() ? dynamic_cast<skin::TacMDIWnd*>(skin::AdapterOfWindow(Client())) : nullptr;
  }
  // The empty area, well inside the client (away from the children placed at its top-left).
  TColor AreaPixel(bool printed) {
    RECT r;
    GetClientRect(Client(), &r);
    PumpFor(20);
    return printed ? PrintedPixel(Client(), r.right - 10, r.bottom - 10) : SurfacePixel(Client(), r.right - 12, r.bottom - 12);
  }
};

TEST(MdiParentForm, TheProviderLinksTheFormAndTheClientShowsTheSkinsArea) {
  MdiParent m;
  ASSERT_NE(m.Client(), nullptr);
  ASSERT_NE(m.p->MDIForm, nullptr);
  EXPECT_EQ(skin::MDIParentProvider(), m.p);
  EXPECT_EQ(m.p->MDIForm->Form, m.form);
  skin::TacMDIWnd* a = m.ClientAdapter();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(m.p->MDIForm->ClientAdapter, a);
  EXPECT_EQ(a->Form, m.form);
  EXPECT_EQ(a->SkinData, &m.p->SkinData());
  EXPECT_EQ(m.AreaPixel(false), kMdiArea);
  EXPECT_EQ(m.AreaPixel(true), kMdiArea);
  // The sunken edge of the client comes from the form's frame image too (no system shade).
  EXPECT_EQ(PrintedPixel(m.Client(), 0, 40), kMdiArea);
}

TEST(MdiParentForm, ChildrenAreMadeTiledCascadedAndClosedOverTheSkinnedArea) {
  MdiParent m;
  for (int i = 0; i < 3; ++i) m.AddChild(i);
  PumpFor(80);
  EXPECT_EQ(m.form->MDIChildCount(), 3);
  m.form->SetTileMode(gui::TTileMode::tbVertical);
  m.form->Tile();
  PumpFor(80);
  RECT client;
  GetClientRect(m.Client(), &client);
  int widths = 0;
  for (gui::TForm* c : m.children) {
    EXPECT_EQ(c->Top(), 0);
    widths += c->Width();
  }
  EXPECT_NEAR(widths, client.right, 3);
  if (const char* dir = std::getenv("GRIDS_PICTURES")) testsupport::SaveWindowPicture(m.form->Handle(), dir, "mdi-tiled");
  m.form->Cascade();
  PumpFor(80);
  EXPECT_LT(m.form->MDIChildren(2)->Left(), m.form->MDIChildren(0)->Left());
  EXPECT_EQ(m.AreaPixel(false), kMdiArea);
  if (const char* dir = std::getenv("GRIDS_PICTURES")) testsupport::SaveWindowPicture(m.form->Handle(), dir, "mdi-cascaded");
  m.FreeChildren();
  EXPECT_EQ(m.form->MDIChildCount(), 0);
  EXPECT_EQ(m.AreaPixel(false), kMdiArea);
  EXPECT_NE(m.ClientAdapter(), nullptr);
}

TEST(MdiParentForm, TheMaximizedChildsButtonsActOnTheActiveChildAndDoNothingWithoutOne) {
  MdiParent m;
  // No child: every command is refused and nothing changes.
  for (int code : {101, 102, 103}) EXPECT_FALSE(skin::ProviderMDIChildCommand(*m.p, code)) << code;
  EXPECT_TRUE(IsWindowVisible(m.form->Handle()));
  EXPECT_FALSE(IsIconic(m.form->Handle()));
  gui::TForm* c = m.AddChild(0);
  PumpFor(50);
  const HWND h = c->Handle();
  struct Case {
    int code;
    bool iconic;
  } cases[] = {{103, true}, {102, false}, {100, false}};
  for (const Case& k : cases) {
    EXPECT_EQ(skin::ProviderMDIChildCommand(*m.p, k.code), k.code != 100) << k.code;
    PumpFor(30);
    EXPECT_EQ(IsIconic(h) != FALSE, k.iconic) << k.code;
  }
  // Close: the child's own rule (an MDI child is minimized unless it asks to be freed).
  c->OnClose = [](gui::TObject*, gui::TCloseAction& action) { action = gui::TCloseAction::caFree; };
  EXPECT_TRUE(skin::ProviderMDIChildCommand(*m.p, 101));
  PumpFor(50);
  EXPECT_FALSE(IsWindow(h));
  m.children.clear();
  EXPECT_FALSE(skin::ProviderMDIChildCommand(*m.p, 101));
}

// What reaches the client's own procedure under the adapter.
struct ScrollSpy {
  static inline WNDPROC original = nullptr;
  static inline std::vector<std::pair<int, int>> seen;  // (code, position) of WM_VSCROLL
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_VSCROLL) seen.push_back({LOWORD(w), HIWORD(w)});
    return CallWindowProcA(original, h, msg, w, l);
  }
};

TEST(MdiParentForm, ADraggedThumbScrollsTheChildrenOnlyWhenReleased) {
  MdiParent m;
  // The spy goes under the adapter: the link lets go of the client, the spy subclasses it, the link comes back.
  m.p->MDIForm->DisconnectFromClient();
  skin::FlushDeferredFrees();
  ScrollSpy::original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m.Client(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ScrollSpy::Proc)));
  m.p->MDIForm->ConnectToClient();
  ASSERT_NE(m.ClientAdapter(), nullptr);
  ScrollSpy::seen.clear();
  // The engine asks before it sends a thumb's position: the client keeps its scroll information itself.
  struct Ask {
    int code;
    LRESULT answer;
  } asks[] = {{SB_THUMBTRACK, 1}, {SB_THUMBPOSITION, 1}, {SB_LINEDOWN, 0}, {SB_PAGEUP, 0}};
  for (const Ask& a : asks)
    EXPECT_EQ(SendMessageA(m.Client(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SCROLLBEGIN),
                           MAKELPARAM(a.code, WM_VSCROLL)),
              a.answer)
        << a.code;
  // Dragging: nothing reaches the client; releasing: the position does (the engine's whole position in LParam).
  SendMessageA(m.Client(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 40);
  SendMessageA(m.Client(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 70), 70);
  EXPECT_TRUE(ScrollSpy::seen.empty());
  SendMessageA(m.Client(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70), 70);
  SendMessageA(m.Client(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  const std::vector<std::pair<int, int>> expected = {{SB_THUMBPOSITION, 70}, {SB_LINEDOWN, 0}};
  EXPECT_EQ(ScrollSpy::seen, expected);
  // The spy leaves as it came: the adapter first.
  m.p->MDIForm->DisconnectFromClient();
  skin::FlushDeferredFrees();
  SetWindowLongPtrA(m.Client(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScrollSpy::original));
}

TEST(MdiParentForm, TheLinkLetsGoWithTheSkinComesBackWithItAndGoesWithTheProvider) {
  MdiParent m;
  const HWND client = m.Client();
  const WNDPROC skinned = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(client, GWLP_WNDPROC));
  ASSERT_NE(m.ClientAdapter(), nullptr);
  const LPARAM manager = reinterpret_cast<LPARAM>(static_cast<skin::TsSkinManager*>(m.skin.manager.get()));
  for (int round = 0; round < 2; ++round) {
    // The skin goes (the manager's command to the form): the client is the system's again.
    SendMessageA(m.form->Handle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), manager);
    skin::FlushDeferredFrees();
    PumpFor(60);
    EXPECT_EQ(m.ClientAdapter(), nullptr);
    EXPECT_NE(m.p->MDIForm, nullptr);  // the link stays, unhooked
    EXPECT_NE(m.AreaPixel(false), kMdiArea);
    // It comes back.
    SendMessageA(m.form->Handle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), manager);
    PumpFor(100);
    ASSERT_NE(m.ClientAdapter(), nullptr);
    EXPECT_EQ(m.AreaPixel(false), kMdiArea);
  }
  // The provider goes: the link, the global and the client's adapter with it; the shared procedure is off the
  // client.
  skin::FreeProvider(m.p);
  m.p = nullptr;
  skin::FlushDeferredFrees();
  PumpFor(30);
  EXPECT_EQ(skin::MDIParentProvider(), nullptr);
  EXPECT_EQ(skin::AdapterOfWindow(client), nullptr);
  EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(client, GWLP_WNDPROC)), skinned);
}

// The library asks whether the MDI parent shows a maximized child with a system menu under a main menu; the
// client paints its area only while the form's skin data paints a background of its own.
TEST(MdiParentForm, MaximizedChildWithMenuIsToldAndTheAreaFollowsTheFormsBackground) {
  MdiParent m;
  gui::TForm* c = m.AddChild(0);
  auto* menu = new gui::TMainMenu(m.form);
  auto* item = new gui::TMenuItem(menu);
  item->SetCaption("&File");
  menu->Items()->Add(item);
  PumpFor(30);
  struct Case {
    bool menu, systemMenu, maximized, told;
  } cases[] = {{false, true, true, false}, {true, true, false, false}, {true, true, true, true},
               {true, false, true, false}};
  for (const Case& k : cases) {
    m.form->SetMenu(k.menu ? menu : nullptr);
    c->SetBorderIcons(k.systemMenu ? gui::biSystemMenu | gui::biMaximize | gui::biMinimize : gui::TBorderIcons(0));
    SendMessageA(m.Client(), k.maximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(c->Handle()), 0);
    PumpFor(30);
    EXPECT_EQ(skin::MDIChildMaximizedWithMenu(), k.told)
        << k.menu << k.systemMenu << k.maximized;
  }
  SendMessageA(m.Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(c->Handle()), 0);
  m.form->SetMenu(nullptr);
  PumpFor(30);
  EXPECT_EQ(m.AreaPixel(true), kMdiArea);
  // The form's background taken from its parent's plain colour: the client's erasing is left to the client.
  skin::TsCommonData& data = m.p->SkinData();
  const uint16_t was = data.CtrlState;
  data.CtrlState |= skin::csTransparent;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  auto erased = [&] {
    SetPixel(dc, 4, 4, 0x123456);
    SendMessageA(m.Client(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    return TColor(GetPixel(dc, 4, 4));
  };
  EXPECT_NE(erased(), kMdiArea);
  data.CtrlState = was;
  EXPECT_EQ(erased(), kMdiArea);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

// What a window shows at a point of its own (window coordinates).
TColor WindowPixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return TColor(c);
}

// The screen point in the middle of a caption-button record of the parent's frame.
POINT ButtonScreenPoint(HWND h, const skin::TitleButtonRecord& r) {
  RECT w{};
  GetWindowRect(h, &w);
  return POINT{w.left + (r.Rect.Left + r.Rect.Right) / 2, w.top + (r.Rect.Top + r.Rect.Bottom) / 2};
}

bool ClickAt(POINT at) {
  return testsupport::Xdotool("mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
                                  " sleep 0.2 mousedown 1 sleep 0.1 mouseup 1");
}

// An MDI parent with three skinned children, one maximized: the child's buttons stand at the right end of the
// parent's skinned menu line, drawn with the skin's small images (hot under the mouse), and each one works by a
// real click: minimize, restore (of another child maximized), close (of a third).
TEST(MdiParentForm, AMaximizedChildsButtonsStandInTheSkinnedMenuLineAndWorkByRealClicks) {
  MdiParent m(true);
  for (int i = 0; i < 3; ++i) m.AddChild(i, true);
  SetForegroundWindow(m.form->Handle());
  PumpFor(150);
  const HWND frame = m.form->Handle();
  auto shows = [&](const skin::TitleButtonRecord& r, TColor colour) {
    return WindowPixel(frame, (r.Rect.Left + r.Rect.Right) / 2, (r.Rect.Top + r.Rect.Bottom) / 2) == colour;
  };
  auto maximize = [&](gui::TForm* c) {
    SendMessageA(m.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(c->Handle()), 0);
    return testsupport::PumpUntil([&] {
      return skin::ProviderShowMDIChildButtons(*m.p) && shows(m.p->ButtonMDIClose, ButtonColor(bClose, 0) + 8) &&
             shows(m.p->ButtonMDIMax, ButtonColor(bNorm, 0) + 8) && shows(m.p->ButtonMDIMin, ButtonColor(bMin, 0) + 8);
    });
  };
  ASSERT_FALSE(skin::ProviderShowMDIChildButtons(*m.p));
  gui::TForm* first = m.children[2];
  ASSERT_EQ(m.form->ActiveMDIChild(), first);
  ASSERT_TRUE(maximize(first));
  if (const char* dir = std::getenv("GRIDS_PICTURES")) testsupport::SaveWindowPicture(frame, dir, "mdi-maximized-child");
  // Hovered, the close button is hot.
  const POINT close = ButtonScreenPoint(frame, m.p->ButtonMDIClose);
  ASSERT_TRUE(testsupport::Xdotool("mousemove " + std::to_string(close.x) + " " + std::to_string(close.y)));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return shows(m.p->ButtonMDIClose, ButtonColor(bClose, 1) + 8); }));
  // Minimize.
  ASSERT_TRUE(ClickAt(ButtonScreenPoint(frame, m.p->ButtonMDIMin)));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return IsIconic(first->Handle()) && !skin::ProviderShowMDIChildButtons(*m.p); }));
  EXPECT_FALSE(shows(m.p->ButtonMDIClose, ButtonColor(bClose, 0) + 8));
  // Restore, of another child maximized.
  gui::TForm* second = m.children[1];
  second->Show();
  ASSERT_TRUE(maximize(second));
  ASSERT_TRUE(ClickAt(ButtonScreenPoint(frame, m.p->ButtonMDIMax)));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsZoomed(second->Handle()) && !skin::ProviderShowMDIChildButtons(*m.p); }));
  EXPECT_FALSE(IsIconic(second->Handle()));
  // Close, of a third maximized child that asks to be freed.
  gui::TForm* third = m.children[0];
  third->OnClose = [](gui::TObject*, gui::TCloseAction& action) { action = gui::TCloseAction::caFree; };
  third->Show();
  ASSERT_TRUE(maximize(third));
  const HWND thirdWindow = third->Handle();
  ASSERT_TRUE(ClickAt(ButtonScreenPoint(frame, m.p->ButtonMDIClose)));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(thirdWindow); }));
  m.children.erase(m.children.begin());
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !skin::ProviderShowMDIChildButtons(*m.p); }));
  testsupport::Xdotool("mousemove 900 700");
}

// The window menu lists the visible children when it opens, the active one checked; a chosen entry brings its
// child to the top. The list is made anew at every opening.
TEST(MdiParentForm, TheWindowMenuListsTheChildrenAndBringsTheChosenOneToTheTop) {
  MdiParent m(true);
  for (int i = 0; i < 3; ++i) m.AddChild(i, true);
  PumpFor(100);
  const HMENU popup = m.windowMenu->Handle();
  ASSERT_NE(popup, nullptr);
  for (int round = 0; round < 2; ++round) {
    SendMessageA(m.form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(1, 0));
    // "&Cascade", a divider, one entry per child (the popup's handle stays: it is being opened).
    ASSERT_EQ(m.windowMenu->Count(), 5);
    EXPECT_EQ(m.windowMenu->Handle(), popup);
    EXPECT_EQ(GetMenuItemCount(popup), 5);
    EXPECT_TRUE(m.windowMenu->Items(1)->IsLine());
    std::vector<std::string> captions;
    int checked = 0;
    for (int i = 2; i < 5; ++i) {
      captions.push_back(m.windowMenu->Items(i)->Caption());
      checked += m.windowMenu->Items(i)->Checked() ? 1 : 0;
      EXPECT_TRUE(m.windowMenu->Items(i)->OnAdvancedDrawItem) << "drawn by the skinned menus";
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Child 3", "Child 2", "Child 1"}));
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(m.windowMenu->Items(2)->Checked());
  }
  // Choosing "Child 1" brings it to the top.
  m.windowMenu->Items(4)->Click();
  PumpFor(50);
  EXPECT_EQ(m.form->ActiveMDIChild(), m.children[0]);
  // Another popup opening takes the list away.
  SendMessageA(m.form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(m.form->Handle()), 0)),
               MAKELPARAM(0, 0));
  EXPECT_EQ(m.windowMenu->Count(), 2);
}

// The active child's menu stands among the parent's items in its skinned menu line, by group, and its items run
// from there; another child without a menu takes it away again.
TEST(MdiParentForm, TheActiveChildsMenuStandsInTheParentsSkinnedMenuLine) {
  MdiParent m(true);
  m.windowMenu->SetGroupIndex(5);
  gui::TForm* plain = m.AddChild(0, true);
  gui::TForm* editor = m.AddChild(1, true);
  auto* menu = new gui::TMainMenu(editor);
  auto* edit = new gui::TMenuItem(editor);
  edit->SetCaption("&Edit");
  edit->SetGroupIndex(1);
  auto* copy = new gui::TMenuItem(editor);
  copy->SetCaption("&Copy");
  int copies = 0;
  copy->OnClick = [&](gui::TObject*) { ++copies; };
  edit->Add(copy);
  menu->Items()->Add(edit);
  editor->SetMenu(menu);
  editor->Show();
  const HWND frame = m.form->Handle();
  auto captions = [&] {
    std::vector<std::string> list;
    HMENU bar = GetMenu(frame);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
      char text[64] = {};
      GetMenuStringA(bar, UINT(i), text, sizeof text, MF_BYPOSITION);
      list.push_back(text);
    }
    return list;
  };
  ASSERT_TRUE(testsupport::PumpUntil([&] { return captions() == std::vector<std::string>{"&File", "&Edit", "&Window"}; }));
  // Drawn by the skinned menus over the menu line, like the parent's own items.
  RECT item{}, w{};
  GetMenuItemRect(frame, GetMenu(frame), 1, &item);
  GetWindowRect(frame, &w);
  RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_TRUE(edit->OnAdvancedDrawItem);
  EXPECT_TRUE(testsupport::PumpUntil([&] {
    return WindowPixel(frame, item.left - w.left + 1, item.top - w.top + 2) == kMenuLine;
  })) << std::hex << WindowPixel(frame, item.left - w.left + 1, item.top - w.top + 2);
  // Its items run from the parent's bar.
  SendMessageA(frame, WM_COMMAND, copy->Command(), 0);
  EXPECT_EQ(copies, 1);
  // The other child, without a menu, active: the parent's own items alone.
  plain->Show();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return captions() == std::vector<std::string>{"&File", "&Window"}; }));
}

// Twenty rounds of all of it: an MDI parent with a window menu and three skinned children, one maximized, its
// buttons pressed and released (minimize, restore, close), the window menu opened; a menu item added after the
// skin went and came back; the frame and menu given back and taken again; a form with a size grip painted and
// sized. Nothing of the skin's GDI and USER objects, and no window, is left behind.
TEST(MdiParentForm, TheLedgerIsFlatOverTwentyRoundsOfMaximizedChildrenMenusAndGrips) {
  auto press = [](HWND h, int code) {
    SendMessageA(h, WM_NCLBUTTONDOWN, WPARAM(code), 0);
    SendMessageA(h, WM_NCLBUTTONUP, WPARAM(code), 0);
  };
  auto round = [&] {
    {
      MdiParent m(true);
      for (int i = 0; i < 3; ++i) m.AddChild(i, true);
      m.children[0]->OnClose = [](gui::TObject*, gui::TCloseAction& action) { action = gui::TCloseAction::caFree; };
      PumpFor(30);
      const HWND frame = m.form->Handle();
      for (gui::TForm* c : {m.children[2], m.children[1], m.children[0]}) {
        c->Show();
        SendMessageA(m.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(c->Handle()), 0);
        PumpFor(20);
        EXPECT_TRUE(skin::ProviderShowMDIChildButtons(*m.p));
        press(frame, c == m.children[2] ? 103 : c == m.children[1] ? 102 : 101);
        PumpFor(20);
      }
      EXPECT_FALSE(skin::ProviderShowMDIChildButtons(*m.p));
      m.children.erase(m.children.begin());
      SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m.windowMenu->Handle()), MAKELPARAM(1, 0));
      // The skin goes and comes back; an item added then is skinned; the frame and menu given back and taken.
      const LPARAM manager = reinterpret_cast<LPARAM>(static_cast<skin::TsSkinManager*>(m.skin.manager.get()));
      SendMessageA(frame, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), manager);
      SendMessageA(frame, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), manager);
      auto* late = new gui::TMenuItem(m.form);
      late->SetCaption("&Late");
      m.form->Menu()->Items()->Add(late);
      EXPECT_TRUE(late->OnAdvancedDrawItem);
      m.p->SetDrawNonClientArea(false);
      PumpFor(20);
      m.p->SetDrawNonClientArea(true);
      PumpFor(20);
    }
    {
      FormsSkin skin;
      auto* form = new gui::TForm(gui::Application);
      form->SetBounds(100, 100, 300, 200);
      auto* p = new TsSkinProvider(form);
      p->GripMode = skin::gmRightBottom;
      form->Show();
      PumpFor(30);
      form->SetBounds(100, 100, 340, 230);
      PumpFor(30);
      gui::Free(form);
    }
    PumpFor(20);
    skin::FlushDeferredFrees();
  };
  round();
  PumpFor(30);
  const skin::ledger::Snapshot before = skin::ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  for (int i = 0; i < 20; ++i) round();
  PumpFor(30);
  skin::FlushDeferredFrees();
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  EXPECT_EQ(skin::MDIParentProvider(), nullptr);
  EXPECT_EQ(skin::HandledProvider(), nullptr);
}

TEST(MdiParentForm, TheLedgerAndWindowCountAreFlatOverFiftyRounds) {
  { MdiParent warmUp; warmUp.AddChild(0); }
  PumpFor(30);
  skin::FlushDeferredFrees();
  const skin::ledger::Snapshot before = skin::ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  for (int round = 0; round < 50; ++round) {
    MdiParent m;
    for (int i = 0; i < 2; ++i) m.AddChild(i);
    PumpFor(20);
    m.form->Tile();
    m.form->Cascade();
    PumpFor(20);
    m.FreeChildren();
  }
  PumpFor(30);
  skin::FlushDeferredFrees();
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  EXPECT_EQ(skin::MDIParentProvider(), nullptr);
  // No message ever reached a client adapter after it was freed.
  EXPECT_EQ(skin::PoisonedAdapterCalls(), 0u);
  EXPECT_EQ(skin::PendingDeferredFrees(), 0u);
}

}  // namespace
