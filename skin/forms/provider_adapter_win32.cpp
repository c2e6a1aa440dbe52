// The control adapter of a skinned form: made once the form is skinned, it gives each child control the
// window adapter of its class; dropped (the children told that the skin went) when the skin is removed.
#include <memory>

#include "gui/forms.h"
#include "gui/buttons.h"
#include "gui/stdctrls.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/manager/skincommands.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_wndproc.h"

namespace skin {

namespace {

// The provider as the control adapter sees it. The item events are the provider's, read when they are asked:
// a program may set them at any time.
struct ProviderHost : CtrlAdapterHost {
  explicit ProviderHost(TsSkinProvider& provider) : p(provider) {
    OnSkinItem = [this](gui::TComponent* item, bool& canBeAdded, std::string& section) {
      if (p.OnSkinItem) p.OnSkinItem(item, canBeAdded, section);
    };
    OnSkinItemEx = [this](gui::TComponent* item, bool& canBeAdded, TacSkinParams* params) {
      if (p.OnSkinItemEx) p.OnSkinItemEx(item, canBeAdded, params);
    };
  }
  gui::TWinControl* HostForm() override { return p.Form(); }
  TsSkinManager* HostManager() override { return ProviderManager(p); }
  void SetLabelColor(gui::TCustomLabel* Label) override {
    if (Label) ProviderSetLabelColor(p, *Label, true);
  }
  // A form placed inside one of the form's controls: a provider of its own (the form owns it) in the section
  // the item events chose.
  void SkinChildForm(gui::TCustomForm* Form, const std::string& Section) override {
    if (Form == nullptr || Form->IsDestroying() || FormProvider(Form) != nullptr) return;
    auto* child = new TsSkinProvider(Form);
    child->SkinData().SkinSection = Section;
    ResolveSkinDataIndexes(child->SkinData());
    ProviderPrepareForm(*child);
    if (!FormWindowExists(*Form)) return;
    HWND h = static_cast<HWND>(FormWindowHandle(*Form));
    DwmSetTransitionsDisabled(h, true, false);
    // Already on the screen in its own look: shown again in the skin.
    if (FormWindowVisible(*Form)) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  TsSkinProvider& p;
};

// The adapter and its host live and die together; the host comes first, so that it exists when the
// adapter is made with it.
class ProviderCtrlAdapter : public ProviderHost, public TacCtrlAdapter {
 public:
  explicit ProviderCtrlAdapter(TsSkinProvider& provider) : ProviderHost(provider), TacCtrlAdapter(this) {}
};

void Free(TsSkinProvider& p) {
  std::unique_ptr<ProviderCtrlAdapter> adapter(static_cast<ProviderCtrlAdapter*>(p.Adapter));
  p.Adapter = nullptr;
}

// Windows that get their adapter while they show were painted by their own procedure: they are painted again.
// Not while the form fades in: it is repainted whole, children and all, once the fade has made it opaque.
void RedrawNewItems(TsSkinProvider& p, size_t itemsBefore, size_t graphItemsBefore) {
  if (!p.Adapter || !p.Form() || !FormWindowVisible(*p.Form()) || (p.StateFlags & psShowFading)) return;
  for (size_t i = itemsBefore; i < p.Adapter->Items.size(); ++i) {
    TacAdapterItem* item = p.Adapter->Items[i].get();
    if (item && !item->Dead() && item->Control->HandleAllocated())
      RedrawWindow(item->Control->WindowHandle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  for (size_t i = graphItemsBefore; i < p.Adapter->GraphItems.size(); ++i)
    if (TacGraphItem* item = p.Adapter->GraphItems[i].get()) item->Control->Invalidate();
}

void AddAll(TsSkinProvider& p, gui::TWinControl* container) {
  if (!p.Adapter || !p.Form()) return;
  const size_t items = p.Adapter->Items.size(), graphItems = p.Adapter->GraphItems.size();
  // The new items are repainted whole below (when the form shows): not as each is attached as well.
  p.Adapter->NewItemsRepainted = FormWindowVisible(*p.Form());
  p.Adapter->AddAllItems(container);
  if (p.Adapter) p.Adapter->NewItemsRepainted = false;
  RedrawNewItems(p, items, graphItems);
}

}  // namespace

void ProviderInitAdapter(TsSkinProvider& p) {
  if (p.Designing() || p.Adapter || !ProviderSkinned(p, true)) return;
  p.Adapter = new ProviderCtrlAdapter(p);
  AddAll(p, nullptr);
}

void ProviderRescanAdapter(TsSkinProvider& p) { AddAll(p, nullptr); }

void ProviderAdapterChildAdded(TsSkinProvider& p, gui::TControl* control) {
  AddAll(p, dynamic_cast<gui::TWinControl*>(control));
}

void ProviderAdapterChildCreated(TsSkinProvider& p, intptr_t childWindow) {
  if (!p.Adapter || !p.Form()) return;
  gui::TWinControl* control = gui::TWinControl::FromHandle(reinterpret_cast<HWND>(childWindow));
  gui::TCustomForm* form = p.Form();
  bool ours = false;
  for (gui::TWinControl* c = control; c != nullptr && !ours; c = c->Parent()) ours = c == static_cast<gui::TWinControl*>(form);
  if (!ours || control == static_cast<gui::TWinControl*>(form)) {
    AddAll(p, nullptr);
    return;
  }
  const size_t items = p.Adapter->Items.size(), graphItems = p.Adapter->GraphItems.size();
  p.Adapter->NewItemsRepainted = FormWindowVisible(*form);
  p.Adapter->AddItem(control, p.Adapter->DefaultSection);
  if (p.Adapter) p.Adapter->NewItemsRepainted = false;
  RedrawNewItems(p, items, graphItems);
}

void ProviderDropAdapter(TsSkinProvider& p) {
  if (p.Designing() || p.Adapter == nullptr) return;
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREMOVED),
                  reinterpret_cast<intptr_t>(ProviderManager(p)), 0};
  ProviderBroadcast(p, m);
  Free(p);
}

void ProviderFreeAdapter(TsSkinProvider& p) { Free(p); }

void ProviderBroadcast(TsSkinProvider& p, gui::TMessage& m) {
  if (p.Designing() || p.Adapter == nullptr) return;
  p.Adapter->Broadcast(m);
}

}  // namespace skin
