#pragma once
// Tree views: TTreeView (SysTreeView32) and its nodes. The layer keeps the tree itself (texts, children,
// expanded states, the selection) so that it is whole without a window; the window holds a copy, item by
// item, and tells the layer what the user did (selection, expanding and collapsing).
//
// Rules. A collapsed node hides its descendants; selecting a node that is hidden expands its ancestors;
// deleting the selected node selects the next sibling, else the previous one, else the parent. OnExpanding and
// OnCollapsing may refuse a change (from the user or from code); OnChange follows every change of the selection.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/controls.h"

namespace gui {

class TTreeView;
class TTreeNodes;
class TCustomImageList;

class TTreeNode {
 public:
  ~TTreeNode();
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& s);
  void* Data() const { return data_; }
  void SetData(void* d) { data_ = d; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int i);

  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int i) const { return children_.at(static_cast<size_t>(i)).get(); }
  bool HasChildren() const { return !children_.empty(); }
  // The place among its siblings; the depth (0 for a top node).
  int Index() const;
  int Level() const;
  // The place in the whole tree, in the order of GetNext.
  int AbsoluteIndex() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node in the whole tree (depth first), and the next one shown (skipping collapsed branches).
  TTreeNode* GetNext() const;
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  bool HasAsParent(const TTreeNode* ancestor) const;
  // Every ancestor expanded.
  bool IsVisible() const;

  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool v);
  void MakeVisible();
  // Frees the node and its descendants.
  void Delete();
  TTreeNodes* Owner() const { return owner_; }
  // The window's item (Windows), nullptr without.
  void* ItemId() const { return itemId_; }

 private:
  friend class TTreeNodes;
  friend class TTreeView;
  TTreeNode(TTreeNodes* owner, TTreeNode* parent, std::string text) : owner_(owner), parent_(parent), text_(std::move(text)) {}
  std::vector<std::unique_ptr<TTreeNode>>& Siblings() const;
  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::string text_;
  void* data_ = nullptr;
  int imageIndex_ = -1, selectedIndex_ = -1;
  bool expanded_ = false;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  void* itemId_ = nullptr;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TTreeView* owner) : owner_(owner) {}
  ~TTreeNodes();
  TTreeView* Owner() const { return owner_; }
  // All nodes of the tree.
  int Count() const;
  // The node at a place in the whole tree (GetNext order).
  TTreeNode* Item(int i) const;
  TTreeNode* operator[](int i) const { return Item(i); }
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }
  int RootCount() const { return static_cast<int>(roots_.size()); }

  // A node after the last sibling of `sibling` (a top node when nullptr).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
  // A node before `sibling` (at the end of the top nodes when nullptr).
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
  void Delete(TTreeNode* node);
  void Clear();
  // Many changes without the window following each one.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TTreeNode;
  friend class TTreeView;
  TTreeNode* InsertAt(TTreeNode* parent, size_t pos, const std::string& text);
  TTreeView* owner_;
  std::vector<std::unique_ptr<TTreeNode>> roots_;
  int updateCount_ = 0;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TComponent* AOwner);
  ~TTreeView() override;
  GUI_CLASS_NAME("TTreeView")

  TTreeNodes& Items() { return items_; }
  TTreeNode* Selected() const { return selected_; }
  void SetSelected(TTreeNode* node);
  // The first node shown at the top of the client area.
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* node);
  // The nodes shown (ancestors expanded), in order.
  std::vector<TTreeNode*> VisibleNodes() const;
  // Nodes wholly shown in the client area (at least 1).
  int VisibleCount() const;
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int h);
  // The node at a client point, nullptr for none.
  TTreeNode* GetNodeAt(int x, int y) const;
  void FullExpand();
  void FullCollapse();

  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* list);

  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnExpanded;
  TTVExpandedEvent OnCollapsed;
  TTVChangedEvent OnDeletion;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  void FinalizeWindow() override;
  bool WindowMessage(TMessage& m) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& m) override;

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  // The expanded state changes after the events allow it; true when it changed.
  bool ChangeExpanded(TTreeNode* node, bool expand);
  void NodeDeleting(TTreeNode* node);
  void ClampTop();
  // Window side: items inserted, changed, expanded, selected and deleted in the window as in the layer; the
  // window's first shown item.
  void InsertItem(TTreeNode* node);
  void InsertItems(TTreeNode* first);
  void ItemToWindow(TTreeNode* node);
  void ExpandedToWindow(TTreeNode* node);
  void SelectionToWindow();
  void DeleteItem(TTreeNode* node);
  void TopToWindow();
  bool WindowTopItem(TTreeNode*& node) const;
  int WindowVisibleCount() const;
  void ReloadWindow();
  // The window draws its background in Color and its texts in Font's colour.
  void ColorsToWindow();
  TTreeNodes items_{this};
  TTreeNode* selected_ = nullptr;
  int top_ = 0;  // index of the top item among the visible nodes (natively)
  int itemHeight_ = 18;
  bool showLines_ = true, showRoot_ = true, showButtons_ = true, readOnly_ = false, hideSelection_ = true;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TCustomImageList* images_ = nullptr;
  bool syncing_ = false;  // the window is being told what the layer did (its notifications are ours)
  TTreeNode* refusedCollapse_ = nullptr;  // a collapse the layer refused, which the window may carry out anyway
};

}  // namespace gui
