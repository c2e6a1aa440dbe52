// Headless title bars: no program resources and no windows; a fade only remembers the alpha it would show.
#include "skin/forms/stitlebar.h"

namespace skin {

void LoadMenuGlyph(Bitmap&) {}

void ItemHoverShow(TacItemAnimation& anim, const TRect&, uint8_t alpha) { anim.ShownAlpha = alpha; }

void ItemHoverFree(TacItemAnimation& anim) { anim.ShownAlpha = -1; }

bool ItemAnimCursorLeft(TacItemAnimation&) { return false; }

}  // namespace skin

namespace skin {
bool MarlettAvailable() { return true; }
}  // namespace skin
