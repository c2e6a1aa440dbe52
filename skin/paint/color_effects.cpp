#include "skin/paint/color_effects.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "skin/paint/pixel_access.h"

namespace skin {

namespace {

// Colour as a pixel (so that the pixel functions serve single colours too) and back; the high byte stays.
template <class Func>
TColor ThroughPixel(TColor color, int amount, Func func) {
  const uint32_t c = uint32_t(color);
  uint32_t p = MakePixel(GetBValue(c), GetGValue(c), GetRValue(c), 0);
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

// The source indexes and 16.16 weights of every target position along one axis.
struct Contributions {
  std::vector<int32_t> first;  // per target: offset into index/weight; first[n] = total
  std::vector<int32_t> index;
  std::vector<int32_t> weight;
};

Contributions BuildContributions(int32_t srcSize, int32_t dstSize, int filter) {
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

inline uint8_t ClampSum(int32_t sum) { return uint8_t(sum < 0 ? 0 : (sum >= 0xFF0001 ? 255 : sum >> 16)); }

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
  const Contributions cx = BuildContributions(s.width, d.width, filter);
  for (int32_t y = 0; y < s.height; ++y) {
    const uint8_t* sr = reinterpret_cast<const uint8_t*>(s.Row(y));
    uint8_t* wr = reinterpret_cast<uint8_t*>(w.Row(y));
    for (int32_t x = 0; x < d.width; ++x) {
      int32_t b = 0, g = 0, r = 0, a = 0;
      for (int32_t k = cx.first[size_t(x)]; k < cx.first[size_t(x) + 1]; ++k) {
        const uint8_t* p = sr + 4 * size_t(cx.index[size_t(k)]);
        const int32_t wt = cx.weight[size_t(k)];
        b += p[0] * wt;
        g += p[1] * wt;
        r += p[2] * wt;
        a += p[3] * wt;
      }
      wr[4 * x] = ClampSum(b);
      wr[4 * x + 1] = ClampSum(g);
      wr[4 * x + 2] = ClampSum(r);
      wr[4 * x + 3] = ClampSum(a);
    }
  }

  // Vertical pass: every target row as a weighted sum of work rows, channel by channel along the row.
  const Contributions cy = BuildContributions(s.height, d.height, filter);
  const size_t channels = size_t(d.width) * 4;
  std::vector<int32_t> acc(channels);
  for (int32_t y = 0; y < d.height; ++y) {
    std::fill(acc.begin(), acc.end(), 0);
    int32_t* accp = acc.data();
    for (int32_t k = cy.first[size_t(y)]; k < cy.first[size_t(y) + 1]; ++k) {
      const uint8_t* wr = reinterpret_cast<const uint8_t*>(w.Row(cy.index[size_t(k)]));
      const int32_t wt = cy.weight[size_t(k)];
      for (size_t i = 0; i < channels; ++i) accp[i] += int32_t(wr[i]) * wt;
    }
    uint8_t* dr = reinterpret_cast<uint8_t*>(d.Row(y));
    for (size_t i = 0; i < channels; ++i) dr[i] = ClampSum(accp[i]);
  }
}

}  // namespace skin
