// The Win32 half of menus: the system menu of a menu's items, built on demand and kept up to date, the main
// menu's bar on its form's window, popup menus tracked by the system, and owner-drawn items asked for their
// size and drawn through their events. Every item carries its command number as its item data, so that an
// owner-draw request finds the item (and finds nothing once the item is gone).
#include "gui/forms.h"
#include "gui/menus.h"

namespace gui {

void TMenu::Release() {
  if (handle_) DestroyMenu(handle_);
  handle_ = nullptr;
}

namespace {

// The text the system shows for an item: its caption, and its shortcut after a tab.
std::string ItemText(const TMenuItem* i) {
  std::string text = i->Caption();
  if (i->ShortCut() != 0) {
    text += '\t';
    text += ShortCutToText(i->ShortCut());
  }
  return text;
}

void FillItemInfo(MENUITEMINFOA& mi, const TMenuItem* i, bool ownerDraw, std::string& text) {
  mi = MENUITEMINFOA{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
  mi.fType = i->IsLine() ? MFT_SEPARATOR : MFT_STRING;
  // An item with a draw handler of its own is drawn by it whatever its menu's mode.
  if (ownerDraw || i->OnDrawItem || i->OnAdvancedDrawItem) mi.fType |= MFT_OWNERDRAW;
  if (i->Break() == TMenuBreak::mbBreak) mi.fType |= MFT_MENUBREAK;
  if (i->Break() == TMenuBreak::mbBarBreak) mi.fType |= MFT_MENUBARBREAK;
  if (i->RadioItem()) mi.fType |= MFT_RADIOCHECK;
  mi.fState = (i->Checked() ? MFS_CHECKED : 0) | (i->Enabled() ? 0 : MFS_GRAYED) | (i->Default() ? MFS_DEFAULT : 0);
  mi.wID = i->Command();
  mi.dwItemData = i->Command();
  if (!i->IsLine()) {
    text = ItemText(i);
    mi.fMask |= MIIM_STRING;
    mi.dwTypeData = text.data();
  }
}

}  // namespace

void TMenu::AppendItems(HMENU menu, const std::vector<TMenuItem*>& items, bool ownerDraw) {
  UINT position = 0;
  for (TMenuItem* i : items) {
    i->subHandle_ = nullptr;
    if (!i->Visible()) continue;
    MENUITEMINFOA mi;
    std::string text;
    FillItemInfo(mi, i, ownerDraw, text);
    if (i->Count() > 0 && !i->IsLine()) {
      HMENU sub = CreatePopupMenu();
      AppendItems(sub, i->items_, ownerDraw);
      i->subHandle_ = sub;
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = sub;
    }
    InsertMenuItemA(menu, position++, TRUE, &mi);
  }
}

void TMenu::ForgetSubHandles(TMenuItem* parent) {
  for (TMenuItem* i : parent->items_) {
    i->subHandle_ = nullptr;
    ForgetSubHandles(i);
  }
}

void TMenu::Build() {
  ForgetSubHandles(items_);
  handle_ = IsPopup() ? CreatePopupMenu() : CreateMenu();
  const std::vector<TMenuItem*> bar = BarItems();
  for (TMenuItem* i : bar)
    if (i->GetParentMenu() != this) ForgetSubHandles(i);
  AppendItems(handle_, bar, ownerDraw_);
}

HMENU TMenu::Handle() {
  if (!handle_) Build();
  return handle_;
}

void TMenu::ItemChanged(TMenuItem* item, bool structure) {
  if (IsDestroying()) return;
  MergedChanged();
  if (!handle_) return;
  if (!structure && item->Count() == 0 && !item->IsLine() && item->Parent()) {
    MENUITEMINFOA mi;
    std::string text;
    FillItemInfo(mi, item, ownerDraw_, text);
    mi.fMask &= ~UINT(MIIM_ID);
    SetMenuItemInfoA(handle_, item->Command(), FALSE, &mi);
    if (!IsPopup() && item->Parent() == items_) Rebuilt();
    return;
  }
  if (structure && item != items_ && item->subHandle_ && item->Count() > 0 && IsMenu(item->subHandle_)) {
    // The sub-menu's items again, in its own handle (its nested sub-menus go with their entries).
    ForgetSubHandles(item);
    while (GetMenuItemCount(item->subHandle_) > 0) DeleteMenu(item->subHandle_, 0, MF_BYPOSITION);
    AppendItems(item->subHandle_, item->items_, ownerDraw_);
    SubMenuRebuilt();
    return;
  }
  HMENU old = handle_;
  handle_ = nullptr;
  Build();
  Rebuilt();
  DestroyMenu(old);
}

void TMainMenu::MergedChanged() {
  if (TCustomForm* frame = MergedInto())
    if (frame->ActiveMDIChild() == form_) frame->Menu()->Rebuild();
}

void TMainMenu::SubMenuRebuilt() {
  if (form_ && form_->HandleAllocated()) form_->Perform(CM_MENUCHANGED, 0, 0);
}

void TMainMenu::Rebuilt() {
  if (form_ && form_->HandleAllocated()) {
    // An MDI form's client window sets its bar, and adds the maximized child's icon and buttons to it.
    if (form_->FormStyle() == TFormStyle::fsMDIForm && form_->ClientHandle())
      SendMessageA(form_->ClientHandle(), WM_MDISETMENU, reinterpret_cast<WPARAM>(handle_), 0);
    else
      SetMenu(form_->WindowHandle(), handle_);
    DrawMenuBar(form_->WindowHandle());
    form_->Perform(CM_MENUCHANGED, 0, 0);
  }
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  TCustomForm* f = Application->MainForm();
  HWND owner = WindowHandle ? static_cast<HWND>(WindowHandle) : f ? f->Handle() : Application->Handle();
  TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

bool DispatchMenuOwnerDraw(TMessage& m) {
  if (m.Msg == WM_MEASUREITEM) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    if (!mis || mis->CtlType != ODT_MENU) return false;
    TMenuItem* item = TMenuItem::FromCommand(UINT(mis->itemData));
    if (!item) return false;
    HDC dc = GetDC(nullptr);
    {
      TCanvas canvas;
      canvas.SetHandle(dc);
      int width = int(mis->itemWidth), height = int(mis->itemHeight);
      item->MeasureItem(canvas, width, height);
      mis->itemWidth = UINT(width > 0 ? width : 0);
      mis->itemHeight = UINT(height > 0 ? height : 0);
      canvas.SetHandle(nullptr);
    }
    ReleaseDC(nullptr, dc);
    m.Result = TRUE;
    return true;
  }
  if (m.Msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (!dis || dis->CtlType != ODT_MENU) return false;
    TMenuItem* item = TMenuItem::FromCommand(UINT(dis->itemData));
    if (!item) return false;
    const int saved = SaveDC(dis->hDC);
    {
      TCanvas canvas;
      canvas.SetHandle(dis->hDC);
      item->DrawItem(canvas, TRect{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom},
                     TOwnerDrawState(dis->itemState));
      canvas.SetHandle(nullptr);
    }
    RestoreDC(dis->hDC, saved);
    m.Result = TRUE;
    return true;
  }
  return false;
}

}  // namespace gui
