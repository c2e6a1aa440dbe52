#pragma once
// One step of a section's gradient, as parsed from its GRADIENTDATA text.
#include <cstdint>
#include <vector>

#include "skin/pixels/colors.h"

namespace skin {

struct GradientStep {
  TColor Color1 = 0;    // colour at the step's start (RGB, system colours resolved)
  TColor Color2 = 0;    // colour at the step's end
  uint8_t Percent = 0;  // 0..100: share of the rectangle's height (mode 0) or width (mode 1)
  int32_t Mode = 0;     // only the first step's value counts: 0 rows, 1 columns, 2 triangle gradient
  friend bool operator==(const GradientStep&, const GradientStep&) = default;
};

using GradientStepArray = std::vector<GradientStep>;

}  // namespace skin
