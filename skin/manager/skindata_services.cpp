#include "skin/manager/skindata_services.h"

#include "skin/manager/commondata.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/painter_services.h"

namespace skin {

namespace {

intptr_t SendToWindow(void* window, uint16_t code, intptr_t lParam) {
  return SendLibraryCommand(static_cast<HWND>(window), code, lParam);
}

intptr_t SendToControl(gui::TControl& control, uint16_t code, intptr_t lParam) {
  return SendLibraryCommandToControl(&control, code, lParam);
}

TColor BgColor(TsCommonData& data, int32_t state) { return CommonDataGetBgColor(data, state); }

int32_t ParentSectionIndex(TsCommonData& data, int32_t state, int32_t sectionIndex, TsSkinManager& manager) {
  return ParentSkinSectionIndex(data.OwnerControl, state, &manager, sectionIndex);
}

}  // namespace

void InstallSkinDataServices() {
  static bool done = false;
  if (done) return;
  done = true;
  PainterServices& p = Services();
  p.SendToWindow = SendToWindow;
  p.SendToControl = SendToControl;
  p.BgColor = BgColor;
  p.ParentSectionIndex = ParentSectionIndex;

  TacManagerServices& s = ManagerServices();
  s.AnimSkinChange = [](TacFormProvider& Provider, uint16_t Time, uint8_t Alpha, bool Aero) {
    AnimSkinChange(Provider, Time, Alpha, Aero);
  };
  s.AnimHideForm = [](TacFormProvider& Provider) { AnimHideForm(Provider); };
  s.SetWindowAlpha = [](HWND Window, uint8_t Alpha) { SetWindowAlpha(Window, true, Alpha); };
  InstallMenuServices();
}

}  // namespace skin
