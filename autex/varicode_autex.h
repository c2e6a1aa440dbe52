#pragma once
// Varicode text coding of the AUTEX text block: frequent characters take few bits.
//
// Every code begins with '1', ends with "00", is 3 to 12 bits long and contains "001" nowhere, so a code ends
// exactly where "00" is followed by the '1' that begins the next one. A packed text is the concatenation of
// its characters' codes without the first code's leading '1' and the last code's final '0', cut into bytes
// (most significant bit first), the last byte filled up with '1' bits.
//
// Both tables are compile-time constants: nothing is built at run time and nothing is ever written.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace autex {

// Code bits of every character code 0..255 (single-byte code page).
inline constexpr std::array<std::string_view, 256> TABLE_VARICODE = {
    "11101011100", "11101100000", "11101101000", "11101101100",  // 0x00
    "11101110000", "11101110100", "11101111000", "11101111100",  // 0x04
    "10101000", "11110000000", "11110100000", "11110101000",  // 0x08
    "11110101100", "10101100", "11110110000", "11110110100",  // 0x0C
    "11110111000", "11110111100", "11111000000", "11111010000",  // 0x10
    "11111010100", "11111011000", "11111011100", "11111100000",  // 0x14
    "11111101000", "11111101100", "11111110000", "11111110100",  // 0x18
    "11111111000", "11111111100", "100000000000", "101000000000",  // 0x1C
    "100", "111000000", "111111100", "1011011000",  // 0x20
    "1010101000", "1010100000", "1000000000", "110111100",  // 0x24
    "111110100", "111110000", "1010110100", "111100000",  // 0x28
    "10100000", "111011000", "111010100", "111101000",  // 0x2C
    "11100000", "11110000", "101000000", "101010100",  // 0x30
    "101110100", "101100000", "101101100", "110100000",  // 0x34
    "110000000", "110101100", "111101100", "111111000",  // 0x38
    "1011000000", "111011100", "1010111100", "111010000",  // 0x3C
    "1010000000", "10111100", "100000000", "11010100",  // 0x40
    "11011100", "10111000", "11111000", "101010000",  // 0x44
    "101011000", "11000000", "110110100", "101111100",  // 0x48
    "11110100", "11101000", "11111100", "11010000",  // 0x4C
    "11101100", "110110000", "11011000", "10110100",  // 0x50
    "10110000", "101011100", "110101000", "101101000",  // 0x54
    "101110000", "101111000", "110111000", "1011101000",  // 0x58
    "1011010000", "1011101100", "1011010100", "1010110000",  // 0x5C
    "1010101100", "10100", "1100000", "111000",  // 0x60
    "110100", "1000", "1010000", "1011000",  // 0x64
    "110000", "11000", "10000000", "1110000",  // 0x68
    "101100", "1000000", "11100", "10000",  // 0x6C
    "1010100", "1111000", "100000", "101000",  // 0x70
    "1100", "111100", "1101100", "1101000",  // 0x74
    "1110100", "1011100", "1111100", "1011011100",  // 0x78
    "1010111000", "1011100000", "1011110000", "101010000000",  // 0x7C
    "101010100000", "101010101000", "101010101100", "101010110000",  // 0x80
    "101010110100", "101010111000", "101010111100", "101011000000",  // 0x84
    "101011010000", "101011010100", "101011011000", "101011011100",  // 0x88
    "101011100000", "101011101000", "101011101100", "101011110000",  // 0x8C
    "101011110100", "101011111000", "101011111100", "101100000000",  // 0x90
    "101101000000", "101101010000", "101101010100", "101101011000",  // 0x94
    "101101011100", "101101100000", "101101101000", "101101101100",  // 0x98
    "101101110000", "101101110100", "101101111000", "101101111100",  // 0x9C
    "10111101000", "10111101100", "10111110000", "10111110100",  // 0xA0
    "10111111000", "10111111100", "11000000000", "1101011000",  // 0xA4
    "11010000000", "1101100000", "11010100000", "11010101000",  // 0xA8
    "11010101100", "11010110000", "11010110100", "11010111000",  // 0xAC
    "11010111100", "11011000000", "11011010000", "11011010100",  // 0xB0
    "11011011000", "11011011100", "11011100000", "11011101000",  // 0xB4
    "11011101100", "11011110000", "11011110100", "11011111000",  // 0xB8
    "11011111100", "11100000000", "11101000000", "1111101100",  // 0xBC
    "11101010000", "11101011000", "10110111000", "10111100000",  // 0xC0
    "10000000000", "10100000000", "10101000000", "10101010000",  // 0xC4
    "10101010100", "10101011000", "10101011100", "10101100000",  // 0xC8
    "10101101000", "10101101100", "10101110000", "10101110100",  // 0xCC
    "10101111000", "10101111100", "10110000000", "10110100000",  // 0xD0
    "10110101000", "10110101100", "10110110000", "10110110100",  // 0xD4
    "1111111000", "10110111100", "10111000000", "10111010000",  // 0xD8
    "10111010100", "10111011000", "10111011100", "1111111100",  // 0xDC
    "1011110100", "1011111000", "1011111100", "1100000000",  // 0xE0
    "1101000000", "1101010000", "1101010100", "1101011100",  // 0xE4
    "1101101000", "1101101100", "1101110000", "1101110100",  // 0xE8
    "1101111000", "1101111100", "1110000000", "1110100000",  // 0xEC
    "1110101000", "1110101100", "1110110000", "1110110100",  // 0xF0
    "1110111000", "1110111100", "1111000000", "1111010000",  // 0xF4
    "1111010100", "1111011000", "1111011100", "1111100000",  // 0xF8
    "1111101000", "1111110000", "11101010100", "1111110100",  // 0xFC
};

// 10-bit index of a character's code: the code without its first bit and its last two, followed by '1', read
// least significant bit first (the first bit has weight 1, the tenth weight 512).
constexpr int VARICODE_VERS_ENTIER(uint8_t caractere) {
  const std::string_view code = TABLE_VARICODE[caractere];
  const std::string_view milieu = code.substr(1, code.size() - 3);
  int index = 0;
  for (size_t k = 0; k < milieu.size() && k < 10; ++k)
    if (milieu[k] == '1') index |= 1 << k;
  if (milieu.size() < 10) index |= 1 << milieu.size();
  return index;
}

// Character of each 10-bit index; 0 where no character maps. Code 0 is never entered.
constexpr std::array<uint8_t, 1024> CONSTRUIRE_TABLE_VARICODE_INVERSE() {
  std::array<uint8_t, 1024> t{};
  for (int c = 1; c < 256; ++c) {
    const int i = VARICODE_VERS_ENTIER(static_cast<uint8_t>(c));
    if (i != 0) t[i] = static_cast<uint8_t>(c);
  }
  return t;
}

inline constexpr std::array<uint8_t, 1024> TABLE_VARICODE_INVERSE = CONSTRUIRE_TABLE_VARICODE_INVERSE();

// Replaces a text by its packed form; an empty text stays empty.
void PACKER_VARICODE(std::string& texte);

// How many leading characters of the text fit into `capacite` bytes when packed (`nombre`), and whether
// packing is to be used (`packer`): for a text that fits as 8-bit characters (length <= capacity) when its
// packed form is smaller than the capacity, for a longer text when packing lets more characters in.
void MESURE_VARICODE(std::string_view texte, int capacite, int& nombre, bool& packer);

// The text of a packed bit string (8 bits per packed byte, most significant first; any character other than
// '1' counts as '0'). A code that maps to no character gives the character 0.
void DECODAGE_VARICODE(std::string_view bits, std::string& texte);

}  // namespace autex
