// Arbitrary bytes as a PNG file, read from memory under a pixel cap: the reader must refuse them with one of
// its image errors or give a bitmap of the size the header claims, whose raw rows fit it.
//
// Most mutations would only break a chunk's CRC, so for inputs of even length the target first writes the
// right CRC into every chunk it can frame: the mutations then reach the chunk contents and the image data.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "skin/pixels/acpng.h"

namespace {

void FixCrcs(std::vector<uint8_t>& b) {
  size_t p = 8;
  while (p + 12 <= b.size()) {
    const uint32_t n = (uint32_t(b[p]) << 24) | (uint32_t(b[p + 1]) << 16) | (uint32_t(b[p + 2]) << 8) | b[p + 3];
    if (n > b.size() - p - 12) return;
    const uint32_t crc = uint32_t(crc32(0, b.data() + p + 4, uInt(n + 4)));
    uint8_t* c = b.data() + p + 8 + n;
    c[0] = uint8_t(crc >> 24);
    c[1] = uint8_t(crc >> 16);
    c[2] = uint8_t(crc >> 8);
    c[3] = uint8_t(crc);
    p += 12 + n;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skin;
  std::vector<uint8_t> bytes(data, data + size);
  if (size % 2 == 0) FixCrcs(bytes);
  TPNGGraphic g;
  g.MaxPixels = 1 << 18;
  PngRawRows raw;
  g.RawRows = &raw;
  bool loaded = false;
  try {
    g.LoadFromMemory(bytes.data(), bytes.size());
    loaded = true;
  } catch (const EInvalidGraphic&) {
  } catch (const EGraphicCompression&) {
  } catch (const EColorConversionError&) {
  }
  if (!loaded) return 0;
  if (g.Empty() || int64_t(g.Width()) * g.Height() > g.MaxPixels) std::abort();
  if (raw.Width != g.Width() || raw.Height != g.Height() || raw.Data.size() != raw.RowBytes * size_t(raw.Height))
    std::abort();
  // Every row of the bitmap can be read to its end.
  volatile uint32_t sum = 0;
  for (int32_t y = 0; y < g.Height(); ++y) sum = sum + g.ScanLine(y)[g.RowBytes() - 1];
  return 0;
}
