// The headless half of the tree views: no window, the layer's tree is all there is.
#include "gui/treeview.h"

namespace gui {

void TTreeView::InsertItem(TTreeNode*) {}
void TTreeView::InsertItems(TTreeNode*) {}
void TTreeView::ItemToWindow(TTreeNode*) {}
void TTreeView::ExpandedToWindow(TTreeNode*) {}
void TTreeView::SelectionToWindow() {}
void TTreeView::DeleteItem(TTreeNode*) {}
void TTreeView::TopToWindow() {}
bool TTreeView::WindowTopItem(TTreeNode*&) const { return false; }
int TTreeView::WindowVisibleCount() const { return 0; }
void TTreeView::ReloadWindow() {}
void TTreeView::FinalizeWindow() {}
void TTreeView::ColorsToWindow() {}
bool TTreeView::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

}  // namespace gui
