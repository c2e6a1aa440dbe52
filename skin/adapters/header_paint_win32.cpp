// Column headers drawn by their adapter: the subclassing and one column's cell.
#include "skin/adapters/header_paint.h"

#include <algorithm>

#include "skin/adapters/adapter_lifetime.h"
#include "skin/adapters/window_proc_win32.h"
#include "skin/data/maskdata.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"
#include "skin/painters/text_engine.h"

namespace skin {

// What the header's replacement procedure reaches: the host (nullptr once it let go while another procedure sat
// over the header) and the procedure it replaced. Freed when the header goes, or when the host puts the header's
// procedure back.
struct HeaderLink {
  HeaderHost* Host = nullptr;
  SubclassedHeader* Owner = nullptr;
  WNDPROC Old = nullptr;
  bool Unicode = false;
};

namespace {

constexpr char kHeaderProp[] = "ACLVHEADER";

LRESULT CallLinkOld(const HeaderLink& link, HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (link.Old == nullptr) return link.Unicode ? DefWindowProcW(h, msg, w, l) : DefWindowProcA(h, msg, w, l);
  return link.Unicode ? CallWindowProcW(link.Old, h, msg, w, l) : CallWindowProcA(link.Old, h, msg, w, l);
}

LRESULT CALLBACK HeaderProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* link = static_cast<HeaderLink*>(GetPropA(h, kHeaderProp));
  if (link == nullptr) return IsWindowUnicode(h) ? DefWindowProcW(h, msg, w, l) : DefWindowProcA(h, msg, w, l);
  LRESULT result = 0;
  {
    AdapterProcScope scope;
    HeaderHost* host = link->Host;
    if (host != nullptr && host->HeaderHostLive()) {
      gui::TMessage m{msg, w, l, 0};
      try {
        host->HeaderMessage(m);
        result = m.Result;
      } catch (...) {
        result = CallLinkOld(*link, h, msg, w, l);
      }
    } else {
      result = CallLinkOld(*link, h, msg, w, l);
    }
  }
  if (msg == WM_NCDESTROY && GetPropA(h, kHeaderProp) == link) {
    RemovePropA(h, kHeaderProp);
    if (CurrentProc(h, link->Unicode) == HeaderProc) SetProc(h, link->Unicode, link->Old);
    if (link->Owner != nullptr) link->Owner->Gone(link);
    if (link->Host != nullptr) link->Host->HeaderGone();
    delete link;
  }
  return result;
}

}  // namespace

bool SubclassedHeader::Attach(HWND Wnd, HeaderHost* Host) {
  if (Wnd == nullptr || wnd_ != nullptr || link_ != nullptr || GetPropA(Wnd, kHeaderProp) != nullptr) return false;
  auto* link = new HeaderLink();
  link->Host = Host;
  link->Owner = this;
  link->Unicode = IsWindowUnicode(Wnd) != FALSE;
  link->Old = CurrentProc(Wnd, link->Unicode);
  SetPropA(Wnd, kHeaderProp, link);
  SetProc(Wnd, link->Unicode, HeaderProc);
  link_ = link;
  wnd_ = Wnd;
  return true;
}

void SubclassedHeader::Release() {
  HeaderLink* link = link_;
  link_ = nullptr;
  const HWND h = wnd_;
  wnd_ = nullptr;
  if (link == nullptr) return;
  if (h != nullptr && IsWindow(h) && GetPropA(h, kHeaderProp) == link && CurrentProc(h, link->Unicode) == HeaderProc) {
    // Still ours: the header gets its procedure back.
    SetProc(h, link->Unicode, link->Old);
    RemovePropA(h, kHeaderProp);
    delete link;
    return;
  }
  // Another procedure sits over ours (or the header is gone): the link keeps forwarding until the header goes.
  link->Host = nullptr;
  link->Owner = nullptr;
  if (h == nullptr || !IsWindow(h)) {
    if (h != nullptr && GetPropA(h, kHeaderProp) == link) RemovePropA(h, kHeaderProp);
    delete link;
  }
}

void SubclassedHeader::Gone(const HeaderLink* Link) {
  if (Link == nullptr || link_ != Link) return;
  link_ = nullptr;
  wnd_ = nullptr;
}

WNDPROC SubclassedHeader::OldProc() const { return link_ != nullptr ? link_->Old : nullptr; }

LRESULT SubclassedHeader::CallOld(UINT Msg, WPARAM W, LPARAM L) const {
  if (link_ == nullptr || wnd_ == nullptr) return 0;
  return CallLinkOld(*link_, wnd_, Msg, W, L);
}

void PaintHeaderColumns(HWND h, HDC DC, const std::function<void(const RECT&, int32_t, HDC)>& Paint) {
  if (h == nullptr) return;
  PAINTSTRUCT ps{};
  HDC dc = DC;
  if (dc == nullptr) dc = BeginPaint(h, &ps);
  if (dc != nullptr) {
    RECT client{};
    GetClientRect(h, &client);
    const int32_t count = int32_t(SendMessageA(h, HDM_GETITEMCOUNT, 0, 0));
    int32_t right = 0;
    for (int32_t order = 0; order < count; ++order) {
      const int32_t index = int32_t(SendMessageA(h, HDM_ORDERTOINDEX, WPARAM(order), 0));
      RECT r{};
      if (!SendMessageA(h, HDM_GETITEMRECT, WPARAM(index), LPARAM(&r)) || r.right <= r.left || r.bottom <= r.top)
        continue;
      Paint(r, index, dc);
      right = std::max<int32_t>(right, r.right);
    }
    if (right < client.right && client.bottom > 0) Paint(RECT{right, 0, client.right, client.bottom}, -2, dc);
  }
  if (DC == nullptr) EndPaint(h, &ps);
}

HeaderCell HeaderCellOf(HWND Header, int32_t Index) {
  HeaderCell cell;
  char text[1025] = {};
  HDITEMA item{};
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE | HDI_BITMAP | HDI_ORDER;
  item.pszText = text;
  item.cchTextMax = 1024;
  if (Header != nullptr && SendMessageA(Header, HDM_GETITEMA, WPARAM(Index), LPARAM(&item))) {
    cell.Text = text;
    cell.Format = item.fmt;
    cell.Image = item.iImage;
  }
  return cell;
}

void PaintHeaderCell(Bitmap& bmp, const HeaderCell* Cell, int32_t State, const gui::TFont& Font, TColor Under,
                     TsSkinManager* Manager, bool Enabled, bool Shift) {
  const int32_t w = bmp.Width(), ht = bmp.Height();
  if (w <= 0 || ht <= 0) return;
  const int32_t section = PaintSectionByName(bmp, "COLHEADER", "BUTTON", nullptr, Under, TPoint{}, Manager, State);
  if (Cell == nullptr) return;
  const TRect r{4, 1, w - 4, ht - 1};
  int imageW = 0, imageH = 0;
  int32_t imageSpace = 0;
  HIMAGELIST images = Cell->Images;
  if (images != nullptr && ImageList_GetIconSize(images, &imageW, &imageH) && Cell->Image >= 0 &&
      Cell->Image < ImageList_GetImageCount(images))
    imageSpace = imageW + 4;
  else
    images = nullptr;
  // The sort arrow's box: the skin's arrow glyph (its down or up scroll button's) with 6 pixels before it, else a
  // triangle of 6 x 3.
  int32_t arrowW = 0, arrowH = 0, direction = -1;
  const SkinImageRecord* arrowImage = nullptr;
  if (Cell->Format & (HDF_SORTDOWN | HDF_SORTUP)) {
    direction = (Cell->Format & HDF_SORTDOWN) ? 3 : 1;
    if (Manager != nullptr) {
      const SkinCommonIndexes& c = Manager->Skin().CommonIndexes;
      const int32_t glyph = (direction == 3 ? c.ScrollBtnBottom : c.ScrollBtnTop).GlyphIndex;
      if (SkinManagerIsValidImageIndex(*Manager, glyph)) arrowImage = &Manager->Skin().Images[size_t(glyph)];
    }
    if (arrowImage != nullptr) {
      arrowW = ImageStateWidth(*arrowImage) + 6;
      arrowH = ImageFrameHeight(*arrowImage);
    } else {
      arrowW = 6;
      arrowH = 3;
    }
  }
  const int32_t room = std::max<int32_t>(0, r.Width() - arrowW - imageSpace);
  const int32_t textW = std::min(CurrentTextEngine().Extent(Font, Cell->Text).cx + 5, Cell->Wrap ? room : INT32_MAX);
  int32_t left = r.Left + imageSpace;
  switch (Cell->Format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
      left = std::max<int32_t>(r.Left + imageSpace, r.Right - arrowW - textW);
      break;
    case HDF_CENTER:
      left = r.Left + imageSpace + (r.Width() - textW - arrowW - imageSpace) / 2;
      break;
    default:
      break;
  }
  TRect textRect{left, r.Top, std::min<int32_t>(left + textW, r.Right - arrowW), r.Bottom};
  uint32_t flags = dtEndEllipsis | dtExpandTabs | dtSingleLine | dtVCenter;
  if (Cell->Wrap) {
    // Lines broken at blanks, the block centred in the cell (DrawText centres single lines only).
    flags = dtEndEllipsis | dtExpandTabs | dtWordBreak;
    const TRect need = CurrentTextEngine().CalcRect(Font, Cell->Text, textRect, flags | dtCalcRect);
    const int32_t h = std::min(need.Height(), r.Height());
    textRect.Top = r.Top + (r.Height() - h) / 2;
    textRect.Bottom = textRect.Top + h;
  }
  if (Shift) textRect = TRect{textRect.Left + 1, textRect.Top + 1, textRect.Right + 1, textRect.Bottom + 1};
  if (direction >= 0) {
    if (arrowImage != nullptr) {
      const TPoint at{textRect.Right + 6, (ht - arrowH) / 2};
      DrawImageState(bmp, at, std::min<int32_t>(State, std::max<int16_t>(arrowImage->ImageCount, 1) - 1),
                     CacheInfoFromBitmap(&bmp, 0, 0), *arrowImage, 1);
    } else {
      const TColor arrowColour =
          section >= 0 && Manager != nullptr
              ? SectionStateBlock(Manager->Skin().Sections[size_t(section)], std::min(State, 1)).FontColor
              : ColorToRGB(clWindowText);
      const int32_t ay = (ht - arrowH) / 2;
      DrawArrowGlyph(bmp, arrowColour, TRect{textRect.Right, ay, textRect.Right + arrowW, ay + arrowH}, direction);
    }
  }
  if (images != nullptr) {
    BitmapDC idc(bmp);
    if (idc.dc() != nullptr) {
      const int x = textRect.Left - imageSpace, y = (ht - imageH) / 2 + (State == 2 ? 1 : 0);
      ImageList_DrawEx(images, Cell->Image, idc.dc(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                       Enabled ? ILD_TRANSPARENT : ILD_TRANSPARENT | ILD_BLEND50);
      GdiFlush();
      SetAlphaRect(bmp, TRect{x, y, x + imageW, y + imageH}, 255, clNone);
    }
  }
  WriteTextSectionEx(bmp, Font, Cell->Text, Enabled, Manager, textRect, State, section, flags);
}

}  // namespace skin
