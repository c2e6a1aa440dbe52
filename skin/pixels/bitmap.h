#pragma once
// The device-independent bitmap that every painter of the skinning library works on.
//
// Pixels live in one buffer of bottom-up rows, each row padded to a multiple of 4 bytes, as in a Windows DIB:
// row y (0 = top) starts at ScanLine(y), and ScanLine(y + 1) - ScanLine(y) is the negative Stride(). The Windows
// build backs the buffer with a DIB section, so that GDI can draw into it and copy from it (Handle()); elsewhere it
// is plain memory. 32-bit pixels are the bytes B, G, R, A (see colors.h); indexed formats keep a palette.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

// Bits per pixel of a format (pfDevice: 0).
int BitsPerPixel(TPixelFormat format);

struct TRGBQuad {
  uint8_t rgbBlue = 0;
  uint8_t rgbGreen = 0;
  uint8_t rgbRed = 0;
  uint8_t rgbReserved = 0;
  friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};

// The largest pixel buffer a bitmap may hold, in bytes (the limit of a Windows DIB section).
inline constexpr int64_t MaxBitmapBytes = 0x7FFFFFFF;

class Bitmap {
 public:
  Bitmap() noexcept = default;
  // A bitmap of that size and format, every byte zero (negative sizes count as 0). Throws std::length_error
  // when the buffer would exceed MaxBitmapBytes, std::bad_alloc when memory is short.
  Bitmap(int32_t width, int32_t height, TPixelFormat format = pf32bit);
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;

  int32_t Width() const noexcept { return width_; }
  int32_t Height() const noexcept { return height_; }
  TPixelFormat PixelFormat() const noexcept { return format_; }
  // No pixels: a width or a height of 0.
  bool Empty() const noexcept { return bits_ == nullptr; }

  // New size; the part of the old image that still fits stays at the top left, new pixels are zero.
  void SetSize(int32_t width, int32_t height);
  void SetWidth(int32_t width) { SetSize(width, height_); }
  void SetHeight(int32_t height) { SetSize(width_, height); }
  // New format; the pixels are converted. Indexed and 24-bit pixels become 32-bit pixels with alpha 0; 32-bit
  // pixels lose their alpha in 24 bits; direct colours become the nearest entry of a grey palette in the indexed
  // formats. pfDevice counts as pf32bit.
  void SetPixelFormat(TPixelFormat format);
  // Format, size, palette, pixels and transparency of src (nothing when src is this bitmap).
  void Assign(const Bitmap& src);
  // Releases the pixels (size 0 x 0; the format stays).
  void Clear() noexcept;

  // Row y, 0 = top. Throws std::out_of_range for a row outside the bitmap.
  uint8_t* ScanLine(int32_t y) {
    if (y < 0 || y >= height_) ThrowRowOutOfRange();
    return bits_ + (ptrdiff_t(height_ - 1 - y) * ptrdiff_t(rowBytes_));
  }
  const uint8_t* ScanLine(int32_t y) const { return const_cast<Bitmap*>(this)->ScanLine(y); }
  // Address difference from one row to the next lower row (negative: rows are stored bottom-up).
  ptrdiff_t Stride() const noexcept { return -ptrdiff_t(rowBytes_); }
  size_t RowBytes() const noexcept { return rowBytes_; }
  // Row bytes of a bitmap of that width and format.
  static size_t RowBytesFor(int32_t width, TPixelFormat format);

  // The palette of the indexed formats (2, 16 or 256 entries; a grey ramp until set). Empty for the others.
  const std::vector<TRGBQuad>& Palette() const noexcept { return palette_; }
  // Sets up to the format's entry count; missing entries become black.
  void SetPalette(const std::vector<TRGBQuad>& entries);

  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool on) noexcept { transparent_ = on; }
  TColor TransparentColor() const noexcept { return transparentColor_; }
  void SetTransparentColor(TColor c) noexcept { transparentColor_ = c; }

  // The Windows bitmap handle (HBITMAP of the DIB section); nullptr outside Windows or for an empty bitmap.
  void* Handle() const noexcept { return handle_; }
  // Completes pending GDI drawing before the pixels are read or written directly (Windows; nothing elsewhere).
  void Flush() const noexcept;

 private:
  [[noreturn]] static void ThrowRowOutOfRange();
  void Allocate(int32_t width, int32_t height, TPixelFormat format);
  void Release() noexcept;
  void ApplyPalette();

  uint8_t* bits_ = nullptr;
  void* handle_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  size_t rowBytes_ = 0;
  TPixelFormat format_ = pf32bit;
  std::vector<TRGBQuad> palette_;
  bool transparent_ = false;
  TColor transparentColor_ = clNone;
};

// The pixel buffer behind a bitmap: plain memory, or a DIB section on Windows.
namespace detail {
struct PixelBuffer {
  uint8_t* bits = nullptr;
  void* handle = nullptr;
};
// Zeroed buffer of bytes bytes for a bottom-up bitmap of that shape; throws std::bad_alloc.
PixelBuffer AllocatePixels(int32_t width, int32_t height, int bitsPerPixel, size_t bytes,
                           const std::vector<TRGBQuad>& palette);
void FreePixels(PixelBuffer& buffer) noexcept;
void SetPixelsPalette(const PixelBuffer& buffer, const std::vector<TRGBQuad>& palette) noexcept;
void FlushPixels() noexcept;
}  // namespace detail

// Index of pixel x in a row of an indexed format (most significant bits first).
inline uint32_t ReadIndex(const uint8_t* row, int32_t x, int bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    default: return row[x];
  }
}
inline void WriteIndex(uint8_t* row, int32_t x, int bits, uint32_t index) {
  switch (bits) {
    case 1: {
      const uint8_t bit = uint8_t(0x80u >> (x & 7));
      row[x >> 3] = uint8_t((index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
      break;
    }
    case 4: {
      const int shift = (x & 1) ? 0 : 4;
      row[x >> 1] = uint8_t((row[x >> 1] & ~(0xF << shift)) | ((index & 0xF) << shift));
      break;
    }
    default: row[x] = uint8_t(index);
  }
}

}  // namespace skin
