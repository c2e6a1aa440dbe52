#pragma once
// The skin manager component: the manager's data side (sskinmanager.h) as a component of the component layer,
// with what it does to windows. It becomes the application's default manager when it is the first, hooks the
// application's main window, tells every form when a skin was applied, refreshed or removed, keeps the forms
// still while the look changes, installs the window-creation hook and the skin's system colours while a skin
// is applied, takes skins that an outside skin editor sends, and tracks the control under the mouse.
//
// The station touches it only through Active and SkinName.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/classes.h"
#include "gui/controls.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "gui/messages.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"

namespace skin {

// What the manager tells the program before a system dialog is skinned.
struct TacSysDlgData {
  HWND WndHandle = nullptr;
  std::string Caption;
};
using TacSysDlgInit = std::function<void(const TacSysDlgData& DlgData, bool& AllowSkinning)>;
// Asked by the skinned menus (their records belong to the menus, sskinmenus.h).
struct TacMenuItemData;
class TsSkinableMenus;
using TOwnerDrawState = uint32_t;
using TacGetExtraLineData = std::function<void(gui::TMenuItem* FirstItem, std::string& SkinSection,
                                               std::string& Caption, gui::TBitmap*& Glyph, bool& LineVisible)>;
using TacGetPopupItemData =
    std::function<void(gui::TMenuItem* Item, TOwnerDrawState State, TacMenuItemData* ItemData)>;

// A block sent by an outside skin editor, read from its fields.
struct SkinPreviewBlock {
  std::string Name;
  std::string Directory;
  std::string Options;
};
// The block's fields when it is whole: at least SkinPreviewDataSize bytes, the magic word at its start, and each
// text terminated inside its field. Anything else gives nothing.
std::optional<SkinPreviewBlock> ParseSkinPreviewData(const void* Data, size_t Size);
// The refusal of a whole block whose skin name is empty.
inline constexpr std::string_view SkinEditorBlockWithoutName =
    "The skin sent by a skin editor cannot be used: its block names no skin (its name is empty)";

class TsSkinManagerComponent : public gui::TComponent, public TsSkinManager {
 public:
  // The first manager becomes the default one and hooks the application's main window.
  explicit TsSkinManagerComponent(gui::TComponent* AOwner, SkinSystem& System = systemSkinSystem());
  // Switches the skin off (removing hooks and system colours), gives up the default place and the main-window
  // hook.
  ~TsSkinManagerComponent() override;
  const char* ClassName() const override { return "TsSkinManager"; }

  // ---- The component life cycle.
  // The stored definition is being read: SkinName loads the skin; Loaded applies it.
  void BeginLoading();
  void Loaded() override;
  TComponentState State() const override;
  using TsSkinManager::ComponentState;
  // The window of the form that carries the manager or, when it has none yet, of the application's main form.
  uintptr_t MessageBoxOwner() const override;

  // ---- Setters that act (the plain values stay readable where they are).
  // SkinnedPopups: the skinned menus follow it (default manager only).
  void SetSkinnedPopups(bool Value);
  // Effects.AllowOuterEffects and Effects.DiscoloredGlyphs: the forms are repainted.
  void SetAllowOuterEffects(bool Value);
  void SetDiscoloredGlyphs(bool Value);
  // ScrollsOptions: a new ButtonsSize repaints the forms; a new ScrollSize is told to every form.
  void SetButtonsSize(int32_t Value);
  void SetScrollSize(int32_t Value);
  // The Boolean options by index (SkinOptionFlag); ChangeSysColors on the default manager puts the skin's system
  // colours in place (while a skin is applied) or takes them away at once.
  void SetOptionFlag(int Index, bool Value);
  void SetChangeSysColors(bool Value) { SetOptionFlag(ofChangeSysColors, Value); }

  TacSysDlgInit OnSysDlgInit;
  // The extra line of a popup: a Glyph the handler sets is the library's from then on (it frees it).
  TacGetExtraLineData OnGetMenuExtraLineData;
  TacGetPopupItemData OnGetPopupItemData;
  // The skinned menus of the manager (created with it).
  std::unique_ptr<TsSkinableMenus> SkinableMenus;

  // ---- State.
  uint8_t HooksInstalled = 0;  // the window-creation hook (and the skin's system colours) are in place
  gui::TControl* HotControl() const { return hotControl_; }          // under the mouse
  gui::TControl* TrackedControl() const { return trackedControl_; }  // pressed
  // 2 after the application was minimized through its system menu, 1 after it was restored, else 0.
  uint32_t LastSysCommand = 0;
  // The last block received from a skin editor.
  std::array<uint8_t, SkinPreviewDataSize> ReceivedSkin{};

  // ---- Operations.
  void RepaintForms(bool Animate) override;
  // The window-creation hook, the provider list and (with Options.ChangeSysColors) the skin's system colours;
  // only for the default manager, once.
  void InstallHooks();
  // Takes them away again (popup-menu adapters and hooked providers freed, system colours restored).
  void RemoveHooks();
  // The control under the mouse: the old one gets AC_MOUSELEAVE, the new one AC_MOUSEENTER (LParam = the manager).
  // While a tracked control remains, nothing changes. The result is 0.
  int32_t SetHotControl(gui::TControl* Control);
  // The pressed control; clearing it is refused while the mouse is still over it. The old one gets AC_MOUSELEAVE.
  int32_t SetTrackedControl(gui::TControl* Control);
  // The hook on the application's main window: true when the message is handled.
  bool AppHook(gui::TMessage& Msg);
  // A WM_COPYDATA block: taken (copied into ReceivedSkin, AC_APPLYRECEIVEDSKIN posted unless one is queued
  // already) only when WParam is 7 and the block is whole. True when taken.
  bool TakeSkinPreview(uintptr_t WParam, const void* Data, size_t Size);
  // Loads the skin of ReceivedSkin in preview mode and applies it (without the skin-changing animation). One block
  // at a time: asked again while one is loaded (its refusal's message box hands on what is sent and posted
  // meanwhile), it loads the block last taken once that one is done, the blocks taken between being replaced by it.
  void LoadEditorPreview();
  // The skinned menus post WM_SKINMENUITEM for an item through this, unless one is queued already: the message
  // carries the item's menu handle and command number, and the item is looked up again when it arrives.
  void PostMenuItem(gui::TMenuItem* Item);

  // The address receivers compare LParam with.
  LPARAM ManagerParam() const { return reinterpret_cast<LPARAM>(static_cast<const TsSkinManager*>(this)); }

 protected:
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;
  void SkinChangeBeforeAll() override;
  void BeforeApplySkin(bool Animate) override;
  void BroadcastSkinLoaded() override;
  void AfterApplySkin() override;
  void BeforeRemoveSkin() override;
  void SkinReloaded() override;
  void BroadcastSkinRemoved() override;
  void SkinChangeFinished() noexcept override;

 private:
  void Broadcast(uint16_t Command);
  void Watch(gui::TControl* Control);
  void Unwatch(gui::TControl* Control);
  bool HookSysCommand(gui::TMessage& Msg);
  bool HookWindowPosChanged(gui::TMessage& Msg);
  bool HookPopupMenu(gui::TMessage& Msg);
  bool HookIconicPreview(gui::TMessage& Msg);
  // One block of ReceivedSkin loaded and applied.
  void LoadReceivedSkin();

  int appHookId_ = 0;
  bool takingBlock_ = false;
  bool loadingPreview_ = false, previewPending_ = false;
  gui::TControl* hotControl_ = nullptr;
  gui::TControl* trackedControl_ = nullptr;
  void* cbtHook_ = nullptr;  // HHOOK
};

// ---- The operations under the names the rest of the library uses.
inline void SkinManagerApplySkin(TsSkinManager& Manager, bool Animate) { Manager.ApplySkin(Animate); }
inline void SkinManagerRemoveSkin(TsSkinManager& Manager) { Manager.RemoveSkin(); }
inline void SkinManagerRepaintForms(TsSkinManager& Manager, bool Animate) { Manager.RepaintForms(Animate); }
inline void SkinManagerInitThirdPartyLists(TsSkinManager& Manager, bool Reset) { Manager.InitThirdPartyLists(Reset); }
inline std::string NormalizeSkinDirectory(const TsSkinManager& Manager) { return Manager.NormalizeSkinDirectory(); }
// The component of a manager (nullptr for a manager that is not one).
inline TsSkinManagerComponent* ManagerComponent(TsSkinManager* Manager) {
  return dynamic_cast<TsSkinManagerComponent*>(Manager);
}
int32_t SkinManagerSetHotControl(TsSkinManager* Manager, gui::TControl* Control);
int32_t SkinManagerSetTrackedControl(TsSkinManager* Manager, gui::TControl* Control);
void SkinManagerInstallHooks(TsSkinManager* Manager);
void SkinManagerRemoveHooks(TsSkinManager* Manager);

#ifdef _WIN32
// Sets the desktop window manager's iconic-bitmap attribute of a window (falling back to the forced iconic
// representation) and invalidates its iconic bitmaps; nothing without the desktop window manager.
void SetWindowIconicBitmapMode(HWND Window, bool Flag);
#endif

}  // namespace skin
