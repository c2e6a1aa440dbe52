// The skinned scroll bars and the edit adapter on real windows (Windows build, under Wine), driven by the system's
// own mouse input, on an edit window, a memo and a rich edit of 1,000 lines: the parts in the skin's colours, one
// line per arrow click, the repeat while the button is held and its end when the capture goes, the hover look, a
// thumb drag to the last line, the skin's look kept through 200 appends, and the system's bars and client width
// back after unskinning; a disabled password edit shows its mask characters only.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/scroll_skin.h"
#include "tests/support/win_screen.h"

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

// A click of the real mouse, over once the window has taken the press and then its end (on a loaded machine the
// input reaches the window late).
void Click(POINT p) {
  MouseTo(p.x, p.y);
  Pump(20);
  MouseButton(true);
  PumpUntil([] { return ScrollEngine().PressedPart != -1; }, 3000);
  Pump(20);
  MouseButton(false);
  PumpUntil([] { return ScrollEngine().PressedPart == -1 && GetCapture() == nullptr; }, 3000);
  Pump(20);
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

SCROLLINFO VertInfo(HWND h) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h, SB_VERT, &si);
  return si;
}

// A window under test: an edit window of the system's class, or a memo or rich edit of the component layer.
enum class Kind { Edit, Memo, RichEdit };
const char* KindName(Kind k) { return k == Kind::Edit ? "edit" : k == Kind::Memo ? "memo" : "rich edit"; }

struct Target {
  Kind kind;
  HWND h = nullptr;
  gui::TCustomMemo* control = nullptr;
  void Destroy() {
    if (control != nullptr)
      gui::Free(control);
    else
      DestroyWindow(h);
    control = nullptr;
    h = nullptr;
  }
  void Append(const std::string& line) {
    if (control != nullptr) {
      control->SetSelStart(control->GetTextLen());
      control->SetSelText(line + "\r\n");
    } else {
      const LRESULT end = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
      SendMessageA(h, EM_SETSEL, WPARAM(end), LPARAM(end));
      SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>((line + "\r\n").c_str()));
    }
  }
};

struct EditAdapterTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = nullptr;
  ledger::Snapshot before;
  EditAdapterTest() {
    ApplyScrollSkin(*manager);
    form = new gui::TForm(gui::Application);
    form->SetBounds(20, 20, 720, 420);
    form->SetCaption("Skinned edits");
    form->Show();
    Pump(30);
    before = ledger::Take();
  }
  ~EditAdapterTest() override {
    gui::Free(form);
    Pump(50);
  }
  Target Make(Kind kind, int lines, int x = 20, int y = 20, int w = 300, int h = 200) {
    Target t{kind};
    if (kind == Kind::Edit) {
      t.h = MakeChild(form->Handle(), "Edit", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, x, y, w, h, "",
                      WS_EX_CLIENTEDGE);
      SendMessageA(t.h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Lines(lines).c_str()));
      return t;
    }
    gui::TCustomMemo* memo = kind == Kind::Memo ? static_cast<gui::TCustomMemo*>(new gui::TMemo(form))
                                                : static_cast<gui::TCustomMemo*>(new gui::TRichEdit(form));
    memo->SetParent(form);
    memo->SetBounds(x, y, w, h);
    memo->SetScrollBars(gui::TScrollStyle::ssVertical);
    memo->SetText(Lines(lines));
    t.control = memo;
    t.h = memo->Handle();
    return t;
  }
  TacEditWnd* Skin(const Target& t) {
    TacSkinParams p;
    p.Control = t.control;
    auto* a = NewAdapter<TacEditWnd>(t.h, nullptr, manager.get(), p, true);
    RedrawWindow(t.h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    Pump(50);
    return a;
  }
  static void Unskin(TacEditWnd*& a) {
    TacMainWnd* v = a;
    FreeAdapter(v);
    a = nullptr;
    Pump(30);
  }
  // The bar shows the skin: both arrows, the track and the thumb in their colours.
  static void ExpectSkinnedBar(TacEditWnd* a, HWND h) {
    RefreshScrollBars(a, false);
    const TRect screen = VertScrollBarRect(a, h);
    const TRect bar = InWindow(h, screen);
    ASSERT_GT(bar.Height(), 60);
    const ScrollThumb thumb = ScrollThumbRect(*a->VertBar, bar);
    ASSERT_TRUE(thumb.Shown);
    const int x = bar.Left + 1;
    EXPECT_EQ(WindowPixel(h, x, bar.Top + 1), ArrowN);
    EXPECT_EQ(WindowPixel(h, x, bar.Bottom - 2), ArrowN);
    EXPECT_EQ(WindowPixel(h, x, thumb.Start + 1), SliderN);
    EXPECT_EQ(WindowPixel(h, (bar.Left + bar.Right) / 2, thumb.Start + thumb.Length / 2), GripN);
    // The track on the longer side of the thumb.
    if (thumb.Start - bar.Top > bar.Bottom - thumb.Start - thumb.Length)
      EXPECT_EQ(WindowPixel(h, x, bar.Top + 19), Track1N);
    else
      EXPECT_EQ(WindowPixel(h, x, bar.Bottom - 19), Track2N);
  }
};

const Kind kKinds[] = {Kind::Edit, Kind::Memo, Kind::RichEdit};

TEST_F(EditAdapterTest, TheBarsShowTheSkinsColoursAndKeepThemThroughAppends) {
  for (Kind k : kKinds) {
    SCOPED_TRACE(KindName(k));
    Target t = Make(k, 1000);
    TacEditWnd* a = Skin(t);
    ASSERT_TRUE(a->VertBar && a->VertBar->Visible);
    ExpectSkinnedBar(a, t.h);
    SendMessageA(t.h, WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageA(t.h, WM_VSCROLL, SB_PAGEDOWN, 0);
    Pump(30);
    ExpectSkinnedBar(a, t.h);
    // The border comes from the skin's EDIT border image.
    EXPECT_EQ(WindowPixel(t.h, 0, 40), EditBorderN);
    for (int i = 0; i < 200; ++i) {
      t.Append("Appended line " + std::to_string(i));
      if (i % 20 == 0) Pump(5);
    }
    Pump(50);
    ExpectSkinnedBar(a, t.h);
    EXPECT_EQ(WindowPixel(t.h, 0, 40), EditBorderN);
    Unskin(a);
    t.Destroy();
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, OneLinePerArrowClickAndAPagePerTrackClick) {
  for (Kind k : kKinds) {
    SCOPED_TRACE(KindName(k));
    Target t = Make(k, 1000);
    TacEditWnd* a = Skin(t);
    const TRect bar = VertScrollBarRect(a, t.h);
    const POINT down{(bar.Left + bar.Right) / 2, bar.Bottom - 8};
    const POINT up{(bar.Left + bar.Right) / 2, bar.Top + 8};
    for (int i = 1; i <= 5; ++i) {
      Click(down);
      EXPECT_EQ(FirstVisibleLine(t.h), i);
    }
    Click(up);
    EXPECT_EQ(FirstVisibleLine(t.h), 4);
    const int before = FirstVisibleLine(t.h);
    Click(POINT{down.x, bar.Bottom - 40});  // the track after the thumb: a page
    EXPECT_GT(FirstVisibleLine(t.h), before + 5);
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
    EXPECT_EQ(GetCapture(), nullptr);
    Unskin(a);
    t.Destroy();
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, TheRepeatRunsWhileTheButtonIsHeldAndEndsWithThePress) {
  struct End {
    const char* name;
    void (*end)(HWND edit, HWND other);
  };
  const End ends[] = {
      {"another window takes the capture", [](HWND, HWND other) { SetCapture(other); }},
      {"the window is told to cancel its modes", [](HWND edit, HWND) { SendMessageA(edit, WM_CANCELMODE, 0, 0); }},
  };
  for (Kind k : kKinds) {
    SCOPED_TRACE(KindName(k));
    Target t = Make(k, 1000);
    TacEditWnd* a = Skin(t);
    const TRect bar = VertScrollBarRect(a, t.h);
    const POINT down{(bar.Left + bar.Right) / 2, bar.Bottom - 8};
    for (const End& e : ends) {
      SCOPED_TRACE(e.name);
      SendMessageA(t.h, WM_VSCROLL, SB_TOP, 0);
      MouseTo(down.x, down.y);
      Pump(20);
      MouseButton(true);
      // The first repeat after 300 ms, then one every 55 ms.
      PumpUntil([&] { return FirstVisibleLine(t.h) >= 5; });
      const int held = FirstVisibleLine(t.h);
      EXPECT_GE(held, 5);
      EXPECT_EQ(GetCapture(), t.h);
      e.end(t.h, form->Handle());
      EXPECT_EQ(ScrollEngine().PressedPart, -1);
      Pump(400);
      EXPECT_EQ(FirstVisibleLine(t.h), held);  // no repeat once the press ended
      MouseButton(false);
      Pump(40);
      ReleaseCapture();
      // No arrow shows pressed any more (the mouse is still over it: hot).
      const TRect w = InWindow(t.h, bar);
      EXPECT_EQ(WindowPixel(t.h, w.Left + 1, w.Bottom - 2), ArrowH);
    }
    // A press whose button-up never reached the window: the first repeat tick finds the button up and ends it.
    SendMessageA(t.h, WM_VSCROLL, SB_TOP, 0);
    SendMessageA(t.h, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
    EXPECT_EQ(FirstVisibleLine(t.h), 1);
    Pump(600);
    EXPECT_EQ(FirstVisibleLine(t.h), 1);
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
    EXPECT_NE(GetCapture(), t.h);
    MouseTo(5, 5);
    Pump(60);
    Unskin(a);
    t.Destroy();
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, DraggingTheThumbToTheEndReachesTheLastLine) {
  for (Kind k : kKinds) {
    SCOPED_TRACE(KindName(k));
    Target t = Make(k, 1000);
    TacEditWnd* a = Skin(t);
    const TRect bar = VertScrollBarRect(a, t.h);
    const ScrollThumb thumb = ScrollThumbRect(*a->VertBar, bar);
    const int x = (bar.Left + bar.Right) / 2;
    MouseTo(x, thumb.Start + thumb.Length / 2);
    Pump(20);
    MouseButton(true);
    EXPECT_TRUE(PumpUntil([&] { return a->TrackingThumb != 0; }));
    int lastY = thumb.Start + thumb.Length / 2;
    for (int y = lastY; y < bar.Bottom + 60; y += 15) {
      MouseTo(x, y);
      lastY = y;
      Pump(15);
    }
    // While held, the thumb shows pressed at the end of the track (once the moves have reached the window).
    // Under Wine a pointer event of the drag that the X server reports late can put the pointer back where it
    // was before the last move: the last position is given again until the window has taken it.
    const TRect w = InWindow(t.h, bar);
    const auto thumbAtTheEnd = [&] { return WindowPixel(t.h, w.Left + 1, w.Bottom - 17 - 4) == SliderP; };
    for (int i = 0; i < 25 && !PumpUntil(thumbAtTheEnd, 200); ++i) MouseTo(x, lastY);
    EXPECT_EQ(WindowPixel(t.h, w.Left + 1, w.Bottom - 17 - 4), SliderP);
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return a->TrackingThumb == 0; }));
    Pump(20);
    const SCROLLINFO si = VertInfo(t.h);
    EXPECT_GE(si.nPos, si.nMax - int(si.nPage));  // the last page (a rich edit keeps its own last pixel)
    EXPECT_LE(si.nPos, si.nMax - int(si.nPage) + 1);
    // The last line is in view: its first character lies inside the client area.
    const LRESULT last = SendMessageA(t.h, EM_LINEINDEX, 999, 0);
    POINTL at{};
    if (k == Kind::Edit || k == Kind::Memo) {
      const LRESULT p = SendMessageA(t.h, EM_POSFROMCHAR, WPARAM(last), 0);
      at.y = short(HIWORD(p));
    } else {
      SendMessageA(t.h, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), last);
    }
    RECT client;
    GetClientRect(t.h, &client);
    EXPECT_GE(at.y, 0);
    EXPECT_LT(at.y, client.bottom);
    EXPECT_EQ(a->TrackingThumb, 0);
    Unskin(a);
    t.Destroy();
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, UnskinningBringsBackTheSystemsBarsAndClientWidth) {
  manager->ScrollsOptions.ScrollSize = 24;  // wider than the system's bars
  for (Kind k : kKinds) {
    SCOPED_TRACE(KindName(k));
    Target t = Make(k, 1000);
    Target reference = Make(k, 1000, 360, 20);
    RECT plain;
    GetClientRect(t.h, &plain);
    TacEditWnd* a = Skin(t);
    RECT skinned;
    GetClientRect(t.h, &skinned);
    EXPECT_LT(skinned.right, plain.right);
    EXPECT_EQ(InWindow(t.h, VertScrollBarRect(a, t.h)).Width(), 24);
    Unskin(a);
    RECT back;
    GetClientRect(t.h, &back);
    EXPECT_EQ(back.right, plain.right);
    EXPECT_EQ(back.bottom, plain.bottom);
    // The bar is the system's again: it looks as that of the same window never skinned.
    for (HWND w : {t.h, reference.h}) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump(50);
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    GetScrollBarInfo(t.h, OBJID_VSCROLL, &sbi);
    RECT wr;
    GetWindowRect(t.h, &wr);
    const POINT at{sbi.rcScrollBar.left - wr.left, sbi.rcScrollBar.top - wr.top};
    for (const POINT d : {POINT{1, 1}, POINT{8, 8}, POINT{3, 100}, POINT{3, 150}})
      EXPECT_EQ(WindowPixel(t.h, at.x + d.x, at.y + d.y), WindowPixel(reference.h, at.x + d.x, at.y + d.y))
          << d.x << ", " << d.y;
    t.Destroy();
    reference.Destroy();
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, TheHoverLookFollowsTheMouseFromBarToBar) {
  Target first = Make(Kind::Edit, 1000);
  Target second = Make(Kind::Memo, 1000, 360, 20);
  TacEditWnd* a = Skin(first);
  TacEditWnd* b = Skin(second);
  const TRect bar = VertScrollBarRect(a, first.h);
  const TRect w = InWindow(first.h, bar);
  MouseTo((bar.Left + bar.Right) / 2, bar.Bottom - 8);
  Pump(120);
  EXPECT_EQ(ScrollEngine().HotWnd, first.h);
  EXPECT_EQ(WindowPixel(first.h, w.Left + 1, w.Bottom - 2), ArrowH);
  EXPECT_EQ(WindowPixel(first.h, w.Left + 1, w.Top + 1), ArrowN);
  // Onto the other window's bar: the hover goes with it, and the first window's arrow is normal again.
  const TRect otherBar = VertScrollBarRect(b, second.h);
  MouseTo((otherBar.Left + otherBar.Right) / 2, otherBar.Top + 8);
  Pump(120);
  EXPECT_EQ(ScrollEngine().HotWnd, second.h);
  EXPECT_EQ(WindowPixel(first.h, w.Left + 1, w.Bottom - 2), ArrowN);
  const TRect ow = InWindow(second.h, otherBar);
  EXPECT_EQ(WindowPixel(second.h, ow.Left + 1, ow.Top + 1), ArrowH);
  // The hot window's adapter goes: the hover ends with it, its timer killed.
  Unskin(b);
  EXPECT_EQ(ScrollEngine().HotWnd, nullptr);
  MouseTo(5, 5);
  Pump(60);
  Unskin(a);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

// The client pixels of a window, row by row.
std::vector<uint32_t> ClientPixels(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  std::vector<uint32_t> px;
  HDC dc = GetDC(h);
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) px.push_back(GetPixel(dc, x, y));
  ReleaseDC(h, dc);
  return px;
}

TEST_F(EditAdapterTest, ADisabledPasswordEditShowsOnlyItsMaskCharacters) {
  struct Edit {
    const char* text;
    char mask;
    gui::TEdit* control = nullptr;
    TacEditWnd* adapter = nullptr;
  };
  Edit edits[] = {{"secret", '*'}, {"******", 0}, {"secret", 0}};
  int y = 20;
  for (Edit& e : edits) {
    e.control = new gui::TEdit(form);
    e.control->SetParent(form);
    e.control->SetBounds(20, y, 160, 24);
    e.control->SetText(e.text);
    if (e.mask) SendMessageA(e.control->Handle(), EM_SETPASSWORDCHAR, WPARAM(e.mask), 0);
    e.control->SetEnabled(false);
    TacSkinParams p;
    p.Control = e.control;
    e.adapter = NewAdapter<TacEditWnd>(e.control->Handle(), nullptr, manager.get(), p, true);
    RedrawWindow(e.control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    y += 40;
  }
  Pump(60);
  const std::vector<uint32_t> password = ClientPixels(edits[0].control->Handle());
  const std::vector<uint32_t> masks = ClientPixels(edits[1].control->Handle());
  const std::vector<uint32_t> plain = ClientPixels(edits[2].control->Handle());
  EXPECT_EQ(password, masks);
  EXPECT_NE(password, plain);
  for (Edit& e : edits) {
    TacMainWnd* v = e.adapter;
    FreeAdapter(v);
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, ADialogsEditTakesAFlatFrameInTheSkinsBorderColour) {
  Target t = Make(Kind::Edit, 3);
  DispatcherSkinning() = 1;  // as while the dialog dispatcher skins a dialog's children
  TacEditWnd* a = Skin(t);
  DispatcherSkinning() = 0;
  EXPECT_EQ(a->CreatedByDispatcher, 1);
  EXPECT_EQ(WindowPixel(t.h, 0, 40), Border);
  EXPECT_EQ(WindowPixel(t.h, 1, 40), GetSysColor(COLOR_WINDOW));
  Unskin(a);
  t.Destroy();
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

// An edit attached under a deferral (its maker repaints it whole right afterwards) has its frame painted by that
// repaint, not by the attach as well.
TEST_F(EditAdapterTest, AnAttachUnderADeferralLeavesTheFrameToTheRepaintThatFollows) {
  for (Kind k : {Kind::Edit, Kind::Memo}) {
    SCOPED_TRACE(KindName(k));
    Target t = Make(k, 3);
    Pump(30);
    HDC dc = GetWindowDC(t.h);  // the frame blacked out, so that a paint of it shows
    PatBlt(dc, 0, 0, 4, 200, BLACKNESS);
    ReleaseDC(t.h, dc);
    TacEditWnd* a = nullptr;
    {
      const AttachPaintDeferral deferral(t.h);
      TacSkinParams p;
      p.Control = t.control;
      a = NewAdapter<TacEditWnd>(t.h, nullptr, manager.get(), p, true);
    }
    EXPECT_EQ(WindowPixel(t.h, 0, 40), 0u);
    RedrawWindow(t.h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(WindowPixel(t.h, 0, 40), EditBorderN);
    Unskin(a);
    t.Destroy();
  }
}

TEST_F(EditAdapterTest, AnEmptyListBoxHasNoTopIndex) {
  HWND list = MakeChild(form->Handle(), "ListBox", WS_VSCROLL | LBS_NOTIFY, 20, 20, 200, 150, "", WS_EX_CLIENTEDGE);
  TacEditWnd* a = NewAdapter<TacEditWnd>(list, nullptr, manager.get(), TacSkinParams{}, true);
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), -1);
  for (int i = 0; i < 50; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
  Pump(30);
  const TRect bar = InWindow(list, VertScrollBarRect(a, list));
  EXPECT_EQ(WindowPixel(list, bar.Left + 1, bar.Top + 1), ArrowN);  // the list's bar refreshed as items came
  Unskin(a);
  DestroyWindow(list);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(EditAdapterTest, ASkinnedMemoToLookAt) {
  Target memo = Make(Kind::Memo, 1000, 20, 20, 320, 240);
  Target edit = Make(Kind::Edit, 1000, 370, 20, 300, 240);
  TacEditWnd* a = Skin(memo);
  TacEditWnd* b = Skin(edit);
  SendMessageA(memo.h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
  RefreshScrollBars(a, true);
  const std::string path =
      testsupport::SaveWindowPicture(form->Handle(), std::string(STATION_SOURCE_DIR) + "/build/windows/artefacts",
                                     "skinned_memo");
  EXPECT_FALSE(path.empty());
  Unskin(b);
  Unskin(a);
}

}  // namespace
