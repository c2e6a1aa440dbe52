#include <windows.h>

#include <cstring>
#include <new>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin::detail {

namespace {
struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};
}  // namespace

PixelBuffer AllocatePixels(int32_t width, int32_t height, int bitsPerPixel, size_t, const std::vector<TRGBQuad>& palette) {
  DibInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;  // positive: bottom-up rows
  info.header.biPlanes = 1;
  info.header.biBitCount = WORD(bitsPerPixel);
  info.header.biCompression = BI_RGB;
  if (bitsPerPixel <= 8) {
    info.header.biClrUsed = DWORD(1u << bitsPerPixel);
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
      info.colors[i] = RGBQUAD{palette[i].rgbBlue, palette[i].rgbGreen, palette[i].rgbRed, 0};
    }
  }
  void* bits = nullptr;
  HBITMAP handle = ledger::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (handle == nullptr || bits == nullptr) {
    if (handle != nullptr) ledger::DeleteObject(handle);
    throw std::bad_alloc();
  }
  // A new DIB section is zero-filled by the system.
  return PixelBuffer{static_cast<uint8_t*>(bits), handle};
}

void FreePixels(PixelBuffer& buffer) noexcept {
  if (buffer.handle != nullptr) ledger::DeleteObject(static_cast<HBITMAP>(buffer.handle));
  buffer.handle = nullptr;
  buffer.bits = nullptr;
}

void SetPixelsPalette(const PixelBuffer& buffer, const std::vector<TRGBQuad>& palette) noexcept {
  if (buffer.handle == nullptr || palette.empty()) return;
  RGBQUAD colors[256];
  const UINT count = UINT(palette.size() < 256 ? palette.size() : 256);
  for (UINT i = 0; i < count; ++i) colors[i] = RGBQUAD{palette[i].rgbBlue, palette[i].rgbGreen, palette[i].rgbRed, 0};
  HDC dc = ledger::CreateCompatibleDC(nullptr);
  if (dc == nullptr) return;
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(buffer.handle));
  SetDIBColorTable(dc, 0, count, colors);
  SelectObject(dc, old);
  ledger::DeleteDC(dc);
}

void FlushPixels() noexcept { GdiFlush(); }

}  // namespace skin::detail
