// The snapshot cover of a form (Windows): a hidden-from-the-taskbar, non-activating, topmost layered window over
// the form's window rectangle that shows the picture the window shows now.
#include <windows.h>

#include <map>

#include "skin/engine/svclutils.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_hide.h"
#include "skin/paint/dc_copy.h"
#include "skin/paint/gdi_ledger.h"
#include "skin/paint/pixel_helpers.h"

namespace skin {

namespace {

struct Cover {
  HWND wnd = nullptr;
  std::unique_ptr<Bitmap> picture;
};

std::map<const TsSkinProvider*, Cover>& Covers() {
  static std::map<const TsSkinProvider*, Cover> covers;
  return covers;
}

const char* CoverClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TacFormCover";
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return "TacFormCover";
}

void Destroy(HWND h) {
  if (h && IsWindow(h)) ledger::DestroyWindow(h);
}

}  // namespace

bool ProviderShowSnapshotCover(TsSkinProvider& p) {
  if (Covers().count(&p)) return true;
  HWND h = p.Form() ? static_cast<HWND>(FormWindowHandle(*p.Form())) : nullptr;
  RECT r{};
  if (!h || !GetWindowRect(h, &r) || r.right <= r.left || r.bottom <= r.top) return false;
  auto picture = std::make_unique<Bitmap>(r.right - r.left, r.bottom - r.top, pf32bit);
  if (HDC dc = ledger::GetWindowDC(h)) {
    DCToBitmap(*picture, 0, 0, picture->Width(), picture->Height(), dc, 0, 0);
    ledger::ReleaseDC(h, dc);
  }
  GdiFlush();
  SetAlphaRect(*picture, TRect{0, 0, picture->Width(), picture->Height()}, 255, clNone);
  HWND cover = ledger::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOPMOST, CoverClass(),
                                      "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  if (!cover) return false;
  // The window's region (the skin's cut corners) is the cover's too.
  HRGN region = ledger::CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(h, region) == ERROR || !ledger::SetWindowRgn(cover, region, FALSE)) ledger::DeleteObject(region);
  const TPoint at{r.left, r.top};
  UpdateLayeredFromBitmap(cover, picture.get(), 255, &at);
  SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Covers()[&p] = Cover{cover, std::move(picture)};
  return true;
}

bool ProviderHasSnapshotCover(const TsSkinProvider& p) { return Covers().count(&p) != 0; }

void* ProviderSnapshotCoverWindow(const TsSkinProvider& p) {
  auto it = Covers().find(&p);
  return it == Covers().end() ? nullptr : it->second.wnd;
}

TacAnimWindow ProviderTakeSnapshotCover(TsSkinProvider& p, std::unique_ptr<Bitmap>* picture) {
  auto it = Covers().find(&p);
  if (it == Covers().end()) return {};
  HWND h = it->second.wnd;
  if (picture) *picture = std::move(it->second.picture);
  Covers().erase(it);
  return TacAnimWindow{h, [h] { Destroy(h); }};
}

void ProviderFreeSnapshotCover(TsSkinProvider& p) {
  auto it = Covers().find(&p);
  if (it == Covers().end()) return;
  Destroy(it->second.wnd);
  Covers().erase(it);
}

}  // namespace skin
