// The border window lent to (or taken by) the manager's form animations.
#include <windows.h>

#include "skin/forms/border_form.h"
#include "skin/forms/provider_anim_hooks.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

TacAnimWindow ProviderBorderAnimationWindow(TsSkinProvider& p, bool hide) {
  if (!p.BorderForm) return {};
  TacBorderForm& bf = *p.BorderForm;
  BorderFormCreateWindow(bf);
  HWND h = static_cast<HWND>(bf.AForm);
  if (!h) return {};
  const TRect r = BorderFormScreenRect(bf);
  SetWindowPos(h, nullptr, r.Left, r.Top, r.Width(), r.Height(),
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOOWNERZORDER);
  if (!hide) return TacAnimWindow{h, nullptr};
  // Handed over: its messages no longer reach the border form, which makes a new window when the form shows again.
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  bf.AForm = nullptr;
  bf.Hidden = true;
  return TacAnimWindow{h, [h] {
                         if (IsWindow(h)) ledger::DestroyWindow(h);
                       }};
}

void ProviderDestroyBorderWindow(TsSkinProvider& p) {
  if (!p.BorderForm || !p.BorderForm->AForm) return;
  HWND h = static_cast<HWND>(p.BorderForm->AForm);
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  p.BorderForm->AForm = nullptr;
  if (IsWindow(h)) ledger::DestroyWindow(h);
}

}  // namespace skin
