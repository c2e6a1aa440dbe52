// The skinned frame under the mouse: pressing and releasing the caption buttons, double and right clicks on the
// caption, the system commands around minimize, maximize and restore, and the border drag of ResizeMode
// rmBorder, which drags an inverted outline over the desktop instead of sizing the window live.
//
// A release performs a button's command only when the same button was pressed and the release lies on it;
// a button that is disabled is never pressed. Every handler that sends the form a message that may close or
// free it (a system command, a close) checks afterwards that its provider is still there.
#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_hide.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/smdiform.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/win_values.h"
#include "skin/painters/acglow.h"
#include "skin/manager/sskinmanager_component.h"

namespace skin {

namespace {
TRect Shifted(const TRect& r, int32_t dx, int32_t dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
}  // namespace

using namespace wv;

namespace {

constexpr uint32_t kScDragMove = 0xF012;

int32_t PointX(intptr_t l) { return int16_t(uint16_t(uintptr_t(l) & 0xFFFF)); }
int32_t PointY(intptr_t l) { return int16_t(uint16_t((uintptr_t(l) >> 16) & 0xFFFF)); }
int32_t Code(uintptr_t w) { return int32_t(intptr_t(w)); }

bool Zoomed(const TsSkinProvider& p) { return FormWindowZoomed(*p.Form()); }
bool Iconic(const TsSkinProvider& p) { return FormWindowIconic(*p.Form()); }
bool MainForm(const TsSkinProvider& p) { return gui::Application && gui::Application->MainForm() == p.Form(); }
bool Alive(const std::weak_ptr<const int>& token) { return !token.expired(); }

bool SystemButton(int32_t code) {
  return code == kHtMinButton || code == kHtMaxButton || code == kHtClose || code == kHtHelp ||
         (code >= kHtMdiClose && code <= kHtMdiMinimize);
}

bool Pressed(TsSkinProvider& p, int32_t code) {
  const TitleButtonRecord* r = ProviderButtonRecord(p, code);
  return r != nullptr && r->State == 2 && p.CurrentHTCode == code;
}

// The hit code of a message: WParam, or with a border window the border window's own test when WParam is -1.
int32_t MessageCode(TsSkinProvider& p, const gui::TMessage& m) {
  int32_t code = Code(m.WParam);
  if (code == -1 && p.BorderForm) code = BorderFormHitTest(*p.BorderForm);
  return code;
}

void SendSysCommand(TsSkinProvider& p, uint32_t command) { SendFormMessage(*p.Form(), kWmSysCommand, command, 0); }

// The skinned system menu below the title icon.
void PopupBelowIcon(TsSkinProvider& p) {
  const TRect w = FormWindowRect(*p.Form());
  const int32_t border = SystemMetric(kSmCxFrame);
  int32_t y = w.Top + ProviderBottomFrame(p, true) + TitleIconHeight(p) + border;
  if (Iconic(p)) y -= 16;
  ProviderPopupSysMenu(p, w.Left + border, y);
}

// ---- The border drag (one at a time in the program).
struct BorderDrag {
  TsSkinProvider* owner = nullptr;
  TRect outline;
  TRect start;
  TPoint origin;  // the mouse where the drag started
  TPoint last;
  int32_t minWidth = 0, minHeight = 0;
  int32_t code = 0;
  bool moving = false;
  void* dc = nullptr;
};
BorderDrag g_drag;

bool DragMode(const TsSkinProvider& p) { return p.ResizeMode == rmBorder && FormWindowEnabled(*p.Form()); }

}  // namespace

TRect SizeByDrag(const TRect& s, int32_t code, int32_t dx, int32_t dy, int32_t minWidth, int32_t minHeight) {
  TRect r = s;
  const bool left = code == kHtLeft || code == kHtTopLeft || code == kHtBottomLeft;
  const bool right = code == kHtRight || code == kHtTopRight || code == kHtBottomRight;
  const bool top = code == kHtTop || code == kHtTopLeft || code == kHtTopRight;
  const bool bottom = code == kHtBottom || code == kHtBottomLeft || code == kHtBottomRight;
  if (left) r.Left = std::min(s.Left + dx, s.Right - minWidth);
  if (right) r.Right = std::max(s.Right + dx, s.Left + minWidth);
  if (top) r.Top = std::min(s.Top + dy, s.Bottom - minHeight);
  if (bottom) r.Bottom = std::max(s.Bottom + dy, s.Top + minHeight);
  return r;
}

TRect BorderDragOutline() { return g_drag.outline; }

void ProviderStartBorderDrag(TsSkinProvider& p, const TPoint& pt) {
  if (!DragMode(p)) return;
  if (g_drag.owner && g_drag.owner != &p) ProviderEndBorderDrag(*g_drag.owner, false);
  g_drag.owner = &p;
  p.DragActive = true;
  if (!g_drag.dc) g_drag.dc = BeginDesktopOutline();
  gui::TCustomForm& form = *p.Form();
  g_drag.start = g_drag.outline = gui::Bounds(form.Left(), form.Top(), form.Width(), form.Height());
  g_drag.minWidth = std::max(0, form.Constraints.MinWidth);
  g_drag.minHeight = std::max(0, form.Constraints.MinHeight);
  g_drag.origin = g_drag.last = pt;
  DrawDesktopOutline(g_drag.dc, g_drag.outline);
}

void ProviderEndBorderDrag(TsSkinProvider& p, bool apply) {
  if (g_drag.owner != &p) {
    p.DragActive = p.DragPending = false;
    return;
  }
  // The drag is over before the capture goes: releasing it sends WM_CAPTURECHANGED, which ends a drag still
  // running without applying it.
  const bool moved = p.DragActive && !p.DragPending;
  const bool shown = p.DragActive;
  p.DragActive = false;
  p.DragPending = false;
  g_drag.owner = nullptr;
  if (g_drag.dc) {
    if (shown) DrawDesktopOutline(g_drag.dc, g_drag.outline);  // erased
    EndDesktopOutline(g_drag.dc);
    g_drag.dc = nullptr;
  }
  if (FormHasCapture(*p.Form())) ReleaseFormCapture();
  if (apply && moved && !p.Form()->IsDestroying()) {
    gui::TCustomForm& form = *p.Form();
    if (g_drag.moving)
      form.SetBounds(g_drag.outline.Left, g_drag.outline.Top, form.Width(), form.Height());
    else
      form.SetBounds(g_drag.outline.Left, g_drag.outline.Top, g_drag.outline.Width(), g_drag.outline.Height());
  }
}

// ---------------------------------------------------------------------------------------------------------

void ProviderNcLButtonDown(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  int32_t code = Code(m.WParam);
  if (!p.DrawNonClientArea()) {
    ProviderCallOldProc(p, m);
    return;
  }
  if (p.BorderForm) {
    if (code == kHtBorder) {
      ProviderCallOldProc(p, m);
      return;
    }
    if (code == -1) {
      // The border window leaves the hit test to the form: what is passed on from here (the system's move or
      // size loop) carries the code found.
      code = BorderFormHitTest(*p.BorderForm);
      m.WParam = WPARAM(code);
    }
  }
  if (SystemButton(code)) {
    // The maximized MDI child's minimize and restore only when the child allows them.
    if ((code == kHtMdiMinimize && !MDIChildMinimizeAllowed(p)) || (code == kHtMdiRestore && !MDIChildRestoreAllowed(p)))
      return;
    ProviderPressElement(p, code);
    return;
  }
  if (code == kHtSysMenu) {
    // The form's own handling first: it may take the click.
    const auto token = p.AliveToken();
    ProviderCallOldProc(p, m);
    if (!Alive(token) || m.Result != 0) return;
    ProviderSetHotElement(p, 0, true);
    TitleButtonPressed() = false;
    // The system's menus: a second click may follow, and a double click on the icon closes the form instead.
    if (TsSkinManager* manager = ProviderManager(p); manager && !manager->SkinnedPopups) {
      p.ClosingByIcon = false;
      if (!ProviderWaitForIconDoubleClick(p, 200) || p.ClosingByIcon) return;
    }
    PopupBelowIcon(p);
    return;
  }
  if (code == kHtSize || code == kHtMenu) {
    ProviderCallOldProc(p, m);
    return;
  }
  if (code >= kHtUserButton && code < kHtUserButton + p.TitleButtons().Count()) {
    ProviderPressElement(p, code);
    TsTitleButton& b = *p.TitleButtons().Items(code - kHtUserButton);
    if (b.OnMouseDown) b.OnMouseDown(&b, gui::TMouseButton::mbLeft, 0, PointX(m.LParam), PointY(m.LParam));
    return;
  }
  if (ProviderTitleItemDown(p, code, m)) return;
  if (Iconic(p)) {
    SendSysCommand(p, kScDragMove);
    return;
  }
  ProviderSetHotElement(p, 0, true);
  if (Zoomed(p)) {
    ProviderCallOldProc(p, m);
    return;
  }
  RememberGluedForms(p);
  // The outline drag does not depend on the system's full-window dragging: it is what a form asks for instead.
  if (p.ResizeMode == rmBorder && FormWindowEnabled(form) &&
      (code == kHtCaption || (code >= kHtLeft && code <= kHtBottomRight))) {
    g_drag.moving = code == kHtCaption;
    g_drag.code = code;
    SendSysCommand(p, g_drag.moving ? kScMove : kScSize);
    ProviderStartBorderDrag(p, TPoint{PointX(m.LParam), PointY(m.LParam)});
    return;
  }
  if (DragFullWindows()) {
    TsSkinManager* manager = ProviderManager(p);
    if (code == kHtCaption && manager && manager->AnimEffects.BlendOnMoving.Active &&
        manager->AnimEffects.BlendOnMoving.BlendValue < 255 && p.AllowBlendOnMoving && !Iconic(p) &&
        form.Parent() == nullptr) {
      ProviderStartBlendMove(p, m);
      return;
    }
  }
  // The caption's move runs in the form's own loop, whole or as an outline as the system drags (the system's
  // own is the window manager's under X).
  if (code == kHtCaption) {
    ProviderMoveByCaption(p, m);
    return;
  }
  ProviderCallOldProc(p, m);
}

void ProviderMoveByCaption(TsSkinProvider& p, gui::TMessage& m, const std::function<void()>& ended) {
  if (RunFormCaptionMove(*p.Form(), TPoint{PointX(m.LParam), PointY(m.LParam)}, ended)) {
    m.Result = 0;
    return;
  }
  ProviderCallOldProc(p, m);
  if (ended) ended();
}

void ProviderLButtonUp(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm& form = *p.Form();
  if (!p.DrawNonClientArea() || !FormWindowEnabled(form)) {
    ProviderCallOldProc(p, m);
    TitleButtonPressed() = false;
    return;
  }
  const auto token = p.AliveToken();
  const int32_t code = m.Msg == kWmNcLButtonUp ? MessageCode(p, m) : 0;  // it carries a hit code
  const TsSystemMenu* sm = p.SystemMenu.get();
  switch (code) {
    case kHtHelp:
      if (Pressed(p, code)) {
        SendSysCommand(p, kScContextHelp);
        if (!Alive(token)) break;
        ProviderSetHotElement(p, 0, true);
        if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
        SendFormMessage(form, kWmNcPaint, 0, 0);
      } else {
        ProviderSetHotElement(p, 0, true);
      }
      break;
    case kHtMinButton: {
      if (!Pressed(p, code)) {
        ProviderSetHotElement(p, 0, true);
        ProviderCallOldProc(p, m);
        break;
      }
      const TPoint pt = ProviderScreenToWindow(p, PointX(m.LParam), PointY(m.LParam));
      if (!p.BorderForm && !p.ButtonMin.Rect.Contains(pt)) {
        ProviderSetHotElement(p, 0, true);
        ProviderCallOldProc(p, m);
        break;
      }
      ProviderSetHotElement(p, 0, true);
      p.ButtonMin.State = 0;
      // A minimized window's minimize restores it, the main form's too: its own window is the one minimized (no
      // application window of its own stands for it on a task bar).
      if (!MainForm(p) || Iconic(p)) {
        SendSysCommand(p, Iconic(p) ? kScRestore : kScMinimize);
      } else {
        p.MinimizingByButton = true;
        SendSysCommand(p, kScMinimize);
        if (Alive(token)) p.MinimizingByButton = false;
      }
      if (Alive(token)) p.SkinData().BGChanged = true;
      break;
    }
    case kHtMaxButton:
      if (sm && (sm->MaximizeEnabled() || (Zoomed(p) && sm->RestoreEnabled()))) {
        if (!Pressed(p, code)) {
          ProviderSetHotElement(p, 0, true);
          ProviderCallOldProc(p, m);
          break;
        }
        ProviderSetHotElement(p, 0, true);
        p.ButtonMax.State = 0;
        SendSysCommand(p, Zoomed(p) ? kScRestore : kScMaximize);
        if (Alive(token) && p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
      }
      break;
    case kHtClose:
      if (sm && sm->CloseEnabled() && Pressed(p, code)) {
        p.ButtonClose.State = 0;
        SendSysCommand(p, kScClose);
        if (!Alive(token) || form.IsDestroying()) break;
        ProviderStopTitleButtonTimers(p);
        if (FormWindowVisible(form)) {
          p.SkinData().BGChanged = true;
          ProviderSetHotElement(p, 0, true);
        }
      } else {
        ProviderSetHotElement(p, 0, true);
      }
      break;
    case kHtMdiClose:
    case kHtMdiRestore:
    case kHtMdiMinimize:
      // The buttons of a maximized MDI child act on the active child; with none, nothing happens.
      if (Pressed(p, code)) ProviderMDIChildCommand(p, code);
      if (Alive(token)) ProviderSetHotElement(p, 0, code == kHtMdiMinimize);
      break;
    default:
      if (ProviderTitleItemUp(p, code, m)) break;
      if (code >= kHtUserButton && code < kHtUserButton + p.TitleButtons().Count()) {
        if (Pressed(p, code)) {
          TsTitleButton& b = *p.TitleButtons().Items(code - kHtUserButton);
          if (b.OnMouseUp) b.OnMouseUp(&b, gui::TMouseButton::mbLeft, 0, PointX(m.LParam), PointY(m.LParam));
          if (!Alive(token)) break;
        }
        TitleButtonPressed() = false;
        ProviderSetHotElement(p, 0, true);
        break;
      }
      if (p.DragActive || p.DragPending) {
        if (DragMode(p) && !Zoomed(p)) {
          ProviderEndBorderDrag(p, true);
          TitleButtonPressed() = false;
          return;
        }
      }
      // A pressed button released elsewhere does nothing but lose its press.
      if (p.CurrentHTCode > 0) ProviderSetHotElement(p, 0, true);
      ProviderCallOldProc(p, m);
      break;
  }
  TitleButtonPressed() = false;
}

void ProviderMouseMove(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  if (!DragMode(p) || g_drag.owner != &p) return;
  const TPoint c = CursorScreenPos();
  if (p.DragPending) {
    // The first move after the start: from here on a release applies the outline.
    p.DragPending = false;
    if (!p.DragActive) {
      ProviderStartBorderDrag(p, c);
      return;
    }
  }
  if (!p.DragActive) return;
  DrawDesktopOutline(g_drag.dc, g_drag.outline);
  if (g_drag.moving) {
    g_drag.outline = Shifted(g_drag.outline, c.X - g_drag.last.X, c.Y - g_drag.last.Y);
  } else {
    g_drag.outline =
        SizeByDrag(g_drag.start, g_drag.code, c.X - g_drag.origin.X, c.Y - g_drag.origin.Y, g_drag.minWidth,
                   g_drag.minHeight);
  }
  g_drag.last = c;
  DrawDesktopOutline(g_drag.dc, g_drag.outline);
}

void ProviderNcDblClick(TsSkinProvider& p, gui::TMessage& m) {
  if (p.DragActive && DragMode(p)) ProviderEndBorderDrag(p, true);
  const int32_t code = MessageCode(p, m);
  const auto token = p.AliveToken();
  if (code == kHtCaption) {
    const TsSystemMenu* sm = p.SystemMenu.get();
    const bool can = sm && (sm->MaximizeEnabled() || sm->RestoreEnabled());
    if (!can) {
      // A form that its system menu cannot maximize may still have been zoomed from outside (a window manager's
      // own command): like a minimized one, its caption gives it back.
      if (ProviderFormHasBorder(p) && (Iconic(p) || Zoomed(p))) SendSysCommand(p, kScRestore);
      m.Result = 0;
      return;
    }
    SendSysCommand(p, (Zoomed(p) || Iconic(p)) ? kScRestore : kScMaximize);
    if (Alive(token) && p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
    m.Result = 0;
    return;
  }
  if (code == kHtSysMenu) {
    if (TsSkinManager* manager = ProviderManager(p); manager && !manager->SkinnedPopups) p.ClosingByIcon = true;
    p.Form()->Close();
    return;
  }
  ProviderCallOldProc(p, m);
}

void ProviderNcRButtonDown(TsSkinProvider& p, gui::TMessage& m) {
  const int32_t code = Code(m.WParam);
  if (code == kHtCaption || code == kHtSysMenu) return;
  ProviderCallOldProc(p, m);
}

void ProviderNcRButtonUp(TsSkinProvider& p, gui::TMessage& m) {
  if (!ProviderFormHasBorder(p)) {
    ProviderCallOldProc(p, m);
    return;
  }
  const TPoint pt{PointX(m.LParam), PointY(m.LParam)};
  const int32_t code = p.BorderForm ? BorderFormHitTest(*p.BorderForm) : ProviderHitTest(p, pt);
  if (code == kHtCaption || code == kHtSysMenu) {
    ProviderSetHotElement(p, 0, true);
    TitleButtonPressed() = false;
    ProviderPopupSysMenu(p, pt.X, pt.Y);
  }
}

void ProviderSizing(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  if (p.BorderForm) BorderFormUpdate(*p.BorderForm, true, 255);
}

void ProviderExitSizeMove(TsSkinProvider& p, gui::TMessage& m) {
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (!Alive(token) || !p.BorderForm) return;
  BorderFormUpdate(*p.BorderForm, true, 255);
  // Dialogs over the form's border window paint again over where it now lies.
  ProviderRepaintAdaptedDialogs();
}

void ProviderSysCommand(TsSkinProvider& p, gui::TMessage& m) {
  // An MDI child's commands change its parent's frame (no animation of its own).
  if (ProviderMDISysCommand(p, m)) return;
  gui::TCustomForm& form = *p.Form();
  const uint32_t command = uint32_t(m.WParam) & 0xFFF0;
  if (command == kScKeyMenu) {
    // The Alt key of a window manager's drag opens no menu, as the Alt key of a click opens none: the menu's
    // keyboard mode would take the next press on the caption (its end lets the pointer go under X, and a drag
    // that leaves the window is lost).
    const bool dragAlt = p.MovedUnderAlt && PointX(m.LParam) == 0;
    p.MovedUnderAlt = false;
    if (dragAlt) return;
  }
  const auto token = p.AliveToken();
  TsSkinManager* manager = ProviderManager(p);
  const bool minimizeAnim = manager && manager->AnimEffects.Minimizing.Active && p.AllowAnimation;

  // Minimize and restore with the skinned animation: the system's own is off for the call.
  auto withoutSystemAnimation = [&]() {
    const bool saved = SystemMinimizeAnimation();
    if (saved) SetSystemMinimizeAnimation(false);
    ProviderCallOldProc(p, m);
    if (saved) SetSystemMinimizeAnimation(true);
  };
  // The main form's minimize is animated by the skin manager's hook of the application (it minimizes the
  // application with it); any other form's here.
  if (command == kScMinimize && minimizeAnim && !MainForm(p) && !Iconic(p) && FormWindowVisible(form) &&
      form.Parent() == nullptr) {
    ProviderStartMinimizeAnimation(p);
    withoutSystemAnimation();
    if (!Alive(token)) return;
    p.AnimPending = false;
    if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, 255);
    return;
  }
  if ((command == kScRestore || command == kScMaximize) && Iconic(p) && ProviderMinimizeTimerRunning(p) &&
      form.Parent() == nullptr) {
    // The window itself is restored when the animation has grown its copy back.
    ProviderStartRestoreAnimation(p, command == kScMaximize);
    return;
  }
  if (command == kScRestore) {
    if (p.StateFlags & psHideSnapshot) {
      p.StateFlags &= ~psHideSnapshot;
      if (p.BorderForm) p.BorderForm->Hidden = false;
      withoutSystemAnimation();
      return;
    }
    if ((p.BorderForm && p.BorderForm->Animating) || (!p.BorderForm && ProviderUseExtBorders(p))) {
      p.BorderForm.reset();
      if (manager) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
      ProviderUpdateRegion(p, false);
    }
  }
  // The outline drag replaces the system's move and size loops.
  if (p.ResizeMode == rmBorder && FormWindowEnabled(form) && !p.DragActive &&
      (command == kScMove || command == kScSize)) {
    SetFormCapture(form);
    p.DragPending = true;
    g_drag.moving = command == kScMove;
    return;
  }
  if (command == kScMaximize) {
    if (p.BorderForm && manager && manager->Options.NativeBordersMaximized) p.BorderForm.reset();
    p.StateFlags |= psMaximizingFromMin;
  }
  ProviderCallOldProc(p, m);
  if (!Alive(token) || form.IsDestroying()) return;
  if (command == kScKeyMenu && PointX(m.LParam) == ' ' && p.SystemMenu && ProviderFormHasBorder(p)) {
    PopupBelowIcon(p);
    return;
  }
  if (command == kScMaximize || command == kScRestore) {
    p.StateFlags &= ~psMaximizingFromMin;
    const TPoint c = CursorScreenPos();
    ProviderSetHotElement(p, ProviderHitTest(p, c) == kHtMaxButton ? kHtMaxButton : 0, true);
    if (command == kScRestore) {
      p.SkinData().BGChanged = true;
      if (!ProviderFormHasBorder(p)) {
        RemoveFormRegion(form);
        RedrawFormWindow(form, 0x481);
      } else {
        // The form's client is painted first: the border window takes its picture from the window.
        RedrawFormWindow(form, 0x585);
        if (manager && manager->ExtendedBorders() && p.AllowExtBorders() && p.DrawNonClientArea() &&
            form.Parent() == nullptr)
          ProviderUpdateExtBorders(p, true);
        if (p.BorderForm) BorderFormUpdate(*p.BorderForm, true, 255);
      }
    }
    if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
  }
  if (command == kScMinimize) {
    // A minimized form shows no frame of its own.
    if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, 255);
    if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
  }
  if (command == kScMinimize && minimizeAnim) p.AnimPending = false;
  // An MDI parent's menu line (its maximized child's buttons) is laid out for its new state.
  if (ProviderIsMDIParent(p) && (command == kScMinimize || command == kScMaximize || command == kScRestore))
    ProviderRefreshMDIButtons(p);
}

void ProviderWmMove(TsSkinProvider& p, gui::TMessage& m) {
  // Glows stay where their buttons were: they go with the move.
  ProviderStopTitleButtonTimers(p);
  ClearGlows(false);
  if (!p.BorderForm && ProviderUseExtBorders(p) && !(p.StateFlags & (psMinimizing | psRestoring)) &&
      !FormWindowIconic(*p.Form()))
    if (TsSkinManager* manager = ProviderManager(p)) ProviderUpdateExtBorders(p, manager->ExtendedBorders());
  ProviderCallOldProc(p, m);
  // The form itself is what moves (its border window follows it), so the glued forms follow its moves.
  MoveGluedForms(p);
}

void ProviderMouseEnter(TsSkinProvider& p, gui::TMessage& m) {
  ProviderCallOldProc(p, m);
  SkinManagerSetHotControl(ProviderManager(p), p.Form());
  if (p.BorderForm && !p.IsLoading() && !SkinExtBorderMargins(*p.BorderForm).IsEmpty())
    BorderFormUpdate(*p.BorderForm, false, 255);
}

void ProviderKeepPlaceOnce(TsSkinProvider& p, bool top, bool height) {
  if (!p.Form()) return;
  const TRect w = FormWindowRect(*p.Form());
  p.KeptTop = w.Top;
  p.KeptHeight = w.Height();
  if (top) p.StateFlags |= psKeepTop;
  if (height) p.StateFlags |= psKeepHeight;
}

void ProviderWmPosChanging(TsSkinProvider& p, gui::TMessage& m) {
  if (ProviderApplyKeptPlace(p, m)) return;
  ProviderSnapWindowPos(p, m);
  const bool covered = ProviderBeforePosChanging(p, m);
  const auto token = p.AliveToken();
  const bool topLevel = p.Form()->Parent() == nullptr;
  const TRect old = topLevel ? FormWindowRect(*p.Form()) : TRect{};
  const TRect proposed = topLevel ? ProposedPlace(m) : TRect{};
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  if (topLevel) KeepUnmovedEdges(m, old, proposed);
  ProviderAfterPosChanging(p, m, covered);
  // Minimized by the system itself (not through the form): the form is minimized for the component layer too,
  // so that its system menu and its next showing agree with its window.
  gui::TCustomForm& form = *p.Form();
  if (MovesToMinimizedPlace(m) && Iconic(p) && form.WindowState() != gui::TWindowState::wsMinimized &&
      p.DrawNonClientArea() && ProviderManager(p) && !form.IsDestroying())
    form.SetWindowState(gui::TWindowState::wsMinimized);
}

}  // namespace skin
