#pragma once
// The skinned frame of a dialog that no form owns (a message box, a common dialog): its caption, caption buttons,
// system menu, border window and region, painted from the skin's "DIALOG" section. The window-creation hook
// (acdialogs.h) makes one for each dialog it skins and stands behind it as its host.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/graphics.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/manager/sanimations.h"
#include "skin/forms/border_form.h"
#include "skin/forms/system_menu.h"

#ifdef _WIN32
namespace skin {

// What a skinned dialog asks of whoever skinned it.
class TacDialogHost {
 public:
  virtual ~TacDialogHost() = default;
  // The dialog's child windows that are not adapted yet get their adapters.
  virtual void SkinChildren(HWND Dialog) = 0;
  // The dialog's window is going: the host lets go of it (never freed inside the dialog's own handler).
  virtual void DialogGoing() = 0;
};

class TacDialogWnd;

// ---- The dialog's system menu.
class TacSystemMenu : public TsCustomSysMenu {
 public:
  explicit TacSystemMenu(TacDialogWnd& Dialog);
  GUI_CLASS_NAME("TacSystemMenu")

  bool CloseVisible() const override;
  bool MaximizeVisible() const override;
  bool MinimizeVisible() const override;
  bool MaximizeEnabled() const override;
  bool MinimizeEnabled() const override;
  bool RestoreEnabled() const override;
  // Every item's Visible and Enabled from the dialog's saved styles and state.
  void UpdateItems();

  TacDialogWnd* Dialog;
};

// ---- The dialog frame adapter.
// A caption button of the dialog: its state, image, place (frame picture coordinates), hit code and glow fade.
using DialogTitleButton = TitleButtonRecord;

class TacDialogWnd : public TacMainWnd {
 public:
  TacDialogWnd() = default;
  ~TacDialogWnd() override;

  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  // After the children were adapted: styles saved, frame kind, icon, caption font, WS_SYSMENU taken away.
  void Finish();

  // ---- Predicates on the saved styles.
  bool CloseVisible() const;
  bool CloseEnabled() const;
  bool MaximizeVisible() const;
  bool MinimizeVisible() const;
  bool HelpVisible() const;
  bool MaximizeEnabled() const;
  bool MinimizeEnabled() const;
  bool RestoreEnabled() const;
  bool Zoomed() const;
  bool Iconic() const;

  // ---- Geometry (frame picture coordinates: the window's own, or with a border window the border window's).
  // The frame width and caption height the skin draws: the window's own, or with a border window the skin's.
  int32_t BorderWidth() const;
  int32_t CaptionHeight() const;
  // The window's own frame width and caption height (0 without a caption).
  int32_t SystemBorderWidth() const;
  int32_t SystemCaptionHeight() const;
  // The skin's extended-border margins with a border window, else none.
  TRect ShadowSize() const;
  // The frame picture's size: the window's, or with a border window the skin's frame and margins around the
  // window's client area.
  TSize FrameSize() const;
  int32_t ClientOffsetX() const;
  int32_t ClientOffsetY() const;
  TRect IconRect() const;
  // The band (top and height) in which the caption's icon, text and title buttons are centred: the caption
  // below the border, reaching up into the border where the caption is lower than the icon or a title button,
  // so that none of them is cut by the client area.
  void CaptionBand(int32_t& Top, int32_t& Height) const;
  int32_t TitleButtonWidth(const DialogTitleButton& Button) const;
  int32_t TitleButtonHeight(const DialogTitleButton& Button) const;
  void InitTitleButtons();
  DialogTitleButton* ButtonOfCode(int32_t Code);

  // ---- Painting.
  void PaintAll();
  void PaintNC(HDC DC = nullptr);
  void EraseBackground(HDC DC);
  void BuildRegionData();
  void UpdateRegion(bool Redraw);
  void SendToChildren(gui::TMessage& Message);
  // Each child window of Window (its children after it) printed into DC at its place in Window's client area.
  void PrintChildWindows(HWND Window, HDC DC);
  // The border window made (skins with extended borders) or freed; refreshed from the frame picture.
  void SetExtendedBorders(bool On);
  // The caption buttons' glow fades stopped and freed.
  void StopTitleGlows();
  void UpdateBorderForm(bool Repaint, uint8_t Alpha = 255);

  // ---- Mouse.
  int32_t HitTest(gui::TMessage& Message);
  // The hit code of the caption button at a point of the frame picture (HTCAPTION for a disabled one, 0 none).
  int32_t TitleButtonAt(const TPoint& P);
  void SetHotTitleButton(int32_t Code, bool Repaint);
  void PressTitleButton(int32_t Code);
  void RepaintTitleButton(int32_t Code);
  void NCLButtonDown(gui::TMessage& Message);
  void NCLButtonUp(gui::TMessage& Message);
  void ShowSystemMenu(int X, int Y);
  // The user's move of the dialog by its caption (the message handed to the system's move loop) with the dialog
  // fading to the skin's blend value meanwhile; opaque again afterwards.
  void StartBlendOnMoving(gui::TMessage& Message);

  // ---- Fields.
  std::vector<TRect> RegionRects;
  int32_t HotElement = 0;
  uint8_t Active = 1;
  uint8_t SuppressClientPaint = 0;
  int32_t CaptionIndex = -1;
  uint8_t ChildrenSkinned = 0;
  DialogTitleButton MinButton, MaxButton, CloseButton, HelpButton;
  TRect LastClientRect;
  gui::TFont TitleFont;  // the system caption font
  uint32_t SavedStyle = 0;
  uint32_t SavedExStyle = 0;
  uint8_t NeedRegion = 1;
  int32_t MoveFlags = 0;  // 0x80 while the dialog moves translucently
  uint8_t BorderStyle = 1;  // 0 modal frame, 1 not finished, 2 popup without caption, 3 other frame
  std::unique_ptr<Bitmap> TitleCopy;
  std::unique_ptr<TacSystemMenu> SystemMenu;
  TacDialogHost* Provider = nullptr;  // the hook's provider that made the dialog's adapters
  std::unique_ptr<TacBorderForm> BorderForm;
  int32_t TitleSection = -1;
  std::string TitleSectionName;
  bool Finished = false;
  // Once a command that ends the dialog (Cancel, Yes) hides it: a topmost picture of the dialog over it, which
  // its hide fade takes over; freed when the command returns.
  HWND CoverForm = nullptr;

 protected:
  // Gives the window back what the skin took (its system menu, its whole window, its own frame), then detaches.
  void ReleaseSteps() override;

 private:
  HBRUSH DialogBrush();
  void CopyFrameToDC(HDC DC);
  void PaintCaption(Bitmap& Cache);
  void PaintTitleButtons(Bitmap& Cache);
  bool DrawTitleButton(Bitmap& Cache, DialogTitleButton& Button);
  void HandleSkinCommand(gui::TMessage& Message);
  void HandleSize(gui::TMessage& Message);
  // Every descendant window, the innermost first, paints what it held back while the dialog held its repaints.
  void FlushHeldRepaints();
  void Default(gui::TMessage& Message) { TacMainWnd::WndProc(Message); }

  void PaintShadow(Bitmap& Cache);
  // Whether the dialog fades out as it is hidden.
  bool HideFades() const;
  void FreeCoverForm();
  // Cancel or Yes: the dialog's picture laid over it (on its border window, or on a cover) as the command hides it.
  void HandleClosingCommand(gui::TMessage& Message);
  void LayHidePicture();
  TacAnimatedDialog& Animated();

  std::unique_ptr<TacBorderOwner> borderOwner_;
  std::unique_ptr<TacAnimatedDialog> animated_;
  HBRUSH brush_ = nullptr;
  TColor brushColor_ = clNone;
  bool settingRegion_ = false;
  uint8_t repaintPending_ = 0;
  int closingCommands_ = 0;  // the ending commands running (a dialog's own may be nested in its question's loop)
};

// Whether the window is a dialog that the hook skinned (its adapter, or nullptr).
TacDialogWnd* DialogAdapterOf(HWND Window);

}  // namespace skin
#endif
