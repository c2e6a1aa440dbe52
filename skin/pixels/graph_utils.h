#pragma once
// 32-bit bitmaps and blending: making 32-bit bitmaps, reaching their rows, the mixing rule and the family of
// blends and key-colour copies that every painter uses.
//
// Conventions of every routine here:
// - 32-bit pixels are B, G, R, A; routines that take bitmaps do nothing unless those bitmaps are 32-bit (except
//   where a routine says it converts).
// - The mixing rule: mix(d, s, f) = ((s - d) x f + d x 256) shr 8 per channel, f in 0..255 (f = 255 never gives s
//   exactly). Weights above 255 count as 255, below 0 as 0; ratios count within 0..1; transparencies within 0..100.
// - Blits are clipped to both bitmaps: a negative destination origin advances the source origin by the same
//   amount, and the reverse; what lies outside either bitmap is neither read nor written.
// - A key is a TColor (0xFF00FF for the key colour) compared with whole pixels in pixel order with alpha 0;
//   clNone means no key.
// - Rounding (Round) is half to even.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

// Disabled look: the image keeps this share when blended with its background, or its saturation changes by this
// amount (-100 selects the plain channel average).
inline constexpr double DisabledBlendValue = 0.4;
inline constexpr int DisabledGrayAmount = -90;

// New 32-bit bitmaps (every pixel 0); the caller owns them.
std::unique_ptr<Bitmap> NewBitmap32(int32_t width, int32_t height);
std::unique_ptr<Bitmap> NewBitmap32ForRect(const TRect& r);  // negative sizes become 0
std::unique_ptr<Bitmap> NewBitmap32ForSize(const TSize& size);
std::unique_ptr<Bitmap> NewBitmap32SameSize(const Bitmap& graphic);
// Width, height and pixel format of bmp.
std::unique_ptr<Bitmap> NewBitmapLike(const Bitmap& bmp);
// Converts to 32 bits (24-bit and indexed pixels get alpha 0, so 0xFF00FF becomes the key value 0x00FF00FF).
void SetBitmap32(Bitmap& bmp);
// dst takes src's format, size, palette and pixels.
void CopyBitmap32(Bitmap& dst, const Bitmap& src);

// Address of row 0 and the stride (address of row 1 - address of row 0; 0 for a one-row bitmap, negative for
// bottom-up rows). Row y is at row0 + y x stride. False, with no access, for a bitmap with no rows.
bool BitmapRowAccess(Bitmap& bmp, uint8_t*& row0, ptrdiff_t& stride);
bool BitmapRowAccess(const Bitmap& bmp, const uint8_t*& row0, ptrdiff_t& stride);

// Each of R, G, B := Round(c1 x ratio + c2 x (1 - ratio)); the high byte is that of c1.
TColor MixColorsRatio(TColor c1, TColor c2, double ratio);

// Every channel including alpha: d := (d x f + s x (256 - f)) shr 8 (f weights the destination). The source
// rectangle is walked inclusively (Right and Bottom included) and cut at the source's last row and column.
void BlendBitmapsConst(Bitmap& dst, const Bitmap& src, int f, const TRect& srcRect, const TPoint& dstPoint);
// part (its whole size) drawn over dst at (x, y) through a work bitmap: the area under it copied out, the part
// copied in (its key-colour pixels leaving what was there), and the work bitmap blended back with BlendBitmapsConst
// and the factor percent x 255 div 100 weighting what was there (percent limited to 0..100: 0 shows the part).
void PaintScrollThumbBlended(Bitmap& dst, int32_t x, int32_t y, const Bitmap& part, int32_t percent);
// Source pixels of srcRect not equal to key, at (x, y) of dst: each of B, G, R := Round(s - (s - d) x ratio);
// alpha untouched. Ratio 0 gives the source, 1 keeps the destination.
void BlendBitmaps(Bitmap& dst, int32_t x, int32_t y, TColor key, double ratio, const TRect& srcRect, const Bitmap& src);
// Every pixel except the key value 0x00FF00FF: channel := Round(color + (channel - color) x ratio); alpha kept.
void BlendBitmapWithColor(Bitmap& bmp, TColor color, double ratio);
// src from srcPoint to its end, at dstPoint of dst, with the source's per-pixel alpha a: B, G, R := mix(d, s, a);
// the destination alpha grows by (255 - dA) x a shr 8. With ci.Ready, key pixels of the source are skipped, or with
// useParent replaced by the parent pixel of ci.Bmp at (ci.X + x, ci.Y + y) (x, y in dst) with alpha 255 where that
// place lies inside ci.Bmp.
void BlendPixelsWithAlpha(const TPoint& dstPoint, const TPoint& srcPoint, Bitmap& dst, bool useParent,
                          const CacheInfo& ci, const Bitmap& src);
// src copied to (x, y) of dst, pixels equal to key skipped; copied pixels get alpha 255.
void CopyExceptColor(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, TColor key);
// dst, src1, src2 (and mask when given) of one size, else nothing: per channel d := mix(s2, s1, w) with w the
// mask pixel's same channel when a mask is given, else weight.
void MixBitmapsByMask(Bitmap& dst, const Bitmap& src1, const Bitmap& src2, int weight, const Bitmap* mask);
// srcRect of src alpha-blended at dstPoint of dst (dst is first converted to 32 bits): a = sA x (100 -
// transparency) div 100; B, G, R := mix(d, s, a); destination alpha kept. Key pixels are skipped, or with useParent
// and a ready ci take the parent pixel of ci.Bmp (alpha 255) where it covers the place. tint (not clNone) recolours
// the source first, keeping its alpha and the order of its brightness. With reflected, the image is drawn again,
// mirrored, in the rows of dst below it (at most its own height): reflected row k of n uses
// a_k = ((sA x (n - k) div n) x f_k) shr 9 with f_1 = 255, f_(k+1) = f_k - (255 div dst height), then
// x (100 - transparency) div 100.
void AlphaBlendBitmap32(const TPoint& dstPoint, const TRect& srcRect, const Bitmap& src, bool reflected,
                        int transparency, TColor tint, bool useParent, const CacheInfo& ci, Bitmap& dst);
// srcRect of src scaled into dstRect of dst by nearest pixel (as StretchBlt in COLORONCOLOR mode), all four bytes;
// a dstRect reaching outside dst is clipped without changing the scale. Both bitmaps must be 32-bit.
void StretchCopy(Bitmap& dst, const TRect& dstRect, const Bitmap& src, const TRect& srcRect);
// graphic drawn into R of dst: a 32-bit graphic is alpha-blended (AlphaBlendBitmap32, scaled first by nearest
// pixel when the sizes differ); any other graphic is copied opaquely (scaled the same way), with alpha 0.
void StretchDrawAlpha(Bitmap& dst, const TRect& R, const Bitmap& graphic);
// The key-colour copy of the mask painters: srcRect of src to (x, y) of dst. Pixels equal to key: with ci not
// ready they become ci.FillColor (pixel order, alpha 0); with ci ready they are skipped when useParent is false,
// ci.Bmp is empty or is dst itself, else they take the parent pixel of ci.Bmp at (ci.X + x', ci.Y + y') (x', y' in
// dst) where that lies inside ci.Bmp. Other pixels are copied unchanged, alpha included. dst may be src itself,
// the two areas overlapping: every pixel takes the value its source had before the copy.
void CopyPieceKeyed(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, const TRect& srcRect, TColor key,
                    bool useParent, const CacheInfo& ci);
// The masked copy of the mask painters: the mask pixel of every image pixel of srcRect lies maskOffset rows below
// it in src; each of B, G, R := ((d - s) x m + s x 256) shr 8 with m the mask pixel's same channel. With ci not
// ready and useParent false, image pixels equal to the key value are skipped; with ci ready every written pixel gets
// alpha 255 and, with useParent, key pixels first take the parent pixel of ci.Bmp (skipped where ci.Bmp does not
// reach). Rows whose mask would lie outside src are not drawn.
void CopyPieceMasked(Bitmap& dst, int32_t dstX, int32_t dstY, const TRect& srcRect, int32_t maskOffset,
                     const Bitmap& src, bool useParent, const CacheInfo& ci);
// srcRect to (x, y), pixels equal to color (pixel order, alpha 0) skipped.
void CopyPieceExceptColor(Bitmap& dst, const Bitmap& src, int32_t x, int32_t y, const TRect& srcRect, TColor color);
// One byte channel (0 = B, 1 = G, 2 = R, 3 = A) of every 32-bit pixel into an 8-bit bitmap (toEightBit), or back.
// The 8-bit bitmap takes the 32-bit one's size when it is the target; otherwise the common part is copied.
void CopyBitmapChannel(Bitmap& bmp32, Bitmap& bmp8, int channel, bool toEightBit);

}  // namespace skin
