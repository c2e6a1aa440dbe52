#pragma once
// A small PNG writer of the tests, independent of the reader: it filters rows with a chosen filter, splits
// Adam7 passes, compresses with zlib and frames chunks with zlib's CRC-32, so that valid and deliberately
// broken files can be made byte by byte on every platform (the Windows tests have no libpng).
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace pngtest {

// A raw image: rows of packed samples as PNG holds them after unfiltering and de-interlacing.
struct RawImage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t depth = 8;
  uint8_t colorType = 6;
  size_t rowBytes = 0;
  std::vector<uint8_t> data;
  const uint8_t* row(uint32_t y) const { return data.data() + size_t(y) * rowBytes; }
};

inline int Channels(uint8_t colorType) {
  switch (colorType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
  }
}
inline unsigned BitsPerPixel(uint8_t colorType, uint8_t depth) { return unsigned(Channels(colorType)) * depth; }
inline size_t RowBytesOf(uint32_t width, uint8_t colorType, uint8_t depth) {
  return size_t((uint64_t(width) * BitsPerPixel(colorType, depth) + 7) / 8);
}

inline uint32_t NextRandom(uint32_t& s) {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

// Random samples (palette indices below paletteSize); pad bits at the end of each row are zero.
inline RawImage RandomImage(uint32_t width, uint32_t height, uint8_t colorType, uint8_t depth, uint32_t seed,
                            unsigned paletteSize = 0) {
  RawImage im;
  im.width = width;
  im.height = height;
  im.colorType = colorType;
  im.depth = depth;
  im.rowBytes = RowBytesOf(width, colorType, depth);
  im.data.assign(im.rowBytes * height, 0);
  uint32_t s = seed | 1;
  const unsigned bpp = BitsPerPixel(colorType, depth);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* r = im.data.data() + size_t(y) * im.rowBytes;
    if (bpp >= 8) {
      for (size_t i = 0; i < im.rowBytes; ++i) r[i] = uint8_t(NextRandom(s) >> 7);
    } else {
      const unsigned limit = colorType == 3 && paletteSize > 0 ? paletteSize : (1u << depth);
      for (uint32_t x = 0; x < width; ++x) {
        const unsigned v = (NextRandom(s) >> 5) % limit;
        const uint64_t bit = uint64_t(x) * depth;
        r[bit >> 3] = uint8_t(r[bit >> 3] | (v << (8 - depth - (bit & 7))));
      }
    }
    if (colorType == 3 && depth == 8 && paletteSize > 0)
      for (size_t i = 0; i < im.rowBytes; ++i) r[i] = uint8_t(r[i] % paletteSize);
  }
  return im;
}

inline std::string BE32(uint32_t v) {
  return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
inline std::string BE16(uint32_t v) { return std::string{char(v >> 8), char(v)}; }

inline std::string Signature() { return std::string("\x89PNG\r\n\x1A\n", 8); }

inline std::string Chunk(const std::string& type, const std::string& data) {
  std::string body = type + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
  return BE32(uint32_t(data.size())) + body + BE32(uint32_t(crc));
}

inline std::string IhdrData(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType, uint8_t interlace,
                            uint8_t compression = 0) {
  return BE32(w) + BE32(h) + std::string{char(depth), char(colorType), char(compression), 0, char(interlace)};
}

inline int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  if (pb <= pc) return b;
  return c;
}

// One filtered scan line (filter byte first) of raw bytes cur, with prev the raw row above (nullptr: zeros).
inline std::string FilterRow(int filter, const uint8_t* cur, const uint8_t* prev, size_t n, size_t bpp) {
  std::string out(1, char(filter));
  for (size_t i = 0; i < n; ++i) {
    const int a = i >= bpp ? cur[i - bpp] : 0;
    const int b = prev ? prev[i] : 0;
    const int c = prev && i >= bpp ? prev[i - bpp] : 0;
    int pred = 0;
    switch (filter) {
      case 1: pred = a; break;
      case 2: pred = b; break;
      case 3: pred = (a + b) / 2; break;
      case 4: pred = Paeth(a, b, c); break;
      default: pred = 0; break;
    }
    out += char(uint8_t(cur[i] - pred));
  }
  return out;
}

struct Adam7 {
  uint32_t rowStart, colStart, rowStep, colStep;
};
inline constexpr Adam7 kPasses[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                     {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

// The pixels of one Adam7 pass as a raw image of their own.
inline RawImage PassImage(const RawImage& im, const Adam7& p) {
  RawImage out;
  out.colorType = im.colorType;
  out.depth = im.depth;
  out.width = im.width > p.colStart ? (im.width - p.colStart + p.colStep - 1) / p.colStep : 0;
  out.height = im.height > p.rowStart ? (im.height - p.rowStart + p.rowStep - 1) / p.rowStep : 0;
  out.rowBytes = RowBytesOf(out.width, im.colorType, im.depth);
  out.data.assign(out.rowBytes * out.height, 0);
  const unsigned bpp = BitsPerPixel(im.colorType, im.depth);
  for (uint32_t y = 0; y < out.height; ++y) {
    const uint8_t* src = im.row(p.rowStart + y * p.rowStep);
    uint8_t* dst = out.data.data() + size_t(y) * out.rowBytes;
    for (uint32_t x = 0; x < out.width; ++x) {
      const uint64_t sx = uint64_t(p.colStart) + uint64_t(x) * p.colStep;
      if (bpp >= 8) {
        for (unsigned k = 0; k < bpp / 8; ++k) dst[x * (bpp / 8) + k] = src[sx * (bpp / 8) + k];
      } else {
        const uint64_t sb = sx * bpp, db = uint64_t(x) * bpp;
        const unsigned v = (src[sb >> 3] >> (8 - bpp - (sb & 7))) & ((1u << bpp) - 1);
        dst[db >> 3] = uint8_t(dst[db >> 3] | (v << (8 - bpp - (db & 7))));
      }
    }
  }
  return out;
}

// Filtered scan lines of an image; filter 0..4 for every row, or -1 to cycle through them row by row.
inline std::string FilteredRows(const RawImage& im, int filter) {
  std::string out;
  const size_t bpp = std::max<size_t>(1, BitsPerPixel(im.colorType, im.depth) / 8);
  for (uint32_t y = 0; y < im.height; ++y) {
    const int f = filter >= 0 ? filter : int(y % 5);
    out += FilterRow(f, im.row(y), y > 0 ? im.row(y - 1) : nullptr, im.rowBytes, bpp);
  }
  return out;
}

// The uncompressed image data stream, plain or Adam7.
inline std::string ScanLines(const RawImage& im, bool adam7, int filter) {
  if (!adam7) return FilteredRows(im, filter);
  std::string out;
  for (const Adam7& p : kPasses) {
    const RawImage pass = PassImage(im, p);
    if (pass.width == 0 || pass.height == 0) continue;
    out += FilteredRows(pass, filter);
  }
  return out;
}

inline std::string Deflate(const std::string& data, int level = 6) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                uLong(data.size()), level) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

// The zlib stream split into IDAT chunks of at most chunkSize bytes.
inline std::string IdatChunks(const std::string& z, size_t chunkSize, const std::string& type = "IDAT") {
  std::string out;
  for (size_t i = 0; i < z.size(); i += chunkSize) out += Chunk(type, z.substr(i, chunkSize));
  return out;
}

// A palette of n distinct colours.
inline std::string PaletteData(unsigned n, uint32_t seed = 7) {
  std::string out;
  uint32_t s = seed;
  for (unsigned i = 0; i < n; ++i) {
    const uint32_t v = NextRandom(s);
    out += char(v);
    out += char(v >> 8);
    out += char(uint8_t(i));
  }
  return out;
}

// Options of a whole file.
struct FileOptions {
  bool adam7 = false;
  int filter = -1;
  size_t idatSize = 1 << 30;
  std::string palette;    // PLTE data (palette images)
  std::string gama;       // gAMA data
  std::string bkgd;       // bKGD data
  std::string trns;       // tRNS data
  std::string extraBeforeData;  // chunks placed before the first IDAT
  std::string extraAfterData;   // chunks placed between the last IDAT and IEND
};

inline std::string EncodePng(const RawImage& im, const FileOptions& o) {
  std::string out = Signature() + Chunk("IHDR", IhdrData(im.width, im.height, im.depth, im.colorType, o.adam7));
  if (!o.gama.empty()) out += Chunk("gAMA", o.gama);
  if (!o.palette.empty()) out += Chunk("PLTE", o.palette);
  if (!o.trns.empty()) out += Chunk("tRNS", o.trns);
  if (!o.bkgd.empty()) out += Chunk("bKGD", o.bkgd);
  out += o.extraBeforeData;
  out += IdatChunks(Deflate(ScanLines(im, o.adam7, o.filter)), o.idatSize);
  out += o.extraAfterData;
  out += Chunk("IEND", "");
  return out;
}

}  // namespace pngtest
