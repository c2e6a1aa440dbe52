#pragma once
// Skin image records painted as nine-piece frames. A record holds ImageCount states side by side and, below a
// masked image (MaskType >= 1), a grey mask one frame lower that says per pixel how much of the image shows (its
// channel m: 0 the image, 255 the destination). The four corners are copied at their own size; the four edges and
// the centre are tiled or stretched over the rest of the target rectangle.
//
//   DrawSkinMask       borders and faces of controls and forms
//   DrawSkinMaskAlpha  the section painter of a section index (keeps alpha for layered images)
//   DrawSkinMaskEx     outer effects: only an outer band of the frame, faded by an opacity
//
// Degenerate input paints nothing: a rectangle below 2 x 2, a record without manager or pixels, an image count
// below 1, a negative state, borders wider than the state (negative centre), state 0 of a record that paints
// nothing there. A state beyond the last paints the last. Pieces are clipped to both bitmaps.
#include <cstdint>

#include "skin/data/loaded_skin.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

// DrawMode flags of a mask record.
inline constexpr uint16_t dmStretch = 1;      // edges and centre stretched (else tiled)
inline constexpr uint16_t dmNoState0 = 2;     // nothing painted for state 0
inline constexpr uint16_t dmPaintCentre = 4;  // the centre piece painted (else left as it is)

// The bitmap holding a record's pixels: its own, else its manager's master image; nullptr when neither.
const Bitmap* MaskSource(const SkinImageRecord& rec);

// The nine-piece frame of state `state` of rec into R of dst. Unmasked records: corners keep key pixels
// transparent (with useParentCorners and a record whose corners hold key pixels, they show ci's parent pixels);
// edges and centre are copied as they are. Masked records: every piece mixed through its mask.
void DrawSkinMask(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state,
                  bool useParentCorners);
// The same for layered images: corners always show the parent under key pixels; masked pieces mix by the mask's red
// byte and raise the destination alpha (CopyMaskedPieceAlpha).
void DrawSkinMaskAlpha(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state);
// Only the outer band of the frame: limits holds the band widths (left, top, right, bottom); corners whole, each
// edge cut to its band from the outer side of the source; no centre. Masked pieces faded by opacity.
void DrawSkinMaskEx(Bitmap& dst, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec, int32_t state,
                    const TRect& limits, uint8_t opacity);

// Unstretched masked pieces: srcRect of the image copied to dstRect's top-left (dstRect's size limits it), the mask
// lying one frame of rec lower. s is the image pixel, m its mask pixel:
//   CopyMaskedPiece       key pixels take ci.FillColor (opaque) when it is a colour, else ci's parent pixel where
//                         it reaches; others d := s + (d - s) x m_c shr 8 per channel, alpha kept.
//   CopyMaskedPieceAlpha  key pixels take ci's parent pixel; others d := (d x m + s x (255 - m)) shr 8 with m the
//                         mask's red byte; alpha a: 0 gives 255 - m, 1..254 max(a, 255 - m), 255 stays.
//   CopyMaskedPieceFaded  the same with k = (255 - m) x opacity shr 8: d := (d x (255 - k) + s x k) shr 8.
void CopyMaskedPiece(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const SkinImageRecord& rec,
                     const CacheInfo& ci);
void CopyMaskedPieceAlpha(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const SkinImageRecord& rec,
                          const CacheInfo& ci, const Bitmap& src);
void CopyMaskedPieceFaded(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, uint8_t opacity,
                          const SkinImageRecord& rec, const CacheInfo& ci, const Bitmap& src);
// CopyMaskedPiece with the mask maskOffset rows below the image in src.
void CopyMaskedPieceAt(const TRect& dstRect, const TRect& srcRect, Bitmap& dst, const Bitmap& src, int32_t maskOffset,
                       const CacheInfo& ci);

// Stretched masked pieces: the source piece (srcX, srcY, srcWidth x srcHeight) and its mask maskOffset rows lower,
// scaled to (x, y, width x height) of dst, then mixed per channel d := s + (d - s) x m_c shr 8, alpha 255. Shrinking
// along one axis, and centres, are resampled with the Mitchell filter (the mask of the twins with the Hermite
// filter); other pieces by nearest pixel. A single-pixel centre fills directly. Nothing for a piece at a negative
// place, below 1 x 1, a target below 2 x 2 or a source piece (or its mask) outside src. maskOffset 0: a plain stretch.
void StretchMaskedPiece(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                        int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                        bool isCentre);
// The twins mix by the rules of CopyMaskedPieceAlpha and CopyMaskedPieceFaded.
void StretchMaskedPieceAlpha(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                             int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                             bool isCentre, const CacheInfo& ci);
void StretchMaskedPieceFaded(Bitmap& dst, int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap& src,
                             int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t maskOffset,
                             bool isCentre, const CacheInfo& ci, uint8_t opacity);

// Calls piece(position, length) for the tiles of a run from start to end with pieces of length len: whole pieces
// while end - len > position, then one piece cut to what remains. Tiles wholly outside [clipLow, clipHigh) are
// skipped (nothing when len < 1).
template <class Piece>
void TileRun(int64_t start, int64_t end, int64_t len, int64_t clipLow, int64_t clipHigh, Piece piece) {
  if (len < 1 || end <= start) return;
  int64_t pos = start;
  if (clipLow > pos) pos += ((clipLow - pos) / len) * len;
  while (end - len > pos) {
    if (pos >= clipHigh) return;
    piece(pos, len);
    pos += len;
  }
  if (pos < end && pos < clipHigh) piece(pos, end - pos);
}

}  // namespace skin
