// The popup-menu window adapter.
#include "skin/adapters/acmnuwnd.h"

#include <algorithm>

#include "skin/manager/commondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/background_info.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/section_paint.h"

namespace skin {

namespace {

std::vector<TacMnuWnd*>& Adapters() {
  static std::vector<TacMnuWnd*> list;
  return list;
}

constexpr UINT kRedrawFrameNow = RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW;   // 0x501
constexpr UINT kRedrawClientNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;  // 0x105

// The four border strips of src (the window's size) copied to the same places of the window DC.
void CopyStrips(HDC dc, const Bitmap& src, const RECT& in) {
  BitmapDC s(src);
  if (s.dc() == nullptr) return;
  const int w = src.Width(), h = src.Height();
  if (in.top > 0) BitBlt(dc, 0, 0, w, in.top, s.dc(), 0, 0, SRCCOPY);
  if (in.bottom > 0) BitBlt(dc, 0, h - in.bottom, w, in.bottom, s.dc(), 0, h - in.bottom, SRCCOPY);
  if (in.left > 0) BitBlt(dc, 0, in.top, in.left, h - in.top - in.bottom, s.dc(), 0, in.top, SRCCOPY);
  if (in.right > 0)
    BitBlt(dc, w - in.right, in.top, in.right, h - in.top - in.bottom, s.dc(), w - in.right, in.top, SRCCOPY);
}

}  // namespace

const std::vector<TacMnuWnd*>& MenuWindowAdapters() { return Adapters(); }

void TacMnuWnd::Initialize() {
  TacScrollWnd::Initialize();
  FramePainted = 0;
  InPosChange = 0;
  MenuState = 0;
  opacityApplied_ = false;
}

RECT TacMnuWnd::FrameInsets() const {
  RECT wr{}, cr{};
  POINT origin{0, 0};
  if (!GetWindowRect(Handle, &wr) || !GetClientRect(Handle, &cr) || !ClientToScreen(Handle, &origin)) return RECT{};
  RECT in{origin.x - wr.left, origin.y - wr.top, wr.right - (origin.x + cr.right), wr.bottom - (origin.y + cr.bottom)};
  in.left = std::max<LONG>(in.left, 0);
  in.top = std::max<LONG>(in.top, 0);
  in.right = std::max<LONG>(in.right, 0);
  in.bottom = std::max<LONG>(in.bottom, 0);
  return in;
}

void TacMnuWnd::RefreshCache() {
  RECT wr{};
  GetWindowRect(Handle, &wr);
  const int32_t w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (w <= 0 || h <= 0 || SkinData == nullptr) return;
  const bool sized = SkinData->CacheBmp && SkinData->CacheBmp->Width() == w && SkinData->CacheBmp->Height() == h;
  if (!SkinData->BGChanged && sized) return;
  PrepareWindowCache(*SkinData, w, h);
  if (SkinManager != nullptr && SkinManagerIsValidSectionIndex(SkinManager->Skin(), SkinData->SkinIndex))
    PaintSkinItem(SkinData->SkinIndex, EmptyCacheInfo, 0, TRect{0, 0, w, h}, TPoint{}, *SkinData->CacheBmp,
                  SkinManager);
  SkinData->BGChanged = false;
}

void TacMnuWnd::ApplyOpacity() {
  const uint8_t alpha = SkinManager != nullptr ? SkinManager->MenuSupport.AlphaBlend : 255;
  const LONG ex = GetWindowLongA(Handle, GWL_EXSTYLE);
  if (alpha < 255) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongA(Handle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Handle, 0, alpha, LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongA(Handle, GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
  }
  opacityApplied_ = true;
}

void TacMnuWnd::RestoreColors() {
  // A menu let go of while it shows is never left transparent.
  if (Handle != nullptr && IsWindow(Handle) && !opacityApplied_ && !windowGoing_) {
    const LONG ex = GetWindowLongA(Handle, GWL_EXSTYLE);
    if (ex & WS_EX_LAYERED) SetWindowLongA(Handle, GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
  }
  TacScrollWnd::RestoreColors();
}

void TacMnuWnd::PaintFrame() {
  RECT wr{};
  GetWindowRect(Handle, &wr);
  const int32_t w = wr.right - wr.left, h = wr.bottom - wr.top;
  const RECT in = FrameInsets();
  // The picture the skinned menus prepared for this window, when it has the window's size; else the own cache.
  const Bitmap* src = nullptr;
  if (TsSkinableMenus* menus = SkinableMenusOf(SkinManager))
    if (TacMenuBgRecord* rec = menus->FindRecord(0, Handle);
        rec != nullptr && rec->Bmp && rec->Bmp->Width() == w && rec->Bmp->Height() == h)
      src = rec->Bmp.get();
  if (src == nullptr) {
    RefreshCache();
    if (SkinData != nullptr && SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) src = SkinData->CacheBmp.get();
  }
  if (src != nullptr && (in.left > 0 || in.top > 0 || in.right > 0 || in.bottom > 0)) {
    if (HDC dc = ledger::GetWindowDC(Handle)) {
      CopyStrips(dc, *src, in);
      ledger::ReleaseDC(Handle, dc);
    }
  }
  if (CompositionEnabled() && !FramePainted) RedrawWindow(Handle, nullptr, nullptr, kRedrawClientNow);
  ApplyOpacity();
  FramePainted = 1;
}

void TacMnuWnd::EraseBackground(gui::TMessage& m) {
  RefreshCache();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool own = dc == nullptr;
  if (own) dc = ledger::GetDC(Handle);
  if (dc != nullptr && SkinData != nullptr && SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    // The client area shows the cache from the client's place in the window: the frame is left out.
    const RECT in = FrameInsets();
    const Bitmap& cache = *SkinData->CacheBmp;
    BitmapToDC(dc, 0, 0, cache.Width(), cache.Height(), cache, in.left, in.top);
  }
  if (own && dc != nullptr) ledger::ReleaseDC(Handle, dc);
  MenuState = 0;
  // Without a frame painting (a menu window the system gives no frame) the first painting shows the menu.
  if (!opacityApplied_) ApplyOpacity();
  m.Result = 1;
}

void TacMnuWnd::WindowGoes(gui::TMessage& m) {
  windowGoing_ = true;
  MenuItemsPainting() = 0;
  if (!HasSavedProc()) {
    // Already let go of: the original procedure answers (the message is never sent back to the window).
    if (keptProc_ != nullptr || keptLink_)
      CallOriginal(m);
    else
      m.Result = IsWindowUnicode(Handle) ? DefWindowProcW(Handle, m.Msg, m.WParam, m.LParam)
                                         : DefWindowProcA(Handle, m.Msg, m.WParam, m.LParam);
    return;
  }
  CallOriginal(m);
  TacMainWnd* self = this;
  DetachWindow(Handle, false, false, self);
  Destroyed = 1;
  MenuState = 0;
  ClearMenuBgCache();
  bool others = false;
  for (TacMnuWnd* a : Adapters())
    if (a != this && !a->Destroyed && a->Handle != nullptr && IsWindow(a->Handle)) {
      RedrawWindow(a->Handle, nullptr, nullptr, kRedrawFrameNow);
      others = true;
    }
  // The list is emptied now; the adapters themselves (this one included) are freed once no adapter procedure
  // runs any more.
  if (!others) FreeMenuWindowAdapters();
}

void TacMnuWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    WindowGoes(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandCode(m.WParam)) {
      case AC_ISSKINNED:
        m.Result = 1;
        break;
      case AC_SETREPAINTPENDING:
        // The skinned menus read the answer: 1 while the region announced for the shown window is not painted yet.
        m.Result = MenuState;
        break;
      case AC_MENUREGIONSET:
        if (IsWindowVisible(Handle)) MenuState = 1;
        break;
      case AC_GETAPPLICATION:
        m.Result = reinterpret_cast<LRESULT>(gui::Application);
        break;
      default:
        break;
    }
    return;
  }
  if (Destroyed || !MenuItemsPainting()) {
    // A menu the skinned menus do not draw keeps the system's frame.
    if (m.Msg == WM_NCPAINT && !Destroyed) {
      CallOriginal(m);
      return;
    }
    TacScrollWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      EraseBackground(m);
      return;
    case WM_PAINT:
      TacScrollWnd::WndProc(m);
      if (!Destroyed && !opacityApplied_) ApplyOpacity();
      return;
    case WM_WINDOWPOSCHANGING: {
      TacScrollWnd::WndProc(m);
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      if (Destroyed || InPosChange || pos == nullptr) return;
      if ((pos->flags & SWP_SHOWWINDOW) && !(pos->flags & SWP_NOREDRAW) && !IsWindowVisible(Handle)) {
        InPosChange = 1;
        SetWindowLongA(Handle, GWL_EXSTYLE, GetWindowLongA(Handle, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(Handle, 0, 0, LWA_ALPHA);
        opacityApplied_ = false;
        InPosChange = 0;
      }
      return;
    }
    case WM_NCPAINT:
      if (SkinManager != nullptr && SkinManager->System().Version().PlatformId == 2) {
        PaintFrame();
        m.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TacScrollWnd::WndProc(m);
}

TacMnuWnd* CreateMenuAdapter(HWND Wnd, TsSkinManager* Manager) {
  TsSkinManager* m = Manager != nullptr ? Manager : DefaultManager();
  if (m == nullptr || !m->SkinnedPopups || Wnd == nullptr || !IsWindow(Wnd)) return nullptr;
  if (QueryLibraryCommand(Wnd, AC_ISSKINNED)) return nullptr;
  static const bool serviceSet = [] {
    ManagerServices().FreeMenuWindowAdapters = [] { FreeMenuWindowAdapters(); };
    return true;
  }();
  (void)serviceSet;
  TacSkinParams params;
  params.SkinSection = "MAINMENU";
  auto* adapter = NewAdapter<TacMnuWnd>(Wnd, nullptr, m, params, false);
  if (adapter->Destroyed) {  // the window has another adapter
    FreeAdapter(adapter);
    return nullptr;
  }
  Adapters().push_back(adapter);
  return adapter;
}

void FreeMenuWindowAdapters() {
  std::vector<TacMnuWnd*> list;
  list.swap(Adapters());
  for (TacMnuWnd*& a : list) FreeAdapter(a);
}

}  // namespace skin
