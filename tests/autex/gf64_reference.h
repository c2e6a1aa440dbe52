#pragma once
// An independent GF(64) for the tests: products by shift-and-reduce with x^6 + x + 1, no tables, so that the
// coder's tables and syndromes are checked against plain arithmetic.
#include <array>
#include <cstdint>
#include <vector>

namespace gf64ref {

inline uint8_t mul(uint8_t a, uint8_t b) {
  unsigned r = 0, x = a & 63u;
  for (int k = 0; k < 6; ++k) {
    if ((b >> k) & 1) r ^= x;
    x <<= 1;
    if (x & 64u) x ^= 0x43u;  // x^6 = x + 1
  }
  return static_cast<uint8_t>(r);
}

inline uint8_t power(uint8_t a, int e) {
  uint8_t r = 1;
  for (int i = 0; i < e; ++i) r = mul(r, a);
  return r;
}

inline uint8_t inverse(uint8_t a) { return power(a, 62); }  // a^63 = 1 for a != 0

// alpha^e for any e >= 0, alpha = 2.
inline uint8_t alpha(int e) { return power(2, e % 63); }

// Value at x of sum p[j] x^j.
inline uint8_t eval(const uint8_t* p, int n, uint8_t x) {
  uint8_t v = 0;
  for (int j = n - 1; j >= 0; --j) v = mul(v, x) ^ p[j];
  return v;
}

// The 16 syndromes r(alpha^(3 + i)) of a 63-symbol word.
template <class Word>
std::array<uint8_t, 16> syndromes(const Word& r) {
  std::array<uint8_t, 16> s{};
  for (int i = 0; i < 16; ++i) s[i] = eval(r.data(), 63, alpha(3 + i));
  return s;
}

template <class Word>
bool isCodeword(const Word& r) {
  for (uint8_t v : r)
    if (v > 63) return false;
  for (uint8_t s : syndromes(r))
    if (s != 0) return false;
  return true;
}

// Solves the 16 x 16 system sum_j e[j] alpha^((3 + i) j) = target[i], j = 0..15, by Gaussian elimination:
// an error pattern on the first 16 positions with the given syndromes (the matrix is Vandermonde, invertible).
inline std::array<uint8_t, 16> patternWithSyndromes(const std::array<uint8_t, 16>& target) {
  uint8_t m[16][17];
  for (int i = 0; i < 16; ++i) {
    for (int j = 0; j < 16; ++j) m[i][j] = alpha((3 + i) * j);
    m[i][16] = target[i];
  }
  for (int col = 0; col < 16; ++col) {
    int piv = col;
    while (m[piv][col] == 0) ++piv;
    if (piv != col)
      for (int k = 0; k < 17; ++k) std::swap(m[piv][k], m[col][k]);
    const uint8_t inv = inverse(m[col][col]);
    for (int k = 0; k < 17; ++k) m[col][k] = mul(m[col][k], inv);
    for (int i = 0; i < 16; ++i)
      if (i != col && m[i][col] != 0) {
        const uint8_t f = m[i][col];
        for (int k = 0; k < 17; ++k) m[i][k] ^= mul(f, m[col][k]);
      }
  }
  std::array<uint8_t, 16> e{};
  for (int i = 0; i < 16; ++i) e[i] = m[i][16];
  return e;
}

}  // namespace gf64ref
