#include <windows.h>

#include <string>
#include <vector>

#include "gui/graphics.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"

namespace skin {

namespace {

int Length(std::string_view text) { return int(std::min<size_t>(text.size(), 0x7FFFFFFF)); }

// A pen of one pixel, deleted on every path.
class Pen {
 public:
  explicit Pen(TColor color) : pen_(ledger::CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(color)) & 0xFFFFFF)) {}
  ~Pen() {
    if (pen_ != nullptr) ledger::DeleteObject(pen_);
  }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;
  HPEN get() const { return pen_; }

 private:
  HPEN pen_;
};

}  // namespace

void DrawTextString(HDC dc, std::string_view text, TRect& R, uint32_t flags) {
  if (dc == nullptr) return;
  const std::string copy(text);
  RECT rc{R.Left, R.Top, R.Right, R.Bottom};
  DrawTextA(dc, copy.c_str(), Length(copy), &rc, UINT(flags));
  if (flags & DT_CALCRECT) R = TRect{rc.left, rc.top, rc.right, rc.bottom};
}

void DrawTextCanvas(gui::TCanvas& canvas, std::string_view text, TRect& R, uint32_t flags) {
  HDC dc = canvas.Handle();
  if (dc == nullptr) {
    if (flags & dtCalcRect) R = CurrentTextEngine().CalcRect(canvas.Font(), text, R, flags);
    return;
  }
  HGDIOBJ old = SelectObject(dc, canvas.Font().Handle());
  SetTextColor(dc, gui::ColorToRGB(canvas.Font().Color()));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextString(dc, text, R, flags);
  SetBkMode(dc, oldMode);
  if (old != nullptr) SelectObject(dc, old);
}

TSize TextExtentDC(HDC dc, std::string_view text) {
  SIZE size{};
  if (dc == nullptr || !GetTextExtentPoint32A(dc, text.data(), Length(text), &size)) return TSize{};
  return TSize{int32_t(size.cx), int32_t(size.cy)};
}

void DrawFocusFrame(HDC dc, TRect& R, TColor topLeftColor, int32_t width, TColor bottomRightColor) {
  if (dc == nullptr) return;
  Pen first(topLeftColor), second(bottomRightColor);
  if (first.get() == nullptr || second.get() == nullptr) return;
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, first.get());
  --R.Right;
  --R.Bottom;
  for (int32_t i = 0; i < width; ++i) {
    SelectObject(dc, first.get());
    const POINT topLeft[3] = {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}};
    Polyline(dc, topLeft, 3);
    SelectObject(dc, second.get());
    const POINT bottomRight[3] = {{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left - 1, R.Bottom}};
    Polyline(dc, bottomRight, 3);
    R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

HICON MakeIconFromBitmap(const Bitmap& graphic, TColor background) {
  if (graphic.Empty()) return nullptr;
  const int32_t w = graphic.Width(), h = graphic.Height();
  Bitmap work(w, h, pf32bit);
  FillRectBitmap32(work, TRect{0, 0, w, h}, background, 0);
  if (graphic.PixelFormat() == pf32bit) {
    AlphaBlendBitmap32(TPoint{}, TRect{0, 0, w, h}, graphic, false, 0, clNone, false, EmptyCacheInfo, work);
    // The graphic's own alpha makes the icon's.
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        SetPixel32(work, x, y, (GetPixel32(work, x, y) & 0x00FFFFFFu) | (GetPixel32(graphic, x, y) & 0xFF000000u));
  } else {
    Bitmap copy;
    copy.Assign(graphic);
    copy.SetPixelFormat(pf32bit);  // 0xFF00FF becomes the key value (alpha 0)
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t p = GetPixel32(copy, x, y);
        SetPixel32(work, x, y, p == KeyPixel ? (GetPixel32(work, x, y) & 0x00FFFFFFu) : (p | 0xFF000000u));
      }
  }
  // The monochrome mask: set where the icon is transparent.
  const size_t stride = size_t((w + 15) / 16) * 2;
  std::vector<uint8_t> bits(stride * size_t(h), 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if ((GetPixel32(work, x, y) >> 24) == 0) bits[size_t(y) * stride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
  HBITMAP mask = ledger::CreateBitmap(w, h, 1, 1, bits.data());
  if (mask == nullptr) return nullptr;
  work.Flush();
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = static_cast<HBITMAP>(work.Handle());
  HICON icon = ledger::CreateIconIndirect(&info);
  ledger::DeleteObject(mask);
  return icon;
}

}  // namespace skin
