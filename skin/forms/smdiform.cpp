// The MDI form link: the parts that need no window.
#include "skin/forms/smdiform.h"

#include "skin/manager/sskinmenus.h"
#include "skin/forms/sskinprovider.h"

namespace skin {

TsSkinProvider*& MDIParentProvider() {
  static TsSkinProvider* provider = nullptr;
  return provider;
}

void ProviderLinkMDIForm(TsSkinProvider& p, bool create) {
  if (!create) {
    delete p.MDIForm;
    p.MDIForm = nullptr;
    if (MDIParentProvider() == &p) MDIParentProvider() = nullptr;
    return;
  }
  if (p.MDIForm != nullptr && !p.MDIForm->Connected()) {
    delete p.MDIForm;
    p.MDIForm = nullptr;
  }
  if (!MDIChildMaximizedWithMenuSource())
    MDIChildMaximizedWithMenuSource() = [] {
      const TsSkinProvider* parent = MDIParentProvider();
      return parent != nullptr && ProviderMDIChildMaximizedWithMenu(*parent);
    };
  if (p.MDIForm == nullptr) {
    MDIParentProvider() = &p;
    p.MDIForm = new TsMDIForm(&p);
    p.MDIForm->ConnectIfNeeded();
  }
}

void TsMDIForm::ConnectIfNeeded() {
  if (Provider == nullptr || Provider->Designing() || ClientAdapter != nullptr) return;
  ConnectToClient();
}

}  // namespace skin
