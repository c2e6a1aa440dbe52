#pragma once
// Copies between a canvas of the component layer and a 32-bit bitmap: how pictures and image lists compose an
// image over what a canvas already shows (the area copied out, blended, copied back). In the Windows build the
// copies are BitBlt on the canvas's device context; natively they reach the canvas's bitmap.
#include <cstdint>
#include <memory>

#include "gui/controls.h"
#include "gui/graphics.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

// A new 32-bit bitmap of the control's width and height (every pixel 0); the caller owns it.
std::unique_ptr<Bitmap> NewBitmap32ForControl(const gui::TControl& control);
// The area of the canvas at (x, y) of bmp's size into bmp (32-bit; pixels outside the canvas stay as they were).
void CanvasToBitmap(gui::TCanvas& canvas, int32_t x, int32_t y, Bitmap& bmp);
// bmp (its whole size) onto the canvas at (x, y).
void BitmapToCanvas(const Bitmap& bmp, gui::TCanvas& canvas, int32_t x, int32_t y);
// A bitmap of the component layer with the pixels of bmp: 32-bit with its alpha, any other format as 24-bit; the
// transparency and transparent colour go with it.
void BitmapToGuiBitmap(const Bitmap& bmp, gui::TBitmap& out);

}  // namespace skin
