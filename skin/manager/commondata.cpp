#include "skin/manager/commondata.h"

#include <algorithm>
#include <cctype>

#include "gui/extctrls.h"
#include "gui/stdctrls.h"
#include "skin/manager/commondata_window.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/graph_utils.h"

namespace skin {

namespace {

// 256-bit sets of kinds, written as ranges.
struct KindRange {
  int32_t first, last;
};
template <size_t N>
bool InRanges(int32_t kind, const KindRange (&ranges)[N]) {
  for (const KindRange& r : ranges)
    if (kind >= r.first && kind <= r.last) return true;
  return false;
}

constexpr KindRange kSetA[] = {{19, 19}, {51, 74}, {110, 110}, {141, 161}};
constexpr KindRange kSetB[] = {{2, 18}, {76, 85}, {131, 140}, {231, 231}};
constexpr KindRange kSetC[] = {{51, 52}, {54, 54}, {56, 60}, {68, 68}, {73, 74}, {110, 110},
                               {141, 141}, {143, 143}, {151, 151}, {161, 161}, {226, 226}};
constexpr KindRange kSetD[] = {{2, 18}, {76, 84}, {131, 140}, {231, 231}};
constexpr KindRange kSetE[] = {{7, 8}, {10, 10}, {14, 14}, {78, 78}, {83, 83}, {85, 85}, {231, 231}};

std::string UpperCase(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

bool ManagerUsable(const TsSkinManager* m) {
  if (m == nullptr) return false;
  const auto* component = dynamic_cast<const gui::TComponent*>(m);
  return component == nullptr || !component->IsDestroying();
}

bool ManagerHasSections(const TsSkinManager* m) { return m != nullptr && !m->Skin().Sections.empty(); }

const SkinSectionRecord* SectionOf(TsCommonData& data) {
  TsSkinManager* m = data.SkinManager();
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, data.SkinIndex)) return nullptr;
  return &m->Skin().Sections[size_t(data.SkinIndex)];
}

const SkinImageRecord* ImageOf(const TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, index)) return nullptr;
  return &m->Skin().Images[size_t(index)];
}

gui::TWinControl* AsWindowed(gui::TControl* c) { return dynamic_cast<gui::TWinControl*>(c); }

// A library command with its small argument to a control: Perform without window, else to its window.
LRESULT CommandToControl(gui::TControl* c, uint16_t code, LPARAM lp, uint16_t low) {
  if (c == nullptr) return 0;
  const OwnLibraryCommand own(SkinCommandWParam(code, low), lp);
  gui::TWinControl* w = AsWindowed(c);
  if (w == nullptr) return c->Perform(WM_SKINCOMMAND, SkinCommandWParam(code, low), lp);
  if (w->IsDestroying()) return 0;
#ifdef _WIN32
  if (!w->HandleAllocated()) return 0;
  return SendMessageA(w->WindowHandle(), WM_SKINCOMMAND, SkinCommandWParam(code, low), lp);
#else
  return w->Perform(WM_SKINCOMMAND, SkinCommandWParam(code, low), lp);
#endif
}

bool ControlHasWindow(const gui::TWinControl* w) {
#ifdef _WIN32
  return w != nullptr && w->HandleAllocated();
#else
  return w != nullptr;
#endif
}

void SetFontColorAsLibrary(TsCommonData& data, TsSkinDataOwner& o, TColor c) {
  data.CtrlState |= csSettingFont;
  o.SetFontColor(c);
  data.CtrlState &= ~csSettingFont;
}

}  // namespace

// ---- Kinds.

bool KindWithoutHover(int32_t Kind) { return InRanges(Kind, kSetA); }
bool KindEditLike(int32_t Kind) { return InRanges(Kind, kSetB); }
bool KindContainer(int32_t Kind) { return InRanges(Kind, kSetC); }
bool KindSkinColoured(int32_t Kind) { return InRanges(Kind, kSetD); }
bool KindFramed(int32_t Kind) { return InRanges(Kind, kSetE); }
bool KindWithoutGlow(int32_t Kind) { return KindContainer(Kind) || (Kind >= 92 && Kind <= 94); }

uint8_t& HotLookOnEveryKind() {
  static uint8_t on = 0;
  return on;
}

std::string DefaultSectionOfKind(int32_t Kind, const TsSkinManager* Manager) {
  switch (Kind) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 10: case 12: case 14:
    case 76: case 78: case 83: case 84: case 85: case 131: case 140: case 230:
      return "EDIT";
    case 17: case 18: case 81: case 82: return "COMBOBOX";
    case 19: return "BAR";
    case 20: return "BARTITLE";
    case 32: case 33: case 50: case 152: return "CHECKBOX";
    case 34:
      return Manager != nullptr && SkinManagerGetSectionIndex(*Manager, "SLIDER_OFF") >= 0 ? "SLIDER_OFF"
                                                                                          : "PANEL_LOW";
    case 51: case 59: case 68: case 73: return "PANEL";
    case 52: case 58: return "PANEL_LOW";
    case 53: case 54: case 60: return "TOOLBAR";
    case 56: return "DRAGBAR";
    case 57: return "TABSHEET";
    case 74: case 226: return "GROUPBOX";
    case 75: return "SPLITTER";
    case 92: case 95: return "SPEEDBUTTON";
    case 93: case 94: return "BUTTON";
    case 98: return "TOOLBUTTON";
    case 141: case 143: return "PAGECONTROL";
    case 151: return "STATUSBAR";
    case 161: return "GAUGE";
    case 165: return "TRACKBAR";
    default: return {};
  }
}

bool IsGroupBoxStyle(uint32_t Style) {
  constexpr uint32_t kTypeMask = 0x0F, kGroupBox = 0x07;  // BS_TYPEMASK, BS_GROUPBOX
  return (Style & kTypeMask) == kGroupBox;
}

TColor MixWithTransparency(TColor Section, TColor Parent, int32_t Transparency) {
  const int32_t w = std::clamp(Transparency, 0, 100) * 256 / 100;
  auto mix = [w](int32_t s, int32_t p) { return ((p - s) * w + s * 256) / 256; };
  const uint32_t s = uint32_t(ColorToRGB(Section)), p = uint32_t(ColorToRGB(Parent));
  return RGBColor(uint8_t(mix(ColorRed(s), ColorRed(p))), uint8_t(mix(ColorGreen(s), ColorGreen(p))),
                  uint8_t(mix(ColorBlue(s), ColorBlue(p))));
}

// ---- The standard owner.

gui::TComponent* TsStandardOwner::component() const { return dynamic_cast<gui::TComponent*>(data_.OwnerObject); }
gui::TWinControl* TsStandardOwner::windowed() const { return AsWindowed(data_.OwnerControl); }

bool TsStandardOwner::IsProvider() { return data_.ControlKind == ckFormProvider && data_.OwnerObject != nullptr; }

gui::TCustomForm* TsStandardOwner::ProviderForm() {
  if (!IsProvider()) return nullptr;
  gui::TComponent* c = component();
  return c ? dynamic_cast<gui::TCustomForm*>(c->Owner()) : nullptr;
}

bool TsStandardOwner::ProviderExtendedBorders() {
  TacFormProvider* p = FormProvider(ProviderForm());
  return p != nullptr && p->HasBorderForm();
}

std::string TsStandardOwner::ClassName() { return data_.OwnerObject ? data_.OwnerObject->ClassName() : std::string(); }

bool TsStandardOwner::Windowed() { return windowed() != nullptr; }
bool TsStandardOwner::HasWindow() {
  if (gui::TWinControl* w = windowed()) return ControlHasWindow(w);
  return data_.WndHandle != nullptr;
}
HWND TsStandardOwner::Handle() {
  if (gui::TWinControl* w = windowed()) return w->WindowHandle();
  if (gui::TCustomForm* f = ProviderForm()) return f->WindowHandle();
  return static_cast<HWND>(data_.WndHandle);
}
bool TsStandardOwner::Destroying() {
  gui::TComponent* c = component();
  return c != nullptr && c->IsDestroying();
}
bool TsStandardOwner::Loading() {
  gui::TComponent* c = component();
  return c != nullptr && (c->ComponentState() & (gui::csLoading | gui::csReading)) != 0;
}
bool TsStandardOwner::Designing() {
  gui::TComponent* c = component();
  return c != nullptr && (c->ComponentState() & gui::csDesigning) != 0;
}
bool TsStandardOwner::Enabled() { return data_.OwnerControl == nullptr || data_.OwnerControl->Enabled(); }
bool TsStandardOwner::Visible() {
  if (data_.OwnerControl) return data_.OwnerControl->Visible();
  if (gui::TCustomForm* f = ProviderForm()) return f->Visible();
  return true;
}
bool TsStandardOwner::HasFocus() {
  gui::TWinControl* w = windowed();
  return w != nullptr && w->Focused();
}
bool TsStandardOwner::CanFocus() {
  gui::TWinControl* w = windowed();
  return w != nullptr && w->CanFocus();
}
bool TsStandardOwner::TabStop() {
  gui::TWinControl* w = windowed();
  return w != nullptr && w->TabStop();
}
bool TsStandardOwner::IsEdit() { return dynamic_cast<gui::TCustomEdit*>(data_.OwnerControl) != nullptr; }
bool TsStandardOwner::IsPanel() { return dynamic_cast<gui::TCustomPanel*>(data_.OwnerControl) != nullptr; }
TRect TsStandardOwner::Bounds() {
  if (data_.OwnerControl) return data_.OwnerControl->BoundsRect();
  if (gui::TCustomForm* f = ProviderForm()) return f->BoundsRect();
  if (data_.WndHandle) return detail::WindowBoundsInParent(static_cast<HWND>(data_.WndHandle));
  return {};
}
TRect TsStandardOwner::ClientRect() {
  if (data_.OwnerControl) return data_.OwnerControl->ClientRect();
  if (gui::TCustomForm* f = ProviderForm()) return f->ClientRect();
  if (data_.WndHandle) return detail::WindowClientRect(static_cast<HWND>(data_.WndHandle));
  return {};
}

namespace {
gui::TWinControl* ParentOf(TsStandardOwner& o, TsCommonData& d) {
  if (d.OwnerControl) return d.OwnerControl->Parent();
  if (gui::TCustomForm* f = o.ProviderForm()) return f->Parent();
  return nullptr;
}
}  // namespace

bool TsStandardOwner::HasParent() { return ParentOf(*this, data_) != nullptr; }
bool TsStandardOwner::ParentHasWindow() { return ControlHasWindow(ParentOf(*this, data_)); }
LRESULT TsStandardOwner::SendToParent(uint16_t Code, LPARAM LParam, uint16_t Low) {
  return CommandToControl(ParentOf(*this, data_), Code, LParam, Low);
}
TColor TsStandardOwner::ParentColor() {
  gui::TWinControl* p = ParentOf(*this, data_);
  return p ? ControlBgColor(p) : ColorToRGB(clBtnFace);
}
LRESULT TsStandardOwner::Perform(uint16_t Code, LPARAM LParam, uint16_t Low) {
  const WPARAM w = SkinCommandWParam(Code, Low);
  const OwnLibraryCommand own(w, LParam);
  if (data_.OwnerControl) return data_.OwnerControl->Perform(WM_SKINCOMMAND, w, LParam);
  if (gui::TCustomForm* f = ProviderForm()) {
    gui::TMessage m{WM_SKINCOMMAND, w, LParam, 0};
    return SendToForm(f, m);
  }
  if (data_.WndHandle) return detail::WindowSend(static_cast<HWND>(data_.WndHandle), WM_SKINCOMMAND, w, LParam);
  return 0;
}
bool TsStandardOwner::CanPaint() {
  if (data_.OwnerControl) return ControlCanPaint(data_.OwnerControl);
  if (gui::TCustomForm* f = ProviderForm()) return f->HandleAllocated();
  return data_.WndHandle != nullptr;
}
void TsStandardOwner::Redraw(uint32_t Flags) {
  if (data_.OwnerControl && !windowed()) {
    data_.OwnerControl->Invalidate();
    return;
  }
  detail::WindowRedraw(Handle(), Flags);
}
void TsStandardOwner::InvalidateWindow() {
  if (data_.OwnerControl && !windowed()) {
    data_.OwnerControl->Invalidate();
    return;
  }
  detail::WindowInvalidate(Handle());
}
void TsStandardOwner::PaintFrame() { detail::WindowSend(Handle(), 0x0085 /* WM_NCPAINT */, 1, 0); }
void TsStandardOwner::FrameChanged(uint32_t Flags) { detail::WindowSetPos(Handle(), Flags); }
TColor TsStandardOwner::Color() {
  if (data_.OwnerControl) return data_.OwnerControl->Color();
  if (gui::TCustomForm* f = ProviderForm()) return f->Color();
  return clBtnFace;
}
void TsStandardOwner::SetColor(TColor c) {
  if (data_.OwnerControl) data_.OwnerControl->SetColor(c);
}
TColor TsStandardOwner::FontColor() {
  return data_.OwnerControl ? data_.OwnerControl->Font().Color() : TColor(clWindowText);
}
void TsStandardOwner::SetFontColor(TColor c) {
  if (data_.OwnerControl) data_.OwnerControl->Font().SetColor(c);
}

// ---- Construction and properties.

void CommonDataInit(TsCommonData& Data, gui::TObject* AOwner, bool CreateCacheBmp) {
  Data.OwnerObject = AOwner;
  Data.OwnerControl = dynamic_cast<gui::TControl*>(AOwner);
  Data.SkinIndex = Data.TextureIndex = Data.HotTextureIndex = Data.BorderIndex = -1;
  Data.GlowID = -1;
  Data.PaintSkipped = 1;
  Data.RepaintBlocked = 1;
  Data.CtrlState = csUndecided;
  Data.BGChanged = true;
  Data.ColorTone = clNone;
  if (CreateCacheBmp) Data.CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
}

void CommonDataSetSkinManager(TsCommonData& Data, TsSkinManager* Manager) {
  if (Manager == DefaultManager()) Manager = nullptr;
  if (Manager == Data.FSkinManager) return;
  Data.FSkinManager = Manager;
  OwnerOf o(Data);
  if (o->Loading()) return;
  TsSkinManager* m = Data.SkinManager();
  if (ManagerHasSections(m))
    CommonDataUpdateIndexes(Data, true);
  else
    Data.SkinIndex = -1;
  if (o->IsProvider()) return;
  if (o->Control() == nullptr || !o->HasParent() || o->Destroying()) return;
  const bool valid = ManagerHasSections(m) && SkinManagerIsValidSectionIndex(*m, Data.SkinIndex);
  o->Perform(valid ? AC_SKINREFRESH : AC_SKINREMOVED, reinterpret_cast<LPARAM>(m));
}

void CommonDataSetSkinSection(TsCommonData& Data, std::string_view Section) {
  const std::string name = UpperCase(Section);
  if (name == Data.SkinSection) return;
  Data.SkinSection = name;
  TsSkinManager* m = Data.SkinManager();
  if (ManagerHasSections(m))
    CommonDataUpdateIndexes(Data, true);
  else
    Data.SkinIndex = -1;
  OwnerOf o(Data);
  gui::TControl* c = o->Control();
  if (c != nullptr && !o->Loading() && !o->Destroying() && o->HasParent()) {
    if (gui::TWinControl* w = AsWindowed(c)) {
      if (Data.CacheBmp) Data.CacheBmp->SetWidth(0);
      gui::TMessage msg{WM_SKINCOMMAND, SkinCommandWParam(AC_SETBGCHANGED, 1), 0, 0};
      BroadcastToChildren(w, msg);
    }
    if (Data.Updating == 0 && Data.RepaintBlocked == 0) {
      const bool valid = m != nullptr && SkinManagerIsValidSectionIndex(*m, Data.SkinIndex);
      o->Perform(valid ? AC_SKINREFRESH : AC_SKINREMOVED, reinterpret_cast<LPARAM>(m));
    }
    HideGlow(Data.GlowID, false);
  } else if (o->IsProvider()) {
    Data.BGChanged = true;
  }
}

void CommonDataSetCustomColor(TsCommonData& Data, bool Value) {
  if (uint8_t(Value) == Data.CustomColor) return;
  Data.CustomColor = Value;
  OwnerOf o(Data);
  if (o->Control() && !o->Loading() && Data.RepaintBlocked == 0) CommonDataUpdateColors(Data, true);
}

void CommonDataSetCustomFont(TsCommonData& Data, bool Value) {
  if (uint8_t(Value) == Data.CustomFont) return;
  Data.CustomFont = Value;
  OwnerOf o(Data);
  if (o->Control() && !o->Loading() && Data.RepaintBlocked == 0) CommonDataUpdateColors(Data, true);
}

void CommonDataSetColorTone(TsCommonData& Data, TColor Value) {
  if (Value == Data.ColorTone) return;
  Data.ColorTone = Value;
  CommonDataLoaded(Data);
  CommonDataRepaint(Data, false);
}

void CommonDataSetHUEOffset(TsCommonData& Data, int32_t Value) {
  if (Value == Data.HUEOffset) return;
  Data.HUEOffset = Value;
  CommonDataLoaded(Data);
  CommonDataRepaint(Data, false);
}

void CommonDataSetSaturation(TsCommonData& Data, int32_t Value) {
  if (Value == Data.Saturation) return;
  Data.Saturation = Value;
  CommonDataLoaded(Data);
  CommonDataRepaint(Data, false);
}

void ScrollDataSetScrollWidth(TacScrollData& Data, int32_t Value) {
  if (Value == Data.ScrollWidth) return;
  Data.ScrollWidth = Value;
  if (Data.Owner == nullptr) return;
  OwnerOf o(*Data.Owner);
  if (o->Windowed() && o->Control() && !o->Loading()) o->FrameChanged(0x727);
}

void ScrollDataSetButtonsSize(TacScrollData& Data, int32_t Value) {
  if (Value == Data.ButtonsSize) return;
  Data.ButtonsSize = Value;
  if (Data.Owner == nullptr) return;
  OwnerOf o(*Data.Owner);
  if (o->Windowed() && o->Control() && !o->Loading()) o->PaintFrame();
}

void OuterEffectsSetVisibility(TacOuterEffects& Effects, TacOuterVisibility Value) {
  if (Value == Effects.Visibility) return;
  Effects.Visibility = Value;
  if (Effects.Owner == nullptr) return;
  gui::TControl* c = Effects.Owner->OwnerControl;
  if (c == nullptr || c->IsLoading() || c->Parent() == nullptr) return;
  gui::TWinControl* parent = c->Parent();
  if (parent->IsLoading() || parent->IsDestroying() || !ControlHasWindow(parent)) return;
  CommandToControl(parent, AC_REPAINT, 0, 0);
}

// ---- Operations.

bool CommonDataIsSkinned(TsCommonData& Data, bool CheckApplied) {
  TsSkinManager* m = Data.SkinManager();
  if (!ManagerUsable(m) || !SkinManagerIsValidSectionIndex(*m, Data.SkinIndex)) return false;
  OwnerOf o(Data);
  if (o->Destroying()) return false;
  return !CheckApplied || m->SkinData().Active != 0;
}

void CommonDataLoaded(TsCommonData& Data) {
  Data.RepaintBlocked = 0;
  CommonDataSetDefaultSection(Data);
  if (!CommonDataIsSkinned(Data)) return;
  OwnerOf o(Data);
  gui::TControl* c = o->Control();
  if (c == nullptr || !o->HasParent() || o->Loading()) return;
  if (o->Windowed()) NotifyParentChildChanged(c);
  CommonDataUpdateColors(Data, false);
}

void CommonDataSetDefaultSection(TsCommonData& Data) {
  OwnerOf o(Data);
  if (o->Designing() && Data.SkinSection == "RADIOBUTTON") Data.SkinSection = "TRANSPARENT";
  if (!Data.SkinSection.empty()) {
    CommonDataUpdateIndexes(Data, true);
    return;
  }
  std::string name = DefaultSectionOfKind(Data.ControlKind, Data.SkinManager());
  if (name.empty()) name = o->ClassName();
  if (name.empty()) {
    CommonDataUpdateIndexes(Data, true);
    return;
  }
  CommonDataSetSkinSection(Data, name);
}

void CommonDataSetSectionFromList(TsCommonData& Data, const std::vector<std::string>& Names) {
  TsSkinManager* m = Data.SkinManager();
  if (m == nullptr) {
    Data.SkinIndex = -1;
    return;
  }
  for (const std::string& name : Names) {
    if (name.empty()) continue;
    const int32_t index = SkinManagerGetSectionIndex(*m, name);
    if (index < 0) continue;
    Data.SkinIndex = index;
    CommonDataUpdateIndexes(Data, false);
    return;
  }
}

void CommonDataUpdateIndexes(TsCommonData& Data, bool ResolveSection) {
  OwnerOf o(Data);
  if (o->Designing()) {
    auto* component = dynamic_cast<gui::TComponent*>(Data.OwnerObject);
    if (component != nullptr && GetOwnerFrame(component->Owner()) != nullptr) {
      Data.SkinIndex = Data.TextureIndex = Data.HotTextureIndex = -1;
      return;
    }
  }
  Data.BGChanged = true;
  TsSkinManager* m = Data.SkinManager();
  if (ResolveSection)
    Data.SkinIndex = (m != nullptr && m->Active()) ? SkinManagerGetSectionIndex(*m, Data.SkinSection) : -1;
  if (const SkinSectionRecord* s = SectionOf(Data)) {
    const SkinStateBlock& b = s->NormalState;
    Data.FillFlags = b.ImagePercent > 0 ? 4 : 0;
    if (b.GradientPercent != 0 && !b.GradientSteps.empty()) {
      switch (b.GradientSteps.front().Mode) {
        case 0: Data.FillFlags |= 2; break;
        case 1: Data.FillFlags |= 1; break;
        case 2: Data.FillFlags |= 3; break;
        default: break;
      }
    }
  }
  Data.CtrlState = csUndecided;
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, Data.SkinIndex)) {
    Data.BorderIndex = Data.TextureIndex = Data.HotTextureIndex = -1;
    return;
  }
  Data.BorderIndex = m->Skin().Sections[size_t(Data.SkinIndex)].BorderIndex;
  Data.TextureIndex = SkinManagerGetTextureIndex(*m, Data.SkinIndex, "PATTERN");
  Data.HotTextureIndex = SkinManagerGetTextureIndex(*m, Data.SkinIndex, "HOTPATTERN");
  CommonDataUpdateTransparency(Data, false);
}

void CommonDataBeginUpdate(TsCommonData& Data) {
  ++Data.UpdateCount;
  Data.Updating = 1;
  Data.CtrlState |= csInUpdate;
  OwnerOf o(Data);
  if (o->Control() != nullptr || o->IsProvider()) o->Perform(AC_BEGINUPDATE, 0);
}

void CommonDataEndUpdate(TsCommonData& Data, bool Repaint) {
  if (Data.UpdateCount > 0) --Data.UpdateCount;
  // Only the outermost end lifts the lock: an inner end leaves the owner locked.
  if (Data.UpdateCount >= 1) return;
  Data.Updating = 0;
  Data.CtrlState &= ~csInUpdate;
  OwnerOf o(Data);
  if (o->Control() != nullptr || o->IsProvider()) o->Perform(AC_ENDUPDATE, 0);
  if (Repaint) CommonDataRepaint(Data, true);
}

bool CommonDataUpdateLocked(TsCommonData& Data) {
  TsSkinManager* m = Data.SkinManager();
  if (m == nullptr || (m->State() & csDesigning) != 0) return false;
  if (Data.Updating == 1) return true;
  OwnerOf o(Data);
  if (o->Control() != nullptr) {
    if (o->Destroying()) return false;
    return o->HasParent() && (o->SendToParent(AC_ISUPDATELOCKED, 0) & 0xFF) != 0;
  }
  if (o->IsProvider() && o->HasParent()) return (o->SendToParent(AC_ISUPDATELOCKED, 0) & 0xFF) != 0;
  return false;
}

bool CommonDataIsUpdating(TsCommonData& Data, bool ClearFirst) {
  if (ClearFirst) Data.Updating = 0;
  if (!CommonDataUpdateLocked(Data)) return false;
  Data.Updating = 1;
  return true;
}

HWND CommonDataHandle(TsCommonData& Data) {
  if (gui::TWinControl* w = AsWindowed(Data.OwnerControl); w && w->HandleAllocated()) return w->WindowHandle();
  return static_cast<HWND>(Data.WndHandle);
}

bool CommonDataFullyTransparent(TsCommonData& Data) {
  const SkinSectionRecord* s = SectionOf(Data);
  return s != nullptr && s->NormalState.Transparency == 100 && s->HotState.Transparency == 100;
}

void CommonDataUpdateColors(TsCommonData& Data, bool Repaint) {
  OwnerOf o(Data);
  if (o->Control() == nullptr) return;
  const bool windowReady = !o->Windowed() || o->HasWindow();
  if (windowReady && CommonDataIsSkinned(Data) && KindSkinColoured(Data.ControlKind) &&
      !CommonDataFullyTransparent(Data)) {
    // The loader has already passed the section's colours through the manager's hue and saturation.
    const SkinStateBlock& b = SectionOf(Data)->NormalState;
    if (!Data.CustomColor && o->Color() != b.Color) o->SetColor(b.Color);
    if (!Data.CustomFont && Data.ControlKind != 10 && o->FontColor() != b.FontColor)
      SetFontColorAsLibrary(Data, *o, b.FontColor);
  }
  if (Repaint) CommonDataRepaint(Data, false);
}

int32_t CommonDataCalcTransparency(TsCommonData& Data) {
  TsSkinManager* m = Data.SkinManager();
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, Data.SkinIndex)) return 1;
  OwnerOf o(Data);
  if ((o->Windowed() || o->IsProvider()) && m->Effects.AllowOuterEffects) return 0;
  const SkinSectionRecord& s = m->Skin().Sections[size_t(Data.SkinIndex)];
  if (const SkinImageRecord* border = ImageOf(m, s.BorderIndex); border && (border->DrawMode & 4)) return 0;
  const SkinStateBlock& b = s.NormalState;
  if (b.Transparency != 100) {
    if (b.Transparency != 0) return 0;
    if (b.ImagePercent != 0 || b.GradientPercent != 0) return 0;
    if (o->IsProvider() && o->ProviderExtendedBorders()) return 0;
    if (s.ImgTopLeft >= 0 || s.ImgTopRight >= 0 || s.ImgBottomLeft >= 0 || s.ImgBottomRight >= 0) return 0;
    return 1;
  }
  if (const SkinImageRecord* texture = ImageOf(m, Data.TextureIndex); texture && texture->DrawMode == 10) return 0;
  if (o->Control() == nullptr || !o->HasParent()) return 0;
  if (!o->ParentHasWindow()) return 2;
  if (o->SendToParent(AC_ISSKINNED, 0) == 1) return int32_t(o->SendToParent(AC_TRANSPARENCYFLAGS, 0) & 0xFFFF);
  return 1;
}

void CommonDataUpdateTransparency(TsCommonData& Data, bool RefreshChildren) {
  Data.CtrlState &= ~csTransparent;
  OwnerOf o(Data);
  if (o->IsProvider()) {
    const int32_t r = CommonDataCalcTransparency(Data);
    if (r == 1) {
      if (o->ProviderBorderMode() != 2) Data.CtrlState |= csTransparent;
      Data.CtrlState &= ~csUndecided;
    } else if (r == 0) {
      Data.CtrlState = 0;
    }
    return;
  }
  const int32_t r = CommonDataCalcTransparency(Data);
  if (r != 2) Data.CtrlState = uint16_t((Data.CtrlState & ~(csTransparent | csUndecided)) | (r & 1));
  if (!RefreshChildren || !o->Windowed()) return;
  auto* w = AsWindowed(o->Control());
  if (w == nullptr) return;
  std::vector<gui::TControl*> children;
  for (int i = 0; i < w->ControlCount(); ++i) children.push_back(w->Controls(i));
  for (gui::TControl* child : children)
    if (w->ContainsControl(child) && !child->IsDestroying()) CommandToControl(child, AC_TRANSPARENCYFLAGS, 1, 0);
}

bool CommonDataOuterEffectsOn(TsCommonData& Data) {
  TsSkinManager* m = Data.SkinManager();
  OwnerOf o(Data);
  return m != nullptr && m->Effects.AllowOuterEffects && (o->IsProvider() || o->Windowed());
}

bool CommonDataIsFocusedLook(TsCommonData& Data) {
  OwnerOf o(Data);
  if (o->Control() == nullptr || o->Destroying() || !o->Enabled() || o->Designing()) return false;
  if (Data.Focused == 1) return true;
  if (o->HasFocus() && !o->IsPanel()) return true;
  if (Data.MouseAbove != 1) return false;
  TsSkinManager* m = Data.SkinManager();
  if (m != nullptr && m->Options.NoMouseHover) return false;
  if (KindWithoutHover(Data.ControlKind) || KindEditLike(Data.ControlKind)) return false;
  return true;
}

bool CommonDataCheckBgFlags(TsCommonData& Data) {
  if (!(Data.CtrlState & csTransparent)) return true;
  if (CommonDataOuterEffectsOn(Data)) return true;
  return !KindContainer(Data.ControlKind) && CommonDataIsFocusedLook(Data);
}

bool CommonDataUseParentCache(TsCommonData& Data) {
  if (!CommonDataIsSkinned(Data)) return true;
  OwnerOf o(Data);
  if (o->Control() == nullptr || !o->Enabled()) return true;
  if (SectionOf(Data)->NormalState.Transparency < 1) return false;
  if (!o->HasParent() || !o->ParentHasWindow()) return false;
  return o->SendToParent(AC_ISCACHEUSABLE, 0) != 0;
}

void CommonDataRefreshParentCache(TsCommonData& Data) {
  if (CommonDataIsUpdating(Data, false)) return;
  OwnerOf o(Data);
  if (!o->HasParent() || !o->ParentHasWindow()) return;
  o->SendToParent(AC_SETBGCHANGED, 0, 1);
  o->SendToParent(AC_UPDATECACHE, 0);
}

bool CommonDataIsOwnSection(const TsCommonData& Data, const char* Name) {
  return Name != nullptr && UpperCase(Name) == Data.SkinSection;
}

}  // namespace skin
