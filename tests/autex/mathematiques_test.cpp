#include "autex/mathematiques.h"

#include <gtest/gtest.h>

#include <random>

using namespace autex;

TEST(BitStrings, ConversionsToAndFromIntegers) {
  EXPECT_EQ(ENTIER_VERS_BINAIRE(5, 6), "000101");
  EXPECT_EQ(ENTIER_VERS_BINAIRE(0, 4), "0000");
  EXPECT_EQ(ENTIER_VERS_BINAIRE(63, 6), "111111");
  EXPECT_EQ(Octet_vers_binaire(0xA5, 8), "10100101");
  EXPECT_EQ(Binaire_vers_entier("000101"), 5);
  EXPECT_EQ(Binaire_vers_entier(""), 0);
  EXPECT_EQ(Binaire_vers_entier("x1"), 1);  // anything but '1' is a zero
  EXPECT_EQ(Binaire_vers_entier(std::string(32, '1')), -1);
  EXPECT_EQ(BINAIRE_VERS_OCTET("11111111"), 255);
  EXPECT_EQ(Puissance_de_deux(0), 1u);
  EXPECT_EQ(Puissance_de_deux(31), 0x80000000u);
  EXPECT_EQ(Puissance_de_deux(32), 0u);
  EXPECT_EQ(Puissance_de_dix(0), 1);
  EXPECT_EQ(Puissance_de_dix(9), 1000000000);
}

TEST(BitStrings, IntegerRoundTripForEveryWidthInUse) {
  for (uint8_t n : {2, 3, 4, 5, 6, 8, 12, 16, 21})
    for (int32_t v = 0; v < (1 << n); v += (n > 12 ? 977 : 1)) {
      const std::string bits = ENTIER_VERS_BINAIRE(v, n);
      ASSERT_EQ(bits.size(), n);
      ASSERT_EQ(Binaire_vers_entier(bits), v) << int(n);
    }
}

TEST(BitStrings, SymbolArrays) {
  Tableau_symboles t{};
  std::string bits;
  for (int i = 0; i < 47; ++i) bits += ENTIER_VERS_BINAIRE(i, 6);
  bits += "1";  // a 283rd character is ignored
  ASSERT_EQ(bits.size(), 283u);
  ASSERT_EQ(Binaire_vers_tableau(bits, 6, t), 47);
  for (int i = 0; i < 47; ++i) EXPECT_EQ(t[i], i);
  EXPECT_EQ(Tableau_vers_binaire(t, 47, 6), bits.substr(0, 282));
  EXPECT_EQ(Binaire_vers_tableau("10101", 6, t), 0);  // shorter than a group: nothing
  // The count never exceeds 200 elements.
  EXPECT_EQ(Binaire_vers_tableau(std::string(201 * 6, '1'), 6, t), 200);
  EXPECT_EQ(Tableau_vers_binaire(t, 500, 6).size(), 1200u);
}

TEST(BitStrings, HexadecimalAndText) {
  EXPECT_EQ(TEXTE_VERS_BINAIRE("A"), "01000001");
  EXPECT_EQ(TEXTE_VERS_BINAIRE(""), "");
  EXPECT_EQ(TEXTE_VERS_HEXA("A"), "41");
  EXPECT_EQ(TEXTE_VERS_HEXA(std::string("\xFF\x00", 2)), "FF00");
  EXPECT_EQ(HEXA_VERS_TEXTE("4a"), std::string(1, '\x40'));  // lower case counts as 0
  EXPECT_EQ(HEXA_VERS_TEXTE("414"), "A");                    // a last odd digit is dropped
  EXPECT_EQ(Binaire_vers_texte("010000010000"), "A");        // the last 4 bits are dropped
  EXPECT_EQ(BINAIRE_VERS_HEXA("1111x0001010"), "FA");         // a group with a foreign character gives no digit
  EXPECT_EQ(ENTIER_VERS_HEXA(0), "0");
  EXPECT_EQ(ENTIER_VERS_HEXA(255), "FF");
  EXPECT_EQ(ENTIER_VERS_HEXA(0xFFFFFFFFu), "FFFFFFFF");
  EXPECT_EQ(DECIMAL_VERS_ENTIER("123456789"), -1);
  EXPECT_EQ(DECIMAL_VERS_ENTIER(""), -1);
  EXPECT_EQ(DECIMAL_VERS_ENTIER("0042"), 42);
  EXPECT_EQ(DECIMAL_VERS_ENTIER("12a"), -1);
  EXPECT_EQ(DECIMAL_VERS_ENTIER("99999999"), 99999999);
}

TEST(BitStrings, InversionAndXor) {
  std::string b = "10x";
  INVERSER_BINAIRE(b);
  EXPECT_EQ(b, "011");
  b = "0101";
  XOR_BINAIRE("11", b);
  EXPECT_EQ(b, "1001");  // only the first two positions change
  b = "0101";
  XOR_BINAIRE("", b);
  EXPECT_EQ(b, "0101");
  b = "0110";
  XOR_BINAIRE_COMPLET(b, "1100");
  EXPECT_EQ(b, "1010");
}

namespace {
// An independent remainder of m(x) * x^d modulo g(x) over GF(2), on integers.
uint64_t remainderOf(uint64_t message, int messageBits, uint64_t generator, int d) {
  uint64_t reg = message << d;
  for (int bit = messageBits + d - 1; bit >= d; --bit)
    if ((reg >> bit) & 1) reg ^= generator << (bit - d);
  return reg;
}
}  // namespace

TEST(BitStrings, DivisionGivesCrc21AndBchCheckBits) {
  EXPECT_EQ(DIVISION_BINAIRE("11101101001", 10, 31, std::string(21, '0')), "0000000000");
  EXPECT_EQ(DIVISION_BINAIRE("11101101001", 10, 10, "1"), "");  // t - d < 1

  std::mt19937_64 rng(20261207);
  const uint64_t bch = 0b11101101001;
  const uint64_t crc = (uint64_t(1) << 21) | 0b101;  // "1000000000000000000101"
  for (int round = 0; round < 2000; ++round) {
    const uint64_t word = rng() & ((uint64_t(1) << 21) - 1);
    const std::string bits = ENTIER_VERS_BINAIRE(int32_t(word), 21);
    const std::string check = DIVISION_BINAIRE("11101101001", 10, 31, bits);
    ASSERT_EQ(uint64_t(Binaire_vers_entier(check)), remainderOf(word, 21, bch, 10)) << bits;

    // CRC-21 over a call sign of 1 to 3 characters (at most 24 message bits for the integer check).
    const int chars = 1 + int(rng() % 3);
    std::string call;
    uint64_t value = 0;
    for (int i = 0; i < chars; ++i) {
      const char c = char('A' + rng() % 26);
      call.push_back(c);
      value = (value << 8) | uint8_t(c);
    }
    const std::string m = TEXTE_VERS_BINAIRE(call);
    const std::string crcBits = DIVISION_BINAIRE("1000000000000000000101", 21, int(m.size()) + 21, m);
    ASSERT_EQ(crcBits.size(), 21u);
    ASSERT_EQ(uint64_t(Binaire_vers_entier(crcBits)), remainderOf(value, chars * 8, crc, 21)) << call;
  }
}

TEST(BitStrings, DivisionOfStringsWithForeignCharacters) {
  // Worked by hand: padded "1x0"; w = "1x" -> XOR "11" -> "01"; shift in '0' -> "10" -> XOR -> "01".
  EXPECT_EQ(DIVISION_BINAIRE("11", 1, 3, "1x"), "1");
  // A long call sign: the check bits always have d characters.
  EXPECT_EQ(DIVISION_BINAIRE("1000000000000000000101", 21, 12 * 8 + 21,
                             TEXTE_VERS_BINAIRE("F6XYZ/P-LONG")).size(), 21u);
}
