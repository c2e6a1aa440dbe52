#pragma once
// What a size change of a skinned form repaints in its client area besides the frame.
#include "skin/forms/sskinprovider.h"
#include "skin/paint/geometry.h"

namespace skin {

// The form section's top-right and bottom-right corner images are drawn at the client's right edge: when the
// client's size changed (or was not known), their places at the old right edge are invalidated (erased unless
// the form's background comes from its parent's cache), so that the old images do not stay behind.
void ProviderInvalidateCornerImages(TsSkinProvider& p, const TRect& before, const TSize& now);

}  // namespace skin
