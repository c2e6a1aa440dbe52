#pragma once
// The skin change as every form sees it: the list of skinned forms, the three sweeps over the forms of one
// manager around a change (before the load, the lock before the forms are told, the release afterwards),
// and the broadcasts of a library command to every form and its controls.
//
// The form skin providers and the window adapters are built above this library. What the sweeps and the
// manager ask of a provider is the interface TacFormProvider below (a provider answers AC_GETPROVIDER with
// the address of its TacFormProvider); the few services of the layers above that the manager calls (glows,
// animations, skinned menus, the window-creation hook) are replaceable functions in TacManagerServices, empty
// until those layers fill them.
//
// Walks over the lists run over a copy and skip the entries removed meanwhile, so that a form or a provider
// freed by a handler during a walk is never reached.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gui/forms.h"
#include "gui/messages.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"

namespace skin {

// 1 while a skin-change transition of the default manager is prepared or shown (and during the show and
// hide animations): painters hold back while it is set.
uint8_t& AnimationInProgress();

// State flags of a form skin provider that the sweeps set and clear.
inline constexpr uint32_t pfFramePainted = 0x200;     // the frame was painted already
inline constexpr uint32_t pfBorderSnapshot = 0x1000;  // holds a snapshot for its border window
inline constexpr uint32_t pfRedrawLocked = 0x10000;   // redraw switched off by the lock sweep

// A window an animation runs on, and how it is let go at the end (a helper destroyed, a border window hidden).
struct TacAnimWindow {
  HWND Wnd = nullptr;
  std::function<void()> Free;
};

// What the manager asks of a form's skin provider. The provider of subsystem 6 derives from it; its form's
// window answers AC_GETPROVIDER with the address of this object.
class TacFormProvider {
 public:
  virtual ~TacFormProvider() = default;

  // The skinned form.
  virtual gui::TCustomForm* Form() const = 0;
  // Its skin data's manager: its own, else the default one (nullptr when neither exists).
  virtual TsSkinManager* SkinManager() const = 0;
  // Whether it paints the form's frame (title bar and borders) itself.
  virtual bool DrawNonClientArea() const { return true; }
  // Whether the form shows the skin now.
  virtual bool Skinned() const { return SkinManager() != nullptr; }

  uint8_t SkinChangingByte = 0;      // 1 while a skin change is under way for the form
  uint32_t StateFlags = 0;           // pf* above
  uint8_t MinimizingFlag = 0;        // its minimize animation runs
  uint8_t MinimizedByLibrary = 0;    // the library minimized the application through it

  // The extended-border window (none by default).
  virtual bool HasBorderForm() const { return false; }
  virtual bool BorderFormHasImage() const { return false; }
  // A new snapshot of the form (with its controls) replaces the one kept for the border window.
  virtual void TakeBorderSnapshot() {}
  // The kept snapshot is shown on the border window (full alpha), which gets its region again.
  virtual void ShowBorderSnapshot() {}
  // The border window gets its region and is repainted with that alpha.
  virtual void UpdateBorderForm(uint8_t Alpha) {}
  // The same with the frame cache as it is, composed again only when it is out of date.
  virtual void ShowBorderFrame(uint8_t Alpha) { UpdateBorderForm(Alpha); }
  // The border window gets its region before a hide animation.
  virtual void SetBorderFormRegion() {}
  // The part of the border window its region leaves to the form's own window (border window coordinates); false
  // when it has none.
  virtual bool BorderClientHole(TRect& Hole) { return false; }
  // The border window is flagged and its image freed (minimizing without animation).
  virtual void ReleaseBorderImage() {}
  // The border window's flag is cleared.
  virtual void ClearBorderFlag() {}
  // The skin's title height for the form (the maximized one when asked or when the skin gives one and the
  // form is zoomed).
  virtual int32_t SkinTitleHeight(bool Maximized) const { return 0; }
  // The transparent corners are collected again and the form's window region set.
  virtual void UpdateRegion(bool Repaint) {}
  // The form's cached frame image is dropped.
  virtual void DropFrameCache() {}
  // The form lost WS_EX_LAYERED after a restore: the skin data remembers it.
  virtual void LayeredStyleRemoved() {}
  // The form's frame cache (window coordinates), nullptr while it has none.
  virtual const Bitmap* FrameCacheBitmap() const { return nullptr; }

  // ---- What the show, hide and skin-change animations ask.
  // The frame repainted into the frame cache (the frame-painted flag pfFramePainted set).
  virtual void PaintFrame() {}
  // The rectangles the form's region cuts away (window coordinates).
  virtual std::vector<TRect> RegionCutOuts() const { return {}; }
  // The window an animation shows the form's picture on: the border window with extended borders, or a helper the
  // provider keeps; none: the animation makes a helper of its own. A hide owns the window it gets.
  virtual TacAnimWindow AnimationWindow(bool Hide) { return {}; }
  // After a hide: the border form freed (WindowOnly: only its window).
  virtual void FreeBorderForm(bool WindowOnly) {}
  // The form's OnAfterAnimation (1: a hide animation ended).
  virtual void AfterAnimation(int32_t Value) {}
  // A show fade's picture, at full size, as it ended (the form's window at WindowAt in it), for the form to show
  // once it is opaque; dropped by default.
  virtual void KeepShowPicture(std::unique_ptr<Bitmap> Picture, const TPoint& WindowAt) {}
  // Minimize and restore animations of the form.
  virtual void StartMinimizeAnimation() {}
  virtual void StartRestoreAnimation() {}
  // Desktop window manager previews of the main form (the hook returns their result).
  virtual intptr_t SendIconicLivePreview(HWND ApplicationWindow) { return 0; }
  virtual intptr_t SendIconicThumbnail(HWND ApplicationWindow, int MaxWidth, int MaxHeight) { return 0; }
};

// A provider of a skinned dialog or foreign top-level window (the window-creation hook makes them).
class TacProvider {
 public:
  virtual ~TacProvider() = default;
  // The window of its adapter.
  virtual HWND AdapterWindow() const = 0;
};

// The providers of hooked windows: exists while the manager's window-creation hook is installed (nullptr
// otherwise). Removed entries are set to nullptr; the list is not compacted.
using TacProviderList = std::vector<std::unique_ptr<TacProvider>>;
TacProviderList* ProviderList();
// Makes the list when it is absent.
void CreateProviderList();
// Frees every entry, one by one, then the list.
void FreeProviderList();

// Services of the layers above that the manager calls. Each is empty until its layer fills it; an empty one is
// skipped. ClearGlows starts as the painters' own (skin/painters/acglow.h).
struct TacManagerServices {
  // Frees every glow window (with False the glow windows are not released one by one).
  std::function<void(bool ReleaseWindows)> ClearGlows;
  // Frees every popup-menu window adapter.
  std::function<void()> FreeMenuWindowAdapters;
  // The window-creation hook procedure (WH_CBT of the user-interface thread): its answer, or nothing to pass
  // the event on. Replaceable; with none, every event is passed on.
  std::function<bool(int Code, WPARAM WParam, LPARAM LParam, LRESULT& Result)> CBTHookProc;
  // The skin-change transition of a form (time in ms, alpha, aero mode).
  std::function<void(TacFormProvider& Provider, uint16_t Time, uint8_t Alpha, bool Aero)> AnimSkinChange;
  // The hide animation of a form; returns when it has ended.
  std::function<void(TacFormProvider& Provider)> AnimHideForm;
  // The constant alpha of a window.
  std::function<void(HWND Window, uint8_t Alpha)> SetWindowAlpha;
  // The skinned menus: the cached border width (and the popups' cached backgrounds) reset when a skin is applied
  // or removed; their hooks follow SkinnedPopups and the skin; a popup menu window (and the item that asked, when
  // known) is shaped and painted from its cached background (false when the menus have none for it).
  std::function<void(TsSkinManager& Manager)> ResetMenuBorderWidth;
  std::function<void(TsSkinManager& Manager, bool On)> UpdateMenuHooks;
  std::function<bool(HWND MenuWindow, gui::TMenuItem* Item)> PaintPopupMenuWindow;
};
TacManagerServices& ManagerServices();

// ---- Skinned forms.

// The forms that have a form skin provider, in registration order (a removal moves the last entry into the
// freed slot).
const std::vector<gui::TCustomForm*>& SkinnedFormsList();
void RegisterSkinnedForm(gui::TCustomForm* Form);
// Every slot that holds the form receives the last entry and the list is shortened; a form that is not listed,
// or an empty list, is left alone.
void UnregisterSkinnedForm(gui::TCustomForm* Form);
bool IsSkinnedFormRegistered(const gui::TCustomForm* Form);

// The provider of a form: its window's answer to AC_GETPROVIDER (nullptr without one).
TacFormProvider* FormProvider(gui::TCustomForm* Form);

// For every listed form that is not minimized, has no parent control, has its window and is visible, and whose
// provider serves Manager: Callback(provider). (The headless forms of the native build stand for their windows.)
void ForEachProviderForm(TsSkinManager& Manager, const std::function<void(TacFormProvider&)>& Callback);

// ---- The sweeps.

// Before a new skin is loaded: providers with a border window keep a snapshot (none while a transition is under
// way: the border window is not updated then, the snapshot would never show); every provider is flagged as
// changing its skin. Nothing while the application is minimized or the manager is being read.
void SkinChangeBeforeAll(TsSkinManager& Manager);
// Before the forms are told: every form is locked (its redraw switched off) and a border window shows its
// snapshot. Nothing while the application is minimized.
void SkinChangeLockAll(TsSkinManager& Manager);
// After the new skin was broadcast: every locked form is unlocked and shown with the new skin (with the
// skin-change transition when Animate and the manager asks for it). Nothing while the application is minimized.
void SkinChangeAfterAll(TsSkinManager& Manager, bool Animate);
// Lets go of whatever a skin change of this manager still holds: locked forms are unlocked and redrawn, the
// skin-changing flags cleared, and the animation flag (of the default manager) reset. For a change that ended
// early (a failed load, a switch-off, an exception in the sweep).
void SkinChangeRelease(TsSkinManager& Manager);

// ---- Broadcasts.

// Every form of the application (last component first) that is not being destroyed or loaded and is not
// skinned gets the message, then its controls (BroadcastToChildren); then BroadcastToSkinnedForms.
void BroadcastToAllForms(gui::TMessage& Msg);
// Every listed form not being destroyed gets the message, then its controls; then every hooked window of
// ProviderList that is visible.
void BroadcastToSkinnedForms(gui::TMessage& Msg);

// The message to the form's window (SendMessage), or through its WindowProc while it has none.
LRESULT SendToForm(gui::TWinControl* Control, gui::TMessage& Msg);
// The application is minimized (its main form is iconic).
bool ApplicationMinimized();
// The form is minimized.
bool FormMinimized(const gui::TCustomForm* Form);

#ifdef _WIN32
// The program's small and large icons (from the program file), loaded on first use; nullptr when the file
// gives none. They are released when the process ends.
HICON ProgramSmallIcon();
HICON ProgramLargeIcon();
#endif

}  // namespace skin
