#pragma once
// Skinned menus: the application's menus stay the system's, but their items are owner-drawn by the library's
// measure and draw handlers, and every popup's background, borders, region and optional extra line come from
// the loaded skin (sections "MAINMENU", the glyph-column section named by MenuSupport.IcoLineSkin, "MENUITEM",
// "MENUCAPTION", "DIVIDERV", "EXTRALINE"; "MENULINE" for the menu bar of a form).
//
// A popup's background is painted once into a cache keyed by the popup's first item and copied from there for
// every item and every repaint; its key-colour border corners are cut out of the popup window's region. The
// painting is portable (32-bit bitmaps, text through the painters' text engine); the Windows half finds the
// popup window of an owner-draw request, shapes it and copies the pictures to the menu's device context.
//
// Handlers are plain functions, so that an item's event can be told to be the library's: installing never
// replaces an application's own handler, and uninstalling never removes one.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/controls.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "gui/types.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TsSkinManager;

// The kinds of an item: a caption item ("-text-"), a divider ("-"), a normal item.
enum TsItemKind : uint8_t { ikCaption = 0, ikDivider = 1, ikNormal = 2 };
// The item types handed to OnDrawItem.
enum TsMenuItemType : uint8_t { smCaption = 0, smDivider = 1, smNormal = 2, smTopLine = 3 };

// A caption that begins and ends with "-" and is not a plain divider.
bool IsMenuCaptionItem(const std::string& Caption);
TsItemKind MenuItemKind(const std::string& Caption);

// What OnGetPopupItemData may change before an item's text is drawn: its font (colour included).
struct TacMenuItemData {
  gui::TFont* Font = nullptr;
};

using TsMenuManagerDrawItemEvent = std::function<void(gui::TObject* Sender, gui::TCanvas& ACanvas, const TRect& ARect,
                                                      gui::TOwnerDrawState State, TsMenuItemType ItemType)>;

// One cached popup background.
struct TacMenuBgRecord {
  uint32_t FirstItem = 0;          // the command number of the popup's first item
  std::unique_ptr<Bitmap> Bmp;     // the whole popup's background, borders and extra line
  HWND Wnd = nullptr;              // the popup window it was made for (nullptr: not known yet)
  HWND RegionWnd = nullptr;        // the window whose region was set from it
  bool ExtraLine = false;          // the extra line is shown
  std::vector<TRect> CutOuts;      // the transparent corners of the border
};

// The extra line of the popup being built.
struct TacExtraLineData {
  std::string SkinSection = "EXTRALINE";
  std::string Caption;
  std::unique_ptr<gui::TBitmap> Glyph;
  bool Visible = false;
};

// Globals of the skinned buttons that the menu painter reads: the speed button whose drop-down menu is open,
// whether a skinned button switched the application's hints off, and the hint setting saved before.
gui::TControl*& OpenDropDownButton();
bool& HintSuppressed();
bool& SavedShowHint();
// Set while the skinned menus measure or draw the items of a popup (a popup of theirs is being built or shown);
// the popup-menu window adapter clears it when a menu window goes, and frames only while it is set.
uint8_t& MenuItemsPainting();

class TsSkinableMenus {
 public:
  explicit TsSkinableMenus(TsSkinManager& Owner);
  ~TsSkinableMenus();
  TsSkinableMenus(const TsSkinableMenus&) = delete;
  TsSkinableMenus& operator=(const TsSkinableMenus&) = delete;

  int32_t Margin = 2;       // inner margin of an item
  int32_t Spacing = 8;      // gap between the glyph column and the text
  int32_t BevelWidth = 0;   // stored only
  int32_t BorderWidth = 3;  // added on each side when a popup is measured
  // The height of "MAINMENU"'s BORDERSMASK (3 when below 1; 0 without that image); computed on first read.
  int32_t SkinBorderWidth();
  // A new skin: the width is computed again on its next read.
  void ResetSkinBorderWidth() { skinBorderWidth_ = -1; }
  gui::TFont& CaptionFont() { return captionFont_; }
  void SetCaptionFont(const gui::TFont& Font) { captionFont_.Assign(Font); }
  gui::TAlignment Alignment = gui::TAlignment::taLeftJustify;
  TsMenuManagerDrawItemEvent OnDrawItem;
  // The menu font override (a font of the program's choosing; none: the screen's menu font).
  gui::TFont* MenuFontOverride = nullptr;

  uint8_t HooksState = 0;  // the handlers are installed on the application's menus
  uint8_t RegionBusy = 0;  // a popup window's region is being set
  std::vector<TRect> CutOutRects;

  TsSkinManager& Owner() const { return owner_; }

  // ---- The popup background cache.
  std::vector<TacMenuBgRecord>& Cache() { return cache_; }
  // The record of a popup by its first item (or, with 0, by its window); nullptr when none.
  TacMenuBgRecord* FindRecord(uint32_t FirstItem, HWND Wnd);
  // The extra line of a popup, asked of the manager's OnGetMenuExtraLineData (once at a time).
  TacExtraLineData AskExtraLine(gui::TMenuItem* FirstItem);

  // Column offsets of the popup being painted.
  int32_t GlyphColumnWidth = 0;
  int32_t TextOffset = 0;

 private:
  TsSkinManager& owner_;
  gui::TFont captionFont_;
  int32_t skinBorderWidth_ = -1;
  std::vector<TacMenuBgRecord> cache_;
  bool askingExtraLine_ = false;
};

// The skinned menus of a manager (the manager component's), nullptr for none.
TsSkinableMenus* SkinableMenusOf(TsSkinManager* Manager);

// ---- Installation (Install false removes only the library's own handlers).

// The hooks state follows the manager's skin; on a change every component of the application is walked.
void SkinableMenusUpdate(TsSkinableMenus& Menus);
// The same walk with a given state (the manager's SkinnedPopups switch).
void SkinableMenusSetHooks(TsSkinableMenus& Menus, bool Install);
void InstallMainMenuHandlers(TsSkinableMenus& Menus, gui::TMainMenu& Menu, bool Install);
void InstallPopupMenuHandlers(TsSkinableMenus& Menus, gui::TPopupMenu& Menu, bool Install);
void InstallSubItemHandlers(TsSkinableMenus& Menus, gui::TMenuItem& Item, bool Install);
void InstallTopItemHandlers(TsSkinableMenus& Menus, gui::TMenuItem& Item, bool Install);

// ---- The handlers (the events of gui::TMenuItem).

void SkinMenuMeasureItem(gui::TObject* Sender, gui::TCanvas& ACanvas, int& Width, int& Height);
void SkinMenuDrawItem(gui::TObject* Sender, gui::TCanvas& ACanvas, const TRect& ARect, gui::TOwnerDrawState State);
void SkinMenuLineMeasureItem(gui::TObject* Sender, gui::TCanvas& ACanvas, int& Width, int& Height);
void SkinMenuLineDrawItem(gui::TObject* Sender, gui::TCanvas& ACanvas, const TRect& ARect, gui::TOwnerDrawState State);

// ---- Measuring and painting (portable).

// The glyph box of an item: its bitmap's size, else 16 x 16.
TSize MenuGlyphSize(const gui::TMenuItem& Item);
// The font of an item: the override or the screen's menu font, bold for the default item.
void MenuItemFont(TsSkinableMenus& Menus, const gui::TMenuItem& Item, gui::TFont& Font);
// The size an item asks for; ExtraLine adds the extra line's width (items of the first column, when the extra
// line is shown and MenuSupport.UseExtraLine is on).
TSize MeasureMenuItem(TsSkinableMenus& Menus, const gui::TMenuItem& Item, bool ExtraLine);
// The size of a popup whose window does not exist yet: the columns' widest items (+ 12 each), 4 per column break,
// the tallest column, and the border on each side.
TSize PopupMenuSize(TsSkinableMenus& Menus, const gui::TMenuItem& Parent, bool ExtraLine);
// The first visible item of a popup (nullptr for none).
gui::TMenuItem* FirstVisibleItem(const gui::TMenuItem& Parent);
// Whether an item lies in the first column of its popup.
bool InFirstColumn(const gui::TMenuItem& Item);
// A popup's background at a size: "MAINMENU", the glyph column, the border mask, the extra line; the border's
// transparent corners collected into CutOuts.
std::unique_ptr<Bitmap> BuildPopupBackground(TsSkinableMenus& Menus, const TSize& Size, const TacExtraLineData& Extra,
                                             int32_t GlyphWidth, std::vector<TRect>& CutOuts);
// One popup item (not a menu-bar item) painted into Bmp (the item's size, without the extra line). Bg is the
// popup's cached background with the item's top-left at BgOrigin (nullptr: none).
void PaintPopupItem(TsSkinableMenus& Menus, gui::TMenuItem& Item, Bitmap& Bmp, const Bitmap* Bg, const TPoint& BgOrigin,
                    gui::TOwnerDrawState State, int32_t GlyphWidth);
// A menu-bar item painted into Bmp over Bg (the form's image under the bar, nullptr: the skin's colour).
void PaintMenuLineItem(TsSkinableMenus& Menus, gui::TMenuItem& Item, Bitmap& Bmp, const Bitmap* Bg,
                       const TPoint& BgOrigin, gui::TOwnerDrawState State);

// ---- Popup windows.

// The cache emptied (every bitmap freed).
void ClearMenuBgCache();
// The record of a popup: found by its first item (or by its window when FirstItem is nullptr); when none exists
// and a size is known (its window's, or the measured one), built and appended. nullptr when none.
TacMenuBgRecord* GetMenuBgCache(TsSkinableMenus& Menus, gui::TMenuItem* FirstItem, HWND Wnd, bool Build);
// The popup window's region (the background's size less its cut-out corners) set once per window, and the
// background copied into the window. Nothing while busy.
void PopupMenuRegion(TsSkinableMenus& Menus, HWND Wnd, TacMenuBgRecord& Record);
// Whether the MDI parent form shows a maximized active child that has a system menu, and a main menu: asked of
// the source that the form layer sets (false while none is set).
bool MDIChildMaximizedWithMenu();
std::function<bool()>& MDIChildMaximizedWithMenuSource();
// The manager's hook: a popup menu window (and, when known, the item that asked) shaped and painted from its
// cached background. False when the menus have none for it.
bool PaintPopupMenuWindow(HWND Wnd, gui::TMenuItem* Item);

// The manager's services (skinned menus, their border width, popup windows) filled with the ones above.
void InstallMenuServices();

}  // namespace skin
