#pragma once
// The extended border window: for skins whose frame is larger than the window (a soft shadow or glow around
// the form, given as four extended-border margins), a borderless, layered, non-activating tool window lies
// around the skinned window, slightly larger than it, and carries the whole skinned frame (caption, borders,
// shadow) as one 32-bit per-pixel-alpha image: the provider's frame cache. It answers hit tests and mouse
// messages for the frame as the form's own non-client area would, and lets clicks on its fully transparent
// shadow fall through to whatever lies below.
//
// The geometry and the hit test are portable; the window itself exists only in the Windows build.
#include <cstdint>

#include "skin/forms/sskinprovider.h"
#include "skin/paint/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {

class TacBorderForm {
 public:
  // Fills the fields and creates the window (BorderFormCreateWindow).
  explicit TacBorderForm(TsSkinProvider& owner);
  // Frees the owner's cached title images and the window.
  ~TacBorderForm();
  TacBorderForm(const TacBorderForm&) = delete;
  TacBorderForm& operator=(const TacBorderForm&) = delete;

  TsSkinProvider* Owner;
  TsSkinProvider* Provider;
  TPoint LastPos{-9999, -9999};
  bool Moving = false;
  bool RgnPunching = false;
  bool TopClipped = false;
  bool PullFromMaximized = false;
  bool Updating = false;
  bool Following = false;  // the z-order of the form and its border window being put right
  bool RgnChanged = false;
  bool Animating = false;   // the window shows an animation's picture, not the frame
  bool Hidden = false;      // the window was hidden with its form
  void* AForm = nullptr;    // the border window (HWND), nullptr until made (always natively)
  void* OldOwnerWnd = nullptr;
  TsCommonData* SkinData;
};

// ---- Geometry (portable).
// The skin's four extended-border margins; zero without a skin manager.
TRect SkinExtBorderMargins(const TacBorderForm& bf);
// From the border window's top to where the form's window begins (and its caption must appear).
int32_t BorderFormTopOffset(const TacBorderForm& bf);
// From the border window's left to where the form's window begins.
int32_t BorderFormClientLeft(const TacBorderForm& bf);
// The border window's rectangle on the screen: the form's window rectangle moved out to the frame cache's size.
TRect BorderFormScreenRect(const TacBorderForm& bf);
// Whether a point of the border window (relative to its top-left) lies over the shadow (outside the frame and
// its sizing zone).
bool BorderFormOverShadow(const TacBorderForm& bf, const TPoint& p);
// The hit code of a point relative to the border window's top-left (see border_form.cpp for the order of the
// tests); HTTRANSPARENT (-1) over the shadow and for a disabled window.
int32_t BorderFormHitTestAt(TacBorderForm& bf, const TPoint& p);

// ---- The window (Windows build; nothing natively).
void BorderFormCreateWindow(TacBorderForm& bf);
// Repaints (when asked) and shows the window with the constant alpha.
void BorderFormUpdate(TacBorderForm& bf, bool repaint, uint8_t alpha);
// The hit code of the cursor position.
int32_t BorderFormHitTest(TacBorderForm& bf);
// The window placed right behind the form again (after a pure z-order change of the form).
void BorderFormFollowZOrder(TacBorderForm& bf);
// The window enabled or disabled with its form.
void BorderFormEnable(TacBorderForm& bf, bool enabled);
#ifdef _WIN32
// The part of the border window (relative to its top-left) that its region leaves to the form's own client and
// menu line; false while the border window shows the form whole (translucent move, minimizing, hiding).
bool BorderFormClientHole(TacBorderForm& bf, TRect& hole);
// The window's region (owned by the caller), 0 without a window.
HRGN BorderFormRegion(TacBorderForm& bf);
// Puts the full region back when a pass-through hole was cut.
void BorderFormSetRegion(TacBorderForm& bf);
HWND BorderFormWindow(const TacBorderForm& bf);
HWND BorderFormInsertAfter(const TacBorderForm& bf);
// Whether the border window lies above its form in the z-order.
bool BorderFormAboveForm(const TacBorderForm& bf);
// Shows the border window and puts it right above its form (the system's place for an owned window), or where
// the form's style says, unless it is already there.
void BorderFormPlace(TacBorderForm& bf);
int32_t BorderFormWorkAreaTop(const TacBorderForm& bf);
#endif

}  // namespace skin
