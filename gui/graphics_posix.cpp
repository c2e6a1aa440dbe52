// The headless half of canvases and bitmaps: a bitmap is a plain pixel buffer, and a canvas draws into its
// bitmap's pixels (fills, frames, rectangles, lines, copies, single pixels); text is measured with fixed
// metrics and not rasterised. No device context exists natively: fonts have no handle.
#include <algorithm>
#include <cstdlib>

#include "gui/graphics.h"

namespace gui {

void TFont::FreeHandle() const {}

void TCanvas::Select() {}

void TCanvas::Unselect() {}

namespace {
// Native drawing helpers on a bitmap's pixel buffer.
void PutPixel(TBitmap* bmp, int x, int y, uint32_t rgb) {
  if (!bmp || x < 0 || y < 0 || x >= bmp->Width() || y >= bmp->Height()) return;
  uint8_t* p = bmp->ScanLine(y) + x * bmp->BytesPerPixel();
  p[0] = GetBValue(rgb);
  p[1] = GetGValue(rgb);
  p[2] = GetRValue(rgb);
  if (bmp->BytesPerPixel() == 4) p[3] = 0;
}
uint32_t GetPixelRGB(const TBitmap* bmp, int x, int y) {
  const uint8_t* p = bmp->ScanLine(y) + x * bmp->BytesPerPixel();
  return RGB(p[2], p[1], p[0]);
}
}  // namespace

void TCanvas::FillRect(const TRect& r) {
  if (!bitmap_ || brush_.Style == TBrushStyle::bsClear) return;
  const uint32_t rgb = ColorRef(brush_.Color);
  const int x0 = std::max(0, r.Left), x1 = std::min(bitmap_->Width(), r.Right);
  const int y0 = std::max(0, r.Top), y1 = std::min(bitmap_->Height(), r.Bottom);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) PutPixel(bitmap_, x, y, rgb);
}

void TCanvas::FrameRect(const TRect& r) {
  if (!bitmap_ || r.IsEmpty()) return;
  const uint32_t rgb = ColorRef(brush_.Color);
  for (int x = r.Left; x < r.Right; ++x) {
    PutPixel(bitmap_, x, r.Top, rgb);
    PutPixel(bitmap_, x, r.Bottom - 1, rgb);
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    PutPixel(bitmap_, r.Left, y, rgb);
    PutPixel(bitmap_, r.Right - 1, y, rgb);
  }
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (!bitmap_) return;
  TRect inner{x1 + 1, y1 + 1, x2 - 1, y2 - 1};
  FillRect(inner);
  if (pen_.Style == TPenStyle::psClear) return;
  const uint32_t rgb = ColorRef(pen_.Color);
  for (int x = x1; x < x2; ++x) {
    PutPixel(bitmap_, x, y1, rgb);
    PutPixel(bitmap_, x, y2 - 1, rgb);
  }
  for (int y = y1; y < y2; ++y) {
    PutPixel(bitmap_, x1, y, rgb);
    PutPixel(bitmap_, x2 - 1, y, rgb);
  }
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  FillRect(r);
  (void)x;
  (void)y;
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  PutPixel(bitmap_, x, y, ColorRef(c));
}

void TCanvas::MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y) {
  if (bitmap_ && pen_.Style != TPenStyle::psClear) {
    // Bresenham, the end point excluded as GDI does.
    const uint32_t rgb = ColorRef(pen_.Color);
    int x0 = penPos_.X, y0 = penPos_.Y;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (!(x0 == x && y0 == y)) {
      PutPixel(bitmap_, x0, y0, rgb);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }
  penPos_ = TPoint{x, y};
}

void TCanvas::TextOut(int x, int y, const std::string& text) { penPos_ = TPoint{x + TextWidth(text), y}; }

TPoint TCanvas::TextExtent(const std::string& text) { return HeadlessTextExtent(font_, text); }

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bmp) {
  if (bmp.Empty() || dest.IsEmpty()) return;
  if (!bitmap_) return;
  const bool keyed = bmp.Transparent();
  const uint32_t key = keyed ? ColorRef(bmp.TransparentColor()) : 0;
  for (int y = dest.Top; y < dest.Bottom; ++y) {
    if (y < 0 || y >= bitmap_->Height()) continue;
    const int sy = static_cast<int>((static_cast<int64_t>(y - dest.Top) * bmp.Height()) / dest.Height());
    for (int x = dest.Left; x < dest.Right; ++x) {
      if (x < 0 || x >= bitmap_->Width()) continue;
      const int sx = static_cast<int>((static_cast<int64_t>(x - dest.Left) * bmp.Width()) / dest.Width());
      const uint32_t rgb = GetPixelRGB(&bmp, sx, sy);
      if (keyed && rgb == key) continue;
      PutPixel(bitmap_, x, y, rgb);
    }
  }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  if (dest.IsEmpty() || sourceRect.IsEmpty()) return;
  if (!bitmap_ || !source.bitmap_) return;
  const TBitmap* s = source.bitmap_;
  for (int y = dest.Top; y < dest.Bottom; ++y) {
    const int sy = sourceRect.Top + static_cast<int>((static_cast<int64_t>(y - dest.Top) * sourceRect.Height()) / dest.Height());
    if (y < 0 || y >= bitmap_->Height() || sy < 0 || sy >= s->Height()) continue;
    for (int x = dest.Left; x < dest.Right; ++x) {
      const int sx = sourceRect.Left + static_cast<int>((static_cast<int64_t>(x - dest.Left) * sourceRect.Width()) / dest.Width());
      if (x < 0 || x >= bitmap_->Width() || sx < 0 || sx >= s->Width()) continue;
      PutPixel(bitmap_, x, y, GetPixelRGB(s, sx, sy));
    }
  }
}

TColor TCanvas::Pixel(int x, int y) {
  if (!bitmap_ || x < 0 || y < 0 || x >= bitmap_->Width() || y >= bitmap_->Height()) return clNone;
  return static_cast<TColor>(GetPixelRGB(bitmap_, x, y));
}

void TBitmap::Release() {
  buffer_.clear();
  bits_ = nullptr;
}

void TBitmap::AllocatePixels() {
  buffer_.assign(static_cast<size_t>(stride_) * height_, 0);
  bits_ = buffer_.data();
}

uint8_t* TBitmap::ScanLine(int y) {
  if (!bits_ || y < 0 || y >= height_) throw std::out_of_range("TBitmap::ScanLine: row out of range");
  return bits_ + static_cast<size_t>(y) * stride_;
}

void TBitmap::AttachCanvas() {}

}  // namespace gui
