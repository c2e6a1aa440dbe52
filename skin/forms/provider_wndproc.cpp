#include "skin/forms/provider_wndproc.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/manager/commondata.h"
#include "skin/data/maskdata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/smdiform.h"
#include "skin/forms/provider_handlers.h"
#include "skin/forms/provider_hide.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_menus.h"
#include "skin/forms/provider_messages.h"
#include "skin/forms/provider_scroll.h"
#include "skin/forms/provider_size.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/win_values.h"
#include "skin/pixels/background_info.h"

namespace skin {

using namespace wv;

namespace {

constexpr uintptr_t kSizeRestored = 0;  // SIZE_RESTORED
constexpr int64_t kSizeMaximized = 2;    // SIZE_MAXIMIZED
constexpr uint32_t kRdwValidateAll = 0x8A8;  // RDW_VALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_NOFRAME

// How many times the saved procedure ran on this thread: a handler that fails before handing its message on
// leaves it to the saved procedure.
thread_local uint64_t g_oldProcCalls = 0;

int32_t PointX(intptr_t l) { return int16_t(uint16_t(uintptr_t(l) & 0xFFFF)); }
int32_t PointY(intptr_t l) { return int16_t(uint16_t((uintptr_t(l) >> 16) & 0xFFFF)); }

bool Zoomed(const TsSkinProvider& p) { return p.Form() && FormWindowZoomed(*p.Form()); }

bool Iconic(const TsSkinProvider& p) { return p.Form() && FormWindowIconic(*p.Form()); }
bool Printing(const TsSkinProvider& p) { return (p.SkinData().CtrlState & csPrinting) != 0; }

void DispatchSkinned(TsSkinProvider& p, gui::TMessage& m) {
  switch (m.Msg) {
    case kWmCreate:
    case kWmNcCreate: {
      // The window exists from here on: the form is prepared for the skin (an MDI child when it first paints,
      // inside its parent's client window).
      const auto token = p.AliveToken();
      ProviderCallOldProc(p, m);
      if (!token.expired() && !ProviderIsMDIChild(p)) ProviderPrepareForm(p);
      return;
    }
    case kWmSize: ProviderWmSize(p, m); return;
    case kWmClose: ProviderWmClose(p, m); return;
    case kWmMeasureItem: ProviderWmMeasureItem(p, m); return;
    case kWmNotify: ProviderWmNotify(p, m); return;
    case kWmContextMenu: ProviderWmContextMenu(p, m); return;
    case kWmEnterMenuLoop: ProviderWmEnterMenuLoop(p, m); return;
    case kWmExitMenuLoop: ProviderWmExitMenuLoop(p, m); return;
    case gui::CM_CONTROLLISTCHANGE: ProviderCmControlListChange(p, m); return;
    case gui::CM_RECREATEWND: ProviderCmRecreateWnd(p, m); return;
    case kCmRefreshSkin: ProviderCmRefreshSkin(p, m); return;
    case kWmQueryEndSession: ProviderWmQueryEndSession(p, m); return;
    case kWmSysColorChange: ProviderWmSysColorChange(p, m); return;
    case kWmShowWindow: ProviderWmShowWindow(p, m); return;
    case kWmSettingChange: ProviderWmSettingChange(p, m); return;
    case kWmActivateApp: ProviderWmActivateApp(p, m); return;
    case kWmCopyData: ProviderWmCopyData(p, m); return;
    case kWmStyleChanged: ProviderWmStyleChanged(p, m); return;
    case kWmSetIcon: ProviderWmSetIcon(p, m); return;
    case gui::CM_MENUCHANGED: ProviderCmMenuChanged(p, m); return;
    case WM_SKINEDITOR: ProviderWmSkinEditor(p, m); return;
    case kWmMove: ProviderWmMove(p, m); return;
    case gui::CM_MOUSEENTER: ProviderMouseEnter(p, m); return;
    case kWmWindowPosChanging: ProviderWmPosChanging(p, m); return;
    case kWmNcLButtonDown: ProviderNcLButtonDown(p, m); return;
    case kWmNcLButtonUp:
    case kWmLButtonUp: ProviderLButtonUp(p, m); return;
    case kWmMouseMove: ProviderMouseMove(p, m); return;
    case kWmNcLButtonDblClk: ProviderNcDblClick(p, m); return;
    case kWmNcRButtonDown: ProviderNcRButtonDown(p, m); return;
    case kWmNcRButtonUp: ProviderNcRButtonUp(p, m); return;
    case kWmSizing: ProviderSizing(p, m); return;
    case kWmExitSizeMove: ProviderExitSizeMove(p, m); return;
    case kWmSysCommand: ProviderSysCommand(p, m); return;
    case kWmCancelMode:
    case kWmCaptureChanged:
      // A border drag that loses its capture ends where it is: its outline erased, the form left as it was.
      if (p.DragActive || p.DragPending) ProviderEndBorderDrag(p, false);
      ProviderCallOldProc(p, m);
      return;
    case kWmActivate: ProviderWmActivate(p, m); return;
    case kWmChildActivate: ProviderWmChildActivate(p, m); return;
    case kWmMdiDestroy:
    case kWmMdiActivate: ProviderWmMDIChange(p, m); return;
    case kWmSetRedraw: ProviderWmSetRedraw(p, m); return;
    case kWmSetText: ProviderWmSetText(p, m); return;
    case kWmPaint: ProviderWmPaint(p, m); return;
    case kWmEraseBkgnd: ProviderWmEraseBkgnd(p, m); return;
    case kWmGetMinMaxInfo: ProviderGetMinMaxInfo(p, m); return;
    case kWmWindowPosChanged: ProviderWmPosChanged(p, m); return;
    case kWmNcHitTest: ProviderNcHitTest(p, m); return;
    case kWmNcPaint: ProviderWmNcPaint(p, m); return;
    case kWmNcActivate: ProviderWmNcActivate(p, m); return;
    case kWmNcMouseMove: ProviderNCMouseMove(p, m); return;
    case kWmInitMenuPopup: {
      const auto token = p.AliveToken();
      ProviderInitMenuPopup(p, m);
      if (!token.expired()) ProviderFollowMenuLineSelection(p);
      return;
    }
    case kWmMenuSelect: {
      const auto token = p.AliveToken();
      ProviderCallOldProc(p, m);
      if (!token.expired()) ProviderFollowMenuLineSelection(p);
      return;
    }
    case kWmEnterIdle:
      m.Result = 0;
      ProviderFollowMenuLineSelection(p);
      return;
    case kWmMouseLeave:
    case kWmNcMouseLeave:  // the frame left, asked for when a caption button became hot
    case gui::CM_MOUSELEAVE: ProviderMouseLeave(p, m); return;
    case kWmSysMenuAtCursor: {
      const TPoint c = CursorScreenPos();
      ProviderPopupSysMenu(p, c.X, c.Y);
      return;
    }
    case kWmPrint: ProviderWmPrint(p, m); return;
    case kWmPrintClient: return;
    case kWmDwmSendIconicThumbnail:
      if (DwmThumbnailsAvailable() && PointX(m.LParam) != 0 && PointY(m.LParam) != 0)
        m.Result = ProviderSendIconicThumbnail(FormWindowHandle(*p.Form()), p, int32_t(uint16_t(m.LParam >> 16)),
                                               int32_t(uint16_t(m.LParam & 0xFFFF))) & 0x7F;
      return;
    case kWmDwmSendIconicLivePreviewBitmap:
      if (DwmThumbnailsAvailable()) m.Result = ProviderSendIconicLivePreview(FormWindowHandle(*p.Form()), p) & 0x7F;
      return;
    case WM_SKINCOMMAND: ProviderCommand(p, m); return;
    case gui::CM_VISIBLECHANGED: ProviderCmVisibleChanged(p, m); return;
    case gui::CM_ENABLEDCHANGED: ProviderCmEnabledChanged(p, m); return;
    case gui::CM_SHOWINGCHANGED: {
      const bool taken = ProviderCmShowingChanged(p, m);
      // The children's windows exist once the form shows: the control adapter takes them.
      if (p.Form() && FormWindowVisible(*p.Form())) {
        if (!taken) ProviderTakeChildWindows(p);
        // An MDI parent's client window exists too.
        if (p.MDIForm) p.MDIForm->ConnectIfNeeded();
        ProviderAttachScrollWnd(p);
      }
      return;
    }
    case kWmParentNotify:
      ProviderCallOldProc(p, m);
      // A child window made while the form shows (the form's own creation is taken as the form shows).
      if ((m.WParam & 0xFFFF) == kWmCreate && p.Adapter && p.Form() && FormWindowVisible(*p.Form()))
        ProviderAdapterChildCreated(p, m.LParam);
      if ((m.WParam & 0xFFFF) == kWmCreate || (m.WParam & 0xFFFF) == kWmDestroy) {
        ProviderChildWindowsChanged(p);
        if (p.DrawNonClientArea()) ProviderRefreshScrollWnd(p);
      }
      return;
    case kWmNcDestroy: {
      const auto token = p.AliveToken();
      ProviderCallOldProc(p, m);
      // The window's scroll adapter goes with it (a new window gets one of its own).
      if (!token.expired()) ProviderFreeScrollWnd(p);
      if (!token.expired()) ProviderMDIChildGone(p);
      return;
    }
    case kCmNotification4C:
    case WM_SKINPROBE: m.Result = 0; return;
    default: ProviderCallOldProc(p, m); return;
  }
}

}  // namespace

void ProviderFollowMenuLineSelection(TsSkinProvider& p) {
  if (p.MenuTracking) ProviderSetOpenMenuLineItem(p, ProviderMenuLineSelectedItem(p));
}

void ProviderTakeChildWindows(TsSkinProvider& p) {
  if (p.Adapter)
    ProviderRescanAdapter(p);
  else
    ProviderInitAdapter(p);
}

void ProviderCallOldProc(TsSkinProvider& p, gui::TMessage& m) {
  ++g_oldProcCalls;
  if (p.OldWndProc) p.OldWndProc(m);
}

void ProviderWndProc(TsSkinProvider& p, gui::TMessage& m) {
  const uint64_t before = g_oldProcCalls;
  try {
    if (m.Msg == WM_SKINCOMMAND && ProviderCommandFirst(p, m)) return;
    const bool skinned = p.Form() && !p.Form()->IsDestroying() && ProviderSkinned(p);
    if (!skinned) {
      if (m.Msg == WM_SKINCOMMAND && ProviderCommandUnskinned(p, m)) return;
      if (m.Msg == gui::CM_VISIBLECHANGED || m.Msg == kWmWindowPosChanging) ProviderBeforeHide(p, m);
      const auto token = p.AliveToken();
      ProviderCallOldProc(p, m);
      if (token.expired()) return;
      if (m.Msg == kWmNcDestroy) ProviderWmNcDestroy(p, m);
      if (m.Msg == kWmWindowPosChanged) ProviderAfterPosChanged(p, m);
      return;
    }
    DispatchSkinned(p, m);
  } catch (...) {
    // No exception leaves the procedure: the form's own handling answers what the provider could not.
    if (g_oldProcCalls == before) {
      try {
        ProviderCallOldProc(p, m);
      } catch (...) {
      }
    }
    try {
      gui::Application->HandleException(&p);
    } catch (...) {
    }
  }
}

void ProviderSendToWndProc(TsSkinProvider& p, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  gui::TMessage m{msg, wParam, lParam, 0};
  ProviderWndProc(p, m);
}

// ---------------------------------------------------------------------------------------------------------
// Library commands.

namespace {

bool OwnManager(const TsSkinProvider& p, intptr_t lParam) {
  const TsSkinManager* m = ProviderManager(p);
  return m != nullptr && reinterpret_cast<const TsSkinManager*>(lParam) == m;
}

void ResetIndexes(TsSkinProvider& p) {
  p.SkinData().SkinIndex = p.SkinData().BorderIndex = -1;
  p.SkinData().TextureIndex = p.SkinData().HotTextureIndex = -1;
  p.TitleSectionIndex = -1;
  p.CaptionSectionIndex = -1;
}

void HandToChildren(TsSkinProvider& p, gui::TMessage& m) {
  gui::TMessage copy{m.Msg, m.WParam, m.LParam, 0};
  BroadcastToChildren(p.Form(), copy);
}

void EachLabel(gui::TWinControl* parent, const std::function<void(gui::TCustomLabel&)>& f) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    gui::TControl* c = parent->Controls(i);
    if (auto* label = dynamic_cast<gui::TCustomLabel*>(c)) f(*label);
    if (auto* w = dynamic_cast<gui::TWinControl*>(c)) EachLabel(w, f);
  }
}

void ApplyGlobalColor(TsSkinProvider& p) {
  TsSkinManager* m = ProviderManager(p);
  if (m && p.UseGlobalColor() && !p.SkinData().CustomColor) p.Form()->SetColor(SkinManagerGlobalColor(*m));
}

// The skin's indexes as a skin is applied.
void SkinLoaded(TsSkinProvider& p) {
  ProviderStopTitleButtonTimers(p);
  ResolveSkinDataIndexes(p.SkinData());
  p.TitleSectionIndex = -1;
  ProviderPrepareForm(p);
  if (TsSkinManager* m = ProviderManager(p)) {
    p.TallTitle = p.BorderForm && Zoomed(p) &&
                  ProviderSkinTitleHeight(p, false) > ProviderSystemCaptionHeight(p) + 4;
    ProviderUpdateTitleButtons(p);
    if (m->State() == 0) EachLabel(p.Form(), [&](gui::TCustomLabel& l) { ProviderSetLabelColor(p, l, true); });
  }
  p.SkinData().BGChanged = true;
  p.MenuLineCountCache = -1;
  ApplyGlobalColor(p);
  if (FormWindowExists(*p.Form()))
    DwmSetTransitionsDisabled(FormWindowHandle(*p.Form()), p.DrawNonClientArea(), false);
}

}  // namespace

bool ProviderCommandFirst(TsSkinProvider& p, gui::TMessage& m) {
  if (!AcceptSkinCommand(m)) return true;
  gui::TCustomForm* form = p.Form();
  switch (SkinCommandCode(m.WParam)) {
    case AC_SKINLOADED: {
      if (!form || form->IsDestroying() || !OwnManager(p, m.LParam)) return false;
      // A skin without the form's section leaves the form unskinned: it first lets go of the previous skin's
      // frame, controls and menus as when the skin is removed, then takes the skin as an unskinned form does,
      // so that it looks as when that skin is switched on from no skin.
      if (SkinManagerGetSectionIndex(*ProviderManager(p), p.SkinData().SkinSection) < 0) {
        gui::TMessage removed{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREMOVED), m.LParam, 0};
        ProviderCommandFirst(p, removed);
        ProviderCommandUnskinned(p, m);
        return true;
      }
      if (!p.SystemMenu) ProviderApplySkin(p);
      return false;
    }
    case AC_SKINREMOVED: {
      if (!OwnManager(p, m.LParam)) {
        HandToChildren(p, m);
        return true;
      }
      ProviderFreeScrollWnd(p);
      if (form && FormWindowExists(*form)) DwmSetTransitionsDisabled(FormWindowHandle(*form), false, false);
      ProviderStopTitleButtonTimers(p);
      ResetIndexes(p);
      HandToChildren(p, m);
      ProviderDropAdapter(p);
      if (ProviderManager(p)) ClearMenuBgCache();
      if (form && !form->IsDestroying()) {
        // The form's menus are the system's again.
        ProviderSkinMenus(p, false);
        if (p.MDIForm) p.MDIForm->DisconnectFromClient();
        if (ProviderFormHasBorder(p)) RemoveFormRegion(*form);
        ProviderUpdateSysMenuStyle(p, false);
        if (p.UseGlobalColor() && !p.SkinData().CustomColor) form->SetColor(clBtnFace);
        p.BorderForm.reset();
        ProviderKeepCaptionOnScreen(p);  // back where it was when a tall skin caption brought it down
        RedrawFormWindow(*form, 0x585);
      }
      EachLabel(form, [&](gui::TCustomLabel& l) { ProviderSetLabelColor(p, l, false); });
      p.SkinData().CacheBmp.reset();
      p.SkinData().BGChanged = true;
      return true;
    }
    case AC_ISSKINNED:
      m.Result = 1;
      return true;
    case AC_ENDUPDATE:
      if (p.SkinData().FillFlags & 0x400) {
        p.SkinData().FillFlags &= uint16_t(~0x400);
        if (form) SendFormMessage(*form, gui::CM_MENUCHANGED, 0, 0);
      }
      return false;
    case AC_GETBACKGROUND: {
      if (!ProviderSkinned(p) || m.LParam == 0) return false;
      auto& info = *reinterpret_cast<BackgroundInfo*>(m.LParam);
      if (p.SkinData().BGChanged && !AnimationInProgress()) ProviderPaintFrame(p);
      const int32_t left = ProviderClientLeft(p), top = ProviderClientTop(p);
      if ((p.SkinData().FillFlags & 1) || !p.SkinData().CacheBmp) {
        info.Color = ProviderFormColor(p);
        info.BgType = btFill;
      } else {
        info.Bmp = p.SkinData().CacheBmp.get();
        info.Offset = TPoint{info.R.Left + left, info.R.Top + top};
        info.BgType = btCache;
      }
      m.Result = 1;
      return true;
    }
    case AC_TRANSPARENCYFLAGS:
      // The word the children read as their own: whether the form's plain colour shows through them.
      m.Result = ProviderTransparencyWord(p);
      return true;
    case AC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(gui::Application);
      return true;
    case AC_GETCLIENTOFFSET:
      m.Result = LRESULT(uint32_t(uint16_t(ProviderClientLeft(p))) | (uint32_t(uint16_t(ProviderClientTop(p))) << 16));
      return true;
    default: return false;
  }
}

bool ProviderCommandUnskinned(TsSkinProvider& p, gui::TMessage& m) {
  switch (SkinCommandCode(m.WParam)) {
    case AC_GETPROVIDER:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(&p));
      return true;
    case AC_UPDATECACHE:
      p.SkinData().BGChanged = false;
      return true;
    case AC_SKINLOADED:
      if (!p.Form() || p.Form()->IsDestroying()) return false;
      if (!OwnManager(p, m.LParam)) return true;
      SkinLoaded(p);
      if (TsSkinManager* manager = ProviderManager(p); manager && manager->State() == 0) {
        ProviderSkinMenus(p, true);
        if (!p.MenuSkinned) ProviderSkinMainMenu(p);
      }
      ProviderInitAdapter(p);
      if (p.Form()->Showing()) ProviderAttachScrollWnd(p);
      return true;
    default: return false;
  }
}

void ProviderCommand(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm* form = p.Form();
  switch (SkinCommandCode(m.WParam)) {
    case AC_SKINLOADED:
      if (!OwnManager(p, m.LParam)) return;
      ResolveSkinDataIndexes(p.SkinData());
      p.TitleSectionIndex = -1;
      ProviderPrepareForm(p);
      if (p.SkinData().CacheBmp) p.SkinData().CacheBmp->SetSize(0, 0);
      ProviderUpdateTitleButtons(p);
      p.SkinData().BGChanged = true;
      p.MenuLineCountCache = -1;
      ProviderSendToWndProc(p, kWmNcPaint, 0, 0);
      if (p.Adapter)
        ProviderRescanAdapter(p);
      else
        ProviderInitAdapter(p);
      return;
    case AC_CHILDADDED:
      ProviderAdapterChildAdded(p, reinterpret_cast<gui::TControl*>(m.LParam));
      return;
    case AC_SKINREFRESH:
      if (!OwnManager(p, m.LParam)) return;
      if (p.DrawNonClientArea() && p.DrawClientArea) ProviderAttachScrollWnd(p);
      if (form->Parent() != nullptr && form->FormStyle() != gui::TFormStyle::fsMDIChild)
        p.SkinData().CtrlState &= uint16_t(~csTransparent);
      p.MenuLineCountCache = -1;
      if (TsSkinManager* manager = ProviderManager(p); manager && manager->State() == 0) {
        ProviderUpdateSysMenuStyle(p, true);
        ProviderSkinMenus(p, ProviderSkinned(p));
      }
      p.LayoutChanged = true;
      // A form whose repaints the skin change holds is still shown, though the lock took its window's visible
      // style away: switched on again after "no skin", it gets its border window back here.
      if (FormWindowVisible(*form) || ((p.StateFlags & pfRedrawLocked) && form->Visible())) {
        p.SkinData().BGChanged = true;
        if (TsSkinManager* manager = ProviderManager(p)) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
        ProviderKeepCaptionOnScreen(p);
        RedrawFormWindow(*form, 0x545);
      }
      ApplyGlobalColor(p);
      if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
      ProviderBroadcast(p, m);
      if (p.BorderForm) BorderFormUpdate(*p.BorderForm, true, 255);
      return;
    case AC_GETPROVIDER:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(&p));
      return;
    case AC_FLUSHREPAINT:
      if (p.SkinData().Updating) {
        p.SkinData().Updating = 0;
        RedrawFormWindow(*form, 0x401);
      }
      return;
    case AC_SETREPAINTPENDING:
      p.SkinData().Updating = SkinCommandArgument(m.WParam) == 1 ? 1 : 0;
      // Held back by its own or a parent's lock: the frame is composed anew when it may paint.
      if (CommonDataUpdateLocked(p.SkinData())) p.SkinData().BGChanged = true;
      return;
    case AC_ISUPDATELOCKED:
      // Not while a skin change holds every repaint back (the form paints with the change).
      m.Result = (!AnimationInProgress() && p.SkinData().Updating) ? 1 : 0;
      return;
    case AC_SETBGCHANGED:
      p.SkinData().BGChanged = true;
      return;
    case AC_ISCACHEUSABLE: {
      const TsSkinManager* manager = ProviderManager(p);
      const SkinSectionRecord& s = manager->Skin().Sections[size_t(p.SkinData().SkinIndex)];
      m.Result = (s.NormalState.Transparency + s.NormalState.ImagePercent >= 1 || s.TextureIndex >= 0) ? 1 : 0;
      return;
    }
    case AC_GETCOLOR:
      m.Result = LRESULT(ProviderFormColor(p));
      return;
    case AC_UPDATECACHE:
      if (p.SkinData().BGChanged && !AnimationInProgress()) {
        ProviderPaintFrame(p);
        if (Printing(p) || (p.StateFlags & (psBlendMoving | psHideSnapshot)) || p.SkinData().SkinIndex < 0)
          p.SkinData().BGChanged = false;
      }
      return;
    case AC_MOUSELEAVE:
      ProviderSetHotElement(p, -1, true);
      TitleButtonPressed() = false;
      return;
    case AC_SCROLLBEGIN:
      // A scroll of a child that paints from the form's cache: the form stops redrawing until it ends.
      if (CommonDataUseParentCache(p.SkinData())) SendFormMessage(*form, kWmSetRedraw, 0, 0);
      return;
    case AC_SCROLLEND:
      if (CommonDataUseParentCache(p.SkinData())) {
        SendFormMessage(*form, kWmSetRedraw, 1, 0);
        RedrawFormWindow(*form, 0x585);
      }
      return;
    case AC_TITLECHANGED:
      if (m.LParam == 1) p.SkinData().BGChanged = true;
      ProviderRepaintFrame(p);
      return;
    case AC_SETGLUEMOVING:
      if (m.LParam == 1)
        p.StateFlags |= 0x40000;
      else
        p.StateFlags &= ~uint32_t(0x40000);
      return;
    case AC_ISGLUEMOVING:
      m.Result = (p.StateFlags & 0x40000) ? 1 : 0;
      return;
    case AC_SETFORMALPHA:
      if (!FormWindowVisible(*form)) return;
      if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, uint8_t(std::clamp<intptr_t>(m.LParam, 0, 255)));
      SetFormAlpha(*form, m.LParam >= 255 ? 255 : uint8_t(std::clamp<intptr_t>(m.LParam, 0, 255)));
      return;
    default: return;
  }
}

void ProviderSetLabelColor(TsSkinProvider& p, gui::TCustomLabel& label, bool skinned) {
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr) return;
  const bool transparentAlways = m->LabelsOptions.TransparentAlways;
  auto& table = p.LabelColors;
  auto it = std::find_if(table.begin(), table.end(), [&](const TsSkinProvider::LabelColor& e) { return e.Label == &label; });
  if (skinned) {
    if (label.Tag() & 0x100) return;
    if (it == table.end()) {
      table.push_back({label.Font().Color(), &label, label.ParentFont(), (label.ControlStyle() & gui::csOpaque) != 0});
      p.FreeNotification(&label);
    }
    if (label.Transparent() || transparentAlways) label.SetControlStyle(label.ControlStyle() & ~gui::csOpaque);
    label.Font().SetColor(SkinManagerGlobalFontColor(*m));
    return;
  }
  if (it != table.end()) {
    if (!it->ParentFont)
      label.Font().SetColor(it->Color);
    else if (!label.ParentFont())
      label.SetParentFont(true);
    else if (label.Parent())
      label.Font().SetColor(label.Parent()->Font().Color());
    // Its own opaque or transparent painting back, as it was before the skin.
    label.SetControlStyle(it->Opaque ? (label.ControlStyle() | gui::csOpaque) : (label.ControlStyle() & ~gui::csOpaque));
    *it = table.back();
    table.pop_back();
  }
}

// ---------------------------------------------------------------------------------------------------------
// Hit test and caption-button states.

bool& TitleButtonPressed() {
  static bool pressed = false;
  return pressed;
}

int32_t ProviderButtonIndexAt(TsSkinProvider& p, const TPoint& point) {
  if (p.BorderForm) return 0;
  if (!p.SystemMenu) ProviderPrepareForm(p);
  if (!p.SystemMenu) return 0;
  int32_t position = 0;
  if (ProviderHasSystemMenu(p)) {
    ++position;
    if (p.ButtonClose.Rect.Contains(point)) return 1;
    if (p.SystemMenu->MaximizeVisible()) {
      ++position;
      if (p.ButtonMax.Rect.Contains(point)) return position;
    }
    if (p.SystemMenu->MinimizeVisible()) {
      ++position;
      if (p.ButtonMin.Rect.Contains(point)) return position;
    }
    if (p.Form()->BorderIcons() & gui::biHelp) {
      ++position;
      if (p.ButtonHelp.Rect.Contains(point)) return position;
    }
  }
  TsTitleButtons& buttons = p.TitleButtons();
  for (int i = 0; i < buttons.Count(); ++i) {
    if (!buttons.Items(i)->Visible()) continue;
    ++position;
    if (buttons.Items(i)->Data.Rect.Contains(point)) return position;
  }
  return ProviderTitleItemPosition(p, point, position);
}

namespace {
int32_t SystemPositions(TsSkinProvider& p) {
  if (!ProviderHasSystemMenu(p) || !p.SystemMenu) return 0;
  return 1 + (p.SystemMenu->MaximizeVisible() ? 1 : 0) + ((p.SystemMenu->MinimizeVisible() || Iconic(p)) ? 1 : 0) +
         ((p.Form()->BorderIcons() & gui::biHelp) ? 1 : 0);
}
}  // namespace

int32_t ProviderHitTest(TsSkinProvider& p, const TPoint& screenPoint) {
  if (ProviderCaptionOnFormAt(p, screenPoint)) return kHtCaption;
  const TPoint pt = ProviderScreenToWindow(p, screenPoint.X, screenPoint.Y);
  int32_t result = kHtClient;
  const int32_t n = ProviderButtonIndexAt(p, pt);
  if (n >= 1 && p.SystemMenu) {
    const int32_t k = SystemPositions(p);
    const TsSystemMenu& sm = *p.SystemMenu;
    const bool help = (p.Form()->BorderIcons() & gui::biHelp) != 0;
    // Only the visible user buttons hold positions: the n-th position past the system ones is the n-th visible.
    std::vector<int> visible;
    for (int i = 0; i < p.TitleButtons().Count(); ++i)
      if (p.TitleButtons().Items(i)->Visible()) visible.push_back(i);
    if (n > k && n <= k + int32_t(visible.size())) {
      result = kHtUserButton + visible[size_t(n - k - 1)];
    } else if (n > k + int32_t(visible.size()) && p.TitleBar()) {
      result = ProviderTitleItemCodeAt(p, n - k - int32_t(visible.size()));
    } else if (n == 1 && ProviderHasSystemMenu(p)) {
      result = sm.CloseEnabled() ? kHtClose : kHtCaption;
    } else if (n == 2) {
      if (sm.MaximizeVisible())
        result = (sm.MaximizeEnabled() || (sm.RestoreEnabled() && !Iconic(p))) ? kHtMaxButton : kHtCaption;
      else if (sm.MinimizeVisible() || Iconic(p))
        result = sm.MinimizeEnabled() ? kHtMinButton : kHtCaption;
      else if (help)
        result = kHtHelp;
    } else if (n == 3) {
      if (sm.MinimizeVisible() || Iconic(p))
        result = Iconic(p) ? kHtMinButton : (sm.MinimizeEnabled() ? kHtMinButton : kHtCaption);
      else if (help)
        result = kHtHelp;
    } else if (n == 4) {
      if (help && sm.MaximizeVisible()) result = kHtHelp;
    }
    if (result != kHtClient) return result;
  }
  const TRect w = FormWindowRect(*p.Form());
  const int32_t width = w.Width(), height = w.Height();
  if (!Zoomed(p) && HasThickFrame(p) && !p.BorderForm) {
    const int32_t b = FormBorderWidth(p, true);
    if (pt.Y < FormBorderWidthIfNoSkin(p, true)) result = kHtTop;
    if (pt.Y >= height - b) result = kHtBottom;
    if (pt.X < b)
      result = result == kHtTop ? kHtTopLeft : (result == kHtBottom ? kHtBottomLeft : kHtLeft);
    else if (pt.X >= width - b)
      result = result == kHtTop ? kHtTopRight : (result == kHtBottom ? kHtBottomRight : kHtRight);
    if (result != kHtClient) return result;
  }
  const int32_t c = ProviderSystemCaptionHeight(p);
  const int32_t t = FormBorderWidthIfNoSkin(p, true);
  const int32_t captionEnd = (ProviderCaptionHeight(p, true) > 0) ? t + c : 0;
  const int32_t menuEnd = captionEnd + ProviderMenuLineCount(p) * ProviderMenuLineHeight(p);
  if (pt.Y < captionEnd) return p.IconRect.Contains(pt) ? kHtSysMenu : kHtCaption;
  if (pt.Y < menuEnd) {
    // A maximized MDI child's buttons in the menu line (frame-cache coordinates).
    if (ProviderShowMDIChildButtons(p)) {
      const TPoint o = ProviderCacheOrigin(p);
      const TPoint at{pt.X + o.X, pt.Y + o.Y};
      for (int32_t code : {kHtMdiClose, kHtMdiRestore, kHtMdiMinimize})
        if (ProviderButtonRecord(p, code)->Rect.Contains(at)) return code;
    }
    return kHtMenu;
  }
  if (ProviderGripAt(p, pt)) return kHtBottomRight;
  return kHtClient;
}

namespace {
void SetRecordState(TsSkinProvider& p, int32_t code, int32_t state) {
  if (TitleButtonRecord* r = ProviderButtonRecord(p, code)) r->State = state;
}
}  // namespace

void ProviderSetHotElement(TsSkinProvider& p, int32_t code, bool repaint) {
  if (code == p.CurrentHTCode || !p.DrawNonClientArea()) return;
  const int32_t previous = p.CurrentHTCode;
  ProviderTitleHotChange(p, previous, code, repaint);
  if (previous > 0) {
    SetRecordState(p, previous, 0);
    // Without a repaint of the frame its hover picture, which lies over the frame, still fades out.
    const TitleButtonRecord* r = ProviderButtonRecord(p, previous);
    if (repaint || (r != nullptr && r->GlowTimer != nullptr && r->GlowTimer->GlowWindow != nullptr))
      ProviderPaintTitleButton(p, previous);
  }
  p.CurrentHTCode = code;
  if (!TitleButtonPressed() && code > 0) {
    // System, MDI and user buttons (1000-1255); title-bar items took their hot state above.
    if (code < kHtUserButton + 256) {
      if (TitleButtonRecord* r = ProviderButtonRecord(p, code)) {
        r->State = 1;
        if (repaint) ProviderPaintTitleButton(p, code);
      }
    }
  }
}

void ProviderPressElement(TsSkinProvider& p, int32_t code) {
  ProviderHideTitleHint(p);
  if (code != p.CurrentHTCode && p.CurrentHTCode > 0) {
    const int32_t previous = p.CurrentHTCode;
    SetRecordState(p, previous, 0);
    ProviderPaintTitleButton(p, previous);
  }
  p.CurrentHTCode = code;
  const TsSystemMenu* sm = p.SystemMenu.get();
  bool refused = false;
  if (code == kHtMaxButton && sm)
    refused = !(sm->MaximizeEnabled() || (Zoomed(p) && sm->RestoreEnabled()));
  else if (code == kHtClose && sm)
    refused = !sm->CloseEnabled();
  if (refused) {
    p.CurrentHTCode = 0;
    return;
  }
  if (!(code == kHtMdiRestore && sm && !sm->MaximizeEnabled())) SetRecordState(p, code, 2);
  TitleButtonPressed() = true;
  ProviderPaintTitleButton(p, code);
}

// ---------------------------------------------------------------------------------------------------------
// Handlers.

void ProviderNcHitTest(TsSkinProvider& p, gui::TMessage& m) {
  if (ProviderCaptionHeight(p, true) == 0 || !p.DrawNonClientArea()) {
    ProviderCallOldProc(p, m);
    return;
  }
  // The caption's span that the form's own window shows beside its border window is caption wherever the
  // system would place its own frame's edge.
  if (ProviderCaptionOnFormAt(p, TPoint{PointX(m.LParam), PointY(m.LParam)})) {
    m.Result = kHtCaption;
    return;
  }
  const int32_t result = ProviderHitTest(p, TPoint{PointX(m.LParam), PointY(m.LParam)});
  const bool systemAnswers = result == kHtNowhere || result == kHtClient || result == kHtCaption ||
                             result == kHtMenu || (result >= kHtLeft && result <= kHtBottomRight);
  if (!systemAnswers) {
    m.Result = result;
    return;
  }
  if (ProviderGripVisible(p) && ProviderGripAt(p, ProviderScreenToWindow(p, PointX(m.LParam), PointY(m.LParam)))) {
    m.Result = kHtBottomRight;
    return;
  }
  ProviderCallOldProc(p, m);
}

void ProviderNCMouseMove(TsSkinProvider& p, gui::TMessage& m) {
  if (!p.Form() || !FormWindowEnabled(*p.Form())) {
    ProviderCallOldProc(p, m);
    return;
  }
  SkinManagerSetHotControl(ProviderManager(p), p.Form());
  const int32_t code = ProviderHitTest(p, TPoint{PointX(m.LParam), PointY(m.LParam)});
  m.WParam = WPARAM(code);
  if (code >= kHtMdiClose && code <= kHtMdiMinimize) {
    ProviderSetHotElement(p, code, true);
    return;
  }
  // The menu line's entry under the pointer is hot.
  const int32_t entry = code == kHtMenu ? ProviderMenuLineItemAt(p, TPoint{PointX(m.LParam), PointY(m.LParam)}) : -1;
  ProviderSetHotMenuLineItem(p, entry);
  if (entry >= 0) TrackFormFrameLeave(*p.Form());
  const bool button = code == kHtMinButton || code == kHtMaxButton || code == kHtClose || code == kHtHelp ||
                      (code >= kHtUserButton && code <= kHtUserButton + 100) ||
                      (code >= kHtTitleItem && code <= kHtTitleItem + 100);
  if (!button) {
    ProviderSetHotElement(p, 0, true);
    ProviderCallOldProc(p, m);
    return;
  }
  ProviderSetHotElement(p, code, true);
  // The hot button goes back to normal when the pointer leaves the frame (the glow fade, where there is one,
  // watches the pointer itself).
  TrackFormFrameLeave(*p.Form());
}

namespace {
// The pointer lies on the hot caption element: over the form's window or its border window, where the hit test
// answers that element.
bool PointerOnHotElement(TsSkinProvider& p) {
  if (p.CurrentHTCode <= 0 || !PointerOverFormWindow(*p.Form(), p.BorderForm ? p.BorderForm->AForm : nullptr))
    return false;
  const int32_t code = p.BorderForm ? BorderFormHitTest(*p.BorderForm) : ProviderHitTest(p, CursorScreenPos());
  return code == p.CurrentHTCode;
}
}  // namespace

void ProviderMouseLeave(TsSkinProvider& p, gui::TMessage& m) {
  // The component layer tells a form that one of its controls was left (the control in LParam): the form itself
  // was not. That notice comes when the control finds the pointer gone, which may be after the pointer reached a
  // caption button straight from the control or through the outside.
  if (m.Msg == gui::CM_MOUSELEAVE && m.LParam != 0 &&
      m.LParam != reinterpret_cast<intptr_t>(static_cast<gui::TControl*>(p.Form()))) {
    ProviderCallOldProc(p, m);
    return;
  }
  // Leaving the client area for the caption button under the pointer does not leave the button.
  if (PointerOnHotElement(p)) {
    ProviderCallOldProc(p, m);
    return;
  }
  if (!(p.CurrentHTCode >= kHtTitleItem && p.BorderForm)) ProviderSetHotElement(p, -1, true);
  ProviderSetHotMenuLineItem(p, -1);
  TitleButtonPressed() = false;
  ProviderCallOldProc(p, m);
}

void ProviderWmSetRedraw(TsSkinProvider& p, gui::TMessage& m) {
  if (m.WParam == 1)
    p.RedrawLockCount = std::max(0, p.RedrawLockCount - 1);
  else if (m.WParam == 0)
    ++p.RedrawLockCount;
  ProviderCallOldProc(p, m);
}

void ProviderWmActivate(TsSkinProvider& p, gui::TMessage& m) {
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired() || !p.Form()->Showing()) return;
  if (p.ScrollWnd == nullptr) ProviderAttachScrollWnd(p);
  if (!Printing(p)) {
    p.MenuLineCountCache = -1;
    if (m.WParam != 0) {
      // Menus given to the form since it was last active wear the skin too.
      if (TsSkinManager* manager = ProviderManager(p); manager && manager->State() == 0) ProviderSkinMenus(p, true);
      if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
    }
  }
  // The forms that touch this one now follow its next move.
  RememberGluedForms(p);
}

void ProviderWmNcPaint(TsSkinProvider& p, gui::TMessage& m) {
  if (!p.SystemMenu) ProviderPrepareForm(p);
  if (!p.DrawNonClientArea()) {
    ProviderCallOldProc(p, m);
    return;
  }
  if ((p.SkinData().FillFlags & (0x800 | 0x400)) || (p.StateFlags & psHideSnapshot)) return;
  gui::TCustomForm& form = *p.Form();
  // A form inside another control paints when that control may; till then its repaint waits (AC_FLUSHREPAINT).
  if (form.Parent() != nullptr && CommonDataIsUpdating(p.SkinData(), true)) return;
  if (p.MenuTracking) {
    p.NcPaintDeferred = true;
    return;
  }
  if (!FormWindowVisible(form) || p.IsLoading() || Printing(p) || !p.SystemMenu) return;
  if (p.StateFlags & psShownTransparent) {
    // Shown transparent for its fade, and repainted whole once opaque: the frames and backgrounds of its child
    // windows, which the show would erase one by one after this, would not be seen.
    RedrawFormWindow(form, kRdwValidateAll);
  }
  if (!Iconic(p)) {
    const TRect w = FormWindowRect(form);
    if (w.Width() != form.Width() || w.Height() != form.Height()) return;  // a size change is under way
  } else {
    p.SkinData().BGChanged = true;
  }
  // A form that came on the screen transparent has its border window shown by its fade, which is to come.
  const bool fadeToCome = p.BorderForm && (p.StateFlags & (psShownTransparent | psShowFading));
  if (!p.SkinData().CacheBmp && !fadeToCome)
    if (TsSkinManager* manager = ProviderManager(p)) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
  ProviderPaintNonClient(p);
  // The form's skinned scroll bars lie in its frame: painted over it.
  ProviderPaintScrollBars(p);
  m.Result = 0;
}

void ProviderWmNcActivate(TsSkinProvider& p, gui::TMessage& m) {
  if (p.StateFlags & psRestoring) return;
  gui::TCustomForm& form = *p.Form();
  if (form.IsDestroying() || !p.DrawNonClientArea() || !FormWindowExists(form)) {
    ProviderCallOldProc(p, m);
    return;
  }
  if (!p.SystemMenu) ProviderPrepareForm(p);
  p.StateFlags |= psInNcActivate;
  const bool wasActive = p.FormActive;
  if (!Printing(p)) p.FormActive = m.WParam != 0;
  TsSkinManager* manager = ProviderManager(p);
  if (p.ParentClosingState == 3) {
    // A zoomed form back with its owner keeps the frame it had (until its caption is next drawn inactive).
    if (!p.FormActive) p.ParentClosingState = 0;
  } else if (manager && SkinManagerIsValidSectionIndex(*manager, p.SkinData().SkinIndex)) {
    const SkinSectionRecord& s = manager->Skin().Sections[size_t(p.SkinData().SkinIndex)];
    const int32_t title = ProviderTitleSectionIndex(p);
    const bool titleStates =
        SkinManagerIsValidSectionIndex(*manager, title) && manager->Skin().Sections[size_t(title)].States > 1;
    if (s.States > 1 || titleStates || !SkinImageIsSingleState(p, s.BorderIndex)) p.SkinData().BGChanged = true;
  } else {
    p.SkinData().BGChanged = true;
  }
  const bool showing = form.Showing() && FormWindowVisible(form);
  if (showing && wasActive != p.FormActive) p.SkinData().BGChanged = true;
  // The system's own caption never shows: it draws it under a cover showing the frame as it was (without
  // desktop composition), or not at all while the window's redraw is off.
  // With a border window, the form's window may show a span of its caption (ProviderShowCaptionOnForm).
  const bool covered = showing && !p.BorderForm && !DwmCompositionEnabled() && ProviderShowCaptionCover(p);
  const bool hide = showing && (p.BorderForm ? !RectIsEmpty(p.CaptionOnFormShown) : !covered);
  if (hide) SendFormMessage(form, kWmSetRedraw, 0, 0);
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  if (hide) SendFormMessage(form, kWmSetRedraw, 1, 0);
  p.StateFlags &= ~psInNcActivate;
  if (showing) {
    const TRect w = FormWindowRect(form);
    if (Iconic(p) || (w.Width() == form.Width() && w.Height() == form.Height()))
      ProviderSendToWndProc(p, kWmNcPaint, 0, 0);
    if (p.BorderForm) {
      if (Zoomed(p) && manager && manager->Options.NativeBordersMaximized) {
        p.BorderForm.reset();
        ProviderUpdateRegion(p, true);
      } else {
        BorderFormUpdate(*p.BorderForm, true, 255);
      }
    }
  }
  if (covered) ProviderHideCaptionCover(p);
  // An MDI child's activation changes what its parent's menu line shows (its maximized child's buttons).
  if (showing && !token.expired())
    if (TsSkinProvider* parent = ProviderMDIParentOf(p); parent && parent->MDIForm) {
      ProviderRefreshMDIButtons(*parent);
      RedrawMDIClientWindow(*parent->Form(), 0x401);  // RDW_INVALIDATE | RDW_FRAME
    }
  if (!p.FormActive) ProviderSetHotElement(p, 0, false);
}

void ProviderWmSetText(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  if (ProviderIsMDIChild(p) && FormWindowZoomed(form)) {
    // A maximized MDI child's caption stands in its parent's caption: that frame is composed anew.
    TsSkinProvider* parent = ProviderMDIParentOf(p);
    const auto token = p.AliveToken();
    ProviderCallOldProc(p, m);
    if (token.expired() || parent == nullptr || ProviderMDIParentOf(p) != parent) return;
    parent->CaptionGlow[0].reset();
    parent->CaptionGlow[1].reset();
    parent->SkinData().BGChanged = true;
    ProviderRepaintFrame(*parent);
    return;
  }
  if (!FormWindowVisible(form) || Printing(p) || !p.DrawNonClientArea()) {
    ProviderCallOldProc(p, m);
    return;
  }
  p.CaptionGlow[0].reset();
  p.CaptionGlow[1].reset();
  // The system draws a caption of its own (and the menu line) into a window with a caption as it takes the text,
  // and a caption clock changes the text every second: the text is taken while the window's style has no
  // caption, which makes no frame change, draws nothing and leaves the window as it shows (no other window is
  // made or shown for it). The caption band alone is then drawn again.
  const auto token = p.AliveToken();
  const uint32_t style = FormWindowStyle(form);
  const bool captioned = (style & kWsCaption) == kWsCaption;
  {
    // The caption is put back however the form's own handling ends; a style change that handling made stays.
    struct CaptionBack {
      gui::TCustomForm& form;
      const std::weak_ptr<const int>& token;
      bool captioned;
      ~CaptionBack() {
        if (captioned && !token.expired()) SetFormWindowStyle(form, FormWindowStyle(form) | kWsCaption);
      }
    } back{form, token, captioned};
    if (captioned) SetFormWindowStyle(form, style & ~kWsCaption);
    ProviderCallOldProc(p, m);
  }
  if (token.expired()) return;
  ProviderRepaintCaption(p);
}

namespace {

// The size grip is drawn into the client's bottom-right corner: when the client grows, the grip's old place must
// be painted again (it shows the background now), and when it shrinks, its new place.
void InvalidateGripOnResize(TsSkinProvider& p) {
  gui::TCustomForm& form = *p.Form();
  const TSize now = FormClientSize(form);
  const TRect before = p.LastClientRect;
  p.LastClientRect = TRect{0, 0, now.cx, now.cy};
  TsSkinManager* manager = ProviderManager(p);
  if (manager == nullptr || !ProviderGripVisible(p) ||
      !SkinManagerIsValidImageIndex(*manager, manager->Skin().CommonIndexes.GripImage))
    return;
  const SkinImageRecord& grip = manager->Skin().Images[size_t(manager->Skin().CommonIndexes.GripImage)];
  const int32_t w = ImageStateWidth(grip), h = ImageFrameHeight(grip);
  const bool erase = !CommonDataUseParentCache(p.SkinData());
  auto corner = [&](int32_t right, int32_t bottom) { return TRect{right - w, bottom - h, right, bottom}; };
  if ((before.Width() < now.cx || before.Height() < now.cy) && before.Width() != 0)
    InvalidateFormClientRect(form, corner(before.Width(), before.Height()), erase);
  if (before.Width() > now.cx || before.Height() > now.cy) InvalidateFormClientRect(form, corner(now.cx, now.cy), erase);
}

}  // namespace

void ProviderWmSize(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  // A size change that leaves the window as it was (the same window and client sizes, and not maximized or
  // minimized) keeps the frame as it was composed.
  const bool sameFrame = m.WParam == kSizeRestored && p.LastSizeType == kSizeRestored &&
                         m.LParam == p.LastSizeClient && !p.SkinData().BGChanged && !ProviderCacheSizeChanged(p);
  // An MDI child maximized, or no longer: its parent's menu line shows its buttons, or no longer.
  const bool mdiStateChanged = ProviderIsMDIChild(p) && (int64_t(m.WParam) == kSizeMaximized || p.LastSizeType == kSizeMaximized) &&
                               int64_t(m.WParam) != p.LastSizeType;
  p.LastSizeType = int64_t(m.WParam);
  p.LastSizeClient = m.LParam;
  if (!FormWindowVisible(form)) {
    p.SkinData().BGChanged = true;
    ProviderCallOldProc(p, m);
    return;
  }
  const TRect before = p.LastClientRect;
  if (!FormWindowIconic(form)) {
    InvalidateGripOnResize(p);
    ProviderInvalidateCornerImages(p, before, FormClientSize(form));
  }
  p.CaptionGlow[0].reset();
  p.CaptionGlow[1].reset();
  p.MenuLineCountCache = -1;
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  if (!sameFrame) p.SkinData().BGChanged = true;
  if (mdiStateChanged)
    if (TsSkinProvider* parent = ProviderMDIParentOf(p)) ProviderRefreshMDIButtons(*parent);
  if (!form.Showing() || !p.DrawNonClientArea()) return;
  TsSkinManager* manager = ProviderManager(p);
  if (Zoomed(p) && p.BorderForm && manager && manager->Options.NativeBordersMaximized) p.BorderForm.reset();
  if (!p.BorderForm) {
    ProviderSendToWndProc(p, kWmNcPaint, 0, 0);
  } else {
    if (sameFrame)
      p.ShowBorderFrame(255);
    else
      BorderFormUpdate(*p.BorderForm, true, 255);
    ProviderUpdateRegion(p, false);
  }
  // A background that follows the form's width or height lies differently under its children now.
  if (token.expired()) return;
  if (!FormWindowIconic(form) && ProviderResizeMovesChildBackgrounds(p, TSize{before.Width(), before.Height()},
                                                                     FormClientSize(form)))
    ProviderChildWindowsChanged(p);
  if (token.expired() || p.BorderForm) return;
  // While the component layer still has the form's old bounds, the frame paint above waited: the client is painted
  // once the frame and its region have the new size (the position-changed handler).
  const TRect w = FormWindowRect(form);
  if (FormWindowIconic(form) || (w.Width() == form.Width() && w.Height() == form.Height())) RedrawFormWindow(form, 0x921);
}

void ProviderCmVisibleChanged(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  if (m.WParam == 0) {
    if (!p.Form()->IsDestroying() && p.SkinData().CacheBmp) p.SkinData().CacheBmp->SetSize(0, 0);
    ProviderStopTitleButtonTimers(p);
  }
}

void ProviderCmEnabledChanged(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  if (!p.DrawNonClientArea()) return;
  if (p.BorderForm) BorderFormEnable(*p.BorderForm, p.Form()->Enabled());
  p.SkinData().BGChanged = true;
  if (FormWindowHandle(*p.Form())) SendFormMessage(*p.Form(), kWmNcPaint, 0, 0);
}

void ProviderWmNcDestroy(TsSkinProvider& p, gui::TMessage&) {
  if (p.DragActive || p.DragPending) ProviderEndBorderDrag(p, false);
  ProviderMDIChildGone(p);
  ProviderFreeScrollWnd(p);
  // The border window goes with the form's window, and a cover kept over it.
  p.BorderForm.reset();
  ProviderFreeSnapshotCover(p);
  ProviderFreeMDIIcons(p);
  ProviderFreeCaptionCover(p);
}

}  // namespace skin
