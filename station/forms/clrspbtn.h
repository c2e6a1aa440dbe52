#pragma once
// Unit ClrSpBtn: the toggle speed button of the speech options window, whose 3-D look follows its Color. The
// recoloured painting and the colour conversions come with the colour-button unit of the station, which builds
// on this class; until then it paints as a speed button.
#include "gui/buttons.h"

namespace forms {

class TColorSpeedBtn : public gui::TSpeedButton {
 public:
  explicit TColorSpeedBtn(gui::TComponent* AOwner) : gui::TSpeedButton(AOwner) { SetParentColor(false); }
  GUI_CLASS_NAME("TColorSpeedBtn")
};

}  // namespace forms
