#include "skin/pixels/colormanager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define SKIN_COLOR_SSSE3 1
#endif

namespace skin {

namespace {

// The mask walk: target pixel x is written when bit (0x80 ror x) of the mask is set; the source advances only
// then. A full mask selects every pixel.
inline bool Selected(uint8_t mask, uint32_t x) { return (mask & (0x80u >> (x & 7))) != 0; }

// Sample k of a row of bits-per-sample samples packed most significant bits first.
inline uint32_t ReadSample(const uint8_t* row, uint64_t k, unsigned bits) {
  if (bits == 8) return row[k];
  if (bits == 1 || bits == 2 || bits == 4) {
    const uint64_t bit = k * bits;
    const unsigned shift = 8 - bits - unsigned(bit & 7);
    return (row[bit >> 3] >> shift) & ((1u << bits) - 1);
  }
  // Other widths (up to 16 bits) may straddle bytes: bit by bit, touching only the bytes that hold them.
  uint64_t bit = k * bits;
  uint32_t v = 0;
  for (unsigned i = 0; i < bits; ++i, ++bit) v = (v << 1) | ((row[bit >> 3] >> (7 - (bit & 7))) & 1u);
  return v;
}

// Writes sample x, keeping the other bits of the bytes it shares.
inline void WriteSample(uint8_t* row, uint64_t x, unsigned bits, uint32_t v) {
  if (bits == 8) {
    row[x] = uint8_t(v);
    return;
  }
  if (bits == 1 || bits == 2 || bits == 4) {
    const uint64_t bit = x * bits;
    const unsigned shift = 8 - bits - unsigned(bit & 7);
    const unsigned m = ((1u << bits) - 1) << shift;
    uint8_t& b = row[bit >> 3];
    b = uint8_t((b & ~m) | ((v << shift) & m));
    return;
  }
  uint64_t bit = x * bits + bits;
  for (unsigned i = 0; i < bits; ++i) {
    --bit;
    const uint8_t m = uint8_t(0x80u >> (bit & 7));
    uint8_t& b = row[bit >> 3];
    b = (v >> i) & 1u ? uint8_t(b | m) : uint8_t(b & ~m);
  }
}

// A 16-bit sample: big-endian in the file when the byte swap is asked for, else in memory order.
inline uint32_t Read16(const uint8_t* p, bool swap) {
  return swap ? (uint32_t(p[0]) << 8) | p[1] : (uint32_t(p[1]) << 8) | p[0];
}

// 16 to 8 bits: x * 255 div 65535, which is x div 257.
inline uint32_t Scale16To8(uint32_t x) { return x / 257; }

// Indexed and grey samples of up to 8 bits (any widths other than 16): grey levels are scaled to the target
// depth as x * (2^target - 1) div (2^source - 1); palette indices keep their value.
void ConvertBitDepth(const TColorManager& cm, const uint8_t* source, uint8_t* target, uint32_t count,
                     uint8_t mask) {
  const unsigned s = cm.SourceBitsPerSample();
  const unsigned t = cm.TargetBitsPerSample();
  const bool indexed = cm.SourceColorScheme() == csIndexed;
  if (s == t && mask == 0xFF) {
    std::memcpy(target, source, size_t((uint64_t(s) * count + 7) / 8));
    return;
  }
  const uint32_t maxIn = (1u << s) - 1;
  const uint32_t maxOut = (1u << t) - 1;
  uint64_t k = 0;
  for (uint32_t x = 0; x < count; ++x) {
    if (!Selected(mask, x)) continue;
    const uint32_t v = ReadSample(source, k++, s);
    WriteSample(target, x, t, indexed ? (v & maxOut) : v * maxOut / maxIn);
  }
}

// Grey and grey with alpha at 8 or 16 bits: one grey sample per selected pixel (the alpha sample is skipped).
void ConvertGrey(const TColorManager& cm, const uint8_t* source, uint8_t* target, uint32_t count, uint8_t mask) {
  const unsigned s = cm.SourceBitsPerSample();
  const unsigned t = cm.TargetBitsPerSample();
  const bool swap = (cm.SourceOptions() & coNeedByteSwap) != 0;
  const size_t step = size_t(s / 8) * ((cm.SourceOptions() & coAlpha) ? 2 : 1);
  for (uint32_t x = 0; x < count; ++x) {
    if (!Selected(mask, x)) continue;
    if (t == 8) {
      target[x] = uint8_t(s == 8 ? source[0] : Scale16To8(Read16(source, swap)));
    } else {
      const uint32_t v = s == 8 ? source[0] * 65535u / 255u : Read16(source, swap);
      target[2 * size_t(x)] = uint8_t(v);
      target[2 * size_t(x) + 1] = uint8_t(v >> 8);
    }
    source += step;
  }
}

// 8-bit RGB to BGR and RGBA to BGRA, every pixel: R and B exchanged.
void SwapRB3(const uint8_t* source, uint8_t* target, uint32_t count) {
  for (uint32_t x = 0; x < count; ++x) {
    const uint8_t* s = source + 3 * size_t(x);
    uint8_t* d = target + 3 * size_t(x);
    const uint8_t r = s[0], gr = s[1], b = s[2];
    d[0] = b;
    d[1] = gr;
    d[2] = r;
  }
}

void SwapRB4(const uint8_t* source, uint8_t* target, uint32_t count) {
  for (uint32_t x = 0; x < count; ++x) {
    uint32_t p;
    std::memcpy(&p, source + 4 * size_t(x), 4);
    p = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
    std::memcpy(target + 4 * size_t(x), &p, 4);
  }
}

#if defined(SKIN_COLOR_SSSE3)
// The same with one byte shuffle per four pixels, on processors with SSSE3 (chosen at run time).
__attribute__((target("ssse3"))) void SwapRB3Ssse3(const uint8_t* source, uint8_t* target, uint32_t count) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
  const size_t n = size_t(count) * 3;
  size_t i = 0;
  // 16 bytes are read for 12 written: the last pixels (fewer than 16 bytes left) go one by one.
  for (; i + 16 <= n; i += 12) {
    const __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)), order);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(target + i), v);
    const uint32_t tail = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
    std::memcpy(target + i + 8, &tail, 4);
  }
  SwapRB3(source + i, target + i, uint32_t((n - i) / 3));
}

__attribute__((target("ssse3"))) void SwapRB4Ssse3(const uint8_t* source, uint8_t* target, uint32_t count) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
  uint32_t x = 0;
  for (; x + 4 <= count; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * size_t(x)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 4 * size_t(x)), _mm_shuffle_epi8(v, order));
  }
  SwapRB4(source + 4 * size_t(x), target + 4 * size_t(x), count - x);
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}
#endif

void SwapRB3Best(const uint8_t* source, uint8_t* target, uint32_t count) {
#if defined(SKIN_COLOR_SSSE3)
  if (HasSsse3()) return SwapRB3Ssse3(source, target, count);
#endif
  SwapRB3(source, target, count);
}

void SwapRB4Best(const uint8_t* source, uint8_t* target, uint32_t count) {
#if defined(SKIN_COLOR_SSSE3)
  if (HasSsse3()) return SwapRB4Ssse3(source, target, count);
#endif
  SwapRB4(source, target, count);
}

// RGB or RGBA at 8 or 16 bits to BGR or BGRA at 8 bits; colour samples through the gamma table when asked,
// alpha only scaled.
void ConvertColor(const TColorManager& cm, const uint8_t* source, uint8_t* target, uint32_t count, uint8_t mask) {
  const bool sixteen = cm.SourceBitsPerSample() == 16;
  const bool swap = (cm.SourceOptions() & coNeedByteSwap) != 0;
  const bool gamma = (cm.TargetOptions() & coApplyGamma) != 0;
  const bool srcAlpha = (cm.SourceOptions() & coAlpha) != 0;
  const bool dstAlpha = (cm.TargetOptions() & coAlpha) != 0;
  const size_t srcStep = size_t(cm.SourceSamplesPerPixel()) * (sixteen ? 2 : 1);
  const size_t dstStep = cm.TargetSamplesPerPixel();
  const uint8_t* g = cm.GammaTable().data();

  if (!sixteen && mask == 0xFF && srcStep == 4 && dstStep == 4 && srcAlpha && dstAlpha) {
    // The common case of 32-bit images: R and B exchanged in every pixel.
    if (!gamma) {
      SwapRB4Best(source, target, count);
    } else {
      for (uint32_t x = 0; x < count; ++x) {
        const uint8_t* s = source + 4 * size_t(x);
        uint8_t* d = target + 4 * size_t(x);
        const uint8_t r = g[s[0]], gr = g[s[1]], b = g[s[2]], a = s[3];
        d[0] = b;
        d[1] = gr;
        d[2] = r;
        d[3] = a;
      }
    }
    return;
  }
  if (!sixteen && mask == 0xFF && srcStep == 3 && dstStep == 3) {
    if (!gamma) {
      SwapRB3Best(source, target, count);
    } else {
      for (uint32_t x = 0; x < count; ++x) {
        const uint8_t* s = source + 3 * size_t(x);
        uint8_t* d = target + 3 * size_t(x);
        const uint8_t r = g[s[0]], gr = g[s[1]], b = g[s[2]];
        d[0] = b;
        d[1] = gr;
        d[2] = r;
      }
    }
    return;
  }

  auto sample = [&](const uint8_t* s, int i) -> uint32_t {
    return sixteen ? Scale16To8(Read16(s + 2 * i, swap)) : s[i];
  };
  uint8_t* d = target;
  for (uint32_t x = 0; x < count; ++x, d += dstStep) {
    if (!Selected(mask, x)) continue;
    uint32_t r = sample(source, 0), gr = sample(source, 1), b = sample(source, 2);
    if (gamma) {
      r = g[r];
      gr = g[gr];
      b = g[b];
    }
    d[0] = uint8_t(b);
    d[1] = uint8_t(gr);
    d[2] = uint8_t(r);
    if (dstAlpha) d[3] = uint8_t(srcAlpha ? sample(source, 3) : 255);
    source += srcStep;
  }
}

bool HasAlpha(TColorScheme s) { return s == csGA || s == csRGBA || s == csBGRA; }
bool IsColor(TColorScheme s) { return s == csRGB || s == csRGBA || s == csBGR || s == csBGRA; }

}  // namespace

namespace {

// Entries 0..min(maxIn, 255) of a gamma table; the others keep their values.
void ComputeGammaTable(std::array<uint8_t, 256>& table, uint32_t maxIn, uint32_t maxOut, double exponent) {
  const uint32_t last = std::min<uint32_t>(maxIn, 255);
  for (uint32_t i = 0; i <= last; ++i) {
    const double v = std::nearbyint(double(maxOut) * std::pow(double(i) / double(maxIn), exponent));
    table[i] = uint8_t(std::clamp(v, 0.0, 255.0));
  }
}

// The same, from the tables made before: images are read again and again with the same few gamma values (most
// files say 1/2.2), and 256 powers cost more than reading a small icon. Each thread keeps its own few tables.
void FillGammaTable(std::array<uint8_t, 256>& table, uint32_t maxIn, uint32_t maxOut, double exponent) {
  struct Made {
    uint32_t maxIn = 0, maxOut = 0;
    double exponent = 0;
    std::array<uint8_t, 256> table{};
  };
  thread_local std::array<Made, 4> made{};
  thread_local size_t next = 0;
  const size_t count = size_t(std::min<uint32_t>(maxIn, 255)) + 1;
  for (const Made& m : made) {
    if (m.maxIn == maxIn && m.maxOut == maxOut && m.exponent == exponent && maxIn != 0) {
      std::copy_n(m.table.begin(), count, table.begin());
      return;
    }
  }
  ComputeGammaTable(table, maxIn, maxOut, exponent);
  Made& m = made[next];
  next = (next + 1) % made.size();
  m.maxIn = maxIn;
  m.maxOut = maxOut;
  m.exponent = exponent;
  std::copy_n(table.begin(), count, m.table.begin());
}

}  // namespace

TColorManager::TColorManager() {
  // The table of the defaults (gamma 1.0 on a display of 2.2), made once.
  static const std::array<uint8_t, 256> kDefaultTable = [] {
    std::array<uint8_t, 256> t{};
    ComputeGammaTable(t, 255, 255, 1.0 / (1.0 * double(2.2f)));
    return t;
  }();
  FGammaTable = kDefaultTable;
}

void TColorManager::SetSourceBitsPerSample(uint8_t bits) {
  if (bits < 1 || bits > 16) throw EColorConversionError(gesInvalidColorDepth);
  if (bits != FSourceBPS) {
    FSourceBPS = bits;
    FChanged = 1;
  }
}

void TColorManager::SetTargetBitsPerSample(uint8_t bits) {
  if (bits < 1 || bits > 16) throw EColorConversionError(gesInvalidColorDepth);
  if (bits != FTargetBPS) {
    FTargetBPS = bits;
    FChanged = 1;
  }
}

void TColorManager::SetSourceSamplesPerPixel(uint8_t samples) {
  if (samples < 1 || samples > 4) throw EColorConversionError(gesInvalidSampleCount);
  if (samples != FSourceSPP) {
    FSourceSPP = samples;
    FChanged = 1;
  }
}

void TColorManager::SetTargetSamplesPerPixel(uint8_t samples) {
  if (samples < 1 || samples > 4) throw EColorConversionError(gesInvalidSampleCount);
  if (samples != FTargetSPP) {
    FTargetSPP = samples;
    FChanged = 1;
  }
}

void TColorManager::SetSourceColorScheme(TColorScheme scheme) {
  if (scheme != FSourceScheme) {
    FSourceScheme = scheme;
    FChanged = 1;
  }
}

void TColorManager::SetTargetColorScheme(TColorScheme scheme) {
  if (scheme != FTargetScheme) {
    FTargetScheme = scheme;
    FChanged = 1;
  }
}

void TColorManager::SetSourceOptions(TConvertOptions options) {
  if (options != FSourceOptions) {
    FSourceOptions = options;
    FChanged = 1;
  }
}

void TColorManager::SetTargetOptions(TConvertOptions options) {
  if (options != FTargetOptions) {
    FTargetOptions = options;
    FChanged = 1;
  }
}

void TColorManager::SetGamma(float displayGamma, float mainGamma) {
  FMainGamma = mainGamma > 0 ? mainGamma : 1.0f;  // NaN fails the test as well
  FDisplayGamma = displayGamma > 0 ? displayGamma : 2.2f;
  const uint32_t maxIn = FSourceBPS < 8 ? (1u << FTargetBPS) - 1 : 255;
  const uint32_t maxOut = FTargetBPS < 8 ? (1u << FTargetBPS) - 1 : 255;
  FillGammaTable(FGammaTable, maxIn, maxOut, 1.0 / (double(FMainGamma) * double(FDisplayGamma)));
}

TPixelFormat TColorManager::PixelFormatFor(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    default: return pfDevice;
  }
}

std::vector<TRGBQuad> TColorManager::CreateGrayscalePalette(bool reverse) const {
  const unsigned bits = std::min(unsigned(FTargetBPS) * FTargetSPP, 8u);
  const uint32_t n = 1u << bits;
  const uint32_t step = 255 / (n - 1);
  const bool gamma = (FTargetOptions & coApplyGamma) != 0;
  std::vector<TRGBQuad> entries(n);
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t level = (reverse ? n - 1 - i : i) * step;
    if (gamma) level = FGammaTable[level];
    entries[i] = TRGBQuad{uint8_t(level), uint8_t(level), uint8_t(level), 0};
  }
  return entries;
}

std::vector<TRGBQuad> TColorManager::CreateColorPalette(const uint8_t* data, uint32_t count) const {
  const uint32_t n = std::min<uint32_t>(count, 256);
  const bool gamma = (FTargetOptions & coApplyGamma) != 0;
  std::vector<TRGBQuad> entries(n);
  for (uint32_t i = 0; i < n; ++i) {
    uint8_t r = data[3 * i], g = data[3 * i + 1], b = data[3 * i + 2];
    if (gamma) {
      r = FGammaTable[r];
      g = FGammaTable[g];
      b = FGammaTable[b];
    }
    entries[i] = TRGBQuad{b, g, r, 0};
  }
  return entries;
}

void TColorManager::PrepareConversion() {
  FSourceOptions = HasAlpha(FSourceScheme) ? (FSourceOptions | coAlpha) : (FSourceOptions & ~coAlpha);
  FTargetOptions = HasAlpha(FTargetScheme) ? (FTargetOptions | coAlpha) : (FTargetOptions & ~coAlpha);

  const bool greySource = FSourceScheme == csIndexed || FSourceScheme == csG || FSourceScheme == csGA;
  const bool greyTarget = FTargetScheme == csIndexed || FTargetScheme == csG;
  if (greySource ? !greyTarget : !IsColor(FTargetScheme)) throw EColorConversionError(gesIndexedNotSupported);

  const unsigned s = FSourceBPS, t = FTargetBPS;
  const auto byteWide = [](unsigned b) { return b == 8 || b == 16; };
  FRowConversion = nullptr;
  switch (FSourceScheme) {
    case csIndexed:
      if (s != 16 && t != 16) FRowConversion = ConvertBitDepth;
      break;
    case csG:
      if (s != 16 && t != 16) FRowConversion = ConvertBitDepth;
      else if (byteWide(s) && byteWide(t)) FRowConversion = ConvertGrey;
      break;
    case csGA:
      if (byteWide(s) && byteWide(t)) FRowConversion = ConvertGrey;
      break;
    case csRGB:
    case csRGBA:
      // The colour routine reads whole 8- or 16-bit samples and writes 8-bit ones; each side must have room
      // for the samples of its scheme.
      if ((FTargetScheme == csBGR || FTargetScheme == csBGRA) && byteWide(s) && t == 8) {
        const unsigned need = FSourceScheme == csRGBA ? 4 : 3;
        const unsigned needTarget = FTargetScheme == csBGRA ? 4 : 3;
        if (FSourceSPP < need || FTargetSPP < needTarget) throw EColorConversionError(gesInvalidSampleCount);
        FRowConversion = ConvertColor;
      }
      break;
    default: break;
  }
  FChanged = 0;
}

void TColorManager::ConvertRow(const uint8_t* source, uint8_t* target, uint32_t count, uint8_t mask) {
  if (FChanged) PrepareConversion();
  if (FRowConversion == nullptr) throw EColorConversionError(gesConversionUnsupported);
  FRowConversion(*this, source, target, count, mask);
}

}  // namespace skin
