#pragma once
// The menus of a skinned form: its main menu, popup menus and the menus of its frames handed to the skin manager's
// menu painter (and taken back), the menu bar built again under the skin, items added to a skinned menu taken in
// at once, and the list of an MDI parent's children under its window menu.
#include <cstdint>

#include "gui/menus.h"
#include "skin/forms/sskinprovider.h"

namespace skin {

// The form's menus handed to the menu painter (enable) or taken back from it: only when the form is not designed
// and its manager is the default one with a menu painter. The main menu's bar is the painter's while enable and
// DrawNonClientArea hold; its items, the popup menus and the items of other menus while enable and the manager's
// SkinnedPopups hold. A frame on the form hands its own components on.
void ProviderSkinMenus(TsSkinProvider& p, bool enable);
// The main menu's bar given back to the system (the skin no longer draws it; its sub-menus stay skinned).
void ProviderUnskinMainMenu(TsSkinProvider& p);
// The form's main menu built again (its bar laid out and drawn anew), inside an update of the form's skin data;
// false, with nothing done, without a main menu with items or while a rebuild runs already.
bool ProviderRebuildMainMenu(TsSkinProvider& p);
// Once (until MenuSkinned is cleared): the main menu's bar handed to the menu painter (with DrawNonClientArea);
// MenuSkinned takes the rebuild's result.
void ProviderSkinMainMenu(TsSkinProvider& p);
// The form's main menu changed: items that came since the menus were handed to the painter are handed to it too
// (a new item of the bar makes the bar skinned anew; new items of its sub-menus take the painter's handlers).
void ProviderMenuChanged(TsSkinProvider& p);
// Whether an item of the main menu has no drawing of its own (neither the painter's nor the application's).
bool MenuItemUndrawn(const gui::TMenuItem& item);
// Whether the menu's bar is drawn by the menu painter (an owner-drawn menu whose bar is not is the application's).
bool MenuBarFromPainter(const gui::TMainMenu& menu);

// The list of an MDI parent's children under its window menu (WindowMenu): the earlier list (items whose Tag has
// 0x200) removed; with at least one MDI child, the window menu ends in a divider, then one item per visible child
// (its caption, checked for the active one, Tag = its index | 0x200) that brings that child to the top.
// True when the list was made (the menu is the window menu of an MDI parent with children).
// With fill false only the earlier list goes (another popup opens).
inline constexpr intptr_t kWindowListTag = 0x200;
bool ProviderFillWindowMenu(TsSkinProvider& p, bool fill);

}  // namespace skin
