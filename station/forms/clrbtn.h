#pragma once
// Unit ClrBtn: the coloured push button of the station's windows (the radio module window's read and write
// buttons): an owner-drawn push button whose face is its Color (by default the system button face). Setting
// Color to another value repaints it. A double click counts as a second press. The button remembers whether
// it is the dialog's default button (BM_SETSTYLE tells it; the window keeps its owner-drawn style).
#include <cstdint>

#include "gui/stdctrls.h"

namespace forms {

class TClrBtn : public gui::TButton {
 public:
  explicit TClrBtn(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TClrBtn")

  // The canvas the button draws with, bound to the owner-draw request's device context while it draws.
  gui::TCanvas& Canvas() { return canvas_; }
  bool IsDefault() const { return isDefault_ != 0; }

 protected:
  void WndProc(gui::TMessage& m) override;
  void CreateParams(gui::TCreateParams& p) override;

 private:
  void DrawItem(void* drawItemStruct);
  gui::TCanvas canvas_;
  uint8_t isDefault_ = 0;
};

}  // namespace forms
