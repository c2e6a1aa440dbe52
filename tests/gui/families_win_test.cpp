// The container and list families on real windows (Windows build, run under Wine): page controls on the tab
// control, the scroll bar and scroll box, the string grid and tree view scrolled through their bars, tool and
// status bars, and MDI children made, tiled, cascaded and closed inside their MDI form. The user's input is
// the messages the windows get from the mouse and keyboard. With FAMILIES_PICTURES set to a directory, the
// harness form and the MDI form are saved there as pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "tests/support/gui_input.h"
#include "tests/support/win_screen.h"

using namespace gui;
using testsupport::Owned;
using testsupport::PumpFor;

namespace {

// A text and a number ("node 3").
std::string Named(const char* prefix, int n) {
  std::string s = prefix;
  s += std::to_string(n);
  return s;
}

std::string WindowClass(HWND h) {
  char name[96] = {};
  GetClassNameA(h, name, sizeof(name));
  return name;
}

SCROLLINFO Info(UINT mask) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = mask;
  return si;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A click as the mouse makes it on a window that tracks the mouse itself until the button is released: the
// release waits in the queue while the press is handled.
void ClickWindow(HWND h, int x, int y) {
  PostMessageA(h, WM_LBUTTONUP, 0, At(x, y));
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  PumpFor(20);
}

void SavePicture(HWND h, const std::string& name) {
  if (const char* dir = std::getenv("FAMILIES_PICTURES")) testsupport::SaveWindowPicture(h, dir, name);
}

struct Families : ::testing::Test {
  Owned<TForm> form{new TForm(nullptr)};
  Families() {
    form->SetBounds(30, 30, 640, 480);
    form->SetCaption("Families");
  }
  template <class T>
  T* Add(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(form.p);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
  }
};

TEST_F(Families, PagesSwitchByTheirTabs) {
  auto* pc = Add<TPageControl>(form.p, 8, 8, 300, 200);
  std::vector<TTabSheet*> pages;
  for (const char* caption : {"Station", "Radio", "Log"}) {
    auto* page = new TTabSheet(form.p);
    page->SetCaption(caption);
    page->SetPageControl(pc);
    pages.push_back(page);
  }
  auto* onRadio = Add<TButton>(pages[1], 10, 10, 80, 25);
  int changes = 0;
  pc->OnChange = [&](TObject*) { ++changes; };
  form->Show();
  HWND tabs = pc->Handle();
  EXPECT_EQ(WindowClass(tabs), "SysTabControl32");
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(GetParent(pages[1]->Handle()), tabs);
  EXPECT_EQ(GetParent(onRadio->Handle()), pages[1]->Handle());
  EXPECT_TRUE(IsWindowVisible(pages[0]->Handle()));

  // The user clicks the second tab.
  const TRect tab = pc->TabRect(1);
  RECT rc{};
  SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rc));
  EXPECT_EQ(tab, (TRect{rc.left, rc.top, rc.right, rc.bottom}));
  SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, At((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2));
  SendMessageA(tabs, WM_LBUTTONUP, 0, At((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2));
  EXPECT_EQ(pc->ActivePage(), pages[1]);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(IsWindowVisible(onRadio->Handle()));
  EXPECT_FALSE(IsWindowVisible(pages[0]->Handle()));
  // A refusal keeps the page and the tab.
  pc->OnChanging = [](TObject*, bool& allow) { allow = false; };
  const TRect tab2 = pc->TabRect(2);
  SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, At(tab2.Left + 3, tab2.Top + 3));
  SendMessageA(tabs, WM_LBUTTONUP, 0, At(tab2.Left + 3, tab2.Top + 3));
  EXPECT_EQ(pc->ActivePage(), pages[1]);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
  // From code, and with a tab hidden: the window's tabs and selection follow.
  pc->SetActivePage(pages[2]);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2);
  pages[0]->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(pages[2]->BoundsRect(), pc->DisplayRect());
  EXPECT_EQ(changes, 1);
  // A caption change reaches its tab; a page freed takes its tab and window with it.
  pages[2]->SetCaption("Journal");
  char text[32] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Journal");
  SavePicture(form->Handle(), "pages");
  HWND gone = pages[2]->Handle();
  Free(pages[2]);
  EXPECT_FALSE(IsWindow(gone));
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(pc->ActivePage(), pages[1]);
}

TEST_F(Families, ScrollBarFollowsArrowsAndThumbDrag) {
  auto* sb = Add<TScrollBar>(form.p, 8, 8, 300, 17);
  sb->SetParams(10, 0, 100);
  sb->SetPageSize(10);
  sb->SetLargeChange(10);
  std::vector<TScrollCode> codes;
  int changes = 0;
  sb->OnScroll = [&](TObject*, TScrollCode code, int&) { codes.push_back(code); };
  sb->OnChange = [&](TObject*) { ++changes; };
  form->Show();
  HWND h = sb->Handle();
  EXPECT_STRCASEEQ(WindowClass(h).c_str(), "ScrollBar");
  SCROLLINFO si = Info(SIF_ALL);
  GetScrollInfo(h, SB_CTL, &si);
  EXPECT_EQ(si.nPos, 10);
  EXPECT_EQ(si.nPage, 10u);
  EXPECT_EQ(si.nMax, 100);

  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_CLIENT, &info));
  const int arrow = info.dxyLineButton, y = 8;
  ClickWindow(h, 300 - arrow / 2, y);  // the right arrow
  EXPECT_EQ(sb->Position(), 11);
  ClickWindow(h, arrow + 2, y);  // the track left of the thumb: a page back
  EXPECT_EQ(sb->Position(), 1);
  EXPECT_EQ(changes, 2);

  // A drag of the thumb to the far right.
  GetScrollBarInfo(h, OBJID_CLIENT, &info);
  const int thumb = (info.xyThumbTop + info.xyThumbBottom) / 2;
  codes.clear();
  PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(thumb + 150, y));
  PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(295, y));
  PostMessageA(h, WM_LBUTTONUP, 0, At(295, y));
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(thumb, y));
  PumpFor(20);
  EXPECT_NE(std::find(codes.begin(), codes.end(), TScrollCode::scTrack), codes.end());
  EXPECT_EQ(sb->Position(), sb->MaxPosition());
  GetScrollInfo(h, SB_CTL, &si);
  EXPECT_EQ(si.nPos, 91);
}

TEST_F(Families, GridAndTreeScrollWithTheirBars) {
  auto* grid = Add<TStringGrid>(form.p, 8, 8, 300, 200);
  grid->SetColCount(12);
  grid->SetRowCount(60);
  for (int r = 0; r < 60; ++r) grid->SetCells(2, r, Named("row ", r));
  for (int c = 1; c < 12; ++c) grid->SetCells(c, 0, Named("col ", c));
  auto* tree = Add<TTreeView>(form.p, 320, 8, 200, 200);
  std::vector<TTreeNode*> tops;
  for (int i = 0; i < 20; ++i) {
    TTreeNode* n = tree->Items().Add(nullptr, Named("node ", i));
    for (int k = 0; k < 3; ++k) tree->Items().AddChild(n, Named("child ", k));
    tops.push_back(n);
  }
  form->Show();
  HWND g = grid->Handle();
  EXPECT_EQ(WindowClass(g), "TStringGrid");
  EXPECT_TRUE(GetWindowLongA(g, GWL_STYLE) & WS_VSCROLL);
  const int page = grid->VisibleRowCount();
  SendMessageA(g, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(grid->TopRow(), 1 + page);
  SendMessageA(g, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageA(g, WM_VSCROLL, SB_BOTTOM, 0);
  SCROLLINFO si = Info(SIF_ALL);
  GetScrollInfo(g, SB_VERT, &si);
  EXPECT_EQ(si.nPos, grid->TopRow() - 1);
  EXPECT_EQ(grid->TopRow() + grid->VisibleRowCount(), 60);
  SendMessageA(g, WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid->LeftCol(), 2);
  // A click selects a cell; arrow keys move on.
  const int row = grid->TopRow() + 1;
  const TRect cell = grid->CellRect(3, row);
  SendMessageA(g, WM_LBUTTONDOWN, MK_LBUTTON, At(cell.Left + 2, cell.Top + 2));
  SendMessageA(g, WM_LBUTTONUP, 0, At(cell.Left + 2, cell.Top + 2));
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->Row(), row);
  SendMessageA(g, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(grid->Row(), row + 1);

  HWND t = tree->Handle();
  EXPECT_EQ(WindowClass(t), "SysTreeView32");
  EXPECT_EQ(SendMessageA(t, TVM_GETCOUNT, 0, 0), 80);
  std::vector<std::string> log;
  tree->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + n->Text()); };
  tree->OnCollapsing = [&](TObject*, TTreeNode* n, bool& allow) { allow = n != tops[1]; };
  tree->SetSelected(tops[0]);
  SendMessageA(t, WM_KEYDOWN, VK_RIGHT, 0);  // the user opens the node
  EXPECT_TRUE(tops[0]->Expanded());
  SendMessageA(t, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(tree->Selected(), tops[0]->Item(0));
  tree->SetSelected(tops[1]);
  tops[1]->Expand(false);
  SendMessageA(t, WM_KEYDOWN, VK_LEFT, 0);  // refused by OnCollapsing
  EXPECT_TRUE(tops[1]->Expanded());
  EXPECT_EQ(SendMessageA(t, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(tops[1]->ItemId()), TVIS_EXPANDED) &
                TVIS_EXPANDED,
            TVIS_EXPANDED);
  EXPECT_EQ(log, (std::vector<std::string>{"change node 0", "change child 0", "change node 1"}));
  // Scrolled with its bar, the top item follows; the window shows what the layer sets.
  TTreeNode* before = tree->TopItem();
  SendMessageA(t, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_NE(tree->TopItem(), before);
  tree->SetTopItem(tops[10]);
  EXPECT_EQ(tree->TopItem(), tops[10]);
  tops[10]->Delete();
  EXPECT_EQ(SendMessageA(t, TVM_GETCOUNT, 0, 0), 76);
  SavePicture(form->Handle(), "grid_and_tree");
}

TEST_F(Families, BarsAndScrollBoxOnTheirWindows) {
  auto* bar = Add<TToolBar>(form.p, 0, 0, 100, 29);
  bar->SetShowCaptions(true);
  std::vector<TToolButton*> buttons;
  int clicks = 0;
  const char* captions[] = {"Send", "", "Log"};
  for (auto style : {TToolButtonStyle::tbsButton, TToolButtonStyle::tbsSeparator, TToolButtonStyle::tbsCheck}) {
    auto* b = new TToolButton(form.p);
    b->SetStyle(style);
    b->SetCaption(captions[buttons.size()]);
    b->SetParent(bar);
    b->OnClick = [&](TObject*) { ++clicks; };
    buttons.push_back(b);
  }
  auto* status = Add<TStatusBar>(form.p, 0, 0, 100, 19);
  status->Panels().Add()->SetWidth(120);
  status->Panels().Add()->SetText("Ready");
  auto* box = Add<TScrollBox>(form.p, 8, 60, 200, 120);
  auto* inside = Add<TPanel>(box, 10, 300, 60, 40);
  box->VertScrollBar().SetIncrement(12);
  form->Show();

  HWND tb = bar->Handle();
  EXPECT_EQ(WindowClass(tb), "ToolbarWindow32");
  EXPECT_EQ(SendMessageA(tb, TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(bar->Width(), form->ClientWidth());
  RECT r{};
  SendMessageA(tb, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(buttons[2]->BoundsRect(), (TRect{r.left, r.top, r.right, r.bottom}));
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  SendMessageA(tb, WM_LBUTTONDOWN, MK_LBUTTON, At(cx, cy));
  SendMessageA(tb, WM_LBUTTONUP, 0, At(cx, cy));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(buttons[2]->Down());
  EXPECT_TRUE(SendMessageA(tb, TB_ISBUTTONCHECKED, 3, 0));
  buttons[2]->SetDown(false);
  EXPECT_FALSE(SendMessageA(tb, TB_ISBUTTONCHECKED, 3, 0));

  HWND sbw = status->Handle();
  EXPECT_EQ(WindowClass(sbw), "msctls_statusbar32");
  EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
  EXPECT_EQ(SendMessageA(sbw, SB_GETPARTS, 0, 0), 2);
  char text[64] = {};
  SendMessageA(sbw, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Ready");
  // The window keeps a small border between its parts.
  EXPECT_GE(status->PanelRect(1).Left, status->PanelRect(0).Right);
  EXPECT_LE(status->PanelRect(1).Left, status->PanelRect(0).Right + 4);

  HWND bw = box->Handle();
  EXPECT_EQ(WindowClass(bw), "TScrollBox");
  EXPECT_TRUE(GetWindowLongA(bw, GWL_STYLE) & WS_VSCROLL);
  SendMessageA(bw, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(inside->Top(), 288);
  SendMessageA(bw, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(inside->Top() + inside->Height(), box->ClientHeight());
  SCROLLINFO si = Info(SIF_POS);
  GetScrollInfo(bw, SB_VERT, &si);
  EXPECT_EQ(si.nPos, box->VertScrollBar().Position());
  RECT pr;
  GetWindowRect(inside->Handle(), &pr);
  POINT o{pr.left, pr.top};
  ScreenToClient(bw, &o);
  EXPECT_EQ(o.y, inside->Top());
  SavePicture(form->Handle(), "bars");
}

TEST_F(Families, OwnerDrawnPartsAndWindowStyles) {
  auto* pc = Add<TPageControl>(form.p, 8, 8, 300, 150);
  pc->SetTabPosition(TTabPosition::tpBottom);
  pc->SetOwnerDraw(true);
  for (const char* caption : {"A", "B"}) {
    auto* page = new TTabSheet(form.p);
    page->SetCaption(caption);
    page->SetPageControl(pc);
  }
  std::vector<std::pair<int, bool>> tabsDrawn;
  pc->OnDrawTab = [&](TPageControl* c, int index, const TRect& r, bool active) {
    EXPECT_NE(c->Canvas().Handle(), nullptr);
    const TRect tab = c->TabRect(index);  // the window hands the part it draws, near the tab's rectangle
    EXPECT_TRUE(r.Contains(TPoint{(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2}));
    tabsDrawn.emplace_back(index, active);
  };
  auto* bar = Add<TToolBar>(form.p, 0, 0, 100, 29);
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 2; ++i) {
    auto* b = new TToolButton(form.p);
    b->SetParent(bar);
    buttons.push_back(b);
  }
  std::vector<TToolButton*> buttonsDrawn;
  int barsDrawn = 0;
  bar->OnCustomDraw = [&](TToolBar*, const TRect&, bool&) { ++barsDrawn; };
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton* b, TCustomDrawState, bool& defaultDraw) {
    buttonsDrawn.push_back(b);
    defaultDraw = false;
  };
  auto* status = Add<TStatusBar>(form.p, 0, 0, 100, 19);
  status->Panels().Add()->SetWidth(80);
  status->Panels().Add()->SetStyle(TStatusPanelStyle::psOwnerDraw);
  std::vector<int> panelsDrawn;
  status->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* p, const TRect&) {
    EXPECT_NE(sb->Canvas().Handle(), nullptr);
    panelsDrawn.push_back(p->Index());
  };
  auto* vbar = Add<TScrollBar>(form.p, 400, 40, 121, 17);
  vbar->SetKind(TScrollBarKind::sbVertical);
  form->Show();
  for (HWND h : {pc->Handle(), bar->Handle(), status->Handle()})
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpFor(30);

  EXPECT_TRUE(GetWindowLongA(pc->Handle(), GWL_STYLE) & TCS_BOTTOM);
  EXPECT_GE(pc->TabRect(0).Top, pc->DisplayRect().Bottom);
  EXPECT_NE(std::find(tabsDrawn.begin(), tabsDrawn.end(), std::make_pair(0, true)), tabsDrawn.end());
  EXPECT_NE(std::find(tabsDrawn.begin(), tabsDrawn.end(), std::make_pair(1, false)), tabsDrawn.end());
  EXPECT_GT(barsDrawn, 0);
  EXPECT_NE(std::find(buttonsDrawn.begin(), buttonsDrawn.end(), buttons[1]), buttonsDrawn.end());
  EXPECT_NE(std::find(panelsDrawn.begin(), panelsDrawn.end(), 1), panelsDrawn.end());
  EXPECT_EQ(std::find(panelsDrawn.begin(), panelsDrawn.end(), 0), panelsDrawn.end());  // a text panel
  EXPECT_TRUE(GetWindowLongA(vbar->Handle(), GWL_STYLE) & SBS_VERT);
  EXPECT_EQ(vbar->Width(), 17);
  EXPECT_EQ(vbar->Height(), 121);
}

TEST(FamiliesMdi, ChildrenMadeTiledCascadedAndClosed) {
  Owned<TForm> frame{new TForm(nullptr)};
  frame->SetFormStyle(TFormStyle::fsMDIForm);
  frame->SetBounds(20, 20, 700, 500);
  frame->SetCaption("MDI");
  auto* status = new TStatusBar(frame.p);
  status->SetParent(frame.p);
  frame->Show();
  HWND client = frame->ClientHandle();
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(WindowClass(client), "MDIClient");
  RECT cr;
  GetWindowRect(client, &cr);
  POINT co{cr.left, cr.top};
  ScreenToClient(frame->Handle(), &co);
  EXPECT_EQ(co.y, 0);
  EXPECT_EQ(cr.bottom - cr.top, frame->ClientHeight() - status->Height());  // the status bar stays uncovered

  std::vector<TForm*> children;
  std::vector<HWND> handles;
  for (int i = 0; i < 3; ++i) {
    auto* c = new TForm(nullptr);
    c->SetFormStyle(TFormStyle::fsMDIChild);
    c->SetCaption(Named("Child ", i));
    c->SetBounds(10 * i, 10 * i, 200, 150);
    c->Show();
    children.push_back(c);
    handles.push_back(c->Handle());
  }
  PumpFor(50);
  EXPECT_EQ(GetParent(handles[0]), client);
  EXPECT_TRUE(GetWindowLongA(handles[0], GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(frame->MDIChildCount(), 3);
  EXPECT_EQ(frame->ActiveMDIChild(), children[2]);
  EXPECT_EQ(frame->MDIChildren(0), children[2]);

  frame->SetTileMode(TTileMode::tbVertical);
  frame->Tile();
  PumpFor(50);
  RECT client_rc;
  GetClientRect(client, &client_rc);
  int widths = 0;
  for (TForm* c : children) {
    EXPECT_EQ(c->Top(), 0);
    EXPECT_EQ(c->Height(), client_rc.bottom);
    widths += c->Width();
  }
  EXPECT_NEAR(widths, client_rc.right, 3);  // the system rounds the strips' widths
  SavePicture(frame->Handle(), "mdi_tiled");
  frame->Cascade();
  PumpFor(50);
  EXPECT_LT(frame->MDIChildren(2)->Left(), frame->MDIChildren(0)->Left());
  frame->Next();
  EXPECT_NE(frame->ActiveMDIChild(), children[2]);

  // Closing: freed when OnClose asks for it, minimized otherwise.
  children[1]->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
  SendMessageA(handles[1], WM_CLOSE, 0, 0);
  PumpFor(50);
  EXPECT_FALSE(IsWindow(handles[1]));
  EXPECT_EQ(frame->MDIChildCount(), 2);
  children[0]->Close();
  EXPECT_TRUE(IsIconic(handles[0]));
  Free(children[0]);
  Free(children[2]);
  EXPECT_FALSE(IsWindow(handles[0]));
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_EQ(GetWindow(client, GW_CHILD), nullptr);
}

}  // namespace
