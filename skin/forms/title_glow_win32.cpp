// The glow's layered window and the cursor poll of a fade.
#include <windows.h>

#include <vector>

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

// Glow windows let go but not yet destroyed. Under X a press on a glow window gives that window the pointer's grab
// (the press itself goes on to the frame below, the glow being transparent to the mouse), and the release that
// follows is read from that window: when the press restarts the glow and its window is destroyed at once, a release
// already on its way finds no window and is lost, and the button pressed never sees it (a close box that does not
// close). A glow window is hidden at once and destroyed a little later, once no mouse button is down.
struct ParkedGlow {
  HWND window;
  DWORD since;
};
std::vector<ParkedGlow>& ParkedGlows() {
  static std::vector<ParkedGlow> parked;
  return parked;
}
UINT_PTR g_parkedTimer = 0;
constexpr DWORD kParkedMs = 100;

bool MouseButtonDown() {
  for (int key : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
    if (GetAsyncKeyState(key) & 0x8000) return true;
  return false;
}

void CALLBACK DestroyParkedGlows(HWND, UINT, UINT_PTR, DWORD) {
  auto& parked = ParkedGlows();
  const bool down = MouseButtonDown();
  const DWORD now = GetTickCount();
  for (size_t i = 0; i < parked.size();) {
    if (!down && now - parked[i].since >= kParkedMs) {
      if (IsWindow(parked[i].window)) ledger::DestroyWindow(parked[i].window);
      parked[i] = parked.back();
      parked.pop_back();
    } else {
      ++i;
    }
  }
  if (parked.empty() && g_parkedTimer) {
    KillTimer(nullptr, g_parkedTimer);
    g_parkedTimer = 0;
  }
}

void ParkGlowWindow(HWND h) {
  ShowWindow(h, SW_HIDE);
  // Its own from now on: an owner that goes first does not take it along.
  SetWindowLongPtrA(h, GWLP_HWNDPARENT, 0);
  if (!g_parkedTimer) g_parkedTimer = SetTimer(nullptr, 0, kParkedMs, DestroyParkedGlows);
  if (g_parkedTimer)
    ParkedGlows().push_back(ParkedGlow{h, GetTickCount()});
  else
    ledger::DestroyWindow(h);
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
  if (HWND h = static_cast<HWND>(anim.GlowWindow); h && IsWindow(h)) ParkGlowWindow(h);
  anim.GlowWindow = nullptr;
  anim.GlowImage.reset();
  anim.ShownAlpha = -1;
}

bool SBAnimationCursorLeft(TacSBAnimation& anim) {
  if (anim.Button == nullptr) return false;
  POINT c{};
  GetCursorPos(&c);
  RECT origin{};
  if (anim.BorderForm && anim.BorderForm->AForm) {
    GetWindowRect(static_cast<HWND>(anim.BorderForm->AForm), &origin);
    origin.left -= anim.BorderForm->Laid.X;  // the frame picture's top-left
    origin.top -= anim.BorderForm->Laid.Y;
  }
  else if (anim.OwnerWnd)
    GetWindowRect(static_cast<HWND>(anim.OwnerWnd), &origin);
  const TPoint p{c.x - origin.left, c.y - origin.top};
  if (anim.Button->Rect.Contains(p)) return false;
  anim.SetEnabled(false);
  if (anim.OwnerWnd) SendMessageA(static_cast<HWND>(anim.OwnerWnd), WM_MOUSELEAVE, 0, 0);
  return true;
}

}  // namespace skin
