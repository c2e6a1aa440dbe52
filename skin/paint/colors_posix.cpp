#include "skin/paint/colors.h"

namespace skin {

namespace {
// Default colours of a Windows 10 desktop, as RGB triples, by system colour number.
constexpr uint8_t kDefaults[31][3] = {
    {200, 200, 200}, {0, 0, 0},       {153, 180, 209}, {191, 205, 219}, {240, 240, 240}, {255, 255, 255},
    {100, 100, 100}, {0, 0, 0},       {0, 0, 0},       {0, 0, 0},       {180, 180, 180}, {244, 247, 252},
    {171, 171, 171}, {0, 120, 215},   {255, 255, 255}, {240, 240, 240}, {160, 160, 160}, {109, 109, 109},
    {0, 0, 0},       {0, 0, 0},       {255, 255, 255}, {105, 105, 105}, {227, 227, 227}, {0, 0, 0},
    {255, 255, 225}, {181, 181, 181}, {0, 102, 204},   {185, 209, 234}, {215, 228, 242}, {51, 153, 255},
    {240, 240, 240}};
}  // namespace

uint32_t SystemColorRGB(int index) {
  if (index < 0 || index > 30) return 0;
  return uint32_t(RGBColor(kDefaults[index][0], kDefaults[index][1], kDefaults[index][2]));
}

}  // namespace skin
