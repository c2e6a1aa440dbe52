// The headless half of menus: no system menu exists natively; menus are their items, and a popup menu only
// tells its OnPopup.
#include "gui/menus.h"

namespace gui {

void TMenu::Release() { handle_ = nullptr; }

void TMenu::Build() {}

HMENU TMenu::Handle() { return handle_; }

void TMenu::ItemChanged(TMenuItem* item, bool structure) {}

void TMainMenu::Rebuilt() {}

void TMainMenu::SubMenuRebuilt() {}

void TMenu::AppendItems(HMENU, const std::vector<TMenuItem*>&, bool) {}

void TMainMenu::MergedChanged() {}

void TMenu::ForgetSubHandles(TMenuItem*) {}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
}

}  // namespace gui

namespace gui {

// No system menu sends owner-draw requests natively.
bool DispatchMenuOwnerDraw(TMessage&) { return false; }

}  // namespace gui
