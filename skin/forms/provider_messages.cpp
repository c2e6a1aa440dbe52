// More window messages of a skinned form (see provider_messages.h); the system's records are read in
// provider_messages_win32.cpp.
#include "skin/forms/provider_messages.h"

#include <vector>

#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmenus.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_scroll.h"
#include "skin/forms/provider_wndproc.h"

namespace skin {

bool ProviderMeasureMenuItem(TsSkinProvider& p, gui::TMenuItem& item, int& width, int& height) {
  TsSkinManager* m = ProviderManager(p);
  gui::TMainMenu* menu = p.Form() ? p.Form()->Menu() : nullptr;
  if (m == nullptr || menu == nullptr || item.GetParentMenu() != menu || SkinableMenusOf(m) == nullptr) return false;
  gui::TCanvas canvas;
  if (item.Parent() == menu->Items())
    SkinMenuLineMeasureItem(&item, canvas, width, height);
  else
    SkinMenuMeasureItem(&item, canvas, width, height);
  return true;
}

void ProviderWmContextMenu(TsSkinProvider& p, gui::TMessage& m) {
  TsSkinManager* manager = ProviderManager(p);
  gui::TPopupMenu* popup = p.Form() ? p.Form()->PopupMenu() : nullptr;
  if (manager && popup)
    if (TsSkinableMenus* menus = SkinableMenusOf(manager))
      InstallPopupMenuHandlers(*menus, *popup, manager->SkinnedPopups);
  ProviderCallOldProc(p, m);
}

void ProviderCmControlListChange(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  auto* control = dynamic_cast<gui::TWinControl*>(reinterpret_cast<gui::TControl*>(m.WParam));
  if (m.LParam == 0 || control == nullptr) return;
  // Its transparency flags are computed again where it lands; a control moved here with its window is adapted
  // now (a new one is when its window is made).
  control->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_TRANSPARENCYFLAGS), 1);
  if (control->HandleAllocated() && p.Adapter && p.Form() && FormWindowVisible(*p.Form())) ProviderRescanAdapter(p);
}

void ProviderChildWindowsChanged(TsSkinProvider& p) {
  gui::TCustomForm* form = p.Form();
  if (form == nullptr || p.IsLoading() || form->IsLoading() || form->IsDestroying()) return;
  // Over a copy: a control may leave the form while it is told.
  std::vector<gui::TWinControl*> children;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* child = dynamic_cast<gui::TWinControl*>(form->Controls(i))) children.push_back(child);
  for (gui::TWinControl* child : children)
    child->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_TRANSPARENCYFLAGS), 1);
}

void ProviderCmRecreateWnd(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  if (PreviewMode() && p.Form() && p.Form()->HandleAllocated()) ProviderNotifySkinEditor(FormWindowHandle(*p.Form()));
}

void ProviderCmRefreshSkin(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  ProviderFreeScrollWnd(p);
  if (p.Form() && p.Form()->HandleAllocated())
    SendFormMessage(*p.Form(), WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH),
                    reinterpret_cast<intptr_t>(ProviderManager(p)));
}

bool ProviderMDIChildMaximized(const TsSkinProvider& p) {
  const gui::TCustomForm* form = p.Form();
  if (form == nullptr || form->FormStyle() != gui::TFormStyle::fsMDIForm) return false;
  const gui::TCustomForm* child = form->ActiveMDIChild();
  return child != nullptr && FormWindowExists(*child) && FormWindowZoomed(*child);
}

}  // namespace skin
