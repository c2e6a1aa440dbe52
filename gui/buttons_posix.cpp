// The headless half of the buttons: nothing is painted natively (no device context exists).
#include "gui/buttons.h"

namespace gui {

void TSpeedButton::Paint() {}

void TBitBtn::DrawItem(void*) {}

}  // namespace gui
