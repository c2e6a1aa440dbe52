#pragma once
// Menus: items with captions ("&" marks the accelerator, "-" is a separator), check marks, enabled and
// visible states, hints, click events and sub-menus; a main menu that a form shows in its menu bar and popup
// menus. In the Windows build each menu is a real menu (HMENU) kept in step with its items; a command chosen in
// it reaches the item through the form (WM_COMMAND) and fires its OnClick.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/classes.h"
#include "gui/graphics.h"
#include "gui/messages.h"
#include "gui/types.h"
#include "gui/win32_types.h"

namespace gui {

class TMenu;
class TCustomForm;

// A keyboard shortcut: a virtual key with the modifier bits below (0 = none).
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
// "Ctrl+Shift+A", "Alt+F4", "Del": modifiers ("Shift+", "Ctrl+", "Alt+", any letter case) and one key: a
// letter or digit, F1 to F24, or one of Esc, Enter, Tab, Space, Backspace (Bksp), Ins, Del, Home, End, PgUp,
// PgDn, Left, Up, Right, Down. 0 for anything else.
TShortCut TextToShortCut(const std::string& text);
// The text of a shortcut in the same form ("Alt+F4"); empty for 0.
std::string ShortCutToText(TShortCut shortCut);

// How a menu item starts a new column.
enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };

// The state of an owner-drawn item (a set of the Win32 ODS_* values).
using TOwnerDrawState = uint32_t;
inline constexpr TOwnerDrawState odSelected = 0x0001;
inline constexpr TOwnerDrawState odGrayed = 0x0002;
inline constexpr TOwnerDrawState odDisabled = 0x0004;
inline constexpr TOwnerDrawState odChecked = 0x0008;
inline constexpr TOwnerDrawState odFocused = 0x0010;
inline constexpr TOwnerDrawState odDefault = 0x0020;
inline constexpr TOwnerDrawState odHotLight = 0x0040;
inline constexpr TOwnerDrawState odInactive = 0x0080;
inline constexpr TOwnerDrawState odNoAccel = 0x0100;
inline constexpr TOwnerDrawState odNoFocusRect = 0x0200;

// Events of an owner-drawn item: its size asked (width and height preset to what the layer would give), its
// drawing on a canvas bound to the menu's device context.
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, const TRect& ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas& ACanvas, const TRect& ARect, TOwnerDrawState State)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  GUI_CLASS_NAME("TMenuItem")

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& h) { hint_ = h; }
  bool IsLine() const { return caption_ == "-"; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut s) { shortCut_ = s; }
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak b);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i) { imageIndex_ = i; }
  // The item's group when an MDI child's menu is merged into its parent's menu line: the child's items of a group
  // stand among the parent's items by that number.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g) { groupIndex_ = g; }

  // The system sub-menu of its items while its menu's handle exists (Windows; nullptr natively and for an item
  // without visible sub-items).
  HMENU Handle() const { return subHandle_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(static_cast<size_t>(i)); }
  TMenuItem* operator[](int i) const { return Items(i); }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index);
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return parent_; }
  TMenu* GetParentMenu() const;
  // The sub-item whose caption, without its "&", equals `caption` (case-insensitive).
  TMenuItem* Find(const std::string& caption) const;

  // Fires OnClick when the item is enabled (what choosing it in the menu does).
  virtual void Click();
  // The command number that identifies the item in WM_COMMAND.
  UINT Command() const { return command_; }
  static TMenuItem* FromCommand(UINT command);

  TNotifyEvent OnClick;

  // ---- Owner drawing (when its menu's OwnerDraw is on).
  // The item's picture beside its caption (empty: none).
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  // The default item of its menu (drawn bold).
  bool Default() const { return default_; }
  void SetDefault(bool v);
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  // The size the item asks for: OnMeasureItem when set, else its caption's extent (a divider 8 high).
  void MeasureItem(TCanvas& ACanvas, int& Width, int& Height);
  // Draws the item: OnAdvancedDrawItem when set, else OnDrawItem, else the layer's plain look.
  void DrawItem(TCanvas& ACanvas, const TRect& ARect, TOwnerDrawState State);

 private:
  friend class TMenu;
  void Changed(bool structure);
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool radioItem_ = false;
  std::string hint_;
  TShortCut shortCut_ = 0;
  TMenuBreak break_ = TMenuBreak::mbNone;
  int imageIndex_ = -1;
  int groupIndex_ = 0;
  bool default_ = false;
  TBitmap bitmap_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item of a menu
  UINT command_ = 0;
  HMENU subHandle_ = nullptr;  // the system sub-menu of its items while its menu's handle exists (Windows)
};

// The caption without its accelerator marks ("&&" stands for one "&").
std::string StripHotkey(const std::string& caption);

// WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn menu item (Windows): the item named by the item data answers;
// true when it was a menu item of this program (m.Result set). Windows and the application window call it.
bool DispatchMenuOwnerDraw(TMessage& m);

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  GUI_CLASS_NAME("TMenu")
  TMenuItem* Items() const { return items_; }
  // The menu's handle (Windows; built on demand), nullptr natively.
  HMENU Handle();
  // Rebuilds the system menu after a change of structure; updates one item after a change of its state. A change
  // among the items of a sub-menu fills that sub-menu again in place: its handle stays (a menu being opened keeps
  // its popup).
  void ItemChanged(TMenuItem* item, bool structure);
  // Owner-drawn items: the system asks each item for its size and lets it draw itself (WM_MEASUREITEM,
  // WM_DRAWITEM); a change rebuilds the system menu. An item with a draw handler of its own is owner-drawn in any
  // case (handlers assigned after the system menu was built count from its next rebuild).
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  // Builds the system menu again (when it exists).
  void Rebuild() { ItemChanged(items_, true); }
  // The items of the menu's first level as its system menu shows them (a main menu: merged with the menu of its
  // MDI form's active child).
  virtual std::vector<TMenuItem*> BarItems() const;

 protected:
  virtual bool IsPopup() const { return false; }
  virtual void Rebuilt() {}
  // A sub-menu was filled again in place.
  virtual void SubMenuRebuilt() {}
  // Any change of the menu's items (before its own system menu follows).
  virtual void MergedChanged() {}
  HMENU handle_ = nullptr;
  bool ownerDraw_ = false;

 private:
  void Build();
  void Release();
  // The visible items of parent entered into a system menu (Windows).
  static void AppendItems(HMENU menu, const std::vector<TMenuItem*>& items, bool ownerDraw);
  static void ForgetSubHandles(TMenuItem* parent);
  TMenuItem* items_;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  GUI_CLASS_NAME("TMainMenu")
  // The form that shows this menu in its menu bar (set by TCustomForm::SetMenu).
  TCustomForm* Form() const { return form_; }
  void SetForm(TCustomForm* f) { form_ = f; }
  // A menu whose items merge into another form's menu instead of showing a menu bar of their own.
  bool AutoMerge() const { return autoMerge_; }
  void SetAutoMerge(bool v) { autoMerge_ = v; }
  // The menu of an MDI form shows the items of its active child's menu among its own, by GroupIndex: a child's
  // group takes the place of the form's items of the same group, and stands before the form's first item of a
  // greater group (a group greater than all of the form's stands last).
  std::vector<TMenuItem*> BarItems() const override;
  // The MDI form whose menu bar shows this menu's items (the menu of its active child), or nullptr.
  TCustomForm* MergedInto() const;

 protected:
  // The form hears of every new build of the menu bar or of one of its sub-menus (CM_MENUCHANGED).
  void Rebuilt() override;
  void SubMenuRebuilt() override;
  // A change of a menu merged into an MDI form's bar builds that bar again.
  void MergedChanged() override;

 private:
  TCustomForm* form_ = nullptr;
  bool autoMerge_ = false;
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
  GUI_CLASS_NAME("TPopupMenu")
  // Shows the menu at a screen point (Windows) after OnPopup.
  void Popup(int x, int y);
  TNotifyEvent OnPopup;
  // The control that popped the menu up (set by the caller before Popup).
  TComponent* PopupComponent = nullptr;
  // The window (HWND) that owns the menu while it is open and receives its messages and commands; the main
  // form's (else the application's) when none is set.
  void* WindowHandle = nullptr;

 protected:
  bool IsPopup() const override { return true; }
};

}  // namespace gui
