#include "autex/mathematiques.h"

#include <algorithm>

namespace autex {

std::string ENTIER_VERS_BINAIRE(int32_t value, uint8_t n) {
  // Digit k is '1' exactly when value div 2^k equals 1 (then 2^k is subtracted): callers keep value < 2^n.
  std::string out(n, '0');
  int64_t v = value;
  for (int k = n - 1, i = 0; k >= 0; --k, ++i) {
    if (k >= 62) continue;  // 2^k exceeds any 32-bit value: the quotient is 0
    const int64_t p = int64_t(1) << k;
    if (v / p == 1) {
      out[i] = '1';
      v -= p;
    }
  }
  return out;
}

std::string Octet_vers_binaire(uint8_t value, uint8_t n) { return ENTIER_VERS_BINAIRE(value, n); }

std::string TEXTE_VERS_BINAIRE(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 8);
  for (unsigned char c : text)
    for (int k = 7; k >= 0; --k) out.push_back(((c >> k) & 1) ? '1' : '0');
  return out;
}

int32_t Binaire_vers_entier(std::string_view bits) {
  uint32_t v = 0;
  for (char c : bits) v = (v << 1) | (c == '1' ? 1u : 0u);
  return static_cast<int32_t>(v);
}

uint8_t BINAIRE_VERS_OCTET(std::string_view bits) { return static_cast<uint8_t>(Binaire_vers_entier(bits)); }

int Binaire_vers_tableau(std::string_view bits, uint8_t n, Tableau_symboles& out) {
  if (n == 0) return 0;
  const int count = static_cast<int>(std::min<size_t>(bits.size() / n, TAILLE_TABLEAU_SYMBOLES));
  for (int i = 0; i < count; ++i) out[i] = Binaire_vers_entier(bits.substr(size_t(i) * n, n));
  return count;
}

std::string Tableau_vers_binaire(const Tableau_symboles& symbols, int count, uint8_t n) {
  count = std::clamp(count, 0, TAILLE_TABLEAU_SYMBOLES);
  std::string out;
  out.reserve(size_t(count) * n);
  for (int i = 0; i < count; ++i) out += ENTIER_VERS_BINAIRE(symbols[i], n);
  return out;
}

std::string BINAIRE_VERS_HEXA(std::string_view bits) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bits.size() / 4);
  for (size_t g = 0; g + 4 <= bits.size(); g += 4) {
    int v = 0;
    bool binary = true;
    for (size_t i = g; i < g + 4; ++i) {
      if (bits[i] != '0' && bits[i] != '1') binary = false;
      v = v * 2 + (bits[i] == '1');
    }
    if (binary) out.push_back(digits[v]);
  }
  return out;
}

namespace {
int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // only upper-case digits count; anything else is 0
}
}  // namespace

std::string HEXA_VERS_TEXTE(std::string_view hex) {
  std::string out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i + 2 <= hex.size(); i += 2)
    out.push_back(static_cast<char>(hexDigit(hex[i]) * 16 + hexDigit(hex[i + 1])));
  return out;
}

std::string Binaire_vers_texte(std::string_view bits) { return HEXA_VERS_TEXTE(BINAIRE_VERS_HEXA(bits)); }

std::string TEXTE_VERS_HEXA(std::string_view text) { return BINAIRE_VERS_HEXA(TEXTE_VERS_BINAIRE(text)); }

std::string ENTIER_VERS_HEXA(uint32_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), digits[value & 15]);
    value >>= 4;
  } while (value != 0);
  return out;
}

int32_t DECIMAL_VERS_ENTIER(std::string_view text) {
  if (text.empty() || text.size() > 8) return -1;
  int32_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

uint32_t Puissance_de_deux(uint8_t n) { return n >= 32 ? 0u : (uint32_t(1) << n); }

int32_t Puissance_de_dix(uint8_t n) {
  int32_t v = 1;
  for (uint8_t i = 0; i < n && i < 9; ++i) v *= 10;
  return v;
}

void INVERSER_BINAIRE(std::string& bits) {
  for (char& c : bits) c = (c == '1') ? '0' : '1';
}

void XOR_BINAIRE(std::string_view a, std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) b[i] = (a[i] == b[i]) ? '0' : '1';
}

void XOR_BINAIRE_COMPLET(std::string& b, std::string_view a) {
  for (size_t i = 0; i < b.size(); ++i) {
    const char ai = i < a.size() ? a[i] : '0';
    b[i] = (ai == b[i]) ? '0' : '1';
  }
}

namespace {
bool isBinary(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == '0' || c == '1'; });
}
}  // namespace

std::string DIVISION_BINAIRE(std::string_view g, uint8_t d, int t, std::string_view m) {
  if (t - int(d) < 1) return std::string();
  // Character j (1-based) of the message padded with d zeros; anything past its end reads as '0'.
  auto padded = [&](int j) -> char { return (j >= 1 && size_t(j) <= m.size()) ? m[j - 1] : '0'; };

  if (d <= 62 && g.size() == size_t(d) + 1 && isBinary(g) && isBinary(m)) {
    // Integer register of d + 1 bits: the same division, one bit at a time.
    uint64_t gen = 0;
    for (char c : g) gen = (gen << 1) | uint64_t(c == '1');
    const uint64_t mask = (d + 1 == 64) ? ~uint64_t(0) : ((uint64_t(1) << (d + 1)) - 1);
    uint64_t reg = 0;
    for (int j = 1; j <= t; ++j) {
      reg = ((reg << 1) | uint64_t(padded(j) == '1')) & mask;
      if (j >= int(d) + 1 && ((reg >> d) & 1)) reg ^= gen;
    }
    std::string out(d, '0');
    for (int k = 0; k < int(d); ++k) out[k] = ((reg >> (d - 1 - k)) & 1) ? '1' : '0';
    return out;
  }

  // General form, character by character, for operands that are not plain bit strings.
  std::string w;
  for (int i = 1; i <= t - int(d); ++i) {
    if (i == 1) {
      for (int j = 1; j <= int(d) + 1; ++j) w.push_back(padded(j));
    } else {
      w.push_back(padded(int(d) + i));
      w.erase(w.begin());
    }
    if (w[0] == '1') XOR_BINAIRE_COMPLET(w, g);
  }
  w.erase(w.begin());
  return w;
}

}  // namespace autex
