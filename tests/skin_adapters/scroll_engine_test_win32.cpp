// The skinned scroll bars on real windows (Windows build, under Wine), driven by the system's own mouse input: the
// parts in the skin's colours, one line per arrow click, the repeat while the button is held and its end when the
// capture goes, the hover look, a thumb drag to the last line, and the system's bars back after unskinning.
#include <gtest/gtest.h>

#include <string>

#include "skin/adapters/acscrollwnd.h"
#include "skin/paint/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/scroll_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;
using namespace adaptertest::colours;

// The RGB colour of a window pixel as a TColor, read through the window's DC.
uint32_t WindowPixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

TRect InWindow(HWND h, const TRect& screen) {
  RECT w;
  GetWindowRect(h, &w);
  return TRect{screen.Left - w.left, screen.Top - w.top, screen.Right - w.left, screen.Bottom - w.top};
}

void MouseTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG(x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG(y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void Button(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

std::string Lines(int n) {
  std::string t;
  for (int i = 0; i < n; ++i) {
    t += "Line ";
    t += std::to_string(i + 1);
    t += "\r\n";
  }
  return t;
}

int FirstVisibleLine(HWND h) { return int(SendMessageA(h, EM_GETFIRSTVISIBLELINE, 0, 0)); }

struct ScrollEngineTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  HWND host = MakeHost(20, 20, 700, 380, "Scroll bars");
  ledger::Snapshot before;
  ScrollEngineTest() {
    ApplyScrollSkin(*manager);
    before = ledger::Take();
  }
  ~ScrollEngineTest() override {
    DestroyWindow(host);
    Pump(50);
  }
  HWND MakeEdit(int lines, DWORD extraStyle = 0) {
    HWND h = MakeChild(host, "Edit", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | extraStyle, 20, 20, 300, 200, "",
                       WS_EX_CLIENTEDGE);
    SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Lines(lines).c_str()));
    return h;
  }
  TacScrollWnd* Skin(HWND h) {
    TacSkinParams p;
    p.SkinSection = "EDIT";
    auto* a = NewAdapter<TacScrollWnd>(h, nullptr, manager.get(), p, true);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump(50);
    return a;
  }
};

void Click(POINT p) {
  MouseTo(p.x, p.y);
  Pump(20);
  Button(true);
  Pump(40);
  Button(false);
  Pump(40);
}

TEST_F(ScrollEngineTest, EveryPartShowsTheSkinsColours) {
  HWND h = MakeEdit(1000);
  TacScrollWnd* a = Skin(h);
  ASSERT_TRUE(a->VertBar && a->VertBar->Visible);
  EXPECT_FALSE(a->HorzBar->Visible);  // no WS_HSCROLL
  SendMessageA(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 500), 0);
  RefreshScrollBars(a, true);
  const TRect bar = InWindow(h, VertScrollBarRect(a, h));
  const ScrollThumb thumb = ScrollThumbRect(*a->VertBar, bar);
  ASSERT_TRUE(thumb.Shown);
  const int x = bar.Left + 1;
  EXPECT_EQ(WindowPixel(h, x, bar.Top + 1), ArrowN);
  EXPECT_EQ(WindowPixel(h, x, bar.Bottom - 2), ArrowN);
  EXPECT_EQ(WindowPixel(h, x, bar.Top + 17 + 2), Track1N);
  EXPECT_EQ(WindowPixel(h, x, bar.Bottom - 17 - 2), Track2N);
  EXPECT_EQ(WindowPixel(h, x, thumb.Start + 1), SliderN);
  EXPECT_EQ(WindowPixel(h, (bar.Left + bar.Right) / 2, thumb.Start + thumb.Length / 2), GripN);
  TacMainWnd* v = a;
  FreeAdapter(v);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(ScrollEngineTest, OneLinePerArrowClickAndAPagePerTrackClick) {
  HWND h = MakeEdit(1000);
  TacScrollWnd* a = Skin(h);
  const TRect bar = VertScrollBarRect(a, h);
  const POINT down{(bar.Left + bar.Right) / 2, bar.Bottom - 8};
  const POINT up{(bar.Left + bar.Right) / 2, bar.Top + 8};
  for (int i = 1; i <= 5; ++i) {
    Click(down);
    EXPECT_EQ(FirstVisibleLine(h), i);
  }
  Click(up);
  EXPECT_EQ(FirstVisibleLine(h), 4);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, SB_VERT, &si);
  Click(POINT{down.x, bar.Bottom - 40});  // the track after the thumb: a page
  EXPECT_EQ(FirstVisibleLine(h), 4 + int(si.nPage));
  // Nothing keeps running after the clicks.
  EXPECT_EQ(ScrollEngine().PressedPart, -1);
  EXPECT_EQ(GetCapture(), nullptr);
  TacMainWnd* v = a;
  FreeAdapter(v);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(ScrollEngineTest, TheRepeatRunsWhileTheButtonIsHeldAndEndsWithTheCapture) {
  HWND h = MakeEdit(1000);
  TacScrollWnd* a = Skin(h);
  const TRect bar = VertScrollBarRect(a, h);
  const POINT down{(bar.Left + bar.Right) / 2, bar.Bottom - 8};
  struct Case {
    const char* name;
    void (*end)(HWND edit, HWND host);
  };
  const Case cases[] = {
      {"another window takes the capture", [](HWND, HWND other) { SetCapture(other); }},
      {"the window is told to cancel its modes", [](HWND edit, HWND) { SendMessageA(edit, WM_CANCELMODE, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SendMessageA(h, WM_VSCROLL, SB_TOP, 0);
    MouseTo(down.x, down.y);
    Pump(20);
    Button(true);
    Pump(900);  // the first repeat after 300 ms, then one every 55 ms
    const int held = FirstVisibleLine(h);
    EXPECT_GE(held, 5);
    EXPECT_EQ(GetCapture(), h);
    c.end(h, host);
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
    Pump(400);
    EXPECT_EQ(FirstVisibleLine(h), held);  // no repeat after the press ended
    Button(false);
    Pump(40);
    ReleaseCapture();
    // The bar shows no pressed arrow any more (the mouse still over it: hot).
    const TRect w = InWindow(h, bar);
    EXPECT_EQ(WindowPixel(h, w.Left + 1, w.Bottom - 2), ArrowH);
  }
  // A press whose button-up never reached the window: the next repeat tick finds the button up and ends it.
  SendMessageA(h, WM_VSCROLL, SB_TOP, 0);
  RECT wr;
  GetWindowRect(h, &wr);
  SendMessageA(h, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
  EXPECT_EQ(FirstVisibleLine(h), 1);
  Pump(600);
  EXPECT_EQ(FirstVisibleLine(h), 1);
  EXPECT_EQ(ScrollEngine().PressedPart, -1);
  EXPECT_NE(GetCapture(), h);
  TacMainWnd* v = a;
  FreeAdapter(v);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(ScrollEngineTest, TheArrowUnderTheMouseShowsHotUntilTheMouseLeaves) {
  HWND h = MakeEdit(1000);
  HWND other = MakeEdit(1000);
  SetWindowPos(other, nullptr, 20, 240, 300, 100, SWP_NOZORDER);
  TacScrollWnd* a = Skin(h);
  TacScrollWnd* b = Skin(other);
  const TRect bar = VertScrollBarRect(a, h);
  const TRect w = InWindow(h, bar);
  MouseTo((bar.Left + bar.Right) / 2, bar.Bottom - 8);
  Pump(120);
  EXPECT_EQ(ScrollEngine().HotWnd, h);
  EXPECT_EQ(WindowPixel(h, w.Left + 1, w.Bottom - 2), ArrowH);
  EXPECT_EQ(WindowPixel(h, w.Left + 1, w.Top + 1), ArrowN);
  // Onto the other window's bar: the hover moves with it, and the first window's arrow is normal again.
  const TRect otherBar = VertScrollBarRect(b, other);
  MouseTo((otherBar.Left + otherBar.Right) / 2, otherBar.Top + 8);
  Pump(120);
  EXPECT_EQ(ScrollEngine().HotWnd, other);
  EXPECT_EQ(WindowPixel(h, w.Left + 1, w.Bottom - 2), ArrowN);
  const TRect ow = InWindow(other, otherBar);
  EXPECT_EQ(WindowPixel(other, ow.Left + 1, ow.Top + 1), ArrowH);
  // Freeing the hot window's adapter ends the hover and kills its timer.
  TacMainWnd* v = b;
  FreeAdapter(v);
  EXPECT_EQ(ScrollEngine().HotWnd, nullptr);
  MouseTo(5, 5);
  Pump(60);
  v = a;
  FreeAdapter(v);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(ScrollEngineTest, DraggingTheThumbToTheEndReachesTheLastLine) {
  HWND h = MakeEdit(1000);
  TacScrollWnd* a = Skin(h);
  const TRect bar = VertScrollBarRect(a, h);
  const ScrollThumb thumb = ScrollThumbRect(*a->VertBar, bar);
  const int x = (bar.Left + bar.Right) / 2;
  MouseTo(x, thumb.Start + thumb.Length / 2);
  Pump(20);
  Button(true);
  Pump(30);
  for (int y = thumb.Start + thumb.Length / 2; y < bar.Bottom + 60; y += 15) {
    MouseTo(x, y);
    Pump(15);
  }
  // While held, the thumb shows pressed at the bottom of the track.
  const TRect w = InWindow(h, bar);
  EXPECT_EQ(WindowPixel(h, w.Left + 1, w.Bottom - 17 - 4), SliderP);
  Button(false);
  Pump(60);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, SB_VERT, &si);
  const int lastPage = si.nMax - int(si.nPage) + 1;
  EXPECT_EQ(si.nPos, lastPage);
  EXPECT_EQ(FirstVisibleLine(h), lastPage);
  // The last line is in view: its first character lies inside the client area.
  const LRESULT last = SendMessageA(h, EM_LINEINDEX, 999, 0);
  const LRESULT at = SendMessageA(h, EM_POSFROMCHAR, WPARAM(last), 0);
  RECT client;
  GetClientRect(h, &client);
  EXPECT_LT(short(HIWORD(at)), client.bottom);
  EXPECT_EQ(a->TrackingThumb, 0);
  TacMainWnd* v = a;
  FreeAdapter(v);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(ScrollEngineTest, UnskinningBringsBackTheSystemsBarsAndClientWidth) {
  manager->ScrollsOptions.ScrollSize = 24;  // wider than the system's bars
  HWND h = MakeEdit(1000);
  RECT plain;
  GetClientRect(h, &plain);
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  GetScrollBarInfo(h, OBJID_VSCROLL, &sbi);
  const int systemWidth = sbi.rcScrollBar.right - sbi.rcScrollBar.left;
  TacScrollWnd* a = Skin(h);
  RECT skinned;
  GetClientRect(h, &skinned);
  EXPECT_EQ(skinned.right, plain.right - (24 - systemWidth));
  const TRect w = InWindow(h, VertScrollBarRect(a, h));
  EXPECT_EQ(w.Width(), 24);
  EXPECT_EQ(WindowPixel(h, w.Left + 1, w.Top + 1), ArrowN);
  TacMainWnd* v = a;
  FreeAdapter(v);
  Pump(50);
  RECT back;
  GetClientRect(h, &back);
  EXPECT_EQ(back.right, plain.right);
  EXPECT_EQ(back.bottom, plain.bottom);
  // The bar is the system's again: it looks as that of an edit that was never skinned.
  HWND reference = MakeEdit(1000);
  SetWindowPos(reference, nullptr, 340, 20, 300, 200, SWP_NOZORDER);
  for (HWND w : {h, reference}) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  Pump(50);
  GetScrollBarInfo(h, OBJID_VSCROLL, &sbi);
  RECT wr;
  GetWindowRect(h, &wr);
  const POINT at{sbi.rcScrollBar.left - wr.left, sbi.rcScrollBar.top - wr.top};
  for (const POINT d : {POINT{1, 1}, POINT{8, 8}, POINT{3, 40}, POINT{3, 150}}) {
    EXPECT_EQ(WindowPixel(h, at.x + d.x, at.y + d.y), WindowPixel(reference, at.x + d.x, at.y + d.y))
        << d.x << ", " << d.y;
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

}  // namespace
