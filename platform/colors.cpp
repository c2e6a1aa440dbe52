#include "platform/colors.h"

#include <algorithm>
#include <cmath>

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

namespace {

double linear(int channel) {
  const double v = channel / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(TColor c) {
  return 0.2126 * linear(c & 0xFF) + 0.7152 * linear((c >> 8) & 0xFF) + 0.0722 * linear((c >> 16) & 0xFF);
}

// a + (b - a) * k / 64, channel by channel.
TColor mix(TColor a, TColor b, int k) {
  TColor out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= TColor(ca + (cb - ca) * k / 64) << shift;
  }
  return out;
}

}  // namespace

double RelativeLuminance(TColor c) { return luminance(c & 0xFFFFFF); }

double ContrastRatio(TColor a, TColor b) {
  const double la = luminance(a & 0xFFFFFF), lb = luminance(b & 0xFFFFFF);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor ReadableTextColor(TColor wanted, TColor background) {
  wanted &= 0xFFFFFF, background &= 0xFFFFFF;
  if (ContrastRatio(wanted, background) >= MinTextContrast) return wanted;
  const TColor pole = ContrastRatio(clWhite, background) >= ContrastRatio(clBlack, background) ? clWhite : clBlack;
  // The least mix that reaches 7:1, else the least that reaches MinTextContrast (the hue kept where it can be).
  int least = 64;
  for (int k = 1; k < 64; ++k) {
    const double c = ContrastRatio(mix(wanted, pole, k), background);
    if (c >= 7.0) return mix(wanted, pole, k);
    if (c >= MinTextContrast && least == 64) least = k;
  }
  if (least < 64) return mix(wanted, pole, least);
  return pole;
}

}  // namespace platform
