// The list-view adapter and its column header.
#include "skin/adapters/aclistview.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/data/maskdata.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"
#include "skin/painters/text_engine.h"

namespace skin {

namespace {

constexpr UINT kLvmGetView = 0x108F;
constexpr UINT kLvmIsGroupViewEnabled = 0x10AF;

std::string HeaderClassOf(HWND h) {
  char cls[96] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

}  // namespace

TacListViewWnd::~TacListViewWnd() { ReleaseHeader(); }

int32_t TacListViewWnd::ListViewStyle() const {
  switch (SendMessageA(Handle, kLvmGetView, 0, 0)) {
    case 0: return 0;
    case 1: return 3;
    case 2: return 1;
    default: return 2;
  }
}

void TacListViewWnd::SubclassHeader(HWND Wnd) {
  if (Header != nullptr) return;
  if (header_.Attach(Wnd, this)) Header = Wnd;
}

void TacListViewWnd::ReleaseHeader() {
  header_.Release();
  Header = nullptr;
}

void TacListViewWnd::Initialize() {
  if (SkinData != nullptr) SkinData->ControlKind = ckListView;
  TacEditWnd::Initialize();
  HotColumn = -1;
  PressedColumn = -1;
  SubclassHeader(FindWindowExA(Handle, nullptr, "SysHeader32", nullptr));
}

void TacListViewWnd::SaveColors() {
  TacEditWnd::SaveColors();
  if (Handle == nullptr || colorsSaved_) return;
  savedBk_ = COLORREF(SendMessageA(Handle, LVM_GETBKCOLOR, 0, 0));
  savedTextBk_ = COLORREF(SendMessageA(Handle, LVM_GETTEXTBKCOLOR, 0, 0));
  savedText_ = COLORREF(SendMessageA(Handle, LVM_GETTEXTCOLOR, 0, 0));
  colorsSaved_ = true;
}

void TacListViewWnd::RestoreColors() {
  if (Handle != nullptr && IsWindow(Handle) && colorsSaved_ && !windowGoing_) {
    // The list view's own colours come back (not only its text colour).
    SendMessageA(Handle, LVM_SETBKCOLOR, 0, LPARAM(savedBk_));
    SendMessageA(Handle, LVM_SETTEXTBKCOLOR, 0, LPARAM(savedTextBk_));
    SendMessageA(Handle, LVM_SETTEXTCOLOR, 0, LPARAM(savedText_));
  }
  ReleaseHeader();
  TacEditWnd::RestoreColors();
}

void TacListViewWnd::SetSkinColors() {
  if (Updating) return;
  TacEditWnd::SetSkinColors();
  ApplyListColors();
}

void TacListViewWnd::ApplyListColors() {
  auto set = [this](UINT get, UINT put, TColor colour) {
    const COLORREF c = COLORREF(ColorToRGB(colour));
    if (COLORREF(SendMessageA(Handle, get, 0, 0)) != c) SendMessageA(Handle, put, 0, LPARAM(c));
  };
  if (CreatedByDispatcher) {
    set(LVM_GETBKCOLOR, LVM_SETBKCOLOR, clWindow);
    set(LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, clWindow);
    set(LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, clWindowText);
    return;
  }
  TsSkinManager* m = SkinManager;
  if (m == nullptr || SkinData == nullptr || !SkinManagerIsValidSectionIndex(m->Skin(), SkinData->SkinIndex)) return;
  const SkinSectionRecord& section = m->Skin().Sections[size_t(SkinData->SkinIndex)];
  const bool hot = CommonDataIsFocusedLook(*SkinData) && section.States > 1;
  const SkinStateBlock& block = SectionStateBlock(section, hot ? 1 : 0);
  if (!SkinData->CustomColor) {
    set(LVM_GETBKCOLOR, LVM_SETBKCOLOR, block.Color);
    set(LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, block.Color);
  }
  if (!SkinData->CustomFont) set(LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, block.FontColor);
}

void TacListViewWnd::ScrollMessage(gui::TMessage& m) {
  const bool vertical = m.Msg == WM_VSCROLL;
  if (LOWORD(m.WParam) != SB_THUMBTRACK) {
    // The engine sent the position in LParam; the list view reads LParam as a scroll-bar control.
    m.LParam = 0;
    TacEditWnd::WndProc(m);
    return;
  }
  const int32_t pos = m.LParam != 0 ? int32_t(m.LParam) : int32_t(HIWORD(m.WParam));
  const int32_t last = ScrollEngine().LastTrackPos;
  if (vertical && pos == last) return;
  int32_t delta = pos - last;
  const int32_t style = ListViewStyle();
  RECT item{};
  item.left = LVIR_BOUNDS;
  if (!vertical && style == 2) {
    if (SendMessageA(Handle, LVM_GETITEMRECT, 0, LPARAM(&item))) delta *= item.right - item.left;
  } else if (vertical && style == 3 && SendMessageA(Handle, kLvmIsGroupViewEnabled, 0, 0) == 0) {
    if (SendMessageA(Handle, LVM_GETITEMRECT, 0, LPARAM(&item))) delta *= item.bottom - item.top;
  }
  SendMessageA(Handle, LVM_SCROLL, vertical ? 0 : WPARAM(delta), vertical ? LPARAM(delta) : 0);
  m.Result = 0;
}

void TacListViewWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_SKINLOADED && !Destroyed) {
    TacEditWnd::WndProc(m);
    // A skin removal let the header go: a new skin takes it again.
    if (!Destroyed && m.LParam == reinterpret_cast<LPARAM>(SkinManager) && Header == nullptr && IsSkinned())
      SubclassHeader(FindWindowExA(Handle, nullptr, "SysHeader32", nullptr));
    return;
  }
  if (Destroyed || !IsSkinned()) {
    TacEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollMessage(m);
      return;
    case WM_PRINT:
      WindowRectInParent();
      if (!Skinned) SetSkinColors();
      if (HDC dc = reinterpret_cast<HDC>(m.WParam)) {
        HBRUSH brush = ledger::CreateSolidBrush(COLORREF(ColorToRGB(BgColor)));
        const RECT all{0, 0, WndSize.cx, WndSize.cy};
        FillRect(dc, &all, brush);
        ledger::DeleteObject(brush);
      }
      break;
    case WM_SKINCOMMAND:
      if (!AcceptSkinCommand(m)) break;
      switch (SkinCommandCode(m.WParam)) {
        case AC_SKINREFRESH:
          if (m.LParam != reinterpret_cast<LPARAM>(SkinManager)) break;
          TacEditWnd::WndProc(m);
          if (!Destroyed && Header != nullptr)
            RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
          return;
        case AC_GETSKININDEX:
          if (m.LParam != 0) *reinterpret_cast<int32_t*>(m.LParam) = SkinData->SkinIndex;
          return;
        case AC_SCROLLBEGIN:
          m.Result = 1;  // the position comes in LParam; the engine leaves the scroll information alone
          return;
        default:
          break;
      }
      break;
    case WM_PAINT:
      // The list view's colours before it paints (the cache is not made again for that).
      if (!Skinned)
        SetSkinColors();
      else
        ApplyListColors();
      break;
    case WM_NCHITTEST:
      if (HotColumn != -1 || PressedColumn != -1) {
        HotColumn = -1;
        PressedColumn = -1;
        if (Header != nullptr) RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
      break;
    case WM_NCPAINT:
      m.Result = 0;
      break;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_PRINT:
      if (ListViewStyle() == 3 && Header != nullptr && m.WParam != 0) {
        const HDC dc = reinterpret_cast<HDC>(m.WParam);
        const int saved = SaveDC(dc);
        POINT old{};
        OffsetViewportOrgEx(dc, BorderLeft, BorderLeft, &old);
        const int32_t bars = (VertBar && VertBar->Visible) ? ScrollBarSize(VertBar.get(), true) : 0;
        const int32_t hbars = (HorzBar && HorzBar->Visible) ? ScrollBarSize(HorzBar.get(), true) : 0;
        const int32_t w = (SkinData->CacheBmp ? SkinData->CacheBmp->Width() : WndSize.cx) - 2 * BorderLeft - bars;
        const int32_t h = (SkinData->CacheBmp ? SkinData->CacheBmp->Height() : WndSize.cy) - 2 * BorderLeft - hbars;
        IntersectClipRect(dc, 0, 0, w, h);
        PaintHeader(dc);
        RestoreDC(dc, saved);
      }
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE) {
        const HWND child = reinterpret_cast<HWND>(m.LParam);
        if (child != nullptr && HeaderClassOf(child) == "SysHeader32") {
          if (Header == nullptr)
            SubclassHeader(child);
          else if (Header != child)
            ReleaseHeader();
        }
      }
      break;
    case WM_SIZE:
      SkinData->BGChanged = true;
      PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
      InvalidateRect(Handle, nullptr, TRUE);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      SetSkinColors();
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    case WM_STYLECHANGED:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_ARRANGE:
      if (!CommonDataIsUpdating(*SkinData, false)) RefreshScrollBars(this, true);
      break;
    default:
      break;
  }
}

// ---- The header.

void TacListViewWnd::HeaderMessage(gui::TMessage& m) {
  const HWND h = Header;
  if (h == nullptr || header_.Wnd() != h) return;
  auto passOn = [&] { m.Result = header_.CallOld(m.Msg, m.WParam, m.LParam); };
  if (ListViewStyle() != 3) {
    passOn();
    return;
  }
  switch (m.Msg) {
    case WM_NCDESTROY:
      passOn();
      Header = nullptr;
      return;
    case WM_PAINT:
      PaintHeader(nullptr);
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_WINDOWPOSCHANGING:
      if (IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 0, 0);
      passOn();
      return;
    case WM_NCHITTEST: {
      passOn();
      const POINT p{int(short(LOWORD(m.LParam))), int(short(HIWORD(m.LParam)))};
      const int32_t order = HeaderItemAt(p);
      const int32_t index = order < 0 ? order : int32_t(SendMessageA(h, HDM_ORDERTOINDEX, WPARAM(order), 0));
      if (index != HotColumn) {
        HotColumn = index;
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
      return;
    }
    case WM_LBUTTONUP:
      PressedColumn = -1;
      passOn();
      return;
    case WM_LBUTTONDOWN: {
      passOn();
      if (Header != h) return;
      HDHITTESTINFO hit{};
      hit.pt = POINT{int(short(LOWORD(m.LParam))), int(short(HIWORD(m.LParam)))};
      const int32_t item = int32_t(SendMessageA(h, HDM_HITTEST, 0, LPARAM(&hit)));
      PressedColumn = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : item;
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE);
      return;
    }
    default:
      passOn();
      return;
  }
}

TRect TacListViewWnd::HeaderItemRect(int32_t Order) const {
  if (Header == nullptr) return TRect{};
  const int32_t index = int32_t(SendMessageA(Header, HDM_ORDERTOINDEX, WPARAM(Order), 0));
  RECT r{};
  if (!SendMessageA(Header, HDM_GETITEMRECT, WPARAM(index), LPARAM(&r))) return TRect{};
  return TRect{r.left, r.top, r.right, r.bottom};
}

int32_t TacListViewWnd::HeaderItemAt(const POINT& ScreenPoint) const {
  if (Header == nullptr) return -2;
  POINT p = ScreenPoint;
  ScreenToClient(Header, &p);
  const int32_t count = int32_t(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
  for (int32_t i = 0; i < count; ++i) {
    const TRect r = HeaderItemRect(i);
    if (p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom) return i;
  }
  return -2;
}

void TacListViewWnd::PaintHeader(HDC DC) {
  PaintHeaderColumns(Header, DC, [this](const RECT& r, int32_t index, HDC dc) {
    PaintHeaderItem(TRect{r.left, r.top, r.right, r.bottom}, index, dc);
  });
}

void TacListViewWnd::PaintHeaderItem(const TRect& ItemRect, int32_t Index, HDC DC) {
  const HWND h = Header;
  const int32_t w = ItemRect.Width(), ht = ItemRect.Height();
  if (h == nullptr || w <= 0 || ht <= 0) return;
  Bitmap bmp(w, ht, pf32bit);
  int32_t state = 0;
  if (PressedColumn >= 0)
    state = PressedColumn == Index ? 2 : 0;
  else if (Index == HotColumn)
    state = 1;
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  const TColor under = control != nullptr ? ControlBgColor(control) : ColorToRGB(clWindow);
  gui::TFont font;
  SelectAdapterFont(this, font);
  HeaderCell cell;
  if (Index >= 0) {
    cell = HeaderCellOf(h, Index);
    // The column's image: from the list view's small images (which it hands to its header), else the header's.
    if (cell.Format & (HDF_IMAGE | HDF_OWNERDRAW)) {
      cell.Images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
      if (cell.Images == nullptr) cell.Images = reinterpret_cast<HIMAGELIST>(SendMessageA(h, HDM_GETIMAGELIST, 0, 0));
    }
  }
  const bool shift = state == 2 && (!IsSkinned() || SkinManager == nullptr || SkinManager->ButtonsOptions.ShiftContentOnClick);
  PaintHeaderCell(bmp, Index >= 0 ? &cell : nullptr, state, font, under, SkinManager, IsWindowEnabled(Handle) != FALSE,
                  shift);
  HDC dc = DC;
  if (dc == nullptr) dc = ledger::GetDC(h);
  if (dc != nullptr) BitmapToDC(dc, ItemRect.Left, ItemRect.Top, w, ht, bmp, 0, 0);
  if (DC == nullptr && dc != nullptr) ledger::ReleaseDC(h, dc);
}

}  // namespace skin
