// The frame cache's way to the window: the four bands copied to the window DC, the client background, the
// caption buttons' single-rectangle copies, and the form's icon drawn with the system.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "skin/manager/skinchange.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_scroll.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_menus.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

namespace {

HWND Handle(const TsSkinProvider& p) { return p.Form() ? p.Form()->WindowHandle() : nullptr; }

// A rectangle of the window (window coordinates) filled from the same place of the cache.
void CopyBand(TsSkinProvider& p, HDC dc, const TRect& r) {
  const Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || RectIsEmpty(r)) return;
  const TPoint o = ProviderCacheOrigin(p);
  BitmapToDC(dc, r.Left, r.Top, r.Width(), r.Height(), *cache, r.Left + o.X, r.Top + o.Y);
}

// The window DC between SaveDC and RestoreDC, released at the end.
template <class Paint>
void WithWindowDC(TsSkinProvider& p, Paint paint) {
  HWND h = Handle(p);
  if (!h) return;
  HDC dc = ledger::GetWindowDC(h);
  if (!dc) return;
  const int saved = SaveDC(dc);
  paint(dc);
  RestoreDC(dc, saved);
  ledger::ReleaseDC(h, dc);
}

// The caption span that the form's window shows (ProviderCaptionOnFormAt), in window coordinates; empty when its
// region does not hold the span the cache has now.
TRect CaptionOnFormInWindow(const TsSkinProvider& p) {
  if (!p.BorderForm || RectIsEmpty(p.CaptionOnFormShown) || !(p.CaptionOnFormShown == p.CaptionOnForm)) return {};
  const TPoint o = ProviderCacheOrigin(p);
  const TRect& r = p.CaptionOnFormShown;
  return TRect{r.Left - o.X, r.Top - o.Y, r.Right - o.X, r.Bottom - o.Y};
}

// The bounds of the pixels of the cache's top rows that differ from `before` (empty when none does).
TRect ChangedRows(const Bitmap& before, const Bitmap& cache) {
  TRect changed{cache.Width(), before.Height(), 0, 0};
  for (int32_t y = 0; y < before.Height() && y < cache.Height(); ++y) {
    const auto* a = reinterpret_cast<const uint32_t*>(before.ScanLine(y));
    const auto* b = reinterpret_cast<const uint32_t*>(cache.ScanLine(y));
    for (int32_t x = 0; x < before.Width() && x < cache.Width(); ++x) {
      if (a[x] == b[x]) continue;
      changed.Left = std::min(changed.Left, x);
      changed.Right = std::max(changed.Right, x + 1);
      changed.Top = std::min(changed.Top, y);
      changed.Bottom = std::max(changed.Bottom, y + 1);
    }
  }
  return RectIsEmpty(changed) ? TRect{} : changed;
}

// Whether `r` lies within `span` and every pixel of the cache there is opaque.
bool WithinOpaque(const Bitmap& cache, const TRect& r, const TRect& span) {
  if (r.Left < span.Left || r.Top < span.Top || r.Right > span.Right || r.Bottom > span.Bottom) return false;
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x)
      if (PixelA(GetPixel32(cache, x, y)) != 255) return false;
  return true;
}

bool BringCacheUpToDate(TsSkinProvider& p) {
  TsCommonData& data = p.SkinData();
  if (data.CacheBmp && data.CacheBmp->Width() == 0) data.BGChanged = true;
  if (!data.CacheBmp || ProviderCacheSizeChanged(p) || p.FirstPaintPending) data.BGChanged = true;
  if (data.BGChanged) return ProviderPaintFrame(p);
  return true;
}

}  // namespace

void ProviderCopyFrameToDC(TsSkinProvider& p, HDC dc) {
  if (!BringCacheUpToDate(p)) return;
  const FrameBands bands = ProviderFrameBands(p);
  CopyBand(p, dc, bands.Top);
  CopyBand(p, dc, bands.Left);
  CopyBand(p, dc, bands.Bottom);
  CopyBand(p, dc, bands.Right);
}

void ProviderPaintNonClient(TsSkinProvider& p) {
  if (AnimationInProgress() || !p.DrawNonClientArea() || !p.Form()) return;
  if (p.ResizeMode == rmBorder && DwmCompositionEnabled()) p.ResizeMode = rmStandard;
  // An MDI child behind a maximized, active sibling is hidden: nothing of it shows.
  if (ProviderHiddenByMaximizedSibling(p)) return;
  gui::TCustomForm& form = *p.Form();
  // The menu bar is the skin's before the frame is composed with it (and items added to it since are too).
  ProviderSkinMainMenu(p);
  ProviderMenuChanged(p);
  if (!BringCacheUpToDate(p)) return;
  if (p.LayoutChanged) {
    const uint32_t style = FormWindowStyle(form);
    if (!ProviderFormHasBorder(p) && !(style & WS_CHILD) && !FormWindowIconic(form)) {
      RemoveFormRegion(form);
    } else {
      if (FormWindowIconic(form) && (FormWindowExStyle(form) & WS_EX_APPWINDOW)) return;
      if (!p.BorderForm) ProviderCollectRegionRects(p);
      p.LayoutChanged = false;
      ProviderUpdateRegion(p, false);
    }
    p.LayoutChanged = false;
  }
  WithWindowDC(p, [&](HDC dc) {
    if (!p.BorderForm) {
      ProviderCopyFrameToDC(p, dc);
    } else {
      CopyBand(p, dc, ProviderFrameBands(p).Top);
      CopyBand(p, dc, CaptionOnFormInWindow(p));
    }
  });
  // A menu bar that the skin does not draw is the system's own: drawn by it, clipped to the bar.
  if (ProviderHasMenuLine(p) && ProviderMenuHasVisibleItems(p) && !ProviderMenuLineSkinned(p)) {
    HWND h = Handle(p);
    TRect first;
    if (FormMenuItemRect(form, 0, first)) {
      POINT o{0, 0};
      ClientToScreen(h, &o);
      const TSize client = FormClientSize(form);
      HRGN bar = ledger::CreateRectRgn(o.x, first.Top, o.x + client.cx, o.y);
      gui::TMessage m{WM_NCPAINT, reinterpret_cast<WPARAM>(bar), 0, 0};
      ProviderCallOldProc(p, m);
      ledger::DeleteObject(bar);
    }
  }
}

void ProviderPaintClient(TsSkinProvider& p, HDC dc, bool withChildren) {
  gui::TCustomForm& form = *p.Form();
  const TSize client = FormClientSize(form);
  if ((p.SkinData().FillFlags & 1) && form.FormStyle() != gui::TFormStyle::fsMDIForm) {
    FillRectWithColor(dc, TRect{0, 0, client.cx, client.cy}, ProviderFormColor(p));
    // A single frame whose skin border is wider than the system's fixed frame reaches into the client area: the
    // inner strips of that border come from the cache onto the client's edges.
    TsSkinManager* m = ProviderManager(p);
    const Bitmap* cache = p.SkinData().CacheBmp.get();
    const int32_t border = p.SkinData().BorderIndex;
    if (p.DrawNonClientArea() && cache != nullptr && m != nullptr && form.BorderStyle() == gui::TFormBorderStyle::bsSingle &&
        SkinManagerIsValidImageIndex(*m, border)) {
      const LoadedSkin& skin = m->Skin();
      const int32_t frame = FormBorderWidth(p, false);
      const int32_t l = std::max(0, SkinMaskBorderLeft(skin, border) - frame);
      const int32_t t = std::max(0, SkinMaskBorderTop(skin, border) - frame - ProviderCaptionHeight(p, true));
      const int32_t r = std::max(0, SkinMaskBorderRight(skin, border) - frame);
      const int32_t b = std::max(0, SkinMaskBorderBottom(skin, border) - frame);
      const int32_t x = ProviderClientLeft(p), y = ProviderClientTop(p);
      if (l > 0) BitmapToDC(dc, 0, 0, l, client.cy, *cache, x, y);
      if (t > 0) BitmapToDC(dc, 0, 0, client.cx, t, *cache, x, y);
      if (r > 0) BitmapToDC(dc, client.cx - r, 0, r, client.cy, *cache, x + client.cx - r, y);
      if (b > 0) BitmapToDC(dc, 0, client.cy - b, client.cx, b, *cache, x, y + client.cy - b);
    }
  } else {
    ProviderPaintFrame(p);
    if (form.FormStyle() != gui::TFormStyle::fsMDIForm)
      if (const Bitmap* cache = p.SkinData().CacheBmp.get())
        BitmapToDC(dc, 0, 0, client.cx, client.cy, *cache, ProviderClientLeft(p), ProviderClientTop(p));
    // What the form draws itself, as it is now (the cache holds it as it was when the frame was composed).
    if (form.OnPaint && p.DrawClientArea) {
      form.Canvas().SetHandle(dc);
      form.OnPaint(&form);
      form.Canvas().SetHandle(nullptr);
    }
    PaintGraphicControls(dc, &form, false, TPoint{});
    if (withChildren) {
      RepaintChildControls(&form);
      // Children that held their repaints while the form's were held paint now.
      gui::TMessage flush{WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0, 0};
      ProviderBroadcast(p, flush);
    }
  }
  // The size grip in the client's bottom-right corner.
  if (ProviderGripVisible(p)) ProviderPaintGrip(dc, p);
  p.ClientPainting = false;
}

void ProviderPaintMessage(TsSkinProvider& p, gui::TMessage& m) {
  HWND h = Handle(p);
  const bool printing = (p.SkinData().CtrlState & csPrinting) != 0;
  if (!p.InPaint && !p.Form()->IsDestroying() && (!printing || m.WParam != 0) && !ProviderHiddenByMaximizedSibling(p)) {
    PAINTSTRUCT ps{};
    HDC dc = printing ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(h, &ps);
    if (dc) {
      p.InPaint = true;
      const int saved = SaveDC(dc);
      ProviderPaintClient(p, dc, true);
      RestoreDC(dc, saved);
      p.InPaint = false;
    }
    if (!printing) EndPaint(h, &ps);
    return;
  }
  PAINTSTRUCT ps{};
  BeginPaint(h, &ps);
  EndPaint(h, &ps);
}

void ProviderEraseBackground(TsSkinProvider& p, HDC given) {
  HWND h = Handle(p);
  HDC dc = given;
  if (dc && p.DwmOnAtCreate) {
    RECT clip{};
    if (GetClipBox(dc, &clip) == NULLREGION || clip.right <= clip.left || clip.bottom <= clip.top) dc = nullptr;
  }
  if (dc && p.SkinData().PrintDC && p.SkinData().PrintDC != dc) dc = nullptr;
  const bool own = dc == nullptr;
  if (own) dc = ledger::GetDC(h);
  if (!dc) return;
  if (!p.InPaint && !p.Form()->IsDestroying() && !ProviderHiddenByMaximizedSibling(p)) {
    const int saved = SaveDC(dc);
    ExcludeGraphicControls(dc, p.Form(), 0, 0);
    ProviderPaintClient(p, dc, true);
    RestoreDC(dc, saved);
    PaintGraphicControls(dc, p.Form(), false, TPoint{});
    TsSkinManager* m = ProviderManager(p);
    if (!(m && m->Effects.AllowOuterEffects)) RepaintChildControls(p.Form());
  }
  if (own) ledger::ReleaseDC(h, dc);
}

void ProviderRepaintFrame(TsSkinProvider& p) {
  if (!p.Form() || !Handle(p)) return;
  if (p.BorderForm) {
    BorderFormUpdate(*p.BorderForm, true, 255);
    WithWindowDC(p, [&](HDC dc) { CopyBand(p, dc, ProviderFrameBands(p).Top); });
    return;
  }
  WithWindowDC(p, [&](HDC dc) { ProviderCopyFrameToDC(p, dc); });
  // The form's skinned scroll bars lie in the frame.
  ProviderPaintScrollBars(p);
}

void ProviderShowCaptionOnForm(TsSkinProvider& p) {
  if (const TRect r = CaptionOnFormInWindow(p); !RectIsEmpty(r)) WithWindowDC(p, [&](HDC dc) { CopyBand(p, dc, r); });
}

void ProviderRepaintCaption(TsSkinProvider& p) {
  if (!p.Form() || !Handle(p)) return;
  // With a border window, the band as it was: a change within the span that the form's own window shows is drawn
  // there alone, the border window's picture left as it is (the form's window lies over it).
  std::unique_ptr<Bitmap> before;
  if (const Bitmap* cache = p.SkinData().CacheBmp.get(); p.BorderForm && cache && p.CaptionBack &&
                                                         !RectIsEmpty(CaptionOnFormInWindow(p))) {
    before = std::make_unique<Bitmap>(cache->Width(), std::min(p.CaptionBack->Height(), cache->Height()), pf32bit);
    for (int32_t y = 0; y < before->Height(); ++y)
      std::memcpy(before->ScanLine(y), cache->ScanLine(y), size_t(cache->Width()) * 4);
  }
  if (!ProviderRepaintCaptionBand(p)) {
    // The frame was composed anew: shown whole.
    ProviderRepaintFrame(p);
    return;
  }
  const int32_t rows = p.CaptionBack->Height();
  if (p.BorderForm) {
    if (before && before->Height() == rows && BorderFormShowsFrame(*p.BorderForm)) {
      const TRect changed = ChangedRows(*before, *p.SkinData().CacheBmp);
      if (RectIsEmpty(changed)) return;
      if (WithinOpaque(*p.SkinData().CacheBmp, changed, p.CaptionOnFormShown)) {
        const TPoint o = ProviderCacheOrigin(p);
        WithWindowDC(p, [&](HDC dc) {
          CopyBand(p, dc, TRect{changed.Left - o.X, changed.Top - o.Y, changed.Right - o.X, changed.Bottom - o.Y});
        });
        return;
      }
    }
    BorderFormUpdateTop(*p.BorderForm, rows);
    ProviderShowCaptionOnForm(p);
    return;
  }
  // The caption rows alone, from the cache to the window.
  const TRect top = ProviderFrameBands(p).Top;
  WithWindowDC(p, [&](HDC dc) { CopyBand(p, dc, TRect{top.Left, top.Top, top.Right, std::min(top.Bottom, rows)}); });
}

void ProviderCopyCacheRectToWindow(TsSkinProvider& p, const TRect& r) {
  if (p.BorderForm) {
    BorderFormUpdate(*p.BorderForm, false, 255);
    return;
  }
  const Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || RectIsEmpty(r)) return;
  WithWindowDC(p, [&](HDC dc) { BitmapToDC(dc, r.Left, r.Top, r.Width(), r.Height(), *cache, r.Left, r.Top); });
}

namespace {

// The bar's entry at position i drawn into the cache in its state (the hot one hot); its place in the cache, empty
// when it is not drawn. The bar's entries are those the system lays out: the form's items and, merged among them,
// those of an MDI form's active child (entries the system adds for a maximized child are no items of the program).
TRect PaintMenuLineEntry(TsSkinProvider& p, HWND h, HMENU bar, int i, gui::TCanvas& canvas) {
  MENUITEMINFOA mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_DATA;
  if (!GetMenuItemInfoA(bar, UINT(i), TRUE, &mi)) return {};
  gui::TMenuItem* item = gui::TMenuItem::FromCommand(UINT(mi.dwItemData));
  RECT r{}, wr{};
  if (item == nullptr || !item->Visible() || !item->OnAdvancedDrawItem || !GetMenuItemRect(h, bar, UINT(i), &r))
    return {};
  GetWindowRect(h, &wr);
  // Window coordinates moved into the cache.
  const TPoint origin = ProviderCacheOrigin(p);
  const int32_t dx = origin.X - wr.left, dy = origin.Y - wr.top + (p.TallTitle ? 4 : 0);
  const TRect place{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  const gui::TOwnerDrawState state =
      0x500 | (i == p.OpenMenuLineItem ? ODS_SELECTED : (i == p.HotMenuLineItem && item->Enabled() ? ODS_HOTLIGHT : 0));
  item->OnAdvancedDrawItem(item, canvas, place, state);
  return place;
}

}  // namespace

void ProviderPaintMenuLineItems(TsSkinProvider& p) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  gui::TMainMenu* menu = p.Form() ? p.Form()->Menu() : nullptr;
  HWND h = Handle(p);
  if (cache == nullptr || menu == nullptr || !h) return;
  BitmapDC dc(*cache);
  if (!dc.dc()) return;
  gui::TCanvas canvas;
  canvas.SetHandle(dc.dc());
  HMENU bar = GetMenu(h);
  const int count = bar ? GetMenuItemCount(bar) : 0;
  for (int i = 0; i < count; ++i) PaintMenuLineEntry(p, h, bar, i, canvas);
  canvas.SetHandle(nullptr);
  GdiFlush();
}

int32_t ProviderMenuLineItemAt(TsSkinProvider& p, const TPoint& screen) {
  HWND h = Handle(p);
  HMENU bar = h ? GetMenu(h) : nullptr;
  if (!bar) return -1;
  return MenuItemFromPoint(h, bar, POINT{screen.X, screen.Y});
}

namespace {

// Two entries of the bar drawn again in their states, in the cache and on the window (-1: none).
void RepaintMenuLineEntries(TsSkinProvider& p, int32_t first, int32_t second) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  HWND h = Handle(p);
  HMENU bar = h ? GetMenu(h) : nullptr;
  if (cache == nullptr || !bar || !ProviderMenuLineSkinned(p) || !IsWindowVisible(h)) return;
  TRect changed[2];
  {
    BitmapDC dc(*cache);
    if (!dc.dc()) return;
    gui::TCanvas canvas;
    canvas.SetHandle(dc.dc());
    if (first >= 0) changed[0] = PaintMenuLineEntry(p, h, bar, first, canvas);
    if (second >= 0) changed[1] = PaintMenuLineEntry(p, h, bar, second, canvas);
    canvas.SetHandle(nullptr);
    GdiFlush();
  }
  for (const TRect& r : changed) ProviderCopyCacheRectToFormWindow(p, r);
}

}  // namespace

int32_t ProviderMenuLineSelectedItem(TsSkinProvider& p) {
  HWND h = Handle(p);
  HMENU bar = h ? GetMenu(h) : nullptr;
  if (!bar || !p.MenuTracking) return -1;
  const int count = GetMenuItemCount(bar);
  for (int i = 0; i < count; ++i)
    if (GetMenuState(bar, UINT(i), MF_BYPOSITION) & MF_HILITE) return i;
  return -1;
}

void ProviderSetOpenMenuLineItem(TsSkinProvider& p, int32_t index) {
  if (index == p.OpenMenuLineItem) return;
  const int32_t before = p.OpenMenuLineItem;
  p.OpenMenuLineItem = index;
  RepaintMenuLineEntries(p, before, index);
}

void ProviderSetHotMenuLineItem(TsSkinProvider& p, int32_t index) {
  if (index == p.HotMenuLineItem) return;
  const int32_t before = p.HotMenuLineItem;
  p.HotMenuLineItem = index;
  // While a menu runs the line shows the selected entry, none hot.
  if (p.MenuTracking) return;
  RepaintMenuLineEntries(p, before, index);
}

namespace {

// The windows of the visible windowed controls under parent: the show fade's picture printed them.
void PrintedWindows(gui::TWinControl& parent, std::vector<HWND>& out) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    auto* c = dynamic_cast<gui::TWinControl*>(parent.Controls(i));
    if (c == nullptr || !c->Visible() || !c->HandleAllocated()) continue;
    out.push_back(static_cast<HWND>(c->WindowHandle()));
    PrintedWindows(*c, out);
  }
}

// A child window that no control of the form stands for (made with CreateWindowEx, or a control's own part) is not
// in the picture: it paints itself, its children with it.
void RepaintUnprinted(HWND parent, const std::vector<HWND>& printed) {
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (std::find(printed.begin(), printed.end(), c) != printed.end())
      RepaintUnprinted(c, printed);
    else if (IsWindowVisible(c))
      RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

}  // namespace

bool ProviderShowFadePicture(TsSkinProvider& p) {
  const std::unique_ptr<Bitmap> picture = std::move(p.ShowPicture);
  HWND h = Handle(p);
  RECT w{};
  if (!picture || !h || !GetWindowRect(h, &w)) return false;
  const TPoint at = p.ShowPictureAt;
  const int32_t width = w.right - w.left, height = w.bottom - w.top;
  if (at.X < 0 || at.Y < 0 || at.X + width > picture->Width() || at.Y + height > picture->Height()) return false;
  // The window DC of a window is not clipped to its children: the picture covers them too, and nothing is left to
  // paint.
  picture->Flush();
  WithWindowDC(p, [&](HDC dc) { BitmapToDC(dc, 0, 0, width, height, *picture, at.X, at.Y); });
  GdiFlush();
  RedrawWindow(h, nullptr, nullptr, RDW_VALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_NOFRAME);
  std::vector<HWND> printed;
  PrintedWindows(*p.Form(), printed);
  RepaintUnprinted(h, printed);
  return true;
}

void DrawFormIcon(TsSkinProvider& p, Bitmap& bmp, const TRect& R) { DrawWindowIcon(Handle(p), bmp, R); }

void ProviderPaintFormOnCache(TsSkinProvider& p) {
  gui::TCustomForm& form = *p.Form();
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (!form.OnPaint || cache == nullptr || cache->Empty()) return;
  const int32_t left = ProviderClientLeft(p), top = ProviderClientTop(p);
  const TSize client = FormClientSize(form);
  {
    BitmapDC dc(*cache);
    if (!dc.dc()) return;
    const int saved = SaveDC(dc.dc());
    SetViewportOrgEx(dc.dc(), left, top, nullptr);
    IntersectClipRect(dc.dc(), 0, 0, client.cx, client.cy);
    form.Canvas().SetHandle(dc.dc());
    form.OnPaint(&form);
    form.Canvas().SetHandle(nullptr);
    RestoreDC(dc.dc(), saved);
    GdiFlush();
  }
  // The system's drawing leaves no alpha: the client part is opaque (a border window's image shows it).
  SetAlphaRect(*cache, TRect{left, top, left + client.cx, top + client.cy}, 255, clNone);
}

void DrawFormIconOf(const gui::TCustomForm& form, Bitmap& bmp, const TRect& R) {
  if (form.HandleAllocated()) DrawWindowIcon(form.WindowHandle(), bmp, R);
}

void ProviderCopyCacheRectToFormWindow(TsSkinProvider& p, const TRect& r) {
  const Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || RectIsEmpty(r)) return;
  const TPoint o = ProviderCacheOrigin(p);
  WithWindowDC(p, [&](HDC dc) {
    BitmapToDC(dc, r.Left - o.X, r.Top - o.Y, r.Width(), r.Height(), *cache, r.Left, r.Top);
  });
}

void DrawWindowIcon(HWND h, Bitmap& bmp, const TRect& R) {
  if (!h || RectIsEmpty(R)) return;
  HICON icon = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(h, GCLP_HICONSM));
  if (!icon) icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  if (!icon) return;
  BitmapDC mem(bmp);
  if (!mem.dc()) return;
  DrawIconEx(mem.dc(), R.Left, R.Top, icon, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  // The caption under the icon is opaque; so is the icon in the frame's image.
  SetAlphaRect(bmp, R, 255, clNone);
}

}  // namespace skin
