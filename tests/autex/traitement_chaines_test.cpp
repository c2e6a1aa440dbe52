#include "autex/traitement_chaines.h"

#include <gtest/gtest.h>

#include <random>

#include "autex/langues.h"

using namespace autex;

TEST(Language, ChoosesTheTextOfTheCurrentLanguage) {
  Langues l;
  EXPECT_EQ(l.TRADUCTION("Error", "Erreur"), "Error");
  l.Langue = 2;
  EXPECT_EQ(l.TRADUCTION("Error", "Erreur"), "Erreur");
  EXPECT_EQ(l.TRADUCTION("Error", ""), "");  // no fallback to the other language
  l.Langue = 3;
  EXPECT_EQ(l.TRADUCTION("Error", "Erreur"), "");
}

TEST(Strings, Trimming) {
  std::string s = " \r\n ab c \r\n";
  SUPPRIMER_ESPACES(s);
  EXPECT_EQ(s, "ab c");
  s = "\t x";
  SUPPRIMER_ESPACES(s);
  EXPECT_EQ(s, "\t x");  // TAB is not a blank
  s = " \r\n";
  SUPPRIMER_ESPACES(s);
  EXPECT_EQ(s, "");
  s = "  a  ";
  Supprimer_espaces_debut(s);
  EXPECT_EQ(s, "a  ");
  Supprimer_espaces_fin(s);
  EXPECT_EQ(s, "a");
  s = "a-b--";
  SUPPRIMER_CARACTERE('-', s);
  EXPECT_EQ(s, "ab");
  s = "a-b--";
  Supprimer_caractere_en_queue('-', s);
  EXPECT_EQ(s, "a-b");
  s = std::string("a\x03" "b");
  DOUBLER_CARACTERE(s, '\x03');
  EXPECT_EQ(s, std::string("a\x03\x03" "b"));
  s = "abc";
  Majuscules(s);
  EXPECT_EQ(s, "ABC");
  s = "\xE9t\xE9";
  Majuscules(s);
  EXPECT_EQ(s, "\xE9T\xE9");  // accented letters unchanged
}

TEST(Strings, FillingToAWidth) {
  std::string s = " 7";
  COMPLETER_CHAINE(s, '0', 3, 1);
  EXPECT_EQ(s, "007");
  s = " 7";
  COMPLETER_CHAINE(s, '0', 3, 2);
  EXPECT_EQ(s, "700");
  s = "12345";
  COMPLETER_CHAINE(s, '0', 3, 1);
  EXPECT_EQ(s, "12345");
  s = "ab";
  Completer_espaces(s, 4);
  EXPECT_EQ(s, "ab  ");
  s = " 5 ";
  Completer_zeros(s, 3);
  EXPECT_EQ(s, "005");
  s = "x";
  Completer_caractere(s, '*', 3);
  EXPECT_EQ(s, "x**");
}

TEST(Strings, WordsLinesAndPositions) {
  std::string w;
  int n = 0;
  PREMIER_MOT("  F6ABC hello world", w, n);
  EXPECT_EQ(w, "F6ABC");
  EXPECT_EQ(n, 5);
  PREMIER_MOT("single", w, n);
  EXPECT_EQ(w, "single");
  DERNIER_MOT("hello big world  ", w, n);
  EXPECT_EQ(w, "world");
  EXPECT_EQ(n, 9);
  DERNIER_MOT("alone", w, n);
  EXPECT_EQ(w, "alone");
  EXPECT_EQ(n, 5);

  EXPECT_EQ(NOMBRE_DE_LIGNES(""), 1);
  EXPECT_EQ(NOMBRE_DE_LIGNES("a\r\nb"), 2);
  EXPECT_EQ(NOMBRE_DE_LIGNES("a\r\nb\r\n"), 3);
  std::string line = "old";
  LIGNE_NUMERO(line, "a\r\nb\r\n", 3);
  EXPECT_EQ(line, "");
  LIGNE_NUMERO(line, "a\r\nb\r\n", 2);
  EXPECT_EQ(line, "b");
  LIGNE_NUMERO(line, "a\nb", 1);
  EXPECT_EQ(line, "a\nb");  // an LF alone does not end a line
  LIGNE_NUMERO(line, "a\rb\r\nc", 3);
  EXPECT_EQ(line, "c");
  LIGNE_NUMERO(line, "a\r\nb", 7);
  EXPECT_EQ(line, "");

  int first = -1, count = -1;
  Position_et_nombre_caractere("abcabc", 'c', first, count);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(count, 2);
  Position_et_nombre_caractere("abc", 'z', first, count);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(count, 0);
  int pos = -1;
  POSITION_DERNIER_CARACTERE("a.b.c", '.', pos);
  EXPECT_EQ(pos, 4);

  std::string r;
  bool found = false;
  Couper_jusqu_au_caractere("C:\\dir\\file.txt", r, '\\', found);
  EXPECT_EQ(r, "file.txt");
  EXPECT_TRUE(found);
  Couper_jusqu_au_caractere("file.txt", r, '\\', found);
  EXPECT_EQ(r, "file.txt");
  EXPECT_FALSE(found);

  COUPER_SI_ADJACENTS("xx\r\nyy", r, '\r', '\n', found);
  EXPECT_EQ(r, "yy");
  EXPECT_TRUE(found);
  COUPER_SI_ADJACENTS("xx\r\nyy\r", r, '\r', '\n', found);
  EXPECT_EQ(r, "xx\r\nyy\r");
  EXPECT_FALSE(found);

  std::string rest;
  Apres_dernier_caractere("a.b.txt  ", '.', rest, pos);
  EXPECT_EQ(rest, "txt");
  EXPECT_EQ(pos, 3);
  Apres_dernier_caractere("abc", '.', rest, pos);
  EXPECT_EQ(rest, "");
  EXPECT_EQ(pos, 0);

  std::string list = "F6AAA;F6BBB;F6CCC", part;
  int len = 0;
  Extraire_avant_separateur(list, ";", part, 1, len);
  EXPECT_EQ(part, "F6AAA");
  EXPECT_EQ(len, 5);
  EXPECT_EQ(list, "F6BBB;F6CCC");
  Extraire_avant_separateur(list, ";", part, 0, len);
  EXPECT_EQ(list, "F6BBB;F6CCC");
  Extraire_avant_separateur(list, ";", part, 1, len);
  Extraire_avant_separateur(list, ";", part, 1, len);
  EXPECT_EQ(part, "F6CCC");
  EXPECT_EQ(list, "");

  Dernier_saut_de_ligne("ab\rcd\nef", pos, 100);
  EXPECT_EQ(pos, 6);
  Dernier_saut_de_ligne("ab\rcd\nef", pos, 5);
  EXPECT_EQ(pos, 3);
  Dernier_saut_de_ligne("abc", pos, 3);
  EXPECT_EQ(pos, 0);
}

TEST(Strings, ReplacingSubstrings) {
  std::string s = "abab";
  bool found = false;
  Remplacer_sous_chaine(s, "b", "c", found);
  EXPECT_EQ(s, "acac");
  EXPECT_TRUE(found);
  s = "ab";
  Remplacer_sous_chaine(s, "abc", "x", found);
  EXPECT_EQ(s, "ab");
  EXPECT_FALSE(found);
  s = "abc";
  Remplacer_sous_chaine(s, "", "x", found);  // an empty search text changes nothing
  EXPECT_EQ(s, "abc");
  EXPECT_FALSE(found);
  // Scanned from the right: the text inserted at p may complete a match that starts before p.
  s = "aab";
  Remplacer_sous_chaine(s, "ab", "b", found);
  EXPECT_EQ(s, "b");
}

TEST(Strings, Numbers) {
  EXPECT_TRUE(Est_chiffre('0'));
  EXPECT_FALSE(Est_chiffre('a'));
  EXPECT_TRUE(CHAINE_NUMERIQUE(""));
  EXPECT_TRUE(CHAINE_NUMERIQUE("0123"));
  EXPECT_FALSE(CHAINE_NUMERIQUE("12 "));
  std::string s;
  ENTIER_VERS_CHAINE(-42, s);
  EXPECT_EQ(s, "-42");
  EXPECT_EQ(Chaine_vers_entier_long(" 42 "), 42);
  EXPECT_EQ(Chaine_vers_entier_long("4 2"), 0);
  EXPECT_EQ(Chaine_vers_entier_long(""), 0);
  EXPECT_EQ(Chaine_vers_entier_long("-17"), -17);
  EXPECT_EQ(Chaine_vers_entier_long("$1F"), 31);
  EXPECT_EQ(Chaine_vers_entier_long("0x10"), 16);
  EXPECT_EQ(Chaine_vers_entier_long("x10"), 16);
  EXPECT_EQ(Chaine_vers_entier_long("2147483647"), 2147483647);
  EXPECT_EQ(Chaine_vers_entier_long("2147483648"), 0);
  EXPECT_EQ(Chaine_vers_entier_long("-2147483648"), INT32_MIN);
  EXPECT_EQ(Chaine_vers_entier_long("12a"), 0);
  ENTIER_VERS_TROIS_OCTETS(300, s);
  EXPECT_EQ(s, std::string("\x00\x01\x2C", 3));
  EXPECT_EQ(Trois_octets_vers_entier(s), 300);
  ENTIER_VERS_TROIS_OCTETS(0x1FFFFFF, s);
  EXPECT_EQ(Trois_octets_vers_entier(s), 0xFFFFFF);  // higher bits dropped
  EXPECT_EQ(Trois_octets_vers_entier(std::string("\xFF\xFF\xFF\x01", 4)), 16777215);
}

TEST(TimeStamps, UtcAndLocalInBothDateOrders) {
  // 2027-01-01 00:00:00 UTC
  platform::SimulatedClock clock(1000, 1798761600000LL, 60);
  Horodatage h(clock);
  EXPECT_EQ(h.HORODATAGE_UTC(), " 2027-01-01 00h00m00s");
  EXPECT_EQ(h.Heure_UTC.wYear, 2027);
  EXPECT_DOUBLE_EQ(h.Date_heure_UTC, 46388.0);  // days since 1899-12-30

  // 2026-12-06 09:05:03 UTC
  clock.setUtc(1796547903000LL);
  const std::string utc = h.HORODATAGE_UTC();
  EXPECT_EQ(utc, " 2026-12-06 09h05m03s");
  EXPECT_EQ(utc.size(), 21u);
  clock.setLocalOffsetMinutes(0);
  EXPECT_EQ(h.HORODATAGE_LOCAL(), "06/12/26 09:05:03");
  h.Date_mois_en_tete = 1;
  EXPECT_EQ(h.HORODATAGE_LOCAL(), "12/06/26 09:05:03");
  clock.setLocalOffsetMinutes(60);
  EXPECT_EQ(h.HORODATAGE_LOCAL(), "12/06/26 10:05:03");
  EXPECT_EQ(h.Heure_locale.wHour, 10);
}

TEST(TimeStamps, ClockDifferencesAcrossTheWrap) {
  platform::SimulatedClock clock(0xFFFFFF00u);
  const uint32_t start = clock.timeGetTime();
  clock.advance(0x200);
  EXPECT_LT(clock.timeGetTime(), start);  // wrapped
  EXPECT_EQ(platform::elapsedMs(clock.timeGetTime(), start), 0x200u);
  EXPECT_TRUE(platform::reached(clock.timeGetTime(), start + 0x100));
  EXPECT_FALSE(platform::reached(clock.timeGetTime(), start + 0x300));
}

TEST(Compression, RoundTripsAtChunkBoundaries) {
  std::mt19937 rng(7);
  for (size_t size : {size_t(0), size_t(1), size_t(499999), size_t(500000), size_t(2000000)}) {
    std::string text(size, '\0');
    // Compressible text with NUL bytes and every other byte value.
    for (size_t i = 0; i < size; ++i) text[i] = char((i % 97 == 0) ? 0 : (rng() % 16) * 16);
    std::string packed, unpacked = "stale";
    COMPRESSER_CHAINE(text, packed);
    ASSERT_GE(packed.size(), 8u) << size;  // a complete zlib stream even for an empty text
    EXPECT_EQ(uint8_t(packed[0]), 0x78);
    ASSERT_TRUE(DECOMPRESSER_CHAINE(packed, unpacked)) << size;
    ASSERT_EQ(unpacked.size(), text.size());
    EXPECT_TRUE(unpacked == text) << size;
  }
  std::string nulls("\0\0\0\x03\0", 5), packed, unpacked;
  COMPRESSER_CHAINE(nulls, packed);
  ASSERT_TRUE(DECOMPRESSER_CHAINE(packed, unpacked));
  EXPECT_EQ(unpacked, nulls);
}

TEST(Compression, BadStreamsFailCleanly) {
  std::string out = "stale";
  EXPECT_TRUE(DECOMPRESSER_CHAINE("", out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(DECOMPRESSER_CHAINE("not a zlib stream", out));
  EXPECT_EQ(out, "");

  std::string packed;
  COMPRESSER_CHAINE(std::string(10000, 'x'), packed);
  EXPECT_FALSE(DECOMPRESSER_CHAINE(packed.substr(0, packed.size() - 5), out));  // truncated
  std::string flipped = packed;
  flipped[flipped.size() - 1] ^= 0x55;  // wrong check value
  EXPECT_FALSE(DECOMPRESSER_CHAINE(flipped, out));
  EXPECT_FALSE(DECOMPRESSER_CHAINE(packed + "x", out));  // bytes after the end of the stream
  EXPECT_EQ(out, "");

  // A decompression bomb stops at the cap.
  COMPRESSER_CHAINE(std::string(TAILLE_MAX_DECOMPRESSION + 1, 'a'), packed);
  EXPECT_LT(packed.size(), 100000u);
  EXPECT_FALSE(DECOMPRESSER_CHAINE(packed, out));
  EXPECT_EQ(out, "");
  COMPRESSER_CHAINE(std::string(TAILLE_MAX_DECOMPRESSION, 'a'), packed);
  EXPECT_TRUE(DECOMPRESSER_CHAINE(packed, out));
  EXPECT_EQ(out.size(), TAILLE_MAX_DECOMPRESSION);
}
