// The edit's right-click menu shown through the skinned menus (Windows).
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "gui/menus.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/adapters/edit_menu.h"
#include "skin/manager/sskinmenus.h"

namespace skin {

namespace {

// The skinned edit menu that is open (one at a time: a menu's loop is modal).
gui::TPopupMenu* g_openMenu = nullptr;

std::string LowerClassName(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  std::string s(name);
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The captions of the system's own edit menu, in the system's language (nothing when it has no such resource).
std::vector<EditMenuEntry> SystemEditMenuTexts() {
  std::vector<EditMenuEntry> texts;
  HMODULE user = GetModuleHandleA("user32.dll");
  if (user == nullptr) return texts;
  HMENU menu = LoadMenuA(user, "EDITMENU");
  if (menu == nullptr) menu = LoadMenuA(user, MAKEINTRESOURCEA(1));
  if (menu == nullptr) return texts;
  HMENU popup = GetSubMenu(menu, 0);
  const int count = popup != nullptr ? GetMenuItemCount(popup) : 0;
  for (int i = 0; i < count; ++i) {
    char text[128] = {};
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(popup, UINT(i), TRUE, &mi) || (mi.fType & MFT_SEPARATOR)) continue;
    texts.push_back(EditMenuEntry{mi.wID, std::string(text), true});
  }
  DestroyMenu(menu);
  return texts;
}

EditMenuState StateOf(HWND edit) {
  EditMenuState s;
  const LONG style = GetWindowLongA(edit, GWL_STYLE);
  s.CanUndo = SendMessageA(edit, EM_CANUNDO, 0, 0) != 0;
  s.ReadOnly = (style & ES_READONLY) != 0;
  s.Password = SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0) != 0;
  s.ClipboardHasText = IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT);
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  s.SelStart = int32_t(start);
  s.SelEnd = int32_t(end);
  s.TextLength = GetWindowTextLengthW(edit);
  return s;
}

}  // namespace

bool SkinsEditMenu(TacMainWnd* Adapter) {
  if (Adapter == nullptr || Adapter->Handle == nullptr || Adapter->SkinManager == nullptr ||
      !Adapter->SkinManager->Active() || !Adapter->SkinManager->SkinnedPopups)
    return false;
  if (Adapter->SkinData != nullptr && Adapter->SkinData->OwnerControl != nullptr &&
      Adapter->SkinData->OwnerControl->PopupMenu() != nullptr)
    return false;
  return LowerClassName(Adapter->Handle) == "edit" && SkinableMenusOf(Adapter->SkinManager) != nullptr;
}

void ShowSkinnedEditMenu(TacMainWnd* Adapter, LPARAM ScreenPoint) {
  if (g_openMenu != nullptr || !SkinsEditMenu(Adapter)) return;
  const HWND edit = Adapter->Handle;
  POINT at{short(LOWORD(ScreenPoint)), short(HIWORD(ScreenPoint))};
  if (ScreenPoint == -1 || (at.x == -1 && at.y == -1)) {
    RECT r{};
    GetClientRect(edit, &r);
    at = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(edit, &at);
  }
  if (GetFocus() != edit) SetFocus(edit);

  gui::TPopupMenu menu(nullptr);
  std::vector<std::pair<UINT, uint32_t>> commands;  // menu item command -> edit message
  for (const EditMenuEntry& e : EditMenuEntries(StateOf(edit), SystemEditMenuTexts())) {
    auto* item = new gui::TMenuItem(&menu);
    item->SetCaption(e.Command == 0 ? std::string("-") : e.Caption);
    item->SetEnabled(e.Enabled);
    menu.Items()->Add(item);
    if (e.Command != 0) commands.emplace_back(item->Command(), e.Command);
  }
  TsSkinableMenus* menus = SkinableMenusOf(Adapter->SkinManager);
  InstallPopupMenuHandlers(*menus, menu, true);
  g_openMenu = &menu;
  const UINT chosen = UINT(TrackPopupMenu(menu.Handle(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                          at.x, at.y, 0, edit, nullptr));
  g_openMenu = nullptr;
  if (!IsWindow(edit)) return;
  for (const auto& [command, message] : commands) {
    if (command != chosen || chosen == 0) continue;
    if (message == EM_SETSEL)
      SendMessageA(edit, EM_SETSEL, 0, -1);
    else
      SendMessageA(edit, message, 0, 0);
  }
}

bool EditMenuOwnerDraw(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  if (g_openMenu == nullptr || (Msg != WM_MEASUREITEM && Msg != WM_DRAWITEM)) return false;
  gui::TMessage m{Msg, WParam, LParam, 0};
  if (!gui::DispatchMenuOwnerDraw(m)) return false;
  Result = m.Result;
  return true;
}

}  // namespace skin
