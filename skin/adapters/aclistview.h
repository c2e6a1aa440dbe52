#pragma once
// The adapter of list views ("SysListView32", or the window of a list-view control of the component layer): the
// skin's colours through the list view's own colour messages, the skinned scroll bars kept in step with its
// scrolling (which counts in items or pixels rather than in scroll units), and its column header ("SysHeader32")
// subclassed to paint its columns from the "COLHEADER" section with hot and pressed states and sort arrows
// (header_paint.h). A skin load subclasses the header again when a skin removal had let it go.
#include <cstdint>
#include <string>

#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/header_paint.h"

#ifdef _WIN32
#include <windows.h>

namespace skin {

class TacListViewWnd : public TacEditWnd, public HeaderHost {
 public:
  ~TacListViewWnd() override;
  void Initialize() override;
  void SaveColors() override;
  void RestoreColors() override;
  void SetSkinColors() override;
  void WndProc(gui::TMessage& Message) override;

  HWND Header = nullptr;         // the subclassed header, nullptr when none
  int32_t PressedColumn = -1;    // the item pressed with the left button, -1 none
  int32_t HotColumn = -1;        // the item under the mouse, -1 none, -2 the empty area after the last column

  // 0 icon, 1 small icon, 2 list, 3 report.
  int32_t ListViewStyle() const;
  // The header's replacement window procedure.
  void HeaderMessage(gui::TMessage& Message) override;
  bool HeaderHostLive() const override { return MarkerAlive() && !Destroyed; }
  void HeaderGone() override { Header = nullptr; }
  // Every column and the empty rest into DC (nullptr: inside BeginPaint/EndPaint of the header).
  void PaintHeader(HDC DC);
  // One column (Index -2: the empty area).
  void PaintHeaderItem(const TRect& ItemRect, int32_t Index, HDC DC);
  TRect HeaderItemRect(int32_t Order) const;
  // The order of the column under a screen point, or -2.
  int32_t HeaderItemAt(const POINT& ScreenPoint) const;

 private:
  void SubclassHeader(HWND Wnd);
  void ReleaseHeader();
  void ScrollMessage(gui::TMessage& Message);
  // The section's colours given to the list view through its colour messages (only those that differ).
  void ApplyListColors();

  COLORREF savedBk_ = CLR_NONE;
  COLORREF savedTextBk_ = CLR_NONE;
  COLORREF savedText_ = CLR_NONE;
  bool colorsSaved_ = false;
  SubclassedHeader header_;
};

}  // namespace skin
#endif
