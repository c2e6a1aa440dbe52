// The component layer's tool bar painted from the skin through its custom-draw events.
#include "skin/adapters/actoolbar.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/imglist.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/bitmap_part.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"

namespace skin {

namespace {

// The menu of a drop-down button closed (posted to the bar by the component layer).
constexpr UINT kDropDownClosed = 0x1400;

}  // namespace

// What the bar's events hold: the adapter while it is there.
struct TacToolBarVCLWnd::Link {
  TacToolBarVCLWnd* Adapter = nullptr;
};

TPoint TacToolBarVCLWnd::ClientOrigin() const {
  RECT wr{};
  GetWindowRect(Handle, &wr);
  POINT p{0, 0};
  ClientToScreen(Handle, &p);
  return TPoint{p.x - wr.left, p.y - wr.top};
}

int32_t TacToolBarVCLWnd::ButtonState(bool Down, gui::TCustomDrawState State) {
  if (!Down && (State & ~gui::cdsDisabled) == 0) return 0;
  if (!Down && !(State & (gui::cdsSelected | gui::cdsChecked))) return 1;
  return 2;
}

void TacToolBarVCLWnd::Initialize() {
  if (OwnsSkinData && SkinData != nullptr && SkinData->FSkinManager == nullptr) SkinData->FSkinManager = SkinManager;
  ToolBar = dynamic_cast<gui::TToolBar*>(SkinData->OwnerControl);
  HookEvents();
  TacSelfPaintedWnd::Initialize();
  if (ToolBar != nullptr && IsWindowVisible(Handle))
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TacToolBarVCLWnd::HookEvents() {
  if (ToolBar == nullptr || hooked_) return;
  link_ = std::make_shared<Link>();
  link_->Adapter = this;
  savedBarEvent_ = ToolBar->OnCustomDraw;
  savedButtonEvent_ = ToolBar->OnCustomDrawButton;
  std::shared_ptr<Link> link = link_;
  ToolBar->OnCustomDraw = [link](gui::TToolBar*, const TRect& r, bool& def) {
    if (link->Adapter != nullptr) link->Adapter->PaintBar(r, def);
  };
  ToolBar->OnCustomDrawButton = [link](gui::TToolBar*, gui::TToolButton* b, gui::TCustomDrawState s, bool& def) {
    if (link->Adapter != nullptr) link->Adapter->PaintButton(b, s, def);
  };
  hooked_ = true;
}

void TacToolBarVCLWnd::UnhookEvents() {
  if (!hooked_) return;
  hooked_ = false;
  if (link_) link_->Adapter = nullptr;
  link_.reset();
  DroppedButton = nullptr;
  if (ToolBar != nullptr) {
    ToolBar->OnCustomDraw = savedBarEvent_;
    ToolBar->OnCustomDrawButton = savedButtonEvent_;
  }
  savedBarEvent_ = nullptr;
  savedButtonEvent_ = nullptr;
}

void TacToolBarVCLWnd::DetachedFromWindow() {
  if (ToolBar != nullptr && !ToolBar->IsDestroying()) {
    UnhookEvents();
    if (Handle != nullptr && IsWindow(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  } else {
    // The bar is on its way out (its events may be gone already): what stays in them does nothing any more.
    hooked_ = false;
    if (link_) link_->Adapter = nullptr;
    link_.reset();
  }
  ToolBar = nullptr;
  DroppedButton = nullptr;
  TacSelfPaintedWnd::DetachedFromWindow();
}

void TacToolBarVCLWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  PaintSkinItem(SkinData->SkinIndex, ci, 0, TRect{0, 0, cache.Width(), cache.Height()}, TPoint{}, cache, SkinManager);
  SetAlphaRect(cache, TRect{0, 0, cache.Width(), cache.Height()}, 255, clNone);
  SkinData->BGChanged = false;
}

void TacToolBarVCLWnd::PaintFrame(HDC DC) {
  if (SkinChangeInProgress(SkinManager)) return;
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
  if (!SkinData->CacheBmp || SkinData->CacheBmp->Empty()) return;
  const TPoint o = ClientOrigin();
  if (o.X <= 0 && o.Y <= 0) return;
  HDC dc = DC != nullptr ? DC : ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  {
    BitmapDC src(*SkinData->CacheBmp);
    if (src.dc() != nullptr)
      CopyBorderStrips(dc, 0, 0, std::max(o.X, o.Y), SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(),
                       src.dc(), 0, 0);
  }
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
}

void TacToolBarVCLWnd::PaintBar(const TRect& R, bool& DefaultDraw) {
  (void)R;
  if (Destroyed || !CanPaint() || ToolBar == nullptr) return;
  if (SkinData->Updating) return;
  gui::TCanvas& canvas = ToolBar->Canvas();
  canvas.Font().Assign(ToolBar->Font());
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
  HDC dc = canvas.Handle();
  if (dc != nullptr && SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    RECT client{};
    GetClientRect(Handle, &client);
    const TPoint o = ClientOrigin();
    BitmapToDC(dc, 0, 0, client.right, client.bottom, *SkinData->CacheBmp, o.X, o.Y);
    if (client.right + 2 * o.X < WndSize.cx || client.bottom + 2 * o.Y < WndSize.cy)
      SendMessageA(Handle, WM_NCPAINT, 1, 0);
  }
  DefaultDraw = false;
}

void TacToolBarVCLWnd::PaintButton(gui::TToolButton* Button, gui::TCustomDrawState State, bool& DefaultDraw) {
  if (Destroyed || !CanPaint() || ToolBar == nullptr || Button == nullptr) return;
  DefaultDraw = false;
  HDC dc = ToolBar->Canvas().Handle();
  const int32_t w = Button->Width(), h = Button->Height();
  if (dc == nullptr || w <= 0 || h <= 0) return;
  const bool designing = (ToolBar->ComponentState() & gui::csDesigning) != 0;
  if (Button->Index() == HotButton && !designing && DroppedButton == nullptr) State |= gui::cdsHot;
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
  if (!SkinData->CacheBmp) return;
  const TPoint o = ClientOrigin();
  const int32_t section = SkinManagerGetSectionIndex(*SkinManager, "TOOLBUTTON");
  Bitmap bmp(w, h, pf32bit);
  CopyBitmapPart(bmp, 0, 0, w, h, *SkinData->CacheBmp, Button->Left() + o.X, Button->Top() + o.Y);
  int32_t state = ButtonState(Button->Down(), State);
  if (section >= 0) {
    const int32_t states = SkinManager->Skin().Sections[size_t(section)].States;
    state = std::min<int32_t>(state, std::max<int32_t>(states - 1, 0));
    PaintSkinItem(section, CacheInfoFromBitmap(SkinData->CacheBmp.get(), Button->Left() + o.X, Button->Top() + o.Y),
                  state, TRect{0, 0, w, h}, TPoint{}, bmp, SkinManager);
  }
  const bool dropDown = Button->Style() == gui::TToolButtonStyle::tbsDropDown;
  const int32_t arrow = dropDown ? GetSystemMetrics(SM_CXVSCROLL) - 2 : 0;
  TRect content{0, 0, w - arrow, h};
  if (state == 2 && SkinManager->ButtonsOptions.ShiftContentOnClick) content = TRect{1, 1, w - arrow + 1, h + 1};
  gui::TCustomImageList* images = ToolBar->Images();
  if (images != nullptr && Button->ImageIndex() >= 0 && images->Handle() != nullptr) {
    int iw = 0, ih = 0;
    ImageList_GetIconSize(images->Handle(), &iw, &ih);
    const int32_t y = ToolBar->ShowCaptions() ? content.Top + 3 : content.Top + (content.Height() - ih) / 2;
    BitmapDC bdc(bmp);
    if (bdc.dc() != nullptr)
      ImageList_Draw(images->Handle(), Button->ImageIndex(), bdc.dc(), content.Left + (content.Width() - iw) / 2, y,
                     ILD_TRANSPARENT);
    if (ToolBar->ShowCaptions()) content.Top = y + ih;
  }
  if (ToolBar->ShowCaptions() && !Button->Caption().empty())
    WriteTextSectionEx(bmp, ToolBar->Font(), Button->Caption(), Button->Enabled(), SkinManager, content, state, section,
                       DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (dropDown && section >= 0) {
    const SkinSectionRecord& s = SkinManager->Skin().Sections[size_t(section)];
    DrawArrowGlyph(bmp, state == 0 ? s.NormalState.FontColor : s.HotState.FontColor, TRect{w - arrow, 0, w, h}, 3);
  }
  SetAlphaRect(bmp, TRect{0, 0, w, h}, 255, clNone);
  if (!Button->Enabled() || (State & gui::cdsDisabled)) {
    CacheInfo ci = CacheInfoFromBitmap(SkinData->CacheBmp.get(), Button->Left() + o.X, Button->Top() + o.Y);
    PaintDisabledLook(bmp, dkBlended, WindowBgColor(Handle), TPoint{}, ci);
  }
  BitmapToDC(dc, Button->Left(), Button->Top(), w, h, bmp, 0, 0);
}

void TacToolBarVCLWnd::RepaintButton(int32_t Index) {
  if (ToolBar == nullptr || Index < 0 || Index >= ToolBar->ButtonCount()) return;
  const TRect r = ToolBar->ButtonRect(Index);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  InvalidateRect(Handle, &rc, FALSE);
}

void TacToolBarVCLWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_SKINCOMMAND && !Destroyed && SkinData != nullptr && AcceptSkinCommand(m)) {
    const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
    switch (SkinCommandCode(m.WParam)) {
      case AC_SKINLOADED:
        if (own) HookEvents();
        break;
      case AC_SKINREMOVED:
        if (own) UnhookEvents();
        TacMainWnd::WndProc(m);
        return;
      case AC_SKINREFRESH:
        if (own) DroppedButton = nullptr;
        break;
      case AC_UPDATECACHE:
        return;
      case AC_GETBACKGROUND:
        if (CanPaint()) {
          if (SkinData->BGChanged) PaintCache();
          CommonDataMessage(m, SkinData);
          if (auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam); info != nullptr && info->BgType == btCache) {
            const TPoint o = ClientOrigin();
            info->Offset = TPoint{info->Offset.X + o.X, info->Offset.Y + o.Y};
          }
          return;
        }
        break;
      default:
        break;
    }
  }
  if (HandledFirst(m)) return;
  if (m.Msg == gui::CN_NOTIFY && m.LParam != 0 && ToolBar != nullptr &&
      reinterpret_cast<const NMHDR*>(m.LParam)->code == static_cast<UINT>(TBN_DROPDOWN)) {
    // The button's menu is shown while the message is handled: no hot look meanwhile, none after it closed.
    const int id = reinterpret_cast<const NMTOOLBARA*>(m.LParam)->iItem;
    DroppedButton = id >= 1 && id <= ToolBar->ButtonCount() ? ToolBar->Buttons(id - 1) : nullptr;
    TacMainWnd::WndProc(m);
    if (Destroyed) return;
    gui::TMessage closed{kDropDownClosed, 0, 0, 0};
    WndProc(closed);
    return;
  }
  switch (m.Msg) {
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc == nullptr) return;
      SkinData->Updating = 0;
      if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
      PaintFrame(dc);
      const TPoint o = ClientOrigin();
      RECT client{};
      GetClientRect(Handle, &client);
      const int saved = SaveDC(dc);
      POINT old{};
      OffsetViewportOrgEx(dc, o.X, o.Y, &old);
      IntersectClipRect(dc, 0, 0, client.right, client.bottom);
      SendMessageA(Handle, WM_PAINT, WPARAM(dc), 0);
      RestoreDC(dc, saved);
      m.Result = 0;
      return;
    }
    case WM_NCPAINT:
      PaintFrame(nullptr);
      m.Result = 0;
      return;
    case WM_PAINT:
      if (SkinData->Updating) {
        ValidateRect(Handle, nullptr);
        m.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case kDropDownClosed:
      HotButton = -1;
      if (DroppedButton != nullptr) RepaintButton(DroppedButton->Index());
      DroppedButton = nullptr;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (Destroyed || ToolBar == nullptr) return;
  switch (m.Msg) {
    case WM_SIZE:
      SkinData->BGChanged = true;
      if (!SkinData->Updating) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE);
      break;
    case WM_MOUSEMOVE: {
      if ((ToolBar->ComponentState() & gui::csDesigning) || DroppedButton != nullptr) break;
      if (!tracking_) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle, 0};
        tracking_ = TrackMouseEvent(&t) != 0;
      }
      gui::TToolButton* b = ToolBar->ButtonAt(short(LOWORD(m.LParam)), short(HIWORD(m.LParam)));
      int32_t hot = -1;
      if (b != nullptr && b->Style() < gui::TToolButtonStyle::tbsSeparator && b->Enabled()) hot = b->Index();
      if (hot != HotButton) {
        const int32_t old = HotButton;
        HotButton = hot;
        RepaintButton(old);
        RepaintButton(hot);
      }
      break;
    }
    case WM_MOUSELEAVE:
    case gui::CM_MOUSELEAVE: {
      tracking_ = false;
      const int32_t old = HotButton;
      HotButton = -1;
      RepaintButton(old);
      break;
    }
    case gui::CN_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMHDR*>(m.LParam);
      if (nm == nullptr) break;
      if (nm->code == static_cast<UINT>(TBN_DELETINGBUTTON)) {
        if (HotButton >= ToolBar->ButtonCount()) HotButton = -1;
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace skin
