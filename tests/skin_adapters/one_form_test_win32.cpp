// Every finished adapter on one form of the component layer (Windows build, under Wine), adapted by the control
// adapter as a skinned form's children are, plus the windows no component owns (a plain list box, a list view):
// after twenty skin switches the leak ledger and the thread's windows are as before, and on the skin with arrow
// images each piece shows on the real window: the edit's and the list box's hot look under the pointer and gone
// after it, a dropped combo list scrolled by its skinned bar with the list still open and its capture kept, the
// memo's skinned popup, a container holding its children's repaints, a three-cell glyph strip, the up-down's skin
// arrows, an owner-drawn status part, the list view's column image and skinned sort arrow. Pictures of the form go
// to artefacts/ (one_form*.bmp).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acbuttons.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/adapters/aclistview.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/acstatics.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"
#include "tests/support/win_screen.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::ctlcolours;

uint32_t WindowPixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

uint32_t ClientPixelOf(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

POINT Centre(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// What the screen shows of a window now, saved without pumping (inside a menu's own loop).
void SaveShownNow(HWND h, const std::string& path) {
  RECT r;
  GetWindowRect(h, &r);
  gui::TBitmap bmp;
  testsupport::CaptureScreenRect(r, bmp);
  bmp.SaveToFile(path);
}

struct Host : CtrlAdapterHost {
  gui::TWinControl* form = nullptr;
  TsSkinManager* manager = nullptr;
  gui::TWinControl* HostForm() override { return form; }
  TsSkinManager* HostManager() override { return manager; }
};

constexpr COLORREF kOwnerPart = RGB(0x30, 0x60, 0xC0);
constexpr COLORREF kColumnImage = RGB(0x10, 0x90, 0x90);
constexpr COLORREF kCells[3] = {RGB(0xE0, 0x10, 0x10), RGB(0x10, 0xE0, 0x10), RGB(0x10, 0x10, 0xE0)};

struct OneForm {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  gui::TEdit* edit = new gui::TEdit(form);
  gui::TComboBox* combo = new gui::TComboBox(form);
  gui::TMemo* memo = new gui::TMemo(form);
  gui::TPanel* panel = new gui::TPanel(form);
  gui::TButton* inner = new gui::TButton(form);
  gui::TBitBtn* strip = new gui::TBitBtn(form);
  gui::TUpDown* updown = new gui::TUpDown(form);
  gui::TStatusBar* status = new gui::TStatusBar(form);
  HWND list = nullptr, view = nullptr;
  HIMAGELIST images = nullptr;
  Host host;
  std::unique_ptr<TacCtrlAdapter> adapter;
  std::vector<TacMainWnd*> own;  // the adapters of the windows no component owns

  OneForm() {
    StoreControlSkin(*manager, "Arrows", ArrowControlOptionsText());
    StoreControlSkin(*manager, "Plain", ControlOptionsText());
    manager->SetSkinName("Arrows");
    manager->ThirdPartyLists.assign(23, {});
    manager->ThirdPartyLists[0] = {"TEdit", "TMemo"};
    manager->ThirdPartyLists[1] = {"TButton"};
    manager->ThirdPartyLists[2] = {"TBitBtn"};
    manager->ThirdPartyLists[4] = {"TComboBox"};
    manager->ThirdPartyLists[8] = {"TPanel"};
    manager->ThirdPartyLists[16] = {"TStatusBar"};
    manager->ThirdPartyLists[19] = {"TUpDown"};
    form->SetBounds(40, 40, 640, 420);
    form->SetCaption("One form");
    auto place = [this](gui::TControl* c, gui::TWinControl* parent, int x, int y, int w, int h, const char* text) {
      c->SetParent(parent);
      c->SetBounds(x, y, w, h);
      c->SetText(text);
    };
    place(edit, form, 10, 10, 170, 24, "An edit");
    place(combo, form, 200, 10, 170, 24, "");
    place(memo, form, 200, 50, 170, 90, "A memo");
    place(panel, form, 390, 10, 230, 130, "");
    place(inner, panel, 20, 20, 120, 34, "Inside");
    place(strip, form, 390, 160, 120, 40, "");
    place(updown, form, 530, 160, 20, 40, "");
    combo->SetStyle(gui::TComboBoxStyle::csDropDownList);
    combo->SetDropDownCount(6);
    for (int i = 0; i < 30; ++i) combo->Items().Add("Item " + std::to_string(i));
    // Three 16 x 16 cells: up, disabled, pressed; the bottom-left pixel is the transparent one.
    strip->Glyph().SetPixelFormat(gui::TPixelFormat::pf24bit);
    strip->Glyph().SetSize(48, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 48; ++x) {
        uint8_t* p = strip->Glyph().ScanLine(y) + x * 3;
        const COLORREF c = (x == 0 && y == 15) ? RGB(0x20, 0x20, 0x20) : kCells[x / 16];
        p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      }
    strip->SetNumGlyphs(3);
    strip->GlyphChanged();
    status->SetParent(form);
    for (const char* text : {"Ready", "", "Mid"}) status->Panels().Add()->SetText(text);
    status->Panels().Items(0)->SetWidth(160);
    status->Panels().Items(1)->SetWidth(160);
    status->Panels().Items(1)->SetStyle(gui::TStatusPanelStyle::psOwnerDraw);
    status->Panels().Items(2)->SetAlignment(gui::TAlignment::taCenter);
    status->OnDrawPanel = [](gui::TStatusBar* bar, gui::TStatusPanel*, const gui::TRect& r) {
      HBRUSH b = CreateSolidBrush(kOwnerPart);
      RECT rc{r.Left, r.Top, r.Right, r.Bottom};
      FillRect(bar->Canvas().Handle(), &rc, b);
      DeleteObject(b);
    };
    form->Show();
    combo->SetItemIndex(0);
    Pump(30);
    const HWND f = form->Handle();
    list = MakeChild(f, "LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 50, 170, 90);
    for (const char* s : {"One", "Two", "Three"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    view = MakeChild(f, WC_LISTVIEWA, LVS_REPORT, 10, 160, 360, 150);
    images = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    {
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, bmp);
      HBRUSH brush = CreateSolidBrush(kColumnImage);
      RECT r{0, 0, 16, 16};
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      SelectObject(dc, old);
      DeleteDC(dc);
    }
    ImageList_Add(images, bmp, nullptr);
    DeleteObject(bmp);
    SendMessageA(view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    const char* names[2] = {"Call", "Time"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNA c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH;
      c.pszText = const_cast<char*>(names[i]);
      c.cx = 150;
      SendMessageA(view, LVM_INSERTCOLUMNA, WPARAM(i), reinterpret_cast<LPARAM>(&c));
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(view, LVM_GETHEADER, 0, 0));
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_LEFT | HDF_STRING | HDF_IMAGE | HDF_SORTUP;
    item.iImage = 0;
    SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    host.form = form;
    host.manager = manager.get();
    adapter = std::make_unique<TacCtrlAdapter>(&host);
    adapter->AddAllItems();
    TacSkinParams p;
    p.SkinSection = "EDIT";
    own.push_back(NewAdapter<TacEditWnd>(list, nullptr, manager.get(), p, true));
    own.push_back(NewAdapter<TacListViewWnd>(view, nullptr, manager.get(), p, true));
    RedrawWindow(f, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(50);
  }
  ~OneForm() {
    for (TacMainWnd*& a : own) FreeAdapter(a);
    adapter.reset();
    gui::Free(form);
    ImageList_Destroy(images);
    Pump(20);
  }
  HWND Header() const { return reinterpret_cast<HWND>(SendMessageA(view, LVM_GETHEADER, 0, 0)); }
};

// The pointer over a window shows its hot border; moved on to another window, the border is back to normal.
void ExpectHotUnderThePointer(HWND h, HWND other, const char* what) {
  using namespace adaptertest::colours;
  RECT r;
  GetWindowRect(h, &r);
  const int midY = (r.bottom - r.top) / 2;
  const POINT there = Centre(other);
  MouseTo(there.x, there.y);
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(h, 0, midY) == EditBorderN; }))
      << what << " " << std::hex << WindowPixel(h, 0, midY);
  const POINT in = Centre(h);
  MouseTo(in.x, in.y);
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(h, 0, midY) == EditBorderH; }))
      << what << " " << std::hex << WindowPixel(h, 0, midY);
  MouseTo(there.x, there.y);
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(h, 0, midY) == EditBorderN; }))
      << what << " " << std::hex << WindowPixel(h, 0, midY);
}

// How many pixels of a window's surface (its window DC) show a colour.
int SurfaceCount(HWND h, COLORREF c) {
  RECT r;
  GetWindowRect(h, &r);
  int n = 0;
  HDC dc = GetWindowDC(h);
  for (int y = 0; y < r.bottom - r.top; ++y)
    for (int x = 0; x < r.right - r.left; ++x) n += GetPixel(dc, x, y) == c;
  ReleaseDC(h, dc);
  return n;
}

TEST(OneForm, EveryFinishedAdapterShowsOnOneFormAndTheLedgerStaysFlatOverTwentySkinSwitches) {
  AnimationsOff() = 1;
  { OneForm warmUp; }  // the application's own windows and objects, made once
  Pump(20);
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  {
    OneForm f;
    // The combo's list exists once it was dropped: dropped before the switches, so that they reach it too.
    SendMessageA(f.combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump(20);
    SendMessageA(f.combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    Pump(20);
    const ledger::Snapshot settled = ledger::Take();
    const int windowsSettled = ThreadWindowCount();
    for (int i = 0; i < 20; ++i) {
      f.manager->SetSkinName(i % 2 == 0 ? "Plain" : "Arrows");
      Pump(10);
    }
    ASSERT_EQ(f.manager->SkinName(), "Arrows");
    RedrawWindow(f.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(50);
    EXPECT_EQ(ledger::Difference(settled, ledger::Take()), "") << "over twenty switches";
    EXPECT_EQ(ThreadWindowCount(), windowsSettled);
    const std::string pictures = "artefacts";
    testsupport::SaveWindowPicture(f.form->Handle(), pictures, "one_form");

    // Hot looks of an edit and of a plain list box.
    ExpectHotUnderThePointer(f.edit->Handle(), f.memo->Handle(), "edit");
    ExpectHotUnderThePointer(f.list, f.strip->Handle(), "list box");
    // The plain list box, whose form asks it for its colours: inside, below its items, the skin's edit colour.
    RECT inner{};
    GetClientRect(f.list, &inner);
    RedrawWindow(f.list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(PumpUntil([&] { return ClientPixelOf(f.list, inner.right - 4, inner.bottom - 4) == adaptertest::colours::Edit; }))
        << std::hex << ClientPixelOf(f.list, inner.right - 4, inner.bottom - 4);

    // A three-cell strip: its first cell only.
    const Printed shot(f.strip->Handle());
    EXPECT_GT(shot.Count(kCells[0]), 150);
    EXPECT_EQ(shot.Count(kCells[1]) + shot.Count(kCells[2]), 0);

    // The up-down: the skin's arrow glyphs, one in each half, no triangle.
    const Printed spin(f.updown->Handle());
    EXPECT_EQ(spin.At(spin.w / 2, spin.h / 4), ArrowInk[0]);
    EXPECT_EQ(spin.At(spin.w / 2, spin.h * 3 / 4), ArrowInk[0]);
    EXPECT_EQ(spin.Count(ArrowInk[0]), 2 * 25);

    // The owner-drawn status part, painted by the bar's event into the skinned bar.
    const Printed bar(f.status->Handle());
    const gui::TRect owner = f.status->PanelRect(1);
    EXPECT_EQ(bar.At((owner.Left + owner.Right) / 2, (owner.Top + owner.Bottom) / 2), kOwnerPart);
    EXPECT_GT(bar.Count(StatusBg), 0);

    // The list view's first column: its image and the skin's sort arrow on the "COLHEADER" cell.
    const HWND header = f.Header();
    RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT hr{};
    GetClientRect(header, &hr);
    EXPECT_TRUE(PumpUntil([&] { return SurfaceCount(header, ArrowInk[0]) == 25; })) << SurfaceCount(header, ArrowInk[0]);
    EXPECT_GE(SurfaceCount(header, kColumnImage), 16 * 16 - 32);
    EXPECT_GT(SurfaceCount(header, ColHdrN), hr.right * hr.bottom / 3);

    // A container that holds its repaints keeps its child unpainted until it lets it paint.
    auto* panelAdapter = dynamic_cast<TacPanelWnd*>(AdapterOfWindow(f.panel->Handle()));
    ASSERT_NE(panelAdapter, nullptr);
    const HWND button = f.inner->Handle();
    ASSERT_TRUE(PumpUntil([&] { return WindowPixel(button, 4, 4) == ButtonN; })) << std::hex << WindowPixel(button, 4, 4);
    panelAdapter->SkinData->Updating = 1;
    {
      HDC dc = GetWindowDC(button);
      HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
      RECT r{0, 0, 60, 20};
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      ReleaseDC(button, dc);
    }
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump(30);
    EXPECT_EQ(WindowPixel(button, 4, 4), RGB(255, 0, 255)) << "held";
    panelAdapter->SkinData->Updating = 0;
    SendMessageA(f.panel->Handle(), WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(button, 4, 4) == ButtonN; })) << "released";

    // The dropped combo list, scrolled by a real click on its skinned bar's down arrow: still open, its capture
    // kept, its top item moved.
    const HWND cb = f.combo->Handle();
    SendMessageA(cb, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(cb, &info);
    const HWND dropped = info.hwndList;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dropped) != FALSE; }));
    Pump(50);
    const HWND captured = GetCapture();
    EXPECT_TRUE(captured == dropped || captured == cb) << "the open list holds the mouse";
    RECT lr{}, lc{};
    GetWindowRect(dropped, &lr);
    GetClientRect(dropped, &lc);
    POINT clientOrigin{0, 0};
    ClientToScreen(dropped, &clientOrigin);
    // The bar lies right of the client area; its down arrow at the bottom.
    const int barLeft = clientOrigin.x + lc.right;
    ASSERT_GT(lr.right - barLeft, 4) << "a vertical bar";
    testsupport::SaveWindowPicture(dropped, pictures, "one_form_dropped_list");
    const int arrowX = (barLeft + lr.right) / 2, arrowY = clientOrigin.y + lc.bottom - 4;
    MouseTo(arrowX, arrowY);
    Pump(30);
    MouseButton(true);
    Pump(30);
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(dropped, LB_GETTOPINDEX, 0, 0) > 0; }))
        << "scrolled by the bar";
    Pump(50);
    EXPECT_NE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0), 0) << "still open";
    EXPECT_EQ(GetCapture(), captured) << "its capture kept";
    SendMessageA(cb, CB_SHOWDROPDOWN, FALSE, 0);
    Pump(30);

    // The memo's own right-click menu, drawn by the skinned menus; its picture taken while it is open.
    static int items = -1, ownerDrawn = -1;
    items = ownerDrawn = -1;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR, DWORD) {
      HWND menuWnd = FindWindowA("#32768", nullptr);
      if (menuWnd == nullptr || !IsWindowVisible(menuWnd)) return;
      HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWnd, 0x01E1 /* MN_GETHMENU */, 0, 0));
      if (menu == nullptr) return;
      items = GetMenuItemCount(menu);
      ownerDrawn = 0;
      for (int i = 0; i < items; ++i) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, UINT(i), TRUE, &mi);
        if (mi.fType & MFT_OWNERDRAW) ++ownerDrawn;
      }
      SaveShownNow(menuWnd, "artefacts/one_form_memo_menu.bmp");
      EndMenu();
    });
    const POINT at = Centre(f.memo->Handle());
    SendMessageA(f.memo->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.memo->Handle()), MAKELPARAM(at.x, at.y));
    KillTimer(nullptr, timer);
    EXPECT_GT(items, 0);
    EXPECT_EQ(ownerDrawn, items);
    MouseTo(5, 5);
    Pump(20);
  }
  Pump(50);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  AnimationsOff() = 0;
}

}  // namespace
