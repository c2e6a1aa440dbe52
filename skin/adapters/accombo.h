#pragma once
// The combo box adapter: border and face from the edit family, the drop-down button from the skin's combo-button
// section, and, the first time the list drops down, an adapter for the drop-down list window (skinned scroll bars
// and the edit colours).
#include <cstdint>

#include "skin/adapters/acscrollwnd.h"

#ifdef _WIN32
#include <windows.h>

namespace skin {

class TacComboListWnd : public TacEditWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  uint8_t TrackingByCombo = 0;
  uint8_t PassMouseUp = 0;  // the list of a simple combo (always shown; no mouse capture of its own)
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
  // The face of a simple combo in the cache (its selection field), and the selected item written into the cache.
  void PaintComboFace();
  void PaintComboItem();
  // The list's colours for WM_CTLCOLORLISTBOX: the brush (0 when the list is not skinned).
  HBRUSH ListColours(HDC DC);
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
};

// 1 while a combo box's list is dropped down (between its drop-down and close-up notifications).
uint8_t& ComboListDropped();
// The adapter of a combo box's list: section "EDIT", PassMouseUp for the list of a simple combo.
TacComboListWnd* CreateComboListAdapter(HWND ListHandle, bool Simple, bool HasItems, TsSkinManager* SkinManager);
// The text of item Index of a combo box, its length asked first (empty for an index outside the list).
std::string ComboItemText(HWND Combo, int Index);

}  // namespace skin
#endif
