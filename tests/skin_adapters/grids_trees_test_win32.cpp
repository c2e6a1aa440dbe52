// The grid and tree adapters on a form (Windows build, under Wine): a string grid and a tree view filled enough to
// scroll, adapted by the control adapter with the flat-colour fixture skin: the cells, fixed cells and selection
// and the tree's background and text show the skin's colours (read through WM_PRINT and from the window's
// surface), the skinned bars scroll both (posted clicks), letting go of the adapters gives every colour back, and
// nothing leaks over fifty rounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/adapters/acgrids.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/control_skin.h"
#include "tests/support/win_screen.h"

namespace {

using namespace skin;
using namespace adaptertest;

inline constexpr uint32_t kSelection = 0x20A040, kSelectionFont = 0xF0F0F0;

// The control fixture with a selection section.
void ApplyGridSkin(TsSkinManager& m) {
  std::string text = ControlOptionsText();
  text += "[SELECTION]\r\nSTATES=2\r\nCOLOR=" + std::to_string(kSelection) + "\r\nHOTCOLOR=" +
          std::to_string(kSelection) + "\r\nFONTCOLOR=" + std::to_string(kSelectionFont) + "\r\nHOTFONTCOLOR=" +
          std::to_string(kSelectionFont) + "\r\n";
  TsStoredSkin& s = m.InternalSkins.Add();
  s.Name = "Grids";
  const std::string bytes =
      PackSkin({{"Options.dat", text}, {"master.bmp", skintest::Bmp24(64, 48, ControlMasterPixel)}});
  s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  m.SetSkinName("Grids");
}

struct Host : CtrlAdapterHost {
  gui::TWinControl* form = nullptr;
  TsSkinManager* manager = nullptr;
  gui::TWinControl* HostForm() override { return form; }
  TsSkinManager* HostManager() override { return manager; }
};

struct GridForm {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  gui::TForm* form = new gui::TForm(nullptr);
  gui::TStringGrid* grid = new gui::TStringGrid(form);
  gui::TTreeView* tree = new gui::TTreeView(form);
  Host host;
  std::unique_ptr<TacCtrlAdapter> adapter;

  GridForm() {
    ApplyGridSkin(*manager);
    manager->ThirdPartyLists.assign(23, {});
    manager->ThirdPartyLists[5] = {"TStringGrid"};
    manager->ThirdPartyLists[9] = {"TTreeView"};
    form->SetBounds(40, 40, 640, 360);
    form->SetCaption("Grids and trees");
    grid->SetParent(form);
    grid->SetBounds(10, 10, 330, 300);
    grid->SetColCount(12);
    grid->SetRowCount(60);
    for (int r = 0; r < 60; ++r)
      for (int c = 0; c < 12; ++c) grid->SetCells(c, r, r == 0 ? "Col " + std::to_string(c) : c == 0 ? std::to_string(r) : "");
    tree->SetParent(form);
    tree->SetBounds(360, 10, 250, 300);
    tree->Items().BeginUpdate();
    for (int i = 0; i < 12; ++i) {
      gui::TTreeNode* n = tree->Items().Add(nullptr, "Station " + std::to_string(i + 1));
      for (int k = 0; k < 5; ++k) tree->Items().AddChild(n, "Message " + std::to_string(k + 1));
      n->Expand(false);
    }
    tree->Items().EndUpdate();
    form->Show();
    Pump(50);
    host.form = form;
    host.manager = manager.get();
    Skin();
  }
  ~GridForm() {
    adapter.reset();
    gui::Free(form);
    Pump(20);
  }
  void Skin() {
    adapter = std::make_unique<TacCtrlAdapter>(&host);
    adapter->AddAllItems();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(30);
  }
  void Unskin() {
    adapter.reset();
    FlushDeferredFrees();
    Pump(30);
  }
  TacGridWnd* GridAdapter() const { return dynamic_cast<TacGridWnd*>(AdapterOfWindow(grid->Handle())); }
  TacTreeViewWnd* TreeAdapter() const { return dynamic_cast<TacTreeViewWnd*>(AdapterOfWindow(tree->Handle())); }
  // A pixel of the client area (both readings agree).
  static uint32_t ClientProbe(gui::TWinControl* c, TacEditWnd* a, int x, int y) {
    Pump(10);
    const int bx = a != nullptr ? a->BorderLeft : 0, by = a != nullptr ? a->BorderTop : 0;
    const uint32_t printed = PrintedPixel(c->Handle(), x + bx, y + by);
    const uint32_t surface = SurfacePixel(c->Handle(), x + bx, y + by);
    EXPECT_EQ(printed, surface) << c->ClassName() << " at " << x << "," << y;
    return printed;
  }
  // A click on the vertical bar's lower arrow, posted as the system would send it.
  static void PostDownArrowClick(HWND h, TacScrollWnd* a) {
    const TRect bar = VertScrollBarRect(a, h);
    const POINT down{(bar.Left + bar.Right) / 2, bar.Bottom - 6};
    PostMessageA(h, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
    POINT client = down;
    ScreenToClient(h, &client);
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    Pump(60);
  }
  HTREEITEM FirstVisible() const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  }
};

struct NoAnimations {
  NoAnimations() { AnimationsOff() = 1; }
  ~NoAnimations() { AnimationsOff() = 0; }
};

TEST(GridAndTreeAdapters, CellsFixedCellsSelectionAndTheTreeShowTheSkinsColours) {
  NoAnimations still;
  GridForm f;
  TacGridWnd* g = f.GridAdapter();
  TacTreeViewWnd* t = f.TreeAdapter();
  ASSERT_NE(g, nullptr);
  ASSERT_NE(t, nullptr);
  struct Case {
    const char* what;
    int col, row;
    uint32_t colour;
  } cells[] = {
      {"fixed title cell", 3, 0, colours::Main},
      {"fixed row cell", 0, 3, colours::Main},
      {"selected (current) cell", 1, 1, kSelection},
      {"plain cell", 3, 3, colours::Edit},
  };
  for (const Case& c : cells) {
    const gui::TRect r = f.grid->CellRect(c.col, c.row);
    EXPECT_EQ(GridForm::ClientProbe(f.grid, g, r.Right - 3, r.Bottom - 3), c.colour) << c.what;
  }
  EXPECT_EQ(f.grid->SelectionTextColor(), TColor(kSelectionFont));
  EXPECT_EQ(f.grid->GridFixedLineColor(), TColor(colours::Border));
  // The border is the skin's (on the window's surface).
  EXPECT_EQ(SurfacePixel(f.grid->Handle(), 0, 40), colours::EditBorderN);
  if (const char* dir = std::getenv("GRIDS_PICTURES")) testsupport::SaveWindowPicture(f.form->Handle(), dir, "grids-skinned");
  // The tree: its window's colours are the section's, and its rows show them.
  const HWND th = f.tree->Handle();
  EXPECT_EQ(COLORREF(SendMessageA(th, TVM_GETBKCOLOR, 0, 0)), COLORREF(colours::Edit));
  EXPECT_EQ(COLORREF(SendMessageA(th, TVM_GETTEXTCOLOR, 0, 0)), COLORREF(colours::EditFont));
  // A colour the program gives the tree meanwhile does not undo the skin's.
  f.tree->Font().SetColor(0x0000FF);
  f.tree->SetColor(0x00FF00);
  EXPECT_EQ(COLORREF(SendMessageA(th, TVM_GETBKCOLOR, 0, 0)), COLORREF(colours::Edit));
  EXPECT_EQ(COLORREF(SendMessageA(th, TVM_GETTEXTCOLOR, 0, 0)), COLORREF(colours::EditFont));
  RECT client;
  GetClientRect(th, &client);
  EXPECT_EQ(GridForm::ClientProbe(f.tree, t, client.right - 4, 4), colours::Edit);
  EXPECT_EQ(GridForm::ClientProbe(f.tree, t, client.right - 4, client.bottom - 4), colours::Edit);
}

TEST(GridAndTreeAdapters, TheSkinnedBarsScrollTheGridAndTheTree) {
  NoAnimations still;
  GridForm f;
  TacGridWnd* g = f.GridAdapter();
  TacTreeViewWnd* t = f.TreeAdapter();
  ASSERT_NE(g, nullptr);
  ASSERT_NE(t, nullptr);
  ASSERT_TRUE(g->VertBar && g->VertBar->Visible);
  ASSERT_TRUE(t->VertBar && t->VertBar->Visible);
  for (int i = 1; i <= 3; ++i) {
    GridForm::PostDownArrowClick(f.grid->Handle(), g);
    EXPECT_EQ(f.grid->TopRow(), 1 + i);
  }
  EXPECT_EQ(g->VertBar->ScrollInfo.nPos, 3);  // the bar read back after the scroll
  const HTREEITEM first = f.FirstVisible();
  GridForm::PostDownArrowClick(f.tree->Handle(), t);
  EXPECT_EQ(f.FirstVisible(),
            reinterpret_cast<HTREEITEM>(SendMessageA(f.tree->Handle(), TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                     reinterpret_cast<LPARAM>(first))));
  EXPECT_EQ(ScrollEngine().PressedPart, -1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(GridAndTreeAdapters, LettingGoOfTheAdaptersGivesEveryColourBack) {
  NoAnimations still;
  GridForm f;
  f.Unskin();  // the first pass took the controls' own colours: compare against a plain pair
  const TColor fixed = f.grid->FixedColor(), selection = f.grid->SelectionColor(), cells = f.grid->Color();
  const TColor line = f.grid->GridLineColor(), treeFont = f.tree->Font().Color();
  const COLORREF treeBk = COLORREF(SendMessageA(f.tree->Handle(), TVM_GETBKCOLOR, 0, 0));
  const COLORREF treeText = COLORREF(SendMessageA(f.tree->Handle(), TVM_GETTEXTCOLOR, 0, 0));
  f.Skin();
  ASSERT_NE(f.GridAdapter(), nullptr);
  EXPECT_NE(f.grid->FixedColor(), fixed);
  EXPECT_NE(f.grid->Color(), cells);
  f.Unskin();
  EXPECT_EQ(f.GridAdapter(), nullptr);
  EXPECT_EQ(f.TreeAdapter(), nullptr);
  EXPECT_EQ(f.grid->FixedColor(), fixed);
  EXPECT_EQ(f.grid->SelectionColor(), selection);
  EXPECT_EQ(f.grid->Color(), cells);
  EXPECT_EQ(f.grid->GridLineColor(), line);
  EXPECT_EQ(f.tree->Font().Color(), treeFont);
  EXPECT_EQ(COLORREF(SendMessageA(f.tree->Handle(), TVM_GETBKCOLOR, 0, 0)), treeBk);
  EXPECT_EQ(COLORREF(SendMessageA(f.tree->Handle(), TVM_GETTEXTCOLOR, 0, 0)), treeText);
  // The cells are painted in the grid's own colours again.
  const gui::TRect r = f.grid->CellRect(3, 3);
  EXPECT_EQ(PrintedPixel(f.grid->Handle(), r.Right, r.Bottom) != colours::Edit, true);
}

TEST(GridAndTreeAdapters, TheLedgerAndWindowCountAreFlatOverFiftyRounds) {
  NoAnimations still;
  { GridForm warmUp; }
  Pump(20);
  GridForm f;
  f.Unskin();
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  for (int round = 0; round < 50; ++round) {
    f.Skin();
    TacGridWnd* g = f.GridAdapter();
    TacTreeViewWnd* t = f.TreeAdapter();
    ASSERT_NE(g, nullptr);
    ASSERT_NE(t, nullptr);
    PrintedPixel(f.grid->Handle(), 10, 10);
    PrintedPixel(f.tree->Handle(), 10, 10);
    GridForm::PostDownArrowClick(f.grid->Handle(), g);
    GridForm::PostDownArrowClick(f.tree->Handle(), t);
    f.Unskin();
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
}

// A virtual tree that no component owns (a window of the tree's class made here) with a real column header: the
// adapter draws the header the tree leaves to it, each column a "COLHEADER" cell with its text and the skin's sort
// arrow, long captions broken into lines in a two-line header; a column its owner draws keeps the whole header
// the system's, and the header is the system's again once the adapter lets go.
TEST(GridAndTreeAdapters, AVirtualTreesHeaderIsDrawnFromTheSkinUnlessItsOwnerDrawsIt) {
  using namespace ctlcolours;
  NoAnimations still;
  TestSystem sys;
  auto manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  StoreControlSkin(*manager, "Arrows", ArrowControlOptionsText());
  manager->SetSkinName("Arrows");
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "TVirtualStringTree";
    RegisterClassA(&wc);
    registered = true;
  }
  const HWND host = MakeHost(60, 60, 460, 300, "Virtual tree");
  const HWND tree = MakeChild(host, "TVirtualStringTree", WS_BORDER | WS_CLIPCHILDREN, 10, 10, 420, 240);
  const HWND header = MakeChild(tree, WC_HEADERA, HDS_BUTTONS, 0, 0, 418, 40);
  SendMessageA(header, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  struct Column {
    const char* text;
    int width, fmt;
  } columns[] = {{"Call", 120, HDF_LEFT | HDF_STRING | HDF_SORTDOWN}, {"Messages received today", 90, HDF_LEFT | HDF_STRING}};
  for (int i = 0; i < 2; ++i) {
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = const_cast<char*>(columns[i].text);
    item.cxy = columns[i].width;
    item.fmt = columns[i].fmt;
    SendMessageA(header, HDM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
  }
  TacSkinParams p;
  p.SkinSection = "EDIT";
  TacMainWnd* a = NewAdapter<TacVirtualTreeViewWnd>(tree, nullptr, manager.get(), p, true);
  auto* vt = dynamic_cast<TacVirtualTreeViewWnd*>(a);
  ASSERT_NE(vt, nullptr);
  ASSERT_EQ(vt->Header, header);
  RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT hr{};
  GetClientRect(header, &hr);
  auto count = [&](COLORREF c, int from, int to) {
    int n = 0;
    for (int y = 0; y < hr.bottom; ++y)
      for (int x = from; x < to; ++x) n += SurfacePixel(header, x, y) == c;
    return n;
  };
  // The cells, the empty rest after the last column included, and the skin's down arrow (one 5 x 5 glyph).
  EXPECT_TRUE(PumpUntil([&] { return count(ArrowInk[0], 0, 120) == 25; })) << count(ArrowInk[0], 0, 120);
  EXPECT_GT(count(ColHdrN, 0, hr.right), hr.right * hr.bottom / 2);
  EXPECT_EQ(count(ColHdrN, 300, hr.right), (hr.right - 300) * hr.bottom) << "the empty rest";
  // The long caption takes two lines in its 90-pixel column: its ink spans more than one line's height.
  int top = hr.bottom, bottom = -1;
  for (int y = 0; y < hr.bottom; ++y)
    for (int x = 120; x < 210; ++x)
      if (SurfacePixel(header, x, y) != ColHdrN) top = std::min(top, y), bottom = std::max(bottom, y);
  TEXTMETRICA tm{};
  HDC dc = GetDC(header);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(header, dc);
  EXPECT_GT(bottom - top + 1, tm.tmHeight) << "rows " << top << ".." << bottom;
  if (const char* dir = std::getenv("GRIDS_PICTURES")) testsupport::SaveWindowPicture(host, dir, "virtual-tree");
  // The tree printed whole shows its header too.
  const Printed shot(tree);
  EXPECT_EQ(shot.Count(ArrowInk[0]), 25);
  // A column its owner draws: the header stays the system's.
  HDITEMA own{};
  own.mask = HDI_FORMAT;
  own.fmt = HDF_OWNERDRAW;
  SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&own));
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return count(ColHdrN, 0, hr.right) == 0; })) << count(ColHdrN, 0, hr.right);
  own.fmt = HDF_LEFT | HDF_STRING;
  SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&own));
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return count(ArrowInk[0], 0, 120) == 25; }));
  // Let go of: the system draws its header again, and its procedure is its own.
  const WNDPROC skinned = WindowProcOf(header);
  FreeAdapter(a);
  FlushDeferredFrees();
  EXPECT_NE(WindowProcOf(header), skinned);
  RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(PumpUntil([&] { return count(ColHdrN, 0, hr.right) == 0 && count(ArrowInk[0], 0, hr.right) == 0; }));
  DestroyWindow(host);
  Pump(20);
}

}  // namespace
