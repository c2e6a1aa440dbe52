// The native build: no device contexts and no system records reach these handlers, which then leave the
// message to the form's own handling (printing composes the frame, which is what a print would copy).
#include "gui/forms.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_handlers.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/system_menu.h"

namespace skin {

void ProviderGetMinMaxInfo(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }

void ProviderInitMenuPopup(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }

void ProviderPopupSysMenu(TsSkinProvider& p, int32_t x, int32_t y) {
  if (!p.SystemMenu) ProviderPrepareForm(p);
  if (!p.SystemMenu) return;
  SysMenuUpdateItems(*p.SystemMenu);
  if (p.MakeSkinMenu) SysMenuAddMainMenuItems(*p.SystemMenu, p.Form()->Menu());
  p.SystemMenu->Popup(x, y);
}

void ProviderNotifySkinEditor(void*) {}

// No data block travels between headless windows.
void ProviderWmCopyData(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }

// No window position record reaches a headless form: its moves are its SetBounds.
void ProviderSnapWindowPos(TsSkinProvider&, gui::TMessage&) {}

bool ProviderWaitForIconDoubleClick(TsSkinProvider&, uint32_t) { return true; }
void ProviderRepaintAdaptedDialogs() {}

bool ProviderApplyKeptPlace(TsSkinProvider&, gui::TMessage&) { return false; }
bool MovesToMinimizedPlace(const gui::TMessage&) { return false; }
TRect ProposedPlace(const gui::TMessage&) { return TRect{}; }
void KeepUnmovedEdges(gui::TMessage&, const TRect&, const TRect&) {}

void ProviderWmPaint(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }

void ProviderWmEraseBkgnd(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }

void ProviderWmPrint(TsSkinProvider& p, gui::TMessage& m) {
  if (p.IsLoading() || p.Form()->IsDestroying()) return;
  ProviderPaintFrame(p);
  m.Result = 0;
}

}  // namespace skin
