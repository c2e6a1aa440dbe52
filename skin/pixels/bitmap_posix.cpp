#include <cstdlib>
#include <cstring>
#include <new>

#include "skin/pixels/bitmap.h"

namespace skin::detail {

PixelBuffer AllocatePixels(int32_t, int32_t, int, size_t bytes, const std::vector<TRGBQuad>&) {
  // 64-byte alignment: rows of vector loads start on cache lines.
  const size_t rounded = (bytes + 63) / 64 * 64;
  void* p = std::aligned_alloc(64, rounded);
  if (p == nullptr) throw std::bad_alloc();
  std::memset(p, 0, rounded);
  return PixelBuffer{static_cast<uint8_t*>(p), nullptr};
}

void FreePixels(PixelBuffer& buffer) noexcept {
  std::free(buffer.bits);
  buffer.bits = nullptr;
}

void SetPixelsPalette(const PixelBuffer&, const std::vector<TRGBQuad>&) noexcept {}

void FlushPixels() noexcept {}

}  // namespace skin::detail
