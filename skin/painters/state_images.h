#pragma once
// Painters of one skin image record without the nine-piece geometry: one state frame of a glyph drawn at a point,
// the parent's pixels shown through the key-colour corners of a control's border, and a whole section (background
// and border) painted for a section index.
#include <cstdint>

#include "skin/data/loaded_skin.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace gui {
class TWinControl;
}

namespace skin {

struct TsCommonData;

// Corner flags of PaintParentCorners.
inline constexpr uint8_t pcTopLeft = 1;
inline constexpr uint8_t pcBottomLeft = 2;
inline constexpr uint8_t pcTopRight = 4;
inline constexpr uint8_t pcBottomRight = 8;
inline constexpr uint8_t pcAll = 15;
// Corner codes of PaintParentBgPart (any other code counts as top-left).
inline constexpr int32_t ccTopLeft = 13;
inline constexpr int32_t ccTopRight = 14;
inline constexpr int32_t ccBottomLeft = 16;
inline constexpr int32_t ccBottomRight = 17;

// State `state` (the last one beyond it; nothing for a negative state or a record without states) of rec drawn with
// its top-left at P; the part left of or above the bitmap is cut off. Masked records mix through their mask
// (DrawStateFrame); unmasked ones are copied with key pixels showing ci's parent (mode 1) or blended at half
// strength over what is there (any other mode).
void DrawImageState(Bitmap& dst, const TPoint& P, int32_t state, const CacheInfo& ci, const SkinImageRecord& rec,
                    int32_t mode);
// The pixel worker of DrawImageState: srcRect of src (the record's pixels) to dstRect's top-left. Masked records
// (the mask one frame lower): every pixel s other than the key with a mask red byte m below 255 becomes, per
// channel, s + (d - s) x m_c shr 8 (mode 1) or with w_c = min(m_c + 100, 255) instead of m_c (any other mode: the
// background keeps at least 100/256), and its alpha a + (255 - a) x (255 - m) shr 8. Unmasked records: copied with
// key pixels left as they are.
void DrawStateFrame(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const SkinImageRecord& rec, int32_t mode,
                    const Bitmap& src);

// The parent's background shown through the key-colour pixels of the chosen corners (pcTopLeft ...) of the
// control's border image (its BORDERSMASK, state `state`), in its cache bitmap. Nothing without a border image, a
// cache, a skinned owner control or pixels.
void PaintParentCorners(TsCommonData& data, int32_t state, uint8_t corners);
// The per-corner workers: where the record's pixel (srcRect of src) is the key, the cache pixel at the same place of
// dstRect (x, y for the unmasked worker) takes the parent bitmap's pixel there moved by the background's offset, or
// the background colour when the answer is a colour (not the key).
void CopyParentToKeyPixels(const Bitmap& src, int32_t x, int32_t y, TsCommonData& data, const BackgroundInfo& background,
                           const TRect& srcRect);
void CopyParentToMaskedCorner(const TRect& dstRect, const TRect& srcRect, const Bitmap& src, TsCommonData& data,
                              const BackgroundInfo& background);
// Parent pixels (parent at parentPos) copied into dst (at dstPos) under the key pixels of one corner (ccTopLeft ...)
// of image imageIndex, or, with imageIndex -1, under dst's own key pixels.
void PaintParentBgPart(Bitmap& dst, const Bitmap& parent, const TPoint& dstPos, int32_t corner, TsSkinManager* manager,
                       int32_t imageIndex, const TPoint& parentPos);

// Section sectionIndex painted for `state` into R of dst over what dst holds there: its background (a fully
// transparent state leaves R fully transparent, alpha 0), then its border image with parent corners taken from the
// old content. When dst is exactly R's size its alpha is premultiplied afterwards. P is handed on to the background
// as its texture offset. Nothing for an invalid section, an empty or negative R, or a dst smaller than R.
void PaintSkinImageByIndex(int32_t sectionIndex, int32_t state, const TRect& R, const TPoint& P, Bitmap* dst,
                           TsSkinManager* manager);

}  // namespace skin
