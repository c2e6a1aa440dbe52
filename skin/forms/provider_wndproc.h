#pragma once
// The skin provider's message procedure. Every message the component layer delivers to the form passes
// through ProviderWndProc: the library's command message goes to the command handlers, the messages that the
// skin draws (non-client painting, hit testing, caption-button hovering, activation, sizing, printing) to
// their handlers, and every other message to the form's saved procedure. While the form is not skinned (no
// skin, or being destroyed) only the command handler of that state and three small handlers run; all painting
// is then the form's own.
//
// Also here: the non-client hit test and the caption buttons' hot and pressed states, the library commands a
// form answers, and the handlers of the frame's painting, activation, caption text and sizing messages.
#include <cstdint>
#include <functional>

#include "gui/messages.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

namespace gui {
class TCustomLabel;
}

namespace skin {

void ProviderWndProc(TsSkinProvider& p, gui::TMessage& m);
// Runs a message through ProviderWndProc at once (the result is dropped).
void ProviderSendToWndProc(TsSkinProvider& p, uint32_t msg, uintptr_t wParam, intptr_t lParam);
// Hands the message to the form's saved procedure.
void ProviderCallOldProc(TsSkinProvider& p, gui::TMessage& m);
// Shows the form's system menu at a screen point.
void ProviderPopupSysMenu(TsSkinProvider& p, int32_t x, int32_t y);

// ---- Library commands.
bool ProviderCommandFirst(TsSkinProvider& p, gui::TMessage& m);
bool ProviderCommandUnskinned(TsSkinProvider& p, gui::TMessage& m);
void ProviderCommand(TsSkinProvider& p, gui::TMessage& m);
// Recolours a label with the skin's label font colour, or gives it back its own colour.
void ProviderSetLabelColor(TsSkinProvider& p, gui::TCustomLabel& label, bool skinned);
// The control adapter created (when the form is skinned) and dropped; asked to scan the form again; freed
// with the provider (without telling the children).
void ProviderInitAdapter(TsSkinProvider& p);
void ProviderDropAdapter(TsSkinProvider& p);
void ProviderRescanAdapter(TsSkinProvider& p);
// The form's child windows given to the control adapter (the adapter made, or looking for new ones).
void ProviderTakeChildWindows(TsSkinProvider& p);
// While a menu of the menu line runs: the line marks the entry the system selects (its menu open).
void ProviderFollowMenuLineSelection(TsSkinProvider& p);
// New child controls: those of the given container (nullptr or a control that is none: the whole form).
void ProviderAdapterChildAdded(TsSkinProvider& p, gui::TControl* control);
// A child window made while the form shows (WM_PARENTNOTIFY): the control that owns it is given to the adapter
// alone, in the adapter's default section; a window of no control of the form has the whole form scanned.
void ProviderAdapterChildCreated(TsSkinProvider& p, intptr_t childWindow);
void ProviderFreeAdapter(TsSkinProvider& p);
// The message handed to every adapted child control.
void ProviderBroadcast(TsSkinProvider& p, gui::TMessage& m);

// ---- Hit test and caption-button states.
// The 1-based position of the caption button under a point (window coordinates), counted from the right; 0 for
// none.
int32_t ProviderButtonIndexAt(TsSkinProvider& p, const TPoint& point);
// The hit code of a screen point.
int32_t ProviderHitTest(TsSkinProvider& p, const TPoint& screenPoint);
void ProviderSetHotElement(TsSkinProvider& p, int32_t code, bool repaint);
void ProviderPressElement(TsSkinProvider& p, int32_t code);
// True from a press on a caption element until its release, a mouse-leave or a right click.
bool& TitleButtonPressed();

// ---- The frame's message handlers.
void ProviderNcHitTest(TsSkinProvider& p, gui::TMessage& m);
void ProviderNCMouseMove(TsSkinProvider& p, gui::TMessage& m);
void ProviderMouseLeave(TsSkinProvider& p, gui::TMessage& m);
void ProviderGetMinMaxInfo(TsSkinProvider& p, gui::TMessage& m);
void ProviderInitMenuPopup(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmNcPaint(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmNcActivate(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmActivate(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSetText(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmPaint(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmEraseBkgnd(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmPrint(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSize(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmPosChanged(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmSetRedraw(TsSkinProvider& p, gui::TMessage& m);
// True when it gave the child windows to the control adapter itself.
bool ProviderCmShowingChanged(TsSkinProvider& p, gui::TMessage& m);
void ProviderCmVisibleChanged(TsSkinProvider& p, gui::TMessage& m);
void ProviderCmEnabledChanged(TsSkinProvider& p, gui::TMessage& m);
void ProviderWmNcDestroy(TsSkinProvider& p, gui::TMessage& m);

// ---- Caption and border mouse handling, system commands (provider_mouse.cpp).
void ProviderNcLButtonDown(TsSkinProvider& p, gui::TMessage& m);
// The form moved by its caption pressed (the WM_NCLBUTTONDOWN message): the move runs in the form's own loop where
// it has a top-level window, otherwise in the system's; `ended`, when given, runs once it is over (see
// RunFormCaptionMove).
void ProviderMoveByCaption(TsSkinProvider& p, gui::TMessage& m, const std::function<void()>& ended = {});
// WM_NCLBUTTONUP and WM_LBUTTONUP.
void ProviderLButtonUp(TsSkinProvider& p, gui::TMessage& m);
// WM_MOUSEMOVE: the border drag's outline follows the mouse.
void ProviderMouseMove(TsSkinProvider& p, gui::TMessage& m);
void ProviderNcDblClick(TsSkinProvider& p, gui::TMessage& m);
void ProviderNcRButtonDown(TsSkinProvider& p, gui::TMessage& m);
void ProviderNcRButtonUp(TsSkinProvider& p, gui::TMessage& m);
void ProviderSizing(TsSkinProvider& p, gui::TMessage& m);
void ProviderExitSizeMove(TsSkinProvider& p, gui::TMessage& m);
void ProviderSysCommand(TsSkinProvider& p, gui::TMessage& m);
// Handles the application's messages for up to ms milliseconds, sleeping while there are none; returns early when
// the form's title icon was double-clicked (ClosingByIcon) or the provider went. True when the provider is still
// there.
bool ProviderWaitForIconDoubleClick(TsSkinProvider& p, uint32_t ms);
// The library command AC_REPAINT sent to the windows of the adapted dialogs.
void ProviderRepaintAdaptedDialogs();
// WM_MOVE: glow windows cleared, glued forms moved along.
void ProviderWmMove(TsSkinProvider& p, gui::TMessage& m);
// CM_MOUSEENTER: the form becomes the manager's hot control; a border window with a shadow is refreshed.
void ProviderMouseEnter(TsSkinProvider& p, gui::TMessage& m);
// WM_WINDOWPOSCHANGING: screen snap; the recorded top and height kept for one move; a form the system minimized
// (moved to the minimized place) is minimized for the component layer too.
void ProviderWmPosChanging(TsSkinProvider& p, gui::TMessage& m);
// The next move of the form keeps its present top (top) and height (height), whatever it asks: once.
void ProviderKeepPlaceOnce(TsSkinProvider& p, bool top, bool height);
// Applies the kept top and height to a move (WINDOWPOS in the message), once; true when it did (the move is then
// not handed on).
bool ProviderApplyKeptPlace(TsSkinProvider& p, gui::TMessage& m);
// The move puts the window at the system's place of minimized windows (-32000, -32000).
bool MovesToMinimizedPlace(const gui::TMessage& m);
inline constexpr int32_t kMinimizedPlace = -32000;
// The place a move and size (WINDOWPOS in the message) asks for; empty for a move or a size alone.
TRect ProposedPlace(const gui::TMessage& m);
// After the system's handling of that move: a size that a size limit changed in a window sized at its left (top)
// edge keeps its right (bottom) edge where it was (old), as the system's own sizing loop does. A window manager
// that sizes the window itself knows no limit: the limit is applied to the place it asks for.
void KeepUnmovedEdges(gui::TMessage& m, const TRect& old, const TRect& proposed);

// The border drag of ResizeMode rmBorder (one at a time in the program): an inverted outline on the desktop
// follows the mouse; the form takes the outline's bounds when the button is released.
void ProviderStartBorderDrag(TsSkinProvider& p, const TPoint& screenPoint);
// Ends the drag: the outline erased and its DC released; with apply the form takes the outline's bounds.
void ProviderEndBorderDrag(TsSkinProvider& p, bool apply);
// The drag's outline now (screen coordinates), for the tests.
TRect BorderDragOutline();
// Given the starting bounds, the drag code (10..17) and the mouse delta: the new bounds, never narrower than
// minWidth or lower than minHeight (the moving edge stops; the opposite one stays).
TRect SizeByDrag(const TRect& start, int32_t code, int32_t dx, int32_t dy, int32_t minWidth, int32_t minHeight);

}  // namespace skin
