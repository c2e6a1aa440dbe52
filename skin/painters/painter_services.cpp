#include "skin/painters/painter_services.h"

#include "gui/controls.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/graph_utils.h"

namespace skin {

// The build's delivery of a command to a window (painter_services_posix.cpp, painter_services_win32.cpp).
intptr_t PaintersSendToWindow(void* window, uint16_t code, intptr_t lParam);

namespace {

intptr_t SendToControlFallback(gui::TControl& control, uint16_t code, intptr_t lParam) {
  const WPARAM w = MAKEWPARAM(0, code);
  if (auto* windowed = dynamic_cast<gui::TWinControl*>(&control); windowed && windowed->HandleAllocated())
    return Services().SendToWindow(windowed->WindowHandle(), code, lParam);
  return control.Perform(library_command::Message, w, lParam);
}

bool OwnerDestroying(const TsCommonData& data) {
  const auto* component = dynamic_cast<const gui::TComponent*>(data.OwnerObject);
  return component != nullptr && component->IsDestroying();
}

TColor BgColorFallback(TsCommonData& data, int32_t state) {
  gui::TControl* owner = data.OwnerControl;
  if (owner == nullptr) {
    return data.ControlKind == ckFormProvider ? Services().ProviderFormColor(data) : ColorToRGB(clBtnFace);
  }
  if (!SkinDataSkinned(data) || data.CustomColor) return ColorToRGB(owner->Color());
  const SkinSectionRecord& section = SkinDataManager(data)->Skin().Sections[size_t(data.SkinIndex)];
  const SkinStateBlock& block = (state > 0 && section.States > 1) ? section.HotState : section.NormalState;
  const int32_t t = block.Transparency;
  if (t < 1) return ColorToRGB(block.Color);
  const TColor parent = owner->Parent() ? ControlBackgroundColor(owner->Parent()) : ColorToRGB(clBtnFace);
  if (t >= 100) return parent;
  // The parent's share is the transparency.
  return MixColorsRatio(parent, ColorToRGB(block.Color), t / 100.0);
}

int32_t ParentSectionIndexFallback(TsCommonData&, int32_t, int32_t sectionIndex, TsSkinManager&) { return sectionIndex; }

bool SpecialSectionFallback(const TsSkinManager&, int32_t, bool& linkStyle) {
  linkStyle = false;
  return false;
}

TColor ProviderFormColorFallback(const TsCommonData&) { return ColorToRGB(clBtnFace); }

const PainterServices fallback{PaintersSendToWindow,     SendToControlFallback,  BgColorFallback,
                               ParentSectionIndexFallback, SpecialSectionFallback, ProviderFormColorFallback};

}  // namespace

PainterServices& Services() {
  static PainterServices services = fallback;
  return services;
}

const PainterServices& FallbackServices() { return fallback; }

TsSkinManager* ManagerOrDefault(TsSkinManager* manager) { return manager ? manager : DefaultManager(); }

TsSkinManager* SkinDataManager(const TsCommonData& data) { return ManagerOrDefault(data.FSkinManager); }

bool SkinDataSkinned(const TsCommonData& data) {
  const TsSkinManager* m = SkinDataManager(data);
  return m != nullptr && m->Deactivating == 0 && SkinManagerIsValidSectionIndex(m->Skin(), data.SkinIndex) &&
         !OwnerDestroying(data);
}

TColor ControlBackgroundColor(gui::TControl* control) {
  if (control == nullptr) return KeyColor;
  const intptr_t answer = Services().SendToControl(*control, library_command::GetColor, 0);
  if (answer != 0) return TColor(answer);
  return ColorToRGB(control->Color());
}

}  // namespace skin
