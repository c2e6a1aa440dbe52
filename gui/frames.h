#pragma once
// Frames: a windowed container of controls that a form (or another container) holds like a panel, with a
// class of its own so that code can tell a frame from the other containers.
#include "gui/controls.h"

namespace gui {

class TCustomFrame : public TWinControl {
 public:
  explicit TCustomFrame(TComponent* AOwner);
  GUI_CLASS_NAME("TFrame")
};

class TFrame : public TCustomFrame {
 public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
  GUI_CLASS_NAME("TFrame")
};

}  // namespace gui
