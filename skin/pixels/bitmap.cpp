#include "skin/pixels/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace skin {

namespace {

int PaletteSize(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 2;
    case pf4bit: return 16;
    case pf8bit: return 256;
    default: return 0;
  }
}

std::vector<TRGBQuad> GreyPalette(int count) {
  std::vector<TRGBQuad> p(size_t(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    const uint8_t v = uint8_t(count > 1 ? i * 255 / (count - 1) : 0);
    p[size_t(i)] = TRGBQuad{v, v, v, 0};
  }
  return p;
}

// Pixel x of a row as a 32-bit value (indexed and 24-bit pixels get alpha 0).
uint32_t ReadPixel(const uint8_t* row, int32_t x, TPixelFormat format, const std::vector<TRGBQuad>& palette) {
  switch (format) {
    case pf24bit: return MakePixel(row[3 * x], row[3 * x + 1], row[3 * x + 2], 0);
    case pf1bit:
    case pf4bit:
    case pf8bit: {
      const uint32_t i = ReadIndex(row, x, BitsPerPixel(format));
      if (i >= palette.size()) return 0;
      const TRGBQuad& q = palette[i];
      return MakePixel(q.rgbBlue, q.rgbGreen, q.rgbRed, 0);
    }
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * size_t(x), 4);
      return v;
    }
  }
}

uint32_t NearestIndex(uint32_t pixel, const std::vector<TRGBQuad>& palette) {
  uint32_t best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int db = int(PixelB(pixel)) - palette[i].rgbBlue;
    const int dg = int(PixelG(pixel)) - palette[i].rgbGreen;
    const int dr = int(PixelR(pixel)) - palette[i].rgbRed;
    const int d = db * db + dg * dg + dr * dr;
    if (d < bestDistance) {
      bestDistance = d;
      best = uint32_t(i);
      if (d == 0) break;
    }
  }
  return best;
}

void WritePixel(uint8_t* row, int32_t x, TPixelFormat format, uint32_t pixel, const std::vector<TRGBQuad>& palette) {
  switch (format) {
    case pf24bit:
      row[3 * x] = uint8_t(PixelB(pixel));
      row[3 * x + 1] = uint8_t(PixelG(pixel));
      row[3 * x + 2] = uint8_t(PixelR(pixel));
      break;
    case pf1bit:
    case pf4bit:
    case pf8bit: WriteIndex(row, x, BitsPerPixel(format), NearestIndex(pixel, palette)); break;
    default: std::memcpy(row + 4 * size_t(x), &pixel, 4);
  }
}

}  // namespace

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
  }
}

size_t Bitmap::RowBytesFor(int32_t width, TPixelFormat format) {
  if (format == pfDevice) format = pf32bit;
  if (width <= 0) return 0;
  return size_t(((int64_t(width) * BitsPerPixel(format) + 31) / 32) * 4);
}

Bitmap::Bitmap(int32_t width, int32_t height, TPixelFormat format) {
  format_ = format == pfDevice ? pf32bit : format;
  palette_ = GreyPalette(PaletteSize(format_));
  Allocate(width, height, format_);
}

Bitmap::~Bitmap() { Release(); }

Bitmap::Bitmap(Bitmap&& other) noexcept { *this = std::move(other); }

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this != &other) {
    Release();
    bits_ = std::exchange(other.bits_, nullptr);
    handle_ = std::exchange(other.handle_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    rowBytes_ = std::exchange(other.rowBytes_, 0);
    format_ = other.format_;
    palette_ = std::move(other.palette_);
    other.palette_.clear();
    transparent_ = other.transparent_;
    transparentColor_ = other.transparentColor_;
  }
  return *this;
}

void Bitmap::ThrowRowOutOfRange() { throw std::out_of_range("Scan line index out of range"); }

void Bitmap::Allocate(int32_t width, int32_t height, TPixelFormat format) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const size_t rowBytes = RowBytesFor(width, format);
  if (width == 0 || height == 0) {
    width_ = width;
    height_ = height;
    rowBytes_ = rowBytes;
    return;
  }
  if (int64_t(rowBytes) * height > MaxBitmapBytes) throw std::length_error("Bitmap too large");
  const size_t bytes = rowBytes * size_t(height);
  detail::PixelBuffer buffer = detail::AllocatePixels(width, height, BitsPerPixel(format), bytes, palette_);
  bits_ = buffer.bits;
  handle_ = buffer.handle;
  width_ = width;
  height_ = height;
  rowBytes_ = rowBytes;
}

void Bitmap::Release() noexcept {
  if (bits_ != nullptr) {
    detail::PixelBuffer buffer{bits_, handle_};
    detail::FreePixels(buffer);
  }
  bits_ = nullptr;
  handle_ = nullptr;
  width_ = 0;
  height_ = 0;
  rowBytes_ = 0;
}

void Bitmap::Clear() noexcept { Release(); }

void Bitmap::SetSize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  Bitmap next;
  next.format_ = format_;
  next.palette_ = palette_;
  next.Allocate(width, height, format_);
  const int32_t rows = std::min(height, height_);
  const size_t bytes = std::min(next.rowBytes_, rowBytes_);
  if (!next.Empty() && !Empty()) {
    Flush();
    for (int32_t y = 0; y < rows; ++y) std::memcpy(next.ScanLine(y), ScanLine(y), bytes);
  }
  std::swap(bits_, next.bits_);
  std::swap(handle_, next.handle_);
  std::swap(width_, next.width_);
  std::swap(height_, next.height_);
  std::swap(rowBytes_, next.rowBytes_);
}

void Bitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfDevice) format = pf32bit;
  if (format == format_) return;
  Bitmap next;
  next.format_ = format;
  const int entries = PaletteSize(format);
  if (entries > 0) {
    next.palette_ = palette_.empty() ? GreyPalette(entries) : palette_;
    next.palette_.resize(size_t(entries));
  }
  next.Allocate(width_, height_, format);
  if (!Empty()) {
    Flush();
    for (int32_t y = 0; y < height_; ++y) {
      const uint8_t* src = ScanLine(y);
      uint8_t* dst = next.ScanLine(y);
      const bool bothIndexed = entries > 0 && PaletteSize(format_) > 0;
      for (int32_t x = 0; x < width_; ++x) {
        if (bothIndexed) {
          WriteIndex(dst, x, BitsPerPixel(format), ReadIndex(src, x, BitsPerPixel(format_)));
        } else {
          WritePixel(dst, x, format, ReadPixel(src, x, format_, palette_), next.palette_);
        }
      }
    }
  }
  next.transparent_ = transparent_;
  next.transparentColor_ = transparentColor_;
  *this = std::move(next);
}

void Bitmap::Assign(const Bitmap& src) {
  if (&src == this) return;
  if (!Empty() && src.format_ == format_ && src.width_ == width_ && src.height_ == height_) {
    // Same shape: the pixels are copied into the buffer that is already there.
    src.Flush();
    Flush();
    if (palette_ != src.palette_) {
      palette_ = src.palette_;
      ApplyPalette();
    }
    std::memcpy(bits_, src.bits_, rowBytes_ * size_t(height_));  // the same row layout on both sides
    transparent_ = src.transparent_;
    transparentColor_ = src.transparentColor_;
    return;
  }
  Bitmap next;
  next.format_ = src.format_;
  next.palette_ = src.palette_;
  next.Allocate(src.width_, src.height_, src.format_);
  if (!src.Empty()) {
    src.Flush();
    for (int32_t y = 0; y < src.height_; ++y) std::memcpy(next.ScanLine(y), src.ScanLine(y), src.rowBytes_);
  }
  next.transparent_ = src.transparent_;
  next.transparentColor_ = src.transparentColor_;
  *this = std::move(next);
}

void Bitmap::SetPalette(const std::vector<TRGBQuad>& entries) {
  const int count = PaletteSize(format_);
  if (count == 0) return;
  palette_.assign(size_t(count), TRGBQuad{});
  std::copy_n(entries.begin(), std::min(entries.size(), size_t(count)), palette_.begin());
  ApplyPalette();
}

void Bitmap::ApplyPalette() {
  if (bits_ != nullptr) detail::SetPixelsPalette(detail::PixelBuffer{bits_, handle_}, palette_);
}

void Bitmap::Flush() const noexcept {
  if (handle_ != nullptr) detail::FlushPixels();
}

}  // namespace skin
