#pragma once
// The adapters of grids and trees: edit-family adapters (border, background, skinned scroll bars) that also
// write the skin's colours into the control where its colours live, in published properties (grids, foreign
// grids and virtual trees, see grid_colors.h) or in the tree view's own messages (TVM_SETBKCOLOR,
// TVM_SETTEXTCOLOR), and put the control's own colours back when the skin goes.
#include <cstdint>

#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/grid_colors.h"
#include "skin/adapters/header_paint.h"

#ifdef _WIN32
#include <windows.h>

namespace skin {

// The colour sources of the tables, from the adapter's manager and section.
GridSkinColors GridColorsOf(TsSkinManager& Manager, const TsCommonData& Data);

// String and draw grids, and foreign grids that publish the same property names.
class TacGridWnd : public TacEditWnd {
 public:
  void SaveColors() override;
  void RestoreColors() override;
  void SetSkinColors() override;
  void WndProc(gui::TMessage& Message) override;

  // The grid's own values of the properties the skin wrote (empty while unskinned).
  SavedProperties SavedGridColors;

 protected:
  gui::TObject* Owner() const { return SkinData != nullptr ? SkinData->OwnerControl : nullptr; }
  // Handled before the edit family: true when the message is done.
  bool GridMessage(gui::TMessage& Message);
};

// Grids with the "OptionsEh" family of properties.
class TacGridEhWnd : public TacGridWnd {
 public:
  void SetSkinColors() override;
  void WndProc(gui::TMessage& Message) override;
};

// "SysTreeView32" windows and tree-view controls.
class TacTreeViewWnd : public TacEditWnd {
 public:
  void SaveColors() override;
  void RestoreColors() override;
  void SetSkinColors() override;
  void WndProc(gui::TMessage& Message) override;

  // The window's own colours (TVM_GETBKCOLOR, TVM_GETTEXTCOLOR) before the skin came.
  COLORREF SavedTreeBk = COLORREF(-1);
  COLORREF SavedTreeText = COLORREF(-1);
  bool TreeColorsSaved = false;

  // The state whose colours the tree shows: 1 focused (or hovered with the hot look), else 0.
  int32_t TreeState() const;
  // The background the tree is painted with in that state.
  TColor TreeBackground(int32_t State) const;
};

// Virtual trees ("Colors", "Header" and "PaintInfoColumn"). The tree's column header ("SysHeader32" child) is
// drawn by the adapter while the tree leaves it to its owner: a control whose "Header"."Options" holds
// "hoOwnerDraw" (switched on by the skin unless the control draws its header through its own events), or a window
// no component owns, unless one of its columns is owner-drawn (HDF_OWNERDRAW: its owner draws the header itself).
// Each column is a "COLHEADER" cell with its text in the header's font and its sort arrow; a header at least two
// lines of its font high breaks its captions into lines.
class TacVirtualTreeViewWnd : public TacEditWnd, public HeaderHost {
 public:
  ~TacVirtualTreeViewWnd() override;
  void Initialize() override;
  void SaveColors() override;
  void RestoreColors() override;
  void SetSkinColors() override;
  void WndProc(gui::TMessage& Message) override;

  SavedProperties SavedTreeColors;
  HWND Header = nullptr;  // the subclassed header, nullptr when none

  // The adapter paints the header now.
  bool HeaderOwnerDrawn() const;
  // Every column and the empty rest into DC (nullptr: inside BeginPaint/EndPaint of the header), at Origin.
  void PaintHeader(HDC DC, POINT Origin = POINT{0, 0});

  void HeaderMessage(gui::TMessage& Message) override;
  bool HeaderHostLive() const override { return MarkerAlive() && !Destroyed; }
  void HeaderGone() override { Header = nullptr; }

 private:
  void AttachHeader();
  SubclassedHeader header_;
};

}  // namespace skin
#endif
