#pragma once
// What a size change of a skinned form repaints in its client area besides the frame.
#include <cstdint>

#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

namespace skin {

// The form section's top-right and bottom-right corner images are drawn at the client's right edge: when the
// client's size changed (or was not known), their places at the old right edge are invalidated (erased unless
// the form's background comes from its parent's cache), so that the old images do not stay behind.
void ProviderInvalidateCornerImages(TsSkinProvider& p, const TRect& before, const TSize& now);

// What the form's background depends on, as the skin data's fill flags say it of every skinned element: 0x1 its
// width (the FORM section's gradient runs in columns, or is a triangle gradient), 0x2 its height (rows, or a
// triangle). 0 without a skinned FORM section or a gradient.
inline constexpr uint16_t kDependsOnWidth = 0x1, kDependsOnHeight = 0x2;
uint16_t ProviderSizeDependency(const TsSkinProvider& p);
// Whether a client size change from `before` to `now` changes what lies under the form's children.
bool ProviderResizeMovesChildBackgrounds(const TsSkinProvider& p, const TSize& before, const TSize& now);
// The form's transparency word as its children read it (AC_TRANSPARENCYFLAGS): bit 0x1 the form paints a plain
// colour its children may show through, bit 0x2 not decided yet. An undecided word is decided first; the form's
// printing and update bits are kept as they were.
uint16_t ProviderTransparencyWord(TsSkinProvider& p);

}  // namespace skin
