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
#include <memory>

#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {

// What the border window reads of the window it lies around, and asks of it: a form's skin provider, or a skinned
// window that no form owns (a dialog). Points and rectangles are in the frame picture's coordinates (the border
// window's), unless said otherwise.
class TacBorderOwner {
 public:
  virtual ~TacBorderOwner() = default;
  // The skinned window (an HWND; nullptr while there is none) and its rectangle on the screen.
  virtual bool HasWindow() const = 0;
  virtual void* SkinnedWindow() const = 0;
  virtual TRect SkinnedWindowRect() const = 0;
  // The skin data whose cache bitmap holds the frame picture, and the manager of its skin.
  virtual TsCommonData& FrameData() = 0;
  virtual TsSkinManager* FrameManager() const = 0;
  // The frame picture's size.
  virtual int32_t FrameWidth() const = 0;
  virtual int32_t FrameHeight() = 0;
  // The window's own frame width and caption height (0 without a caption), and the skin's frame width and
  // caption height (the caption's counting its top frame).
  virtual int32_t SystemFrameWidth() const = 0;
  virtual int32_t SystemCaptionHeight() const = 0;
  virtual int32_t SkinFrameWidth() const = 0;
  virtual int32_t SkinCaptionHeight() const = 0;
  virtual bool WindowEnabled() const = 0;
  virtual bool WindowZoomed() const = 0;
  virtual bool WindowSizeable() const = 0;
  // The window moves translucently, shown whole by the border window.
  virtual bool MovingTranslucent() const = 0;
  // The hit code of the caption button (or another caption element of the owner) at a point, 0 none.
  virtual int32_t TitleElementAt(const TPoint& p) = 0;
  virtual TRect TitleIconRect() const = 0;
  // The top of the client part, below a menu line.
  virtual int32_t ClientTop() = 0;
  // Whether a point lies on the window's size grip.
  virtual bool GripAt(const TPoint& p) = 0;
  // The part of the picture that the window's own client area shows through; false while the picture shows the
  // window whole.
  virtual bool ClientHole(TRect& hole) = 0;
  // The hot caption element (0 or -1: none), the frame picture painted afresh, the caption buttons' glows stopped.
  virtual void SetHotElement(int32_t code) = 0;
  virtual void RepaintFrame() = 0;
  virtual void StopTitleGlows() = 0;
};

class TacBorderForm {
 public:
  // Fills the fields and creates the window (BorderFormCreateWindow).
  explicit TacBorderForm(TsSkinProvider& owner);
  // The border window of a skinned window that no form owns; the owner outlives it.
  explicit TacBorderForm(TacBorderOwner& owner);
  // Frees the owner's cached title images and the window.
  ~TacBorderForm();
  TacBorderForm(const TacBorderForm&) = delete;
  TacBorderForm& operator=(const TacBorderForm&) = delete;

  TacBorderOwner* Owner;
  TsSkinProvider* Provider;  // the owner when it is a form's provider, else nullptr
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
  // Where the window's top-left lies in the frame picture: (0, 0) but for a zoomed window, whose border window is
  // laid over the part of the picture on its monitor's work area only.
  TPoint Laid{};
  void* OldOwnerWnd = nullptr;
  TsCommonData* SkinData;

 private:
  std::unique_ptr<TacBorderOwner> providerOwner_;
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
// The window hidden with its form (it comes back with the form's next paint); whether it shows.
void BorderFormHide(TacBorderForm& bf);
bool BorderFormShown(const TacBorderForm& bf);
#ifdef _WIN32
// The part of the border window (relative to its top-left) that its region leaves to the form's own client and
// menu line; false while the border window shows the form whole (translucent move, minimizing, hiding).
bool BorderFormClientHole(TacBorderForm& bf, TRect& hole);
// The window's region (owned by the caller), 0 without a window.
HRGN BorderFormRegion(TacBorderForm& bf);
// Puts the full region back when a pass-through hole was cut.
void BorderFormSetRegion(TacBorderForm& bf);
// Only the top rows of the frame cache (a new caption) pushed to the window when it shows the frame as it stands;
// otherwise as BorderFormUpdate (bf, false, 255).
void BorderFormUpdateTop(TacBorderForm& bf, int32_t rows);
// Whether a form's border window shows the frame as it stands: in its place, whole, opaque, nothing of an
// animation on it, its form shown.
bool BorderFormShowsFrame(const TacBorderForm& bf);
HWND BorderFormWindow(const TacBorderForm& bf);
HWND BorderFormInsertAfter(const TacBorderForm& bf);
// Whether the border window lies right below its form in the z-order.
bool BorderFormBelowForm(const TacBorderForm& bf);
// The owner the border window takes: its form's owner (none for a form that has none).
HWND BorderFormOwnerWanted(const TacBorderForm& bf);
// Shows the border window and puts it right below its form, unless it is already there.
void BorderFormPlace(TacBorderForm& bf);
int32_t BorderFormWorkAreaTop(const TacBorderForm& bf);
#endif

}  // namespace skin
