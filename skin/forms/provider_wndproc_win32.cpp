// The provider's handlers that work on the system's records and device contexts: the maximized size, the
// popup menus, the client painting and the printing of a skinned form.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "gui/forms.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/forms/provider_handlers.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_menus.h"
#include "skin/forms/provider_scroll.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/system_menu.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {
HWND Handle(const TsSkinProvider& p) { return p.Form() ? p.Form()->WindowHandle() : nullptr; }
bool Printing(const TsSkinProvider& p) { return (p.SkinData().CtrlState & csPrinting) != 0; }
}  // namespace

void ProviderGetMinMaxInfo(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  if (p.DrawNonClientArea() && form.BorderStyle() != gui::TFormBorderStyle::bsNone && form.Parent() == nullptr &&
      form.FormStyle() != gui::TFormStyle::fsMDIChild && m.LParam != 0) {
    const TRect work = FormMonitorWorkArea(form);
    const int32_t b = FormBorderWidth(p, false);
    int32_t d = 0;
    if (p.BorderForm && (FormWindowStyle(form) & WS_CAPTION)) {
      const int32_t system = ProviderSystemCaptionHeight(p) + 4;
      p.TallTitle = (p.StateFlags & psMaximizingFromMin) ? ProviderSkinTitleHeight(p, true) > system : false;
      d = std::max(0, ProviderSkinTitleHeight(p, true) - system);
    }
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    info->ptMaxPosition.x = -b;
    info->ptMaxPosition.y = d - b;
    info->ptMaxSize.x = work.Width() + 2 * b;
    info->ptMaxSize.y = work.Height() + 2 * b - d;
    m.Result = 0;
  }
  ProviderCallOldProc(p, m);
  // The form's size limits hold while the user sizes it.
  if (m.LParam != 0) {
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    const gui::TSizeConstraints& c = form.Constraints;
    if (c.MinWidth > 0) info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, c.MinWidth);
    if (c.MinHeight > 0) info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, c.MinHeight);
    if (c.MaxWidth > 0) info->ptMaxTrackSize.x = std::min<LONG>(info->ptMaxTrackSize.x, c.MaxWidth);
    if (c.MaxHeight > 0) info->ptMaxTrackSize.y = std::min<LONG>(info->ptMaxTrackSize.y, c.MaxHeight);
  }
}

void ProviderSnapWindowPos(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  if (m.LParam == 0 || p.IsLoading() || !FormWindowExists(form) || FormWindowZoomed(form)) return;
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (pos->flags & SWP_NOMOVE) return;
  if (p.ScreenSnap && form.Showing() && !FormWindowIconic(form)) {
    int32_t x = pos->x, y = pos->y;
    ScreenSnap(p, x, y);
    pos->x = x;
    pos->y = y;
  }
}

bool ProviderWaitForIconDoubleClick(TsSkinProvider& p, uint32_t ms) {
  const auto token = p.AliveToken();
  const DWORD start = GetTickCount();
  // Bounded twice: by the time, and by a number of rounds should the clock stand still.
  for (int round = 0; round < 1000; ++round) {
    if (token.expired()) return false;
    const DWORD elapsed = GetTickCount() - start;
    if (p.ClosingByIcon || elapsed >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    gui::Application->ProcessMessages();
  }
  return !token.expired();
}

void ProviderRepaintAdaptedDialogs() {
  TacProviderList* list = ProviderList();
  if (list == nullptr) return;
  // The windows first: a dialog may go while another one repaints.
  std::vector<HWND> windows;
  for (const auto& entry : *list)
    if (entry)
      if (HWND w = entry->AdapterWindow()) windows.push_back(w);
  for (HWND w : windows)
    if (IsWindow(w)) SendMessageA(w, WM_SKINCOMMAND, SkinCommandWParam(AC_REPAINT), 0);
}

bool ProviderApplyKeptPlace(TsSkinProvider& p, gui::TMessage& m) {
  const uint32_t keep = p.StateFlags & (psKeepTop | psKeepHeight);
  if (keep == 0 || m.LParam == 0) return false;
  gui::TCustomForm& form = *p.Form();
  if (p.IsLoading() || !FormWindowExists(form) || FormWindowZoomed(form)) return false;
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (pos->flags & SWP_NOMOVE) return false;  // only a move takes them
  if (keep & psKeepTop) pos->y = p.KeptTop;
  if ((keep & psKeepHeight) && !(pos->flags & SWP_NOSIZE)) pos->cy = p.KeptHeight;
  p.StateFlags &= ~(psKeepTop | psKeepHeight);
  m.Result = 0;
  return true;
}

bool MovesToMinimizedPlace(const gui::TMessage& m) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
  return pos != nullptr && !(pos->flags & SWP_NOMOVE) && pos->x == kMinimizedPlace && pos->y == kMinimizedPlace;
}

TRect ProposedPlace(const gui::TMessage& m) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
  if (pos == nullptr || (pos->flags & (SWP_NOMOVE | SWP_NOSIZE))) return TRect{};
  return TRect{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
}

void KeepUnmovedEdges(gui::TMessage& m, const TRect& old, const TRect& proposed) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (pos == nullptr || proposed.IsEmpty() || (pos->flags & (SWP_NOMOVE | SWP_NOSIZE))) return;
  if (pos->cx != proposed.Width() && proposed.Left != old.Left && proposed.Right == old.Right)
    pos->x = old.Right - pos->cx;
  if (pos->cy != proposed.Height() && proposed.Top != old.Top && proposed.Bottom == old.Bottom)
    pos->y = old.Bottom - pos->cy;
}

void ProviderInitMenuPopup(TsSkinProvider& p, gui::TMessage& m) {
  TsSkinManager* manager = ProviderManager(p);
  if (manager == nullptr || !manager->SkinnedPopups) return;
  const HMENU popup = reinterpret_cast<HMENU>(m.WParam);
  if (HIWORD(m.LParam) != 0) EnableMenuItem(popup, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  // The list of an MDI parent's children under its window menu, made anew as that menu opens (the sub-menu is
  // filled again in place: the popup being opened keeps its handle).
  gui::TMenuItem* windowMenu = p.Form()->WindowMenu();
  const bool isWindowMenu = HIWORD(m.LParam) == 0 && windowMenu != nullptr && popup != nullptr &&
                            windowMenu->Handle() == popup;
  if (ProviderFillWindowMenu(p, isWindowMenu)) {
    m.Result = 0;
    return;
  }
  ProviderCallOldProc(p, m);
}

void ProviderPopupSysMenu(TsSkinProvider& p, int32_t x, int32_t y) {
  if (!p.SystemMenu) ProviderPrepareForm(p);
  if (!p.SystemMenu) return;
  TsSkinManager* manager = ProviderManager(p);
  TsSystemMenu& menu = *p.SystemMenu;
  HWND h = Handle(p);
  if (manager == nullptr || !manager->SkinnedPopups) {
    // The window's own system menu, with the skinned menu's states.
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    SetWindowLongA(h, GWL_STYLE, style & ~WS_VISIBLE);
    HMENU sys = GetSystemMenu(h, FALSE);
    auto state = [&](UINT command, bool enabled) {
      EnableMenuItem(sys, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : (MF_GRAYED | MF_DISABLED)));
    };
    if (sys) {
      state(SC_RESTORE, menu.RestoreVisible() && menu.RestoreEnabled());
      state(SC_MOVE, menu.MoveEnabled() && !IsIconic(h));
      state(SC_SIZE, menu.SizeVisible() && menu.SizeEnabled() && p.Form()->WindowState() == gui::TWindowState::wsNormal);
      state(SC_MINIMIZE, menu.MinimizeVisible() && menu.MinimizeEnabled());
      state(SC_MAXIMIZE, menu.MaximizeVisible() && menu.MaximizeEnabled());
      state(SC_CLOSE, menu.CloseVisible() && menu.CloseEnabled());
    }
    SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_VISIBLE);
    if (!sys) return;
    const UINT command = UINT(TrackPopupMenu(sys, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, h, nullptr));
    if (command != 0) PostMessageA(h, WM_SYSCOMMAND, command, 0);
    return;
  }
  SysMenuUpdateItems(menu);
  if (p.MakeSkinMenu) SysMenuAddMainMenuItems(menu, p.Form()->Menu());
  if (TsSkinableMenus* menus = SkinableMenusOf(manager)) InstallPopupMenuHandlers(*menus, menu, true);
  menu.PopupComponent = p.Form();
  menu.Popup(x, y);
  menu.PopupComponent = nullptr;
}

void ProviderNotifySkinEditor(void* handle) {
  static void* served = nullptr;
  if (!PreviewMode() || served != nullptr || handle == nullptr) return;
  gui::TCustomForm* main = gui::Application->MainForm();
  if (main && main->HandleAllocated() && main->WindowHandle() != handle) return;
  served = handle;
  ClearPreviewMode();
  for (int attempt = 0; attempt < 101; ++attempt) {
    HWND editor = FindWindowA(nullptr, SkinEditorCaption);
    if (!editor) break;
    if (SendMessageA(editor, WM_SKINEDITOR, 3, reinterpret_cast<LPARAM>(handle)) == 1) break;
  }
}

void ProviderWmPaint(TsSkinProvider& p, gui::TMessage& m) {
  if (!p.DrawClientArea) {
    ProviderCallOldProc(p, m);
    return;
  }
  if (!Printing(p) && p.BorderForm && p.BorderForm->Hidden && !FormWindowIconic(*p.Form()))
    BorderFormUpdate(*p.BorderForm, true, 255);
  if (ProviderSkinned(p) && !AnimationInProgress()) {
    ProviderPaintMessage(p, m);
  } else {
    HWND h = Handle(p);
    InvalidateRect(h, nullptr, FALSE);
    PAINTSTRUCT ps{};
    BeginPaint(h, &ps);
    EndPaint(h, &ps);
  }
  m.Result = 0;
}

void ProviderWmEraseBkgnd(TsSkinProvider& p, gui::TMessage& m) {
  if (!FormWindowVisible(*p.Form()) || !p.DrawClientArea) {
    ProviderCallOldProc(p, m);
    return;
  }
  m.Result = 1;
  if ((p.SkinData().FillFlags & 0x800) || AnimationInProgress()) return;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (Printing(p) || (m.WParam != 0 && WPARAM(m.LParam) == m.WParam)) {
    if (!dc || p.SkinData().BGChanged) return;
    const TSize client = FormClientSize(*p.Form());
    if (const Bitmap* cache = p.SkinData().CacheBmp.get())
      BitmapToDC(dc, 0, 0, client.cx, client.cy, *cache, ProviderClientLeft(p), ProviderClientTop(p));
    else
      FillRectWithColor(dc, TRect{0, 0, client.cx, client.cy}, ProviderFormColor(p));
    return;
  }
  ProviderEraseBackground(p, dc);
}

void ProviderWmPrint(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  if (p.IsLoading() || form.IsDestroying() || Printing(p)) return;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  ProviderSkinMainMenu(p);
  TsCommonData& data = p.SkinData();
  data.PrintDC = dc;
  data.CtrlState |= csPrinting;
  // The print target is cleared when the print ends, also when it ends early.
  struct EndPrint {
    TsCommonData& data;
    ~EndPrint() {
      data.PrintDC = nullptr;
      data.CtrlState &= uint16_t(~csPrinting);
    }
  } endPrint{data};
  const TRect w = FormWindowRect(form);
  const TPoint origin = FormClientOrigin(form);
  const int32_t clientLeft = origin.X - w.Left, clientTop = origin.Y - w.Top;
  if (p.BorderForm) {
    if (data.BGChanged) ProviderPaintFrame(p);
  } else if (p.DrawNonClientArea()) {
    ProviderCopyFrameToDC(p, dc);
    ProviderPrintScrollBars(p, dc);
  }
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, clientLeft, clientTop, nullptr);
  ProviderPaintClient(p, dc, false);
  RestoreDC(dc, saved);
  m.Result = 0;
}

}  // namespace skin

namespace skin {

void ProviderWmCopyData(TsSkinProvider& p, gui::TMessage& m) {
  static bool inside = false;
  const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
  auto* manager = dynamic_cast<TsSkinManagerComponent*>(DefaultManager());
  if (!PreviewMode() || inside || block == nullptr || manager == nullptr || m.Result != 0) {
    ProviderCallOldProc(p, m);
    return;
  }
  inside = true;
  struct Leave {
    ~Leave() { inside = false; }
  } leave;
  // The manager refuses a block shorter than the whole record, and one without the editor's mark.
  if (manager->TakeSkinPreview(uintptr_t(m.WParam), block->lpData, size_t(block->cbData))) {
    m.Result = 1;
    return;
  }
  ProviderCallOldProc(p, m);
}

}  // namespace skin
