#pragma once
// Small operations on controls and windows that the whole skinning library shares: sending the library's
// command message, broadcasting it to children, whether a control can paint, owners, forms and top windows,
// background colours asked through the command message, repaint requests to children, painting graphic
// controls into a device context, layered-window updates and window geometry helpers.
//
// Every operation accepts nullptr for a control or window and answers the neutral value it states.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "gui/controls.h"
#include "gui/forms.h"
#include "gui/frames.h"
#include "skin/manager/skincommands.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

// ---- The command message.

// SendMessage(Wnd, WM_SKINCOMMAND, Command << 16, LParam): the answer (0 natively, where there are no windows).
LRESULT SendLibraryCommand(HWND Wnd, uint16_t Command, LPARAM LParam);
// A control without window gets Perform; a windowed control SendMessage to its window when it is not being
// destroyed and has one; otherwise the answer is 0.
LRESULT SendLibraryCommandToControl(gui::TControl* Control, uint16_t Command, LPARAM LParam);
inline LRESULT SendLibraryCommandNoParam(gui::TControl* Control, uint16_t Command) {
  return SendLibraryCommandToControl(Control, Command, 0);
}
// The window answers the command (LParam 0) with exactly 1.
bool QueryLibraryCommand(HWND Wnd, uint16_t Command);
// Passes the message to the children of a windowed control, in child order: a child being destroyed stops the
// walk; a child without window (or whose window does not exist) gets Perform; a child window that answers
// AC_ISSKINNED gets SendMessage, any other has the message passed on to its own children instead.
void BroadcastToChildren(gui::TWinControl* Control, gui::TMessage& Msg);
// Whether a receiver may act on a command: codes that carry an address of this process are refused when the
// message was sent from another thread or process. The system reports a message of another thread as being
// answered through everything the thread does meanwhile, so a command that this thread itself is sending (one
// that an OwnLibraryCommand holds, see below) is taken all the same.
bool AcceptSkinCommand(const gui::TMessage& Msg);
// A broadcast that reaches each receiver once, for the time the object lives: a form's control adapter hands a
// refresh to every control it skinned, a container hands it to its child windows, and the walk over a form's
// children hands it to them again; while the object lives, the library's senders (BroadcastToChildren,
// SendToChildWindows, the control adapter's broadcast) pass the message to a receiver only the first time.
// Only AC_SKINREFRESH is given once (any other message is passed on as before); an inner scope of the same message
// adds nothing, one of another message holds until it ends.
class OneDeliveryPerReceiver {
 public:
  explicit OneDeliveryPerReceiver(const gui::TMessage& Msg);
  ~OneDeliveryPerReceiver();
  OneDeliveryPerReceiver(const OneDeliveryPerReceiver&) = delete;
  OneDeliveryPerReceiver& operator=(const OneDeliveryPerReceiver&) = delete;

 private:
  friend bool FirstDelivery(const void* Receiver, const gui::TMessage& Msg);
  gui::TMessage msg_{};
  std::unordered_set<const void*> reached_;
  OneDeliveryPerReceiver* previous_ = nullptr;
  bool running_ = false;  // this one notes the deliveries (not an inner scope, nor another message)
};
// Whether the message is to be sent to the receiver (its window, or the headless control natively): true, and the
// receiver noted, unless a running OneDeliveryPerReceiver of this very message noted it already.
bool FirstDelivery(const void* Receiver, const gui::TMessage& Msg);
// Marks a command that this thread is sending, for the time the object lives (the library's senders hold one
// around each send of a code that carries an address): its receivers take it even while the thread answers a
// message that another thread or process sent (a repaint done while a click or a text sent from outside is
// handled asks the parents for their backgrounds this way).
class OwnLibraryCommand {
 public:
  OwnLibraryCommand(WPARAM WParam, LPARAM LParam);
  ~OwnLibraryCommand();
  OwnLibraryCommand(const OwnLibraryCommand&) = delete;
  OwnLibraryCommand& operator=(const OwnLibraryCommand&) = delete;

 private:
  bool held_;
};

// ---- Controls.

// Not nullptr; has a parent; a windowed control has its window; not being created, read, loaded or destroyed.
bool ControlCanPaint(const gui::TControl* Control);
// The first form in the chain component, its owner, its owner's owner, ... (a form gives itself).
gui::TCustomForm* GetOwnerForm(gui::TComponent* Component);
// The first frame in the same chain.
gui::TCustomFrame* GetOwnerFrame(gui::TComponent* Component);
// DrawText flags of an alignment: DT_LEFT, DT_RIGHT or DT_CENTER, with DT_EXPANDTABS and DT_VCENTER.
uint32_t GetTextFlags(const gui::TControl* Control, gui::TAlignment Alignment);
// Sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of the visible children with that alignment
// (graphic children only when asked); 0 for other alignments.
int SumAlignedControls(const gui::TWinControl* Control, gui::TAlign Align, bool WithGraphic);
// AC_CHILDADDED (LParam = the control) to the window of the control's form; nothing for nullptr, while loading,
// or without form.
void NotifyParentChildChanged(gui::TControl* Control);
// AC_FLUSHREPAINT to every direct child not being destroyed: a showing windowed child with its window by
// SendMessage, a graphic child by Perform. Nothing while a skin-change animation runs.
void RepaintChildControls(gui::TWinControl* Control);
// The background colour of a control: for a skinned control its answer to AC_GETCOLOR, else its own colour;
// 0xFF00FF for nullptr.
TColor ControlBgColor(gui::TControl* Control);

// ---- Windows (Win32).
#ifdef _WIN32
void GetCursorPosTo(TPoint& P);
void SetRedraw(HWND Window, bool Redraw);
// Every descendant whose direct parent is the window gets the message.
void SendToChildWindows(HWND Window, const gui::TMessage& Msg);
// The client rectangle in window coordinates.
void ClientRectInWindow(HWND Window, RECT& R);
std::string GetWndClassName(HWND Window);
// The window's top-level ancestor (itself when it has no parent).
HWND TopParentWindow(HWND Window);
// AC_FLUSHREPAINT to every child window (WS_CHILD) in Z order.
void RepaintChildWindows(HWND Window);
// The window's answer to AC_GETCOLOR (a window outside the library answers 0, black); 0xFF00FF for nullptr.
TColor WindowBgColor(HWND Window);
// One UpdateLayeredWindow of a 32-bit bitmap (per-pixel alpha and the constant alpha) onto the window, which
// gets WS_EX_LAYERED when it lacks it; without a bitmap a snapshot of the window's screen area is used. A
// destination point of nullptr keeps the window's position.
void UpdateLayeredFromBitmap(HWND Window, const Bitmap* Bmp, uint8_t Alpha, const TPoint* DstPoint);
// Paints the graphic (windowless) children of a windowed control into a device context through a memory
// bitmap, each over its background (its own colour when opaque, else the control's background). Nothing
// while a call is running (re-entry), for a hidden control with StopWhenHidden, and only AC_SETTAGBYTE to the
// control when the DC's clip box is empty.
void PaintGraphicControls(HDC DC, gui::TWinControl* Control, bool StopWhenHidden, TPoint Offset);
// SetWindowTheme of the theme library ("UXTHEME"), bound at first use; nullptr without it.
using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, const wchar_t*, const wchar_t*);
SetWindowThemeFn SetWindowThemeEntry();
#endif

}  // namespace skin
