// Without windows there is nothing for a control adapter to subclass: the form's children keep their look.
#include "skin/forms/provider_wndproc.h"

namespace skin {

void ProviderInitAdapter(TsSkinProvider&) {}
void ProviderRescanAdapter(TsSkinProvider&) {}
void ProviderDropAdapter(TsSkinProvider&) {}
void ProviderAdapterChildAdded(TsSkinProvider&, gui::TControl*) {}
void ProviderAdapterChildCreated(TsSkinProvider&, intptr_t) {}
void ProviderFreeAdapter(TsSkinProvider&) {}
void ProviderBroadcast(TsSkinProvider&, gui::TMessage&) {}

}  // namespace skin
