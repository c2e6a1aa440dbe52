#pragma once
// The base window adapter: one object per subclassed window that makes a window nobody else paints look like the
// skin. It keeps the window's skin data, hooks the window's message stream, answers the common part of the
// library command message and passes everything else to what it replaced; it puts the window back as it was when
// it goes.
//
// Two routes into the message stream:
// - A window that no control of the component layer serves gets one shared window procedure (GWLP_WNDPROC). The
//   shared procedure finds the window's adapter under the property "ACSBSC" and the procedure it replaced under a
//   second property; a window whose adapter is gone (detached while another procedure was installed over the
//   shared one, so that it could not be put back) keeps forwarding to that original until it is destroyed, or
//   until the shared procedure is on top again and takes itself out.
// - A control of the component layer gets its WindowProc replaced by a small method that holds a link to the
//   adapter and the WindowProc it replaced; detaching puts that WindowProc back when the method is still on top,
//   and otherwise leaves the method forwarding to it.
// Either way a detached adapter is never reached again, and adapters are freed only through the deferred list of
// adapter_lifetime.h. No exception leaves a window procedure: an exception of an adapter falls back to the
// original procedure.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/adapters/adapter_lifetime.h"

#ifdef _WIN32
#include <windows.h>

#include "gui/controls.h"
#include "gui/messages.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/geometry.h"

namespace skin {

// The window property under which a subclassed window holds its adapter.
inline constexpr char AdapterPropName[] = "ACSBSC";
// The window property under which the shared window procedure keeps the procedure it replaced.
inline constexpr char AdapterOriginalPropName[] = "ACSBSCPROC";

// The creation record of every window adapter.
struct TacSkinParams {
  gui::TControl* Control = nullptr;  // the control of the component layer that owns the window, or none
  std::string SkinSection;           // empty: the adapter class's default section
  bool UseSkinFont = true;           // the new skin data's CustomFont becomes its negation
  bool UseSkinColor = true;          // the new skin data's CustomColor becomes its negation
  int32_t VertScrollWidth = -1;      // scroll sizes, -1 = not given (the scrollable family reads them)
  int32_t VertButtonsSize = -1;
  int32_t HorzScrollWidth = -1;
  int32_t HorzButtonsSize = -1;
};

// 1 while the dialog dispatcher skins the children of a dialog (adapters made meanwhile remember it).
uint8_t& DispatcherSkinning();

struct MethodLink;

class TacMainWnd : public DeferredFree {
 public:
  TacMainWnd() = default;
  ~TacMainWnd() override;

  // ---- Virtual operations.
  // Last step of creation: the skin data may refresh itself from now on.
  virtual void Initialize();
  virtual void SaveColors() {}
  // Called when the adapter is detached and for AC_SKINREMOVED.
  virtual void RestoreColors() {}
  virtual void SetSkinColors() { Skinned = 1; }
  // Makes the skin data when none was given (held back from refreshing until Initialize).
  virtual void InitCommonData();
  // Attaches the adapter to the window (the steps of creation). Called once, by NewAdapter.
  virtual void Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
                      bool Repaint);
  // The hooked window procedure.
  virtual void WndProc(gui::TMessage& Message);
  // Whether the adapter belongs to the scrollable family (attached with its scroll bars).
  virtual bool ScrollFamily() const { return false; }
  // Whether creation leaves the window's visual style on whatever the other rules say (popup-menu windows).
  virtual bool KeepsVisualStyle() const { return false; }
  // After detaching took the adapter out of the window (procedure, property, colours): the scrollable family
  // frees its bars here.
  virtual void DetachedFromWindow() {}

  // Passes a message to what the adapter replaced (0 when it never replaced anything).
  LRESULT CallOriginalWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM& LParam);
  LRESULT CallOriginal(gui::TMessage& Message) {
    Message.Result = CallOriginalWndProc(Handle, Message.Msg, Message.WParam, Message.LParam);
    return Message.Result;
  }
  // Refreshes ParentWnd, WndRect, WndPos, WndSize and ParentRect.
  void WindowRectInParent();
  // The window's text (read on first use after creation and after every WM_SETTEXT, sized first).
  const std::string& WindowText();

  // Detaches from the window (when still attached) and gives the adapter to the deferred list. The pointer is
  // not to be used afterwards. Prefer FreeAdapter, which also clears the variable.
  void Release();

  // Whether the window reaches this adapter through the shared window procedure (not a control's WindowProc).
  bool HooksWindowProc() const { return hookedWindowProc_; }
  // Whether a procedure is saved (the adapter is attached).
  bool HasSavedProc() const { return OldWndProc != nullptr || static_cast<bool>(link_); }
  // Painting is held back: the window's own update lock, or a container of its that holds its repaints (the
  // window is then flagged, and painted when the container lets its children paint again). Never while printing.
  bool PaintHeldBack();
  // The owner control as a windowed control (nullptr without one).
  gui::TWinControl* OwnerWinControl() const;

  // ---- Fields.
  uint8_t CreatedByDispatcher = 0;
  uint8_t Destroyed = 0;       // detached from its window
  uint8_t OwnsSkinData = 0;
  uint8_t Skinned = 0;         // SetSkinColors ran
  uint8_t AttachState = 0;     // cleared by attaching; the scrollable family's busy byte
  TRect WndRect;               // the window's screen rectangle at the last refresh
  TRect ParentRect;            // the parent's screen rectangle
  HWND ParentWnd = nullptr;
  HWND Handle = nullptr;
  TSize WndSize;
  TPoint WndPos;               // top-left in the parent's client coordinates
  uint32_t SavedControlStyle = 0;
  WNDPROC OldWndProc = nullptr;  // what the shared window procedure replaced (route 1)
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;

 protected:
  // Route 2: the link of the method that stands in the control's WindowProc (nullptr when not attached that way).
  std::shared_ptr<MethodLink> link_;
  // What the adapter replaced, kept after detaching: a message the adapter is still handling when it lets go
  // reaches the original all the same.
  std::shared_ptr<MethodLink> keptLink_;
  WNDPROC keptProc_ = nullptr;
  // The control (or form) whose WindowProc the method replaced.
  gui::TControl* methodTarget_ = nullptr;
  bool hookedWindowProc_ = false;
  bool unicode_ = false;       // the window's procedure is a Unicode one
  bool textStale_ = true;
  bool windowGoing_ = false;  // WM_DESTROY or WM_NCDESTROY reached the adapter
  bool released_ = false;
  bool detached_ = false;    // taken out of the window (whether or not its procedure could be put back)
  std::string windowText_;

  friend bool AttachWindow(TacMainWnd* Adapter, HWND Wnd);
  friend bool DetachWindowProc(TacMainWnd* Adapter);
  friend bool DetachWindow(HWND Wnd, bool FreeAdapter, bool RedrawFrame, TacMainWnd*& Adapter);
  friend struct AdapterRoutes;

  // Step 7 of creation: attaching (the scrollable family attaches with its bars).
  virtual void Attach(bool Repaint);
  // The skin data's section, stored upper case.
  void SetSectionName(const std::string& Name);
  // A control's own popup menu gets the skinned menus' handlers before it shows (WM_CONTEXTMENU).
  void InstallOwnPopupMenu();
  // The default manager learns that the mouse is over the owner control.
  void NoteHotControl();
  // The mouse left the window (WM_MOUSELEAVE, WM_NCMOUSELEAVE) for another window or none: the default manager's
  // hot control, when it is the owner control, is no longer. (Only a control that takes the mouse after it told
  // the manager so; the pointer gone to a panel, a label or out of the program left the owner hot for good.)
  void ForgetHotControl();
  // The window under the pointer is another one (leaving the client area for the frame is no leaving).
  bool PointerLeft() const;
  static bool CompositionEnabled();
  // The answer to AC_GETBACKGROUND from the skin data, in the coordinates of the window's client area.
  void AnswerBackground(BackgroundInfo& Info);
  // The common handling: the library command codes below 61, everything else to the original procedure.
  void CommonWndProc(gui::TMessage& Message);
  // The steps of Release that the scrollable family extends (its bars are freed after these).
  virtual void ReleaseSteps();
  // The messages handled before the skin test, shared by the family: true when handled.
  bool HandleDestroyMessage(gui::TMessage& Message);
};

// Makes an adapter of class T and attaches it to the window.
template <class T>
T* NewAdapter(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params, bool Repaint) {
  auto* adapter = new T();
  adapter->Create(Wnd, Data, Manager, Params, Repaint);
  return adapter;
}

// Releases the adapter (Release) and clears the variable.
void FreeAdapter(TacMainWnd*& Adapter);
template <class T>
void FreeAdapter(T*& Adapter) {
  TacMainWnd* base = Adapter;
  FreeAdapter(base);
  Adapter = nullptr;
}

// The subclassing pair. AttachWindow: the property "ACSBSC" and one of the two routes; false when the window
// already has an adapter. DetachWindow: the procedure (or WindowProc) put back when it is still on top, the
// property removed, the colours restored, the frame refreshed when the window is visible (SetWindowPos with the
// frame changed with RedrawFrame, else WM_NCPAINT); with FreeAdapter the adapter is released and the variable
// cleared. Returns whether the window's procedure was put back (false when another one sits on top; the window
// then forwards to its original procedure and the adapter is no longer reached).
bool AttachWindow(TacMainWnd* Adapter, HWND Wnd);
bool DetachWindow(HWND Wnd, bool FreeAdapter, bool RedrawFrame, TacMainWnd*& Adapter);
// The adapter held under "ACSBSC", or nullptr.
TacMainWnd* AdapterOfWindow(HWND Wnd);
// The procedure the shared window procedure forwards to for a window (nullptr when it does not hook the window).
WNDPROC HookedOriginalProc(HWND Wnd);
// The shared window procedures (ANSI and Unicode windows).
LRESULT CALLBACK AdapterWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT CALLBACK AdapterWindowProcW(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// SetWindowPos with the frame changed (Full) or WM_NCPAINT with WParam 1.
void RedrawWindowFrame(HWND Wnd, bool Full);
// While one lives on the thread for a window (nullptr: for none), an adapter attached to that window recomputes
// the window's frame without painting it: its maker repaints the window whole right afterwards.
class AttachPaintDeferral {
 public:
  explicit AttachPaintDeferral(HWND Wnd);
  ~AttachPaintDeferral();
  AttachPaintDeferral(const AttachPaintDeferral&) = delete;
  AttachPaintDeferral& operator=(const AttachPaintDeferral&) = delete;

 private:
  HWND previous_;
};
// The window's frame is not painted now (see AttachPaintDeferral).
bool AttachPaintDeferred(HWND Wnd);
// The library command message to the owner control's children (nothing without a windowed control).
void BroadcastToControlChildren(gui::TControl* Control, gui::TMessage& Message);
// Whether a skin change shows or loads now: adapters then skip their painting.
bool SkinChangeInProgress(const TsSkinManager* Manager);

}  // namespace skin
#endif
