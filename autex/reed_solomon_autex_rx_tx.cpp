#include "autex/reed_solomon_autex_rx_tx.h"

#include <algorithm>
#include <bit>

namespace autex {

namespace {

constexpr const Tables_GF64& GF = TABLES_GF64;

// Full multiplication table: MUL.m[a][b] = a x b. Row MUL.m[a] multiplies by the constant a.
struct TableMultiplication {
  uint8_t m[64][64]{};
};

constexpr TableMultiplication construireMultiplication() {
  TableMultiplication t;
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b) t.m[a][b] = RS_multiplier(static_cast<uint8_t>(a), static_cast<uint8_t>(b));
  return t;
}

constexpr TableMultiplication MUL = construireMultiplication();

// Contribution of one received symbol to the 16 syndromes. A symbol v at position j adds
// v x alpha^((3 + i) j) to S_i; the map is linear in v, so v is split into its low and high 3 bits and each
// half looks up a precomputed 16-syndrome vector. A vector is two 64-bit words, byte k of word w holding
// S_(8w + k). Flat layout: position j starts at 32 j; the low half's vector for u at 32 j + 2 u, the high
// half's at 32 j + 16 + 2 u.
struct TableSyndromes {
  uint64_t v[RS_N * 32]{};
};

constexpr TableSyndromes construireSyndromes() {
  TableSyndromes t;
  for (int j = 0; j < RS_N; ++j)
    for (int moitie = 0; moitie < 2; ++moitie)
      for (int u = 0; u < 8; ++u) {
        const uint8_t symbole = static_cast<uint8_t>(u << (3 * moitie));
        for (int i = 0; i < RS_PARITE; ++i) {
          const uint8_t puissance = GF.alpha_to[((RS_B0 + i) * j) % RS_N];
          const uint64_t s = RS_multiplier(symbole, puissance);
          t.v[32 * j + 16 * moitie + 2 * u + i / 8] |= s << (8 * (i % 8));
        }
      }
  return t;
}

constexpr TableSyndromes SYN = construireSyndromes();

// Values of one locator term at every non-zero element: a coefficient v of x^j contributes v x alpha^(i j) to
// Lambda(alpha^i), i = 0..62. Split in 3-bit halves as above; a vector is 64 bytes (byte i = the value at
// alpha^i, byte 63 unused) held in eight 64-bit words. Locators of degree up to 8 are searched this way.
struct TableChien {
  uint64_t v[RS_T + 1][2][8][8]{};
};

constexpr TableChien construireChien() {
  TableChien t;
  for (int j = 0; j <= RS_T; ++j)
    for (int moitie = 0; moitie < 2; ++moitie)
      for (int u = 0; u < 8; ++u) {
        const uint8_t symbole = static_cast<uint8_t>(u << (3 * moitie));
        for (int i = 0; i < RS_N; ++i) {
          const uint64_t s = RS_multiplier(symbole, GF.alpha_to[(i * j) % RS_N]);
          t.v[j][moitie][u][i / 8] |= s << (8 * (i % 8));
        }
      }
  return t;
}

constexpr TableChien CHIEN = construireChien();

// The 16 syndromes of a word as two 64-bit words; symbols are taken modulo 64. Returns false when a symbol
// is above 63.
inline bool syndromesRapides(const uint8_t* r, uint64_t& bas, uint64_t& haut) {
  uint64_t a = 0, b = 0;
  unsigned tous = 0;
  const uint64_t* t = SYN.v;
  for (int j = 0; j < RS_N; ++j, t += 32) {
    const unsigned v = r[j];
    tous |= v;
    const uint64_t* t0 = t + ((v & 7u) << 1);
    const uint64_t* t1 = t + 16 + ((v >> 2) & 14u);
    a ^= t0[0] ^ t1[0];
    b ^= t0[1] ^ t1[1];
  }
  bas = a;
  haut = b;
  return (tous & ~63u) == 0;
}

inline uint8_t octet(uint64_t mot, int k) { return static_cast<uint8_t>(mot >> (8 * k)); }

// Degree of p, looking down from position `depuis`; RS_DEGRE_NUL when p[0..depuis] are all 0.
inline int degreDepuis(const uint8_t* p, int depuis) {
  for (int i = depuis; i >= 0; --i)
    if (p[i] != 0) return i;
  return RS_DEGRE_NUL;
}

// a / b for b != 0.
inline uint8_t diviser(uint8_t a, uint8_t b) {
  if (a == 0) return 0;
  return GF.alpha_to[(GF.index_of[a] - GF.index_of[b] + RS_N) % RS_N];
}

// acc := acc + q x p for polynomials of 63 symbols, where q has degree dq and p degree dp (neither zero);
// the terms beyond x^62 are lost.
inline void ajouterProduit(uint8_t* acc, const uint8_t* q, int dq, const uint8_t* p, int dp) {
  for (int a = 0; a <= dq; ++a) {
    if (q[a] == 0) continue;
    const uint8_t* ligne = MUL.m[q[a]];
    const int fin = std::min(dp, RS_N - 1 - a);
    for (int b = 0; b <= fin; ++b) acc[a + b] ^= ligne[p[b]];
  }
}

}  // namespace

uint8_t RS_DIVISER_SYMBOLE(uint8_t a, uint8_t b) {
  a &= 63;
  b &= 63;
  if (b == 0) return a == 0 ? 0 : 63;
  return diviser(a, b);
}

Polynome_RS RS_VERS_POLYNOME(const Donnees_RS& donnees) {
  Polynome_RS p{};
  for (int i = 0; i < RS_K; ++i) p[i] = donnees[i] & 63;
  return p;
}

Polynome_RS RS_DECALER(const Polynome_RS& p, int k) {
  Polynome_RS r{};
  if (k < 0 || k >= RS_N) return k < 0 ? p : r;
  for (int i = 0; i + k < RS_N; ++i) r[i + k] = p[i];
  return r;
}

Polynome_RS RS_ADDITIONNER(const Polynome_RS& a, const Polynome_RS& b) {
  Polynome_RS r;
  for (int i = 0; i < RS_N; ++i) r[i] = a[i] ^ b[i];
  return r;
}

Polynome_RS RS_MULTIPLIER_SCALAIRE(const Polynome_RS& p, uint8_t s) {
  Polynome_RS r;
  const uint8_t* ligne = MUL.m[s & 63];
  for (int i = 0; i < RS_N; ++i) r[i] = ligne[p[i] & 63];
  return r;
}

int RS_DEGRE(const Polynome_RS& p) { return degreDepuis(p.data(), RS_N - 1); }

int RS_DIVISER_POLYNOME(const Polynome_RS& dividende, const Polynome_RS& diviseur, Polynome_RS& quotient,
                        Polynome_RS& reste) {
  reste = dividende;
  quotient.fill(0);
  int dr = RS_DEGRE(reste);
  const int dd = RS_DEGRE(diviseur);
  if (dr == RS_DEGRE_NUL || dd == RS_DEGRE_NUL) return dr;
  const uint8_t tete = diviseur[dd] & 63;
  while (dr != RS_DEGRE_NUL && dr >= dd) {
    const int d = dr - dd;
    const uint8_t c = diviser(reste[dr] & 63, tete);
    quotient[d] = c;
    const uint8_t* ligne = MUL.m[c];
    for (int k = 0; k <= dd; ++k) reste[k + d] ^= ligne[diviseur[k] & 63];
    dr = degreDepuis(reste.data(), dr - 1);
  }
  return dr;
}

Polynome_RS RS_MULTIPLIER_POLYNOMES(const Polynome_RS& a, const Polynome_RS& b) {
  Polynome_RS r{};
  const int da = RS_DEGRE(a), db = RS_DEGRE(b);
  if (da == RS_DEGRE_NUL || db == RS_DEGRE_NUL) return r;
  Polynome_RS am, bm;
  for (int i = 0; i < RS_N; ++i) {
    am[i] = a[i] & 63;
    bm[i] = b[i] & 63;
  }
  ajouterProduit(r.data(), am.data(), da, bm.data(), db);
  return r;
}

uint8_t RS_EVALUER(const Polynome_RS& p, uint8_t x) {
  const uint8_t* ligne = MUL.m[x & 63];
  uint8_t v = 0;
  for (int j = RS_N - 1; j >= 0; --j) v = ligne[v] ^ (p[j] & 63);
  return v;
}

std::array<uint8_t, RS_PARITE> RS_SYNDROMES(const Mot_RS& mot) {
  uint64_t bas, haut;
  syndromesRapides(mot.data(), bas, haut);
  std::array<uint8_t, RS_PARITE> s;
  for (int i = 0; i < 8; ++i) {
    s[i] = octet(bas, i);
    s[8 + i] = octet(haut, i);
  }
  return s;
}

// ---- Encoder ----

void REED_SOLOMON_AUTEX_RX_TX::RS_CODER(const Donnees_RS& donnees) {
  data = donnees;
  // d(x) x^16 divided by the monic g(x), from the top coefficient down.
  remainder = RS_DECALER(RS_VERS_POLYNOME(donnees), RS_PARITE);
  quotient.fill(0);
  for (int deg = RS_N - 1; deg >= RS_PARITE; --deg) {
    const uint8_t c = remainder[deg];
    if (c == 0) continue;
    quotient[deg - RS_PARITE] = c;
    const uint8_t* ligne = MUL.m[c];
    for (int k = 0; k <= RS_PARITE; ++k) remainder[deg - RS_PARITE + k] ^= ligne[POLYNOME_GENERATEUR[k]];
  }
}

void REED_SOLOMON_AUTEX_RX_TX::RS_MOT_DE_CODE() {
  codeword.fill(0);
  const int dq = RS_DEGRE(quotient);
  if (dq == RS_DEGRE_NUL) return;
  ajouterProduit(codeword.data(), quotient.data(), dq, POLYNOME_GENERATEUR.data(), RS_PARITE);
}

Mot_RS REED_SOLOMON_AUTEX_RX_TX::RS_ENCODER(const Donnees_RS& donnees) {
  RS_CODER(donnees);
  RS_MOT_DE_CODE();
  return codeword;
}

// ---- Decoder ----

void REED_SOLOMON_AUTEX_RX_TX::RS_etape_decodage_1() {
  uint64_t bas, haut;
  syndromesRapides(received.data(), bas, haut);
  syndromes.fill(0);
  for (int i = 0; i < 8; ++i) {
    syndromes[i] = octet(bas, i);
    syndromes[8 + i] = octet(haut, i);
  }
  syndrome_degree = degreDepuis(syndromes.data(), RS_PARITE - 1);
}

void REED_SOLOMON_AUTEX_RX_TX::RS_etape_decodage_2() {
  // Pairs (R, T): previous A = (x^16, 0) and current B = (S(x), 1). Each round divides R_A by R_B one leading
  // term at a time: R_A += c x^d R_B and T_A += c x^d T_B, which leaves R_A = R_prev mod R_cur and
  // T_A = T_prev + Q T_cur (Q the quotient); then A and B change places. It stops when deg R_B < 8, with
  // Lambda = T_B and Omega = R_B. No polynomial of the algorithm goes beyond x^16, so short arrays do.
  constexpr int D = RS_PARITE;  // highest degree kept
  using Court = std::array<uint8_t, D + 1>;
  Court bufR[2]{}, bufT[2]{};
  uint8_t *RA = bufR[0].data(), *RB = bufR[1].data(), *TA = bufT[0].data(), *TB = bufT[1].data();
  RA[RS_PARITE] = 1;
  int dRA = RS_PARITE, dTA = RS_DEGRE_NUL;
  for (int i = 0; i < RS_PARITE; ++i) RB[i] = syndromes[i] & 63;
  int dRB = degreDepuis(RB, RS_PARITE - 1);
  TB[0] = 1;
  int dTB = 0;

  lambda_degree = RS_DEGRE_NUL;
  lambda.fill(0);
  omega.fill(0);
  for (int tour = 0; tour < 99; ++tour) {
    if (dRB == RS_DEGRE_NUL) return;  // R_cur = 0 divides nothing: no locator
    if (dRB < RS_T) {
      std::copy(TB, TB + D + 1, lambda.begin());
      std::copy(RB, RB + D + 1, omega.begin());
      lambda_degree = dTB;
      return;
    }
    const int logTete = GF.index_of[RB[dRB]];
    while (dRA != RS_DEGRE_NUL && dRA >= dRB) {
      const int d = dRA - dRB;
      const uint8_t* ligne = MUL.m[GF.alpha_to[(GF.index_of[RA[dRA]] - logTete + RS_N) % RS_N]];
      for (int k = 0; k <= dRB; ++k) RA[k + d] ^= ligne[RB[k]];
      dRA = degreDepuis(RA, dRA - 1);
      if (dTB != RS_DEGRE_NUL) {
        if (d + dTB > D) return;  // beyond any locator of this code: none is found
        for (int k = 0; k <= dTB; ++k) TA[k + d] ^= ligne[TB[k]];
        const int haut = std::max(dTA == RS_DEGRE_NUL ? 0 : dTA, d + dTB);
        dTA = degreDepuis(TA, haut);
      }
    }
    std::swap(RA, RB);
    std::swap(dRA, dRB);
    std::swap(TA, TB);
    std::swap(dTA, dTB);
  }
  // No locator within the rounds: the zero polynomials mark the failure for the Chien search.
}

int REED_SOLOMON_AUTEX_RX_TX::RS_etape_decodage_6(int& nombre_racines) {
  nombre_racines = 0;
  root_count = 0;
  const int deg = RS_DEGRE(lambda);
  lambda_degree = deg;
  // No locator, or a constant one: it has no roots to correct with.
  if (deg == RS_DEGRE_NUL || deg == 0) return 1;
  // The element 0 is a root when the constant term is 0; it has no symbol position.
  if (lambda[0] == 0) {
    roots[0] = 0;
    nombre_racines = root_count = 1;
    return 1;
  }
  // A locator of more than 8 errors is of no use: the block cannot be corrected.
  if (deg > RS_T) return 1;
  // Lambda at every alpha^i at once: the sum of the value vectors of its terms.
  uint64_t valeurs[8] = {};
  for (int j = 0; j <= deg; ++j) {
    const unsigned v = lambda[j] & 63u;
    const uint64_t* t0 = CHIEN.v[j][0][v & 7];
    const uint64_t* t1 = CHIEN.v[j][1][v >> 3];
    for (int w = 0; w < 8; ++w) valeurs[w] ^= t0[w] ^ t1[w];
  }
  // Zero bytes are the roots. Every byte is at most 63, so adding 0x7F to each sets its high bit exactly when
  // it is not zero, without a carry into the next byte. Byte 63 is not an element.
  constexpr uint64_t SEPT = 0x7F7F7F7F7F7F7F7FULL, HAUT = 0x8080808080808080ULL;
  int compte = 0;
  for (int w = 0; w < 8; ++w) {
    uint64_t zeros = ~(valeurs[w] + SEPT) & HAUT;
    if (w == 7) zeros &= ~(uint64_t(0x80) << 56);
    while (zeros != 0) {
      const int octetZero = std::countr_zero(zeros) / 8;
      zeros &= zeros - 1;
      if (compte < RS_N) roots[compte] = GF.alpha_to[8 * w + octetZero];
      ++compte;
    }
  }
  nombre_racines = root_count = std::min(compte, RS_N);
  if (compte != deg) return 1;
  RS_POSITIONS_ERREURS();
  return 0;
}

void REED_SOLOMON_AUTEX_RX_TX::RS_POSITIONS_ERREURS() {
  for (int k = 0; k < root_count; ++k) {
    const int log = GF.index_of[roots[k] & 63];
    // A root 0 has no position; it is never passed on (the Chien search refuses it). 63 marks it.
    locations[k] = static_cast<uint8_t>(log < 0 ? RS_N : (log == 0 ? 0 : RS_N - log));
  }
}

namespace {
// Lambda'(x) for a locator of degree deg: the odd-power terms, sum of lambda[2m + 1] (x^2)^m.
uint8_t derivee(const Polynome_RS& lambda, int deg, uint8_t x) {
  if (deg == RS_DEGRE_NUL || deg == 0) return 0;
  const uint8_t* carre = MUL.m[MUL.m[x & 63][x & 63]];
  uint8_t v = 0;
  for (int j = (deg % 2 == 1) ? deg : deg - 1; j >= 1; j -= 2) v = carre[v] ^ (lambda[j] & 63);
  return v;
}
}  // namespace

uint8_t REED_SOLOMON_AUTEX_RX_TX::RS_DERIVEE(uint8_t x) const { return derivee(lambda, RS_DEGRE(lambda), x); }

bool REED_SOLOMON_AUTEX_RX_TX::RS_etape_decodage_3() {
  const int deg = RS_DEGRE(lambda);
  for (int k = 0; k < root_count; ++k) {
    derivatives[k] = derivee(lambda, deg, roots[k]);
    if (derivatives[k] == 0) return false;
  }
  return true;
}

void REED_SOLOMON_AUTEX_RX_TX::RS_etape_decodage_4() {
  // Omega(v) term by term in the log domain: omega[j] v^j = alpha^(log omega[j] + j log v); the terms do not
  // depend on each other. Omega has degree below 8 once a locator was found; a larger one is evaluated whole.
  const int dOmega = RS_DEGRE(omega);
  int logOmega[RS_N];
  const int n = dOmega == RS_DEGRE_NUL ? 0 : dOmega + 1;
  for (int j = 0; j < n; ++j) logOmega[j] = GF.index_of[omega[j] & 63];
  for (int k = 0; k < root_count; ++k) {
    const uint8_t v = roots[k] & 63;
    const int logV = GF.index_of[v];
    uint8_t om = 0;
    if (logV >= 0)
      for (int j = 0; j < n; ++j)
        if (logOmega[j] >= 0) om ^= GF.alpha_to[(logOmega[j] + j * logV) % RS_N];
    // v^(b0 - 1) Omega(v) / Lambda'(v)
    error_values[k] = RS_DIVISER_SYMBOLE(MUL.m[MUL.m[v][v]][om], derivatives[k]);
  }
}

void REED_SOLOMON_AUTEX_RX_TX::RS_etape_decodage_5() {
  Mot_RS erreurs{};
  for (int k = 0; k < root_count; ++k)
    if (locations[k] < RS_N) erreurs[locations[k]] = error_values[k];
  for (int i = 0; i < RS_N; ++i) corrected[i] = received[i] ^ erreurs[i];
}

int REED_SOLOMON_AUTEX_RX_TX::RS_DECODER(const Mot_RS& recu, Mot_RS& corrige) {
  unsigned tous = 0;
  for (uint8_t v : recu) tous |= v;
  if (tous & ~63u) return -1;  // not a word of 6-bit symbols
  received = recu;
  root_count = 0;
  RS_etape_decodage_1();
  if (syndrome_degree == RS_DEGRE_NUL) {
    corrected = received;
    corrige = corrected;
    return 0;
  }
  RS_etape_decodage_2();
  int nombre = 0;
  if (RS_etape_decodage_6(nombre) != 0 || nombre > RS_T) return -1;
  if (!RS_etape_decodage_3()) return -1;
  RS_etape_decodage_4();
  RS_etape_decodage_5();
  // Only a code word is accepted.
  uint64_t bas, haut;
  if (!syndromesRapides(corrected.data(), bas, haut) || (bas | haut) != 0) return -1;
  corrige = corrected;
  return nombre;
}

}  // namespace autex
