#pragma once
// REED_SOLOMON_AUTEX_RX_TX: the RS(63,47) code over GF(2^6) that protects the text block of every AUTEX frame.
//
// Field GF(64) with p(x) = x^6 + x + 1 and alpha = 2; 47 data symbols and 16 parity symbols; the roots of the
// generator are alpha^3 .. alpha^18 (first consecutive root b0 = 3); up to 8 symbol errors are corrected.
//
// A polynomial is an array of 63 symbols, entry i being the coefficient of x^i. A code word c[0..62] holds the
// 16 parity symbols in c[0..15] and the 47 data symbols in c[16..62] (systematic: c[16 + i] = d[i]).
//
// The field tables and the generator polynomial are compile-time constants: nothing has to be set up before a
// block is coded, and no table is ever written. A coder object holds only the working arrays of one encoding
// and one decoding, so every station keeps its own.
#include <array>
#include <cstdint>

namespace autex {

constexpr int RS_M = 6;           // bits per symbol
constexpr int RS_N = 63;          // symbols per code word
constexpr int RS_K = 47;          // data symbols
constexpr int RS_PARITE = 16;     // parity symbols, n - k
constexpr int RS_B0 = 3;          // first consecutive root of the generator
constexpr int RS_T = 8;           // symbol errors the code corrects
constexpr int RS_DEGRE_NUL = 255; // degree given for the zero polynomial

using Polynome_RS = std::array<uint8_t, RS_N>;  // entry i = coefficient of x^i, degree at most 62
using Mot_RS = Polynome_RS;                     // code word or received word
using Donnees_RS = std::array<uint8_t, RS_K>;   // the 47 data symbols

// Field tables: alpha_to[i] = alpha^i for i = 0..62 and alpha_to[63] = 0; index_of is the discrete logarithm,
// index_of[alpha_to[i]] = i, with index_of[0] = -1.
struct Tables_GF64 {
  std::array<uint8_t, 64> alpha_to{};
  std::array<int8_t, 64> index_of{};
};

// Builds the field tables from p(x) = x^6 + x + 1 (terms 0, 1 and 6).
constexpr Tables_GF64 RS_TABLES_GF() {
  Tables_GF64 t;
  constexpr bool terme[RS_M + 1] = {true, true, false, false, false, false, true};
  uint8_t mask = 1;
  t.alpha_to[RS_M] = 0;
  for (int i = 0; i < RS_M; ++i) {
    t.alpha_to[i] = mask;
    t.index_of[mask] = static_cast<int8_t>(i);
    if (terme[i]) t.alpha_to[RS_M] ^= mask;
    mask = static_cast<uint8_t>(mask << 1);
  }
  t.index_of[t.alpha_to[RS_M]] = RS_M;
  mask = 32;
  for (int i = RS_M + 1; i < RS_N; ++i) {
    if (t.alpha_to[i - 1] >= mask)
      t.alpha_to[i] = static_cast<uint8_t>(t.alpha_to[RS_M] ^ ((t.alpha_to[i - 1] ^ mask) << 1));
    else
      t.alpha_to[i] = static_cast<uint8_t>(t.alpha_to[i - 1] << 1);
    t.index_of[t.alpha_to[i]] = static_cast<int8_t>(i);
  }
  t.alpha_to[RS_N] = 0;
  t.index_of[0] = -1;
  return t;
}

inline constexpr Tables_GF64 TABLES_GF64 = RS_TABLES_GF();

// a x b in GF(64); 0 when a or b is 0.
constexpr uint8_t RS_multiplier(uint8_t a, uint8_t b) {
  if (a == 0 || b == 0) return 0;
  return TABLES_GF64.alpha_to[(TABLES_GF64.index_of[a & 63] + TABLES_GF64.index_of[b & 63]) % RS_N];
}

// The generator g(x) = (x + alpha^3)(x + alpha^4) ... (x + alpha^18), monic, degree 16, coefficients of x^0
// up to x^16 (polynomial form).
constexpr std::array<uint8_t, RS_PARITE + 1> RS_POLYNOME_GENERATEUR() {
  const auto& gf = TABLES_GF64;
  std::array<uint8_t, RS_PARITE + 1> g{};
  g[0] = gf.alpha_to[RS_B0];
  g[1] = 1;
  for (int i = 2; i <= RS_PARITE; ++i) {
    g[i] = 1;
    for (int j = i - 1; j >= 1; --j) {
      if (g[j] != 0)
        g[j] = static_cast<uint8_t>(g[j - 1] ^ gf.alpha_to[(gf.index_of[g[j]] + RS_B0 + i - 1) % RS_N]);
      else
        g[j] = g[j - 1];
    }
    g[0] = gf.alpha_to[(gf.index_of[g[0]] + RS_B0 + i - 1) % RS_N];
  }
  return g;
}

inline constexpr std::array<uint8_t, RS_PARITE + 1> POLYNOME_GENERATEUR = RS_POLYNOME_GENERATEUR();

// Field and polynomial operations. Symbols are 0..63; products and shifts are cut at x^62.
// The first q in 0..63 (increasing) with q x b = a; 63 when there is none (b = 0 and a != 0).
uint8_t RS_DIVISER_SYMBOLE(uint8_t a, uint8_t b);
// The 47 data symbols as the polynomial d[0] + d[1] x + ... + d[46] x^46.
Polynome_RS RS_VERS_POLYNOME(const Donnees_RS& donnees);
// p x x^k: coefficients move up k places; those beyond x^62 are lost.
Polynome_RS RS_DECALER(const Polynome_RS& p, int k);
Polynome_RS RS_ADDITIONNER(const Polynome_RS& a, const Polynome_RS& b);
Polynome_RS RS_MULTIPLIER_SCALAIRE(const Polynome_RS& p, uint8_t s);
// Index of the highest non-zero coefficient; RS_DEGRE_NUL for the zero polynomial.
int RS_DEGRE(const Polynome_RS& p);
// Quotient and remainder of dividend / divisor; returns the remainder's degree. When either polynomial is
// zero nothing is divided: the quotient is zero and the remainder is the dividend.
int RS_DIVISER_POLYNOME(const Polynome_RS& dividende, const Polynome_RS& diviseur, Polynome_RS& quotient,
                        Polynome_RS& reste);
Polynome_RS RS_MULTIPLIER_POLYNOMES(const Polynome_RS& a, const Polynome_RS& b);
// Value of p at x.
uint8_t RS_EVALUER(const Polynome_RS& p, uint8_t x);

// The working arrays of one coder (one per station) and the encoder and decoder steps.
class REED_SOLOMON_AUTEX_RX_TX {
 public:
  // Encoder, in this order.
  // d(x) x^16 divided by g(x): the quotient and the remainder are kept.
  void RS_CODER(const Donnees_RS& donnees);
  // Code word := quotient x g(x), systematic: codeword[16 + i] = d[i], codeword[0..15] = the parity.
  void RS_MOT_DE_CODE();

  // Decoder steps, in this order, on `received` (r[0..15] the parity as sent, r[16..62] the data):
  // 1. Syndromes S_i = r(alpha^(3 + i)), i = 0..15, and their degree (RS_DEGRE_NUL when all are 0).
  void RS_etape_decodage_1();
  // 2. Key equation by Euclid's algorithm on x^16 and S(x): error locator Lambda, evaluator Omega and the
  //    locator's degree (RS_DEGRE_NUL when no locator was found).
  void RS_etape_decodage_2();
  // 6. Chien search over every element 0..63: returns 0 when the roots can be used, 1 otherwise, and their
  //    number. The roots can be used only when their number equals the locator's degree, that degree is at
  //    least 1, and no root is 0 (the element 0 has no symbol position); their locations are then computed.
  int RS_etape_decodage_6(int& nombre_racines);
  // 3. Value of the locator's formal derivative at each root; false when one of them is 0.
  bool RS_etape_decodage_3();
  // 4. Error values by Forney's formula, e = v^2 Omega(v) / Lambda'(v) for each root v.
  void RS_etape_decodage_4();
  // 5. corrected := received + the error word (every location is within 0..62).
  void RS_etape_decodage_5();

  // Value at x of the formal derivative of the error locator.
  uint8_t RS_DERIVEE(uint8_t x) const;
  // The error location of each root: 63 - log(root), or 0 when the log is 0.
  void RS_POSITIONS_ERREURS();

  // Whole operations.
  // Encodes 47 data symbols (each 0..63) into a code word.
  Mot_RS RS_ENCODER(const Donnees_RS& donnees);
  // Decodes a received word. Returns the number of symbols corrected (0..8) and the code word in `corrige`,
  // or -1 when the word is rejected: a symbol above 63, no usable error locator, more than 8 errors, or a
  // correction that does not give a code word (the corrected word's syndromes must all be 0). On -1 `corrige`
  // is left unchanged.
  int RS_DECODER(const Mot_RS& recu, Mot_RS& corrige);

  // Encoder arrays.
  Donnees_RS data{};
  Mot_RS codeword{};
  Polynome_RS quotient{};
  Polynome_RS remainder{};
  // Decoder arrays.
  Mot_RS received{};
  Polynome_RS syndromes{};  // S_0 .. S_15 as a polynomial
  int syndrome_degree = RS_DEGRE_NUL;
  Polynome_RS lambda{};     // error locator
  Polynome_RS omega{};      // error evaluator
  int lambda_degree = RS_DEGRE_NUL;
  std::array<uint8_t, RS_N> roots{};
  int root_count = 0;
  std::array<uint8_t, RS_N> locations{};
  std::array<uint8_t, RS_N> derivatives{};
  std::array<uint8_t, RS_N> error_values{};
  Mot_RS corrected{};
};

// Syndromes S_0 .. S_15 of a word of 63 symbols (each 0..63); all zero exactly for a code word.
std::array<uint8_t, RS_PARITE> RS_SYNDROMES(const Mot_RS& mot);

}  // namespace autex
