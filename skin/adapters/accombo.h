#pragma once
// The combo box adapter: border and face from the edit family, the drop-down button from the skin's combo-button
// section, and, the first time the list drops down, an adapter for the drop-down list window (skinned scroll bars
// and the edit colours).
#include <cstdint>

#include "skin/adapters/acscrollwnd.h"

#ifdef _WIN32
#include <windows.h>

namespace gui {
class TCustomComboBox;
}

namespace skin {

class TacComboListWnd : public TacEditWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  bool KeepsCapture() const override { return PassMouseUp == 0; }
  void SetSkinColors() override;
  uint8_t TrackingByCombo = 0;
  uint8_t PassMouseUp = 0;  // the list of a simple combo (always shown; no mouse capture of its own)

  // The items of a list the system draws (not owner-drawn) painted again in the skin's colours: the selected
  // one in the skin's selection, the others on the list's skin colour (into DC, or the client area's DC).
  void PaintListItems(HDC DC);
  // The list's colours from the skin: background, text, selection and selection text (false without a section).
  bool ListColours(TColor& Bg, TColor& Text, TColor& Selection, TColor& SelectionText) const;

  // The item the open list was opened on, or moved to with the keys (-1 while the list is closed): the combo's
  // closed field keeps showing it while the pointer runs over the items, until one is chosen, as on Windows
  // (Wine's combo shows the item under the pointer). FaceAsking is set while the combo paints that field: the
  // list's current selection is then answered with KeptChoice.
  int32_t KeptChoice = -1;
  uint8_t FaceAsking = 0;

 private:
  bool OwnerDrawnList() const;
  void FramePaint();
  // The items painted again when the selection or the top item moved since they were last painted.
  void PaintIfMoved();
  uint8_t asking_ = 0;  // the items are being painted or the list asked its state
  int32_t paintedSel_ = -2;
  int32_t paintedTop_ = -2;
};

class TacComboBoxWnd : public TacEditWnd {
 public:
  ~TacComboBoxWnd() override;
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  void DetachedFromWindow() override;
  // The drop-down button's rectangle in window coordinates (empty without the drop-down bit).
  virtual TRect ButtonRect();
  bool Simple() const;

  HWND ListHandle = nullptr;
  uint8_t ListAttached = 0;
  TacComboListWnd* ListAdapter = nullptr;
  std::unique_ptr<TsCommonData> ButtonData;

 protected:
  void PaintComboButton(HDC DC);
  void PaintCombo(HDC DC);
  // The field of a drop-down list that no control of the component layer owns (a system dialog's, owner-drawn
  // or not), painted by the system into a bitmap and copied to DC with the system's window, text and highlight
  // colours swapped for the skin's edit and selection colours.
  void PaintForeignField(HDC DC);
  // An item of the open list of a system dialog's owner-drawn combo (the file dialog's "Look in"): drawn by its
  // owner into a bitmap, then copied to the item's DC with the system's window, text and highlight colours swapped
  // for the skin's list and selection colours. False when it is not such an item (the message is then untouched).
  bool DrawForeignListItem(gui::TMessage& Message);
  // The face of a simple combo in the cache (its selection field).
  void PaintComboFace();
  // The combo printed into DC as it paints itself on the screen (DC's origin at the window's corner, or at the
  // client area's with ClientOrigin); WithChildren: its own windows too (the edit field, a simple combo's list).
  void PrintCombo(HDC DC, bool ClientOrigin, bool WithChildren);
  // The list's colours for WM_CTLCOLORLISTBOX: the brush (0 when the list is not skinned).
  HBRUSH ListColours(HDC DC);
  // The colours of the edit field of a combo that no control of the component layer owns (a system dialog's
  // "File name") for its WM_CTLCOLOREDIT: the skin's edit colours, the focused ones while the edit has the focus
  // (0 without an "EDIT" section).
  HBRUSH EditFieldColours(HDC DC, HWND Edit);
  void ReleaseList();
  // The button painted again over the window.
  void RepaintButton();
  // The combo's edit window (nullptr for a drop-down list).
  HWND EditWindow() const;
  bool EditHasFocus() const;
  bool FocusableOwner() const;
  void ClearEditSelection();
  void FreeBrush();
  HBRUSH brush_ = nullptr;
  TColor brushColour_ = clNone;
  HBRUSH editBrush_ = nullptr;
  TColor editBrushColour_ = clNone;

 public:
  // The combo of the component layer that owns the window, or nullptr.
  gui::TCustomComboBox* ComboControl() const;
  // Item Index drawn into the DC at R (DRAWITEMSTRUCT item state); CacheAt: where R's top-left lies in the cache.
  void DrawListItem(int Index, const TRect& R, HDC DC, uint32_t State, TPoint CacheAt);
};

// An item of a combo of the component layer (a reflected owner-draw request), R in the DC's coordinates (the
// combo's client area): built in a 32-bit bitmap over the skin's selection (or highlight colour) when selected,
// over the combo's own face for the item in its selection field, else over the control's colour; then the text,
// or the control's OnDrawItem with its canvas drawing into the bitmap; the bitmap copied to the DC at R.
void DrawComboListItem(TacComboBoxWnd* Adapter, int Index, const TRect& R, HDC DC, uint32_t State);

// 1 while a combo box's list is dropped down (between its drop-down and close-up notifications).
uint8_t& ComboListDropped();
// The adapter of a combo box's list: section "EDIT", PassMouseUp for the list of a simple combo.
TacComboListWnd* CreateComboListAdapter(HWND ListHandle, bool Simple, bool HasItems, TsSkinManager* SkinManager);
// The text of item Index of a combo box, its length asked first (empty for an index outside the list).
std::string ComboItemText(HWND Combo, int Index);

}  // namespace skin
#endif
