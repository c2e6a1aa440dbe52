// The Win32 half of the tree views: the window's items mirror the layer's nodes (each item's data is its node),
// and the window's notifications of what the user did (selection, expanding, collapsing) come back to the
// layer, which may refuse them. While the layer itself changes the window, the notifications are its own.
#include "gui/imglist.h"
#include "gui/treeview.h"

namespace gui {

namespace {
struct Syncing {
  bool& flag;
  bool old;
  explicit Syncing(bool& f) : flag(f), old(f) { flag = true; }
  ~Syncing() { flag = old; }
};
HTREEITEM ItemOf(const TTreeNode* n) { return n ? static_cast<HTREEITEM>(n->ItemId()) : nullptr; }
}  // namespace

void TTreeView::InsertItem(TTreeNode* node) {
  if (!handle_ || items_.updateCount_ > 0) return;
  if (node->parent_ && !node->parent_->itemId_) return;
  Syncing s(syncing_);
  TVINSERTSTRUCTA ins{};
  ins.hParent = node->parent_ ? ItemOf(node->parent_) : TVI_ROOT;
  TTreeNode* prev = node->GetPrevSibling();
  ins.hInsertAfter = prev ? ItemOf(prev) : TVI_FIRST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = const_cast<char*>(node->text_.c_str());
  ins.item.lParam = reinterpret_cast<LPARAM>(node);
  ins.item.iImage = node->imageIndex_;
  ins.item.iSelectedImage = node->selectedIndex_;
  node->itemId_ = reinterpret_cast<void*>(SendMessageA(handle_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  for (auto& c : node->children_) InsertItem(c.get());
  if (node->expanded_) ExpandedToWindow(node);
}

void TTreeView::InsertItems(TTreeNode* first) {
  for (TTreeNode* n = first; n; n = n->GetNextSibling()) InsertItem(n);
}

void TTreeView::ItemToWindow(TTreeNode* node) {
  if (!handle_ || !node->itemId_) return;
  Syncing s(syncing_);
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = ItemOf(node);
  item.pszText = const_cast<char*>(node->text_.c_str());
  item.iImage = node->imageIndex_;
  item.iSelectedImage = node->selectedIndex_;
  SendMessageA(handle_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeView::ExpandedToWindow(TTreeNode* node) {
  if (!handle_ || !node->itemId_) return;
  Syncing s(syncing_);
  SendMessageA(handle_, TVM_EXPAND, node->expanded_ ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(ItemOf(node)));
}

void TTreeView::SelectionToWindow() {
  if (!handle_) return;
  Syncing s(syncing_);
  SendMessageA(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ItemOf(selected_)));
}

void TTreeView::DeleteItem(TTreeNode* node) {
  if (!handle_ || !node->itemId_) return;
  Syncing s(syncing_);
  SendMessageA(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(ItemOf(node)));
}

void TTreeView::TopToWindow() {
  if (!handle_) return;
  const auto vis = VisibleNodes();
  if (top_ < static_cast<int>(vis.size()) && vis[static_cast<size_t>(top_)]->itemId_) {
    Syncing s(syncing_);
    SendMessageA(handle_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(ItemOf(vis[static_cast<size_t>(top_)])));
  }
}

bool TTreeView::WindowTopItem(TTreeNode*& node) const {
  if (!handle_) return false;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(handle_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  node = nullptr;
  if (item) {
    TVITEMA it{};
    it.mask = TVIF_PARAM;
    it.hItem = item;
    if (SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) node = reinterpret_cast<TTreeNode*>(it.lParam);
  }
  return true;
}

int TTreeView::WindowVisibleCount() const {
  return handle_ ? static_cast<int>(SendMessageA(handle_, TVM_GETVISIBLECOUNT, 0, 0)) : 0;
}

void TTreeView::ReloadWindow() {
  if (!handle_ || items_.updateCount_ > 0) return;
  Syncing s(syncing_);
  SendMessageA(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  SendMessageA(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNext()) n->itemId_ = nullptr;
  InsertItems(items_.GetFirstNode());
  SendMessageA(handle_, TVM_SETITEMHEIGHT, static_cast<WPARAM>(itemHeight_), 0);
  SelectionToWindow();
}

void TTreeView::ColorsToWindow() {
  if (!handle_) return;
  SendMessageA(handle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorRef(color_)));
  SendMessageA(handle_, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorRef(font_.Color())));
}

void TTreeView::FinalizeWindow() {
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNext()) n->itemId_ = nullptr;
}

bool TTreeView::WindowMessage(TMessage& m) {
  if (m.Msg != CN_NOTIFY) return TWinControl::WindowMessage(m);
  auto* nm = reinterpret_cast<NMTREEVIEWA*>(m.LParam);
  const UINT code = nm->hdr.code;
  m.Result = 0;
  auto node = reinterpret_cast<TTreeNode*>(nm->itemNew.lParam);
  if (code == static_cast<UINT>(TVN_SELCHANGEDA) || code == static_cast<UINT>(TVN_SELCHANGEDW)) {
    if (!syncing_ && node != selected_) {
      selected_ = node;
      if (OnChange) OnChange(this, node);
    }
    return true;
  }
  if (code == static_cast<UINT>(TVN_ITEMEXPANDINGA) || code == static_cast<UINT>(TVN_ITEMEXPANDINGW)) {
    if (!syncing_ && node) {
      const bool expand = (nm->action & TVE_EXPAND) != 0;
      bool allow = true;
      if (expand && OnExpanding) OnExpanding(this, node, allow);
      if (!expand && OnCollapsing) OnCollapsing(this, node, allow);
      refusedCollapse_ = !expand && !allow ? node : nullptr;
      m.Result = allow ? 0 : 1;
    }
    return true;
  }
  if (code == static_cast<UINT>(TVN_ITEMEXPANDEDA) || code == static_cast<UINT>(TVN_ITEMEXPANDEDW)) {
    if (!syncing_ && node) {
      const bool expand = (nm->action & TVE_EXPAND) != 0;
      if (!expand && node == refusedCollapse_) {
        // Some tree windows collapse an item although the collapse was refused: it opens again.
        refusedCollapse_ = nullptr;
        ExpandedToWindow(node);
        return true;
      }
      node->expanded_ = expand;
      if (!expand && selected_ && selected_->HasAsParent(node)) {
        selected_ = node;
        if (OnChange) OnChange(this, node);
      }
      if (expand && OnExpanded) OnExpanded(this, node);
      if (!expand && OnCollapsed) OnCollapsed(this, node);
    }
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
