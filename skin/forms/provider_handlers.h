#pragma once
// The smaller window-message handlers of a skinned form (provider_handlers.cpp; WM_COPYDATA in the platform
// files). Each takes the provider and the message; what it does not take reaches the form's saved procedure.
#include "gui/messages.h"
#include "skin/forms/sskinprovider.h"

namespace skin {

// Whether a show (a hide) of the form runs the manager's show (hide) animation.
bool ProviderShowAnimationWanted(const TsSkinProvider& p);
bool ProviderHideAnimationWanted(const TsSkinProvider& p);

// The owner's hiding and showing of an owned window (WM_SHOWWINDOW's LParam).
inline constexpr intptr_t kSwParentClosing = 1, kSwParentOpening = 3;
void ProviderWmShowWindow(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmActivateApp(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSettingChange(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSysColorChange(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmStyleChanged(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSetIcon(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmQueryEndSession(TsSkinProvider& p, gui::TMessage& m);
void ProviderCmMenuChanged(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSkinEditor(TsSkinProvider& p, gui::TMessage& m);
// WM_COPYDATA: in the skin editor's preview mode, a whole skin block (never a shorter one) handed to the
// default manager.
void ProviderWmCopyData(TsSkinProvider& p, gui::TMessage& m);

}  // namespace skin
