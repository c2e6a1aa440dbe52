#pragma once
// Borders of controls and frames of forms from their border images, and the window regions of their key-colour
// corners: a control's border over its parent background in its cache, a border variant that reports the
// key-colour pixels it leaves transparent (for a window region), the nine-part copy of a form's frame image, the
// strip fills and copies, and the scan of a frame's corners for key-colour runs.
//
// Borders wider than the rectangle they frame are shared out (the mask painters) or overlap (the nine-part copy).
#include <array>
#include <cstdint>
#include <vector>

#include "skin/data/loaded_skin.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gui {
class TWinControl;
}

namespace skin {

struct TsCommonData;

// The border of a control in its cache bitmap (data.CacheBmp) around R, for `state`, over the background its
// parent answers: a masked border first gets the parent's pixels (or its colour) under its strips; then the border
// image is drawn with its key-colour corners showing the parent. clientRect becomes R less the border widths; with
// a clientMargin the band between the border and R shrunk by clientMargin takes the control's background colour and
// clientRect becomes R shrunk by clientMargin (never crossing). Borders wider than R are shared out by the mask
// painter and clientRect is R less them (crossing).
void PaintBorderFrame(const TRect& R, int32_t clientMargin, TRect& clientRect, int32_t state, TsCommonData& data);

// The nine-piece drawing of DrawSkinMask with a pixel copier of its own (nearest pixel when stretching, the image
// frame only): with keyed, key-colour pixels are left transparent and, when keyRuns is given, every run of them in a
// row is appended as a one-pixel-high rectangle in dst's coordinates (the part of a window region to remove).
// Nothing for a record that no manager owns.
void DrawBorderImage(Bitmap& dst, const TRect& R, const SkinImageRecord& rec, int32_t state, bool keyed,
                     std::vector<TRect>* keyRuns);

// The nine parts of a form's frame image srcRect (of src) into dstRect of dst. Corners are copied 1:1 at the size of
// the border widths; edges tiled (edge mode 0, the last piece cut at the next corner) or stretched (1); the centre,
// with fillCentre, tiled or stretched (stretchCentre). edgeModes, cornerSizes and borderWidths are given left, top,
// right, bottom; cornerSizes larger than the borders are cut to them.
void PaintFormBorderParts(Bitmap& dst, const Bitmap& src, const TRect& dstRect, bool fillCentre, bool stretchCentre,
                          const std::array<int32_t, 4>& edgeModes, const TRect& cornerSizes, const TRect& borderWidths,
                          const TRect& srcRect);

// Four strips inside R in one colour: top (full width), left, bottom, right (FillFrameBitmap32's strips).
void FillFrameColor(Bitmap& bmp, const TRect& R, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    TColor color);
// The frame of width stripWidth around (x, y, width x height) of dst copied from the same places around
// (srcX, srcY) of src: left, top, right and bottom strips, each pixel once.
void CopyBorderStrips(Bitmap& dst, int32_t x, int32_t y, int32_t stripWidth, int32_t width, int32_t height,
                      const Bitmap& src, int32_t srcX, int32_t srcY);

// The key-colour runs of the left and right corners of a frame image's top band (or, with bottom, its bottom band),
// for a window `width` wide: each maximal run of key pixels in a row of a corner becomes the rectangle
// (x, y0 + row, x + length, y0 + row + 1) appended to rects; the right corner is placed at the window's right edge.
// Nothing for a record without pixels or a bitmap smaller than the band.
void MaskCornerRects(std::vector<TRect>& rects, int32_t width, const SkinImageRecord& rec, int32_t y0, bool bottom);

#ifdef _WIN32
// PaintBorderFrame, then, with a clientMargin, the painted frame copied from the cache to the same place of dc.
void PaintBorderFrame(HDC dc, const TRect& R, int32_t clientMargin, TRect& clientRect, int32_t state,
                      TsCommonData& data);
// DrawBorderImage that removes the key-colour runs from region (a region covering the whole control: the result is
// the region of the opaque pixels).
void DrawBorderImage(Bitmap& dst, const TRect& R, const SkinImageRecord& rec, int32_t state, bool keyed, HRGN region);
// A new region (owned by the caller, counted by the ledger) of bounds less the rectangles.
HRGN RegionWithoutRects(const TRect& bounds, const std::vector<TRect>& rects);
// Removes the rectangles from a region; false when the system could not.
bool SubtractRects(HRGN region, const std::vector<TRect>& rects);
void FillFrameColor(HDC dc, const TRect& R, int32_t left, int32_t top, int32_t right, int32_t bottom, TColor color);
void CopyBorderStrips(HDC dc, int32_t x, int32_t y, int32_t stripWidth, int32_t width, int32_t height, HDC srcDC,
                      int32_t srcX, int32_t srcY);
// R of the DC filled with the colour (a solid brush made and freed; the DC's state saved and restored).
void FillRectWithColor(HDC dc, const TRect& R, TColor color);
// The bounds of every visible graphic child of parent, moved by (dx, dy), excluded from the DC's clipping.
void ExcludeGraphicControls(HDC dc, gui::TWinControl* parent, int32_t dy, int32_t dx);
#endif

}  // namespace skin
