// The form window's own scroll bars (see provider_scroll.h).
#include <windows.h>

#include "gui/forms.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/acsbutils.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_scroll.h"

namespace skin {

namespace {

// The scroll adapter of a skinned form. It stands in front of the provider's procedure, which keeps the frame:
// the non-client painting goes on to the provider (which paints the bars after the frame), and so does every
// mouse message that is not on a bar.
class TacFormScrollWnd final : public TacScrollWnd {
 public:
  void WndProc(gui::TMessage& m) override {
    if (!Destroyed && HandleDestroyMessage(m)) return;
    if (Destroyed || !HorzBar || !VertBar || !IsSkinned()) {
      CallOriginal(m);
      return;
    }
    switch (m.Msg) {
      case WM_NCCALCSIZE:
        m.Result = NcCalcSize(m);
        FrameCalculated = 1;
        return;
      case WM_NCHITTEST: m.Result = ScrollNcHitTest(this, Handle, m.WParam, m.LParam); return;
      case WM_NCMOUSEMOVE: m.Result = ScrollNcMouseMove(this, Handle, m.WParam, m.LParam); return;
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK: m.Result = ScrollNcLButtonDown(this, Handle, m.Msg, m.WParam, m.LParam); return;
      case WM_NCRBUTTONDOWN:
      case WM_NCRBUTTONUP:
        if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
          m.Result = 0;
          return;
        }
        break;
      case WM_TIMER: m.Result = ScrollTimer(this, Handle, m.WParam, m.LParam); return;
      case WM_MOUSEMOVE: m.Result = ScrollMouseMove(this, Handle, m.WParam, m.LParam); return;
      case WM_LBUTTONUP: m.Result = ScrollMouseUp(this, Handle, m.WParam, m.LParam); return;
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE: m.Result = ScrollCaptureLost(this, Handle, m.Msg, m.WParam, m.LParam); return;
      case WM_STYLECHANGED:
        // The bars' style bits taken off for a moment while the client area is computed: nobody hears of it.
        if (Updating) {
          m.Result = 0;
          return;
        }
        m.Result = ScrollStyleChanged(this, Handle, m.WParam, m.LParam);
        return;
      case WM_STYLECHANGING:
        if (Updating) {
          m.Result = 0;
          return;
        }
        break;
      default: break;
    }
    CallOriginal(m);
    if (Destroyed || !HorzBar) return;
    if ((m.Msg == WM_SIZE || m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL || m.Msg == WM_MOUSEWHEEL) && !ScrollBusy())
      RefreshScrollBars(this, true);
  }

 private:
  // The client area as the form's own procedure computes it without the system's bars, less the skinned bars.
  // The form's border is the provider's: it is taken as the system gives it.
  LRESULT NcCalcSize(gui::TMessage& message) {
    auto* rects = reinterpret_cast<RECT*>(message.LParam);
    const RECT window = rects[0];
    const LONG style = GetWindowLongA(Handle, GWL_STYLE);
    gui::TMessage m{WM_NCCALCSIZE, message.WParam, message.LParam, 0};
    LRESULT result;
    if (style & (WS_HSCROLL | WS_VSCROLL)) {
      Updating = 1;
      SetWindowLongA(Handle, GWL_STYLE, style & ~LONG(WS_HSCROLL | WS_VSCROLL));
      result = CallOriginal(m);
      SetWindowLongA(Handle, GWL_STYLE, style);
      Updating = 0;
    } else {
      result = CallOriginal(m);
    }
    if (Destroyed || !HorzBar || !VertBar) return result;
    RECT& client = rects[0];
    BorderLeft = client.left - window.left;
    BorderRight = window.right - client.right;
    BorderTop = client.top - window.top;
    BorderBottom = window.bottom - client.bottom;
    HorzBar->HasStyle = (style & WS_HSCROLL) ? 8 : 0;
    const int32_t hs = ScrollBarSize(HorzBar.get(), true);
    HorzBar->Visible = HorzBar->HasStyle && hs <= client.bottom - client.top ? 1 : 0;
    if (HorzBar->Visible) client.bottom -= hs;
    VertBar->HasStyle = (style & WS_VSCROLL) ? 8 : 0;
    const int32_t vs = ScrollBarSize(VertBar.get(), true);
    VertBar->Visible = VertBar->HasStyle && vs <= client.right - client.left ? 1 : 0;
    if (VertBar->Visible) {
      if (LeftScrollBar)
        client.left += vs;
      else
        client.right -= vs;
    }
    return result;
  }
};

HWND FormHandle(const TsSkinProvider& p) {
  return p.Form() && FormWindowExists(*p.Form()) ? static_cast<HWND>(FormWindowHandle(*p.Form())) : nullptr;
}

TacFormScrollWnd* Live(const TsSkinProvider& p) {
  auto* a = static_cast<TacFormScrollWnd*>(p.ScrollWnd);
  return a != nullptr && !a->Destroyed && a->HorzBar && a->VertBar ? a : nullptr;
}

}  // namespace

void ProviderAttachScrollWnd(TsSkinProvider& p) {
  const HWND h = FormHandle(p);
  if (h == nullptr || p.Form()->IsDestroying() || (p.StateFlags & psAttachingScroll)) return;
  if (!(GetWindowLongA(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))) return;
  p.StateFlags |= psAttachingScroll;
  if (ProviderSkinned(p) && ProviderSkinActive(p) && p.DrawNonClientArea()) {
    if (p.ScrollWnd && p.ScrollWnd->Destroyed) FreeAdapter(p.ScrollWnd);
    if (p.ScrollWnd == nullptr) {
      TacSkinParams params;
      p.ScrollWnd = NewAdapter<TacFormScrollWnd>(h, &p.SkinData(), ProviderManager(p), params, true);
      // A window that another adapter holds keeps it: this one is let go at once.
      if (p.ScrollWnd->Destroyed) FreeAdapter(p.ScrollWnd);
    }
  } else {
    ProviderFreeScrollWnd(p);
  }
  p.StateFlags &= ~psAttachingScroll;
}

void ProviderFreeScrollWnd(TsSkinProvider& p) {
  if (p.ScrollWnd == nullptr) return;
  TacScrollWnd* a = p.ScrollWnd;
  p.ScrollWnd = nullptr;
  TacMainWnd* base = a;
  FreeAdapter(base);
}

void ProviderRefreshScrollWnd(TsSkinProvider& p) {
  if (TacFormScrollWnd* a = Live(p); a && !a->ScrollBusy()) RefreshScrollBars(a, true);
}

void ProviderPaintScrollBars(TsSkinProvider& p) {
  TacFormScrollWnd* a = Live(p);
  if (a == nullptr || a->ScrollBusy() || a->Updating || a->TrackingThumb) return;
  if (!a->HorzBar->Visible && !a->VertBar->Visible) return;
  if (IsWindow(a->Handle) && IsWindowVisible(a->Handle)) PaintNonClientScrollBars(a, a->Handle, -1, nullptr);
}

void ProviderPrintScrollBars(TsSkinProvider& p, void* dc) {
  TacFormScrollWnd* a = Live(p);
  if (a == nullptr || dc == nullptr || (!a->HorzBar->Visible && !a->VertBar->Visible)) return;
  PaintNonClientScrollBars(a, a->Handle, -1, static_cast<HDC>(dc));
}

TSize ProviderScrollBarsShown(const TsSkinProvider& p) {
  const TacFormScrollWnd* a = Live(p);
  if (a == nullptr) return TSize{0, 0};
  return TSize{a->VertBar->Visible ? ScrollBarSize(a->VertBar.get(), true) : 0,
               a->HorzBar->Visible ? ScrollBarSize(a->HorzBar.get(), true) : 0};
}

}  // namespace skin
