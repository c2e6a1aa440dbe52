// The snapshot cover of a form (Windows): a hidden-from-the-taskbar, non-activating, topmost layered window over
// the form's window rectangle that shows the picture the window shows now.
#include <windows.h>

#include <map>

#include "skin/manager/sanimations.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_hide.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"

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

// A topmost, non-activating layered window showing the picture at the rectangle, entered for the provider.
HWND MakeCover(TsSkinProvider& p, const Bitmap& picture, const TRect& r) {
  HWND cover = ledger::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOPMOST, CoverClass(),
                                      "", WS_POPUP, r.Left, r.Top, r.Width(), r.Height(), nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  if (!cover) return nullptr;
  // Shown first, then given its picture: a layered window shows nothing before it has one, and under Wine a
  // picture given to a window not yet shown reaches the screen only some milliseconds after the window does (a
  // compositing manager shows the window empty meanwhile, and the form hiding beneath shows through it).
  SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  LayeredOutput().Push(cover, picture, 255);
  Covers()[&p].wnd = cover;
  return cover;
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
  HWND cover = MakeCover(p, *picture, TRect{r.left, r.top, r.right, r.bottom});
  if (!cover) return false;
  // The window's region (the skin's cut corners) is the cover's too.
  HRGN region = ledger::CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(h, region) == ERROR || !ledger::SetWindowRgn(cover, region, TRUE)) ledger::DeleteObject(region);
  Covers()[&p].picture = std::move(picture);
  return true;
}

bool ProviderShowSnapshotCoverAt(TsSkinProvider& p, const Bitmap& picture, const TRect& screen) {
  if (Covers().count(&p)) return true;
  if (picture.Empty() || screen.Width() <= 0 || screen.Height() <= 0) return false;
  HWND cover = MakeCover(p, picture, screen);
  if (!cover) return false;
  auto copy = std::make_unique<Bitmap>(picture.Width(), picture.Height(), pf32bit);
  copy->Assign(picture);
  Covers()[&p].picture = std::move(copy);
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

// ---- The caption cover.

namespace {

// A form's caption cover: made once and kept, shown with the form's frame as its region, and put away between two
// uses: hidden, so that it is no window on the screen nor in a window manager's lists while it covers nothing. It
// is never destroyed in between: under X a press that fell on it while it lay over the caption is read afterwards
// (the thread was busy with the caption) from the window it fell on, and the pointer's grab that the press gave
// that window carries the drag that follows; a cover destroyed in between lost the press, and a drag of the caption
// that began on it. So the cover is put away by an empty region at once (still there to hold the grab), and hidden a
// moment later, once the input that came meanwhile has been read and no mouse button is down.
struct CaptionCover {
  HWND wnd = nullptr;
  bool covering = false;
  DWORD putAway = 0;  // when its region was emptied
};

std::map<const TsSkinProvider*, CaptionCover>& CaptionCovers() {
  static std::map<const TsSkinProvider*, CaptionCover> covers;
  return covers;
}

UINT_PTR g_coverHideTimer = 0;

constexpr DWORD kCoverHideMs = 100;

bool MouseButtonDown() {
  for (int key : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
    if (GetAsyncKeyState(key) & 0x8000) return true;
  return false;
}

void HideCover(HWND cover) {
  SetWindowPos(cover, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// The covers put away are hidden once the buttons are up (a timer runs after the input that came before it is read).
void CALLBACK HideIdleCovers(HWND, UINT, UINT_PTR, DWORD) {
  if (MouseButtonDown()) return;
  bool waiting = false;
  for (auto& [provider, c] : CaptionCovers()) {
    if (c.covering || !c.wnd || !IsWindow(c.wnd) || !IsWindowVisible(c.wnd)) continue;
    if (GetTickCount() - c.putAway >= kCoverHideMs)
      HideCover(c.wnd);
    else
      waiting = true;
  }
  if (waiting) return;
  KillTimer(nullptr, g_coverHideTimer);
  g_coverHideTimer = 0;
}

// Paints what the frame cache holds at its place over the form's window.
LRESULT CALLBACK CaptionCoverProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(h, &ps);
      auto* p = reinterpret_cast<TsSkinProvider*>(GetWindowLongPtrA(h, GWLP_USERDATA));
      if (p && dc && p->SkinData().CacheBmp) {
        RECT r{};
        GetClientRect(h, &r);
        BitmapToDC(dc, 0, 0, r.right, r.bottom, *p->SkinData().CacheBmp, 0, 0);
      }
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcA(h, msg, w, l);
  }
}

const char* CaptionCoverClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CaptionCoverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TacCaptionCover";
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return "TacCaptionCover";
}

// The form's cover, made when it has none: owned by the form, which it lies right above. The mouse it takes goes
// on to the form (it answers the hit test with HTTRANSPARENT), and what the pointer's grab gives it afterwards to
// the window that holds the capture: the form, once its caption's move runs.
HWND CaptionCoverFor(TsSkinProvider& p, HWND form) {
  CaptionCover& c = CaptionCovers()[&p];
  if (c.wnd && IsWindow(c.wnd) && GetWindow(c.wnd, GW_OWNER) == form) return c.wnd;
  if (c.wnd && IsWindow(c.wnd)) ledger::DestroyWindow(c.wnd);
  c.wnd = ledger::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, CaptionCoverClass(), "", WS_POPUP, 0, 0, 0, 0,
                                 form, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (c.wnd)
    SetWindowLongPtrA(c.wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
  else
    CaptionCovers().erase(&p);
  return c.wnd;
}

}  // namespace

bool ProviderShowCaptionCover(TsSkinProvider& p) {
  if (auto it = CaptionCovers().find(&p); it != CaptionCovers().end() && it->second.covering) return true;
  HWND h = p.Form() ? static_cast<HWND>(FormWindowHandle(*p.Form())) : nullptr;
  if (!h || !IsWindowVisible(h) || p.BorderForm || p.RedrawLockCount > 0 || (p.SkinData().CtrlState & csPrinting) ||
      !p.SkinData().CacheBmp || p.SkinData().CacheBmp->Empty() || p.Form()->Parent() != nullptr)
    return false;
  RECT wr{};
  GetWindowRect(h, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  if (width <= 0 || height <= 0) return false;
  HWND cover = CaptionCoverFor(p, h);
  if (!cover) return false;
  // The frame only: the form's window less its client area (and less the skin's cut corners).
  POINT o{0, 0};
  ClientToScreen(h, &o);
  RECT cr{};
  GetClientRect(h, &cr);
  HRGN region = ledger::CreateRectRgn(0, 0, width, height);
  HRGN shape = ledger::CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(h, shape) != ERROR) CombineRgn(region, region, shape, RGN_AND);
  ledger::DeleteObject(shape);
  HRGN client = ledger::CreateRectRgn(o.x - wr.left, o.y - wr.top, o.x - wr.left + cr.right, o.y - wr.top + cr.bottom);
  CombineRgn(region, region, client, RGN_DIFF);
  ledger::DeleteObject(client);
  SetWindowPos(cover, nullptr, wr.left, wr.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  if (!ledger::SetWindowRgn(cover, region, FALSE)) ledger::DeleteObject(region);
  // Right above the form (or over everything with a topmost form), shown without being activated.
  const bool topmost = (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (!topmost && (GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST))
    SetWindowPos(cover, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  HWND above = GetWindow(h, GW_HWNDPREV);
  if (above == cover) above = GetWindow(cover, GW_HWNDPREV);
  SetWindowPos(cover, topmost ? HWND_TOPMOST : (above ? above : HWND_TOP), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  RedrawWindow(cover, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  CaptionCovers()[&p].covering = true;
  return true;
}

void ProviderHideCaptionCover(TsSkinProvider& p) {
  auto it = CaptionCovers().find(&p);
  if (it == CaptionCovers().end() || !it->second.covering) return;
  it->second.covering = false;
  HWND cover = it->second.wnd;
  if (!cover || !IsWindow(cover)) return;
  if (HRGN none = ledger::CreateRectRgn(0, 0, 0, 0); !ledger::SetWindowRgn(cover, none, FALSE)) ledger::DeleteObject(none);
  it->second.putAway = GetTickCount();
  if (!g_coverHideTimer) g_coverHideTimer = SetTimer(nullptr, 0, kCoverHideMs, HideIdleCovers);
  if (!g_coverHideTimer) HideCover(cover);
}

void ProviderFreeCaptionCover(TsSkinProvider& p) {
  auto it = CaptionCovers().find(&p);
  if (it == CaptionCovers().end()) return;
  HWND cover = it->second.wnd;
  CaptionCovers().erase(it);
  if (cover && IsWindow(cover)) {
    SetWindowLongPtrA(cover, GWLP_USERDATA, 0);
    ledger::DestroyWindow(cover);
  }
}

void* ProviderCaptionCoverWindow(const TsSkinProvider& p) {
  auto it = CaptionCovers().find(&p);
  return it == CaptionCovers().end() || !it->second.covering ? nullptr : it->second.wnd;
}

}  // namespace skin
