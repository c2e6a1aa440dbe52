#pragma once
// The edit control's own right-click menu drawn by the skin: an edit without a popup menu of its own would show
// the system's menu (plain, in the system's colours); a skinned one shows the same commands (the system's own
// texts, from its menu resource when it has one) as a popup of the skinned menus, enabled as the system enables
// them, and carries the chosen command out on the edit.
#include <cstdint>
#include <string>
#include <vector>

namespace skin {

// One command of the edit menu (Command 0: a separator line).
struct EditMenuEntry {
  uint32_t Command = 0;  // the message the command sends to the edit (WM_UNDO, WM_CUT, ..., EM_SETSEL for all)
  std::string Caption;
  bool Enabled = true;
};

// What the edit's state allows: the system's rules for its menu.
struct EditMenuState {
  bool CanUndo = false;
  bool ReadOnly = false;
  bool Password = false;
  bool ClipboardHasText = false;
  int32_t SelStart = 0;
  int32_t SelEnd = 0;
  int32_t TextLength = 0;
};

// The commands in the system's order with their captions (the system's when given, else the usual English ones),
// each enabled by the state.
std::vector<EditMenuEntry> EditMenuEntries(const EditMenuState& State, const std::vector<EditMenuEntry>& SystemTexts = {});

}  // namespace skin

#ifdef _WIN32
#include <windows.h>

namespace skin {

class TacMainWnd;
// Whether the window is an edit control whose right-click menu the skin shows (class "Edit", no popup menu of its
// owner control, the default manager's popups skinned).
bool SkinsEditMenu(TacMainWnd* Adapter);
// Shows the skinned edit menu at a screen point (-1, -1: the middle of the edit, as from the keyboard) and carries
// the chosen command out. The owner-draw requests of its items reach the edit window while it is open.
void ShowSkinnedEditMenu(TacMainWnd* Adapter, LPARAM ScreenPoint);
// While the skinned edit menu is open: the owner-draw requests of its items (WM_MEASUREITEM, WM_DRAWITEM) are
// answered; true when the message was one of them.
bool EditMenuOwnerDraw(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);

}  // namespace skin
#endif
