#include <windows.h>

#include <vector>

#include "skin/pixels/pixel_helpers.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

void* IconFromBitmap32(Bitmap& bmp) {
  if (bmp.Empty()) return nullptr;
  bmp.SetPixelFormat(pf32bit);
  bmp.Flush();
  const int32_t w = bmp.Width(), h = bmp.Height();
  // Monochrome mask, 1 bit per pixel, rows padded to 16 bits: set where the pixel equals the top-left pixel.
  const size_t maskStride = size_t((w + 15) / 16) * 2;
  std::vector<uint8_t> maskBits(maskStride * size_t(h), 0);
  const uint32_t key = GetPixel32(bmp, 0, 0);
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(bmp.ScanLine(y));
    for (int32_t x = 0; x < w; ++x) {
      if (row[x] == key) maskBits[size_t(y) * maskStride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    }
  }
  HBITMAP mask = ledger::CreateBitmap(w, h, 1, 1, maskBits.data());
  if (mask == nullptr) return nullptr;
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = static_cast<HBITMAP>(bmp.Handle());
  HICON icon = ledger::CreateIconIndirect(&info);
  ledger::DeleteObject(mask);
  return icon;
}

}  // namespace skin
