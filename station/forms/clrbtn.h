#pragma once
// Unit ClrBtn: the coloured push button of the station's windows (the radio module window's read and write
// buttons). Its Color is the colour the button is meant to show; the owner-drawn painting in that colour and
// the double-click handling come with the colour-button unit of the station, which builds on this class.
#include "gui/stdctrls.h"

namespace forms {

class TClrBtn : public gui::TButton {
 public:
  explicit TClrBtn(gui::TComponent* AOwner) : gui::TButton(AOwner) {}
  GUI_CLASS_NAME("TClrBtn")
};

}  // namespace forms
