#pragma once
// The skin provider: the per-form component that skins a form. Placed on a form (the main window carries one,
// `sSkinProvider1`) or made by the library for a form that has none, it takes over the form's message
// procedure, paints the whole frame from the skin section "FORM" into a cached image, and owns what the skinned
// frame is made of: the added title, the title icon, the user title buttons, the skinned system menu and the
// extended-border window.
//
// The small persistent objects it publishes live here too: the collection of user title buttons, the title
// icon, the added title and the extra system sub-menu.
//
// The functions that act on a provider take it first (`ProviderPrepareForm (provider)`); they are declared in
// provider_geometry.h (measures and title-bar layout), frame_paint.h (the frame cache, caption text and title
// buttons), composition.h (desktop composition, regions and snapshots), system_menu.h, border_form.h and
// provider_wndproc.h (the message procedure).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/classes.h"
#include "gui/controls.h"
#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "skin/data/scommondata.h"
#include "skin/manager/skinchange.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TsSkinProvider;
class TsSystemMenu;
class TacBorderForm;
class TacSBAnimation;
class TsTitleBar;      // the title-bar component of a form
class TacCtrlAdapter;  // the control adapter that skins a form's child controls
class TacScrollWnd;    // the form window's own scroll-bar adapter
class TsMDIForm;       // the link of an MDI parent form
class TacMinTimer;     // the minimize and restore animation
struct ProviderTitleHints;  // the hints of user title buttons and title-bar items

enum TsGripMode : uint8_t { gmNone, gmRightBottom };
enum TsResizeMode : uint8_t { rmStandard, rmBorder };
enum TacMenuItemPos : uint8_t { ipTop, ipBottom, ipBeforeClose };

// The glow of the caption text for one state, kept as an image of its own (its blur is the costly part of a
// caption): premultiplied colour and coverage, made for that text, place, colour and size.
struct CaptionGlowImage {
  std::unique_ptr<Bitmap> Bmp;
  std::string Text;
  TRect R;
  TColor Colour = 0;
  int32_t Size = 0;
  void reset() { Bmp.reset(); }
};

// One caption button: a system button of the provider or the record inside a user title button.
struct TitleButtonRecord {
  int32_t State = 0;           // 0 normal, 1 hot, 2 pressed
  int32_t ImageIndex = -1;     // the skin image, -1 none
  TRect Rect;                  // window (or border-window) coordinates; an empty button has Right = Left
  bool LargeImage = false;     // the standard-size image set (bsSingle and bsSizeable forms)
  TacSBAnimation* GlowTimer = nullptr;  // the running glow fade, owned through the record
  int32_t HitCode = 0;         // (the hover glow of a system button is its glow fade's window, GlowTimer)
};

// ---------------------------------------------------------------------------------------------------------
// User title buttons.

class TsTitleButtons;

// Its mouse events get the button itself as Sender, so that a handler shared by several buttons knows which one.
class TsTitleButton : public gui::TObject {
 public:
  explicit TsTitleButton(TsTitleButtons& collection);
  ~TsTitleButton() override;
  const char* ClassName() const override { return "TsTitleButton"; }
  TsTitleButton(const TsTitleButton&) = delete;
  TsTitleButton& operator=(const TsTitleButton&) = delete;

  gui::TMouseEvent OnMouseUp;
  gui::TMouseEvent OnMouseDown;
  bool Enabled = true;
  bool Visible() const { return visible_; }
  // A change repaints the provider's frame.
  void SetVisible(bool value);
  bool UseSkinData = true;
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) {
    if (value != name_) name_ = value;
  }
  const gui::TBitmap& Glyph() const { return glyph_; }
  // Copies the bitmap; the button's glow animation is freed so that it is rebuilt with the new glyph.
  void SetGlyph(const gui::TBitmap& value);
  std::string Hint;
  TitleButtonRecord Data;

  TsTitleButtons& Collection() const { return *collection_; }
  int Index() const;
  // Copies Enabled, Visible, UseSkinData, Glyph, Hint, Name and the two events.
  void AssignTo(TsTitleButton& dest) const;

 private:
  TsTitleButtons* collection_;
  bool visible_ = true;
  std::string name_;
  gui::TBitmap glyph_;
};

class TsTitleButtons {
 public:
  explicit TsTitleButtons(TsSkinProvider& owner) : owner_(&owner) {}
  TsTitleButtons(const TsTitleButtons&) = delete;
  TsTitleButtons& operator=(const TsTitleButtons&) = delete;

  TsSkinProvider* GetOwner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  TsTitleButton* Items(int index) const { return items_.at(size_t(index)).get(); }
  TsTitleButton* Add();
  void Delete(int index);
  void Clear();
  int IndexOf(const TsTitleButton* button) const;
  // The buttons of source copied into new items (the collection's own Assign).
  void Assign(const TsTitleButtons& source);

 private:
  TsSkinProvider* owner_;
  std::vector<std::unique_ptr<TsTitleButton>> items_;
};

// The title icon's settings.
class TsTitleIcon {
 public:
  explicit TsTitleIcon(TsSkinProvider& owner) : owner_(&owner) {}
  int32_t Height = 0;  // 0 = automatic
  int32_t Width = 0;   // 0 = automatic
  const gui::TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const gui::TBitmap& value) { glyph_.Assign(value); }
  bool Visible() const { return visible_; }
  // A change repaints the provider's frame unless the provider is loading or designed.
  void SetVisible(bool value);
  TsSkinProvider* Owner() const { return owner_; }

 private:
  TsSkinProvider* owner_;
  gui::TBitmap glyph_;
  bool visible_ = true;
};

// A second caption text after the form's caption, in a font of its own.
class TacAddedTitle {
 public:
  explicit TacAddedTitle(TsSkinProvider& owner);
  bool ShowMainCaption() const { return showMainCaption_; }
  void SetShowMainCaption(bool value);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  const gui::TFont& Font() const { return font_; }
  // Copies the font.
  void SetFont(const gui::TFont& value);
  TsSkinProvider* Owner() const { return owner_; }

 private:
  void Changed();
  TsSkinProvider* owner_;
  bool showMainCaption_ = true;
  std::string text_;
  gui::TFont font_;  // colour clNone: the caption's colour
};

// An extra sub-menu that the skinned system menu shows.
class TacSysSubMenu {
 public:
  std::string Caption;
  gui::TPopupMenu* PopupMenu = nullptr;
  TacMenuItemPos Position = ipBeforeClose;
};

// ---------------------------------------------------------------------------------------------------------
// The provider.

// Events.
using TacAfterAnimation = std::function<void(int32_t animation)>;
using TacNCHitTest = std::function<void(gui::TMessage& message)>;
using TAddItemEvent = std::function<void(gui::TComponent* item, bool& canBeAdded, std::string& skinSection)>;
// The window adapter's creation record (skin/adapters/acmainwnd.h): the handler may change its section and clear
// UseSkinFont or UseSkinColor.
struct TacSkinParams;
using TAddItemExEvent = std::function<void(gui::TComponent* item, bool& canBeAdded, TacSkinParams* skinParams)>;

// State flags (StateFlags; the skin-change sweeps use pfFramePainted 0x200, pfBorderSnapshot 0x1000 and
// pfRedrawLocked 0x10000 of skinchange.h).
inline constexpr uint32_t psRegionUpdate = 0x1;        // the border window's region follows a size change
inline constexpr uint32_t psBlendMoving = 0x80;        // a translucent move runs
inline constexpr uint32_t psMinimizing = 0x100;        // the minimize animation runs
inline constexpr uint32_t psHideSnapshot = 0x200;      // a snapshot covers the form while it hides
inline constexpr uint32_t psRestoring = 0x400;         // the restore animation runs
inline constexpr uint32_t psThumbnail = 0x800;         // a thumbnail is handed to the composition manager
inline constexpr uint32_t psKeepTop = 0x2000;          // the next move keeps the recorded top (KeptTop)
inline constexpr uint32_t psKeepHeight = 0x4000;       // the next move keeps the recorded height (KeptHeight)
inline constexpr uint32_t psInNcActivate = 0x8000;     // inside the non-client activation handler
inline constexpr uint32_t psAttachingScroll = 0x20000;  // the form window's scroll-bar adapter is being attached
inline constexpr uint32_t psMaximizingFromMin = 0x80000;
inline constexpr uint32_t psShowFading = 0x100000;     // the show fade makes the form transparent and opaque again
inline constexpr uint32_t psShownTransparent = 0x200000;  // the window came on the screen transparent, for the fade
inline constexpr uint32_t psChildrenTakenHidden = 0x400000;  // the child windows took the skin before it showed

// Control kind of a provider's skin data.
inline constexpr int32_t ckProvider = ckFormProvider;

class TsSkinProvider : public gui::TComponent, public TacFormProvider {
 public:
  // AOwner must be a form: any other owner raises gui::EAbort "TsSkinProvider component may be used with forms
  // only!" and nothing is hooked.
  explicit TsSkinProvider(gui::TComponent* AOwner);
  // The provider the library makes for a form that has none: automatic, linked to the form's title bar.
  static TsSkinProvider* CreateForForm(gui::TComponent* AOwner);
  ~TsSkinProvider() override;
  GUI_CLASS_NAME("TsSkinProvider")

  // ---- Published properties.
  bool AllowAnimation = true;
  bool AllowExtBorders() const { return allowExtBorders_; }
  void SetAllowExtBorders(bool value);
  bool AllowBlendOnMoving = true;
  bool DrawNonClientArea() const override { return drawNonClientArea_; }
  void SetDrawNonClientArea(bool value);
  bool DrawClientArea = true;
  bool MakeSkinMenu = false;
  bool ScreenSnap = false;
  bool ShowAppIcon() const { return showAppIcon_; }
  void SetShowAppIcon(bool value);
  bool UseGlobalColor() const { return useGlobalColor_; }
  void SetUseGlobalColor(bool value);
  TacAddedTitle& AddedTitle() { return *addedTitle_; }
  gui::TAlignment CaptionAlignment() const { return captionAlignment_; }
  void SetCaptionAlignment(gui::TAlignment value);
  gui::TStringList GluedForms;
  TsScrollWndData& SkinData() { return *skinData_; }
  const TsScrollWndData& SkinData() const { return *skinData_; }
  TsGripMode GripMode = gmNone;
  TsResizeMode ResizeMode = rmStandard;
  int32_t SnapBuffer = 10;
  TacSysSubMenu& SysSubMenu() { return *sysSubMenu_; }
  TsTitleBar* TitleBar() const { return titleBar_; }
  void SetTitleBar(TsTitleBar* value);
  TsTitleButtons& TitleButtons() { return *titleButtons_; }
  const TsTitleButtons& TitleButtons() const { return *titleButtons_; }
  void SetTitleButtons(const TsTitleButtons& value) { titleButtons_->Assign(value); }
  TsTitleIcon& TitleIcon() { return *titleIcon_; }
  const TsTitleIcon& TitleIcon() const { return *titleIcon_; }
  const std::string& TitleSkin() const { return titleSkin_; }
  void SetTitleSkin(const std::string& value);
  const std::string& MenuLineSkin() const { return menuLineSkin_; }
  void SetMenuLineSkin(const std::string& value);
  TacAfterAnimation OnAfterAnimation;
  TacNCHitTest OnExtHitTest;
  TAddItemEvent OnSkinItem;
  TAddItemExEvent OnSkinItemEx;

  // ---- What the skin manager asks of a provider.
  // The owner form (nullptr only for a provider that could not take it).
  gui::TCustomForm* Form() const override { return form_; }
  TsSkinManager* SkinManager() const override;
  bool Skinned() const override;
  bool HasBorderForm() const override { return BorderForm != nullptr; }
  bool BorderClientHole(TRect& Hole) override;
  bool BorderFormHasImage() const override;
  void TakeBorderSnapshot() override;
  void ShowBorderSnapshot() override;
  void UpdateBorderForm(uint8_t Alpha) override;
  void ShowBorderFrame(uint8_t Alpha) override;
  void SetBorderFormRegion() override;
  int32_t SkinTitleHeight(bool Maximized) const override;
  void UpdateRegion(bool Repaint) override;
  void DropFrameCache() override;
  void StartMinimizeAnimation() override;
  void StartRestoreAnimation() override;
  // What the manager's show, hide and skin-change animations take (provider_anim_hooks*.cpp).
  const Bitmap* FrameCacheBitmap() const override;
  void PaintFrame() override;
  std::vector<TRect> RegionCutOuts() const override;
  TacAnimWindow AnimationWindow(bool Hide) override;
  void FreeBorderForm(bool WindowOnly) override;
  void AfterAnimation(int32_t Value) override;
  void KeepShowPicture(std::unique_ptr<Bitmap> Picture, const TPoint& WindowAt) override;

  // ---- Run-time state (read and written by the provider's functions).
  int32_t CurrentHTCode = 0;       // the hot or pressed caption button (0 none)
  int32_t HotMenuLineItem = -1;    // the menu line's entry under the pointer, drawn hot (-1 none)
  int32_t OpenMenuLineItem = -1;   // the menu line's entry selected while a menu of the line runs, its menu open
  int32_t UserBtnIndex = -1;       // the "TITLEBUTTON" image of the user title buttons
  bool Automatic = false;          // made by the library, not placed on the form
  bool Inactive = false;           // another provider serves the form
  bool DwmOnAtCreate = false;      // desktop composition was on at creation
  bool NormalCaption = false;      // BorderStyle bsSingle or bsSizeable
  bool FormActive = true;          // the caption and frame are drawn active
  bool TallTitle = false;          // the maximized skin title is taller than the system's caption + 4
  // Where ProviderKeepCaptionOnScreen last brought the form down to (Made: it stands there for that reason), and
  // the top it had before.
  struct CaptionKept {
    bool Made = false;
    int32_t Left = 0, Top = 0, OriginalTop = 0;
  } KeptCaption;
  bool MDILinkPending = false;     // the MDI link is made when the form is first prepared
  bool MenuSkinned = false;        // the main menu is already in the hands of the menu painter
  bool MenuOwnerDrawn = false;     // the form's main menu was owner-drawn before
  bool FirstPaintPending = true;   // no frame has been composed yet
  bool LayoutChanged = true;       // the title-bar layout changed since the region was last set
  bool CacheValid = false;         // the frame cache holds a composed frame
  bool InPaint = false;            // inside the client painting
  bool ClientPainting = false;
  bool MinimizingByButton = false;
  bool MovedUnderAlt = false;      // the window last moved or took a size with an Alt key down
  TRect LastPlace;                 // the window's rectangle at its last position change
  int32_t RedrawLockCount = 0;     // WM_SETREDRAW nesting
  bool ClosingByIcon = false;      // a double click on the title icon closes the form (the system menu stays shut)
  int32_t ParentClosingState = 0;  // how the form showed when its owner hid it: 1 normal, 2 iconic, 3 zoomed; 0 none
  bool MenuTracking = false;       // the system tracks a menu of the form (between its menu loop's entry and exit)
  bool NcPaintDeferred = false;    // a frame paint came while a menu was tracked: it is made when the loop ends
  bool DragPending = false;        // a border drag waits for its first mouse move
  bool DragActive = false;         // a border drag shows its outline
  bool AnimPending = false;        // a minimize by button waits for its animation
  TRect LastClientRect;            // the client area at the last size change
  int64_t LastSizeType = -1;       // the last WM_SIZE's kind (SIZE_RESTORED...), -1 before the first
  intptr_t LastSizeClient = 0;     // and the client size it gave
  int32_t KeptTop = 0;             // what the next move keeps (psKeepTop, psKeepHeight)
  int32_t KeptHeight = 0;

  int32_t MenuLineCountCache = -1;  // -1: recompute
  int32_t TitleSectionIndex = -1;   // TitleSkin or "FORMTITLE", -1: resolve on use
  int32_t CaptionSectionIndex = -1;

  // The system buttons, in this order: the maximized MDI child's minimize and restore, minimize, maximize,
  // help, close, the maximized MDI child's close.
  TitleButtonRecord ButtonMDIMin{0, -1, {}, false, nullptr, 103};
  TitleButtonRecord ButtonMDIMax{0, -1, {}, false, nullptr, 102};
  TitleButtonRecord ButtonMin{0, -1, {}, false, nullptr, 8};
  TitleButtonRecord ButtonMax{0, -1, {}, false, nullptr, 9};
  TitleButtonRecord ButtonHelp{0, -1, {}, false, nullptr, 21};
  TitleButtonRecord ButtonClose{0, -1, {}, false, nullptr, 20};
  TitleButtonRecord ButtonMDIClose{0, -1, {}, false, nullptr, 101};

  // Title-bar geometry left by the layout.
  int32_t ButtonsCenter = 0;       // Y of the middle of the caption buttons
  int32_t ButtonsTop = 0;          // the top of large buttons aligned to the caption top
  int32_t CaptionBottom = 0;
  int32_t CaptionRight = 0;        // the caption's right end (left of the system buttons' margin)
  int32_t ButtonsLeft = 0;         // the running right edge after the last placed button
  TRect IconRect;
  TPoint MenuLineOrigin;           // where the clean menu-line band (MenuLineBmp) lies in the frame cache

  // Bitmaps: the clean right-hand part of the caption (without buttons), the menu-line band, the two glow
  // images of the caption text (inactive, active).
  std::unique_ptr<Bitmap> CaptionStrip;
  std::unique_ptr<Bitmap> CaptionBack;  // the caption band before its text (ProviderRepaintCaptionBand)
  // With a border window: the span of the caption band round its text that the form's own window shows, in
  // frame-cache coordinates (empty when the border window shows the whole caption), and the span that the form's
  // window region holds now.
  TRect CaptionOnForm;
  TRect CaptionOnFormShown;
  std::unique_ptr<Bitmap> ShowPicture;  // the show fade's picture, until the form shows it once opaque
  TPoint ShowPictureAt;                 // where the form's window lies in it
  std::unique_ptr<Bitmap> MenuLineBmp;
  std::array<CaptionGlowImage, 2> CaptionGlow;

  // The labels recoloured with the skin: their own colour and ParentFont, given back when the skin goes.
  struct LabelColor {
    TColor Color;
    gui::TControl* Label;
    bool ParentFont;
    bool Opaque;  // its own opaque-painting style
  };
  std::vector<LabelColor> LabelColors;

  // The transparent rectangles of the frame (window region).
  std::vector<TRect> RegionRects;

  std::unique_ptr<TsSystemMenu> SystemMenu;
  std::unique_ptr<TacBorderForm> BorderForm;
  // The border window's snapshot of the form, kept while a skin changes.
  std::unique_ptr<Bitmap> BorderSnapshot;
  TacCtrlAdapter* Adapter = nullptr;
  TacScrollWnd* ScrollWnd = nullptr;
  TsMDIForm* MDIForm = nullptr;
  // The minimize animation's timer: made when the form is minimized, freed when the restore has run.
  TacMinTimer* MinTimer = nullptr;
  // The hints of the user title buttons and title-bar items (provider_titlebar.h), made on first use.
  std::shared_ptr<ProviderTitleHints> TitleHintState;

  // The component of the skin data's own manager (nullptr for the default one).
  gui::TComponent* OwnManagerComponent = nullptr;

  // The form's message procedure before the provider took it.
  gui::TWndMethod OldWndProc;

  bool Designing() const { return (ComponentState() & gui::csDesigning) != 0; }
  // Expires when the provider goes: a handler that sent a message which may close the form asks it before
  // touching the provider again.
  std::weak_ptr<const int> AliveToken() const { return alive_; }

  // Called after streaming; see ProviderApplySkin.
  void Loaded() override;

 protected:
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;

 private:
  TsSkinProvider(gui::TComponent* AOwner, bool automatic);
  void AfterConstruction();
  void HookForm();
  void UnhookForm();

  gui::TCustomForm* form_ = nullptr;
  bool allowExtBorders_ = true;
  bool drawNonClientArea_ = true;
  bool showAppIcon_ = true;
  bool useGlobalColor_ = true;
  gui::TAlignment captionAlignment_ = gui::TAlignment::taLeftJustify;
  std::string titleSkin_;
  std::string menuLineSkin_;
  TsTitleBar* titleBar_ = nullptr;
  std::unique_ptr<TsScrollWndData> skinData_;
  std::unique_ptr<TacAddedTitle> addedTitle_;
  std::unique_ptr<TsTitleIcon> titleIcon_;
  std::unique_ptr<TsTitleButtons> titleButtons_;
  std::unique_ptr<TacSysSubMenu> sysSubMenu_;
  // Shared with the procedure installed on the form: cleared when the provider goes, so that a procedure still
  // chained after ours hands every message to the saved one.
  struct Hook;
  std::shared_ptr<Hook> hook_;
  std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
  friend struct ProviderWindowProc;
};

// The procedure the provider installs as the form's WindowProc.
struct ProviderWindowProc {
  std::shared_ptr<TsSkinProvider::Hook> hook;
  void operator()(gui::TMessage& m) const;
};

// The skin manager of a provider (its skin data's, else the default one), or nullptr.
TsSkinManager* ProviderManager(const TsSkinProvider& p);
// The form counts as skinned: a manager with the skin applied, the FORM section valid, not being destroyed;
// with check, also the skin's enabled byte.
bool ProviderSkinned(const TsSkinProvider& p, bool check = false);
// The manager's skin is loaded and applied.
bool ProviderSkinActive(const TsSkinProvider& p);

// Preparation (see the component's description in sskinprovider.cpp).
void ProviderPrepareForm(TsSkinProvider& p);
void ProviderApplySkin(TsSkinProvider& p);
void ProviderUpdateSysMenuStyle(TsSkinProvider& p, bool apply);
void ProviderUpdateTitleButtons(TsSkinProvider& p);
void ProviderStopTitleButtonTimers(TsSkinProvider& p);
void ProviderUpdateExtBorders(TsSkinProvider& p, bool on);
// Brings a form with a border window down until the skin's caption starts on the screen (not maximised or
// minimised); a form it brought down, and that has not been moved since, goes back up as far as the skin in force
// lets it (to where it was, under a skin of a normal caption or with no border window).
void ProviderKeepCaptionOnScreen(TsSkinProvider& p);
TColor ProviderFormColor(const TsSkinProvider& p);
// The title section: TitleSkin, else "FORMTITLE"; resolved on first use.
int32_t ProviderTitleSectionIndex(TsSkinProvider& p);

// The indexes a skin data keeps of its section (SkinSection, its border image and textures) resolved in the
// skin of its manager; all -1 without a manager or the section.
void ResolveSkinDataIndexes(TsCommonData& data);

// Frees a provider (the form keeps its window; its message procedure comes back).
void FreeProvider(TsSkinProvider* p);
// The provider of the form a control lies on: the first form up the control's parents (the control itself when it
// is one) is asked for its provider; nullptr without a form or a provider.
TsSkinProvider* FormProviderOf(gui::TControl* control);

// The preview-mode hand-shake with the outside skin editor: the form's window is offered to the editor's window
// (WM_SKINEDITOR, WParam 3), at most 101 times, until it answers 1 or is not found; once per run, for the main
// form's window (or any form's while the application has no main form window).
void ProviderNotifySkinEditor(void* handle);
// The caption by which the skin editor's window is found.
inline constexpr const char* SkinEditorCaption = "ASkinEditor";

// The provider whose message is being handled (nullptr when none; cleared when that provider goes).
TsSkinProvider*& HandledProvider();
// The skin editor's preview mode: "/acpreview" was the program's first parameter when the last provider was
// made.
bool PreviewMode();
void ClearPreviewMode();

}  // namespace skin
