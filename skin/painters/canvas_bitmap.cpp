#include "skin/painters/canvas_bitmap.h"

#include <algorithm>
#include <cstring>

namespace skin {

std::unique_ptr<Bitmap> NewBitmap32ForControl(const gui::TControl& control) {
  return std::make_unique<Bitmap>(std::max(control.Width(), 0), std::max(control.Height(), 0), pf32bit);
}

namespace {
// bmp's rows to or from a 32-bit bitmap of the component layer of the same size.
void RowsToGui(const Bitmap& bmp, gui::TBitmap& g) {
  for (int32_t y = 0; y < bmp.Height(); ++y) std::memcpy(g.ScanLine(y), bmp.ScanLine(y), size_t(bmp.Width()) * 4);
}
void RowsFromGui(gui::TBitmap& g, Bitmap& bmp) {
  for (int32_t y = 0; y < bmp.Height(); ++y) std::memcpy(bmp.ScanLine(y), g.ScanLine(y), size_t(bmp.Width()) * 4);
}
gui::TBitmap& Scratch(int32_t w, int32_t h) {
  static gui::TBitmap scratch;  // GUI thread only; kept between calls
  if (scratch.PixelFormat() != gui::TPixelFormat::pf32bit) scratch.SetPixelFormat(gui::TPixelFormat::pf32bit);
  if (scratch.Width() != w || scratch.Height() != h) scratch.SetSize(w, h);
  return scratch;
}
}  // namespace

void CanvasToBitmap(gui::TCanvas& canvas, int32_t x, int32_t y, Bitmap& bmp) {
  if (bmp.Empty()) return;
  if (bmp.PixelFormat() != pf32bit) bmp.SetPixelFormat(pf32bit);
  const int32_t w = bmp.Width(), h = bmp.Height();
  gui::TBitmap& g = Scratch(w, h);
  RowsToGui(bmp, g);  // what the canvas does not cover stays
  g.Canvas().CopyRect(gui::Rect(0, 0, w, h), canvas, gui::Rect(x, y, x + w, y + h));
  RowsFromGui(g, bmp);
}

void BitmapToCanvas(const Bitmap& bmp, gui::TCanvas& canvas, int32_t x, int32_t y) {
  if (bmp.Empty()) return;
  const int32_t w = bmp.Width(), h = bmp.Height();
  gui::TBitmap& g = Scratch(w, h);
  if (bmp.PixelFormat() == pf32bit) {
    RowsToGui(bmp, g);
  } else {
    Bitmap copy;
    copy.Assign(bmp);
    copy.SetPixelFormat(pf32bit);
    RowsToGui(copy, g);
  }
  canvas.CopyRect(gui::Rect(x, y, x + w, y + h), g.Canvas(), gui::Rect(0, 0, w, h));
}

void BitmapToGuiBitmap(const Bitmap& bmp, gui::TBitmap& out) {
  const bool alpha = bmp.PixelFormat() == pf32bit;
  out.SetPixelFormat(alpha ? gui::TPixelFormat::pf32bit : gui::TPixelFormat::pf24bit);
  out.SetSize(bmp.Width(), bmp.Height());
  out.SetTransparent(bmp.Transparent());
  out.SetTransparentColor(bmp.TransparentColor());
  if (bmp.Empty()) return;
  const Bitmap* src = &bmp;
  Bitmap copy;
  if (!alpha) {
    copy.Assign(bmp);
    copy.SetPixelFormat(pf32bit);
    src = &copy;
  }
  for (int32_t y = 0; y < bmp.Height(); ++y) {
    const uint8_t* s = src->ScanLine(y);
    uint8_t* d = out.ScanLine(y);
    if (alpha) {
      std::memcpy(d, s, size_t(bmp.Width()) * 4);
      continue;
    }
    for (int32_t x = 0; x < bmp.Width(); ++x, s += 4, d += 3) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

}  // namespace skin
