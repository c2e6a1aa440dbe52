#pragma once
// Painting a skinned scroll bar into a 32-bit bitmap: the two tracks split at the thumb's centre, the arrow buttons
// with their glyphs, the thumb with its grip, and the faded look of a bar that cannot be used. Portable; the
// scroll-bar engine copies the bitmap to the window.
#include <cstdint>

#include "skin/adapters/scroll_geometry.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TsSkinManager;

// What a bar shows.
struct ScrollBarLook {
  bool Vertical = false;
  int32_t Arrow = 0;              // length of an arrow button along the bar
  int32_t MinThumbSize = 16;
  ScrollRange Range;
  bool Enabled = true;
  int32_t PressedPart = sbpNone;  // the part shown pressed (an arrow or a track)
  int32_t HotPart = sbpNone;      // the part under the mouse
  // A thumb being dragged: its start (along the bar, in the bitmap) and length stand in for the computed ones; the
  // arrows show normal and the thumb pressed.
  bool Dragging = false;
  int32_t DragStart = 0;
  int32_t DragLength = 0;
};

// The whole bar into the whole of bmp over the parent background ci (which maps bmp's origin). False, with
// nothing painted, when the skin has no track section for the bar, the bitmap is thinner than 2 pixels or the
// bar has no length.
bool PaintScrollBarImage(Bitmap& bmp, const ScrollBarLook& look, TsSkinManager* manager, const CacheInfo& ci);

// An arrow button into R of target (its background reference is what target holds there): the section's
// background and border for the state (0 normal, 1 hot, 2 pressed), then its GLYPHMASK frame centred, or without
// one a triangle in the section's font colour (the hot one for states 1 and 2), moved up a pixel for the left and
// right arrows and by (1, 1) when pressed and pressed content moves. ArrowKind: 0 left, 1 up, 2 right, 3 down.
void PaintScrollArrow(const TRect& R, int32_t State, Bitmap& Target, int32_t ArrowKind, TsSkinManager* Manager);

// The thumb into R of target over what target holds there: the slider section's background and border for the
// state, its GLYPHMASK frame centred as the grip.
void PaintScrollThumb(const TRect& R, int32_t State, Bitmap& Target, bool Vertical, TsSkinManager* Manager);

}  // namespace skin
