// The native build has no border window to lend to an animation.
#include "skin/forms/provider_anim_hooks.h"

namespace skin {

TacAnimWindow ProviderBorderAnimationWindow(TsSkinProvider&, bool) { return {}; }
void ProviderDestroyBorderWindow(TsSkinProvider&) {}

}  // namespace skin
