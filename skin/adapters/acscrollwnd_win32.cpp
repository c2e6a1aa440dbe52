// The scrollable adapter family: TacScrollWnd and TacBaseWnd.
#include "skin/adapters/acscrollwnd.h"

#include <string>

#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/engine/skincommands.h"
#include "skin/engine/sskinmanager_component.h"
#include "skin/engine/svclutils.h"
#include "skin/adapters/pending_skindata.h"
#include "skin/paint/painter_services.h"

namespace skin {

namespace {

// WM_KEYDOWN as another class library reflects it to the control (0x2000 + message).
constexpr UINT kReflectedKeyDown = 0x2100;

}  // namespace

// ---- TacScrollWnd.

TacScrollWnd::~TacScrollWnd() = default;

void TacScrollWnd::InitCommonData() {
  FrameCalculated = 0;
  if (SkinData != nullptr) return;
  SkinData = new TsScrollWndData();
  OwnsSkinData = 1;
  SkinData->RepaintBlocked = 1;
}

void TacScrollWnd::Attach(bool Repaint) {
  if (!AttachScrollWindow(this, Handle, Repaint)) Destroyed = 1;
}

void TacScrollWnd::DetachedFromWindow() {
  ScrollEngineForget(Handle);
  TrackingThumb = 0;
  if (HorzBar) HorzBar->Owner = nullptr;
  if (VertBar) VertBar->Owner = nullptr;
  HorzBar.reset();
  VertBar.reset();
  // The system's bars and client area come back (unless the window is on its way out).
  if (!windowGoing_ && Handle != nullptr && IsWindow(Handle)) RedrawWindowFrame(Handle, true);
}

bool TacScrollWnd::IsSkinned() const { return SkinData != nullptr && pending::IsSkinned(*SkinData); }

void TacScrollWnd::WndProc(gui::TMessage& m) { ScrollWndProc(m); }

void TacScrollWnd::ScrollWndProc(gui::TMessage& m) {
  if (!Destroyed && HandleDestroyMessage(m)) return;
  switch (m.Msg) {
    case WM_CONTEXTMENU:
      break;
    case WM_UPDATEUISTATE:
      m.Result = 0;
      return;
    case gui::CM_RECREATEWND:
      if (auto* combo = dynamic_cast<gui::TCustomComboBox*>(SkinData != nullptr ? SkinData->OwnerControl : nullptr);
          combo != nullptr && combo->Name().empty() && !IsWindowVisible(Handle))
        return;
      break;
    default:
      break;
  }
  if (Destroyed || !HorzBar || !VertBar) return;
  if (!IsSkinned()) {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_SKINLOADED && SkinData != nullptr &&
        m.LParam == reinterpret_cast<LPARAM>(SkinManager))
      pending::UpdateIndexes(*SkinData);
    CallOriginal(m);
    return;
  }
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      m.Result = ScrollNcCalcSize(this, Handle, m.WParam, m.LParam);
      FrameCalculated = 1;
      return;
    case WM_NCPAINT:
      if (!FrameCalculated) RedrawWindowFrame(Handle, true);
      if (IsWindowVisible(Handle) && !Updating && !ScrollBusy() && HorzBar)
        PaintNonClientScrollBars(this, Handle, -1, nullptr);
      m.Result = 0;
      return;
    case WM_NCHITTEST:
      m.Result = ScrollNcHitTest(this, Handle, m.WParam, m.LParam);
      return;
    case WM_STYLECHANGED:
      if (Updating) {
        m.Result = 0;
        return;
      }
      m.Result = ScrollStyleChanged(this, Handle, m.WParam, m.LParam);
      return;
    case WM_NCMOUSEMOVE:
      m.Result = ScrollNcMouseMove(this, Handle, m.WParam, m.LParam);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      m.Result = ScrollNcLButtonDown(this, Handle, m.Msg, m.WParam, m.LParam);
      return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSCOMMAND:
      if (LOWORD(m.WParam) == 0xF077) return;
      break;
    case WM_TIMER:
      m.Result = ScrollTimer(this, Handle, m.WParam, m.LParam);
      return;
    case WM_MOUSEMOVE:
      m.Result = ScrollMouseMove(this, Handle, m.WParam, m.LParam);
      return;
    case WM_LBUTTONUP:
      m.Result = ScrollMouseUp(this, Handle, m.WParam, m.LParam);
      return;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      m.Result = ScrollCaptureLost(this, Handle, m.Msg, m.WParam, m.LParam);
      return;
    case WM_SKINCOMMAND:
      if (ScrollCommand(m)) return;
      break;
    default:
      break;
  }
  CallOriginal(m);
  if (Destroyed || !HorzBar) return;
  if (((m.Msg == WM_MOUSEWHEEL || m.Msg == gui::CM_MOUSEWHEEL) && !ScrollBusy()) || m.Msg == gui::CM_FOCUSCHANGED)
    RefreshScrollBars(this, true);
}

bool TacScrollWnd::ScrollCommand(gui::TMessage& m) {
  if (!AcceptSkinCommand(m)) return false;
  const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
  switch (SkinCommandCode(m.WParam)) {
    case AC_SKINLOADED:
      if (own) {
        pending::UpdateIndexes(*SkinData);
        BroadcastToControlChildren(SkinData->OwnerControl, m);
      }
      return false;
    case AC_SKINREMOVED:
      if (own && !Destroyed) RestoreColors();
      return false;
    case AC_SKINREFRESH:
      if (own) {
        pending::UpdateIndexes(*SkinData);
        SkinData->BGChanged = true;
      }
      return false;
    case AC_ISSKINNED:
      m.Result = 1;
      return true;
    case AC_SETREPAINTPENDING:
      SkinData->Updating = SkinCommandArgument(m.WParam) == 1 ? 1 : 0;
      return false;
    case AC_GETADAPTER:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TacMainWnd*>(this));
      return true;
    case AC_ISCACHEUSABLE:
      m.Result = 1;
      return true;
    case AC_GETSKINDATA:
      m.Result = reinterpret_cast<LRESULT>(SkinData);
      return true;
    case AC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(gui::Application);
      return true;
    default:
      return false;
  }
}

// ---- TacBaseWnd.

void TacBaseWnd::WndProc(gui::TMessage& m) { BaseWndProc(m); }

void TacBaseWnd::BaseWndProc(gui::TMessage& m) {
  if (Destroyed || !IsSkinned()) {
    ScrollWndProc(m);
    return;
  }
  switch (m.Msg) {
    case kReflectedKeyDown:
      return;
    case WM_SKINCOMMAND:
      if (SkinCommandCode(m.WParam) == AC_SKINREFRESH && m.LParam == reinterpret_cast<LPARAM>(SkinManager) &&
          AcceptSkinCommand(m)) {
        ScrollWndProc(m);
        if (!Destroyed && IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 0, 0);
        return;
      }
      break;
    case WM_EXITSIZEMOVE:
    case WM_SIZE:
      SkinData->BGChanged = true;
      break;
    case WM_SETCURSOR:
      CallOriginal(m);
      return;
    default:
      break;
  }
  ScrollWndProc(m);
  if (Destroyed || !HorzBar) return;
  switch (m.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!ScrollBusy()) RefreshScrollBars(this, true);
      break;
    case WM_ENABLE:
    case gui::CM_ENABLEDCHANGED:
      if (IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace skin
