#include "skin/painters/ico_reader.h"

#include <cstring>
#include <string>

#include "skin/data/imagedecoders.h"
#include "skin/pixels/acpng.h"

namespace skin {

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void put16(std::string& s, uint32_t v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void put32(std::string& s, uint32_t v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }

[[noreturn]] void refuse(const char* why) { throw EInvalidGraphic(std::string("Cannot load icon: ") + why); }

struct Entry {
  int32_t width, height;
  uint32_t bits, size, offset;
};

// A bitmap entry: the device-independent bitmap with its doubled height, then the 1-bit AND mask.
void DecodeDibEntry(const uint8_t* p, size_t n, Bitmap& out) {
  if (n < 40) refuse("truncated entry");
  const uint32_t headerSize = le32(p);
  if (headerSize < 40 || headerSize > n) refuse("unknown entry header");
  const int32_t width = int32_t(le32(p + 4));
  const int32_t height = int32_t(le32(p + 8)) / 2;  // colour and mask
  const uint32_t bpp = le16(p + 14);
  const uint32_t compression = le32(p + 16);
  uint32_t colors = le32(p + 32);
  if (width <= 0 || height <= 0 || width > 1024 || height > 1024) refuse("bad entry size");
  if (compression != 0 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)) refuse("unsupported entry");
  if (bpp > 8) colors = 0;
  else if (colors == 0 || colors > (1u << bpp)) colors = 1u << bpp;
  const uint64_t paletteBytes = uint64_t(colors) * 4;
  const uint64_t xorStride = ((uint64_t(width) * bpp + 31) / 32) * 4;
  const uint64_t andStride = ((uint64_t(width) + 31) / 32) * 4;
  const uint64_t xorAt = headerSize + paletteBytes;
  const uint64_t andAt = xorAt + xorStride * uint64_t(height);
  if (andAt > n) refuse("truncated entry");
  const bool hasMask = andAt + andStride * uint64_t(height) <= n;

  // The colour bitmap as a bitmap file of its own.
  std::string file = "BM";
  put32(file, uint32_t(14 + 40 + paletteBytes + xorStride * uint64_t(height)));
  put32(file, 0);
  put32(file, uint32_t(14 + 40 + paletteBytes));
  put32(file, 40);
  put32(file, uint32_t(width));
  put32(file, uint32_t(height));
  put16(file, 1);
  put16(file, bpp);
  for (int i = 0; i < 6; ++i) put32(file, i == 4 ? colors : 0);
  file.append(reinterpret_cast<const char*>(p + headerSize), size_t(paletteBytes + xorStride * uint64_t(height)));
  bool alpha = DecodeBmp(file.data(), file.size(), out);
  if (alpha) {
    alpha = false;
    for (int32_t y = 0; y < out.Height() && !alpha; ++y)
      for (int32_t x = 0; x < out.Width() && !alpha; ++x) alpha = (out.ScanLine(y)[4 * x + 3]) != 0;
  }
  if (alpha) return;
  // Opaque where the AND mask is clear (rows bottom-up, like the colour rows).
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = out.ScanLine(y);
    const uint8_t* mask = hasMask ? p + andAt + andStride * uint64_t(height - 1 - y) : nullptr;
    for (int32_t x = 0; x < width; ++x) {
      const bool transparent = mask != nullptr && (mask[x >> 3] & (0x80 >> (x & 7))) != 0;
      row[4 * x + 3] = transparent ? 0 : 255;
      if (transparent) row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = 0;
    }
  }
}

}  // namespace

void DecodeIcoFile(const void* data, size_t size, int32_t w, int32_t h, Bitmap& out) {
  out.Clear();
  const auto* p = static_cast<const uint8_t*>(data);
  if (p == nullptr || size < 6 || le16(p) != 0 || le16(p + 2) != 1) refuse("not an icon file");
  const uint32_t count = le16(p + 4);
  if (count == 0 || 6 + uint64_t(count) * 16 > size) refuse("bad directory");
  const Entry* best = nullptr;
  Entry chosen{};
  bool exact = false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = p + 6 + 16 * i;
    const Entry entry{e[0] ? e[0] : 256, e[1] ? e[1] : 256, le16(e + 6), le32(e + 8), le32(e + 12)};
    if (uint64_t(entry.offset) + entry.size > size || entry.size == 0) continue;
    const bool isExact = entry.width == w && entry.height == h;
    bool better;
    if (best == nullptr)
      better = true;
    else if (isExact != exact)
      better = isExact;
    else if (int64_t(entry.width) * entry.height != int64_t(chosen.width) * chosen.height)
      better = !exact && int64_t(entry.width) * entry.height > int64_t(chosen.width) * chosen.height;
    else
      better = entry.bits > chosen.bits;
    if (better) {
      chosen = entry;
      best = &chosen;
      exact = isExact;
    }
  }
  if (best == nullptr) refuse("no entry inside the file");
  const uint8_t* image = p + chosen.offset;
  try {
    if (chosen.size >= 8 && std::memcmp(image, "\x89PNG\r\n\x1A\n", 8) == 0) {
      LoadPngMemory(out, image, chosen.size);
      if (out.PixelFormat() != pf32bit) {
        out.SetPixelFormat(pf32bit);
        for (int32_t y = 0; y < out.Height(); ++y)
          for (int32_t x = 0; x < out.Width(); ++x) out.ScanLine(y)[4 * x + 3] = 255;
      }
    } else {
      DecodeDibEntry(image, chosen.size, out);
    }
  } catch (...) {
    out.Clear();
    throw;
  }
}

}  // namespace skin
