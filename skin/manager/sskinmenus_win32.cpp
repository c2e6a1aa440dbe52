// The skinned menus' window half: the screen's menu font, popup windows found from their device contexts, their
// regions, and the copies of the pictures into device contexts. Every GDI object made here goes through the leak
// ledger.
#include <windows.h>

#include <algorithm>

#include "skin/manager/sskinmenus_window.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/text_engine.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin::detail {

namespace {

constexpr UINT kMnGetHMenu = 0x01E1;  // MN_GETHMENU

HMENU MenuOfWindow(HWND wnd) { return reinterpret_cast<HMENU>(SendMessageA(wnd, kMnGetHMenu, 0, 0)); }

}  // namespace

void ScreenMenuFont(gui::TFont& Font) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    Font.Assign(gui::TFont());
    return;
  }
  Font.SetName(ncm.lfMenuFont.lfFaceName);
  Font.SetHeight(ncm.lfMenuFont.lfHeight);
  Font.SetCharset(ncm.lfMenuFont.lfCharSet);
  gui::TFontStyles style = 0;
  if (ncm.lfMenuFont.lfWeight >= FW_BOLD) style |= gui::fsBold;
  if (ncm.lfMenuFont.lfItalic) style |= gui::fsItalic;
  Font.SetStyle(style);
}

const char* SystemMenuSymbolFont() {
  static const char* const face =
      (FontFamilyInstalled("Webdings") || !FontFamilyInstalled("Marlett")) ? "Webdings" : "Marlett";
  return face;
}

void WithBitmapCanvas(Bitmap& Bmp, const std::function<void(gui::TCanvas&)>& Fn) {
  BitmapDC dc(Bmp);
  gui::TCanvas canvas;
  if (dc.dc()) canvas.SetHandle(dc.dc());
  struct Unbind {
    gui::TCanvas& c;
    ~Unbind() { c.SetHandle(nullptr); }
  } unbind{canvas};
  Fn(canvas);
  GdiFlush();
}

HWND MenuWindowOfCanvas(gui::TCanvas& Canvas) {
  HDC dc = Canvas.Handle();
  if (!dc) return nullptr;
  HWND w = WindowFromDC(dc);
  if (!w || GetWndClassName(w) != "#32768") return nullptr;
  return w;
}

TPoint ClientOffsetInWindow(HWND Wnd) {
  RECT w{};
  POINT origin{0, 0};
  if (!Wnd || !GetWindowRect(Wnd, &w) || !ClientToScreen(Wnd, &origin)) return {};
  return TPoint{origin.x - w.left, origin.y - w.top};
}

TSize WindowSize(HWND Wnd) {
  RECT w{};
  if (!Wnd || !GetWindowRect(Wnd, &w)) return {};
  return TSize{w.right - w.left, w.bottom - w.top};
}

gui::TMenuItem* FirstItemOfMenuWindow(HWND Wnd) {
  HMENU menu = Wnd ? MenuOfWindow(Wnd) : nullptr;
  if (!menu || !IsMenu(menu)) return nullptr;
  MENUITEMINFOA mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_DATA;
  if (!GetMenuItemInfoA(menu, 0, TRUE, &mi)) return nullptr;
  return gui::TMenuItem::FromCommand(UINT(mi.dwItemData));
}

void CopyFrameToWindow(HWND Wnd, const Bitmap& Bg) {
  if (!Wnd || Bg.Empty()) return;
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  // The items' area (in window coordinates) is left to the items.
  RECT items{0, 0, 0, 0};
  if (HMENU menu = MenuOfWindow(Wnd); menu && IsMenu(menu)) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      RECT r{};
      if (!GetMenuItemRect(Wnd, menu, UINT(i), &r)) continue;
      OffsetRect(&r, -wr.left, -wr.top);
      UnionRect(&items, &items, &r);
    }
  }
  BitmapDC src(Bg);
  HDC dc = ledger::GetWindowDC(Wnd);
  if (!dc || !src.dc()) {
    if (dc) ledger::ReleaseDC(Wnd, dc);
    return;
  }
  if (!IsRectEmpty(&items)) ExcludeClipRect(dc, items.left, items.top, items.right, items.bottom);
  BitBlt(dc, 0, 0, Bg.Width(), Bg.Height(), src.dc(), 0, 0, SRCCOPY);
  ledger::ReleaseDC(Wnd, dc);
}

void CopyToCanvas(gui::TCanvas& Canvas, const Bitmap& Bmp, const TRect& SrcRect, const TPoint& Dst) {
  HDC dc = Canvas.Handle();
  if (!dc) return;
  BitmapDC src(Bmp);
  if (!src.dc()) return;
  BitBlt(dc, Dst.X, Dst.Y, SrcRect.Width(), SrcRect.Height(), src.dc(), SrcRect.Left, SrcRect.Top, SRCCOPY);
}

void SetMenuWindowRegion(HWND Wnd, const TSize& Size, const std::vector<TRect>& CutOuts) {
  HRGN region = RegionWithoutRects(TRect{0, 0, Size.cx, Size.cy}, CutOuts);
  if (!region) return;
  if (!ledger::SetWindowRgn(Wnd, region, TRUE)) ledger::DeleteObject(region);
}

}  // namespace skin::detail
