// List views ("SysListView32") under the list-view adapter (Windows build, under Wine): the skin's colours through
// the list view's colour messages, its column header painted from the column-header section, and the skinned
// scroll bars in step with the list view's own scrolling.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/aclistview.h"
#include "skin/manager/skincommands.h"
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

COLORREF ClientPixel(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}


struct ListViewTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  HWND host = MakeHost(40, 40, 520, 380, "List views");
  ListViewTest() {
    AnimationsOff() = 1;
    ApplyMenuListSkin(*manager);
  }
  ~ListViewTest() override {
    DestroyWindow(host);
    Pump();
    AnimationsOff() = 0;
  }
  // A report-style list view with three columns and n items.
  HWND MakeReport(int n, int h = 240, DWORD style = LVS_REPORT) {
    HWND lv = MakeChild(host, "SysListView32", style | WS_BORDER, 10, 10, 420, h);
    const char* titles[3] = {"Call", "Frequency", "Notes"};
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNA c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      c.fmt = i == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
      c.cx = 100;
      c.pszText = const_cast<char*>(titles[i]);
      SendMessageA(lv, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&c));
    }
    SendMessageA(lv, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < n; ++i) {
      char text[32];
      std::snprintf(text, sizeof text, "F%dABC", i);
      LVITEMA it{};
      it.mask = LVIF_TEXT;
      it.iItem = i;
      it.pszText = text;
      SendMessageA(lv, LVM_INSERTITEMA, 0, LPARAM(&it));
    }
    SendMessageA(lv, WM_SETREDRAW, TRUE, 0);
    return lv;
  }
  TacListViewWnd* Skin(HWND lv) {
    TacSkinParams p;
    auto* a = NewAdapter<TacListViewWnd>(lv, nullptr, manager.get(), p, true);
    RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(20);
    return a;
  }
  static SCROLLINFO Info(HWND h, int bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, bar, &si);
    return si;
  }
};

TEST_F(ListViewTest, AReportShowsTheSkinsColoursAndItsHeaderTheColumnHeaderSection) {
  HWND lv = MakeReport(5);
  const COLORREF before = COLORREF(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0));
  TacListViewWnd* a = Skin(lv);
  ASSERT_NE(a->Header, nullptr);
  EXPECT_EQ(COLORREF(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0)), colours::Edit);
  EXPECT_EQ(COLORREF(SendMessageA(lv, LVM_GETTEXTCOLOR, 0, 0)), colours::EditFont);
  RECT hr{};
  GetClientRect(a->Header, &hr);
  RECT col0{};
  SendMessageA(a->Header, HDM_GETITEMRECT, 0, LPARAM(&col0));
  // The list below the header, at the right end (no text there), and the header's cells.
  RECT client{};
  GetClientRect(lv, &client);
  EXPECT_EQ(ClientPixel(lv, client.right - 3, client.bottom - 3), colours::Edit);
  EXPECT_EQ(ClientPixel(a->Header, col0.left + 2, (col0.top + col0.bottom) / 2), ColN);
  EXPECT_EQ(ClientPixel(a->Header, 300 + 10, hr.bottom / 2), ColN) << "the empty area after the last column";
  // The window's frame through its own DC: the edit section's border.
  EXPECT_EQ(WindowPixel(lv, 0, 100), colours::EditBorderN);
  // The same through WM_PRINT (of the client area, as the edit family prints it): header cells, the empty
  // header area and the list.
  {
    const Printed p(lv);
    const int x0 = a->BorderLeft, y0 = a->BorderTop;
    EXPECT_EQ(p.At(x0 + col0.left + 2, y0 + hr.bottom / 2), ColN);
    EXPECT_EQ(p.At(x0 + 310, y0 + hr.bottom / 2), ColN);
    EXPECT_EQ(p.At(x0 + client.right - 3, y0 + client.bottom - 3), colours::Edit);
  }
  // Let go: the list view's own colours and the header's own procedure come back.
  FreeAdapter(a);
  Pump(10);
  EXPECT_EQ(COLORREF(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0)), before);
  HWND header = FindWindowExA(lv, nullptr, "SysHeader32", nullptr);
  EXPECT_EQ(GetPropA(header, "ACLVHEADER"), nullptr);
  DestroyWindow(lv);
}

TEST_F(ListViewTest, HotAndPressedColumnsFollowTheMouseButNotOnADivider) {
  HWND lv = MakeReport(5);
  TacListViewWnd* a = Skin(lv);
  ASSERT_NE(a->Header, nullptr);
  RECT col1{};
  SendMessageA(a->Header, HDM_GETITEMRECT, 1, LPARAM(&col1));
  const int y = (col1.top + col1.bottom) / 2;
  struct Case {
    const char* what;
    int x;             // in the header's client coordinates
    int hot, pressed;  // after the hit test, after a button press there
  } cases[] = {
      {"inside column 1", col1.left + 20, 1, 1},
      {"on the divider after column 1", col1.right - 1, 1, -1},
      {"after the last column", 330, -2, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    POINT screen{c.x, y};
    ClientToScreen(a->Header, &screen);
    SendMessageA(a->Header, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(a->HotColumn, c.hot);
    SendMessageA(a->Header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, y));
    EXPECT_EQ(a->PressedColumn, c.pressed);
    Pump(10);
    if (c.pressed == 1) {
      EXPECT_EQ(ClientPixel(a->Header, col1.left + 3, y), ColH) << "pressed: the hot block";
    }
    SendMessageA(a->Header, WM_LBUTTONUP, 0, MAKELPARAM(c.x, y));
    ReleaseCapture();
    EXPECT_EQ(a->PressedColumn, -1);
  }
  // The mouse over the list itself: no column stays hot.
  SendMessageA(lv, WM_NCHITTEST, 0, MAKELPARAM(200, 300));
  EXPECT_EQ(a->HotColumn, -1);
  FreeAdapter(a);
  DestroyWindow(lv);
}

TEST_F(ListViewTest, ScrollingKeepsTheSkinnedBarsInStep) {
  HWND lv = MakeReport(200);
  TacListViewWnd* a = Skin(lv);
  ASSERT_TRUE(a->VertBar && a->VertBar->Visible);
  // Lines, pages and the wheel: the list scrolls by itself and the bars follow.
  SendMessageA(lv, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageA(lv, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(lv, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(200, 200));
  Pump(10);
  const int top = int(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0));
  EXPECT_GT(top, 1);
  EXPECT_EQ(Info(lv, SB_VERT).nPos, top);
  EXPECT_EQ(a->VertBar->ScrollInfo.nPos, top);
  MouseTo(5, 5);
  Pump(30);
  FreeAdapter(a);
  DestroyWindow(lv);
}

TEST_F(ListViewTest, DraggingTheThumbMovesByWholeItemsOrColumns) {
  // Report style: vertically by item heights; list style: horizontally by item widths (whole columns).
  struct Case {
    const char* what;
    DWORD style;
    bool vertical;
  } cases[] = {{"report", LVS_REPORT, true}, {"list", LVS_LIST, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND lv = MakeReport(400, 240, c.style);
    TacListViewWnd* a = Skin(lv);
    TacScrollBar& sb = c.vertical ? *a->VertBar : *a->HorzBar;
    ASSERT_TRUE(sb.Visible);
    const TRect bar = c.vertical ? VertScrollBarRect(a, lv) : HorzScrollBarRect(a, lv);
    const ScrollThumb thumb = ScrollThumbRect(sb, bar);
    ASSERT_TRUE(thumb.Shown);
    const int across = c.vertical ? (bar.Left + bar.Right) / 2 : (bar.Top + bar.Bottom) / 2;
    const int along = thumb.Start + thumb.Length / 2;
    auto move = [&](int at) { c.vertical ? MouseTo(across, at) : MouseTo(at, across); };
    move(along);
    Pump(20);
    MouseButton(true);
    PumpUntil([&] { return a->TrackingThumb != 0; });
    for (int d = 0; d <= 60; d += 15) {
      move(along + d);
      Pump(15);
    }
    MouseButton(false);
    PumpUntil([&] { return a->TrackingThumb == 0 && Info(lv, c.vertical ? SB_VERT : SB_HORZ).nPos > 0; });
    const int pos = Info(lv, c.vertical ? SB_VERT : SB_HORZ).nPos;
    EXPECT_GT(pos, 0);
    EXPECT_EQ(sb.ScrollInfo.nPos, pos);
    EXPECT_EQ(a->TrackingThumb, 0);
    // The first item sits exactly that many items or columns before the view.
    RECT first{};
    first.left = LVIR_BOUNDS;
    SendMessageA(lv, LVM_GETITEMRECT, 0, LPARAM(&first));
    if (c.vertical) {
      EXPECT_EQ(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0), pos);
    } else {
      POINT at{};
      SendMessageA(lv, LVM_GETITEMPOSITION, 0, LPARAM(&at));
      EXPECT_EQ(at.x, -pos * (first.right - first.left));
    }
    MouseTo(5, 5);
    Pump(30);
    FreeAdapter(a);
    DestroyWindow(lv);
  }
}

TEST_F(ListViewTest, ListViewsDestroyedWhileSkinnedLeaveTheLedgerFlat) {
  // The window goes first (its header with it), the adapter after.
  auto cycle = [this] {
    HWND lv = MakeReport(30);
    TacListViewWnd* a = Skin(lv);
    SendMessageA(lv, WM_VSCROLL, SB_PAGEDOWN, 0);
    RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DestroyWindow(lv);
    EXPECT_EQ(a->Header, nullptr);
    FreeAdapter(a);
  };
  cycle();
  const ledger::Snapshot before = ledger::Take();
  const int windows = ThreadWindowCount();
  for (int i = 0; i < 20; ++i) cycle();
  Pump(10);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
}

TEST_F(ListViewTest, AHeaderSubclassedByOthersIsLeftInPlaceAndASkinLoadTakesItAgain) {
  HWND lv = MakeReport(3);
  TacListViewWnd* a = Skin(lv);
  HWND header = a->Header;
  ASSERT_NE(header, nullptr);
  const bool unicode = IsWindowUnicode(header) != FALSE;
  // A skin removal lets the header go; a load takes it again (the host is no form: the manager's broadcasts are
  // sent here by hand).
  const LPARAM own = reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(manager.get()));
  SendLibraryCommand(lv, AC_SKINREMOVED, own);
  manager->SetActive(false);
  EXPECT_EQ(a->Header, nullptr);
  EXPECT_EQ(GetPropA(header, "ACLVHEADER"), nullptr);
  manager->SetActive(true);
  SendLibraryCommand(lv, AC_SKINLOADED, own);
  EXPECT_EQ(a->Header, header);
  // Someone subclasses the header over the adapter: letting go leaves that procedure on top, still working.
  static WNDPROC below = nullptr;
  static int reached = 0;
  reached = 0;
  auto over = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    ++reached;
    return IsWindowUnicode(h) ? CallWindowProcW(below, h, msg, w, l) : CallWindowProcA(below, h, msg, w, l);
  };
  below = reinterpret_cast<WNDPROC>(unicode ? SetWindowLongPtrW(header, GWLP_WNDPROC, LONG_PTR(+over))
                                            : SetWindowLongPtrA(header, GWLP_WNDPROC, LONG_PTR(+over)));
  FreeAdapter(a);
  Pump(10);
  EXPECT_EQ(WindowProcOf(header), reinterpret_cast<WNDPROC>(+over));
  EXPECT_GT(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 0);  // forwarded down to the header's own procedure
  EXPECT_GT(reached, 0);
  DestroyWindow(lv);  // the header goes with it: what the adapter left behind is freed
  Pump(10);
}

}  // namespace
