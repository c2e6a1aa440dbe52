// The native build: no copy window and no taskbar. The copy "window" records what it was last shown.
#include <map>

#include "gui/forms.h"
#include "skin/forms/form_window.h"
#include "skin/forms/min_animation.h"
#include "skin/manager/win_values.h"

namespace skin {

TRect TaskbarWindowRect() { return TRect{}; }
TRect TaskbarButtonRect(const TsSkinProvider&) { return TRect{}; }
uint8_t MinimizeMaxAlpha() { return 255; }

AnimCopyState& AnimCopyWindowState(void* wnd) { return *static_cast<AnimCopyState*>(wnd); }

void* CreateAnimCopyWindow(TsSkinProvider&) { return new AnimCopyState; }
void FreeAnimCopyWindow(void* wnd) { delete static_cast<AnimCopyState*>(wnd); }

void ShowAnimCopyWindow(void* wnd, const Bitmap& frame, const TPoint& topLeft, uint8_t alpha) {
  AnimCopyState& s = AnimCopyWindowState(wnd);
  s.visible = true;
  s.rect = TRect{topLeft.X, topLeft.Y, topLeft.X + frame.Width(), topLeft.Y + frame.Height()};
  s.alpha = alpha;
  ++s.shows;
}

void HideAnimCopyWindow(void* wnd) { AnimCopyWindowState(wnd).visible = false; }

// The headless window leaves its minimized state.
void ShowFormAfterRestore(TsSkinProvider& p, bool maximize) {
  gui::TCustomForm& form = *p.Form();
  uint32_t style = FormWindowStyle(form) & ~wv::kWsMinimize;
  if (maximize) style |= wv::kWsMaximize;
  SetFormWindowStyle(form, style);
}

}  // namespace skin
