#pragma once
// The MDI side of the skin provider: the parent form's frame shows the maximized active child's buttons (101
// close, 102 restore, 103 minimize) at the right end of its menu line, and the child's icon at its left end; the
// children's messages that change what the parent's frame shows (a child activated, maximized, restored,
// minimized, closed, renamed, destroyed) make the parent's frame composed anew; a child hidden behind a maximized
// sibling paints nothing.
#include <cstdint>

#include "gui/messages.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

namespace skin {

// The form is an MDI child (an MDI parent form, fsMDIForm).
bool ProviderIsMDIChild(const TsSkinProvider& p);
bool ProviderIsMDIParent(const TsSkinProvider& p);
// The provider of an MDI child's parent form, while it is there and neither it nor its form is being destroyed.
TsSkinProvider* ProviderMDIParentOf(const TsSkinProvider& child);
// The provider of a form (nullptr without one).
TsSkinProvider* ProviderOfForm(gui::TCustomForm* form);

// The MDI parent's active child, when it is maximized (nullptr otherwise).
gui::TCustomForm* ProviderMaximizedMDIChild(const TsSkinProvider& p);
// An MDI child that another, maximized and active, child of its parent hides.
bool ProviderHiddenByMaximizedSibling(const TsSkinProvider& p);

// What the maximized child lets its buttons do: minimize it, restore it (its skinned system menu's rules when it
// wears a provider, else its border icons).
bool MDIChildMinimizeAllowed(const TsSkinProvider& parent);
bool MDIChildRestoreAllowed(const TsSkinProvider& parent);

// The rectangles of the maximized child's buttons (frame-cache coordinates), right-aligned in the first row of the
// menu line, one pixel apart, from right to left 101, 102, 103; empty when they are not shown.
void ProviderLayoutMDIChildButtons(TsSkinProvider& p);
// The buttons drawn into the frame cache (over the menu line's clean band); the child's icon at the line's left
// end.
void ProviderPaintMDIChildButtons(TsSkinProvider& p);
void ProviderPaintMDIChildIcon(TsSkinProvider& p);
// The image of one of the buttons for the child's state; false when it is not drawn at all (minimize while the
// child may not be minimized).
bool ProviderMDIButtonImage(TsSkinProvider& p, int32_t code, int32_t& imageIndex, bool& disabled);

// The parent's frame composed anew: its buttons' images resolved again, the menu line counted again and repainted.
void ProviderRefreshMDIButtons(TsSkinProvider& parent);

// ---- Handlers.
// WM_CHILDACTIVATE: the parent's link refreshed when its active child is maximized, else its buttons.
void ProviderWmChildActivate(TsSkinProvider& p, gui::TMessage& m);
// WM_MDIACTIVATE and WM_MDIDESTROY: the parent's frame painted anew; this provider is the one being handled.
void ProviderWmMDIChange(TsSkinProvider& p, gui::TMessage& m);
// WM_SYSCOMMAND of an MDI child (while maximized the parent's skin data is held in an update around the command)
// and of an MDI parent (its frame composed anew after a minimize, maximize or restore). True when handled.
bool ProviderMDISysCommand(TsSkinProvider& p, gui::TMessage& m);
// WM_NCDESTROY of an MDI child, after the form's own handling: the parent's buttons refreshed, and its client
// window redrawn when it has no active child any more.
void ProviderMDIChildGone(TsSkinProvider& p);

}  // namespace skin
