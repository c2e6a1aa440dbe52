#include "platform/colors.h"

namespace platform {

namespace {
// Default colours of a Windows 10 desktop, as R, G, B, by system colour number.
constexpr uint8_t kDefaults[31][3] = {
    {200, 200, 200}, {0, 0, 0},       {153, 180, 209}, {191, 205, 219}, {240, 240, 240}, {255, 255, 255},
    {100, 100, 100}, {0, 0, 0},       {0, 0, 0},       {0, 0, 0},       {180, 180, 180}, {244, 247, 252},
    {171, 171, 171}, {0, 120, 215},   {255, 255, 255}, {240, 240, 240}, {160, 160, 160}, {109, 109, 109},
    {0, 0, 0},       {0, 0, 0},       {255, 255, 255}, {105, 105, 105}, {227, 227, 227}, {0, 0, 0},
    {255, 255, 225}, {181, 181, 181}, {0, 102, 204},   {185, 209, 234}, {215, 228, 242}, {51, 153, 255},
    {240, 240, 240}};
}  // namespace

uint32_t DefaultSystemColor(int index) {
  if (index < 0 || index > 30) return 0;
  return uint32_t(kDefaults[index][0]) | (uint32_t(kDefaults[index][1]) << 8) | (uint32_t(kDefaults[index][2]) << 16);
}

TColor ColorToRGB(TColor color, SystemColors& scheme) {
  return color < 0 ? TColor(scheme.SysColor(color & 0xFF)) : color;
}

namespace {
SystemColors* g_programColors = nullptr;
}  // namespace

SystemColors& programColors() { return g_programColors ? *g_programColors : systemColors(); }

void SetProgramColors(SystemColors* scheme) { g_programColors = scheme; }

TColor ColorToRGB(TColor color) { return ColorToRGB(color, programColors()); }

}  // namespace platform
