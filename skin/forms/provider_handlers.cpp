// The smaller window-message handlers of a skinned form: showing and hiding with their animations, application
// activation, setting and style changes, the icon, the end of the session, menus, the skin editor's messages.
#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_handlers.h"
#include "skin/forms/provider_hide.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_menus.h"
#include "skin/forms/provider_scroll.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/system_menu.h"
#include "skin/manager/win_values.h"

namespace skin {

using namespace wv;

namespace {


bool Layered(const TsSkinProvider& p) {
  return LayeredPicturesShown(const_cast<TsSkinManager*>(ProviderManager(p)));
}

// An animation setting that runs: on, and long enough for one step.
bool Runs(const TacFormAnimation& a) { return a.Active && a.Time >= 12; }

bool& SessionEnding() {
  static bool ending = false;
  return ending;
}

}  // namespace

bool ProviderShowAnimationWanted(const TsSkinProvider& p) {
  const TsSkinManager* m = ProviderManager(p);
  return m != nullptr && p.AllowAnimation && Runs(m->AnimEffects.FormShow) && Layered(p) && !PreviewMode() &&
         p.Form()->Parent() == nullptr && p.Form()->FormStyle() != gui::TFormStyle::fsMDIChild;
}

bool ProviderHideAnimationWanted(const TsSkinProvider& p) {
  const TsSkinManager* m = ProviderManager(p);
  return m != nullptr && p.AllowAnimation && Runs(m->AnimEffects.FormHide) && Layered(p) &&
         p.Form()->Parent() == nullptr && p.Form()->FormStyle() != gui::TFormStyle::fsMDIChild &&
         !(p.StateFlags & (psMinimizing | psRestoring)) && !p.MinimizingByButton &&
         !gui::Application->Terminated();
}

bool ProviderCmShowingChanged(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  // A window that came on the screen transparent for this change's fade is made opaque by the fade, or at once
  // where no fade runs after all.
  const bool shownTransparent = (p.StateFlags & psShownTransparent) != 0;
  const bool takenHidden = (p.StateFlags & psChildrenTakenHidden) != 0;
  p.StateFlags &= ~(psShownTransparent | psChildrenTakenHidden);
  const bool fades = p.DrawNonClientArea() && p.DrawClientArea && form.Showing() && ProviderShowAnimationWanted(p) &&
                     FormWindowExists(form);
  if (shownTransparent && !fades) {
    SetFormAlpha(form, 255);
    // What was left unpainted while it was transparent is painted now.
    RedrawFormWindow(form, 0x485);  // RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME
  }
  if (!p.DrawNonClientArea() || !p.DrawClientArea) {
    ProviderCallOldProc(p, m);
    return false;
  }
  TsSkinManager* manager = ProviderManager(p);
  if (!form.Showing()) {
    p.BorderForm.reset();
    ProviderCallOldProc(p, m);
    return false;
  }
  const auto token = p.AliveToken();
  bool taken = false;  // the child windows given to the adapter here
  if (fades) {
    // Shown transparent, faded in by the animation's picture, then opaque with its frame. The border window is
    // the fade's meanwhile: the style changes of the form's transparency leave it alone (the fade's pictures
    // replace what it shows, and the fade ends with the border window showing the frame).
    p.StateFlags |= psShowFading;
    const auto endFade = [&] {
      if (!token.expired()) p.StateFlags &= ~psShowFading;
    };
    SetFormAlpha(form, 0);
    ProviderCallOldProc(p, m);
    if (token.expired() || form.IsDestroying()) return endFade(), false;
    bool faded = false;
    if (FormWindowVisible(form) && !FormWindowIconic(form)) {
      // The child windows take the skin before the fade's picture is made of them: the fade shows the form as it
      // will stay (not its controls unpainted), and the repaint that follows paints them once, in the skin.
      ProviderTakeChildWindows(p);
      taken = true;
      if (token.expired() || form.IsDestroying()) return endFade(), false;
      AnimShowForm(p, manager->AnimEffects.FormShow.Time, 255, manager->AnimEffects.FormShow.Mode);
      if (token.expired() || form.IsDestroying()) return endFade(), false;
      faded = true;
    }
    SetFormAlpha(form, 255);
    endFade();
    if (!faded || !p.BorderForm) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
    // It was not painted while transparent. Opaque, it shows the fade's last picture, its controls printed into it in
    // the skin, rather than painting them all again; painted now when there is no picture.
    if (!faded || !ProviderShowFadePicture(p))
      RedrawFormWindow(form, 0x585);  // RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME
  } else {
    if (manager) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
    ProviderCallOldProc(p, m);
    if (token.expired()) return false;
    if (manager && !LayeredPicturesShown(manager) && FormWindowVisible(form) && !FormWindowIconic(form)) {
      // Where the fade is left out because the screen would show it dark, the form is finished as the fade
      // finishes it: its child windows in the skin, then the whole form painted.
      ProviderTakeChildWindows(p);
      if (token.expired() || form.IsDestroying()) return false;
      taken = true;
      // Taken while it was hidden, its first paint was already the skin's.
      if (!takenHidden) RedrawFormWindow(form, 0x585);
    }
  }
  if (PreviewMode()) ProviderNotifySkinEditor(FormWindowHandle(form));
  return taken;
}

void ProviderWmPosChanged(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  const uint32_t flags = WindowPosFlags(m.LParam);
  if ((flags & 0x80) && p.SkinData().CacheBmp && !p.SkinData().CacheBmp->Empty() && !FormWindowIconic(form) &&
      ProviderHideAnimationWanted(p)) {
    // Hidden: the form's picture (kept since it closed or began to hide) fades out where the form was.
    const auto token = p.AliveToken();
    ProviderCallOldProc(p, m);
    if (token.expired() || form.IsDestroying()) return;
    p.MinimizingByButton = true;
    ProviderFadeOutSnapshot(p);
    if (token.expired()) return;
    p.MinimizingByButton = false;
    ProviderAfterHide(p);
    return;
  }
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  // Moved or sized with an Alt key down: a window manager's Alt drag, whose mouse button the program never saw.
  if (const TRect place = FormWindowRect(form); place != p.LastPlace) {
    p.LastPlace = place;
    p.MovedUnderAlt = AltKeyHeld();
  }
  if (flags & 0x80) ProviderAfterHide(p);
  // The border window has no owner that would hide it: it goes with its form however the form was hidden (its
  // owner minimized, the system), and shows again with the form's next paint.
  if ((flags & 0x80) && p.BorderForm && !FormWindowVisible(form)) {
    BorderFormHide(*p.BorderForm);
    p.SkinData().BGChanged = true;
  }
  if ((flags & 0x40) && p.BorderForm && !BorderFormShown(*p.BorderForm) && FormWindowVisible(form) && !FormWindowIconic(form) &&
      !(p.StateFlags & (psShownTransparent | psShowFading))) {
    BorderFormUpdate(*p.BorderForm, true, 255);
    return;
  }
  // A size change whose frame paint came while the form's bounds still had the old size (the component layer
  // takes them after the system's handling): the frame and its region for the new size now. Without this, what
  // the window gained lies outside its region.
  if (!(flags & 0x1) && !p.BorderForm && p.DrawNonClientArea() && FormWindowVisible(form) && !FormWindowIconic(form) &&
      !(p.SkinData().CtrlState & csPrinting) && (ProviderCacheSizeChanged(p) || p.LayoutChanged)) {
    const TRect w = FormWindowRect(form);
    if (w.Width() == form.Width() && w.Height() == form.Height()) {
      ProviderSendToWndProc(p, kWmNcPaint, 0, 0);
      // What the old region hid was not painted: the client and its children paint it now.
      if (!token.expired()) RedrawFormWindow(form, 0x85);  // RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN
    }
    return;
  }
  if (!p.BorderForm || !FormWindowVisible(form) || FormWindowIconic(form) || (p.SkinData().CtrlState & csPrinting))
    return;
  if (flags & (0x8 | 0x20)) return;  // SWP_NOREDRAW, SWP_FRAMECHANGED
  if ((flags & 0x3) == 0x3) {
    // SWP_NOMOVE | SWP_NOSIZE: only the z-order can have changed, unless SWP_NOZORDER says not.
    if (!(flags & 0x4) || (flags & 0x40)) BorderFormFollowZOrder(*p.BorderForm);
  } else {
    BorderFormUpdate(*p.BorderForm, true, 255);
  }
}

void ProviderWmShowWindow(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  const auto token = p.AliveToken();
  // Shown by the form's own showing (visible, its showing change to come) with a fade to run: the window comes on
  // the screen transparent, else it would be seen whole for a moment, then gone, then fading in. Its first show
  // makes the window here, so this is the first moment it can be made transparent.
  if (m.WParam == 1 && m.LParam == 0 && p.DrawNonClientArea() && p.DrawClientArea && form.Visible() &&
      !form.Showing() && !FormWindowVisible(form) && ProviderShowAnimationWanted(p)) {
    SetFormAlpha(form, 0);
    p.StateFlags |= psShownTransparent;
    // The region leaving the frame to the border window is set while the window is still hidden: set on the
    // shown window, its frame change would erase every child window at once, for nothing while it is transparent.
    if (p.BorderForm) ProviderUpdateRegion(p, false);
  } else if (m.WParam == 1 && m.LParam == 0 && p.DrawNonClientArea() && p.SystemMenu && !p.IsLoading() &&
             form.Parent() == nullptr && form.FormStyle() != gui::TFormStyle::fsMDIChild &&
             !FormWindowVisible(form) && !FormWindowIconic(form)) {
    // Shown at once: its frame is made while the window is still hidden (the menu line taken into the skin, the
    // frame composed, the region that cuts the window to it set). Made on the shown window, each is a frame
    // change that paints the frame again, and the region's erases every child window.
    const TRect w = FormWindowRect(form);
    if (w.Width() == form.Width() && w.Height() == form.Height()) {
      if (!p.SkinData().CacheBmp)
        if (TsSkinManager* manager = ProviderManager(p)) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
      if (token.expired()) return;
      ProviderPaintNonClient(p);
      if (token.expired()) return;
      // Its child windows take the skin while it is still hidden as well: taken once it shows, each first paints
      // in its own look, and the whole form is then painted again in the skin.
      if (p.DrawClientArea) {
        ProviderTakeChildWindows(p);
        if (token.expired()) return;
        p.StateFlags |= psChildrenTakenHidden;
      }
    }
  } else if (m.WParam == 0) {
    p.StateFlags &= ~psChildrenTakenHidden;
  }
  if (form.FormStyle() != gui::TFormStyle::fsMDIChild) {
    if (m.WParam == 1) {
      if (p.BorderForm) p.BorderForm->Hidden = false;
      // Shown again: a picture kept from the last hide is let go.
      ProviderAfterHide(p);
    }
    // Hidden with its owner: how it showed, for when it comes back.
    if (m.LParam == kSwParentClosing)
      p.ParentClosingState = FormWindowIconic(form) ? 2 : FormWindowZoomed(form) ? 3 : 1;
    // The main form coming back with the application: its restore animation shows it.
    TsSkinManager* manager = ProviderManager(p);
    if (m.LParam == kSwParentOpening && gui::Application && gui::Application->MainForm() == &form && manager &&
        manager->AnimEffects.Minimizing.Active) {
      ProviderCallOldProc(p, m);
      return;
    }
  }
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  if (m.WParam == 1 && p.Form()->Parent() != nullptr) {
    p.SkinData().CtrlState &= uint16_t(~csTransparent);
    p.SkinData().BGChanged = true;
  }
  // A maximized MDI child shown: its parent's menu line shows its buttons.
  if (m.WParam == 1 && FormWindowZoomed(form))
    if (TsSkinProvider* parent = ProviderMDIParentOf(p)) ProviderRefreshMDIButtons(*parent);
}

void ProviderWmActivateApp(TsSkinProvider& p, gui::TMessage& m) {
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired() || m.WParam == 0) return;
  gui::TCustomForm& form = *p.Form();
  if (p.BorderForm) {
    // A form that came on the screen transparent has its border window shown by its fade, which is to come.
    if (!FormWindowIconic(form) && !(p.StateFlags & (psShownTransparent | psShowFading)))
      BorderFormUpdate(*p.BorderForm, true, 255);
    return;
  }
  // The main form whose window came back without it (the application restored from outside): it counts as
  // shown again, with its frame and region made anew.
  TsSkinManager* manager = ProviderManager(p);
  if (manager && manager->AnimEffects.Minimizing.Active && AnimationInProgress() == 0 && gui::Application &&
      gui::Application->MainForm() == &form && form.WindowState() == gui::TWindowState::wsMinimized &&
      FormWindowExists(form) && !FormWindowIconic(form) && !ProviderMinimizeTimerRunning(p)) {
    form.SetWindowState(FormWindowZoomed(form) ? gui::TWindowState::wsMaximized : gui::TWindowState::wsNormal);
    if (token.expired()) return;
    RemoveFormRegion(form);
    p.SkinData().BGChanged = true;
    RedrawFormWindow(form, 0x585);
  }
}

void ProviderWmSettingChange(TsSkinProvider& p, gui::TMessage& m) {
  p.SkinData().BGChanged = true;
  // A new work area moves the taskbar button a minimize animation goes to.
  if (m.WParam == 47 && ProviderMinimizeTimerRunning(p)) MinTimerComputeTarget(*ProviderMinTimer(p));
  ProviderCallOldProc(p, m);
}

void ProviderWmSysColorChange(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  ProviderUpdateSysMenuStyle(p, true);
}

void ProviderWmStyleChanged(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  if (p.SystemMenu) {
    const bool hasSysMenu = (p.Form()->BorderIcons() & gui::biSystemMenu) != 0;
    if (hasSysMenu != (p.SystemMenu->ItemClose != nullptr && p.SystemMenu->ItemClose->Visible())) {
      SysMenuUpdateItems(*p.SystemMenu);
      ProviderRepaintFrame(p);
      return;
    }
  }
  // Scroll bars given to the window while it shows get the skinned ones.
  if (intptr_t(m.WParam) == -16 && p.ScrollWnd == nullptr && p.Form()->Showing()) ProviderAttachScrollWnd(p);
  if (intptr_t(m.WParam) == -20 && p.BorderForm &&
      !(p.StateFlags & (psBlendMoving | psMinimizing | psRestoring | psShowFading | psShownTransparent)))
    BorderFormUpdate(*p.BorderForm, false, 255);
}

void ProviderWmSetIcon(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  if (p.IsLoading() || m.LParam == 0 || !form.Showing()) {
    ProviderCallOldProc(p, m);
    return;
  }
  // The system would draw the new icon into its own caption: not while its redraw is off.
  const bool hide = !DwmCompositionEnabled() && !p.BorderForm;
  if (hide) SendFormMessage(form, kWmSetRedraw, 0, 0);
  ProviderCallOldProc(p, m);
  if (hide) SendFormMessage(form, kWmSetRedraw, 1, 0);
  p.SkinData().BGChanged = true;
  ProviderRepaintFrame(p);
}

void ProviderWmQueryEndSession(TsSkinProvider& p, gui::TMessage& m) {
  SessionEnding() = true;
  // A running form animation may finish first, for a second at most: the session does not wait on it.
  const uint32_t start = TickCount();
  for (int i = 0; i < 1000 && !gui::Application->Terminated() && AnimationInProgress() != 0 &&
                  TickCount() - start < 1000;
       ++i)
    gui::Application->ProcessMessages();
  ProviderCallOldProc(p, m);
}

void ProviderCmMenuChanged(TsSkinProvider& p, gui::TMessage& m) {
  if (FormWindowVisible(*p.Form()) && !p.Designing() && !p.SkinData().Updating && !(p.SkinData().FillFlags & 0x800)) {
    p.MenuLineCountCache = -1;
    p.SkinData().BGChanged = true;
  }
  // Items added to the skinned menus since they were skinned wear the skin at once.
  ProviderMenuChanged(p);
  ProviderCallOldProc(p, m);
}

void ProviderWmSkinEditor(TsSkinProvider& p, gui::TMessage& m) {
  switch (m.WParam) {
    case 1: p.Form()->Close(); return;
    case 4: m.Result = 1; return;
    default: ProviderCallOldProc(p, m); return;
  }
}

}  // namespace skin
