#include "skin/painters/dc_copy.h"

#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"

namespace skin {

BitmapDC::BitmapDC(const Bitmap& bmp) {
  if (bmp.Handle() == nullptr) return;
  dc_ = ledger::CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) return;
  bmp.Flush();
  old_ = SelectObject(dc_, static_cast<HBITMAP>(bmp.Handle()));
  selected_ = old_ != nullptr && old_ != HGDI_ERROR;
}

BitmapDC::~BitmapDC() {
  if (dc_ == nullptr) return;
  if (selected_) SelectObject(dc_, old_);
  ledger::DeleteDC(dc_);
}

bool BitmapToDC(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h, const Bitmap& bmp, int32_t srcX, int32_t srcY) {
  if (dc == nullptr || w <= 0 || h <= 0) return false;
  BitmapDC source(bmp);
  if (source.dc() == nullptr) return false;
  return BitBlt(dc, x, y, w, h, source.dc(), srcX, srcY, SRCCOPY) != FALSE;
}

bool DCToBitmap(Bitmap& bmp, int32_t x, int32_t y, int32_t w, int32_t h, HDC dc, int32_t srcX, int32_t srcY) {
  if (dc == nullptr || w <= 0 || h <= 0) return false;
  const bool ok = [&] {
    BitmapDC target(bmp);
    if (target.dc() == nullptr) return false;
    const bool copied = BitBlt(target.dc(), x, y, w, h, dc, srcX, srcY, SRCCOPY) != FALSE;
    GdiFlush();
    return copied;
  }();
  return ok;
}

void StretchDrawAlpha(HDC dc, const TRect& R, const Bitmap& graphic) {
  if (dc == nullptr || graphic.Empty() || RectIsEmpty(R)) return;
  const int32_t w = R.Right - R.Left, h = R.Bottom - R.Top;
  Bitmap work(w, h, pf32bit);
  if (!DCToBitmap(work, 0, 0, w, h, dc, R.Left, R.Top)) return;
  StretchDrawAlpha(work, TRect{0, 0, w, h}, graphic);
  BitmapToDC(dc, R.Left, R.Top, w, h, work, 0, 0);
}

}  // namespace skin
