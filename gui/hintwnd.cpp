#include "gui/hintwnd.h"

#include <algorithm>

namespace gui {

TRect PlaceHintRect(const TRect& size, int x, int y, int dx, int dy, int screenWidth, int screenHeight) {
  const int w = size.Width(), h = size.Height();
  int left = x + dx, top = y + dy;
  if (left + w > screenWidth) left = std::max(0, screenWidth - w);
  if (top + h > screenHeight) top = std::max(0, y - h - 4);
  return Bounds(left, top, w, h);
}

}  // namespace gui
