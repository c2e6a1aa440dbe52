// The headless half of the page controls: no tab control window; the tab geometry is the layer's own.
#include "gui/pagectrl.h"

namespace gui {

void TPageControl::TabsToWindow() {}

void TPageControl::SelectionToWindow() {}

bool TPageControl::WindowTabRect(int, TRect&) const { return false; }

bool TPageControl::WindowDisplayRect(TRect&) const { return false; }

int TPageControl::WindowRowCount() const { return 0; }

bool TPageControl::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

}  // namespace gui
