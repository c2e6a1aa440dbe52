#include <windows.h>

#include "station/fenetre_station.h"

namespace station {

namespace {

bool Bouton_enfonce(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_XBUTTONDOWN || message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN ||
         message == WM_NCMBUTTONDOWN || message == WM_NCXBUTTONDOWN;
}

// A window that a modal dialog disables is told of a click by WM_SETCURSOR with the hit-test code HTERROR and
// the mouse message: its last active popup (the dialog, owned by the same window) comes forward.
LRESULT CALLBACK Crochet(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m->message == WM_SETCURSOR && static_cast<short>(LOWORD(m->lParam)) == HTERROR &&
        Bouton_enfonce(HIWORD(m->lParam))) {
      HWND proprietaire = GetAncestor(m->hwnd, GA_ROOTOWNER);
      HWND dialogue = proprietaire ? GetLastActivePopup(proprietaire) : nullptr;
      if (dialogue && dialogue != proprietaire && IsWindowVisible(dialogue) && IsWindowEnabled(dialogue)) {
        SetWindowPos(dialogue, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(dialogue);
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Dialogue_au_premier_plan::Dialogue_au_premier_plan()
    : crochet_(SetWindowsHookExA(WH_CALLWNDPROC, Crochet, nullptr, GetCurrentThreadId())) {}

Dialogue_au_premier_plan::~Dialogue_au_premier_plan() {
  if (crochet_) UnhookWindowsHookEx(static_cast<HHOOK>(crochet_));
}

}  // namespace station
