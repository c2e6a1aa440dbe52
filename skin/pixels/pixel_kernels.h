#pragma once
// Row kernels shared by the pixel routines: every per-pixel operation of the blends, copies and fills, inlined
// into the loops that call them. SSE2 (always present on x86-64) does four pixels at a time; the scalar forms
// give the same results and serve the remaining pixels of a row.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define SKIN_PAINT_AVX2 1
#endif

#include "skin/pixels/colors.h"

namespace skin::kernels {

// The mixing rule: d + (s - d) x f / 256 for f in 0..255, computed as (s x f + d x (256 - f)) shr 8, which is
// the same value and never negative.
inline constexpr uint32_t Mix(uint32_t d, uint32_t s, uint32_t f) { return (s * f + d * (256 - f)) >> 8; }

// Mix of all four channels of two pixels with one weight.
inline constexpr uint32_t MixPixel(uint32_t d, uint32_t s, uint32_t f) {
  const uint32_t inv = 256 - f;
  const uint32_t rb = (((s & 0x00FF00FFu) * f + (d & 0x00FF00FFu) * inv) >> 8) & 0x00FF00FFu;
  const uint32_t ga = ((((s >> 8) & 0x00FF00FFu) * f + ((d >> 8) & 0x00FF00FFu) * inv)) & 0xFF00FF00u;
  return rb | ga;
}

inline uint32_t Load32(const void* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Store32(void* p, uint32_t v) { std::memcpy(p, &v, 4); }

// sA x scale div 100, scale in 0..100.
inline constexpr uint32_t ScaleAlpha(uint32_t a, uint32_t scale) { return a * scale / 100; }

#if defined(__SSE2__)
// Four pixels mixed with the per-pixel weights held in the low byte of each 32-bit lane of w (0..255).
inline __m128i MixPixels4(__m128i d, __m128i s, __m128i w) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i w2 = _mm_or_si128(w, _mm_slli_epi32(w, 16));
  const __m128i wlo = _mm_unpacklo_epi32(w2, w2);
  const __m128i whi = _mm_unpackhi_epi32(w2, w2);
  const __m128i k256 = _mm_set1_epi16(256);
  const __m128i lo = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), wlo),
                    _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(k256, wlo))),
      8);
  const __m128i hi = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), whi),
                    _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(k256, whi))),
      8);
  return _mm_packus_epi16(lo, hi);
}

// Four pixels mixed with one weight f (0..255) held in every 16-bit lane of f16, inv16 = 256 - f.
inline __m128i MixPixelsConst4(__m128i d, __m128i s, __m128i f16, __m128i inv16) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), f16),
                                                  _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inv16)),
                                    8);
  const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), f16),
                                                  _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inv16)),
                                    8);
  return _mm_packus_epi16(lo, hi);
}

// x div 100 for 0 <= x <= 25500 in the low 16 bits of each 32-bit lane (high halves zero).
inline __m128i Div100(__m128i x) { return _mm_srli_epi32(_mm_mulhi_epu16(x, _mm_set1_epi32(41944)), 6); }
#endif

// Per-pixel alpha blend of a row: a = sA x scale div 100 (scale 100: a = sA); B, G, R := mix(d, s, a).
// GrowAlpha: the destination alpha grows by (255 - dA) x a shr 8; otherwise it is kept.
// A source pixel of alpha 0 (the key value among them) leaves its destination pixel unchanged.
template <bool GrowAlpha>
inline void RowMixAlpha(uint32_t* d, const uint32_t* s, int32_t n, uint32_t scale) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000u));
  const __m128i zero = _mm_setzero_si128();
  const __m128i scaleV = _mm_set1_epi32(int32_t(scale));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i a = _mm_srli_epi32(sv, 24);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) == 0xFFFF) continue;  // all four transparent
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    // The alpha channel mixes 255 into dA (growth) or dA with itself (kept).
    const __m128i srcA = GrowAlpha ? alphaMask : _mm_and_si128(dv, alphaMask);
    const __m128i sx = _mm_or_si128(_mm_andnot_si128(alphaMask, sv), srcA);
    if (scale == 100 && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(sv, _mm_set1_epi32(0x00FFFFFF)),
                                                          _mm_set1_epi32(-1))) == 0xFFFF) {
      // All four opaque: mix(d, s, 255) = (255 s + d) shr 8 = s, less 1 where d < s.
      const __m128i dBelow = _mm_andnot_si128(_mm_cmpeq_epi8(_mm_max_epu8(dv, sx), dv), _mm_set1_epi8(1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_sub_epi8(sx, dBelow));
      continue;
    }
    if (scale != 100) a = Div100(_mm_mullo_epi16(a, scaleV));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), MixPixels4(dv, sx, a));
  }
#endif
  for (; i < n; ++i) {
    const uint32_t sv = s[i];
    uint32_t a = sv >> 24;
    if (a == 0) continue;
    if (scale != 100) a = ScaleAlpha(a, scale);
    const uint32_t dv = d[i];
    const uint32_t srcA = GrowAlpha ? 0xFF000000u : (dv & 0xFF000000u);
    d[i] = MixPixel(dv, (sv & 0x00FFFFFFu) | srcA, a);
  }
}

#if defined(SKIN_PAINT_AVX2)
// The same blend, eight pixels at a time, for processors with AVX2 (chosen at run time).
template <bool GrowAlpha>
__attribute__((target("avx2"))) inline void RowMixAlphaAvx2(uint32_t* d, const uint32_t* s, int32_t n,
                                                            uint32_t scale) {
  int32_t i = 0;
  const __m256i alphaMask = _mm256_set1_epi32(int32_t(0xFF000000u));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i k256 = _mm256_set1_epi16(256);
  const __m256i scaleV = _mm256_set1_epi32(int32_t(scale));
  const __m256i div100 = _mm256_set1_epi32(41944);
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    __m256i a = _mm256_srli_epi32(sv, 24);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero)) == -1) continue;  // all eight transparent
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i srcA = GrowAlpha ? alphaMask : _mm256_and_si256(dv, alphaMask);
    const __m256i sx = _mm256_or_si256(_mm256_andnot_si256(alphaMask, sv), srcA);
    if (scale == 100 && _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_or_si256(sv, _mm256_set1_epi32(0x00FFFFFF)),
                                                                _mm256_set1_epi32(-1))) == -1) {
      // All eight opaque: s, less 1 where d < s (see RowMixAlpha).
      const __m256i dBelow =
          _mm256_andnot_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(dv, sx), dv), _mm256_set1_epi8(1));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_sub_epi8(sx, dBelow));
      continue;
    }
    if (scale != 100) a = _mm256_srli_epi32(_mm256_mulhi_epu16(_mm256_mullo_epi16(a, scaleV), div100), 6);
    const __m256i a2 = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
    const __m256i alo = _mm256_unpacklo_epi32(a2, a2), ahi = _mm256_unpackhi_epi32(a2, a2);
    const __m256i lo = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sx, zero), alo),
                         _mm256_mullo_epi16(_mm256_unpacklo_epi8(dv, zero), _mm256_sub_epi16(k256, alo))),
        8);
    const __m256i hi = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sx, zero), ahi),
                         _mm256_mullo_epi16(_mm256_unpackhi_epi8(dv, zero), _mm256_sub_epi16(k256, ahi))),
        8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(lo, hi));
  }
  RowMixAlpha<GrowAlpha>(d + i, s + i, n - i, scale);
}

inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

// The per-pixel alpha blend with the widest vectors the processor has.
template <bool GrowAlpha>
inline void RowMixAlphaBest(uint32_t* d, const uint32_t* s, int32_t n, uint32_t scale) {
#if defined(SKIN_PAINT_AVX2)
  if (HasAvx2()) {
    RowMixAlphaAvx2<GrowAlpha>(d, s, n, scale);
    return;
  }
#endif
  RowMixAlpha<GrowAlpha>(d, s, n, scale);
}

// d := mix(s, d, f) on all four channels: (d x f + s x (256 - f)) shr 8 (f weights the destination).
inline void RowBlendConst(uint32_t* d, const uint32_t* s, int32_t n, uint32_t f) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i f16 = _mm_set1_epi16(int16_t(f));
  const __m128i inv16 = _mm_set1_epi16(int16_t(256 - f));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), MixPixelsConst4(sv, dv, f16, inv16));
  }
#endif
  for (; i < n; ++i) d[i] = MixPixel(s[i], d[i], f);
}

// d := s except where s equals key; OrAlpha is or-ed into every copied pixel (0xFF000000: opaque).
inline void RowCopyKeyed(uint32_t* d, const uint32_t* s, int32_t n, uint32_t key, uint32_t orAlpha) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i keyV = _mm_set1_epi32(int32_t(key));
  const __m128i orV = _mm_set1_epi32(int32_t(orAlpha));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i isKey = _mm_cmpeq_epi32(sv, keyV);
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(isKey, dv), _mm_andnot_si128(isKey, _mm_or_si128(sv, orV))));
  }
#endif
  for (; i < n; ++i) {
    if (s[i] != key) d[i] = s[i] | orAlpha;
  }
}

// The mask mix: for B, G and R, d := (s x (256 - m) + d x m) shr 8 with m the same channel of the mask pixel
// (0 gives the image, 255 nearly keeps d); the alpha byte becomes d's alpha or-ed with orAlpha. With skipKey, pixels
// whose image pixel is the key value 0x00FF00FF leave d as it is.
inline void RowMixByMask(uint32_t* d, const uint32_t* s, const uint32_t* m, int32_t n, uint32_t orAlpha,
                         bool skipKey = false) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), k256 = _mm_set1_epi16(256);
  const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u)), orV = _mm_set1_epi32(int32_t(orAlpha));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    auto half = [&](__m128i s16, __m128i m16, __m128i d16) {
      return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s16, _mm_sub_epi16(k256, m16)), _mm_mullo_epi16(d16, m16)), 8);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(mv, zero), _mm_unpacklo_epi8(dv, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(mv, zero), _mm_unpackhi_epi8(dv, zero));
    const __m128i mixed = _mm_or_si128(_mm_andnot_si128(alpha, _mm_packus_epi16(lo, hi)),
                                       _mm_or_si128(_mm_and_si128(dv, alpha), orV));
    const __m128i key = skipKey ? _mm_cmpeq_epi32(sv, _mm_set1_epi32(int32_t(0x00FF00FFu))) : zero;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(key, dv), _mm_andnot_si128(key, mixed)));
  }
#endif
  for (; i < n; ++i) {
    const uint32_t sp = s[i], mp = m[i], dp = d[i];
    if (skipKey && sp == 0x00FF00FFu) continue;
    d[i] = Mix(dp & 0xFF, sp & 0xFF, 256 - (mp & 0xFF)) | Mix((dp >> 8) & 0xFF, (sp >> 8) & 0xFF, 256 - ((mp >> 8) & 0xFF)) << 8 |
           Mix((dp >> 16) & 0xFF, (sp >> 16) & 0xFF, 256 - ((mp >> 16) & 0xFF)) << 16 | (dp & 0xFF000000u) | orAlpha;
  }
}

#if defined(SKIN_PAINT_AVX2)
__attribute__((target("avx2"))) inline void RowMixByMaskAvx2(uint32_t* d, const uint32_t* s, const uint32_t* m,
                                                              int32_t n, uint32_t orAlpha, bool skipKey = false) {
  int32_t i = 0;
  const __m256i zero = _mm256_setzero_si256(), k256 = _mm256_set1_epi16(256);
  const __m256i alpha = _mm256_set1_epi32(int32_t(0xFF000000u)), orV = _mm256_set1_epi32(int32_t(orAlpha));
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i mv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + i));
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i mlo = _mm256_unpacklo_epi8(mv, zero), mhi = _mm256_unpackhi_epi8(mv, zero);
    const __m256i lo = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sv, zero), _mm256_sub_epi16(k256, mlo)),
                         _mm256_mullo_epi16(_mm256_unpacklo_epi8(dv, zero), mlo)),
        8);
    const __m256i hi = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sv, zero), _mm256_sub_epi16(k256, mhi)),
                         _mm256_mullo_epi16(_mm256_unpackhi_epi8(dv, zero), mhi)),
        8);
    const __m256i mixed = _mm256_or_si256(_mm256_andnot_si256(alpha, _mm256_packus_epi16(lo, hi)),
                                          _mm256_or_si256(_mm256_and_si256(dv, alpha), orV));
    const __m256i key = skipKey ? _mm256_cmpeq_epi32(sv, _mm256_set1_epi32(int32_t(0x00FF00FFu))) : zero;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(mixed, dv, key));
  }
  RowMixByMask(d + i, s + i, m + i, n - i, orAlpha, skipKey);
}
#endif

inline void RowMixByMaskBest(uint32_t* d, const uint32_t* s, const uint32_t* m, int32_t n, uint32_t orAlpha,
                             bool skipKey = false) {
#if defined(SKIN_PAINT_AVX2)
  if (HasAvx2()) {
    RowMixByMaskAvx2(d, s, m, n, orAlpha, skipKey);
    return;
  }
#endif
  RowMixByMask(d, s, m, n, orAlpha, skipKey);
}

// n copies of v.
inline void RowFill(uint32_t* d, int32_t n, uint32_t v) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i vv = _mm_set1_epi32(int32_t(v));
  for (; i + 8 <= n; i += 8) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), vv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), vv);
  }
  for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), vv);
#endif
  for (; i < n; ++i) d[i] = v;
}

}  // namespace skin::kernels
