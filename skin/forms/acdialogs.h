#pragma once
// Windows that no skinned form owns: system dialogs (message boxes, the common dialogs), popup menus and forms of
// the program that were given no skin provider. The skin manager's window-creation hook of the GUI thread hands
// each of them to this unit as it is created or activated:
// - a form of the program gets an automatic skin provider (TsSkinProvider::CreateForForm);
// - a top-level "#32770" dialog gets a TacHookProvider that owns a TacDialogWnd (the dialog's skinned frame,
//   caption, caption buttons and system menu) and one window adapter per child window;
// - a popup-menu window ("#32768") goes to the popup-menu adapter through MenuWindowAdapterFactory().
//
// Adapter classes that live in other units plug in through two registration points that this unit only reads:
// MenuWindowAdapterFactory() for popup-menu windows and DialogChildAdapterFactories() for child classes
// (list views, tab controls, tree views, ...) whose adapters this unit does not make itself.
//
// Lifetime: a provider is taken out of ProviderList and handed to the adapters' deferred list once its dialog is
// gone, never freed inside a handler of its own windows. Switching the skin off frees every provider; a dialog
// still open then gets back its system menu, its full window and its own frame.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/graphics.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skinchange.h"
#include "skin/forms/acdialogwnd.h"
#include "skin/forms/sskinprovider.h"

namespace skin {

// Fills the manager's window-creation hook and the popup-menu adapters' clean-up (TacManagerServices). Called by
// every skin provider's construction; callable any time (idempotent; nothing natively, where no window exists).
void InstallDialogHookServices();

}  // namespace skin

#ifdef _WIN32
namespace skin {

// ---- Settings.
// From this number of visible skinned dialogs on, a new dialog is skinned only when it holds a tool bar.
inline constexpr int MaxSkinnedDialogs = 2;
// Where a newly skinned dialog is moved to (both -1: left where it is).
struct DialogStartPosition {
  int32_t X = -1;
  int32_t Y = -1;
};
DialogStartPosition& DialogStartPos();
// Window classes of the program that are never skinned.
const std::vector<std::string>& ExcludedFormClasses();

// ---- Registration points of adapters built elsewhere.
// Makes the popup-menu window adapter for a "#32768" window (Manager: the default manager; section "MAINMENU");
// nullptr leaves the window to the system. The made adapter belongs to whoever made it (by default the popup-menu
// adapters' own list, freed with FreeMenuWindowAdapters()).
using MenuAdapterFactory = std::function<TacMainWnd*(HWND MenuWindow, TsSkinManager* Manager)>;
MenuAdapterFactory& MenuWindowAdapterFactory();
// Makes the adapter of a dialog's child window of a class (lower case) that this unit does not adapt itself, with
// the skin section given (may be empty). The factory returns nullptr to leave the window alone.
using ChildAdapterFactory =
    std::function<TacMainWnd*(HWND Child, TsSkinManager* Manager, const std::string& Section)>;
std::map<std::string, ChildAdapterFactory>& DialogChildAdapterFactories();

// The provider of a hooked window: an automatic form provider for a form of the program, or the dialog adapter
// and the child adapters of a foreign dialog.
class TacHookProvider : public TacProvider, public DeferredFree, public TacDialogHost {
 public:
  TacHookProvider() = default;
  ~TacHookProvider() override;
  HWND AdapterWindow() const override { return WindowHandle; }
  void SkinChildren(HWND Dialog) override;
  void DialogGoing() override;

  bool InitForWindow(HWND Window);
  void InitForForm(gui::TCustomForm* Form);

  HWND WindowHandle = nullptr;
  TsSkinProvider* FormProvider = nullptr;  // owned by its form
  gui::TCustomForm* Form = nullptr;
  TacDialogWnd* DialogAdapter = nullptr;
  std::vector<TacMainWnd*> ChildAdapters;
  std::weak_ptr<const int> FormProviderAlive;
};

// 0 while no child window of a dialog is being adapted; the depth of nested SkinChildWindow calls otherwise.
int ChildSkinningDepth();

// ---- The hook and its decisions.
LRESULT CBTHookProc(int Code, WPARAM WParam, LPARAM LParam);
bool AddSupportedWindow(HWND Window, const CREATESTRUCTA* CreateStruct);
void CreateDialogAdapter(HWND Window, TacDialogWnd*& Adapter);
bool SkinChildWindows(TacHookProvider& Provider, HWND Parent);
bool SkinChildWindow(TacHookProvider& Provider, HWND Child);
// Providers whose dialog is gone are taken out of the list (their slots set to nullptr) and freed through the
// deferred list.
void RemoveDestroyedProviders();
TacHookProvider* FindProviderForWindow(HWND Window);
gui::TCustomForm* FindVclFormForWindow(HWND Window);
int CountVisibleDialogProviders();
bool HasDescendantOfClass(HWND Window, const std::string& LowerCaseClassName);

}  // namespace skin
#endif
