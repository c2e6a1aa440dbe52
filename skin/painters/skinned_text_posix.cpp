#include "gui/graphics.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"

namespace skin {

// The native canvas has no device to draw on: only the rectangle of the text is computed.
void DrawTextCanvas(gui::TCanvas& canvas, std::string_view text, TRect& R, uint32_t flags) {
  if (flags & dtCalcRect) R = CurrentTextEngine().CalcRect(canvas.Font(), text, R, flags);
}

}  // namespace skin
