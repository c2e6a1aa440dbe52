#pragma once
// What the manager's show, hide and skin-change animations take from a form's provider: the frame cache (in the
// frame's coordinates, with the border window those of the border window), the rectangles the form's region cuts
// away, the window the picture is shown on, and the end of a hide.
//
// With a border window the animation runs on the border window itself: it is placed over the frame's place and
// lent for a show or a skin change; a hide takes it over and frees it at its end, the border form making a new
// one the next time the form shows.
#include "skin/manager/skinchange.h"
#include "skin/forms/sskinprovider.h"

namespace skin {

// The border window made when missing and placed at the frame's screen rectangle (Windows; natively none).
// Hide: handed over, the border form no longer knows it and the record's Free destroys it.
TacAnimWindow ProviderBorderAnimationWindow(TsSkinProvider& p, bool hide);
// The border form's window destroyed, the border form kept (Windows; natively nothing).
void ProviderDestroyBorderWindow(TsSkinProvider& p);

}  // namespace skin
