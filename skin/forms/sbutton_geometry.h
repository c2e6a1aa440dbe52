#pragma once
// The arithmetic of the library's own skinned buttons and label: which visual state a button shows, which image
// of its list goes with that state, and where its image, caption and drop-down part lie. Portable: the components
// (sbuttons.h) call it with what they read from their windows.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

// Visual states of a button: 0 normal, 1 hot, 2 pressed, 3 default.
inline constexpr int32_t bstNormal = 0, bstHot = 1, bstPressed = 2, bstDefault = 3;
// Width of the drop-down part of split and drop-down buttons.
inline constexpr int32_t DropDownPartWidth = 16;

// ---- Push button.

// The parts of a button's former bounds (parent coordinates) that its new bounds no longer cover: strips above,
// below, left and right of the new bounds, cut to the old ones. None when the old bounds are empty or the new ones
// cover them.
std::vector<TRect> UncoveredStrips(const TRect& Old, const TRect& New);

enum class TButtonStyle : uint8_t { bsPushButton, bsCommandLink, bsSplitButton };
enum class TImageAlignment : uint8_t { iaLeft, iaRight, iaTop, iaBottom, iaCenter };

struct PushStateInput {
  bool Pushed = false;         // the window says BST_PUSHED
  bool PaintPressed = false;   // the library's global paint-pressed flag
  bool KeyboardPress = false;  // pressed by the keyboard (the left mouse button is not held)
  bool MouseOver = false;
  bool NoMouseHover = false;   // the manager's option
  bool Down = false;
  bool DropDownOpen = false;
  bool Designing = false;
  bool ActiveDefault = false;  // the button is the form's active default button
};
int32_t PushButtonState(const PushStateInput& In);

// The state a section paints: the default state only on a section with four states (else hot), clamped to the
// section's states.
int32_t SkinStateOf(int32_t State, int32_t StateCount);

struct PushImageIndexes {
  int32_t Normal = -1, Hot = -1, Pressed = -1, Selected = -1, Disabled = -1;
};
// The image of a state: disabled, pressed, focused (not pressed), hot, else normal; one out of the list's range
// falls back to the normal image.
int32_t PushButtonImageIndex(const PushImageIndexes& Idx, int32_t Count, bool Enabled, int32_t State, bool Focused);

struct TImageMarginValues {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct PushLayoutInput {
  int32_t Width = 0, Height = 0;  // the whole button
  TButtonStyle Style = TButtonStyle::bsPushButton;
  TImageAlignment Alignment = TImageAlignment::iaLeft;
  bool HasImage = false;
  TSize Image;                    // the list's image size
  int32_t ContentMargin = 6;
  TImageMarginValues Margins;
  // The width of the content: the button's, less the drop-down part of a split button.
  int32_t ContentWidth() const { return Style == TButtonStyle::bsSplitButton ? Width - DropDownPartWidth : Width; }
};
TRect PushButtonImageRect(const PushLayoutInput& In);
// The width the caption may take when measured.
int32_t PushButtonTextWidth(const PushLayoutInput& In);
TRect PushButtonCaptionRect(const PushLayoutInput& In, const TSize& Text);
// The drop-down part of a split button (empty for other styles) and whether a press at X opens its menu.
TRect PushButtonSplitRect(const PushLayoutInput& In);
bool PushButtonSplitHit(const PushLayoutInput& In, bool HasMenu, int32_t X);

// Content moves by (1, 1) when pressed, unless the button is skinned and its manager is missing or does not shift.
bool ContentShifts(bool Pressed, bool Skinned, bool HasManager, bool ShiftOption);
TRect ShiftRect(const TRect& R, bool Shift);

// ---- Bitmap button.

// The size of one glyph cell: the list's image with an image, else the strip's height and width / cells; 0 x 0
// without either. A cell count of 0 counts as 1.
TSize BitBtnGlyphSize(bool HasImage, const TSize& ListImage, int32_t NumGlyphs, const TSize& Strip);
struct BitBtnLayoutInput {
  int32_t Width = 0, Height = 0;
  TSize Glyph;                    // one cell
  TSize Text;                     // 0 x 0 without a caption shown
  int32_t Layout = 0;             // 0 glyph left, 1 right, 2 top, 3 bottom
  int32_t Alignment = 2;          // 0 left, 1 right, 2 centre
  int32_t Margin = -1;
  int32_t Spacing = 4;
  bool RightToLeft = false;
  bool Shift = false;             // pressed content moves by (1, 1)
  bool Reflected = false;         // the glyph moves up by a sixth of its width
  int32_t TextOffset = 0;         // added to the caption's left and right
};
// Glyph and caption rectangles of a bitmap button (the button layout of the painters).
void BitBtnRects(const BitBtnLayoutInput& In, TRect& Glyph, TRect& Caption);
// The default state shows only when no window is focused or the focused one is not an owner-drawn button.
int32_t BitBtnState(int32_t PushState, bool ActiveDefault, bool AnyFocus, bool FocusOwnerDrawn);

// ---- Speed button.

enum class TToolButtonStyle : uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

int32_t SpeedEffectiveMargin(int32_t Margin);

struct SpeedLayoutInput {
  int32_t Width = 0, Height = 0;
  int32_t Layout = 0;             // 0 glyph left, 1 right, 2 top, 3 bottom
  int32_t Alignment = 2;          // 0 left, 1 right, 2 centre (of the glyph-and-caption block)
  int32_t TextAlignment = 2;      // the caption in its band
  TSize Glyph;                    // 0 x 0 without a glyph
  TSize Text;
  bool HasCaption = false;
  int32_t Spacing = 4;
  int32_t Margin = -1;
  bool DropDown = false;
  int32_t TextOffset = 0;
};
TRect SpeedCaptionRect(const SpeedLayoutInput& In);
// The glyph beside (or above, below) the caption rectangle.
TRect SpeedGlyphRect(const SpeedLayoutInput& In);
// The arrow part of a drop-down button and the face without it.
TRect SpeedArrowRect(int32_t Width, int32_t Height);
TRect SpeedFaceRect(int32_t Width, int32_t Height, bool DropDown);
// Whether a left press at X opens the menu (else it is a normal click).
bool SpeedDropDownHit(int32_t Width, TToolButtonStyle Style, bool HasMenu, bool HasOnClick, int32_t X);
// The visual state: separators and dividers are never hot or pressed.
int32_t SpeedButtonState(TToolButtonStyle Style, bool Down, bool Pressed, bool MouseOver, bool MenuPressed);
// The state of the arrow part.
int32_t SpeedArrowState(bool MenuPressed, bool Down, bool Pressed, bool MouseOver);

// ---- Label.

// A disabled label's text: 40 % its font colour, 60 % the parent's background.
TColor LabelDisabledColor(TColor Font, TColor ParentBg);
// The text measured or drawn: an empty text, or a lone "&" with accelerators shown, gets a blank when measuring.
std::string LabelTextForDrawing(const std::string& Text, bool ShowAccelChar, bool Measuring);

}  // namespace skin
