#pragma once
// Controls: TControl (the visual component with bounds, visibility, text, colour, font, hint and a
// replaceable message procedure), TWinControl (a control with a window of its own, children and focus) and
// TGraphicControl (a control without window that paints on its parent).
//
// Message path. Every message that a control receives, from Windows or from the layer itself, goes through
// `WindowProc`, which starts as a call of the virtual `WndProc`. Whoever replaces `WindowProc` (the skinning
// library does, per control) keeps the previous value and calls it for what it does not take. `WndProc`
// handles what the class handles and ends in `DefaultHandler`, which in the Windows build calls the window
// class's own procedure (saved when the window was subclassed) and natively does what that class would have
// done to the control's state. Property setters perform the internal notifications (CM_TEXTCHANGED,
// CM_VISIBLECHANGED, CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED, ...) on the control, so replacements
// see them in both builds. Parents pass WM_COMMAND, WM_NOTIFY, scroll, colour and owner-draw messages to the
// child they concern as CN_* (0xBC00 + message).
//
// Handles. Windows are created lazily (a form when it is first shown or its Handle is asked for; children with
// their parent) and only in the Windows build: natively `HandleAllocated` is always false and the layer keeps
// every property in its members. Setters push to the window when it exists; getters of what the user edits
// (edit text, selection, check state, positions) read the window when it exists.
//
// The window side. Each unit of the layer keeps its Win32 half in a file of its own beside the portable one
// (controls_win32.cpp beside controls.cpp, ...), and its headless half, where the native build does something
// of its own, in a *_posix.cpp. What a control asks of its window is declared with the control, under "window
// side"; the rule above is written once, in TWinControl: SendToWindow (a message to the window when it exists)
// for setters, ReadWindowOr (the window's answer when it exists, else the member) for getters.
#include <concepts>
#include <functional>
#include <string>
#include <vector>

#include "gui/classes.h"
#include "gui/graphics.h"
#include "gui/messages.h"
#include "gui/types.h"

namespace gui {

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;

// Control style flags (a set).
using TControlStyle = uint32_t;
inline constexpr TControlStyle csAcceptsControls = 0x0001;
inline constexpr TControlStyle csCaptureMouse = 0x0002;
inline constexpr TControlStyle csClickEvents = 0x0004;
inline constexpr TControlStyle csOpaque = 0x0008;
inline constexpr TControlStyle csSetCaption = 0x0010;
inline constexpr TControlStyle csDoubleClicks = 0x0020;

// Control state flags (a set).
using TControlState = uint32_t;
inline constexpr TControlState csLButtonDown = 0x0001;
inline constexpr TControlState csClicked = 0x0002;
inline constexpr TControlState csCreating = 0x0004;
inline constexpr TControlState csAligning = 0x0008;
// Set while the control paints a copy of itself into another control's picture (not onto its own surface).
inline constexpr TControlState csPaintCopy = 0x0010;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// The size limits of a control (0: no limit). A form's window keeps to them while the user sizes it.
struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  GUI_CLASS_NAME("TControl")

  TSizeConstraints Constraints;

  // The replaceable message procedure (see the top of this file).
  TWndMethod WindowProc;
  // Sends a message to this control through WindowProc and returns its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& m);
  virtual void DefaultHandler(TMessage& m);

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form this control lies on (itself for a form), or nullptr.
  TCustomForm* GetParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientSize(int width, int height);
  void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
  void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to a visible form visible.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  // Caption and Text are the same property (the control's text).
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& s) { SetText(s); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& s);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& h) { hint_ = h; }
  // The effective switch: the parent's while ParentShowHint is on.
  bool ShowHint() const;
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);

  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);

  // Reading order: the skinned frame writes a right-to-left control's caption right to left and swaps its
  // left and right alignment.
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode m) { biDiMode_ = m; }
  bool UseRightToLeftReading() const { return biDiMode_ != TBiDiMode::bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return biDiMode_ == TBiDiMode::bdRightToLeft; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle s) { controlStyle_ = s; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState s) { controlState_ = s; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* m);

  // Asks for a repaint (of the parent's area for a graphic control); Repaint paints at once.
  virtual void Invalidate();
  void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  // Fires OnClick; without a handler, executes the linked action.
  virtual void Click();
  // The linked action (nullptr for none): the control takes its caption, enabled state, hint and visibility.
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* a);
  // True when the control lies on a form that is being destroyed or is itself being destroyed or loaded.
  bool CanPaint() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

 protected:
  virtual std::string GetText() const;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void Resize();
  // The linked action changed (or was just linked): its properties taken over. With CheckDefaults only those
  // the control still has at their defaults (as when linked while loading).
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  friend class TBasicAction;
  // Called after the bounds changed (also natively); windowed controls move their window before.
  virtual void BoundsChanged(bool sizeChanged);
  void SetMouseCapture(bool on);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool showing_ = false;
  std::string text_;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TFont font_;
  bool parentFont_ = true;
  bool takingParentFont_ = false;
  TAlign align_ = TAlign::alNone;
  TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState controlState_ = 0;
  TPopupMenu* popupMenu_ = nullptr;
  TBasicAction* action_ = nullptr;

  // Recomputes Showing for this control and its children (CM_SHOWINGCHANGED to windowed ones that change).
  void UpdateShowing();

 private:
  friend class TWinControl;
  // Window side: a windowed control's window goes to the top (or the bottom) of its siblings.
  void WindowToZOrder(bool top);
};

struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  // The window class: a system class ("BUTTON", "EDIT", ...) or, with OwnClass, one the layer registers.
  std::string WinClassName;
  bool OwnClass = false;
  UINT ClassStyle = 0;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  GUI_CLASS_NAME("TWinControl")

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int i) const { return controls_.at(static_cast<size_t>(i)); }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  bool ContainsControl(const TControl* c) const;
  // The topmost visible child (graphic only unless `windowed`) at a client point, enabled unless asked.
  TControl* ControlAtPos(TPoint p, bool allowDisabled = false, bool windowed = false) const;

  // Repaints the control's own window (Windows).
  void Invalidate() override;
  void Update() override;

  // The window, created on demand (Windows); always nullptr natively.
  HWND Handle();
  HWND WindowHandle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { (void)Handle(); }
  void DestroyHandle();
  void RecreateWnd();

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  int TabOrder() const;
  void SetTabOrder(int order);
  // Visible, enabled and on a showing form (with all parents visible and enabled).
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Moves the focus to the next (or previous) control in tab order on the same form.
  void SelectNext(bool forward);

  // Places the aligned children (alTop, alBottom, alLeft, alRight, alClient) in the client area.
  void AlignControls();
  virtual void AdjustClientRect(TRect& r) const {}
  // Sends the message to every child control.
  void Broadcast(TMessage& m);
  void NotifyControls(UINT msg);

  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // The control that owns a window of this program, or nullptr.
  static TWinControl* FromHandle(HWND h);

 protected:
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  std::string GetText() const override;
  void BoundsChanged(bool sizeChanged) override;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateHandle();
  virtual void CreateWnd();
  // After the window exists: push what the window holds (text limits, items, positions, ...).
  virtual void InitializeWindow() {}
  // Before the window goes: read back what the user may have changed.
  virtual void FinalizeWindow() {}
  // True for controls whose text is edited in the window (the getter then reads the window).
  virtual bool TextLivesInWindow() const { return false; }
  virtual void KeyPress(char& key);
  // Paints the control's own content on a device context (Windows): the class procedure's painting, or the
  // layer's Paint for classes it draws itself.
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc);
  void PaintHandler(TMessage& m);
  bool HasVisibleGraphicChildren() const;
  // True for classes the layer draws itself (forms, panels): WM_PAINT then always goes to PaintWindow.
  virtual bool OwnPaint() const { return false; }
  // The brush of Color (Windows); the reflected colour messages answer it.
  HBRUSH BrushHandle();

  // ---- Window side (controls_win32.cpp; controls_posix.cpp natively, where no control has a window) ----
  // Sends a message to the window when there is one and returns its answer; 0 without a window. Every setter of
  // a property that the window holds too pushes its value with it.
  LRESULT SendToWindow(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Posts a message to the window, to reach WindowProc once the messages queued before it are handled; false
  // without a window (natively always).
  bool PostToWindow(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // A property the user edits: what the window answers when there is one, else the member.
  template <class T, std::invocable Read>
  T ReadWindowOr(const T& member, Read read) const {
    return handle_ ? static_cast<T>(read()) : member;
  }
  template <class T>
  T ReadWindowOr(const T& member, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return handle_ ? static_cast<T>(SendToWindow(msg, wParam, lParam)) : member;
  }
  // The window's text (WM_GETTEXT).
  std::string WindowText() const;
  // The messages that only a window receives (painting, the mouse over a window, focus, reflection to the
  // child they concern, ...), answered by each class's Win32 half; TWinControl::WndProc asks it before its own
  // cases, and it is true when the message was answered there. The native build has no such message.
  virtual bool WindowMessage(TMessage& m);
  // The window class's own procedure for what the control leaves to it: true when the window answered.
  bool WindowDefaultHandler(TMessage& m);

  HWND handle_ = nullptr;
  void* defWndProc_ = nullptr;  // the window class's own procedure (WNDPROC)
  bool tabStop_ = false;
  std::vector<TControl*> controls_;
  TControl* captureControl_ = nullptr;  // graphic child holding the mouse

 private:
  friend class TControl;
  friend struct WindowBridge;
  void AttachHandle(HWND h);
  void WindowDestroyed();
  void UpdateBoundsFromWindow();
  void ReflectToChild(TMessage& m);
  // Window side: the window follows the bounds, a style bit, the enabled and visible states and the font; the
  // control takes the keyboard focus; the background brush goes with the control. Natively, where the layer
  // keeps the focus itself, a control that is disabled or hidden (with what it contains) loses the focus.
  void BoundsToWindow();
  void StyleToWindow(DWORD style, bool on);
  void EnabledChanged();
  void VisibleChanged();
  void FontToWindow();
  void TakeFocus();
  void FreeBrush();
  bool updatingBounds_ = false;
  // The font's handle changes (TFont::HandleChanges) that the window's font follows; -1 before it has one.
  int64_t windowFontChanges_ = -1;
  HBRUSH brush_ = nullptr;
  uint32_t brushRGB_ = 0;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  GUI_CLASS_NAME("TGraphicControl")
  TCanvas& Canvas() { return canvas_; }

 protected:
  void WndProc(TMessage& m) override;
  // Draws the control on Canvas, whose origin is the control's top-left corner.
  virtual void Paint() {}

  TCanvas canvas_;
};

// The window-less control that owns keyboard input natively (and the focused control of the Windows build).
TWinControl* FocusedControl();

}  // namespace gui
