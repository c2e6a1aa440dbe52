#pragma once
// The skinned system menu of a form: a popup menu of the component layer (drawn by the skin manager's menu
// painter) that mirrors the window's own system menu. The standard commands become items whose visibility and
// enabled state follow the form's BorderStyle, BorderIcons and WindowState; every other entry of the window's
// system menu is copied. The provider also reads the menu's predicates to decide which caption buttons exist
// and may be pressed.
//
// TsCustomSysMenu is the base whose six tests are virtual (a dialog's system menu answers them for a foreign
// window); TsSystemMenu is the provider's.
#include <cstdint>
#include <string>
#include <vector>

#include "gui/menus.h"

namespace gui {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;
class TsSkinManager;

class TsCustomSysMenu : public gui::TPopupMenu {
 public:
  explicit TsCustomSysMenu(gui::TComponent* AOwner) : gui::TPopupMenu(AOwner) {}
  GUI_CLASS_NAME("TsCustomSysMenu")

  virtual bool CloseVisible() const = 0;
  virtual bool MaximizeVisible() const = 0;
  virtual bool MinimizeVisible() const = 0;
  virtual bool MaximizeEnabled() const = 0;
  virtual bool MinimizeEnabled() const = 0;
  virtual bool RestoreEnabled() const = 0;

  gui::TMenuItem* ExtraItem = nullptr;  // the SysSubMenu item
  gui::TMenuItem* ItemRestore = nullptr;
  gui::TMenuItem* ItemMove = nullptr;
  gui::TMenuItem* ItemSize = nullptr;
  gui::TMenuItem* ItemClose = nullptr;
  gui::TMenuItem* ItemMinimize = nullptr;
  gui::TMenuItem* ItemMaximize = nullptr;
  int32_t CopiedCount = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
 public:
  // Remembers the provider and its form, names itself "acSysMenu" and the tick count, and builds the items.
  explicit TsSystemMenu(TsSkinProvider& provider);
  GUI_CLASS_NAME("TsSystemMenu")

  bool CloseVisible() const override;
  bool MaximizeVisible() const override;
  bool MinimizeVisible() const override;
  bool MaximizeEnabled() const override;
  bool MinimizeEnabled() const override;
  bool RestoreEnabled() const override;
  bool CloseEnabled() const;
  bool RestoreVisible() const;
  bool MoveEnabled() const;
  bool SizeVisible() const;
  bool SizeEnabled() const;

  TsSkinProvider* Provider;
  gui::TCustomForm* Form;
};

// (Re)builds every item from the window's system menu.
void SysMenuBuildItems(TsSystemMenu& menu);
// Rebuilds when asked or when the close item is missing, then sets every item's Visible and Enabled.
void SysMenuUpdateItems(TsSystemMenu& menu, bool rebuild = false);
// The skin list under "Available skins" at the top of the menu, when the provider's manager has skins: one radio
// item per skin name (the current skin's checked), a new column every 20 items; choosing one selects that skin.
// A list added earlier is replaced.
void SysMenuAddSkinItems(TsSystemMenu& menu);
// MakeSkinMenu: copies of the main menu's items at the top of the system menu, followed by a separator
// (the copies of an earlier call freed first).
void SysMenuAddMainMenuItems(TsSystemMenu& menu, const gui::TMainMenu* mainMenu);
// The caption of an entry of the form's window system menu, by command or (byPosition) by position: false
// and the default when empty; the part after a TAB becomes the item's shortcut.
bool SysMenuItemCaption(const TsSystemMenu& menu, uint32_t command, bool byPosition, const std::string& defaultCaption,
                        gui::TMenuItem& item);
// The skin name of a caption of the skin list: every "&" removed, and, when it holds "(internal)", cut after the
// first one.
std::string SkinNameOfMenuCaption(const std::string& caption);

}  // namespace skin
