#include "autex/trames_autex.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "autex/mathematiques.h"
#include "tests/autex/gf64_reference.h"

using namespace autex;

namespace {

// ---- An independent reader of the format, written from its description ----

std::string bitsOf(uint32_t v, int n) {
  std::string s;
  for (int k = n - 1; k >= 0; --k) s += ((v >> k) & 1) ? '1' : '0';
  return s;
}

uint32_t valueOf(const std::string& s) {
  uint32_t v = 0;
  for (char c : s) v = (v << 1) | (c == '1');
  return v;
}

// Remainder of m(x) x^d modulo g(x) by a shift register; g includes its x^d term.
uint32_t crcRegister(const std::string& messageBits, uint32_t g, int d) {
  uint32_t reg = 0;
  auto step = [&](int bit) {
    reg = (reg << 1) | uint32_t(bit);
    if (reg & (1u << d)) reg ^= g;
  };
  for (char c : messageBits) step(c == '1');
  for (int i = 0; i < d; ++i) step(0);
  return reg;
}

uint32_t crc21Of(const std::string& callSign) {
  std::string bits;
  for (unsigned char c : callSign) bits += bitsOf(c, 8);
  return crcRegister(bits, (1u << 21) | 0x5u, 21);  // x^21 + x^2 + 1
}

uint32_t bchOf(uint32_t word21) {
  return crcRegister(bitsOf(word21, 21), 0x769u, 10);  // x^10 + x^9 + x^8 + x^6 + x^5 + x^3 + 1
}

std::string speedWordOf(int speed) {
  return speed == 1200 ? "101101001110" : speed == 400 ? "011011100111" : "110110011011";
}

std::string inverted(std::string s) {
  for (char& c : s) c = c == '1' ? '0' : '1';
  return s;
}

struct ReadBurst {
  bool ok = false;
  std::string dp;  // significant bits
};

// Checks a burst of n significant bits: three copies (the third inverted), the speed word, the signature,
// and the BCH check of the word padded to 21 bits and XORed with the CRC-21 of `callSign` (none when empty).
ReadBurst readBurst(const std::string& burst, int n, int speed, const std::string& callSign) {
  ReadBurst r;
  const size_t L = size_t(22 + n);
  if (burst.size() != 3 * L) return r;
  const std::string x = burst.substr(0, L);
  if (burst.substr(L, L) != x || burst.substr(2 * L, L) != inverted(x)) return r;
  if (x.substr(0, 12) != speedWordOf(speed)) return r;
  std::string t = x.substr(12);
  for (size_t i = 0; i < t.size(); ++i)
    if (i % 4 >= 2) t[i] = t[i] == '1' ? '0' : '1';  // the "0011" signature
  r.dp = t.substr(0, size_t(n));
  uint32_t w21 = valueOf(r.dp);
  if (!callSign.empty()) w21 ^= crc21Of(callSign);
  r.ok = bchOf(w21) == valueOf(t.substr(size_t(n)));
  return r;
}

std::string mask378() {
  const std::string pattern =
      "11110001100010100110100001010100100010111110001110100001011001000111001000001110101010101011000";
  std::string m;
  while (m.size() < 378) m += pattern;
  return m.substr(0, 378);
}

char rbit(std::mt19937& rng) { return rng() % 2 ? '1' : '0'; }

std::string rbits(std::mt19937& rng, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += rbit(rng);
  return s;
}

int usersOf(int participants) { return participants == 4 ? 3 : participants == 7 ? 6 : 12; }

}  // namespace

TEST(AirFormat, SpeedsAndSignature) {
  EXPECT_EQ(MOT_VITESSE(1200), "101101001110");
  EXPECT_EQ(MOT_VITESSE(400), "011011100111");
  EXPECT_EQ(MOT_VITESSE(171), "110110011011");
  EXPECT_EQ(FACTEUR_REPETITION(1200), 1);
  EXPECT_EQ(FACTEUR_REPETITION(400), 3);
  EXPECT_EQ(FACTEUR_REPETITION(171), 7);
  EXPECT_THROW(MOT_VITESSE(300), std::invalid_argument);
  EXPECT_THROW(FACTEUR_REPETITION(0), std::invalid_argument);
  EXPECT_EQ(SIGNATURE_0011(10), "0011001100");
  EXPECT_EQ(SIGNATURE_0011(0), "");
}

TEST(AirFormat, CheckWordsAgreeWithShiftRegisters) {
  for (const std::string call : {"F6ABC", "KESTRADO", "A", "DL1XYZ/P", "\xE9t\xE9"}) {
    const std::string crc = CONTROLE_POLYNOME(call);
    ASSERT_EQ(crc.size(), 21u);
    EXPECT_EQ(valueOf(crc), crc21Of(call)) << call;
  }
  EXPECT_EQ(CONTROLE_POLYNOME(""), "");
  EXPECT_EQ(BITS_BCH(std::string(21, '0')), "0000000000");
  std::mt19937 rng(31);
  for (int i = 0; i < 500; ++i) {
    const uint32_t w = rng() & 0x1FFFFFu;
    ASSERT_EQ(valueOf(BITS_BCH(bitsOf(w, 21))), bchOf(w));
  }
}

TEST(AirFormat, LengthField) {
  EXPECT_EQ(CHAMP_F5('0', 1, 0), "00000");
  EXPECT_EQ(CHAMP_F5('0', 2, 12), "00001");
  EXPECT_EQ(CHAMP_F5('0', 3, 0), "00010");
  EXPECT_EQ(CHAMP_F5('1', 3, 5), "00100");  // a text frame carries its length
  EXPECT_EQ(CHAMP_F5('1', 255, 1), "00000");
  EXPECT_EQ(CHAMP_F5('1', 255, 32), "11111");
  EXPECT_EQ(CHAMP_F5('1', 255, 0), "11111");  // an empty text also gives 31
  EXPECT_EQ(CHAMP_F5('0', 255, 40), "11111");
}

TEST(AirFormat, DpWordLayouts) {
  const std::string f5 = "10101";
  EXPECT_EQ(MOT_DP_LIEN(true, '1', '0', '1', f5), "0010110101");
  EXPECT_EQ(MOT_DP_LIEN(false, '0', '1', '0', f5), "0101010101");
  // User of slot 2 in a meeting of 4: "10", B0..B3 with B2 := BE, BM, F5.
  EXPECT_EQ(MOT_DP_UTILISATEUR(4, 2, "1011", '0', '1', f5), "10" "1001" "1" "10101");
  // 7 participants: B0..B6 with the own slot := BE, then BE, BM, F5.
  EXPECT_EQ(MOT_DP_UTILISATEUR(7, 6, "0000000", '1', '0', f5), "0000001" "1" "0" "10101");
  EXPECT_EQ(MOT_DP_UTILISATEUR(13, 12, std::string(13, '1'), '0', '1', f5).size(), 20u);
  // Master, slot 0: D, Z, BN, S = 0, BE, BM, F5.
  EXPECT_EQ(MOT_DP_MAITRE(4, 0, 5, '1', '1', '1', '0', '1', f5), "0101" "00" "1" "00" "0" "1" "10101");
  EXPECT_EQ(MOT_DP_MAITRE(7, 0, 0, '0', '1', '0', '1', '1', f5), "0000" "000" "1" "000" "1" "1" "10101");
  EXPECT_EQ(MOT_DP_MAITRE(13, 0, 15, '0', '0', '0', '0', '0', f5), "1111" "00" "0" "0000" "0" "0" "10101");
  // Master, slot s: D, Z', BA, BN, BP, S, BE, BM, F5.
  EXPECT_EQ(MOT_DP_MAITRE(4, 3, 0, '1', '0', '1', '0', '1', f5), "0000" "101" "11" "0" "1" "10101");
  EXPECT_EQ(MOT_DP_MAITRE(7, 5, 0, '1', '1', '0', '1', '0', f5), "0000" "0" "110" "101" "1" "0" "10101");
  EXPECT_EQ(MOT_DP_MAITRE(13, 12, 0, '0', '1', '1', '0', '0', f5), "0000" "011" "1100" "0" "0" "10101");
  for (int p : {4, 7, 13}) {
    EXPECT_EQ(int(MOT_DP_UTILISATEUR(p, 1, std::string(13, '0'), '0', '0', f5).size()),
              LONGUEUR_MOT_DP_EMIS(p, false));
    EXPECT_EQ(int(MOT_DP_MAITRE(p, 0, 0, '0', '0', '0', '0', '0', f5).size()), LONGUEUR_MOT_DP_EMIS(p, true));
    EXPECT_EQ(int(MOT_DP_MAITRE(p, 1, 0, '0', '0', '0', '0', '0', f5).size()), LONGUEUR_MOT_DP_EMIS(p, true));
  }
  EXPECT_EQ(LONGUEUR_MOT_DP_EMIS(2, true), 10);
  EXPECT_THROW(MOT_DP_UTILISATEUR(4, 4, "0000", '0', '0', f5), std::invalid_argument);
  EXPECT_THROW(MOT_DP_UTILISATEUR(7, 1, "0000", '0', '0', f5), std::invalid_argument);  // B too short
  EXPECT_THROW(MOT_DP_MAITRE(5, 0, 0, '0', '0', '0', '0', '0', f5), std::invalid_argument);
  EXPECT_THROW(MOT_DP_MAITRE(4, 0, 16, '0', '0', '0', '0', '0', f5), std::invalid_argument);
  EXPECT_THROW(MOT_DP_LIEN(true, '0', '0', '0', "0101"), std::invalid_argument);
}

TEST(AirFormat, BurstSizes) {
  const std::string crc = CONTROLE_POLYNOME("F1AAA");
  const std::string f5 = "00000";
  EXPECT_EQ(SALVE_DP(MOT_DP_LIEN(true, '0', '0', '0', f5), crc, 1200).size(), 96u);
  EXPECT_EQ(SALVE_DP(MOT_DP_UTILISATEUR(4, 1, "0000", '0', '0', f5), crc, 400).size(), 102u);
  EXPECT_EQ(SALVE_DP(MOT_DP_UTILISATEUR(7, 1, "0000000", '0', '0', f5), crc, 171).size(), 108u);
  EXPECT_EQ(SALVE_DP(MOT_DP_UTILISATEUR(13, 1, std::string(13, '0'), '0', '0', f5), crc, 1200).size(), 126u);
  EXPECT_EQ(SALVE_DP(MOT_DP_MAITRE(4, 2, 0, '0', '0', '0', '0', '0', f5), crc, 1200).size(), 114u);
  EXPECT_EQ(SALVE_DP(MOT_DP_MAITRE(7, 2, 0, '0', '0', '0', '0', '0', f5), crc, 1200).size(), 120u);
  EXPECT_EQ(SALVE_DP(MOT_DP_MAITRE(13, 0, 0, '0', '0', '0', '0', '0', f5), crc, 1200).size(), 120u);
  EXPECT_THROW(SALVE_DP("", crc, 1200), std::invalid_argument);
  EXPECT_THROW(SALVE_DP("0101", "0101", 1200), std::invalid_argument);
}

TEST(AirFormat, BurstsOfEveryRoleSizeAndSpeedPassAnIndependentCheck) {
  std::mt19937 rng(32);
  const std::string master = "F5MST", user = "ON4USR";
  for (int speed : {1200, 400, 171})
    for (int trial = 0; trial < 40; ++trial) {
      // Link, either role, addressed to the Master's call sign.
      {
        const bool isMaster = trial % 2 == 0;
        const char BA = rbit(rng), BE = rbit(rng), BM = rbit(rng);
        const int len = 1 + int(rng() % 32);
        const std::string w = MOT_DP_LIEN(isMaster, BA, BE, BM, CHAMP_F5(BM, 255, size_t(len)));
        const std::string burst = SALVE_DP(w, CONTROLE_POLYNOME(master), speed);
        const ReadBurst r = readBurst(burst, 10, speed, master);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.dp[0], '0');
        EXPECT_EQ(r.dp[1], isMaster ? '0' : '1');
        EXPECT_EQ(r.dp[2], BA);
        EXPECT_EQ(r.dp[3], BE);
        EXPECT_EQ(r.dp[4], BM);
        EXPECT_EQ(int(valueOf(r.dp.substr(5, 5))) + 1, len);
        EXPECT_FALSE(readBurst(burst, 10, speed, user).ok);  // another address fails the check
      }
      for (int p : {4, 7, 13}) {
        const int N = usersOf(p);
        // A meeting user's word, read where the Master reads it.
        {
          const int slot = 1 + int(rng() % N);
          std::string B = rbits(rng, N + 1);
          const char BE = rbit(rng), BM = rbit(rng);
          const int len = 1 + int(rng() % 32);
          const std::string w = MOT_DP_UTILISATEUR(p, slot, B, BE, BM, CHAMP_F5(BM, 255, size_t(len)));
          const ReadBurst r = readBurst(SALVE_DP(w, CONTROLE_POLYNOME(master), speed), int(w.size()), speed, master);
          ASSERT_TRUE(r.ok) << p;
          B[size_t(slot)] = BE;
          if (p == 4) {
            EXPECT_EQ(int(valueOf(r.dp.substr(0, 2))), slot);
            EXPECT_EQ(r.dp.substr(2, 4), B);
            EXPECT_EQ(r.dp[6], BM);
            EXPECT_EQ(int(valueOf(r.dp.substr(7, 5))) + 1, len);
          } else {
            EXPECT_EQ(r.dp.substr(0, size_t(N) + 1), B);
            EXPECT_EQ(r.dp[size_t(N) + 1], BE);
            EXPECT_EQ(r.dp[size_t(N) + 2], BM);
            EXPECT_EQ(int(valueOf(r.dp.substr(size_t(N) + 3, 5))) + 1, len);
          }
        }
        // A Master's word for slot s (0 = its own frame), read where a user reads it (1-based positions:
        // BA, BN, BP, BE, BM, first length bit, first slot bit).
        {
          const int slot = int(rng() % (N + 1));
          const uint8_t D = uint8_t(rng() % 16);
          const char BA = rbit(rng), BN = rbit(rng), BP = rbit(rng), BE = rbit(rng), BM = rbit(rng);
          const int len = 1 + int(rng() % 32);
          const std::string w = MOT_DP_MAITRE(p, slot, D, BA, BN, BP, BE, BM, CHAMP_F5(BM, 255, size_t(len)));
          const std::string call = slot == 0 ? master : user;
          const ReadBurst r = readBurst(SALVE_DP(w, CONTROLE_POLYNOME(call), speed), int(w.size()), speed, call);
          ASSERT_TRUE(r.ok) << p << " slot " << slot;
          const int posBA = p == 7 ? 6 : 5, posBE = p == 4 ? 10 : 12, posS = p == 7 ? 9 : 8;
          const int bitsS = p == 4 ? 2 : p == 7 ? 3 : 4;
          const int posBN = slot > 0 ? posBA + 1 : posBA + 2;
          auto at = [&](int pos) { return r.dp[size_t(pos - 1)]; };
          EXPECT_EQ(int(valueOf(r.dp.substr(0, 4))), D);
          EXPECT_EQ(at(posBN), BN);
          if (slot > 0) {
            EXPECT_EQ(at(posBA), BA);
            EXPECT_EQ(at(posBA + 2), BP);
          }
          EXPECT_EQ(int(valueOf(r.dp.substr(size_t(posS - 1), size_t(bitsS)))), slot);
          EXPECT_EQ(at(posBE), BE);
          EXPECT_EQ(at(posBE + 1), BM);
          EXPECT_EQ(int(valueOf(r.dp.substr(size_t(posBE + 1), 5))) + 1, len);
        }
      }
    }
}

TEST(AirFormat, CallSignOfEachBurst) {
  const std::string own = "OWN", mst = "MST", corr = "COR";
  // Link Master: the correspondent, except while calling.
  EXPECT_EQ(INDICATIF_SALVE_DP(2, true, 0, false, false, own, mst, corr), corr);
  EXPECT_EQ(INDICATIF_SALVE_DP(2, true, 0, true, false, own, mst, corr), "");
  // Users: the Master's.
  EXPECT_EQ(INDICATIF_SALVE_DP(2, false, 0, false, false, own, mst, corr), mst);
  EXPECT_EQ(INDICATIF_SALVE_DP(7, false, 0, false, false, own, mst, corr), mst);
  // Meeting Master: its own, or the slot's user on the slot's first frame.
  EXPECT_EQ(INDICATIF_SALVE_DP(4, true, 0, false, true, own, mst, corr), own);
  EXPECT_EQ(INDICATIF_SALVE_DP(4, true, 2, false, true, own, mst, corr), corr);
  EXPECT_EQ(INDICATIF_SALVE_DP(4, true, 2, false, false, own, mst, corr), own);
  // A calling Master's burst carries no address: it checks without any call sign.
  const std::string w = MOT_DP_LIEN(true, '0', '1', '0', CHAMP_F5('0', 3, 0));
  const std::string burst = SALVE_DP(w, CONTROLE_POLYNOME(""), 171);
  EXPECT_TRUE(readBurst(burst, 10, 171, "").ok);
  EXPECT_FALSE(readBurst(burst, 10, 171, corr).ok);
}

TEST(AirFormat, SecondaryChannelWords) {
  EXPECT_EQ(CODE_6_BITS(' '), "000000");
  EXPECT_EQ(CODE_6_BITS('A'), "100001");
  EXPECT_EQ(CODE_6_BITS('_'), "111111");
  EXPECT_EQ(CODE_6_BITS('a'), "000000");   // outside 32..95: a blank
  EXPECT_EQ(CODE_6_BITS('\xE9'), "000000");
  EXPECT_EQ(CARACTERE_6_BITS(33), 'A');
  EXPECT_EQ(MOT_CANAL_SECONDAIRE(3, 'A', 'B'), "0011" "100001" "100010");
  EXPECT_THROW(MOT_CANAL_SECONDAIRE(16, 'A', 'B'), std::invalid_argument);
  EXPECT_EQ(MOT_ETAT_SLOTS("1011"), "1011000000000000");
  EXPECT_EQ(CANAL_RELAYE(std::string(111, '1')), "1111000000000000");
  const std::string block = std::string(10, '0') + "0101010101010101" + std::string(96, '0');
  EXPECT_EQ(CANAL_RELAYE(block), "0101010101010101");
}

TEST(AirFormat, WhiteningMask) {
  const std::string m = mask378();
  EXPECT_EQ(MASQUE_BLANCHIMENT.size(), 378u);
  EXPECT_TRUE(std::string(MASQUE_BLANCHIMENT) == m);
  for (size_t i = 0; i + 95 < 378; ++i) ASSERT_EQ(MASQUE_BLANCHIMENT[i + 95], MASQUE_BLANCHIMENT[i]);
  std::string b(130, '0');
  BLANCHIR(b);
  EXPECT_TRUE(b == m.substr(0, 130));
  BLANCHIR(b);
  EXPECT_EQ(b, std::string(130, '0'));
  std::string tooLong(379, '0');
  EXPECT_THROW(BLANCHIR(tooLong), std::invalid_argument);
}

TEST(AirFormat, RsBlocksPassAnIndependentCheck) {
  std::mt19937 rng(33);
  const std::string m = mask378();
  for (int speed : {1200, 400, 171})
    for (int trial = 0; trial < 60; ++trial) {
      const int kind = trial % 3;  // empty block, header without text, text
      const std::string header = kind == 0 ? "" : ENTETE_RS(rbit(rng), '0', rbit(rng));
      std::string text;
      if (kind == 2) {
        text.resize(1 + rng() % 32);
        for (char& c : text) c = char(rng() % 256);
      }
      const std::string canal = MOT_CANAL_SECONDAIRE(int(rng() % 16), char(32 + rng() % 64), char(32 + rng() % 64));
      const std::string sent = BLOC_RS(header, text, canal, speed);
      const size_t one = kind == 0 ? 112 : 122 + 8 * text.size();
      const int copies = speed == 1200 ? 1 : speed == 400 ? 3 : 7;
      ASSERT_EQ(sent.size(), one * size_t(copies));
      for (int k = 1; k < copies; ++k) ASSERT_EQ(sent.substr(k * one, one), sent.substr(0, one));
      std::string block = sent.substr(0, one);
      for (size_t i = 0; i < one; ++i) block[i] = block[i] == m[i] ? '0' : '1';
      std::string textBits;
      for (unsigned char c : text) textBits += bitsOf(c, 8);
      ASSERT_EQ(block.substr(0, one - 96), header + textBits + canal);
      // Parity symbols first, then the data padded to 282 bits: a code word of the RS(63,47) code.
      std::string data = block.substr(0, one - 96);
      data.resize(282, '0');
      std::array<uint8_t, 63> word{};
      for (int i = 0; i < 16; ++i) word[size_t(i)] = uint8_t(valueOf(block.substr(one - 96 + size_t(i) * 6, 6)));
      for (int i = 0; i < 47; ++i) word[size_t(16 + i)] = uint8_t(valueOf(data.substr(size_t(i) * 6, 6)));
      ASSERT_TRUE(gf64ref::isCodeword(word));
    }
  EXPECT_EQ(BLOC_RS(ENTETE_RS('1', '0', '0'), std::string(32, 'x'), std::string(16, '0'), 1200).size(), 378u);
  EXPECT_THROW(BLOC_RS(ENTETE_RS('1', '0', '0'), std::string(33, 'x'), std::string(16, '0'), 1200),
               std::invalid_argument);
  EXPECT_THROW(BLOC_RS("", "x", std::string(16, '0'), 1200), std::invalid_argument);
  EXPECT_THROW(BLOC_RS("", "", std::string(15, '0'), 1200), std::invalid_argument);
}

TEST(AirFormat, BlocksAreCorrectedBackToTheirData) {
  std::mt19937 rng(34);
  const std::string m = mask378();
  REED_SOLOMON_AUTEX_RX_TX rs;
  for (int trial = 0; trial < 300; ++trial) {
    std::string text(rng() % 33, ' ');
    for (char& c : text) c = char(rng() % 256);
    const std::string header = ENTETE_RS(rbit(rng), '0', rbit(rng));
    const std::string canal = rbits(rng, 16);
    std::string block = BLOC_RS(header, text, canal, 1200);
    // Flip bits inside at most 8 symbols of the 63 sent (the last data symbol may be partly padding).
    const int errors = int(rng() % 9);
    const size_t dataBits = block.size() - 96;
    for (int e = 0; e < errors; ++e) {
      const int sym = int(rng() % 63);
      size_t pos = sym < 16 ? dataBits + size_t(sym) * 6 : size_t(sym - 16) * 6;
      if (sym >= 16 && pos >= dataBits) pos = dataBits - 1 - (rng() % 6);
      block[pos] = block[pos] == '1' ? '0' : '1';
    }
    BLANCHIR(block);
    std::string data;
    int corrected = -1;
    ASSERT_TRUE(CORRIGER_BLOC_RS(rs, block, data, &corrected)) << trial;
    ASSERT_LE(corrected, errors);
    std::string expected = header;
    for (unsigned char c : text) expected += bitsOf(c, 8);
    expected += canal;
    expected.resize(282, '0');
    ASSERT_EQ(data, expected);
  }
  std::string data = "unchanged";
  EXPECT_FALSE(CORRIGER_BLOC_RS(rs, std::string(111, '0'), data));
  EXPECT_FALSE(CORRIGER_BLOC_RS(rs, std::string(379, '0'), data));
  EXPECT_EQ(data, "unchanged");
}

TEST(AirFormat, ACorrectionIntoTheUnsentPaddingIsRejected) {
  // A code word whose data run on past the block's length: sent as a 122-bit block, the receiver pads the
  // data with zeros, which makes a few symbol errors in the padding; the decoder finds that code word again,
  // but the padding was never sent, so the block must be refused.
  REED_SOLOMON_AUTEX_RX_TX rs;
  Donnees_RS d{};
  d[10] = 5;  // bits 61..66: beyond the 26 data bits of a header-only block
  d[20] = 9;
  const Mot_RS c = rs.RS_ENCODER(d);
  std::string bits;
  for (int i = 0; i < 47; ++i) bits += bitsOf(c[size_t(16 + i)], 6);
  std::string block = bits.substr(0, 26);
  for (int i = 0; i < 16; ++i) block += bitsOf(c[size_t(i)], 6);
  std::string data;
  EXPECT_FALSE(CORRIGER_BLOC_RS(rs, block, data));
  // The same word without anything in the padding is accepted.
  d[10] = d[20] = 0;
  d[0] = 33;
  const Mot_RS c2 = rs.RS_ENCODER(d);
  block = bitsOf(c2[16], 6) + std::string(20, '0');
  for (int i = 0; i < 16; ++i) block += bitsOf(c2[size_t(i)], 6);
  EXPECT_TRUE(CORRIGER_BLOC_RS(rs, block, data));
}

TEST(AirFormat, FramesArePaddedPackedAndFramed) {
  const std::string crc = CONTROLE_POLYNOME("F4XYZ");
  const std::string dp = SALVE_DP(MOT_DP_LIEN(true, '0', '0', '1', CHAMP_F5('1', 255, 1)), crc, 1200);
  for (int speed : {1200, 400, 171}) {
    const std::string burst = SALVE_DP(MOT_DP_LIEN(true, '0', '0', '1', CHAMP_F5('1', 255, 1)), crc, speed);
    const std::string bits = burst + BLOC_RS(ENTETE_RS('1', '0', '0'), "A", MOT_CANAL_SECONDAIRE(0, 'F', '4'), speed);
    const std::string frame = ENCADRER_TRAME(bits, speed);
    const int after = speed == 1200 ? 1 : speed == 400 ? 3 : 7;
    const size_t bitCount = 96 + size_t(after) * 130;  // 1 + after: the 'U' framing
    ASSERT_EQ(frame.size(), (bitCount + 7) / 8 + 1 + size_t(after));
    EXPECT_EQ(frame.front(), 'U');
    EXPECT_EQ(frame.substr(frame.size() - size_t(after)), std::string(size_t(after), 'U'));
    // The bytes carry the bits, most significant first, and '0' padding.
    std::string back;
    for (size_t i = 1; i + size_t(after) < frame.size(); ++i) back += bitsOf(uint8_t(frame[i]), 8);
    std::string padded = bits;
    padded.resize((bits.size() + 7) / 8 * 8, '0');
    ASSERT_EQ(back, padded);
  }
  // The sizes of a 1-byte link frame: 226 bits -> 29 bytes + 2 at 1200; 1006 bits -> 126 bytes + 8 at 171.
  EXPECT_EQ(ENCADRER_TRAME(dp + BLOC_RS(ENTETE_RS('1', '0', '0'), "A", std::string(16, '0'), 1200), 1200).size(), 31u);
  const std::string dp171 = SALVE_DP(MOT_DP_LIEN(true, '0', '0', '1', "00000"), crc, 171);
  EXPECT_EQ(ENCADRER_TRAME(dp171 + BLOC_RS(ENTETE_RS('1', '0', '0'), "A", std::string(16, '0'), 171), 171).size(),
            134u);
  EXPECT_EQ(ENCADRER_TRAME("", 1200), "UU");
  EXPECT_EQ(ENCADRER_TRAME("0101010", 400), std::string("U") + "\x54" + "UUU");
}
