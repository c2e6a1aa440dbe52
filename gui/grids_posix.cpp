// The headless half of the grids: no window, no scroll bars to update, no keyboard state.
#include "gui/grids.h"

namespace gui {

bool TCustomGrid::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

void TCustomGrid::ScrollBarsToWindow() {}

TShiftState TCustomGrid::KeyShiftState() { return 0; }

bool TCustomGrid::WindowClientRect(TRect&) const { return false; }

}  // namespace gui
