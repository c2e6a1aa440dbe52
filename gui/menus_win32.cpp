// The Win32 half of menus: the system menu of a menu's items, built on demand and kept up to date, the main
// menu's bar on its form's window, and popup menus tracked by the system.
#include "gui/forms.h"
#include "gui/menus.h"

namespace gui {

void TMenu::Release() {
  if (handle_) DestroyMenu(handle_);
  handle_ = nullptr;
}

namespace {
UINT ItemFlags(const TMenuItem* i) {
  UINT f = MF_STRING;
  if (i->Break() == TMenuBreak::mbBreak) f |= MF_MENUBREAK;
  if (i->Break() == TMenuBreak::mbBarBreak) f |= MF_MENUBARBREAK;
  if (i->Checked()) f |= MF_CHECKED;
  if (!i->Enabled()) f |= MF_GRAYED;
  return f;
}
void AppendItems(HMENU menu, const TMenuItem* parent) {
  for (int k = 0; k < parent->Count(); ++k) {
    const TMenuItem* i = parent->Items(k);
    if (!i->Visible()) continue;
    if (i->IsLine()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (i->Count() > 0) {
      HMENU sub = CreatePopupMenu();
      AppendItems(sub, i);
      AppendMenuA(menu, MF_POPUP | (i->Enabled() ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(sub), i->Caption().c_str());
    } else {
      AppendMenuA(menu, ItemFlags(i), i->Command(), i->Caption().c_str());
    }
  }
}
}  // namespace

void TMenu::Build() {
  handle_ = IsPopup() ? CreatePopupMenu() : CreateMenu();
  AppendItems(handle_, items_);
}

HMENU TMenu::Handle() {
  if (!handle_) Build();
  return handle_;
}

void TMenu::ItemChanged(TMenuItem* item, bool structure) {
  if (!handle_ || IsDestroying()) return;
  if (!structure && item->Count() == 0 && !item->IsLine() && item->Parent()) {
    ModifyMenuA(handle_, item->Command(), MF_BYCOMMAND | ItemFlags(item), item->Command(), item->Caption().c_str());
    if (!IsPopup() && item->Parent() == items_) Rebuilt();
    return;
  }
  HMENU old = handle_;
  handle_ = nullptr;
  Build();
  Rebuilt();
  DestroyMenu(old);
}

void TMainMenu::Rebuilt() {
  if (form_ && form_->HandleAllocated()) {
    SetMenu(form_->WindowHandle(), handle_);
    DrawMenuBar(form_->WindowHandle());
  }
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  TCustomForm* f = Application->MainForm();
  HWND owner = f ? f->Handle() : Application->Handle();
  TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

}  // namespace gui
