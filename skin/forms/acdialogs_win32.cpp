// The window-creation hook of the GUI thread and the providers of the windows it brings under the skin.
#include "skin/forms/acdialogs.h"

#ifdef _WIN32

#include <algorithm>
#include <cctype>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/adapters/acbuttons.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/acgrids.h"
#include "skin/adapters/aclistview.h"
#include "skin/adapters/acmnuwnd.h"
#include "skin/adapters/acsbwnd.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/acstatics.h"
#include "skin/adapters/actabs.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/forms/composition.h"

namespace skin {

namespace {

constexpr ATOM kMenuAtom = 0x8000;    // "#32768"
constexpr ATOM kDialogAtom = 0x8002;  // "#32770"

int g_childSkinningDepth = 0;

// The library command AC_ISSKINNED: the window is already in the library's hands.
bool AnswersSkinned(HWND w) {
  return SendMessageA(w, WM_SKINCOMMAND, SkinCommandWParam(AC_ISSKINNED), 0) == 1;
}

std::string ClassNameOf(HWND w) {
  char name[256] = {};
  const int n = GetClassNameA(w, name, int(sizeof(name)));
  return std::string(name, size_t(n > 0 ? n : 0));
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool ApplicationDestroying() { return gui::Application == nullptr || gui::Application->IsDestroying(); }

bool WindowIsChild(HWND w) { return (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD) != 0; }

// While SkinChildWindow runs: the base adapter marks the adapters it makes as dialog children.
class ChildSkinningScope {
 public:
  ChildSkinningScope() {
    ++g_childSkinningDepth;
    DispatcherSkinning() = 1;
  }
  ~ChildSkinningScope() {
    if (--g_childSkinningDepth == 0) DispatcherSkinning() = 0;
  }
  ChildSkinningScope(const ChildSkinningScope&) = delete;
  ChildSkinningScope& operator=(const ChildSkinningScope&) = delete;
};

TacHookProvider* AddToList(std::unique_ptr<TacHookProvider> p) {
  CreateProviderList();
  TacHookProvider* raw = p.get();
  ProviderList()->push_back(std::unique_ptr<TacProvider>(p.release()));
  return raw;
}

template <class T>
T* MakeChildAdapter(TacHookProvider& provider, HWND child, const std::string& section, bool repaint) {
  TacSkinParams params;
  params.SkinSection = section;
  TsSkinManager* manager = provider.DialogAdapter ? provider.DialogAdapter->SkinManager : DefaultManager();
  T* adapter = NewAdapter<T>(child, nullptr, manager, params, repaint);
  return adapter;
}

// A panel of the program inside a dialog: its labels take the skin's text colour over a clear background, its
// other windowed children are adapted as the dialog's own, and the panel takes the skin's background colour.
void SkinProgramPanel(TacHookProvider& provider, TacMainWnd* adapter, HWND panelWindow) {
  gui::TWinControl* panel = gui::TWinControl::FromHandle(panelWindow);
  if (panel == nullptr) return;
  if (adapter && adapter->SkinData) adapter->SkinData->OwnerControl = panel;
  TsSkinManager* m = provider.DialogAdapter ? provider.DialogAdapter->SkinManager : DefaultManager();
  if (m == nullptr) return;
  for (int i = 0; i < panel->ControlCount(); ++i) {
    gui::TControl* c = panel->Controls(i);
    if (auto* label = dynamic_cast<gui::TCustomLabel*>(c)) {
      label->Font().SetColor(SkinManagerGlobalFontColor(*m));
      label->SetTransparent(true);
    } else if (auto* w = dynamic_cast<gui::TWinControl*>(c); w && w->HandleAllocated()) {
      SkinChildWindow(provider, w->WindowHandle());
    }
  }
  panel->SetColor(SkinManagerGlobalColor(*m));
}

bool CacheEmpty(const TacHookProvider& p) {
  const TacDialogWnd* d = p.DialogAdapter;
  return d == nullptr || d->SkinData == nullptr || !d->SkinData->CacheBmp || d->SkinData->CacheBmp->Empty();
}

}  // namespace

int ChildSkinningDepth() { return g_childSkinningDepth; }

DialogStartPosition& DialogStartPos() {
  static DialogStartPosition pos;
  return pos;
}

const std::vector<std::string>& ExcludedFormClasses() {
  static const std::vector<std::string> classes = [] {
    std::vector<std::string> v{"TApplication",           "TfcPopup",           "TcxComboBoxPopupWindow",
                               "TcxCustomPopupWindow",   "TdxPopupEditForm",   "TcxDateEditPopupWindow",
                               "TcxGridFilterPopup"};
    std::sort(v.begin(), v.end());
    return v;
  }();
  return classes;
}

MenuAdapterFactory& MenuWindowAdapterFactory() {
  // The popup-menu adapters keep their own list and free themselves when the last menu window goes.
  static MenuAdapterFactory factory = [](HWND MenuWindow, TsSkinManager* Manager) -> TacMainWnd* {
    return CreateMenuAdapter(MenuWindow, Manager);
  };
  return factory;
}

namespace {
// The adapter of a dialog's child of a class adapted in another unit, with the section its class takes.
template <class T>
TacMainWnd* MakeSectionAdapter(HWND Child, TsSkinManager* Manager, const std::string& Section) {
  TacSkinParams params;
  params.SkinSection = Section;
  return NewAdapter<T>(Child, nullptr, Manager, params, true);
}
}  // namespace

std::map<std::string, ChildAdapterFactory>& DialogChildAdapterFactories() {
  static std::map<std::string, ChildAdapterFactory> factories = {
      {"ctrlnotifysink", MakeSectionAdapter<TacContainerWnd>},
      {"directuihwnd", MakeSectionAdapter<TacSearchWnd>},
      {"syslistview32", MakeSectionAdapter<TacListViewWnd>},
      {"systabcontrol32", MakeSectionAdapter<TacTabControlWnd>},
      {"systreeview32", MakeSectionAdapter<TacTreeViewWnd>}};
  return factories;
}

void InstallDialogHookServices() {
  TacManagerServices& s = ManagerServices();
  s.CBTHookProc = [](int code, WPARAM w, LPARAM l, LRESULT& result) {
    result = CBTHookProc(code, w, l);
    return true;
  };
  s.FreeMenuWindowAdapters = [] { FreeMenuWindowAdapters(); };
}

// ---- The provider.

TacHookProvider::~TacHookProvider() {
  // A provider still listed (freed by the list itself) leaves no dangling slot.
  if (TacProviderList* list = ProviderList())
    for (auto& e : *list)
      if (e.get() == this) (void)e.release();
  if (FormProvider == nullptr) {
    for (TacMainWnd*& a : ChildAdapters) FreeAdapter(a);
    ChildAdapters.clear();
    // The adapter may still be running a message (it is freed later): it no longer reaches this provider.
    if (DialogAdapter) DialogAdapter->Provider = nullptr;
    FreeAdapter(DialogAdapter);
  }
}

void TacHookProvider::InitForForm(gui::TCustomForm* F) {
  Form = F;
  FormProvider = TsSkinProvider::CreateForForm(F);
  FormProviderAlive = FormProvider->AliveToken();
  FormProvider->SetUseGlobalColor(false);
  if (!F->HandleAllocated()) return;
  HWND h = F->WindowHandle();
  // Completed for the skin now: the form already exists and shows, and no stream loading will complete it.
  if (!FormProvider->SystemMenu) FormProvider->Loaded();
  if (DwmCompositionEnabled()) {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageA(h, WM_NCPAINT, 1, 0);
  } else {
    UpdateWindow(h);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
}

bool TacHookProvider::InitForWindow(HWND Window) {
  WindowHandle = Window;
  TsSkinManager* m = DefaultManager();
  if (DialogAdapter != nullptr || m == nullptr || !m->Active()) return true;
  CreateDialogAdapter(Window, DialogAdapter);
  if (DialogAdapter == nullptr) return false;
  DialogAdapter->Provider = this;
  const DialogStartPosition pos = DialogStartPos();
  if (pos.X != -1 || pos.Y != -1)
    SetWindowPos(Window, nullptr, pos.X, pos.Y, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOZORDER);
  const bool ok = SkinChildWindows(*this, Window);
  if (ok) {
    DialogAdapter->Finish();
    const OwnLibraryCommand own(SkinCommandWParam(AC_SKINLOADED), reinterpret_cast<LPARAM>(m));
    SendMessageA(Window, WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED), reinterpret_cast<LPARAM>(m));
  }
  return ok;
}

void CreateDialogAdapter(HWND Window, TacDialogWnd*& Adapter) {
  TsSkinManager* m = DefaultManager();
  if (m != nullptr && m->Active()) {
    if (Adapter != nullptr && Adapter->Destroyed) FreeAdapter(Adapter);
    if (Adapter == nullptr) {
      TacSkinParams params;
      params.SkinSection = "DIALOG";
      Adapter = NewAdapter<TacDialogWnd>(Window, nullptr, m, params, false);
      if (Adapter->Destroyed) FreeAdapter(Adapter);  // the window had another adapter
    }
  } else {
    FreeAdapter(Adapter);
  }
}

void TacHookProvider::SkinChildren(HWND Dialog) { SkinChildWindows(*this, Dialog); }
void TacHookProvider::DialogGoing() { RemoveDestroyedProviders(); }

// ---- Children.

bool SkinChildWindows(TacHookProvider& Provider, HWND Parent) {
  for (HWND child = GetTopWindow(Parent); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!SkinChildWindows(Provider, child)) return false;
    if (WindowIsChild(child) && !SkinChildWindow(Provider, child)) return false;
  }
  return true;
}

bool SkinChildWindow(TacHookProvider& Provider, HWND Child) {
  if (Child == nullptr) return false;
  if (AnswersSkinned(Child)) return true;
  ChildSkinningScope scope;
  const std::string cls = Lower(ClassNameOf(Child));
  const LONG_PTR style = GetWindowLongPtrA(Child, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(Child, GWL_EXSTYLE);
  // The child's own visibility: a dialog that is not shown yet still adapts its visible children.
  const bool visible = (style & WS_VISIBLE) != 0;
  TacDialogWnd* dialog = Provider.DialogAdapter;
  auto clearClientPainting = [dialog] {
    if (dialog) dialog->SuppressClientPaint = 0;
  };
  TacMainWnd* adapter = nullptr;
  bool dialogChild = false;
  if (cls == "static") {
    const LONG_PTR type = style & 31;
    if ((style & 3) == 3 || (style & 14) == 14) {
      if (exStyle & WS_EX_STATICEDGE)
        adapter = MakeChildAdapter<TacEdgeWnd>(Provider, Child, "EDIT", true);
      else
        adapter = MakeChildAdapter<TacIconWnd>(Provider, Child, "", true);
    } else if (!((style & 13) == 13 || type == 5 || type == 6 || type == 11)) {
      adapter = MakeChildAdapter<TacStaticWnd>(Provider, Child, "", true);
    }
  } else if (cls == "#32770" || cls == "shbrowseforfolder") {
    adapter = MakeChildAdapter<TacTransPanelWnd>(Provider, Child, "", true);
  } else if (cls == "tpanel") {
    adapter = MakeChildAdapter<TacPanelWnd>(Provider, Child, "CHECKBOX", true);
    SkinProgramPanel(Provider, adapter, Child);
  } else if (cls == "tsilentpaintpanel") {
    adapter = MakeChildAdapter<TacPanelWnd>(Provider, Child, "GROUPBOX", true);
    // The panel paints its background itself: it shows no caption of its own under the skin.
    if (gui::TWinControl* control = gui::TWinControl::FromHandle(Child)) {
      if (adapter && adapter->SkinData) adapter->SkinData->OwnerControl = control;
      control->SetCaption("");
      control->SetTag(999);
    }
  } else if (cls == "edit") {
    clearClientPainting();
    if (visible) adapter = MakeChildAdapter<TacEditWnd>(Provider, Child, "EDIT", !CacheEmpty(Provider));
    dialogChild = true;
  } else if (cls == "button" || cls == "tbutton") {
    if ((style & 7) == 7)
      adapter = MakeChildAdapter<TacGroupBoxWnd>(Provider, Child, "GROUPBOX", true);
    else if ((style & 3) == 3 || (style & 2) == 2 || (style & 5) == 5 || (style & 9) == 9 || (style & 4) == 4)
      adapter = MakeChildAdapter<TacCheckBoxWnd>(Provider, Child, "", true);
    else
      adapter = MakeChildAdapter<TacBtnWnd>(Provider, Child, "", true);
  } else if (cls == "combobox" || cls == "comboboxex32") {
    clearClientPainting();
    adapter = MakeChildAdapter<TacComboBoxWnd>(Provider, Child, "COMBOBOX",
                                               cls == "comboboxex32" || !CacheEmpty(Provider));
    dialogChild = cls == "combobox";
  } else if (cls == "combolbox") {
    clearClientPainting();
    adapter = MakeChildAdapter<TacEditWnd>(Provider, Child, "COMBOBOX", true);
  } else if (cls == "listbox") {
    clearClientPainting();
    adapter = MakeChildAdapter<TacEditWnd>(Provider, Child, "EDIT", true);
    dialogChild = true;
  } else if (cls == "scrollbar") {
    if (style & SBS_SIZEGRIP) adapter = MakeChildAdapter<TacSizerWnd>(Provider, Child, "", true);
  } else if (cls == "msctls_updown32") {
    adapter = MakeChildAdapter<TacSpinWnd>(Provider, Child, "SPEEDBUTTON_SMALL", true);
  } else if (cls == "msctls_trackbar32") {
    adapter = MakeChildAdapter<TacTrackWnd>(Provider, Child, "TRACKBAR", true);
  } else if (cls == "link window" || cls == "syslink") {
    adapter = MakeChildAdapter<TacLinkWnd>(Provider, Child, "", true);
  } else if (cls == "toolbarwindow32") {
    adapter = MakeChildAdapter<TacToolBarWnd>(Provider, Child, (style & 0x200) ? "BAR" : "CHECKBOX", true);
  } else {
    // Classes whose adapters other units make: the section the class takes, and the conditions on the window.
    std::string section;
    bool wanted = true;
    if (cls == "systabcontrol32") {
      section = "PAGECONTROL";
      wanted = (style & 0x2000) == 0;
    } else if (cls == "syslistview32" || cls == "systreeview32") {
      section = "EDIT";
      dialogChild = true;
    } else if (cls == "ctrlnotifysink") {
      wanted = visible;
    } else if (cls == "directuihwnd") {
      RECT r{};
      GetWindowRect(Child, &r);
      wanted = r.bottom - r.top == 24;
    }
    auto& factories = DialogChildAdapterFactories();
    const auto it = factories.find(cls);
    if (wanted && it != factories.end() && it->second) {
      TsSkinManager* m = dialog ? dialog->SkinManager : DefaultManager();
      adapter = it->second(Child, m, section);
    }
  }
  if (adapter != nullptr) {
    if (dialogChild) adapter->CreatedByDispatcher = 1;
    adapter->WindowRectInParent();
    Provider.ChildAdapters.push_back(adapter);
  }
  return true;
}

// ---- Queries.

TacHookProvider* FindProviderForWindow(HWND Window) {
  if (gui::Application == nullptr || gui::Application->Terminated()) return nullptr;
  TacProviderList* list = ProviderList();
  if (!list) return nullptr;
  for (const auto& e : *list)
    if (e && e->AdapterWindow() == Window) return dynamic_cast<TacHookProvider*>(e.get());
  return nullptr;
}

gui::TCustomForm* FindVclFormForWindow(HWND Window) {
  if (gui::Screen == nullptr) return nullptr;
  for (int i = gui::Screen->FormCount() - 1; i >= 0; --i) {
    gui::TCustomForm* f = gui::Screen->Forms(i);
    if (f == nullptr || f->IsDestroying() || !f->HandleAllocated()) continue;
    if (f->WindowHandle() == Window) return f;
    if (f->FormStyle() == gui::TFormStyle::fsMDIForm)
      for (int j = 0; j < f->MDIChildCount(); ++j) {
        gui::TCustomForm* child = f->MDIChildren(j);
        if (child && child->HandleAllocated() && child->WindowHandle() == Window) return child;
      }
  }
  return nullptr;
}

int CountVisibleDialogProviders() {
  int n = 0;
  if (TacProviderList* list = ProviderList())
    for (const auto& e : *list)
      if (auto* p = dynamic_cast<TacHookProvider*>(e.get()))
        if (p->DialogAdapter && p->WindowHandle && IsWindowVisible(p->WindowHandle)) ++n;
  return n;
}

bool HasDescendantOfClass(HWND Window, const std::string& LowerCaseClassName) {
  for (HWND c = GetWindow(Window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (Lower(ClassNameOf(c)) == LowerCaseClassName) return true;
    if (HasDescendantOfClass(c, LowerCaseClassName)) return true;
  }
  return false;
}

void RemoveDestroyedProviders() {
  TacProviderList* list = ProviderList();
  if (!list) return;
  for (auto& e : *list) {
    auto* p = dynamic_cast<TacHookProvider*>(e.get());
    if (p == nullptr) continue;
    const bool formGone = p->FormProvider != nullptr && p->FormProviderAlive.expired();
    // A dialog adapter lets go of its window on WM_DESTROY (it is flagged destroyed or no longer attached).
    const bool dialogGone =
        p->FormProvider == nullptr &&
        (!IsWindow(p->WindowHandle) ||
         (p->DialogAdapter != nullptr && (p->DialogAdapter->Destroyed != 0 || !p->DialogAdapter->HasSavedProc())));
    if (!formGone && !dialogGone) continue;
    (void)e.release();
    FreeDeferred(p);
  }
}

// ---- The decisions.

bool AddSupportedWindow(HWND Window, const CREATESTRUCTA* CreateStruct) {
  TsSkinManager* m = DefaultManager();
  if (m == nullptr || ApplicationDestroying() || AnswersSkinned(Window)) return false;
  RemoveDestroyedProviders();
  std::string cls;
  if (CreateStruct && CreateStruct->lpszClass && !IS_INTRESOURCE(CreateStruct->lpszClass))
    cls = CreateStruct->lpszClass;
  if (cls.empty()) cls = ClassNameOf(Window);
  const LONG_PTR style = GetWindowLongPtrA(Window, GWL_STYLE);
  if ((style & WS_POPUP) && !(style & WS_BORDER)) return false;
  if (FindProviderForWindow(Window) != nullptr) return false;

  if (gui::TCustomForm* form = FindVclFormForWindow(Window)) {
    if (form->Tag() & 0x100) return false;
    // A form inside a control of a skinned form belongs to that form's control adapter, which gives it a provider
    // in the section its item events choose.
    if (form->Parent() != nullptr && FormProviderOf(form->Parent()) != nullptr) return false;
    if (form->IsLoading() && !form->MDIParent()) return true;
    if (std::binary_search(ExcludedFormClasses().begin(), ExcludedFormClasses().end(), cls)) return false;
    const TacSkinningRules need = cls == "TMessageForm" ? srStdDialogs : srStdForms;
    if (!(m->SkinningRules & need)) return false;
    // A form that already carries a provider answers AC_ISSKINNED above; this one has none.
    auto provider = std::make_unique<TacHookProvider>();
    TacHookProvider* p = AddToList(std::move(provider));
    p->InitForForm(form);
    if (form->FormStyle() == gui::TFormStyle::fsMDIForm)
      for (int j = 0; j < form->MDIChildCount(); ++j) {
        gui::TCustomForm* child = form->MDIChildren(j);
        if (child == nullptr || (child->HandleAllocated() && AnswersSkinned(child->WindowHandle()))) continue;
        AddToList(std::make_unique<TacHookProvider>())->InitForForm(child);
      }
    return true;
  }

  // A foreign window: only top-level dialogs.
  if (cls != "#32770" || WindowIsChild(Window) || !(m->SkinningRules & srStdDialogs)) return false;
  if (CountVisibleDialogProviders() >= MaxSkinnedDialogs && !HasDescendantOfClass(Window, "toolbarwindow32"))
    return false;
  bool allow = true;
  if (TsSkinManagerComponent* c = ManagerComponent(m); c && c->OnSysDlgInit) {
    TacSysDlgData data;
    data.WndHandle = Window;
    c->OnSysDlgInit(data, allow);
  }
  if (allow) {
    auto provider = std::make_unique<TacHookProvider>();
    TacHookProvider* raw = provider.get();
    AddToList(std::move(provider));
    if (!raw->InitForWindow(Window)) {
      // Taken out again and let go when no adapter procedure runs.
      TacProviderList* list = ProviderList();
      for (auto& e : *list)
        if (e.get() == raw) (void)e.release();
      FreeDeferred(raw);
    }
  }
  return true;
}

LRESULT CBTHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT result = CallNextHookEx(nullptr, Code, WParam, LParam);
  if (ApplicationDestroying()) return result;
  try {
    HWND w = reinterpret_cast<HWND>(WParam);
    switch (Code) {
      case HCBT_CREATEWND: {
        if (w == nullptr) break;
        const auto* cbt = reinterpret_cast<const CBT_CREATEWNDA*>(LParam);
        const CREATESTRUCTA* cs = cbt ? cbt->lpcs : nullptr;
        if (cs == nullptr) break;
        if (IS_INTRESOURCE(cs->lpszClass)) {
          const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(cs->lpszClass));
          if (atom == kMenuAtom) {
            TsSkinManager* m = DefaultManager();
            if (m && m->SkinnedPopups && MenuWindowAdapterFactory() && !AnswersSkinned(w))
              MenuWindowAdapterFactory()(w, m);
          } else if (atom == kDialogAtom) {
            AddSupportedWindow(w, nullptr);
          }
          break;
        }
        const std::string cls = ClassNameOf(w);
        if (cls == "TPUtilWindow" || cs->dwExStyle == 0 || cs->style == 0) break;
        if (gui::TCustomForm* main = gui::Application->MainForm()) {
          if (!main->HandleAllocated() || main->WindowHandle() == w) break;
        }
        if (!(cs->style & WS_CHILD) && !WindowIsChild(w)) AddSupportedWindow(w, cs);
        break;
      }
      case HCBT_DESTROYWND:
        // A dialog's glow and border windows go before the dialog: the system destroys owned windows first.
        if (TacDialogWnd* d = DialogAdapterOf(w)) {
          d->StopTitleGlows();
          d->BorderForm.reset();
        }
        RemoveDestroyedProviders();
        break;
      case HCBT_ACTIVATE:
        AddSupportedWindow(w, nullptr);
        break;
      default:
        break;
    }
  } catch (...) {
    // The window is left to the system.
  }
  return result;
}

TacDialogWnd* DialogAdapterOf(HWND Window) { return dynamic_cast<TacDialogWnd*>(AdapterOfWindow(Window)); }

}  // namespace skin
#endif
