// The MDI client adapter.
#include "skin/adapters/acmdiwnd.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/manager/win_values.h"

namespace skin {

namespace {


void FillWithColor(HDC dc, const RECT& r, TColor colour) {
  FillRectWithColor(dc, TRect{r.left, r.top, r.right, r.bottom}, colour);
}

}  // namespace

TacMDIWnd::~TacMDIWnd() {
  Provider = nullptr;
  Form = nullptr;
}

HWND TacMDIWnd::FormHandle() const {
  if (Form != nullptr && Form->HandleAllocated()) return Form->WindowHandle();
  return Handle != nullptr ? GetParent(Handle) : nullptr;
}

int32_t TacMDIWnd::EdgeWidth() const {
  return Handle != nullptr && (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0;
}

bool TacMDIWnd::ChildMaximized() const {
  BOOL maximized = FALSE;
  const HWND active = reinterpret_cast<HWND>(SendMessageA(Handle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  return active != nullptr && (maximized || IsZoomed(active));
}

TRect TacMDIWnd::MdiClientRectInForm() {
  const Bitmap* image = nullptr;
  TPoint origin;
  const HWND form = FormHandle();
  if (Provider == nullptr || form == nullptr || !Provider->MDIHostFrameImage(image, origin)) return TRect{};
  RECT wr{};
  GetWindowRect(Handle, &wr);
  POINT clientOrigin{0, 0};
  ClientToScreen(form, &clientOrigin);
  const int32_t x = origin.X + wr.left - clientOrigin.x, y = origin.Y + wr.top - clientOrigin.y;
  return TRect{x, y, x + (wr.right - wr.left), y + (wr.bottom - wr.top)};
}

void TacMDIWnd::PaintMdiArea(HDC DC, bool Print) {
  if (Provider == nullptr || DC == nullptr || Provider->MDIHostUpdating()) return;
  RECT client{};
  GetClientRect(Handle, &client);
  const Bitmap* image = nullptr;
  TPoint origin;
  if (!Provider->MDIHostPaintsArea() || !Provider->MDIHostFrameImage(image, origin) || image == nullptr) {
    if (Print) OffsetRect(&client, EdgeWidth(), EdgeWidth());
    FillWithColor(DC, client, Provider->MDIHostColor());
    return;
  }
  const TRect r = MdiClientRectInForm();
  if (Print) {
    BitmapToDC(DC, 0, 0, r.Width(), r.Height(), *image, r.Left, r.Top);
  } else {
    const int32_t edge = EdgeWidth();
    BitmapToDC(DC, 0, 0, client.right, client.bottom, *image, r.Left + edge, r.Top + edge);
  }
}

void TacMDIWnd::PaintMdiEdge(HDC DC) {
  const int32_t edge = EdgeWidth();
  if (Provider == nullptr || DC == nullptr || edge == 0 || Provider->MDIHostUpdating()) return;
  RECT wr{};
  GetWindowRect(Handle, &wr);
  const int32_t w = wr.right - wr.left, h = wr.bottom - wr.top;
  const Bitmap* image = nullptr;
  TPoint origin;
  if (!Provider->MDIHostPaintsArea() || !Provider->MDIHostFrameImage(image, origin) || image == nullptr) {
    const TColor colour = Provider->MDIHostColor();
    const RECT strips[4] = {{0, 0, w, edge}, {0, h - edge, w, h}, {0, edge, edge, h - edge}, {w - edge, edge, w, h - edge}};
    for (const RECT& s : strips) FillWithColor(DC, s, colour);
    return;
  }
  const TRect r = MdiClientRectInForm();
  BitmapDC source(*image);
  if (source.dc() != nullptr) CopyBorderStrips(DC, 0, 0, edge, w, h, source.dc(), r.Left, r.Top);
}

bool TacMDIWnd::MDICommand(gui::TMessage& m) {
  if (!AcceptSkinCommand(m)) return false;
  switch (SkinCommandCode(m.WParam)) {
    case AC_CHILDPAINTING:
    case AC_GETBACKGROUND:
      if (const HWND form = FormHandle()) m.Result = SendMessageA(form, WM_SKINCOMMAND, m.WParam, m.LParam);
      return true;
    case AC_UPDATECACHE:
      // The client paints from the form's image: the form brings it up to date (the client's skin data is the
      // form's, whose cache holds the whole frame, never the client's own picture).
      if (Provider != nullptr)
        if (const HWND form = FormHandle()) m.Result = SendMessageA(form, WM_SKINCOMMAND, m.WParam, m.LParam);
      return true;
    case AC_SCROLLBEGIN: {
      // A thumb's position: the engine leaves the bar's information alone, the client scrolls on release.
      const int code = LOWORD(m.LParam);
      m.Result = code == SB_THUMBPOSITION || code == SB_THUMBTRACK ? 1 : 0;
      return true;
    }
    case AC_SCROLLEND:
      RefreshScrollBars(this, true);
      m.Result = 0;
      return true;
    default:
      return false;
  }
}

bool TacMDIWnd::ProviderMessage(gui::TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const int code = LOWORD(m.WParam);
      if (code == SB_THUMBTRACK) {
        m.Result = 0;  // nothing moves while the thumb is dragged
        return true;
      }
      if (code == SB_THUMBPOSITION) {
        // The system's client moves its children to the released thumb's place and sets its bar.
        // The engine passes the whole position in LParam (the word in WParam stops at 65535).
        const int32_t pos = m.LParam != 0 ? int32_t(m.LParam) : int32_t(HIWORD(m.WParam));
        m.WParam = MAKEWPARAM(SB_THUMBPOSITION, WORD(std::clamp(pos, 0, 65535)));
        m.LParam = 0;
        CallOriginal(m);
        if (!Destroyed) RefreshScrollBars(this, true);
        return true;
      }
      return false;
    }
    case wv::kWmMdiCreate: {
      CallOriginal(m);
      if (!Destroyed && m.Result != 0 && Provider != nullptr) Provider->MDIChildCreated(reinterpret_cast<HWND>(m.Result));
      return true;
    }
    case wv::kWmMdiTile:
    case wv::kWmMdiCascade: {
      CallOriginal(m);
      if (Destroyed) return true;
      BOOL maximized = FALSE;
      const HWND active = reinterpret_cast<HWND>(SendMessageA(Handle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
      if (active != nullptr && maximized) {
        // The maximized state drawn again: the style bit off and on through the child's own window.
        const LONG style = GetWindowLongA(active, GWL_STYLE);
        SetWindowLongA(active, GWL_STYLE, style & ~WS_MAXIMIZE);
        SetWindowLongA(active, GWL_STYLE, style | WS_MAXIMIZE);
      }
      if (Provider != nullptr) Provider->MDIUpdateButtons();
      if (const HWND form = FormHandle()) RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      return true;
    }
    case wv::kWmMdiSetMenu:
    case wv::kWmMdiRefreshMenu:
      CallOriginal(m);
      if (!Destroyed && Provider != nullptr) Provider->MDIRefreshMenuLine();
      return true;
    case WM_ERASEBKGND:
    case WM_PRINT: {
      if (SkinChangeInProgress(SkinManager)) {
        if (m.Msg == WM_ERASEBKGND) {
          m.Result = 1;
          return true;
        }
        return false;
      }
      // Only while the form's skin data paints a background of its own (a form painted in its parent's plain
      // colour leaves the client to its own erasing), and no maximized child covers the area.
      if (!IsSkinned() || SkinData == nullptr || !CommonDataCheckBgFlags(*SkinData) || ChildMaximized() ||
          m.WParam == 0)
        return false;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (m.Msg == WM_PRINT) {
        // The children print themselves after the client's own image.
        const int saved = SaveDC(dc);
        PaintMdiArea(dc, true);
        RestoreDC(dc, saved);
        const int savedBars = SaveDC(dc);
        PaintNonClientScrollBars(this, Handle, -1, dc);
        PaintMdiEdge(dc);
        RestoreDC(dc, savedBars);
        m.Result = 0;
        return true;
      }
      const int saved = SaveDC(dc);
      PaintMdiArea(dc, false);
      RestoreDC(dc, saved);
      m.Result = 1;
      return true;
    }
    case WM_PAINT:
      if (SkinChangeInProgress(SkinManager)) {
        ValidateRect(Handle, nullptr);
        m.Result = 0;
        return true;
      }
      return false;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      TacBaseWnd::WndProc(m);
      if (!Destroyed && Provider != nullptr)
        if (const HWND form = FormHandle()) RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      return true;
    case WM_STYLECHANGED:
      CallOriginal(m);
      return true;
    case wv::kWmChildActivateNotify:
    case WM_PARENTNOTIFY:
      TacBaseWnd::WndProc(m);
      if (!Destroyed && HorzBar && VertBar) {
        const LONG style = GetWindowLongA(Handle, GWL_STYLE);
        VertBar->Visible = (style & WS_VSCROLL) ? 1 : 0;
        HorzBar->Visible = (style & WS_HSCROLL) ? 1 : 0;
        RefreshScrollBars(this, true);
      }
      return true;
    case WM_NCPAINT:
      TacBaseWnd::WndProc(m);
      if (!Destroyed && IsSkinned() && IsWindowVisible(Handle)) {
        HDC dc = ledger::GetWindowDC(Handle);
        if (dc != nullptr) {
          PaintMdiEdge(dc);
          ledger::ReleaseDC(Handle, dc);
        }
      }
      return true;
    default:
      return false;
  }
}

void TacMDIWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_SKINCOMMAND && !Destroyed && MDICommand(m)) return;
  if (!Destroyed && Provider != nullptr && ProviderMessage(m)) return;
  TacBaseWnd::WndProc(m);
}

}  // namespace skin
