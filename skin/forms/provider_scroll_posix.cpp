// The native build has no window scroll bars: a form never gets the scroll adapter.
#include "skin/forms/provider_scroll.h"

namespace skin {

void ProviderAttachScrollWnd(TsSkinProvider&) {}
void ProviderFreeScrollWnd(TsSkinProvider& p) { p.ScrollWnd = nullptr; }
void ProviderRefreshScrollWnd(TsSkinProvider&) {}
void ProviderPaintScrollBars(TsSkinProvider&) {}
void ProviderPrintScrollBars(TsSkinProvider&, void*) {}
TSize ProviderScrollBarsShown(const TsSkinProvider&) { return TSize{0, 0}; }

}  // namespace skin
