#pragma once
// Bars: the tool bar (ToolbarWindow32) with its tool buttons, and the status bar (msctls_statusbar32) with its
// panels.
//
// Tool buttons are graphic controls placed on the bar in a row (their bounds are the bar's button
// rectangles); the bar's window draws and clicks them. A check button toggles Down on each click; check
// buttons with Grouped set that stand next to each other form a group in which one at most is down. A
// drop-down button shows its DropdownMenu below itself when its arrow is clicked.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/controls.h"

namespace gui {

class TToolBar;
class TCustomImageList;
class TPopupMenu;

// The order is the one that the style's value is compared against (buttons below tbsSeparator are clickable).
enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton };

class TToolButton : public TGraphicControl {
 public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;
  GUI_CLASS_NAME("TToolButton")

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle s);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v) { grouped_ = v; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* m);
  // The button's place among the bar's buttons, -1 off a bar.
  int Index() const;
  TToolBar* ToolBar() const;
  // A click of the user: toggles a check button (within its group), then OnClick.
  void Click() override;

  void SetParent(TWinControl* parent) override;

 protected:
  void WndProc(TMessage& m) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TToolBar;
  TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
  int imageIndex_ = -1;
  bool down_ = false, grouped_ = false, allowAllUp_ = false;
  TPopupMenu* dropdownMenu_ = nullptr;
};

// Custom drawing of the bar and of its buttons: a handler that clears DefaultDraw draws the part itself.
using TTBCustomDrawEvent = std::function<void(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TCustomDrawState = uint32_t;
inline constexpr TCustomDrawState cdsSelected = 0x01;
inline constexpr TCustomDrawState cdsDisabled = 0x04;
inline constexpr TCustomDrawState cdsChecked = 0x08;
inline constexpr TCustomDrawState cdsHot = 0x40;
using TTBCustomDrawBtnEvent =
    std::function<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;
  GUI_CLASS_NAME("TToolBar")

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int i) const { return buttons_.at(static_cast<size_t>(i)); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* list);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int w);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int h);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  int Indent() const { return indent_; }
  void SetIndent(int v);
  // The button under a client point, nullptr for none.
  TToolButton* ButtonAt(int x, int y) const;
  // Where the buttons lie: each button's rectangle in the bar's client area (the window's own layout once it
  // exists: captions and drop-down arrows widen its buttons).
  TRect ButtonRect(int i) const;
  // Clicks the drop-down part of a button (shows its DropdownMenu, Windows).
  void DropDown(TToolButton* b);

  // The canvas of the custom-draw events (bound while they run).
  TCanvas& Canvas() { return canvas_; }

  TTBCustomDrawEvent OnCustomDraw;
  TTBCustomDrawBtnEvent OnCustomDrawButton;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool WindowMessage(TMessage& m) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TToolButton;
  void AddButton(TToolButton* b);
  void RemoveButton(TToolButton* b);
  void LayoutButtons();
  void ButtonChanged(TToolButton* b);
  TToolButton* FromCommand(int id) const;
  // Window side: the window's buttons follow the tool buttons (command id, image, state, style, caption).
  void ButtonsToWindow();
  void ButtonStateToWindow(TToolButton* b);
  // The window's own rectangle of a button (false without a window).
  bool WindowButtonRect(int i, TRect& r) const;
  std::vector<TToolButton*> buttons_;
  TCustomImageList* images_ = nullptr;
  int buttonWidth_ = 23, buttonHeight_ = 22, indent_ = 0;
  bool showCaptions_ = false, flat_ = true;
  bool layingOut_ = false;
  TCanvas canvas_;
};

enum class TStatusPanelStyle { psText, psOwnerDraw };
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
 public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& s);
  int Width() const { return width_; }
  void SetWidth(int w);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle s);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel b);
  int Index() const;

 private:
  friend class TStatusPanels;
  friend class TStatusBar;
  TStatusBar* owner_ = nullptr;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TStatusPanelStyle style_ = TStatusPanelStyle::psText;
  TStatusPanelBevel bevel_ = TStatusPanelBevel::pbLowered;
};

class TStatusPanels {
 public:
  explicit TStatusPanels(TStatusBar* owner) : owner_(owner) {}
  int Count() const { return static_cast<int>(items_.size()); }
  TStatusPanel* Items(int i) const { return items_.at(static_cast<size_t>(i)).get(); }
  TStatusPanel* operator[](int i) const { return Items(i); }
  TStatusPanel* Add();
  void Delete(int i);
  void Clear();

 private:
  friend class TStatusPanel;
  TStatusBar* owner_;
  std::vector<std::unique_ptr<TStatusPanel>> items_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* AOwner);
  GUI_CLASS_NAME("TStatusBar")

  TStatusPanels& Panels() { return panels_; }
  // One panel with SimpleText instead of the panels.
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& s);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  // A panel's rectangle in the bar's client area: panels follow each other by their widths, the last one
  // reaches the right edge.
  TRect PanelRect(int i) const;
  // The canvas an owner-drawn panel is painted on (bound during OnDrawPanel).
  TCanvas& Canvas() { return canvas_; }

  TDrawPanelEvent OnDrawPanel;
  // Paints an owner-drawn panel on Canvas (bound by the caller): OnDrawPanel, or the bar's colour without one.
  void DrawPanel(TStatusPanel* panel, const TRect& r);

  // Used by the panels.
  void PanelsChanged();
  void PanelTextChanged(int i);

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool WindowMessage(TMessage& m) override;
  void BoundsChanged(bool sizeChanged) override;

 private:
  // Window side: the window's parts, texts and simple mode follow the panels; its own part rectangles.
  void PartsToWindow();
  void PanelTextToWindow(int i);
  bool WindowPanelRect(int i, TRect& r) const;
  TStatusPanels panels_{this};
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
  TCanvas canvas_;
};

}  // namespace gui
