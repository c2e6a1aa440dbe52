#pragma once
// The automatic skinning of a skinned form's child controls: the control adapter walks the form's components and
// child controls, decides for each whether the skin takes it, and gives each windowed control the window adapter
// of its class (by the skin manager's class lists) and each speed button a handler that paints it from the skin.
// Classes that no list names stay unskinned; a control whose Tag has bit 0x100 is never adapted.
//
// The adapter belongs to the form's skin provider, which it reaches through CtrlAdapterHost.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/adapters/acmainwnd.h"
#include "skin/adapters/ctrl_classes.h"

#ifdef _WIN32
#include <windows.h>

namespace gui {
class TSpeedButton;
class TCustomLabel;
class TCustomForm;
}  // namespace gui

namespace skin {

// What the control adapter needs of the provider that owns it.
class CtrlAdapterHost {
 public:
  virtual ~CtrlAdapterHost() = default;
  // The form whose children are adapted.
  virtual gui::TWinControl* HostForm() = 0;
  // The provider's manager (its own or the default one; nullptr without either).
  virtual TsSkinManager* HostManager() = 0;
  // The skin's colours for a label of the form (the provider remembers what it changes).
  virtual void SetLabelColor(gui::TCustomLabel* Label) { (void)Label; }
  // A form placed inside the form gets a provider of its own.
  virtual void SkinChildForm(gui::TCustomForm* Form, const std::string& Section) {
    (void)Form;
    (void)Section;
  }
  // Item events: OnSkinItem may veto a control or change its section; OnSkinItemEx may also change the params.
  std::function<void(gui::TComponent* Item, bool& CanBeAdded, std::string& SkinSection)> OnSkinItem;
  std::function<void(gui::TComponent* Item, bool& CanBeAdded, TacSkinParams* Params)> OnSkinItemEx;
};

// A speed button painted from the skin: its WindowProc replaced while hooked.
class TacSpeedButtonHandler {
 public:
  TacSpeedButtonHandler(gui::TSpeedButton* Button, TsCommonData* SkinData);
  ~TacSpeedButtonHandler();
  TacSpeedButtonHandler(const TacSpeedButtonHandler&) = delete;
  TacSpeedButtonHandler& operator=(const TacSpeedButtonHandler&) = delete;

  // Paints the button into the skin data's cache.
  void PaintCache();
  int32_t CurrentState() const;

  struct Link;

  gui::TSpeedButton* Button = nullptr;
  bool Hooked = false;
  bool Destroyed = false;
  TsCommonData* SkinData = nullptr;

 private:
  void Unhook();
  std::shared_ptr<Link> link_;

 public:
  // The hooked WindowProc's body.
  void WndProc(gui::TMessage& m);
};

class TacCtrlAdapter;

struct TacAdapterItem {
  TacAdapterItem(TacCtrlAdapter* Owner, gui::TWinControl* AControl) : Adapter(Owner), Control(AControl) {}
  ~TacAdapterItem();
  TacAdapterItem(const TacAdapterItem&) = delete;
  TacAdapterItem& operator=(const TacAdapterItem&) = delete;
  bool Dead() const { return WndAdapter == nullptr || WndAdapter->Destroyed; }

  TacCtrlAdapter* Adapter;
  gui::TWinControl* Control;
  TacMainWnd* WndAdapter = nullptr;  // owned: released with the item
};

struct TacGraphItem {
  TacGraphItem(TacCtrlAdapter* Owner, gui::TSpeedButton* AControl);
  ~TacGraphItem();
  TacGraphItem(const TacGraphItem&) = delete;
  TacGraphItem& operator=(const TacGraphItem&) = delete;
  // Builds the handler (again).
  void DoHook();
  bool Dead() const { return !Handler || Handler->Destroyed; }

  TacCtrlAdapter* Adapter;
  gui::TSpeedButton* Control;
  TsCommonData SkinData;
  std::unique_ptr<TacSpeedButtonHandler> Handler;
};

class TacCtrlAdapter {
 public:
  explicit TacCtrlAdapter(CtrlAdapterHost* AProvider);
  ~TacCtrlAdapter();
  TacCtrlAdapter(const TacCtrlAdapter&) = delete;
  TacCtrlAdapter& operator=(const TacCtrlAdapter&) = delete;

  // Scans a container (nullptr: the provider's form) and its windowed descendants.
  void AddAllItems(gui::TWinControl* Container = nullptr);
  void AddItem(gui::TControl* Control, const std::string& SkinSection);
  void AddGraphicItem(gui::TSpeedButton* Control);
  bool CanSkin(gui::TControl* Control);
  bool AskItemEvents(gui::TControl* Control);
  void AttachWnd(TacAdapterItem& Item, gui::TWinControl* Control, const TacSkinParams& Params);
  void RemoveUnused();
  void Clear();
  void Broadcast(gui::TMessage& Message);
  // The live item of a control (nullptr when none).
  TacAdapterItem* ItemOf(gui::TControl* Control);
  TacGraphItem* GraphItemOf(gui::TControl* Control);

  uint8_t Busy = 0;
  // The host repaints the windows of the items a scan adds, once the scan is over: they are not painted as they
  // are attached.
  bool NewItemsRepainted = false;
  std::string DefaultSection;
  std::vector<std::unique_ptr<TacAdapterItem>> Items;
  std::vector<std::unique_ptr<TacGraphItem>> GraphItems;
  CtrlAdapterHost* Provider;

 private:
  void Scan(gui::TWinControl* Container);
  void Consider(gui::TControl* Control, bool ChildPass);
};

// 1 while a control adapter frees its items.
uint8_t& AdapterClearing();
// A window adapter of the category's kind made for a window (nullptr for a kind that is not built).
TacMainWnd* NewAdapterOfCategory(int Category, HWND Wnd, TsSkinManager* Manager, const TacSkinParams& Params);

}  // namespace skin
#endif
