#pragma once
// The adapters of windows with a client area, a border and scroll bars: TacScrollWnd ties a window to the skinned
// scroll bars and answers the library command message; TacBaseWnd refreshes the frame after size, enable and
// scroll changes; TacEditWnd paints the skin's border and background into the window's cache, gives the control
// the skin's edit colours and handles painting, printing and focus (edits, memos, rich edits, list boxes).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "skin/adapters/acmainwnd.h"
#include "skin/adapters/acsbutils.h"

#ifdef _WIN32
#include <windows.h>

#include "gui/graphics.h"
#include "skin/pixels/colors.h"

namespace skin {

class TacScrollWnd : public TacMainWnd {
 public:
  TacScrollWnd() = default;
  ~TacScrollWnd() override;

  void InitCommonData() override;
  void WndProc(gui::TMessage& Message) override;
  bool ScrollFamily() const override { return true; }
  void DetachedFromWindow() override;
  // A dropped list that holds the mouse capture for itself while it is open: a press on its skinned bar leaves
  // the capture with it, and the button-up of such a press is not passed on.
  virtual bool KeepsCapture() const { return false; }
  // The skin data as the scrollable family makes it (nullptr when another kind was given).
  TsScrollWndData* ScrollData() const { return dynamic_cast<TsScrollWndData*>(SkinData); }
  // 1 while the engine sends its own scroll messages.
  uint8_t& ScrollBusy() { return AttachState; }

  uint8_t TrackingThumb = 0;
  uint8_t LeftScrollBar = 0;
  uint8_t FrameCalculated = 0;
  uint8_t Updating = 0;
  std::unique_ptr<TacScrollBar> HorzBar;
  std::unique_ptr<TacScrollBar> VertBar;
  int32_t BorderLeft = 0;
  int32_t BorderRight = 0;
  int32_t BorderTop = 0;
  int32_t BorderBottom = 0;

 protected:
  void Attach(bool Repaint) override;
  // The skin data can be painted now.
  bool IsSkinned() const;
  // The library command message, skinned: true when the code was answered (not passed on).
  bool ScrollCommand(gui::TMessage& Message);
  // AC_MOUSEENTER / AC_MOUSELEAVE: the skin data takes the hover and a change is painted.
  void HoverCommand(bool Enter);
  // The hover of a window that no component owns, from its own mouse messages (moves and leaves).
  void ForeignHover(UINT Msg);
  // The state the window's border and background show: 1 focused or hot, else 0.
  int32_t HoverState() const;
  // The window is the pointer's hot window: its control is the manager's hot control, or, for a window no
  // component owns (the manager follows components only), the window holds the hover it follows itself.
  bool PointerHot() const;
  // The scrollable family's own WndProc body (TacBaseWnd and TacEditWnd run it as their base handling).
  void ScrollWndProc(gui::TMessage& Message);
};

class TacBaseWnd : public TacScrollWnd {
 public:
  void WndProc(gui::TMessage& Message) override;

 protected:
  void BaseWndProc(gui::TMessage& Message);
};

class TacEditWnd : public TacBaseWnd {
 public:
  ~TacEditWnd() override;
  void SaveColors() override;
  void RestoreColors() override;
  void SetSkinColors() override;
  void Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
              bool Repaint) override;
  void WndProc(gui::TMessage& Message) override;

  int32_t HotIndex = -1;
  TColor BorderColor = 0;
  uint8_t SingleLine = 0;
  uint8_t ChildrenChanged = 0;
  TColor BgColor = 0;
  TColor SavedFocusColor = clNone;
  TColor SavedColor = clNone;       // the control's own Color and Font.Color
  TColor SavedFontColor = clNone;

 protected:
  // The edit family's part of the library command message: true when handled.
  bool EditCommand(gui::TMessage& Message);
  void PaintNcArea();
  void PaintMessage(gui::TMessage& Message);
  void PrintMessage(gui::TMessage& Message);
  bool DisabledSingleLineEdit() const;
  bool IsListBox() const;
  // A window no component owns answers its parent's colour request (reflected to it as CN_CTLCOLOR*): the DC
  // takes the background and text colours it is skinned in, and the brush of that background (kept until the
  // colour changes or the adapter goes).
  bool AnswerColourRequest(gui::TMessage& Message);

 private:
  HBRUSH colourBrush_ = nullptr;
  TColor colourBrushColour_ = clNone;
};

// The window's image (border and background) in the skin data's cache bitmap.
void PaintSubclassedBackground(TsCommonData* SkinData, HWND Handle, bool FlatBorder);
// The skin border from the section's BORDERSMASK along the cache's edges.
void PaintScrollWindowFrame(TsCommonData* SkinData, HDC DC, TacMainWnd* Adapter);
// Whether the control shows a hot look on hover and focus.
bool HotLookAllowed(TsCommonData* SkinData, bool CheckKind);

// ---- Small helpers the adapters share.
// The skin data's cache bitmap prepared (made when missing, sized to its control by the skin data) and sized to
// the window it holds the image of: a window no component owns has no control to size it by, and some images
// (a simple combo's face) are not the control's size.
void PrepareWindowCache(TsCommonData& Data, int32_t Width, int32_t Height);
// A font of the system's non-client metrics (owned by the caller, counted by the leak ledger): Kind 1 caption, 2
// small caption, 3 menu, 4 status, any other the message font; nullptr when the system gives no metrics.
HFONT CreateSystemFont(int Kind);
// The canvas's font becomes that system font.
void SelectSystemFont(gui::TCanvas& Canvas, int Kind);
// The font an adapter writes with: its control's Font; else the font the window answers to WM_GETFONT; else the
// message font.
void SelectAdapterFont(TacMainWnd* Adapter, gui::TFont& Font);
// The font the window answers to WM_GETFONT; false (Font untouched) when it answers none.
bool SelectWindowFont(HWND Wnd, gui::TFont& Font);
// Published properties by name, left alone (or 0) when the object does not publish them.
void SetIntPropIfExists(gui::TObject* Obj, std::string_view Name, int64_t Value);
int64_t GetIntPropIfExists(gui::TObject* Obj, std::string_view Name);
TColor GetColorPropIfExists(gui::TObject* Obj, std::string_view Name);
// AC_CHILDADDED (LParam 0) to the window's top-level ancestor.
void NotifyTopWindowChildAdded(HWND Handle);
// A skinned skin data (with a loaded skin) gets a live edit adapter for its control's window: one already detached
// is released and a new one made with this skin data; an unskinned one has its adapter released.
void RecreateEditAdapter(TsCommonData* SkinData, TacEditWnd*& Adapter);

}  // namespace skin
#endif
