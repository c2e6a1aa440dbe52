#pragma once
// A 5 x 7 pixel font for the contact sheets' labels: upper-case letters, digits and a few signs (lower-case
// letters are drawn as upper-case ones).
#include <cstdint>

namespace skingen {

// The seven rows of a character, bit 4 the leftmost column; nullptr for a character the font lacks.
const uint8_t* FontGlyph(char c);
inline constexpr int FontWidth = 5, FontHeight = 7, FontAdvance = 6;

}  // namespace skingen
