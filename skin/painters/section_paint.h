#pragma once
// Skin sections painted into rectangles of 32-bit bitmaps. A section has up to two state blocks (0 normal, 1 hot),
// each a colour, a texture share (IMAGEPERCENT), a gradient share (GRADIENTPERCENT) and a share of the parent's
// background (TRANSPARENCY); the state asked for is clamped to the section's states, then to the two blocks.
//
//   PaintSectionCore        the background alone
//   PaintSkinItem           background, corner images and border image
//   PaintControlBackground  the background of a control, from its skin data
//   PaintControlItem        the whole item of a control, with its colour effects
//   PaintSectionByName      a section found by name over the whole bitmap
//   PaintSectionImage       the scroll bars' painter: an older background and one image record
//
// Nothing is painted (and nothing reported) for a missing manager, an invalid section, a bitmap smaller than the
// rectangle or (for the item painters) a rectangle with a negative origin. A target that is not 32-bit gets the
// plain colour fills (FillRectWithColor); textures, gradients and blends need 32 bits.
#include <cstdint>
#include <string_view>

#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {

class TsSkinManager;
struct TsCommonData;

// Background of section sectionIndex for `state` into R of bmp. ci is the parent background; offset is added to
// ci's position where parent pixels are fetched. textureIndex / hotTextureIndex -1: the section's own textures.
// customColor other than 0xFF00FF: that colour, opaque, without texture share, gradient or transparency (a
// masked mode-10 texture is still laid over it). manager nullptr: the default manager.
void PaintSectionCore(int32_t sectionIndex, const CacheInfo& ci, int32_t state, const TRect& R, const TPoint& offset,
                      Bitmap& bmp, TsSkinManager* manager, int32_t textureIndex, int32_t hotTextureIndex,
                      TColor customColor);
// Background, the four corner images (each drawn for the state at its corner of R over bmp itself), then the border
// image (BORDERSMASK) over ci moved by offset, its key-colour corners showing the parent.
void PaintSkinItem(int32_t sectionIndex, const CacheInfo& ci, int32_t state, const TRect& R, const TPoint& offset,
                   Bitmap& bmp, TsSkinManager* manager, int32_t textureIndex = -1, int32_t hotTextureIndex = -1);
// The background of a control: its section and manager from its skin data; its own colour when it has CustomColor.
void PaintControlBackground(TsCommonData& data, const CacheInfo& ci, int32_t state, int32_t textureIndex,
                            int32_t hotTextureIndex, Bitmap& bmp, const TPoint& offset, const TRect& R);
// The whole item of a control: background, corners, its border image (fillMode 1: the border's key-colour corners
// show the parent; unless state 0 of a border that paints nothing there), then its colour effects over the whole
// bitmap (ColorTone, HUEOffset, Saturation; key pixels kept). Without a border the effects apply only to an opaque
// section.
void PaintControlItem(TsCommonData& data, const CacheInfo& ci, int32_t textureIndex, int32_t hotTextureIndex,
                      uint8_t fillMode, Bitmap& bmp, const TPoint& offset, const TRect& R, int32_t state);
// The section of that name (else altSectionName) over the whole of bmp, its parent background the bitmap's own
// prior content (srcBackground, when given, is first copied into bmp from srcPoint) or fillColor. Returns the
// section index used (-1 when neither name is found).
int32_t PaintSectionByName(Bitmap& bmp, std::string_view sectionName, std::string_view altSectionName,
                           const Bitmap* srcBackground, TColor fillColor, const TPoint& srcPoint,
                           TsSkinManager* manager, int32_t state);
// The older background painter (no custom colour, no one-pass gradient, the blend factor transparency x 255
// div 100), then image record imageIndex drawn over R (DrawSkinMask, its key-colour corners showing ci moved by
// offset).
void PaintSectionImage(int32_t sectionIndex, int32_t imageIndex, TsSkinManager* manager, Bitmap& bmp,
                       const TPoint& offset, const TRect& R, int32_t state, const CacheInfo& ci);

#ifdef _WIN32
// PaintSkinItem into a device context: painted into a work bitmap of R's size, then copied to R of the DC (its
// state saved and restored). Nothing for an R with a negative origin or below 1 x 1.
void PaintSkinItemToDC(int32_t sectionIndex, const CacheInfo& ci, int32_t state, HDC dc, const TPoint& offset,
                       const TRect& R, TsSkinManager* manager);
#endif

}  // namespace skin
