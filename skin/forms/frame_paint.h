#pragma once
// The frame of a skinned form: its whole window image outside the client controls (borders, caption, caption
// buttons, added title, menu line, corner images, and with a border window the outer frame and shadow) is
// composed into one 32-bit bitmap, the frame cache (the provider's SkinData.CacheBmp), and copied to the window
// from there in four bands. Only the stale cache is recomposed; a caption button that changes its state is
// redrawn alone.
//
// The cache is in the frame's coordinates: those of the form's window, or, with a border window, of the border
// window (the form's window then lies at (BorderFormClientLeft, BorderFormTopOffset)). Its height is the form's
// Height (a minimized secondary form: frame + caption + 2) plus, with a border window, the margins, the taller
// skin caption and the wider skin border.
#include <cstdint>

#include "skin/data/loaded_skin.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {

// ---- Composition (portable).
// Recomposes the cache when stale. False when the parent's background was not ready (the next paint tries
// again); true otherwise, also when nothing had to be done.
bool ProviderPaintFrame(TsSkinProvider& p);
// The cache needs a new size (no cache, or a size other than the frame's).
bool ProviderCacheSizeChanged(TsSkinProvider& p);
// The caption band of the cache: (left, top, right, bottom).
TRect ProviderCaptionRect(TsSkinProvider& p);
// The window is iconic and its form is not the application's main form.
bool ProviderIconicSmallCaption(const TsSkinProvider& p);
// The rectangles of the four bands copied to the window (top, left, bottom, right), in window coordinates; each
// is copied from the same place of the cache (moved by the window's place in the cache).
struct FrameBands {
  TRect Top, Left, Bottom, Right;
};
FrameBands ProviderFrameBands(TsSkinProvider& p);
// Where the form's window begins in the cache: (0, 0), or with a border window (BorderFormClientLeft,
// BorderFormTopOffset).
TPoint ProviderCacheOrigin(const TsSkinProvider& p);

// The menu line is the skin's: every visible item of the main menu has an owner-draw event (the skinned menus
// installed theirs). Otherwise the system draws the menu bar, and the frame leaves it alone.
bool ProviderMenuLineSkinned(const TsSkinProvider& p);
// The visible items of the main menu drawn by their owner-draw events into the cache, each at its place in the
// menu line (state ODS_NOACCEL | ODS_HOTLIGHT... 0x500); nothing natively, where no canvas draws on the cache.
void ProviderPaintMenuLineItems(TsSkinProvider& p);
// The menu line's entry at a screen point (its position in the bar, -1 none; natively -1).
int32_t ProviderMenuLineItemAt(TsSkinProvider& p, const TPoint& screen);
// The entry under the pointer drawn hot (-1: none), the one hot before drawn normal again, in the cache and on the
// window. The system marks the open entry itself, but not always the one hovered (Wine never does).
void ProviderSetHotMenuLineItem(TsSkinProvider& p, int32_t index);
// While a menu of the line runs: the entry the system selects in the bar (its menu open, or chosen with the
// keyboard), -1 for none or when no menu runs; natively -1.
int32_t ProviderMenuLineSelectedItem(TsSkinProvider& p);
// The selected entry (-1: none) drawn selected in the cache and on the window, the one before in its usual look:
// the system draws it selected only when it selects it, and a frame copied from the cache meanwhile (a caption
// change, an activation) would show it unselected.
void ProviderSetOpenMenuLineItem(TsSkinProvider& p, int32_t index);

// The show fade's kept picture copied onto the form's window, children and all, which is then left with nothing to
// paint, and let go; false when there is none or it does not cover the window (natively: always false).
bool ProviderShowFadePicture(TsSkinProvider& p);


// Caption text and added title, into the cache; the row below the lowest one drawn on (its glow counted), 0
// when nothing was drawn.
int32_t ProviderPaintCaptionText(TsSkinProvider& p);
// A new caption text drawn into the cache over the caption band as it was before the text (the rows above the menu
// line and the client), the caption buttons and title items over it again; false, with the cache flagged stale,
// when the frame must be composed whole (already stale, resized, the text's glow reaching below the band).
bool ProviderRepaintCaptionBand(TsSkinProvider& p);
// After a change of the caption text: the caption band repainted into the cache and the frame copied to the
// window (a border window gets the band alone), or the whole frame composed when the band cannot be (natively into
// the cache only).
void ProviderRepaintCaption(TsSkinProvider& p);
// With a border window, whether a screen point lies on the caption span that the form's own window shows (its
// caption, answered by the form itself).
bool ProviderCaptionOnFormAt(TsSkinProvider& p, const TPoint& screen);
// That span copied from the cache to the form's window, when its region holds it (nothing natively).
void ProviderShowCaptionOnForm(TsSkinProvider& p);
// The text rectangle and flags (step 1 and 7 of the caption text), exposed for measuring.
TRect ProviderCaptionTextRect(TsSkinProvider& p);
uint32_t ProviderCaptionTextFlags(const TsSkinProvider& p);

// Caption buttons.
void ProviderSaveCaptionStrip(TsSkinProvider& p);
void ProviderPaintTitleButtons(TsSkinProvider& p);
// One button record drawn into the cache in its state.
void ProviderDrawButtonRecord(TsSkinProvider& p, TitleButtonRecord& record, bool enabled);
// Redraws the button of that hit code in the cache (or hands it to the glow fade) and copies it to the window.
void ProviderPaintTitleButton(TsSkinProvider& p, int32_t code);
// The button's image for its code and the form's state (restore for maximize of a maximized form, ...), and
// whether it is drawn disabled; false when the button is not drawn at all.
bool ProviderTitleButtonImage(TsSkinProvider& p, const TitleButtonRecord& record, int32_t& imageIndex,
                              bool& disabled);
// The image variant (0, or 1 for the inactive/disabled look) of a button state.
int32_t ProviderButtonVariantState(const TsSkinProvider& p, int32_t state, bool enabled, bool fading);
// The manager's image or section record of an index, or nullptr (no manager, an invalid index).
const SkinImageRecord* ValidImage(const TsSkinManager* m, int32_t index);
const SkinSectionRecord* ValidSection(const TsSkinManager* m, int32_t index);
// A caption-button image drawn into R of the cache in a state; state -1 is the image's inactive look (its fourth
// state when it has one, else its normal state). Provider-free: the dialog frames draw their buttons with it.
void DrawButtonImage(Bitmap& cache, const SkinImageRecord& image, const TRect& R, int32_t state);
// w x h pixels of src at (sx, sy) copied to (x, y) of dst, all four bytes, clipped to both (32-bit bitmaps only).
void CopyBitmapPixels(Bitmap& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Bitmap& src, int32_t sx,
                      int32_t sy);
// The title icon into the cache.
void ProviderPaintTitleIcon(TsSkinProvider& p, Bitmap& bmp);
// The form's own icon (else the application icon) drawn into R of bmp (Windows; nothing natively).
void DrawFormIcon(TsSkinProvider& p, Bitmap& bmp, const TRect& R);
void DrawFormIconOf(const gui::TCustomForm& form, Bitmap& bmp, const TRect& R);
#ifdef _WIN32
// A window's small icon (else its large one, its class icon, the system's application icon) drawn into R of bmp,
// opaque.
void DrawWindowIcon(HWND window, Bitmap& bmp, const TRect& R);
#endif
// A glyph drawn centred in R (one pixel right and down when pressed): a 32-bit glyph blended with its alpha, any
// other one transparent by the colour of its bottom-left pixel.
void DrawGlyphCentred(Bitmap& dst, const gui::TBitmap& glyph, const TRect& R, bool pressed);


// The form's own OnPaint drawn into the client part of the cache (Windows; nothing natively).
void ProviderPaintFormOnCache(TsSkinProvider& p);


// The painting core of WM_NCPAINT: the cache brought up to date, the window region set, the frame copied to the
// window (natively only the first two).
void ProviderPaintNonClient(TsSkinProvider& p);

// ---- Copies to the window (Windows build).
#ifdef _WIN32
// Brings the cache up to date and copies the four bands to dc (a window DC).
void ProviderCopyFrameToDC(TsSkinProvider& p, HDC dc);
// The client background from the cache (WM_ERASEBKGND, WM_PAINT, WM_PRINT).
void ProviderPaintClient(TsSkinProvider& p, HDC dc, bool withChildren);
void ProviderPaintMessage(TsSkinProvider& p, gui::TMessage& m);
void ProviderEraseBackground(TsSkinProvider& p, HDC dc);
#endif
// The cache brought up to date and copied to the window DC (or through the border window).
void ProviderRepaintFrame(TsSkinProvider& p);
// A rectangle of the cache copied to the window DC at the same place (moved by the border window's offsets);
// nothing natively.
void ProviderCopyCacheRectToWindow(TsSkinProvider& p, const TRect& r);
// The same always into the form's own window (the menu line lies there, also with a border window).
void ProviderCopyCacheRectToFormWindow(TsSkinProvider& p, const TRect& r);

}  // namespace skin
