#pragma once
// What the PNG reader must make of raw image data, computed pixel by pixel from the conversion rules (sample
// scaling, palette ramps, channel order, gamma), and a comparison of a loaded bitmap with it.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "tests/skin_pixels/png_writer.h"

namespace pngtest {

// What the file says besides its image data.
struct Ancillary {
  bool hasGamma = false;
  uint32_t gamma = 0;         // gAMA value (x 100000)
  std::vector<uint8_t> plte;  // R, G, B triples
};

// round(255 x (i / 255) ^ (1 / (file gamma x 2.2))), file gamma 0 taken as 1.
inline std::array<int, 256> ExpectedGammaTable(uint32_t gama) {
  const double fileGamma = gama == 0 ? 1.0 : gama / 100000.0;
  std::array<int, 256> t{};
  for (int i = 0; i < 256; ++i) t[size_t(i)] = int(std::lround(255.0 * std::pow(i / 255.0, 1.0 / (fileGamma * 2.2))));
  return t;
}

// Sample c of pixel x of a raw row.
inline uint32_t RawSample(const RawImage& im, uint32_t y, uint32_t x, int c) {
  const uint8_t* r = im.row(y);
  const int ch = Channels(im.colorType);
  if (im.depth == 16) {
    const size_t o = (size_t(x) * ch + c) * 2;
    return (uint32_t(r[o]) << 8) | r[o + 1];
  }
  if (im.depth == 8) return r[size_t(x) * ch + c];
  const uint64_t bit = uint64_t(x) * im.depth;
  return (r[bit >> 3] >> (8 - im.depth - (bit & 7))) & ((1u << im.depth) - 1);
}

inline skin::TPixelFormat ExpectedFormat(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0:
    case 3: return depth == 1 ? skin::pf1bit : depth <= 4 ? skin::pf4bit : skin::pf8bit;
    case 2: return skin::pf24bit;
    case 4: return skin::pf8bit;
    default: return skin::pf32bit;
  }
}

// Bits per index of the bitmap of a grey or palette image.
inline unsigned TargetBits(uint8_t colorType, uint8_t depth) {
  if (colorType == 4 || depth >= 8) return 8;
  return depth == 2 ? 4 : depth;
}

// The bitmap index of a grey sample.
inline uint32_t ExpectedGreyIndex(uint32_t v, uint8_t depth, unsigned targetBits) {
  if (depth == 16) return v / 257;
  return v * ((1u << targetBits) - 1) / ((1u << depth) - 1);
}

inline int Channel(int v, bool gamma, const std::array<int, 256>& g) { return gamma ? g[size_t(v)] : v; }

inline bool Near(int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; }

// Empty when bmp is what raw must become, else a description of the first difference.
inline std::string CompareConverted(const skin::Bitmap& bmp, const RawImage& raw, const Ancillary& anc) {
  std::ostringstream why;
  if (bmp.Width() != int32_t(raw.width) || bmp.Height() != int32_t(raw.height)) {
    why << "size " << bmp.Width() << "x" << bmp.Height();
    return why.str();
  }
  if (bmp.PixelFormat() != ExpectedFormat(raw.colorType, raw.depth)) {
    why << "pixel format " << int(bmp.PixelFormat());
    return why.str();
  }
  const auto g = ExpectedGammaTable(anc.gamma);
  const bool gamma = anc.hasGamma;
  const int tol = gamma ? 1 : 0;

  if (raw.colorType == 2 || raw.colorType == 6) {
    const int step = raw.colorType == 6 ? 4 : 3;
    for (uint32_t y = 0; y < raw.height; ++y) {
      const uint8_t* row = bmp.ScanLine(int32_t(y));
      for (uint32_t x = 0; x < raw.width; ++x) {
        int want[4];
        for (int c = 0; c < step; ++c) {
          int v = int(RawSample(raw, y, x, c));
          if (raw.depth == 16) v = v * 255 / 65535;
          want[c] = c < 3 ? Channel(v, gamma, g) : v;
        }
        const uint8_t* p = row + size_t(x) * step;
        const bool ok = Near(p[0], want[2], tol) && Near(p[1], want[1], tol) && Near(p[2], want[0], tol) &&
                        (step == 3 || p[3] == want[3]);
        if (!ok) {
          why << "pixel (" << x << "," << y << ") B,G,R" << (step == 4 ? ",A" : "") << " = " << int(p[0]) << ","
              << int(p[1]) << "," << int(p[2]);
          if (step == 4) why << "," << int(p[3]);
          why << " want " << want[2] << "," << want[1] << "," << want[0];
          if (step == 4) why << "," << want[3];
          return why.str();
        }
      }
    }
    return "";
  }

  // Indexed bitmaps: the indices, then the palette.
  const unsigned tb = TargetBits(raw.colorType, raw.depth);
  for (uint32_t y = 0; y < raw.height; ++y) {
    const uint8_t* row = bmp.ScanLine(int32_t(y));
    for (uint32_t x = 0; x < raw.width; ++x) {
      const uint32_t v = RawSample(raw, y, x, 0);
      const uint32_t want = raw.colorType == 3 ? v : ExpectedGreyIndex(v, raw.depth, tb);
      const uint32_t got = skin::ReadIndex(row, int32_t(x), int(tb));
      if (got != want) {
        why << "index at (" << x << "," << y << ") = " << got << " want " << want;
        return why.str();
      }
    }
  }
  const auto& pal = bmp.Palette();
  if (pal.size() != (1u << tb)) {
    why << "palette of " << pal.size() << " entries";
    return why.str();
  }
  for (size_t i = 0; i < pal.size(); ++i) {
    int r, gr, b;
    if (raw.colorType == 3) {
      if (3 * i + 2 < anc.plte.size()) {
        r = Channel(anc.plte[3 * i], gamma, g);
        gr = Channel(anc.plte[3 * i + 1], gamma, g);
        b = Channel(anc.plte[3 * i + 2], gamma, g);
      } else {
        r = gr = b = 0;  // beyond the file's palette: black
      }
    } else {
      const int level = int(i * (255 / ((1u << tb) - 1)));
      r = gr = b = Channel(level, gamma, g);
    }
    if (!Near(pal[i].rgbRed, r, tol) || !Near(pal[i].rgbGreen, gr, tol) || !Near(pal[i].rgbBlue, b, tol)) {
      why << "palette entry " << i << " = " << int(pal[i].rgbRed) << "," << int(pal[i].rgbGreen) << ","
          << int(pal[i].rgbBlue) << " want " << r << "," << gr << "," << b;
      return why.str();
    }
  }
  return "";
}

}  // namespace pngtest
