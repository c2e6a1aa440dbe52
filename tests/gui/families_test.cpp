// The container and list families of the layer without windows: scroll bars and scroll boxes, the string grid,
// the tree view, page controls, tool and status bars, and MDI forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui.h"
#include "tests/support/gui_input.h"

using namespace gui;
using testsupport::Owned;

namespace {

// A text and a number ("node 3").
std::string Named(const char* prefix, int n) {
  std::string s = prefix;
  s += std::to_string(n);
  return s;
}

// A left click at a client point of the control.
void SendLButtonClick(TControl& c, int x, int y) {
  const LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
  c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
  c.Perform(WM_LBUTTONUP, 0, at);
}

TEST(ScrollBar, TargetsOfTheScrollCodesStayWithinTheRangeLessThePage) {
  struct Case {
    TScrollCode code;
    int pos, thumb, page, expected;
  };
  // Range 0..100, small change 1, large change 10.
  const Case cases[] = {
      {TScrollCode::scLineUp, 0, 0, 0, 0},       {TScrollCode::scLineDown, 5, 0, 0, 6},
      {TScrollCode::scPageDown, 95, 0, 0, 100},  {TScrollCode::scPageDown, 85, 0, 20, 81},
      {TScrollCode::scPageUp, 5, 0, 0, 0},       {TScrollCode::scTrack, 0, 50, 0, 50},
      {TScrollCode::scPosition, 0, 99, 20, 81},  {TScrollCode::scBottom, 0, 0, 11, 90},
      {TScrollCode::scTop, 40, 0, 0, 0},         {TScrollCode::scEndScroll, 33, 70, 0, 33},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScrollTarget(c.code, c.pos, c.thumb, 0, 100, c.page, 1, 10), c.expected) << static_cast<int>(c.code);
}

TEST(ScrollBar, PositionIsClampedAndChangesAreReported) {
  Owned<TScrollBar> sb{new TScrollBar(nullptr)};
  int changes = 0;
  sb->OnChange = [&](TObject*) { ++changes; };
  sb->SetParams(500, 0, 200);
  EXPECT_EQ(sb->Position(), 200);
  EXPECT_EQ(changes, 1);
  sb->SetPageSize(50);  // the last position at which a whole page fits
  EXPECT_EQ(sb->Position(), 151);
  EXPECT_EQ(changes, 2);
  sb->SetPosition(151);
  EXPECT_EQ(changes, 2);
  EXPECT_THROW(sb->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_THROW(sb->SetPageSize(500), EInvalidOperation);
  EXPECT_EQ(sb->Min(), 0);
  EXPECT_EQ(sb->Max(), 200);

  // The user's scrolling goes through OnScroll, which may change the target.
  sb->SetLargeChange(20);
  sb->OnScroll = [](TObject*, TScrollCode code, int& pos) {
    if (code == TScrollCode::scPageUp) pos = 7;
  };
  sb->Scroll(TScrollCode::scPageUp);
  EXPECT_EQ(sb->Position(), 7);
  sb->Scroll(TScrollCode::scLineDown);
  EXPECT_EQ(sb->Position(), 8);
  EXPECT_EQ(changes, 4);
}

TEST(ScrollBox, ChildrenBeyondTheClientAreaScrollIntoView) {
  Owned<TScrollBox> box{new TScrollBox(nullptr)};
  box->SetBorderStyle(TBorderStyle::bsNone);
  box->SetBounds(0, 0, 200, 100);
  auto* upper = new TPanel(box.p);
  upper->SetParent(box.p);
  upper->SetBounds(10, 10, 50, 50);
  auto* lower = new TPanel(box.p);
  lower->SetParent(box.p);
  lower->SetBounds(10, 300, 50, 40);
  box->UpdateScrollBars();
  EXPECT_EQ(box->VertScrollBar().Range(), 340);
  EXPECT_TRUE(box->VertScrollBar().IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar().IsScrollBarVisible());
  EXPECT_EQ(box->ClientRect().Width(), 200 - 17);  // the vertical bar takes its width

  box->ScrollInView(lower);
  EXPECT_EQ(box->VertScrollBar().Position(), 240);
  EXPECT_EQ(lower->Top(), 60);
  EXPECT_EQ(upper->Top(), 10 - 240);
  // The position never goes past the last page; the range stays that of the content.
  box->VertScrollBar().SetPosition(1000);
  EXPECT_EQ(box->VertScrollBar().Position(), 240);
  box->UpdateScrollBars();
  EXPECT_EQ(box->VertScrollBar().Range(), 340);
  box->VertScrollBar().SetPosition(0);
  EXPECT_EQ(upper->Top(), 10);
  EXPECT_EQ(lower->Top(), 300);
  // Growing the box until everything fits takes the bar away and scrolls back.
  box->VertScrollBar().SetPosition(100);
  box->SetBounds(0, 0, 200, 400);
  EXPECT_FALSE(box->VertScrollBar().IsScrollBarVisible());
  EXPECT_EQ(upper->Top(), 10);
}

TEST(StringGrid, CellStoreFollowsTheGridsShape) {
  Owned<TStringGrid> g{new TStringGrid(nullptr)};
  g->SetColCount(3);
  g->SetRowCount(3);
  g->SetCells(0, 0, "A");
  g->SetCells(2, 2, "lower");
  g->SetRows(1, {"x", "y", "z", "dropped"});
  EXPECT_EQ(g->Rows(1), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(g->Cols(2), (std::vector<std::string>{"", "z", "lower"}));
  EXPECT_EQ(g->Cells(5, 5), "");
  EXPECT_THROW(g->SetCells(3, 0, "no"), EInvalidOperation);
  g->SetColCount(2);
  g->SetColCount(3);
  EXPECT_EQ(g->Cells(2, 2), "");  // it was outside the grid meanwhile
  EXPECT_EQ(g->Cells(0, 0), "A");
  EXPECT_EQ(g->Cells(1, 1), "y");
  EXPECT_THROW(g->SetFixedRows(3), EInvalidOperation);
  // The fixed colour is published (the skin sets it by name); a tree view has none.
  SetOrdProp(g.p, "FixedColor", clRed);
  EXPECT_EQ(g->FixedColor(), clRed);
  Owned<TTreeView> tv{new TTreeView(nullptr)};
  EXPECT_FALSE(IsPublishedProp(tv.p, "FixedColor"));
}

TEST(StringGrid, CurrentCellSelectionAndScrolling) {
  Owned<TStringGrid> g{new TStringGrid(nullptr)};
  g->SetBorderStyle(TBorderStyle::bsSingle);
  g->SetColCount(10);
  g->SetRowCount(50);
  g->SetDefaultColWidth(40);
  g->SetDefaultRowHeight(20);
  // The fixed row and column and 5 rows, 3 columns besides, within the border and the scroll bars.
  g->SetBounds(0, 0, 41 * 4 + 4 + 17, 21 * 6 + 4 + 17);
  EXPECT_EQ(g->VisibleRowCount(), 5);
  EXPECT_EQ(g->VisibleColCount(), 3);
  std::vector<std::pair<int, int>> refused;
  g->OnSelectCell = [&](TObject*, int c, int r, bool& can) {
    if (c == 4 && r == 4) {
      can = false;
      refused.emplace_back(c, r);
    }
  };
  EXPECT_FALSE(g->MoveCurrent(0, 3));  // fixed column
  EXPECT_FALSE(g->MoveCurrent(4, 4));
  EXPECT_EQ(refused.size(), 1u);
  EXPECT_TRUE(g->MoveCurrent(2, 3));
  EXPECT_TRUE(g->MoveCurrent(3, 5, /*extend=*/true));
  EXPECT_EQ(g->Selection(), (TGridRect{2, 3, 3, 5}));
  // Moving below the last visible row scrolls so that it becomes the last one shown.
  int topLeftChanges = 0;
  g->OnTopLeftChanged = [&](TObject*) { ++topLeftChanges; };
  EXPECT_TRUE(g->MoveCurrent(3, 12));
  EXPECT_EQ(g->Selection(), (TGridRect{3, 12, 3, 12}));
  EXPECT_EQ(g->TopRow(), 8);
  EXPECT_EQ(topLeftChanges, 1);
  // The cell rectangles and the mouse agree, fixed cells included; scrolled-out cells have none.
  for (auto [c, r] : std::vector<std::pair<int, int>>{{0, 0}, {1, 8}, {3, 12}, {0, 10}}) {
    const TRect rc = g->CellRect(c, r);
    ASSERT_FALSE(rc.IsEmpty()) << c << "," << r;
    EXPECT_EQ(g->MouseCoord(rc.Left + 1, rc.Top + 1), (TGridCoord{c, r}));
  }
  EXPECT_TRUE(g->CellRect(1, 7).IsEmpty());
  EXPECT_TRUE(g->CellRect(1, 13).IsEmpty());
  // Scrolling stops at the last full page.
  g->SetTopRow(1000);
  EXPECT_EQ(g->TopRow(), 45);
  g->SetLeftCol(1000);
  EXPECT_EQ(g->LeftCol(), 7);
  // A click in a cell makes it current; a click in the fixed row does not.
  SendLButtonClick(*g, g->CellRect(8, 46).Left + 2, g->CellRect(8, 46).Top + 2);
  EXPECT_EQ(g->Col(), 8);
  EXPECT_EQ(g->Row(), 46);
  SendLButtonClick(*g, 50, 5);
  EXPECT_EQ(g->Row(), 46);
  // Keys: arrows and page keys move the current cell, clamped to the grid.
  g->Perform(WM_KEYDOWN, 0x22 /*Next*/);
  EXPECT_EQ(g->Row(), 49);
  g->Perform(WM_KEYDOWN, 0x24 /*Home*/);
  EXPECT_EQ(g->Col(), 1);
  EXPECT_EQ(g->LeftCol(), 1);
}

TEST(TreeView, NodesFormATreeInDepthFirstOrder) {
  Owned<TTreeView> tv{new TTreeView(nullptr)};
  TTreeNodes& items = tv->Items();
  TTreeNode* a = items.Add(nullptr, "a");
  TTreeNode* c = items.Add(a, "c");
  TTreeNode* b = items.Insert(c, "b");
  TTreeNode* a2 = items.AddChild(a, "a2");
  TTreeNode* a1 = items.AddChildFirst(a, "a1");
  TTreeNode* a11 = items.AddChild(a1, "a11");
  std::vector<std::string> order;
  for (TTreeNode* n = items.GetFirstNode(); n; n = n->GetNext()) order.push_back(n->Text());
  EXPECT_EQ(order, (std::vector<std::string>{"a", "a1", "a11", "a2", "b", "c"}));
  EXPECT_EQ(items.Count(), 6);
  EXPECT_EQ(items[3], a2);
  EXPECT_EQ(a11->Level(), 2);
  EXPECT_EQ(a2->Index(), 1);
  EXPECT_EQ(b->AbsoluteIndex(), 4);
  EXPECT_EQ(a2->GetPrevSibling(), a1);
  EXPECT_TRUE(a11->HasAsParent(a));
  EXPECT_FALSE(b->HasAsParent(a));
  EXPECT_THROW(items.Item(6), EInvalidOperation);
  // Only expanded branches show.
  EXPECT_EQ(tv->VisibleNodes(), (std::vector<TTreeNode*>{a, b, c}));
  a->Expand(false);
  EXPECT_EQ(tv->VisibleNodes(), (std::vector<TTreeNode*>{a, a1, a2, b, c}));
  EXPECT_FALSE(a11->IsVisible());
  c->Expand(false);  // nothing to expand
  EXPECT_FALSE(c->Expanded());
}

TEST(TreeView, ExpandingCollapsingAndTheSelection) {
  Owned<TTreeView> tv{new TTreeView(nullptr)};
  TTreeNodes& items = tv->Items();
  TTreeNode* a = items.Add(nullptr, "a");
  TTreeNode* a1 = items.AddChild(a, "a1");
  TTreeNode* a2 = items.AddChild(a, "a2");
  TTreeNode* a3 = items.AddChild(a, "a3");
  TTreeNode* b = items.Add(nullptr, "b");
  std::vector<std::string> log;
  tv->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + (n ? n->Text() : std::string("-"))); };
  tv->OnCollapsing = [&](TObject*, TTreeNode* n, bool& allow) { allow = n != b; };
  tv->OnExpanded = [&](TObject*, TTreeNode* n) { log.push_back("expanded " + n->Text()); };

  a2->SetSelected(true);  // a hidden node: its branch opens
  EXPECT_TRUE(a->Expanded());
  a->Collapse(false);  // the selection leaves the closed branch for its root
  EXPECT_EQ(tv->Selected(), a);
  a->Expand(false);
  items.AddChild(b, "b1");
  b->Expand(false);
  b->Collapse(false);  // refused
  EXPECT_TRUE(b->Expanded());
  EXPECT_EQ(log, (std::vector<std::string>{"expanded a", "change a2", "change a", "expanded a", "expanded b"}));

  // Deleting the selection: the next sibling, else the previous one, else the parent.
  log.clear();
  tv->SetSelected(a2);
  a2->Delete();
  EXPECT_EQ(tv->Selected(), a3);
  a3->Delete();
  EXPECT_EQ(tv->Selected(), a1);
  a1->Delete();
  EXPECT_EQ(tv->Selected(), a);
  EXPECT_FALSE(a->Expanded());
  EXPECT_EQ(log, (std::vector<std::string>{"change a2", "change a3", "change a1", "change a"}));
  items.Clear();
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_EQ(items.Count(), 0);
}

TEST(TreeView, TopItemScrollsWithTheSelection) {
  Owned<TTreeView> tv{new TTreeView(nullptr)};
  tv->SetBorderStyle(TBorderStyle::bsNone);
  tv->SetItemHeight(10);
  tv->SetBounds(0, 0, 100, 40);  // four rows
  std::vector<TTreeNode*> nodes;
  for (int i = 0; i < 10; ++i) nodes.push_back(tv->Items().Add(nullptr, Named("n", i)));
  EXPECT_EQ(tv->VisibleCount(), 4);
  tv->SetSelected(nodes[7]);
  EXPECT_EQ(tv->TopItem(), nodes[4]);
  tv->SetTopItem(nodes[9]);  // no further than the last page
  EXPECT_EQ(tv->TopItem(), nodes[6]);
  EXPECT_EQ(tv->GetNodeAt(5, 15), nodes[7]);
  SendLButtonClick(*tv, 5, 35);
  EXPECT_EQ(tv->Selected(), nodes[9]);
}

TEST(PageControl, ActivePageRules) {
  Owned<TPageControl> pc{new TPageControl(nullptr)};
  pc->SetBounds(0, 0, 300, 200);
  std::vector<TTabSheet*> p;
  for (const char* caption : {"One", "Two", "Three", "Four"}) {
    auto* sheet = new TTabSheet(pc.p);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pc.p);
    p.push_back(sheet);
  }
  EXPECT_EQ(pc->ActivePage(), p[0]);  // the first page with a tab
  EXPECT_TRUE(p[0]->Visible());
  EXPECT_FALSE(p[1]->Visible());
  EXPECT_EQ(p[0]->BoundsRect(), pc->DisplayRect());
  int changes = 0;
  bool allow = false;
  pc->OnChange = [&](TObject*) { ++changes; };
  pc->OnChanging = [&](TObject*, bool& a) { a = allow; };
  pc->SetActivePage(p[2]);  // from code: no events
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(pc->ClickTab(1));  // refused
  EXPECT_EQ(pc->ActivePage(), p[2]);
  allow = true;
  EXPECT_TRUE(pc->ClickTab(1));
  EXPECT_EQ(pc->ActivePage(), p[1]);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(p[2]->Visible());

  // Hidden tabs are not counted; hiding the active one moves on to the next with a tab.
  p[2]->SetTabVisible(false);
  EXPECT_EQ(pc->TabCount(), 3);
  EXPECT_EQ(p[3]->TabIndex(), 2);
  EXPECT_EQ(p[2]->TabIndex(), -1);
  pc->SetActivePage(p[1]);
  p[1]->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), p[3]);
  EXPECT_EQ(pc->TabIndex(), 1);
  // Removing the last page activates the first; the page left its control.
  Free(p[3]);
  EXPECT_EQ(pc->ActivePage(), p[0]);
  EXPECT_EQ(pc->PageCount(), 3);
  p[0]->SetPageIndex(2);
  EXPECT_EQ(pc->Pages(2), p[0]);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  // A page of another control cannot be made active here.
  Owned<TPageControl> other{new TPageControl(nullptr)};
  auto* foreign = new TTabSheet(other.p);
  foreign->SetPageControl(other.p);
  EXPECT_THROW(pc->SetActivePage(foreign), EInvalidOperation);
  foreign->SetPageControl(pc.p);
  EXPECT_EQ(other->ActivePage(), nullptr);
  EXPECT_EQ(foreign->PageIndex(), 3);
}

TEST(PageControl, TabsLieAlongTheirSide) {
  Owned<TPageControl> pc{new TPageControl(nullptr)};
  pc->SetBounds(0, 0, 300, 200);
  for (const char* caption : {"Ab", "Cdef"}) {
    auto* sheet = new TTabSheet(pc.p);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pc.p);
  }
  const TRect t0 = pc->TabRect(0), t1 = pc->TabRect(1);
  EXPECT_EQ(t0.Right, t1.Left);
  EXPECT_GT(t1.Width(), t0.Width());
  EXPECT_EQ(pc->IndexOfTabAt(t1.Left + 1, t1.Top + 1), 1);
  EXPECT_LE(t0.Bottom, pc->DisplayRect().Top);
  pc->SetTabPosition(TTabPosition::tpBottom);
  EXPECT_GE(pc->TabRect(0).Top, pc->DisplayRect().Bottom);
  EXPECT_EQ(pc->Pages(0)->BoundsRect(), pc->DisplayRect());
  EXPECT_TRUE(pc->TabRect(2).IsEmpty());
}

TEST(StatusBar, PanelsFollowEachOtherAndTheLastReachesTheEdge) {
  Owned<TStatusBar> sb{new TStatusBar(nullptr)};
  sb->SetBounds(0, 0, 400, 19);
  sb->Panels().Add()->SetWidth(100);
  sb->Panels().Add()->SetWidth(50);
  TStatusPanel* last = sb->Panels().Add();
  last->SetText("ready");
  EXPECT_EQ(sb->PanelRect(0).Right, 100);
  EXPECT_EQ(sb->PanelRect(1).Left, 100);
  EXPECT_EQ(sb->PanelRect(1).Right, 150);
  EXPECT_EQ(sb->PanelRect(2).Right, 400);
  EXPECT_EQ(last->Index(), 2);
  sb->Panels().Delete(0);
  EXPECT_EQ(last->Index(), 1);
  EXPECT_EQ(sb->PanelRect(1).Left, 50);
  EXPECT_THROW(sb->Panels().Delete(5), EInvalidOperation);
  sb->SetSimplePanel(true);
  EXPECT_EQ(sb->PanelRect(0).Width(), 400);
  EXPECT_TRUE(sb->PanelRect(1).IsEmpty());
}

TEST(ToolBar, ButtonsInARowAndCheckGroups) {
  Owned<TForm> form{new TForm(nullptr)};
  auto* bar = new TToolBar(form.p);
  bar->SetParent(form.p);
  std::vector<TToolButton*> b;
  for (auto style : {TToolButtonStyle::tbsButton, TToolButtonStyle::tbsSeparator, TToolButtonStyle::tbsCheck,
                     TToolButtonStyle::tbsCheck, TToolButtonStyle::tbsCheck}) {
    auto* t = new TToolButton(form.p);
    t->SetStyle(style);
    t->SetParent(bar);
    b.push_back(t);
  }
  b[2]->SetGrouped(true);
  b[3]->SetGrouped(true);
  EXPECT_EQ(bar->ButtonCount(), 5);
  EXPECT_EQ(b[1]->Left(), 23);
  EXPECT_EQ(b[2]->Left(), 31);
  EXPECT_EQ(bar->ButtonAt(32, 5), b[2]);
  EXPECT_EQ(b[4]->Index(), 4);
  b[2]->Click();
  b[3]->Click();  // the group keeps one down
  EXPECT_FALSE(b[2]->Down());
  EXPECT_TRUE(b[3]->Down());
  b[3]->Click();  // ... and no fewer, unless AllowAllUp
  EXPECT_TRUE(b[3]->Down());
  b[4]->Click();  // not grouped: a plain toggle, the group untouched
  b[4]->Click();
  EXPECT_FALSE(b[4]->Down());
  EXPECT_TRUE(b[3]->Down());
  Free(b[0]);
  EXPECT_EQ(b[2]->Index(), 1);
  EXPECT_EQ(b[2]->Left(), 8);
}

struct MdiFixture : ::testing::Test {
  Owned<TForm> frame{new TForm(nullptr)};
  MdiFixture() {
    frame->SetFormStyle(TFormStyle::fsMDIForm);
    frame->SetBounds(0, 0, 600, 400);
  }
  TForm* Child(const std::string& caption) {
    auto* f = new TForm(nullptr);
    f->SetCaption(caption);
    f->SetFormStyle(TFormStyle::fsMDIChild);
    f->Show();
    return f;
  }
};

TEST_F(MdiFixture, ChildrenTheirOrderAndArrangement) {
  TForm* a = Child("a");
  TForm* b = Child("b");
  TForm* c = Child("c");
  EXPECT_EQ(frame->MDIChildCount(), 3);
  EXPECT_EQ(frame->MDIChildren(0), c);
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_EQ(a->MDIParent(), frame.p);
  frame->Next();
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  frame->Previous();
  EXPECT_EQ(frame->ActiveMDIChild(), c);

  // The layer's own arrangement (with a client window the system arranges; the Wine test covers that).
  if (!frame->ClientHandle()) {
    auto* toolbar = new TPanel(frame.p);
    toolbar->SetParent(frame.p);
    toolbar->SetHeight(40);
    toolbar->SetAlign(TAlign::alTop);
    const TRect area = frame->AlignedRemainder();
    EXPECT_EQ(area.Top, 40);
    frame->SetTileMode(TTileMode::tbVertical);
    frame->Tile();
    EXPECT_EQ(c->BoundsRect(), (TRect{0, 0, area.Width() / 3, area.Height()}));
    EXPECT_EQ(a->Left() + a->Width(), area.Width());
    frame->SetTileMode(TTileMode::tbHorizontal);
    frame->Tile();
    EXPECT_EQ(b->Top(), area.Height() / 3);
    EXPECT_EQ(a->Width(), area.Width());
    frame->Cascade();
    EXPECT_EQ(a->Left() + a->Top(), 0);
    EXPECT_EQ(c->Left(), 48);
    EXPECT_EQ(c->Top(), 48);
  }

  // Closing: minimized by default, freed when asked; an MDI child cannot be hidden.
  EXPECT_THROW(b->Hide(), EInvalidOperation);
  b->Close();
  EXPECT_EQ(b->WindowState(), TWindowState::wsMinimized);
  c->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
  c->Close();
  Application->ProcessMessages();
  EXPECT_EQ(frame->MDIChildCount(), 2);
  if (!frame->ClientHandle()) {
    EXPECT_EQ(frame->ActiveMDIChild(), b);  // the top one left (with a window, the system picks)
  }
  Free(a);
  Free(b);
  EXPECT_EQ(frame->MDIChildCount(), 0);
}

TEST(Mdi, AChildNeedsAnMdiForm) {
  Owned<TForm> f{new TForm(nullptr)};
  EXPECT_THROW(f->SetFormStyle(TFormStyle::fsMDIChild), EInvalidOperation);
  EXPECT_EQ(f->FormStyle(), TFormStyle::fsNormal);
  EXPECT_EQ(f->ClientHandle(), nullptr);
}

}  // namespace
