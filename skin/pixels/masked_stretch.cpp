#include "skin/pixels/masked_stretch.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "skin/pixels/color_effects.h"
#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_kernels.h"

namespace skin {

using detail::GetView32;
using detail::View32;

namespace {

// One target position of an axis: its source indexes and their weights in 14 bits (adding up to 16384).
struct Taps {
  std::vector<int32_t> first;  // per target, into index and weight; one more at the end
  std::vector<int32_t> index;
  std::vector<int16_t> weight;
};

// What the stretches keep between calls (the last axes and pairs made, the idle streams) is the process's, behind
// one lock: painting runs on one thread, and objects kept per thread would be freed when a thread ends, which the
// Windows build's run-time does not do safely.
std::mutex& KeptLock() {
  static std::mutex lock;
  return lock;
}

// The last few values made for a key: painting asks for the same few again and again.
template <class Key, class Value>
class LastMade {
 public:
  std::shared_ptr<const Value> Find(const Key& key) const {
    const std::lock_guard<std::mutex> hold(KeptLock());
    for (const Entry& e : kept_)
      if (e.value && e.key == key) return e.value;
    return nullptr;
  }
  void Keep(const Key& key, std::shared_ptr<const Value> value) {
    const std::lock_guard<std::mutex> hold(KeptLock());
    kept_[next_] = Entry{key, std::move(value)};
    next_ = (next_ + 1) % kept_.size();
  }

 private:
  struct Entry {
    Key key{};
    std::shared_ptr<const Value> value;
  };
  std::array<Entry, 6> kept_{};
  size_t next_ = 0;
};

// The filtered stretch's contributions with their 16.16 weights rounded to 14 bits, the rounding rest given to the
// largest weight of each target. Painting stretches the same few sizes again and again: the last axes made are kept.
std::shared_ptr<const Taps> AxisTaps(int32_t from, int32_t to, int filter) {
  static LastMade<std::array<int32_t, 3>, Taps> kept;
  const std::array<int32_t, 3> key{from, to, filter};
  if (std::shared_ptr<const Taps> made = kept.Find(key)) return made;
  const ResampleContributions c = BuildResampleContributions(from, to, filter);
  auto t = std::make_shared<Taps>();
  t->first = c.first;
  t->index = c.index;
  t->weight.resize(c.weight.size());
  for (size_t target = 0; target + 1 < c.first.size(); ++target) {
    int32_t total = 0, largest = -1;
    for (int32_t k = c.first[target]; k < c.first[target + 1]; ++k) {
      const int32_t w = (c.weight[size_t(k)] + 2) >> 2;
      t->weight[size_t(k)] = int16_t(w);
      total += w;
      if (largest < 0 || w > t->weight[size_t(largest)]) largest = k;
    }
    if (largest >= 0) t->weight[size_t(largest)] = int16_t(t->weight[size_t(largest)] + (16384 - total));
  }
  kept.Keep(key, t);
  return t;
}

inline uint32_t ClampChannel(int32_t sum) { return sum < 0 ? 0u : (sum >= (256 << 14) ? 255u : uint32_t(sum >> 14)); }

// A weighted sum of four-channel pixels, each channel clamped to a byte.
struct Sum4 {
  int32_t c[4] = {0, 0, 0, 0};
  void Add(uint32_t p, int32_t w) {
    for (int i = 0; i < 4; ++i) c[i] += int32_t((p >> (8 * i)) & 0xFF) * w;
  }
  uint32_t Pixel() const {
    return ClampChannel(c[0]) | ClampChannel(c[1]) << 8 | ClampChannel(c[2]) << 16 | ClampChannel(c[3]) << 24;
  }
};

// The width of the column strips the vertical pass works through, so that the rows it reads for a strip stay in the
// second-level cache however wide the target is.
constexpr int32_t kStrip = 2048;

// One stream (the image, or its mask): the source rows stretched across (each row of the piece, sh2 of them, the
// last repeated for a piece of one row), and the rows of the target made from them.
class Stream {
 public:
  // Started for every stretch and kept idle between stretches: its buffers keep their size from one stretch to the
  // next, so that painting the same pieces again allocates and clears nothing.
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // grey: every pixel of the piece has equal blue, green and red, which the target's then have too: one channel is
  // worked out and repeated.
  void Start(const View32& s, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t width, int32_t height,
             int32_t visibleW, int filter, bool grey) {
    visibleW_ = visibleW;
    grey_ = grey;
    first_ = last_ = x0_ = -1;
    const int32_t sh2 = std::max(sh, 2);
    down_ = AxisTaps(sh2, height, filter);
    const std::shared_ptr<const AcrossPairs> pairs = CachedPairs(sw, width, visibleW, filter);
    Grow(rows_, size_t(sh2) * size_t(visibleW));
    for (int32_t r = 0; r < sh2; ++r) {
      const uint32_t* src = s.Row(sy + std::min(r, sh - 1)) + sx;
      Across(src, *pairs, rows_.data() + size_t(r) * size_t(visibleW));
    }
  }
  // Buffers much larger than painting needs (a very tall source) are given back after the stretch.
  void Trim() {
    constexpr size_t kKeep = size_t(16) << 20;  // bytes
    if (rows_.capacity() * sizeof(uint32_t) > kKeep) std::vector<uint32_t>().swap(rows_);
    if (paired_.capacity() * sizeof(int16_t) > kKeep) std::vector<int16_t>().swap(paired_);
    down_.reset();
  }

  // Target row y (0-based in the target), columns x0 .. x0 + n - 1 (n at most kStrip), into out[0 .. n).
  void Row(int32_t y, int32_t x0, int32_t n, uint32_t* out);
  // The same row mixed at once into d[0 .. n) through the mask row m (the mask rule, alpha 255).
  void MixRow(int32_t y, int32_t x0, int32_t n, uint32_t* d, const uint32_t* m);

  // Where pixel x of a strip lies in a four-channel stream's pairs: in each group of eight, pixels 0, 4, 1, 5, 2, 6,
  // 3, 7 (the order that lets eight pixels pack back to bytes in their own order).
  static constexpr size_t Slot(int32_t k) { return size_t((k & 3) * 2 + (k >> 2)); }
  static constexpr size_t Place(int32_t x) { return size_t(x & ~7) + Slot(x & 7); }

 private:
  // The taps of the visible columns two by two, the source columns clamped to the piece and the two weights packed
  // for a 16-bit multiply-add (a lone tap paired with weight 0).
  struct AcrossPairs {
    std::vector<int32_t> first;  // per column, into the three below
    std::vector<int32_t> a, b;
    std::vector<int32_t> weights;
    // The same for four columns at a time with AVX2, when no column has more than four pairs: every column given
    // `even` pairs (padded with weight 0), each pair an index into the distinct pairs of source columns (unpacked once
    // per row), and the weights of columns 2i and 2i + 1 side by side, each repeated over the four channels.
    int32_t even = 0;
    std::vector<int32_t> distinctA, distinctB;
    std::vector<int32_t> distinct;  // per column, `even` of them
    std::vector<int32_t> wide;      // per two columns, `even` groups of eight
  };
  static AcrossPairs Pairs(const Taps& t, int32_t sw, int32_t visibleW);
  // The pairs of a geometry, made once: the last few made are kept.
  static std::shared_ptr<const AcrossPairs> CachedPairs(int32_t sw, int32_t width, int32_t visibleW, int filter);
  // A buffer made at least n long (never shorter, never cleared).
  template <class T>
  static void Grow(std::vector<T>& v, size_t n) {
    if (v.size() < n) v.resize(n);
  }
  // Pixels from .. n - 1 of the prepared row, without AVX2.
  void Plain(int32_t from, int32_t n, uint32_t* out) const;
  // One source row stretched across into the visible columns.
  void Across(const uint32_t* src, const AcrossPairs& pairs, uint32_t* out) const;
#if defined(SKIN_PAINT_AVX2)
  // The same four columns at a time; the number of columns made.
  __attribute__((target("avx2"))) int32_t AcrossAvx2(const uint32_t* src, const AcrossPairs& pairs,
                                                     uint32_t* out) const;
#endif
  // The rows of target row y paired over the strip (made again only when the taps or the strip change).
  void Prepare(int32_t y, int32_t x0, int32_t n);
#if defined(SKIN_PAINT_AVX2)
  // The row's pixels, eight at a time, with AVX2 (none for more than four pairs of rows); the number of pixels made.
  __attribute__((target("avx2"))) int32_t RowAvx2(int32_t n, uint32_t* out) const;
  __attribute__((target("avx2"))) int32_t GreyRowAvx2(int32_t n, uint32_t* out) const;
  __attribute__((target("avx2"))) int32_t MixRowAvx2(int32_t n, uint32_t* d, const uint32_t* m) const;
#endif
  const uint32_t* Source(int32_t r) const { return rows_.data() + size_t(r) * size_t(visibleW_); }

  int32_t visibleW_ = 0;
  bool grey_ = false;
  std::shared_ptr<const Taps> down_;
  std::vector<uint32_t> rows_;
  // The source rows of the taps in use, two by two, their channels interleaved as 16-bit pairs over the strip in
  // use (for the multiply-add of two rows at once); made again when the taps or the strip change.
  int32_t first_ = -1, last_ = -1, x0_ = -1;
  size_t pairs_ = 0;
  std::vector<int16_t> weights_;  // two per pair
  std::vector<int16_t> paired_;   // per pair, 8 values per pixel of the strip (2 in a grey stream)
  // The distinct pairs of source pixels of the row being stretched across (AVX2).
  mutable std::vector<int16_t> unpacked_;
};

std::shared_ptr<const Stream::AcrossPairs> Stream::CachedPairs(int32_t sw, int32_t width, int32_t visibleW,
                                                               int filter) {
  static LastMade<std::array<int32_t, 4>, AcrossPairs> kept;
  const std::array<int32_t, 4> key{sw, width, visibleW, filter};
  if (std::shared_ptr<const AcrossPairs> made = kept.Find(key)) return made;
  auto made = std::make_shared<const AcrossPairs>(Pairs(*AxisTaps(std::max(sw, 2), width, filter), sw, visibleW));
  kept.Keep(key, made);
  return made;
}

Stream::AcrossPairs Stream::Pairs(const Taps& t, int32_t sw, int32_t visibleW) {
  AcrossPairs p;
  int32_t most = 0;
  for (int32_t x = 0; x < visibleW; ++x) {
    p.first.push_back(int32_t(p.a.size()));
    for (int32_t k = t.first[size_t(x)]; k < t.first[size_t(x) + 1]; k += 2) {
      const bool lone = k + 1 >= t.first[size_t(x) + 1];
      p.a.push_back(std::min(t.index[size_t(k)], sw - 1));
      p.b.push_back(lone ? p.a.back() : std::min(t.index[size_t(k) + 1], sw - 1));
      const uint16_t w0 = uint16_t(t.weight[size_t(k)]), w1 = lone ? 0 : uint16_t(t.weight[size_t(k) + 1]);
      p.weights.push_back(int32_t(uint32_t(w1) << 16 | w0));
    }
    most = std::max(most, int32_t(p.a.size()) - p.first.back());
  }
  p.first.push_back(int32_t(p.a.size()));
  if (most < 1 || most > 4) return p;
  p.even = most;
  p.distinct.assign(size_t(visibleW) * size_t(most), 0);
  p.wide.assign(size_t((visibleW + 1) / 2) * size_t(most) * 8, 0);
  std::unordered_map<int64_t, int32_t> seen;  // by source pair
  for (int32_t x = 0; x < visibleW; ++x)
    for (int32_t k = p.first[size_t(x)]; k < p.first[size_t(x) + 1]; ++k) {
      const int32_t j = k - p.first[size_t(x)];
      const auto [it, added] =
          seen.emplace(int64_t(p.a[size_t(k)]) * sw + p.b[size_t(k)], int32_t(p.distinctA.size()));
      const int32_t d = it->second;
      if (added) {
        p.distinctA.push_back(p.a[size_t(k)]);
        p.distinctB.push_back(p.b[size_t(k)]);
      }
      p.distinct[size_t(x) * size_t(most) + size_t(j)] = d;
      int32_t* w = p.wide.data() + ((size_t(x) / 2) * size_t(most) + size_t(j)) * 8 + (size_t(x) & 1) * 4;
      std::fill(w, w + 4, p.weights[size_t(k)]);
    }
  return p;
}

void Stream::Across(const uint32_t* src, const AcrossPairs& pairs, uint32_t* out) const {
  int32_t x = 0;
#if defined(SKIN_PAINT_AVX2)
  if (pairs.even > 0 && kernels::HasAvx2()) x = AcrossAvx2(src, pairs, out);
#endif
  for (; x < visibleW_; ++x) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (int32_t k = pairs.first[size_t(x)]; k < pairs.first[size_t(x) + 1]; ++k) {
      const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(src[pairs.a[size_t(k)]])), zero);
      const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(src[pairs.b[size_t(k)]])), zero);
      acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), _mm_set1_epi32(pairs.weights[size_t(k)])));
    }
    const __m128i words = _mm_packs_epi32(_mm_srai_epi32(acc, 14), zero);
    out[x] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(words, zero)));
#else
    Sum4 sum;
    for (int32_t k = pairs.first[size_t(x)]; k < pairs.first[size_t(x) + 1]; ++k) {
      sum.Add(src[pairs.a[size_t(k)]], int16_t(pairs.weights[size_t(k)] & 0xFFFF));
      sum.Add(src[pairs.b[size_t(k)]], int16_t(uint32_t(pairs.weights[size_t(k)]) >> 16));
    }
    out[x] = sum.Pixel();
#endif
  }
}

#if defined(SKIN_PAINT_AVX2)
__attribute__((target("avx2"))) int32_t Stream::AcrossAvx2(const uint32_t* src, const AcrossPairs& pairs,
                                                           uint32_t* out) const {
  // The distinct pairs of source pixels of this row, each as 16-bit channels of the two interleaved.
  std::vector<int16_t>& unpacked = unpacked_;  // eight per pair
  Grow(unpacked, pairs.distinctA.size() * 8);
  const __m128i zero = _mm_setzero_si128();
  for (size_t d = 0; d < pairs.distinctA.size(); ++d) {
    const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(src[pairs.distinctA[d]])), zero);
    const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(src[pairs.distinctB[d]])), zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(unpacked.data() + d * 8), _mm_unpacklo_epi16(a, b));
  }
  const auto pair = [&](int32_t d) { return reinterpret_cast<const __m128i*>(unpacked.data() + size_t(d) * 8); };
  const size_t even = size_t(pairs.even);
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  int32_t x = 0;
  for (; x + 4 <= visibleW_; x += 4) {
    // Columns x and x + 2 in the low lanes, x + 1 and x + 3 in the high ones.
    __m256i acc0 = _mm256_setzero_si256(), acc1 = _mm256_setzero_si256();
    const int32_t* dist = pairs.distinct.data() + size_t(x) * even;
    const int32_t* wide = pairs.wide.data() + size_t(x / 2) * even * 8;
    for (size_t k = 0; k < even; ++k) {
      const __m256i u01 = _mm256_loadu2_m128i(pair(dist[even + k]), pair(dist[k]));
      const __m256i u23 = _mm256_loadu2_m128i(pair(dist[3 * even + k]), pair(dist[2 * even + k]));
      acc0 = _mm256_add_epi32(
          acc0, _mm256_madd_epi16(u01, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(wide + k * 8))));
      acc1 = _mm256_add_epi32(
          acc1, _mm256_madd_epi16(u23, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(wide + (even + k) * 8))));
    }
    const __m256i words = _mm256_packs_epi32(_mm256_srai_epi32(acc0, 14), _mm256_srai_epi32(acc1, 14));
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), order);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(bytes));
  }
  return x;
}
#endif

void Stream::Prepare(int32_t y, int32_t x0, int32_t n) {
  const int32_t first = down_->first[size_t(y)], last = down_->first[size_t(y) + 1];
  // The rows of this target: in an enlargement the same as the previous target's, for many targets in a row.
  bool same = x0 == x0_ && last - first == last_ - first_;
  for (int32_t k = 0; same && k < last - first; ++k)
    same = down_->index[size_t(first + k)] == down_->index[size_t(first_ + k)];
  first_ = first;
  last_ = last;
  const int32_t count = last - first;
  pairs_ = size_t(count + 1) / 2;
  weights_.assign(pairs_ * 2, 0);
  for (int32_t k = 0; k < count; ++k) weights_[size_t(k)] = down_->weight[size_t(first + k)];
  const size_t stride = size_t(kStrip) * (grey_ ? 2 : 8);
  if (!same) {
    x0_ = x0;
    Grow(paired_, pairs_ * stride);
    for (size_t p = 0; p < pairs_; ++p) {
      const int32_t ia = down_->index[size_t(first) + 2 * p];
      const int32_t ib = 2 * p + 1 < size_t(count) ? down_->index[size_t(first) + 2 * p + 1] : ia;
      const uint32_t* a = Source(ia) + x0;
      const uint32_t* b = Source(ib) + x0;
      int16_t* to = paired_.data() + p * stride;
      int32_t x = 0;
      if (grey_) {
        for (; x < n; ++x) {
          to[2 * x] = int16_t(a[x] & 0xFF);
          to[2 * x + 1] = int16_t(b[x] & 0xFF);
        }
        continue;
      }
#if defined(__SSE2__)
      const __m128i zero = _mm_setzero_si128();
      for (; x + 8 <= n; x += 8) {
        __m128i* o = reinterpret_cast<__m128i*>(to + size_t(x) * 8);
        for (int half = 0; half < 2; ++half) {
          const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x + 4 * half));
          const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x + 4 * half));
          const __m128i alo = _mm_unpacklo_epi8(av, zero), ahi = _mm_unpackhi_epi8(av, zero);
          const __m128i blo = _mm_unpacklo_epi8(bv, zero), bhi = _mm_unpackhi_epi8(bv, zero);
          _mm_storeu_si128(o + Slot(4 * half), _mm_unpacklo_epi16(alo, blo));
          _mm_storeu_si128(o + Slot(4 * half + 1), _mm_unpackhi_epi16(alo, blo));
          _mm_storeu_si128(o + Slot(4 * half + 2), _mm_unpacklo_epi16(ahi, bhi));
          _mm_storeu_si128(o + Slot(4 * half + 3), _mm_unpackhi_epi16(ahi, bhi));
        }
      }
#endif
      for (; x < n; ++x) {
        int16_t* v = to + Place(x) * 8;
        for (int ch = 0; ch < 4; ++ch) {
          v[ch * 2] = int16_t((a[x] >> (8 * ch)) & 0xFF);
          v[ch * 2 + 1] = int16_t((b[x] >> (8 * ch)) & 0xFF);
        }
      }
    }
  }
}

void Stream::MixRow(int32_t y, int32_t x0, int32_t n, uint32_t* d, const uint32_t* m) {
  Prepare(y, x0, n);
  int32_t x = 0;
#if defined(SKIN_PAINT_AVX2)
  if (!grey_ && kernels::HasAvx2()) x = MixRowAvx2(n, d, m);
#endif
  if (x == n) return;
  uint32_t row[kStrip];
  Plain(x, n, row);
  kernels::RowMixByMask(d + x, row + x, m + x, n - x, 0xFF000000u);
}

void Stream::Row(int32_t y, int32_t x0, int32_t n, uint32_t* out) {
  Prepare(y, x0, n);
  int32_t x = 0;
#if defined(SKIN_PAINT_AVX2)
  if (kernels::HasAvx2()) x = grey_ ? GreyRowAvx2(n, out) : RowAvx2(n, out);
#endif
  Plain(x, n, out);
}

void Stream::Plain(int32_t from, int32_t n, uint32_t* out) const {
  const size_t stride = size_t(kStrip) * (grey_ ? 2 : 8);
  if (grey_) {
    for (int32_t x = from; x < n; ++x) {
      int32_t sum = 0;
      for (size_t p = 0; p < pairs_; ++p)
        sum += paired_[p * stride + 2 * size_t(x)] * weights_[2 * p] +
               paired_[p * stride + 2 * size_t(x) + 1] * weights_[2 * p + 1];
      out[x] = ClampChannel(sum) * 0x010101u;
    }
    return;
  }
  for (int32_t x = from; x < n; ++x) {
    Sum4 sum;
    for (size_t p = 0; p < pairs_; ++p) {
      const int16_t* v = paired_.data() + p * stride + Place(x) * 8;
      for (int ch = 0; ch < 4; ++ch)
        sum.c[ch] += v[ch * 2] * weights_[2 * p] + v[ch * 2 + 1] * weights_[2 * p + 1];
    }
    out[x] = sum.Pixel();
  }
}

#if defined(SKIN_PAINT_AVX2)
// The vertical pass over pairs of rows (P of them, known when compiled so that the loop over them unrolls).
template <size_t P>
__attribute__((target("avx2"))) int32_t GreyPairsAvx2(const int16_t* paired, size_t stride, const int16_t* weights,
                                                      int32_t n, uint32_t* out) {
  __m256i w[P];
  for (size_t p = 0; p < P; ++p)
    w[p] = _mm256_set1_epi32(int32_t(uint32_t(uint16_t(weights[2 * p + 1])) << 16 | uint16_t(weights[2 * p])));
  const __m256i zero = _mm256_setzero_si256(), top = _mm256_set1_epi32(255);
  // Each value to the blue, green and red bytes of its pixel.
  const __m256i spread = _mm256_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1, 0, 0, 0, -1, 4, 4, 4,
                                          -1, 8, 8, 8, -1, 12, 12, 12, -1);
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    __m256i acc = zero;
    for (size_t p = 0; p < P; ++p)
      acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(
                                                        paired + p * stride + 2 * size_t(x))),
                                                    w[p]));
    const __m256i v = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(acc, 14), zero), top);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_shuffle_epi8(v, spread));
  }
  return x;
}

// The image's eight pixels from x on: 32-bit sums of the pairs (per lane, pixels 0 and 4, 1 and 5, 2 and 6, 3 and 7
// of the eight, as the slots place them), packed to 16-bit channels clamped to bytes: pixels 0, 1 | 4, 5 in lo and
// 2, 3 | 6, 7 in hi, the order in which the bytes of eight pixels unpack.
template <size_t P>
__attribute__((target("avx2"))) inline void EightAvx2(const int16_t* paired, size_t stride, const __m256i* w,
                                                      int32_t x, __m256i& lo, __m256i& hi) {
  __m256i a[4];
  for (int j = 0; j < 4; ++j) {
    const int16_t* v = paired + size_t(x) * 8 + size_t(j) * 16;
    a[j] = _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(v)), w[0]);
    for (size_t p = 1; p < P; ++p)
      a[j] = _mm256_add_epi32(
          a[j], _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(v + p * stride)), w[p]));
  }
  const __m256i zero = _mm256_setzero_si256(), top = _mm256_set1_epi16(255);
  lo = _mm256_packs_epi32(_mm256_srai_epi32(a[0], 14), _mm256_srai_epi32(a[1], 14));
  hi = _mm256_packs_epi32(_mm256_srai_epi32(a[2], 14), _mm256_srai_epi32(a[3], 14));
  lo = _mm256_min_epi16(_mm256_max_epi16(lo, zero), top);
  hi = _mm256_min_epi16(_mm256_max_epi16(hi, zero), top);
}

template <size_t P>
__attribute__((target("avx2"))) int32_t MixPairsAvx2(const int16_t* paired, size_t stride, const int16_t* weights,
                                                     int32_t n, uint32_t* d, const uint32_t* m) {
  __m256i w[P];
  for (size_t p = 0; p < P; ++p)
    w[p] = _mm256_set1_epi32(int32_t(uint32_t(uint16_t(weights[2 * p + 1])) << 16 | uint16_t(weights[2 * p])));
  const __m256i zero = _mm256_setzero_si256(), alpha = _mm256_set1_epi32(int32_t(0xFF000000u));
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    __m256i slo, shi;
    EightAvx2<P>(paired, stride, w, x, slo, shi);
    // s + (d - s) x m shr 8, the product the high half of (d - s) shl 7 times m shl 1.
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + x));
    const __m256i mv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + x));
    const __m256i dlo = _mm256_unpacklo_epi8(dv, zero), dhi = _mm256_unpackhi_epi8(dv, zero);
    const __m256i mlo = _mm256_slli_epi16(_mm256_unpacklo_epi8(mv, zero), 1);
    const __m256i mhi = _mm256_slli_epi16(_mm256_unpackhi_epi8(mv, zero), 1);
    const __m256i rlo =
        _mm256_add_epi16(slo, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(dlo, slo), 7), mlo));
    const __m256i rhi =
        _mm256_add_epi16(shi, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(dhi, shi), 7), mhi));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_or_si256(_mm256_packus_epi16(rlo, rhi), alpha));
  }
  return x;
}

template <size_t P>
__attribute__((target("avx2"))) int32_t RowPairsAvx2(const int16_t* paired, size_t stride, const int16_t* weights,
                                                     int32_t n, uint32_t* out) {
  __m256i w[P];
  for (size_t p = 0; p < P; ++p)
    w[p] = _mm256_set1_epi32(int32_t(uint32_t(uint16_t(weights[2 * p + 1])) << 16 | uint16_t(weights[2 * p])));
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    __m256i lo, hi;
    EightAvx2<P>(paired, stride, w, x, lo, hi);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_packus_epi16(lo, hi));
  }
  return x;
}

__attribute__((target("avx2"))) int32_t Stream::GreyRowAvx2(int32_t n, uint32_t* out) const {
  const size_t stride = size_t(kStrip) * 2;
  switch (pairs_) {
    case 1: return GreyPairsAvx2<1>(paired_.data(), stride, weights_.data(), n, out);
    case 2: return GreyPairsAvx2<2>(paired_.data(), stride, weights_.data(), n, out);
    case 3: return GreyPairsAvx2<3>(paired_.data(), stride, weights_.data(), n, out);
    case 4: return GreyPairsAvx2<4>(paired_.data(), stride, weights_.data(), n, out);
    default: return 0;  // a shrink of many taps: the plain loop
  }
}

__attribute__((target("avx2"))) int32_t Stream::MixRowAvx2(int32_t n, uint32_t* d, const uint32_t* m) const {
  const size_t stride = size_t(kStrip) * 8;
  switch (pairs_) {
    case 1: return MixPairsAvx2<1>(paired_.data(), stride, weights_.data(), n, d, m);
    case 2: return MixPairsAvx2<2>(paired_.data(), stride, weights_.data(), n, d, m);
    case 3: return MixPairsAvx2<3>(paired_.data(), stride, weights_.data(), n, d, m);
    case 4: return MixPairsAvx2<4>(paired_.data(), stride, weights_.data(), n, d, m);
    default: return 0;
  }
}

__attribute__((target("avx2"))) int32_t Stream::RowAvx2(int32_t n, uint32_t* out) const {
  const size_t stride = size_t(kStrip) * 8;
  switch (pairs_) {
    case 1: return RowPairsAvx2<1>(paired_.data(), stride, weights_.data(), n, out);
    case 2: return RowPairsAvx2<2>(paired_.data(), stride, weights_.data(), n, out);
    case 3: return RowPairsAvx2<3>(paired_.data(), stride, weights_.data(), n, out);
    case 4: return RowPairsAvx2<4>(paired_.data(), stride, weights_.data(), n, out);
    default: return 0;
  }
}
#endif

// The idle streams: a stretch takes two and gives them back (a few are kept, their oversized buffers trimmed).
std::vector<std::unique_ptr<Stream>>& IdleStreams() {
  static std::vector<std::unique_ptr<Stream>> idle;
  return idle;
}

std::unique_ptr<Stream> TakeStream() {
  {
    const std::lock_guard<std::mutex> hold(KeptLock());
    std::vector<std::unique_ptr<Stream>>& idle = IdleStreams();
    if (!idle.empty()) {
      std::unique_ptr<Stream> s = std::move(idle.back());
      idle.pop_back();
      return s;
    }
  }
  return std::make_unique<Stream>();
}

void GiveStream(std::unique_ptr<Stream> s) {
  s->Trim();
  const std::lock_guard<std::mutex> hold(KeptLock());
  std::vector<std::unique_ptr<Stream>>& idle = IdleStreams();
  if (idle.size() < 4) idle.push_back(std::move(s));
}

}  // namespace

void StretchMixByMask(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                      int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t maskOffset, int imageFilter,
                      int maskFilter) {
  View32 d, s;
  if (!GetView32(dst, d) || !GetView32(src, s)) return;
  if (x < 0 || y < 0 || width < 1 || height < 1 || sw < 1 || sh < 1 || sx < 0 || sy < 0 || maskOffset < 0) return;
  if (int64_t(sx) + sw > s.width || int64_t(sy) + maskOffset + sh > s.height) return;
  if (x >= d.width || y >= d.height) return;
  const int32_t visibleW = int32_t(std::min<int64_t>(int64_t(x) + width, d.width) - x);
  const int32_t visibleH = int32_t(std::min<int64_t>(int64_t(y) + height, d.height) - y);
  if (width == std::max(sw, 2) && height == std::max(sh, 2)) {
    // The piece at its own size (a piece of one column or row doubled): the filtered stretch copies it as it is.
    std::vector<uint32_t> image(static_cast<size_t>(visibleW)), mask(static_cast<size_t>(visibleW));
    for (int32_t row = 0; row < visibleH; ++row) {
      const uint32_t* ir = s.Row(sy + std::min(row, sh - 1)) + sx;
      const uint32_t* mr = s.Row(sy + maskOffset + std::min(row, sh - 1)) + sx;
      for (int32_t c = 0; c < visibleW; ++c) {
        image[size_t(c)] = ir[std::min(c, sw - 1)];
        mask[size_t(c)] = mr[std::min(c, sw - 1)];
      }
      kernels::RowMixByMaskBest(d.Row(y + row) + x, image.data(), mask.data(), visibleW, 0xFF000000u);
    }
    return;
  }
  // Masks are grey as a rule: then one channel of the mask is resampled.
  bool grey = true;
  for (int32_t r = 0; r < sh && grey; ++r) {
    const uint32_t* m = s.Row(sy + maskOffset + r) + sx;
    for (int32_t c = 0; c < sw && grey; ++c) grey = ((m[c] ^ (m[c] >> 8)) & 0xFFFF) == 0;
  }
  std::unique_ptr<Stream> imageStream = TakeStream(), maskStream = TakeStream();
  Stream& image = *imageStream;
  Stream& mask = *maskStream;
  image.Start(s, sx, sy, sw, sh, width, height, visibleW, imageFilter, false);
  mask.Start(s, sx, sy + maskOffset, sw, sh, width, height, visibleW, maskFilter, grey);
  uint32_t maskRow[kStrip];
  for (int32_t x0 = 0; x0 < visibleW; x0 += kStrip) {
    const int32_t n = std::min(kStrip, visibleW - x0);
    for (int32_t row = 0; row < visibleH; ++row) {
      // The target is read and written once a call, a stream as large as the target: once other painting has
      // pushed it out of the caches, each row waited on memory at every page (the processor's own prefetch stops
      // at page ends). Its lines are asked for two rows ahead.
      if (row + 2 < visibleH) {
        const char* ahead = reinterpret_cast<const char*>(d.Row(y + row + 2) + x + x0);
        for (size_t b = 0; b < size_t(n) * sizeof(uint32_t); b += 64) __builtin_prefetch(ahead + b, 1, 3);
      }
      mask.Row(row, x0, n, maskRow);
      image.MixRow(row, x0, n, d.Row(y + row) + x + x0, maskRow);
    }
  }
  GiveStream(std::move(imageStream));
  GiveStream(std::move(maskStream));
}

}  // namespace skin
