#include "autex/reed_solomon_autex_rx_tx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "tests/autex/gf64_reference.h"

using namespace autex;

namespace {

Donnees_RS randomData(std::mt19937& rng) {
  Donnees_RS d;
  for (auto& v : d) v = static_cast<uint8_t>(rng() % 64);
  return d;
}

// Adds `count` errors (non-zero values) at distinct random positions; returns the positions.
std::set<int> addErrors(Mot_RS& w, int count, std::mt19937& rng) {
  std::set<int> pos;
  while (int(pos.size()) < count) pos.insert(int(rng() % RS_N));
  for (int p : pos) w[p] ^= static_cast<uint8_t>(1 + rng() % 63);
  return pos;
}

int distance(const Mot_RS& a, const Mot_RS& b) {
  int d = 0;
  for (int i = 0; i < RS_N; ++i) d += a[i] != b[i];
  return d;
}

}  // namespace

TEST(ReedSolomonField, TablesAreThePowersOfAlpha) {
  const auto& gf = TABLES_GF64;
  EXPECT_EQ(gf.alpha_to[0], 1);
  EXPECT_EQ(gf.alpha_to[6], 3);  // x^6 = x + 1
  EXPECT_EQ(gf.alpha_to[62], 33);
  EXPECT_EQ(gf.alpha_to[63], 0);
  EXPECT_EQ(gf.index_of[0], -1);
  EXPECT_EQ(gf64ref::mul(gf.alpha_to[62], 2), 1);  // alpha^63 = 1
  std::set<int> seen;
  for (int i = 0; i < 63; ++i) {
    EXPECT_EQ(gf.alpha_to[i], gf64ref::alpha(i)) << i;
    EXPECT_EQ(gf.index_of[gf.alpha_to[i]], i);
    seen.insert(gf.alpha_to[i]);
  }
  EXPECT_EQ(seen.size(), 63u);  // every non-zero element once
}

TEST(ReedSolomonField, MultiplicationAndDivision) {
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b) {
      ASSERT_EQ(RS_multiplier(uint8_t(a), uint8_t(b)), gf64ref::mul(uint8_t(a), uint8_t(b))) << a << "*" << b;
      const uint8_t q = RS_DIVISER_SYMBOLE(uint8_t(a), uint8_t(b));
      if (b != 0) {
        ASSERT_EQ(gf64ref::mul(q, uint8_t(b)), a) << a << "/" << b;
      }
    }
  EXPECT_EQ(RS_DIVISER_SYMBOLE(0, 0), 0);    // 0 x 0 = 0: the first q is 0
  EXPECT_EQ(RS_DIVISER_SYMBOLE(5, 0), 63);   // no quotient
  EXPECT_EQ(RS_DIVISER_SYMBOLE(0, 17), 0);
}

TEST(ReedSolomonField, GeneratorPolynomial) {
  const std::array<uint8_t, 17> expected = {58, 43, 25, 26, 25, 36, 25, 32, 23, 39, 8, 36, 17, 6, 25, 51, 1};
  EXPECT_EQ(POLYNOME_GENERATEUR, expected);
  for (int i = 3; i <= 18; ++i) EXPECT_EQ(gf64ref::eval(expected.data(), 17, gf64ref::alpha(i)), 0) << i;
  EXPECT_NE(gf64ref::eval(expected.data(), 17, gf64ref::alpha(2)), 0);
  EXPECT_NE(gf64ref::eval(expected.data(), 17, gf64ref::alpha(19)), 0);
}

TEST(ReedSolomonPolynomials, ShiftAddScaleDegreeEvaluate) {
  Polynome_RS p{};
  EXPECT_EQ(RS_DEGRE(p), RS_DEGRE_NUL);
  p[0] = 1;
  p[60] = 7;
  EXPECT_EQ(RS_DEGRE(p), 60);
  const Polynome_RS s = RS_DECALER(p, 2);
  EXPECT_EQ(s[2], 1);
  EXPECT_EQ(s[62], 7);
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(RS_DEGRE(RS_DECALER(p, 3)), 3);  // x^63 is lost
  EXPECT_EQ(RS_DEGRE(RS_ADDITIONNER(p, p)), RS_DEGRE_NUL);
  const Polynome_RS m = RS_MULTIPLIER_SCALAIRE(p, 9);
  EXPECT_EQ(m[60], gf64ref::mul(7, 9));
  EXPECT_EQ(m[0], 9);

  Donnees_RS d{};
  for (int i = 0; i < RS_K; ++i) d[i] = uint8_t(i + 1);
  const Polynome_RS v = RS_VERS_POLYNOME(d);
  EXPECT_EQ(v[46], 47);
  EXPECT_EQ(v[47], 0);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(RS_EVALUER(v, uint8_t(x)), gf64ref::eval(v.data(), 63, uint8_t(x)));
}

TEST(ReedSolomonPolynomials, DivisionAndProductAgreeWithEachOther) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 200; ++trial) {
    Polynome_RS a{}, b{};
    const int da = 10 + int(rng() % 40), db = 1 + int(rng() % 20);
    for (int i = 0; i <= da; ++i) a[i] = uint8_t(rng() % 64);
    for (int i = 0; i <= db; ++i) b[i] = uint8_t(rng() % 64);
    a[da] |= 1;
    b[db] |= 1;
    Polynome_RS q, r;
    const int dr = RS_DIVISER_POLYNOME(a, b, q, r);
    ASSERT_EQ(dr, RS_DEGRE(r));
    ASSERT_TRUE(dr == RS_DEGRE_NUL || dr < db);
    // a = q b + r, with the product computed here by schoolbook multiplication.
    Polynome_RS back = r;
    for (int i = 0; i < 63; ++i)
      for (int j = 0; i + j < 63; ++j) back[i + j] ^= gf64ref::mul(q[i], b[j]);
    ASSERT_EQ(back, a);
    // The coder's own product gives the same.
    ASSERT_EQ(RS_ADDITIONNER(RS_MULTIPLIER_POLYNOMES(q, b), r), a);
  }
  Polynome_RS zero{}, q, r, one{};
  one[0] = 1;
  EXPECT_EQ(RS_DIVISER_POLYNOME(one, zero, q, r), 0);  // nothing divided by zero
  EXPECT_EQ(RS_DEGRE(q), RS_DEGRE_NUL);
  EXPECT_EQ(r, one);
}

TEST(ReedSolomonEncoder, ZeroDataGivesZeroParity) {
  REED_SOLOMON_AUTEX_RX_TX rs;
  const Mot_RS c = rs.RS_ENCODER(Donnees_RS{});
  EXPECT_EQ(c, Mot_RS{});
}

TEST(ReedSolomonEncoder, CodeWordsAreSystematicMultiplesOfTheGenerator) {
  std::mt19937 rng(1);
  REED_SOLOMON_AUTEX_RX_TX rs;
  for (int trial = 0; trial < 300; ++trial) {
    const Donnees_RS d = randomData(rng);
    const Mot_RS c = rs.RS_ENCODER(d);
    for (int i = 0; i < RS_K; ++i) ASSERT_EQ(c[16 + i], d[i]);
    ASSERT_TRUE(gf64ref::isCodeword(c));
    // c = q g, with q the quotient the coder kept, multiplied here.
    Mot_RS qg{};
    for (int i = 0; i < 63; ++i)
      for (int j = 0; j <= 16 && i + j < 63; ++j) qg[i + j] ^= gf64ref::mul(rs.quotient[i], POLYNOME_GENERATEUR[j]);
    ASSERT_EQ(qg, c);
    // The remainder is the parity.
    for (int i = 0; i < 16; ++i) ASSERT_EQ(rs.remainder[i], c[i]);
  }
}

TEST(ReedSolomonDecoder, CodeWordIsTakenUnchangedWithoutCorrectionSteps) {
  std::mt19937 rng(2);
  REED_SOLOMON_AUTEX_RX_TX rs;
  const Mot_RS c = rs.RS_ENCODER(randomData(rng));
  rs.lambda.fill(5);  // would show if the Euclid step ran
  Mot_RS out{};
  EXPECT_EQ(rs.RS_DECODER(c, out), 0);
  EXPECT_EQ(out, c);
  EXPECT_EQ(rs.syndrome_degree, RS_DEGRE_NUL);
  EXPECT_EQ(rs.lambda[0], 5);
  EXPECT_EQ(rs.corrected, c);
}

TEST(ReedSolomonDecoder, EveryWordWithAtMostEightErrorsIsCorrectedExactly) {
  std::mt19937 rng(3);
  REED_SOLOMON_AUTEX_RX_TX rs;
  for (int errors = 1; errors <= RS_T; ++errors)
    for (int trial = 0; trial < 1500; ++trial) {
      const Mot_RS c = rs.RS_ENCODER(randomData(rng));
      Mot_RS r = c;
      const std::set<int> pos = addErrors(r, errors, rng);
      Mot_RS out{};
      ASSERT_EQ(rs.RS_DECODER(r, out), errors) << "errors " << errors << " trial " << trial;
      ASSERT_EQ(out, c);
      // The steps left the error locations and values behind.
      std::set<int> found(rs.locations.begin(), rs.locations.begin() + rs.root_count);
      ASSERT_EQ(found, pos);
      for (int k = 0; k < rs.root_count; ++k)
        ASSERT_EQ(rs.error_values[k], r[rs.locations[k]] ^ c[rs.locations[k]]);
    }
}

TEST(ReedSolomonDecoder, ErrorsAtTheEdgesOfParityAndData) {
  std::mt19937 rng(4);
  REED_SOLOMON_AUTEX_RX_TX rs;
  const std::vector<std::vector<int>> cases = {
      {0}, {62}, {15, 16}, {0, 1, 2, 3, 4, 5, 6, 7}, {55, 56, 57, 58, 59, 60, 61, 62}, {0, 15, 16, 31, 32, 47, 48, 62}};
  for (const auto& positions : cases) {
    const Mot_RS c = rs.RS_ENCODER(randomData(rng));
    Mot_RS r = c;
    for (int p : positions) r[p] ^= 63;
    Mot_RS out{};
    ASSERT_EQ(rs.RS_DECODER(r, out), int(positions.size()));
    ASSERT_EQ(out, c);
  }
}

TEST(ReedSolomonDecoder, NineToThirtyErrorsAreNeverReturnedUnlessTheResultIsACodeWord) {
  std::mt19937 rng(5);
  REED_SOLOMON_AUTEX_RX_TX rs;
  int rejected = 0, accepted = 0;
  for (int errors = 9; errors <= 30; ++errors)
    for (int trial = 0; trial < 400; ++trial) {
      const Mot_RS c = rs.RS_ENCODER(randomData(rng));
      Mot_RS r = c;
      addErrors(r, errors, rng);
      Mot_RS out = r;
      const int n = rs.RS_DECODER(r, out);
      if (n < 0) {
        ++rejected;
        ASSERT_EQ(out, r);  // left unchanged
        continue;
      }
      ++accepted;
      // Accepted: a code word within the correction radius of what was received.
      ASSERT_TRUE(gf64ref::isCodeword(out)) << errors;
      ASSERT_LE(n, RS_T);
      ASSERT_EQ(distance(out, r), n);
    }
  EXPECT_GT(rejected, 8000);  // a random word is rarely within 8 symbols of a code word
  EXPECT_LT(accepted, 200);
}

TEST(ReedSolomonDecoder, NonZeroSyndromesWithATrivialLocatorAreRejected) {
  // A word whose syndromes S_0..S_7 are non-zero and S_8..S_15 zero: the syndrome polynomial has degree
  // below 8, so Euclid stops at once with Lambda = 1. Such a word is not a code word and was not corrected.
  std::array<uint8_t, 16> target{};
  target[0] = 1;
  target[3] = 17;
  target[7] = 40;
  const std::array<uint8_t, 16> e = gf64ref::patternWithSyndromes(target);
  Mot_RS r{};
  std::copy(e.begin(), e.end(), r.begin());
  ASSERT_EQ(gf64ref::syndromes(r), target);

  REED_SOLOMON_AUTEX_RX_TX rs;
  Mot_RS out{};
  out[0] = 42;
  EXPECT_EQ(rs.RS_DECODER(r, out), -1);
  EXPECT_EQ(out[0], 42);
  // Step by step: the locator is the constant 1 and the Chien search refuses it.
  rs.received = r;
  rs.RS_etape_decodage_1();
  EXPECT_EQ(rs.syndrome_degree, 7);
  rs.RS_etape_decodage_2();
  EXPECT_EQ(rs.lambda_degree, 0);
  EXPECT_EQ(rs.lambda[0], 1);
  int roots = -1;
  EXPECT_EQ(rs.RS_etape_decodage_6(roots), 1);
  EXPECT_EQ(roots, 0);
}

TEST(ReedSolomonDecoder, ALocatorWhoseRootIsZeroIsRejected) {
  // S(x) = x^15 + 9 x^6: x^16 = x S(x) + 9 x^7, so Euclid stops after one round with Lambda = x and
  // Omega = 9 x^7. Lambda's only root is the element 0, which has no symbol position: counting it as the one
  // root of a degree-1 locator would write an error value outside the word.
  std::array<uint8_t, 16> target{};
  target[15] = 1;
  target[6] = 9;
  const std::array<uint8_t, 16> e = gf64ref::patternWithSyndromes(target);
  Mot_RS r{};
  std::copy(e.begin(), e.end(), r.begin());

  REED_SOLOMON_AUTEX_RX_TX rs;
  rs.received = r;
  rs.RS_etape_decodage_1();
  rs.RS_etape_decodage_2();
  EXPECT_EQ(rs.lambda_degree, 1);
  EXPECT_EQ(rs.lambda[0], 0);
  EXPECT_NE(rs.lambda[1], 0);
  EXPECT_EQ(RS_DEGRE(rs.omega), 7);
  int roots = -1;
  EXPECT_EQ(rs.RS_etape_decodage_6(roots), 1);
  EXPECT_EQ(roots, 1);
  EXPECT_EQ(rs.roots[0], 0);
  Mot_RS out{};
  EXPECT_EQ(rs.RS_DECODER(r, out), -1);
  EXPECT_EQ(out, Mot_RS{});
}

TEST(ReedSolomonDecoder, SymbolsAboveSixBitsAreRejected) {
  REED_SOLOMON_AUTEX_RX_TX rs;
  Mot_RS r = rs.RS_ENCODER(Donnees_RS{});
  r[30] = 64;
  Mot_RS out{};
  EXPECT_EQ(rs.RS_DECODER(r, out), -1);
  EXPECT_EQ(out, Mot_RS{});
  r[30] = 255;
  EXPECT_EQ(rs.RS_DECODER(r, out), -1);
}

TEST(ReedSolomonDecoder, SyndromesMatchPlainEvaluation) {
  std::mt19937 rng(8);
  for (int trial = 0; trial < 200; ++trial) {
    Mot_RS r;
    for (auto& v : r) v = uint8_t(rng() % 64);
    ASSERT_EQ(RS_SYNDROMES(r), gf64ref::syndromes(r));
  }
}
