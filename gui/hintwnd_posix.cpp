// Headless hint windows: what is shown and where is remembered; the text is measured with the layer's headless
// metrics.
#include <algorithm>

#include "gui/graphics.h"
#include "gui/hintwnd.h"

namespace gui {

THintWindow::~THintWindow() = default;

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) const {
  TFont font;
  const TPoint e = HeadlessTextExtent(font, text);
  return TRect{0, 0, std::min(e.X, std::max(1, maxWidth)) + 8, e.Y + 6};
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& text) {
  rect_ = rect;
  text_ = text;
  showing_ = true;
}

bool THintWindow::Showing() const { return showing_; }

void THintWindow::Hide() { showing_ = false; }

}  // namespace gui
