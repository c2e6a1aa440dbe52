#include "gui/pagectrl.h"

#include <algorithm>

#include "gui/imglist.h"

namespace gui {

// ============================== TTabSheet ==============================

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks;
  visible_ = false;
  align_ = TAlign::alNone;
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "TTabSheet";
  p.OwnClass = true;
}

void TTabSheet::WndProc(TMessage& m) {
  TWinControl::WndProc(m);
  if (m.Msg == CM_TEXTCHANGED && pageControl_) pageControl_->PageTabChanged(this);
}

void TTabSheet::SetPageControl(TPageControl* pc) {
  if (pc == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (pc) pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& v = pageControl_->pages_;
  return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TTabSheet::SetPageIndex(int i) {
  if (pageControl_) pageControl_->MovePage(this, i);
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int n = 0;
  for (TTabSheet* p : pageControl_->pages_) {
    if (p == this) return n;
    if (p->tabVisible_) ++n;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (pageControl_) pageControl_->PageTabChanged(this);
}

void TTabSheet::SetImageIndex(int i) {
  imageIndex_ = i;
  if (pageControl_) pageControl_->PageTabChanged(this);
}

// ============================== TPageControl ==============================

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csDoubleClicks;
  tabStop_ = true;
  width_ = 289;
  height_ = 193;
}

TPageControl::~TPageControl() {
  destroying_ = true;
  const std::vector<TTabSheet*> pages = pages_;
  for (TTabSheet* p : pages) p->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

void TPageControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "SysTabControl32";
  p.OwnClass = false;
  p.Style |= 0x02000000;  // WS_CLIPCHILDREN
  switch (tabPosition_) {
    case TTabPosition::tpTop: break;
    case TTabPosition::tpBottom: p.Style |= 0x0002; break;           // TCS_BOTTOM
    case TTabPosition::tpLeft: p.Style |= 0x0080 | 0x0200; break;    // TCS_VERTICAL | TCS_MULTILINE
    case TTabPosition::tpRight: p.Style |= 0x0080 | 0x0002 | 0x0200; break;  // ... | TCS_RIGHT
  }
  if (style_ == TTabStyle::tsButtons) p.Style |= 0x0100;                 // TCS_BUTTONS
  if (style_ == TTabStyle::tsFlatButtons) p.Style |= 0x0100 | 0x0008;    // TCS_BUTTONS | TCS_FLATBUTTONS
  if (multiLine_) p.Style |= 0x0200;                                     // TCS_MULTILINE
  if (ownerDraw_) p.Style |= 0x2000;                                     // TCS_OWNERDRAWFIXED
  if (tabWidth_ > 0) p.Style |= 0x0400;                                  // TCS_FIXEDWIDTH
}

void TPageControl::InitializeWindow() {
  TabsToWindow();
  SelectionToWindow();
  PlacePages();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == static_cast<TComponent*>(images_)) {
    images_ = nullptr;
    TabsToWindow();
  }
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  page->SetParent(this);
  page->SetBoundsRect(DisplayRect());
  TabsToWindow();
  if (!activePage_ && page->tabVisible_)
    SetActivePage(page);
  else
    SelectionToWindow();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TTabSheet* next = nullptr;
  if (page == activePage_ && !destroying_) {
    next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
  }
  pages_.erase(it);
  page->pageControl_ = nullptr;
  if (page == activePage_) {
    activePage_ = nullptr;
    page->SetVisible(false);
  }
  if (!destroying_ && page->Parent() == this) page->SetParent(nullptr);
  if (destroying_) return;
  TabsToWindow();
  if (next) SetActivePage(next);
  else SelectionToWindow();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, static_cast<int>(pages_.size()));
  pages_.insert(pages_.begin() + index, page);
  TabsToWindow();
  SelectionToWindow();
}

void TPageControl::PageTabChanged(TTabSheet* page) {
  TabsToWindow();
  if (page == activePage_ && !page->tabVisible_) {
    TTabSheet* next = FindNextPage(page, true, true);
    SetActivePage(next && next != page ? next : nullptr);
    return;
  }
  if (!activePage_ && page->tabVisible_) {
    SetActivePage(page);
    return;
  }
  SelectionToWindow();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  const int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start = it == pages_.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TTabSheet* p = pages_[static_cast<size_t>(i)];
    if (!checkTabVisible || p->tabVisible_) return p;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* p = FindNextPage(activePage_, goForward, checkTabVisible);
  if (p && p != activePage_ && p->tabVisible_) ClickTab(p->TabIndex());
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) throw EInvalidOperation("The page belongs to another page control");
  if (page == activePage_) return;
  TTabSheet* old = activePage_;
  activePage_ = page;
  ShowActivePage();
  if (old && old->OnHide) old->OnHide(old);
  if (page && page->OnShow) page->OnShow(page);
  SelectionToWindow();
}

void TPageControl::ShowActivePage() {
  if (activePage_) {
    activePage_->SetBoundsRect(DisplayRect());
    activePage_->SetVisible(true);
    activePage_->BringToFront();
  }
  for (TTabSheet* p : pages_)
    if (p != activePage_) p->SetVisible(false);
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int i) {
  SetActivePage(i >= 0 && i < PageCount() ? pages_[static_cast<size_t>(i)] : nullptr);
}

int TPageControl::TabCount() const {
  return static_cast<int>(std::count_if(pages_.begin(), pages_.end(), [](TTabSheet* p) { return p->tabVisible_; }));
}

TTabSheet* TPageControl::TabPage(int tabIndex) const {
  int n = 0;
  for (TTabSheet* p : pages_) {
    if (!p->tabVisible_) continue;
    if (n == tabIndex) return p;
    ++n;
  }
  return nullptr;
}

int TPageControl::TabIndex() const { return activePage_ ? activePage_->TabIndex() : -1; }

void TPageControl::SetTabIndex(int i) {
  if (TTabSheet* p = TabPage(i)) SetActivePage(p);
}

bool TPageControl::ClickTab(int tabIndex) {
  TTabSheet* p = TabPage(tabIndex);
  if (!p || p == activePage_) return p != nullptr;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) {
    SelectionToWindow();
    return false;
  }
  SetActivePage(p);
  if (OnChange) OnChange(this);
  return true;
}

void TPageControl::SetTabPosition(TTabPosition p) {
  if (p == tabPosition_) return;
  tabPosition_ = p;
  RecreateWnd();
  PlacePages();
}

void TPageControl::SetStyle(TTabStyle s) {
  if (s == style_) return;
  style_ = s;
  RecreateWnd();
  PlacePages();
}

void TPageControl::SetMultiLine(bool v) {
  if (v == multiLine_) return;
  multiLine_ = v;
  RecreateWnd();
  PlacePages();
}

void TPageControl::SetOwnerDraw(bool v) {
  if (v == ownerDraw_) return;
  ownerDraw_ = v;
  RecreateWnd();
}

void TPageControl::SetImages(TCustomImageList* list) {
  if (list == images_) return;
  images_ = list;
  if (list) FreeNotification(list);
  TabsToWindow();
}

void TPageControl::SetTabHeight(int h) {
  tabHeight_ = std::max(h, 0);
  TabsToWindow();
  PlacePages();
}

void TPageControl::SetTabWidth(int w) {
  if (std::max(w, 0) == tabWidth_) return;
  tabWidth_ = std::max(w, 0);
  RecreateWnd();
  PlacePages();
}

void TPageControl::BoundsChanged(bool sizeChanged) {
  TWinControl::BoundsChanged(sizeChanged);
  if (sizeChanged) PlacePages();
}

void TPageControl::PlacePages() {
  const TRect r = DisplayRect();
  for (TTabSheet* p : pages_) p->SetBoundsRect(r);
}

// Without a window the tabs lie in one row along their side, each as wide as TabWidth or its caption
// (an average character width of 6 pixels and 6 of margin on each side), TabHeight (20 by default) deep.
TRect TPageControl::TabRect(int tabIndex) const {
  if (tabIndex < 0 || tabIndex >= TabCount()) return TRect{};
  TRect r;
  if (WindowTabRect(tabIndex, r)) return r;
  const int depth = tabHeight_ > 0 ? tabHeight_ : 20;
  int pos = 2;
  for (int i = 0; i <= tabIndex; ++i) {
    const TTabSheet* p = TabPage(i);
    const int extent = tabWidth_ > 0 ? tabWidth_ : static_cast<int>(p->Caption().size()) * 6 + 12;
    if (i == tabIndex) {
      switch (tabPosition_) {
        case TTabPosition::tpTop: return TRect{pos, 2, pos + extent, 2 + depth};
        case TTabPosition::tpBottom: return TRect{pos, height_ - 2 - depth, pos + extent, height_ - 2};
        case TTabPosition::tpLeft: return TRect{2, pos, 2 + depth, pos + extent};
        case TTabPosition::tpRight: return TRect{width_ - 2 - depth, pos, width_ - 2, pos + extent};
      }
    }
    pos += extent;
  }
  return TRect{};
}

int TPageControl::IndexOfTabAt(int x, int y) const {
  for (int i = 0; i < TabCount(); ++i)
    if (TabRect(i).Contains(TPoint{x, y})) return i;
  return -1;
}

TRect TPageControl::DisplayRect() const {
  TRect r;
  if (WindowDisplayRect(r)) return r;
  r = TRect{4, 4, std::max(width_ - 4, 4), std::max(height_ - 4, 4)};
  if (TabCount() == 0) return r;
  const int depth = (tabHeight_ > 0 ? tabHeight_ : 20) * RowCount();
  switch (tabPosition_) {
    case TTabPosition::tpTop: r.Top += depth; break;
    case TTabPosition::tpBottom: r.Bottom -= depth; break;
    case TTabPosition::tpLeft: r.Left += depth; break;
    case TTabPosition::tpRight: r.Right -= depth; break;
  }
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

int TPageControl::RowCount() const {
  const int rows = WindowRowCount();
  return rows > 0 ? rows : (TabCount() > 0 ? 1 : 0);
}

}  // namespace gui
