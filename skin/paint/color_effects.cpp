#include "skin/paint/color_effects.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "skin/paint/pixel_access.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skin {

namespace {

// Colour as a pixel (so that the pixel functions serve single colours too) and back; the high byte stays.
template <class Func>
TColor ThroughPixel(TColor color, int amount, Func func) {
  const uint32_t c = uint32_t(color);
  uint32_t p = MakePixel(ColorBlue(c), ColorGreen(c), ColorRed(c), 0);
  func(p, amount);
  return TColor((c & 0xFF000000u) | PixelR(p) | (PixelG(p) << 8) | (PixelB(p) << 16));
}

}  // namespace

TColor ChangeColorBrightness(TColor color, int amount) {
  if (amount == 0) return color;
  return ThroughPixel(color, amount, PixelBrightness);
}

TColor ChangeColorSaturation(TColor color, int amount) {
  if (amount == 0) return color;
  return ThroughPixel(color, amount, PixelSaturation);
}

TColor ChangeColorHue(TColor color, int amount) {
  if (amount == 0) return color;
  return ThroughPixel(color, amount, PixelHue);
}

void ShiftHue(uint32_t& r, uint32_t& g, uint32_t& b, int amount) {
  const uint32_t hi = std::max({r, g, b}), lo = std::min({r, g, b});
  if (hi == lo) return;  // grey: no hue
  const double delta = double(hi - lo);
  double h;
  if (hi == r) {
    h = 60.0 * (double(g) - double(b)) / delta;
  } else if (hi == g) {
    h = 120.0 + 60.0 * (double(b) - double(r)) / delta;
  } else {
    h = 240.0 + 60.0 * (double(r) - double(g)) / delta;
  }
  h = std::fmod(h + double(amount), 360.0);
  if (h < 0) h += 360.0;
  const int sector = std::min(int(h / 60.0), 5);
  const double f = h / 60.0 - sector;
  const uint32_t v = hi, p = lo;
  const uint32_t q = uint32_t(std::lrint(double(hi) - delta * f));  // falling edge
  const uint32_t t = uint32_t(std::lrint(double(lo) + delta * f));  // rising edge
  switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
}

void GrayScaleBitmap(Bitmap& bmp) { ApplyPixelFunc(bmp, PixelGrey, 0, clNone); }

void GrayScaleBitmapKey(Bitmap& bmp, TColor key) { ApplyPixelFunc(bmp, PixelGrey, 0, key); }

namespace {

// Box blur of n pixels spaced step words apart, through a copy of the line.
void BlurLine(uint32_t* p, ptrdiff_t step, int32_t n, std::vector<uint32_t>& line) {
  if (n < 2) return;
  line.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) line[size_t(i)] = p[i * step];
  for (int32_t i = 0; i < n; ++i) {
    const int32_t from = std::max(i - 1, 0), to = std::min(i + 1, n - 1);
    const uint32_t count = uint32_t(to - from + 1);
    uint32_t sb = 0, sg = 0, sr = 0, sa = 0;
    for (int32_t k = from; k <= to; ++k) {
      const uint32_t v = line[size_t(k)];
      sb += PixelB(v);
      sg += PixelG(v);
      sr += PixelR(v);
      sa += PixelA(v);
    }
    p[i * step] = MakePixel(sb / count, sg / count, sr / count, sa / count);
  }
}

}  // namespace

void BlurBitmap(Bitmap& bmp) {
  detail::View32 v;
  if (!detail::GetView32(bmp, v)) return;
  std::vector<uint32_t> line;
  for (int32_t y = 0; y < v.height; ++y) BlurLine(v.Row(y), 1, v.width, line);
  const ptrdiff_t step = v.stride / 4;
  for (int32_t x = 0; x < v.width; ++x) BlurLine(v.Row(0) + x, step, v.height, line);
}

// ---------------------------------------------------------------------------------------------------------------
// Resampler

double ResampleFilterRadius(int filter) {
  switch (filter) {
    case rfBox: return 0.51;
    case rfTriangle: return 1.0;
    case rfHermite: return 1.0;
    case rfBell: return 1.5;
    case rfSpline: return 2.0;
    case rfLanczos: return 3.0;
    case rfMitchell: return 2.0;
    default: return 1.0;
  }
}

double ResampleFilterValue(int filter, double x) {
  const double ax = std::fabs(x);
  switch (filter) {
    case rfBox: return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0;
    case rfHermite: return ax < 1.0 ? (2.0 * ax - 3.0) * ax * ax + 1.0 : 0.0;
    case rfBell:
      if (ax < 0.5) return 0.75 - ax * ax;
      if (ax < 1.5) return 0.5 * (ax - 1.5) * (ax - 1.5);
      return 0.0;
    case rfSpline:
      if (ax < 1.0) return 0.5 * ax * ax * ax - ax * ax + 2.0 / 3.0;
      if (ax < 2.0) {
        const double t = 2.0 - ax;
        return t * t * t / 6.0;
      }
      return 0.0;
    case rfLanczos: {
      if (ax >= 3.0) return 0.0;
      if (ax == 0.0) return 1.0;
      const double px = std::numbers::pi * ax;
      return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
    }
    case rfMitchell: {
      constexpr double B = 1.0 / 3.0, C = 1.0 / 3.0;
      if (ax < 1.0) return ((12 - 9 * B - 6 * C) * ax * ax * ax + (-18 + 12 * B + 6 * C) * ax * ax + (6 - 2 * B)) / 6;
      if (ax < 2.0)
        return ((-B - 6 * C) * ax * ax * ax + (6 * B + 30 * C) * ax * ax + (-12 * B - 48 * C) * ax + (8 * B + 24 * C)) /
               6;
      return 0.0;
    }
    default: return ax < 1.0 ? 1.0 - ax : 0.0;  // triangle
  }
}

namespace {

using Contributions = ResampleContributions;

}  // namespace

ResampleContributions BuildResampleContributions(int32_t srcSize, int32_t dstSize, int filter) {
  Contributions c;
  c.first.reserve(size_t(dstSize) + 1);
  const double scale = double(dstSize) / double(srcSize);
  const double radius = ResampleFilterRadius(filter);
  const double widen = scale < 1.0 ? 1.0 / scale : 1.0;
  const double width = radius * widen;
  std::vector<double> values;
  std::vector<int32_t> indexes;
  for (int32_t i = 0; i < dstSize; ++i) {
    c.first.push_back(int32_t(c.index.size()));
    const double center = (double(i) + 0.5) / scale - 0.5;
    const int64_t left = int64_t(std::floor(center - width)), right = int64_t(std::ceil(center + width));
    values.clear();
    indexes.clear();
    double sum = 0.0;
    for (int64_t j = left; j <= right; ++j) {
      const double v = ResampleFilterValue(filter, (center - double(j)) / widen) / widen;
      if (v == 0.0) continue;
      values.push_back(v);
      indexes.push_back(int32_t(std::clamp<int64_t>(j, 0, srcSize - 1)));
      sum += v;
    }
    if (values.empty() || sum == 0.0) {
      c.index.push_back(int32_t(std::clamp<int64_t>(std::llround(center), 0, srcSize - 1)));
      c.weight.push_back(65536);
      continue;
    }
    // Fixed-point weights that add up to exactly 65536; the rounding rest goes to the largest weight.
    int32_t total = 0;
    size_t largest = c.index.size();
    int32_t largestValue = INT32_MIN;
    for (size_t k = 0; k < values.size(); ++k) {
      const int32_t w = int32_t(std::lrint(values[k] / sum * 65536.0));
      if (w == 0) continue;
      if (!c.index.empty() && c.first.back() < int32_t(c.index.size()) && c.index.back() == indexes[k]) {
        c.weight.back() += w;  // the same (edge) source pixel again
      } else {
        c.index.push_back(indexes[k]);
        c.weight.push_back(w);
      }
      total += w;
    }
    for (size_t k = size_t(c.first.back()); k < c.weight.size(); ++k) {
      if (c.weight[k] > largestValue) {
        largestValue = c.weight[k];
        largest = k;
      }
    }
    if (largest < c.weight.size()) {
      c.weight[largest] += 65536 - total;
    } else {  // every weight rounded to nothing: the nearest pixel alone
      c.index.push_back(int32_t(std::clamp<int64_t>(std::llround(center), 0, srcSize - 1)));
      c.weight.push_back(65536);
    }
  }
  c.first.push_back(int32_t(c.index.size()));
  return c;
}

namespace {

inline uint8_t ClampSum(int32_t sum) { return uint8_t(sum < 0 ? 0 : (sum >= 0xFF0001 ? 255 : sum >> 16)); }

// The contributions taken two at a time, each weight w split into w shr 8 and w and 255 so that both halves fit
// 16-bit lanes: sum(w x c) = 256 x sum((w shr 8) x c) + sum((w and 255) x c), exact in 32 bits.
struct ContributionPair {
  int32_t i0, i1;
  int32_t high;  // (w1 shr 8) in the high 16 bits, (w0 shr 8) in the low 16 bits
  int32_t low;   // the same for the low bytes
};
struct PairedContributions {
  std::vector<int32_t> first;
  std::vector<ContributionPair> pairs;
};

PairedContributions PairUp(const Contributions& c) {
  PairedContributions p;
  const size_t targets = c.first.size() - 1;
  p.first.reserve(targets + 1);
  auto halves = [](int32_t w0, int32_t w1, int32_t& high, int32_t& low) {
    high = int32_t((uint32_t(uint16_t(w1 >> 8)) << 16) | uint16_t(w0 >> 8));
    low = int32_t((uint32_t(w1 & 0xFF) << 16) | uint32_t(w0 & 0xFF));
  };
  for (size_t t = 0; t < targets; ++t) {
    p.first.push_back(int32_t(p.pairs.size()));
    for (int32_t k = c.first[t]; k < c.first[t + 1]; k += 2) {
      const bool single = k + 1 >= c.first[t + 1];
      ContributionPair cp;
      cp.i0 = c.index[size_t(k)];
      cp.i1 = single ? cp.i0 : c.index[size_t(k) + 1];
      halves(c.weight[size_t(k)], single ? 0 : c.weight[size_t(k) + 1], cp.high, cp.low);
      p.pairs.push_back(cp);
    }
  }
  p.first.push_back(int32_t(p.pairs.size()));
  return p;
}

#if defined(__SSE2__)
// Four 32-bit sums clamped by the rule and packed into four bytes (low 32 bits of the result).
inline __m128i ClampSums4(__m128i sums) {
  const __m128i v = _mm_packs_epi32(_mm_srai_epi32(sums, 16), _mm_setzero_si128());
  return _mm_packus_epi16(v, _mm_setzero_si128());
}

// sum over one pair of 16-bit channel pairs (c from source 0 and 1 interleaved) of (w x c).
inline __m128i PairProduct(__m128i interleaved, __m128i high, __m128i low) {
  return _mm_add_epi32(_mm_slli_epi32(_mm_madd_epi16(interleaved, high), 8), _mm_madd_epi16(interleaved, low));
}
#endif

// One target row of the horizontal pass.
void ResampleRow(const uint32_t* src, uint32_t* dst, int32_t width, const PairedContributions& c) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (int32_t x = 0; x < width; ++x) {
    __m128i acc = zero;
    for (int32_t k = c.first[size_t(x)]; k < c.first[size_t(x) + 1]; ++k) {
      const ContributionPair& p = c.pairs[size_t(k)];
      const __m128i p0 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(src[p.i0])), zero);
      const __m128i p1 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(src[p.i1])), zero);
      acc = _mm_add_epi32(acc, PairProduct(_mm_unpacklo_epi16(p0, p1), _mm_set1_epi32(p.high), _mm_set1_epi32(p.low)));
    }
    dst[x] = uint32_t(_mm_cvtsi128_si32(ClampSums4(acc)));
  }
#else
  for (int32_t x = 0; x < width; ++x) {
    int32_t sum[4] = {0, 0, 0, 0};
    for (int32_t k = c.first[size_t(x)]; k < c.first[size_t(x) + 1]; ++k) {
      const ContributionPair& p = c.pairs[size_t(k)];
      const int32_t w0 = int16_t(p.high & 0xFFFF) * 256 + (p.low & 0xFF);
      const int32_t w1 = int16_t(uint32_t(p.high) >> 16) * 256 + ((p.low >> 16) & 0xFF);
      for (int ch = 0; ch < 4; ++ch) {
        sum[ch] += int32_t((src[p.i0] >> (8 * ch)) & 0xFF) * w0 + int32_t((src[p.i1] >> (8 * ch)) & 0xFF) * w1;
      }
    }
    dst[x] = uint32_t(ClampSum(sum[0])) | uint32_t(ClampSum(sum[1])) << 8 | uint32_t(ClampSum(sum[2])) << 16 |
             uint32_t(ClampSum(sum[3])) << 24;
  }
#endif
}

// One target row of the vertical pass: a weighted sum of whole work rows, sixteen channels at a time.
void ResampleColumnRow(const detail::View32& work, uint32_t* dst, int32_t width, const ContributionPair* pairs,
                       int32_t count) {
  const size_t channels = size_t(width) * 4;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  uint8_t* out = reinterpret_cast<uint8_t*>(dst);
  for (; i + 16 <= channels; i += 16) {
    __m128i a0 = zero, a1 = zero, a2 = zero, a3 = zero;
    for (int32_t k = 0; k < count; ++k) {
      const ContributionPair& p = pairs[k];
      const __m128i high = _mm_set1_epi32(p.high), low = _mm_set1_epi32(p.low);
      const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reinterpret_cast<const uint8_t*>(work.Row(p.i0)) + i));
      const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reinterpret_cast<const uint8_t*>(work.Row(p.i1)) + i));
      const __m128i lo0 = _mm_unpacklo_epi8(r0, zero), lo1 = _mm_unpacklo_epi8(r1, zero);
      const __m128i hi0 = _mm_unpackhi_epi8(r0, zero), hi1 = _mm_unpackhi_epi8(r1, zero);
      a0 = _mm_add_epi32(a0, PairProduct(_mm_unpacklo_epi16(lo0, lo1), high, low));
      a1 = _mm_add_epi32(a1, PairProduct(_mm_unpackhi_epi16(lo0, lo1), high, low));
      a2 = _mm_add_epi32(a2, PairProduct(_mm_unpacklo_epi16(hi0, hi1), high, low));
      a3 = _mm_add_epi32(a3, PairProduct(_mm_unpackhi_epi16(hi0, hi1), high, low));
    }
    const __m128i v01 = _mm_packs_epi32(_mm_srai_epi32(a0, 16), _mm_srai_epi32(a1, 16));
    const __m128i v23 = _mm_packs_epi32(_mm_srai_epi32(a2, 16), _mm_srai_epi32(a3, 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v01, v23));
  }
#endif
  uint8_t* bytes = reinterpret_cast<uint8_t*>(dst);
  for (; i < channels; ++i) {
    int32_t sum = 0;
    for (int32_t k = 0; k < count; ++k) {
      const ContributionPair& p = pairs[k];
      const int32_t w0 = int16_t(p.high & 0xFFFF) * 256 + (p.low & 0xFF);
      const int32_t w1 = int16_t(uint32_t(p.high) >> 16) * 256 + ((p.low >> 16) & 0xFF);
      sum += int32_t(reinterpret_cast<const uint8_t*>(work.Row(p.i0))[i]) * w0 +
             int32_t(reinterpret_cast<const uint8_t*>(work.Row(p.i1))[i]) * w1;
    }
    bytes[i] = ClampSum(sum);
  }
}

}  // namespace

void StretchBitmapFiltered(const Bitmap& src, Bitmap& dst, int32_t width, int32_t height, int filter) {
  if (&src == &dst) return;
  if (src.PixelFormat() != pf32bit) {
    Bitmap copy;
    copy.Assign(src);
    copy.SetPixelFormat(pf32bit);
    StretchBitmapFiltered(copy, dst, width, height, filter);
    return;
  }
  if (width == src.Width() && height == src.Height()) {
    dst.Assign(src);
    return;
  }
  dst.SetPixelFormat(pf32bit);
  dst.SetSize(width, height);
  detail::View32 s, d;
  if (!detail::GetView32(src, s) || !detail::GetView32(dst, d)) return;

  // Horizontal pass: every source row into a work image of the target width.
  Bitmap work(d.width, s.height, pf32bit);
  detail::View32 w;
  detail::GetView32(work, w);
  const PairedContributions cx = PairUp(BuildResampleContributions(s.width, d.width, filter));
  for (int32_t y = 0; y < s.height; ++y) ResampleRow(s.Row(y), w.Row(y), d.width, cx);

  // Vertical pass: every target row as a weighted sum of work rows.
  const PairedContributions cy = PairUp(BuildResampleContributions(s.height, d.height, filter));
  for (int32_t y = 0; y < d.height; ++y) {
    const int32_t first = cy.first[size_t(y)];
    ResampleColumnRow(w, d.Row(y), d.width, cy.pairs.data() + first, cy.first[size_t(y) + 1] - first);
  }
}

}  // namespace skin
