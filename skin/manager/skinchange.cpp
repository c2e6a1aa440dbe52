#include "skin/manager/skinchange.h"

#include "skin/painters/acglow.h"

#include <algorithm>

#include "skin/manager/svclutils.h"

#ifdef _WIN32
#include <shellapi.h>

#include "skin/pixels/gdi_ledger.h"
#endif

namespace skin {

namespace {

uint8_t g_animationInProgress = 0;
// The animation flag was set by a skin change (and not by a show or hide animation): only then does the end of
// the change reset it.
bool g_animationSetByChange = false;
// The skin's title height that the after sweep last met on a maximized form with a border window.
int32_t g_rememberedTitleHeight = 0;

std::vector<gui::TCustomForm*>& Forms() {
  static std::vector<gui::TCustomForm*> forms;
  return forms;
}

std::unique_ptr<TacProviderList>& Providers() {
  static std::unique_ptr<TacProviderList> list;
  return list;
}

bool ManagerBeingRead(const TsSkinManager& m) { return (m.State() & (csDesigning | csLoading | csReading)) != 0; }

void SetAnimationBySkinChange(TsSkinManager& m) {
  if (m.IsDefault() && m.AnimEffects.SkinChanging.Active) {
    AnimationInProgress() = 1;
    g_animationSetByChange = true;
  }
}

void EndAnimationBySkinChange() {
  if (!g_animationSetByChange) return;
  g_animationSetByChange = false;
  AnimationInProgress() = 0;
}

LRESULT SendToFormMsg(gui::TWinControl* c, UINT msg, WPARAM w, LPARAM l) {
  gui::TMessage m{msg, w, l, 0};
  return skin::SendToForm(c, m);
}

// RedrawWindow of a form (nothing for the headless forms of the native build).
void RedrawForm(gui::TCustomForm* f, UINT flags) {
#ifdef _WIN32
  if (f && f->HandleAllocated()) RedrawWindow(f->WindowHandle(), nullptr, nullptr, flags);
#else
  (void)f;
  (void)flags;
#endif
}

bool FormHasWindow(const gui::TCustomForm* f) {
#ifdef _WIN32
  return f->HandleAllocated();
#else
  (void)f;
  return true;  // the headless forms stand for their windows
#endif
}

bool FormMaximized(const gui::TCustomForm* f) {
#ifdef _WIN32
  if (f->HandleAllocated()) return IsZoomed(f->WindowHandle()) != FALSE;
#endif
  return f->WindowState() == gui::TWindowState::wsMaximized;
}

// A maximized form with a border window is maximized again while it is invisible, so that its frame takes the
// new title height; the active window is given back afterwards.
void MaximizeAgainInvisibly(gui::TCustomForm* f) {
#ifdef _WIN32
  if (!f->HandleAllocated()) return;
  HWND h = f->WindowHandle();
  HWND active = GetActiveWindow();
  SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~LONG_PTR(WS_VISIBLE));
  ShowWindow(h, SW_MAXIMIZE);
  SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_VISIBLE);
  if (active && active != GetActiveWindow()) SetActiveWindow(active);
#else
  (void)f;
#endif
}

constexpr UINT kRedrawAll = 0x185;       // RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW
constexpr UINT kRedrawWithFrame = 0x585;  // the same with RDW_FRAME

}  // namespace

uint8_t& AnimationInProgress() { return g_animationInProgress; }

TacManagerServices& ManagerServices() {
  static TacManagerServices services = [] {
    TacManagerServices s;
    s.ClearGlows = [](bool ReleaseWindows) { ClearGlows(ReleaseWindows); };  // the painters' glow windows
    return s;
  }();
  return services;
}

// ---- Provider list.

TacProviderList* ProviderList() { return Providers().get(); }

void CreateProviderList() {
  if (!Providers()) Providers() = std::make_unique<TacProviderList>();
}

void FreeProviderList() {
  std::unique_ptr<TacProviderList>& list = Providers();
  if (!list) return;
  // Entry by entry: a provider freed here may still look at the list.
  for (size_t i = 0; i < list->size(); ++i) {
    std::unique_ptr<TacProvider> entry = std::move((*list)[i]);
    entry.reset();
  }
  list.reset();
}

// ---- Skinned forms.

const std::vector<gui::TCustomForm*>& SkinnedFormsList() { return Forms(); }

void RegisterSkinnedForm(gui::TCustomForm* Form) {
  if (Form) Forms().push_back(Form);
}

void UnregisterSkinnedForm(gui::TCustomForm* Form) {
  std::vector<gui::TCustomForm*>& list = Forms();
  size_t i = 0;
  while (i < list.size()) {
    if (list[i] != Form) {
      ++i;
      continue;
    }
    list[i] = list.back();
    list.pop_back();  // slot i now holds what was last: looked at again
  }
}

bool IsSkinnedFormRegistered(const gui::TCustomForm* Form) {
  const std::vector<gui::TCustomForm*>& list = Forms();
  return Form && std::find(list.begin(), list.end(), Form) != list.end();
}

LRESULT SendToForm(gui::TWinControl* Control, gui::TMessage& Msg) {
  if (!Control) return 0;
#ifdef _WIN32
  if (Control->HandleAllocated()) return SendMessageA(Control->WindowHandle(), Msg.Msg, Msg.WParam, Msg.LParam);
#endif
  return Control->Perform(Msg.Msg, Msg.WParam, Msg.LParam);
}

TacFormProvider* FormProvider(gui::TCustomForm* Form) {
  if (!Form) return nullptr;
  return reinterpret_cast<TacFormProvider*>(SendToFormMsg(Form, WM_SKINCOMMAND, SkinCommandWParam(AC_GETPROVIDER), 0));
}

bool FormMinimized(const gui::TCustomForm* Form) {
  if (!Form) return false;
#ifdef _WIN32
  if (Form->HandleAllocated()) return IsIconic(Form->WindowHandle()) != FALSE;
#endif
  return Form->WindowState() == gui::TWindowState::wsMinimized;
}

bool ApplicationMinimized() { return FormMinimized(gui::Application->MainForm()); }

void ForEachProviderForm(TsSkinManager& Manager, const std::function<void(TacFormProvider&)>& Callback) {
  const std::vector<gui::TCustomForm*> forms = Forms();
  for (gui::TCustomForm* f : forms) {
    if (!IsSkinnedFormRegistered(f)) continue;  // gone meanwhile
    if (f->IsDestroying() || FormMinimized(f) || f->Parent() || !FormHasWindow(f) || !f->Visible()) continue;
    TacFormProvider* p = FormProvider(f);
    if (p && p->SkinManager() == &Manager) Callback(*p);
  }
}

// ---- Sweeps.

void SkinChangeBeforeAll(TsSkinManager& Manager) {
  if (ApplicationMinimized() || ManagerBeingRead(Manager)) return;
  SetAnimationBySkinChange(Manager);
  ForEachProviderForm(Manager, [](TacFormProvider& p) {
    if (p.HasBorderForm()) {
      p.StateFlags |= pfBorderSnapshot;
      // The snapshot stands in for the frame while the forms are locked, unless a transition is under way: the
      // border window then keeps what it shows (it is not updated while the flag is set) and the snapshot would
      // never be seen.
      if (!AnimationInProgress()) p.TakeBorderSnapshot();
    }
    p.SkinChangingByte = 1;
  });
}

void SkinChangeLockAll(TsSkinManager& Manager) {
  if (ApplicationMinimized()) return;
  SetAnimationBySkinChange(Manager);
  ForEachProviderForm(Manager, [](TacFormProvider& p) {
    p.SkinChangingByte = 1;
    p.StateFlags |= pfRedrawLocked;
    if (p.HasBorderForm()) p.ShowBorderSnapshot();
    SendToFormMsg(p.Form(), WM_SETREDRAW, 0, 0);
  });
}

void SkinChangeAfterAll(TsSkinManager& Manager, bool Animate) {
  if (ApplicationMinimized()) return;
  if (Manager.IsDefault()) {
    AnimationInProgress() = 0;
    g_animationSetByChange = false;
  }
  ForEachProviderForm(Manager, [](TacFormProvider& p) {
    if (p.StateFlags & pfRedrawLocked) SendToFormMsg(p.Form(), WM_SETREDRAW, 1, 0);
  });
  const TacSkinChanging& changing = Manager.AnimEffects.SkinChanging;
  ForEachProviderForm(Manager, [&](TacFormProvider& p) {
    if (!(p.StateFlags & pfRedrawLocked)) return;
    gui::TCustomForm* form = p.Form();
    if (!Animate) {
      p.StateFlags &= ~pfBorderSnapshot;
      p.SkinChangingByte = 0;
      SendToFormMsg(form, WM_SETREDRAW, 1, 0);
    } else {
      const TacManagerServices& s = ManagerServices();
      // The transition ends with the form repainted in the new skin and its region made for it (under its last
      // picture): the form is not repainted a second time after it. Its border window shows the live frame
      // again once the snapshot flag is down.
      bool repainted = false;
      // Whether the transition, letting go of the snapshot, showed the live frame on the border window itself.
      bool borderShown = false;
      if (changing.Active && s.AnimSkinChange) {
        if (p.DrawNonClientArea())
          s.AnimSkinChange(p, changing.Time, 255, changing.Mode == atAero);
        else
          s.AnimSkinChange(p, 0, 255, false);
        repainted = true;
        borderShown = !(p.StateFlags & pfBorderSnapshot);
      }
      p.StateFlags &= ~pfBorderSnapshot;
      if (p.HasBorderForm() && FormMaximized(form)) {
        const int32_t title = p.SkinTitleHeight(true);
        if (title != g_rememberedTitleHeight) {
          g_rememberedTitleHeight = title;
          MaximizeAgainInvisibly(form);
          repainted = false;
        }
      }
      p.SkinChangingByte = 0;
      if (!repainted && p.DrawNonClientArea()) {
        p.UpdateRegion(false);
        RedrawForm(form, kRedrawAll);
      } else if (!repainted) {
        RedrawForm(form, kRedrawWithFrame);
      }
      if (p.DrawNonClientArea() && p.HasBorderForm() && !(repainted && borderShown)) p.UpdateBorderForm(255);
    }
    p.StateFlags &= ~pfRedrawLocked;
  });
}

void SkinChangeRelease(TsSkinManager& Manager) {
  if (Manager.IsDefault()) EndAnimationBySkinChange();
  const std::vector<gui::TCustomForm*> forms = Forms();
  for (gui::TCustomForm* f : forms) {
    if (!IsSkinnedFormRegistered(f) || f->IsDestroying()) continue;
    TacFormProvider* p = FormProvider(f);
    if (!p || p->SkinManager() != &Manager) continue;
    const bool locked = (p->StateFlags & pfRedrawLocked) != 0;
    p->StateFlags &= ~(pfRedrawLocked | pfBorderSnapshot);
    p->SkinChangingByte = 0;
    if (locked) {
      SendToFormMsg(f, WM_SETREDRAW, 1, 0);
      RedrawForm(f, kRedrawWithFrame);
    }
  }
}

// ---- Broadcasts.

void BroadcastToAllForms(gui::TMessage& Msg) {
  const OneDeliveryPerReceiver once(Msg);
  gui::TApplication& app = *gui::Application;
  std::vector<gui::TComponent*> components;
  for (int i = 0; i < app.ComponentCount(); ++i) components.push_back(app.Components(i));
  for (auto it = components.rbegin(); it != components.rend(); ++it) {
    auto* f = dynamic_cast<gui::TCustomForm*>(*it);
    if (!f) continue;
    bool present = false;  // freed or given away meanwhile
    for (int i = 0; i < app.ComponentCount() && !present; ++i) present = app.Components(i) == f;
    if (!present || f->IsDestroying() || f->IsLoading()) continue;
    if (SendToFormMsg(f, WM_SKINCOMMAND, SkinCommandWParam(AC_ISSKINNED), 0) == 1) continue;
    SendToForm(f, Msg);
    BroadcastToChildren(f, Msg);
  }
  BroadcastToSkinnedForms(Msg);
}

void BroadcastToSkinnedForms(gui::TMessage& Msg) {
  const std::vector<gui::TCustomForm*> forms = Forms();
  for (gui::TCustomForm* f : forms) {
    if (!IsSkinnedFormRegistered(f) || f->IsDestroying()) continue;
    SendToForm(f, Msg);
    if (IsSkinnedFormRegistered(f)) BroadcastToChildren(f, Msg);
  }
#ifdef _WIN32
  if (TacProviderList* list = ProviderList()) {
    std::vector<TacProvider*> providers;
    for (const auto& p : *list) providers.push_back(p.get());
    for (TacProvider* p : providers) {
      TacProviderList* live = ProviderList();
      if (!p || !live ||
          std::none_of(live->begin(), live->end(), [p](const auto& e) { return e.get() == p; }))
        continue;
      HWND w = p->AdapterWindow();
      if (w && IsWindowVisible(w)) SendMessageA(w, Msg.Msg, Msg.WParam, Msg.LParam);
    }
  }
#endif
}

#ifdef _WIN32
namespace {
struct ProgramIcons {
  HICON small = nullptr;
  HICON large = nullptr;
  bool loaded = false;
  ~ProgramIcons() {
    ledger::DestroyIcon(small);
    ledger::DestroyIcon(large);
  }
  void Load() {
    if (loaded) return;
    loaded = true;
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return;
    for (UINT size : {UINT(SHGFI_SMALLICON), UINT(SHGFI_LARGEICON)}) {
      SHFILEINFOA info{};
      if (!SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | size) || !info.hIcon) continue;
      ledger::Made(ledger::kIcon);
      (size == SHGFI_SMALLICON ? small : large) = info.hIcon;
    }
  }
};
ProgramIcons& Icons() {
  static ProgramIcons icons;
  icons.Load();
  return icons;
}
}  // namespace

HICON ProgramSmallIcon() { return Icons().small; }
HICON ProgramLargeIcon() { return Icons().large; }
#endif

}  // namespace skin
