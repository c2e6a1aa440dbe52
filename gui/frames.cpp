#include "gui/frames.h"

namespace gui {

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ |= csAcceptsControls;
  width_ = 320;
  height_ = 240;
}

}  // namespace gui
