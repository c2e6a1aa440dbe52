// The Win32 half of the page controls: the tab control window's items (one per page with a tab, the page as
// the item's data), its selection, its geometry, and its notifications (a click on a tab, owner-drawn tabs).
#include <algorithm>

#include "gui/imglist.h"
#include "gui/pagectrl.h"

namespace gui {

void TPageControl::TabsToWindow() {
  if (!handle_) return;
  SendMessageA(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  if (tabHeight_ > 0 || tabWidth_ > 0) SendMessageA(handle_, TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
  SendMessageA(handle_, TCM_DELETEALLITEMS, 0, 0);
  int n = 0;
  for (TTabSheet* p : pages_) {
    if (!p->TabVisible()) continue;
    std::string caption = p->Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    item.pszText = caption.data();
    item.iImage = p->ImageIndex();
    item.lParam = reinterpret_cast<LPARAM>(p);
    SendMessageA(handle_, TCM_INSERTITEMA, static_cast<WPARAM>(n++), reinterpret_cast<LPARAM>(&item));
  }
  PlacePages();
}

void TPageControl::SelectionToWindow() {
  if (!handle_) return;
  const int tab = TabIndex();
  if (SendMessageA(handle_, TCM_GETCURSEL, 0, 0) != tab) SendMessageA(handle_, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
}

bool TPageControl::WindowTabRect(int tabIndex, TRect& r) const {
  if (!handle_) return false;
  RECT rc{};
  if (!SendMessageA(handle_, TCM_GETITEMRECT, static_cast<WPARAM>(tabIndex), reinterpret_cast<LPARAM>(&rc))) return false;
  r = TRect{rc.left, rc.top, rc.right, rc.bottom};
  return true;
}

bool TPageControl::WindowDisplayRect(TRect& r) const {
  if (!handle_) return false;
  RECT rc;
  GetClientRect(handle_, &rc);
  SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
  r = TRect{rc.left, rc.top, std::max(rc.right, rc.left), std::max(rc.bottom, rc.top)};
  return true;
}

int TPageControl::WindowRowCount() const {
  return handle_ ? static_cast<int>(SendMessageA(handle_, TCM_GETROWCOUNT, 0, 0)) : 0;
}

bool TPageControl::WindowMessage(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    const auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
    if (nm->code == static_cast<UINT>(TCN_SELCHANGING)) {
      bool allow = true;
      if (OnChanging) OnChanging(this, allow);
      m.Result = allow ? 0 : 1;
      return true;
    }
    if (nm->code == static_cast<UINT>(TCN_SELCHANGE)) {
      const int tab = static_cast<int>(SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
      TTabSheet* p = TabPage(tab);
      if (p && p != activePage_) {
        SetActivePage(p);
        if (OnChange) OnChange(this);
      }
      m.Result = 0;
      return true;
    }
  }
  if (m.Msg == CN_DRAWITEM) {
    const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    const TRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
    canvas_.SetHandle(dis->hDC);
    canvas_.Font().Assign(font_);
    canvas_.Brush().Color = color_;
    if (OnDrawTab) {
      OnDrawTab(this, static_cast<int>(dis->itemID), r, (dis->itemState & ODS_SELECTED) != 0);
    } else {
      canvas_.FillRect(r);
      if (TTabSheet* p = TabPage(static_cast<int>(dis->itemID))) canvas_.TextOut(r.Left + 6, r.Top + 3, p->Caption());
    }
    canvas_.SetHandle(nullptr);
    m.Result = 1;
    return true;
  }
  if (m.Msg == WM_SIZE) {
    const bool handled = TWinControl::WindowMessage(m);
    PlacePages();
    return handled;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
