#pragma once
// More window messages of a skinned form: the main menu's owner-drawn items measured by the skinned menus, the
// form's popup menu made ready for them, a page change of a tab control, controls inserted into the form, the
// form's window made again, the form's skin refreshed, and the menu loop of an MDI parent whose active child is
// maximized (a helper keeps the child's buttons at the menu line's right end drawn as the skin has them while
// the system tracks the menu).
#include <cstdint>

#include "gui/messages.h"
#include "skin/forms/sskinprovider.h"

namespace skin {

// WM_MEASUREITEM: an item of the form's main menu (a menu line is shown) is measured by the skinned menus
// (ProviderMeasureMenuItem); one that asks its own measure event is handed on to the form, which asks it.
void ProviderWmMeasureItem(TsSkinProvider& p, gui::TMessage& m);
// The size the skinned menus give an item of the form's main menu: false when the item is not one, or no
// manager with its menu painter is there. Top items are measured as menu-line items.
bool ProviderMeasureMenuItem(TsSkinProvider& p, gui::TMenuItem& item, int& width, int& height);
// WM_CONTEXTMENU: the form's popup menu gets the skinned menus' handlers (or loses them with SkinnedPopups off).
void ProviderWmContextMenu(TsSkinProvider& p, gui::TMessage& m);
// WM_NOTIFY: after a tab control changed its page, the control adapter takes the controls it shows.
void ProviderWmNotify(TsSkinProvider& p, gui::TMessage& m);
// CM_CONTROLLISTCHANGE: a windowed control inserted into the form is told its transparency flags; one whose
// window exists already is adapted.
void ProviderCmControlListChange(TsSkinProvider& p, gui::TMessage& m);
// A child window of the form was made or destroyed: every child control of the form computes its transparency flags
// again (the backgrounds it shows through may have changed). Nothing while the provider or the form is loading.
void ProviderChildWindowsChanged(TsSkinProvider& p);
// CM_RECREATEWND: the skin editor hears of the new window in preview mode.
void ProviderCmRecreateWnd(TsSkinProvider& p, gui::TMessage& m);
// The component layer's skin refresh (0xB03A): the form window's scroll-bar adapter goes, AC_SKINREFRESH follows.
void ProviderCmRefreshSkin(TsSkinProvider& p, gui::TMessage& m);
// WM_ENTERMENULOOP and WM_EXITMENULOOP.
void ProviderWmEnterMenuLoop(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmExitMenuLoop(TsSkinProvider& p, gui::TMessage& m);
// The MDI buttons helper of a provider while a menu loop runs (nullptr when none); freed with the provider.
void* ProviderMDIIconsWindow(const TsSkinProvider& p);
void ProviderFreeMDIIcons(TsSkinProvider& p);
// Whether this form is an MDI parent whose active child is maximized.
bool ProviderMDIChildMaximized(const TsSkinProvider& p);

// The tab control's page-change notification (TCN_SELCHANGE).
inline constexpr int32_t kTcnSelChange = -551;

}  // namespace skin
