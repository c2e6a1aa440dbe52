#include "skin/painters/parent_background.h"

#include "gui/controls.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/painter_services.h"

namespace skin {

// The parent paints itself into info.DC, the asker's area at the DC's origin (parent_background_win32.cpp; the
// native build has no device contexts and does nothing). deliver sends one message (with the DC) to the parent.
using DeliverMessage = void (*)(void* parent, uint32_t msg, uintptr_t wParam);
void PaintersParentIntoDC(BackgroundInfo& info, DeliverMessage deliver, void* parent);
// SendMessageA to a window (nothing natively).
void PaintersDeliverToWindow(void* parent, uint32_t msg, uintptr_t wParam);

namespace {

void DeliverToControl(void* parent, uint32_t msg, uintptr_t wParam) {
  static_cast<gui::TControl*>(parent)->Perform(msg, WPARAM(wParam), 0);
}

void Prepare(BackgroundInfo& info, bool pleaseDraw) {
  info.BgType = btUnknown;
  info.PleaseDraw = pleaseDraw ? 1 : 0;
  info.FillR = TRect{};
}

}  // namespace

bool QueryParentBackground(BackgroundInfo& info, void* parent, bool pleaseDraw) {
  Prepare(info, pleaseDraw);
  Services().SendToWindow(parent, library_command::GetBackground, reinterpret_cast<intptr_t>(&info));
  if (info.BgType != btUnknown) return true;
  if (pleaseDraw) {
    PaintersParentIntoDC(info, PaintersDeliverToWindow, parent);
    return false;
  }
  const TsSkinManager* m = DefaultManager();
  info.Color = m ? SkinManagerGlobalColor(*m) : clBtnFace;
  info.BgType = btFill;
  return false;
}

bool QueryControlBackground(BackgroundInfo& info, gui::TControl* parent, bool pleaseDraw) {
  info.Bmp = nullptr;
  Prepare(info, pleaseDraw);
  if (parent == nullptr) {
    info.Color = clBtnFace;
    info.BgType = btFill;
    return true;
  }
  Services().SendToControl(*parent, library_command::GetBackground, reinterpret_cast<intptr_t>(&info));
  if (info.BgType != btUnknown) return true;
  if (pleaseDraw) {
    PaintersParentIntoDC(info, DeliverToControl, parent);
    return true;
  }
  info.BgType = btFill;
  const TsSkinManager* m = DefaultManager();
  if ((parent->ComponentState() & gui::csDesigning) && m != nullptr && m->SkinData().Active) {
    info.Color = SkinManagerGlobalColor(*m);
    return true;
  }
  const intptr_t answer = parent->Perform(library_command::Message, MAKEWPARAM(0, library_command::GetColor), 0);
  info.Color = answer != 0 ? TColor(answer) : ColorToRGB(parent->Color());
  return true;
}

}  // namespace skin
