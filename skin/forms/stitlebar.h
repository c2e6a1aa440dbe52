#pragma once
// The title-bar component: a non-visual component of a form that places a row of items (buttons, menu buttons,
// tabs, spacers and information fields) into the form's skinned caption. The form's skin provider finds it,
// gives it the free band of the caption (between the title icon and the caption buttons), asks it to arrange its
// items there, paints them as part of the caption and routes the caption's mouse messages to them (hit code 2000 +
// item index). The component itself knows the items, their sizes and places, their mouse behaviour (press,
// release, click, drop-down menus, tab groups) and their hover fade, which shows the item's new look in a small
// layered window over the caption while it fades in or out.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/classes.h"
#include "gui/controls.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/hintwnd.h"
#include "gui/imglist.h"
#include "gui/menus.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TsTitleBar;
class TacTitleBarItem;
class TacItemAnimation;

enum TacItemAlign : uint8_t { tbaLeft, tbaRight, tbaCenter, tbaCenterInSpace };
enum TacBtnStyle : uint8_t { bsButton, bsMenu, bsTab, bsSpacing, bsInfo };

// The font settings of an item's caption: each of the five switches takes that part of the font from the
// system's caption font (on) or from Font (off). A change of a switch repaints the caption.
// The process-wide default-charset switch: while on, title-bar items measure and write their captions in the
// system's default character set instead of their font's own (off unless the program sets it).
bool& TitleItemsDefaultCharset();

class TacFontData {
 public:
  explicit TacFontData(TacTitleBarItem& item);
  gui::TFont& Font() { return font_; }
  const gui::TFont& Font() const { return font_; }
  void SetFont(const gui::TFont& value) { font_.Assign(value); }
  TColor GlowColor = 0x808080;
  int32_t GlowSize = 0;
  bool UseSysColor() const { return flags_[0]; }
  bool UseSysFontName() const { return flags_[1]; }
  bool UseSysGlowing() const { return flags_[2]; }
  bool UseSysSize() const { return flags_[3]; }
  bool UseSysStyle() const { return flags_[4]; }
  void SetUseSysColor(bool v) { SetFlag(0, v); }
  void SetUseSysFontName(bool v) { SetFlag(1, v); }
  void SetUseSysGlowing(bool v) { SetFlag(2, v); }
  void SetUseSysSize(bool v) { SetFlag(3, v); }
  void SetUseSysStyle(bool v) { SetFlag(4, v); }
  // The font the item is measured and painted with: the system's caption font with the parts the switches
  // leave to Font taken from it, in Font's character set (the default one while the process-wide switch is on).
  const gui::TFont& WorkFont();

 private:
  void SetFlag(int index, bool value);
  TacTitleBarItem* item_;
  gui::TFont font_;
  gui::TFont work_;
  std::array<bool, 5> flags_{true, true, true, true, true};
};

// What the provider keeps of an item's skin: its section (-1 until resolved) and the section's name.
struct TitleItemSkin {
  int32_t SectionIndex = -1;
  std::string SectionName;
};

// The painter the provider gives every item: paints the item in its current state into rect of target.
using TitleItemPaintProc = void (*)(TacTitleBarItem& item, const TRect& rect, Bitmap& target);

class TacTitleItems;

class TacTitleBarItem {
 public:
  explicit TacTitleBarItem(TacTitleItems& collection);
  ~TacTitleBarItem();
  TacTitleBarItem(const TacTitleBarItem&) = delete;
  TacTitleBarItem& operator=(const TacTitleBarItem&) = delete;

  // ---- Published properties (each setter stores a changed value and invalidates the item).
  TacItemAlign Align() const { return align_; }
  void SetAlign(TacItemAlign v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  gui::TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(gui::TPopupMenu* v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TacFontData& FontData() { return *fontData_; }
  const gui::TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const gui::TBitmap& v);
  int32_t Height() const { return height_; }
  void SetHeight(int32_t v);
  std::string Hint;
  // Image indexes by kind: 0 disabled, 1 normal, 2 hot, 3 pressed (-1 none).
  int32_t ImageIndexOf(int kind) const { return images_[size_t(kind)]; }
  void SetImageIndexOf(int kind, int32_t v);
  int32_t ImageIndex() const { return images_[1]; }
  void SetImageIndex(int32_t v) { SetImageIndexOf(1, v); }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v.empty() ? std::string("TacTitleBarItem") : v; }
  int32_t NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int32_t v);
  bool ShowHint = false;
  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& v);
  int32_t Spacing() const { return spacing_; }
  void SetSpacing(int32_t v);
  TacBtnStyle Style() const { return style_; }
  void SetStyle(TacBtnStyle v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  int32_t Width() const { return width_; }
  void SetWidth(int32_t v);
  gui::TNotifyEvent OnClick, OnMouseEnter, OnMouseLeave;
  gui::TMouseEvent OnMouseDown, OnMouseUp;

  // ---- Run-time state.
  TSize ContentSize;         // image, text and arrow together
  TRect Rect;                // the item's place in the frame (the provider's frame coordinates)
  int32_t Group = 0;         // tabs of one group value release each other
  bool Pressed = false;
  bool Hot = false;
  bool DroppedDown = false;  // its drop-down menu is open
  std::unique_ptr<gui::THintWindow> HintWindow;
  TacItemAnimation* Animation = nullptr;  // owned
  std::unique_ptr<TitleItemSkin> SkinRecord;
  TitleItemPaintProc Paint = nullptr;

  TacTitleItems& Collection() const { return *collection_; }
  TsTitleBar& Bar() const;
  int Index() const;
  // Expires when the item is freed: a user's handler may delete its own item.
  std::weak_ptr<const int> LifeToken() const { return life_; }

 private:
  friend class TsTitleBar;  // sizes auto-size items in place
  void Changed(bool resize);
  TacTitleItems* collection_;
  TacItemAlign align_ = tbaLeft;
  bool autoSize_ = true;
  std::string caption_;
  gui::TPopupMenu* dropdownMenu_ = nullptr;
  bool down_ = false;
  bool enabled_ = true;
  std::unique_ptr<TacFontData> fontData_;
  gui::TBitmap glyph_;
  int32_t height_ = 18;
  std::array<int32_t, 4> images_{-1, -1, -1, -1};
  std::string name_ = "TacTitleBarItem";
  int32_t numGlyphs_ = 1;
  std::string skinSection_;
  int32_t spacing_ = 4;
  TacBtnStyle style_ = bsButton;
  bool visible_ = true;
  int32_t width_ = 22;
  std::shared_ptr<const int> life_ = std::make_shared<const int>(0);
};

class TacTitleItems {
 public:
  explicit TacTitleItems(TsTitleBar& owner) : owner_(&owner) {}
  TacTitleItems(const TacTitleItems&) = delete;
  TacTitleItems& operator=(const TacTitleItems&) = delete;
  TsTitleBar& Owner() const { return *owner_; }
  int Count() const { return int(items_.size()); }
  TacTitleBarItem* Items(int index) const { return items_.at(size_t(index)).get(); }
  TacTitleBarItem* Add();
  void Delete(int index);
  void Clear();
  int IndexOf(const TacTitleBarItem* item) const;

 private:
  TsTitleBar* owner_;
  std::vector<std::unique_ptr<TacTitleBarItem>> items_;
};

class TsTitleBar : public gui::TComponent {
 public:
  // AOwner must be a form: any other owner raises gui::EAbort "TsTitleBar component may be used with forms
  // only!". The provider of the form, when it has no title bar yet, takes this one.
  explicit TsTitleBar(gui::TComponent* AOwner);
  ~TsTitleBar() override;
  GUI_CLASS_NAME("TsTitleBar")

  gui::TCustomForm* Form() const { return form_; }
  TacTitleItems& Items() { return *items_; }
  const TacTitleItems& Items() const { return *items_; }
  int32_t ItemsSpacing = 0;
  int32_t ItemsMargin() const { return itemsMargin_; }
  void SetItemsMargin(int32_t v);
  gui::TCustomImageList* Images() const { return images_; }
  void SetImages(gui::TCustomImageList* v);
  bool ShowCaption = false;
  uint8_t Updating = 0;
  // The "MENUBTN" bitmap of the program's resources (three states side by side), prepared; empty without one.
  Bitmap MenuGlyph;

  // ---- Layout, set by the provider (frame coordinates).
  TRect BarRect;           // left edge, top, right edge of the free space, caption bottom
  int32_t CenterLine = 0;
  int32_t MenuLine = 0;    // where menu buttons begin
  int32_t FullWidth = 0;   // the caption's right end
  // The sums of the visible items' widths per alignment (tbaLeft, tbaRight, tbaCenter, tbaCenterInSpace).
  std::array<int32_t, 4> AlignWidths{0, 0, 0, 0};
  // The caption band without items, kept by the provider while it paints (frame coordinates at BandOrigin).
  Bitmap CleanBand;
  TPoint BandOrigin;

  // Sends AC_TITLECHANGED (LParam 1) to the form unless it is loading.
  void Invalidate();
  void ArrangeItems();
  // Sizes a visible item (with keepSize only its content size).
  void ItemUpdate(TacTitleBarItem& item, bool keepSize);
  // 2 pressed (Pressed or Down), 1 hot, 0 normal.
  int32_t ItemState(const TacTitleBarItem& item) const;
  void ItemInvalidate(TacTitleBarItem& item, bool resize);
  // The mouse on an item (the provider calls these with the item's index).
  void MouseDown(int index, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void MouseUp(int index, gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void MouseEnter(int index);
  void MouseLeave(int index);
  // The screen point of a frame point (through the border window's origin when the provider has one).
  TPoint FrameToScreen(const TPoint& p) const;

  void Loaded() override;

 protected:
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;

 private:
  void DropMenu(TacTitleBarItem& item);
  gui::TCustomForm* form_ = nullptr;
  std::unique_ptr<TacTitleItems> items_;
  int32_t itemsMargin_ = 3;
  gui::TCustomImageList* images_ = nullptr;
  gui::TChangeLink imageLink_;
};

// ---- The hover fade of an item: a 12 ms timer that fades a layered window showing the item's picture in or
// out over the caption.
class TacItemAnimation : public gui::TTimer {
 public:
  explicit TacItemAnimation(TacTitleBarItem& item);
  // Stops, frees the window and the pictures, and clears the item's reference.
  ~TacItemAnimation() override;
  GUI_CLASS_NAME("TacItemAnimation")
  TacTitleBarItem* Item;
  void* Wnd = nullptr;          // the window painted over (the form's)
  int32_t Step = 0;
  bool Growing = true;
  int32_t StepCount = 0;        // -1 after a completed fade-in
  int32_t State = -1;           // the state faded to, -1 when done
  void* HoverWnd = nullptr;     // the layered window (HWND), nullptr until needed (always natively)
  std::unique_ptr<Bitmap> Picture;
  std::unique_ptr<Bitmap> OldPicture;
  int32_t ShownAlpha = -1;      // the alpha last shown, -1 while nothing shows
  // Runs when a fade-in has reached full alpha (the provider paints the new state into the frame then).
  std::function<void()> OnGrown;
};

// The alpha step of a fade of count steps: 255 div count, never below 1 (a fade of more than 255 steps still
// moves), and 255 for counts below 1.
int32_t ItemAnimAlphaStep(int32_t count);
// Starts (or turns) the fade of an item to a state: growing shows the item's current picture fading in; fading
// lets the picture shown fade out.
void ItemAnimationStart(TacTitleBarItem& item, int32_t state, int32_t steps, bool growing);
void ItemAnimationTick(TacItemAnimation& anim);
// Frees the fade of an item (its window and pictures with it).
void ItemAnimationFree(TacTitleBarItem& item);

// ---- Picture helpers.
// A rectangle of src copied into dst at (dstX, dstY), clipped to both, leaving out the key colour 0xFF00FF.
void CopyBitmapKeyed(Bitmap& dst, const Bitmap& src, int32_t dstX, const TRect& srcRect, int32_t dstY);
// A nine-part stretch, in 32 bits (dst is made 32-bit; another source is converted): the corners (border sizes)
// copied keyed, the edges and the centre stretched; an edge pair of zero size is skipped. Borders are (left, top,
// right, bottom).
void StretchNinePart(Bitmap& dst, const Bitmap& src, const TRect& dstRect, const TRect& borders, const TRect& srcRect);
// The menu glyph's preparation: alpha := 255 - alpha and the colour multiplied by the new alpha, every pixel but
// the key colour.
void PrepareMenuGlyph(Bitmap& glyph);
// The height of the system's caption font (CaptionFont of form_window.h), and a text's size in a font through the
// painters' text engine (0, 0 for an empty text).
int32_t CaptionFontHeight();
TSize TextSize(const gui::TFont& font, const std::string& text);
// The width of the drop-down arrow ("u" of the "Marlett" font).
int32_t DropdownArrowWidth(const gui::TFont& font);
// The drop-down arrow drawn from x, centred on y, in a colour: the "Marlett" glyph, or a small triangle of the
// same width where the system has no such font (Wine without it).
void DrawDropdownArrow(Bitmap& target, const gui::TFont& font, int32_t x, int32_t y, TColor colour);
// Whether the system has the "Marlett" font (always natively, where the text engine has fixed metrics).
bool MarlettAvailable();

// Window halves (stitlebar_win32.cpp; natively only state is kept).
void LoadMenuGlyph(Bitmap& glyph);
void ItemHoverShow(TacItemAnimation& anim, const TRect& screenRect, uint8_t alpha);
void ItemHoverFree(TacItemAnimation& anim);
// True (and the timer stopped, WM_MOUSELEAVE sent to the window) when the cursor has left the item.
bool ItemAnimCursorLeft(TacItemAnimation& anim);

}  // namespace skin
