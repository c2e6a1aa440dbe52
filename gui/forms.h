#pragma once
// Forms, the application object and the screen.
//
// Activation. A form's OnActivate fires when it becomes the program's active form: after it is first shown,
// and when a modal form of the program closes and the form that was active before gets the activation back
// (before ShowModal returns). Switching to another application and back does not fire it.
//
// Modal showing. ShowModal disables the program's other windows, shows the form and runs a message loop until
// ModalResult is set (Close sets mrCancel; a button with a ModalResult sets its own); the form's OnClose then
// runs, the form is hidden, the other windows are enabled again and the previously active form is activated.
// Timers keep running inside that loop.
//   In the native build there is no user to answer: `TApplication::ModalDriver`, when a test installs one, is
//   called once with the form right after it is shown (it may click its buttons, run timers through
//   `ProcessTimers`, open further modal forms, and end with Close or a ModalResult); when it returns without
//   having ended the showing, or when none is installed, the form is closed with mrCancel, as a user who
//   closes it by its system menu would. The Windows build calls the same driver (when installed) once after
//   showing and then runs the real loop.
//
// MDI. A form whose FormStyle is fsMDIForm holds a client window (MDICLIENT, `ClientHandle`) over the part of
// its client area that its aligned controls leave free; forms made fsMDIChild live inside the client window of
// the program's MDI form (the main form when it is one, else the first MDI form made), which must exist when
// the style is set. An MDI child cannot be hidden: closing it minimizes it (caMinimize, or caNone without a
// minimize icon) unless OnClose asks for caFree. MDIChildren lists the children from the top one down;
// natively the layer keeps that order itself (showing or activating a child brings it to the top) and Tile,
// Cascade and ArrangeIcons place the children in the client area as the system does.
//
// Timers. In the Windows build TTimer uses SetTimer on a hidden utility window. Natively timers are driven by
// the application's clock (platform::Clock, a SimulatedClock in tests) through `ProcessTimers`, which fires
// each enabled timer whose interval has elapsed at most once per call, as WM_TIMER does.
#include <functional>
#include <string>
#include <vector>

#include "gui/controls.h"
#include "platform/clock.h"

namespace gui {

class TMainMenu;
class TMenuItem;
class TTimer;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  GUI_CLASS_NAME("TForm")

  // Runs OnCreate; the application calls it once the form is constructed (after its definition is loaded).
  void AfterConstruction();
  // Runs OnDestroy while the form is still whole (Free calls it).
  void BeforeDestruction() override;

  void Show();
  void Hide();
  // Ends a modal showing (ModalResult := mrCancel), or asks OnCloseQuery and OnClose and hides the form (the
  // main form's closing terminates the application).
  void Close();
  // Frees the form later, from the message loop, once the message being handled is done: CM_RELEASE is posted to
  // its window (natively, and for a form without window, the application frees it on its next ProcessMessages).
  void Release();
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r) { modalResult_ = r; }
  bool IsModal() const { return modal_; }
  // The program's active form is this one.
  bool Active() const;
  // The keyboard was elsewhere (a menu of the form was open, or a modal form was shown) since the previous
  // call, which forgets it: a key that closed a menu or a dialog is then known not to be the form's, even when
  // nobody asked while the keyboard was away. Natively, where there is no keyboard, never.
  bool KeysWereElsewhere();
  // Another form of the program is being shown modally.
  static bool ModalFormShowing();

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons b);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle s);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition p) { position_ = p; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState s);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* m);
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }

  TRect ClientRect() const override;
  void SetClientSize(int width, int height) override;
  TPoint ClientOrigin() const override;
  // The frame around the client area for the current border style and menu: left/top/right/bottom widths.
  TRect FrameMargins() const;
  // The window styles the form's window is created with (its border style, icons, state and enabled state).
  void WindowStyles(DWORD& style, DWORD& exStyle) const;

  bool CloseQuery();

  // MDI (see the top of this file). ClientHandle is the MDI client window (nullptr natively and for other forms).
  HWND ClientHandle() const { return clientHandle_; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int i) const;
  TCustomForm* ActiveMDIChild() const;
  // The MDI form a child lives in (nullptr for other forms).
  TCustomForm* MDIParent() const { return mdiParent_; }
  TTileMode TileMode() const { return tileMode_; }
  void SetTileMode(TTileMode m) { tileMode_ = m; }
  void Tile();
  void Cascade();
  void ArrangeIcons();
  // Activates the next (previous) MDI child.
  void Next();
  void Previous();
  // The area of the client that aligned controls leave free: where the MDI client window lies.
  TRect AlignedRemainder() const;
  // The item of the form's menu under which the list of its MDI children is shown (nullptr: none).
  TMenuItem* WindowMenu() const { return windowMenu_; }
  void SetWindowMenu(TMenuItem* item);

  // The form draws on its canvas when its client area is painted (the canvas is the paint's device context then).
  TNotifyEvent OnPaint;
  TCanvas& Canvas() { return canvas_; }
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Called by the screen when the program's active form changes.
  virtual void Activate();
  virtual void Deactivate();

 protected:
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  bool WindowMessage(TMessage& m) override;
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void PaintWindow(HDC dc) override;
  void BoundsChanged(bool sizeChanged) override;
  virtual void DoClose(TCloseAction& action);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TScreen;
  friend class TApplication;
  void SetFormVisible(bool v);
  void CenterAsPositioned();
  void CloseModal();
  void ApplyClientSize();
  // ---- Window side (forms_win32.cpp; forms_posix.cpp natively, where no form has a window) ----
  // Shows the form and waits until its showing ends, then hides it and gives the activation back.
  void RunModal(TCustomForm* previous);
  // Shows or hides the form's window and moves the activation and the focus with it.
  void ShowFormWindow();
  void HideFormWindow();
  // The deferred release: CM_RELEASE posted to the window when there is one, else the application's list.
  void PostRelease();
  // The window follows the form style, the window state and the menu.
  void FormStyleToWindow();
  void WindowStateToWindow();
  void MenuToWindow();
  // The window's client area and its screen position.
  TRect WindowClientRect() const;
  TPoint WindowClientOrigin() const;
  // MDI: the client window made and placed over AlignedRemainder; the frame's and children's default
  // procedures (true when they answered); the children in the window's z-order and the active one; the
  // client window's arranging (WM_MDITILE, WM_MDICASCADE, WM_MDIICONARRANGE, WM_MDINEXT) and activation.
  void CreateMDIClient();
  void PlaceMDIClient();
  bool MDIDefaultHandler(TMessage& m);
  bool WindowMDIChildren(std::vector<TCustomForm*>& out) const;
  bool WindowActiveMDIChild(TCustomForm*& child) const;
  bool MDIArrangeWindow(UINT msg, WPARAM wParam);
  void MDIActivateWindow(TCustomForm* child);
  // MDI, portable side.
  static TCustomForm* FindMDIForm();
  void MDIChildToTop(TCustomForm* child);
  void ArrangeHeadless(UINT msg);
  HWND clientHandle_ = nullptr;
  TCustomForm* mdiParent_ = nullptr;
  std::vector<TCustomForm*> mdiChildren_;  // top first
  TTileMode tileMode_ = TTileMode::tbHorizontal;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TPosition position_ = TPosition::poDesigned;
  TWindowState windowState_ = TWindowState::wsNormal;
  TMainMenu* menu_ = nullptr;
  TMenuItem* windowMenu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  bool keyPreview_ = false;
  bool keysElsewhere_ = false;  // the keyboard left the form since KeysWereElsewhere last asked
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool created_ = false;
  int clientWidth_ = 0, clientHeight_ = 0;  // the client size the form keeps when its frame changes
  TCanvas canvas_;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
  GUI_CLASS_NAME("TForm")
};

class TScreen {
 public:
  TScreen();
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int i) const { return forms_.at(static_cast<size_t>(i)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;
  int Width() const;
  int Height() const;
  int PixelsPerInch() const;
  TPoint CursorPos() const;
  // The monitors of the desktop (together, the virtual screen), each as its rectangle in desktop
  // coordinates; the primary monitor, whose top left corner is 0, 0, comes first.
  int MonitorCount() const;
  TRect MonitorBounds(int i) const;
  // Native build: the screen the headless layer reports (default 1280 x 1024 at 96 pixels per inch), the
  // mouse position, and the monitors (by default the screen alone).
  void SetHeadlessMetrics(int width, int height, int pixelsPerInch);
  void SetHeadlessCursorPos(TPoint p) { cursor_ = p; }
  void SetHeadlessMonitors(std::vector<TRect> monitors) { monitors_ = std::move(monitors); }

  // Used by forms and controls.
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  // Makes `f` the active form; fires Deactivate on the previous one and Activate on `f` when it changes.
  void SetActiveForm(TCustomForm* f);
  void SetFocusedControl(TWinControl* c);
  void ControlDestroyed(TControl* c);

 private:
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TWinControl* focused_ = nullptr;
  int width_ = 1280, height_ = 1024, ppi_ = 96;
  TPoint cursor_{};
  std::vector<TRect> monitors_;  // headless: empty means the screen alone
};

using TWindowHook = std::function<bool(TMessage& m)>;
class TApplicationEvents;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  GUI_CLASS_NAME("TApplication")

  // Creates a form owned by the application: constructs it (its definition), sets `ref`, runs OnCreate, and
  // makes the first form created the main form.
  template <class T>
  void CreateForm(T*& ref) {
    T* f = new T(this);
    ref = f;
    f->AfterConstruction();
    if (!mainForm_) mainForm_ = f;
  }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* f) { mainForm_ = f; }

  // Shows the main form and runs the message loop until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The program's exit code: what the message that ended the loop carried (0 after Terminate).
  int ExitCode() const { return exitCode_; }
  // Handles every waiting message (and, natively, every due timer).
  void ProcessMessages();
  // Waits for one message and handles it (Windows); natively the same as ProcessMessages.
  void HandleMessage();

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& t);
  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(const std::string& f) { helpFile_ = f; }

  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& h);
  TNotifyEvent OnHint;
  void CancelHint();

  // The hidden application window (Windows); hooks see its messages first and may claim them.
  HWND Handle() const { return handle_; }
  // Creates the application window (Windows; nothing natively).
  void HandleNeeded();
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int id);
  // Runs the hooks on a message of the application window; true when one claimed it.
  bool RunHooks(TMessage& m);
  void Minimize();
  void Restore();
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  // A message box owned by the active form. Natively `MessageBoxDriver` answers it (IDOK when none is set).
  int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);
  std::function<int(const std::string& text, const std::string& caption, UINT flags)> MessageBoxDriver;

  // Reports the exception being handled (call from a catch block): OnException when set, else a message box
  // (Windows) or the standard error stream (native).
  void HandleException(TObject* sender);
  std::function<void(TObject* Sender, const std::string& Message)> OnException;

  // See the top of this file.
  std::function<void(TCustomForm& form)> ModalDriver;

  void SetClock(platform::Clock* clock) { clock_ = clock; }
  platform::Clock& Clock() const;
  // Fires the due timers (native build; nothing in the Windows build, where the system drives them).
  void ProcessTimers();

  // Forms released (TCustomForm::Release) without a window to post to: freed on the next ProcessMessages.
  void DeferFree(TCustomForm* f);
  void CancelDeferredFree(TCustomForm* f);
  void FreeDeferredForms();

  // Used by timers and controls.
  void AddTimer(TTimer* t);
  void RemoveTimer(TTimer* t);
  void ControlMouseMoved(TControl* c);
  void ControlMouseLeft(TControl* c);
  TControl* MouseControl() const { return mouseControl_; }
  void ControlDestroyed(TControl* c);
  void AddEvents(TApplicationEvents* e);
  void RemoveEvents(TApplicationEvents* e);
  // Shows the hint of the control under the mouse (the hint timer of the application window calls it).
  void ShowHintWindow();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TTimer;
  // ---- Window side (forms_win32.cpp; forms_posix.cpp natively) ----
  // An exception no handler took: a message box, natively the standard error stream.
  void ReportException(TObject* sender, const std::string& message);
  // The pause before the hint of the control under the mouse is shown.
  void StartHintTimer();
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  int exitCode_ = 0;
  std::string title_;
  std::string helpFile_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  std::string hint_;
  HWND handle_ = nullptr;
  std::vector<std::pair<int, TWindowHook>> hooks_;
  int nextHookId_ = 1;
  platform::Clock* clock_ = nullptr;
  std::vector<TTimer*> timers_;
  std::vector<TCustomForm*> deferredFree_;
  std::vector<TApplicationEvents*> events_;
  TControl* mouseControl_ = nullptr;
  TControl* hintControl_ = nullptr;
  HWND hintWindow_ = nullptr;
};

// A component that a form holds to receive application events: every instance gets them.
class TApplicationEvents : public TComponent {
 public:
  explicit TApplicationEvents(TComponent* AOwner);
  ~TApplicationEvents() override;
  GUI_CLASS_NAME("TApplicationEvents")
  TNotifyEvent OnHint;
  std::function<void(TObject* Sender, const std::string& Message)> OnException;
};

extern TApplication* const Application;
extern TScreen* const Screen;

}  // namespace gui
