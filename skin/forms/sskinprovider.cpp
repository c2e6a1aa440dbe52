#include "skin/forms/sskinprovider.h"

#include "skin/forms/acdialogs.h"
#include "skin/forms/smdiform.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/stitlebar.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/forms/provider_hide.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_menus.h"
#include "skin/forms/provider_messages.h"
#include "skin/forms/provider_scroll.h"
#include "skin/manager/win_values.h"
#include "skin/painters/painter_services.h"

namespace skin {

using namespace wv;

struct TsSkinProvider::Hook {
  TsSkinProvider* provider = nullptr;
  gui::TWndMethod old;
};

namespace {

// The preview mode of the skin editor's hand-shake: "/acpreview" as the program's first parameter.
bool g_previewMode = false;

// The provider handled by the message handlers (cleared when it goes).
TsSkinProvider* g_handledProvider = nullptr;

TColor ProviderFormColorService(const TsCommonData& data) {
  if (auto* p = dynamic_cast<const TsSkinProvider*>(data.OwnerObject)) return ProviderFormColor(*p);
  return ColorToRGB(clBtnFace);
}

// The program's first parameter, as the system of the default manager (else the operating system) gives it.
std::string CommandLineFirstParam() {
  SkinSystem& system = DefaultManager() ? DefaultManager()->System() : systemSkinSystem();
  const std::vector<std::string> params = system.CommandLineParameters();
  return params.empty() ? std::string() : params.front();
}

void InstallPainterServices() {
  static bool done = false;
  if (done) return;
  done = true;
  Services().ProviderFormColor = ProviderFormColorService;
}

}  // namespace

void ResolveSkinDataIndexes(TsCommonData& data) {
  TsSkinManager* m = SkinDataManager(data);
  if (m == nullptr) {
    data.SkinIndex = data.BorderIndex = data.TextureIndex = data.HotTextureIndex = -1;
    return;
  }
  data.SkinIndex = SkinManagerGetSectionIndex(*m, data.SkinSection);
  if (data.SkinIndex < 0) {
    data.BorderIndex = data.TextureIndex = data.HotTextureIndex = -1;
    return;
  }
  data.BorderIndex = SkinManagerGetImageIndex(*m, data.SkinIndex, "BORDERSMASK");
  data.TextureIndex = SkinManagerGetTextureIndex(*m, data.SkinIndex, "PATTERN");
  data.HotTextureIndex = SkinManagerGetTextureIndex(*m, data.SkinIndex, "HOTPATTERN");
}

namespace {

void RepaintFrameIfShowing(TsSkinProvider& p) {
  if (p.Form() && !p.IsLoading() && !p.Designing() && p.Form()->Showing() && ProviderSkinned(p)) ProviderRepaintFrame(p);
}


}  // namespace

// ---------------------------------------------------------------------------------------------------------
// User title buttons, title icon, added title.

TsTitleButton::TsTitleButton(TsTitleButtons& collection) : collection_(&collection) {
  if (name_.empty()) name_ = "TsTitleButton";
}

TsTitleButton::~TsTitleButton() { delete Data.GlowTimer; }

void TsTitleButton::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  if (TsSkinProvider* p = collection_->GetOwner()) {
    p->SkinData().BGChanged = true;
    if (p->Form() && ProviderSkinned(*p) && !p->Designing()) ProviderRepaintFrame(*p);
  }
}

void TsTitleButton::SetGlyph(const gui::TBitmap& value) {
  glyph_.Assign(value);
  delete Data.GlowTimer;
}

int TsTitleButton::Index() const { return collection_->IndexOf(this); }

void TsTitleButton::AssignTo(TsTitleButton& dest) const {
  dest.Enabled = Enabled;
  dest.SetVisible(visible_);
  dest.UseSkinData = UseSkinData;
  dest.SetGlyph(glyph_);
  dest.Hint = Hint;
  dest.SetName(name_);
  dest.OnMouseDown = OnMouseDown;
  dest.OnMouseUp = OnMouseUp;
}

TsTitleButton* TsTitleButtons::Add() {
  items_.push_back(std::make_unique<TsTitleButton>(*this));
  return items_.back().get();
}

void TsTitleButtons::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TsTitleButtons::Clear() { items_.clear(); }

int TsTitleButtons::IndexOf(const TsTitleButton* button) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == button) return int(i);
  return -1;
}

void TsTitleButtons::Assign(const TsTitleButtons& source) {
  if (&source == this) return;
  items_.clear();
  for (const auto& b : source.items_) b->AssignTo(*Add());
}

void TsTitleIcon::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  if (!owner_->IsLoading() && !owner_->Designing()) {
    owner_->SkinData().BGChanged = true;
    RepaintFrameIfShowing(*owner_);
  }
}

TacAddedTitle::TacAddedTitle(TsSkinProvider& owner) : owner_(&owner) { font_.SetColor(clNone); }

void TacAddedTitle::Changed() {
  if (owner_->IsLoading()) return;
  owner_->SkinData().BGChanged = true;
  RepaintFrameIfShowing(*owner_);
}

void TacAddedTitle::SetShowMainCaption(bool value) {
  if (value == showMainCaption_) return;
  showMainCaption_ = value;
  Changed();
}

void TacAddedTitle::SetText(const std::string& value) {
  if (value == text_) return;
  text_ = value;
  Changed();
}

void TacAddedTitle::SetFont(const gui::TFont& value) {
  font_.Assign(value);
  Changed();
}

// ---------------------------------------------------------------------------------------------------------
// The provider.

TsSkinProvider::TsSkinProvider(gui::TComponent* AOwner) : TsSkinProvider(AOwner, false) {}

TsSkinProvider* TsSkinProvider::CreateForForm(gui::TComponent* AOwner) {
  auto* p = new TsSkinProvider(AOwner, true);
  // The title bar among the form's components (the last one); one made later links itself.
  for (int i = AOwner->ComponentCount() - 1; i >= 0; --i)
    if (auto* bar = dynamic_cast<TsTitleBar*>(AOwner->Components(i))) {
      p->SetTitleBar(bar);
      break;
    }
  return p;
}

TsSkinProvider::TsSkinProvider(gui::TComponent* AOwner, bool automatic) : gui::TComponent(AOwner), GluedForms() {
  auto* form = dynamic_cast<gui::TCustomForm*>(AOwner);
  if (form == nullptr) throw gui::EAbort("TsSkinProvider component may be used with forms only!");
  InstallPainterServices();
  InstallDialogHookServices();
  g_previewMode = !Designing() && CommandLineFirstParam() == "/acpreview";
  form_ = form;
  Inactive = false;
  if (Designing()) {
    for (int i = 0; i < form->ComponentCount(); ++i) {
      gui::TComponent* c = form->Components(i);
      if (c == this) continue;
      if (dynamic_cast<TsSkinProvider*>(c) != nullptr) {
        form_ = nullptr;
        throw gui::EAbort("Only one instance of the TsSkinProvider component is allowed!");
      }
    }
    auto* other = dynamic_cast<TsSkinProvider*>(skin::FormProvider(form));
    if (other != nullptr && other != this) {
      if (other->Automatic)
        FreeProvider(other);
      else
        Inactive = true;
    }
  }
  Automatic = automatic;

  skinData_ = std::make_unique<TsScrollWndData>();
  skinData_->SkinSection = "FORM";
  skinData_->ControlKind = ckProvider;
  skinData_->OwnerObject = this;
  ResolveSkinDataIndexes(*skinData_);
  addedTitle_ = std::make_unique<TacAddedTitle>(*this);
  titleIcon_ = std::make_unique<TsTitleIcon>(*this);
  titleButtons_ = std::make_unique<TsTitleButtons>(*this);
  sysSubMenu_ = std::make_unique<TacSysSubMenu>();
  DwmOnAtCreate = DwmCompositionEnabled();

  if (!Designing() && !Inactive) {
    CaptionStrip = std::make_unique<Bitmap>();
    MenuLineBmp = std::make_unique<Bitmap>();
    MDILinkPending = true;
    MenuLineCountCache = -1;
    HookForm();
    RegisterSkinnedForm(form_);
    FormActive = true;
  }
  AfterConstruction();
}

void TsSkinProvider::AfterConstruction() {
  if (!Inactive && !Automatic && ProviderManager(*this) && ProviderSkinActive(*this) && !Designing())
    ProviderPrepareForm(*this);
}

void TsSkinProvider::HookForm() {
  hook_ = std::make_shared<Hook>();
  hook_->provider = this;
  hook_->old = Form()->WindowProc;
  OldWndProc = Form()->WindowProc;
  Form()->WindowProc = ProviderWindowProc{hook_};
}

void TsSkinProvider::UnhookForm() {
  if (!hook_) return;
  std::shared_ptr<Hook> hook = hook_;
  hook_.reset();
  hook->provider = nullptr;
  // Only while the form is whole, and only when the form's procedure is still ours: a procedure chained after
  // ours keeps ours, which now hands everything to the saved one.
  if (Form() && !Form()->IsDestroying()) {
    const ProviderWindowProc* current = Form()->WindowProc.target<ProviderWindowProc>();
    if (current != nullptr && current->hook == hook) Form()->WindowProc = hook->old;
  }
}

void ProviderWindowProc::operator()(gui::TMessage& m) const {
  TsSkinProvider* p = hook->provider;
  if (p == nullptr) {
    if (hook->old) hook->old(m);
    return;
  }
  ProviderWndProc(*p, m);
}

TsSkinProvider::~TsSkinProvider() {
  // Owned objects first freed: the border window goes with the extended borders.
  if (addedTitle_) {
    ProviderUpdateExtBorders(*this, false);
    addedTitle_.reset();
  }
  if (!Designing()) {
    ProviderStopTitleButtonTimers(*this);
    // An MDI child whose provider goes leaves its parent's menu line (its buttons, its menu) to be composed
    // anew. When the form itself goes it is no longer a form here (its own destructor has run and unlinked it
    // from its parent, which recomposes on WM_MDIDESTROY), so it is not asked.
    const bool formGoing = Owner() != nullptr && Owner()->IsDestroying();
    if (TsSkinProvider* parent = formGoing ? nullptr : ProviderMDIParentOf(*this)) {
      parent->SkinData().BGChanged = true;
      parent->MenuLineCountCache = -1;
      if (FormWindowHandle(*parent->Form())) ProviderSendToWndProc(*parent, kWmNcPaint, 0, 0);
    }
    // The scroll adapter stands in front of the provider's procedure: it lets go first.
    ProviderFreeScrollWnd(*this);
    if (Form()) {
      if (hook_) UnregisterSkinnedForm(Form());
      UnhookForm();
    }
    ProviderFreeAdapter(*this);
    if (MDIForm || MDIParentProvider() == this) ProviderLinkMDIForm(*this, false);
    SystemMenu.reset();
    CaptionStrip.reset();
    MenuLineBmp.reset();
  }
  DropThumbnailRecord(Form());
  if (DragActive || DragPending) ProviderEndBorderDrag(*this, false);
  if (MinTimer) {
    TacThreadedTimer* t = MinTimer;
    MinTimer = nullptr;
    ReleaseAnimTimer(t);
  }
  ForgetGluedForm(Form());
  ProviderFreeSnapshotCover(*this);
  ProviderFreeMDIIcons(*this);
  ProviderFreeCaptionCover(*this);
  if (g_handledProvider == this) g_handledProvider = nullptr;
  CaptionGlow[0].reset();
  CaptionGlow[1].reset();
  titleIcon_.reset();
  titleButtons_.reset();
  sysSubMenu_.reset();
  skinData_.reset();
  if (Form()) ForgetFormWindow(*Form());
}

TsSkinProvider* FormProviderOf(gui::TControl* control) {
  for (gui::TControl* c = control; c != nullptr; c = c->Parent())
    if (auto* form = dynamic_cast<gui::TCustomForm*>(c)) return dynamic_cast<TsSkinProvider*>(FormProvider(form));
  return nullptr;
}

void FreeProvider(TsSkinProvider* p) {
  if (p == nullptr) return;
  gui::Free(p);
}

void TsSkinProvider::Loaded() {
  gui::TComponent::Loaded();
  // An automatic provider is completed here by the window-creation hook, once it points at its form.
  if (!Inactive && ProviderManager(*this) && !Designing() && ProviderSkinned(*this, true))
    ProviderApplySkin(*this);
}

void TsSkinProvider::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  gui::TComponent::Notification(AComponent, Operation);
  if (AComponent == nullptr) return;
  // The skin data's own manager is forgotten when it goes. (A component being inserted or removed is only a
  // component here, its manager part not yet made or already gone: the manager is known by the component that
  // the provider noted while preparing the form.)
  if (Operation == gui::TOperation::opRemove && skinData_ && AComponent == OwnManagerComponent) {
    skinData_->FSkinManager = nullptr;
    OwnManagerComponent = nullptr;
  }
  // The title bar that goes is forgotten.
  if (Operation == gui::TOperation::opRemove && titleBar_ &&
      static_cast<const void*>(AComponent) == static_cast<const void*>(static_cast<gui::TComponent*>(titleBar_)))
    titleBar_ = nullptr;
  if (Operation == gui::TOperation::opRemove) {
    // A label freed while it wears the skin's colour leaves no entry behind.
    for (size_t i = 0; i < LabelColors.size(); ++i)
      if (static_cast<const void*>(LabelColors[i].Label) == static_cast<const void*>(AComponent)) {
        LabelColors[i] = LabelColors.back();
        LabelColors.pop_back();
        break;
      }
  }
}

void TsSkinProvider::SetAllowExtBorders(bool value) {
  if (value == allowExtBorders_) return;
  allowExtBorders_ = value;
  if (IsLoading() || Designing()) return;
  ProviderUpdateExtBorders(*this, true);
  SkinData().BGChanged = true;
  if (Form()) RedrawFormWindow(*Form(), 0x401);
}

void TsSkinProvider::SetDrawNonClientArea(bool value) {
  if (value == drawNonClientArea_) return;
  drawNonClientArea_ = value;
  if (Designing() || !Form()) return;
  if (value) {
    ProviderUpdateSysMenuStyle(*this, true);
    MenuSkinned = MenuOwnerDrawn;
    if (FormWindowVisible(*Form()) && ProviderSkinned(*this)) {
      SkinData().BGChanged = true;
      ProviderSkinMainMenu(*this);
      if (TsSkinManager* m = ProviderManager(*this)) ProviderUpdateExtBorders(*this, m->ExtendedBorders());
      RedrawFormWindow(*Form(), 0x501);
      ProviderAttachScrollWnd(*this);
    }
  } else {
    BorderForm.reset();
    // The menu bar is the system's again.
    ProviderUnskinMainMenu(*this);
    ProviderFreeScrollWnd(*this);
    ResetWindowTheme(*Form());
    if (Form()->BorderIcons() & gui::biSystemMenu)
      SetFormWindowStyle(*Form(), FormWindowStyle(*Form()) | kWsSysMenu);
    if (FormWindowVisible(*Form())) RemoveFormRegion(*Form());
  }
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (value == showAppIcon_) return;
  showAppIcon_ = value;
  SkinData().BGChanged = true;
  if (Form() && FormWindowExists(*Form()) && FormWindowHandle(*Form())) SendFormMessage(*Form(), kWmNcPaint, 0, 0);
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
  if (value == useGlobalColor_) return;
  useGlobalColor_ = value;
  if (value && Form() && ProviderSkinned(*this) && !SkinData().CustomColor)
    if (TsSkinManager* m = ProviderManager(*this)) Form()->SetColor(SkinManagerGlobalColor(*m));
}

void TsSkinProvider::SetCaptionAlignment(gui::TAlignment value) {
  if (value == captionAlignment_) return;
  captionAlignment_ = value;
  SkinData().BGChanged = true;
  if (Form() && Form()->Showing() && !Designing() && ProviderSkinned(*this)) ProviderRepaintFrame(*this);
}

void TsSkinProvider::SetTitleBar(TsTitleBar* value) {
  titleBar_ = value;
  if (Form() && !IsLoading() && ProviderSkinned(*this)) ProviderRepaintFrame(*this);
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
  if (value == titleSkin_) return;
  titleSkin_ = value;
  TitleSectionIndex = -1;
  SkinData().BGChanged = true;
  if (Form() && Form()->Showing()) {
    if (BorderForm)
      BorderFormUpdate(*BorderForm, true, 255);
    else if (FormWindowHandle(*Form()))
      SendFormMessage(*Form(), kWmNcPaint, 0, 0);
  }
}

void TsSkinProvider::SetMenuLineSkin(const std::string& value) {
  if (value == menuLineSkin_) return;
  menuLineSkin_ = value;
  if (Designing()) SkinData().BGChanged = true;
}

// ---------------------------------------------------------------------------------------------------------
// What the skin manager asks of the provider.

TsSkinManager* TsSkinProvider::SkinManager() const { return ProviderManager(*this); }

bool TsSkinProvider::Skinned() const { return ProviderSkinned(*this); }

bool TsSkinProvider::BorderFormHasImage() const {
  return BorderForm != nullptr && SkinData().CacheBmp && !SkinData().CacheBmp->Empty();
}

bool TsSkinProvider::BorderClientHole(TRect& Hole) { return BorderForm && BorderForm->Owner->ClientHole(Hole); }

void TsSkinProvider::TakeBorderSnapshot() {
  if (BorderForm) BorderSnapshot = ProviderFormSnapshot(*this, false);
}

void TsSkinProvider::ShowBorderSnapshot() {
  if (BorderForm && BorderSnapshot && SkinData().CacheBmp) {
    // The kept picture stands in for the frame until the new skin is painted.
    SkinData().CacheBmp->Assign(*BorderSnapshot);
    SkinData().BGChanged = false;
    BorderFormUpdate(*BorderForm, false, 255);
    SkinData().BGChanged = true;
  }
}

void TsSkinProvider::UpdateBorderForm(uint8_t Alpha) {
  if (BorderForm) BorderFormUpdate(*BorderForm, true, Alpha);
}

void TsSkinProvider::ShowBorderFrame(uint8_t Alpha) {
  const bool current = !SkinData().BGChanged && FrameCacheBitmap() != nullptr && !FirstPaintPending &&
                       !ProviderCacheSizeChanged(*this);
  if (BorderForm) BorderFormUpdate(*BorderForm, !current, Alpha);
}

void TsSkinProvider::SetBorderFormRegion() {
#ifdef _WIN32
  if (BorderForm) BorderFormSetRegion(*BorderForm);
#endif
}

int32_t TsSkinProvider::SkinTitleHeight(bool Maximized) const { return ProviderSkinTitleHeight(*this, Maximized); }

void TsSkinProvider::UpdateRegion(bool Repaint) {
  if (!BorderForm) ProviderCollectRegionRects(*this);
  ProviderUpdateRegion(*this, Repaint);
}

void TsSkinProvider::DropFrameCache() {
  if (SkinData().CacheBmp) SkinData().CacheBmp->SetSize(0, 0);
  SkinData().BGChanged = true;
  BorderSnapshot.reset();
}

// ---------------------------------------------------------------------------------------------------------

TsSkinManager* ProviderManager(const TsSkinProvider& p) { return SkinDataManager(p.SkinData()); }

bool ProviderSkinActive(const TsSkinProvider& p) {
  const TsSkinManager* m = ProviderManager(p);
  return m != nullptr && m->Active() && m->SkinData().Active != 0;
}

bool ProviderSkinned(const TsSkinProvider& p, bool check) {
  if (!SkinDataSkinned(p.SkinData())) return false;
  if (p.Form() && p.Form()->IsDestroying()) return false;
  return !check || ProviderManager(p)->SkinData().Enabled != 0;
}

void ProviderPrepareForm(TsSkinProvider& p) {
  p.OwnManagerComponent = dynamic_cast<TsSkinManagerComponent*>(p.SkinData().FSkinManager);
  // An automatic provider is prepared as well: its form has no other way to wear the skin.
  if (p.Inactive || !p.Form()) return;
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !FormWindowExists(*p.Form()) || !ProviderSkinActive(p)) return;
  // A main menu that the application draws itself (owner-drawn, but not by the menu painter) is left to it.
  gui::TMainMenu* menu = p.Form()->Menu();
  p.MenuOwnerDrawn = menu != nullptr && menu->OwnerDraw() && !MenuBarFromPainter(*menu);
  if (p.MenuOwnerDrawn) p.MenuSkinned = true;
  p.TitleSectionIndex = -1;
  ResolveSkinDataIndexes(p.SkinData());
  p.SkinData().WndHandle = FormWindowHandle(*p.Form());
  if (!p.SystemMenu) p.SystemMenu = std::make_unique<TsSystemMenu>(p);
  ProviderUpdateSysMenuStyle(p, true);
  if (p.MDILinkPending && ProviderSkinActive(p)) {
    p.MDILinkPending = false;
    if (p.Form()->FormStyle() == gui::TFormStyle::fsMDIForm && !p.Designing()) ProviderLinkMDIForm(p, true);
  }
  if (p.MDIForm) p.MDIForm->ConnectIfNeeded();
  p.SkinData().BGChanged = true;
  ProviderLayoutTitle(p);
  p.CaptionSectionIndex = SkinManagerGetSectionIndex(*m, "CAPTION");
  ProviderUpdateTitleButtons(p);
  // An MDI child's parent shows it in its menu line.
  if (TsSkinProvider* parent = ProviderMDIParentOf(p); parent && ProviderSkinned(p)) {
    parent->SkinData().BGChanged = true;
    parent->MenuLineCountCache = -1;
  }
  if (!(p.Form()->ControlState() & gui::csCreating) && !p.Form()->IsLoading() && !p.IsLoading() && p.UseGlobalColor() &&
      !p.SkinData().CustomColor)
    p.Form()->SetColor(SkinManagerGlobalColor(*m));
  if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
  if (!p.Form()->IsLoading() && FormWindowVisible(*p.Form())) ProviderUpdateExtBorders(p, m->ExtendedBorders());
}

void ProviderApplySkin(TsSkinProvider& p) {
  if (!p.Form()) return;
  if (FormWindowExists(*p.Form())) DwmSetTransitionsDisabled(FormWindowHandle(*p.Form()), p.DrawNonClientArea(), false);
  ProviderPrepareForm(p);
  if (!p.Adapter) ProviderInitAdapter(p);
  if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
  TsSkinManager* m = ProviderManager(p);
  int32_t titleButton = -1;
  if (m && SkinManagerIsValidSectionIndex(*m, m->Skin().CommonIndexes.GlobalInfo))
    titleButton = SkinManagerGetImageIndex(*m, m->Skin().CommonIndexes.GlobalInfo, "TITLEBUTTON");
  for (int i = 0; i < p.TitleButtons().Count(); ++i) {
    TsTitleButton* b = p.TitleButtons().Items(i);
    b->Data.ImageIndex = b->UseSkinData ? titleButton : -1;
  }
  if (p.Form()->BorderStyle() == gui::TFormBorderStyle::bsSizeToolWin) {
    p.AllowBlendOnMoving = false;
    p.SetUseGlobalColor(true);
  }
}

void ProviderUpdateSysMenuStyle(TsSkinProvider& p, bool apply) {
  if (!p.Form() || !FormWindowExists(*p.Form())) return;
  const uint32_t style = FormWindowStyle(*p.Form());
  if (apply) {
    if (!p.DrawNonClientArea())
      SetFormWindowStyle(*p.Form(), style | kWsSysMenu);
    else if (style & kWsSysMenu)
      SetFormWindowStyle(*p.Form(), style & ~kWsSysMenu);
  } else if (p.Form()->BorderIcons() & gui::biSystemMenu) {
    SetFormWindowStyle(*p.Form(), style | kWsSysMenu);
    const intptr_t icon = SendFormMessage(*p.Form(), kWmGetIcon, 0, 0);
    SendFormMessage(*p.Form(), kWmSetIcon, 0, icon);
  }
}

void ProviderUpdateTitleButtons(TsSkinProvider& p) {
  const gui::TFormBorderStyle bs = p.Form() ? p.Form()->BorderStyle() : gui::TFormBorderStyle::bsNone;
  p.NormalCaption = bs == gui::TFormBorderStyle::bsSingle || bs == gui::TFormBorderStyle::bsSizeable;
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, m->Skin().CommonIndexes.GlobalInfo)) return;
  const SkinCommonIndexes& ci = m->Skin().CommonIndexes;
  p.ButtonMin.HitCode = kHtMinButton;
  p.ButtonMax.HitCode = kHtMaxButton;
  p.ButtonClose.HitCode = kHtClose;
  p.ButtonHelp.HitCode = kHtHelp;
  auto normal = [&] {
    const bool maxVisible = p.SystemMenu && p.SystemMenu->MaximizeVisible();
    const bool minVisible = p.SystemMenu && p.SystemMenu->MinimizeVisible();
    p.ButtonClose.ImageIndex = (!maxVisible && !minVisible && SkinManagerIsValidImageIndex(*m, ci.BICloseAlone))
                                   ? ci.BICloseAlone
                                   : ci.BIConClose;
    p.ButtonMax.ImageIndex = ci.BIConMax;
    p.ButtonMin.ImageIndex = ci.BIConMin;
    p.ButtonHelp.ImageIndex = ci.BIConHelp;
    for (TitleButtonRecord* r : {&p.ButtonClose, &p.ButtonMax, &p.ButtonMin, &p.ButtonHelp}) r->LargeImage = true;
  };
  if (p.NormalCaption) {
    normal();
  } else {
    p.ButtonClose.ImageIndex = ci.SIConClose;
    p.ButtonMax.ImageIndex = ci.SIConMax;
    p.ButtonMin.ImageIndex = ci.SIConMin;
    p.ButtonHelp.ImageIndex = SkinManagerIsValidImageIndex(*m, ci.SIConHelp) ? ci.SIConHelp : ci.BIConHelp;
    for (TitleButtonRecord* r : {&p.ButtonClose, &p.ButtonMax, &p.ButtonMin, &p.ButtonHelp}) r->LargeImage = false;
  }
  // No close image at all: every record takes the normal images.
  if (!SkinManagerIsValidImageIndex(*m, p.ButtonClose.ImageIndex)) normal();
  // The buttons of an MDI parent's maximized child: the small images, else the normal ones.
  if (p.Form() && p.Form()->FormStyle() == gui::TFormStyle::fsMDIForm && !p.Designing()) {
    const bool small = SkinManagerIsValidImageIndex(*m, ci.SIConClose);
    p.ButtonMDIClose.ImageIndex = small ? ci.SIConClose : ci.BIConClose;
    p.ButtonMDIMax.ImageIndex = small ? ci.SIConNorm : ci.BIConNorm;
    p.ButtonMDIMin.ImageIndex = small ? ci.SIConMin : ci.BIConMin;
    for (TitleButtonRecord* r : {&p.ButtonMDIClose, &p.ButtonMDIMax, &p.ButtonMDIMin}) r->LargeImage = !small;
  }
  p.UserBtnIndex = SkinManagerGetImageIndex(*m, ci.GlobalInfo, "TITLEBUTTON");
}

void ProviderStopTitleButtonTimers(TsSkinProvider& p) {
  for (TitleButtonRecord* r : {&p.ButtonMin, &p.ButtonMax, &p.ButtonHelp, &p.ButtonClose}) {
    delete r->GlowTimer;
    r->GlowTimer = nullptr;
  }
  for (int i = 0; i < p.TitleButtons().Count(); ++i) {
    TitleButtonRecord& r = p.TitleButtons().Items(i)->Data;
    delete r.GlowTimer;
    r.GlowTimer = nullptr;
  }
  ProviderStopTitleItemTimers(p);
}

// A border window draws the skin's caption above the form's own: a skin whose caption stands taller than the
// room above the form would put it, its buttons and the place to grab it above the screen. The form comes down
// as far as needed for its caption to start at the top of the work area. Brought down so, it goes back up when
// a later skin (or none) needs less, unless the operator moved it meanwhile: then where it stands is its place.
void ProviderKeepCaptionOnScreen([[maybe_unused]] TsSkinProvider& p) {
#ifdef _WIN32
  if (!p.Form() || FormWindowZoomed(*p.Form()) || FormWindowIconic(*p.Form())) return;
  gui::TCustomForm& f = *p.Form();
  TsSkinProvider::CaptionKept& kept = p.KeptCaption;
  if (kept.Made && (f.Left() != kept.Left || f.Top() != kept.Top)) kept.Made = false;
  const int32_t original = kept.Made ? kept.OriginalTop : f.Top();
  int32_t top = original;
  if (p.BorderForm) {
    const int32_t captionTop = BorderFormScreenRect(*p.BorderForm).Top + SkinExtBorderMargins(*p.BorderForm).Top;
    top += std::max(0, BorderFormWorkAreaTop(*p.BorderForm) - (captionTop + original - f.Top()));
  }
  if (top != f.Top()) f.SetBounds(f.Left(), top, f.Width(), f.Height());
  kept = TsSkinProvider::CaptionKept{top != original, f.Left(), f.Top(), original};
#endif
}

void ProviderUpdateExtBorders(TsSkinProvider& p, bool on) {
  if (on && p.Form() && ProviderFormHasBorder(p) && p.DrawNonClientArea() && p.AllowExtBorders() &&
      p.Form()->Parent() == nullptr && p.Form()->FormStyle() != gui::TFormStyle::fsMDIChild &&
      ProviderUseExtBorders(p)) {
    if (!p.BorderForm) {
      // Its first border window (at start-up too) comes with the caption on the screen.
      p.BorderForm = std::make_unique<TacBorderForm>(p);
      ProviderKeepCaptionOnScreen(p);
      if (!p.BorderForm) return;
      // The form's window keeps its client area only from now on: with the region of its whole frame, made while
      // it had no border window (shown again after a hide), it lies over the border window's caption and takes
      // its presses (its close box then starts a caption move instead).
      ProviderUpdateRegion(p, false);
    }
    p.SkinData().BGChanged = true;
    BorderFormUpdate(*p.BorderForm, true, 255);
    return;
  }
  p.BorderForm.reset();
}

TColor ProviderFormColor(const TsSkinProvider& p) {
  if (ProviderSkinned(p) && !p.SkinData().CustomColor) {
    const TsSkinManager* m = ProviderManager(p);
    const SkinSectionRecord& s = m->Skin().Sections[size_t(p.SkinData().SkinIndex)];
    return ColorToRGB(SectionStateBlock(s, p.FormActive ? 1 : 0).Color);
  }
  return p.Form() ? ColorToRGB(p.Form()->Color()) : ColorToRGB(clBtnFace);
}

int32_t ProviderTitleSectionIndex(TsSkinProvider& p) {
  if (p.TitleSectionIndex < 0) {
    if (TsSkinManager* m = ProviderManager(p))
      p.TitleSectionIndex = SkinManagerGetSectionIndex(*m, p.TitleSkin().empty() ? "FORMTITLE" : p.TitleSkin());
  }
  return p.TitleSectionIndex;
}

TsSkinProvider*& HandledProvider() { return g_handledProvider; }
bool PreviewMode() { return g_previewMode; }
void ClearPreviewMode() { g_previewMode = false; }

}  // namespace skin
