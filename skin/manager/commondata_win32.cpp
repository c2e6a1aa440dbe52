// The skin data's window half: redraws, frame changes, the cursor test and the copies of a cached image into a
// device context around child controls. Every GDI object made here goes through the leak ledger.
#include <windows.h>

#include <vector>

#include "skin/manager/commondata.h"
#include "skin/manager/commondata_window.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/state_images.h"

namespace skin::detail {

void WindowRedraw(HWND Wnd, uint32_t Flags) {
  if (Wnd && IsWindow(Wnd)) RedrawWindow(Wnd, nullptr, nullptr, Flags);
}

void WindowInvalidate(HWND Wnd) {
  if (Wnd && IsWindow(Wnd)) InvalidateRect(Wnd, nullptr, TRUE);
}

void WindowSetPos(HWND Wnd, uint32_t Flags) {
  if (Wnd && IsWindow(Wnd)) SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, Flags);
}

LRESULT WindowSend(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) { return Wnd ? SendMessageA(Wnd, Msg, W, L) : 0; }

HWND WindowParent(HWND Wnd) { return Wnd ? GetParent(Wnd) : nullptr; }

TRect WindowBoundsInParent(HWND Wnd) {
  RECT r{};
  if (!Wnd || !GetWindowRect(Wnd, &r)) return {};
  if (HWND parent = GetParent(Wnd)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TRect WindowClientRect(HWND Wnd) {
  RECT r{};
  if (!Wnd || !GetClientRect(Wnd, &r)) return {};
  return TRect{r.left, r.top, r.right, r.bottom};
}

bool CursorInClient(HWND Wnd, int32_t ExtraRight, int32_t ExtraBottom) {
  if (!Wnd) return false;
  POINT p{};
  if (!GetCursorPos(&p) || !ScreenToClient(Wnd, &p)) return false;
  RECT r{};
  GetClientRect(Wnd, &r);
  r.right += ExtraRight;
  r.bottom += ExtraBottom;
  return PtInRect(&r, p) != FALSE;
}

void FillDC(void* DC, const TRect& R, TColor Color) {
  if (!DC) return;
  HBRUSH b = ledger::CreateSolidBrush(COLORREF(ColorToRGB(Color)) & 0x00FFFFFF);
  const RECT r{R.Left, R.Top, R.Right, R.Bottom};
  FillRect(static_cast<HDC>(DC), &r, b);
  ledger::DeleteObject(b);
}

void CopyBitmapToDC(const Bitmap& Src, const TRect& SrcRect, void* DC, const TPoint& Dst) {
  if (!DC || !Src.Handle()) return;
  Src.Flush();
  HDC mem = ledger::CreateCompatibleDC(nullptr);
  if (!mem) return;
  HGDIOBJ old = SelectObject(mem, static_cast<HBITMAP>(Src.Handle()));
  BitBlt(static_cast<HDC>(DC), Dst.X, Dst.Y, SrcRect.Right - SrcRect.Left, SrcRect.Bottom - SrcRect.Top, mem,
         SrcRect.Left, SrcRect.Top, SRCCOPY);
  SelectObject(mem, old);
  ledger::DeleteDC(mem);
}

}  // namespace skin::detail

namespace skin {

namespace {

// The cache copied into the DC within R, the excluded rectangles left out; the DC's state restored.
void CopyCacheAround(TsCommonData& Data, const TRect& SrcRect, int32_t DstY, int32_t DstX, bool RepaintCorners,
                     HDC DC, const TRect& R, const std::vector<RECT>& excluded) {
  if (!Data.CacheBmp || Data.CacheBmp->Empty() || !DC) return;
  if (RepaintCorners) PaintParentCorners(Data, 0, 15);
  const int saved = SaveDC(DC);
  if (saved == 0) return;
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  for (const RECT& e : excluded) ExcludeClipRect(DC, e.left, e.top, e.right, e.bottom);
  detail::CopyBitmapToDC(*Data.CacheBmp,
                         TRect{SrcRect.Left, SrcRect.Top, SrcRect.Left + (R.Right - R.Left),
                               SrcRect.Top + (R.Bottom - R.Top)},
                         DC, TPoint{DstX, DstY});
  RestoreDC(DC, saved);
}

bool Intersects(const RECT& a, const TRect& b) {
  return a.left < b.Right && b.Left < a.right && a.top < b.Bottom && b.Top < a.bottom;
}

}  // namespace

void PaintChildrenToBitmap(gui::TWinControl* Control, TsCommonData& Data, const TRect& SrcRect, int32_t DstY,
                           int32_t DstX, bool RepaintCorners, HDC DC, const TRect& R) {
  if (!Control) return;
  std::vector<RECT> excluded;
  for (int i = 0; i < Control->ControlCount(); ++i) {
    gui::TControl* c = Control->Controls(i);
    if (!c->Visible()) continue;
    const RECT r{c->Left() + DstX - SrcRect.Left, c->Top() + DstY - SrcRect.Top,
                 c->Left() + c->Width() + DstX - SrcRect.Left, c->Top() + c->Height() + DstY - SrcRect.Top};
    if (Intersects(r, R)) excluded.push_back(r);
  }
  CopyCacheAround(Data, SrcRect, DstY, DstX, RepaintCorners, DC, R, excluded);
}

void PaintChildWindowsToDC(HWND Wnd, TsCommonData& Data, const TRect& SrcRect, int32_t DstY, int32_t DstX,
                           bool RepaintCorners, HDC DC, const TRect& R) {
  if (!Wnd) return;
  std::vector<RECT> excluded;
  const TsSkinManager* m = DefaultManager();
  int32_t gbLeft = 0, gbRight = 0, gbBottom = 0;
  if (m != nullptr) {
    const int32_t section = SkinManagerGetSectionIndex(*m, "GROUPBOX");
    if (section >= 0) {
      const int32_t border = m->Skin().Sections[size_t(section)].BorderIndex;
      gbLeft = SkinMaskBorderLeft(m->Skin(), border);
      gbRight = SkinMaskBorderRight(m->Skin(), border);
      gbBottom = SkinMaskBorderBottom(m->Skin(), border);
    }
  }
  for (HWND child = GetTopWindow(Wnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT wr{};
    GetWindowRect(child, &wr);
    MapWindowPoints(nullptr, Wnd, reinterpret_cast<POINT*>(&wr), 2);
    OffsetRect(&wr, DstX - SrcRect.Left, DstY - SrcRect.Top);
    if (!Intersects(wr, R)) continue;
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(child, GWL_EXSTYLE);
    const bool groupBox = _stricmp(GetWndClassName(child).c_str(), "Button") == 0 && IsGroupBoxStyle(uint32_t(style)) &&
                          !(exStyle & WS_EX_TRANSPARENT);
    if (groupBox && m != nullptr) {
      // Only the frame is the child's: its caption band and the left, right and bottom strips.
      const int32_t caption = int32_t(SendLibraryCommand(child, AC_GETFRAMEINFO, 0));
      excluded.push_back(RECT{wr.left, wr.top, wr.right, wr.top + caption});
      excluded.push_back(RECT{wr.left, wr.top, wr.left + gbLeft, wr.bottom});
      excluded.push_back(RECT{wr.right - gbRight, wr.top, wr.right, wr.bottom});
      excluded.push_back(RECT{wr.left, wr.bottom - gbBottom, wr.right, wr.bottom});
    } else {
      excluded.push_back(wr);
    }
  }
  CopyCacheAround(Data, SrcRect, DstY, DstX, RepaintCorners, DC, R, excluded);
}

}  // namespace skin
