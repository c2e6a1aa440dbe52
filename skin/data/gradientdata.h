#pragma once
// The parsing of a section's gradient description (its GRADIENTDATA text) into the steps the painters lay.
#include <string_view>

#include "skin/data/generalutils.h"
#include "skin/data/gradient_step.h"

namespace skin {

// Splits the text at ';' (runs of separators count as one, so empty fields do not count) and makes one step of
// every five fields: colour from, colour to (both through ColorToRGB), percent (limited to 0..100), mode, and a
// fifth field that nobody reads; a trailing incomplete group is dropped. Steps is emptied first. A field of a
// step that is not an integer raises EConvertError (the skin then does not load).
void ParseGradientSteps(std::string_view Text, GradientStepArray& Steps, SkinSystem& System = systemSkinSystem());

}  // namespace skin
