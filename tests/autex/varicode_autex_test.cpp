#include "autex/varicode_autex.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "autex/mathematiques.h"

using namespace autex;

namespace {

std::string packed(std::string text) {
  PACKER_VARICODE(text);
  return text;
}

std::string unpacked(const std::string& bytes) {
  std::string text;
  DECODAGE_VARICODE(TEXTE_VERS_BINAIRE(bytes), text);
  return text;
}

// The unpacking written out plainly on character strings, as the format describes it: drop the trailing '1'
// bits, append "01", slide a 3-bit window, and at each "001" turn the accumulator into a code.
std::string plainUnpack(std::string bits) {
  for (char& c : bits) c = (c == '1') ? '1' : '0';
  while (!bits.empty() && bits.back() == '1') bits.pop_back();
  bits += "01";
  std::string window = "ZZZ", acc, text;
  for (char b : bits) {
    acc += b;
    window = window.substr(1) + b;
    if (window == "001") {
      std::string code = acc.substr(0, acc.size() - 3) + "1";
      int index = 0;
      for (size_t k = 0; k < code.size() && k < 10; ++k)
        if (code[k] == '1') index += 1 << k;
      text.push_back(static_cast<char>(TABLE_VARICODE_INVERSE[index]));
      acc.clear();
    }
  }
  return text;
}

}  // namespace

TEST(Varicode, TableEntries) {
  EXPECT_EQ(TABLE_VARICODE[32], "100");
  EXPECT_EQ(TABLE_VARICODE['e'], "1000");
  EXPECT_EQ(TABLE_VARICODE['t'], "1100");
  EXPECT_EQ(TABLE_VARICODE[13], "10101100");
  EXPECT_EQ(TABLE_VARICODE[10], "11110100000");
  EXPECT_EQ(TABLE_VARICODE[0], "11101011100");
  EXPECT_EQ(TABLE_VARICODE['A'], "10111100");
  EXPECT_EQ(TABLE_VARICODE[0x7F], "101010000000");
  EXPECT_EQ(TABLE_VARICODE[0xFF], "1111110100");
  std::set<std::string_view> distinct(TABLE_VARICODE.begin(), TABLE_VARICODE.end());
  EXPECT_EQ(distinct.size(), 256u);
  for (int c = 0; c < 256; ++c) {
    const std::string_view code = TABLE_VARICODE[c];
    EXPECT_TRUE(code.size() >= 3 && code.size() <= 12) << c;
    EXPECT_EQ(code.front(), '1') << c;
    EXPECT_EQ(code.substr(code.size() - 2), "00") << c;
    EXPECT_EQ(code.find("001"), std::string_view::npos) << c;
  }
}

TEST(Varicode, IndexesAndInverseTable) {
  EXPECT_EQ(VARICODE_VERS_ENTIER(32), 1);
  EXPECT_EQ(VARICODE_VERS_ENTIER(101), 2);
  EXPECT_EQ(TABLE_VARICODE_INVERSE[0], 0);
  std::set<int> indexes;
  for (int c = 1; c < 256; ++c) {
    const int i = VARICODE_VERS_ENTIER(uint8_t(c));
    ASSERT_GT(i, 0);
    ASSERT_LT(i, 1024);
    indexes.insert(i);
    EXPECT_EQ(TABLE_VARICODE_INVERSE[i], c);
  }
  EXPECT_EQ(indexes.size(), 255u);
  int entries = 0;
  for (uint8_t v : TABLE_VARICODE_INVERSE) entries += v != 0;
  EXPECT_EQ(entries, 255);  // code 0 is never entered
}

TEST(Varicode, PackingExamples) {
  EXPECT_EQ(packed("e"), "\x3F");  // bits 00, then six '1'
  EXPECT_EQ(packed(""), "");
  // "100" + "100" + "1000" without the first and the last bit: 00100100, exactly one byte, no padding.
  EXPECT_EQ(packed("  e"), "\x24");
  // One-character space: "0" then seven '1'.
  EXPECT_EQ(packed(" "), "\x7F");
  // Packing uses the codes end to end: "te" = 1100 + 1000 -> 100100 + "11" padding.
  EXPECT_EQ(packed("te"), "\x93");
}

TEST(Varicode, EveryCharacterAndPairRoundTrips) {
  for (int c = 1; c < 256; ++c) {
    const std::string one(1, char(c));
    ASSERT_EQ(unpacked(packed(one)), one) << c;
    for (int d = 1; d < 256; d += 3) {
      const std::string two = {char(c), char(d)};
      ASSERT_EQ(unpacked(packed(two)), two) << c << " " << d;
    }
  }
}

TEST(Varicode, RandomTextsRoundTrip) {
  std::mt19937 rng(21);
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text(1 + rng() % 80, ' ');
    for (char& ch : text) ch = char(1 + rng() % 255);
    const std::string p = packed(text);
    ASSERT_EQ(unpacked(p), text);
    // The packed size is the code bits less two, rounded up to whole bytes.
    size_t bits = 0;
    for (unsigned char ch : text) bits += TABLE_VARICODE[ch].size();
    ASSERT_EQ(p.size(), (bits - 2 + 7) / 8);
  }
}

TEST(Varicode, CharacterZeroDecodesAsZero) {
  const std::string text("a\0b", 3);
  EXPECT_EQ(unpacked(packed(text)), text);
}

TEST(Varicode, Measuring) {
  int count = -1;
  bool pack = true;
  MESURE_VARICODE("", 32, count, pack);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(pack);

  const std::string es(40, 'e');
  MESURE_VARICODE(es, 32, count, pack);
  EXPECT_EQ(count, 40);
  EXPECT_TRUE(pack);
  EXPECT_EQ(packed(es).size(), 20u);

  const std::string longCodes = "\x80\x81";  // 12-bit codes
  MESURE_VARICODE(longCodes, 32, count, pack);
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(pack);
  EXPECT_EQ(packed(longCodes).size(), 3u);

  // 32 characters of 12-bit codes fit as 8-bit text, not packed (21 of them fill 32 bytes when packed).
  const std::string many(32, '\x80');
  MESURE_VARICODE(many, 32, count, pack);
  EXPECT_EQ(count, 21);
  EXPECT_FALSE(pack);
  // 40 such characters: packing lets fewer in than 8-bit characters would.
  MESURE_VARICODE(std::string(40, '\x80'), 32, count, pack);
  EXPECT_EQ(count, 21);
  EXPECT_FALSE(pack);
  // Every counted prefix fits the capacity when packed.
  std::mt19937 rng(22);
  for (int trial = 0; trial < 500; ++trial) {
    std::string text(1 + rng() % 90, ' ');
    for (char& ch : text) ch = char(1 + rng() % 255);
    MESURE_VARICODE(text, 32, count, pack);
    ASSERT_LE(packed(text.substr(0, size_t(count))).size(), 32u);
    if (size_t(count) < text.size()) {
      ASSERT_GT(packed(text.substr(0, size_t(count) + 1)).size(), 32u);
    }
  }
}

TEST(Varicode, DecodingMatchesThePlainAlgorithmOnAnyBits) {
  std::mt19937 rng(23);
  for (int trial = 0; trial < 3000; ++trial) {
    std::string bits(rng() % 300, '0');
    for (char& b : bits) {
      const unsigned r = rng() % 20;
      b = r < 9 ? '0' : (r < 19 ? '1' : 'x');  // now and then a character that is neither
    }
    std::string text;
    DECODAGE_VARICODE(bits, text);
    ASSERT_EQ(text, plainUnpack(bits)) << bits;
  }
  std::string text = "junk";
  DECODAGE_VARICODE(std::string(40, '1'), text);  // all padding
  EXPECT_EQ(text, "");
}
