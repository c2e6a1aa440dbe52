// The MDI form link without windows: there is no client window to adapt.
#include "skin/forms/smdiform.h"

#include "skin/forms/sskinprovider.h"

namespace skin {

struct TsMDIForm::Host {};

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider) : Provider(AProvider) {
  if (Provider != nullptr) Form = Provider->Form();
}

TsMDIForm::~TsMDIForm() { DisconnectFromClient(); }

void TsMDIForm::ConnectToClient() {}
void TsMDIForm::DisconnectFromClient() { ClientAdapter = nullptr; }

void TsMDIForm::RepaintFrame() {
  if (Provider != nullptr) Provider->SkinData().BGChanged = true;
}

bool ProviderMDIChildCommand(TsSkinProvider& p, int32_t code) {
  (void)p;
  (void)code;
  return false;
}

void ProviderPaintMDIArea(TsSkinProvider&, Bitmap&, const TPoint&) {}

bool ProviderMDIChildMaximizedWithMenu(const TsSkinProvider&) { return false; }

}  // namespace skin
