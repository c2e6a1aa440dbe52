#include "skin/forms/provider_menus.h"

#include <string>
#include <vector>

#include "gui/forms.h"
#include "gui/frames.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/commondata.h"
#include "skin/manager/sskinmenus.h"

namespace skin {

namespace {

// A rebuild of a form's menu bar runs (the menu's own rebuild tells the form, which would ask again).
bool g_rebuilding = false;

struct RebuildGuard {
  bool entered;
  RebuildGuard() : entered(!g_rebuilding) { g_rebuilding = true; }
  ~RebuildGuard() {
    if (entered) g_rebuilding = false;
  }
};

// The menu painter of the provider's manager, when that manager is the default one.
TsSkinableMenus* MenuPainter(const TsSkinProvider& p) {
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || m != DefaultManager()) return nullptr;
  return SkinableMenusOf(m);
}

void SkinComponent(TsSkinProvider& p, TsSkinableMenus& menus, gui::TComponent& c, bool enable) {
  const bool popups = enable && menus.Owner().SkinnedPopups;
  if (dynamic_cast<gui::TCustomFrame*>(&c) != nullptr) {
    for (int i = 0; i < c.ComponentCount(); ++i) SkinComponent(p, menus, *c.Components(i), enable);
  } else if (auto* main = dynamic_cast<gui::TMainMenu*>(&c)) {
    // A menu the application draws itself is left to it.
    if (main == p.Form()->Menu() && p.MenuOwnerDrawn) return;
    gui::TMenuItem& root = *main->Items();
    const TsSkinManager& m = menus.Owner();
    const bool bar = enable && p.DrawNonClientArea() && m.Active() && m.SkinnedPopups;
    // A bar already in the wanted hands is not built again.
    bool done = main->OwnerDraw() == bar && MenuBarFromPainter(*main) == bar;
    for (int i = 0; done && bar && i < root.Count(); ++i)
      if (root.Items(i)->Visible() && MenuItemUndrawn(*root.Items(i))) done = false;
    if (!done) InstallMainMenuHandlers(menus, *main, enable && p.DrawNonClientArea());
    for (int i = 0; i < root.Count(); ++i) InstallSubItemHandlers(menus, *root.Items(i), popups);
    if (main == p.Form()->Menu()) p.MenuSkinned = enable && root.Count() > 0;
  } else if (auto* popup = dynamic_cast<gui::TPopupMenu*>(&c)) {
    // The skinned system menu is popped up through the painter itself.
    InstallPopupMenuHandlers(menus, *popup, popups);
  } else if (auto* item = dynamic_cast<gui::TMenuItem*>(&c)) {
    // The items of a main menu are handed on with their menu; any other item with its sub-items.
    if (dynamic_cast<gui::TMainMenu*>(item->GetParentMenu()) == nullptr) InstallSubItemHandlers(menus, *item, popups);
  }
}

bool AnyUndrawnItem(const gui::TMenuItem& parent) {
  for (int i = 0; i < parent.Count(); ++i) {
    const gui::TMenuItem& item = *parent.Items(i);
    if (!item.Visible()) continue;
    if (MenuItemUndrawn(item) || AnyUndrawnItem(item)) return true;
  }
  return false;
}

}  // namespace

bool MenuItemUndrawn(const gui::TMenuItem& item) { return !item.OnAdvancedDrawItem && !item.OnDrawItem; }

void ProviderSkinMenus(TsSkinProvider& p, bool enable) {
  if (p.Designing() || p.Form() == nullptr) return;
  TsSkinableMenus* menus = MenuPainter(p);
  if (menus == nullptr) return;
  RebuildGuard guard;
  gui::TCustomForm& form = *p.Form();
  for (int i = 0; i < form.ComponentCount(); ++i) SkinComponent(p, *menus, *form.Components(i), enable);
  // A main menu that is not among the form's components (made by another owner) is the form's all the same.
  if (gui::TMainMenu* main = form.Menu(); main != nullptr && main->Owner() != &form) SkinComponent(p, *menus, *main, enable);
  if (!enable) p.MenuSkinned = p.MenuOwnerDrawn;
}

void ProviderUnskinMainMenu(TsSkinProvider& p) {
  gui::TMainMenu* menu = p.Form() ? p.Form()->Menu() : nullptr;
  TsSkinableMenus* menus = MenuPainter(p);
  if (menu != nullptr && menus != nullptr && !p.MenuOwnerDrawn && !p.Designing()) {
    RebuildGuard guard;
    InstallMainMenuHandlers(*menus, *menu, false);
  }
  p.MenuSkinned = p.MenuOwnerDrawn;
}

bool ProviderRebuildMainMenu(TsSkinProvider& p) {
  if (g_rebuilding) return false;
  gui::TMainMenu* menu = p.Form() ? p.Form()->Menu() : nullptr;
  if (menu == nullptr || menu->Items()->Count() == 0) return false;
  RebuildGuard guard;
  CommonDataBeginUpdate(p.SkinData());
  menu->Rebuild();
  CommonDataEndUpdate(p.SkinData(), false);
  return true;
}

void ProviderSkinMainMenu(TsSkinProvider& p) {
  if (p.MenuSkinned || g_rebuilding || p.Form() == nullptr || p.Designing()) return;
  gui::TMainMenu* menu = p.Form()->Menu();
  TsSkinableMenus* menus = MenuPainter(p);
  if (menu == nullptr || menus == nullptr) return;
  const TsSkinManager& m = menus->Owner();
  const bool install = p.DrawNonClientArea() && m.Active() && m.SkinnedPopups;
  gui::TMenuItem& root = *menu->Items();
  {
    RebuildGuard guard;
    // The bar's items: the form's, and an MDI form's those of its active child merged among them.
    for (gui::TMenuItem* top : menu->BarItems()) InstallTopItemHandlers(*menus, *top, install);
    if (menu->OwnerDraw() != install) {
      // The change of mode builds the bar anew by itself.
      menu->SetOwnerDraw(install);
      p.MenuSkinned = root.Count() > 0;
      return;
    }
  }
  p.MenuSkinned = ProviderRebuildMainMenu(p);
}

bool MenuBarFromPainter(const gui::TMainMenu& menu) {
  using DrawFn = void (*)(gui::TObject*, gui::TCanvas&, const TRect&, gui::TOwnerDrawState);
  const gui::TMenuItem& root = *menu.Items();
  for (int i = 0; i < root.Count(); ++i) {
    const DrawFn* f = root.Items(i)->OnAdvancedDrawItem.target<DrawFn>();
    if (f != nullptr && *f == &SkinMenuLineDrawItem) return true;
  }
  return false;
}

void ProviderMenuChanged(TsSkinProvider& p) {
  if (g_rebuilding || p.Form() == nullptr || !ProviderSkinned(p)) return;
  gui::TMainMenu* menu = p.Form()->Menu();
  TsSkinableMenus* menus = MenuPainter(p);
  if (menu == nullptr || menus == nullptr || !menus->Owner().SkinnedPopups || p.MenuOwnerDrawn) return;
  const std::vector<gui::TMenuItem*> bar = menu->BarItems();
  bool barUndrawn = false, itemsUndrawn = false;
  for (const gui::TMenuItem* top : bar) {
    if (!top->Visible()) continue;
    if (p.DrawNonClientArea() && MenuItemUndrawn(*top)) barUndrawn = true;
    if (AnyUndrawnItem(*top)) itemsUndrawn = true;
  }
  if (itemsUndrawn) {
    RebuildGuard guard;
    for (gui::TMenuItem* top : bar) InstallSubItemHandlers(*menus, *top, true);
  }
  if (barUndrawn) {
    p.MenuSkinned = false;
    ProviderSkinMainMenu(p);
  }
}

bool ProviderFillWindowMenu(TsSkinProvider& p, bool fill) {
  gui::TCustomForm* form = p.Form();
  gui::TMenuItem* windowMenu = form ? form->WindowMenu() : nullptr;
  if (windowMenu == nullptr) return false;
  // The list made at the last opening goes first.
  for (int i = windowMenu->Count() - 1; i >= 0; --i)
    if (windowMenu->Items(i)->Tag() & kWindowListTag) delete windowMenu->Items(i);
  if (!fill || form->FormStyle() != gui::TFormStyle::fsMDIForm || form->MDIChildCount() == 0) return false;
  if (windowMenu->Count() == 0 || !windowMenu->Items(windowMenu->Count() - 1)->IsLine()) {
    auto* divider = new gui::TMenuItem(windowMenu->Owner());
    divider->SetCaption("-");
    windowMenu->Add(divider);
  }
  const gui::TCustomForm* active = form->ActiveMDIChild();
  for (int i = 0; i < form->MDIChildCount(); ++i) {
    gui::TCustomForm* child = form->MDIChildren(i);
    if (!child->Visible()) continue;
    auto* item = new gui::TMenuItem(windowMenu->Owner());
    item->SetCaption(child->Caption());
    item->SetTag(i | kWindowListTag);
    item->SetChecked(child == active);
    item->OnClick = [form](gui::TObject* sender) {
      const auto* clicked = dynamic_cast<gui::TMenuItem*>(sender);
      if (clicked == nullptr) return;
      const int index = int(clicked->Tag() & ~kWindowListTag);
      if (index < form->MDIChildCount()) form->MDIChildren(index)->Show();
    };
    windowMenu->Add(item);
  }
  return true;
}

}  // namespace skin
