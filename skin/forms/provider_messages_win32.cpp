// The messages of provider_messages.h that carry the system's records, and the MDI buttons helper window.
#include <windows.h>

#include <commctrl.h>

#include <map>

#include "gui/forms.h"
#include "gui/menus.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_messages.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

void ProviderWmMeasureItem(TsSkinProvider& p, gui::TMessage& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  gui::TMenuItem* item = (mis && mis->CtlType == ODT_MENU) ? gui::TMenuItem::FromCommand(UINT(mis->itemData)) : nullptr;
  if (item && !item->OnMeasureItem && ProviderHasMenuLine(p)) {
    // An item the skinned menus did not take (added since): measured as they would.
    int width = int(mis->itemWidth), height = int(mis->itemHeight);
    if (ProviderMeasureMenuItem(p, *item, width, height)) {
      mis->itemWidth = UINT(width > 0 ? width : 0);
      mis->itemHeight = UINT(height > 0 ? height : 0);
      m.Result = TRUE;
      return;
    }
  }
  ProviderCallOldProc(p, m);
}

void ProviderWmNotify(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
  if (header && int32_t(header->code) == kTcnSelChange && p.Adapter && p.Form() && FormWindowVisible(*p.Form()))
    ProviderRescanAdapter(p);
}

// ---- The MDI buttons helper.

namespace {

struct MDIIcons {
  HWND wnd = nullptr;
  bool inLoop = false;
};

std::map<const TsSkinProvider*, MDIIcons>& Helpers() {
  static std::map<const TsSkinProvider*, MDIIcons> helpers;
  return helpers;
}

// The helper's place in the form's window: 60 pixels at the menu line's right end, a menu high and 3 more.
TRect IconsRect(TsSkinProvider& p) {
  const TRect w = FormWindowRect(*p.Form());
  const int32_t top = FormBorderWidthIfNoSkin(p, true) + ProviderSystemCaptionHeight(p);
  const int32_t right = w.Width() - FormBorderWidth(p, true);
  return TRect{right - 60, top, right, top + GetSystemMetrics(SM_CYMENU) + 3};
}

LRESULT CALLBACK IconsProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(h, &ps);
    auto* p = reinterpret_cast<TsSkinProvider*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    // What the frame cache holds there: the maximized child's buttons as the skin draws them.
    if (p && dc && p->SkinData().CacheBmp) {
      const TRect r = IconsRect(*p);
      const TPoint o = ProviderCacheOrigin(*p);
      BitmapToDC(dc, 0, 0, r.Width(), r.Height(), *p->SkinData().CacheBmp, r.Left + o.X, r.Top + o.Y);
    }
    EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(h, msg, w, l);
}

const char* IconsClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = IconsProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TacMDIIcons";
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return "TacMDIIcons";
}

}  // namespace

void ProviderWmEnterMenuLoop(TsSkinProvider& p, gui::TMessage& m) {
  // The entry under the pointer is drawn normal again: the system marks the open one.
  ProviderSetHotMenuLineItem(p, -1);
  // The system draws the tracked menu's items in the frame: the frame is not painted over them meanwhile.
  p.MenuTracking = true;
  MDIIcons& helper = Helpers()[&p];
  HWND form = p.Form() ? static_cast<HWND>(FormWindowHandle(*p.Form())) : nullptr;
  if (!helper.inLoop && form && ProviderMDIChildMaximized(p) && p.SkinData().CacheBmp) {
    helper.inLoop = true;
    const TRect r = IconsRect(p);
    const TRect w = FormWindowRect(*p.Form());
    if (!helper.wnd)
      helper.wnd = ledger::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, IconsClass(), "acMDIIcons", WS_POPUP,
                                          w.Left + r.Left, w.Top + r.Top, r.Width(), r.Height(), form, nullptr,
                                          GetModuleHandleA(nullptr), nullptr);
    if (helper.wnd) {
      SetWindowLongPtrA(helper.wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
      SetWindowPos(helper.wnd, HWND_TOP, w.Left + r.Left, w.Top + r.Top, r.Width(), r.Height(),
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
  }
  if (!helper.wnd && !helper.inLoop) Helpers().erase(&p);
  ProviderCallOldProc(p, m);
}

void ProviderWmExitMenuLoop(TsSkinProvider& p, gui::TMessage& m) {
  ProviderFreeMDIIcons(p);
  p.MenuTracking = false;
  // The system has drawn the selected entry normal again: so does the frame.
  ProviderSetOpenMenuLineItem(p, -1);
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired() || p.MenuTracking) return;
  // The frame paint held back while the menu was tracked.
  if (p.NcPaintDeferred) {
    p.NcPaintDeferred = false;
    ProviderSendToWndProc(p, WM_NCPAINT, 0, 0);
  }
}

void* ProviderMDIIconsWindow(const TsSkinProvider& p) {
  auto it = Helpers().find(&p);
  return it == Helpers().end() ? nullptr : it->second.wnd;
}

void ProviderFreeMDIIcons(TsSkinProvider& p) {
  auto it = Helpers().find(&p);
  if (it == Helpers().end()) return;
  if (it->second.wnd && IsWindow(it->second.wnd)) {
    SetWindowLongPtrA(it->second.wnd, GWLP_USERDATA, 0);
    ledger::DestroyWindow(it->second.wnd);
  }
  Helpers().erase(it);
}

}  // namespace skin
