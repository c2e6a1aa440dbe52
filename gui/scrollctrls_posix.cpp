// The headless half of the scrolling controls: no window, so the layer's own state is all there is.
#include "gui/scrollctrls.h"

#include <algorithm>

namespace gui {

bool TScrollBar::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

void TScrollBar::ScrollInfoToWindow() {}

bool TScrollBox::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

void TScrollBox::BarsToWindow() {}

TRect TScrollBox::WindowFullClient() const {
  const int border = borderStyle_ == TBorderStyle::bsSingle ? 2 : 0;
  return TRect{0, 0, std::max(width_ - 2 * border, 0), std::max(height_ - 2 * border, 0)};
}

}  // namespace gui
