// The skinned push button and bitmap button: owner-drawn windows painted from their skin data's cache, and the
// glyph painting the library's buttons share.
#include "skin/forms/sbuttons.h"

#include <windows.h>

#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmenus.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"

namespace skin {

uint8_t& ButtonPaintPressed() {
  static uint8_t flag = 0;
  return flag;
}

uint8_t& ButtonRegionLock() {
  static uint8_t lock = 0;
  return lock;
}

namespace {

const SkinSectionRecord* SectionOf(TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, index)) return nullptr;
  return &m->Skin().Sections[size_t(index)];
}

bool PtInWindow(HWND h) {
  POINT p{};
  GetCursorPos(&p);
  RECT r{};
  GetWindowRect(h, &r);
  return PtInRect(&r, p) != 0;
}

// Whether the window lies wholly inside its parent's client area (a window without a parent does).
bool WhollyInsideParent(HWND h) {
  const HWND parent = GetParent(h);
  if (parent == nullptr) return true;
  RECT client{}, r{};
  if (!GetClientRect(parent, &client) || !GetWindowRect(h, &r)) return false;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom;
}

TColor ParentColorOf(HWND h) {
  gui::TWinControl* parent = gui::TWinControl::FromHandle(GetParent(h));
  return parent != nullptr ? TColor(platform::ColorToRGB(parent->Color())) : TColor(0xF0F0F0);
}

}  // namespace

// ---- TsButtonCore.

template <class Base>
TsButtonCore<Base>::TsButtonCore(gui::TComponent* AOwner)
    : Base(AOwner), skinData_(std::make_unique<TsCtrlSkinData>()) {
  this->controlStyle_ &= ~(gui::csOpaque | gui::csDoubleClicks);
  CommonDataInit(*skinData_, this, true);
  skinData_->SkinSection = "BUTTON";
  skinData_->RepaintBlocked = 0;
  CommonDataUpdateIndexes(*skinData_, true);
  imageLink_.OnChange = [this](gui::TObject*) { Changed(); };
  alive_ = std::make_shared<bool>(true);
}

template <class Base>
TsButtonCore<Base>::~TsButtonCore() {
  *alive_ = false;
  CommonDataStopAnimation(*skinData_);
  DropPendingRegion();
  if (images_ != nullptr) images_->UnRegisterChanges(&imageLink_);
}

template <class Base>
void TsButtonCore<Base>::SetDown(bool v) {
  if (down_ == v) return;
  down_ = v;
  repaintNeeded_ = true;
  if (!this->IsLoading()) Changed();
}

template <class Base>
void TsButtonCore<Base>::SetImages(gui::TCustomImageList* List) {
  if (images_ == List) return;
  if (images_ != nullptr) images_->UnRegisterChanges(&imageLink_);
  images_ = List;
  if (images_ != nullptr) {
    images_->RegisterChanges(&imageLink_);
    images_->FreeNotification(this);
  }
  Changed();
}

template <class Base>
void TsButtonCore<Base>::Changed() {
  skinData_->BGChanged = true;
  if (this->HandleAllocated()) InvalidateRect(this->WindowHandle(), nullptr, FALSE);
}

template <class Base>
bool TsButtonCore<Base>::Skinned() {
  TsSkinManager* m = skinData_->SkinManager();
  if (m == nullptr || !m->Active() || m->Skin().Sections.empty()) return false;
  // A skin loaded after the control was made: its section looked up on first use.
  if (!SkinManagerIsValidSectionIndex(*m, skinData_->SkinIndex)) CommonDataUpdateIndexes(*skinData_, true);
  return SkinManagerIsValidSectionIndex(*m, skinData_->SkinIndex);
}

template <class Base>
bool TsButtonCore<Base>::ActiveDefault() const {
  if (!default_ || !this->Enabled()) return false;
  const HWND focus = GetFocus();
  if (focus == nullptr || focus == this->WindowHandle()) return true;
  return dynamic_cast<gui::TButton*>(gui::TWinControl::FromHandle(focus)) == nullptr;
}

template <class Base>
int32_t TsButtonCore<Base>::CurrentState() {
  TsSkinManager* m = skinData_->SkinManager();
  PushStateInput in;
  in.Pushed = this->HandleAllocated() &&
              (SendMessageA(this->WindowHandle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  in.PaintPressed = ButtonPaintPressed() != 0;
  in.KeyboardPress = (GetKeyState(VK_LBUTTON) & 0x8000) == 0;
  in.MouseOver = skinData_->MouseAbove != 0;
  in.NoMouseHover = m != nullptr && m->Options.NoMouseHover;
  in.Down = down_;
  in.DropDownOpen = dropDownOpen_;
  in.Designing = (this->ComponentState() & gui::csDesigning) != 0;
  in.ActiveDefault = ActiveDefault();
  return PushButtonState(in);
}

template <class Base>
bool TsButtonCore<Base>::ContentShift() {
  TsSkinManager* m = skinData_->SkinManager();
  const bool skinned = Skinned();
  return ContentShifts(CurrentState() == bstPressed, skinned, m != nullptr,
                       m != nullptr && m->ButtonsOptions.ShiftContentOnClick);
}

template <class Base>
void TsButtonCore<Base>::Invalidate() {
  if (skinData_) skinData_->BGChanged = true;  // the base classes' setters (layout, glyph, margins) end here
  Base::Invalidate();
}

template <class Base>
bool TsButtonCore<Base>::CacheStale() {
  const Bitmap* cache = skinData_->CacheBmp.get();
  if (cache == nullptr || cache->Width() != this->Width() || cache->Height() != this->Height()) return true;
  if (skinData_->BGChanged || skinData_->PaintSkipped != 0 || cacheState_ != CurrentState()) return true;
  const HWND parent = this->HandleAllocated() ? GetParent(this->WindowHandle()) : nullptr;
  return parent != nullptr && SendMessageA(parent, WM_SKINCOMMAND, SkinCommandWParam(AC_GETTAGBYTE), 0) != 0;
}

template <class Base>
const SkinImageRecord* TsButtonCore<Base>::RegionBorder(int32_t SkinState) {
  TsSkinManager* m = skinData_->SkinManager();
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, skinData_->BorderIndex)) return nullptr;
  const SkinImageRecord& rec = m->Skin().Images[size_t(skinData_->BorderIndex)];
  if (rec.TransparentFlag != 2 || (SkinState == 0 && (rec.DrawMode & 2) != 0)) return nullptr;
  return &rec;
}

template <class Base>
void TsButtonCore<Base>::DropPendingRegion() {
  if (pendingRegion_ != nullptr) ledger::DeleteObject(static_cast<HRGN>(pendingRegion_));
  pendingRegion_ = nullptr;
}

template <class Base>
void TsButtonCore<Base>::TakeWindowRegion(bool Redraw) {
  DropPendingRegion();
  repaintNeeded_ = true;
  if (!windowRegion_ || !this->HandleAllocated()) return;
  // The window frees the region it holds.
  SetWindowRgn(this->WindowHandle(), nullptr, Redraw ? TRUE : FALSE);
  windowRegion_ = false;
}

template <class Base>
void TsButtonCore<Base>::HandRegionToWindow() {
  if (pendingRegion_ == nullptr || !this->HandleAllocated()) return;
  const HWND h = this->WindowHandle();
  const HRGN region = static_cast<HRGN>(pendingRegion_);
  pendingRegion_ = nullptr;
  // From here on the window owns the region (and frees the one it held before): never deleted by us.
  if (ledger::SetWindowRgn(h, region, FALSE) == 0) {
    ledger::DeleteObject(region);
    return;
  }
  windowRegion_ = true;
  repaintNeeded_ = false;
  RECT w{};
  GetWindowRect(h, &w);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&w), 2);
  const TRect now{w.left, w.top, w.right, w.bottom};
  // The parent shows again what a larger button covered before.
  if (regionBounds_.Width() > now.Width() || regionBounds_.Height() > now.Height())
    for (const TRect& r : UncoveredStrips(regionBounds_, now)) {
      const RECT rr{r.Left, r.Top, r.Right, r.Bottom};
      InvalidateRect(GetParent(h), &rr, TRUE);
    }
  regionBounds_ = now;
}

template <class Base>
bool TsButtonCore<Base>::PaintCache() {
  if (!Skinned() || !this->HandleAllocated()) return false;
  const int32_t w = this->Width(), h = this->Height();
  if (w <= 0 || h <= 0) return false;
  TsSkinManager* m = skinData_->SkinManager();
  // What lies under the button. A parent whose own picture is not painted yet cannot tell: the button keeps its
  // cache stale, notes the paint as incomplete and waits for the parent's repaint of its children.
  CacheInfo ci;
  if (this->Parent() != nullptr) {
    BackgroundInfo bi;
    bi.R = TRect{0, 0, w, h};
    QueryControlBackground(bi, this->Parent(), false);
    if (bi.BgType == btNotReady) {
      skinData_->BGChanged = true;
      skinData_->PaintSkipped = 1;
      return false;
    }
    BackgroundToCacheInfo(bi, ci);
    ci.X += this->Left();
    ci.Y += this->Top();
  } else {
    ParentBgInfoOfWindow(this->WindowHandle(), ci);  // a window placed in a foreign parent window
  }
  CommonDataPrepareCache(*skinData_);
  Bitmap& cache = *skinData_->CacheBmp;
  const SkinSectionRecord& sec = *SectionOf(m, skinData_->SkinIndex);
  const int32_t state = CurrentState();
  cacheState_ = state;
  const int32_t s = SkinStateOf(state, SectionStateCount(sec));
  cacheSkinState_ = s;
  const TRect all{0, 0, w, h};
  // A border whose transparent corners cut the window: drawn with its key pixels left out of a new region, made
  // again when the bounds or the pressed look changed.
  const SkinImageRecord* cut = repaintNeeded_ && ButtonRegionLock() == 0 ? RegionBorder(s) : nullptr;
  // A cut put off by the region lock: the next paint without the lock paints the cache again and cuts.
  const bool cutPutOff = repaintNeeded_ && ButtonRegionLock() != 0 && RegionBorder(s) != nullptr;
  auto border = [&]() {
    if (cut != nullptr) {
      DropPendingRegion();
      HRGN region = ledger::CreateRectRgn(0, 0, w, h);
      DrawBorderImage(cache, all, *cut, s, true, region);
      pendingRegion_ = region;
    } else if (SkinManagerIsValidImageIndex(*m, skinData_->BorderIndex)) {
      DrawSkinMask(cache, all, ci, m->Skin().Images[size_t(skinData_->BorderIndex)], s, true);
    }
  };
  // The skin data's colour tone takes the face, not the glyph and caption painted over it.
  auto tone = [&]() {
    if (skinData_->ColorTone != clNone || skinData_->HUEOffset != 0 || skinData_->Saturation != 0)
      CommonDataApplyColorTone(cache, *skinData_, 0, s);
  };
  if (BorderOverContent()) {
    PaintSectionCore(skinData_->SkinIndex, ci, s, all, TPoint{}, cache, m, -1, -1, KeyColor);
    tone();
    PaintContent(cache, state, s);
    border();
  } else if (cut != nullptr) {
    PaintSectionCore(skinData_->SkinIndex, ci, s, all, TPoint{}, cache, m, -1, -1, KeyColor);
    border();
    tone();
    PaintContent(cache, state, s);
  } else {
    PaintSkinItem(skinData_->SkinIndex, ci, s, all, TPoint{}, cache, m);
    tone();
    PaintContent(cache, state, s);
  }
  if (!this->Enabled() || ActionDisabled(this))
    PaintDisabledLook(cache, disabledKind_, ParentColorOf(this->WindowHandle()), TPoint{}, ci);
  CachePainted(cache);
  skinData_->BGChanged = cutPutOff;
  // Reaching beyond its parent's client area, the button took nothing from the parent's picture there: the picture
  // is incomplete and is painted again before it is shown (the parent may have grown meanwhile and show that part).
  skinData_->PaintSkipped = WhollyInsideParent(this->WindowHandle()) ? 0 : 1;
  return true;
}

template <class Base>
void TsButtonCore<Base>::RepaintNow() {
  skinData_->BGChanged = true;
  if (this->HandleAllocated()) RedrawWindow(this->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

template <class Base>
void TsButtonCore<Base>::CreateParams(gui::TCreateParams& p) {
  Base::CreateParams(p);
  default_ = (p.Style & 0xF) == BS_DEFPUSHBUTTON;
  p.Style = (p.Style & ~DWORD(0xF)) | BS_OWNERDRAW;
}

template <class Base>
void TsButtonCore<Base>::Loaded() {
  Base::Loaded();
  skinData_->RepaintBlocked = 0;
  CommonDataUpdateIndexes(*skinData_, true);
  skinData_->BGChanged = true;
}

template <class Base>
void TsButtonCore<Base>::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  Base::Notification(AComponent, Operation);
  if (Operation == gui::TOperation::opRemove && AComponent == images_) {
    images_ = nullptr;
    Changed();
  }
}

template <class Base>
void TsButtonCore<Base>::WndProc(gui::TMessage& m) {
  const std::shared_ptr<bool> alive = alive_;
  // The window stays owner-drawn whatever style the dialog manager or the default flag asks for.
  if (m.Msg == BM_SETSTYLE) {
    default_ = (m.WParam & 0xF) == BS_DEFPUSHBUTTON;
    m.WParam = (m.WParam & ~WPARAM(0xF)) | BS_OWNERDRAW;
    Base::WndProc(m);
    if (*alive) Changed();
    return;
  }
  if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_ISSKINNED) {
    m.Result = 1;  // the control adapter leaves the button alone
    return;
  }
  if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_GETSKINDATA) {
    m.Result = reinterpret_cast<LRESULT>(static_cast<TsCommonData*>(skinData_.get()));
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    const uint16_t code = SkinCommandCode(m.WParam);
    const bool own = m.LParam == reinterpret_cast<LPARAM>(skinData_->SkinManager());
    if ((code == AC_SKINLOADED || code == AC_SKINREMOVED || code == AC_SKINREFRESH) && own) {
      CommonDataStopAnimation(*skinData_);
      CommonDataUpdateIndexes(*skinData_, true);
      if (code != AC_SKINLOADED && !(code == AC_SKINREMOVED && (this->ComponentState() & gui::csDestroying) != 0))
        TakeWindowRegion(true);
      Changed();
      return;
    }
  }
  // A press on a drop-down part opens the menu; the button itself is not pressed.
  if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && this->Enabled() &&
      DropDownPress(short(LOWORD(m.LParam)), short(HIWORD(m.LParam)))) {
    m.Result = 0;
    return;
  }
  // Asked for the size of its item, the owner-drawn button answers its own.
  if (m.Msg == gui::CN_MEASUREITEM) {
    if (auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)) {
      mi->itemWidth = UINT(std::max(this->Width(), 0));
      mi->itemHeight = UINT(std::max(this->Height(), 0));
    }
    m.Result = 1;
    return;
  }
  if (!Skinned() || !this->HandleAllocated()) {
    if (m.Msg == gui::CN_DRAWITEM) {
      PaintUnskinned(reinterpret_cast<void*>(m.LParam));
      m.Result = 1;
      return;
    }
    if (m.Msg == gui::CM_MOUSEENTER || m.Msg == gui::CM_MOUSELEAVE) {
      if (m.LParam == 0) skinData_->MouseAbove = m.Msg == gui::CM_MOUSEENTER ? 1 : 0;
      Base::WndProc(m);
      if (*alive && this->HandleAllocated()) InvalidateRect(this->WindowHandle(), nullptr, FALSE);
      return;
    }
    Base::WndProc(m);
    return;
  }
  TsSkinManager* mgr = skinData_->SkinManager();
  const HWND h = this->WindowHandle();
  switch (m.Msg) {
    case WM_SKINCOMMAND:
      switch (SkinCommandCode(m.WParam)) {
        case AC_UPDATECACHE:
          PaintCache();
          m.Result = 0;
          return;
        case AC_REPAINT:
          RepaintNow();
          return;
        case AC_FLUSHREPAINT:
          // A parent that holds its repaints holds ours too: the button is painted when the parent lets go.
          if (!CommonDataIsUpdating(*skinData_, true)) RepaintNow();
          return;
        case AC_RELEASEHANDLE:
          // Only a region not yet handed over is ours to free; the window frees the one it holds.
          DropPendingRegion();
          RepaintNow();
          return;
        default:
          break;
      }
      break;
    case gui::CN_DRAWITEM: {
      // The system asks for a new look (pressed, released, focused): the cache drawn into the item's DC.
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (di != nullptr && !CommonDataAnimationRunning(*skinData_) && PaintCache())
        BitmapToDC(di->hDC, 0, 0, skinData_->CacheBmp->Width(), skinData_->CacheBmp->Height(), *skinData_->CacheBmp,
                   0, 0);
      m.Result = 1;
      return;
    }
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps{};
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool begun = dc == nullptr;
      // Printed into an outside picture: the window keeps its region.
      std::unique_ptr<ButtonRegionLockScope> printing;
      if (m.Msg != WM_PAINT) printing = std::make_unique<ButtonRegionLockScope>();
      if (begun) dc = BeginPaint(h, &ps);
      if (CommonDataAnimationRunning(*skinData_) && skinData_->AnimTimer->Frame) {
        const Bitmap& f = *skinData_->AnimTimer->Frame;
        BitmapToDC(dc, 0, 0, f.Width(), f.Height(), f, 0, 0);
      } else {
        if (CacheStale()) PaintCache();
        // A border cutting the window: its corners show the parent's present background.
        if (skinData_->CacheBmp && repaintNeeded_ && ButtonRegionLock() == 0 && RegionBorder(cacheSkinState_) != nullptr)
          PaintParentCorners(*skinData_, cacheSkinState_, pcAll);
        if (skinData_->CacheBmp)
          BitmapToDC(dc, 0, 0, skinData_->CacheBmp->Width(), skinData_->CacheBmp->Height(), *skinData_->CacheBmp, 0,
                     0);
        if (m.Msg == WM_PAINT) HandRegionToWindow();
      }
      if (begun) EndPaint(h, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      // No default erase: the background is the cache when it is up to date. A stale one is left to the paint
      // that follows: painted here, it would take the parent's picture before the parent has painted it again
      // (a panel that grows erases its children first), and keep it.
      if (m.WParam != 0 && skinData_->CacheBmp && !CommonDataAnimationRunning(*skinData_) && !CacheStale())
        BitmapToDC(reinterpret_cast<HDC>(m.WParam), 0, 0, skinData_->CacheBmp->Width(),
                   skinData_->CacheBmp->Height(), *skinData_->CacheBmp, 0, 0);
      m.Result = 0;
      return;
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return;
    case WM_WINDOWPOSCHANGING:
      repaintNeeded_ = true;
      break;
    case WM_WINDOWPOSCHANGED:
      repaintNeeded_ = true;
      skinData_->BGChanged = true;
      break;
    case gui::CM_MOUSEENTER:
    case gui::CM_MOUSELEAVE: {
      if (m.LParam != 0) break;
      const bool enter = m.Msg == gui::CM_MOUSEENTER;
      if (enter && mgr->Options.NoMouseHover) break;
      Base::WndProc(m);
      if (!*alive) return;
      skinData_->MouseAbove = enter ? 1 : 0;
      skinData_->BGChanged = true;
      StartChangeAnimation(*skinData_, CurrentState(), ChangeAnimationStepWnd, false, false,
                           IsAnimatedEvent(enter ? aeMouseEnter : aeMouseLeave, AnimatEvents, mgr));
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // Hints stay off while the press is handled.
      const bool hints = gui::Application != nullptr && gui::Application->ShowHint();
      if (hints) gui::Application->SetShowHint(false);
      pressedByMouse_ = true;
      CommonDataStopAnimation(*skinData_);
      Base::WndProc(m);
      if (!*alive) return;
      if (!down_)
        StartChangeAnimation(*skinData_, bstPressed, ChangeAnimationStepWnd, false, false,
                             IsAnimatedEvent(aeMouseDown, AnimatEvents, mgr));
      if (hints) gui::Application->SetShowHint(true);
      return;
    }
    case WM_LBUTTONUP: {
      // A release without a press on the button (one that opened a drop-down menu, or one that began elsewhere)
      // goes no further.
      if (!pressedByMouse_) {
        m.Result = 0;
        return;
      }
      pressedByMouse_ = false;
      CommonDataStopAnimation(*skinData_);
      // The pressed look once more, held a moment, before the click runs and the look goes back.
      ButtonPaintPressed() = 1;
      RepaintNow();
      ButtonPaintPressed() = 0;
      Sleep(30);
      Base::WndProc(m);  // the click: its handler may free the button
      if (!*alive || !IsWindow(h)) return;
      skinData_->MouseAbove = PtInWindow(h) ? 1 : 0;
      skinData_->BGChanged = true;
      StartChangeAnimation(*skinData_, CurrentState(), ChangeAnimationStepWnd, false, false,
                           IsAnimatedEvent(aeMouseUp, AnimatEvents, mgr));
      return;
    }
    case WM_KEYUP:
      Base::WndProc(m);
      if (*alive && m.WParam == VK_SPACE) RepaintNow();
      return;
    case gui::CM_DIALOGCHAR:
      // The space bar on the focused button presses it: the pressed look is painted at once.
      if (m.WParam == VK_SPACE && GetFocus() == h) {
        CommonDataStopAnimation(*skinData_);
        RepaintNow();
        if (!*alive) return;
      }
      break;
    case gui::CM_FOCUSCHANGED:
      Base::WndProc(m);
      if (*alive && default_) Changed();  // the default look follows the focus
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      skinData_->Focused = m.Msg == WM_SETFOCUS ? 1 : 0;
      Base::WndProc(m);
      if (*alive) RepaintNow();
      return;
    case gui::CM_TEXTCHANGED:
    case gui::CM_ENABLEDCHANGED:
    case gui::CM_FONTCHANGED:
    case WM_SETFONT:
    case WM_ENABLE:
      CommonDataStopAnimation(*skinData_);
      Base::WndProc(m);
      if (*alive) Changed();
      return;
    case gui::CM_VISIBLECHANGED:
      skinData_->BGChanged = true;
      break;
    default:
      break;
  }
  Base::WndProc(m);
}

template class TsButtonCore<gui::TButton>;
template class TsButtonCore<gui::TBitBtn>;

}  // namespace skin
