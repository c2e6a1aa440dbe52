#include "gui/treeview.h"

#include <algorithm>

#include "gui/imglist.h"

namespace gui {

// ============================== TTreeNode ==============================

TTreeNode::~TTreeNode() = default;

std::vector<std::unique_ptr<TTreeNode>>& TTreeNode::Siblings() const {
  return parent_ ? parent_->children_ : owner_->roots_;
}

int TTreeNode::Index() const {
  const auto& s = Siblings();
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::Level() const {
  int n = 0;
  for (const TTreeNode* p = parent_; p; p = p->parent_) ++n;
  return n;
}

int TTreeNode::AbsoluteIndex() const {
  int i = 0;
  for (TTreeNode* n = owner_->GetFirstNode(); n; n = n->GetNext(), ++i)
    if (n == this) return i;
  return -1;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& s = Siblings();
  const int i = Index();
  return i + 1 < static_cast<int>(s.size()) ? s[static_cast<size_t>(i) + 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int i = Index();
  return i > 0 ? Siblings()[static_cast<size_t>(i) - 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front().get();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (expanded_ && !children_.empty()) return children_.front().get();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  TTreeNode* p = GetPrevSibling();
  if (!p) return parent_;
  while (p->expanded_ && !p->children_.empty()) p = p->children_.back().get();
  return p;
}

bool TTreeNode::HasAsParent(const TTreeNode* ancestor) const {
  for (const TTreeNode* p = parent_; p; p = p->parent_)
    if (p == ancestor) return true;
  return false;
}

bool TTreeNode::IsVisible() const {
  for (const TTreeNode* p = parent_; p; p = p->parent_)
    if (!p->expanded_) return false;
  return true;
}

void TTreeNode::SetText(const std::string& s) {
  text_ = s;
  owner_->owner_->ItemToWindow(this);
}

void TTreeNode::SetImageIndex(int i) {
  imageIndex_ = i;
  owner_->owner_->ItemToWindow(this);
}

void TTreeNode::SetSelectedIndex(int i) {
  selectedIndex_ = i;
  owner_->owner_->ItemToWindow(this);
}

void TTreeNode::SetExpanded(bool v) { owner_->owner_->ChangeExpanded(this, v); }

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (auto& c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  if (recurse)
    for (auto& c : children_) c->Collapse(true);
  SetExpanded(false);
}

bool TTreeNode::Selected() const { return owner_->owner_->selected_ == this; }

void TTreeNode::SetSelected(bool v) {
  TTreeView* tv = owner_->owner_;
  if (v)
    tv->SetSelected(this);
  else if (tv->selected_ == this)
    tv->SetSelected(nullptr);
}

void TTreeNode::MakeVisible() {
  std::vector<TTreeNode*> chain;
  for (TTreeNode* p = parent_; p; p = p->parent_) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->SetExpanded(true);
}

void TTreeNode::Delete() { owner_->Delete(this); }

// ============================== TTreeNodes ==============================

TTreeNodes::~TTreeNodes() = default;

int TTreeNodes::Count() const {
  int n = 0;
  for (TTreeNode* p = GetFirstNode(); p; p = p->GetNext()) ++n;
  return n;
}

TTreeNode* TTreeNodes::Item(int i) const {
  if (i < 0) throw EInvalidOperation("List index out of bounds");
  for (TTreeNode* p = GetFirstNode(); p; p = p->GetNext(), --i)
    if (i == 0) return p;
  throw EInvalidOperation("List index out of bounds");
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* parent, size_t pos, const std::string& text) {
  auto& list = parent ? parent->children_ : roots_;
  pos = std::min(pos, list.size());
  auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this, parent, text));
  TTreeNode* raw = node.get();
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), std::move(node));
  if (updateCount_ == 0) owner_->InsertItem(raw);
  return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return InsertAt(parent, parent ? parent->children_.size() : roots_.size(), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
  return InsertAt(sibling ? sibling->parent_ : nullptr, 0, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (!sibling) return InsertAt(nullptr, roots_.size(), text);
  return InsertAt(sibling->parent_, static_cast<size_t>(sibling->Index()), text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  return InsertAt(parent, parent ? parent->children_.size() : roots_.size(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) { return InsertAt(parent, 0, text); }

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this) return;
  owner_->NodeDeleting(node);
  auto& list = node->Siblings();
  TTreeNode* parent = node->parent_;
  const int i = node->Index();
  list.erase(list.begin() + i);
  if (parent && parent->children_.empty()) parent->expanded_ = false;
  owner_->ClampTop();
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!roots_.empty()) Delete(roots_.back().get());
  EndUpdate();
}

void TTreeNodes::BeginUpdate() { ++updateCount_; }

void TTreeNodes::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) owner_->ReloadWindow();
}

// ============================== TTreeView ==============================

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks;
  tabStop_ = true;
  color_ = clWindow;
  parentColor_ = false;
  width_ = 121;
  height_ = 97;
}

TTreeView::~TTreeView() {
  syncing_ = true;
  selected_ = nullptr;
}

void TTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "SysTreeView32";
  p.OwnClass = false;
  if (showButtons_) p.Style |= 0x0001;   // TVS_HASBUTTONS
  if (showLines_) p.Style |= 0x0002;     // TVS_HASLINES
  if (showRoot_) p.Style |= 0x0004;      // TVS_LINESATROOT
  if (!readOnly_) p.Style |= 0x0008;     // TVS_EDITLABELS
  if (!hideSelection_) p.Style |= 0x0020;  // TVS_SHOWSELALWAYS
  if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= 0x00000200;  // WS_EX_CLIENTEDGE
}

void TTreeView::InitializeWindow() {
  ReloadWindow();
  ColorsToWindow();
}

void TTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == static_cast<TComponent*>(images_)) SetImages(nullptr);
}

void TTreeView::WndProc(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN && !HandleAllocated()) {
    // Headless: a click selects the node under it.
    const int x = static_cast<short>(LOWORD(static_cast<uintptr_t>(m.LParam)));
    const int y = static_cast<short>(HIWORD(static_cast<uintptr_t>(m.LParam)));
    if (TTreeNode* n = GetNodeAt(x, y)) SetSelected(n);
  }
  TWinControl::WndProc(m);
  if ((m.Msg == CM_COLORCHANGED || m.Msg == CM_FONTCHANGED) && HandleAllocated()) ColorsToWindow();
}

void TTreeView::SetSelected(TTreeNode* node) {
  if (node && node->owner_ != &items_) return;
  if (node) node->MakeVisible();
  if (node == selected_) return;
  selected_ = node;
  SelectionToWindow();
  if (node) {
    // Into view.
    const auto vis = VisibleNodes();
    const int i = static_cast<int>(std::find(vis.begin(), vis.end(), node) - vis.begin());
    if (!HandleAllocated()) {
      if (i < top_) top_ = i;
      else if (i >= top_ + VisibleCount()) top_ = i - VisibleCount() + 1;
      ClampTop();
    }
  }
  if (OnChange) OnChange(this, node);
}

bool TTreeView::ChangeExpanded(TTreeNode* node, bool expand) {
  if (expand == node->expanded_) return false;
  if (expand && node->children_.empty()) return false;
  bool allow = true;
  if (expand && OnExpanding) OnExpanding(this, node, allow);
  if (!expand && OnCollapsing) OnCollapsing(this, node, allow);
  if (!allow) return false;
  node->expanded_ = expand;
  ExpandedToWindow(node);
  if (!expand && selected_ && selected_->HasAsParent(node)) SetSelected(node);
  ClampTop();
  if (expand && OnExpanded) OnExpanded(this, node);
  if (!expand && OnCollapsed) OnCollapsed(this, node);
  return true;
}

void TTreeView::NodeDeleting(TTreeNode* node) {
  refusedCollapse_ = nullptr;
  // Events first, deepest nodes first.
  std::vector<TTreeNode*> gone;
  for (TTreeNode* n = node; n && (n == node || n->HasAsParent(node)); n = n->GetNext()) gone.push_back(n);
  if (OnDeletion && !syncing_)
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) OnDeletion(this, *it);
  const bool selectionGoes = selected_ && (selected_ == node || selected_->HasAsParent(node));
  DeleteItem(node);
  for (TTreeNode* n : gone) n->itemId_ = nullptr;
  if (selectionGoes) {
    TTreeNode* next = node->GetNextSibling();
    if (!next) next = node->GetPrevSibling();
    if (!next) next = node->parent_;
    selected_ = nullptr;
    if (next) {
      selected_ = next;
      SelectionToWindow();
    }
    if (OnChange && !syncing_) OnChange(this, next);
  }
}

std::vector<TTreeNode*> TTreeView::VisibleNodes() const {
  std::vector<TTreeNode*> out;
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNextVisible()) out.push_back(n);
  return out;
}

int TTreeView::VisibleCount() const {
  if (const int n = WindowVisibleCount(); n > 0) return n;
  const int border = borderStyle_ == TBorderStyle::bsSingle ? 4 : 0;
  return std::max((height_ - border) / std::max(itemHeight_, 1), 1);
}

void TTreeView::ClampTop() {
  const int n = static_cast<int>(VisibleNodes().size());
  top_ = std::clamp(top_, 0, std::max(n - VisibleCount(), 0));
}

TTreeNode* TTreeView::TopItem() const {
  TTreeNode* n = nullptr;
  if (WindowTopItem(n)) return n;
  const auto vis = VisibleNodes();
  return top_ < static_cast<int>(vis.size()) ? vis[static_cast<size_t>(top_)] : nullptr;
}

void TTreeView::SetTopItem(TTreeNode* node) {
  if (!node || node->owner_ != &items_) return;
  node->MakeVisible();
  const auto vis = VisibleNodes();
  top_ = static_cast<int>(std::find(vis.begin(), vis.end(), node) - vis.begin());
  ClampTop();
  TopToWindow();
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_) return nullptr;
  const auto vis = VisibleNodes();
  TTreeNode* top = TopItem();
  const int first = static_cast<int>(std::find(vis.begin(), vis.end(), top) - vis.begin());
  const int i = first + y / std::max(itemHeight_, 1);
  return i >= 0 && i < static_cast<int>(vis.size()) ? vis[static_cast<size_t>(i)] : nullptr;
}

void TTreeView::FullExpand() {
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNext()) n->SetExpanded(true);
}

void TTreeView::FullCollapse() {
  for (int i = items_.RootCount() - 1; i >= 0; --i) items_.roots_[static_cast<size_t>(i)]->Collapse(true);
}

void TTreeView::SetItemHeight(int h) {
  itemHeight_ = std::max(h, 1);
  if (HandleAllocated()) SendToWindow(0x111B /*TVM_SETITEMHEIGHT*/, static_cast<WPARAM>(itemHeight_));
  ClampTop();
}

void TTreeView::SetShowLines(bool v) {
  if (v == showLines_) return;
  showLines_ = v;
  RecreateWnd();
}
void TTreeView::SetShowRoot(bool v) {
  if (v == showRoot_) return;
  showRoot_ = v;
  RecreateWnd();
}
void TTreeView::SetShowButtons(bool v) {
  if (v == showButtons_) return;
  showButtons_ = v;
  RecreateWnd();
}
void TTreeView::SetReadOnly(bool v) {
  if (v == readOnly_) return;
  readOnly_ = v;
  RecreateWnd();
}
void TTreeView::SetHideSelection(bool v) {
  if (v == hideSelection_) return;
  hideSelection_ = v;
  RecreateWnd();
}
void TTreeView::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

void TTreeView::SetImages(TCustomImageList* list) {
  images_ = list;
  if (list) FreeNotification(list);
  ReloadWindow();
}

}  // namespace gui
