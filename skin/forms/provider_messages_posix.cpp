// The native build: no system records reach a headless form, and no helper window is made.
#include "skin/forms/provider_messages.h"
#include "skin/forms/provider_wndproc.h"

namespace skin {

void ProviderWmMeasureItem(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }
void ProviderWmNotify(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }
void ProviderWmEnterMenuLoop(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }
void ProviderWmExitMenuLoop(TsSkinProvider& p, gui::TMessage& m) { ProviderCallOldProc(p, m); }
void* ProviderMDIIconsWindow(const TsSkinProvider&) { return nullptr; }
void ProviderFreeMDIIcons(TsSkinProvider&) {}

}  // namespace skin
