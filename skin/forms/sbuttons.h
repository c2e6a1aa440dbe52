#pragma once
// The library's own skinned components: a push button (TsButton) with images by state, command-link and split
// styles; a bitmap button (TsBitBtn) with a glyph strip or an image list; a speed button (TsSpeedButton) with
// tool-button styles and a drop-down menu; and a label (TsCustomLabel, TsLabel) that takes its colours from the
// skin. Each paints itself from its own skin data (the control adapter leaves them alone: they answer
// AC_ISSKINNED), cross-fades its state changes and falls back to a plain look without a skin.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gui/actnlist.h"
#include "gui/buttons.h"
#include "gui/imglist.h"
#include "gui/menus.h"
#include "gui/stdctrls.h"
#include "skin/adapters/button_glyph.h"
#include "skin/data/scommondata.h"
#include "skin/forms/sbutton_geometry.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/pixel_helpers.h"

#ifdef _WIN32

namespace skin {

// The library's global paint-pressed flag: set while a released button paints its pressed look once more.
uint8_t& ButtonPaintPressed();
// The library's region lock: while it is above 0 no button cuts its window at its border's transparent corners
// (the border is drawn over the parent's background instead, and the window keeps the region it has). Buttons
// hold it themselves while they print into an outside device context.
uint8_t& ButtonRegionLock();
class ButtonRegionLockScope {
 public:
  ButtonRegionLockScope() { ++ButtonRegionLock(); }
  ~ButtonRegionLockScope() { --ButtonRegionLock(); }
  ButtonRegionLockScope(const ButtonRegionLockScope&) = delete;
  ButtonRegionLockScope& operator=(const ButtonRegionLockScope&) = delete;
};
// The speed button whose drop-down menu is open (nullptr when none).
class TsSpeedButton;
TsSpeedButton*& DropDownSpeedButton();

// Whether the control's linked action is disabled (the control then shows its disabled look).
inline bool ActionDisabled(const gui::TControl* Control) {
  const auto* a = dynamic_cast<const gui::TCustomAction*>(Control->Action());
  return a != nullptr && !a->Enabled();
}

// The margins around a push button's image; a change repaints the button.
class TImageMargins {
 public:
  int32_t Top() const { return v_.Top; }
  int32_t Left() const { return v_.Left; }
  int32_t Right() const { return v_.Right; }
  int32_t Bottom() const { return v_.Bottom; }
  void SetTop(int32_t v) { Set(v_.Top, v); }
  void SetLeft(int32_t v) { Set(v_.Left, v); }
  void SetRight(int32_t v) { Set(v_.Right, v); }
  void SetBottom(int32_t v) { Set(v_.Bottom, v); }
  void Assign(const TImageMargins& Source) {
    v_ = Source.v_;
    if (OnChange) OnChange();
  }
  const TImageMarginValues& Values() const { return v_; }
  std::function<void()> OnChange;

 private:
  void Set(int32_t& field, int32_t v) {
    if (field == v) return;
    field = v;
    if (OnChange) OnChange();
  }
  TImageMarginValues v_;
};

// The behaviour TsButton and TsBitBtn share: an owner-drawn window painted from the skin data's cache.
template <class Base>
class TsButtonCore : public Base {
 public:
  explicit TsButtonCore(gui::TComponent* AOwner);
  ~TsButtonCore() override;

  TsCtrlSkinData& SkinData() { return *skinData_; }
  TacAnimatEvents AnimatEvents = AnimatEventSet(aeGlobalDef);
  // The look's properties: a change repaints (the disabled kind and word wrap not while loading; the focus margin
  // shows at the next paint).
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool v) { SetAndRepaint(showFocus_, v); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind v) { SetAndRepaint(disabledKind_, v, true); }
  int32_t FocusMargin() const { return focusMargin_; }
  void SetFocusMargin(int32_t v) { focusMargin_ = v; }
  bool Reflected() const { return reflected_; }
  void SetReflected(bool v) { SetAndRepaint(reflected_, v); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { SetAndRepaint(wordWrap_, v, true); }

  bool Down() const { return down_; }
  void SetDown(bool v);
  gui::TCustomImageList* Images() const { return images_; }
  void SetImages(gui::TCustomImageList* List);

  // The visual state now: 0 normal, 1 hot, 2 pressed, 3 default.
  virtual int32_t CurrentState();
  // Whether the skin paints the button (a manager with a skin, a valid section).
  bool Skinned();
  // Repaints the cache (false when the parent cannot give its background yet).
  bool PaintCache();
  // Flags the cache stale and repaints the window at once.
  void RepaintNow();
  bool DefaultFlag() const { return default_; }
  // Whether the cache must be painted again before it is shown: flagged stale, showing another state or size, its
  // last paint incomplete (the tag byte), or the parent asking its children to repaint (its tag byte).
  bool CacheStale();
  // Whether the window holds a region cut at the border's transparent corners.
  bool HasWindowRegion() const { return windowRegion_; }
  void Invalidate() override;

 protected:
  void CreateParams(gui::TCreateParams& p) override;
  void WndProc(gui::TMessage& m) override;
  void Loaded() override;
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;

  // What lies on the face: glyph and caption (and the split part), painted over background and border.
  virtual void PaintContent(Bitmap& Cache, int32_t State, int32_t SkinState) = 0;
  // The plain look, drawn on a DRAWITEMSTRUCT's DC while no skin paints the button.
  virtual void PaintUnskinned(void* DrawItem) = 0;
  // A press that opens a drop-down menu instead of pressing the button (handled there): true when taken.
  virtual bool DropDownPress(int x, int y) {
    (void)x;
    (void)y;
    return false;
  }
  // The finished cache, disabled look included (TsBitBtn's OnPaint).
  virtual void CachePainted(Bitmap& Cache) { (void)Cache; }
  // The border is drawn over the content (TsBitBtn's DrawOverBorder off).
  virtual bool BorderOverContent() const { return false; }
  bool ContentShift();
  bool ActiveDefault() const;
  void Changed();
  // Stores a property's value and repaints when it changed (not while loading when asked).
  template <class T>
  void SetAndRepaint(T& Field, T Value, bool NotWhileLoading = false) {
    if (Field == Value) return;
    Field = Value;
    if (!(NotWhileLoading && this->IsLoading())) Changed();
  }

  std::unique_ptr<TsCtrlSkinData> skinData_;
  gui::TCustomImageList* images_ = nullptr;
  gui::TChangeLink imageLink_;
  bool showFocus_ = true;
  TsDisabledKind disabledKind_ = dkBlended;
  int32_t focusMargin_ = 1;
  bool reflected_ = false;
  bool wordWrap_ = true;
  bool down_ = false;
  bool pressedByMouse_ = false;
  bool default_ = false;
  bool dropDownOpen_ = false;
  int32_t cacheState_ = -1;  // the state the cache shows
  int32_t cacheSkinState_ = 0;
  // A border whose transparent corners cut the window: the region made by the last cache paint (ours until it is
  // handed to the window, which owns it from then on), whether the window holds one, and the bounds it was made for.
  void* pendingRegion_ = nullptr;
  bool windowRegion_ = false;
  bool repaintNeeded_ = true;  // bounds or pressed look changed: the region is made again
  TRect regionBounds_;
  const SkinImageRecord* RegionBorder(int32_t SkinState);
  void DropPendingRegion();
  void TakeWindowRegion(bool Redraw);
  void HandRegionToWindow();
  // False once the button is gone: checked after anything that runs the user's code (a click, a menu).
  std::shared_ptr<bool> alive_;
};

extern template class TsButtonCore<gui::TButton>;
extern template class TsButtonCore<gui::TBitBtn>;

class TsButton : public TsButtonCore<gui::TButton> {
 public:
  explicit TsButton(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TsButton")

  const std::string& CommandLinkHint() const { return commandLinkHint_; }
  void SetCommandLinkHint(const std::string& v) { SetAndRepaint(commandLinkHint_, v); }
  gui::TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(gui::TPopupMenu* Menu);
  // The images by state; a change repaints only while the button has an image list.
  const PushImageIndexes& ImageIndexes() const { return imageIndexes_; }
  int32_t ImageIndex() const { return imageIndexes_.Normal; }
  void SetImageIndex(int32_t v) { SetImageProperty(imageIndexes_.Normal, v); }
  int32_t HotImageIndex() const { return imageIndexes_.Hot; }
  void SetHotImageIndex(int32_t v) { SetImageProperty(imageIndexes_.Hot, v); }
  int32_t PressedImageIndex() const { return imageIndexes_.Pressed; }
  void SetPressedImageIndex(int32_t v) { SetImageProperty(imageIndexes_.Pressed, v); }
  int32_t SelectedImageIndex() const { return imageIndexes_.Selected; }
  void SetSelectedImageIndex(int32_t v) { SetImageProperty(imageIndexes_.Selected, v); }
  int32_t DisabledImageIndex() const { return imageIndexes_.Disabled; }
  void SetDisabledImageIndex(int32_t v) { SetImageProperty(imageIndexes_.Disabled, v); }
  TImageAlignment ImageAlignment() const { return imageAlignment_; }
  void SetImageAlignment(TImageAlignment v) { SetImageProperty(imageAlignment_, v); }
  TImageMargins ImageMargins;
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle s);
  int32_t ContentMargin() const { return contentMargin_; }
  void SetContentMargin(int32_t v) { SetAndRepaint(contentMargin_, v); }

  // Geometry of the current look (window coordinates).
  PushLayoutInput LayoutInput();
  bool HasImage();
  int32_t StateImageIndex(int32_t State);
  TRect ImageRect(int32_t State);
  TRect CaptionRect(int32_t State);

 protected:
  void PaintContent(Bitmap& Cache, int32_t State, int32_t SkinState) override;
  void PaintUnskinned(void* DrawItem) override;
  bool DropDownPress(int x, int y) override;
  // The action's image index becomes the button's.
  void ActionChange(gui::TObject* Sender, bool CheckDefaults) override;
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;

 private:
  template <class T>
  void SetImageProperty(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    if (images_ != nullptr) Changed();
  }
  gui::TPopupMenu* dropDownMenu_ = nullptr;
  TButtonStyle style_ = TButtonStyle::bsPushButton;
  std::string commandLinkHint_;
  PushImageIndexes imageIndexes_;
  TImageAlignment imageAlignment_ = TImageAlignment::iaLeft;
  int32_t contentMargin_ = 6;
};

class TsBitBtn : public TsButtonCore<gui::TBitBtn> {
 public:
  explicit TsBitBtn(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TsBitBtn")

  // The look's properties: a change repaints.
  gui::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(gui::TAlignment v) { SetAndRepaint(alignment_, v); }
  gui::TAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(gui::TAlignment v) { SetAndRepaint(textAlignment_, v); }
  int32_t Blend() const { return blend_; }
  void SetBlend(int32_t v) { SetAndRepaint(blend_, v); }
  TsDisabledGlyphKind DisabledGlyphKind() const { return disabledGlyphKind_; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind v) { SetAndRepaint(disabledGlyphKind_, v); }
  bool Grayed() const { return grayed_; }
  void SetGrayed(bool v) { SetAndRepaint(grayed_, v); }
  int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int32_t v) { SetAndRepaint(imageIndex_, v); }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v) { SetAndRepaint(showCaption_, v); }
  bool DrawOverBorder() const { return drawOverBorder_; }
  void SetDrawOverBorder(bool v) { SetAndRepaint(drawOverBorder_, v); }
  int32_t TextOffset() const { return textOffset_; }
  void SetTextOffset(int32_t v) { SetAndRepaint(textOffset_, v); }
  std::function<void(gui::TObject* Sender, Bitmap& Bmp)> OnPaint;

  bool HasImage();
  TSize GlyphSize();
  TRect GlyphRect(int32_t State);
  TRect CaptionRect(int32_t State);
  int32_t CurrentState() override;

 protected:
  void PaintContent(Bitmap& Cache, int32_t State, int32_t SkinState) override;
  void PaintUnskinned(void* DrawItem) override;
  bool BorderOverContent() const override { return !drawOverBorder_; }
  void CachePainted(Bitmap& Cache) override;
  void Rects(TRect& GlyphR, TRect& CaptionR);
  void ActionChange(gui::TObject* Sender, bool CheckDefaults) override;

 private:
  gui::TAlignment alignment_ = gui::TAlignment::taCenter;
  gui::TAlignment textAlignment_ = gui::TAlignment::taCenter;
  int32_t blend_ = 0;
  TsDisabledGlyphKind disabledGlyphKind_ = dgBlended;
  bool grayed_ = false;
  int32_t imageIndex_ = -1;
  bool showCaption_ = true;
  bool drawOverBorder_ = true;
  int32_t textOffset_ = 0;
};

class TsSpeedButton : public gui::TSpeedButton {
 public:
  explicit TsSpeedButton(gui::TComponent* AOwner);
  ~TsSpeedButton() override;
  GUI_CLASS_NAME("TsSpeedButton")

  TsCtrlSkinData& SkinData() { return *skinData_; }
  TacAnimatEvents AnimatEvents = AnimatEventSet(aeGlobalDef);
  // The look's properties: a change flags the cache stale and repaints.
  gui::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(gui::TAlignment v) { SetAndRepaint(alignment_, v); }
  gui::TAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(gui::TAlignment v) { SetAndRepaint(textAlignment_, v); }
  int32_t Blend() const { return blend_; }
  void SetBlend(int32_t v);
  TToolButtonStyle ButtonStyle() const { return style_; }
  void SetButtonStyle(TToolButtonStyle s);
  TsDisabledGlyphKind DisabledGlyphKind() const { return disabledGlyphKind_; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind v) { SetAndRepaint(disabledGlyphKind_, v); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind v) { SetAndRepaint(disabledKind_, v); }
  gui::TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(gui::TPopupMenu* Menu);
  virtual bool Grayed();
  void SetGrayed(bool v);
  int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int32_t v) { SetAndRepaint(imageIndex_, v); }
  gui::TCustomImageList* Images() const { return images_; }
  void SetImages(gui::TCustomImageList* List);
  bool Reflected() const { return reflected_; }
  void SetReflected(bool v) { SetAndRepaint(reflected_, v); }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v) { SetAndRepaint(showCaption_, v); }
  bool DrawOverBorder() const { return drawOverBorder_; }
  void SetDrawOverBorder(bool v) { SetAndRepaint(drawOverBorder_, v); }
  int32_t TextOffset() const { return textOffset_; }
  void SetTextOffset(int32_t v) { SetAndRepaint(textOffset_, v); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { SetAndRepaint(wordWrap_, v); }
  bool UseEllipsis() const { return useEllipsis_; }
  void SetUseEllipsis(bool v) { SetAndRepaint(useEllipsis_, v); }
  int32_t Margin() const { return margin_; }
  void SetMargin(int32_t m);
  std::function<void(gui::TObject* Sender, Bitmap& Bmp)> OnPaint;

  bool Skinned();
  virtual int32_t CurrentState();
  virtual TSize GlyphSize();
  SpeedLayoutInput LayoutInput();
  TRect CaptionRect(bool Painted);
  TRect GlyphRect(bool Painted);
  // Prepares the cache (false when the parent cannot give its background yet).
  virtual bool PrepareCache();
  // Repaints the button now (cache, overlapping graphic siblings, copy onto the parent's surface).
  virtual void RepaintRequest();
  bool MenuShowing() const { return menuShowing_; }

 protected:
  void WndProc(gui::TMessage& m) override;
  void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void Paint() override;
  void Loaded() override;
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;
  void ActionChange(gui::TObject* Sender, bool CheckDefaults) override;
  virtual void HandleMouseEnter();
  virtual void HandleMouseLeave();
  void Changed();
  template <class T>
  void SetAndRepaint(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
  // A new glyph: the cache is stale and the button repaints (after whatever handled the glyph's change before).
  void GlyphChanged();
  // The visible opaque graphic controls lying over the button (later in the parent's list) painted into the cache.
  void PaintControlsAbove();

 private:
  std::unique_ptr<TsCtrlSkinData> skinData_;
  gui::TCustomImageList* images_ = nullptr;
  gui::TChangeLink imageLink_;
  gui::TPopupMenu* dropdownMenu_ = nullptr;
  gui::TAlignment alignment_ = gui::TAlignment::taCenter;
  gui::TAlignment textAlignment_ = gui::TAlignment::taCenter;
  TsDisabledGlyphKind disabledGlyphKind_ = dgBlended;
  TsDisabledKind disabledKind_ = dkBlended;
  int32_t imageIndex_ = -1;
  bool reflected_ = false;
  bool showCaption_ = true;
  bool drawOverBorder_ = true;
  int32_t textOffset_ = 0;
  bool wordWrap_ = true;
  bool useEllipsis_ = true;
  int32_t blend_ = 0;
  int32_t margin_ = -1;
  bool grayed_ = false;
  TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
  bool menuShowing_ = false;
  bool menuPressed_ = false;
  bool noAnimation_ = false;
  bool pressed_ = false;
  bool forcedDown_ = false;
  int32_t cacheState_ = -1;
  std::function<void()> glyphNext_;  // the glyph's change handler before ours
  std::shared_ptr<bool> alive_;
};

class TsCustomLabel : public gui::TCustomLabel {
 public:
  explicit TsCustomLabel(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TsCustomLabel")

  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& s);
  TsSkinManager* SkinManager() const { return skinManager_; }
  void SetSkinManager(TsSkinManager* m);
  int32_t SectionIndex = -1;

  virtual gui::TFont& GetFont() { return Font(); }
  virtual TColor GetFontColor();
  // The manager that serves the label (its own, else the default one) when it has a skin loaded.
  TsSkinManager* ActiveManager() const;

 protected:
  void Paint() override;
  void WndProc(gui::TMessage& m) override;
  void Notification(gui::TComponent* AComponent, gui::TOperation Operation) override;
  virtual void DoDrawText(TRect& R, uint32_t Flags);

 private:
  std::string skinSection_;
  TsSkinManager* skinManager_ = nullptr;
  gui::TComponent* managerComponent_ = nullptr;  // skinManager_ when it is a component
};

class TsLabel : public TsCustomLabel {
 public:
  explicit TsLabel(gui::TComponent* AOwner) : TsCustomLabel(AOwner) {}
  GUI_CLASS_NAME("TsLabel")
};

// Fills GlyphPaintData for a TsButton, TsBitBtn or TsSpeedButton and paints its glyph (into its cache when
// Target is given, else onto Canvas); nothing for other controls.
void PaintButtonGlyph(gui::TControl* Button, Bitmap* Target, gui::TCanvas* Canvas, int32_t State);

}  // namespace skin

#endif
