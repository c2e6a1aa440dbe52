#pragma once
// Captions of skinned controls and the small drawing routines the controls share: text in a section's font colour
// with its contour copies, a glow and the disabled look; text measuring and shortening; arrow glyphs; 3D and dotted
// frames; the placement of a button's glyph and caption; blended button glyphs; icons made from bitmaps.
//
// Text goes through the text engine (text_engine.h) and is laid into 32-bit bitmaps through a mask; "the canvas" of
// a routine is a bitmap and a font.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/loaded_skin.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gui {
class TFont;
class TCanvas;
}  // namespace gui

namespace skin {

class TsSkinManager;
struct TsCommonData;

// Contour flags of DrawTextWithEffects: copies moved left, up, right, down.
inline constexpr uint32_t cfLeft = 1, cfTop = 2, cfRight = 4, cfBottom = 8, cfAll = 15;

// The colour of a disabled caption written in `font` on a face of `back` over the pixels `behind` (RGB: the pixels
// its text covers, gradients, textures and fades as painted): the font colour mixed with the face colour, 0.4 of
// the font colour, or more of it as far as it takes to stand out from each of those pixels by
// DisabledTextContrast (up to the font colour itself): plainly dimmer than the enabled caption, still readable.
// Where even the font colour does not, the font colour mixed toward black or white (the one that stands out
// more) as far as it takes, that colour itself at worst. Without pixels, from the face colour. A control that
// fades its whole picture when disabled writes its caption after the fade, over the faded pixels.
inline constexpr double DisabledTextContrast = 4.0;
TColor DisabledTextColor(TColor font, TColor back, const std::vector<TColor>& behind);
// On a flat face of the block's colour.
inline TColor DisabledTextColor(const SkinStateBlock& block) { return DisabledTextColor(block.FontColor, block.Color, {}); }

// Text in section sectionIndex's colours for `state`: when disabled, one pass in the disabled text colour of its
// block 0 over the pixels of bmp that the text covers (DisabledTextColor); else one pass per contour colour that is not -1, R moved by one
// pixel (left, top, right, bottom), then the font colour. Without a manager (nullptr: the default manager) or a
// valid section: the font's own colour. Returns 0; nothing for an empty text.
int WriteTextSectionEx(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool enabled, TsSkinManager* manager,
                       const TRect& R, int32_t state, int32_t sectionIndex, uint32_t flags);
inline int WriteTextSection(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool enabled, const TRect& R,
                            int32_t state, int32_t sectionIndex, uint32_t flags) {
  return WriteTextSectionEx(bmp, font, text, enabled, nullptr, R, state, sectionIndex, flags);
}

// The caption of a control, clipped to R. A skinned control takes its colours from its section (from its parent's
// section when its own state is transparent, through the skin data's services), first a glow of the block's glow
// size (GSIZE) in its glow colour (GCOL) when that size is not 0, then contours and text; a disabled one is written
// in the disabled colour over the pixels of bmp that the text covers; one with CustomFont in the section's font colour without clipping the text to its
// rectangle (DT_NOCLIP; R still clips). Every colour passes through the control's font colour effects (ColorTone,
// HUEOffset, Saturation x 2.55). An unskinned control: the font's colour. The link-style section underlines a caption
// that is not in state 0.
void WriteSkinText(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool enabled, int32_t state,
                   TsCommonData& data, uint32_t flags, const TRect& R);

// Glowing text: the text (and its contour copies by contourFlags) drawn into an 8-bit coverage of R enlarged by
// glowSize, blurred by a Gaussian of that radius (sigma glowSize / 2), and the colour laid into bmp with the blurred
// coverage as its weight: B, G, R := mix(d, colour, a), the alpha growing by (255 - dA) x a shr 8. Only inside clip.
void DrawTextWithEffects(Bitmap& bmp, const gui::TFont& font, std::string_view text, const TRect& R, TColor colour,
                         int32_t glowSize, uint32_t contourFlags, uint32_t flags,
                         const TRect& clip = TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
// The weights of that blur: 2 x radius + 1 taps in 16.16 fixed point adding up to exactly 65536.
std::vector<uint32_t> GlowKernel(int32_t radius);

// DrawText of the whole string in one colour; with dtCalcRect nothing is drawn and R becomes the text's rectangle.
void DrawTextString(Bitmap& bmp, const gui::TFont& font, std::string_view text, TRect& R, uint32_t flags,
                    TColor colour);
// The same on a component-layer canvas (its font and font colour; natively only dtCalcRect has an effect).
void DrawTextCanvas(gui::TCanvas& canvas, std::string_view text, TRect& R, uint32_t flags);
// Thin wrappers of the canvas's TextExtent and TextRect.
TSize CanvasTextExtent(gui::TCanvas& canvas, std::string_view text);
void CanvasTextExtentVar(gui::TCanvas& canvas, std::string_view text, TSize& size);
void CanvasTextRect(gui::TCanvas& canvas, const TRect& R, int32_t x, int32_t y, std::string_view text);
// The size of a text in a font: with wordWrap, its rectangle when wrapped within wrapWidth; else one line's extent.
TSize GetTextSize(std::string_view text, const gui::TFont& font, int32_t wrapWidth, bool wordWrap);
// The text, or as much of it as fits in width followed by "..."; empty when nothing fits or width < 1.
void CutTextToWidth(const gui::TFont& font, std::string_view text, int32_t width, std::string& result);

// A solid triangle of 7, 5, 3 and 1 pixels centred in R, pointing left (0), up (1), right (2) or down (3); other
// directions draw nothing. The pixels take the colour, opaque.
void DrawArrowGlyph(Bitmap& bmp, TColor color, const TRect& R, int32_t direction);
// A 3D frame of `width` one-pixel lines: R.Right and R.Bottom are first reduced by one (inclusive corners); each
// round draws the top-left line (left-bottom to left-top to right-top) in the first colour and the bottom-right line
// (right-top to right-bottom to the left of left-bottom) in the second, each line without its last point, then
// shrinks R by one on every side. R comes back shrunk.
void DrawFocusFrame(Bitmap& bmp, TRect& R, TColor topLeftColor, int32_t width, TColor bottomRightColor);
// A dotted rectangle: the outline pixels of R take color1 and color2 alternately ((x + y) even: color1); a colour
// clNone is not drawn.
void DrawDottedFrame(Bitmap& bmp, const TRect& R, TColor color1, TColor color2);

// Places a button's glyph and caption in client (layout 0 glyph left, 1 right, 2 top, 3 bottom; alignment 0 left,
// 1 right, 2 centre; margin -1 and spacing -1 computed; biDiFlags bit 2 swaps layouts 0 and 1). glyphPos and
// textBounds come back in client's coordinates.
void CalcButtonLayout(const TRect& client, const TPoint& glyphSize, const TPoint& textSize, int32_t layout,
                      int32_t alignment, int32_t margin, int32_t spacing, uint32_t biDiFlags, TPoint& glyphPos,
                      TRect& textBounds);

// One image of a glyph strip (numGlyphs images side by side: up, disabled, pressed, down) blended into dst at pos:
// the disabled image when the button is disabled and the strip has one, the pressed one in state 2, the down one in
// state 3 when the strip has them, else the first. Key pixels (0xFF00FF) are skipped; the target keeps
// percent / 100 of itself.
void PaintGlyphBlended(Bitmap& dst, const TPoint& pos, const Bitmap& strip, int32_t numGlyphs, int32_t state,
                       bool enabled, int32_t percent);

#ifdef _WIN32
// DrawTextA of the whole string on a DC.
void DrawTextString(HDC dc, std::string_view text, TRect& R, uint32_t flags);
// GetTextExtentPoint32A.
TSize TextExtentDC(HDC dc, std::string_view text);
// The 3D frame with pens on a DC (NULL_BRUSH; pens made and freed, the DC's selections put back).
void DrawFocusFrame(HDC dc, TRect& R, TColor topLeftColor, int32_t width, TColor bottomRightColor);
// An icon (owned by the caller, counted by the ledger) of the graphic drawn over the background colour: a graphic
// that is not 32-bit gets alpha 0 at key pixels and 255 elsewhere; the mask marks the transparent pixels.
HICON MakeIconFromBitmap(const Bitmap& graphic, TColor background);
#endif

}  // namespace skin
