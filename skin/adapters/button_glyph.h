#pragma once
// The glyph (image) of a skinned button, painted for the button's visual state from one of three sources: an
// alpha image list (TsAlphaImageList, TsVirtualImageList), any other image list, or a glyph strip (NumGlyphs
// cells side by side: up, disabled, pressed, down). The button describes its glyph in a GlyphPaintData record.
// Also the window classes that the window-creation hook leaves without a skin provider.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/graphics.h"
#include "gui/imglist.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TsSkinManager;

// How a disabled glyph looks (a set).
using TsDisabledGlyphKind = uint8_t;
inline constexpr TsDisabledGlyphKind dgBlended = 1;
inline constexpr TsDisabledGlyphKind dgGrayed = 2;

struct GlyphPaintData {
  Bitmap* Target = nullptr;            // the button's 32-bit cache; nullptr: draw on Canvas
  gui::TCanvas* Canvas = nullptr;      // used when Target is nullptr
  gui::TCustomImageList* Images = nullptr;
  int32_t ImageIndex = -1;             // already chosen for the state by the button
  gui::TBitmap* Glyph = nullptr;       // glyph strip
  int32_t SkinIndex = -1;              // the button's section (-1 unskinned)
  TsSkinManager* Manager = nullptr;
  TRect R;                             // glyph rectangle in Target's or Canvas's coordinates
  int32_t NumGlyphs = 1;               // cells of Glyph (low 7 bits; 0 counts as 1)
  bool Enabled = true;
  int32_t Blend = 0;                   // 0..100: blend of the glyph in the normal state
  bool Down = false;                   // the button is down (the next frame of an alpha image list)
  bool Grayed = false;                 // grey in the normal state
  int32_t State = 0;                   // 0 normal, 1 hot, 2 pressed, 3.. further states
  TsDisabledGlyphKind DisabledGlyphKind = dgBlended;
  bool Reflected = false;
};

// Paints the glyph. Nothing without a source, without Target and Canvas, or for an empty glyph.
void DrawButtonGlyph(GlyphPaintData& Data);
// The state DrawButtonGlyph uses after the manager's StdGlyphsOrder remapping (the default manager's option).
int32_t GlyphStateInOrder(int32_t State, bool Enabled, int32_t NumGlyphs);
// The number of images of a list (a virtual list: its source's count); 0 for nullptr.
int ImageCountOf(gui::TCustomImageList* List);
// Whether a list is an alpha image list (TsAlphaImageList or TsVirtualImageList).
bool IsAlphaList(gui::TCustomImageList* List);
// Image Index of an alpha image list (StateCount frames, frame State) composed into Dest at (X, Y).
void DrawAlphaListImage(gui::TCustomImageList& List, Bitmap& Dest, int32_t X, int32_t Y, int Index, int StateCount,
                        int State, TColor Tint, bool Reflected);
// The tint colour of a glyph: the normal font colour of the section (white without one) when the glyph is drawn
// grey (State 0 and Grayed, or disabled with dgGrayed); else clNone.
TColor GlyphTintColor(const GlyphPaintData& Data);

// A glyph of the component layer as a 32-bit bitmap. A glyph that is not 32-bit (or a 32-bit one whose alpha is
// all 0, when checkEmptyAlpha) comes back opaque with its transparent colour turned into the key colour
// (0xFF00FF); opaque says which kind came back.
Bitmap GlyphBitmap32(const gui::TBitmap& Glyph, bool checkEmptyAlpha, bool& opaque);

// Window classes the window-creation hook never gives a skin provider.
const std::vector<std::string>& PopupSkipList();
bool IsPopupSkipped(std::string_view ClassName);

}  // namespace skin

// ---- Owner-drawn standard buttons.
namespace skin {

// The glyph state of an owner-drawn button from its item state: selected 2, else hot 1, else checked 2, else 0.
int32_t OwnerDrawGlyphState(uint32_t ItemState);
// The image of an owner-drawn button: the disabled image for a disabled item, the hot image in the hot state (each
// when not 0), else the image.
int32_t OwnerDrawImageIndex(uint32_t ItemState, int32_t ImageIndex, int32_t HotImageIndex, int32_t DisabledImageIndex);
// Where the glyph goes: a command link 5 pixels from the left, vertically centred; other buttons centred across
// (8 pixels to the left for a split button) and, with the caption's Lines of LineHeight (+ 3) pixels, down;
// moved by (1, 1) when pressed.
TRect OwnerDrawGlyphRect(const TSize& Button, const TSize& Image, bool CommandLink, bool Split, int32_t Lines,
                         int32_t LineHeight, bool Pressed);

#ifdef _WIN32
// The glyph of an owner-drawn standard button (its DRAWITEMSTRUCT): the state from the item state, the skin data
// asked of the button (unskinned without an answer), the image chosen by the state, placed with the caption.
void PaintOwnerDrawButtonGlyph(void* DrawItem, gui::TCustomImageList* Images, int32_t ImageIndex,
                               int32_t HotImageIndex, int32_t DisabledImageIndex);
#endif

}  // namespace skin
