// The extended border window itself: a borderless, layered, non-activating tool window owned by the skinned
// form, carrying the frame cache as its per-pixel-alpha image, with a region that leaves the form's client part
// (and, for a moment, a clicked shadow pixel) to the windows beneath.
#include <windows.h>

#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/skinchange.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/title_glow.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

namespace {

constexpr char kClassName[] = "TacBorderForm";
constexpr int32_t kExStyle = 0x08080080;  // WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW

TacBorderForm* FromWindow(HWND h) { return reinterpret_cast<TacBorderForm*>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

HWND FormHandle(const TacBorderForm& bf) { return static_cast<HWND>(bf.Owner->SkinnedWindow()); }

// A screen point in the frame picture's coordinates.
TPoint InWindow(const TacBorderForm& bf, int x, int y) {
  RECT r{};
  GetWindowRect(static_cast<HWND>(bf.AForm), &r);
  return TPoint{x - r.left + bf.Laid.X, y - r.top + bf.Laid.Y};
}

// The cursor in the frame picture's coordinates.
TPoint CursorInWindow(const TacBorderForm& bf) {
  POINT c{};
  GetCursorPos(&c);
  return InWindow(bf, c.x, c.y);
}

// Where a mouse message of the frame was made (its screen point): on a busy machine it is handled when the
// pointer may have gone elsewhere.
TPoint MessageInWindow(const TacBorderForm& bf, LPARAM l) {
  return InWindow(bf, int16_t(LOWORD(l)), int16_t(HIWORD(l)));
}

// The image pushed to the layered window: the frame cache (its top rows only when asked) with its colours
// multiplied by their alpha (opaque pixels unchanged).
Bitmap PremultipliedCopy(const Bitmap& cache, int32_t rows = -1) {
  Bitmap out(cache.Width(), rows < 0 ? cache.Height() : std::min(rows, cache.Height()), pf32bit);
  for (int32_t y = 0; y < out.Height(); ++y) {
    const uint32_t* s = reinterpret_cast<const uint32_t*>(cache.ScanLine(y));
    uint32_t* d = reinterpret_cast<uint32_t*>(out.ScanLine(y));
    for (int32_t x = 0; x < cache.Width(); ++x) {
      const uint32_t v = s[x], a = PixelA(v);
      if (a == 255) {
        d[x] = v;
      } else {
        d[x] = MakePixel((PixelB(v) * a + 127) / 255, (PixelG(v) * a + 127) / 255, (PixelR(v) * a + 127) / 255, a);
      }
    }
  }
  return out;
}

bool Terminating() { return gui::Application->Terminated(); }

bool UnderWine() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

LRESULT CALLBACK BorderWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);

void EnsureClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = BorderWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kClassName;
  // No CS_DROPSHADOW: the skin draws the shadow.
  wc.style = 0;
  if (RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) registered = true;
}

bool SetCursorFor(TacBorderForm& bf) {
  const TPoint p = CursorInWindow(bf);
  if (BorderFormOverShadow(bf, p)) return true;
  LPCSTR cursor = nullptr;
  switch (BorderFormHitTestAt(bf, p)) {
    case 2:
    case 5: cursor = IDC_ARROW; break;
    case 10:
    case 11: cursor = IDC_SIZEWE; break;
    case 12:
    case 15: cursor = IDC_SIZENS; break;
    case 13:
    case 17: cursor = IDC_SIZENWSE; break;
    case 14:
    case 16: cursor = IDC_SIZENESW; break;
    default: return false;
  }
  SetCursor(LoadCursorA(nullptr, cursor));
  return true;
}

// Removes the pass-through hole (the full region back).
void RestoreRegion(TacBorderForm& bf) {
  if (!bf.RgnChanged || !bf.AForm) return;
  bf.RgnChanged = false;
  BorderFormSetRegion(bf);
}

void SendToForm(TacBorderForm& bf, UINT msg, WPARAM w, LPARAM l) {
  if (HWND form = FormHandle(bf)) SendMessageA(form, msg, w, l);
}

// While the window is dragged on its own, it follows the cursor.
bool FollowCursorWhileMoving(TacBorderForm& bf, HWND h) {
  if (!bf.Moving) return false;
  POINT c{};
  GetCursorPos(&c);
  RECT r{};
  GetWindowRect(h, &r);
  SetWindowPos(h, nullptr, r.left + c.x - bf.LastPos.X, r.top + c.y - bf.LastPos.Y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  bf.LastPos = TPoint{c.x, c.y};
  return true;
}

// A mouse message over the shadow cuts a one-pixel hole under the cursor, so that the next click falls through
// to the window below; every other message goes to the default procedure.
LRESULT MouseOverShadow(TacBorderForm& bf, HWND h, UINT msg, WPARAM w, LPARAM l, TsSkinManager* manager) {
  if (msg >= WM_MOUSEFIRST && msg <= 0x209) {
    const TPoint pt = CursorInWindow(bf);
    if (BorderFormOverShadow(bf, pt)) {
      SkinManagerSetTrackedControl(manager, nullptr);
      if (!bf.RgnChanged) {
        HRGN region = ledger::CreateRectRgn(0, 0, 0, 0);
        if (region && GetWindowRgn(h, region) != ERROR) {
          const int32_t x = pt.X - bf.Laid.X, y = pt.Y - bf.Laid.Y;
          HRGN hole = ledger::CreateRectRgn(x, y, x + 1, y + 1);
          CombineRgn(region, region, hole, RGN_XOR);
          ledger::DeleteObject(hole);
          bf.RgnPunching = true;
          if (ledger::SetWindowRgn(h, region, FALSE)) region = nullptr;
          bf.RgnPunching = false;
          bf.RgnChanged = true;
        }
        if (region) ledger::DeleteObject(region);
      }
      return 0;
    }
  }
  return DefWindowProcA(h, msg, w, l);
}

LRESULT HandleMessage(TacBorderForm& bf, HWND h, UINT msg, WPARAM w, LPARAM l) {
  TsSkinProvider& p = *bf.Provider;
  switch (msg) {
    case WM_NCHITTEST: {
      const TPoint pt = MessageInWindow(bf, l);
      RestoreRegion(bf);
      if (BorderFormOverShadow(bf, pt)) {
        ProviderSetHotElement(p, -1, true);
        return DefWindowProcA(h, msg, w, l);
      }
      DefWindowProcA(h, msg, w, l);
      return 19;
    }
    case WM_NCMOUSEMOVE: {
      const TPoint pt = CursorInWindow(bf);
      if (FollowCursorWhileMoving(bf, h)) return 0;
      const int32_t code = BorderFormHitTestAt(bf, pt);
      const bool button = code == 8 || code == 9 || code == 20 || code == 21 || (code >= 1000 && code <= 2100);
      ProviderSetHotElement(p, button ? code : 0, true);
      if (bf.PullFromMaximized && p.Form() && IsZoomed(FormHandle(bf))) {
        POINT c{};
        GetCursorPos(&c);
        if (std::abs(c.x - bf.LastPos.X) > 5 || std::abs(c.y - bf.LastPos.Y) > 5) {
          bf.PullFromMaximized = false;
          HWND form = FormHandle(bf);
          ShowWindow(form, SW_RESTORE);
          RECT r{};
          GetWindowRect(form, &r);
          const int top = (c.y >= 0 && c.y <= 24) ? -8 : c.y - 8;
          SetWindowPos(form, nullptr, c.x - (r.right - r.left) / 2, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
          SendMessageA(form, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(c.x, c.y));
        }
      }
      return 0;
    }
    case WM_NCLBUTTONDOWN: {
      const TPoint pt = MessageInWindow(bf, l);
      if (BorderFormOverShadow(bf, pt)) return 0;
      const int32_t code = BorderFormHitTestAt(bf, pt);
      if (code == HTCAPTION && FormHandle(bf) && IsZoomed(FormHandle(bf))) {
        POINT c{};
        GetCursorPos(&c);
        bf.PullFromMaximized = true;
        bf.LastPos = TPoint{c.x, c.y};
        return 0;
      }
      SendToForm(bf, msg, code == HTSYSMENU ? WPARAM(HTSYSMENU) : WPARAM(-1), l);
      return 0;
    }
    case WM_NCLBUTTONUP:
      if (BorderFormOverShadow(bf, MessageInWindow(bf, l))) return 0;
      bf.PullFromMaximized = false;
      SendToForm(bf, msg, WPARAM(-1), l);
      return 0;
    case WM_NCLBUTTONDBLCLK: {
      const TPoint pt = MessageInWindow(bf, l);
      if (BorderFormOverShadow(bf, pt)) return 0;
      HWND form = FormHandle(bf);
      const int32_t code = BorderFormHitTestAt(bf, pt);
      if (code == HTCAPTION && form) {
        // The form's own caption rule: it maximizes or restores only a form whose system menu allows it.
        SendToForm(bf, msg, HTCAPTION, l);
      } else if (code == HTSYSMENU && form) {
        SendMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else if (form && HasThickFrame(p) && (code == HTLEFT || code == HTRIGHT || code == HTTOP || code == HTBOTTOM)) {
        // A double click on a sizing edge stretches the form over its monitor's work area in that direction.
        const TRect work = FormMonitorWorkArea(*p.Form());
        RECT r{};
        GetWindowRect(form, &r);
        if (code == HTLEFT || code == HTRIGHT) {
          p.StateFlags |= 0x4000;
          SetWindowPos(form, nullptr, work.Left, r.top, work.Width(), r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
          p.StateFlags |= 0x2000;
          SetWindowPos(form, nullptr, r.left, work.Top, r.right - r.left, work.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
      }
      return 0;
    }
    case WM_NCRBUTTONDOWN: {
      const TPoint pt = MessageInWindow(bf, l);
      if (BorderFormOverShadow(bf, pt)) return 0;
      SendToForm(bf, msg, WPARAM(BorderFormHitTestAt(bf, pt)), l);
      return 0;
    }
    case WM_NCRBUTTONUP:
      if (BorderFormOverShadow(bf, MessageInWindow(bf, l))) return 0;
      SendToForm(bf, msg, WPARAM(-1), l);
      return 0;
    case WM_MOUSEACTIVATE:
      if (HWND form = FormHandle(bf); form && p.Form()->CanFocus()) SetForegroundWindow(form);
      return MA_NOACTIVATE;
    case WM_SETCURSOR:
      if (SetCursorFor(bf)) return TRUE;
      return DefWindowProcA(h, msg, w, l);
    case WM_ERASEBKGND:
    case WM_NCPAINT: return 0;
    case WM_SETFOCUS:
      if (p.Form() && !p.Form()->IsDestroying() && p.Form()->Visible() && p.Form()->CanFocus())
        SetFocus(FormHandle(bf));
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const LRESULT r = DefWindowProcA(h, msg, w, l);
      // Put back right below the form when something else moved it away from there in the z-order.
      if (!bf.Updating && p.Form() && !p.Form()->IsDestroying() && IsWindowVisible(FormHandle(bf)) &&
          !IsIconic(FormHandle(bf))) {
        bf.Updating = true;
        if (!bf.Following && !BorderFormBelowForm(bf)) BorderFormPlace(bf);
        bf.Updating = false;
      }
      return r;
    }
    default: break;
  }
  return MouseOverShadow(bf, h, msg, w, l, ProviderManager(p));
}

// The border window of a skinned window that no form owns (a dialog): hit tests and mouse messages of the frame
// are the window's own non-client ones, with the hit code resolved here.
LRESULT HandleOwnerMessage(TacBorderForm& bf, HWND h, UINT msg, WPARAM w, LPARAM l) {
  TacBorderOwner& o = *bf.Owner;
  switch (msg) {
    case WM_NCHITTEST: {
      const TPoint pt = MessageInWindow(bf, l);
      RestoreRegion(bf);
      if (BorderFormOverShadow(bf, pt)) {
        o.SetHotElement(-1);
        return DefWindowProcA(h, msg, w, l);
      }
      DefWindowProcA(h, msg, w, l);
      return 19;
    }
    case WM_NCMOUSEMOVE: {
      if (FollowCursorWhileMoving(bf, h)) return 0;
      const int32_t code = BorderFormHitTestAt(bf, CursorInWindow(bf));
      o.SetHotElement(code == HTMINBUTTON || code == HTMAXBUTTON || code == HTCLOSE || code == HTHELP ? code : 0);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP: {
      const TPoint pt = MessageInWindow(bf, l);
      if (BorderFormOverShadow(bf, pt)) return 0;
      SendToForm(bf, msg, WPARAM(BorderFormHitTestAt(bf, pt)), l);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      if (HWND window = FormHandle(bf); window && IsWindowEnabled(window)) SetForegroundWindow(window);
      return MA_NOACTIVATE;
    case WM_SETCURSOR:
      if (SetCursorFor(bf)) return TRUE;
      return DefWindowProcA(h, msg, w, l);
    case WM_ERASEBKGND:
    case WM_NCPAINT: return 0;
    case WM_WINDOWPOSCHANGED: {
      const LRESULT r = DefWindowProcA(h, msg, w, l);
      HWND window = FormHandle(bf);
      if (!bf.Updating && !bf.Following && window && IsWindowVisible(window) && !IsIconic(window) &&
          !BorderFormBelowForm(bf)) {
        bf.Updating = true;
        BorderFormPlace(bf);
        bf.Updating = false;
      }
      return r;
    }
    default: break;
  }
  return MouseOverShadow(bf, h, msg, w, l, o.FrameManager());
}

LRESULT CALLBACK BorderWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TacBorderForm* bf = FromWindow(h);
  if (bf == nullptr) return DefWindowProcA(h, msg, w, l);
  if (msg == WM_NCDESTROY) {
    // Taken down with its owner before its form let it go: the border form keeps no handle that another window
    // may have by then.
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    if (bf->AForm == h) bf->AForm = nullptr;
    ledger::Freed(ledger::kWindow);
    return DefWindowProcA(h, msg, w, l);
  }
  try {
    if (bf->Provider == nullptr) return HandleOwnerMessage(*bf, h, msg, w, l);
    return HandleMessage(*bf, h, msg, w, l);
  } catch (...) {
    return DefWindowProcA(h, msg, w, l);
  }
}

// Blur behind the frame where composition is on: the frame's outline one pixel out from the margins, less the
// black pixels of its corners (squares of the skin's FORMOFFSET), or no blur when the skin asks for none.
void BorderFormBlurBehind(TacBorderForm& bf, const Bitmap& image) {
  if (!DwmCompositionEnabled()) return;
  HWND h = static_cast<HWND>(bf.AForm);
  const TsSkinManager* m = bf.Owner->FrameManager();
  if (m == nullptr || !m->SkinData().AeroBlur) {
    DwmEnableBlurFor(h, false, nullptr);
    return;
  }
  const TRect margins = SkinExtBorderMargins(bf);
  const int32_t w = image.Width(), ht = image.Height();
  HRGN region = ledger::CreateRectRgn(margins.Left - 1, margins.Top - 1, w - margins.Right + 1, ht - margins.Bottom + 1);
  const int32_t side = m->SkinData().FormOffset;
  const TRect corners[4] = {{margins.Left - 1, margins.Top - 1, margins.Left - 1 + side, margins.Top - 1 + side},
                            {w - margins.Right + 1 - side, margins.Top - 1, w - margins.Right + 1, margins.Top - 1 + side},
                            {margins.Left - 1, ht - margins.Bottom + 1 - side, margins.Left - 1 + side, ht - margins.Bottom + 1},
                            {w - margins.Right + 1 - side, ht - margins.Bottom + 1 - side, w - margins.Right + 1,
                             ht - margins.Bottom + 1}};
  for (const TRect& c : corners)
    for (int32_t y = c.Top; y < c.Bottom; ++y)
      for (int32_t x = c.Left; x < c.Right; ++x)
        if (x >= 0 && y >= 0 && x < w && y < ht && (GetPixel32(image, x, y) & 0xFFFFFF) == 0) {
          HRGN dot = ledger::CreateRectRgn(x, y, x + 1, y + 1);
          CombineRgn(region, region, dot, RGN_DIFF);
          ledger::DeleteObject(dot);
        }
  DwmEnableBlurFor(h, true, region);
}

// The common start of an update: the border window of a visible owner window, made when missing, or null when
// nothing is to be drawn now (a hidden or minimized owner hides its frame too and marks the frame for repainting).
HWND BorderWindowForUpdate(TacBorderForm& bf, HWND window, TsCommonData& frame) {
  if (!window || !IsWindow(window) || AnimationInProgress()) return nullptr;
  RECT wr{};
  if (!GetWindowRect(window, &wr) || wr.right <= wr.left) return nullptr;
  if (!IsWindowVisible(window) || IsIconic(window)) {
    if (bf.AForm) ShowWindow(static_cast<HWND>(bf.AForm), SW_HIDE);
    bf.Hidden = true;
    frame.BGChanged = true;
    return nullptr;
  }
  BorderFormCreateWindow(bf);
  return static_cast<HWND>(bf.AForm);
}

// The border window put at the frame picture's rectangle on the screen (r), unless it lies there already: every
// move, even to where the window is, has the X11 driver set the window's hints and configure it again. A zoomed
// window's picture reaches past its monitor by the margins and the frame; its border window is laid over the part
// on the monitor's work area only. Laid whole, it would cover the screen and more: a window manager then takes it
// for a full-screen window and fits it to the screen, moving the picture by the margins (caption gone, the windows
// behind showing through, the caption's clicks landing beside it).
void MoveBorderWindow(TacBorderForm& bf, HWND h, const TRect& r) {
  TRect laid = r;
  if (bf.Owner->WindowZoomed()) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(MonitorFromWindow(FormHandle(bf), MONITOR_DEFAULTTONEAREST), &mi)) {
      laid = TRect{std::max<int32_t>(r.Left, mi.rcWork.left), std::max<int32_t>(r.Top, mi.rcWork.top),
                   std::min<int32_t>(r.Right, mi.rcWork.right), std::min<int32_t>(r.Bottom, mi.rcWork.bottom)};
      if (laid.Width() <= 0 || laid.Height() <= 0) laid = r;
    }
  }
  bf.Laid = TPoint{laid.Left - r.Left, laid.Top - r.Top};
  RECT wr{};
  if (GetWindowRect(h, &wr) && TRect{wr.left, wr.top, wr.right, wr.bottom} == laid) return;
  SetWindowPos(h, nullptr, laid.Left, laid.Top, laid.Width(), laid.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// The part of the frame picture that the border window shows (all of it but for a zoomed window).
const Bitmap& LaidPart(const TacBorderForm& bf, HWND h, const Bitmap& image, Bitmap& part) {
  RECT wr{};
  GetWindowRect(h, &wr);
  const int32_t w = wr.right - wr.left, ht = wr.bottom - wr.top;
  if ((bf.Laid.X == 0 && bf.Laid.Y == 0 && w == image.Width() && ht == image.Height()) || w <= 0 || ht <= 0) return image;
  part.SetSize(w, ht);
  for (int32_t y = 0; y < ht; ++y) {
    const int32_t sy = y + bf.Laid.Y;
    uint32_t* dst = reinterpret_cast<uint32_t*>(part.ScanLine(y));
    for (int32_t x = 0; x < w; ++x) {
      const int32_t sx = x + bf.Laid.X;
      dst[x] = sx >= 0 && sx < image.Width() && sy >= 0 && sy < image.Height()
                   ? reinterpret_cast<const uint32_t*>(image.ScanLine(sy))[sx]
                   : 0;
    }
  }
  return part;
}

// The common end of an update: the picture pushed to the border window (already at its place), which then takes
// its place in the z-order, blur and region.
void ShowBorderImage(TacBorderForm& bf, HWND h, const Bitmap& image, uint8_t alpha, const Bitmap& cache) {
  Bitmap part(0, 0, pf32bit);
  const Bitmap& shown = LaidPart(bf, h, image, part);
  UpdateLayeredFromBitmap(h, &shown, alpha, nullptr);
  BorderFormPlace(bf);
  BorderFormBlurBehind(bf, cache);
  bf.Hidden = false;
  bf.RgnChanged = false;
  BorderFormSetRegion(bf);
}

// The parts of a form's border window image that the form's own window shows (its client area and menu line, and
// the span of its caption round the text that it draws itself) made fully transparent, while the region leaves
// them to the form.
void ClearWhatTheFormShows(TacBorderForm& bf, Bitmap& image) {
  TRect hole;
  if (!BorderFormClientHole(bf, hole)) return;
  FillRectBitmap32(image, hole, 0, 0);
  if (bf.Provider && !RectIsEmpty(bf.Provider->CaptionOnFormShown))
    FillRectBitmap32(image, bf.Provider->CaptionOnFormShown, 0, 0);
}

struct UpdateGuard {
  TacBorderForm& bf;
  explicit UpdateGuard(TacBorderForm& b) : bf(b) { bf.Updating = true; }
  ~UpdateGuard() { bf.Updating = false; }
};

// The update of a border window whose owner is no form: the owner's frame picture shown around the window.
void OwnerBorderUpdate(TacBorderForm& bf, bool repaint, uint8_t alpha) {
  TacBorderOwner& o = *bf.Owner;
  if (Terminating() || bf.Updating) return;
  HWND window = FormHandle(bf);
  HWND h = BorderWindowForUpdate(bf, window, o.FrameData());
  if (!h) return;
  UpdateGuard guard(bf);
  // A topmost window that is active keeps its frame on top with it.
  if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) && GetActiveWindow() == window)
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, 0x613);
  if (repaint) o.RepaintFrame();
  // The picture's client part stays the window's background (its children take theirs from it): the window's
  // client area shows through the hole, nothing of it is copied in.
  Bitmap* cache = o.FrameData().CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  TRect hole;
  const bool hasHole = o.ClientHole(hole);
  const TRect r = BorderFormScreenRect(bf);
  MoveBorderWindow(bf, h, r);
  Bitmap image = PremultipliedCopy(*cache);
  if (hasHole) FillRectBitmap32(image, hole, 0, 0);
  ShowBorderImage(bf, h, image, alpha, *cache);
}

}  // namespace

void BorderFormCreateWindow(TacBorderForm& bf) {
  if (bf.AForm) return;
  EnsureClass();
  // Under Wine with a window manager, a window the manager does not manage lies above every window it manages
  // once raised (the manager stacks its windows below its own top marker): the border window would cover the
  // form's dialogs and other programs' windows. A system menu has Wine hand the window to the manager, which then
  // stacks it among the others (it asks for no frame, no focus and no taskbar entry). It changes nothing on
  // Windows, where the window has no caption to show the menu in.
  const DWORD style = WS_POPUP | (UnderWine() ? WS_SYSMENU : 0);
  // The form's owner, not the form: the system keeps an owned window above its owner, and the border window lies
  // right below its form (under the form's own dialogs and under every window that comes in front of the form).
  // Owned as the form is, it goes up and down with the form's owner, as the form does: under Wine a window
  // manager is told that both belong to that owner, and raises them with it. Not owned, a click on the owner (a
  // main form under its modal form) raised the owner and the form above the border window, and the form showed
  // no frame.
  HWND owner = BorderFormOwnerWanted(bf);
  HWND h = ledger::CreateWindowEx(kExStyle, kClassName, "", style, 0, 0, 0, 0, owner, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  if (!h) return;
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bf));
  SetWindowLongA(h, GWL_EXSTYLE, kExStyle);
  bf.OldOwnerWnd = owner;
  bf.AForm = h;
}

HWND BorderFormOwnerWanted(const TacBorderForm& bf) {
  HWND form = FormHandle(bf);
  return form ? GetWindow(form, GW_OWNER) : nullptr;
}

TacBorderForm::~TacBorderForm() {
  // The owner's caption-button glows were drawn over this window: they go with it.
  Owner->StopTitleGlows();
  if (HWND h = static_cast<HWND>(AForm)) {
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    ledger::DestroyWindow(h);
  }
  AForm = nullptr;
}

HWND BorderFormWindow(const TacBorderForm& bf) { return FormHandle(bf); }

bool BorderFormBelowForm(const TacBorderForm& bf) {
  HWND h = static_cast<HWND>(bf.AForm);
  HWND form = FormHandle(bf);
  return h && form && GetWindow(form, GW_HWNDNEXT) == h;
}

namespace {

// Whether no visible window lies before the form in the z-order but the form's own (the windows it owns, and
// its border window).
bool FormInFront(HWND form, HWND border) {
  for (HWND w = GetTopWindow(nullptr); w && w != form; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == border || !IsWindowVisible(w)) continue;
    HWND owner = w;
    while (owner && owner != form) owner = GetWindow(owner, GW_OWNER);
    if (owner != form) return false;
  }
  return true;
}

}  // namespace

void BorderFormPlace(TacBorderForm& bf) {
  HWND h = static_cast<HWND>(bf.AForm);
  HWND form = FormHandle(bf);
  if (!h || !form) return;
  // A form given another owner since takes its border window along.
  if (HWND owner = BorderFormOwnerWanted(bf); owner != GetWindow(h, GW_OWNER)) {
    SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    bf.OldOwnerWnd = owner;
  }
  if (BorderFormBelowForm(bf)) {
    if (!IsWindowVisible(h)) ShowWindow(h, SW_SHOWNA);
    return;
  }
  constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
  const bool following = bf.Following;
  bf.Following = true;
  if (UnderWine() && FormInFront(form, h)) {
    // Wine's X11 driver restacks a window on the screen only when it becomes the first visible window, and then
    // raises it; it never lowers one. So the two are raised in turn, the border window first and the form over
    // it (the form's own dialogs follow it up): on the screen as in the z-order, the border window lies right
    // below the form.
    const HWND top = (GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP;
    SetWindowPos(h, top, 0, 0, 0, 0, kKeep | SWP_SHOWWINDOW);
    SetWindowPos(form, top, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!BorderFormBelowForm(bf)) SetWindowPos(h, form, 0, 0, 0, 0, kKeep | SWP_SHOWWINDOW);
  bf.Following = following;
}

HWND BorderFormInsertAfter(const TacBorderForm& bf) { return FormHandle(bf); }

int32_t BorderFormWorkAreaTop(const TacBorderForm& bf) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR m = MonitorFromWindow(static_cast<HWND>(bf.AForm), MONITOR_DEFAULTTONEAREST);
  if (m && GetMonitorInfoA(m, &mi)) return mi.rcWork.top;
  return 0;
}

bool BorderFormClientHole(TacBorderForm& bf, TRect& hole) { return bf.Owner->ClientHole(hole); }

HRGN BorderFormRegion(TacBorderForm& bf) {
  HWND h = static_cast<HWND>(bf.AForm);
  if (!h) return nullptr;
  // In the frame picture's coordinates, moved to the window's at the end.
  RECT wr{};
  GetWindowRect(h, &wr);
  wr.left -= bf.Laid.X;
  wr.top -= bf.Laid.Y;
  const TRect picture = BorderFormScreenRect(bf);
  const int32_t width = picture.Width() > 0 ? picture.Width() : wr.right - wr.left;
  const int32_t height = picture.Height() > 0 ? picture.Height() : wr.bottom - wr.top;
  const TRect m = SkinExtBorderMargins(bf);
  const int32_t frame = bf.Owner->SystemFrameWidth();
  const int32_t extra = bf.Owner->SkinFrameWidth() - frame;
  TRect outer{0, 0, width, height};
  if (FormHandle(bf) && IsZoomed(FormHandle(bf)))
    outer = TRect{m.Left + extra + frame, m.Top + 4, width - frame - extra - m.Right, height - frame - extra - m.Bottom};
  if (TRect hole; BorderFormClientHole(bf, hole)) {
    HRGN region = ledger::CreateRectRgn(outer.Left, outer.Top, outer.Right, outer.Bottom);
    HRGN inner = ledger::CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom);
    CombineRgn(region, region, inner, RGN_XOR);
    ledger::DeleteObject(inner);
    if (bf.Provider && !RectIsEmpty(bf.Provider->CaptionOnFormShown)) {
      const TRect& span = bf.Provider->CaptionOnFormShown;
      HRGN caption = ledger::CreateRectRgn(span.Left, span.Top, span.Right, span.Bottom);
      CombineRgn(region, region, caption, RGN_DIFF);
      ledger::DeleteObject(caption);
    }
    OffsetRgn(region, -bf.Laid.X, -bf.Laid.Y);
    return region;
  }
  const int32_t workTop = BorderFormWorkAreaTop(bf);
  HRGN region = ledger::CreateRectRgn(outer.Left, outer.Top, outer.Right, outer.Bottom);
  if (workTop > wr.top) {
    HRGN strip = ledger::CreateRectRgn(0, 0, width, workTop - wr.top);
    CombineRgn(region, region, strip, RGN_DIFF);
    ledger::DeleteObject(strip);
    bf.TopClipped = true;
  } else {
    bf.TopClipped = false;
  }
  OffsetRgn(region, -bf.Laid.X, -bf.Laid.Y);
  return region;
}

void BorderFormSetRegion(TacBorderForm& bf) {
  HWND h = static_cast<HWND>(bf.AForm);
  if (!h) return;
  HRGN region = BorderFormRegion(bf);
  if (!region) return;
  // The region the window has already is not set again: setting one is a frame change of the window, which the
  // X11 driver answers with the window's hints, icon and shape sent again, and the shape's change exposes the
  // window, which Wine then raises over every window its picture overlaps (its form among them).
  HRGN current = ledger::CreateRectRgn(0, 0, 0, 0);
  const bool same = current && GetWindowRgn(h, current) != ERROR && EqualRgn(current, region);
  if (current) ledger::DeleteObject(current);
  if (same) {
    ledger::DeleteObject(region);
    return;
  }
  if (!ledger::SetWindowRgn(h, region, FALSE)) ledger::DeleteObject(region);
}

void BorderFormUpdate(TacBorderForm& bf, bool repaint, uint8_t alpha) {
  if (bf.Provider == nullptr) {
    OwnerBorderUpdate(bf, repaint, alpha);
    return;
  }
  TsSkinProvider& p = *bf.Provider;
  if (Terminating() || bf.Updating || !p.Form()) return;
  HWND form = FormHandle(bf);
  if (!p.DrawNonClientArea()) return;
  HWND h = BorderWindowForUpdate(bf, form, p.SkinData());
  if (!h) return;
  UpdateGuard guard(bf);
  RECT fr{};
  GetWindowRect(form, &fr);
  if (repaint) {
    p.SkinData().BGChanged = true;
    ProviderPaintFrame(p);
  }
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  const TRect r = BorderFormScreenRect(bf);
  MoveBorderWindow(bf, h, r);
  Bitmap image = PremultipliedCopy(*cache);
  // The window's client area into the image (opaque), not into the frame cache: the form's controls take their
  // background from the cache, and a copy of the screen there would stay in them.
  const TRect work = FormMonitorWorkArea(*p.Form());
  if (fr.left >= work.Left && fr.top >= work.Top && fr.right <= work.Right && fr.bottom <= work.Bottom) {
    POINT o{0, 0};
    ClientToScreen(form, &o);
    const TSize client = FormClientSize(*p.Form());
    HDC dc = ledger::GetWindowDC(form);
    if (dc) {
      const int saved = SaveDC(dc);
      DCToBitmap(image, BorderFormClientLeft(bf) + (o.x - fr.left), BorderFormTopOffset(bf) + (o.y - fr.top),
                 client.cx, client.cy, dc, o.x - fr.left, o.y - fr.top);
      RestoreDC(dc, saved);
      ledger::ReleaseDC(form, dc);
      SetAlphaRect(image, TRect{ProviderClientLeft(p), ProviderClientTop(p), ProviderClientLeft(p) + client.cx,
                                 ProviderClientTop(p) + client.cy},
                   255, clNone);
    }
  }
  // Where the region leaves the form's own client to the screen, the image is fully transparent as well: a
  // window manager that shapes a layered window by its alpha (Wine's X11 driver does, on every flush of the
  // window, over the region) would otherwise show the client as it was copied here, over the live one.
  ClearWhatTheFormShows(bf, image);
  ShowBorderImage(bf, h, image, alpha, *cache);
  // The caption's span that the form's window shows over this picture shows the same.
  ProviderShowCaptionOnForm(p);
}

bool BorderFormShowsFrame(const TacBorderForm& bf) {
  const TsSkinProvider* p = bf.Provider;
  HWND h = static_cast<HWND>(bf.AForm);
  HWND form = FormHandle(bf);
  return p != nullptr && h && form && !Terminating() && !bf.Updating && !bf.Animating && !bf.Hidden &&
         !bf.RgnChanged && !bf.Moving && !AnimationInProgress() && IsWindowVisible(h) && IsWindowVisible(form) &&
         !IsIconic(form) &&
         !(p->StateFlags & (psBlendMoving | psMinimizing | psRestoring | psShowFading | psShownTransparent));
}

namespace {

// The top rows of the frame cache pushed to a border window that shows the frame as it stands: the rest of its
// picture stays. False when the window is to be updated whole.
bool UpdateTopRows(TacBorderForm& bf, int32_t rows) {
  TsSkinProvider* p = bf.Provider;
  HWND h = static_cast<HWND>(bf.AForm);
  if (!BorderFormShowsFrame(bf)) return false;
  const Bitmap* cache = p->SkinData().CacheBmp.get();
  const TRect r = BorderFormScreenRect(bf);
  RECT wr{};
  GetWindowRect(h, &wr);
  if (cache == nullptr || rows <= 0 || cache->Width() != r.Width() || cache->Height() != r.Height() ||
      TRect{wr.left, wr.top, wr.right, wr.bottom} != r)
    return false;
  Bitmap image = PremultipliedCopy(*cache, rows);
  ClearWhatTheFormShows(bf, image);
  BitmapDC source(image);
  if (!source.dc()) return false;
  POINT from{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  RECT dirty{0, 0, image.Width(), image.Height()};
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof info;
  info.hdcSrc = source.dc();
  info.pptSrc = &from;
  // No size and no place: the window keeps both (given, they would have the X11 driver configure it again).
  info.psize = nullptr;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = &dirty;
  return UpdateLayeredWindowIndirect(h, &info) != FALSE;
}

}  // namespace

void BorderFormUpdateTop(TacBorderForm& bf, int32_t rows) {
  if (!UpdateTopRows(bf, rows)) BorderFormUpdate(bf, false, 255);
}

int32_t BorderFormHitTest(TacBorderForm& bf) {
  if (!bf.AForm) return HTTRANSPARENT;
  return BorderFormHitTestAt(bf, CursorInWindow(bf));
}

void BorderFormFollowZOrder(TacBorderForm& bf) {
  HWND h = static_cast<HWND>(bf.AForm);
  HWND form = FormHandle(bf);
  if (!h || !form || !IsWindowVisible(h) || bf.Following) return;
  BorderFormPlace(bf);
}

void BorderFormEnable(TacBorderForm& bf, bool enabled) {
  if (HWND h = static_cast<HWND>(bf.AForm)) EnableWindow(h, enabled ? TRUE : FALSE);
}

bool BorderFormShown(const TacBorderForm& bf) {
  HWND h = static_cast<HWND>(bf.AForm);
  return h != nullptr && IsWindowVisible(h);
}

void BorderFormHide(TacBorderForm& bf) {
  if (HWND h = static_cast<HWND>(bf.AForm); h && IsWindowVisible(h)) ShowWindow(h, SW_HIDE);
  bf.Hidden = true;
}

}  // namespace skin
