// The window adapters' hover, menus, dropped lists, update locks, glyph strips and scroll messages on real windows
// (Windows build, under Wine): a memo's hot border under the pointer and gone after it; hot colours that come with
// the focus only; the hot look of windows no component owns, and none for kinds without a hover state; the skin
// data's textures following the skin; held-back repaints flushed; a rich edit's background in the skin's edit
// colour; a system dialog's drop-down list fields in the skin's colours; the edit's own right-click menu drawn by
// the skinned menus; a three-cell glyph strip drawn one cell at a time; the high word of the scroll messages the
// engine sends.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acbuttons.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/aclistview.h"
#include "skin/adapters/acmnuwnd.h"
#include "skin/adapters/acsbwnd.h"
#include "skin/adapters/acsbutils.h"
#include "skin/adapters/acstatics.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/painters/acanimation.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;

uint32_t WindowPixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

// Pumps until the condition holds or two seconds went by; the condition's last answer.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 2000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return done();
    Pump(10);
  }
  return true;
}

POINT Centre(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct FinishTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = nullptr;
  FinishTest() {
    AnimationsOff() = 1;
    ApplyControlSkin(*manager);
    form = new gui::TForm(gui::Application);
    form->SetBounds(40, 40, 640, 420);
    form->SetCaption("Adapters");
    form->Show();
    Pump(30);
  }
  ~FinishTest() override {
    gui::Free(form);
    Pump(50);
    AnimationsOff() = 0;
  }
  template <class A>
  A* Adapt(gui::TWinControl* c, const char* section = "") {
    TacSkinParams p;
    p.Control = c;
    p.SkinSection = section;
    A* a = NewAdapter<A>(c->Handle(), nullptr, manager.get(), p, true);
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    Pump(30);
    return a;
  }
  template <class A>
  static void Release(A*& a) {
    FreeAdapter(a);
    Pump(20);
  }
};

TEST_F(FinishTest, AMemosHotBorderShowsUnderThePointerAndGoesAfterIt) {
  using namespace adaptertest::colours;
  auto* memo = new gui::TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(20, 20, 200, 120);
  auto* other = new gui::TMemo(form);
  other->SetParent(form);
  other->SetBounds(260, 20, 200, 120);
  TacEditWnd* a = Adapt<TacEditWnd>(memo);
  TacEditWnd* b = Adapt<TacEditWnd>(other);
  const HWND h = memo->Handle();
  RECT r;
  GetWindowRect(h, &r);
  const int midY = (r.bottom - r.top) / 2;
  MouseTo(r.left - 10, r.top - 10);
  Pump(30);
  EXPECT_EQ(WindowPixel(h, 0, midY), EditBorderN);
  const POINT in = Centre(h);
  MouseTo(in.x, in.y);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, 0, midY) == EditBorderH; })) << std::hex << WindowPixel(h, 0, midY);
  EXPECT_EQ(a->SkinData->MouseAbove, 1);
  // The edit family takes its hot colours with the focus only: the memo the pointer rests on loses them with it.
  memo->SetFocus();
  EXPECT_TRUE(WaitFor([&] { return memo->Color() == TColor(EditHot); })) << std::hex << memo->Color();
  other->SetFocus();
  EXPECT_TRUE(WaitFor([&] { return memo->Color() == TColor(Edit); })) << std::hex << memo->Color();
  EXPECT_EQ(a->SkinData->MouseAbove, 1) << "the pointer still rests on it";
  // The pointer on the other memo: it takes the hot look, the first one gives it back.
  const POINT there = Centre(other->Handle());
  MouseTo(there.x, there.y);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, 0, midY) == EditBorderN; })) << std::hex << WindowPixel(h, 0, midY);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(other->Handle(), 0, midY) == EditBorderH; }));
  EXPECT_EQ(a->SkinData->MouseAbove, 0);
  // Back on the first one, then gone to the form's body, where no control tells the manager: it gives the hot
  // look back all the same.
  MouseTo(in.x, in.y);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, 0, midY) == EditBorderH; })) << std::hex << WindowPixel(h, 0, midY);
  MouseTo(r.left - 10, r.top - 10);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, 0, midY) == EditBorderN; })) << std::hex << WindowPixel(h, 0, midY);
  Release(a);
  Release(b);
}

// A list view no component owns shows its hot border under the pointer but keeps its normal colours (the edit
// family's hot colours come with the focus).
TEST_F(FinishTest, AListViewOfNoComponentKeepsItsNormalColoursUnderThePointer) {
  using namespace adaptertest::colours;
  const HWND lv = MakeChild(form->Handle(), "SysListView32", LVS_REPORT | WS_BORDER, 20, 180, 200, 120);
  ASSERT_NE(lv, nullptr);
  TacSkinParams p;
  auto* list = NewAdapter<TacListViewWnd>(lv, nullptr, manager.get(), p, true);
  RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  const POINT over = Centre(lv);
  MouseTo(over.x, over.y);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(lv, 0, 60) == EditBorderH; })) << std::hex << WindowPixel(lv, 0, 60);
  RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(COLORREF(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0)), COLORREF(Edit));
  MouseTo(5, 5);
  FreeAdapter(list);
  DestroyWindow(lv);
}

// Under the pointer, a window no component owns takes its hot look from its own mouse messages: a list box's
// border and a combo's button. A skin data of a kind without a hover state (one a component hands over) takes
// none, unless the global hot-look switch is on.
TEST_F(FinishTest, WindowsOfNoComponentShowTheirHotLookUnlessTheirKindTakesNoHover) {
  using namespace adaptertest::colours;
  struct Case {
    const char* what;
    const char* cls;
    DWORD style;
    int32_t kind;  // -1: the adapter makes its own skin data
    bool everyKind;
    int x, y;      // the probe (-1: inside the combo's button, off its arrow)
    uint32_t normal, hot;
    bool shows;
  };
  const Case cases[] = {
      {"list box", "ListBox", WS_BORDER | WS_VSCROLL, -1, false, 0, 40, EditBorderN, EditBorderH, true},
      {"list box of a panel's kind", "ListBox", WS_BORDER | WS_VSCROLL, 51, false, 0, 40, EditBorderN, EditBorderH,
       false},
      {"the same, switch on", "ListBox", WS_BORDER | WS_VSCROLL, 51, true, 0, 40, EditBorderN, EditBorderH, true},
      {"combo's button", "ComboBox", CBS_DROPDOWNLIST, -1, false, -1, -1, ctlcolours::ComboBtnN,
       ctlcolours::ComboBtnH, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HotLookOnEveryKind() = c.everyKind ? 1 : 0;
    SetCursorPos(5, 5);
    const HWND h = MakeChild(form->Handle(), c.cls, c.style, 20, 20, 200, 100);
    ASSERT_NE(h, nullptr);
    TsScrollWndData given;
    given.ControlKind = c.kind;
    TacSkinParams p;
    TacComboBoxWnd* combo = nullptr;
    TacEditWnd* a = nullptr;
    if (std::string(c.cls) == "ComboBox")
      a = combo = NewAdapter<TacComboBoxWnd>(h, nullptr, manager.get(), p, true);
    else
      a = NewAdapter<TacEditWnd>(h, c.kind < 0 ? nullptr : &given, manager.get(), p, true);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    const int x = combo ? combo->ButtonRect().Left + 2 : c.x, y = combo ? combo->ButtonRect().Top + 2 : c.y;
    EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, x, y) == c.normal; })) << std::hex << WindowPixel(h, x, y);
    const POINT in = Centre(h);
    SetCursorPos(in.x, in.y);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));  // handled before it returns
    EXPECT_EQ(WindowPixel(h, x, y), c.shows ? c.hot : c.normal) << std::hex << WindowPixel(h, x, y);
    SetCursorPos(5, 5);
    FreeAdapter(a);
    DestroyWindow(h);
    Pump(20);
  }
  HotLookOnEveryKind() = 0;
}

// The skin data's textures follow the skin: a memo's, a button's and a panel's PATTERN and HOTPATTERN indexes are
// found when a skin that has them is loaded and go when one without them is.
TEST_F(FinishTest, TheAdaptersSkinDataTakeThePatternTexturesOfEachSkin) {
  std::string options = ControlOptionsText();
  for (const char* section : {"[EDIT]\r\n", "[BUTTON]\r\n"}) {
    const size_t at = options.find(section) + std::string(section).size();
    options.insert(at, "PATTERN=~0000~0028~0012~0040~01~0\r\nHOTPATTERN=~0012~0028~0024~0040~01~0\r\n");
  }
  StoreControlSkin(*manager, "Patterned", options);
  auto* memo = new gui::TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(20, 20, 200, 120);
  auto* button = new gui::TButton(form);
  button->SetParent(form);
  button->SetBounds(260, 20, 100, 30);
  auto* panel = new gui::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(260, 80, 100, 60);
  TacMainWnd* adapters[] = {Adapt<TacEditWnd>(memo), Adapt<TacBtnWnd>(button), Adapt<TacMainWnd>(panel, "EDIT")};
  const LPARAM own = reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(manager.get()));
  for (const char* name : {"Patterned", "Controls"}) {
    SCOPED_TRACE(name);
    manager->SetSkinName(name);
    for (TacMainWnd* a : adapters) {
      SendMessageA(a->Handle, WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED), own);
      const int32_t section = a->SkinData->SkinIndex;
      ASSERT_GE(section, 0);
      EXPECT_EQ(a->SkinData->TextureIndex, SkinManagerGetTextureIndex(*manager, section, "PATTERN"));
      EXPECT_EQ(a->SkinData->HotTextureIndex, SkinManagerGetTextureIndex(*manager, section, "HOTPATTERN"));
      EXPECT_EQ(a->SkinData->TextureIndex >= 0, std::string(name) == "Patterned");
      EXPECT_EQ(a->SkinData->HotTextureIndex >= 0, std::string(name) == "Patterned");
    }
  }
  for (TacMainWnd* a : adapters) Release(a);
}

// A scrollable window's repaint held back (a scroll box's frame) is done when the flush comes.
TEST_F(FinishTest, AScrollBoxsHeldBackFrameIsPaintedAtTheFlush) {
  using namespace adaptertest::colours;
  auto* box = new gui::TScrollBox(form);
  box->SetParent(form);
  box->SetBounds(20, 20, 200, 120);
  auto* a = Adapt<TacScrollBoxWnd>(box, "EDIT");
  const HWND h = box->Handle();
  ASSERT_TRUE(WaitFor([&] { return WindowPixel(h, 0, 60) == EditBorderN; })) << std::hex << WindowPixel(h, 0, 60);
  SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_SETREPAINTPENDING, 1), 0);
  HDC dc = GetWindowDC(h);
  HBRUSH mark = CreateSolidBrush(RGB(255, 0, 255));
  RECT r{0, 0, 40, 120};
  FillRect(dc, &r, mark);
  DeleteObject(mark);
  ReleaseDC(h, dc);
  SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, 0, 60) == EditBorderN; })) << std::hex << WindowPixel(h, 0, 60);
  EXPECT_EQ(a->SkinData->Updating, 0);
  Release(a);
}

// A rich edit paints its own background and never asks its parent for a colour: the adapter gives it the skin's
// edit colour, a component's as well as a foreign window's, and the foreign one gets the system's colour back.
TEST_F(FinishTest, ARichEditTakesTheSkinsEditColourAndGivesItBack) {
  using namespace adaptertest::colours;
  auto* rich = new gui::TRichEdit(form);
  rich->SetParent(form);
  rich->SetBounds(20, 20, 200, 120);
  LoadLibraryA("riched20.dll");
  const HWND foreign = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                                       260, 20, 200, 120, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(foreign, nullptr);
  TacEditWnd* a = Adapt<TacEditWnd>(rich);
  TacSkinParams p;
  TacEditWnd* b = NewAdapter<TacEditWnd>(foreign, nullptr, manager.get(), p, true);
  RedrawWindow(foreign, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  for (HWND h : {rich->Handle(), foreign})
    EXPECT_TRUE(WaitFor([&] { return WindowPixel(h, 40, 60) == Edit; })) << std::hex << WindowPixel(h, 40, 60);
  Release(b);
  RedrawWindow(foreign, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(foreign, 40, 60) == GetSysColor(COLOR_WINDOW); }))
      << std::hex << WindowPixel(foreign, 40, 60);
  Release(a);
  DestroyWindow(foreign);
}

// The owner of an owner-drawn combo that draws as a system dialog does: its item on the system's colours.
LRESULT CALLBACK DrawingOwner(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DRAWITEM) {
    const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    const bool selected = (di->itemState & ODS_SELECTED) != 0;
    FillRect(di->hDC, &di->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(di->hDC, TRANSPARENT);
    SetTextColor(di->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT r = di->rcItem;
    DrawTextA(di->hDC, "Item", -1, &r, DT_SINGLELINE | DT_VCENTER);
    return TRUE;
  }
  return DefWindowProcA(h, msg, w, l);
}

// A system dialog's drop-down lists, owner-drawn ("Look in") or not ("Files of type"): their fields take the skin's
// edit colour, as their dropped lists do.
TEST_F(FinishTest, ASystemDialogsDropDownListFieldsTakeTheSkin) {
  using namespace adaptertest::colours;
  const HWND host = MakeHost(60, 60, 420, 200, "Dialog");
  SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DrawingOwner));
  const HWND plain = MakeChild(host, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 180, 200);
  const HWND drawn = MakeChild(host, "ComboBox", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                               210, 10, 180, 200);
  for (HWND c : {plain, drawn}) {
    SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Item"));
    SendMessageA(c, CB_SETCURSEL, 0, 0);
  }
  Pump(30);
  // A point of the field's background: right of the text, left of the button.
  auto fieldPixel = [](HWND c) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(c, &info);
    return WindowPixel(c, info.rcButton.left - 6, (info.rcButton.top + info.rcButton.bottom) / 2);
  };
  for (HWND c : {plain, drawn}) EXPECT_EQ(fieldPixel(c), GetSysColor(COLOR_WINDOW));
  std::vector<TacComboBoxWnd*> adapters;
  DispatcherSkinning() = 1;
  for (HWND c : {plain, drawn}) {
    TacSkinParams p;
    adapters.push_back(NewAdapter<TacComboBoxWnd>(c, nullptr, manager.get(), p, true));
  }
  DispatcherSkinning() = 0;
  for (HWND c : {plain, drawn}) {
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(WaitFor([&] { return fieldPixel(c) == Edit; })) << std::hex << fieldPixel(c);
  }
  for (TacComboBoxWnd*& a : adapters) Release(a);
  DestroyWindow(host);
}

// A container that holds its repaints keeps its children (a button and an edit) from painting until it lets them:
// a mark drawn over them (the edit's frame too) stays while it holds, and their skin is back once it released them.
TEST_F(FinishTest, AContainerHoldingItsRepaintsKeepsItsChildrenUnpaintedUntilItReleasesThem) {
  using namespace adaptertest::colours;
  using namespace adaptertest::ctlcolours;
  auto* panel = new gui::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 400, 200);
  auto* button = new gui::TButton(form);
  button->SetParent(panel);
  button->SetBounds(20, 20, 120, 40);
  auto* edit = new gui::TMemo(form);
  edit->SetParent(panel);
  edit->SetBounds(180, 20, 160, 100);
  TacPanelWnd* p = Adapt<TacPanelWnd>(panel);
  TacBtnWnd* b = Adapt<TacBtnWnd>(button);
  TacEditWnd* e = Adapt<TacEditWnd>(edit);
  ASSERT_TRUE(WaitFor([&] { return WindowPixel(button->Handle(), 4, 4) == ButtonN; }))
      << std::hex << WindowPixel(button->Handle(), 4, 4);
  const uint32_t editClient = WindowPixel(edit->Handle(), 40, 50);
  constexpr COLORREF kMark = RGB(255, 0, 255);
  auto mark = [&](HWND h) {
    HDC dc = GetWindowDC(h);
    HBRUSH brush = CreateSolidBrush(kMark);
    RECT r{0, 0, 100, 80};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(h, dc);
  };
  p->SkinData->Updating = 1;  // the container holds its repaints
  mark(edit->Handle());
  SendMessageA(edit->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(WindowPixel(edit->Handle(), 0, 50), kMark) << "the edit's frame waits too";
  for (HWND h : {button->Handle(), edit->Handle()}) {
    mark(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  Pump(50);
  EXPECT_EQ(WindowPixel(button->Handle(), 4, 4), kMark);
  EXPECT_EQ(WindowPixel(edit->Handle(), 40, 50), kMark);
  p->SkinData->Updating = 0;
  SendMessageA(panel->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(button->Handle(), 4, 4) == ButtonN; }))
      << std::hex << WindowPixel(button->Handle(), 4, 4);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(edit->Handle(), 40, 50) == editClient; }))
      << std::hex << WindowPixel(edit->Handle(), 40, 50);
  EXPECT_TRUE(WaitFor([&] { return WindowPixel(edit->Handle(), 0, 50) == EditBorderN; }))
      << std::hex << WindowPixel(edit->Handle(), 0, 50);
  Release(e);
  Release(b);
  Release(p);
}

// The base adapter's own part of the library commands: the skin loaded and refreshed (indexes found again, the
// children told; a refresh from another manager passed on), a held-back repaint flushed, the cache painted.
TEST_F(FinishTest, TheBaseAdapterActsOnTheSkinLoadRefreshFlushAndCacheCommands) {
  auto* panel = new gui::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 200, 100);
  auto* child = new gui::TPanel(form);
  child->SetParent(panel);
  child->SetBounds(10, 10, 50, 40);
  std::vector<uint16_t> passedOn, childGot;
  auto counting = [](gui::TWinControl* c, std::vector<uint16_t>& seen) {
    gui::TWndMethod before = c->WindowProc;
    c->WindowProc = [before, &seen](gui::TMessage& m) {
      if (m.Msg == WM_SKINCOMMAND) seen.push_back(SkinCommandCode(m.WParam));
      before(m);
    };
  };
  counting(panel, passedOn);
  counting(child, childGot);
  TacMainWnd* a = Adapt<TacMainWnd>(panel, "EDIT");
  TacMainWnd* c = Adapt<TacMainWnd>(child, "EDIT");
  const int32_t index = a->SkinData->SkinIndex;
  ASSERT_GE(index, 0);
  const LPARAM own = reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(manager.get())), other = own + 8;
  auto send = [&](uint16_t code, LPARAM l) {
    passedOn.clear();
    a->SkinData->SkinIndex = c->SkinData->SkinIndex = -1;
    SendMessageA(panel->Handle(), WM_SKINCOMMAND, SkinCommandWParam(code), l);
  };
  const std::vector<uint16_t> none, loaded{AC_SKINLOADED}, refresh{AC_SKINREFRESH}, flush{AC_FLUSHREPAINT};
  send(AC_SKINLOADED, own);
  EXPECT_EQ(a->SkinData->SkinIndex, index);
  EXPECT_EQ(c->SkinData->SkinIndex, index) << "the child told";
  EXPECT_EQ(passedOn, loaded);
  a->SkinData->Updating = 1;
  send(AC_SKINREFRESH, own);
  EXPECT_EQ(a->SkinData->SkinIndex, index);
  EXPECT_EQ(c->SkinData->SkinIndex, index) << "the child told";
  EXPECT_EQ(a->SkinData->Updating, 0);
  EXPECT_EQ(passedOn, none);
  send(AC_SKINREFRESH, other);
  EXPECT_EQ(a->SkinData->SkinIndex, -1);
  EXPECT_EQ(c->SkinData->SkinIndex, -1);
  EXPECT_EQ(passedOn, refresh);
  c->SkinData->SkinIndex = index;
  a->SkinData->SkinIndex = index;
  a->SkinData->Updating = 1;
  passedOn.clear();
  childGot.clear();
  SendMessageA(panel->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
  EXPECT_EQ(a->SkinData->Updating, 0);
  EXPECT_EQ(passedOn, none);
  EXPECT_EQ(childGot, flush);
  SendMessageA(panel->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
  EXPECT_EQ(passedOn, flush) << "nothing held back: passed on";
  a->SkinData->CacheBmp.reset();
  SendMessageA(panel->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_UPDATECACHE), 0);
  ASSERT_TRUE(a->SkinData->CacheBmp);
  EXPECT_EQ(a->SkinData->CacheBmp->Width(), 200);
  Release(c);
  Release(a);
}

// Creation switches a window's visual style off (the system then sends it WM_THEMECHANGED), except on popup-menu
// windows and for the "DIALOG" section.
TEST_F(FinishTest, PopupMenuWindowsAndDialogSectionsKeepTheirVisualStyle) {
  static std::vector<HWND> themed;
  themed.clear();
  HHOOK hook = SetWindowsHookExA(
      WH_CALLWNDPROC,
      [](int code, WPARAM w, LPARAM l) -> LRESULT {
        const auto* c = reinterpret_cast<const CWPSTRUCT*>(l);
        if (code == HC_ACTION && c->message == WM_THEMECHANGED) themed.push_back(c->hwnd);
        return CallNextHookEx(nullptr, code, w, l);
      },
      nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  struct Case {
    const char* what;
    std::function<TacMainWnd*(HWND)> make;
    bool keeps;
  };
  TsSkinManager* m = manager.get();
  auto plain = [m](const char* section) {
    return [m, section](HWND h) -> TacMainWnd* {
      TacSkinParams p;
      p.SkinSection = section;
      return NewAdapter<TacMainWnd>(h, nullptr, m, p, false);
    };
  };
  const Case cases[] = {
      {"a window of no particular kind", plain("EDIT"), false},
      {"the dialog section", plain("DIALOG"), true},
      {"a popup-menu window", [m](HWND h) -> TacMainWnd* { return CreateMenuAdapter(h, m); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    themed.clear();
    TacMainWnd* a = c.make(w);
    ASSERT_NE(a, nullptr);
    const bool switched = std::find(themed.begin(), themed.end(), w) != themed.end();
    EXPECT_EQ(switched, !c.keeps);
    if (dynamic_cast<TacMnuWnd*>(a) != nullptr)
      FreeMenuWindowAdapters();
    else
      Release(a);
    DestroyWindow(w);
  }
  UnhookWindowsHookEx(hook);
  Pump(20);
}

TEST_F(FinishTest, TheEditsOwnRightClickMenuIsDrawnByTheSkinnedMenus) {
  auto* memo = new gui::TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(20, 20, 240, 120);
  memo->SetText("Some text to select");
  TacEditWnd* a = Adapt<TacEditWnd>(memo);
  static int items = -1, ownerDrawn = -1, enabledSelectAll = -1;
  items = ownerDrawn = enabledSelectAll = -1;
  // Inside the menu's own loop: what the open menu holds, then it is closed.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWnd = FindWindowA("#32768", nullptr);
    if (menuWnd == nullptr || !IsWindowVisible(menuWnd)) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWnd, 0x01E1 /* MN_GETHMENU */, 0, 0));
    if (menu == nullptr) return;
    items = GetMenuItemCount(menu);
    ownerDrawn = 0;
    for (int i = 0; i < items; ++i) {
      MENUITEMINFOA mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
      GetMenuItemInfoA(menu, UINT(i), TRUE, &mi);
      if (mi.fType & MFT_OWNERDRAW) ++ownerDrawn;
      if (i == items - 1) enabledSelectAll = (mi.fState & MFS_GRAYED) ? 0 : 1;
    }
    EndMenu();
  });
  const POINT at = Centre(memo->Handle());
  SendMessageA(memo->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(memo->Handle()), MAKELPARAM(at.x, at.y));
  KillTimer(nullptr, timer);
  EXPECT_EQ(items, 8);  // undo, line, cut, copy, paste, delete, line, select all
  EXPECT_EQ(ownerDrawn, items);
  EXPECT_EQ(enabledSelectAll, 1);
  Release(a);
}

TEST_F(FinishTest, AThreeCellGlyphStripIsDrawnOneCellAtATime) {
  auto* bb = new gui::TBitBtn(form);
  bb->SetParent(form);
  bb->SetBounds(20, 20, 120, 40);
  bb->SetText("");
  // Three 16 x 16 cells: red (up), green (disabled), blue (pressed); the bottom-left pixel is the transparent one.
  const COLORREF cells[3] = {RGB(0xE0, 0x10, 0x10), RGB(0x10, 0xE0, 0x10), RGB(0x10, 0x10, 0xE0)};
  bb->Glyph().SetPixelFormat(gui::TPixelFormat::pf24bit);
  bb->Glyph().SetSize(48, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 48; ++x) {
      uint8_t* p = bb->Glyph().ScanLine(y) + x * 3;
      const COLORREF c = (x == 0 && y == 15) ? RGB(0x20, 0x20, 0x20) : cells[x / 16];
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  bb->SetNumGlyphs(3);
  bb->GlyphChanged();
  TacBitBtnWnd* a = Adapt<TacBitBtnWnd>(bb);
  EXPECT_EQ(a->GlyphSize().cx, 16);
  const Printed shot(bb->Handle());
  EXPECT_GT(shot.Count(cells[0]), 150);
  EXPECT_EQ(shot.Count(cells[1]), 0);
  EXPECT_EQ(shot.Count(cells[2]), 0);
  Release(a);
}

// The edit family hands the library's commands it has no handling of its own for to its skin data: a print's paint
// target, a stale background, an update lock asked by a child, the control's rectangle; what the skin data does not
// know either still reaches the window's own procedure.
TEST_F(FinishTest, TheEditFamilyHandsOtherCommandsToItsSkinData) {
  auto* memo = new gui::TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(20, 20, 200, 120);
  std::vector<uint16_t> passedOn;
  gui::TWndMethod before = memo->WindowProc;
  memo->WindowProc = [before, &passedOn](gui::TMessage& m) {
    if (m.Msg == WM_SKINCOMMAND) passedOn.push_back(SkinCommandCode(m.WParam));
    before(m);
  };
  TacEditWnd* a = Adapt<TacEditWnd>(memo);
  TsCommonData& d = *a->SkinData;
  const HWND h = memo->Handle();
  auto send = [&](uint16_t code, LPARAM l) {
    passedOn.clear();
    return SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(code), l);
  };
  HDC target = CreateCompatibleDC(nullptr);
  send(AC_SETPAINTTARGET, reinterpret_cast<LPARAM>(target));
  EXPECT_EQ(d.PrintDC, static_cast<void*>(target));
  EXPECT_NE(d.CtrlState & csPrinting, 0);
  send(AC_SETPAINTTARGET, 0);
  EXPECT_EQ(d.PrintDC, nullptr);
  EXPECT_EQ(d.CtrlState & csPrinting, 0);
  DeleteDC(target);
  d.BGChanged = false;
  send(AC_SETBGCHANGED, 0);
  EXPECT_TRUE(d.BGChanged);
  d.Updating = 1;
  EXPECT_EQ(send(AC_ISUPDATELOCKED, 0), 1) << "held back: a child may not paint over it";
  d.Updating = 0;
  gui::TRect r{-1, -1, -1, -1};
  send(AC_GETCONTROLRECT, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Width(), memo->ClientWidth());
  EXPECT_EQ(r.Height(), memo->ClientHeight());
  EXPECT_TRUE(passedOn.empty()) << passedOn.size();
  send(AC_BEGINUPDATE, 0);
  EXPECT_EQ(passedOn, std::vector<uint16_t>{AC_BEGINUPDATE}) << "unknown to both: the window's own";
  // The family's own answers stay: the colour it gives its children.
  EXPECT_EQ(TColor(send(AC_GETCOLOR, 0)), CommonDataGetBgColor(d, 0, h));
  Release(a);
}


TEST(ScrollMessages, TheHighWordCarriesThePositionUpTo65535) {
  struct Case {
    int32_t pos;
    uint32_t high;
  } cases[] = {{12, 12}, {-5, 0xFFFB}, {65535, 65535}, {70000, 65535}};
  static WPARAM got = 0;
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_VSCROLL) got = w;
    return DefWindowProcA(h, m, w, l);
  };
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ScrollMessageProbe";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(0, "ScrollMessageProbe", "", WS_OVERLAPPED | WS_VSCROLL, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  for (const Case& c : cases) {
    got = 0;
    SendScrollMessage(h, WM_VSCROLL, SB_THUMBPOSITION, c.pos);
    EXPECT_EQ(uint32_t(got), (c.high << 16) | SB_THUMBPOSITION) << c.pos;
  }
  DestroyWindow(h);
}

}  // namespace
