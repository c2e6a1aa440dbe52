// Natively no window shows a glow: its alpha is remembered, and the cursor comes from the headless screen.
#include "gui/forms.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/title_glow.h"

namespace skin {

void GlowShowWindow(TacSBAnimation& anim, const TRect&, uint8_t alpha) { anim.ShownAlpha = alpha; }

TPoint GlowOwnerOrigin(const TacSBAnimation&) { return TPoint{}; }

void GlowFreeWindow(TacSBAnimation& anim) {
  anim.GlowImage.reset();
  anim.ShownAlpha = -1;
}

bool SBAnimationCursorLeft(TacSBAnimation& anim) {
  if (anim.Button == nullptr || anim.Provider == nullptr || anim.Provider->Form() == nullptr) return false;
  const TPoint c = CursorScreenPos();
  TRect origin = FormWindowRect(*anim.Provider->Form());
  if (anim.BorderForm) origin = BorderFormScreenRect(*anim.BorderForm);
  if (anim.Button->Rect.Contains(TPoint{c.X - origin.Left, c.Y - origin.Top})) return false;
  anim.SetEnabled(false);
  anim.Provider->Form()->Perform(0x2A3, 0, 0);
  return true;
}

}  // namespace skin
