// The headless half of the standard controls: a label is measured with the layer's fixed text metrics and
// painted nowhere; no window sends the messages of group boxes and combo boxes.
#include "gui/menus.h"
#include "gui/stdctrls.h"

namespace gui {

TPoint TCustomLabel::MeasureCaption(const std::string& text) const {
  TPoint size = HeadlessTextExtent(font_, showAccelChar_ ? StripHotkey(text) : text);
  if (wordWrap_) size.X = width_;
  return size;
}

void TCustomLabel::Paint() {}

bool TCustomGroupBox::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

bool TCustomComboBox::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

}  // namespace gui
