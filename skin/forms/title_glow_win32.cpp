// The glow's layered window and the cursor poll of a fade.
#include <windows.h>

#include "gui/forms.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/title_glow.h"
#include "skin/painters/layered_alpha.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {

constexpr char kClassName[] = "TacGlowWindow";

void EnsureClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  wc.style = 0;  // no CS_DROPSHADOW
  if (RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) registered = true;
}

HWND OwnerOf(const TacSBAnimation& anim) {
  if (anim.BorderForm && anim.BorderForm->AForm) return static_cast<HWND>(anim.BorderForm->AForm);
  return static_cast<HWND>(anim.OwnerWnd);
}

}  // namespace

void GlowShowWindow(TacSBAnimation& anim, const TRect& r, uint8_t alpha) {
  // The glow is a soft edge in per-pixel alpha: where the screen does not show that alpha it would be a black
  // square round the button, and the button's own hot image says enough.
  if (!anim.GlowImage || !LayeredAlphaShown()) return;
  HWND h = static_cast<HWND>(anim.GlowWindow);
  HWND owner = OwnerOf(anim);
  if (!h) {
    EnsureClass();
    DWORD ex = 0x080000A0;  // WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT
    if (anim.Provider && anim.Provider->Form() && anim.Provider->Form()->FormStyle() == gui::TFormStyle::fsStayOnTop)
      ex |= WS_EX_TOPMOST;
    h = ledger::CreateWindowEx(ex, kClassName, "", WS_POPUP, r.Left, r.Top, r.Width(), r.Height(), owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!h) return;
    anim.GlowWindow = h;
  }
  SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | 0x08080020);
  const bool topmost = owner && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(h, topmost ? HWND_TOPMOST : HWND_TOP, r.Left, r.Top, r.Width(), r.Height(), SWP_NOACTIVATE);
  const TPoint dst{r.Left, r.Top};
  UpdateLayeredFromBitmap(h, anim.GlowImage.get(), alpha, &dst);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  anim.ShownAlpha = alpha;
}

TPoint GlowOwnerOrigin(const TacSBAnimation& anim) {
  RECT r{};
  if (anim.OwnerWnd) GetWindowRect(static_cast<HWND>(anim.OwnerWnd), &r);
  return TPoint{r.left, r.top};
}

void GlowFreeWindow(TacSBAnimation& anim) {
  if (HWND h = static_cast<HWND>(anim.GlowWindow)) ledger::DestroyWindow(h);
  anim.GlowWindow = nullptr;
  anim.GlowImage.reset();
  anim.ShownAlpha = -1;
}

bool SBAnimationCursorLeft(TacSBAnimation& anim) {
  if (anim.Button == nullptr) return false;
  POINT c{};
  GetCursorPos(&c);
  RECT origin{};
  if (anim.BorderForm && anim.BorderForm->AForm)
    GetWindowRect(static_cast<HWND>(anim.BorderForm->AForm), &origin);
  else if (anim.OwnerWnd)
    GetWindowRect(static_cast<HWND>(anim.OwnerWnd), &origin);
  const TPoint p{c.x - origin.left, c.y - origin.top};
  if (anim.Button->Rect.Contains(p)) return false;
  anim.SetEnabled(false);
  if (anim.OwnerWnd) SendMessageA(static_cast<HWND>(anim.OwnerWnd), WM_MOUSELEAVE, 0, 0);
  return true;
}

}  // namespace skin
