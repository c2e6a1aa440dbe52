// The Win32 half of the bars: the tool bar window's buttons (command id = index + 1), its clicks, drop-down
// arrows and custom drawing; the status bar window's parts, texts and owner-drawn panels.
#include <algorithm>
#include <vector>

#include "gui/bars.h"
#include "gui/imglist.h"
#include "gui/menus.h"

namespace gui {

namespace {
BYTE ButtonState(const TToolButton* b) {
  BYTE s = 0;
  if (b->Enabled()) s |= TBSTATE_ENABLED;
  if (b->Down()) s |= TBSTATE_CHECKED;
  if (!b->Visible()) s |= TBSTATE_HIDDEN;
  return s;
}
}  // namespace

void TToolBar::ButtonsToWindow() {
  if (!handle_) return;
  SendMessageA(handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  SendMessageA(handle_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  while (SendMessageA(handle_, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(handle_, TB_DELETEBUTTON, 0, 0);
  std::vector<std::string> captions;
  captions.reserve(buttons_.size());
  std::vector<TBBUTTON> tb;
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton* b = buttons_[static_cast<size_t>(i)];
    TBBUTTON t{};
    t.idCommand = i + 1;
    t.iBitmap = b->ImageIndex() >= 0 ? b->ImageIndex() : I_IMAGENONE;
    t.fsState = ButtonState(b);
    switch (b->Style()) {
      case TToolButtonStyle::tbsCheck: t.fsStyle = BTNS_CHECK; break;
      case TToolButtonStyle::tbsDropDown: t.fsStyle = BTNS_DROPDOWN; break;
      case TToolButtonStyle::tbsSeparator:
      case TToolButtonStyle::tbsDivider:
        t.fsStyle = BTNS_SEP;
        t.iBitmap = b->Width();
        break;
      default: t.fsStyle = BTNS_BUTTON; break;
    }
    captions.push_back(b->Caption());
    t.iString = showCaptions_ && !captions.back().empty() ? reinterpret_cast<INT_PTR>(captions.back().c_str()) : -1;
    tb.push_back(t);
  }
  if (!showCaptions_) SendMessageA(handle_, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  if (!tb.empty()) SendMessageA(handle_, TB_ADDBUTTONSA, tb.size(), reinterpret_cast<LPARAM>(tb.data()));
  SendMessageA(handle_, TB_SETINDENT, static_cast<WPARAM>(indent_), 0);
  // The graphic buttons take the window's own rectangles.
  layingOut_ = true;
  for (int i = 0; i < ButtonCount(); ++i) {
    RECT r{};
    if (SendMessageA(handle_, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
      buttons_[static_cast<size_t>(i)]->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  layingOut_ = false;
}

void TToolBar::ButtonStateToWindow(TToolButton* b) {
  if (!handle_) return;
  const int i = b->Index();
  if (i >= 0) SendMessageA(handle_, TB_SETSTATE, static_cast<WPARAM>(i + 1), MAKELPARAM(ButtonState(b), 0));
}

bool TToolBar::WindowButtonRect(int i, TRect& r) const {
  if (!handle_ || layingOut_ || i < 0 || i >= ButtonCount()) return false;
  RECT rc{};
  if (!SendMessageA(handle_, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc))) return false;
  r = TRect{rc.left, rc.top, rc.right, rc.bottom};
  return true;
}

void TToolBar::DropDown(TToolButton* b) {
  if (!b || !b->DropdownMenu() || !handle_) return;
  const int i = b->Index();
  RECT r{};
  SendMessageA(handle_, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  POINT p{r.left, r.bottom};
  ::ClientToScreen(handle_, &p);
  b->DropdownMenu()->Popup(p.x, p.y);
}

bool TToolBar::WindowMessage(TMessage& m) {
  switch (m.Msg) {
    // The buttons are the window's own: it takes the mouse itself (the graphic buttons only mirror where they lie).
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      DefaultHandler(m);
      return true;
    case WM_PAINT:  // nothing of the layer's own to paint on the bar
      DefaultHandler(m);
      return true;
    case WM_ERASEBKGND:
      DefaultHandler(m);
      return true;
    case CN_COMMAND:
      if (TToolButton* b = FromCommand(LOWORD(m.WParam))) {
        // The window toggled a check button itself; the layer's rule decides (groups, AllowAllUp).
        b->Click();
        ButtonStateToWindow(b);
      }
      m.Result = 0;
      return true;
    case CN_NOTIFY: {
      const auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
      if (nm->code == static_cast<UINT>(TBN_DROPDOWN)) {
        DropDown(FromCommand(reinterpret_cast<NMTOOLBARA*>(m.LParam)->iItem));
        m.Result = TBDDRET_DEFAULT;
        return true;
      }
      if (nm->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam);
        m.Result = CDRF_DODEFAULT;
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
          if (OnCustomDraw) {
            bool def = true;
            canvas_.SetHandle(cd->nmcd.hdc);
            canvas_.Font().Assign(font_);
            const RECT& r = cd->nmcd.rc;
            OnCustomDraw(this, TRect{r.left, r.top, r.right, r.bottom}, def);
            canvas_.SetHandle(nullptr);
            if (!def) m.Result = CDRF_SKIPDEFAULT;
          }
          if (OnCustomDrawButton) m.Result |= CDRF_NOTIFYITEMDRAW;
        } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && OnCustomDrawButton) {
          if (TToolButton* b = FromCommand(static_cast<int>(cd->nmcd.dwItemSpec))) {
            TCustomDrawState state = 0;
            const UINT s = cd->nmcd.uItemState;
            if (s & CDIS_SELECTED) state |= cdsSelected;
            if (s & CDIS_DISABLED) state |= cdsDisabled;
            if (s & CDIS_CHECKED) state |= cdsChecked;
            if (s & CDIS_HOT) state |= cdsHot;
            bool def = true;
            canvas_.SetHandle(cd->nmcd.hdc);
            canvas_.Font().Assign(font_);
            OnCustomDrawButton(this, b, state, def);
            canvas_.SetHandle(nullptr);
            if (!def) m.Result = CDRF_SKIPDEFAULT;
          }
        }
        return true;
      }
      break;
    }
    default:
      break;
  }
  return TWinControl::WindowMessage(m);
}

void TStatusBar::PartsToWindow() {
  if (!handle_) return;
  SendMessageA(handle_, SB_SIMPLE, simplePanel_, 0);
  if (simplePanel_) {
    SendMessageA(handle_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
    return;
  }
  std::vector<int> edges;
  int edge = 0;
  for (int i = 0; i < panels_.Count(); ++i) {
    edge += panels_.Items(i)->Width();
    edges.push_back(i == panels_.Count() - 1 ? -1 : edge);
  }
  if (edges.empty()) edges.push_back(-1);
  SendMessageA(handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < panels_.Count(); ++i) PanelTextToWindow(i);
}

void TStatusBar::PanelTextToWindow(int i) {
  if (!handle_ || simplePanel_ || i < 0 || i >= panels_.Count()) return;
  const TStatusPanel* p = panels_.Items(i);
  WPARAM flags = static_cast<WPARAM>(i);
  if (p->Bevel() == TStatusPanelBevel::pbNone) flags |= SBT_NOBORDERS;
  if (p->Bevel() == TStatusPanelBevel::pbRaised) flags |= SBT_POPOUT;
  if (p->Style() == TStatusPanelStyle::psOwnerDraw) {
    SendMessageA(handle_, SB_SETTEXTA, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(p));
    return;
  }
  // The alignment as the control knows it: a tab before the text centres it, two put it on the right.
  std::string text = p->Text();
  if (p->Alignment() == TAlignment::taCenter) text = "\t" + text;
  if (p->Alignment() == TAlignment::taRightJustify) text = "\t\t" + text;
  SendMessageA(handle_, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TStatusBar::WindowPanelRect(int i, TRect& r) const {
  if (!handle_) return false;
  RECT rc{};
  if (!SendMessageA(handle_, SB_GETRECT, static_cast<WPARAM>(simplePanel_ ? 0 : i), reinterpret_cast<LPARAM>(&rc)))
    return false;
  r = TRect{rc.left, rc.top, rc.right, rc.bottom};
  return true;
}

bool TStatusBar::WindowMessage(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    const int i = static_cast<int>(dis->itemID);
    if (i >= 0 && i < panels_.Count()) {
      canvas_.SetHandle(dis->hDC);
      canvas_.Font().Assign(font_);
      canvas_.Brush().Color = color_;
      DrawPanel(panels_.Items(i), TRect{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom});
      canvas_.SetHandle(nullptr);
    }
    m.Result = 1;
    return true;
  }
  if (m.Msg == WM_PAINT || m.Msg == WM_ERASEBKGND) {  // the window paints its own parts
    DefaultHandler(m);
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
