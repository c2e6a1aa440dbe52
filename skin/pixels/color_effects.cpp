#include "skin/pixels/color_effects.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_kernels.h"

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

}  // namespace

namespace {

// Targets made of two neighbouring source pixels a = src[j], b = src[j + 1] (the box and triangle filters when
// enlarging, the box filter when halving, every filter near an edge): the rule's value (w x a + (65536 - w) x b)
// shr 16, with w in 0..65536, is exactly b + floor(w x (a - b) / 65536); the product is the high half of a
// signed 16-bit multiplication with the weight taken as a 16-bit value ws (w, or w - 65536 from 32768 on, when
// a - b is added back: the flag). No clamping is needed: the value lies between a and b.
struct Adjacent {
  int32_t j;
  int32_t w;      // 0..65536
  int16_t ws;
  int16_t flag;   // -1 when w >= 32768
};

struct AdjacentTargets {
  std::vector<Adjacent> targets;
  // Per target, ws and flag for each of the four channels (8 bytes each), for the vector loops.
  std::vector<int16_t> ws4, flag4;
  // Per target, how many of the targets after it read their pair two pixels further each (up to 255): when
  // halving, groups of targets read one run of source pixels.
  std::vector<uint8_t> run2;
};

Adjacent MakeAdjacent(int32_t j, int32_t w) {
  Adjacent a{j, w, int16_t(w >= 32768 ? w - 65536 : w), int16_t(w >= 32768 ? -1 : 0)};
  return a;
}

// False when some target is not of that form (then the general loops serve the axis).
bool AdjacentForm(const Contributions& c, int32_t srcSize, AdjacentTargets& out) {
  if (srcSize < 2 || c.first.size() < 2) return false;
  const size_t targets = c.first.size() - 1;
  out.targets.clear();
  out.targets.reserve(targets);
  for (size_t t = 0; t < targets; ++t) {
    const int32_t k = c.first[t], count = c.first[t + 1] - k;
    if (count == 1) {  // one pixel, weight 65536
      const int32_t i = c.index[size_t(k)];
      out.targets.push_back(i + 1 < srcSize ? MakeAdjacent(i, 65536) : MakeAdjacent(i - 1, 0));
      continue;
    }
    if (count != 2) return false;
    const int32_t i0 = c.index[size_t(k)], i1 = c.index[size_t(k) + 1];
    const int32_t w0 = c.weight[size_t(k)], w1 = c.weight[size_t(k) + 1];
    if (w0 < 0 || w1 < 0) return false;
    if (i1 == i0 + 1) {
      out.targets.push_back(MakeAdjacent(i0, w0));
    } else if (i0 == i1 + 1) {
      out.targets.push_back(MakeAdjacent(i1, w1));
    } else {
      return false;
    }
  }
  out.run2.assign(targets, 0);
  for (size_t t = targets - 1; t-- > 0;)
    if (out.targets[t + 1].j == out.targets[t].j + 2) out.run2[t] = uint8_t(std::min(out.run2[t + 1] + 1, 255));
  out.ws4.resize(targets * 4);
  out.flag4.resize(targets * 4);
  for (size_t t = 0; t < targets; ++t)
    for (size_t ch = 0; ch < 4; ++ch) {
      out.ws4[t * 4 + ch] = out.targets[t].ws;
      out.flag4[t * 4 + ch] = out.targets[t].flag;
    }
  return true;
}

inline uint32_t MixAdjacent(uint32_t a, uint32_t b, int32_t w) {
  uint32_t out = 0;
  for (int ch = 0; ch < 4; ++ch) {
    const int32_t ca = int32_t((a >> (8 * ch)) & 0xFF), cb = int32_t((b >> (8 * ch)) & 0xFF);
    out |= uint32_t((w * ca + (65536 - w) * cb) >> 16) << (8 * ch);
  }
  return out;
}

#if defined(__SSE2__)
// Sixteen channels (four pixels): b + (high half of (a - b) x ws) + ((a - b) where flag).
inline __m128i MixAdjacent16(__m128i a, __m128i b, __m128i wsLo, __m128i wsHi, __m128i flagLo, __m128i flagHi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i bl = _mm_unpacklo_epi8(b, zero), bh = _mm_unpackhi_epi8(b, zero);
  const __m128i dl = _mm_sub_epi16(_mm_unpacklo_epi8(a, zero), bl);
  const __m128i dh = _mm_sub_epi16(_mm_unpackhi_epi8(a, zero), bh);
  const __m128i rl = _mm_add_epi16(_mm_add_epi16(bl, _mm_mulhi_epi16(dl, wsLo)), _mm_and_si128(dl, flagLo));
  const __m128i rh = _mm_add_epi16(_mm_add_epi16(bh, _mm_mulhi_epi16(dh, wsHi)), _mm_and_si128(dh, flagHi));
  return _mm_packus_epi16(rl, rh);
}

// The two neighbours of targets x and x + 1 (a, b, a, b), each read as one 8-byte piece.
inline __m128i TwoPairs(const uint32_t* src, const Adjacent* t, int32_t x) {
  return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + t[x].j)),
                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + t[x + 1].j)));
}
#endif

#if defined(SKIN_PAINT_AVX2)
__attribute__((target("avx2"))) inline __m256i MixAdjacent32(__m256i a, __m256i b, __m256i wsLo, __m256i wsHi,
                                                             __m256i flagLo, __m256i flagHi) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i bl = _mm256_unpacklo_epi8(b, zero), bh = _mm256_unpackhi_epi8(b, zero);
  const __m256i dl = _mm256_sub_epi16(_mm256_unpacklo_epi8(a, zero), bl);
  const __m256i dh = _mm256_sub_epi16(_mm256_unpackhi_epi8(a, zero), bh);
  const __m256i rl = _mm256_add_epi16(_mm256_add_epi16(bl, _mm256_mulhi_epi16(dl, wsLo)), _mm256_and_si256(dl, flagLo));
  const __m256i rh = _mm256_add_epi16(_mm256_add_epi16(bh, _mm256_mulhi_epi16(dh, wsHi)), _mm256_and_si256(dh, flagHi));
  return _mm256_packus_epi16(rl, rh);
}

// 128 bits at p in the low lane and at q in the high lane.
__attribute__((target("avx2"))) inline __m256i TwoLanes(const void* p, const void* q) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(p))),
                                 _mm_loadu_si128(static_cast<const __m128i*>(q)), 1);
}

// One target row of the horizontal pass, eight pixels at a time; the a and b pixels are sorted out of the
// pieces with two shuffles.
__attribute__((target("avx2"))) int32_t ResampleRowAdjacentAvx2(const uint32_t* src, uint32_t* dst, int32_t width,
                                                                const AdjacentTargets& c) {
  const Adjacent* t = c.targets.data();
  const int16_t* ws = c.ws4.data();
  const int16_t* fl = c.flag4.data();
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    __m256 X, Y;
    if (c.run2[size_t(x)] >= 7) {
      // Halving: the sixteen source pixels follow each other.
      const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + t[x].j));
      const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + t[x].j + 8));
      X = _mm256_castsi256_ps(_mm256_permute2x128_si256(lo, hi, 0x20));  // pixels 0-3 | 8-11
      Y = _mm256_castsi256_ps(_mm256_permute2x128_si256(lo, hi, 0x31));  // pixels 4-7 | 12-15
    } else {
      const __m128i p01 = TwoPairs(src, t, x), p23 = TwoPairs(src, t, x + 2);
      const __m128i p45 = TwoPairs(src, t, x + 4), p67 = TwoPairs(src, t, x + 6);
      X = _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(p01), p45, 1));
      Y = _mm256_castsi256_ps(_mm256_inserti128_si256(_mm256_castsi128_si256(p23), p67, 1));
    }
    const __m256i a = _mm256_castps_si256(_mm256_shuffle_ps(X, Y, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m256i b = _mm256_castps_si256(_mm256_shuffle_ps(X, Y, _MM_SHUFFLE(3, 1, 3, 1)));
    // In each 128-bit lane the low half holds targets (x, x+1) or (x+4, x+5), the high half (x+2, x+3) or
    // (x+6, x+7).
    const __m256i r = MixAdjacent32(a, b, TwoLanes(ws + 4 * x, ws + 4 * (x + 4)), TwoLanes(ws + 4 * (x + 2), ws + 4 * (x + 6)),
                                    TwoLanes(fl + 4 * x, fl + 4 * (x + 4)), TwoLanes(fl + 4 * (x + 2), fl + 4 * (x + 6)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x), r);
  }
  return x;
}

// One target row of the vertical pass from two work rows, thirty-two channels at a time.
__attribute__((target("avx2"))) size_t ResampleColumnAdjacentAvx2(const uint8_t* ra, const uint8_t* rb, uint8_t* out,
                                                                  size_t channels, const Adjacent& t) {
  const __m256i ws = _mm256_set1_epi16(t.ws), fl = _mm256_set1_epi16(t.flag);
  size_t i = 0;
  for (; i + 32 <= channels; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ra + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rb + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), MixAdjacent32(a, b, ws, ws, fl, fl));
  }
  return i;
}
#endif

void ResampleRowAdjacent(const uint32_t* src, uint32_t* dst, int32_t width, const AdjacentTargets& c) {
  int32_t x = 0;
  const Adjacent* t = c.targets.data();
#if defined(SKIN_PAINT_AVX2)
  if (kernels::HasAvx2()) x = ResampleRowAdjacentAvx2(src, dst, width, c);
#endif
#if defined(__SSE2__)
  auto words = [](const int16_t* p, int32_t i) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * i)); };
  for (; x + 4 <= width; x += 4) {
    const bool run = c.run2[size_t(x)] >= 3;  // halving: eight source pixels in a row
    const __m128 X = _mm_castsi128_ps(run ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + t[x].j))
                                          : TwoPairs(src, t, x));
    const __m128 Y = _mm_castsi128_ps(run ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + t[x].j + 4))
                                          : TwoPairs(src, t, x + 2));
    const __m128i a = _mm_castps_si128(_mm_shuffle_ps(X, Y, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i b = _mm_castps_si128(_mm_shuffle_ps(X, Y, _MM_SHUFFLE(3, 1, 3, 1)));
    const __m128i r = MixAdjacent16(a, b, words(c.ws4.data(), x), words(c.ws4.data(), x + 2),
                                    words(c.flag4.data(), x), words(c.flag4.data(), x + 2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), r);
  }
#endif
  for (; x < width; ++x) dst[x] = MixAdjacent(src[t[x].j], src[t[x].j + 1], t[x].w);
}

void ResampleColumnAdjacent(const uint32_t* ra, const uint32_t* rb, uint32_t* dst, int32_t width, const Adjacent& t) {
  const size_t channels = size_t(width) * 4;
  const uint8_t* a = reinterpret_cast<const uint8_t*>(ra);
  const uint8_t* b = reinterpret_cast<const uint8_t*>(rb);
  uint8_t* out = reinterpret_cast<uint8_t*>(dst);
  if (t.w == 65536 || t.w == 0) {
    std::memcpy(out, t.w ? a : b, channels);
    return;
  }
  size_t i = 0;
#if defined(SKIN_PAINT_AVX2)
  if (kernels::HasAvx2()) i = ResampleColumnAdjacentAvx2(a, b, out, channels, t);
#endif
#if defined(__SSE2__)
  const __m128i ws = _mm_set1_epi16(t.ws), fl = _mm_set1_epi16(t.flag);
  for (; i + 16 <= channels; i += 16) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), MixAdjacent16(va, vb, ws, ws, fl, fl));
  }
#endif
  for (; i < channels; ++i) out[i] = uint8_t((t.w * int32_t(a[i]) + (65536 - t.w) * int32_t(b[i])) >> 16);
}

// Everything the passes need of one axis. Painting resamples the same few sizes again and again (a control's
// images at its size), so each thread keeps the axes it prepared last.
struct PreparedAxis {
  int32_t from = 0, to = 0, filter = 0;
  Contributions contributions;
  bool adjacent = false;
  AdjacentTargets adjacentForm;
  PairedContributions paired;  // when not adjacent
};

std::shared_ptr<const PreparedAxis> PrepareAxis(int32_t from, int32_t to, int filter) {
  thread_local std::array<std::shared_ptr<const PreparedAxis>, 4> kept;
  thread_local size_t next = 0;
  for (const auto& k : kept)
    if (k && k->from == from && k->to == to && k->filter == filter) return k;
  auto axis = std::make_shared<PreparedAxis>();
  axis->from = from;
  axis->to = to;
  axis->filter = filter;
  axis->contributions = BuildResampleContributions(from, to, filter);
  axis->adjacent = AdjacentForm(axis->contributions, from, axis->adjacentForm);
  if (!axis->adjacent) axis->paired = PairUp(axis->contributions);
  kept[next] = axis;
  next = (next + 1) % kept.size();
  return axis;
}

// The rows of the horizontal pass that the vertical pass still needs, made as it comes to them: the sources of
// the target rows move down the image, so a window of as many work rows as one target row spans holds them all,
// and a row is made once, just before it is first read (while it is still in the cache).
class WorkRows {
 public:
  WorkRows(const Contributions& cy, int32_t width) : width_(width) {
    int32_t span = 1;
    for (size_t t = 0; t + 1 < cy.first.size(); ++t) {
      int32_t lo = INT32_MAX, hi = INT32_MIN;
      for (int32_t k = cy.first[t]; k < cy.first[t + 1]; ++k) {
        lo = std::min(lo, cy.index[size_t(k)]);
        hi = std::max(hi, cy.index[size_t(k)]);
      }
      if (lo > hi) continue;
      if (lo < lowest_) monotone_ = false;  // a target reaching above an earlier one's first row
      lowest_ = std::max(lowest_, lo);
      span = std::max(span, hi - lo + 1);
    }
    slots_ = span + 1;
    pixels_.resize(size_t(slots_) * size_t(width));
    made_.assign(size_t(slots_), -1);
  }
  // False when the sources do not move down the image (every row is then kept: a window as tall as the image).
  bool Monotone() const { return monotone_; }

  template <class Make>
  const uint32_t* Row(int32_t y, Make make) {
    const size_t slot = size_t(y % slots_);
    uint32_t* row = pixels_.data() + slot * size_t(width_);
    if (made_[slot] != y) {
      make(y, row);
      made_[slot] = y;
    }
    return row;
  }

 private:
  int32_t width_;
  int32_t slots_ = 1;
  int32_t lowest_ = 0;
  bool monotone_ = true;
  std::vector<uint32_t> pixels_;
  std::vector<int32_t> made_;
};

// One target row of the vertical pass from any number of work rows (row(k) gives work row k).
template <class RowOf>
void ResampleColumnRowGeneral(RowOf row, uint32_t* dst, int32_t width, const ContributionPair* pairs, int32_t count) {
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
      const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reinterpret_cast<const uint8_t*>(row(p.i0)) + i));
      const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reinterpret_cast<const uint8_t*>(row(p.i1)) + i));
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
      sum += int32_t(reinterpret_cast<const uint8_t*>(row(p.i0))[i]) * w0 +
             int32_t(reinterpret_cast<const uint8_t*>(row(p.i1))[i]) * w1;
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

  // Horizontal pass: source rows into work rows of the target width; vertical pass: every target row as a
  // weighted sum of work rows. The work rows are made as the vertical pass reaches them.
  const std::shared_ptr<const PreparedAxis> px = PrepareAxis(s.width, d.width, filter);
  const std::shared_ptr<const PreparedAxis> py = PrepareAxis(s.height, d.height, filter);
  const AdjacentTargets& ax = px->adjacentForm;
  const AdjacentTargets& ay = py->adjacentForm;
  const PairedContributions& cx = px->paired;
  auto makeRow = [&](int32_t y, uint32_t* row) {
    if (px->adjacent)
      ResampleRowAdjacent(s.Row(y), row, d.width, ax);
    else
      ResampleRow(s.Row(y), row, d.width, cx);
  };

  WorkRows window(py->contributions, d.width);
  Bitmap whole;  // every work row, when the window cannot serve
  detail::View32 w;
  if (!window.Monotone()) {
    whole = Bitmap(d.width, s.height, pf32bit);
    detail::GetView32(whole, w);
    for (int32_t y = 0; y < s.height; ++y) makeRow(y, w.Row(y));
  }
  auto work = [&](int32_t y) { return window.Monotone() ? window.Row(y, makeRow) : w.Row(y); };

  if (py->adjacent) {
    for (int32_t y = 0; y < d.height; ++y) {
      const Adjacent& t = ay.targets[size_t(y)];
      // A weight of 0 or 65536 takes one row alone: the other is not made for it.
      const uint32_t* ra = t.w == 0 ? nullptr : work(t.j);
      const uint32_t* rb = t.w == 65536 ? ra : work(t.j + 1);
      if (ra == nullptr) ra = rb;
      ResampleColumnAdjacent(ra, rb, d.Row(y), d.width, t);
    }
    return;
  }
  const PairedContributions& cy = py->paired;
  std::vector<const uint32_t*> rows(size_t(std::max(s.height, 1)));
  for (int32_t y = 0; y < d.height; ++y) {
    const int32_t first = cy.first[size_t(y)], count = cy.first[size_t(y) + 1] - first;
    const ContributionPair* pairs = cy.pairs.data() + first;
    // Every work row of this target first, then the sums.
    for (int32_t k = 0; k < count; ++k) {
      rows[size_t(pairs[k].i0)] = work(pairs[k].i0);
      rows[size_t(pairs[k].i1)] = work(pairs[k].i1);
    }
    ResampleColumnRowGeneral([&](int32_t i) { return rows[size_t(i)]; }, d.Row(y), d.width, pairs, count);
  }
}

}  // namespace skin
