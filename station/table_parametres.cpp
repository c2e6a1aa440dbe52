#include "station/table_parametres.h"

#include <algorithm>
#include <bit>
#include <string_view>

namespace station {

namespace {

// One run of consecutive bytes with the same check.
//   permis:   the allowed values, as single values and inclusive ranges separated by commas ("1..6,8");
//             an empty text means that the bytes are not checked.
//   standard: the standard values of the run in byte order, separated by blanks; "110x4" stands for four
//             bytes of 110; Wh Wu and Hh Hu are the two bytes of the screen width minus one and of the
//             screen height minus one.
struct Ligne {
  uint16_t premier;
  uint16_t dernier;
  std::string_view permis;
  std::string_view standard;
};

constexpr Ligne LIGNES[] = {
    {1, 1, "1..2", "1"},
    {2, 2, "20,40,60,80,100,120", "120"},
    {3, 3, "1..6", "2"},
    {4, 4, "1,9", "1"},
    {5, 5, "1..2", "1"},
    {6, 7, "1..3", "1 2"},
    {8, 8, "1..78", "31"},
    {9, 9, "1..2", "1"},
    {10, 10, "1..60", "1"},
    {11, 11, "10..54", "20"},
    {12, 13, "1..2", "2x2"},
    {14, 14, "10..20", "10"},
    {15, 18, "", "120x2 130 120"},
    {19, 19, "1..2", "1"},
    {20, 20, "", "1"},
    {21, 21, "1..2", "1"},
    {22, 22, "51..98", "98"},
    {23, 23, "32..127", "32"},
    {24, 24, "1..2", "1"},
    {25, 26, "11..34", "11x2"},
    {27, 27, "1..120", "1"},
    {28, 28, "33..129", "33"},
    {29, 29, "9..54", "9"},
    {30, 30, "10..109", "10"},
    {31, 31, "10..29", "20"},
    {32, 32, "72,144", "144"},
    {33, 33, "1..96,100", "100"},
    {34, 34, "11..49", "14"},
    {35, 35, "50..150", "100"},
    {36, 36, "40..100", "100"},
    {37, 37, "1..2", "1"},
    {38, 38, "1..7", "2"},
    {39, 39, "12,24,48", "12"},
    {40, 40, "1..2", "1"},
    {41, 41, "1..6", "1"},
    {42, 42, "1..2", "1"},
    {43, 43, "1..3", "3"},
    {44, 44, "1..2", "2"},
    {45, 46, "1..3", "1x2"},
    {47, 47, "1..117", "33"},
    {48, 48, "1..2", "2"},
    {49, 49, "10..12", "10"},
    {50, 50, "1..2", "1"},
    {51, 51, "10..109", "10"},
    {52, 52, "10..29", "20"},
    {53, 53, "1..2", "2"},
    {54, 54, "10..109", "10"},
    {55, 55, "10..29", "20"},
    {56, 56, "101..250", "114"},
    {57, 58, "10..25", "19 11"},
    {59, 59, "1..2", "1"},
    {60, 61, "11..19", "11x2"},
    {62, 63, "1..2", "1 2"},
    {64, 64, "10..25", "10"},
    {65, 65, "10..35", "20"},
    {66, 67, "1..3", "1x2"},
    {68, 70, "1..2", "2x3"},
    {71, 71, "1..6,8", "8"},
    {72, 74, "1..2", "2x3"},
    {75, 75, "1..251", "51"},
    {76, 99, "10..210", "110x4 116 150 115 155 110x3 107 Wh Wu Hh Hu 110x3 102 Wh Wu 115 150"},
    {100, 100, "1..2", "1"},
    {101, 101, "10..18", "15"},
    {102, 103, "1..2", "1 2"},
    {104, 104, "1..254", "128"},
    {105, 105, "35..185", "110"},
    {106, 106, "1..2", "2"},
    {107, 107, "60..140", "100"},
    {108, 108, "1..2", "2"},
    {109, 124, "10..210", "110x3 149 110x2 111 130 117 125 114 125 110x4"},
    {125, 128, "1..2", "1x4"},
    {129, 129, "40..160", "100"},
    {130, 131, "1..2", "1x2"},
    {132, 132, "1..11", "1"},
    {133, 134, "12..30", "30x2"},
    {135, 135, "6,22,60,240", "240"},
    {136, 136, "1..2", "1"},
    {137, 137, "2..60", "5"},
    {138, 138, "1..200", "10"},
    {139, 143, "1..2", "1 2 1x3"},
    {144, 144, "1..7", "3"},
    {145, 145, "1..255", "128"},
    {146, 146, "1..2", "2"},
    {147, 147, "20..250", "20"},
    {148, 148, "10..120", "40"},
    {149, 149, "1..255", "30"},
    {150, 155, "1..2", "1x3 2 1x2"},
    {156, 156, "32..122", "34"},
    {157, 157, "33..129", "33"},
    {158, 160, "1..2", "1x2 2"},
    {161, 172, "10..210", "110x4 118 130 115 198 110x4"},
    {173, 173, "10..20", "11"},
    {174, 174, "1..2", "1"},
    {175, 175, "1..4", "3"},
    {176, 178, "1..2", "2x2 1"},
    {179, 179, "1..5", "1"},
    {180, 184, "1..2", "2 1 2 1x2"},
    {185, 186, "11..19", "11x2"},
    {187, 194, "10..210", "110x4 114 201 114 122"},
    {195, 195, "1..4", "1"},
    {196, 203, "10..210", "110x4 111 206 111 167"},
    {204, 205, "1..2", "1x2"},
    {206, 217, "10..210", "110x3 103 116 148 113 154 110x4"},
    {218, 220, "10..250", "12 116 120"},
    {221, 221, "10..50", "12"},
    {222, 224, "10..250", "11 192 210"},
    {225, 225, "10..50", "12"},
    {226, 226, "1..12", "3"},
    {227, 227, "1..2", "1"},
    {228, 235, "10..210", "110x4 118 130 115 198"},
    {236, 236, "10..20", "11"},
    {237, 237, "1..2", "1"},
    {238, 238, "1..4", "3"},
    {239, 241, "1..2", "2x2 1"},
    {242, 242, "1..6", "1"},
    {243, 246, "1..2", "2 1 2 1"},
    {247, 248, "10..33", "22x2"},
    {249, 250, "1..2", "1x2"},
    {251, 251, "1..3", "1"},
    {252, 252, "1..6,8..42", "10"},
    {253, 256, "1..2", "1x3 2"},
    {257, 257, "1,3,10", "3"},
    {258, 262, "1..2", "2x4 1"},
    {263, 263, "1..10", "3"},
    {264, 273, "1..2", "2x3 1x2 2 1x2 2 1"},
    {274, 275, "1..251", "1x2"},
    {276, 276, "10..230", "120"},
    {277, 278, "1..2", "1x2"},
    {279, 279, "1..63", "40"},
    {280, 280, "50..150", "50"},
    {281, 281, "0..100", "50"},
    {282, 282, "6..255", "30"},
    {283, 294, "1..2", "2 1 2 1x3 2 1x5"},
    {295, 295, "64,128", "64"},
    {296, 296, "1..2", "2"},
    {297, 297, "1..63", "63"},
    {298, 298, "1..2", "2"},
    {299, 299, "1..3", "1"},
    {300, 301, "1..2", "2 1"},
    {302, 302, "1..3", "1"},
    {303, 303, "1..128", "2"},
    {304, 304, "1..2", "2"},
    {305, 305, "4..5,8,11,16,22", "11"},
    {306, 306, "1..3,102..103", "1"},
    {307, 330, "1..8", "1 6 1x22"},
    {331, 333, "1,51,101", "101x3"},
    {334, 334, "1..2", "2"},
    {335, 335, "1..10", "1"},
    {336, 341, "1..2", "1x5 2"},
    {342, 343, "10..20", "11x2"},
    {344, 348, "1..2", "2x2 1x3"},
    {349, 349, "1..10", "1"},
    {350, 353, "1..2", "1x4"},
    {354, 354, "100..200", "125"},
    {355, 360, "1..2", "1x6"},
    {361, 361, "1..3", "1"},
    {362, 362, "4..50", "20"},
    {363, 363, "49..52", "51"},
    {364, 364, "49..54", "49"},
    {365, 365, "49..57,65", "65"},
    {366, 366, "50..57,65..69", "57"},
    {367, 368, "1..2", "1 2"},
    {369, 369, "49..57,65", "56"},
    {370, 370, "1..2", "1"},
    {371, 374, "8..48", "8x4"},
    {375, 375, "77..123", "100"},
    {376, 376, "1..21", "1"},
    {377, 377, "1..2", "1"},
    {378, 378, "1..5", "1"},
    {379, 379, "54..57,65", "65"},
    {380, 380, "1..12", "1"},
    {381, 382, "1..2", "1 2"},
    {383, 383, "1..100", "2"},
    {384, 384, "1..255", "1"},
    {385, 385, "1..48,100", "100"},
    {386, 391, "1..2", "1x6"},
    {392, 392, "1..4", "3"},
    {393, 393, "1..2", "1"},
    {394, 394, "1..3", "1"},
    {395, 403, "1..2", "2x3 1x6"},
    {404, 404, "7,14,28,56", "28"},
    {405, 405, "1..7", "7"},
    {406, 406, "2..7", "7"},
    {407, 410, "1..2", "1 2x2 1"},
    {411, 411, "1..16", "1"},
    {412, 430, "1..2", "1x5 2 1x2 2 1 2x3 1 2 1 2 1x2"},
    {431, 431, "1..2,5,10,18,20,36", "5"},
    {432, 432, "2..100", "4"},
    {433, 433, "1..5", "1"},
    {434, 444, "1..2", "1x3 2x2 1x5 2"},
    {445, 445, "1..5", "1"},
    {446, 453, "1..2", "2 1x4 2x2 1"},
    {454, 457, "10..210", "110x2 111 110"},
    {458, 462, "1..2", "1x2 2x2 1"},
    {463, 463, "1..10,15", "1"},
    {464, 464, "101..107", "104"},
    {465, 465, "1..4", "1"},
    {466, 466, "1..3", "1"},
    {467, 467, "1..2", "2"},
    {468, 470, "10..250", "11 63 60"},
    {471, 471, "10..50", "12"},
    {472, 474, "10..250", "10 159 120"},
    {475, 475, "10..50", "12"},
    {476, 479, "1..2", "1 2 1x2"},
    {480, 491, "10..210", "116 166 116 111 110x8"},
    {492, 492, "1..4", "1"},
    {493, 493, "1..2", "1"},
    {494, 494, "1..6", "1"},
    {495, 502, "1..2", "1x4 2x2 1x2"},
    {503, 504, "27..227", "127x2"},
    {505, 505, "1..2", "1"},
    {506, 507, "27..227", "127x2"},
    {508, 519, "1..2", "1x10 2x2"},
    {520, 520, "1..20", "1"},
    {521, 522, "1..2", "1x2"},
    {523, 523, "1,6,11,21,41,61,121,181", "1"},
    {524, 524, "1..2", "1"},
    {525, 525, "1..3", "1"},
    {526, 527, "1..2", "1x2"},
    {528, 528, "6..56", "16"},
    {529, 533, "1..2", "1x2 2 1x2"},
    {534, 534, "8..48", "8"},
    {535, 536, "1..2", "1x2"},
    {537, 537, "1..3", "1"},
    {538, 538, "1..2", "2"},
    {539, 539, "1..3", "2"},
    {540, 540, "2,10,60", "60"},
    {541, 545, "1..2", "1 2 1x2 2"},
    {546, 546, "1..3", "2"},
    {547, 561, "1..2", "1x8 2 1x5 2"},
    {562, 562, "10,13,20", "13"},
    {563, 566, "1..2", "2x2 1x2"},
    {567, 567, "1..60", "2"},
    {568, 568, "1..6,8..42", "10"},
    {569, 572, "1..2", "2 1x3"},
    {573, 573, "1..48", "1"},
    {574, 574, "1..3", "1"},
    {575, 578, "1..251", "1x4"},
    {579, 586, "1..2", "2 1x5 2x2"},
    {587, 587, "1..4", "1"},
    {588, 591, "1..2", "2 1x3"},
    {592, 592, "2..32", "12"},
    {593, 596, "1..2", "1x4"},
    {597, 597, "1..10", "1"},
    {598, 599, "1..255", "1x2"},
    {600, 603, "1..2", "1x2 2 1"},
    {604, 607, "1..255", "1 109 206 203"},
    {608, 619, "10..210", "110x2 113 110 118 110 112 190 110x4"},
    {620, 622, "1..2", "1x3"},
    {623, 623, "1..3", "1"},
    {624, 625, "1..2", "2 1"},
    {626, 629, "1..255", "1 109 206 203"},
    {630, 630, "1..9", "1"},
    {631, 632, "1..255", "1x2"},
    {633, 638, "1..2", "1x3 2 1x2"},
    {639, 639, "1..96", "1"},
    {640, 649, "1..2", "1x10"},
    {650, 650, "1..10", "6"},
    {651, 651, "1..9", "2"},
    {652, 652, "1..8", "1"},
    {653, 653, "1..5", "1"},
    {654, 654, "1..2", "1"},
    {655, 655, "1..16", "6"},
    {656, 659, "1..2", "1x4"},
    {660, 660, "8..248", "128"},
    {661, 665, "1..2", "1x5"},
    {666, 666, "5,7..8", "8"},
    {667, 667, "73,78,80,83", "78"},
    {668, 668, "1..2", "1"},
    {669, 669, "66..67,72", "67"},
    {670, 670, "1..60", "1"},
    {671, 677, "1..2", "1 2 1x5"},
    {678, 678, "5,7..8", "5"},
    {679, 679, "73,78,80,83", "78"},
    {680, 680, "1..2", "1"},
    {681, 681, "66..67,72", "67"},
    {682, 682, "1..60", "1"},
    {683, 683, "1..2", "1"},
    {684, 684, "1..6", "4"},
    {685, 685, "3,5,10,30,60,255", "10"},
    {686, 686, "1..2", "1"},
    {687, 688, "1..251", "1x2"},
    {689, 689, "1..10", "1"},
    {690, 691, "1..2", "1x2"},
    {692, 692, "1..155", "1"},
    {693, 694, "1..2", "1x2"},
    {695, 695, "13,26", "13"},
    {696, 696, "13,20", "13"},
    {697, 698, "1..2", "1 2"},
    {699, 699, "1..3", "1"},
    {700, 703, "1..25", "1x4"},
    {704, 704, "1..3", "1"},
    {705, 707, "1..2", "1x3"},
    {708, 708, "1..128", "1"},
    {709, 709, "1..2", "1"},
    {710, 711, "1..3", "1x2"},
    {712, 714, "1..2", "2 1x2"},
    {715, 717, "10..250", "10 159 120"},
    {718, 718, "10..50", "12"},
    {719, 721, "10..250", "10 159 120"},
    {722, 722, "10..50", "12"},
    {723, 725, "10..250", "10 159 120"},
    {726, 726, "10..50", "12"},
    {727, 729, "10..250", "10 159 120"},
    {730, 730, "10..50", "12"},
    {731, 733, "10..250", "10 159 120"},
    {734, 734, "10..50", "12"},
    {735, 737, "10..250", "10 159 120"},
    {738, 738, "10..50", "12"},
    {739, 739, "1..3", "1"},
    {740, 742, "1..2", "2 1x2"},
    {743, 743, "8..248", "128"},
    {744, 754, "1..2", "2x2 1x9"},
    {755, 755, "1..60", "4"},
    {756, 756, "1..2", "1"},
    {757, 757, "66..67,72", "67"},
    {758, 758, "1..32", "17"},
    {759, 765, "1..2", "1 2 1x4 2"},
    {766, 769, "10..210", "110 160 111 170"},
    {770, 770, "1..2", "1"},
    {771, 771, "17,20,34", "17"},
    {772, 772, "1..2", "1"},
    {773, 773, "1..3", "1"},
    {774, 776, "1..2", "1x3"},
    {777, 777, "10..20", "10"},
    {778, 778, "1..251", "51"},
    {779, 780, "1..2", "1x2"},
    {781, 781, "1..20", "1"},
    {782, 782, "1..101", "101"},
    {783, 783, "1..21", "11"},
    {784, 784, "1..2", "1"},
    {785, 785, "1..3", "1"},
    {786, 786, "1..2", "1"},
    {787, 787, "1..3", "1"},
    {788, 789, "1..2", "1x2"},
    {790, 790, "1..6", "1"},
    {791, 791, "1..11", "1"},
    {792, 793, "1..2", "2 1"},
    {794, 794, "1..255", "57"},
    {795, 795, "8..250", "34"},
    {796, 803, "1..2", "1x7 2"},
    {804, 804, "8..248", "128"},
    {805, 820, "1..2", "1x11 2 1x2 2 1"},
    {821, 821, "1..3", "3"},
    {822, 822, "1..2", "2"},
    {823, 823, "1..10", "6"},
    {824, 824, "1..20", "1"},
    {825, 825, "1..9", "1"},
    {826, 826, "1..100", "1"},
    {827, 827, "1..2", "1"},
    {828, 828, "1..113", "73"},
    {829, 829, "1..6", "1"},
    {830, 830, "1..11", "2"},
    {831, 831, "1..5", "3"},
    {832, 832, "1..2", "1"},
    {833, 833, "4,10,16", "10"},
    {834, 834, "7..17", "10"},
    {835, 835, "3..18", "6"},
    {836, 836, "1..3", "2"},
    {837, 837, "1..100", "1"},
    {838, 839, "1..2", "1x2"},
    {840, 843, "10..210", "111 160 112 170"},
    {844, 849, "1..2", "2 1 2x2 1x2"},
    {850, 850, "1..100", "1"},
    {851, 854, "1..2", "1x2 2 1"},
    {855, 855, "1,51,120,240", "1"},
    {856, 859, "1..2", "1x4"},
    {860, 860, "1..10", "3"},
    {861, 861, "1..2", "1"},
    {862, 862, "1..3", "1"},
    {863, 870, "1..2", "1x2 2 1x5"},
    {871, 871, "1..3", "1"},
    {872, 872, "1..2", "1"},
    {873, 873, "2..16", "2"},
    {874, 874, "1..4", "1"},
    {875, 875, "1..11", "1"},
    {876, 876, "1..2", "2"},
    {877, 877, "1..60", "31"},
    {878, 884, "1..2", "1x3 2 1 2 1"},
    {885, 885, "1..48", "30"},
    {886, 886, "1..3", "1"},
    {887, 887, "16,32,64", "16"},
    {888, 908, "1..2", "1x10 2x3 1x8"},
    {909, 909, "13..243", "128"},
    {910, 911, "1..2", "1x2"},
    {912, 912, "1..3", "1"},
    {913, 917, "1..2", "1 2 1x3"},
    {918, 918, "1..10", "3"},
    {919, 927, "1..2", "1x5 2x3 1"},
    {928, 931, "10..210", "110x3 149"},
    {932, 932, "1..2", "2"},
    {933, 933, "1..8", "3"},
    {934, 934, "2,4,7,13", "2"},
    {935, 937, "1..2", "2 1x2"},
    {938, 938, "9..100", "16"},
    {939, 939, "11..100", "16"},
    {940, 940, "17..100", "37"},
    {941, 941, "26..100", "37"},
    {942, 945, "1..2", "1x3 2"},
};

// Standard values that depend on the screen.
enum Ecran : uint8_t { AUCUN = 0, LARGEUR_CENTAINES, LARGEUR_UNITES, HAUTEUR_CENTAINES, HAUTEUR_UNITES };

struct Regle {
  bool verifie = false;
  std::array<uint64_t, 4> permis{};  // bit v: value v passes
  uint8_t minimum = 0;
  uint8_t maximum = 255;
  uint8_t standard = 0;
  Ecran ecran = AUCUN;

  constexpr bool admet(unsigned v) const { return !verifie || ((permis[v >> 6] >> (v & 63)) & 1u); }
};

using Regles = std::array<Regle, LONGUEUR_IMAGE + 1>;  // index 0 unused

// A small reader of the notation above, run by the compiler: a mistake in the table (a gap or an overlap
// between runs, a run whose standard values are too few or too many, a value above 255, a bad character)
// stops the build.
struct Lecteur {
  std::string_view texte;
  size_t position = 0;

  constexpr bool fin() const { return position >= texte.size(); }
  constexpr bool chiffre() const { return !fin() && texte[position] >= '0' && texte[position] <= '9'; }
  constexpr unsigned nombre() {
    if (!chiffre()) throw "a number is expected";
    unsigned v = 0;
    while (chiffre()) {
      v = v * 10 + unsigned(texte[position] - '0');
      if (v > 255) throw "a value is above 255";
      ++position;
    }
    return v;
  }
  // Takes the one or two characters a, b when they come next.
  constexpr bool lit(char a, char b = '\0') {
    if (fin() || texte[position] != a) return false;
    if (b == '\0') {
      ++position;
      return true;
    }
    if (position + 1 >= texte.size() || texte[position + 1] != b) return false;
    position += 2;
    return true;
  }
};

// Sets the bits bas..haut.
constexpr void ajoute_plage(std::array<uint64_t, 4>& permis, unsigned bas, unsigned haut) {
  for (unsigned mot = bas / 64; mot <= haut / 64; ++mot) {
    const unsigned de = std::max(bas, mot * 64) - mot * 64;
    const unsigned a = std::min(haut, mot * 64 + 63) - mot * 64;
    const uint64_t jusqu_a = a == 63 ? ~uint64_t(0) : (uint64_t(1) << (a + 1)) - 1;
    permis[mot] |= jusqu_a & ~((uint64_t(1) << de) - 1);
  }
}

constexpr Regles construire_regles() {
  Regles regles{};
  unsigned suivant = 1;
  for (const Ligne& ligne : LIGNES) {
    if (ligne.premier != suivant || ligne.dernier < ligne.premier) throw "the runs must follow each other";
    suivant = ligne.dernier + 1u;

    Regle modele;
    if (!ligne.permis.empty()) {
      modele.verifie = true;
      Lecteur l{ligne.permis};
      for (;;) {
        const unsigned bas = l.nombre();
        unsigned haut = bas;
        if (l.lit('.', '.')) haut = l.nombre();
        if (haut < bas) throw "an empty range";
        ajoute_plage(modele.permis, bas, haut);
        if (l.fin()) break;
        if (!l.lit(',')) throw "a comma is expected";
      }
      for (unsigned mot = 0; mot < 4; ++mot)
        if (modele.permis[mot]) {
          modele.minimum = uint8_t(mot * 64 + unsigned(std::countr_zero(modele.permis[mot])));
          break;
        }
      for (unsigned mot = 4; mot-- > 0;)
        if (modele.permis[mot]) {
          modele.maximum = uint8_t(mot * 64 + 63 - unsigned(std::countl_zero(modele.permis[mot])));
          break;
        }
    }

    unsigned octet = ligne.premier;
    Lecteur l{ligne.standard};
    while (!l.fin()) {
      Regle r = modele;
      unsigned repetitions = 1;
      if (l.lit('W', 'h')) {
        r.ecran = LARGEUR_CENTAINES;
      } else if (l.lit('W', 'u')) {
        r.ecran = LARGEUR_UNITES;
      } else if (l.lit('H', 'h')) {
        r.ecran = HAUTEUR_CENTAINES;
      } else if (l.lit('H', 'u')) {
        r.ecran = HAUTEUR_UNITES;
      } else {
        r.standard = uint8_t(l.nombre());
        if (l.lit('x')) repetitions = l.nombre();
      }
      if (repetitions == 0) throw "a repetition of zero";
      for (unsigned k = 0; k < repetitions; ++k) {
        if (octet > ligne.dernier) throw "too many standard values in a run";
        regles[octet++] = r;
      }
      if (!l.fin() && !l.lit(' ')) throw "a blank is expected between standard values";
    }
    if (octet != ligne.dernier + 1u) throw "too few standard values in a run";
  }
  if (suivant != LONGUEUR_IMAGE + 1) throw "the table must end at byte 945";
  return regles;
}

constexpr Regles REGLES = construire_regles();

// Every standard value that does not depend on the screen passes its own check.
constexpr bool standards_admis() {
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i)
    if (REGLES[i].ecran == AUCUN && !REGLES[i].admet(REGLES[i].standard)) return false;
  return true;
}
static_assert(standards_admis());

constexpr int NOMBRE_VERIFIES = [] {
  int n = 0;
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i) n += REGLES[i].verifie ? 1 : 0;
  return n;
}();

constexpr std::array<uint16_t, NOMBRE_VERIFIES> ORDRE = [] {
  std::array<uint16_t, NOMBRE_VERIFIES> ordre{};
  size_t n = 0;
  auto ajoute = [&](int i) {
    if (REGLES[i].verifie) ordre[n++] = uint16_t(i);
  };
  for (int i = 1; i <= LONGUEUR_IMAGE; ++i) {
    if (i == 6 || i == 7) continue;
    ajoute(i);
    if (i == 19) ajoute(6);
  }
  ajoute(7);
  return ordre;
}();

bool dans_image(int index) { return index >= 1 && index <= LONGUEUR_IMAGE; }

}  // namespace

int Code_position(int v) { return std::clamp(v, 10, 210); }

void Coder_coordonnee(int v, uint8_t& premier, uint8_t& second) {
  premier = uint8_t(Code_position(v / 100 + 110));
  second = uint8_t(Code_position(v % 100 + 110));
}

int Decoder_coordonnee(uint8_t premier, uint8_t second) { return (int(premier) - 110) * 100 + (int(second) - 110); }

bool Octet_verifie(int index) { return dans_image(index) && REGLES[index].verifie; }

bool Valeur_admise(int index, uint8_t value) { return !dans_image(index) || REGLES[index].admet(value); }

uint8_t Valeur_admise_minimale(int index) { return dans_image(index) ? REGLES[index].minimum : 0; }

uint8_t Valeur_admise_maximale(int index) { return dans_image(index) ? REGLES[index].maximum : 255; }

uint8_t Valeur_admise_la_plus_proche(int index, int value) {
  const int v = std::clamp(value, 0, 255);
  if (!dans_image(index)) return uint8_t(v);
  const Regle& r = REGLES[index];
  for (int d = 0; d <= 255; ++d) {
    if (v - d >= 0 && r.admet(unsigned(v - d))) return uint8_t(v - d);
    if (v + d <= 255 && r.admet(unsigned(v + d))) return uint8_t(v + d);
  }
  return r.minimum;
}

uint8_t Valeur_standard(int index, const Taille_ecran& ecran) {
  if (!dans_image(index)) return 0;
  const Regle& r = REGLES[index];
  if (r.ecran == AUCUN) return r.standard;
  // Width and height minus one, as two-byte numbers (v div 100 + 110, v mod 100 + 110).
  uint8_t largeur[2], hauteur[2];
  Coder_coordonnee(ecran.largeur - 1, largeur[0], largeur[1]);
  Coder_coordonnee(ecran.hauteur - 1, hauteur[0], hauteur[1]);
  switch (r.ecran) {
    case LARGEUR_CENTAINES: return largeur[0];
    case LARGEUR_UNITES: return largeur[1];
    case HAUTEUR_CENTAINES: return hauteur[0];
    case HAUTEUR_UNITES: return hauteur[1];
    case AUCUN: break;
  }
  return r.standard;
}

std::span<const uint16_t> Ordre_de_verification() { return ORDRE; }

}  // namespace station
