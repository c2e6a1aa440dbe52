#pragma once
// Gradients of skin sections, laid from their parsed steps (ParseGradientSteps, skin/data/gradientdata.h, which
// the skin loader calls once per section) into 32-bit bitmaps: by rows (mode 0), by columns (mode 1) or as the
// system's triangle gradient (mode 2); and a one-pass mix of a rows or columns gradient with a tiled texture.
// Only the first step's mode counts. Every written pixel is opaque (or takes the given alpha).
#include <cstdint>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"
#include "skin/data/gradient_step.h"

namespace skin {

// Gradient modes.
inline constexpr int32_t gmRows = 0;
inline constexpr int32_t gmColumns = 1;
inline constexpr int32_t gmTriangles = 2;

// The steps into R of bmp (clipped to the bitmap). Mode 0: each step takes (height + extra) x Percent div 100 rows
// from y = R.Top + extra on, the last step runs to the last row, the last row of a step is the first of the next;
// the colours are interpolated per row (rounded), a step of one colour is flat. Mode 1: the same per column with
// Round(Percent x width / 100) columns, computed for the top row and copied down. Mode 2: four triangles through
// the corners and the centre (the colours of the first five steps' Color1, a missing one repeating the one
// before) by the triangle-gradient entry point; nothing when it is not bound. An R one row high takes the first
// step's Color1 (a single row is no step of more than one row).
void PaintGradient(Bitmap& bmp, const TRect& R, const GradientStepArray& steps, int32_t extra = 0,
                   int32_t reserved = 0);

// Modes 0 and 1 mixed in one pass with a texture repeated from srcRect of texture (an empty srcRect: the whole
// texture; a target pixel (x, y) of R takes the texture pixel ((x - R.Left) mod width, (y - R.Top) mod height) of
// srcRect): B, G, R := (texture x textureWeight + gradient x (256 - textureWeight)) shr 8, alpha := alpha. Mode 1
// computes one band a texture high and copies it down. Other modes paint nothing.
void PaintGradientVariant(Bitmap& bmp, const TRect& R, const GradientStepArray& steps, uint8_t alpha,
                          int32_t textureWeight, const TRect& srcRect, const Bitmap& texture);

// The triangle-gradient entry point: GradientFill (GRADIENT_FILL_TRIANGLE) of msimg32 on Windows, bound on first
// use (nullptr when the system lacks it); natively the painters' own triangle shading (every pixel whose centre
// lies in a triangle takes the colours interpolated linearly at that centre, 16-bit channels shr 8).
struct GradientVertex {
  int32_t x = 0;
  int32_t y = 0;
  uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};
struct GradientTriangle {
  uint32_t v1 = 0, v2 = 0, v3 = 0;
};
using GradientFillFunction = bool (*)(Bitmap& bmp, const GradientVertex* vertices, uint32_t vertexCount,
                                      const GradientTriangle* triangles, uint32_t triangleCount);
GradientFillFunction GradientFillProc();
// Replaces the entry point (nullptr: as when the system lacks it); returns the previous one. For tests.
GradientFillFunction SetGradientFillProc(GradientFillFunction proc);
// The painters' own triangle shading (the native entry point).
bool ShadeTriangles(Bitmap& bmp, const GradientVertex* vertices, uint32_t vertexCount,
                    const GradientTriangle* triangles, uint32_t triangleCount);

}  // namespace skin
