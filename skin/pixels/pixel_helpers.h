#pragma once
// Small helpers on 32-bit bitmaps used by the painters, the PNG reader and the alpha image list: pixel access,
// word fills and byte swaps, rectangle fills and blends, alpha settings, premultiplied alpha, the pixel half of
// masked text and the disabled look of a control image. Rectangles are clipped to the bitmap; nothing happens for a
// bitmap that is not 32-bit.
#include <cstddef>
#include <cstdint>

#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

// One pixel; GetPixel32 gives 0 and SetPixel32 does nothing outside the bitmap.
uint32_t GetPixel32(const Bitmap& bmp, int32_t x, int32_t y);
void SetPixel32(Bitmap& bmp, int32_t x, int32_t y, uint32_t value);

// Count consecutive words reversed in place (big-endian words of PNG files).
void SwapBytes32Array(uint32_t* p, ptrdiff_t count);
// Count consecutive 32-bit words := value; nothing when count < 1.
void FillDWords(uint32_t* p, ptrdiff_t count, uint32_t value);

// Every pixel of R := colour in pixel order with alpha byte alpha (-1 gives 255).
void FillRectBitmap32(Bitmap& bmp, const TRect& R, TColor colour, int alpha);
// R of a bitmap of any format filled with the colour (system colours resolved), as a solid brush fills it: 32-bit
// pixels take alpha 0, 24-bit pixels the three bytes, indexed pixels the nearest entry of the palette.
void FillRectWithColor(Bitmap& bmp, const TRect& R, TColor colour);
// An opaque fill: FillRectBitmap32 with alpha 255 on a 32-bit bitmap, FillRectWithColor on any other.
void FillRectOpaque(Bitmap& bmp, const TRect& R, TColor colour);
// Four strips inside R with alpha 255: top band (full width, top high), left band (left wide, from R.Top + top to
// R.Bottom), bottom band (from R.Left + left to R.Right, bottom high), right band (right wide, from R.Top + top to
// R.Bottom - bottom). The strips' edges are worked out in 64 bits, so a rectangle at the ends of the coordinate
// range paints only what lies inside the bitmap.
void FillFrameBitmap32(Bitmap& bmp, const TRect& R, TColor colour, int left, int top, int right, int bottom);
// Each pixel of R: per channel Round(c x f + k x (1 - f)), f = percent / 100 (percent within 0..100), k the channel
// of the colour; alpha kept.
void BlendColorRect(Bitmap& bmp, const TRect& R, int percent, TColor colour);
// Each pixel of R moves toward the colour: c := c - (c - k) x percent div 100 (percent within 0..100); its alpha
// byte becomes alpha.
void FadeRectToColor(Bitmap& bmp, const TRect& R, TColor colour, uint8_t alpha, int percent);
// The alpha byte of every pixel of R := alpha; with a colour other than clNone only for pixels whose whole value
// differs from that colour in pixel order with alpha 0.
void SetAlphaRect(Bitmap& bmp, const TRect& R, uint8_t alpha, TColor colour);
// Every pixel of value 0x00FFFFFF (white, alpha 0) becomes 0.
void ClearWhiteTransparent(Bitmap& bmp);
// Over R: pixels of value 0x00FFFFFF become 0; every other pixel gets c := c x a shr 8 for R, G and B.
void PremultiplyAlpha(Bitmap& bmp, const TRect& R);

// The pixel half of masked text: mask (32-bit, R's size) holds black text on white; every mask pixel m other than
// 0x00FFFFFF and 0xFFFFFFFF mixes the colour k into the pixel of R under it: d := ((d - k) x m + k x 256) shr 8 per
// channel (black gives the colour, grey edges mix), alpha 255. The part of R outside bmp is skipped.
void MixTextMask(Bitmap& bmp, const Bitmap& mask, const TRect& R, TColor colour);

// Kinds of the disabled look (a set).
using TsDisabledKind = uint8_t;
inline constexpr TsDisabledKind dkBlended = 1;
inline constexpr TsDisabledKind dkGrayed = 2;

// The disabled look of a control image. Grey first (saturation changed by DisabledGrayAmount, or the channel
// average at -100, key pixels kept); then the blend: with a ready ci holding the parent bitmap, the parent
// background at (ci.X + P.X, ci.Y + P.Y) is blended over the image (each channel becomes parent - (parent - image)
// x DisabledBlendValue, parent key pixels skipped); otherwise the image keeps 40 % and the colour gives 60 %, the
// colour being ci.FillColor, or controlBgColor when that is 0xFF00FF.
void PaintDisabledLook(Bitmap& bmp, TsDisabledKind kind, TColor controlBgColor, const TPoint& P, const CacheInfo& ci);

#if defined(_WIN32)
// A new icon (HICON, owned by the caller) from a 32-bit bitmap; the pixels equal to the top-left pixel are
// transparent. bmp is converted to 32 bits. nullptr when the system cannot make it.
void* IconFromBitmap32(Bitmap& bmp);
#endif

}  // namespace skin
