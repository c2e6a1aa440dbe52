#include "skin/painters/gradients.h"

namespace skin {

// The native build has no msimg32: the triangle gradient is the painters' own shading.
GradientFillFunction PaintersSystemGradientFill() { return ShadeTriangles; }

}  // namespace skin
