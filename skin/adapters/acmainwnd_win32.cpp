// The base window adapter: the two routes into a window's message stream, the shared window procedure, attaching
// and detaching, and the common handling of the library command message.
#include "skin/adapters/acmainwnd.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "gui/forms.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/window_proc_win32.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/acglow.h"

namespace skin {

namespace {

constexpr char kUnicodeProp[] = "ACSBSCPROCW";  // present (1) when the shared procedure hooked with the W calls

void ReportException() {
  try {
    if (gui::Application) gui::Application->HandleException(nullptr);
  } catch (...) {
  }
}

WNDPROC SharedProc(bool unicode) { return unicode ? AdapterWindowProcW : AdapterWindowProcA; }

bool HookIsUnicode(HWND h) { return GetPropA(h, kUnicodeProp) != nullptr; }

// Takes the shared procedure out of the window when it is on top: the original back, both properties removed.
// True when the window no longer holds the hook.
bool UnhookWhenOnTop(HWND h) {
  const WNDPROC original = HookedOriginalProc(h);
  if (original == nullptr) return true;
  const bool unicode = HookIsUnicode(h);
  if (CurrentProc(h, unicode) != SharedProc(unicode)) return false;
  SetProc(h, unicode, original);
  RemovePropA(h, AdapterOriginalPropName);
  RemovePropA(h, kUnicodeProp);
  return true;
}

LRESULT CallProc(WNDPROC proc, bool unicode, HWND h, UINT msg, WPARAM w, LPARAM l) {
  try {
    return unicode ? CallWindowProcW(proc, h, msg, w, l) : CallWindowProcA(proc, h, msg, w, l);
  } catch (...) {
    ReportException();
    return 0;
  }
}

LRESULT DefaultProc(bool unicode, HWND h, UINT msg, WPARAM w, LPARAM l) {
  return unicode ? DefWindowProcW(h, msg, w, l) : DefWindowProcA(h, msg, w, l);
}

// What a window whose adapter is not reached gets: its original procedure, or the default one.
LRESULT Forward(bool unicode, HWND h, UINT msg, WPARAM w, LPARAM l) {
  const WNDPROC original = HookedOriginalProc(h);
  if (original == nullptr) return DefaultProc(unicode, h, msg, w, l);
  return CallProc(original, unicode, h, msg, w, l);
}

std::string Narrow(const std::wstring& w) {
  if (w.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

}  // namespace

// ---- The method route.

struct MethodLink {
  TacMainWnd* Adapter = nullptr;  // nullptr once the adapter let go while a later method sat on top
  gui::TWndMethod Saved;          // the WindowProc it replaced
};

namespace {

struct AdapterMethod {
  std::shared_ptr<MethodLink> Link;
  void operator()(gui::TMessage& m) const {
    // The method may be replaced (and this object destroyed) while the adapter handles the message.
    const std::shared_ptr<MethodLink> link = Link;
    AdapterProcScope scope;
    TacMainWnd* adapter = link->Adapter;
    if (adapter != nullptr && !adapter->MarkerAlive()) {
      CountPoisonedAdapterCall();
      OutputDebugStringA("skin adapter: a message reached a freed adapter through a control's WindowProc\n");
      adapter = nullptr;
    }
    if (adapter != nullptr) {
      try {
        adapter->WndProc(m);
        return;
      } catch (...) {
        ReportException();
      }
    }
    if (!link->Saved) return;
    try {
      link->Saved(m);
    } catch (...) {
      ReportException();
    }
  }
};

}  // namespace

// ---- Dispatching from the shared window procedure.

struct AdapterRoutes {
  static LRESULT Dispatch(TacMainWnd& a, bool unicode, HWND h, UINT msg, WPARAM w, LPARAM l) {
    gui::TMessage m{msg, w, l, 0};
    try {
      a.WndProc(m);
      return m.Result;
    } catch (...) {
      ReportException();
    }
    return Forward(unicode, h, msg, w, l);
  }

  static LRESULT Shared(bool unicode, HWND h, UINT msg, WPARAM w, LPARAM l) {
    AdapterProcScope scope;
    LRESULT result = 0;
    TacMainWnd* a = AdapterOfWindow(h);
    if (a != nullptr && !a->MarkerAlive()) {
      CountPoisonedAdapterCall();
      OutputDebugStringA("skin adapter: a message reached a freed adapter through the shared window procedure\n");
      a = nullptr;
    }
    if (a != nullptr && a->hookedWindowProc_ && a->Handle == h) {
      result = Dispatch(*a, unicode, h, msg, w, l);
    } else {
      const WNDPROC original = HookedOriginalProc(h);
      // No adapter is reached any more: while the shared procedure is on top it takes itself out.
      if (a == nullptr && original != nullptr) UnhookWhenOnTop(h);
      result = original != nullptr ? CallProc(original, unicode, h, msg, w, l) : DefaultProc(unicode, h, msg, w, l);
    }
    if (msg == WM_NCDESTROY) {
      // The window is gone: an adapter still attached lets go, and the hook's properties go with the window.
      if (TacMainWnd* still = AdapterOfWindow(h); still != nullptr && still->MarkerAlive()) {
        TacMainWnd* variable = still;
        DetachWindow(h, false, false, variable);
      }
      RemovePropA(h, AdapterPropName);
      UnhookWhenOnTop(h);
      RemovePropA(h, AdapterOriginalPropName);
      RemovePropA(h, kUnicodeProp);
    }
    return result;
  }
};

LRESULT CALLBACK AdapterWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return AdapterRoutes::Shared(false, Wnd, Msg, WParam, LParam);
}

LRESULT CALLBACK AdapterWindowProcW(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return AdapterRoutes::Shared(true, Wnd, Msg, WParam, LParam);
}

// ---- Properties and helpers.

uint8_t& DispatcherSkinning() {
  static uint8_t flag = 0;
  return flag;
}

TacMainWnd* AdapterOfWindow(HWND Wnd) {
  if (Wnd == nullptr) return nullptr;
  return static_cast<TacMainWnd*>(GetPropA(Wnd, AdapterPropName));
}

WNDPROC HookedOriginalProc(HWND Wnd) {
  if (Wnd == nullptr) return nullptr;
  return reinterpret_cast<WNDPROC>(GetPropA(Wnd, AdapterOriginalPropName));
}

namespace {
thread_local HWND g_attachPaintDeferred = nullptr;
}  // namespace

AttachPaintDeferral::AttachPaintDeferral(HWND Wnd) : previous_(g_attachPaintDeferred) { g_attachPaintDeferred = Wnd; }
AttachPaintDeferral::~AttachPaintDeferral() { g_attachPaintDeferred = previous_; }
bool AttachPaintDeferred(HWND Wnd) { return Wnd != nullptr && Wnd == g_attachPaintDeferred; }

void RedrawWindowFrame(HWND Wnd, bool Full) {
  if (Full)
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  else
    SendMessageA(Wnd, WM_NCPAINT, 1, 0);
}

void BroadcastToControlChildren(gui::TControl* Control, gui::TMessage& Message) {
  if (auto* w = dynamic_cast<gui::TWinControl*>(Control)) BroadcastToChildren(w, Message);
}

bool SkinChangeInProgress(const TsSkinManager* Manager) {
  return AnimationInProgress() != 0 || (Manager != nullptr && Manager->SkinLoading != 0);
}

// ---- Attaching and detaching.

bool AttachWindow(TacMainWnd* Adapter, HWND Wnd) {
  if (Adapter == nullptr || Wnd == nullptr || !IsWindow(Wnd)) return false;
  if (TacMainWnd* existing = AdapterOfWindow(Wnd); existing != nullptr && existing != Adapter) return false;
  Adapter->AttachState = 0;
  Adapter->Handle = Wnd;
  SetPropA(Wnd, AdapterPropName, Adapter);
  TsCommonData* data = Adapter->SkinData;
  gui::TControl* control = data != nullptr ? data->OwnerControl : nullptr;
  auto* provider = data != nullptr ? dynamic_cast<TacFormProvider*>(data->OwnerObject) : nullptr;
  if (control == nullptr && provider == nullptr) {
    if (const WNDPROC dormant = HookedOriginalProc(Wnd)) {
      // The shared procedure still sits in the window's chain (an earlier adapter could not take it out while
      // another procedure was on top): the new adapter is reached through it.
      Adapter->unicode_ = HookIsUnicode(Wnd);
      Adapter->OldWndProc = dormant;
    } else {
      const bool unicode = IsWindowUnicode(Wnd) != FALSE;
      const WNDPROC old = CurrentProc(Wnd, unicode);
      SetPropA(Wnd, AdapterOriginalPropName, reinterpret_cast<HANDLE>(old));
      if (unicode) SetPropA(Wnd, kUnicodeProp, reinterpret_cast<HANDLE>(1));
      SetProc(Wnd, unicode, SharedProc(unicode));
      Adapter->unicode_ = unicode;
      Adapter->OldWndProc = old;
    }
    Adapter->keptProc_ = Adapter->OldWndProc;
    Adapter->hookedWindowProc_ = true;
    return true;
  }
  gui::TControl* target = provider != nullptr ? provider->Form() : control;
  if (target == nullptr) return true;
  auto link = std::make_shared<MethodLink>();
  link->Adapter = Adapter;
  link->Saved = target->WindowProc;
  target->WindowProc = AdapterMethod{link};
  Adapter->keptLink_ = link;
  Adapter->link_ = std::move(link);
  Adapter->methodTarget_ = target;
  return true;
}

// Step 1 of detaching: what the adapter replaced is put back when it is still on top. True when it was.
bool DetachWindowProc(TacMainWnd* Adapter) {
  bool done = true;
  if (Adapter->link_) {
    const std::shared_ptr<MethodLink> link = std::move(Adapter->link_);
    if (gui::TControl* target = Adapter->methodTarget_) {
      const AdapterMethod* top = target->WindowProc.target<AdapterMethod>();
      if (top != nullptr && top->Link == link)
        target->WindowProc = link->Saved;
      else
        done = false;  // a later method sits on top: ours stays in its chain and forwards
    }
    link->Adapter = nullptr;
    Adapter->methodTarget_ = nullptr;
  } else if (Adapter->hookedWindowProc_) {
    const HWND h = Adapter->Handle;
    if (GetPropA(h, AdapterPropName) == Adapter) RemovePropA(h, AdapterPropName);
    done = UnhookWhenOnTop(h);
    Adapter->hookedWindowProc_ = false;
    Adapter->OldWndProc = nullptr;
  }
  return done;
}

bool DetachWindow(HWND Wnd, bool FreeAdapter, bool RedrawFrame, TacMainWnd*& Adapter) {
  if (Adapter == nullptr || Adapter->Destroyed || Adapter->detached_) return false;
  Adapter->detached_ = true;
  const bool done = DetachWindowProc(Adapter);
  const HWND h = Adapter->Handle != nullptr ? Adapter->Handle : Wnd;
  if (h != nullptr && GetPropA(h, AdapterPropName) == Adapter) RemovePropA(h, AdapterPropName);
  Adapter->RestoreColors();
  Adapter->DetachedFromWindow();
  if (h != nullptr && IsWindow(h) && IsWindowVisible(h)) RedrawWindowFrame(h, RedrawFrame);
  Adapter->Destroyed = done ? 1 : 0;
  if (FreeAdapter) skin::FreeAdapter(Adapter);
  return done;
}

void FreeAdapter(TacMainWnd*& Adapter) {
  if (Adapter == nullptr) return;
  TacMainWnd* a = Adapter;
  Adapter = nullptr;
  a->Release();
}

// ---- The adapter.

TacMainWnd::~TacMainWnd() {
  if (OwnsSkinData) delete SkinData;
  SkinData = nullptr;
}

void TacMainWnd::Initialize() {
  if (SkinData != nullptr) SkinData->RepaintBlocked = 0;
}

void TacMainWnd::InitCommonData() {
  if (SkinData != nullptr) return;
  SkinData = new TsCommonData();
  OwnsSkinData = 1;
  SkinData->RepaintBlocked = 1;
}

gui::TWinControl* TacMainWnd::OwnerWinControl() const {
  return SkinData != nullptr ? dynamic_cast<gui::TWinControl*>(SkinData->OwnerControl) : nullptr;
}

void TacMainWnd::Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
                        bool Repaint) {
  Handle = Wnd;
  OldWndProc = nullptr;
  link_.reset();
  auto* provider = Data != nullptr ? dynamic_cast<TacFormProvider*>(Data->OwnerObject) : nullptr;
  const bool keepTheme = (provider != nullptr && !provider->DrawNonClientArea()) || KeepsVisualStyle() ||
                         Params.SkinSection == "DIALOG" || DispatcherSkinning() != 0;
  if (!keepTheme)
    if (SetWindowThemeFn theme = SetWindowThemeEntry()) theme(Wnd, L" ", L" ");
  SkinManager = Manager != nullptr ? Manager : DefaultManager();
  Destroyed = 0;
  if (Data != nullptr) {
    SkinData = Data;
  } else {
    InitCommonData();
    if (!Params.SkinSection.empty()) SetSectionName(Params.SkinSection);
    SkinData->OwnerControl = Params.Control;
    SkinData->OwnerObject = Params.Control;
    SkinData->CustomFont = Params.UseSkinFont ? 0 : 1;
    SkinData->CustomColor = Params.UseSkinColor ? 0 : 1;
  }
  SkinData->WndHandle = Wnd;
  CreatedByDispatcher = DispatcherSkinning() != 0 ? 1 : 0;
  SaveColors();
  Skinned = 0;
  textStale_ = true;
  Attach(Repaint);
  if (gui::TControl* control = SkinData->OwnerControl) {
    SavedControlStyle = control->ControlStyle();
    control->SetControlStyle(SavedControlStyle | gui::csOpaque);
  }
  Initialize();
}

void TacMainWnd::Attach(bool Repaint) {
  if (!AttachWindow(this, Handle)) Destroyed = 1;  // the window has another adapter: this one stays apart
}

void TacMainWnd::SetSectionName(const std::string& Name) {
  std::string upper = Name;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  SkinData->SkinSection = upper;
  CommonDataUpdateIndexes(*SkinData, true);
}

LRESULT TacMainWnd::CallOriginalWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM& LParam) {
  if (link_ && link_->Saved) {
    const std::shared_ptr<MethodLink> link = link_;
    gui::TMessage m{Msg, WParam, LParam, 0};
    link->Saved(m);
    LParam = m.LParam;
    return m.Result;
  }
  if (OldWndProc != nullptr) return CallProc(OldWndProc, unicode_, Wnd, Msg, WParam, LParam);
  if (keptLink_ && keptLink_->Saved) {
    const std::shared_ptr<MethodLink> link = keptLink_;
    gui::TMessage m{Msg, WParam, LParam, 0};
    link->Saved(m);
    LParam = m.LParam;
    return m.Result;
  }
  if (keptProc_ != nullptr && IsWindow(Wnd)) return CallProc(keptProc_, unicode_, Wnd, Msg, WParam, LParam);
  return 0;
}

void TacMainWnd::WindowRectInParent() {
  RECT r{};
  GetWindowRect(Handle, &r);
  WndRect = TRect{r.left, r.top, r.right, r.bottom};
  ParentWnd = GetParent(Handle);
  RECT pr{};
  if (ParentWnd != nullptr) GetWindowRect(ParentWnd, &pr);
  ParentRect = TRect{pr.left, pr.top, pr.right, pr.bottom};
  WndSize = TSize{std::max<int32_t>(r.right - r.left, 0), std::max<int32_t>(r.bottom - r.top, 0)};
  POINT p{r.left, r.top};
  if (ParentWnd != nullptr) ScreenToClient(ParentWnd, &p);
  WndPos = TPoint{p.x, p.y};
}

const std::string& TacMainWnd::WindowText() {
  if (!textStale_) return windowText_;
  textStale_ = false;
  windowText_.clear();
  if (Handle == nullptr || !IsWindow(Handle)) return windowText_;
  // Sized first: the length asked, then a buffer of that size (plus the terminator) read.
  if (IsWindowUnicode(Handle)) {
    const int n = GetWindowTextLengthW(Handle);
    if (n <= 0) return windowText_;
    std::wstring w(size_t(n) + 1, L'\0');
    const int got = GetWindowTextW(Handle, w.data(), n + 1);
    w.resize(size_t(got > 0 ? got : 0));
    windowText_ = Narrow(w);
  } else {
    const int n = GetWindowTextLengthA(Handle);
    if (n <= 0) return windowText_;
    std::string s(size_t(n) + 1, '\0');
    const int got = GetWindowTextA(Handle, s.data(), n + 1);
    s.resize(size_t(got > 0 ? got : 0));
    windowText_ = std::move(s);
  }
  return windowText_;
}

void TacMainWnd::Release() {
  if (released_) return;
  released_ = true;
  ReleaseSteps();
  FreeDeferred(this);
}

void TacMainWnd::ReleaseSteps() {
  if (SkinData == nullptr) return;
  if (!Destroyed && !detached_) {
    detached_ = true;
    if (SkinManager != nullptr && SavedControlStyle != 0)
      if (gui::TControl* control = SkinData->OwnerControl) control->SetControlStyle(SavedControlStyle);
    // Whatever the owner is doing, the window is let go of: it must never reach a freed adapter.
    DetachWindowProc(this);
    if (Handle != nullptr && GetPropA(Handle, AdapterPropName) == this) RemovePropA(Handle, AdapterPropName);
    RestoreColors();
    DetachedFromWindow();
  }
  if (Handle != nullptr && IsWindow(Handle))
    if (SetWindowThemeFn theme = SetWindowThemeEntry()) {
      auto* provider = dynamic_cast<TacFormProvider*>(SkinData->OwnerObject);
      if (provider != nullptr ? provider->DrawNonClientArea() : !(SkinData->ControlKind == ckListView && CompositionEnabled()))
        theme(Handle, nullptr, nullptr);
    }
  Destroyed = 1;
  SkinManager = nullptr;
}

void TacMainWnd::AnswerBackground(BackgroundInfo& Info) {
  // A window that no control serves keeps the image of its whole window, border included, while its children
  // ask in client coordinates: the answer is moved by where the client area starts (nothing without a border).
  TPoint origin{};
  if (SkinData->OwnerControl == nullptr && Handle != nullptr) {
    RECT wr{};
    POINT client{0, 0};
    if (GetWindowRect(Handle, &wr) && ClientToScreen(Handle, &client))
      origin = TPoint{client.x - wr.left, client.y - wr.top};
  }
  if (Info.PleaseDraw) {
    // The drawing takes the cache at the requested rectangle moved by the offset the request carries.
    Info.Offset = TPoint{Info.Offset.X + origin.X, Info.Offset.Y + origin.Y};
    CommonDataPaintParentBg(*SkinData, Info, 0, Handle);
    return;
  }
  CommonDataPaintParentBg(*SkinData, Info, 0, Handle);
  // A colour answer may come with the image too (its border bands hold valid pixels): the same offset applies.
  if (Info.Bmp != nullptr)
    Info.Offset = TPoint{Info.Offset.X + origin.X, Info.Offset.Y + origin.Y};
}

bool TacMainWnd::CompositionEnabled() {
  using Fn = HRESULT(WINAPI*)(BOOL*);
  static const Fn entry = [] {
    HMODULE dwm = LoadLibraryA("dwmapi.dll");
    return dwm != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")))
                          : nullptr;
  }();
  BOOL on = FALSE;
  return entry != nullptr && SUCCEEDED(entry(&on)) && on;
}

bool TacMainWnd::HandleDestroyMessage(gui::TMessage& m) {
  if (m.Msg != WM_DESTROY && m.Msg != WM_NCDESTROY) return false;
  windowGoing_ = true;
  if (SkinData != nullptr) HideGlow(SkinData->GlowID, false);  // the glow goes at once with its control
  if (gui::TWinControl* owner = OwnerWinControl()) {
    std::vector<gui::TControl*> children;
    for (int i = 0; i < owner->ControlCount(); ++i) children.push_back(owner->Controls(i));
    for (gui::TControl* child : children)
      if (std::string(child->ClassName()) == "TSpeedButton") child->Perform(WM_DESTROY, 0, 0);
  }
  if (!HasSavedProc()) {
    // Already detached: the original procedure (or the default one) answers; the window is never sent the
    // message again, which would come straight back here.
    if (keptProc_ != nullptr || keptLink_)
      CallOriginal(m);
    else
      m.Result = Forward(unicode_, Handle, m.Msg, m.WParam, m.LParam);
    return true;
  }
  TacMainWnd* self = this;
  if (SkinData != nullptr && SkinData->OwnerControl != nullptr) {
    // The control's own WindowProc gets the message once, after the adapter let go.
    const std::shared_ptr<MethodLink> link = link_;
    DetachWindow(Handle, false, false, self);
    try {
      if (link && link->Saved) link->Saved(m);
    } catch (...) {
      ReportException();
    }
  } else {
    LRESULT answer = 0;
    try {
      answer = CallOriginal(m);
    } catch (...) {
      ReportException();
    }
    if (answer == 0) DetachWindow(Handle, false, false, self);
  }
  m.Result = 1;
  return true;
}

void TacMainWnd::WndProc(gui::TMessage& m) {
  if (HandleDestroyMessage(m)) return;
  switch (m.Msg) {
    case WM_SIZE:
      if (SkinData != nullptr) SkinData->BGChanged = true;
      break;
    case WM_SETTEXT:
      CallOriginal(m);
      textStale_ = true;
      return;
    case WM_CONTEXTMENU:
      InstallOwnPopupMenu();
      break;
    case WM_UPDATEUISTATE:
      return;
    case WM_MOUSEMOVE:
      NoteHotControl();
      break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      ForgetHotControl();
      break;
    case WM_PRINT:
      m.Result = SendMessageA(Handle, WM_PAINT, m.WParam, m.LParam);
      return;
    default:
      break;
  }
  CommonWndProc(m);
}

bool TacMainWnd::PaintHeldBack() {
  if (SkinData == nullptr || (SkinData->CtrlState & csPrinting)) return false;
  return SkinData->Updating != 0 || CommonDataIsUpdating(*SkinData, false);
}

void TacMainWnd::NoteHotControl() {
  TsSkinManager* m = DefaultManager();
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (m == nullptr || control == nullptr || (m->State() & csDesigning) || !IsWindowEnabled(Handle)) return;
  TsSkinManagerComponent* component = ManagerComponent(m);
  if (component != nullptr && component->HotControl() != control) SkinManagerSetHotControl(m, control);
}

void TacMainWnd::ForgetHotControl() {
  TsSkinManager* m = DefaultManager();
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  TsSkinManagerComponent* component = m != nullptr ? ManagerComponent(m) : nullptr;
  if (component == nullptr || control == nullptr || component->HotControl() != control || !PointerLeft()) return;
  SkinManagerSetHotControl(m, nullptr);
}

bool TacMainWnd::PointerLeft() const {
  POINT c{};
  GetCursorPos(&c);
  return WindowFromPoint(c) != Handle;
}

void TacMainWnd::InstallOwnPopupMenu() {
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (control == nullptr || control->PopupMenu() == nullptr || SkinManager == nullptr) return;
  if (TsSkinableMenus* menus = SkinableMenusOf(SkinManager))
    InstallPopupMenuHandlers(*menus, *control->PopupMenu(), SkinManager->Active());
}

void TacMainWnd::CommonWndProc(gui::TMessage& m) {
  if (SkinData == nullptr || SkinManager == nullptr || !SkinManager->Active() || m.Msg != WM_SKINCOMMAND ||
      SkinCommandCode(m.WParam) >= AC_GETCLIENTOFFSET || !AcceptSkinCommand(m)) {
    CallOriginal(m);
    return;
  }
  const LPARAM managerParam = reinterpret_cast<LPARAM>(SkinManager);
  switch (SkinCommandCode(m.WParam)) {
    case AC_SKINLOADED:
      if (m.LParam != managerParam) break;
      CommonDataUpdateIndexes(*SkinData, true);
      SkinData->BGChanged = true;
      BroadcastToChildren(OwnerWinControl(), m);
      break;
    case AC_SKINREFRESH: {
      if (m.LParam != managerParam) break;
      CommonDataUpdateIndexes(*SkinData, true);
      SkinData->BGChanged = true;
      SkinData->Updating = 0;
      gui::TControl* control = SkinData->OwnerControl;
      const bool visible = control != nullptr ? control->Visible() : IsWindowVisible(Handle) != FALSE;
      if (!AnimationInProgress() && visible) SendMessageA(Handle, WM_PAINT, 0, 0);
      if (!Destroyed) BroadcastToChildren(OwnerWinControl(), m);
      return;
    }
    case AC_FLUSHREPAINT:
      if (!SkinData->Updating) break;
      if (!CommonDataIsUpdating(*SkinData, true)) {
        SendMessageA(Handle, WM_NCPAINT, 0, 0);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
      if (!Destroyed) RepaintChildControls(OwnerWinControl());
      return;
    case AC_UPDATECACHE:
      PaintSubclassedBackground(SkinData, Handle, false);
      break;
    case AC_SKINREMOVED:
      if (m.LParam == managerParam) RestoreColors();
      break;
    case AC_ISSKINNED:
      m.Result = 1;
      return;
    case AC_ISUPDATELOCKED:
      // A container that holds its repaints keeps its children from painting over it meanwhile.
      m.Result = CommonDataUpdateLocked(*SkinData) ? 1 : 0;
      return;
    case AC_SETSECTION: {
      const auto* record = reinterpret_cast<const TacSectionRecord*>(m.LParam);
      if (record == nullptr || record->SectionName == nullptr) {
        m.Result = 0;
        return;
      }
      SetSectionName(record->SectionName);
      SkinData->BGChanged = true;
      if (IsWindowVisible(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      m.Result = 1;
      return;
    }
    case AC_ISCACHEUSABLE:
      if (SkinData->OwnerControl == nullptr) break;
      CommonDataMessage(m, SkinData);
      return;
    case AC_GETCOLOR:
      if (CallOriginal(m) == 0) m.Result = LRESULT(CommonDataGetBgColor(*SkinData, 0, Handle));
      return;
    case AC_GETBACKGROUND:
      if (auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam)) AnswerBackground(*info);
      return;
    case AC_GETADAPTER:
      m.Result = reinterpret_cast<LRESULT>(this);
      return;
    case AC_GETSKINDATA:
      m.Result = reinterpret_cast<LRESULT>(SkinData);
      return;
    case AC_SETPAINTTARGET:
      if (m.LParam != 0)
        SkinData->CtrlState |= csPrinting;
      else
        SkinData->CtrlState &= uint16_t(~csPrinting);
      SkinData->PrintDC = reinterpret_cast<void*>(m.LParam);
      break;
    case AC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(gui::Application);
      return;
    case AC_PAINTOUTEREFFECT:  // the control's shadow, into its parent's image
      CommonDataMessage(m, SkinData);
      return;
    default:
      break;
  }
  CallOriginal(m);
}

}  // namespace skin
