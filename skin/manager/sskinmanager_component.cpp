#include "skin/manager/sskinmanager_component.h"

#include <algorithm>
#include <cstring>

#include "gui/forms.h"
#include "gui/typinfo.h"
#include "skin/data/scommondata.h"
#include "skin/manager/skinsyscolors.h"
#include "skin/painters/layered_alpha.h"
#include "skin/manager/skindata_services.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"
#include "skin/manager/win_values.h"

#ifdef _WIN32
#include "skin/pixels/acpng.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#endif

namespace skin {

namespace {

std::string Field(const uint8_t* data, size_t offset, size_t size, bool& terminated) {
  const uint8_t* begin = data + offset;
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(begin, 0, size));
  terminated = end != nullptr;
  return terminated ? std::string(reinterpret_cast<const char*>(begin), size_t(end - begin)) : std::string();
}

// The description field: single-byte text up to its NUL, or, when it starts with a UTF-16 byte-order mark (as an
// editor that saves "Unicode" sends it), UTF-16 text up to its first zero character, read as a description file of
// that text is read (DescriptionText).
std::string DescriptionField(const uint8_t* data, size_t offset, size_t size, bool& terminated) {
  const uint8_t* begin = data + offset;
  const bool utf16 = size >= 2 && ((begin[0] == 0xFF && begin[1] == 0xFE) || (begin[0] == 0xFE && begin[1] == 0xFF));
  if (!utf16) return Field(data, offset, size, terminated);
  terminated = false;
  size_t end = 2;
  while (end + 1 < size && !(begin[end] == 0 && begin[end + 1] == 0)) end += 2;
  terminated = end + 1 < size;
  return terminated ? DescriptionText(std::string_view(reinterpret_cast<const char*>(begin), end)) : std::string();
}

#ifdef _WIN32
// The extended-border shadows of skins without an EXBORDER image, from the program's PNG resources "acSHDA"
// and "acSHDI" (none when the program has no such resources).
void LoadStandardShadows() {
  auto load = [](const char* name) -> std::shared_ptr<const Bitmap> {
    HRSRC r = FindResourceA(nullptr, name, reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!r) return nullptr;
    HGLOBAL g = LoadResource(nullptr, r);
    const void* data = g ? LockResource(g) : nullptr;
    const DWORD size = SizeofResource(nullptr, r);
    if (!data || size == 0) return nullptr;
    auto bmp = std::make_shared<Bitmap>();
    try {
      LoadPngMemory(*bmp, data, size);
      bmp->SetPixelFormat(pf32bit);
      ClearWhiteTransparent(*bmp);
    } catch (...) {
      return nullptr;
    }
    return bmp;
  };
  auto active = load("acSHDA");
  auto inactive = load("acSHDI");
  if (active && inactive) SetStandardBorderShadows(active, inactive);
}

LRESULT CALLBACK ManagerCBTHook(int code, WPARAM w, LPARAM l) {
  try {
    const auto& proc = ManagerServices().CBTHookProc;
    LRESULT result = 0;
    if (code >= 0 && proc && proc(code, w, l, result)) return result;
  } catch (...) {
    // Never across the system's call: the event goes on as if nobody had looked at it.
  }
  return CallNextHookEx(nullptr, code, w, l);
}
#endif

// Once per process, with the first manager: the standard shadows, and the library's version on "/acver".
// What a form definition, and the program, set on the manager by name: Active and SkinName.
void PublishProperties() {
  gui::TPropInfo active;
  active.Name = "Active";
  active.Kind = gui::TTypeKind::tkEnumeration;
  active.Names = {"False", "True"};
  active.GetOrd = [](const gui::TObject& o) -> int64_t {
    return dynamic_cast<const TsSkinManagerComponent&>(o).Active() ? 1 : 0;
  };
  active.SetOrd = [](gui::TObject& o, int64_t v) { dynamic_cast<TsSkinManagerComponent&>(o).SetActive(v != 0); };
  gui::RegisterPublishedProperty<TsSkinManagerComponent>(std::move(active));
  gui::TPropInfo name;
  name.Name = "SkinName";
  name.Kind = gui::TTypeKind::tkString;
  name.GetStr = [](const gui::TObject& o) { return dynamic_cast<const TsSkinManagerComponent&>(o).SkinName(); };
  name.SetStr = [](gui::TObject& o, const std::string& v) {
    dynamic_cast<TsSkinManagerComponent&>(o).SetSkinName(v);
  };
  gui::RegisterPublishedProperty<TsSkinManagerComponent>(std::move(name));
  // The events before and after every change of skin, whoever asked for it (the program, a skin editor's block):
  // the program's window follows the skin in force through them.
  auto event = [](const char* name, TsSkinManager::TNotifyEvent TsSkinManager::*slot) {
    gui::TPropInfo e;
    e.Name = name;
    e.Kind = gui::TTypeKind::tkMethod;
    e.SetMethod = [slot](gui::TObject& o, gui::TNotifyEvent handler) {
      auto& m = dynamic_cast<TsSkinManagerComponent&>(o);
      if (!handler) {
        m.*slot = nullptr;
        return;
      }
      m.*slot = [&m, handler = std::move(handler)](TsSkinManager&) { handler(&m); };
    };
    gui::RegisterPublishedProperty<TsSkinManagerComponent>(std::move(e));
  };
  event("OnBeforeChange", &TsSkinManager::OnBeforeChange);
  event("OnAfterChange", &TsSkinManager::OnAfterChange);
}

void InitialiseOnce(SkinSystem& System) {
  static bool done = false;
  if (done) return;
  done = true;
  PublishProperties();
#ifdef _WIN32
  LoadStandardShadows();
#endif
  for (std::string p : System.CommandLineParameters()) {
    for (char& c : p) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (p == "/acver") System.ShowMessageBox(TSkinMessageKind::Information, "Skin library v" + std::string(SkinLibraryVersion));
  }
}

// Restores a value when the scope ends (by an exception too).
template <class T>
class Restore {
 public:
  Restore(T& place, T value) : place_(place), value_(value) {}
  ~Restore() { place_ = value_; }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  T& place_;
  T value_;
};

}  // namespace

std::optional<SkinPreviewBlock> ParseSkinPreviewData(const void* Data, size_t Size) {
  if (!Data || Size < SkinPreviewDataSize) return std::nullopt;
  const auto* d = static_cast<const uint8_t*>(Data);
  const uint32_t magic = uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 24;
  if (magic != SkinPreviewMagic) return std::nullopt;
  SkinPreviewBlock b;
  bool name = false, directory = false, options = false;
  b.Name = Field(d, SkinPreviewNameOffset, SkinPreviewNameSize, name);
  b.Directory = Field(d, SkinPreviewDirectoryOffset, SkinPreviewDirectorySize, directory);
  b.Options = DescriptionField(d, SkinPreviewOptionsOffset, SkinPreviewOptionsSize, options);
  if (!name || !directory || !options) return std::nullopt;
  return b;
}

// ---- Life cycle.

TsSkinManagerComponent::TsSkinManagerComponent(gui::TComponent* AOwner, SkinSystem& System)
    : gui::TComponent(AOwner), TsSkinManager(System) {
  InitialiseOnce(System);
  InstallSkinDataServices();
  SkinableMenus = std::make_unique<TsSkinableMenus>(*this);
  const bool nt = System.Version().PlatformId == 2;
  if (IsDefault() && nt && !Designing())
    appHookId_ = gui::Application->HookMainWindow([this](gui::TMessage& m) { return AppHook(m); });
}

TsSkinManagerComponent::~TsSkinManagerComponent() {
  // Nothing is told any more: the handlers' owners may be gone already.
  OnActivate = OnAfterChange = OnBeforeChange = OnDeactivate = OnSkinListChanged = OnSkinLoading = nullptr;
  OnSysDlgInit = nullptr;
  try {
    SetActive(false);
  } catch (...) {
    // A receiver that failed while the skin was removed: the manager goes all the same.
  }
  RemoveHooks();
  if (appHookId_) gui::Application->UnhookMainWindow(appHookId_);
  appHookId_ = 0;
  Unwatch(hotControl_);
  Unwatch(trackedControl_);
  hotControl_ = trackedControl_ = nullptr;
  SkinableMenus.reset();
}

uintptr_t TsSkinManagerComponent::MessageBoxOwner() const {
  for (const gui::TCustomForm* f : {dynamic_cast<gui::TCustomForm*>(Owner()), gui::Application->MainForm()})
    if (f != nullptr && f->HandleAllocated()) return reinterpret_cast<uintptr_t>(f->WindowHandle());
  return 0;
}

void TsSkinManagerComponent::BeginLoading() {
  gui::TComponent::BeginLoading();
  TsSkinManager::BeginLoading();
}

void TsSkinManagerComponent::Loaded() {
  gui::TComponent::Loaded();
  TsSkinManager::Loaded();
}

TComponentState TsSkinManagerComponent::State() const {
  TComponentState s = TsSkinManager::ComponentState;
  const gui::TComponentState g = gui::TComponent::ComponentState();
  if (g & gui::csLoading) s |= skin::csLoading;
  if (g & gui::csReading) s |= skin::csReading;
  if (g & gui::csDesigning) s |= skin::csDesigning;
  return s;
}

void TsSkinManagerComponent::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  gui::TComponent::Notification(AComponent, Operation);
  if (Operation != gui::TOperation::opRemove || !AComponent) return;
  // The hot and the tracked control are forgotten when they go.
  if (AComponent == hotControl_) hotControl_ = nullptr;
  if (AComponent == trackedControl_) trackedControl_ = nullptr;
}

// ---- Setters that act.

void TsSkinManagerComponent::SetSkinnedPopups(bool Value) {
  if (Value == SkinnedPopups) return;
  SkinnedPopups = Value;
  if (!Designing() && IsDefault() && ManagerServices().UpdateMenuHooks) ManagerServices().UpdateMenuHooks(*this, Value);
}

void TsSkinManagerComponent::SetAllowOuterEffects(bool Value) {
  if (Value == Effects.AllowOuterEffects) return;
  Effects.AllowOuterEffects = Value;
  if (!(State() & csLoading) && PreviewLock == 0) RepaintForms(false);
}

void TsSkinManagerComponent::SetDiscoloredGlyphs(bool Value) {
  if (Value == Effects.DiscoloredGlyphs) return;
  Effects.DiscoloredGlyphs = Value;
  if (!(State() & csLoading) && PreviewLock == 0) RepaintForms(true);
}

void TsSkinManagerComponent::SetButtonsSize(int32_t Value) {
  if (Value == ScrollsOptions.ButtonsSize) return;
  ScrollsOptions.ButtonsSize = Value;
  if (!(State() & csLoading)) RepaintForms(false);
}

void TsSkinManagerComponent::SetScrollSize(int32_t Value) {
  if (Value == ScrollsOptions.ScrollSize) return;
  ScrollsOptions.ScrollSize = Value;
  if (!(State() & csLoading)) Broadcast(AC_SCROLLSIZECHANGED);
}

void TsSkinManagerComponent::SetOptionFlag(int Index, bool Value) {
  SetSkinOptionFlag(Options, Index, Value);
  if (Index != ofChangeSysColors || !IsDefault() || Designing()) return;
  // The skin's colours stand only while a skin is applied: without one the system's come back.
  if (Value && HooksInstalled)
    InstallSkinSysColors();
  else if (!Value)
    RemoveSkinSysColors();
}

// ---- The hooks of a skin change.

void TsSkinManagerComponent::Broadcast(uint16_t Command) {
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(Command), ManagerParam(), 0};
  const OwnLibraryCommand own(m.WParam, m.LParam);
  BroadcastToAllForms(m);
}

void TsSkinManagerComponent::SkinChangeBeforeAll() { skin::SkinChangeBeforeAll(*this); }

void TsSkinManagerComponent::BeforeApplySkin(bool Animate) {
  const TacManagerServices& s = ManagerServices();
  if (IsDefault() && s.ClearGlows) s.ClearGlows(false);
  if (!Designing() && Animate) SkinChangeLockAll(*this);
  if (s.ResetMenuBorderWidth) s.ResetMenuBorderWidth(*this);
}

void TsSkinManagerComponent::BroadcastSkinLoaded() { Broadcast(AC_SKINLOADED); }

void TsSkinManagerComponent::AfterApplySkin() {
  // Whether the screen shows the alpha of layered windows decides how the first skinned window shows: asked now,
  // the screen answers while that window is made.
  if (!Designing() && System().LayeredWindowsAvailable()) AskLayeredAlphaEarly();
  SkinSysColorsChanged();  // brushes of the previous skin's colours
  if (IsDefault() && HooksInstalled == 0) InstallHooks();
  if (IsDefault() && !Designing() && ManagerServices().UpdateMenuHooks) ManagerServices().UpdateMenuHooks(*this, SkinnedPopups);
}

void TsSkinManagerComponent::BeforeRemoveSkin() {
  const TacManagerServices& s = ManagerServices();
  if (s.ClearGlows) s.ClearGlows(false);
  RemoveHooks();
  // A switch-off ends whatever a skin change left: locked forms and the animation flag.
  SkinChangeRelease(*this);
}

void TsSkinManagerComponent::SkinReloaded() {
  // New colours and images under the same hooks: what was kept of the previous load is made again on demand.
  SkinSysColorsChanged();
  if (ManagerServices().ResetMenuBorderWidth) ManagerServices().ResetMenuBorderWidth(*this);
}

void TsSkinManagerComponent::BroadcastSkinRemoved() {
  Broadcast(AC_SKINREMOVED);
  const TacManagerServices& s = ManagerServices();
  if (s.ResetMenuBorderWidth) s.ResetMenuBorderWidth(*this);
  if (IsDefault() && !Designing() && s.UpdateMenuHooks) s.UpdateMenuHooks(*this, false);
}

void TsSkinManagerComponent::SkinChangeFinished() noexcept {
  try {
    SkinChangeRelease(*this);
  } catch (...) {
    // The forms are let go as far as they could be; the flags are reset in any case.
    if (IsDefault()) AnimationInProgress() = 0;
  }
}

void TsSkinManagerComponent::RepaintForms(bool Animate) {
  if (!Designing()) Broadcast(AC_STOPANIMATION);
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), ManagerParam(), 0};
  const OwnLibraryCommand own(m.WParam, m.LParam);
  if (!(State() & csLoading)) {
    if (Animate) SkinChangeLockAll(*this);
    BroadcastToAllForms(m);
    SkinChangeAfterAll(*this, PreviewLock == 0);
  } else {
    BroadcastToAllForms(m);
  }
#ifdef _WIN32
  if (TacProviderList* list = ProviderList()) {
    std::vector<TacProvider*> providers;
    for (const auto& p : *list) providers.push_back(p.get());
    for (TacProvider* p : providers) {
      TacProviderList* live = ProviderList();
      if (!p || !live || std::none_of(live->begin(), live->end(), [p](const auto& e) { return e.get() == p; }))
        continue;
      HWND w = p->AdapterWindow();
      if (w && IsWindowVisible(w)) RedrawWindow(w, nullptr, nullptr, 0x585);
    }
  }
#endif
}

// ---- Hooks.

void TsSkinManagerComponent::InstallHooks() {
  if (!IsDefault() || Designing() || HooksInstalled != 0) return;
  HooksInstalled = 1;
  CreateProviderList();
#ifdef _WIN32
  cbtHook_ = ledger::SetWindowsHookEx(WH_CBT, ManagerCBTHook, nullptr, GetCurrentThreadId());
#endif
  if (Options.ChangeSysColors) InstallSkinSysColors();
}

void TsSkinManagerComponent::RemoveHooks() {
  // Whatever this manager installed is taken away, even when it is no longer the default manager.
  if (Designing() || HooksInstalled != 1) return;
  const TacManagerServices& s = ManagerServices();
  if (s.FreeMenuWindowAdapters) s.FreeMenuWindowAdapters();
#ifdef _WIN32
  if (cbtHook_) ledger::UnhookWindowsHookEx(static_cast<HHOOK>(cbtHook_));
#endif
  cbtHook_ = nullptr;
  FreeProviderList();
  RemoveSkinSysColors();
  HooksInstalled = 0;
}

// ---- Hot and tracked control.

void TsSkinManagerComponent::Watch(gui::TControl* Control) {
  if (Control) FreeNotification(Control);
}

void TsSkinManagerComponent::Unwatch(gui::TControl* Control) {
  if (!Control) return;
  const bool stillUsed = Control == hotControl_ || Control == trackedControl_;
  if (!stillUsed) RemoveFreeNotification(Control);
}

int32_t TsSkinManagerComponent::SetHotControl(gui::TControl* Control) {
  if (Control == hotControl_) return 0;
  if (hotControl_ && trackedControl_) {
    SetTrackedControl(nullptr);
    if (trackedControl_) return 0;
  }
  gui::TControl* old = hotControl_;
  hotControl_ = Control;
  Watch(Control);
  Unwatch(old);
  if (old) SendLibraryCommandToControl(old, AC_MOUSELEAVE, ManagerParam());
  if (Control && Control == hotControl_) SendLibraryCommandToControl(Control, AC_MOUSEENTER, ManagerParam());
  return 0;
}

int32_t TsSkinManagerComponent::SetTrackedControl(gui::TControl* Control) {
  if (Control == trackedControl_) return 0;
  if (!Control && trackedControl_) {
    const auto* data = reinterpret_cast<const TsCommonData*>(
        trackedControl_->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_GETSKINDATA), 0));
    if (data && data->MouseAbove) return 0;
  }
  gui::TControl* old = trackedControl_;
  trackedControl_ = Control;
  Watch(Control);
  Unwatch(old);
  if (old) {
    const OwnLibraryCommand own(SkinCommandWParam(AC_MOUSELEAVE), ManagerParam());
    old->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_MOUSELEAVE), ManagerParam());
  }
  return 0;
}

int32_t SkinManagerSetHotControl(TsSkinManager* Manager, gui::TControl* Control) {
  TsSkinManagerComponent* c = ManagerComponent(Manager);
  return c ? c->SetHotControl(Control) : 0;
}

int32_t SkinManagerSetTrackedControl(TsSkinManager* Manager, gui::TControl* Control) {
  TsSkinManagerComponent* c = ManagerComponent(Manager);
  return c ? c->SetTrackedControl(Control) : 0;
}

void SkinManagerInstallHooks(TsSkinManager* Manager) {
  if (TsSkinManagerComponent* c = ManagerComponent(Manager)) c->InstallHooks();
}

void SkinManagerRemoveHooks(TsSkinManager* Manager) {
  if (TsSkinManagerComponent* c = ManagerComponent(Manager)) c->RemoveHooks();
}

// ---- Skins from an outside editor.

bool TsSkinManagerComponent::TakeSkinPreview(uintptr_t WParam, const void* Data, size_t Size) {
  if (WParam != SkinPreviewCopyDataWParam || !ParseSkinPreviewData(Data, Size)) return false;
  std::memcpy(ReceivedSkin.data(), Data, SkinPreviewDataSize);
#ifdef _WIN32
  gui::Application->HandleNeeded();
  HWND app = gui::Application->Handle();
  MSG queued;
  const bool posted = PeekMessageA(&queued, app, WM_SKINCOMMAND, WM_SKINCOMMAND, PM_NOREMOVE) &&
                      queued.wParam == SkinCommandWParam(AC_APPLYRECEIVEDSKIN);
  if (!posted) PostMessageA(app, WM_SKINCOMMAND, SkinCommandWParam(AC_APPLYRECEIVEDSKIN), 0);
#endif
  return true;
}

void TsSkinManagerComponent::LoadEditorPreview() {
  if (loadingPreview_) {
    previewPending_ = true;
    return;
  }
  loadingPreview_ = true;
  Restore<bool> leave(loadingPreview_, false);
  do {
    previewPending_ = false;
    LoadReceivedSkin();
  } while (previewPending_);
}

void TsSkinManagerComponent::LoadReceivedSkin() {
  const std::optional<SkinPreviewBlock> block = ParseSkinPreviewData(ReceivedSkin.data(), ReceivedSkin.size());
  if (!block) return;
  // A skin is known by its name (the folder of its images, the setting that keeps it): a block without one is
  // refused as it comes, before anything of it is taken.
  if (block->Name.empty()) {
    System().ShowMessageBox(TSkinMessageKind::Error, std::string(SkinEditorBlockWithoutName), MessageBoxOwner());
    return;
  }
  SkinPreviewMode = 1;
  {
    Restore<uint8_t> previewLock(PreviewLock, 0);
    PreviewLock = 1;
    struct DropOptions {
      TsSkinManager& m;
      ~DropOptions() { m.ReceivedOptions.reset(); }
    } dropOptions{*this};
    ReceivedOptions = TextToLines(block->Options);
    SetSkinDirectory(block->Directory);
    SetSkinName(block->Name);
    PreviewLock = 0;
    if (Active()) {
      Restore<bool> changing(AnimEffects.SkinChanging.Active, AnimEffects.SkinChanging.Active);
      AnimEffects.SkinChanging.Active = false;
      ApplySkin(true);
    }
  }
}

#ifdef _WIN32
namespace {

// Position of an item in its menu's window menu (the layer leaves invisible items out).
int MenuPosition(const gui::TMenuItem* item) {
  const gui::TMenuItem* parent = item->Parent();
  if (!parent) return -1;
  int pos = 0;
  for (int i = 0; i < parent->Count(); ++i) {
    if (parent->Items(i) == item) return pos;
    if (parent->Items(i)->Visible()) ++pos;
  }
  return -1;
}

// Position of the item with that command number in a window menu (its item data), -1 when it is not there.
int PositionOfCommand(HMENU menu, UINT command) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_DATA | MIIM_ID;
    if (GetMenuItemInfoA(menu, UINT(i), TRUE, &mi) && (mi.dwItemData == command || mi.wID == command)) return i;
  }
  return -1;
}

// The window menu that holds the item: from the root menu down its chain of sub-menus.
HMENU MenuHandleOf(const gui::TMenuItem* item) {
  std::vector<const gui::TMenuItem*> chain;
  for (const gui::TMenuItem* i = item->Parent(); i; i = i->Parent()) chain.push_back(i);
  gui::TMenu* menu = item->GetParentMenu();
  if (!menu || chain.empty()) return nullptr;
  HMENU h = menu->Handle();
  // chain.back() is the root item of the menu; walk down through the others.
  for (auto it = chain.rbegin() + 1; it != chain.rend() && h; ++it) h = GetSubMenu(h, MenuPosition(*it));
  return h;
}

}  // namespace
#endif

void TsSkinManagerComponent::PostMenuItem(gui::TMenuItem* Item) {
#ifdef _WIN32
  if (!Item) return;
  gui::Application->HandleNeeded();
  HWND app = gui::Application->Handle();
  MSG queued;
  if (PeekMessageA(&queued, app, WM_SKINMENUITEM, WM_SKINPOPUPWINDOW, PM_NOREMOVE)) return;  // one is queued already
  PostMessageA(app, WM_SKINMENUITEM, reinterpret_cast<WPARAM>(MenuHandleOf(Item)), LPARAM(Item->Command()));
#else
  (void)Item;
#endif
}

// ---- The hook on the application's main window.

bool TsSkinManagerComponent::AppHook(gui::TMessage& Msg) {
  switch (Msg.Msg) {
    case wv::kWmDwmSendIconicLivePreviewBitmap:
    case wv::kWmDwmSendIconicThumbnail:
      return HookIconicPreview(Msg);
    case wv::kWmThemeChanged:
      return true;
    case WM_COPYDATA: {
      if (Msg.Result != 0 || takingBlock_) return false;
      takingBlock_ = true;
      Restore<bool> guard(takingBlock_, false);
#ifdef _WIN32
      if (const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(Msg.LParam))
        TakeSkinPreview(Msg.WParam, cds->lpData, cds->cbData);
#endif
      return true;  // handled whether the block was taken or not
    }
    case WM_SKINCOMMAND:
      if (SkinCommandCode(Msg.WParam) != AC_APPLYRECEIVEDSKIN) return false;
      LoadEditorPreview();
      return true;
    case gui::CM_ACTIVATE: {
#ifdef _WIN32
      std::vector<gui::TCustomForm*> forms;
      for (int i = 0; i < gui::Screen->FormCount(); ++i) forms.push_back(gui::Screen->Forms(i));
      for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        gui::TCustomForm* f = *it;
        bool present = false;
        for (int i = 0; i < gui::Screen->FormCount() && !present; ++i) present = gui::Screen->Forms(i) == f;
        if (present && f->HandleAllocated()) SendLibraryCommand(f->WindowHandle(), AC_REPAINT, 0);
      }
#endif
      return false;
    }
    case WM_SKINMENUITEM:
    case WM_SKINPOPUPWINDOW:
      return HookPopupMenu(Msg);
    case WM_SYSCOMMAND:
      return HookSysCommand(Msg);
    case WM_WINDOWPOSCHANGED:
      return HookWindowPosChanged(Msg);
    default:
      return false;
  }
}

}  // namespace skin

namespace skin {

bool TsSkinManagerComponent::HookSysCommand(gui::TMessage& Msg) {
  if (!SkinData().Active) return false;
  constexpr uintptr_t kMinimize = 0xF020, kRestore = 0xF120;
  gui::TCustomForm* main = gui::Application->MainForm();
  switch (Msg.WParam & 0xFFF0) {
    case kMinimize: {
      LastSysCommand = 2;
      if (ApplicationMinimized() || !main || !main->Visible()) return false;
      TacFormProvider* p = FormProvider(main);
      if (!p) return false;
      if (!AnimEffects.Minimizing.Active) {
        if (p->HasBorderForm() && p->BorderFormHasImage()) p->ReleaseBorderImage();
        return false;
      }
      if (!p->Skinned()) return false;
      p->MinimizingFlag = 1;
      p->StartMinimizeAnimation();
      if (System().CompositionEnabled()) return false;
      // The animation stands for the system's: the application is minimized at once without it.
      const bool systemAnimation = System().GetMinAnimation();
      System().SetMinAnimation(false);
      gui::Application->Minimize();
      System().SetMinAnimation(systemAnimation);
      return true;
    }
    case kRestore: {
      LastSysCommand = 1;
      if (!main || !main->Showing()) return false;
      TacFormProvider* p = FormProvider(main);
      if (!p) return false;
      if (p->MinimizedByLibrary) {
        p->MinimizedByLibrary = 0;
        if (ExtendedBorders() && !p->HasBorderForm()) p->DropFrameCache();
        p->ClearBorderFlag();
        const bool systemAnimation = System().GetMinAnimation();
        System().SetMinAnimation(false);
        gui::Application->Restore();
        System().SetMinAnimation(systemAnimation);
#ifdef _WIN32
        if (System().CompositionEnabled() && main->HandleAllocated()) {
          HWND h = main->WindowHandle();
          RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
          const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
          if (ex & WS_EX_LAYERED) {
            SetWindowLongPtrA(h, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
            p->LayeredStyleRemoved();
          }
        }
#endif
      } else if (AnimEffects.Minimizing.Active && main->Visible()) {
        p->StartRestoreAnimation();
      }
      return false;
    }
    default:
      LastSysCommand = 0;
      return false;
  }
}

bool TsSkinManagerComponent::HookWindowPosChanged(gui::TMessage& Msg) {
#ifdef _WIN32
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(Msg.LParam);
  if (!System().LayeredWindowsAvailable() || !pos || !(pos->flags & SWP_HIDEWINDOW)) return false;
  if (!AnimEffects.Minimizing.Active || AnimEffects.Minimizing.Time == 0 || ApplicationMinimized()) return false;
  gui::TCustomForm* main = gui::Application->MainForm();
  if (!main || !main->Showing() || !main->Visible() || !main->HandleAllocated()) return false;
  TacFormProvider* p = FormProvider(main);
  if (!p || !p->Skinned() || p->MinimizingFlag) return false;
  p->MinimizingFlag = 1;
  p->MinimizedByLibrary = 1;
  p->SetBorderFormRegion();
  const TacManagerServices& s = ManagerServices();
  if (s.SetWindowAlpha) s.SetWindowAlpha(main->WindowHandle(), 254);
  ShowWindow(main->WindowHandle(), SW_HIDE);
  if (s.AnimHideForm) s.AnimHideForm(*p);  // returns when the animation has ended
#else
  (void)Msg;
#endif
  return false;
}


bool TsSkinManagerComponent::HookPopupMenu(gui::TMessage& Msg) {
  if (!SkinnedPopups) return false;
#ifdef _WIN32
  HWND window = nullptr;
  gui::TMenuItem* item = nullptr;
  if (Msg.Msg == WM_SKINPOPUPWINDOW) {
    window = reinterpret_cast<HWND>(Msg.LParam);
  } else {
    // The item is looked up by its command number now: it may have gone since the message was posted.
    HMENU menu = reinterpret_cast<HMENU>(Msg.WParam);
    item = gui::TMenuItem::FromCommand(UINT(Msg.LParam));
    if (!item || !menu || !IsMenu(menu)) return true;
    const int pos = PositionOfCommand(menu, item->Command());
    RECT r{};
    if (pos < 0) return true;
    if (!GetMenuItemRect(nullptr, menu, UINT(pos), &r) &&
        !GetMenuItemRect(gui::Application->Handle(), menu, UINT(pos), &r))
      return true;
    window = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    if (!window) return true;
  }
  if (window && IsWindow(window) && GetWndClassName(window) == "#32768" && ManagerServices().PaintPopupMenuWindow)
    ManagerServices().PaintPopupMenuWindow(window, item);
#else
  (void)Msg;
#endif
  return true;
}

bool TsSkinManagerComponent::HookIconicPreview(gui::TMessage& Msg) {
#ifdef _WIN32
  static HMODULE dwm = LoadLibraryA("dwmapi.dll");
  gui::TCustomForm* main = gui::Application->MainForm();
  if (!dwm || !main) return false;
  if (Msg.Msg == wv::kWmDwmSendIconicThumbnail && (HIWORD(Msg.LParam) == 0 || LOWORD(Msg.LParam) == 0)) return false;
  TacFormProvider* p = FormProvider(main);
  if (!p) return false;
  HWND app = gui::Application->Handle();
  Msg.Result = Msg.Msg == wv::kWmDwmSendIconicLivePreviewBitmap
                   ? p->SendIconicLivePreview(app)
                   : p->SendIconicThumbnail(app, HIWORD(Msg.LParam), LOWORD(Msg.LParam));
  return true;
#else
  (void)Msg;
  return false;
#endif
}

#ifdef _WIN32
void SetWindowIconicBitmapMode(HWND Window, bool Flag) {
  static HMODULE dwm = LoadLibraryA("dwmapi.dll");
  if (!dwm || !Window) return;
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  using Invalidate = HRESULT(WINAPI*)(HWND);
  auto set = reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
  auto invalidate =
      reinterpret_cast<Invalidate>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmInvalidateIconicBitmaps")));
  if (!set) return;
  const BOOL value = Flag ? TRUE : FALSE;
  if (FAILED(set(Window, 10 /* has iconic bitmap */, &value, sizeof value)))
    set(Window, 7 /* force iconic representation */, &value, sizeof value);
  if (invalidate) invalidate(Window);
}
#endif

}  // namespace skin
