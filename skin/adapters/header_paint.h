#pragma once
// Column headers ("SysHeader32") drawn by their adapter: the window of a header subclassed for an adapter that
// paints it (the list view's, the virtual tree's), and one column painted as a "COLHEADER" cell (falling back to
// "BUTTON") with its image, its text and its sort arrow, the skin's arrow glyph where the skin has one.
//
// The header's procedure is put back only while it is still the adapter's; when another procedure was installed
// over it, the header keeps forwarding to the one it replaced until it is destroyed.
#include <cstdint>
#include <functional>
#include <string>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>

#include <commctrl.h>

#include "gui/graphics.h"
#include "gui/messages.h"

namespace skin {

class TsSkinManager;

// What a header's replacement procedure reaches.
class HeaderHost {
 public:
  virtual ~HeaderHost() = default;
  // The adapter is alive and still holds its window.
  virtual bool HeaderHostLive() const = 0;
  // A message of the header (the host passes on what it does not take, through SubclassedHeader::CallOld).
  virtual void HeaderMessage(gui::TMessage& Message) = 0;
  // The header was destroyed: the host forgets it (the link itself is already let go).
  virtual void HeaderGone() = 0;
};

struct HeaderLink;

// One subclassed header window.
class SubclassedHeader {
 public:
  ~SubclassedHeader() { Release(); }
  // Subclasses Wnd for Host; false when it is nullptr, already held, or held by another adapter.
  bool Attach(HWND Wnd, HeaderHost* Host);
  // Puts the header's procedure back (while it is still ours) and forgets the window.
  void Release();
  HWND Wnd() const { return wnd_; }
  WNDPROC OldProc() const;
  // The procedure the header had before.
  LRESULT CallOld(UINT Msg, WPARAM W, LPARAM L) const;
  // Called by the link when the header goes.
  void Gone(const HeaderLink* Link);

 private:
  HWND wnd_ = nullptr;
  HeaderLink* link_ = nullptr;
};

// What a column shows.
struct HeaderCell {
  std::string Text;
  int32_t Format = 0;            // HDF_ flags: the justification, HDF_SORTUP / HDF_SORTDOWN
  HIMAGELIST Images = nullptr;   // the column's image list, nullptr for none
  int32_t Image = -1;
  bool Wrap = false;             // the text breaks into lines where it does not fit (else it ends in "...")
};

// One column of Bmp's size in State (0 normal, 1 hot, 2 pressed): the cell over Under, then the image, the text in
// Font and the sort arrow; Cell nullptr paints the empty cell after the last column. Shift moves the pressed
// content by (1, 1). Enabled: the text's and image's look.
void PaintHeaderCell(Bitmap& Bmp, const HeaderCell* Cell, int32_t State, const gui::TFont& Font, TColor Under,
                     TsSkinManager* Manager, bool Enabled, bool Shift);

// Every column of the header in display order, then the empty rest after the last (Index -2), each given to Paint
// with its rectangle; into DC, or inside BeginPaint/EndPaint of the header when DC is nullptr.
void PaintHeaderColumns(HWND Header, HDC DC, const std::function<void(const RECT&, int32_t Index, HDC)>& Paint);

// The column of that index as the header holds it (text, format, image).
HeaderCell HeaderCellOf(HWND Header, int32_t Index);

}  // namespace skin
#endif
