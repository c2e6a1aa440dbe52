#pragma once
// The form window's own scroll bars. A skinned form whose window shows scroll bars (WS_HSCROLL, WS_VSCROLL) gets
// the skinned bars of the adapters' scroll engine: an adapter of the scrollable family stands in front of the
// provider's message procedure and takes only what concerns the bars (the room they take in the non-client
// area, the mouse on them, their hover and repeat timers); the provider still paints the whole frame, and paints
// the bars over it. The adapter comes with the skin and goes with it, with the form's window and with the
// provider.
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

namespace skin {

// Attaches the adapter when the form is skinned, its window exists and shows a scroll bar, and none is attached
// yet (one left detached is released first); releases it when the form is not skinned.
void ProviderAttachScrollWnd(TsSkinProvider& p);
// Releases the adapter (the system's own bars come back while the window lives).
void ProviderFreeScrollWnd(TsSkinProvider& p);
// The bars read again from the window and repainted.
void ProviderRefreshScrollWnd(TsSkinProvider& p);
// The bars painted into the window over the frame (nothing while the engine drags a thumb or sends its own
// scroll messages).
void ProviderPaintScrollBars(TsSkinProvider& p);
// The bars painted into a device context that stands for the whole window (a print of the form).
void ProviderPrintScrollBars(TsSkinProvider& p, void* dc);
// The room the skinned bars take: cx the vertical bar's width, cy the horizontal bar's height (0 for a bar that
// is not shown, and without the adapter).
TSize ProviderScrollBarsShown(const TsSkinProvider& p);

}  // namespace skin
